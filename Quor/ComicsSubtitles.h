#pragma once
// Subtitles of a comic in the sectioned configuration format: each section is one line of
// subtitle with its time span and its text in every language,
//
//   subtitle {
//     start 150
//     finish 420
//     en @The lamp went out.|Then the door moved.
//     de @...
//   }
//
// "start" and "finish" are hundredths of a second; only the text of the game's language is
// kept, with every "|" turned into a line break.

#include <cstdint>
#include <string>
#include <vector>

class CGcfgParser;

struct SComicSubtitle {
  float start = 0;   // seconds
  float finish = 0;  // seconds
  std::string text;
};

// The text key of a language number ("en", "de", ...), or null for a language without
// subtitles.
const char* ComicSubtitleLanguageKey(int32_t language);

class CComicSubtitleReader {
 public:
  // Reads sections of the given name (null: any section) into the reader's list when the
  // parser meets them, with the text of `language`. An unsupported language is fatal.
  void Register(CGcfgParser& parser, const char* sectionName, int32_t language);
  const std::vector<SComicSubtitle>& GetSubtitles() const { return m_subtitles; }

 private:
  static bool OnOpened(CGcfgParser& parser, const struct SGcfgEvent& event);
  static bool OnClosed(CGcfgParser& parser, const struct SGcfgEvent& event);
  static bool OnTime(CGcfgParser& parser, const struct SGcfgEvent& event);
  static bool OnText(CGcfgParser& parser, const struct SGcfgEvent& event);

  int32_t m_language = 0;
  SComicSubtitle m_pending;
  std::vector<SComicSubtitle> m_subtitles;
};

// Parses a subtitle file of the file system with the game's language; false with the
// parser's reason in errorBuffer (CGcfgParser::kErrorSize characters).
bool LoadComicSubtitles(const char* fileName, const char* sectionName, std::vector<SComicSubtitle>* subtitles,
                        char* errorBuffer);
