#include "Framework/Script/omLuaState.h"

#include "Quor/ReportError.h"

#include <lua.hpp>

#include <cstdlib>
#include <cstring>
#include <string>

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

// value[key] and value[key] = new, run under lua_pcall: a metamethod that raises is reported
// instead of reaching the panic function.
int IndexField(lua_State* L) {  // (value, key) -> value[key]
  lua_gettable(L, 1);
  return 1;
}
int AssignField(lua_State* L) {  // (value, key, new)
  lua_settable(L, 1);
  return 0;
}

// Pops the error of a failed field access and reports it with the field's name.
void ReportFieldError(lua_State* L, const char* action, const char* key) {
  const std::string text = std::string(action) + " the field \"" + key + "\": " + LuaErrorText(L, -1);
  DispatchScriptError(kCallSource, text.c_str());
  lua_pop(L, 1);
}

// What reaches the host's files and programs; removed after the libraries are opened, since
// the scripts get no access to the system.
struct SHostAccess {
  const char* library;  // null: a global
  const char* name;
};
constexpr SHostAccess kHostAccess[] = {
    {nullptr, "dofile"},     {nullptr, "loadfile"},    {LUA_IOLIBNAME, "open"},
    {LUA_IOLIBNAME, "popen"}, {LUA_IOLIBNAME, "lines"}, {LUA_IOLIBNAME, "input"},
    {LUA_IOLIBNAME, "output"}, {LUA_IOLIBNAME, "tmpfile"}, {LUA_LOADLIBNAME, "loadlib"},
};

void RemoveHostAccess(lua_State* L) {
  for (const SHostAccess& entry : kHostAccess) {
    lua_getglobal(L, entry.library ? entry.library : "_G");
    lua_pushnil(L);
    lua_setfield(L, -2, entry.name);
    lua_pop(L, 1);
  }
  // require's searchers after the first (preload) read Lua files and C libraries.
  lua_getglobal(L, LUA_LOADLIBNAME);
  lua_getfield(L, -1, "loaders");
  for (int i = static_cast<int>(lua_objlen(L, -1)); i > 1; --i) {
    lua_pushnil(L);
    lua_rawseti(L, -2, i);
  }
  lua_pop(L, 2);
}

// Pushes the whole text of load's reader (its first argument): its pieces until it gives nil or
// "". Lua's own buffer, since an error unwinds past C++ destructors.
void PushReaderText(lua_State* L) {
  luaL_Buffer buffer;
  luaL_buffinit(L, &buffer);
  for (;;) {
    lua_pushvalue(L, 1);
    lua_call(L, 0, 1);
    if (lua_isnil(L, -1) || (lua_isstring(L, -1) && lua_objlen(L, -1) == 0)) break;
    if (!lua_isstring(L, -1)) luaL_error(L, "reader function must return a string");
    luaL_addvalue(&buffer);
  }
  lua_pop(L, 1);
  luaL_pushresult(&buffer);
}

// load and loadstring for source text only: Lua 5.1 does not check a precompiled chunk, and a
// made-up one reaches memory outside the state. A failure gives nil and the message, as before.
int LoadSourceText(lua_State* L) {
  const bool fromReader = lua_type(L, 1) == LUA_TFUNCTION;
  size_t length = 0;
  const char* text = nullptr;
  if (fromReader) {
    PushReaderText(L);
    text = lua_tolstring(L, -1, &length);
  } else {
    text = luaL_checklstring(L, 1, &length);
  }
  const char* name = luaL_optstring(L, 2, fromReader ? "=(load)" : text);
  int status = 0;
  if (length > 0 && text[0] == LUA_SIGNATURE[0]) {
    lua_pushstring(L, "precompiled chunks are not loaded");
    status = 1;
  } else {
    status = luaL_loadbuffer(L, text, length, name);
  }
  if (status == 0) return 1;
  lua_pushnil(L);
  lua_insert(L, -2);
  return 2;
}

void LoadSourceTextOnly(lua_State* L) {
  for (const char* name : {"load", "loadstring"}) {
    lua_pushcfunction(L, LoadSourceText);
    lua_setglobal(L, name);
  }
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
  lua_pushcfunction(L, IndexField);
  Push();
  if (!lua_istable(L, -1) && lua_type(L, -1) != LUA_TUSERDATA) {
    lua_pop(L, 2);
    return CLuaObject();
  }
  lua_pushstring(L, key);
  if (lua_pcall(L, 2, 1, 0) != 0) {
    ReportFieldError(L, "reading", key);
    return CLuaObject();
  }
  return FromStack(true);
}

void CLuaObject::AssignTop(const char* key) const {
  lua_State* L = CurrentLua();
  lua_pushcfunction(L, AssignField);
  Push();
  lua_pushstring(L, key);
  lua_pushvalue(L, -4);
  if (lua_pcall(L, 3, 0, 0) != 0) ReportFieldError(L, "setting", key);
  lua_pop(L, 1);
}

void CLuaObject::Set(const char* key, CLuaObject value) const {
  value.Push();
  AssignTop(key);
}

void CLuaObject::SetNumber(const char* key, int n) const {
  lua_pushnumber(CurrentLua(), n);
  AssignTop(key);
}

void CLuaObject::SetNil(const char* key) const {
  lua_pushnil(CurrentLua());
  AssignTop(key);
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
  // Every library but os, and of those nothing that reaches the host's files or programs:
  // the scripts get no access to the system.
  const luaL_Reg libraries[] = {{"", luaopen_base},         {LUA_LOADLIBNAME, luaopen_package},
                                {LUA_TABLIBNAME, luaopen_table}, {LUA_IOLIBNAME, luaopen_io},
                                {LUA_STRLIBNAME, luaopen_string}, {LUA_MATHLIBNAME, luaopen_math},
                                {LUA_DBLIBNAME, luaopen_debug}};
  for (const luaL_Reg& library : libraries) {
    lua_pushcfunction(m_lua, library.func);
    lua_pushstring(m_lua, library.name);
    lua_call(m_lua, 1, 0);
  }
  RemoveHostAccess(m_lua);
  LoadSourceTextOnly(m_lua);
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
