// Texture animations: timing, grid frames and what a frame does to a sprite.

#include "Framework/Scene/omSpriteData.h"
#include "Framework/Scene/omTextureAnimation.h"
#include "tests/Quor/VfsTestKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using Ombrel::CSpriteData;
using Ombrel::CTextureAnimation;

TEST(TextureAnimationTest, ProgressFollowsSpeedAndEndsByLoopingOrStopping) {
  struct SCase {
    const char* what;
    bool loop;
    float start;
    std::vector<float> steps;  // seconds of Update, at 0.5 cycles a second (10 frames in 2 s)
    float progress;
    int frame;
    bool playing;
  } cases[] = {
      {"half way", false, 0, {1.0f}, 0.5f, 5, true},
      {"the end stops and rewinds", false, 0, {1.0f, 1.0f}, 0, 0, false},
      {"a long step stops too", false, 0, {9.0f}, 0, 0, false},
      {"the end wraps", true, 0.75f, {1.0f}, 0.25f, 2, true},
      {"a step of cycles wraps fully", true, 0.5f, {5.5f}, 0.25f, 2, true},
      {"exactly one cycle", true, 0, {2.0f}, 0, 0, true},
  };
  for (const SCase& c : cases) {
    CTextureAnimation animation;
    animation.Init(CTextureAnimation::kGrid, 10);
    ASSERT_TRUE(animation.SetDuration(2.0f));
    animation.SetLoop(c.loop);
    animation.Play();
    animation.SetProgress(c.start);
    for (float step : c.steps) animation.Update(step);
    EXPECT_NEAR(animation.GetProgress(), c.progress, 1e-5) << c.what;
    EXPECT_EQ(animation.GetFrameIndex(), c.frame) << c.what;
    EXPECT_EQ(animation.IsPlaying(), c.playing) << c.what;
  }
}

TEST(TextureAnimationTest, PlayResetAndStopKeepOrRewindTheProgress) {
  CTextureAnimation animation;
  animation.Init(CTextureAnimation::kGrid, 4);
  animation.Update(0.5f);
  EXPECT_EQ(animation.GetProgress(), 0.0f) << "a stopped animation stands still";
  animation.Play();
  animation.Update(0.5f);
  animation.Play();  // playing already: not restarted
  EXPECT_EQ(animation.GetProgress(), 0.5f);
  animation.Reset();
  EXPECT_FALSE(animation.IsPlaying());
  EXPECT_EQ(animation.GetProgress(), 0.0f);
  animation.SetAutoPlay(true);
  animation.Reset();
  EXPECT_TRUE(animation.IsPlaying());
  animation.Update(0.25f);
  animation.Stop();
  EXPECT_FALSE(animation.IsPlaying());
  EXPECT_EQ(animation.GetProgress(), 0.0f);
}

TEST(TextureAnimationTest, DurationAndSpeedMustBeAboveZero) {
  CTextureAnimation animation;
  animation.Init(CTextureAnimation::kGrid, 10);
  ASSERT_TRUE(animation.SetSpeed(4.0f));
  EXPECT_FLOAT_EQ(animation.GetDuration(), 0.25f);
  EXPECT_FLOAT_EQ(animation.GetFramesPerSecond(), 40.0f);
  vfstest::ReportCapture reports;
  for (float bad : {0.0f, -1.0f, NAN, INFINITY, 1e-40f}) {
    EXPECT_FALSE(animation.SetDuration(bad)) << bad;
    EXPECT_FALSE(animation.SetSpeed(bad)) << bad;
  }
  EXPECT_EQ(reports.Texts().size(), 10u);
  EXPECT_FLOAT_EQ(animation.GetSpeed(), 4.0f);
  EXPECT_FLOAT_EQ(animation.GetDuration(), 0.25f);
  EXPECT_FLOAT_EQ(animation.GetFramesPerSecond(), 40.0f);
}

TEST(TextureAnimationTest, GridFramesRunAlongRowsFromTheTopAndShowOnTheSpritesCorners) {
  TextureRecord* texture = reinterpret_cast<TextureRecord*>(0x1000);  // never read, only passed on
  auto animation = CTextureAnimation::CreateGrid(6, texture, 2, 3);
  EXPECT_EQ(animation->GetKind(), CTextureAnimation::kGrid);
  const Ombrel::STextureFrame& frame = animation->GetFrame(4);
  EXPECT_FLOAT_EQ(frame.ua, 1.0f / 3.0f);
  EXPECT_FLOAT_EQ(frame.ub, 2.0f / 3.0f);
  EXPECT_FLOAT_EQ(frame.va, 0.5f);
  EXPECT_FLOAT_EQ(frame.vb, 0.0f);
  EXPECT_EQ(frame.texture, texture);

  CSpriteData sprite;
  animation->SetProgress(4.5f / 6.0f);
  animation->ApplyFrame(sprite);
  EXPECT_EQ(sprite.GetTexture(), texture);
  const float expected[4][2] = {{frame.ua, frame.vb}, {frame.ub, frame.vb}, {frame.ub, frame.va}, {frame.ua, frame.va}};
  for (int corner = 0; corner < 4; ++corner) {
    EXPECT_FLOAT_EQ(sprite.GetTexCoords(corner).x, expected[corner][0]) << corner;
    EXPECT_FLOAT_EQ(sprite.GetTexCoords(corner).y, expected[corner][1]) << corner;
  }
}

TEST(TextureAnimationTest, AProgressOutsideTheCycleShowsAnEndFrameNeverOnePastTheTable) {
  CTextureAnimation animation;
  animation.Init(CTextureAnimation::kGrid, 8);
  for (float progress : {1.0f, 1.5f, 1e30f, INFINITY}) {
    animation.SetProgress(progress);
    EXPECT_EQ(animation.GetFrameIndex(), 7) << progress;
  }
  for (float progress : {-0.5f, NAN}) {
    animation.SetProgress(progress);
    EXPECT_EQ(animation.GetFrameIndex(), 0) << progress;
  }
  // A loop that meets a progress beyond numbers starts over rather than running on undefined.
  animation.SetLoop(true);
  animation.Play();
  animation.SetProgress(INFINITY);
  animation.Update(0.1f);
  EXPECT_EQ(animation.GetProgress(), 0.0f);
  // Nothing to show without frames: the sprite keeps its own.
  CTextureAnimation empty;
  CSpriteData sprite(reinterpret_cast<TextureRecord*>(0x2000));
  empty.ApplyFrame(sprite);
  EXPECT_EQ(sprite.GetTexture(), reinterpret_cast<TextureRecord*>(0x2000));
}

}  // namespace
