// The asset module's loaders and the system resource list it reads at Init: the scripts the
// script module and the start state look up come from there.

#include "Framework/Resources/ResourceTypes/omResourceScript.h"
#include "tests/Framework/Script/ScriptTestKit.h"

#include <string>
#include <vector>

using namespace Ombrel;

namespace {

class SystemResourcesTest : public scripttest::ScriptTest {};

TEST_F(SystemResourcesTest, TheTwentyLoadersAreRegisteredInTheirOrderWithScriptNinth) {
  StartModules();
  std::vector<std::string> types;
  m_assets->GetResourceManager()->ForEachLoader(
      [&](const CResourceLoader& loader) { types.push_back(loader.GetTypeName().GetText()); });
  EXPECT_EQ(types, std::vector<std::string>(std::begin(CAssetModule::kResourceTypes),
                                            std::end(CAssetModule::kResourceTypes)));
  ASSERT_EQ(types.size(), 20u);
  EXPECT_EQ(types[8], "Script");
}

TEST_F(SystemResourcesTest, TheListsScriptsLiveInTheSystemGroupAndOnlyTheLibrariesAreLoaded) {
  StartModules();
  CResourceManager* resources = m_assets->GetResourceManager();
  EXPECT_EQ(resources->GetGroupSize(""), 5u);
  struct SCase {
    const char* name;
    bool loaded;
  };
  for (const SCase& c : {SCase{"Utils", true}, SCase{"UserStartup", false}, SCase{"AppStartup", false},
                         SCase{"DefaultStartup", false}}) {
    CResourceScript* script = resources->GetScript(c.name);
    ASSERT_NE(script, nullptr) << c.name;
    EXPECT_EQ(script->IsLoaded(), c.loaded) << c.name;
    EXPECT_EQ(std::string(script->GetPath().GetText()), std::string("Scripts\\") + c.name + ".lua");
  }
  // The script module ran the library it found in the list.
  EXPECT_TRUE(Run("o = new({})"));
}

TEST_F(SystemResourcesTest, WithoutTheListNothingIsDeclaredAndNothingBreaks) {
  std::filesystem::remove(m_root + "content/" + CAssetModule::kSystemResources);
  StartModules();
  CResourceManager* resources = m_assets->GetResourceManager();
  EXPECT_EQ(resources->GetGroupSize(""), 0u);
  EXPECT_EQ(resources->FindResource("Script", "Utils"), nullptr);
  EXPECT_TRUE(Run("x = 1"));
}

}  // namespace
