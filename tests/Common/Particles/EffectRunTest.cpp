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
  // Without position curves the particles are born but never listed for drawing.
  EXPECT_EQ(emitter.GetState()->liveCount, 0u);
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
