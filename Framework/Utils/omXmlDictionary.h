#pragma once
// The phrase dictionary of the current language. The application owns the one instance and
// hands it to every registered state.
//
// A dictionary file is XML: under the root, each "Phrase" element with an "ID" holds one child
// element per language code ("en", "de", ...) whose first attribute is the text. Only the
// texts of the language current at load time are kept, so a change of language needs Reload.

#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"
#include "Quor/CStringHash.h"

#include <cstdint>
#include <vector>

class TiXmlElement;

namespace Ombrel {

class CXmlDictionary : public CMemWatch {
 public:
  static constexpr const char* kSystemDictionary = "System/Configs/SystemDictionary.xml";
  static constexpr const char* kGameDictionary = "App/Configs/GameDictionary.xml";
  static constexpr int32_t kLanguageCount = 15;

  // The element name of a language index ("en" for 0 ... "tr" for 14), or null outside 0..14.
  static const char* LanguageCode(int32_t language);

  // Loads the system dictionary; a missing file is fatal.
  CXmlDictionary();
  ~CXmlDictionary() override;
  CXmlDictionary(const CXmlDictionary&) = delete;
  CXmlDictionary& operator=(const CXmlDictionary&) = delete;

  // Adds the phrases of one file in the current language and remembers the file for Reload.
  // A missing file is fatal; one that does not parse adds nothing.
  void Load(const char* fileName);
  // The text stored for the key (any case). On a miss, "NotFound: <key>" in a buffer the next
  // miss overwrites. Never null. Texts die with Clear, Reload and the dictionary.
  const char* GetPhrase(const char* key);
  // Loads every remembered file again, in first-load order, in the current language.
  void Reload();
  // Forgets the phrases; the remembered files stay.
  void Clear();

  const CStr& GetLanguageCode() const { return m_languageCode; }
  const std::vector<CStr>& GetRememberedFiles() const { return m_files; }

 private:
  int32_t LoadLanguage() const;
  // The first child element of the phrase in the language, or in its fallback language.
  static const TiXmlElement* FindLanguageElement(const TiXmlElement& phrase, int32_t language);

  bool m_enabled[kLanguageCount];
  int32_t m_defaultLanguage = 0;
  CStringHash<CStr> m_phrases;
  CStr m_languageCode;
  CStr m_missText;
  std::vector<CStr> m_files;
  bool m_remember = true;
};

}  // namespace Ombrel
