// The Lua state, the script manager's resource-only require and the scripts: real Lua, scripts
// read from a content folder of the test's own.

#include "Framework/Resources/ResourceTypes/omResourceScript.h"
#include "Framework/Script/omScript.h"
#include "tests/Framework/Script/ScriptTestKit.h"

using namespace Ombrel;
using scripttest::Reported;
using scripttest::Reports;

namespace {

class LuaStateTest : public scripttest::ScriptTest {};

TEST_F(LuaStateTest, ScriptsHaveTheStandardLibrariesButNoOsTable) {
  StartModules();
  EXPECT_TRUE(Run("s = string.upper('a') .. table.concat({1, 2}) .. math.floor(2.5)"));
  EXPECT_EQ(Text("s"), "A122");
  EXPECT_FALSE(Run("t = os.time()"));
  EXPECT_TRUE(Reported("Script error: [string \"test\"]:1: attempt to index global 'os' (a nil value)"));
}

// Nothing a script reaches opens, runs or loads a file or a program of the host: not in the
// script manager's state, nor in a state of its own, whose require would otherwise read Lua
// files and C libraries along the package paths.
TEST_F(LuaStateTest, ScriptsReachNoFileOrProgramOfTheHost) {
  StartModules();
  WriteFile("probe.lua", "probed = true");
  CLuaState own;
  const auto global = [](CLuaState* state, const char* name) {
    lua_getglobal(state->GetLua(), name);
    const bool value = lua_toboolean(state->GetLua(), -1) != 0;
    lua_pop(state->GetLua(), 1);
    return value;
  };
  for (CLuaState* state : {Manager()->GetState(), &own}) {
    for (const char* expression : {"os", "dofile", "loadfile", "io.open", "io.popen", "io.lines", "io.input",
                                   "io.output", "io.tmpfile", "package.loadlib", "package.loaded.io.popen"}) {
      const std::string chunk = std::string("absent = ") + expression + " == nil";
      ASSERT_EQ(CLuaState::Run(chunk.c_str(), state, "probe"), 0) << expression;
      EXPECT_TRUE(global(state, "absent")) << expression;
    }
  }
  const std::string require = "package.path = '" + m_root + "?.lua' found = pcall(require, 'probe')";
  ASSERT_EQ(CLuaState::Run(require.c_str(), &own, "probe"), 0);
  EXPECT_FALSE(global(&own, "found"));
  EXPECT_FALSE(global(&own, "probed"));
}

// load and loadstring take source text, whole or in pieces, but no precompiled chunk: Lua 5.1
// does not check one, and a made-up one reaches memory outside the state.
TEST_F(LuaStateTest, SourceTextLoadsAndAPrecompiledChunkDoesNot) {
  StartModules();
  ASSERT_TRUE(Run("local dumped = string.dump(function() return 1 end)\n"
                  "f1, e1 = loadstring(dumped)\n"
                  "local given = false\n"
                  "f2, e2 = load(function() if given then return nil end given = true return dumped end)\n"
                  "sum = loadstring('return 2 + 3')()\n"
                  "local pieces = {'return ', '7'}\n"
                  "seven = load(function() return table.remove(pieces, 1) end)()\n"
                  "f3, e3 = loadstring('x = = 1', 'broken')\n"
                  "readerOk = tostring((pcall(load, function() return {} end)))"));
  EXPECT_EQ(Text("f1"), "(nil)");
  EXPECT_EQ(Text("e1"), "precompiled chunks are not loaded");
  EXPECT_EQ(Text("f2"), "(nil)");
  EXPECT_EQ(Text("e2"), "precompiled chunks are not loaded");
  EXPECT_EQ(Number("sum"), 5);
  EXPECT_EQ(Number("seven"), 7);
  EXPECT_EQ(Text("f3"), "(nil)");
  EXPECT_EQ(Text("e3").rfind("[string \"broken\"]:1:", 0), 0u) << Text("e3");
  EXPECT_EQ(Text("readerOk"), "false") << "a reader that gives no string is an error";
  EXPECT_EQ(lua_gettop(Lua()), 0);
}

// A metamethod that raises while framework code reads or writes a field is reported, naming the
// field, and the program goes on; so is writing into nothing.
TEST_F(LuaStateTest, FieldAccessThatRaisesIsReportedNamingTheField) {
  StartModules();
  ASSERT_TRUE(Run("guarded = setmetatable({}, {__index = function(_, k) error('no ' .. k) end,\n"
                  "                             __newindex = function(_, k) error('keep ' .. k) end})"));
  lua_getglobal(Lua(), "guarded");
  const CLuaObject guarded = CLuaObject::FromStack(true);
  EXPECT_TRUE(guarded.Get("colour").IsEmpty());
  EXPECT_TRUE(Reported("Script error: reading the field \"colour\": [string \"test\"]:1: no colour"));
  guarded.SetNumber("size", 3);
  guarded.SetNil("shape");
  guarded.Set("self", guarded);
  for (const char* key : {"size", "shape", "self"}) {
    EXPECT_TRUE(Reported(std::string("setting the field \"") + key + "\": [string \"test\"]:2: keep " + key)) << key;
  }
  CLuaObject().SetNumber("n", 1);
  EXPECT_TRUE(Reported("setting the field \"n\": attempt to index a nil value"));
  EXPECT_EQ(lua_gettop(Lua()), 0);
  EXPECT_TRUE(Run("y = 2"));
}

// An error outside any protected call ends the process through the engine's fatal stop, with the
// error in the report: Lua's own exit() would run the process's destructors while other threads
// still run.
TEST_F(LuaStateTest, APanicIsReportedAndEndsTheProcessThroughTheFatalStop) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  StartModules();
  ASSERT_TRUE(Run("raising = setmetatable({}, {__index = function() error('outside') end})"));
  EXPECT_EXIT(
      {
        lua_getglobal(Lua(), "raising");
        lua_getfield(Lua(), -1, "x");
      },
      ::testing::ExitedWithCode(3), "Lua panic.*outside");
}

TEST_F(LuaStateTest, ErrorsAreReportedWithChunkAndLineOrTheValuesTypeAndTheProgramGoesOn) {
  StartModules();
  EXPECT_FALSE(Run("x = 1\nerror('broken')"));
  EXPECT_TRUE(Reported("Script error: [string \"test\"]:2: broken"));
  EXPECT_FALSE(Run("x = = 1"));
  EXPECT_TRUE(Reported("Script error: [string \"test\"]:1:"));
  EXPECT_FALSE(Run("error({})"));
  EXPECT_TRUE(Reported("Script error: table"));
  EXPECT_FALSE(Run("error(42)"));
  EXPECT_TRUE(Reported("Script error: [string \"test\"]:1: 42"));
  EXPECT_EQ(lua_gettop(Lua()), 0);
  EXPECT_TRUE(Run("y = 2"));
}

TEST_F(LuaStateTest, ObjectsReferToValuesAndNilIsEmpty) {
  StartModules();
  lua_pushnil(Lua());
  const CLuaObject nil = CLuaObject::FromStack(true);
  EXPECT_TRUE(nil.IsEmpty());
  const CLuaObject copyOfEmpty(nil);
  EXPECT_TRUE(copyOfEmpty.IsEmpty());

  CLuaObject table = CLuaObject::NewTable();
  table.SetNumber("n", 7);
  CLuaObject copy;
  copy = table;
  EXPECT_NE(copy.GetRef(), table.GetRef());
  copy.SetNil("n");
  EXPECT_TRUE(table.Get("n").IsNil()) << "a copy refers to the same table";
  // Indexing something that is not a table gives nothing instead of a panic.
  lua_pushnumber(Lua(), 3);
  EXPECT_TRUE(CLuaObject::FromStack(true).Get("x").IsEmpty());
  EXPECT_EQ(lua_gettop(Lua()), 0);
}

TEST_F(LuaStateTest, RequireRunsAScriptResourceOnceAndReturnsItsName) {
  WriteScript("Counter", "count = (count or 0) + 1");
  StartModules();
  DeclareScript("Counter");
  EXPECT_TRUE(Run("a = require('Counter') b = require('Counter')"));
  EXPECT_EQ(Number("count"), 1);
  EXPECT_EQ(Text("a"), "Counter");
  EXPECT_EQ(Text("b"), "Counter");
}

TEST_F(LuaStateTest, AFailingRequiredChunkIsReportedCountsAsRunAndRequireSucceeds) {
  WriteScript("Broken", "runs = (runs or 0) + 1\nerror('inside')");
  StartModules();
  DeclareScript("Broken");
  EXPECT_TRUE(Run("a = require('Broken') b = require('Broken')"));
  EXPECT_TRUE(Reported("Script error: [string \"Scripts\\Broken.lua\"]:2: inside"));
  EXPECT_EQ(Number("runs"), 1);
  EXPECT_EQ(Text("b"), "Broken");
}

TEST_F(LuaStateTest, RequireFindsOnlyScriptResources) {
  WriteScript("NotDeclared", "x = 1");
  StartModules();
  EXPECT_FALSE(Run("require('NotDeclared')"));
  EXPECT_TRUE(Reported("module 'NotDeclared' not found:\nFailed to load resource."));
}

TEST_F(LuaStateTest, GetScriptOfAnUnknownNameIsNullAndReported) {
  StartModules();
  EXPECT_EQ(Manager()->GetScript("Nowhere"), nullptr);
  EXPECT_TRUE(Reported("No resource \"Nowhere\" of the type \"Script\""));
}

TEST_F(LuaStateTest, TheScriptModuleRunsItsLibrariesAndSetsTheScreenConstants) {
  WriteScript("Math", "function twice(x) return 2 * x end");
  StartModules();
  EXPECT_TRUE(Run("v = twice(SCR_WD or system.SCR_WD) + system.SCR_CENTER + system.SCR_BOTTOM"));
  EXPECT_EQ(Number("v"), 1024 + 2048 + 2304);
  EXPECT_TRUE(Run("o = new({k = 5}) w = o.k"));
  EXPECT_EQ(Number("w"), 5);
}

class ScriptTest : public scripttest::ScriptTest {};

TEST_F(ScriptTest, RunOnceUnlessForcedAndAFailedRunStillCounts) {
  WriteScript("Once", "n = (n or 0) + 1");
  StartModules();
  DeclareScript("Once");
  CScript* script = Manager()->GetScript("Once");
  ASSERT_NE(script, nullptr);
  script->Run(false);
  script->Run(false);
  EXPECT_EQ(Number("n"), 1);
  script->Run(true);
  EXPECT_EQ(Number("n"), 2);

  WriteScript("Fails", "error('no')");
  DeclareScript("Fails");
  CScript* failing = Manager()->GetScript("Fails");
  failing->Run(false);
  EXPECT_TRUE(failing->HasRun());
}

TEST_F(ScriptTest, AMissingFileIsReportedAndLeavesTheScriptEmptyAnEmptyFileRunsAsNothing) {
  WriteScript("Empty", "");
  StartModules();
  CScript missing("Scripts/Absent.lua");
  EXPECT_TRUE(Reported("No such file: Scripts/Absent.lua"));
  EXPECT_EQ(missing.GetText(), nullptr);
  missing.SetState(Manager()->GetState());
  missing.Run(false);
  EXPECT_TRUE(missing.HasRun());

  CScript empty("Scripts/Empty.lua");
  ASSERT_NE(empty.GetText(), nullptr);
  EXPECT_STREQ(empty.GetText(), "");
  empty.SetState(Manager()->GetState());
  Reports().clear();
  empty.Run(false);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(ScriptTest, APlainFileThatCannotBeOpenedLeavesTheResourceUnloaded) {
  StartModules();
  CResourceScript absent((m_root + "absent.lua").c_str());
  absent.LoadFromFile();
  EXPECT_FALSE(absent.IsLoaded());
  WriteFile("plain.lua", "plain = 1");
  CResourceScript plain((m_root + "plain.lua").c_str());
  CScript* script = Manager()->AttachResource(&plain);
  ASSERT_NE(script, nullptr);
  script->Run(false);
  EXPECT_EQ(Number("plain"), 1);
}

}  // namespace
