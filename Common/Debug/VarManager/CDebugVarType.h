#pragma once
// Typed handlers for tweakable debug variables. A debug variable is a named record that
// points at a value of the program; its type's handler prints the value as one line of a
// debug listing (marking the value, or one component of it, as selected) and steps it up
// or down by its own step within its limits. One handler object exists per type.

#include <cstdint>

// How far a variable moves per unit step, and its limits. Each type reads its own member.
union UDebugVarLimits {
  struct {
    int32_t step, minimum, maximum;
  } asInt;
  struct {
    float step, minimum, maximum;
  } asFloat;
  struct {
    uint8_t step;
    int8_t minimum, maximum;
  } asChar;
};

struct SDebugVar {
  char name[32] = {};  // empty: a free slot
  // i32, f32, i8, bool, 3 floats, 4 floats or 16 floats (a matrix, row by row).
  void* value = nullptr;
  UDebugVarLimits limits = {};
};

// The keyboard state a handler reads: per virtual-key code, down and changed since the
// last poll (1 or 0), and the hold-off counter that must be 0 for the key to count.
struct SDebugKeyTables {
  const uint8_t* down;
  const uint8_t* changed;
  const uint8_t* holdOff;
};

class CDebugVarType {
 public:
  // Lines are cut to this size (terminator included).
  static constexpr int kLineSize = 1024;

  virtual ~CDebugVarType() = default;
  virtual char GetTypeLetter() const = 0;
  virtual void Print(const SDebugVar& var, bool selected, char* buffer) const = 0;
  // Lets a handler take keys of its own; true when it used them.
  virtual bool HandleKeys(const SDebugKeyTables& /*keys*/) { return false; }
  virtual void StepUp(SDebugVar& var, float amount) const = 0;
  virtual void StepDown(SDebugVar& var, float amount) const = 0;
};

class CDebugVarInt final : public CDebugVarType {
 public:
  char GetTypeLetter() const override { return 'i'; }
  void Print(const SDebugVar& var, bool selected, char* buffer) const override;
  void StepUp(SDebugVar& var, float amount) const override { Step(var, amount, 1); }
  void StepDown(SDebugVar& var, float amount) const override { Step(var, amount, -1); }

 private:
  static void Step(SDebugVar& var, float amount, int sign);
};

class CDebugVarFloat final : public CDebugVarType {
 public:
  char GetTypeLetter() const override { return 'f'; }
  void Print(const SDebugVar& var, bool selected, char* buffer) const override;
  void StepUp(SDebugVar& var, float amount) const override { Step(var, amount, 1); }
  void StepDown(SDebugVar& var, float amount) const override { Step(var, amount, -1); }

 private:
  static void Step(SDebugVar& var, float amount, int sign);
};

class CDebugVarChar final : public CDebugVarType {
 public:
  char GetTypeLetter() const override { return 'c'; }
  void Print(const SDebugVar& var, bool selected, char* buffer) const override;
  void StepUp(SDebugVar& var, float amount) const override { Step(var, amount, 1); }
  void StepDown(SDebugVar& var, float amount) const override { Step(var, amount, -1); }

 private:
  static void Step(SDebugVar& var, float amount, int sign);
};

class CDebugVarBool final : public CDebugVarType {
 public:
  char GetTypeLetter() const override { return 'b'; }
  void Print(const SDebugVar& var, bool selected, char* buffer) const override;
  // Both directions toggle.
  void StepUp(SDebugVar& var, float) const override { Toggle(var); }
  void StepDown(SDebugVar& var, float) const override { Toggle(var); }

 private:
  static void Toggle(SDebugVar& var);
};

// Vectors step one component at a time, by the amount itself (no step, no limits). The
// selected component is shared by all variables of the type and moves with Numpad 2
// (next) and Numpad 1 (previous), wrapping at either end.
class CDebugVarVectorBase : public CDebugVarType {
 public:
  char GetTypeLetter() const override { return 'v'; }
  void Print(const SDebugVar& var, bool selected, char* buffer) const override;
  bool HandleKeys(const SDebugKeyTables& keys) override;
  void StepUp(SDebugVar& var, float amount) const override { Step(var, amount); }
  void StepDown(SDebugVar& var, float amount) const override { Step(var, -amount); }

  int GetSelectedComponent() const { return m_selected; }
  void SetSelectedComponent(int component) { m_selected = component; }

 protected:
  explicit CDebugVarVectorBase(int components) : m_components(components) {}

 private:
  void Step(SDebugVar& var, float amount) const;

  int m_components;
  int m_selected = 0;
};

class CDebugVarVector3 final : public CDebugVarVectorBase {
 public:
  CDebugVarVector3() : CDebugVarVectorBase(3) {}
};

class CDebugVarVector4 final : public CDebugVarVectorBase {
 public:
  CDebugVarVector4() : CDebugVarVectorBase(4) {}
};

class CDebugVarMatrix4 final : public CDebugVarType {
 public:
  char GetTypeLetter() const override { return 'm'; }
  // Four rows; the rows after the first start under a 31-character name column.
  void Print(const SDebugVar& var, bool selected, char* buffer) const override;
  void StepUp(SDebugVar&, float) const override {}
  void StepDown(SDebugVar&, float) const override {}
};

// The one handler of each type.
extern CDebugVarInt g_debugVarInt;
extern CDebugVarFloat g_debugVarFloat;
extern CDebugVarChar g_debugVarChar;
extern CDebugVarBool g_debugVarBool;
extern CDebugVarVector3 g_debugVarVector3;
extern CDebugVarVector4 g_debugVarVector4;
extern CDebugVarMatrix4 g_debugVarMatrix4;

// Virtual-key codes of the keys that move the vector component selection.
constexpr uint8_t kDebugKeyNextComponent = 0x62;      // Numpad 2
constexpr uint8_t kDebugKeyPreviousComponent = 0x61;  // Numpad 1
