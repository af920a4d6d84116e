#include "Framework/Script/omScript.h"

#include "Framework/Script/omLuaState.h"
#include "Quor/CByteReader.h"
#include "Quor/ReportError.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace Ombrel {

namespace {
constexpr const char* kOmScriptSource = "Framework/Script/omScript";

char* CopyText(const char* text) {
  const size_t length = std::strlen(text);
  char* copy = static_cast<char*>(std::malloc(length + 1));
  std::memcpy(copy, text, length + 1);
  return copy;
}
}  // namespace

CScript::CScript(const char* fileName) {
  SetName(fileName ? fileName : "(null)");
  LoadFromVfs();
}

CScript::~CScript() {
  std::free(m_text);
  std::free(m_name);
}

void CScript::SetName(const char* name) {
  std::free(m_name);
  m_name = CopyText(name);
}

char* CScript::ReplaceText(size_t size) {
  std::free(m_text);
  m_text = static_cast<char*>(std::malloc(size + 1));
  m_text[size] = '\0';
  m_hasRun = false;
  return m_text;
}

void CScript::LoadFromVfs() {
  std::vector<uint8_t> bytes;
  if (!m_name || !ReadWholeVfsFile(m_name, &bytes)) {
    HM_REPORT(kOmScriptSource, "No such file: %s", m_name ? m_name : "(null)");
    return;
  }
  char* text = ReplaceText(bytes.size());
  if (!bytes.empty()) std::memcpy(text, bytes.data(), bytes.size());
}

bool CScript::LoadFromFile(const char* path) {
  FILE* file = path ? std::fopen(path, "rb") : nullptr;
  if (!file) return false;
  std::fseek(file, 0, SEEK_END);
  const long size = std::max(std::ftell(file), 0L);
  std::rewind(file);
  char* text = ReplaceText(static_cast<size_t>(size));
  text[std::fread(text, 1, static_cast<size_t>(size), file)] = '\0';
  std::fclose(file);
  SetName(path);
  return true;
}

void CScript::Run(bool force) {
  if (m_hasRun && !force) return;
  if (!m_state) {
    HM_REPORT(kOmScriptSource, "The script \"%s\" has no Lua state to run in", m_name ? m_name : "(null)");
    return;
  }
  CLuaState::Current = m_state;
  CLuaState::Run(m_text, m_state, m_name);
  m_hasRun = true;
}

void CScript::Reload() {
  Run(true);
  for (CScriptReloadListener* listener : m_listeners) listener->OnScriptReload();
}

void CScript::RemoveListener(CScriptReloadListener* listener) {
  auto found = std::find(m_listeners.begin(), m_listeners.end(), listener);
  if (found != m_listeners.end()) m_listeners.erase(found);
}

}  // namespace Ombrel
