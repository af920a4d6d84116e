#include "tools/fontmaker/CharacterSets.h"

namespace fontmaker {

namespace {

const uint32_t kCommonKanji[] = {
#include "tools/fontmaker/CommonKanji.inc"
};

void AddRange(uint32_t first, uint32_t last, std::set<uint32_t>* codes) {
  for (uint32_t code = first; code <= last; ++code) codes->insert(code);
}

// Western and central European letters and the typographic marks of Windows-1252.
void AddLatin(std::set<uint32_t>* codes) {
  AddRange(0x20, 0x7E, codes);
  AddRange(0xA0, 0xFF, codes);
  AddRange(0x100, 0x17F, codes);  // Polish, Czech, Turkish
  for (uint32_t code : {0x192u, 0x2C6u, 0x2DCu, 0x2013u, 0x2014u, 0x2018u, 0x2019u, 0x201Au,
                        0x201Cu, 0x201Du, 0x201Eu, 0x2020u, 0x2021u, 0x2022u, 0x2026u, 0x2030u,
                        0x2039u, 0x203Au, 0x20ACu, 0x2122u})
    codes->insert(code);
}

void AddKana(std::set<uint32_t>* codes) {
  AddRange(0x3000, 0x303F, codes);  // CJK punctuation and brackets
  AddRange(0x3041, 0x309F, codes);  // hiragana
  AddRange(0x30A0, 0x30FF, codes);  // katakana
  AddRange(0xFF01, 0xFF5E, codes);  // full-width forms
  AddRange(0xFF61, 0xFF9F, codes);  // half-width katakana
}

}  // namespace

bool AddNamedSet(const std::string& name, std::set<uint32_t>* codes) {
  if (name == "latin") {
    AddLatin(codes);
  } else if (name == "cyrillic") {
    AddRange(0x400, 0x45F, codes);
    AddRange(0x490, 0x491, codes);
    codes->insert(0x2116);  // numero sign
  } else if (name == "kana") {
    AddKana(codes);
  } else if (name == "kanji") {
    codes->insert(std::begin(kCommonKanji), std::end(kCommonKanji));
    codes->insert(0x3005);  // the repetition mark
  } else {
    return false;
  }
  return true;
}

bool AddTextCharacters(const std::string& text, std::set<uint32_t>* codes, size_t* badOffset) {
  for (size_t i = 0; i < text.size();) {
    const uint8_t lead = static_cast<uint8_t>(text[i]);
    size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                                : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + length > text.size()) {
      *badOffset = i;
      return false;
    }
    uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      const uint8_t next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) {
        *badOffset = i;
        return false;
      }
      code = code << 6 | (next & 0x3F);
    }
    if (code >= 0x20 && code != 0x7F && !(code >= 0x80 && code < 0xA0)) codes->insert(code);
    i += length;
  }
  return true;
}

}  // namespace fontmaker
