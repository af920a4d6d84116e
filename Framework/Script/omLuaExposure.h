#pragma once
// How application objects appear in Lua: each object is one full userdata holding a pointer to
// it, each class one metatable (registry key "LuaExposed." + class name) whose fields are the
// class's methods. A method is a C closure that checks the argument count and types, finds the
// object behind self and calls the member function; the member function pointer travels in a
// userdata upvalue. Main thread only.

#include "Framework/Script/omLuaState.h"
#include "Quor/CStr.h"
#include "Quor/Utils.h"

#include <lua.hpp>

#include <cstdint>
#include <cstring>
#include <tuple>
#include <type_traits>
#include <utility>

namespace Ombrel {

// The block of an object's userdata. Owned objects are deleted when their userdata is collected;
// objects pushed by the application are never owned.
struct SExposedObject {
  void* object;
  bool owned;
};

// The script side of an exposed object: its userdata, made at the first push. Destroying the
// handle (with its object) takes the metatable off the userdata, so a script that kept it gets
// Lua's error for indexing a userdata value instead of reaching a deleted object.
class CScriptHandle {
 public:
  CScriptHandle() = default;
  ~CScriptHandle() { Release(); }
  CScriptHandle(const CScriptHandle&) = delete;
  CScriptHandle& operator=(const CScriptHandle&) = delete;

  void Release();
  CLuaObject& GetObject() { return m_userdata; }

 private:
  CLuaObject m_userdata;
};

// "%s expected, got %s" as Lua's bad-argument error for argument k (1 for the first after self).
int ArgTypeError(lua_State* L, int k, const char* expected);
// The error of a method called with the wrong number of arguments.
int ArgCountError(lua_State* L, const char* method, int expected);
// {x, y} and {r, g, b, a} tables, read raw; a missing or non-numeric field gives 0.
Vector2 ReadVector2(lua_State* L, int index);
RGBA ReadRGBA(lua_State* L, int index);
// A number rounded to the nearest integer, ties to even.
int32_t RoundToInt(lua_Number number);

// Shared metamethods of every exposed class.
int ExposedIndex(lua_State* L);
int ExposedNewIndex(lua_State* L);

// Reading one argument of a given C++ type: its name in messages, its test and its conversion.
template <class TArg>
struct SLuaArg;
template <>
struct SLuaArg<int32_t> {
  static constexpr const char* kName = "int";
  static bool Fits(lua_State* L, int i) { return lua_isnumber(L, i) != 0; }
  static int32_t Read(lua_State* L, int i) { return RoundToInt(lua_tonumber(L, i)); }
};
template <>
struct SLuaArg<float> {
  static constexpr const char* kName = "float";
  static bool Fits(lua_State* L, int i) { return lua_isnumber(L, i) != 0; }
  static float Read(lua_State* L, int i) { return static_cast<float>(lua_tonumber(L, i)); }
};
template <>
struct SLuaArg<bool> {
  static constexpr const char* kName = "bool";
  static bool Fits(lua_State* L, int i) { return lua_isboolean(L, i); }
  static bool Read(lua_State* L, int i) { return lua_toboolean(L, i) != 0; }
};
template <>
struct SLuaArg<const char*> {
  static constexpr const char* kName = "const char*";
  static bool Fits(lua_State* L, int i) { return lua_isstring(L, i) != 0; }
  static const char* Read(lua_State* L, int i) { return lua_tostring(L, i); }
};
template <>
struct SLuaArg<Vector2> {
  static constexpr const char* kName = "const Vector2";
  static bool Fits(lua_State* L, int i) { return lua_istable(L, i); }
  static Vector2 Read(lua_State* L, int i) { return ReadVector2(L, i); }
};
template <>
struct SLuaArg<RGBA> {
  static constexpr const char* kName = "const RGBA";
  static bool Fits(lua_State* L, int i) { return lua_istable(L, i); }
  static RGBA Read(lua_State* L, int i) { return ReadRGBA(L, i); }
};

template <class TArg>
using LuaArg = SLuaArg<std::remove_cv_t<std::remove_reference_t<TArg>>>;

// Pushing a result.
inline void PushResult(lua_State* L, bool value) { lua_pushboolean(L, value); }
inline void PushResult(lua_State* L, int32_t value) { lua_pushnumber(L, value); }
inline void PushResult(lua_State* L, float value) { lua_pushnumber(L, value); }

// The exposure of one class T. T provides `static constexpr const char* kScriptClassName`,
// `CScriptHandle& GetScriptHandle()` and `static void RegisterScriptMethods(CLuaExposure<T>&)`,
// which calls Add for each method in table order.
template <class T>
class CLuaExposure {
 public:
  // Pushes the object's userdata, making it at the first push.
  static void Push(lua_State* L, T* object);
  // Pushes the class metatable, making and filling it (and the class table) at first use.
  static void PushMetatable(lua_State* L);
  // Whether the value is a full userdata of this class.
  static bool IsA(lua_State* L, int index);
  // The object behind self; raises an error naming the method when self is anything else.
  static T* CheckSelf(lua_State* L, const char* method);
  static int Collect(lua_State* L);

  template <class R, class... Args>
  void Add(const char* name, R (T::*method)(Args...)) {
    AddClosure<R (T::*)(Args...), R, Args...>(name, method);
  }
  template <class R, class... Args>
  void Add(const char* name, R (T::*method)(Args...) const) {
    AddClosure<R (T::*)(Args...) const, R, Args...>(name, method);
  }

 private:
  explicit CLuaExposure(lua_State* L) : m_lua(L) {}

  static CStr MetatableName() { return CStr::FromFormat("LuaExposed.%s", T::kScriptClassName); }

  template <class TMethod, class R, class... Args>
  void AddClosure(const char* name, TMethod method);
  template <class TMethod, class R, class... Args>
  static int MethodThunk(lua_State* L);
  template <class TArgs, size_t... I>
  static void CheckArguments(lua_State* L, std::index_sequence<I...>);
  template <class TMethod, class R, class TArgs, size_t... I>
  static R Invoke(lua_State* L, T* self, TMethod method, std::index_sequence<I...>);

  lua_State* m_lua;  // the metatable is on top while methods are added
};

template <class T>
void CLuaExposure<T>::Push(lua_State* L, T* object) {
  CLuaObject& handle = object->GetScriptHandle().GetObject();
  if (handle.IsEmpty()) {
    auto* block = static_cast<SExposedObject*>(lua_newuserdata(L, sizeof(SExposedObject)));
    block->object = object;
    block->owned = false;
    PushMetatable(L);
    lua_setmetatable(L, -2);
    handle = CLuaObject::FromStack(true);
  }
  handle.Push();
}

template <class T>
void CLuaExposure<T>::PushMetatable(lua_State* L) {
  if (!luaL_newmetatable(L, MetatableName().GetText())) return;
  CLuaExposure<T> methods(L);
  T::RegisterScriptMethods(methods);
  lua_pushstring(L, T::kScriptClassName);
  lua_setfield(L, -2, "__type");
  lua_pushcfunction(L, ExposedIndex);
  lua_setfield(L, -2, "__index");
  lua_pushcfunction(L, ExposedNewIndex);
  lua_setfield(L, -2, "__newindex");
  lua_pushcfunction(L, Collect);
  lua_setfield(L, -2, "__gc");
  // The class table: the methods reached through the class name.
  lua_newtable(L);
  lua_pushvalue(L, -2);
  lua_setmetatable(L, -2);
  lua_setglobal(L, T::kScriptClassName);
}

template <class T>
bool CLuaExposure<T>::IsA(lua_State* L, int index) {
  if (lua_type(L, index) != LUA_TUSERDATA || !lua_getmetatable(L, index)) return false;
  luaL_getmetatable(L, MetatableName().GetText());
  const bool same = lua_rawequal(L, -1, -2) != 0;
  lua_pop(L, 2);
  return same;
}

template <class T>
T* CLuaExposure<T>::CheckSelf(lua_State* L, const char* method) {
  if (!IsA(L, 1)) {
    luaL_error(L, "Failed to cast table: %s needs a %s as self, got %s", method, T::kScriptClassName,
               luaL_typename(L, 1));
  }
  T* object = static_cast<T*>(static_cast<SExposedObject*>(lua_touserdata(L, 1))->object);
  if (!object) luaL_error(L, "%s called on a destroyed %s", method, T::kScriptClassName);
  return object;
}

template <class T>
int CLuaExposure<T>::Collect(lua_State* L) {
  if (!IsA(L, 1)) return 0;
  auto* block = static_cast<SExposedObject*>(lua_touserdata(L, 1));
  if (block->owned) {
    block->owned = false;
    delete static_cast<T*>(block->object);
  }
  return 0;
}

template <class T>
template <class TMethod, class R, class... Args>
void CLuaExposure<T>::AddClosure(const char* name, TMethod method) {
  void* slot = lua_newuserdata(m_lua, sizeof(TMethod));
  std::memcpy(slot, &method, sizeof(TMethod));
  lua_pushstring(m_lua, name);
  lua_pushcclosure(m_lua, &CLuaExposure<T>::MethodThunk<TMethod, R, Args...>, 2);
  lua_setfield(m_lua, -2, name);
}

template <class T>
template <class TArgs, size_t... I>
void CLuaExposure<T>::CheckArguments([[maybe_unused]] lua_State* L, std::index_sequence<I...>) {
  // Self is at 1, argument k at k + 1; the first misfit raises.
  ((LuaArg<std::tuple_element_t<I, TArgs>>::Fits(L, static_cast<int>(I) + 2) ||
    ArgTypeError(L, static_cast<int>(I) + 1, LuaArg<std::tuple_element_t<I, TArgs>>::kName)),
   ...);
}

template <class T>
template <class TMethod, class R, class TArgs, size_t... I>
R CLuaExposure<T>::Invoke([[maybe_unused]] lua_State* L, T* self, TMethod method,
                          std::index_sequence<I...>) {
  return (self->*method)(LuaArg<std::tuple_element_t<I, TArgs>>::Read(L, static_cast<int>(I) + 2)...);
}

template <class T>
template <class TMethod, class R, class... Args>
int CLuaExposure<T>::MethodThunk(lua_State* L) {
  using TArgs = std::tuple<Args...>;
  constexpr int kCount = static_cast<int>(sizeof...(Args));
  const char* name = lua_tostring(L, lua_upvalueindex(2));
  if (lua_gettop(L) != kCount + 1) return ArgCountError(L, name, kCount);
  CheckArguments<TArgs>(L, std::index_sequence_for<Args...>{});
  T* self = CheckSelf(L, name);
  TMethod method;
  std::memcpy(&method, lua_touserdata(L, lua_upvalueindex(1)), sizeof(TMethod));
  if constexpr (std::is_void_v<R>) {
    Invoke<TMethod, R, TArgs>(L, self, method, std::index_sequence_for<Args...>{});
    return 0;
  } else {
    PushResult(L, Invoke<TMethod, R, TArgs>(L, self, method, std::index_sequence_for<Args...>{}));
    return 1;
  }
}

// Sets table[field] to the object's userdata.
template <class T>
void BindExposed(const CLuaObject& table, const char* field, T* object) {
  CLuaExposure<T>::Push(CurrentLua(), object);
  table.Set(field, CLuaObject::FromStack(true));
}

}  // namespace Ombrel
