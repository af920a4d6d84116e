// The resource manager and the resource lists, with a recording resource type.

#include "Framework/Resources/ResourceTypes/omResourceBuffer.h"
#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/omResourcePattern.h"
#include "Quor/CLoadScreen.h"
#include "tests/Framework/Resources/ResourceTestKit.h"

#include <tinyxml.h>

namespace {

using namespace Ombrel;
using restest::Reported;

std::vector<std::string>& Destroyed() {
  static std::vector<std::string> destroyed;
  return destroyed;
}

// Records its path when destroyed; loads nothing.
class CProbe : public CResourceBase {
 public:
  static constexpr const char* kTypeName = "Probe";
  static constexpr const char* kFolder = "Probes\\";
  static constexpr const char* kExtension = ".prb";
  explicit CProbe(const SDeclaration& declaration) : CResourceBase(declaration.path) {}
  ~CProbe() override { Destroyed().push_back(m_path.GetText()); }
  void Load() override { m_loaded = true; }
  void Unload() override { m_loaded = false; }
  bool IsLoaded() const override { return m_loaded; }
  const char* GetTypeName() const override { return kTypeName; }

 private:
  bool m_loaded = false;
};

class CProbe2 : public CProbe {
 public:
  static constexpr const char* kTypeName = "Other";
  using CProbe::CProbe;
  const char* GetTypeName() const override { return kTypeName; }
};

class ResourceManagerTest : public restest::CResourceFixture {
 protected:
  void SetUp() override {
    CResourceFixture::SetUp();
    Destroyed().clear();
    m_resources->RegisterLoader(new CPatternLoader<CProbe>, "Probe");
    m_resources->RegisterLoader(new CPatternLoader<CProbe2>, "Other");
  }
  CProbe* Probe(const char* name) { return static_cast<CProbe*>(m_resources->FindResource("Probe", name)); }
};

TEST_F(ResourceManagerTest, NamesAreUniquePerTypeAndFoundInAnyCase) {
  LoadList(R"(<List>
      <Probe Name="Door" FileName="a"/>
      <Other Name="Door" FileName="b"/>
      <Probe Name="DOOR" FileName="c"/>
    </List>)");
  ASSERT_NE(Probe("door"), nullptr);
  EXPECT_STREQ(Probe("dOoR")->GetPath().GetText(), "Probes\\a.prb");
  EXPECT_STREQ(m_resources->FindResource("Other", "Door")->GetPath().GetText(), "Probes\\b.prb");
  EXPECT_EQ(m_resources->GetGroupSize(""), 2u);  // the second "Probe" of the name is skipped
}

TEST_F(ResourceManagerTest, AbsentLookupsAndASecondLoaderAreReported) {
  EXPECT_EQ(m_resources->GetTexture("Nothing"), nullptr);
  EXPECT_TRUE(Reported("No resource \"Nothing\" of the type \"Texture\""));
  EXPECT_EQ(m_resources->GetLoader("Texture"), nullptr);
  m_resources->RegisterLoader(new CPatternLoader<CProbe>, "Probe");
  EXPECT_TRUE(Reported("\"Probe\" is registered already"));
  EXPECT_EQ(m_resources->GetTypeCount(), 2u);
}

TEST_F(ResourceManagerTest, DirectoryAndFlagsHoldUntilTheNextDirectory) {
  LoadList(R"(<List>
      <Directory Path="Menu\" ExplicitDir="True" Load="False"><Probe Name="a" FileName="a"/></Directory>
      <Probe Name="b" FileName="b"/>
      <Probe Name="c" FileName="c" ExplicitDir="yes" Load="false"/>
      <Directory Path="X\" ExplicitDir="true" Load="false"/>
      <Probe Name="d" FileName="d"/>
      <Directory/>
      <Probe Name="e" FileName="e"/>
    </List>)");
  const struct {
    const char* name;
    const char* path;
    bool loaded;
  } kCases[] = {
      {"a", "Menu\\a.prb", false},  {"b", "Menu\\b.prb", false}, {"c", "Menu\\Probes\\c.prb", false},
      {"d", "X\\Probes\\d.prb", true}, {"e", "(null)Probes\\e.prb", true},
  };
  for (const auto& c : kCases) {
    ASSERT_NE(Probe(c.name), nullptr) << c.name;
    EXPECT_STREQ(Probe(c.name)->GetPath().GetText(), c.path) << c.name;
    EXPECT_EQ(Probe(c.name)->IsLoaded(), c.loaded) << c.name;
  }
}

TEST_F(ResourceManagerTest, ConditionsImagesAndIncludesKeepTheOrder) {
  WriteText("Inc.xml", R"(<L><Probe Name="inc" FileName="inc"/></L>)");
  LoadList(R"(<List>
      <Probe Name="first" FileName="1"/>
      <Condition Edition="Collector"><Probe Name="skipped" FileName="s"/></Condition>
      <Condition><Image><Include Value="Inc.xml"/></Image></Condition>
      <Directory Path=""><Include Value="Inc.xml"/></Directory>
      <Probe Name="last" FileName="2"/>
    </List>)");
  EXPECT_EQ(Probe("skipped"), nullptr);
  ASSERT_NE(Probe("inc"), nullptr);
  m_resources->UnloadGroup("");
  EXPECT_EQ(Destroyed(), (std::vector<std::string>{"Probes\\2.prb", "Probes\\inc.prb", "Probes\\1.prb"}));
}

TEST_F(ResourceManagerTest, AnIncludeCycleIsReportedAndCut) {
  WriteText("B.xml", R"(<L><Probe Name="b" FileName="b"/><Include Value="a.XML"/></L>)");
  LoadList(R"(<L><Probe Name="a" FileName="a"/><Include Value="B.xml"/><Include Value="B.xml"/></L>)", "A.xml");
  EXPECT_TRUE(Reported("closes a cycle"));
  EXPECT_NE(Probe("a"), nullptr);
  EXPECT_NE(Probe("b"), nullptr);
}

TEST_F(ResourceManagerTest, ADocumentWithoutRootOrNestedTooDeepIsSkipped) {
  LoadList("<!-- nothing here -->");
  EXPECT_TRUE(Reported("has no root element"));
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<List>";
  LoadList(deep, "Deep.xml");
  EXPECT_TRUE(Reported("Deep.xml: elements nested deeper than"));
  EXPECT_EQ(m_resources->GetGroupSize(""), 0u);
}

class CCountingScreen : public CLoadScreen {
 public:
  void Draw() override {}
  void LoadTextures() override {}
};

TEST_F(ResourceManagerTest, ProgressCountsIncludedEntriesAndEndsAtOne) {
  CCountingScreen screen;
  SetCurrentLoadScreen(&screen);
  WriteText("Inc.xml", R"(<L><Probe Name="x" FileName="x"/><Probe Name="y" FileName="y"/></L>)");
  LoadList(R"(<L><Probe Name="a" FileName="a"/><Include Value="Inc.xml"/></L>)");
  SetCurrentLoadScreen(nullptr);
  EXPECT_EQ(screen.GetTotal(), 3u);
  EXPECT_EQ(screen.GetDone(), 3u);
  EXPECT_FLOAT_EQ(screen.GetProgress(), 1.0f);
}

TEST_F(ResourceManagerTest, GroupsAreUnloadedAtTheSwitchAndRecreated) {
  LoadList(R"(<L><Probe Name="system" FileName="s"/></L>)");
  m_resources->SetCurrentGroupName("StateResources");
  LoadList(R"(<L><Probe Name="state" FileName="t"/></L>)", "State.xml");
  m_resources->DestroyResource(Probe("state"));
  EXPECT_FALSE(m_resources->HasGroup("StateResources"));
  LoadList(R"(<L><Probe Name="again" FileName="g"/></L>)", "State2.xml");
  m_resources->UnloadGroup("StateResources");
  EXPECT_EQ(Probe("again"), nullptr);
  EXPECT_NE(Probe("system"), nullptr);
}

TEST_F(ResourceManagerTest, DestructionRunsTypeByTypeInCreationOrder) {
  LoadList(R"(<L><Other Name="o" FileName="o"/><Probe Name="p1" FileName="p1"/><Probe Name="p2" FileName="p2"/></L>)");
  m_resources.reset();
  EXPECT_EQ(Destroyed(), (std::vector<std::string>{"Probes\\p1.prb", "Probes\\p2.prb", "Probes\\o.prb"}));
}

// A layout that reuses a resource of the system group holds it: unloading the group leaves
// it alive until the layout lets go, and the other way round.
TEST_F(ResourceManagerTest, ASharedResourceLivesWhileAnyoneHoldsIt) {
  m_resources->RegisterLoader(new CResLayout2DLoader(m_resources.get()), "Layout2D");
  WriteText("Hud.2dl", R"(<Layout2D><Resources><Probe Name="shared" FileName="s"/></Resources><Layout/></Layout2D>)");
  m_resources->SetCurrentGroupName("StateResources");
  LoadList(R"(<L><Probe Name="shared" FileName="s"/></L>)");
  m_resources->SetCurrentGroupName("Layouts");
  LoadList(R"(<L><Layout2D Name="hud" FileName="Hud"/></L>)", "Layouts.xml");
  CResourceBase* shared = Probe("shared");
  ASSERT_NE(m_resources->GetLayout2D("hud"), nullptr);
  EXPECT_EQ(shared->GetHolderCount(), 2u);

  m_resources->UnloadGroup("StateResources");
  EXPECT_EQ(Probe("shared"), shared);
  EXPECT_TRUE(Destroyed().empty());
  m_resources->GetLayout2D("hud")->Unload();
  EXPECT_EQ(Probe("shared"), nullptr);
  EXPECT_EQ(Destroyed(), std::vector<std::string>{"Probes\\s.prb"});
}

TEST_F(ResourceManagerTest, ABufferOfAnEmptyFileHoldsOneZeroByte) {
  m_resources->RegisterLoader(new CResBufferLoader, "Buffer");
  WriteText("Data/empty.txt", "");
  LoadList(R"(<L><Directory Path="data\"/><Buffer Name="b" FileName="EMPTY.txt"/></L>)");
  CResourceBuffer* buffer = m_resources->GetBuffer("b");
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->GetSize(), 0u);
  EXPECT_EQ(buffer->GetData()[0], 0);
}

}  // namespace
