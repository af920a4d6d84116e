#include "Quor/CParser.h"

#include "Quor/CVFS.h"
#include "Quor/ReportError.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace {

// Leading blanks and a plus sign, which from_chars does not take.
const char* SkipToDigits(const char* text) {
  while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' || *text == '\v' || *text == '\f') ++text;
  if (*text == '+' && text[1] != '-') ++text;
  return text;
}

}  // namespace

float ParseFloatC(const char* text) {
  const char* start = SkipToDigits(text);
  float value = 0;
  auto result = std::from_chars(start, start + std::strlen(start), value);
  if (result.ec == std::errc::result_out_of_range)
    return *start == '-' ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
  return result.ec == std::errc() ? value : 0.0f;
}

int ParseIntC(const char* text) {
  const char* start = SkipToDigits(text);
  int value = 0;
  auto result = std::from_chars(start, start + std::strlen(start), value);
  if (result.ec == std::errc::result_out_of_range)
    return *start == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
  return result.ec == std::errc() ? value : 0;
}

bool CParser::Open(const char* fileName, char* buffer, int bufferSize) {
  Close();
  m_buffer = buffer;
  m_bufferSize = bufferSize;
  m_fileName = fileName ? fileName : "";
  m_file = GetVFS() ? GetVFS()->Open(fileName) : nullptr;
  return m_file != nullptr;
}

void CParser::Close() {
  if (m_file) GetVFS()->Close(m_file);
  m_file = nullptr;
}

bool CParser::IsAtEnd() const { return !m_file || GetVFS()->IsEof(m_file); }

bool CParser::Next(char* c) { return m_file && GetVFS()->Read(m_file, c, 1, false) == 1; }

void CParser::Store(int* length, char c) {
  // One byte stays free for the terminator.
  if (*length + 1 >= m_bufferSize) HM_FATAL("Quor/CParser", "%s: Out of buffer space", m_fileName.c_str());
  m_buffer[(*length)++] = c;
}

char* CParser::Finish(int length) {
  if (m_bufferSize > 0) m_buffer[length] = '\0';
  return m_buffer;
}

char* CParser::ReadLine() {
  int length = 0;
  char c;
  while (Next(&c)) {
    if (c == '\r') {
      Next(&c);
      break;
    }
    Store(&length, c);
  }
  return Finish(length);
}

char* CParser::ReadQuoted() {
  int length = 0;
  char c;
  while (Next(&c) && c != '"') {
  }
  while (Next(&c) && c != '"') Store(&length, c);
  return Finish(length);
}

char* CParser::ReadWord() {
  int length = 0;
  char c;
  bool more = Next(&c);
  while (more && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) more = Next(&c);
  while (more) {
    if (c == ' ' || c == '\t' || c == '\n') break;
    if (c == '\r') {
      Next(&c);
      break;
    }
    Store(&length, c);
    more = Next(&c);
  }
  return Finish(length);
}

float CParser::ReadFloat() { return ParseFloatC(ReadWord()); }

int CParser::ReadInt() { return ParseIntC(ReadWord()); }
