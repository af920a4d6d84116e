#include "Quor/CGcfgParser.h"

#include "Quor/CByteReader.h"
#include "Quor/ReportError.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsIdentifierChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

size_t SkipBlanks(const char* line, size_t pos, size_t length) {
  while (pos < length && IsBlank(line[pos])) ++pos;
  return pos;
}

}  // namespace

void CGcfgParser::Init() {
  m_handlers.clear();
  m_depth = 0;
  m_errorBuffer = nullptr;
  m_line = 0;
}

bool CGcfgParser::AddHandler(EHandlerKind kind, const char* name, GcfgHandlerFn callback, uintptr_t user1,
                             uintptr_t user2) {
  if (m_handlers.size() >= kMaxHandlers) {
    HM_REPORT("Quor/CGcfgParser", "%s: More than %d handlers", m_fileName, kMaxHandlers);
    return false;
  }
  m_handlers.push_back(SHandler{kind, name, callback, user1, user2, m_depth});
  return true;
}

void CGcfgParser::SetError(const char* format, ...) {
  if (!m_errorBuffer) return;
  va_list args;
  va_start(args, format);
  std::vsnprintf(m_errorBuffer, m_errorSize, format, args);
  va_end(args);
}

int CGcfgParser::FindHandler(EHandlerKind kind, const char* name) const {
  int anyName = -1;
  for (size_t i = 0; i < m_handlers.size(); ++i) {
    const SHandler& handler = m_handlers[i];
    if (handler.kind != kind || handler.level != m_depth) continue;
    if (!handler.name) anyName = static_cast<int>(i);
    else if (name && std::strcmp(handler.name, name) == 0) return static_cast<int>(i);
  }
  return anyName;
}

bool CGcfgParser::Call(int handler, const char* name, const char* value) {
  // Copied first: the callback may add records and so move the table.
  const SHandler record = m_handlers[handler];
  if (!record.callback) return true;
  if (m_errorBuffer) m_errorBuffer[0] = '\0';
  if (record.callback(*this, SGcfgEvent{name, value, record.user1, record.user2})) return true;
  if (m_errorBuffer && !m_errorBuffer[0])
    SetError("%s: Line %d: '%s' refused", m_fileName, static_cast<int>(m_line), name ? name : "}");
  return false;
}

bool CGcfgParser::OpenSection(const char* name) {
  // The open-section stack has kMaxDepth entries; ignored sections count as well.
  if (m_depth >= kMaxDepth) {
    SetError("%s: More than %d levels", m_fileName, kMaxDepth);
    return false;
  }
  bool enclosingIgnored = m_depth > 0 && m_openSections[m_depth - 1] == -1;
  int handler = enclosingIgnored ? -1 : FindHandler(kSectionOpened, name);
  m_openSections[m_depth++] = handler;
  return handler < 0 || Call(handler, name, nullptr);
}

bool CGcfgParser::CloseSection() {
  if (m_depth == 0) {
    SetError("%s: Line %d: '}' without matching '{'", m_fileName, static_cast<int>(m_line));
    return false;
  }
  int closer = -1;
  for (size_t i = 0; i < m_handlers.size(); ++i)
    if (m_handlers[i].kind == kSectionClosed && m_handlers[i].level == m_depth) closer = static_cast<int>(i);
  bool accepted = closer < 0 || Call(closer, nullptr, nullptr);
  --m_depth;
  if (m_openSections[m_depth] != -1)
    while (!m_handlers.empty() && m_handlers.back().level > m_depth) m_handlers.pop_back();
  return accepted;
}

bool CGcfgParser::KeyItem(const char* name, const char* value) {
  int handler = FindHandler(kKey, name);
  return handler < 0 || Call(handler, name, value);
}

bool CGcfgParser::ParseLine(const char* line, size_t length) {
  size_t pos = 0;
  for (;;) {
    pos = SkipBlanks(line, pos, length);
    if (pos >= length) return true;
    if (line[pos] == '}') {
      ++pos;
      if (!CloseSection()) return false;
      continue;
    }
    if (!IsIdentifierChar(line[pos])) return true;  // a comment: the rest of the line
    size_t nameStart = pos;
    while (pos < length && IsIdentifierChar(line[pos])) ++pos;
    const std::string name(line + nameStart, pos - nameStart);
    if (pos < length) ++pos;  // the separator, whatever it is
    pos = SkipBlanks(line, pos, length);
    if (pos < length && line[pos] == '{') {
      if (!OpenSection(name.c_str())) return false;
      ++pos;
      continue;
    }
    if (pos < length && line[pos] == '@') return KeyItem(name.c_str(), std::string(line + pos + 1, length - pos - 1).c_str());
    const char* bar = static_cast<const char*>(std::memchr(line + pos, '|', length - pos));
    size_t valueEnd = bar ? static_cast<size_t>(bar - line) : length;
    size_t next = bar ? valueEnd + 1 : length;
    while (valueEnd > pos && IsBlank(line[valueEnd - 1])) --valueEnd;
    if (!KeyItem(name.c_str(), std::string(line + pos, valueEnd - pos).c_str())) return false;
    pos = next;
  }
}

bool CGcfgParser::ParseText(const char* fileName, const char* text, size_t size, char* errorBuffer) {
  std::snprintf(m_fileName, sizeof(m_fileName), "%s", fileName);
  m_errorBuffer = errorBuffer;
  m_errorSize = kErrorSize;
  if (m_errorBuffer) m_errorBuffer[0] = '\0';
  m_depth = 0;
  m_line = 0;
  char line[kLineSize];
  size_t pos = 0;
  bool afterLineFeed = true;
  while (pos < size) {
    if (afterLineFeed) ++m_line;
    size_t length = 0;
    afterLineFeed = false;
    while (pos < size) {
      char c = text[pos++];
      if (c == '\r') break;
      if (c == '\n') {
        afterLineFeed = true;
        break;
      }
      line[length++] = c;
      if (length == kLineSize - 1) {
        SetError("%s: Line %d is longer than %d chars", m_fileName, static_cast<int>(m_line), kLineSize);
        return false;
      }
    }
    line[length] = '\0';
    if (!ParseLine(line, length)) return false;
  }
  return true;
}

bool ParseGcfgFile(CGcfgParser& parser, const char* fileName, char* errorBuffer) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(fileName, &bytes)) {
    std::snprintf(errorBuffer, CGcfgParser::kErrorSize, "Failed to open %s", fileName);
    return false;
  }
  return parser.ParseText(fileName, reinterpret_cast<const char*>(bytes.data()), bytes.size(), errorBuffer);
}
