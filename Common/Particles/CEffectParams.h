#pragma once
// The typed parameters of one effect, each filed under a group (the element that reads it)
// and a name. Lookups ignore letter case and the first entry added wins; a getter that finds
// nothing returns false and leaves its out value alone, so callers preset their defaults.

#include "Quor/CStr.h"

#include <cstdint>
#include <vector>

// One parameter. The value word is an integer, a float or an owned text copy, according to
// the list of CEffectParams that holds the entry.
struct CParamEntry {
  CStr name;
  CStr group;
  union {
    int32_t intValue;
    float floatValue;
    char* textValue;
  };
};

class CEffectParams {
 public:
  CEffectParams();
  ~CEffectParams();
  CEffectParams(const CEffectParams&) = delete;
  CEffectParams& operator=(const CEffectParams&) = delete;

  void AddGroup(const char* group);
  void AddGroupValue(int value);
  void AddIntParam(const char* group, const char* name, int value);
  void AddFloatParam(const char* group, const char* name, float value);
  void AddTextParam(const char* group, const char* name, const char* value);

  bool GetIntParam(const char* group, const char* name, int& out) const;
  bool GetFloatParam(const char* group, const char* name, float& out) const;
  // The text stays valid as long as this set.
  bool GetTextParam(const char* group, const char* name, const char*& out) const;

  // Overwrites the first matching float entry; adds nothing when there is none.
  void SetFloatParam(const char* group, const char* name, float value);

  // True when a group element of this name (any case) was read for the effect.
  bool HasGroup(const char* group) const;

  void Reset();

  const CStr& GetName() const { return m_name; }
  uint32_t GetId() const { return m_id; }
  void SetId(uint32_t id) { m_id = id; }
  uint32_t GetGroupCount() const { return static_cast<uint32_t>(m_groups.size()); }
  const std::vector<int>& GetGroupValues() const { return m_groupValues; }

 private:
  static bool CheckName(const char* text);
  CParamEntry* NewEntry(const char* group, const char* name);
  static CParamEntry* FindIn(const std::vector<CParamEntry*>& entries, const char* group, const char* name);

  CStr m_name;
  uint32_t m_id;
  std::vector<CParamEntry*> m_intEntries;
  std::vector<CParamEntry*> m_floatEntries;
  std::vector<CParamEntry*> m_textEntries;
  std::vector<CStr> m_groups;
  std::vector<int> m_groupValues;
};
