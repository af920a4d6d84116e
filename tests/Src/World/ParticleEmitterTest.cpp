// The game's particle layer without drawing: the emitter's three states, the pool's copies,
// emitter groups, the vertex conversion and alpha rule, atlas texture names and the atlas
// batch's flushing.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_MPAtlas.h"
#include "Src/World/Vey_MPManager.h"
#include "tests/Src/World/EmitterTestKit.h"
#include "tests/support/ReportCapture.h"

namespace {

using MP::CEmitter;

using EmitterTest = gametest::CEmitterFixture;

// From each state, each operation: the state it leads to.
TEST_F(EmitterTest, StateTable) {
  enum EOp { kStart, kStop, kInterrupt, kSet0, kSet1, kSet2 };
  const std::function<void(CEmitter*)> ops[] = {
      [](CEmitter* e) { e->Start(); },           [](CEmitter* e) { e->StopEmitter(); },
      [](CEmitter* e) { e->InterruptEmitter(); }, [](CEmitter* e) { e->SetState(0); },
      [](CEmitter* e) { e->SetState(1); },        [](CEmitter* e) { e->SetState(2); }};
  //                         Start Stop Interrupt Set0 Set1 Set2
  const int32_t table[3][6] = {{1, 0, 0, 0, 1, 0},   // stopped: interrupt changes nothing
                               {1, 0, 2, 0, 1, 2},   // running
                               {1, 0, 2, 0, 1, 2}};  // finishing: start runs again
  CEmitter* emitter = Spark();
  ASSERT_NE(emitter, nullptr);
  const auto reach = [&](int32_t state) {
    emitter->StopEmitter();
    if (state >= 1) emitter->Start();
    if (state == 2) emitter->InterruptEmitter();
    ASSERT_EQ(emitter->GetState(), state);
  };
  for (int32_t from = 0; from < 3; ++from)
    for (int op = kStart; op <= kSet2; ++op) {
      reach(from);
      ops[op](emitter);
      EXPECT_EQ(emitter->GetState(), table[from][op]) << "from " << from << " op " << op;
    }
}

TEST_F(EmitterTest, UpdatesMoveOnlyPlayingEmittersAndStopThoseThatEnd) {
  CEmitter* emitter = Spark(4);
  emitter->Update(0.1f);
  EXPECT_EQ(Live(emitter), 0u);  // stopped: still
  emitter->Start();
  emitter->Update(0.1f);
  EXPECT_EQ(Live(emitter), 4u);
  emitter->InterruptEmitter();
  emitter->Update(1.0f);  // the burst's second of life is over
  EXPECT_EQ(emitter->GetState(), CEmitter::kStopped);

  // Start after an interrupt makes the library emit again.
  emitter->Start();
  emitter->InterruptEmitter();
  emitter->Start();
  emitter->Update(0.1f);
  EXPECT_EQ(Live(emitter), 4u);
  emitter->StopEmitter();
  EXPECT_EQ(Live(emitter), 0u);
}

TEST_F(EmitterTest, AnEmitterWithoutInterpolationStepsByItsOwnTime) {
  Load(ptctest::BurstDescription(2, 0.5f) + "step 1000\n", {"Spark"});
  CEmitter* emitter = m_manager->FindEmitter("Spark");
  emitter->Start();
  emitter->Update(0.001f);  // one step of a second: born and dead at once
  EXPECT_EQ(emitter->GetState(), CEmitter::kStopped);
}

TEST_F(EmitterTest, APoolHandsOutStoppedCopiesOnly) {
  CEmitter* source = Spark();
  source->Start();
  source->SetAlpha(0.25f);
  Vey::CEmitterPool pool(3, "SceneHints", *source);
  EXPECT_EQ(pool.GetName(), "SceneHints");
  for (uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(pool.GetEmitter(i)->GetState(), CEmitter::kStopped);
    EXPECT_EQ(pool.GetEmitter(i)->GetAlpha(), 1.0f);
    EXPECT_STREQ(pool.GetEmitter(i)->GetName(), "Spark");
    EXPECT_NE(pool.GetEmitter(i)->GetHandle(), source->GetHandle());
  }
  EXPECT_EQ(pool.GetEmitter(3), nullptr);

  pool.GetFreeEmitter()->Start();
  EXPECT_EQ(pool.GetFreeEmitter(), pool.GetEmitter(1));
  pool.GetEmitter(1)->Start();
  pool.GetEmitter(2)->Start();
  pool.GetEmitter(2)->InterruptEmitter();
  EXPECT_EQ(pool.GetFreeEmitter(), nullptr);  // running and finishing copies are not free

  pool.Update(0.1f);
  EXPECT_EQ(Live(pool.GetEmitter(0)), 4u);
  pool.Reset();
  EXPECT_EQ(Live(pool.GetEmitter(0)), 0u);
  pool.SetAlpha(0.5f);
  EXPECT_EQ(pool.GetEmitter(2)->GetAlpha(), 0.5f);
  pool.StopAll();
  EXPECT_EQ(pool.GetFreeEmitter(), pool.GetEmitter(0));
  EXPECT_EQ(pool.GetEmitter(2)->GetState(), CEmitter::kStopped);
}

TEST_F(EmitterTest, AGroupStopsFadesAndUpdatesEveryMemberOnce) {
  const std::string two = ptctest::BurstDescription(2) + "emitter Torch\nlayer 0\ncapacity 8\nburst 3\n";
  Load(two, {"Spark", "Torch", "Spark"});  // the library names two emitters alike
  Vey::CEmitterGroup group;
  group.Add(m_manager->FindEmitter("torch"));
  CEmitter* sparks[2] = {nullptr, nullptr};
  int found = 0;
  for (auto& node : m_manager->GetEmitters())
    if (std::string(node.value->GetName()) == "Spark") sparks[found++] = node.value;
  ASSERT_EQ(found, 2);
  group.Add(sparks[0]);
  group.Add(sparks[1]);
  group.Add(m_manager->FindEmitter("Missing"));
  EXPECT_TRUE(hmtest::Reported("left out of its group"));
  EXPECT_EQ(group.GetEmitters().GetCount(), 3u);

  for (CEmitter* spark : sparks) spark->Start();
  group.Update(0.1f);
  EXPECT_EQ(Live(sparks[0]), 2u);
  EXPECT_EQ(Live(sparks[1]), 2u);  // both alike-named members are advanced
  EXPECT_EQ(Live(m_manager->FindEmitter("Torch")), 0u);

  group.SetAlpha(0);
  group.SetAlpha(1);
  EXPECT_EQ(sparks[0]->GetState(), CEmitter::kRunning);
  EXPECT_EQ(m_manager->FindEmitter("Torch")->GetState(), CEmitter::kStopped);
  EXPECT_EQ(sparks[1]->GetAlpha(), 1.0f);

  // A stopped member is left alone: the library keeps what it was given behind the wrapper's back.
  CEmitter* torch = m_manager->FindEmitter("Torch");
  Magic_Update(torch->GetHandle(), 10);
  group.StopAll();
  EXPECT_EQ(Live(torch), 3u);
  EXPECT_EQ(Live(sparks[0]), 0u);
  EXPECT_EQ(sparks[0]->GetState(), CEmitter::kStopped);

  Vey::CEmitterGroup empty;
  empty.Update(1);
  empty.StopAll();
  empty.SetAlpha(0.5f);
}

TEST(ParticleVertex, PositionTextureAndAlphaRule) {
  struct SCase {
    float x, y, u, v;
    uint32_t colour;
    float alphaFactor, invAspect;
    float outX, outY, outV;
    uint32_t outColour;
  } cases[] = {
      {0, 0, 0.25f, 0.25f, 0xFF102030, 1.0f, 0.75f, 2048, 2048, 0.75f, 0xFF102030},
      {450.7042236328125f, -450.7042236328125f, 0, 1, 0xFF102030, 0.5f, 0.75f, 2240, 1792, 0, 0x7F102030},
      {-901.408447265625f, 0, 1, 0, 0x80FFFFFF, 1.0f, 0.5625f, 1760, 2048, 1, 0x80FFFFFF},
      {0, 0, 0, 0, 0xFFABCDEF, 0.0f, 1, 2048, 2048, 1, 0x00ABCDEF},
      {0, 0, 0, 0, 0xC8000000, 0.999f, 1, 2048, 2048, 1, 0xC7000000},  // 199.8 truncates to 199
      {0, 0, 0, 0, 0xFF000000, 2.0f, 1, 2048, 2048, 1, 0xFE000000},    // 510 keeps its low 8 bits
      {0, 0, 0, 0, 0xFF000000, std::nanf(""), 1, 2048, 2048, 1, 0x00000000},
      {0, 0, 0, 0, 0xFF000000, std::numeric_limits<float>::infinity(), 1, 2048, 2048, 1, 0x00000000},
  };
  for (const SCase& c : cases) {
    const SDrawVertex out = MP::ConvertParticleVertex(c.x, c.y, c.u, c.v, c.colour, c.alphaFactor, c.invAspect);
    EXPECT_FLOAT_EQ(out.x, c.outX);
    EXPECT_FLOAT_EQ(out.y, c.outY);
    EXPECT_EQ(out.z, 0.0f);
    EXPECT_EQ(out.u, c.u);
    EXPECT_EQ(out.v, c.outV);
    EXPECT_EQ(out.colour, c.outColour) << std::hex << c.colour << " x " << c.alphaFactor;
  }
}

TEST(ParticleAtlasName, TheExtensionBecomesMptBehindTheFileFolder) {
  hmtest::Reports().clear();
  ReportHandler = hmtest::CaptureReport;
  struct SCase {
    const char* folder;
    const char* atlas;
    const char* texture;  // null: refused
  } cases[] = {
      {"Art\\GUI\\Cursor\\Effects\\", "Sprites.png", "Art\\GUI\\Cursor\\Effects\\Sprites.mpt"},
      {"", "a.tga", "a.mpt"},
      {"Fx/", "abc", "Fx/mpt"},
      {"Fx/", "noext", "Fx/nompt"},  // the last three characters, whatever they are
      {"Fx/", "ab", nullptr},
      {"Fx/", "", nullptr},
  };
  for (const SCase& c : cases) {
    std::string name;
    EXPECT_EQ(MP::AtlasTextureName("Fx/Fire.ptc", c.folder, c.atlas, &name), c.texture != nullptr) << c.atlas;
    if (c.texture) {
      EXPECT_EQ(name, c.texture);
    }
  }
  EXPECT_TRUE(hmtest::Reported("Particle file Fx/Fire.ptc names the atlas \"ab\""));
  ReportHandler = nullptr;
}

TEST(ParticleAtlasBatch, FlushesWhenNoMoreThanSixPlacesRemainWithTheBlendAsked) {
  MP::CAtlas atlas(64, 64, nullptr);
  MAGIC_VERTEX_RECTANGLE particle{};
  for (int i = 0; i < 4; ++i) {
    particle.x[i] = static_cast<float>(i);
    particle.u[i] = static_cast<float>(i);
  }
  particle.colour = 0xFFFFFFFF;
  atlas.AppendParticle(particle, 1, 1);
  // Corners 1, 2, 3, 4, 1, 3.
  const float expected[6] = {0, 1, 2, 3, 0, 2};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(atlas.GetVertices()[i].u, expected[i]);
  for (int i = 1; i < 1022; ++i) atlas.AppendParticle(particle, 1, 1);
  EXPECT_EQ(atlas.GetCount(), 6132u);  // twelve places left
  atlas.AppendParticle(particle, 1, 1);
  EXPECT_EQ(atlas.GetCount(), 0u);  // six left: drawn at once

  for (uint8_t blend : {uint8_t{1}, uint8_t{0}}) {
    atlas.SetBlend(blend);
    atlas.AppendParticle(particle, 1, 1);
    atlas.Flush();
    EXPECT_EQ(atlas.GetCount(), 0u);
    EXPECT_EQ(GetRecordedRenderState(kRsDestBlend), blend ? kBlendOne : kBlendInvSrcAlpha);
    EXPECT_EQ(GetRecordedRenderState(kRsSrcBlend), kBlendSrcAlpha);
    EXPECT_EQ(GetRecordedRenderState(kRsCullMode), kCullNone);
    EXPECT_EQ(GetRecordedRenderState(kRsZWriteEnable), 0u);
    EXPECT_EQ(GetRecordedRenderState(kRsAlphaTestEnable), 0u);
    EXPECT_EQ(GetRecordedRenderState(kRsAlphaBlendEnable), 1u);
  }
}

}  // namespace
