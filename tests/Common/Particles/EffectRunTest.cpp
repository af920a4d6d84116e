// An effect description run through its elements, checked on the vertices it produces.

#include "Common/Particles/CDefaultRender.h"
#include "Common/Particles/CElemStandartEmiter.h"
#include "ParticleTestSupport.h"

#include <cmath>

using particle_test::LoadedTextures;
using particle_test::ParticleTest;
using particle_test::RecordedDraws;

namespace {

class EffectRunTest : public ParticleTest {
 protected:
  std::vector<std::unique_ptr<CEffectParams>> LoadFountain() {
    TiXmlDocument document;
    EXPECT_TRUE(document.LoadFile(HM_SOURCE_DIR "/tests/Common/Particles/fountain.xml")) << document.ErrorDesc();
    return TakeEffects(document);
  }
};

TEST_F(EffectRunTest, FountainRunsThreeSecondsAsDescribed) {
  auto sets = LoadFountain();
  ASSERT_EQ(sets.size(), 1u);
  CEffectInstance* fountain = g_effectManager->AddEffect(CEffectInstance::CreateStandard(sets[0].get()), 0);
  ASSERT_EQ(LoadedTextures(), std::vector<std::string>{"Effects\\Textures\\drop.mpt"});

  // 24 frames of 1/8 s: births at 0.5, 1, 1.5 and 2 s fill the four slots.
  for (int frame = 0; frame < 24; ++frame) {
    g_effectManager->Update(0.125f);
    g_effectManager->RenderEffect(0);
  }
  const auto* emitter = static_cast<const CElemStandartEmiter*>(fountain->GetEmitter());
  const SElementState* state = emitter->GetState();
  EXPECT_EQ(state->liveCount, 4u);

  ASSERT_FALSE(RecordedDraws().empty());
  const auto& last = RecordedDraws().back();
  EXPECT_EQ(last.call.texture, particle_test::FakeTexture());
  EXPECT_EQ(last.call.blend, EParticleBlend::Add);
  ASSERT_EQ(last.vertices.size(), 24u);

  // Ages 2.5, 2, 1.5 and 1 s: each drifted 2 units per second along x from (11, 22, 30);
  // red follows its ramp (sample at truncate(499 x life fraction), 0.4 per sample).
  const float ages[4] = {2.5f, 2.0f, 1.5f, 1.0f};
  const uint32_t reds[4] = {49, 39, 29, 19};
  for (int p = 0; p < 4; ++p) {
    const float centreX = 11.0f + 2.0f * ages[p];
    const SParticleVertex* quad = &last.vertices[p * 6];
    // Corners A, B, C, C, D, A with half width 2 and half height 3 on the camera's axes.
    const float expected[6][2] = {{centreX + 2, 19}, {centreX - 2, 19}, {centreX - 2, 25},
                                  {centreX - 2, 25}, {centreX + 2, 25}, {centreX + 2, 19}};
    for (int v = 0; v < 6; ++v) {
      EXPECT_NEAR(quad[v].x, expected[v][0], 1e-4f) << "particle " << p << " vertex " << v;
      EXPECT_NEAR(quad[v].y, expected[v][1], 1e-4f) << "particle " << p << " vertex " << v;
      EXPECT_NEAR(quad[v].z, 30.0f, 1e-4f);
      EXPECT_EQ(quad[v].colour, 0xFF000000u | reds[p] << 16 | 64u << 8 | 32u) << "particle " << p;
    }
    EXPECT_EQ(quad[0].u, 1.0f);
    EXPECT_EQ(quad[0].v, 1.0f);
    EXPECT_EQ(quad[2].u, 0.0f);
    EXPECT_EQ(quad[2].v, 0.0f);
  }
  // Frame by frame the drawn particles grew as they were born (each is listed from the
  // update after its birth).
  EXPECT_EQ(RecordedDraws().size(), 20u);
  EXPECT_EQ(RecordedDraws().front().vertices.size(), 6u);
}

TEST_F(EffectRunTest, EmitterReadsAndOrdersItsParameters) {
  auto sets = LoadEffects(R"(<E n="e"><StandartEmiter v="1">
      <ParticleCount iValue="5"/><LifeTime fValue="3"/><LifeTime_to fValue="1"/>
      <square iValue="1"/><circle iValue="1"/><BirthRate fValue="10"/><Effect_Loop iValue="1"/>
    </StandartEmiter></E>)");
  CElemStandartEmiter emitter;
  emitter.LoadParams(sets[0].get());
  EXPECT_FLOAT_EQ(emitter.GetLifeFrom(), 1.0f);
  EXPECT_FLOAT_EQ(emitter.GetLifeTo(), 3.0f);
  EXPECT_EQ(emitter.GetShape(), CElemStandartEmiter::kCircle);
  EXPECT_TRUE(emitter.IsActive());

  // Ten per second at 1/20 s: one birth every second frame, the half carried over.
  const uint32_t expectedAlive[6] = {0, 1, 1, 2, 2, 3};
  for (uint32_t frame = 0; frame < 6; ++frame) {
    emitter.Update(0.05f);
    uint32_t alive = 0;
    for (uint32_t i = 0; i < emitter.GetParticleCount(); ++i) alive += emitter.GetParticles()[i].alive;
    EXPECT_EQ(alive, expectedAlive[frame]) << "frame " << frame;
  }
  // Without position curves the particles are listed all the same: all but the one born in
  // the last update, which is listed from the next.
  EXPECT_EQ(emitter.GetState()->liveCount, 2u);
}

// An effect without position curves: its particle ages, is drawn where the emitter put it
// and dies at the end of its life.
TEST_F(EffectRunTest, ParticleWithoutPositionCurvesAgesDrawsAndDies) {
  auto sets = LoadEffects(R"(<E n="e"><StandartEmiter v="1"><pos_x fValue="1"/><pos_y fValue="2"/><pos_z fValue="3"/>
      <ParticleCount iValue="1"/><LifeTime fValue="0.5"/><LifeTime_to fValue="0.5"/><BirthRate fValue="1000"/>
    </StandartEmiter><StandardMaterial v="1"><Texture tValue="t.mpt"/></StandardMaterial></E>)");
  auto instance = CEffectInstance::CreateStandard(sets[0].get());
  auto* emitter = static_cast<CElemStandartEmiter*>(instance->GetEmitter());
  emitter->Restart();
  // Born in the first update, drawn from the second, gone after half a second of age.
  const size_t drawn[7] = {0, 1, 1, 1, 1, 0, 0};
  for (int frame = 0; frame < 7; ++frame) {
    RecordedDraws().clear();
    instance->Update(0.125f);
    instance->GetRenderer()->Render();
    ASSERT_EQ(RecordedDraws().size(), drawn[frame]) << "frame " << frame;
    if (drawn[frame] == 0) continue;
    EXPECT_FLOAT_EQ(emitter->GetParticles()[0].age, 0.125f * static_cast<float>(frame));
    const SParticleVertex& a = RecordedDraws()[0].vertices[0];  // centre + right - up
    EXPECT_FLOAT_EQ(a.x, 2.0f);
    EXPECT_FLOAT_EQ(a.y, 1.0f);
    EXPECT_FLOAT_EQ(a.z, 3.0f);
  }
  EXPECT_EQ(emitter->GetParticles()[0].alive, 0);
  EXPECT_EQ(emitter->GetState()->liveCount, 0u);
}

// Gravity pulls a particle down at its rate per second for as long as it lives, however the
// time is cut into frames: after one second of age it is that rate (times the effect's
// scale) below where it was born.
TEST_F(EffectRunTest, GravityAccumulatesOverTheParticlesLifeAtAnyFrameRate) {
  const struct {
    const char* groups;
    float pullPerSecond;
  } cases[] = {
      {R"(<StandartGravity v="1"><gravity fValue="3"/></StandartGravity>)", 3.0f},
      {R"(<StandartGravity v="1"><Gravity_TimeLine tValue="0|4;1|4"/></StandartGravity>)", 4.0f},
      {R"(<StandartGravity v="1"><gravity fValue="3"/></StandartGravity>
          <StandardSize v="1"><global_scale fValue="0.5"/></StandardSize>)", 1.5f},
  };
  for (const auto& c : cases) {
    for (const float dt : {0.125f, 1.0f / 64.0f}) {
      auto sets = LoadEffects((std::string(R"(<E n="e"><StandartEmiter v="1"><pos_z fValue="10"/>
          <ParticleCount iValue="1"/><LifeTime fValue="5"/><LifeTime_to fValue="5"/><BirthRate fValue="1000"/>
          <Effect_Loop iValue="1"/><posx_TimeLine tValue="0|0;1|0"/><posy_TimeLine tValue="0|0;1|0"/>
          <posz_TimeLine tValue="0|0;1|0"/></StandartEmiter>)") + c.groups + "</E>").c_str());
      auto instance = CEffectInstance::CreateStandard(sets[0].get());
      instance->Update(dt);  // the birth
      for (int frame = 0; frame < static_cast<int>(1.0f / dt); ++frame) instance->Update(dt);
      const SParticle& p = static_cast<CElemStandartEmiter*>(instance->GetEmitter())->GetParticles()[0];
      ASSERT_FLOAT_EQ(p.age, 1.0f);
      EXPECT_NEAR(p.position.z + p.displacement.z, 10.0f - c.pullPerSecond, 1e-4f)
          << c.groups << " at " << 1.0f / dt << " frames a second";
    }
  }
}

TEST_F(EffectRunTest, SingleBurstStopsAfterItsCountAndShortLivesAreClamped) {
  auto sets = LoadEffects(R"(<E n="e"><StandartEmiter v="1">
      <ParticleCount iValue="5"/><LifeTime fValue="0"/><LifeTime_to fValue="0"/><BirthRate fValue="1000"/>
    </StandartEmiter></E>)");
  CElemStandartEmiter emitter;
  emitter.LoadParams(sets[0].get());
  EXPECT_FLOAT_EQ(emitter.GetLifeFrom(), 0.0001f);
  EXPECT_FALSE(emitter.IsActive());  // waits for Restart
  EXPECT_TRUE(emitter.IsAlive());    // until its first update
  emitter.Update(0.1f);
  EXPECT_FALSE(emitter.IsAlive());
  EXPECT_EQ(emitter.GetBornCount(), 0u);

  emitter.Restart();
  emitter.Update(0.1f);
  uint32_t alive = 0;
  for (uint32_t i = 0; i < emitter.GetParticleCount(); ++i) alive += emitter.GetParticles()[i].alive;
  EXPECT_EQ(alive, 5u);
  EXPECT_FALSE(emitter.IsActive());
}

TEST_F(EffectRunTest, DamagedParticleCountIsReportedNotAllocated) {
  auto sets = LoadEffects(R"(<E n="e"><StandartEmiter v="1"><ParticleCount iValue="-3"/></StandartEmiter></E>)");
  CElemStandartEmiter emitter;
  emitter.LoadParams(sets[0].get());
  EXPECT_EQ(emitter.GetParticleCount(), 0u);
  ASSERT_FALSE(particle_test::Reports().empty());
  EXPECT_NE(particle_test::Reports()[0].find("ParticleCount -3"), std::string::npos);
}

}  // namespace
