#pragma once
// Reads an effect description document into one record per effect. The library is only a
// staging area: the caller takes each record's parameter set and then clears the library,
// which deletes the records but never the sets.

#include <cstdint>
#include <vector>

class CEffectParams;
class TiXmlDocument;

struct SEffectRecord {
  char name[512] = {};  // at most 511 characters
  CEffectParams* params = nullptr;
};

class CEffectLibrary {
 public:
  static constexpr uint32_t kMaxNameLength = 511;

  CEffectLibrary() = default;
  ~CEffectLibrary() { Clear(); }
  CEffectLibrary(const CEffectLibrary&) = delete;
  CEffectLibrary& operator=(const CEffectLibrary&) = delete;

  // Replaces the records by the effects of the document. A root element named "Effects"
  // holds one effect per child; any other root is the document's only effect.
  void Load(const TiXmlDocument& document);
  void Clear();

  uint32_t GetCount() const { return static_cast<uint32_t>(m_records.size()); }
  // Null at or past the end.
  SEffectRecord* GetRecord(uint32_t index) const { return index < m_records.size() ? m_records[index] : nullptr; }

 private:
  std::vector<SEffectRecord*> m_records;
};

// The one library, created and destroyed by the framework's effect-resource loader.
extern CEffectLibrary* g_effectLibrary;
