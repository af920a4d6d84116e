#pragma once
// The characters a font is made for: named sets (one per script the game's languages use)
// and the characters of a text file.

#include <cstdint>
#include <set>
#include <string>

namespace fontmaker {

// Adds the named set ("latin", "cyrillic", "kana", "kanji"); false for an unknown name.
bool AddNamedSet(const std::string& name, std::set<uint32_t>* codes);
// Adds every character of UTF-8 text except control characters; false when the text is not
// valid UTF-8 (*badOffset tells where).
bool AddTextCharacters(const std::string& text, std::set<uint32_t>* codes, size_t* badOffset);

}  // namespace fontmaker
