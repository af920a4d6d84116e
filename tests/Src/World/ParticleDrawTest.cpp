// Particle files loaded through the file system by the manager and drawn on a small device:
// particles appear where their emitter is, in the atlas's colour, and what cannot be drawn
// is not.

#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_MPAtlas.h"
#include "Src/World/Vey_MPManager.h"
#include "tests/Particles/PtcTestKit.h"
#include "tests/Quor/Render/RenderTestKit.h"

using namespace rendertest;
using gfxtest::SRgba;

namespace {

class ParticleDrawTest : public CRenderFixture {
 protected:
  void SetUp() override {
    CRenderFixture::SetUp();
    m_manager = MP::CManager::CreateInstance();
  }
  void TearDown() override {
    MP::CManager::DeleteInstance();
    CRenderFixture::TearDown();
  }

  // A file "Fx/Sparks.ptc" whose emitter "Spark" bursts one motionless particle of 64 units,
  // and its atlas, a white picture, as the texture manager finds it.
  void WriteSparks() {
    WriteContent("Fx/Sparks.ptc", ptctest::BuildPtc("atlas Sprites.png 4 4 1 1\n"
                                                    "emitter Spark\nlayer 0\ncapacity 1\nburst 1\nlife 10 10\n"
                                                    "size 0 64\n"));
    WriteContent("Textures/Fx/Sprites.mpt", MptFile(4, 4, Solid(4, 4, {255, 255, 255, 255})));
  }

  MP::CManager* m_manager = nullptr;
};

TEST_F(ParticleDrawTest, ParticlesAreDrawnWhereTheEmitterIs) {
  WriteSparks();
  ASSERT_TRUE(m_manager->LoadFile("Fx\\Sparks.ptc")) << (Reports().empty() ? "" : Reports().back());
  EXPECT_EQ(m_manager->GetAtlasCount(), 1u);
  MP::CEmitter* spark = m_manager->FindEmitter("SPARK");
  ASSERT_NE(spark, nullptr);
  // A quarter of the screen up and left of the centre: pixel (16, 16) of 64. Without a
  // camera the view counts as square.
  spark->SetPosition({-0.5f * MP::kParticleUnits, -0.5f * MP::kParticleUnits});
  spark->Start();
  spark->Update(0.02f);
  spark->SetAlpha(0.5f);
  Vey::CEmitterGroup group;
  group.Add(spark);
  Vey::CEmitterGroupNode node("SceneEmitters", &group);

  BeginFrame();
  node.Render();
  const std::vector<uint8_t> pixels = EndFrame();
  // 64 units are 36 virtual units, 4.5 pixels: pixels 14..17 are covered, at half alpha.
  for (int y = 14; y <= 17; ++y)
    for (int x = 14; x <= 17; ++x) {
      const SRgba p = Pixel(pixels, kSize, x, y);
      EXPECT_NEAR(p.r, 128, 2) << x << ", " << y;
    }
  EXPECT_EQ(Pixel(pixels, kSize, 20, 16), (SRgba{0, 0, 0, 255}));
  EXPECT_EQ(Pixel(pixels, kSize, 48, 48), (SRgba{0, 0, 0, 255}));
  BeginFrame();
  EXPECT_EQ(spark->Render(), 1u);
  EndFrame();
}

TEST_F(ParticleDrawTest, DamagedAndMissingFilesAddNothingAndAnUnknownAtlasDrawsNothing) {
  WriteSparks();
  std::vector<uint8_t> damaged = ptctest::BuildPtc(ptctest::BurstDescription(1));
  damaged.resize(damaged.size() - 3);
  WriteContent("Fx/Broken.ptc", damaged);
  EXPECT_FALSE(m_manager->LoadFile("Fx/Broken.ptc"));
  EXPECT_TRUE(Reported("Damaged particle file Fx/Broken.ptc"));
  EXPECT_FALSE(m_manager->LoadFile("Fx/Absent.ptc"));
  EXPECT_TRUE(Reported("No such particle file: Fx/Absent.ptc"));
  EXPECT_EQ(m_manager->GetEmitters().GetCount(), 0u);
  EXPECT_EQ(m_manager->GetAtlasCount(), 0u);

  // An emitter of a file the manager never built atlases for names an atlas it lacks.
  const std::vector<uint8_t> bytes = ptctest::BuildPtc(ptctest::BurstDescription(1));
  const HM_FILE file = Magic_OpenFileInMemory(bytes.data(), bytes.size(), "Loose.ptc");
  MP::CEmitter* loose = m_manager->AddEmitter(Magic_LoadEmitter(file, "Spark"));
  Magic_CloseFile(file);
  loose->Start();
  loose->Update(0.02f);
  EXPECT_EQ(m_manager->GetAtlas(0), nullptr);
  EXPECT_EQ(m_manager->GetAtlas(-1), nullptr);
  BeginFrame();
  EXPECT_EQ(loose->Render(), 0u);
  EndFrame();
}

}  // namespace
