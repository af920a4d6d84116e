// Every loader against the sample content the build makes with the tools (build/content).

#include "Framework/Resources/ResourceTypes/omResourceAStarGraph.h"
#include "Framework/Resources/ResourceTypes/omResourceAnimation.h"
#include "Framework/Resources/ResourceTypes/omResourceBuffer.h"
#include "Framework/Resources/ResourceTypes/omResourceCamera.h"
#include "Framework/Resources/ResourceTypes/omResourceCollision.h"
#include "Framework/Resources/ResourceTypes/omResourceEffect.h"
#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/ResourceTypes/omResourceJpegTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceJptTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceMask.h"
#include "Framework/Resources/ResourceTypes/omResourceModel.h"
#include "Framework/Resources/ResourceTypes/omResourceRenderTarget.h"
#include "Framework/Resources/ResourceTypes/omResourceSound.h"
#include "Framework/Resources/ResourceTypes/omResourceSpline.h"
#include "Framework/Resources/ResourceTypes/omResourceTerrain.h"
#include "Framework/Resources/ResourceTypes/omResourceTexAnim.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceTextureAtlas.h"
#include "Common/AStar/CDynamicGraph.h"
#include "Common/AStar/CStaticGraph.h"
#include "Quor/CAnimator_Keyframed.h"
#include "Quor/CAnimator_KeyframedSkeleton.h"
#include "Quor/CFont.h"
#include "Quor/CModel.h"
#include "Quor/CModelManager.h"
#include "Quor/CShaderManager.h"
#include "Quor/CSoundManager.h"
#include "Quor/CTextureManager.h"
#include "Quor/Timer.h"
#include "tests/Framework/Resources/ResourceTestKit.h"

#include <tinyxml.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <typeinfo>

namespace {

using namespace Ombrel;
using restest::Reported;

// A declaration of a file that is not there, and what is said about it.
struct SMissingFile {
  const char* declaration;
  const char* said;
};

// A texture animation whose every frame found its texture.
bool EveryFrameHasATexture(CResourceBase* resource) {
  const CTextureAnimation* animation = static_cast<CResourceTexAnim*>(resource)->GetAnimation();
  if (!animation || animation->GetFrameCount() == 0) return false;
  for (int i = 0; i < animation->GetFrameCount(); ++i)
    if (!animation->GetFrame(i).texture) return false;
  return true;
}

constexpr const char* kSampleList = "System\\Configs\\SampleResources.xml";
constexpr const char* kSystemList = "System\\Configs\\SystemResources.xml";

class SampleResourcesTest : public restest::CResourceFixture {
 protected:
  void SetUp() override {
    CResourceFixture::SetUp();
    // Read the content tree the build made instead of the fixture's empty folder.
    m_vfs = std::make_unique<CVFS>(HM_BINARY_DIR "/content");
    g_pVFS = m_vfs.get();
    m_shaders = std::make_unique<CShaderManager>("");
    g_pModelManager = new CModelManager("");
    m_sounds = std::make_unique<CSoundManager>();
    m_resources->RegisterLoader(new CResFontLoader, "Font");
    m_resources->RegisterLoader(new CResTextureLoader, "Texture");
    m_resources->RegisterLoader(new CResTerrainLoader, "Terrain");
    m_resources->RegisterLoader(new CResModelLoader, "Model");
    m_resources->RegisterLoader(new CResCameraLoader, "Camera");
    m_resources->RegisterLoader(new CResBufferLoader, "Buffer");
    m_resources->RegisterLoader(new CResAnimationLoader, "Anim");
    m_resources->RegisterLoader(new CResSoundLoader, "Sound");
    m_resources->RegisterLoader(new CResSplineLoader, "Spline");
    m_resources->RegisterLoader(new CResEffectLoader, "Effect");
    m_resources->RegisterLoader(new CResRenderTargetLoader, "RenderTarget");
    m_resources->RegisterLoader(new CResCollisionLoader, "Collision");
    m_resources->RegisterLoader(new CResJptTextureLoader(m_decoder.get()), "TextureJpt");
    m_resources->RegisterLoader(new CResAStarGraphLoader, "Graph");
    m_resources->RegisterLoader(new CResTextureAtlasLoader, "Atlas");
    m_resources->RegisterLoader(new CResJpegTextureLoader(m_decoder.get()), "TextureJpeg");
    m_resources->RegisterLoader(new CResMaskLoader, "Mask");
    m_resources->RegisterLoader(new CResTexAnimLoader(m_decoder.get()), "TexAnim");
    m_resources->RegisterLoader(new CResLayout2DLoader(m_resources.get()), "Layout2D");
  }

  void TearDown() override {
    m_resources.reset();
    m_sounds.reset();
    DestroyModelCache(g_pModelManager);
    m_shaders.reset();
    DeleteFrameClock();
    CResourceFixture::TearDown();
  }

  std::unique_ptr<CShaderManager> m_shaders;
  std::unique_ptr<CSoundManager> m_sounds;
};

TEST_F(SampleResourcesTest, EveryDeclarationOfTheSampleListLoads) {
  CResourcesXMLLoader reader(m_resources.get());
  reader.LoadFile(kSampleList);
  const size_t declared = reader.GetEntryCount();
  std::vector<std::string> types;
  for (size_t i = 0; i < declared; ++i) types.push_back(reader.GetEntry(i).element->Value());
  std::vector<CResourceBase*> created;
  reader.LoadResources(&created, false);
  ASSERT_EQ(created.size(), declared);
  // One declaration of every registered type.
  EXPECT_EQ(declared, size_t(m_resources->GetTypeCount()));
  for (size_t i = 0; i < created.size(); ++i) {
    EXPECT_TRUE(created[i]->IsLoaded()) << types[i];
    EXPECT_STREQ(created[i]->GetTypeName(), types[i].c_str());
  }
}

// Every picture and the font of the system list are made by the build, and so are the logos the
// start-up screens look for.
TEST_F(SampleResourcesTest, EveryPictureAndTheFontOfTheSystemListLoad) {
  CResourcesXMLLoader reader(m_resources.get());
  reader.LoadFile(kSystemList);
  size_t pictures = 0;
  for (size_t i = 0; i < reader.GetEntryCount(); ++i) {
    const TiXmlElement& element = *reader.GetEntry(i).element;
    const std::string type = element.Value();
    if (type != "Texture" && type != "Font") continue;
    TiXmlPrinter printer;
    element.Accept(&printer);
    m_resources->UnloadGroup("");
    std::vector<CResourceBase*> created = Declare(printer.CStr(), "");
    ASSERT_EQ(created.size(), 1u) << printer.CStr();
    EXPECT_TRUE(created[0]->IsLoaded()) << printer.CStr();
    if (type == "Texture") {
      const TextureRecord* texture = static_cast<CResourceTexture*>(created[0])->GetTexture();
      ASSERT_NE(texture, nullptr) << printer.CStr();
      EXPECT_GT(texture->imageWidth, 0u) << printer.CStr();
      ++pictures;
    }
  }
  EXPECT_EQ(pictures, 16u);  // the message box's, the pointer, the save background, the warning strip's
  for (const char* logo : {"Studio", "Hollowmere", "HollowmereEN", "HollowmereDE", "HollowmereFR", "HollowmereES",
                           "HollowmereIT", "HollowmereNL", "HollowmereRU"}) {
    const std::string path = std::string("Logos\\") + logo + ".mpt";
    VfsFile* file = g_pVFS->Open(path.c_str());
    EXPECT_NE(file, nullptr) << path;
    if (file) g_pVFS->Close(file);
  }
}

// The "System" font writes every system text in every language: the message boxes' words and
// texts, each language's own letters and, once it is built, the system dictionary.
TEST_F(SampleResourcesTest, TheSystemFontCoversEveryLanguagesText) {
  std::vector<CResourceBase*> created = Declare(R"(<Font Name="System" FileName="System"/>)", "");
  ASSERT_EQ(created.size(), 1u);
  const CFont* font = static_cast<CResourceFont*>(created[0])->GetFont();
  ASSERT_NE(font, nullptr);
  std::vector<std::string> texts = {
      "File already exists. Would you like to overwrite? Yes No OK",
      "Datei existiert bereits. Möchten Sie diese Daten überschreiben? Ja Nein Speichern gescheitert! beschädigt",
      "Le fichier existe déjà. Les écraser ? Échec de la sauvegarde ! Oui Non",
      "El archivo ya existe. ¿Deseas sobrescribirlos? ¡Error al guardar! Sí Aceptar",
      "File già esistente. Sovrascriverli? Sì Il file dei dati è corrotto!",
      "Bestand bestaat reeds. Wil je deze overschrijven? Nee Opslaan mislukt!",
      "Найдены ранее сохранённые данные. Перезаписать? Не удалось загрузить повреждённые данные! Да Нет",
      "はい いいえ",
      "Tak Nie ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ",
      "Ano Ne ěščřžýáíéůúťďň ĚŠČŘŽÝÁÍÉŮÚŤĎŇ",
      "Evet Hayır ğışçöüİĞŞÇÖÜ",
      "åäöÅÄÖ àçèéíïòóúü·l ñ œæ",
  };
  std::ifstream dictionary(HM_SOURCE_DIR "/content/System/Configs/SystemDictionary.xml", std::ios::binary);
  if (dictionary) texts.emplace_back(std::istreambuf_iterator<char>(dictionary), std::istreambuf_iterator<char>());
  for (const std::string& text : texts) {
    std::vector<uint32_t> tokens(text.size() + 1);
    const uint32_t count = Tokenise(uint32_t(tokens.size() * 4), text.c_str(), font, tokens.data());
    for (uint32_t i = 0; i < count; ++i)
      EXPECT_FALSE(tokens[i] >= kTokenRaw + 33 && tokens[i] <= kTokenRaw + 0xFF)
          << "no glyph in \"" << text << "\" at token " << i;
  }
}

// Each type: the declaration loads and its engine object is there.
TEST_F(SampleResourcesTest, EachLoaderMakesItsEngineObject) {
  const struct {
    const char* declaration;
    bool (*objectPresent)(CResourceBase*);
  } kCases[] = {
      {R"(<Font Name="r" FileName="Fixture"/>)", [](CResourceBase* r) { return static_cast<CResourceFont*>(r)->GetFont() != nullptr; }},
      {R"(<Terrain Name="r" FileName="Room"/>)", [](CResourceBase* r) { return static_cast<CResourceTerrain*>(r)->GetTerrain() != nullptr; }},
      {R"(<Model Name="r" FileName="Box"/>)", [](CResourceBase* r) { return static_cast<CResourceModel*>(r)->GetModel() != nullptr; }},
      {R"(<Camera Name="r" FileName="Fly"/>)", [](CResourceBase* r) { return static_cast<CResourceCamera*>(r)->GetCamera() != nullptr; }},
      {R"(<Anim Name="r" FileName="Walk"/>)", [](CResourceBase* r) { return static_cast<CResourceAnimation*>(r)->GetAnimator() != nullptr; }},
      {R"(<Sound Name="r" FileName="Beep"/>)", [](CResourceBase* r) { return static_cast<CResourceSound*>(r)->GetSound() != nullptr; }},
      {R"(<Spline Name="r" FileName="Path"/>)", [](CResourceBase* r) { return static_cast<CResourceSpline*>(r)->GetSplineFile() != nullptr; }},
      {R"(<Effect Name="r" FileName="Sparks"/>)", [](CResourceBase* r) { return static_cast<CResourceEffect*>(r)->GetEffectCount() == 1; }},
      {R"(<RenderTarget Name="r" Width="64" Height="32"/>)", [](CResourceBase* r) { return static_cast<CResourceRenderTarget*>(r)->GetTexture() != nullptr; }},
      {R"(<Collision Name="r" FileName="Walls"/>)", [](CResourceBase* r) { return static_cast<CResourceCollision*>(r)->GetTree() != nullptr; }},
      {R"(<Graph Name="r" FileName="Grid"/>)", [](CResourceBase* r) { return static_cast<CResourceAStarGraph*>(r)->GetGraph() != nullptr; }},
      {R"(<Atlas Name="r" FileName="Buttons"/>)", [](CResourceBase* r) { return static_cast<CResourceTextureAtlas*>(r)->GetAtlas() != nullptr; }},
      {R"(<TextureJpeg Name="r" FileName="Spark"/>)", [](CResourceBase* r) { return static_cast<CResourceJpegTexture*>(r)->GetTextureObject()->GetTexture() != nullptr; }},
      {R"(<TextureJpt Name="r" FileName="Spark"/>)", [](CResourceBase* r) { return static_cast<CResourceJptTexture*>(r)->GetTextureObject()->GetTexture() != nullptr; }},
      {R"(<Mask Name="r" FileName="Spark"/>)", [](CResourceBase* r) { return static_cast<CResourceMask*>(r)->GetMask()->IsLoaded(); }},
      {R"(<TexAnim Name="r" FileName="Spark" Type="UV" FileType="Jpt" FrameCount="4" RowCount="2" ColCount="2"/>)",
       EveryFrameHasATexture},
      {R"(<TexAnim Name="r" FileName="Spark" Type="File" FileType="Jpg" FrameCount="2"><FileList><File FileName="Spark"/><File FileName="Spark"/></FileList></TexAnim>)",
       EveryFrameHasATexture},
      {R"(<Layout2D Name="r" FileName="Menu"/>)", [](CResourceBase* r) { return static_cast<CResourceLayout2D*>(r)->GetResources().size() == 2; }},
  };
  for (const auto& c : kCases) {
    m_resources->UnloadGroup("");
    std::vector<CResourceBase*> created = Declare(c.declaration);
    ASSERT_EQ(created.size(), 1u) << c.declaration;
    EXPECT_TRUE(created[0]->IsLoaded()) << c.declaration;
    EXPECT_TRUE(c.objectPresent(created[0])) << c.declaration;
  }
}

// The attributes of a type decide what its engine object is: the animator's kind, the sound's
// looping, the graph's kind and whether its file is read. Every word is compared exactly.
TEST_F(SampleResourcesTest, TypeAttributesShapeTheEngineObjects) {
  const auto animator = [](CResourceBase* r) -> const std::type_info& {
    const CAnimator* a = static_cast<CResourceAnimation*>(r)->GetAnimator();
    return a ? typeid(*a) : typeid(nullptr);
  };
  const auto looping = [](CResourceBase* r) {
    const SSoundRecord* sound = static_cast<CResourceSound*>(r)->GetSound();
    return sound && sound->looping;
  };
  const auto graph = [](CResourceBase* r) -> const AStar::IGraph& {
    return *static_cast<CResourceAStarGraph*>(r)->GetGraph();
  };
  const auto isGraph = [&](CResourceBase* r, const std::type_info& type) {
    const AStar::IGraph& g = graph(r);
    return typeid(g) == type;
  };
  const struct {
    const char* declaration;
    std::function<bool(CResourceBase*)> holds;
  } kCases[] = {
      {R"(<Anim Name="r" FileName="Walk"/>)", [&](CResourceBase* r) { return animator(r) == typeid(CAnimator_Keyframed); }},
      {R"(<Anim Name="r" FileName="Walk" Type="offset"/>)",
       [&](CResourceBase* r) { return animator(r) == typeid(CAnimator_Keyframed); }},
      {R"(<Anim Name="r" FileName="Walk" Type="Offset"/>)",
       [&](CResourceBase* r) { return animator(r) == typeid(CAnimator_KeyframedOffset); }},
      {R"(<Anim Name="r" FileName="Walk" Type="Skeleton"/>)",
       [&](CResourceBase* r) { return animator(r) == typeid(CAnimator_KeyframedSkeleton); }},
      {R"(<Sound Name="r" FileName="Beep" Looped="true"/>)", [&](CResourceBase* r) { return !looping(r); }},
      {R"(<Sound Name="r" FileName="Beep" Looped="True"/>)", [&](CResourceBase* r) { return looping(r); }},
      {R"(<Sound Name="r" FileName="Beep"/>)", [&](CResourceBase* r) { return !looping(r); }},
      {R"(<Graph Name="r" FileName="Grid"/>)",
       [&](CResourceBase* r) { return isGraph(r, typeid(AStar::CDynamicGraph)) && graph(r).GetNodeCount() > 0; }},
      {R"(<Graph Name="r" FileName="Grid" Type="Static"/>)",
       [&](CResourceBase* r) { return isGraph(r, typeid(AStar::CStaticGraph)) && graph(r).GetNodeCount() > 0; }},
      {R"(<Graph Name="r" FileName="Grid" Type="static" Source="Descriptor"/>)",
       [&](CResourceBase* r) { return isGraph(r, typeid(AStar::CDynamicGraph)) && graph(r).GetNodeCount() == 0; }},
      {R"(<Graph Name="r" FileName="Gone" Type="Static" Source="None"/>)",
       [&](CResourceBase* r) { return isGraph(r, typeid(AStar::CStaticGraph)) && graph(r).GetNodeCount() == 0; }},
  };
  for (const auto& c : kCases) {
    restest::Reports().clear();
    m_resources->UnloadGroup("");
    std::vector<CResourceBase*> created = Declare(c.declaration);
    ASSERT_EQ(created.size(), 1u) << c.declaration;
    ASSERT_TRUE(created[0]->IsLoaded()) << c.declaration;
    EXPECT_TRUE(c.holds(created[0])) << c.declaration;
    EXPECT_FALSE(Reported("Gone")) << c.declaration << ": a graph of another source reads no file";
  }
}

// A model takes its textures and materials from the folders of its list's directory, and its
// forced shader kind or material hold for it alone: the model cache keeps it apart, and the
// next model of the file is the plain one again, with the engine's folders left empty.
TEST_F(SampleResourcesTest, AModelsFoldersAndOverridesHoldForItsOwnLoadOnly) {
  GetShaderManager()->SetShaderOverride(nullptr);
  const auto model = [](CResourceBase* r) { return static_cast<CResourceModel*>(r)->GetModel(); };
  std::vector<CResourceBase*> created = Declare(
      R"(<Model Name="plain" FileName="Box"/><Model Name="kind" FileName="Box" ForceShader="Texture1"/>)"
      R"(<Model Name="material" FileName="Box" ForceMaterial="Default"/><Model Name="again" FileName="Box"/>)");
  ASSERT_EQ(created.size(), 4u);
  for (CResourceBase* resource : created) ASSERT_NE(model(resource), nullptr);
  EXPECT_EQ(std::string(model(created[0])->GetName()), "Sample\\Models\\Box.bmo");
  EXPECT_EQ(std::string(model(created[1])->GetName()), "Sample\\Models\\Box.bmo|s:Texture1");
  EXPECT_EQ(std::string(model(created[2])->GetName()), "Sample\\Models\\Box.bmo|m:Default");
  EXPECT_EQ(model(created[3]), model(created[0]));
  EXPECT_STREQ(GetShaderManager()->GetFolder().text, "");
  EXPECT_STREQ(m_manager->GetDirectory(), "");
  // The materials were looked for in the directory's Materials folder and keyed by it.
  EXPECT_NE(GetShaderManager()->FindMaterialByKey("ID$Sample\\Materials\\Default"), nullptr);
}

// A render target whose texture is already held elsewhere shares it: loading adds one reference,
// and unloading twice gives back only that one.
TEST_F(SampleResourcesTest, ARenderTargetSharesATextureHeldElsewhere) {
  TextureRecord* held = m_manager->AcquireRenderTarget("Mirror", 64, 32);
  ASSERT_NE(held, nullptr);
  const uint32_t textures = m_manager->GetTextureCount();
  std::vector<CResourceBase*> created = Declare(R"(<RenderTarget Name="Mirror" Width="64" Height="32"/>)");
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(static_cast<CResourceRenderTarget*>(created[0])->GetTexture(), held);
  EXPECT_EQ(m_manager->GetTextureCount(), textures);
  created[0]->Unload();
  created[0]->Unload();
  EXPECT_FALSE(created[0]->IsLoaded());
  EXPECT_EQ(m_manager->GetTextureCount(), textures) << "the holder's reference is kept";
  EXPECT_EQ(m_manager->AcquireRenderTarget("Mirror", 64, 32), held);
  m_manager->ReleaseTexture(held);
  m_manager->ReleaseTexture(held);
  EXPECT_EQ(m_manager->GetTextureCount(), textures - 1);
}

// A declaration whose file is missing is reported naming the file, and the program goes on.
TEST_F(SampleResourcesTest, AMissingFileIsReportedNamingIt) {
  const SMissingFile kCases[] = {
      {R"(<Camera Name="r" FileName="Gone"/>)", "Gone.cam"},
      {R"(<Sound Name="r" FileName="Gone"/>)", "Gone"},
      {R"(<Spline Name="r" FileName="Gone"/>)", "Gone.spl"},
      {R"(<Collision Name="r" FileName="Gone"/>)", "Gone.bct"},
      {R"(<Graph Name="r" FileName="Gone"/>)", "Gone.agr"},
      {R"(<Atlas Name="r" FileName="Gone"/>)", "Gone.atlas"},
  };
  for (const auto& c : kCases) {
    restest::Reports().clear();
    m_resources->UnloadGroup("");
    Declare(c.declaration);
    EXPECT_TRUE(Reported(c.said)) << c.declaration;
  }
}

// The engine readers of scenes, fonts and animations stop the program on a missing file, with
// a message naming it.
TEST_F(SampleResourcesTest, AMissingSceneFontOrAnimationStopsNamingTheFile) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const SMissingFile kCases[] = {
      {R"(<Terrain Name="r" FileName="Gone"/>)", "Gone\\.bsc"},
      {R"(<Font Name="r" FileName="Gone"/>)", "Gone\\.fnt"},
      {R"(<Anim Name="r" FileName="Gone"/>)", "Gone\\.ban"},
  };
  for (const auto& c : kCases) {
    EXPECT_EXIT(Declare(c.declaration), ::testing::ExitedWithCode(3), c.said) << c.declaration;
  }
}

}  // namespace
