#include "Quor/CStringHash.h"

#include "Quor/CStr.h"

namespace {
// Reducing before the next shift keeps h * 32 + byte within 32 bits.
constexpr uint32_t kHashReduceLimit = 0x3FFFFE0;
}  // namespace

uint32_t StringHashBucket(const char* key, uint32_t bucketCount) {
  uint32_t h = 0;
  for (const char* p = key; *p; ++p) {
    // The byte is taken as signed: bytes 0x80-0xFF add a negative value.
    int32_t byte = static_cast<int8_t>(ToUpperCaseByte(*p));
    h = h * 32 + static_cast<uint32_t>(byte);
    if (h >= kHashReduceLimit) h %= bucketCount;
  }
  if (h >= bucketCount) h %= bucketCount;
  return h;
}

bool StringHashKeyMatches(const std::string& storedKey, const char* key) {
  size_t i = 0;
  for (; key[i]; ++i) {
    if (i >= storedKey.size() || storedKey[i] != ToUpperCaseByte(key[i])) return false;
  }
  return i == storedKey.size();
}

std::string StringHashUpperKey(const char* key) {
  std::string upper = key ? key : "";
  for (char& c : upper) c = ToUpperCaseByte(c);
  return upper;
}
