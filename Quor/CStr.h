#pragma once
// The engine's growable byte string. Text is single-byte (ASCII or UTF-8 bytes taken as
// they are). Capacity grows in steps of 32 bytes and never shrinks, so strings that are
// appended to or cleared and refilled keep their buffer.

#include <array>
#include <cstdint>

// One shared table for every case-insensitive key of the engine: a-z map to A-Z, every
// other byte (bytes 0x80-0xFF included) maps to itself.
extern const std::array<uint8_t, 256> g_upperCaseTable;

inline char ToUpperCaseByte(char c) {
  return static_cast<char>(g_upperCaseTable[static_cast<uint8_t>(c)]);
}

// Equality of two texts through that table (A-Z and a-z alike); null equals only null.
bool TextEqualsNoCase(const char* a, const char* b);

class CStr {
 public:
  // The count of Mid that means "up to the end".
  static constexpr uint32_t kToEnd = 0x80000000u;

  CStr();
  CStr(const char* text);  // implicit on purpose: engine calls pass C strings freely
  CStr(const CStr& other);
  ~CStr();
  CStr& operator=(const CStr& other) { return Assign(other); }
  CStr& operator=(const char* text) {
    SetText(text);
    return *this;
  }

  static CStr FromFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
  static CStr ConcatCString(const CStr& head, const char* tail);
  static CStr Concat(const CStr& head, const CStr& tail);

  CStr Mid(uint32_t start, uint32_t count = kToEnd) const;
  CStr BeforeLast(const CStr& needle) const;
  CStr AfterFirst(const CStr& needle) const;

  // Changing the text.
  void SetText(const char* text);
  CStr& Assign(const CStr& other);
  void Append(const char* text);
  CStr& operator+=(const char* text) {
    Append(text);
    return *this;
  }
  CStr& operator+=(const CStr& other) { return AppendStringRet(other); }
  void AppendString(const CStr& other);
  CStr& AppendStringRet(const CStr& other);
  void Reserve(uint32_t characters);
  void Resize(uint32_t length);
  void Clear();
  void DropRight(uint32_t count);
  void RemoveAt(uint32_t index);
  void ReplaceRange(uint32_t start, uint32_t count, const CStr& text);
  void ReplaceChar(char from, char to);
  void MakeUpper();
  // Writes at most maxCharacters upper-cased characters and a terminator (so the
  // destination holds maxCharacters + 1 bytes); returns the characters written.
  uint32_t CopyUpper(char* destination, uint32_t maxCharacters) const;
  void ClearTokens();
  // Splits at every run of the delimiter; empty tokens are never produced.
  void Split(char delimiter);

  // Queries.
  uint32_t GetLength() const { return m_length; }
  uint32_t GetCapacity() const { return m_capacity; }
  bool IsEmpty() const { return m_length == 0; }
  const char* GetText() const { return m_buffer; }
  char* GetBufferAt(uint32_t offset) { return m_buffer + offset; }
  const char* GetBufferAt(uint32_t offset) const { return m_buffer + offset; }
  uint32_t GetTokenCount() const { return m_tokenCount; }
  // Token i of the last split; null past the last token.
  CStr* GetToken(uint32_t index) { return index < m_tokenCount ? &m_tokens[index] : nullptr; }
  const CStr* GetToken(uint32_t index) const { return index < m_tokenCount ? &m_tokens[index] : nullptr; }

  bool IsEqual(const char* text) const;
  bool operator==(const CStr& other) const;
  bool operator!=(const CStr& other) const { return !(*this == other); }
  int Find(const CStr& needle) const;
  int ReverseFind(const CStr& needle) const;
  int FindNoCase(const CStr& needle) const;
  int ReverseFindNoCase(const CStr& needle) const;
  int FindCharNoCase(char c) const;
  int FindSpace() const;
  int FindLastDot() const;
  int ToInt() const;
  float ToFloat() const;

  // (n + 32) rounded down to a multiple of 32: always room for n characters and the terminator.
  static uint32_t CapacityFor(uint32_t characters);

 private:
  void InitFrom(const char* text, uint32_t length, uint32_t capacity);
  void GrowTo(uint32_t characters);
  void AppendBytes(const char* bytes, uint32_t count);
  void FreeTokens();

  uint32_t m_length = 0;
  uint32_t m_capacity = 0;
  char* m_buffer = nullptr;
  uint32_t m_tokenCount = 0;
  CStr* m_tokens = nullptr;
};

inline CStr operator+(const CStr& head, const char* tail) { return CStr::ConcatCString(head, tail); }
inline CStr operator+(const CStr& head, const CStr& tail) { return CStr::Concat(head, tail); }

// A name and a value, as the framework keeps its settings.
struct SStrPair {
  CStr name;
  CStr value;
};

// Destroys a heap record of two strings: the value, then the name.
inline void DestroyStrPair(SStrPair* pair) { delete pair; }
