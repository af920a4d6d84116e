#pragma once
// The engine's sectioned configuration format (".gcfg"). A file is read line by line;
// "name {" opens a section, "}" closes one, "name value" is a key item ("|" separates
// several items on a line, and "name @text" takes the rest of the line unchanged), and a
// line that starts with any other character is a comment. The caller registers handlers
// for section names and keys; handlers added while a section opens apply to its body and
// vanish when it closes.

#include <cstddef>
#include <cstdint>
#include <vector>

class CGcfgParser;

// What a handler receives: the key or section name and the key's value (both null for a
// section closing), and the two user words of its record.
struct SGcfgEvent {
  const char* name;
  const char* value;
  uintptr_t user1;
  uintptr_t user2;
};

// Returns false to stop parsing (after writing a reason with CGcfgParser::SetError).
using GcfgHandlerFn = bool (*)(CGcfgParser& parser, const SGcfgEvent& event);

class CGcfgParser {
 public:
  enum EHandlerKind : uint32_t { kSectionOpened = 0, kSectionClosed = 1, kKey = 2 };
  static constexpr int kMaxHandlers = 256;
  static constexpr int kMaxDepth = 16;
  static constexpr int kErrorSize = 256;
  static constexpr int kLineSize = 4096;

  CGcfgParser() { Init(); }
  // No handlers, depth 0, no error text, line 0.
  void Init();

  // Adds a record at the current depth; a null name accepts any name. False (reported)
  // when the table is full.
  bool AddHandler(EHandlerKind kind, const char* name, GcfgHandlerFn callback, uintptr_t user1 = 0,
                  uintptr_t user2 = 0);
  bool AddKeyHandler(const char* name, GcfgHandlerFn callback, uintptr_t user1 = 0) {
    return AddHandler(kKey, name, callback, user1, 0);
  }

  // Writes the reason parsing fails into the caller's error buffer (cut to 255 characters).
  void SetError(const char* format, ...) __attribute__((format(printf, 2, 3)));

  uint32_t GetLine() const { return m_line; }
  uint32_t GetDepth() const { return m_depth; }
  const char* GetFileName() const { return m_fileName; }
  int GetHandlerCount() const { return static_cast<int>(m_handlers.size()); }

  // Parses text already in memory; used by ParseGcfgFile.
  bool ParseText(const char* fileName, const char* text, size_t size, char* errorBuffer);

 private:
  struct SHandler {
    EHandlerKind kind;
    const char* name;
    GcfgHandlerFn callback;
    uintptr_t user1, user2;
    uint32_t level;
  };

  bool ParseLine(const char* line, size_t length);
  bool OpenSection(const char* name);
  bool CloseSection();
  bool KeyItem(const char* name, const char* value);
  // The record to call among those of a kind at the current depth: the first whose name
  // matches exactly, else the last without a name; -1 when none.
  int FindHandler(EHandlerKind kind, const char* name) const;
  bool Call(int handler, const char* name, const char* value);

  std::vector<SHandler> m_handlers;
  int m_openSections[kMaxDepth] = {};
  uint32_t m_depth = 0;
  char* m_errorBuffer = nullptr;
  uint32_t m_errorSize = kErrorSize;
  uint32_t m_line = 0;
  char m_fileName[512] = {};
};

// Parses a ".gcfg" file of the virtual file system with the parser's handlers. False with
// the reason in errorBuffer (kErrorSize characters) when the file is missing, a line is too
// long, a "}" has no "{", sections nest too deeply or a handler refuses an item.
bool ParseGcfgFile(CGcfgParser& parser, const char* fileName, char* errorBuffer);
