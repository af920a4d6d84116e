// Render objects: a skinned strip posed by a skeleton animation, fades, blending, the time
// step in both directions, animation events handed to the listener, and drawing with the
// bone palette.

#include "Quor/CRenderObject.h"

#include "Quor/CAnimator_KeyframedSkeleton.h"
#include "Quor/MatrixTable.h"
#include "Quor/Timer.h"
#include "tests/Quor/AnimationTestKit.h"
#include "tests/Quor/ModelTestKit.h"

namespace {

using animtest::BanBytes;
using animtest::FileOf;
using animtest::Key;
using modeltest::BatchOf;
using modeltest::BmoBytes;

class RenderObjectTest : public modeltest::CModelFixture {
 protected:
  void SetUp() override {
    CModelFixture::SetUp();
    CreateFrameClock();
    AnimationEventClear();
  }
  void TearDown() override {
    DeleteFrameClock();
    CModelFixture::TearDown();
  }

  CModel* Model(const SBmoDescription& description) {
    const std::vector<uint8_t> bytes = BmoBytes(description);
    return new CModel(bytes.data(), bytes.size(), "test.bmo", "test");
  }
  static void Frame(float time, float delta) {
    GetFrameClock()->time = time;
    GetFrameClock()->delta = delta;
  }
  // A one-second animation of one track holding one position.
  static std::vector<uint8_t> HoldAt(const char* track, float x) {
    SBanDescription d = animtest::OneTrack(track, 10, 10);
    d.tracks[0].positionKeys = {Key(0, x, 0, 0)};
    return BanBytes(d);
  }
};

// What a skinning shader does with a vertex: its bones' matrices mixed by its weights.
Vector4 Skin(const SModelVertex& v, const CModelBatch& batch, const CRenderObject& object) {
  Vector4 sum;
  for (int k = 0; k < 4; ++k) {
    if (v.bones[k] == 0xFF || v.weights[k] == 0.0f) continue;
    Vector4 p{v.position[0], v.position[1], v.position[2], 1.0f};
    TransformPoint(&p, object.GetNodeMatrix(batch.bones[v.bones[k]]));
    sum = {sum.x + v.weights[k] * p.x, sum.y + v.weights[k] * p.y, sum.z + v.weights[k] * p.z, 0.0f};
  }
  return sum;
}

TEST_F(RenderObjectTest, SkeletonAnimationBendsTheStripAtItsSecondBone) {
  CRenderObject strip(Model(MakeStripModel("Skin", 2.0f)), true);
  SBanDescription bend = animtest::OneTrack("Bone2", 10, 10);
  bend.tracks[0].rotationKeys = {animtest::ZTurn(0, 90.0f)};
  const std::vector<uint8_t> bytes = BanBytes(bend);
  CAnimator_KeyframedSkeleton animator(FileOf(bytes));
  strip.AddAnimation(&animator, SAnimationStart());
  Frame(0.3f, 0.0f);
  strip.UpdateAnimations();

  const CModelBatch& batch = strip.GetModel()->GetBatch(0);
  const auto& vertices = BatchOf(batch).vertices;
  struct SCase {
    size_t vertex;
    Vector3 expected;
  };
  // Quads of 6 vertices: (x0,-.5) (x1,-.5) (x1,.5) (x0,-.5) (x1,.5) (x0,.5), x in steps of 0.5.
  const SCase cases[] = {
      {0, {0.0f, -0.5f, 0.0f}},   // on Bone1 alone: unmoved
      {19, {1.5f, 1.0f, 0.0f}},   // the tip (2, -0.5) turned a quarter about (1, 0)
      {14, {0.5f, 0.5f, 0.0f}},   // (1.5, 0.5) turned about (1, 0)
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.vertex);
    const Vector4 p = Skin(vertices[c.vertex], batch, strip);
    EXPECT_NEAR(p.x, c.expected.x, 1e-4f);
    EXPECT_NEAR(p.y, c.expected.y, 1e-4f);
    EXPECT_NEAR(p.z, c.expected.z, 1e-4f);
  }
  // The middle vertex (1, -0.5) follows both bones by half: (1, -0.5) and (1.5, 0).
  const Vector4 middle = Skin(vertices[12], batch, strip);
  EXPECT_NEAR(middle.x, 1.25f * 128 / 127.5f, 1e-3f);
  EXPECT_NEAR(middle.y, -0.25f * 128 / 127.5f, 1e-3f);
}

TEST_F(RenderObjectTest, InstancesFadeInToOneAndFadeOutToDestructionOrFreezing) {
  for (bool keep : {false, true}) {
    SCOPED_TRACE(keep);
    CRenderObject box(Model(MakeBoxModel("Crate", 1.0f)), true);
    box.SetKeepFinished(keep);
    const std::vector<uint8_t> bytes = HoldAt("Box", 2.0f);
    CAnimator_Keyframed animator(FileOf(bytes));
    SAnimationStart start;
    start.fadeInSeconds = 0.5f;
    SAnimationInstance* instance = box.AddAnimation(&animator, start);
    const float weights[] = {0.5f, 1.0f, 1.0f};
    for (float expected : weights) {
      Frame(0.1f, 0.25f);
      box.UpdateAnimations();
      EXPECT_FLOAT_EQ(instance->weight, expected);
    }
    EXPECT_EQ(instance->weightSpeed, 0.0f);
    EXPECT_FLOAT_EQ(box.GetModel()->GetNode(0)->transform.position.x, 2.0f);

    CRenderObject::FadeOut(instance, 0.5f);
    Frame(0.2f, 0.25f);
    box.UpdateAnimations();
    EXPECT_FLOAT_EQ(instance->weight, 0.5f);
    box.UpdateAnimations();
    ASSERT_EQ(box.GetAnimations().size(), keep ? 1u : 0u);
    if (keep) {
      EXPECT_TRUE(instance->frozen);
    }
    // Nothing drives the node any more: it is back at rest.
    EXPECT_FLOAT_EQ(box.GetModel()->GetNode(0)->transform.position.x, 0.0f);
  }
}

TEST_F(RenderObjectTest, BlendedInstancesGiveTheWeightedMeanWhateverTheirOrder) {
  const std::vector<uint8_t> near = HoldAt("Box", 0.0f);
  const std::vector<uint8_t> far = HoldAt("Box", 4.0f);
  CAnimator_Keyframed nearAnimator(FileOf(near));
  CAnimator_Keyframed farAnimator(FileOf(far));
  for (bool farFirst : {false, true}) {
    CRenderObject box(Model(MakeBoxModel("Crate", 1.0f)), true);
    SAnimationStart quarter, rest;
    quarter.weight = 0.25f;
    rest.weight = 0.75f;
    if (farFirst) {
      box.AddAnimation(&farAnimator, rest);
      box.AddAnimation(&nearAnimator, quarter);
    } else {
      box.AddAnimation(&nearAnimator, quarter);
      box.AddAnimation(&farAnimator, rest);
    }
    box.UpdateAnimations();
    EXPECT_FLOAT_EQ(box.GetModel()->GetNode(0)->transform.position.x, 3.0f) << farFirst;
    // The node matrix moves the box there.
    EXPECT_FLOAT_EQ(box.GetNodeMatrix(0)[12], 3.0f);
  }
}

TEST_F(RenderObjectTest, TheTimeStepRunsForwardOrBackwardLoopingOrHolding) {
  const std::vector<uint8_t> bytes = HoldAt("Box", 1.0f);  // one second long
  CAnimator_Keyframed animator(FileOf(bytes));
  struct SCase {
    bool backward, looping;
    float clock, expected;
  };
  const SCase cases[] = {
      {false, true, 1.25f, 0.25f}, {false, false, 1.25f, 1.0f}, {true, false, 0.25f, 0.75f},
      {true, false, 3.0f, 0.0f},   // ends at 0 and stays there
      {true, true, 1.25f, 0.75f},  // past the first loop still within the animation
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.clock);
    CRenderObject box(Model(MakeBoxModel("Crate", 1.0f)), true);
    Frame(0.0f, 0.0f);
    SAnimationStart start;
    start.backward = c.backward;
    start.looping = c.looping;
    SAnimationInstance* instance = box.AddAnimation(&animator, start);
    Frame(c.clock, 0.0f);
    box.UpdateAnimations();
    EXPECT_FLOAT_EQ(instance->currentTime, c.expected);
  }
}

class CEventLog : public IAnimationEventListener {
 public:
  void OnAnimationEvent(SAnimationInstance* instance, uint32_t value) override {
    events.emplace_back(instance, value);
  }
  std::vector<std::pair<SAnimationInstance*, uint32_t>> events;
};

TEST_F(RenderObjectTest, EventsPassedOverReachTheListenerWithTheirInstance) {
  SBanDescription d = animtest::OneTrack("Box", 10, 10);
  d.events = {{5, 77}, {8, 78}};
  const std::vector<uint8_t> bytes = BanBytes(d);
  CAnimator_Keyframed animator(FileOf(bytes));
  CRenderObject box(Model(MakeBoxModel("Crate", 1.0f)), true);
  CEventLog log;
  box.SetEventListener(&log);
  Frame(0.0f, 0.0f);
  SAnimationInstance* instance = box.AddAnimation(&animator, SAnimationStart());
  for (float time : {0.0f, 0.45f, 0.55f, 0.6f}) {
    Frame(time, 0.0f);
    box.UpdateAnimations();
  }
  ASSERT_EQ(log.events.size(), 1u);
  EXPECT_EQ(log.events[0].first, instance);
  EXPECT_EQ(log.events[0].second, 77u);
  EXPECT_EQ(GetAnimationEventQueue().count, 0u);
}

TEST_F(RenderObjectTest, EachEventFiresOncePerPassOverItsFrameAtAnyStepRate) {
  // One second: 30 frames at 30 frames per second, with events on the first and last frames.
  SBanDescription d = animtest::OneTrack("Box", 30, 30);
  const uint32_t kEventFrames[] = {0, 1, 14, 29};
  for (uint32_t frame : kEventFrames) d.events.push_back({frame, 1000 + frame});
  const std::vector<uint8_t> bytes = BanBytes(d);
  CAnimator_Keyframed animator(FileOf(bytes));

  const struct {
    int stepsPerSecond;
    bool backward, looping;
  } cases[] = {
      {30, false, true}, {60, false, true}, {24, false, true}, {25, false, true},  {144, false, true},
      {7, false, true},  {30, true, true},  {60, true, true},  {144, true, true},  {7, true, true},
      {60, false, false}, {60, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.stepsPerSecond << " Hz" << (c.backward ? " backward" : "")
                                      << (c.looping ? " looping" : ""));
    CRenderObject box(Model(MakeBoxModel("Crate", 1.0f)), true);
    CEventLog log;
    box.SetEventListener(&log);
    Frame(0.0f, 0.0f);
    SAnimationStart start;
    start.backward = c.backward;
    start.looping = c.looping;
    box.AddAnimation(&animator, start);
    // A little over three seconds, each step at the clock time the frame clock would give.
    const int steps = c.stepsPerSecond * 10 / 3;
    for (int k = 0; k <= steps; ++k) {
      Frame(static_cast<float>(k / double(c.stepsPerSecond)), 1.0f / c.stepsPerSecond);
      box.UpdateAnimations();
    }
    // Every whole frame the play head reached, in order: m frames from the start.
    const int reached = steps * 30 / c.stepsPerSecond;
    std::vector<uint32_t> expected;
    for (int m = 0; m <= (c.looping ? reached : std::min(reached, 30)); ++m) {
      const int position = c.backward ? 30 - m : m;
      const int frame = c.looping ? (position % 30 + 30) % 30 : position;
      for (uint32_t eventFrame : kEventFrames)
        if (static_cast<int>(eventFrame) == frame) expected.push_back(1000 + eventFrame);
    }
    std::vector<uint32_t> fired;
    for (const auto& event : log.events) fired.push_back(event.second);
    EXPECT_EQ(fired, expected);
  }
}

TEST_F(RenderObjectTest, RenderSetsWorldAndPaletteAndBeginsEachShaderOncePerRun) {
  SBmoDescription d = MakeStripModel("Skin", 2.0f);
  d.parts.push_back(d.parts[0]);
  d.parts[1].material = "Crate";
  d.parts[1].vertices.resize(3);
  d.parts.push_back(d.parts[1]);
  d.parts[2].primitive = kPrimitiveStrip;
  d.parts.push_back(d.parts[1]);
  d.parts[3].material = "Skin";
  d.parts[3].primitive = kPrimitiveFan;
  CRenderObject object(Model(d), true);
  object.SetPosition({1.0f, 2.0f, 3.0f});
  object.SetScale({2.0f, 2.0f, 2.0f});
  const std::vector<uint8_t> bytes = HoldAt("Bone2", 5.0f);
  CAnimator_Keyframed animator(FileOf(bytes));
  object.AddAnimation(&animator, SAnimationStart());
  object.UpdateAnimations();
  object.Render();
  EXPECT_EQ(modeltest::CRecordingShader::Log(), "<Skin 24><Crate 3 3><Skin 3>");
  const Matrix4* world = GetWorld(nullptr);
  EXPECT_FLOAT_EQ((*world)[0], 2.0f);
  EXPECT_FLOAT_EQ((*world)[12], 1.0f);
  EXPECT_FLOAT_EQ((*world)[14], 3.0f);
  // Palette slot k holds the matrix of the last batch's bone k.
  EXPECT_FLOAT_EQ(GetMatrixTable().slots[1][12], object.GetNodeMatrix(1)[12]);
  EXPECT_FLOAT_EQ(GetMatrixTable().slots[1][12], 5.0f - 1.0f);
}

}  // namespace
