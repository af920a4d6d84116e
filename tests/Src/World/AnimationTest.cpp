// The animation family: how progress runs (stop, wrap, zero length), and every kind's curve at
// chosen points of its run.

#include "Src/World/Vey_Animation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace Vey;

namespace {

constexpr float kPi = 3.14159265f;

TEST(AnimationProgress, AOneShotRunReportsEveryStepUpToItsEndThenNothing) {
  CLineAnimation line("Move", 2.0f, false, "", {4, 0}, false);
  EXPECT_FALSE(line.Update(0.5f)) << "not started";
  line.Start(0.0f);
  for (int step = 1; step <= 4; ++step) EXPECT_TRUE(line.Update(0.5f)) << "step " << step;
  EXPECT_FLOAT_EQ(line.GetProgress(), 1.0f);
  EXPECT_FALSE(line.IsPlaying());
  EXPECT_TRUE(line.IsFinished());
  EXPECT_FALSE(line.Update(0.5f));
  EXPECT_FLOAT_EQ(line.GetProgress(), 1.0f);
}

TEST(AnimationProgress, ALoopingRunWrapsIntoItsNextPeriod) {
  const struct { float from, dt, expected; } kCases[] = {{0.9f, 0.3f, 0.2f}, {0.5f, 2.25f, 0.75f}, {0.0f, 1.0f, 0.0f}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.from << " + " << c.dt);
    CFadeAnimation fade("Loop", 1.0f, true, "", 0.5f);
    fade.Start(c.from);
    EXPECT_TRUE(fade.Update(c.dt));
    EXPECT_NEAR(fade.GetProgress(), c.expected, 1e-5f);
    EXPECT_TRUE(fade.IsPlaying());
  }
}

// A length of 0 or less has no period: the run is over on its first step, looping or not, and
// the progress never turns into a non-number.
TEST(AnimationProgress, ALengthOfZeroOrLessEndsAtOnce) {
  for (float length : {0.0f, -1.0f}) {
    for (bool loop : {false, true}) {
      SCOPED_TRACE(testing::Message() << "length " << length << " loop " << loop);
      CBlinkAnimation blink("Blink", length, loop, "", 0.5f);
      blink.Start(0.0f);
      EXPECT_TRUE(blink.Update(0.02f));
      EXPECT_FALSE(blink.IsPlaying());
      EXPECT_FLOAT_EQ(blink.GetProgress(), 1.0f);
      EXPECT_FLOAT_EQ(blink.GetAlpha(), 1.0f);
      EXPECT_FALSE(blink.Update(0.02f));
    }
  }
}

TEST(AnimationProgress, MovingKindsStartFromTheObjectsPlaceAndTheSwingAtRest) {
  CSwingAnimation swing("Swing", 1.0f, true, "", {0, 0}, 0.5f);
  swing.StartFrom({2, 3});
  EXPECT_TRUE(swing.IsPlaying());
  EXPECT_FLOAT_EQ(swing.GetProgress(), 0.25f);
  EXPECT_FLOAT_EQ(swing.GetAngle(), 0.0f);
  EXPECT_FLOAT_EQ(swing.GetPosition().x, 2.0f);
  EXPECT_FLOAT_EQ(swing.GetPosition().y, 3.0f);

  CParabolaAnimation arc("Throw", 1.0f, false, "", {5, 0}, 1.0f);
  arc.SetProgress(0.7f);
  arc.StartFrom({1, 1});
  EXPECT_FLOAT_EQ(arc.GetProgress(), 0.0f);
  EXPECT_FLOAT_EQ(arc.GetPosition().x, 1.0f);
  EXPECT_FLOAT_EQ(arc.GetPosition().y, 1.0f);
}

TEST(AnimationCurves, EachKindAtChosenPoints) {
  CLineAnimation line("L", 1, false, "", {3, 6}, true);
  line.StartFrom({1, 2});
  // Same height at both ends: the apex is half-way.
  CParabolaAnimation level("P", 1, false, "", {4, 1}, 2.0f);
  level.StartFrom({0, 1});
  // Rise 1, fall 3: a quarter of the run rising.
  CParabolaAnimation drop("P", 1, false, "", {0, -2}, 1.0f);
  drop.StartFrom({0, 0});
  // No vertical path at all, and an apex at the very end: no division by zero.
  CParabolaAnimation flat("P", 1, false, "", {2, 1}, 0.0f);
  flat.StartFrom({0, 1});
  CParabolaAnimation upTo("P", 1, false, "", {0, 1}, 1.0f);
  upTo.StartFrom({0, 0});
  CSwingAnimation swing("S", 1, true, "", {0, 0}, 0.5f);
  swing.StartFrom({1, 0});
  CBlinkAnimation blink("B", 1, true, "", 0.5f);
  CFadeAnimation fade("F", 1, false, "", 0.5f);
  // Fading over the last quarter of a 2 s period, on and off.
  CRandomOnOffAnimation lightOn("R", 0, true, "", true, 2.0f, 2.0f, 0.5f);
  CRandomOnOffAnimation lightOff("R", 0, true, "", false, 2.0f, 2.0f, 0.5f);
  // A transition longer than the period: the fade runs through all of it, half-way at t = 0.
  CRandomOnOffAnimation longFade("R", 0, true, "", true, 2.0f, 2.0f, 4.0f);

  using Read = std::function<float()>;
  const struct {
    const char* what;
    IAnimation& animation;
    float t;
    Read read;
    float expected;
  } kCases[] = {
      {"line x", line, 0.5f, [&] { return line.GetPosition().x; }, 2.0f},
      {"line y", line, 0.5f, [&] { return line.GetPosition().y; }, 4.0f},
      {"line end y", line, 1.0f, [&] { return line.GetPosition().y; }, 6.0f},
      {"level apex time", level, 0.0f, [&] { return level.GetApexTime(); }, 0.5f},
      {"level y start", level, 0.0f, [&] { return level.GetPosition().y; }, 1.0f},
      {"level x quarter", level, 0.25f, [&] { return level.GetPosition().x; }, 1.0f},
      {"level y quarter", level, 0.25f, [&] { return level.GetPosition().y; }, 2.5f},
      {"level y apex", level, 0.5f, [&] { return level.GetPosition().y; }, 3.0f},
      {"level y end", level, 1.0f, [&] { return level.GetPosition().y; }, 1.0f},
      {"unwind start", level, 0.0f, [&] { return level.GetUnwindAngle(); }, 2.0f * kPi},
      {"unwind half", level, 0.5f, [&] { return level.GetUnwindAngle(); }, kPi / 2.0f},
      {"unwind end", level, 1.0f, [&] { return level.GetUnwindAngle(); }, 0.0f},
      {"drop apex time", drop, 0.0f, [&] { return drop.GetApexTime(); }, 0.25f},
      {"drop y apex", drop, 0.25f, [&] { return drop.GetPosition().y; }, 1.0f},
      {"drop y falling", drop, 0.625f, [&] { return drop.GetPosition().y; }, 0.25f},
      {"drop y end", drop, 1.0f, [&] { return drop.GetPosition().y; }, -2.0f},
      {"flat y", flat, 0.3f, [&] { return flat.GetPosition().y; }, 1.0f},
      {"apex at end, y half-way", upTo, 0.5f, [&] { return upTo.GetPosition().y; }, 0.75f},
      {"apex at end, y end", upTo, 1.0f, [&] { return upTo.GetPosition().y; }, 1.0f},
      {"swing 0", swing, 0.0f, [&] { return swing.GetAngle(); }, -0.5f},
      {"swing 1/8", swing, 0.125f, [&] { return swing.GetAngle(); }, -0.375f},
      {"swing 1/4", swing, 0.25f, [&] { return swing.GetAngle(); }, 0.0f},
      {"swing 1/2", swing, 0.5f, [&] { return swing.GetAngle(); }, 0.5f},
      {"swing 3/4", swing, 0.75f, [&] { return swing.GetAngle(); }, 0.0f},
      {"swing 1", swing, 1.0f, [&] { return swing.GetAngle(); }, -0.5f},
      {"swing x at +M", swing, 0.5f, [&] { return swing.GetPosition().x; }, std::cos(0.5f)},
      {"swing y at +M", swing, 0.5f, [&] { return swing.GetPosition().y; }, std::sin(0.5f)},
      {"blink on", blink, 0.5f, [&] { return blink.GetAlpha(); }, 1.0f},
      {"blink falling", blink, 0.625f, [&] { return blink.GetAlpha(); }, 0.5f},
      {"blink off", blink, 0.75f, [&] { return blink.GetAlpha(); }, 0.0f},
      {"blink back", blink, 1.0f, [&] { return blink.GetAlpha(); }, 1.0f},
      {"fade held", fade, 0.5f, [&] { return fade.GetAlpha(); }, 1.0f},
      {"fade 3/4", fade, 0.75f, [&] { return fade.GetAlpha(); }, 0.25f},
      {"fade end", fade, 1.0f, [&] { return fade.GetAlpha(); }, 0.0f},
      {"light on steady", lightOn, 0.75f, [&] { return lightOn.GetAlpha(); }, 1.0f},
      {"light on fading", lightOn, 0.875f, [&] { return lightOn.GetAlpha(); }, 0.25f},
      {"light off steady", lightOff, 0.5f, [&] { return lightOff.GetAlpha(); }, 0.0f},
      {"light off rising", lightOff, 0.875f, [&] { return lightOff.GetAlpha(); }, 0.25f},
      {"long fade at start", longFade, 0.0f, [&] { return longFade.GetAlpha(); }, 0.25f},
  };
  for (const auto& c : kCases) {
    c.animation.SetProgress(c.t);
    EXPECT_NEAR(c.read(), c.expected, 1e-5f) << c.what << " at t = " << c.t;
  }
}

TEST(AnimationCurves, ALineDisappearsOnlyAtTheEndOfAOneShotRun) {
  CLineAnimation oneShot("L", 1, false, "", {1, 1}, true);
  CLineAnimation looping("L", 1, true, "", {1, 1}, true);
  CLineAnimation staying("L", 1, false, "", {1, 1}, false);
  oneShot.SetProgress(0.99f);
  EXPECT_FALSE(oneShot.IsDisappearing());
  for (CLineAnimation* line : {&oneShot, &looping, &staying}) line->SetProgress(1.0f);
  EXPECT_TRUE(oneShot.IsDisappearing());
  EXPECT_FALSE(looping.IsDisappearing());
  EXPECT_FALSE(staying.IsDisappearing());
}

TEST(AnimationCurves, AlphaBytesTruncateOnTheSpriteScale) {
  const struct {
    float alpha;
    uint8_t byte;
  } kCases[] = {{1.0f, 128}, {0.999f, 127}, {0.5f, 64}, {0.0f, 0}, {1.5f, 128}, {-0.5f, 0}};
  for (const auto& c : kCases) EXPECT_EQ(AlphaToByte(c.alpha), c.byte) << c.alpha;
}

TEST(RandomOnOff, EqualBoundsKeepTheLengthWhileEachWrapTogglesTheLight) {
  CRandomOnOffAnimation light("R", 99.0f, true, "", true, 2.0f, 2.0f, 0.5f);
  EXPECT_FLOAT_EQ(light.GetDuration(), 2.0f) << "the given length is replaced";
  light.Start(0.0f);
  ASSERT_TRUE(light.Update(1.5f));
  EXPECT_TRUE(light.IsOn());
  ASSERT_TRUE(light.Update(1.0f));
  EXPECT_FLOAT_EQ(light.GetPreviousProgress(), 0.75f);
  EXPECT_FLOAT_EQ(light.GetProgress(), 0.25f);
  EXPECT_FALSE(light.IsOn());
  EXPECT_FLOAT_EQ(light.GetDuration(), 2.0f);
}

TEST(RandomOnOff, LengthsAreDrawnBetweenTheBoundsFromItsOwnGenerator) {
  const uint32_t seed = 12345;
  CRandomOnOffAnimation light("R", 0, true, "", false, 1.0f, 3.0f, 0.0f, seed);
  CRandom expected(seed);
  EXPECT_FLOAT_EQ(light.GetDuration(), 1.0f + 2.0f * float(expected.Next()) / 32767.0f);
  light.Start(0.0f);
  light.Update(light.GetDuration());
  EXPECT_TRUE(light.IsOn());
  EXPECT_FLOAT_EQ(light.GetDuration(), 1.0f + 2.0f * float(expected.Next()) / 32767.0f);
  EXPECT_GE(light.GetDuration(), 1.0f);
  EXPECT_LE(light.GetDuration(), 3.0f);
}

// Both bounds 0 give no period: the light must not toggle on every frame for ever.
TEST(RandomOnOff, BothBoundsZeroStopsInsteadOfSpinning) {
  CRandomOnOffAnimation light("R", 1.0f, true, "", true, 0.0f, 0.0f, 0.5f);
  light.Start(0.0f);
  EXPECT_TRUE(light.Update(0.02f));
  for (int frame = 0; frame < 10; ++frame) EXPECT_FALSE(light.Update(0.02f));
  EXPECT_FALSE(light.IsPlaying());
  EXPECT_TRUE(light.IsOn());
  EXPECT_FLOAT_EQ(light.GetAlpha(), 1.0f);
}

}  // namespace
