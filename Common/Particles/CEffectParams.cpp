#include "Common/Particles/CEffectParams.h"

#include "Common/Particles/ParticleText.h"
#include "Quor/ReportError.h"
#include "Quor/Utils.h"

#include <cstdlib>
#include <cstring>

namespace {

// Serial numbers of parameter sets over the whole run; the first set gets 1.
uint32_t g_lastEffectParamsId = 0;

constexpr size_t kMaxNameLength = 63;

}  // namespace

CEffectParams::CEffectParams() : m_id(++g_lastEffectParamsId) {}

CEffectParams::~CEffectParams() { Reset(); }

bool CEffectParams::CheckName(const char* text) {
  const size_t length = text ? std::strlen(text) : 0;
  return length >= 1 && length <= kMaxNameLength;
}

void CEffectParams::AddGroup(const char* group) {
  HM_REPORT_UNLESS("Common/Particles/CEffectParams", CheckName(group),
                   "Effect group name must have 1 to 63 characters: \"%s\"", group ? group : "");
  m_groups.emplace_back(group ? group : "");
}

void CEffectParams::AddGroupValue(int value) { m_groupValues.push_back(value); }

CParamEntry* CEffectParams::NewEntry(const char* group, const char* name) {
  // A bad name is reported but kept, so that a damaged file still loads what it can.
  HM_REPORT_UNLESS("Common/Particles/CEffectParams", CheckName(group),
                   "Effect group name must have 1 to 63 characters: \"%s\"", group ? group : "");
  HM_REPORT_UNLESS("Common/Particles/CEffectParams", CheckName(name),
                   "Effect parameter name must have 1 to 63 characters: \"%s\" in group \"%s\"",
                   name ? name : "", group ? group : "");
  CParamEntry* entry = new CParamEntry;
  entry->group = group ? group : "";
  entry->name = name ? name : "";
  return entry;
}

void CEffectParams::AddIntParam(const char* group, const char* name, int value) {
  CParamEntry* entry = NewEntry(group, name);
  entry->intValue = value;
  m_intEntries.push_back(entry);
}

void CEffectParams::AddFloatParam(const char* group, const char* name, float value) {
  CParamEntry* entry = NewEntry(group, name);
  entry->floatValue = value;
  m_floatEntries.push_back(entry);
}

void CEffectParams::AddTextParam(const char* group, const char* name, const char* value) {
  CParamEntry* entry = NewEntry(group, name);
  HM_REPORT_UNLESS("Common/Particles/CEffectParams", value && *value,
                   "Effect parameter \"%s\" in group \"%s\" has an empty text value", entry->name.GetText(),
                   entry->group.GetText());
  entry->textValue = StrDup(value ? value : "");
  m_textEntries.push_back(entry);
}

CParamEntry* CEffectParams::FindIn(const std::vector<CParamEntry*>& entries, const char* group,
                                   const char* name) {
  for (CParamEntry* entry : entries) {
    if (TextEqualsNoCase(entry->group.GetText(), group) && TextEqualsNoCase(entry->name.GetText(), name)) {
      return entry;
    }
  }
  return nullptr;
}

bool CEffectParams::GetIntParam(const char* group, const char* name, int& out) const {
  const CParamEntry* entry = FindIn(m_intEntries, group, name);
  if (entry) out = entry->intValue;
  return entry != nullptr;
}

bool CEffectParams::GetFloatParam(const char* group, const char* name, float& out) const {
  const CParamEntry* entry = FindIn(m_floatEntries, group, name);
  if (entry) out = entry->floatValue;
  return entry != nullptr;
}

bool CEffectParams::GetTextParam(const char* group, const char* name, const char*& out) const {
  const CParamEntry* entry = FindIn(m_textEntries, group, name);
  if (entry) out = entry->textValue;
  return entry != nullptr;
}

void CEffectParams::SetFloatParam(const char* group, const char* name, float value) {
  CParamEntry* entry = FindIn(m_floatEntries, group, name);
  if (entry) entry->floatValue = value;
}

bool CEffectParams::HasGroup(const char* group) const {
  for (const CStr& known : m_groups) {
    if (TextEqualsNoCase(known.GetText(), group)) return true;
  }
  return false;
}

void CEffectParams::Reset() {
  for (CParamEntry* entry : m_intEntries) delete entry;
  for (CParamEntry* entry : m_floatEntries) delete entry;
  for (CParamEntry* entry : m_textEntries) {
    std::free(entry->textValue);
    delete entry;
  }
  m_intEntries.clear();
  m_floatEntries.clear();
  m_textEntries.clear();
  m_groups.clear();
  m_groupValues.clear();
}
