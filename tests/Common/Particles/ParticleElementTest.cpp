// The material, motion and renderer elements on a hand-made particle state.

#include "Common/Particles/CDefaultRender.h"
#include "Common/Particles/CElemStandartEmiter.h"
#include "Common/Particles/CStandardMaterialElem.h"
#include "Common/Particles/CStandardSpinElem.h"
#include "Common/Particles/CStandartGravityElem.h"
#include "Common/Particles/CStandartSizeElem.h"
#include "Common/Particles/CStandartSpeedElem.h"
#include "ParticleTestSupport.h"

#include <cmath>

using particle_test::ParticleTest;
using particle_test::RecordedDraws;

namespace {

// An emitter of three particles without an index array's use: the tests set particles alive
// by hand and the elements under test walk the whole array.
class ParticleElementTest : public ParticleTest {
 protected:
  void Build(const std::string& groups) {
    sets = LoadEffects(("<E n=\"e\"><StandartEmiter v=\"1\"><ParticleCount iValue=\"3\"/>"
                        "<LifeTime fValue=\"2\"/><LifeTime_to fValue=\"2\"/></StandartEmiter>" +
                        groups + "</E>").c_str());
    emitter.LoadParams(sets[0].get());
    state = emitter.GetState();
    state->liveIndices = nullptr;  // walk the array by alive flags
  }

  SParticle& Particle(int i) { return state->particles[i]; }

  std::vector<std::unique_ptr<CEffectParams>> sets;
  CElemStandartEmiter emitter;
  SElementState* state = nullptr;
};

TEST_F(ParticleElementTest, MaterialStepsFramesAndStoresItsLook) {
  Build(R"(<StandardMaterial v="1"><Texture tValue="fire.mpt"/><row_count iValue="2"/><column_count iValue="4"/>
      <texture_changetime fValue="0.1"/><BlendType tValue="TransparentTransparentTransparentXYZ"/>
      <rchannel_TimeLine tValue="0|100;1|100"/><gchannel_TimeLine tValue="0|200;1|200"/>
      <bchannel_TimeLine tValue="0|-20;1|-20"/><achannel_TimeLine tValue="0|300;1|300"/></StandardMaterial>)");
  CStandardMaterialElem material;
  material.LoadParams(sets[0].get());
  EXPECT_EQ(std::string(state->blendType), std::string("TransparentTransparentTransparentXYZ").substr(0, 31));
  EXPECT_EQ(state->texture, particle_test::FakeTexture());
  ASSERT_EQ(material.GetFrames()->GetFrameCount(), 8u);
  const auto& frame5 = material.GetFrames()->GetFrame(5);  // row 1, column 1
  EXPECT_FLOAT_EQ(frame5.u[1], 0.25f);
  EXPECT_FLOAT_EQ(frame5.u[0], 0.5f);
  EXPECT_FLOAT_EQ(frame5.v[2], 0.5f);
  EXPECT_FLOAT_EQ(frame5.v[0], 1.0f);

  Particle(0).alive = 1;
  std::vector<int> frames;
  for (int step = 0; step < 20; ++step) {
    material.Update(0.0625f);
    frames.push_back(Particle(0).frame);
  }
  // A step when more than 0.1 s has gathered: every second update of 1/16 s.
  EXPECT_EQ(frames, (std::vector<int>{0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 0, 0, 1, 1, 2}));
  // Curve values outside 0..255 saturate.
  EXPECT_EQ(Particle(0).red, 100);
  EXPECT_EQ(Particle(0).green, 200);
  EXPECT_EQ(Particle(0).blue, 0);
  EXPECT_EQ(Particle(0).alpha, 255);
  EXPECT_EQ(Particle(1).red, 255);  // not alive: untouched

  material.SetBrighten(true);
  material.Update(0.0f);
  EXPECT_EQ(Particle(0).red, 200);
  EXPECT_EQ(Particle(0).green, 255);
}

TEST_F(ParticleElementTest, MaterialWithoutAllCurvesLeavesColoursAndBadGridIsReported) {
  Build(R"(<StandardMaterial v="1"><row_count iValue="0"/><rchannel_TimeLine tValue="0|1;1|1"/></StandardMaterial>)");
  CStandardMaterialElem material;
  material.LoadParams(sets[0].get());
  EXPECT_EQ(material.GetFrames()->GetFrameCount(), 1u);
  ASSERT_FALSE(particle_test::Reports().empty());
  EXPECT_NE(particle_test::Reports()[0].find("must be > 0"), std::string::npos);
  Particle(0).alive = 1;
  material.Update(0.5f);
  EXPECT_EQ(Particle(0).red, 255);
  EXPECT_EQ(std::string(state->blendType), "Transparent");
  EXPECT_EQ(state->texture, nullptr);  // no "Texture": nothing loaded
}

// A grid too large for the particles' frame index is refused with a report; every frame of
// a large grid that fits is shown in turn.
TEST_F(ParticleElementTest, FrameGridIsBoundedAndEveryFrameOfItShows) {
  const char* const kCurves = R"(<rchannel_TimeLine tValue="0|9;1|9"/><gchannel_TimeLine tValue="0|9;1|9"/>
      <bchannel_TimeLine tValue="0|9;1|9"/><achannel_TimeLine tValue="0|9;1|9"/>)";
  const struct {
    int rows, columns;
    uint32_t frames;
  } grids[] = {{100000, 100000, 1}, {1, 65537, 1}, {256, 256, 65536}, {16, 32, 512}};
  for (const auto& grid : grids) {
    particle_test::Reports().clear();
    Build("<StandardMaterial v=\"1\"><Texture tValue=\"t.mpt\"/><texture_changetime fValue=\"0\"/><row_count iValue=\"" +
          std::to_string(grid.rows) + "\"/><column_count iValue=\"" + std::to_string(grid.columns) + "\"/>" +
          kCurves + "</StandardMaterial>");
    CStandardMaterialElem material;
    material.LoadParams(sets[0].get());
    EXPECT_EQ(material.GetFrames()->GetFrameCount(), grid.frames) << grid.rows << " x " << grid.columns;
    EXPECT_EQ(particle_test::Reports().size(), grid.frames == 1 ? 1u : 0u) << grid.rows << " x " << grid.columns;
  }
  // The last grid, 16 rows of 32: a frame step every update reaches frame 300 (row 9,
  // column 12), and the renderer takes that cell.
  CStandardMaterialElem material;
  material.LoadParams(sets[0].get());
  CDefaultRender renderer;
  renderer.LoadParams(sets[0].get());
  Particle(0).alive = 1;
  for (int step = 0; step < 300; ++step) material.Update(0.001f);
  EXPECT_EQ(Particle(0).frame, 300);
  renderer.Render();
  ASSERT_EQ(RecordedDraws().size(), 1u);
  EXPECT_FLOAT_EQ(RecordedDraws()[0].vertices[0].u, 13.0f / 32.0f);
  EXPECT_FLOAT_EQ(RecordedDraws()[0].vertices[0].v, 10.0f / 16.0f);
}

// Loading the emitter again keeps the record that the effect's other elements hold: they go
// on working on the emitter's new particles, and what they stored in the record stays.
TEST_F(ParticleElementTest, ReloadedEmitterKeepsTheStateItsElementsHold) {
  Build(R"(<StandardMaterial v="1"><Texture tValue="t.mpt"/></StandardMaterial>
      <StandardSpin v="1"><angle_TimeLine tValue="0|180;1|180"/></StandardSpin>)");
  CStandardMaterialElem material;
  material.LoadParams(sets[0].get());
  CStandardSpinElem spin;
  spin.LoadParams(sets[0].get());
  emitter.LoadParams(sets[0].get());
  ASSERT_EQ(emitter.GetState(), state);
  EXPECT_EQ(state->texture, particle_test::FakeTexture());
  EXPECT_EQ(state->frames, material.GetFrames());
  state->liveIndices = nullptr;
  Particle(1).alive = 1;
  spin.Update(0.5f);
  EXPECT_NEAR(Particle(1).rotation, 3.14159265f / 2.0f, 1e-5f);
}

TEST_F(ParticleElementTest, SizeNeedsBothCurvesAndFollowsThem) {
  Build(R"(<StandardSize v="1"><width fValue="2"/><height fValue="4"/><global_scale fValue="0.5"/>
      <width_TimeLine tValue="0|0;1|1"/><height_TimeLine tValue="NONE"/></StandardSize>)");
  CStandartSizeElem size;
  size.LoadParams(sets[0].get());
  Particle(0).alive = 1;
  size.Update(0.1f);
  EXPECT_FLOAT_EQ(Particle(0).halfWidth, 1.0f);  // no height curve: no size update at all
  EXPECT_FLOAT_EQ(state->scale, 0.5f);

  Build(R"(<StandardSize v="1"><width fValue="2"/><height fValue="4"/><global_scale fValue="0.5"/>
      <width_TimeLine tValue="0|0;1|1"/><height_TimeLine tValue="0|1;1|1"/></StandardSize>)");
  CStandartSizeElem both;
  both.LoadParams(sets[0].get());
  Particle(0).alive = 1;
  Particle(0).lifeFraction = 1.0f;
  both.Update(0.1f);
  EXPECT_FLOAT_EQ(Particle(0).halfWidth, (2.0f + 2.0f * 1.0f) * 0.5f);
  EXPECT_FLOAT_EQ(Particle(0).halfHeight, (4.0f + 4.0f * 1.0f) * 0.5f);
}

TEST_F(ParticleElementTest, SpinWithCurveAddsDegreesPerSecondToTheRandomPart) {
  Build(R"(<StandardSpin v="1"><angle fValue="90"/><angle_from fValue="20"/><angle_to fValue="10"/>
      <angle_TimeLine tValue="0|180;1|180"/></StandardSpin>)");
  srand(1);
  CStandardSpinElem spin;
  spin.LoadParams(sets[0].get());
  const float radians = 0.017453292f;
  for (int i = 0; i < 3; ++i) {
    EXPECT_GE(Particle(i).spinRate, 10.0f * radians - 1e-6f);  // the swapped range only, no "angle"
    EXPECT_LE(Particle(i).spinRate, 20.0f * radians + 1e-6f);
  }
  Particle(0).alive = 1;
  const float rate = Particle(0).spinRate;
  spin.Update(0.5f);
  EXPECT_NEAR(Particle(0).rotation, (180.0f * radians + rate) * 0.5f, 1e-5f);

  Build(R"(<StandardSpin v="1"><angle fValue="90"/><angle_from fValue="30"/><angle_to fValue="30"/></StandardSpin>)");
  CStandardSpinElem steady;
  steady.LoadParams(sets[0].get());
  EXPECT_FLOAT_EQ(Particle(2).spinRate, 120.0f * radians);
}

TEST_F(ParticleElementTest, GravityConstantOrCurvePullsPerSecond) {
  Build(R"(<StandartGravity v="1"><gravity fValue="3"/></StandartGravity>)");
  CStandartGravityElem constant;
  constant.LoadParams(sets[0].get());
  EXPECT_TRUE(constant.IsConstantMode());
  Particle(0).alive = 1;
  constant.Update(0.25f);
  constant.Update(0.5f);
  EXPECT_FLOAT_EQ(Particle(0).displacement.z, -3.0f * 0.75f);

  sets[0]->AddTextParam("StandartGravity", "Gravity_TimeLine", "0|10;1|10");
  CStandartGravityElem curved;
  curved.LoadParams(sets[0].get());
  EXPECT_FALSE(curved.IsConstantMode());
  curved.Update(0.5f);
  EXPECT_FLOAT_EQ(Particle(0).displacement.z, -2.25f - 10.0f * 0.5f);
}

TEST_F(ParticleElementTest, SpeedDriftsByItsOffsetAndCurves) {
  Build(R"(<StandartSpeed v="1"><speed fValue="1"/><x_dir fValue="1"/><x_random_from fValue="4"/><x_random_to fValue="4"/>
      <y_random_from fValue="3"/><y_random_to fValue="1"/><speed_random_from fValue="2"/><speed_random_to fValue="2"/>
      <z_TimeLine tValue="0|6;1|6"/></StandartSpeed>)");
  CStandartSpeedElem speed;
  speed.LoadParams(sets[0].get());
  EXPECT_FLOAT_EQ(Particle(0).speed.x, (4.0f + 1.0f) * 3.0f);  // (spread + direction) x (speed + random speed)
  EXPECT_GE(Particle(0).randomOffset.y, 1.0f);                 // the swapped range 1..3
  EXPECT_LE(Particle(0).randomOffset.y, 3.0f);
  Particle(0).alive = 1;
  const float offsetY = Particle(0).randomOffset.y;
  speed.Update(0.5f);
  EXPECT_FLOAT_EQ(Particle(0).displacement.x, 4.0f * 0.5f);
  EXPECT_FLOAT_EQ(Particle(0).displacement.y, offsetY * 0.5f);
  EXPECT_FLOAT_EQ(Particle(0).displacement.z, 6.0f * 0.5f);
}

class RendererTest : public ParticleElementTest {
 protected:
  void SetUp() override {
    ParticleElementTest::SetUp();
    Build(R"(<StandardMaterial v="1"><Texture tValue="t.mpt"/></StandardMaterial>)");
    material.LoadParams(sets[0].get());
    renderer.LoadParams(sets[0].get());
  }

  CStandardMaterialElem material;
  CDefaultRender renderer;
};

TEST_F(RendererTest, ColourWordAndFixedColour) {
  SParticle& p = Particle(0);
  p.alive = 1;
  p.red = 10, p.blue = 20, p.green = 30, p.alpha = 40;
  renderer.Render();
  ASSERT_EQ(RecordedDraws().size(), 1u);
  EXPECT_EQ(RecordedDraws()[0].vertices[0].colour, 0x280A1E14u);
  EXPECT_EQ(RecordedDraws()[0].call.blend, EParticleBlend::Transparent);

  renderer.SetFixedColour(true, 1, 2, 3);
  renderer.Render();
  EXPECT_EQ(RecordedDraws()[1].vertices[5].colour, 0x28010203u);
}

TEST_F(RendererTest, SortsBackToFrontWithoutReorderingTheParticles) {
  state->sortParticles = 1;
  Particle(0).alive = Particle(1).alive = Particle(2).alive = 1;
  Particle(0).position = Vector4{1, 0, 0, 0};  // squared distance 1
  Particle(1).position = Vector4{4, 0, 0, 0};  // 16
  Particle(2).position = Vector4{0, 3, 0, 0};  // 9
  Particle(1).rotation = 3.14159265f / 2.0f;   // a quarter turn: A lies below the centre
  renderer.Render();
  ASSERT_EQ(RecordedDraws().size(), 1u);
  const auto& v = RecordedDraws()[0].vertices;
  ASSERT_EQ(v.size(), 18u);
  EXPECT_NEAR(v[0].x, 4.0f + 1.0f, 1e-5f);  // turned by a quarter: R = up, U = -right
  EXPECT_NEAR(v[0].y, 1.0f, 1e-5f);
  EXPECT_NEAR(v[6].x, 1.0f, 1e-5f);
  EXPECT_NEAR(v[6].y, 3.0f - 1.0f + 0.0f, 1e-5f);
  EXPECT_NEAR(v[12].x, 2.0f, 1e-5f);
  EXPECT_FLOAT_EQ(Particle(1).position.x, 4.0f);  // the array keeps its order
}

TEST_F(RendererTest, NothingDrawnWithoutTextureOrWhenCulled) {
  Particle(0).alive = 1;
  state->texture = nullptr;
  renderer.Render();
  EXPECT_TRUE(RecordedDraws().empty());
  EXPECT_EQ(renderer.GetVertexCount(), 0u);

  state->texture = particle_test::FakeTexture();
  renderer.SetModes(false, true, false);
  GetParticleServices().isPointInFrustum = [](const Vector3& point) { return point.x > 100.0f; };
  renderer.Render();
  EXPECT_TRUE(RecordedDraws().empty());
  renderer.SetModes(false, false, false);
  renderer.Render();
  EXPECT_EQ(RecordedDraws().size(), 1u);
}

}  // namespace
