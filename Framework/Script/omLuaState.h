#pragma once
// The program's one Lua state and the handle through which framework code holds Lua values.
// Lua runs on the main thread only.

#include "Quor/CMemWatch.h"

#include <cstddef>
#include <cstdint>

struct lua_State;

class CLuaState;

// A reference to one Lua value in the registry of the current state; -1 is "no value" (a
// reference taken to nil is empty too). Copies take a reference of their own.
class CLuaObject {
 public:
  static constexpr int32_t kNoRef = -1;

  CLuaObject() = default;
  CLuaObject(const CLuaObject& other);
  CLuaObject& operator=(const CLuaObject& other);
  ~CLuaObject();

  // Creates an empty table.
  static CLuaObject NewTable();
  // Refers to the value on top of the stack and leaves it there.
  static CLuaObject FromTop();
  // Refers to the value on top of the stack; pops it when asked.
  static CLuaObject FromStack(bool pop);

  void Push() const;
  // value[key], metamethods honoured; empty when the value is neither a table nor a userdata.
  // Get and the setters run protected: a metamethod's error is reported, naming the field, and
  // a failed Get gives an empty object.
  CLuaObject Get(const char* key) const;
  void Set(const char* key, CLuaObject value) const;
  void SetNumber(const char* key, int n) const;
  void SetNil(const char* key) const;
  void ClearMetatable() const;

  // Protected calls of the referred function; errors are reported. The empty object calls
  // nothing; a failed call that expects a result gives an empty object.
  void Call(CLuaObject argument) const;
  CLuaObject CallForResult(CLuaObject argument) const;
  void Call(CLuaObject first, CLuaObject second, bool flag) const;

  bool IsEmpty() const { return m_ref == kNoRef; }
  bool IsNil() const;
  int32_t GetRef() const { return m_ref; }
  // Drops the reference (when a state exists to drop it from).
  void Release();

 private:
  // Pops the error value and reports it; the calls' shared failure path.
  static void ReportCallError(lua_State* L);
  bool PrepareCall() const;
  // value[key] = the value on top of the stack, protected; pops that value.
  void AssignTop(const char* key) const;

  int32_t m_ref = kNoRef;
};

// Receives the text of every script error once a script manager has installed it.
using ScriptErrorHandlerFn = void (*)(const char* text);
extern ScriptErrorHandlerFn ScriptErrorHandler;

// The allocation function of the state: the C runtime's malloc, realloc and free.
void* LuaAllocate(void* userData, void* block, size_t oldSize, size_t newSize);

// The text of an error value: a string or number as text, any other value by its type name
// ("table"), so a report never prints a null text. Valid while the value is on the stack.
const char* LuaErrorText(lua_State* L, int index);

class CLuaState : public CMemWatch {
 public:
  // The state every CLuaObject works on; null when there is none.
  static CLuaState* Current;

  // Opens base (with coroutine), package, table, io, string, math and debug, without what
  // reaches the host's files or programs: scripts have no os table, no dofile or loadfile, no
  // io.open, io.popen, io.lines, io.input, io.output or io.tmpfile, no package.loadlib,
  // require searches no files, and load and loadstring take source text only (no precompiled
  // chunk). The global ".me" points back at this object.
  CLuaState();
  ~CLuaState() override;
  CLuaState(const CLuaState&) = delete;
  CLuaState& operator=(const CLuaState&) = delete;

  // Loads and runs one chunk; 0 on success, 1 after a reported failure.
  static int Run(const char* text, CLuaState* state, const char* chunkName);
  // The CLuaState behind a raw state (its ".me" global), or null.
  static CLuaState* FromLua(lua_State* L);

  lua_State* GetLua() const { return m_lua; }
  const CLuaObject& GetGlobals() const { return *m_globals; }

 private:
  lua_State* m_lua = nullptr;
  CLuaObject* m_globals = nullptr;
};

// The raw state of CLuaState::Current; null when there is none.
lua_State* CurrentLua();
