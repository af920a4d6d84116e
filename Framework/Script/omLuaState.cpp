#include "Framework/Script/omLuaState.h"

#include "Quor/ReportError.h"

#include <lua.hpp>

#include <cstdlib>
#include <cstring>

namespace {
constexpr const char* kStateSource = "Framework/Script/omLuaState";
constexpr const char* kCallSource = "Framework/Script/omLuaFunctionInl";

// Hands the error text to the installed handler, else to the error report.
void DispatchScriptError(const char* source, const char* text) {
  if (ScriptErrorHandler) {
    ScriptErrorHandler(text);
    return;
  }
  HM_REPORT(source, "Lua nError: %s\n", text);
}
}  // namespace

CLuaState* CLuaState::Current = nullptr;
ScriptErrorHandlerFn ScriptErrorHandler = nullptr;

lua_State* CurrentLua() { return CLuaState::Current ? CLuaState::Current->GetLua() : nullptr; }

void* LuaAllocate(void*, void* block, size_t, size_t newSize) {
  if (newSize == 0) {
    std::free(block);
    return nullptr;
  }
  return std::realloc(block, newSize);
}

const char* LuaErrorText(lua_State* L, int index) {
  if (lua_type(L, index) == LUA_TSTRING || lua_type(L, index) == LUA_TNUMBER) {
    return lua_tostring(L, index);
  }
  return luaL_typename(L, index);
}

// ---- CLuaObject

CLuaObject::CLuaObject(const CLuaObject& other) {
  if (other.IsEmpty() || !CurrentLua()) return;
  other.Push();
  m_ref = luaL_ref(CurrentLua(), LUA_REGISTRYINDEX);
}

CLuaObject& CLuaObject::operator=(const CLuaObject& other) {
  if (this == &other) return *this;
  Release();
  if (!other.IsEmpty() && CurrentLua()) {
    other.Push();
    m_ref = luaL_ref(CurrentLua(), LUA_REGISTRYINDEX);
  }
  return *this;
}

CLuaObject::~CLuaObject() { Release(); }

void CLuaObject::Release() {
  if (m_ref != kNoRef && CurrentLua()) luaL_unref(CurrentLua(), LUA_REGISTRYINDEX, m_ref);
  m_ref = kNoRef;
}

CLuaObject CLuaObject::NewTable() {
  lua_newtable(CurrentLua());
  return FromStack(true);
}

CLuaObject CLuaObject::FromTop() { return FromStack(false); }

CLuaObject CLuaObject::FromStack(bool pop) {
  lua_State* L = CurrentLua();
  CLuaObject object;
  lua_pushvalue(L, -1);
  object.m_ref = luaL_ref(L, LUA_REGISTRYINDEX);  // LUA_REFNIL (-1) for nil
  if (pop) lua_pop(L, 1);
  return object;
}

void CLuaObject::Push() const {
  lua_State* L = CurrentLua();
  if (m_ref == kNoRef) {
    lua_pushnil(L);
    return;
  }
  lua_rawgeti(L, LUA_REGISTRYINDEX, m_ref);
}

bool CLuaObject::IsNil() const {
  if (IsEmpty() || !CurrentLua()) return true;
  Push();
  const bool nil = lua_isnil(CurrentLua(), -1);
  lua_pop(CurrentLua(), 1);
  return nil;
}

CLuaObject CLuaObject::Get(const char* key) const {
  lua_State* L = CurrentLua();
  Push();
  // Indexing anything else would raise outside a protected call and end the process.
  if (!lua_istable(L, -1) && lua_type(L, -1) != LUA_TUSERDATA) {
    lua_pop(L, 1);
    return CLuaObject();
  }
  lua_getfield(L, -1, key);
  CLuaObject value = FromStack(true);
  lua_pop(L, 1);
  return value;
}

void CLuaObject::Set(const char* key, CLuaObject value) const {
  lua_State* L = CurrentLua();
  Push();
  value.Push();
  lua_setfield(L, -2, key);
  lua_pop(L, 1);
}

void CLuaObject::SetNumber(const char* key, int n) const {
  lua_State* L = CurrentLua();
  Push();
  lua_pushnumber(L, n);
  lua_setfield(L, -2, key);
  lua_pop(L, 1);
}

void CLuaObject::SetNil(const char* key) const {
  lua_State* L = CurrentLua();
  Push();
  lua_pushnil(L);
  lua_setfield(L, -2, key);
  lua_pop(L, 1);
}

void CLuaObject::ClearMetatable() const {
  lua_State* L = CurrentLua();
  Push();
  lua_pushnil(L);
  lua_setmetatable(L, -2);
  lua_pop(L, 1);
}

bool CLuaObject::PrepareCall() const {
  if (IsEmpty() || !CurrentLua()) return false;
  Push();
  return true;
}

void CLuaObject::ReportCallError(lua_State* L) {
  DispatchScriptError(kCallSource, LuaErrorText(L, -1));
  lua_pop(L, 1);
}

void CLuaObject::Call(CLuaObject argument) const {
  if (!PrepareCall()) return;
  lua_State* L = CurrentLua();
  argument.Push();
  if (lua_pcall(L, 1, 0, 0) != 0) ReportCallError(L);
}

CLuaObject CLuaObject::CallForResult(CLuaObject argument) const {
  if (!PrepareCall()) return CLuaObject();
  lua_State* L = CurrentLua();
  argument.Push();
  if (lua_pcall(L, 1, 1, 0) != 0) {
    ReportCallError(L);
    return CLuaObject();
  }
  return FromStack(true);
}

void CLuaObject::Call(CLuaObject first, CLuaObject second, bool flag) const {
  if (!PrepareCall()) return;
  lua_State* L = CurrentLua();
  first.Push();
  second.Push();
  lua_pushboolean(L, flag);
  if (lua_pcall(L, 3, 0, 0) != 0) ReportCallError(L);
}

// ---- CLuaState

CLuaState::CLuaState() {
  m_globals = new CLuaObject;
  m_lua = lua_newstate(LuaAllocate, nullptr);
  const int height = lua_gettop(m_lua);
  Current = this;
  // Every library but os: the scripts get no access to the system.
  const luaL_Reg libraries[] = {{"", luaopen_base},         {LUA_LOADLIBNAME, luaopen_package},
                                {LUA_TABLIBNAME, luaopen_table}, {LUA_IOLIBNAME, luaopen_io},
                                {LUA_STRLIBNAME, luaopen_string}, {LUA_MATHLIBNAME, luaopen_math},
                                {LUA_DBLIBNAME, luaopen_debug}};
  for (const luaL_Reg& library : libraries) {
    lua_pushcfunction(m_lua, library.func);
    lua_pushstring(m_lua, library.name);
    lua_call(m_lua, 1, 0);
  }
  lua_getglobal(m_lua, "_G");
  *m_globals = CLuaObject::FromStack(true);
  lua_pushlightuserdata(m_lua, this);
  lua_setglobal(m_lua, ".me");
  lua_settop(m_lua, height);
}

CLuaState::~CLuaState() {
  Current = this;
  delete m_globals;
  m_globals = nullptr;
  lua_close(m_lua);
  Current = nullptr;
}

int CLuaState::Run(const char* text, CLuaState* state, const char* chunkName) {
  lua_State* L = state->GetLua();
  const char* code = text ? text : "";
  int status = luaL_loadbuffer(L, code, std::strlen(code), chunkName ? chunkName : "(null)");
  if (status == 0) status = lua_pcall(L, 0, 0, 0);
  if (status == 0) return 0;
  DispatchScriptError(kStateSource, LuaErrorText(L, -1));
  lua_pop(L, 1);
  return 1;
}

CLuaState* CLuaState::FromLua(lua_State* L) {
  lua_getglobal(L, ".me");
  CLuaState* state = nullptr;
  if (lua_islightuserdata(L, -1)) {
    state = static_cast<CLuaState*>(lua_touserdata(L, -1));
  } else if (lua_type(L, -1) == LUA_TUSERDATA) {
    state = static_cast<CLuaState*>(lua_touserdata(L, -1));
  }
  lua_pop(L, 1);
  return state;
}
