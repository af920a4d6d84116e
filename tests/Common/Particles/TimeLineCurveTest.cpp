// Resampling time-line curves.

#include "Common/Particles/CTimeLineCurve.h"
#include "Quor/ReportError.h"
#include "tests/support/engine/ReportScope.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TimeLineCurveTest, ResamplesARampAtFiftySamplesPerSecond) {
  CTimeLineCurve ramp("0|0;1|255", 2.0f);
  ASSERT_EQ(ramp.GetCount(), 100u);
  EXPECT_NEAR(ramp.GetSamples()[0], 0.01275f, 1e-6f);  // taken 0.0001 s after birth
  EXPECT_FLOAT_EQ(ramp.GetSamples()[50], 127.5f);
  EXPECT_FLOAT_EQ(ramp.GetSamples()[99], 255.0f);
  EXPECT_FLOAT_EQ(ramp.Sample(0.0f), ramp.GetSamples()[0]);
  EXPECT_FLOAT_EQ(ramp.Sample(1.0f), 255.0f);
  EXPECT_FLOAT_EQ(ramp.Sample(0.5f), ramp.GetSamples()[49]);  // truncated (count - 1) x 0.5
  EXPECT_EQ(ramp.GetCursor(), 49u);
}

TEST(TimeLineCurveTest, CommasAreDecimalPointsAndNoneIsNoCurve) {
  CTimeLineCurve peak("0|10;0,5|20;1|10", 1.0f);
  EXPECT_FLOAT_EQ(peak.GetSamples()[25], 20.0f);  // the middle point sits at 0.5 s
  EXPECT_FLOAT_EQ(peak.GetSamples()[10], 14.0f);
  EXPECT_FLOAT_EQ(peak.GetSamples()[40], 14.0f);
  CTimeLineCurve spaced(" 0 | 2,5 ; 1 | 2,5 ", 1.0f);
  EXPECT_FLOAT_EQ(spaced.GetSamples()[20], 2.5f);
  for (const char* none : {"none", "None", "NONE"}) EXPECT_TRUE(CTimeLineCurve::IsNoCurve(none)) << none;
  EXPECT_TRUE(CTimeLineCurve::IsNoCurve(nullptr));
  EXPECT_FALSE(CTimeLineCurve::IsNoCurve("0|0;1|1"));
}

// Curves whose points do not cover the whole life hold the nearest point's value, and
// lifetimes shorter than one step still get one sample.
TEST(TimeLineCurveTest, PartialAndShortCurvesHoldTheirNearestValue) {
  CTimeLineCurve late("0,5|100;1|200", 1.0f);
  EXPECT_FLOAT_EQ(late.GetSamples()[0], 100.0f);
  EXPECT_FLOAT_EQ(late.GetSamples()[24], 100.0f);
  EXPECT_FLOAT_EQ(late.GetSamples()[25], 100.0f);
  EXPECT_FLOAT_EQ(late.GetSamples()[30], 120.0f);

  CTimeLineCurve early("0|0;0,5|50", 1.0f);
  EXPECT_FLOAT_EQ(early.GetSamples()[10], 20.0f);
  EXPECT_FLOAT_EQ(early.GetSamples()[30], 50.0f);
  EXPECT_FLOAT_EQ(early.GetSamples()[48], 50.0f);

  CTimeLineCurve single("0,3|7", 1.0f);
  for (float sample : single.GetSamples()) EXPECT_FLOAT_EQ(sample, 7.0f);

  CTimeLineCurve jump("0|1;0,5|1;0,5|9;1|9", 1.0f);
  EXPECT_FLOAT_EQ(jump.GetSamples()[24], 1.0f);
  EXPECT_FLOAT_EQ(jump.GetSamples()[26], 9.0f);

  for (float duration : {0.01f, 0.0f, -1.0f}) {
    CTimeLineCurve tiny("0|3;1|5", duration);
    ASSERT_EQ(tiny.GetCount(), 1u) << duration;
    EXPECT_FLOAT_EQ(tiny.Sample(0.0f), 5.0f);
    EXPECT_FLOAT_EQ(tiny.Sample(1.0f), 5.0f);
  }
}

TEST(TimeLineCurveTest, BadPointsAndFractionsAreReportedNotReadOutside) {
  hmtest::CReportScope capture;
  const std::vector<std::string>& reports = hmtest::Reports();
  CTimeLineCurve curve("0|4;junk;1|8", 1.0f);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("junk"), std::string::npos);
  EXPECT_FLOAT_EQ(curve.Sample(2.0f), 8.0f);  // reported, then the last sample
  EXPECT_EQ(reports.size(), 2u);
  EXPECT_FLOAT_EQ(curve.Sample(-3.0f), curve.GetSamples()[0]);
  CTimeLineCurve empty("", 1.0f);
  EXPECT_FLOAT_EQ(empty.Sample(0.5f), 0.0f);
}

}  // namespace
