#include "Src/Menu/Vey_ComicSubs.h"

#include "Framework/Utils/omXmlDictionary.h"
#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/CFont.h"
#include "Quor/CShaderManager.h"
#include "Quor/DrawSubmission.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Quor/Timer.h"
#include "Src/World/Vey_Screen.h"

#include <tinyxml.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace Vey {

namespace {

constexpr const char* kVeyComicSubsSource = "Src/Menu/Vey_ComicSubs";
constexpr const char* kEntryElement = "TextEntry";

// Centred under the page, in virtual-screen units.
constexpr float kTextX = kVirtualCentre, kTextY = 2259.0f;
// The line's width on a screen one unit high, and its glyphs' height.
constexpr float kLineWidth = 512.0f;
// Large enough to read at 1024 x 768 over a busy page.
constexpr float kGlyphHeight = 22.0f;
constexpr float kSubtitleShadowOffset = 1.25f;
constexpr uint8_t kFullAlpha = 128;
// The dark band behind the words: its margin round them and its colour (on the 128 scale).
constexpr float kBandMargin = 6.0f;
constexpr SQuadColour kBandColour = {0, 0, 0, 80};

// A decimal number with nothing after it but blanks; false for anything else.
bool ReadSeconds(const char* text, float* seconds) {
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text) return false;
  while (std::isspace(static_cast<unsigned char>(*end))) ++end;
  if (*end != '\0') return false;
  *seconds = static_cast<float>(value);
  return true;
}

// The entry's three attributes; false, reported, when one is missing or not a number.
bool ReadEntry(const TiXmlElement* element, const char* source, int index, CComicSubs::SEntry* entry) {
  const char* phrase = Ombrel::FindAttribute(element, "PhraseID");
  const char* start = Ombrel::FindAttribute(element, "StartTime");
  const char* end = Ombrel::FindAttribute(element, "EndTime");
  const char* missing = !phrase ? "PhraseID" : !start ? "StartTime" : !end ? "EndTime" : nullptr;
  if (missing) {
    HM_REPORT(kVeyComicSubsSource, "%s: subtitle %d (line %d) has no \"%s\"; it is left out", source, index,
              element->Row(), missing);
    return false;
  }
  const char* notNumber = !ReadSeconds(start, &entry->start) ? start : !ReadSeconds(end, &entry->end) ? end : nullptr;
  if (notNumber) {
    HM_REPORT(kVeyComicSubsSource,
              "%s: subtitle %d (line %d) has the time \"%s\", which is not a number; it is left out", source, index,
              element->Row(), notNumber);
    return false;
  }
  entry->phrase = phrase;
  return true;
}

}  // namespace

void CComicSubs::Load(const char* xml, CFont* font, Ombrel::CXmlDictionary* dictionary, const char* source) {
  m_entries.clear();
  m_font = font;
  m_dictionary = dictionary;
  TiXmlDocument document;
  Ombrel::ParseXmlDocument(source, xml ? xml : "", document);
  m_loaded = !document.Error();
  if (!m_loaded) return;
  const TiXmlElement* root = document.RootElement();
  if (!root) {
    HM_REPORT(kVeyComicSubsSource, "%s: no subtitles (no root element)", source);
    return;
  }
  int index = 0;
  for (const TiXmlElement* e = root->FirstChildElement(kEntryElement); e; e = e->NextSiblingElement(kEntryElement)) {
    SEntry entry;
    if (ReadEntry(e, source, index++, &entry)) m_entries.push_back(std::move(entry));
  }
}

const CComicSubs::SEntry* CComicSubs::EntryAt(float now) const {
  const float t = now - m_startTime;
  auto shown = std::find_if(m_entries.begin(), m_entries.end(),
                            [t](const SEntry& entry) { return entry.start <= t && t <= entry.end; });
  return shown == m_entries.end() ? nullptr : &*shown;
}

void CComicSubs::Render() {
  AlphaBlendOn();
  BlendNormal();
  if (!m_loaded || !m_font) return;
  const SEntry* entry = EntryAt(GetTimeSeconds());
  if (!entry) return;
  CFont& font = *m_font;
  font.SetAlignment(kAlignCentre, kAlignCentre);
  font.SetPosition(kTextX, kTextY);
  font.UpdateAspectScale();
  font.SetWrapWidth(kLineWidth * GetInvAspect());
  font.SetJustify(false);
  font.SetSize(kGlyphHeight / std::max(font.GetLineHeight(), 1.0f));
  font.SetColors(kFullAlpha);
  font.SetShadow(kSubtitleShadowOffset, kSubtitleShadowOffset, kFullAlpha);
  const char* text = m_dictionary ? m_dictionary->GetPhrase(entry->phrase.c_str()) : entry->phrase.c_str();
  DrawBand(font, text);
  font.Printf("%s", text);
  font.Flush();
}

// The words stand on a band of their own, so that a light page does not swallow them.
void CComicSubs::DrawBand(CFont& font, const char* text) const {
  float width = 0.0f, height = 0.0f;
  font.GetTextExtent(text, &width, &height);
  if (width <= 0.0f) return;
  SetDrawScreenSpace(true);
  DrawTextureRect(kTextX - width * 0.5f - kBandMargin, kTextY - height * 0.5f - kBandMargin, width + 2.0f * kBandMargin,
                  height + 2.0f * kBandMargin, kBandColour, nullptr);
}

}  // namespace Vey
