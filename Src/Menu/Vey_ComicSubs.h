#pragma once
// The timed subtitles of one comic: "TextEntry" elements naming a phrase of the game's
// dictionary and the comic seconds it is shown between, so the subtitles follow the player's
// language. The comic state keeps the start time in step with its clock and draws the list
// after the page.

#include "Quor/CMemWatch.h"

#include <string>
#include <vector>

class CFont;

namespace Ombrel {
class CXmlDictionary;
}

namespace Vey {

class CComicSubs : public CMemWatch {
 public:
  struct SEntry {
    std::string phrase;  // the dictionary key
    float start = 0.0f;  // comic seconds, both bounds shown
    float end = 0.0f;
  };

  CComicSubs() = default;
  ~CComicSubs() override = default;

  // Reads the "TextEntry" children of the document's root, in file order. A document that does
  // not parse leaves the list empty and not loaded, one without a root element empty; an entry
  // lacking an attribute, or whose time is not a number, is left out. Each problem is reported
  // naming `source`.
  void Load(const char* xml, CFont* font, Ombrel::CXmlDictionary* dictionary, const char* source);

  // Engine seconds at which comic time 0 lies.
  void SetStartTime(float time) { m_startTime = time; }
  float GetStartTime() const { return m_startTime; }

  // The entry shown at engine time `now`: the first whose span holds it, null for none.
  const SEntry* EntryAt(float now) const;
  // Draws the entry of the current engine time centred under the page, on a band of its own.
  void Render();

  bool IsLoaded() const { return m_loaded; }
  const std::vector<SEntry>& GetEntries() const { return m_entries; }

 private:
  void DrawBand(CFont& font, const char* text) const;

  bool m_loaded = false;
  float m_startTime = 0.0f;
  std::vector<SEntry> m_entries;
  CFont* m_font = nullptr;                         // the resource manager's
  Ombrel::CXmlDictionary* m_dictionary = nullptr;  // the application's
};

}  // namespace Vey
