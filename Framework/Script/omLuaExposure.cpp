#include "Framework/Script/omLuaExposure.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace Ombrel {

void CScriptHandle::Release() {
  lua_State* L = CurrentLua();
  if (m_userdata.IsEmpty() || !L) return;
  m_userdata.Push();
  static_cast<SExposedObject*>(lua_touserdata(L, -1))->object = nullptr;
  lua_pop(L, 1);
  m_userdata.ClearMetatable();
  m_userdata.Release();
}

int ArgTypeError(lua_State* L, int k, const char* expected) {
  const char* got = lua_isnone(L, k + 1) ? "no value" : luaL_typename(L, k + 1);
  return luaL_argerror(L, k + 1, lua_pushfstring(L, "%s expected, got %s", expected, got));
}

int ArgCountError(lua_State* L, const char* method, int expected) {
  return luaL_error(L, "%s takes %d argument%s after self, got %d", method, expected,
                    expected == 1 ? "" : "s", lua_gettop(L) - 1);
}

int32_t RoundToInt(lua_Number number) {
  if (std::isnan(number)) return 0;
  // Numbers outside the int range keep to its ends rather than overflow.
  const lua_Number rounded = std::nearbyint(number);
  if (rounded <= INT32_MIN) return INT32_MIN;
  if (rounded >= INT32_MAX) return INT32_MAX;
  return static_cast<int32_t>(rounded);
}

namespace {
// A raw field as a number; 0 when missing or not numeric.
lua_Number RawNumberField(lua_State* L, int index, const char* key) {
  lua_pushstring(L, key);
  lua_rawget(L, index);
  const lua_Number value = lua_type(L, -1) == LUA_TNUMBER ? lua_tonumber(L, -1) : 0;
  lua_pop(L, 1);
  return value;
}

uint32_t ColourByte(lua_State* L, int index, const char* key) {
  return static_cast<uint32_t>(RoundToInt(RawNumberField(L, index, key))) & 0xFFu;
}
}  // namespace

Vector2 ReadVector2(lua_State* L, int index) {
  if (index < 0) index = lua_gettop(L) + index + 1;
  Vector2 v;
  v.x = static_cast<float>(RawNumberField(L, index, "x"));
  v.y = static_cast<float>(RawNumberField(L, index, "y"));
  return v;
}

RGBA ReadRGBA(lua_State* L, int index) {
  if (index < 0) index = lua_gettop(L) + index + 1;
  return ColourByte(L, index, "a") << 24 | ColourByte(L, index, "r") << 16 |
         ColourByte(L, index, "g") << 8 | ColourByte(L, index, "b");
}

int ExposedIndex(lua_State* L) {
  if (lua_getmetatable(L, 1)) {
    lua_pushvalue(L, 2);
    lua_gettable(L, -2);
    if (lua_isfunction(L, -1)) return 1;
  }
  const char* key = lua_tostring(L, 2);
  std::printf("Bad stack type, %d: %s\n", lua_type(L, 1), key ? key : luaL_typename(L, 2));
  return 0;
}

int ExposedNewIndex(lua_State*) {
  std::printf("Bad stack type\n");
  return 0;
}

}  // namespace Ombrel
