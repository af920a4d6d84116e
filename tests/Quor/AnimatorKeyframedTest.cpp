// Keyframed animations: sampling between keys, looping, events, blending and adding, and
// files that are damaged.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Quor/CAnimator_Keyframed.h"
#include "tests/Quor/AnimationTestKit.h"
#include "tests/Quor/VfsTestKit.h"

using namespace animtest;

namespace {

class KeyframedTest : public ::testing::Test {
 protected:
  void SetUp() override { AnimationEventClear(); }
  void TearDown() override { AnimationEventClear(); }
};

// Three position keys over 30 frames at 10 frames per second.
SBanDescription ThreeKeyWalk() {
  SBanDescription d = OneTrack("Arm", 30, 10);
  SBanTrack& arm = d.tracks[0];
  arm.positionKeys = {Key(0, 0, 0, 0), Key(10, 10, 20, 30), Key(20, 20, 0, 0)};
  return d;
}

TEST_F(KeyframedTest, PositionsAreSampledBetweenKeysAndWrapWhenLooping) {
  const std::vector<uint8_t> bytes = BanBytes(ThreeKeyWalk());
  CAnimator_Keyframed animator(FileOf(bytes));
  ASSERT_TRUE(animator.IsLoaded());
  EXPECT_FLOAT_EQ(animator.GetLength(), 3.0f);
  CModelNode arm = Node("arm");  // names match without regard to case

  const struct {
    float frame;
    bool looping;
    float x, y, z;
  } cases[] = {
      {5, false, 5, 10, 15},   {10, false, 10, 20, 30}, {15, false, 15, 10, 15},
      {25, false, 20, 0, 0},   {-5, false, 0, 0, 0},    {25, true, 10, 0, 0},  // last key back to the first
      {35, true, 5, 10, 15},   {-5, true, 10, 0, 0},
  };
  for (const auto& c : cases) {
    const SNodeTransform pose = PoseAt(animator, arm, c.frame / 10.0f, c.looping);
    EXPECT_NEAR(pose.position.x, c.x, 1e-4f) << "frame " << c.frame << " looping " << c.looping;
    EXPECT_NEAR(pose.position.y, c.y, 1e-4f) << "frame " << c.frame << " looping " << c.looping;
    EXPECT_NEAR(pose.position.z, c.z, 1e-4f) << "frame " << c.frame << " looping " << c.looping;
  }
}

TEST_F(KeyframedTest, KeysPastTheEndAreDroppedAndALoopStartsOnTheWrappingSpan) {
  SBanDescription d = OneTrack("ARM", 30, 10);
  // Keys at 30 and 40 lie past the last frame; the first key is not at frame 0.
  d.tracks[0].positionKeys = {Key(5, 0, 0, 0), Key(15, 10, 0, 0), Key(30, 99, 0, 0), Key(40, 99, 0, 0)};
  const std::vector<uint8_t> bytes = BanBytes(d);
  CAnimator_Keyframed animator(FileOf(bytes));
  ASSERT_EQ(animator.GetAnimation().tracks[0].positionKeys.Count(), 2u);
  CModelNode node = Node("Arm");

  const struct {
    float frame;
    bool looping;
    float x;
  } cases[] = {
      {10, true, 5},     // between the two keys
      {25, true, 5},     // halfway along the 20 frames from key 15 round to key 5
      {0, true, 2.5f},   // before the first key: still on the span from the last key
      {0, false, 0},     // not looping: the first key holds
      {28, false, 10},   // not looping: the last remaining key holds
  };
  for (const auto& c : cases)
    EXPECT_NEAR(PoseAt(animator, node, c.frame / 10.0f, c.looping).position.x, c.x, 1e-4f)
        << "frame " << c.frame << " looping " << c.looping;
}

TEST_F(KeyframedTest, AKeptAttachmentFindsTheSameKeysAsAFreshOneInEitherDirection) {
  SBanDescription d = OneTrack("Tail", 100, 10);
  for (uint16_t f = 0; f < 100; f += 5) d.tracks[0].positionKeys.push_back(Key(f, float(f * f % 17), 0, 0));
  const std::vector<uint8_t> bytes = BanBytes(d);
  CAnimator_Keyframed animator(FileOf(bytes));
  CModelNode node = Node("Tail");
  std::unique_ptr<CAttachedInfo> kept(animator.CreateAttachment(&node));

  const float frames[] = {1, 3, 47, 48, 99, 2, 71, 70.5f, 12, 12, 96, 0.5f};
  for (float frame : frames) {
    animator.SetTime(0, frame / 10.0f, kAnimationTimeJumped, true);
    SetAnimationBlendWeight(1.0f);
    SNodeTransform withCursor;
    animator.Apply(&withCursor, kept.get());
    EXPECT_FLOAT_EQ(withCursor.position.x, PoseAt(animator, node, frame / 10.0f, true).position.x)
        << "frame " << frame;
  }
}

TEST_F(KeyframedTest, RotationsAreSphericallyInterpolated) {
  SBanDescription d = OneTrack("Head", 20, 10);
  SBanTrack& track = d.tracks[0];
  track.rotationKeys = {ZTurn(0, 0), ZTurn(10, 90)};
  const std::vector<uint8_t> bytes = BanBytes(d);
  CAnimator_Keyframed animator(FileOf(bytes));
  CModelNode head = Node("Head");
  ExpectQuaternionNear(PoseAt(animator, head, 0.5f, false).rotation, ZRotation(45));
  ExpectQuaternionNear(PoseAt(animator, head, 0.25f, false).rotation, ZRotation(22.5f));
  // A track without scale keys keeps its base scale.
  EXPECT_FLOAT_EQ(PoseAt(animator, head, 0.5f, false).scale.x, 1.0f);
}

TEST_F(KeyframedTest, EventsFireForTheFramesAStepPassedOverInTheOrderMet) {
  SBanDescription d = ThreeKeyWalk();  // 30 frames at 10 frames per second, looping
  d.events = {{0, 100}, {3, 103}, {7, 107}, {10, 110}, {12, 112}};
  const std::vector<uint8_t> bytes = BanBytes(d);
  CAnimator_Keyframed animator(FileOf(bytes));

  // A step forward passes the frames after where it began up to where it ends; backward, the
  // frames from where it ends up to before where it began.
  const float kJumped = std::numeric_limits<float>::quiet_NaN();  // marks a first step below
  const struct {
    float toFrame;
    float travelled;  // frames since the previous step; kJumped for a first step
    std::vector<uint32_t> fired;
  } cases[] = {
      {9.9f, 0.7f, {}},
      {10.3f, 0.4f, {110}},
      {10.0f, 0.5f, {110}},                  // ending on a frame passes it ...
      {10.5f, 0.5f, {}},                     // ... so starting from it does not
      {12.2f, 7.6f, {107, 110, 112}},
      {3.5f, 5.0f, {100, 103}},              // round the end of the loop to frame 0 and on
      {2.0f, 60.0f, {103, 107, 110, 112, 100, 103, 107, 110, 112, 100}},  // two whole loops
      {9.5f, -2.7f, {112, 110}},             // backward from 12.2
      {28.5f, -3.0f, {100}},                 // backward from 1.5, round the start
      {10.3f, kJumped, {110}},               // a first step fires the frame it lands on ...
      {10.6f, kJumped, {}},                  // ... unless past that frame's first half
      {4.0f, 0.0f, {}},                      // no movement, no events
  };
  for (const auto& c : cases) {
    AnimationEventClear();
    const float elapsed = std::isnan(c.travelled) ? kAnimationTimeJumped : c.travelled / 10.0f;
    animator.SetTime(0, c.toFrame / 10.0f, elapsed, true);
    std::vector<uint32_t> fired;
    while (GetAnimationEventQueue().count > 0) fired.push_back(AnimationEventPop());
    EXPECT_EQ(fired, c.fired) << "to frame " << c.toFrame << " after " << c.travelled;
  }
}

TEST_F(KeyframedTest, TheEventQueueKeepsTheNewest256ValuesInOrder) {
  for (uint32_t v = 0; v < 300; ++v) AnimationEventPush(v);
  EXPECT_EQ(GetAnimationEventQueue().count, 256u);
  for (uint32_t v = 44; v < 300; ++v) ASSERT_EQ(AnimationEventPop(), v);
  EXPECT_EQ(GetAnimationEventQueue().count, 0u);
  EXPECT_EQ(AnimationEventPop(), 0u);  // an empty queue stays empty
  EXPECT_EQ(GetAnimationEventQueue().count, 0u);

  AnimationEventPush(7);
  AnimationEventClear();
  EXPECT_EQ(GetAnimationEventQueue().count, 0u);
  EXPECT_EQ(GetAnimationEventQueue().readIndex, 0u);
  EXPECT_EQ(GetAnimationEventQueue().writeIndex, 0u);
}

TEST_F(KeyframedTest, BlendingGivesTheWeightedMeanWhateverTheOrder) {
  for (bool lightFirst : {true, false}) {
    SNodeTransform record;
    const float weights[2] = {lightFirst ? 0.25f : 0.75f, lightFirst ? 0.75f : 0.25f};
    for (float w : weights) {
      SetAnimationBlendWeight(w);
      const bool light = w == 0.25f;
      MergeNodeTransform(&record, Vector3{light ? 4.0f : 8.0f, 0, 0}, Vector3{light ? 1.0f : 3.0f, 1, 1},
                         light ? ZRotation(0) : ZRotation(80), true);
    }
    EXPECT_NEAR(record.position.x, 7.0f, 1e-5f);
    EXPECT_NEAR(record.scale.x, 2.5f, 1e-5f);
    EXPECT_FLOAT_EQ(record.weight, 1.0f);
    ExpectQuaternionNear(record.rotation, ZRotation(60));
    EXPECT_EQ(record.mark, 1);
  }
}

TEST_F(KeyframedTest, OffsetAnimationsAddTheirChangeFromTheBasePose) {
  SBanDescription d = OneTrack("Jaw", 10, 10);
  SBanTrack& track = d.tracks[0];
  track.basePosition[0] = 1;
  track.basePosition[1] = 2;
  track.basePosition[2] = 3;
  const Quaternion base = ZRotation(90);
  track.baseRotation[2] = base.z;
  track.baseRotation[3] = base.w;
  track.baseScale[0] = 2;
  track.baseScale[1] = 0;  // counts as 1
  track.positionKeys = {Key(0, 5, 2, 3)};
  track.rotationKeys = {ZTurn(0, 180)};
  track.scaleKeys = {Key(0, 4, 3, 1)};
  SBanTrack still;  // no keys at all: no change
  still.name = "Still";
  still.basePosition[0] = 50;
  d.tracks.push_back(still);
  const std::vector<uint8_t> bytes = BanBytes(d);
  CAnimator_KeyframedOffset animator(FileOf(bytes));
  EXPECT_FALSE(animator.IsActive());

  CModelNode jaw = Node("Jaw");
  std::unique_ptr<CAttachedInfo> attachment(animator.CreateAttachment(&jaw));
  animator.SetTime(0, 0.0f, kAnimationTimeJumped, true);
  SNodeTransform record;
  record.position = Vector4{10, 0, 0, 0};
  record.scale = Vector4{2, 2, 2, 0};
  SetAnimationBlendWeight(0.5f);
  animator.Apply(&record, attachment.get());
  EXPECT_EQ(record.mark, 0);
  EXPECT_NEAR(record.position.x, 12.0f, 1e-5f);  // + 0.5 x (5 - 1)
  EXPECT_NEAR(record.position.y, 0.0f, 1e-5f);
  EXPECT_NEAR(record.scale.x, 3.0f, 1e-5f);      // x (1 + 0.5 x (4 / 2 - 1))
  EXPECT_NEAR(record.scale.y, 4.0f, 1e-5f);      // x (1 + 0.5 x (3 / 1 - 1))
  ExpectQuaternionNear(record.rotation, ZRotation(45));  // half of the 90 degrees offset

  CModelNode stillNode = Node("Still");
  const SNodeTransform unchanged = PoseAt(animator, stillNode, 0.0f, true);
  EXPECT_FLOAT_EQ(unchanged.position.x, 0.0f);
  EXPECT_FLOAT_EQ(unchanged.scale.x, 1.0f);
  ExpectQuaternionNear(unchanged.rotation, Quaternion{});
}

TEST_F(KeyframedTest, OldestVersionHasNoBasePoseAndNoEvents) {
  SBanDescription d = ThreeKeyWalk();
  d.version = 0x100;
  d.tracks[0].basePosition[0] = 9;  // not written at this version
  const std::vector<uint8_t> bytes = BanBytes(d);
  CAnimator_Keyframed animator(FileOf(bytes));
  ASSERT_TRUE(animator.IsLoaded());
  const SKeyframedTrack& track = animator.GetAnimation().tracks[0];
  EXPECT_EQ(track.name, "ARM");
  EXPECT_FLOAT_EQ(track.basePosition.x, 0.0f);
  EXPECT_FLOAT_EQ(track.baseRotation.w, 1.0f);
  EXPECT_FLOAT_EQ(track.baseScale.x, 1.0f);
  EXPECT_EQ(track.positionKeys.Count(), 3u);
  EXPECT_TRUE(animator.GetAnimation().events.empty());
}

TEST_F(KeyframedTest, NoRateNoLengthOrRepeatedFramesNeverDivideByZero) {
  SBanDescription d = OneTrack("Arm", 0, 0);
  SBanTrack& track = d.tracks[0];
  track.positionKeys = {Key(0, 1, 2, 3), Key(0, 4, 5, 6)};
  track.scaleKeys = {Key(4, 2, 2, 2), Key(4, 3, 3, 3)};
  const std::vector<uint8_t> bytes = BanBytes(d);
  CAnimator_Keyframed animator(FileOf(bytes));
  EXPECT_EQ(animator.GetLength(), 0.0f);
  CModelNode arm = Node("Arm");
  for (bool looping : {false, true})
    for (float time : {0.0f, 0.4f, 7.0f}) {
      const SNodeTransform pose = PoseAt(animator, arm, time, looping);
      EXPECT_TRUE(std::isfinite(pose.position.x) && std::isfinite(pose.scale.x)) << time;
      EXPECT_FLOAT_EQ(pose.position.x, 1.0f);
    }

  // Two keys on one frame in an animation that has a length.
  d.frameCount = 10;
  d.framesPerSecond = 10;
  const std::vector<uint8_t> timed = BanBytes(d);
  CAnimator_Keyframed sameFrame(FileOf(timed));
  for (float time : {0.0f, 0.2f, 0.4f, 0.45f, 0.9f}) {
    const SNodeTransform pose = PoseAt(sameFrame, arm, time, true);
    EXPECT_TRUE(std::isfinite(pose.scale.x) && std::isfinite(pose.position.x)) << time;
  }
}

TEST_F(KeyframedTest, NodesWithoutATrackGetNoAttachment) {
  const std::vector<uint8_t> bytes = BanBytes(ThreeKeyWalk());
  CAnimator_Keyframed animator(FileOf(bytes));
  CModelNode leg = Node("Leg");
  EXPECT_EQ(animator.CreateAttachment(&leg), nullptr);
  EXPECT_EQ(animator.CreateAttachment(nullptr), nullptr);
}

// ---- damaged and missing files ----

TEST_F(KeyframedTest, EveryCutShortFileIsReportedAsDamaged) {
  SBanDescription d = ThreeKeyWalk();
  d.tracks[0].rotationKeys = {ZTurn(0, 0), ZTurn(5, 30)};
  d.tracks[0].scaleKeys = {Key(0, 1, 1, 1)};
  d.events = {{3, 1}, {4, 2}};
  const std::vector<uint8_t> whole = BanBytes(d);
  for (size_t size = 4; size < whole.size(); ++size) {
    vfstest::ReportCapture reports;
    CAnimator_Keyframed animator(SFileBytes{whole.data(), size, "Anims/cut.ban"});
    EXPECT_FALSE(animator.IsLoaded()) << size;
    EXPECT_TRUE(animator.GetAnimation().tracks.empty()) << size;
    ASSERT_EQ(reports.Texts().size(), 1u) << size;
    EXPECT_NE(reports.Texts()[0].find("Animation file \"Anims/cut.ban\" is damaged"), std::string::npos)
        << reports.Texts()[0];
  }
}

TEST_F(KeyframedTest, CountsLargerThanTheFileAndUnterminatedNamesAreReported) {
  std::vector<uint8_t> bytes = BanBytes(ThreeKeyWalk());
  const struct {
    const char* what;
    size_t offset;
    std::vector<uint8_t> patch;
    const char* expected;
  } cases[] = {
      {"track count", 10, {0xFF, 0xFF}, "tracks: 65535 records"},
      {"position key count", 16 + 12, {0xFF, 0xFF}, "position keys: 65535 records"},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> damaged = bytes;
    std::copy(c.patch.begin(), c.patch.end(), damaged.begin() + c.offset);
    vfstest::ReportCapture reports;
    CAnimator_Keyframed animator(FileOf(damaged, "big.ban"));
    EXPECT_FALSE(animator.IsLoaded()) << c.what;
    EXPECT_NE(reports.All().find(c.expected), std::string::npos) << reports.All();
    EXPECT_NE(reports.All().find("big.ban"), std::string::npos) << reports.All();
  }

  // A name that runs to the end of the file.
  std::vector<uint8_t> unterminated(bytes.begin(), bytes.begin() + 12);
  unterminated.resize(unterminated.size() + 60, 'M');
  vfstest::ReportCapture reports;
  CAnimator_Keyframed animator(FileOf(unterminated));
  EXPECT_FALSE(animator.IsLoaded());
  EXPECT_NE(reports.All().find("has no terminator"), std::string::npos) << reports.All();
}

TEST_F(KeyframedTest, ALongTrackNameIsCutAndTheRestSkipped) {
  SBanDescription d = ThreeKeyWalk();
  std::vector<uint8_t> bytes = BanBytes(d);
  // Grow the name "Arm" to 300 characters by hand: the writer refuses such names.
  const std::string longName(300, 'q');
  bytes.erase(bytes.begin() + 12, bytes.begin() + 15);
  bytes.insert(bytes.begin() + 12, longName.begin(), longName.end());
  CAnimator_Keyframed animator(FileOf(bytes));
  ASSERT_TRUE(animator.IsLoaded());
  EXPECT_EQ(animator.GetAnimation().tracks[0].name, std::string(255, 'Q'));
  EXPECT_EQ(animator.GetAnimation().tracks[0].positionKeys.Count(), 3u);
}

TEST_F(KeyframedTest, AFileOfAnotherKindStopsTheProgram) {
  const std::vector<uint8_t> bytes = {'B', 'M', 'O', ' ', 0, 1};
  EXPECT_EXIT(CAnimator_Keyframed(FileOf(bytes, "Anims/model.ban")), ::testing::ExitedWithCode(3),
              "File \"Anims/model.ban\" not an animation file!");
  EXPECT_EXIT(CAnimator_Keyframed(SFileBytes{nullptr, 0, "empty.ban"}), ::testing::ExitedWithCode(3),
              "not an animation file");
}

class KeyframedFileTest : public KeyframedTest {
 protected:
  void SetUp() override {
    KeyframedTest::SetUp();
    vfstest::WriteBytes(m_folder + "/Content/Anims/Walk.ban", BanBytes(ThreeKeyWalk()));
    m_vfs.reset(new CVFS((m_folder + "/Content").c_str()));
    g_pVFS = m_vfs.get();
  }
  void TearDown() override {
    g_pVFS = nullptr;
    KeyframedTest::TearDown();
  }

  vfstest::ArchiveFlag m_plain{false};
  std::string m_folder = vfstest::MakeTempFolder();
  std::unique_ptr<CVFS> m_vfs;
};

TEST_F(KeyframedFileTest, AnimationsLoadThroughTheFileSystem) {
  CAnimator_KeyframedOffset animator("Anims/Walk.ban");
  ASSERT_TRUE(animator.IsLoaded());
  EXPECT_EQ(animator.GetAnimation().tracks.size(), 1u);
  EXPECT_FLOAT_EQ(animator.GetLength(), 3.0f);
}

TEST_F(KeyframedFileTest, AMissingAnimationStopsTheProgram) {
  EXPECT_EXIT(CAnimator_Keyframed("Anims/Run.ban"), ::testing::ExitedWithCode(3),
              "Animation file \"Anims/Run.ban\" not found!");
}

}  // namespace
