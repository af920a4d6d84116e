// The hidden-object scenes the build makes, played through the scene over the built layouts,
// masks, scene description and phrases: every listed object is found by a click on its own
// pixels and by none beside its shape, the list's lines all have their phrases, and finding
// everything hands out the reward the inventory knows.

#include "Src/Investigation/Vey_HiddenObjects.h"

#include <gtest/gtest.h>

#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "Framework/Utils/omXmlDictionary.h"
#include "Quor/CViewCamera.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_Scene.h"
#include "Src/World/Vey_Screen.h"
#include "tests/Framework/Resources/ResourceTestKit.h"
#include "tests/Src/Investigation/HiddenObjectsTestKit.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/engine/CameraInMode.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace Vey;

namespace {

constexpr int kGrid = 24;  // points a side sampled over an object's rectangle

// A point of the rectangle where the pick gives the object, and one inside the rectangle where
// it gives nothing at all (a clear pixel of its picture with nothing behind).
struct SProbe {
  std::optional<Vector2> on;
  std::optional<Vector2> beside;
};

class HiddenObjectsContentTest : public restest::CResourceFixture {
 protected:
  void SetUp() override {
    CResourceFixture::SetUp();
    m_vfs = std::make_unique<CVFS>(HM_BINARY_DIR "/content");
    g_pVFS = m_vfs.get();
    m_resources->RegisterLoader(new Ombrel::CResTextureLoader, "Texture");
    m_resources->RegisterLoader(new Ombrel::CResLayout2DLoader(m_resources.get()), "Layout2D");
    Ombrel::CResourcesXMLLoader reader(m_resources.get());
    reader.Load("App\\Configs\\HiddenObjects_Resources.xml");
    reader.Load("App\\Configs\\Locations_Resources.xml");  // the later searches' layouts
    const std::string root = HM_BINARY_DIR "/content/";
    ASSERT_EQ(m_world.Load(ReadTextFile(root + "App/Configs/GameInfo.xml")), 0);
    m_dictionary = std::make_unique<Ombrel::CXmlDictionary>();
    m_dictionary->Load(Ombrel::CXmlDictionary::kGameDictionary);
    m_save = std::make_unique<SSaveData>();
    m_save->current = 0;
    m_layouts = std::make_unique<CResourceLayoutShelf>(m_resources.get());
  }
  void TearDown() override {
    m_hidden.reset();
    m_layouts.reset();
    m_dictionary.reset();
    m_resources.reset();
    CResourceFixture::TearDown();
  }

  void Open(int32_t scene) {
    SHiddenObjectsParts parts;
    parts.world = &m_world;
    parts.layouts = m_layouts.get();
    parts.save = m_save.get();
    parts.hud = &m_hud;
    parts.list = &m_hud;
    parts.dictionary = m_dictionary.get();
    parts.playSound = [this](const std::string& name) { m_log.push_back("sound." + name); };
    m_hidden = std::make_unique<CHiddenObjects>(std::move(parts));
    m_hidden->Open(scene);
    ASSERT_NE(m_hidden->GetLayout(), nullptr);
    Frame({1800.0f, 1800.0f}, false, 0.5f);
  }
  void Frame(const Vector2& mouse, bool down, float dt) {
    m_hidden->ReadInput(mouse, down);
    m_hidden->Update(dt);
  }
  void Click(const Vector2& point) {
    Frame(point, true, 0.3f);
    Frame(point, false, 0.3f);
  }

  SProbe Probe(const SSceneObject& object) const {
    const Ombrel::CLayout2D& layout = *m_hidden->GetLayout();
    const auto* box = static_cast<const Ombrel::SLayoutBox*>(layout.FindItem(object.sprite.c_str()));
    SProbe probe;
    if (!box) return probe;
    const SObjectList& objects = m_world.Scene(uint32_t(m_hidden->GetSceneIndex())).objects;
    for (int i = 0; i < kGrid; ++i)
      for (int j = 0; j < kGrid; ++j) {
        const Vector2 point = ToVirtualScreen({box->position.x + box->size.x * ((i + 0.5f) / kGrid - 0.5f),
                                               box->position.y + box->size.y * ((j + 0.5f) / kGrid - 0.5f)});
        const std::string picked = PickObjectAt(point, objects, layout);
        if (picked == object.name && !probe.on) probe.on = point;
        if (picked == kPickedNothing && !probe.beside) probe.beside = point;
      }
    return probe;
  }

  hmtest::CCameraInMode m_camera{kAspectWide};
  std::unique_ptr<CVFS> m_vfs;
  CMap m_world{false};
  std::unique_ptr<Ombrel::CXmlDictionary> m_dictionary;
  std::unique_ptr<SSaveData> m_save;
  std::unique_ptr<CResourceLayoutShelf> m_layouts;
  scenetest::Log m_log;
  hotest::CFakeListHud m_hud{&m_log};
  std::unique_ptr<CHiddenObjects> m_hidden;
};

// The garden shed's search, which lists the most.
constexpr int32_t kShed = 33;

// The scenes a player reaches from the locations.
std::vector<int32_t> ReachableScenes(const CMap& world) {
  std::vector<int32_t> scenes;
  for (uint32_t location = 0; location < kLocationCount; ++location)
    for (const SExit& exit : world.Scene(location).exits)
      if (exit.target >= kLocationCount) scenes.push_back(int32_t(exit.target));
  return scenes;
}

TEST_F(HiddenObjectsContentTest, EveryObjectIsFoundOnItsPixelsOnlyAndTheRewardIsHandedOut) {
  const std::vector<int32_t> scenes = ReachableScenes(m_world);
  ASSERT_FALSE(scenes.empty());
  for (int32_t scene : scenes) {
    SCOPED_TRACE(scene);
    m_log.clear();  // the sounds counted below are this scene's
    Open(scene);
    // A line for each name; each has its phrase, and the shed's one group of three counts 3.
    ASSERT_GE(m_hud.lines.size(), scene == kShed ? 10u : 1u);
    for (const std::string& line : m_hud.lines) EXPECT_EQ(line.find("NotFound"), std::string::npos) << line;
    const SObjectList objects = m_world.Scene(uint32_t(scene)).objects;  // the scene changes the live list
    int listed = 0;
    for (const SSceneObject& object : objects) {
      if (!object.pickable) continue;
      SCOPED_TRACE(object.name);
      ++listed;
      const SProbe probe = Probe(object);
      ASSERT_TRUE(probe.on.has_value());
      ASSERT_TRUE(probe.beside.has_value()) << "the mask does not follow the picture's shape";
      const long missed = std::count(m_log.begin(), m_log.end(), "sound.missed");
      Click(*probe.beside);
      EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "sound.missed"), missed + 1);
      Click(*probe.on);
      EXPECT_EQ(std::count(m_log.begin(), m_log.end(), "sound.item_found"), listed);
    }
    EXPECT_GE(listed, scene == kShed ? 10 : 5);
    for (const std::string& line : m_hud.lines) EXPECT_EQ(line.back(), '0') << line;
    for (int i = 0; i < 40 && m_hidden->IsOpen(); ++i) Frame({1800.0f, 1800.0f}, false, 0.1f);
    EXPECT_FALSE(m_hidden->IsOpen());
    const std::string& reward = m_hidden->GetRewardKey();
    EXPECT_TRUE(scenetest::Logged(m_log, "hud.AddItem " + reward));
    // The inventory knows the reward and the item frame names it.
    const std::string items = ReadTextFile(HM_BINARY_DIR "/content/App/Hud/Items.2dl");
    EXPECT_NE(items.find("Name=\"root/Items/" + reward + "\""), std::string::npos) << reward;
    EXPECT_EQ(std::string(m_dictionary->GetPhrase(reward.c_str())).find("NotFound"), std::string::npos) << reward;
  }
}

}  // namespace
