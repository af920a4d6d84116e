#pragma once
// The player's language as the start-up chooses it: the first line of the language file
// names one of five languages; anything else, or no file, is English.

#include <cstdint>
#include <string>

namespace Vey {

constexpr const char* kLanguageFile = "VFS/Config/lang.cfg";

// The dictionary index of the language a first line names (the line without its end), 0 for
// any line but "ru", "fr", "it", "es" and "de" exactly.
int32_t LanguageForLine(const std::string& line);

// Reads the file's first line as text (a carriage return before its end is not part of it) and
// chooses by it; a file that cannot be opened gives English.
int32_t ReadLanguageFile(const char* path);

// The player's own choice, kept in the user data folder (which, unlike the content tree, is
// always writable); the content tree's file is the default until the player has chosen.
constexpr const char* kPlayerLanguageFile = "lang.cfg";
bool HasPlayerLanguage(const std::string& dataFolder);
// The player's file when there is one, else the content tree's `defaultFile`.
int32_t ReadPlayerLanguage(const std::string& dataFolder, const char* defaultFile);
// Writes the language's code into the player's file; false, reported, when it cannot be written.
bool WritePlayerLanguage(const std::string& dataFolder, int32_t language);

}  // namespace Vey
