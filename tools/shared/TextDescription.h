#pragma once
// The small text descriptions the content writers read: one record per line, words
// separated by blanks, "#" starting a comment line. Numbers are read without the locale.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Quor/CParser.h"
#include "tools/shared/FileBytes.h"

namespace description {

struct SLine {
  int number;
  std::vector<std::string> words;
  float Number(size_t i, float fallback = 0) const { return i < words.size() ? ParseFloatC(words[i].c_str()) : fallback; }
  uint32_t Index(size_t i) const { return i < words.size() ? static_cast<uint32_t>(ParseIntC(words[i].c_str())) : 0; }
};

// The lines of a text that are neither empty nor comments.
inline void ReadLines(std::istream& in, std::vector<SLine>* lines) {
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    std::istringstream words(text);
    SLine line{number, {}};
    for (std::string word; words >> word;) line.words.push_back(word);
    if (!line.words.empty() && line.words[0][0] != '#') lines->push_back(line);
  }
}

// The same of a file; false (said on stderr) when the file
// cannot be read.
inline bool Read(const char* tool, const char* path, std::vector<SLine>* lines) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "%s: cannot read %s\n", tool, path);
    return false;
  }
  ReadLines(in, lines);
  return true;
}

inline bool WriteFile(const char* tool, const std::string& path, const std::vector<uint8_t>& bytes) {
  if (WriteFileBytes(path, bytes)) return true;
  std::fprintf(stderr, "%s: cannot write %s\n", tool, path.c_str());
  return false;
}

}  // namespace description
