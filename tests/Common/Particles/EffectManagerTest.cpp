// The effect manager: groups, update, culling, draw order and release.

#include "Common/Particles/CDefaultRender.h"
#include "Common/Particles/CElemStandartEmiter.h"
#include "ParticleTestSupport.h"

#include <cstdio>

using particle_test::ParticleTest;
using particle_test::RecordedDraws;

namespace {

// A looping effect at a given position that shows one particle from its second update.
std::string EffectAt(const char* name, float x, float y, float z) {
  char xml[1024];
  std::snprintf(xml, sizeof(xml), R"(<E n="%s">
    <StandartEmiter v="1"><pos_x fValue="%g"/><pos_y fValue="%g"/><pos_z fValue="%g"/>
      <ParticleCount iValue="1"/><LifeTime fValue="5"/><LifeTime_to fValue="5"/><BirthRate fValue="100"/>
      <Effect_Loop iValue="1"/><posx_TimeLine tValue="0|0;1|0"/><posy_TimeLine tValue="0|0;1|0"/>
      <posz_TimeLine tValue="0|0;1|0"/></StandartEmiter>
    <StandardMaterial v="1"><Texture tValue="t.mpt"/></StandardMaterial></E>)",
                name, x, y, z);
  return xml;
}

class EffectManagerTest : public ParticleTest {
 protected:
  CEffectInstance* Add(const char* name, float x, float y, float z, int32_t group) {
    sets.push_back(std::move(LoadEffects(EffectAt(name, x, y, z).c_str())[0]));
    return g_effectManager->AddEffect(CEffectInstance::CreateStandard(sets.back().get()), group);
  }

  // The x of the first vertex of every draw call since the last look.
  std::vector<float> DrawnX() {
    std::vector<float> xs;
    for (const auto& draw : RecordedDraws()) xs.push_back(draw.vertices[0].x);
    RecordedDraws().clear();
    return xs;
  }

  std::vector<std::unique_ptr<CEffectParams>> sets;
};

TEST_F(EffectManagerTest, DrawsOneGroupFarthestFirst) {
  Add("near", 2, 0, 0, 7);   // squared distance 4 from the camera at the origin
  Add("far", 3, 0, 0, 7);    // 9
  Add("other", 50, 0, 0, 8);
  g_effectManager->Update(0.1f);
  g_effectManager->Update(0.1f);
  g_effectManager->RenderEffect(7);
  const std::vector<float> xs = DrawnX();
  ASSERT_EQ(xs.size(), 2u);
  EXPECT_NEAR(xs[0], 3.0f + 1.0f, 1e-5f);  // corner A = centre + half width
  EXPECT_NEAR(xs[1], 2.0f + 1.0f, 1e-5f);

  g_effectManager->RenderEffect(8);
  EXPECT_EQ(DrawnX().size(), 1u);
  g_effectManager->RenderEffect(12345);  // an unknown group draws nothing and files nothing
  EXPECT_TRUE(DrawnX().empty());
  EXPECT_EQ(g_effectManager->GetGroupCount(), 2u);
}

TEST_F(EffectManagerTest, CullingAndStoppedEmittersSkipAnInstance) {
  CEffectInstance* culled = Add("culled", 100, 0, 0, 1);
  Add("shown", 1, 0, 0, 1);
  culled->GetRenderer()->SetCulling(true, 5.0f);
  GetParticleServices().isSphereInFrustum = [](const Vector3& centre, float radius) {
    return centre.x - radius < 10.0f;
  };
  g_effectManager->Update(0.1f);
  g_effectManager->Update(0.1f);
  g_effectManager->RenderEffect(1);
  EXPECT_EQ(DrawnX(), std::vector<float>{2.0f});

  // A stopped emitter is neither updated nor drawn.
  CEffectInstance* stopped = g_effectManager->GetGroup(1)[1];
  stopped->GetEmitter()->Stop();
  const float ageBefore = static_cast<CElemStandartEmiter*>(stopped->GetEmitter())->GetParticles()[0].age;
  g_effectManager->Update(0.5f);
  EXPECT_EQ(static_cast<CElemStandartEmiter*>(stopped->GetEmitter())->GetParticles()[0].age, ageBefore);
  g_effectManager->RenderEffect(1);
  EXPECT_TRUE(DrawnX().empty());
}

// Group numbers far apart (and negative) are updated without visiting the numbers between.
TEST_F(EffectManagerTest, UpdateVisitsOnlyExistingGroups) {
  CEffectInstance* high = Add("high", 1, 0, 0, 2000000000);
  CEffectInstance* negative = Add("negative", 1, 0, 0, -4);
  g_effectManager->Update(0.25f);
  g_effectManager->Update(0.25f);
  EXPECT_EQ(g_effectManager->GetGroupCount(), 2u);
  for (CEffectInstance* instance : {high, negative}) {
    const auto* emitter = static_cast<CElemStandartEmiter*>(instance->GetEmitter());
    EXPECT_FLOAT_EQ(emitter->GetParticles()[0].age, 0.25f);
  }
}

TEST_F(EffectManagerTest, ReleaseDestroysTheInstanceAndItsState) {
  Add("a", 1, 0, 0, 3);
  Add("b", 2, 0, 0, 3);
  const uint32_t idA = sets[0]->GetId();
  EXPECT_EQ(g_elementStateMap->GetCount(), 2u);

  g_effectManager->ReleaseEffect(*sets[0], 99);  // even under a wrong group number
  EXPECT_EQ(g_effectManager->GetLiveCount(), 1u);
  EXPECT_EQ(g_effectManager->GetGroup(3).size(), 1u);
  EXPECT_EQ(g_elementStateMap->Find(idA), nullptr);
  g_effectManager->ReleaseEffect(*sets[0], 3);  // nothing left with that id
  EXPECT_EQ(g_effectManager->GetLiveCount(), 1u);

  g_effectManager->Update(0.1f);
  g_effectManager->Update(0.1f);
  g_effectManager->RenderEffect(3);
  EXPECT_EQ(DrawnX(), std::vector<float>{3.0f});
}

// Two instances of one parameter set each draw their own particle, and releasing one leaves
// the other running on its own record.
TEST_F(EffectManagerTest, InstancesOfOneSetKeepTheirOwnState) {
  CEffectInstance* first = Add("twin", 2, 0, 0, 4);
  CEffectInstance* second = g_effectManager->AddEffect(CEffectInstance::CreateStandard(sets[0].get()), 4);
  second->GetEmitter()->SetPosition(5, 0, 0, 0);
  g_effectManager->Update(0.1f);
  g_effectManager->Update(0.1f);
  g_effectManager->RenderEffect(4);
  EXPECT_EQ(DrawnX(), (std::vector<float>{6.0f, 3.0f}));
  EXPECT_NE(static_cast<CElemStandartEmiter*>(first->GetEmitter())->GetState(),
            static_cast<CElemStandartEmiter*>(second->GetEmitter())->GetState());

  g_effectManager->ReleaseEffect(*sets[0], 4);  // the first one built
  g_effectManager->Update(0.1f);
  g_effectManager->RenderEffect(4);
  EXPECT_EQ(DrawnX(), std::vector<float>{6.0f});
  EXPECT_NE(g_elementStateMap->Find(sets[0]->GetId()), nullptr);
  g_effectManager->ReleaseEffect(*sets[0], 4);
  EXPECT_EQ(g_elementStateMap->GetCount(), 0u);
}

TEST_F(EffectManagerTest, EmptyGroupStillAppliesTheCameraAndWorldMatrix) {
  static int applied = 0, worldLoads = 0;
  applied = worldLoads = 0;
  GetParticleServices().applyCamera = [](SParticleCamera* camera) {
    ++applied;
    camera->position = Vector4{1, 2, 3, 0};
  };
  GetParticleServices().setWorldMatrix = [](const Matrix4& world) { worldLoads += world[0] == 1.0f && world[12] == 0.0f; };
  g_effectManager->RenderEffect(0);
  EXPECT_EQ(applied, 1);
  EXPECT_EQ(worldLoads, 1);
  EXPECT_EQ(GetCurrentParticleCamera().position.z, 3.0f);
  g_effectManager->SetDataFolder(std::string(600, 'd').c_str());
  EXPECT_EQ(std::string(g_effectManager->GetDataFolder()).size(), 511u);
}

}  // namespace
