// The scene-object animator: private frame animations of animated sprites and where a finished
// one rests, blended frames, and the object states kept for the profile.

#include "Src/Game/Vey_ObjectAnimator.h"

#include <gtest/gtest.h>

#include "Framework/Scene/omSpriteData.h"
#include "tests/support/engine/ReportScope.h"

#include <memory>

using namespace Vey;
using Ombrel::CLayout2D;
using Ombrel::SLayoutAnimatedSprite;

namespace {

// Frame i shows u from i / 10 to (i + 1) / 10, so a sprite tells which frame it holds.
std::unique_ptr<Ombrel::CTextureAnimation> MakeFrames(int count, bool loop, float speed = 1.0f) {
  auto animation = std::make_unique<Ombrel::CTextureAnimation>();
  animation->Init(Ombrel::CTextureAnimation::kFiles, count);
  for (int i = 0; i < count; ++i) animation->SetFrame(i, nullptr, float(i) / 10.0f, 0.0f, float(i + 1) / 10.0f, 1.0f);
  animation->SetLoop(loop);
  animation->SetSpeed(speed);
  return animation;
}

int FrameShown(const Ombrel::CSpriteData& sprite) { return int(sprite.GetTexCoords(0).x * 10.0f + 0.5f); }

// A layout of animated sprites over shared frame animations that the test keeps.
struct SAnimatedLayout {
  CLayout2D layout;
  std::vector<std::unique_ptr<Ombrel::CTextureAnimation>> shared;

  SAnimatedLayout& Add(bool loop, bool visible, bool playing) {
    shared.push_back(MakeFrames(4, loop));
    if (playing) shared.back()->Play();
    auto sprite = std::make_unique<SLayoutAnimatedSprite>();
    sprite->index = int32_t(layout.GetCount());
    sprite->visible = visible;
    sprite->animation = shared.back().get();
    layout.AddItem(std::move(sprite));
    return *this;
  }
  Ombrel::CTextureAnimation* Animation(uint32_t i) const {
    return static_cast<SLayoutAnimatedSprite*>(layout.GetItem(i))->animation;
  }
};

TEST(TextureAnimations, EachSpritePlaysAPrivateCopyUntilReleasedAndCopiesAfreshOnReentry) {
  SAnimatedLayout view;
  view.Add(true, true, true).Add(false, false, false);
  for (int entry = 0; entry < 2; ++entry) {
    SCOPED_TRACE(testing::Message() << "entry " << entry);
    AttachTextureAnimations(view.layout);
    Ombrel::CTextureAnimation* copy = view.Animation(0);
    ASSERT_NE(copy, view.shared[0].get());
    EXPECT_EQ(copy->GetFrameCount(), 4);
    EXPECT_TRUE(copy->IsLooping());
    AttachTextureAnimations(view.layout);
    EXPECT_EQ(view.Animation(0), copy) << "a sprite with its copy keeps it";
    UpdateTextureAnimations(view.layout, 0.5f);
    EXPECT_FLOAT_EQ(copy->GetProgress(), 0.5f);
    EXPECT_FLOAT_EQ(view.shared[0]->GetProgress(), 0.0f) << "the shared one does not move";
    ReleaseTextureAnimations(view.layout);
    EXPECT_EQ(view.Animation(0), view.shared[0].get());
    EXPECT_EQ(view.Animation(1), view.shared[1].get());
  }
}

TEST(TextureAnimations, AOneShotThatEndsRestsOnItsLastFrame) {
  SAnimatedLayout view;
  view.Add(false, true, true).Add(true, true, true).Add(false, false, true);
  UpdateTextureAnimations(view.layout, 0.75f);
  UpdateTextureAnimations(view.layout, 0.5f);
  EXPECT_FALSE(view.Animation(0)->IsPlaying());
  EXPECT_FLOAT_EQ(view.Animation(0)->GetProgress(), kLastFrameProgress);
  EXPECT_EQ(view.Animation(0)->GetFrameIndex(), 3);
  EXPECT_NEAR(view.Animation(1)->GetProgress(), 0.25f, 1e-6f) << "a looping one wraps";
  EXPECT_FLOAT_EQ(view.Animation(2)->GetProgress(), 0.0f) << "a hidden sprite is not advanced";

  SAnimatedLayout entered;
  entered.Add(false, true, true).Add(true, true, true).Add(false, false, true);
  FinishTextureAnimations(entered.layout);
  EXPECT_FALSE(entered.Animation(0)->IsPlaying());
  EXPECT_FLOAT_EQ(entered.Animation(0)->GetProgress(), kLastFrameProgress);
  EXPECT_TRUE(entered.Animation(1)->IsPlaying());
  EXPECT_TRUE(entered.Animation(2)->IsPlaying());
}

TEST(TextureAnimations, BlendedFramesHoldTwoThirdsThenCrossFade) {
  const struct {
    float progress;
    bool loop, blend;
    int firstFrame, firstAlpha, secondFrame, secondAlpha;  // frame -1: not written
  } kCases[] = {
      {0.50f, false, true, 5, 128, -1, 0}, {0.58f, false, true, 5, 76, 6, 51},  {0.58f, false, false, 5, 128, -1, 0},
      {0.56f, false, true, 5, 128, -1, 0}, {0.95f, false, true, -1, 0, 9, 128}, {0.95f, true, true, 9, 0, -1, 128},
      {0.98f, true, true, 9, 76, 0, 51},   {0.98f, true, false, 9, 128, -1, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "progress " << c.progress << " loop " << c.loop << " blend " << c.blend);
    auto animation = MakeFrames(10, c.loop);
    animation->SetProgress(c.progress);
    Ombrel::CSpriteData first;
    Ombrel::CSpriteData second;
    first.SetTexCoords({0.75f, 0}, {}, {}, {});  // frame "7.5": untouched
    second.SetTexCoords({0.75f, 0}, {}, {}, {});
    ApplyBlendedFrame(*animation, first, second, c.blend);
    EXPECT_EQ(FrameShown(first), c.firstFrame < 0 ? 8 : c.firstFrame);
    EXPECT_EQ(first.GetColour().a, c.firstAlpha);
    EXPECT_EQ(FrameShown(second), c.secondFrame < 0 ? 8 : c.secondFrame);
    EXPECT_EQ(second.GetColour().a, c.secondAlpha);
  }
}

TEST(ObjectStates, RecordedVisibilityKeepsTheRemovedFlagAndStatesShowEntries) {
  SObjectStateList states{{2, true, true}};
  RecordVisibility(states, 2, false);
  RecordVisibility(states, 0, false);
  RecordVisibility(states, 0, true);
  ASSERT_EQ(states.size(), 2u);
  EXPECT_EQ(states[0].id, 2);
  EXPECT_FALSE(states[0].visible);
  EXPECT_TRUE(states[0].removed);
  EXPECT_EQ(states[1].id, 0);
  EXPECT_TRUE(states[1].visible);
  EXPECT_FALSE(states[1].removed);

  SAnimatedLayout view;
  view.Add(false, false, false).Add(false, true, false).Add(false, false, false);
  hmtest::CReportScope reports;
  ApplyObjectStates(view.layout, {{0, true, false}, {1, false, false}, {2, true, true}, {7, true, false}});
  EXPECT_TRUE(view.layout.GetItem(0)->visible);
  EXPECT_FALSE(view.layout.GetItem(1)->visible);
  EXPECT_FALSE(view.layout.GetItem(2)->visible) << "removed wins over visible";
  EXPECT_EQ(reports.Texts().size(), 1u) << "index 7 is past the layout: " << reports.All();
}

}  // namespace
