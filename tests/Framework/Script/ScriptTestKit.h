#pragma once
// A content folder of the test's own with the script resources it writes, the asset and script
// modules over it, the reports they make, and a recorder of the events states post.

#include <gtest/gtest.h>

#include "Framework/Resources/omResourceBase.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Script/omLuaState.h"
#include "Framework/Script/omScriptManager.h"
#include "Framework/omApplicationEvent.h"
#include "Framework/omAssetModule.h"
#include "Framework/omFileSystem.h"
#include "Framework/omScriptModule.h"
#include "Quor/CVFS.h"
#include "Quor/ReportError.h"
#include "tests/support/ReportCapture.h"
#include "tests/support/engine/ReportScope.h"

#include <lua.hpp>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace scripttest {

using hmtest::Reported;
using hmtest::Reports;

// The class helpers every start-up script relies on, as the sample content's "Utils" has them.
constexpr const char* kUtils =
    "function new(class) local o = {} setmetatable(o, {__index = class}) return o end\n"
    "function mergef(t, s) for k, v in pairs(s) do t[k] = v end end\n";

// The sample content's system scripts, without its font (the test folder has no font file).
constexpr const char* kSystemResources =
    "<Resources>\n"
    "  <Script Name=\"Utils\" FileName=\"Utils\"/>\n"
    "  <Script Name=\"Math\" FileName=\"Math\"/>\n"
    "  <Script Name=\"UserStartup\" FileName=\"UserStartup\" Load=\"False\"/>\n"
    "  <Script Name=\"AppStartup\" FileName=\"AppStartup\" Load=\"False\"/>\n"
    "  <Script Name=\"DefaultStartup\" FileName=\"DefaultStartup\" Load=\"False\"/>\n"
    "</Resources>\n";

class CEventRecorder : public Ombrel::CAppEventHandler<Ombrel::CApplicationEvent> {
 public:
  void HandleEvent(const Ombrel::CApplicationEvent& event) override { events.push_back(event); }
  std::vector<Ombrel::CApplicationEvent> events;
};

class ScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    m_root = std::string(HM_TEST_HOME) + "/" + name + "/";
    std::filesystem::remove_all(m_root);
    std::filesystem::create_directories(m_root + "content/Scripts");
    std::filesystem::create_directories(m_root + "content/System/Configs");
    WriteFile("content/" + std::string(Ombrel::CAssetModule::kSystemResources), kSystemResources);
    WriteScript("Utils", kUtils);
  }
  void TearDown() override {
    m_scripts.reset();
    m_assets.reset();
  }

  void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(m_root + path, std::ios::binary) << text;
  }
  void WriteScript(const std::string& name, const std::string& text) {
    WriteFile("content/Scripts/" + name + ".lua", text);
  }
  void RemoveScript(const std::string& name) {
    std::filesystem::remove(m_root + "content/Scripts/" + name + ".lua");
  }

  // The file system over the content folder, then the asset and script modules, initialised
  // as the application does.
  void StartModules() {
    Ombrel::SFileSystemConfig config;
    m_contentRoot = m_root + "content/";
    config.plainBaseName = m_contentRoot.c_str();
    config.flags = Ombrel::kFileSystemOverrideArchiveFlag;
    Ombrel::InitFileSystem(config);
    m_assets = std::make_unique<Ombrel::CAssetModule>();
    m_assets->Init();
    m_scripts = std::make_unique<Ombrel::CScriptModule>();
    m_scripts->Init();
  }

  // Declares one more "Script" resource, as a resource list would.
  void DeclareScript(const char* name) {
    Ombrel::CResourceManager* resources = m_assets->GetResourceManager();
    Ombrel::CResourceLoader* loader = resources->GetLoader("Script");
    resources->AddResource("Script", name, loader->CreateFromXml(name, name, nullptr, false, false));
  }

  Ombrel::CScriptManager* Manager() const { return m_scripts->GetScriptManager(); }
  const CLuaObject& System() const { return Manager()->GetSystemTable(); }
  lua_State* Lua() const { return Manager()->GetState()->GetLua(); }
  // Runs a chunk; true when it ran without error.
  bool Run(const char* text) { return CLuaState::Run(text, Manager()->GetState(), "test") == 0; }
  // The global's value as a number or a string.
  double Number(const char* global) {
    lua_getglobal(Lua(), global);
    const double value = lua_tonumber(Lua(), -1);
    lua_pop(Lua(), 1);
    return value;
  }
  std::string Text(const char* global) {
    lua_getglobal(Lua(), global);
    const char* value = lua_tostring(Lua(), -1);
    std::string text = value ? value : "(nil)";
    lua_pop(Lua(), 1);
    return text;
  }

  hmtest::CReportScope m_reports;
  std::string m_root;
  std::string m_contentRoot;
  std::unique_ptr<Ombrel::CAssetModule> m_assets;
  std::unique_ptr<Ombrel::CScriptModule> m_scripts;
};

}  // namespace scripttest
