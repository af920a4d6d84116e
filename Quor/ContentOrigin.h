#pragma once
// The content file being read while it asks for others. A loader that opens files named by
// the one it reads holds a CContentOrigin for it, so that a file it names which is missing or
// damaged is told together with the file that named it. Each thread keeps its own.

#include <string>

class CContentOrigin {
 public:
  // An empty or null name leaves the file named before it in place.
  explicit CContentOrigin(const char* fileName);
  ~CContentOrigin();
  CContentOrigin(const CContentOrigin&) = delete;
  CContentOrigin& operator=(const CContentOrigin&) = delete;

  // ", named by \"FILE\"" for the file read innermost, or "" outside every reader.
  static std::string Clause();
  // The file read innermost, or "" outside every reader.
  static std::string Current();

 private:
  bool m_pushed = false;
};
