#include "Quor/CStr.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <stdexcept>
#include <string_view>

namespace {

constexpr std::array<uint8_t, 256> MakeUpperCaseTable() {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    table[i] = static_cast<uint8_t>(i >= 'a' && i <= 'z' ? i - 'a' + 'A' : i);
  }
  return table;
}

constexpr const char* kNullText = "(null)";
constexpr size_t kFormatBufferSize = 1024;

char* Reallocate(char* buffer, uint32_t capacity) {
  char* grown = static_cast<char*>(std::realloc(buffer, capacity));
  if (!grown) throw std::bad_alloc();
  return grown;
}

std::string_view View(const CStr& s) { return std::string_view(s.GetText(), s.GetLength()); }

int IndexOrMinusOne(size_t position) {
  return position == std::string_view::npos ? -1 : static_cast<int>(position);
}

CStr UpperCopy(const CStr& s) {
  CStr copy(s);
  copy.MakeUpper();
  return copy;
}

}  // namespace

const std::array<uint8_t, 256> g_upperCaseTable = MakeUpperCaseTable();

bool TextEqualsNoCase(const char* a, const char* b) {
  if (!a || !b) return a == b;
  for (; *a && *b; ++a, ++b) {
    if (ToUpperCaseByte(*a) != ToUpperCaseByte(*b)) return false;
  }
  return *a == *b;
}

uint32_t CStr::CapacityFor(uint32_t characters) {
  if (characters > UINT32_MAX - 32) throw std::length_error("CStr: text too long");
  return (characters + 32) & ~31u;
}

// ---- construction ----

void CStr::InitFrom(const char* text, uint32_t length, uint32_t capacity) {
  m_buffer = Reallocate(nullptr, capacity);
  m_capacity = capacity;
  m_length = length;
  std::memcpy(m_buffer, text, length);
  m_buffer[length] = '\0';
}

CStr::CStr() { InitFrom("", 0, CapacityFor(0)); }

CStr::CStr(const char* text) {
  if (!text) text = kNullText;
  uint32_t length = static_cast<uint32_t>(std::strlen(text));
  InitFrom(text, length, CapacityFor(length));
}

// A copy keeps the source's capacity but never its tokens.
CStr::CStr(const CStr& other) { InitFrom(other.m_buffer, other.m_length, other.m_capacity); }

CStr::~CStr() {
  std::free(m_buffer);
  ClearTokens();
}

CStr CStr::FromFormat(const char* format, ...) {
  // Longer results are cut at 1,023 characters, as the formatter is bounded.
  char text[kFormatBufferSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return CStr(text);
}

CStr CStr::ConcatCString(const CStr& head, const char* tail) {
  CStr result(head);
  result.Append(tail);
  return result;
}

CStr CStr::Concat(const CStr& head, const CStr& tail) {
  CStr result(head);
  result.AppendString(tail);
  return result;
}

CStr CStr::Mid(uint32_t start, uint32_t count) const {
  CStr result;
  if (start > m_length) return result;
  // A count past the end (the "to the end" value included) stops at the end.
  uint32_t available = m_length - start;
  uint32_t taken = count < available ? count : available;
  result.AppendBytes(m_buffer + start, taken);
  return result;
}

CStr CStr::BeforeLast(const CStr& needle) const {
  int at = ReverseFindNoCase(needle);
  return at < 0 ? CStr() : Mid(0, static_cast<uint32_t>(at));
}

CStr CStr::AfterFirst(const CStr& needle) const {
  int at = FindNoCase(needle);
  return at < 0 ? CStr() : Mid(static_cast<uint32_t>(at) + needle.m_length);
}

// ---- changing the text ----

void CStr::GrowTo(uint32_t characters) {
  uint32_t needed = CapacityFor(characters);
  if (needed <= m_capacity) return;
  m_buffer = Reallocate(m_buffer, needed);
  m_capacity = needed;
}

void CStr::AppendBytes(const char* bytes, uint32_t count) {
  // The bytes may lie in our own buffer, which growing can move.
  std::less<const char*> before;
  bool ownBytes = !before(bytes, m_buffer) && before(bytes, m_buffer + m_capacity);
  size_t ownOffset = ownBytes ? static_cast<size_t>(bytes - m_buffer) : 0;
  GrowTo(m_length + count);
  if (ownBytes) bytes = m_buffer + ownOffset;
  std::memmove(m_buffer + m_length, bytes, count);
  m_length += count;
  m_buffer[m_length] = '\0';
}

void CStr::SetText(const char* text) {
  CStr copy(text);  // the text may lie in our own buffer
  Assign(copy);
}

CStr& CStr::Assign(const CStr& other) {
  if (this == &other) return *this;
  GrowTo(other.m_length);
  std::memcpy(m_buffer, other.m_buffer, other.m_length + 1);
  m_length = other.m_length;
  return *this;
}

void CStr::Append(const char* text) {
  if (!text) return;
  AppendBytes(text, static_cast<uint32_t>(std::strlen(text)));
}

void CStr::AppendString(const CStr& other) { AppendBytes(other.m_buffer, other.m_length); }

CStr& CStr::AppendStringRet(const CStr& other) {
  AppendString(other);
  return *this;
}

void CStr::Reserve(uint32_t characters) { GrowTo(characters); }

void CStr::Resize(uint32_t length) {
  GrowTo(length);
  if (length > m_length) std::memset(m_buffer + m_length, 0, length - m_length);
  m_length = length;
  m_buffer[m_length] = '\0';
}

void CStr::Clear() {
  m_buffer[0] = '\0';
  m_length = 0;
}

void CStr::DropRight(uint32_t count) {
  m_length = count > m_length ? 0 : m_length - count;
  m_buffer[m_length] = '\0';
}

void CStr::RemoveAt(uint32_t index) {
  if (index >= m_length) return;
  // Moves the tail over the character, terminator included.
  std::memmove(m_buffer + index, m_buffer + index + 1, m_length - index);
  --m_length;
}

void CStr::ReplaceRange(uint32_t start, uint32_t count, const CStr& text) {
  uint32_t from = start < m_length ? start : m_length;
  uint32_t rest = m_length - from;
  uint32_t to = from + (count < rest ? count : rest);
  CStr result = Mid(0, from);
  result.AppendString(text);
  result.AppendString(Mid(to));
  Assign(result);
}

void CStr::ReplaceChar(char from, char to) {
  for (uint32_t i = 0; i < m_length; ++i) {
    if (m_buffer[i] == from) m_buffer[i] = to;
  }
}

void CStr::MakeUpper() {
  for (uint32_t i = 0; i < m_length; ++i) m_buffer[i] = ToUpperCaseByte(m_buffer[i]);
}

uint32_t CStr::CopyUpper(char* destination, uint32_t maxCharacters) const {
  if (!destination) return 0;
  uint32_t count = m_length < maxCharacters ? m_length : maxCharacters;
  for (uint32_t i = 0; i < count; ++i) destination[i] = ToUpperCaseByte(m_buffer[i]);
  destination[count] = '\0';
  return count;
}

void CStr::ClearTokens() {
  delete[] m_tokens;
  m_tokens = nullptr;
  m_tokenCount = 0;
}

void CStr::Split(char delimiter) {
  // The text up to its first terminator, as a C string would be tokenised.
  std::string_view text(m_buffer);
  auto forEachToken = [&](auto&& visit) {
    size_t pos = text.find_first_not_of(delimiter);
    while (pos != std::string_view::npos) {
      size_t end = text.find(delimiter, pos);
      if (end == std::string_view::npos) end = text.size();
      visit(pos, end - pos);
      pos = text.find_first_not_of(delimiter, end);
    }
  };

  uint32_t count = 0;
  forEachToken([&](size_t, size_t) { ++count; });
  ClearTokens();
  if (count == 0) return;
  m_tokens = new CStr[count];
  m_tokenCount = count;
  uint32_t index = 0;
  forEachToken([&](size_t pos, size_t length) {
    m_tokens[index++] = Mid(static_cast<uint32_t>(pos), static_cast<uint32_t>(length));
  });
}

// ---- queries ----

bool CStr::IsEqual(const char* text) const { return text && View(*this) == std::string_view(text); }

bool CStr::operator==(const CStr& other) const { return View(*this) == View(other); }

int CStr::Find(const CStr& needle) const {
  if (IsEmpty()) return -1;
  return IndexOrMinusOne(View(*this).find(View(needle)));
}

int CStr::ReverseFind(const CStr& needle) const {
  return IndexOrMinusOne(View(*this).rfind(View(needle)));
}

int CStr::FindNoCase(const CStr& needle) const {
  if (IsEmpty()) return -1;
  return UpperCopy(*this).Find(UpperCopy(needle));
}

int CStr::ReverseFindNoCase(const CStr& needle) const {
  return UpperCopy(*this).ReverseFind(UpperCopy(needle));
}

int CStr::FindCharNoCase(char c) const {
  int wanted = std::toupper(static_cast<unsigned char>(c));
  for (uint32_t i = 0; i < m_length; ++i) {
    if (std::toupper(static_cast<unsigned char>(m_buffer[i])) == wanted) return static_cast<int>(i);
  }
  return -1;
}

int CStr::FindSpace() const { return IndexOrMinusOne(View(*this).find(' ')); }

int CStr::FindLastDot() const { return IndexOrMinusOne(View(*this).rfind('.')); }

int CStr::ToInt() const { return std::atoi(m_buffer); }

float CStr::ToFloat() const { return static_cast<float>(std::atof(m_buffer)); }
