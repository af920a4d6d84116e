// Paths, spline files and camera splines: values at keys and midpoints worked out by
// hand, and damaged files.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Common/Utils/CameraSpline/CCameraSpline.h"
#include "Common/Utils/Spline/CSpline.h"
#include "Common/Utils/Spline/CSpline2D.h"
#include "Quor/CByteReader.h"
#include "tests/Quor/ContentFixture.h"

using contenttest::CContentFolder;
using contenttest::CReportCapture;

namespace {

void ExpectPoint(const Vector4& p, float x, float y, float z) {
  EXPECT_FLOAT_EQ(p.x, x);
  EXPECT_FLOAT_EQ(p.y, y);
  EXPECT_FLOAT_EQ(p.z, z);
  EXPECT_FLOAT_EQ(p.w, 0.0f);
}

TEST(SplineTest, TwoKeysGetTheirMidpoint) {
  const Vector4 keys[] = {{0, 2, 4, 7}, {2, 4, 8, 7}};
  CSpline path;
  path.SetKeys(keys, 2, 0, 1);
  ASSERT_EQ(path.GetKeyCount(), 3u);
  ExpectPoint(path.GetKey(1), 1, 3, 6);
  EXPECT_FLOAT_EQ(path.GetRate(), 2.0f);
}

// Keys x = 0, 1, 4, 9 at times 0..3. Catmull-Rom at u = 0.5 weighs its four points by
// -1/16, 9/16, 9/16, -1/16; before the first key the missing point mirrors the second.
TEST(SplineTest, EvaluatesAtKeysAndMidpoints) {
  const Vector4 keys[] = {{0, 0, 0, 1}, {1, 0, 0, 1}, {4, 0, 0, 1}, {9, 0, 0, 1}};
  CSpline path;
  path.SetKeys(keys, 4, 0, 3);
  const struct {
    float t, curve, line;
  } cases[] = {
      {-1, 0, 0}, {0, 0, 0}, {1, 1, 1}, {2, 4, 4}, {3, 9, 9}, {5, 9, 9},
      {0.5f, 0.375f, 0.5f},   // (-1 x -1 + 9 x 0 + 9 x 1 - 4) / 16
      {1.5f, 2.25f, 2.5f},    // (-0 + 9 + 36 - 9) / 16
      {2.5f, 6.375f, 6.5f},   // (-1 + 36 + 81 - 14) / 16, the last point mirrored: 2 x 9 - 4
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.t);
    ExpectPoint(path.Evaluate(c.t), c.curve, 0, 0);
    ExpectPoint(path.EvaluateLinear(c.t), c.line, 0, 0);
  }
}

TEST(SplineTest, DegenerateTimeRangesAndEmptyPathsDoNotDivideByZero) {
  const Vector4 keys[] = {{1, 0, 0, 0}, {2, 0, 0, 0}, {3, 0, 0, 0}};
  CSpline path;
  path.SetKeys(keys, 3, 1, 1);
  ExpectPoint(path.Evaluate(0.5f), 1, 0, 0);
  ExpectPoint(path.Evaluate(1), 3, 0, 0);
  ExpectPoint(path.EvaluateLinear(NAN), 1, 0, 0);
  path.SetKeys(keys, 3, 2, 1);  // backwards range
  ExpectPoint(path.Evaluate(2.5f), 3, 0, 0);
  path.SetKeys(keys, 1, 0, 1);
  ExpectPoint(path.Evaluate(0.5f), 1, 0, 0);
  path.SetKeys(keys, 0, 0, 1);
  ExpectPoint(path.Evaluate(0.5f), 0, 0, 0);

  const Vector2 uv[] = {{0, 0}, {1, 2}};
  CSpline2D flat;
  flat.SetKeys(uv, 2, 0, 0);
  EXPECT_EQ(flat.GetKeyCount(), 3u);
  EXPECT_FLOAT_EQ(flat.Evaluate(0).y, 2.0f);
  flat.SetKeys(uv, 2, 0, 1);
  EXPECT_FLOAT_EQ(flat.Evaluate(0.25f).y, 0.5f);
}

TEST(SplineFileTest, ClosedPathRepeatsItsFirstPointAndCountsTheClosingSide) {
  CContentFolder content;
  content.Put("Square.spl", WriteSplineFile("Square", {{true, {{0, 0, 0, 1}, {1, 0, 0, 1}, {1, 1, 0, 1}, {0, 1, 0, 1}}},
                                                       {false, {{0, 0, 0, 0}, {0, 0, 2, 0}}}}));
  CSplineFile file;
  file.Load("Square.spl");
  ASSERT_EQ(file.GetEntryCount(), 2u);
  EXPECT_STREQ(file.GetName(), "Square");
  const CSplineFile::SEntry& square = file.GetEntry(0);
  ASSERT_EQ(square.points.size(), 5u);
  EXPECT_FLOAT_EQ(square.points[4].x, 0.0f);
  EXPECT_FLOAT_EQ(square.length, 4.0f);
  ExpectPoint(file.EvaluateCurrentLinear(0.25f), 1, 0, 0);
  file.SetCurrent(1);
  EXPECT_FLOAT_EQ(file.GetEntry(1).length, 2.0f);
  ExpectPoint(file.EvaluateCurrent(0.5f), 0, 0, 1);
  file.SetCurrent(7);
  ExpectPoint(file.EvaluateCurrent(0.5f), 0, 0, 0);
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t keep) {
  bytes.resize(keep);
  return bytes;
}

TEST(SplineFileDeathTest, WrongVersionZeroPointsAndDamageAreFatal) {
  std::vector<uint8_t> good = WriteSplineFile("S", {{false, {{0, 0, 0, 0}, {1, 1, 1, 0}}}});
  std::vector<uint8_t> version = good;
  version[2] = 101;
  std::vector<uint8_t> empty = WriteSplineFile("S", {{false, {}}});
  std::vector<uint8_t> count = good;
  count[6] = 0xFF;  // path count 255
  const struct {
    std::vector<uint8_t> bytes;
    const char* message;
  } cases[] = {
      {version, "\"bad.spl\": Incorrect spline version, theirs 101 - ours 102"},
      {empty, "\"bad.spl\": SPline\\[0\\] contains zero points"},
      {count, "\"bad.spl\" is damaged: 255 paths do not fit in the file"},
      {Cut(good, good.size() - 4), "\"bad.spl\" is damaged: path 0 has 2 points, more than the file holds"},
      {Cut(good, 4), "\"bad.spl\" is damaged: the header is cut short"},
  };
  for (const auto& c : cases) {
    CSplineFile file;
    CByteReader reader(c.bytes);
    EXPECT_EXIT(file.LoadFromBytes("bad.spl", reader), ::testing::ExitedWithCode(3), c.message);
  }
}

SCameraKey Key(float x, float y, float z) {
  SCameraKey key;
  key.values[0] = x;
  key.values[1] = y;
  key.values[2] = z;
  return key;
}

TEST(CameraSplineTest, PositionAndTargetFollowTheKeysOverTime) {
  SCameraTrackDesc moving;
  moving.name = "Dolly";
  moving.kind = 1;
  moving.length = 4;  // 4 position keys: step 1, keys at 0, 1, 2, 3
  moving.fieldOfView = 0.8f;
  moving.rotation = Quaternion{0, 0, 0, 1};
  moving.positionKeys = {Key(0, 0, 0), Key(1, 0, 0), Key(4, 0, 0), Key(9, 0, 0)};
  moving.targetKeys = {Key(0, 0, 10), Key(0, 2, 10)};
  SCameraTrackDesc fixed;
  fixed.name = "Still";
  fixed.point = Vector4{5, 6, 7, 0};
  fixed.target = Vector4{1, 2, 3, 0};
  CContentFolder content;
  content.Put("Intro.cam", WriteCameraSplineFile("Intro", {moving, fixed}));
  CCameraSpline camera;
  camera.Load("Intro.cam");
  ASSERT_EQ(camera.GetTrackCount(), 2u);
  const CCameraTrack& dolly = camera.GetTrack(0);
  EXPECT_STREQ(dolly.name, "Dolly");
  EXPECT_FLOAT_EQ(dolly.step, 1.0f);
  EXPECT_FLOAT_EQ(dolly.fieldOfView, 0.8f);
  ExpectPoint(dolly.up, 0, 1, 0);
  ExpectPoint(dolly.EvaluatePosition(2), 4, 0, 0);
  ExpectPoint(dolly.EvaluatePosition(1.5f), 2.25f, 0, 0);
  ExpectPoint(dolly.EvaluatePosition(10), 9, 0, 0);
  Vector4 target;
  // Two target keys over 0..1 gain a midpoint: halfway is (0, 1, 10).
  ASSERT_TRUE(dolly.EvaluateTarget(0.5f, &target));
  ExpectPoint(target, 0, 1, 10);

  const CCameraTrack& still = camera.GetTrack(1);
  EXPECT_FLOAT_EQ(still.step, 0.0f);
  ExpectPoint(still.EvaluatePosition(3), 5, 6, 7);
  ASSERT_TRUE(still.EvaluateTarget(3, &target));
  ExpectPoint(target, 1, 2, 3);
  EXPECT_FLOAT_EQ(camera.GetLength(), 0.0f);  // the last track's length
}

TEST(CameraSplineTest, Version101StoresAHorizontalAngle) {
  SCameraTrackDesc track;
  track.kind = 1;
  std::vector<uint8_t> bytes = WriteCameraSplineFile("Old", {track});
  bytes[4] = 101;
  // Version 101 has one angle where 102 has two: drop the first (zero) angle's bytes and
  // store the horizontal angle of a 4:3 view whose vertical angle is 90 degrees.
  const size_t anglesAt = 4 + 4 + 4 + 4 + 1 + 4 + 8;  // name, version, count, length, name, kind, parameters
  bytes.erase(bytes.begin() + anglesAt, bytes.begin() + anglesAt + 4);
  const float horizontal = 2 * std::atan(4.0f / 3.0f);
  std::memcpy(&bytes[anglesAt], &horizontal, 4);
  CCameraSpline camera;
  CByteReader reader(bytes);
  camera.LoadFromBytes("Old.cam", reader);
  ASSERT_EQ(camera.GetTrackCount(), 1u);
  EXPECT_NEAR(camera.GetTrack(0).fieldOfView, 1.5707964f, 1e-5f);
  Vector4 target;
  EXPECT_FALSE(camera.GetTrack(0).EvaluateTarget(0, &target));
}

TEST(CameraSplineDeathTest, WrongVersionAndDamageAreFatal) {
  SCameraTrackDesc track;
  track.positionKeys = {Key(0, 0, 0)};
  std::vector<uint8_t> good = WriteCameraSplineFile("C", {track});
  std::vector<uint8_t> version = good;
  version[2] = 103;
  std::vector<uint8_t> keys = good;
  const size_t keyCountAt = good.size() - 4 - 32 - 4;
  keys[keyCountAt + 3] = 0x40;  // a billion keys
  std::vector<uint8_t> tracks = good;
  tracks[6] = 9;
  const struct {
    std::vector<uint8_t> bytes;
    const char* message;
  } cases[] = {
      {version, "\"bad.cam\": Incorrect camera animation version, theirs 103 - ours 102"},
      {keys, "\"bad.cam\" is damaged: track \"\" is cut short"},
      {tracks, "\"bad.cam\" is damaged: 9 tracks, but only 1 in the file"},
      {Cut(good, good.size() - 8), "\"bad.cam\" is damaged: track \"\" is cut short"},
  };
  for (const auto& c : cases) {
    CCameraSpline camera;
    CByteReader reader(c.bytes);
    EXPECT_EXIT(camera.LoadFromBytes("bad.cam", reader), ::testing::ExitedWithCode(3), c.message);
  }
}

TEST(SplineFileTest, MissingFilesAreReportedAndLeaveNothingLoaded) {
  CContentFolder content;
  CReportCapture reports;
  CSplineFile file;
  file.Load("none.spl");
  EXPECT_EQ(file.GetEntryCount(), 0u);
  EXPECT_EQ(reports.Last(), "Spline file \"none.spl\" not found");
  CCameraSpline camera;
  camera.Load("none.cam");
  EXPECT_EQ(camera.GetTrackCount(), 0u);
  EXPECT_EQ(reports.Last(), "Camera animation file \"none.cam\" not found");
}

}  // namespace
