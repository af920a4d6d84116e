#include "Common/Debug/VarManager/CDebugVarManager.h"

#include "Quor/ReportError.h"

#include <cstdio>
#include <cstring>

CDebugVarManager g_debugVarManager;

void CDebugVarManager::Load() {
  for (SDebugVar& var : m_vars) var = SDebugVar{};
  for (CDebugVarType*& type : m_types) type = nullptr;
  m_count = m_selected = m_firstShown = 0;
  m_loaded = true;
}

int CDebugVarManager::Add(const char* name, CDebugVarType* type, void* value, const UDebugVarLimits& limits) {
  if (!m_loaded) {
    HM_REPORT("Common/Debug/VarManager/CDebugVarManager", "CDebugVarManager Load() not called");
    return -1;
  }
  if (m_count >= kMaxVars || !type || !value || !name || !name[0]) return -1;
  SDebugVar& var = m_vars[m_count];
  std::snprintf(var.name, sizeof(var.name), "%s", name);
  var.value = value;
  var.limits = limits;
  m_types[m_count] = type;
  return m_count++;
}

int CDebugVarManager::Find(const char* name) const {
  for (int i = 0; i < m_count; ++i)
    if (std::strcmp(m_vars[i].name, name) == 0) return i;
  return -1;
}

void CDebugVarManager::MoveSelection(int delta) {
  if (m_count == 0) return;
  m_selected = ((m_selected + delta) % m_count + m_count) % m_count;
  if (m_selected < m_firstShown) m_firstShown = m_selected;
  if (m_selected >= m_firstShown + m_linesPerPage) m_firstShown = m_selected - m_linesPerPage + 1;
}

void CDebugVarManager::PrintLine(int i, char* buffer) const {
  buffer[0] = '\0';
  if (i < 0 || i >= m_count) return;
  // The value goes after the name column; its handler cuts it to what is left.
  int used = std::snprintf(buffer, kLineSize, "%-*s", kNameColumn, m_vars[i].name);
  m_types[i]->Print(m_vars[i], i == m_selected, buffer + used);
}

void CDebugVarManager::StepSelected(bool up, bool fast) {
  if (m_selected >= m_count) return;
  float amount = m_stepAmount * (fast ? m_fastFactor : m_slowFactor);
  if (up)
    m_types[m_selected]->StepUp(m_vars[m_selected], amount);
  else
    m_types[m_selected]->StepDown(m_vars[m_selected], amount);
}

void CDebugVarManager::HandleKeys(const SDebugKeyTables& keys) {
  if (m_visible && m_selected < m_count) m_types[m_selected]->HandleKeys(keys);
}
