#include "Quor/ComicsSubtitles.h"

#include <algorithm>
#include <cstdlib>

#include "Quor/CGcfgParser.h"
#include "Quor/Engine.h"
#include "Quor/ReportError.h"

namespace {

constexpr const char* kComicsSubtitlesSource = "Quor/ComicsSubtitles";

}  // namespace

const char* ComicSubtitleLanguageKey(int32_t language) {
  switch (language) {
    case 0: case 1: return "en";
    case 2: return "de";
    case 3: case 4: return "fr";
    case 5: case 6: return "es";
    case 7: case 8: return "it";
    case 9: return "ru";
    case 10: return "jp";
    case 11: return "pl";
    case 12: return "cz";
    case 14: return "tr";
    default: return nullptr;
  }
}

void CComicSubtitleReader::Register(CGcfgParser& parser, const char* sectionName, int32_t language) {
  m_language = language;
  parser.AddHandler(CGcfgParser::kSectionOpened, sectionName, &OnOpened, reinterpret_cast<uintptr_t>(this));
}

bool CComicSubtitleReader::OnOpened(CGcfgParser& parser, const SGcfgEvent& event) {
  auto* self = reinterpret_cast<CComicSubtitleReader*>(event.user1);
  const char* key = ComicSubtitleLanguageKey(self->m_language);
  if (!key) HM_FATAL(kComicsSubtitlesSource, "Unsupported language");
  self->m_pending = SComicSubtitle();
  const uintptr_t user = event.user1;
  // Added while the section opens, these apply to its body only.
  parser.AddKeyHandler("start", &OnTime, user);
  parser.AddHandler(CGcfgParser::kKey, "finish", &OnTime, user, 1);
  parser.AddKeyHandler(key, &OnText, user);
  parser.AddHandler(CGcfgParser::kSectionClosed, nullptr, &OnClosed, user);
  return true;
}

bool CComicSubtitleReader::OnTime(CGcfgParser&, const SGcfgEvent& event) {
  auto* self = reinterpret_cast<CComicSubtitleReader*>(event.user1);
  const float seconds = float(std::atoi(event.value)) / 100.0f;
  (event.user2 ? self->m_pending.finish : self->m_pending.start) = seconds;
  return true;
}

bool CComicSubtitleReader::OnText(CGcfgParser&, const SGcfgEvent& event) {
  auto* self = reinterpret_cast<CComicSubtitleReader*>(event.user1);
  std::string text = event.value;
  std::replace(text.begin(), text.end(), '|', '\n');
  self->m_pending.text = text;
  return true;
}

bool CComicSubtitleReader::OnClosed(CGcfgParser&, const SGcfgEvent& event) {
  auto* self = reinterpret_cast<CComicSubtitleReader*>(event.user1);
  self->m_subtitles.push_back(self->m_pending);
  return true;
}

bool LoadComicSubtitles(const char* fileName, const char* sectionName, std::vector<SComicSubtitle>* subtitles,
                        char* errorBuffer) {
  CGcfgParser parser;
  CComicSubtitleReader reader;
  reader.Register(parser, sectionName, GetLanguage());
  const bool parsed = ParseGcfgFile(parser, fileName, errorBuffer);
  *subtitles = reader.GetSubtitles();
  return parsed;
}
