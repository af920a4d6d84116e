#include "Framework/Utils/omXmlDictionary.h"

#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/Engine.h"

#include <tinyxml.h>

#include <cstring>
#include <string>

namespace Ombrel {

namespace {

const char* const kLanguageCodes[CXmlDictionary::kLanguageCount] = {"en", "uk", "de", "fr", "ca", "es", "la", "it",
                                                                    "nl", "ru", "jp", "pl", "cz", "se", "tr"};

// The one language tried when a phrase has none for the load language, or -1.
int32_t FallbackLanguage(int32_t language) {
  switch (language) {
    case kLangCatalan:
      return kLangFrench;
    case kLangEnglish:
      return kLangUk;
    case kLangUk:
      return kLangEnglish;
    case kLangLatin:
      return kLangSpanish;
    default:
      return -1;
  }
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The byte of "\xHH": up to two hex digits, a non-digit ends the number, none gives 0.
char HexEscapeByte(const std::string& text, size_t digits) {
  int value = 0;
  for (size_t i = digits; i < digits + 2 && i < text.size(); ++i) {
    const int digit = HexDigitValue(text[i]);
    if (digit < 0) break;
    value = value * 16 + digit;
  }
  return static_cast<char>(value);
}

// Every "\n" becomes a line feed, then every "\xHH" (four characters, whatever the last two
// hold) the byte it names. A replaced byte can start a new escape with the byte before it, so
// the search goes on one byte back: the same as searching again from the start.
std::string ApplyEscapes(std::string text) {
  for (size_t at = text.find("\\n"); at != std::string::npos; at = text.find("\\n", at + 1)) {
    text.replace(at, 2, 1, '\n');
  }
  for (size_t at = text.find("\\x"); at != std::string::npos; at = text.find("\\x", at ? at - 1 : 0)) {
    text.replace(at, 4, 1, HexEscapeByte(text, at + 2));
  }
  // Texts are handed out as C strings: a zero byte ends them.
  return text.substr(0, std::strlen(text.c_str()));
}

// Shown in red by the font: switch to (255, 1, 1), the note, restore the colour.
CStr MissingWordMarker(const char* id) { return CStr::FromFormat("\x02\xFF\x01\x01[MISSING WORD: %s]\x03", id); }

const char* FirstAttributeValue(const TiXmlElement& element) {
  const TiXmlAttribute* attribute = element.FirstAttribute();
  return attribute ? attribute->Value() : "";
}

}  // namespace

const char* CXmlDictionary::LanguageCode(int32_t language) {
  return language >= 0 && language < kLanguageCount ? kLanguageCodes[language] : nullptr;
}

CXmlDictionary::CXmlDictionary() {
  for (bool& enabled : m_enabled) enabled = true;
  m_files.reserve(5);
  Load(kSystemDictionary);
}

CXmlDictionary::~CXmlDictionary() { Clear(); }

int32_t CXmlDictionary::LoadLanguage() const {
  const int32_t language = GetLanguage();
  const bool usable = language >= 0 && language < kLanguageCount && m_enabled[language];
  return usable ? language : m_defaultLanguage;
}

const TiXmlElement* CXmlDictionary::FindLanguageElement(const TiXmlElement& phrase, int32_t language) {
  if (const TiXmlElement* element = phrase.FirstChildElement(LanguageCode(language))) return element;
  const int32_t fallback = FallbackLanguage(language);
  return fallback < 0 ? nullptr : phrase.FirstChildElement(LanguageCode(fallback));
}

void CXmlDictionary::Load(const char* fileName) {
  if (m_remember) m_files.push_back(CStr(fileName));
  const int32_t language = LoadLanguage();
  m_languageCode = LanguageCode(language);

  TiXmlDocument document;
  LoadXmlDocument(fileName, document);
  const TiXmlElement* root = document.Error() ? nullptr : document.FirstChildElement();
  if (!root) return;
  for (const TiXmlElement* phrase = root->FirstChildElement("Phrase"); phrase;
       phrase = phrase->NextSiblingElement("Phrase")) {
    const char* id = phrase->Attribute("ID");
    if (!id || !*id) continue;
    const TiXmlElement* text = FindLanguageElement(*phrase, language);
    if (!text) continue;
    const std::string escaped = ApplyEscapes(FirstAttributeValue(*text));
    // A second phrase of the same ID is stored too; lookups find the first.
    m_phrases.Insert(id, escaped.empty() ? MissingWordMarker(id) : CStr(escaped.c_str()));
  }
}

const char* CXmlDictionary::GetPhrase(const char* key) {
  if (const auto* entry = m_phrases.Find(key)) return entry->value.GetText();
  m_missText = CStr::FromFormat("NotFound: <%s>", key ? key : "(null)");
  return m_missText.GetText();
}

void CXmlDictionary::Reload() {
  Clear();
  m_remember = false;
  for (const CStr& file : m_files) Load(file.GetText());
  m_remember = true;
}

void CXmlDictionary::Clear() { m_phrases.Clear(); }

}  // namespace Ombrel
