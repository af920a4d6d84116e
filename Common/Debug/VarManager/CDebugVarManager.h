#pragma once
// The table of registered debug variables: up to 128 named records, each with its type
// handler. A debug screen lists them one per line (the name in a 31-character column, then
// the value as its handler prints it), moves a selection and steps the selected value.

#include "Common/Debug/VarManager/CDebugVarType.h"

#include <cstdint>

class CDebugVarManager {
 public:
  static constexpr int kMaxVars = 128;
  static constexpr int kNameColumn = 31;
  // The name column and a whole value line.
  static constexpr int kLineSize = kNameColumn + CDebugVarType::kLineSize;

  // Empties the table; variables can be added from now on.
  void Load();
  // Registers a variable; its index, or -1 when the table is full (or Load has not run,
  // which is reported).
  int Add(const char* name, CDebugVarType* type, void* value, const UDebugVarLimits& limits = {});
  // The index of the variable of that name, or -1.
  int Find(const char* name) const;

  int GetCount() const { return m_count; }
  int GetSelected() const { return m_selected; }
  // Moves the selection by delta, wrapping at either end, and keeps it on the page.
  void MoveSelection(int delta);
  int GetFirstShown() const { return m_firstShown; }
  int GetLinesPerPage() const { return m_linesPerPage; }

  // The listing line of variable i (kLineSize bytes), its value marked when selected.
  void PrintLine(int i, char* buffer) const;
  // Steps the selected variable by the step amount (times the fast factor when asked).
  void StepSelected(bool up, bool fast);
  void HandleKeys(const SDebugKeyTables& keys);

 private:
  int m_count = 0;
  float m_stepAmount = 1.0f;
  float m_slowFactor = 1.0f;
  float m_fastFactor = 10.0f;
  bool m_visible = true;
  int m_selected = 0;
  int m_firstShown = 0;
  int m_linesPerPage = 15;
  bool m_loaded = false;
  SDebugVar m_vars[kMaxVars];
  CDebugVarType* m_types[kMaxVars] = {};
};

extern CDebugVarManager g_debugVarManager;
