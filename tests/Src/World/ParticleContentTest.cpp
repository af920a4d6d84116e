// The game's particle effects as the build makes them: every ".ptc" of the content tree loads
// with its atlas, each of its emitters comes alive when started, and the names the game asks
// for in a different spelling than their files are there.

#include <filesystem>
#include <string>

#include "Src/World/Vey_EmitterPool.h"
#include "Src/World/Vey_MPManager.h"
#include "tests/Quor/Render/RenderTestKit.h"

using namespace rendertest;

namespace {

class ParticleContentTest : public CRenderFixture {
 protected:
  void SetUp() override {
    CRenderFixture::SetUp();
    m_content = std::make_unique<CVFS>(m_root.c_str());
    g_pVFS = m_content.get();
    m_textures = std::make_unique<CTextureManager>("");
    SetTextureManager(m_textures.get());
    m_manager = MP::CManager::CreateInstance();
  }
  void TearDown() override {
    MP::CManager::DeleteInstance();
    SetTextureManager(nullptr);
    m_textures.reset();
    m_content.reset();
    CRenderFixture::TearDown();
  }

  const std::string m_root = std::string(HM_BINARY_DIR) + "/content/";
  std::unique_ptr<CVFS> m_content;
  std::unique_ptr<CTextureManager> m_textures;
  MP::CManager* m_manager = nullptr;
};

TEST_F(ParticleContentTest, EveryEffectLoadsAndEachEmitterPlays) {
  uint32_t files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(m_root + "Art")) {
    if (entry.path().extension() != ".ptc") continue;
    // Named as the game names them, with backslashes.
    std::string name = std::filesystem::relative(entry.path(), m_root).string();
    for (char& c : name)
      if (c == '/') c = '\\';
    EXPECT_TRUE(m_manager->LoadFile(name.c_str())) << name;
    ++files;
  }
  EXPECT_EQ(files, 102u);
  EXPECT_EQ(m_manager->GetAtlasCount(), files);
  EXPECT_TRUE(Reports().empty()) << Reports().front();

  uint32_t emitters = 0;
  for (auto& node : m_manager->GetEmitters()) {
    MP::CEmitter* emitter = node.value;
    emitter->Start();
    for (int i = 0; i < 15; ++i) emitter->Update(0.02f);
    BeginFrame();
    EXPECT_GT(emitter->Render(), 0u) << emitter->GetName();
    EndFrame();
    ++emitters;
  }
  EXPECT_EQ(emitters, 341u);

  for (const char* name : {"HO_HandleHint", "HO_Object_Hint", "S24_Machette ", "I19a_Sledgehammer ",
                           "I21_AquariumPot ", "G03_Tissue ", "HiddenObjectScene", "NewEntry", "Cursor"}) {
    MP::CEmitter* emitter = m_manager->FindEmitter(name);
    ASSERT_NE(emitter, nullptr) << name;
    EXPECT_STREQ(emitter->GetName(), name);
  }
  EXPECT_EQ(m_manager->FindEmitter("S24_Machette"), nullptr);  // the blank belongs to the name
  Vey::CEmitterPool pool(10, "FoundEmitters", *m_manager->FindEmitter("ObjectFound"));
  EXPECT_NE(pool.GetFreeEmitter(), nullptr);
}

}  // namespace
