#pragma once
// Reads lines, quoted strings, blank-separated words and numbers from a text file of the
// virtual file system into a caller's buffer. Running out of buffer is fatal
// ("FILE: Out of buffer space"): the texts it reads are the engine's own and short.

#include <cstdint>
#include <string>

struct VfsFile;

class CParser {
 public:
  CParser() = default;
  ~CParser() { Close(); }
  CParser(const CParser&) = delete;
  CParser& operator=(const CParser&) = delete;

  // Opens the file and sets the destination buffer; false when the file is not there.
  bool Open(const char* fileName, char* buffer, int bufferSize);
  void Close();
  bool IsAtEnd() const;

  // Characters up to a carriage return; the character after it (the line feed) is
  // dropped. A lone line feed is kept like any character.
  char* ReadLine();
  // The next word: blanks and line ends before it are skipped, and the blank or line end
  // after it is consumed.
  char* ReadWord();
  // The text between the next pair of double quotes.
  char* ReadQuoted();
  // The next word as a number; the decimal point is always ".", whatever the locale.
  float ReadFloat();
  int ReadInt();

 private:
  // The next character; false at the end of the file.
  bool Next(char* c);
  // Appends to the buffer; fatal when it is full.
  void Store(int* length, char c);
  char* Finish(int length);

  VfsFile* m_file = nullptr;
  char* m_buffer = nullptr;
  int m_bufferSize = 0;
  std::string m_fileName;  // for the report
};

// atof and atoi without the locale: leading blanks, an optional sign, then as many
// characters as make a number; 0 when none do.
float ParseFloatC(const char* text);
int ParseIntC(const char* text);
