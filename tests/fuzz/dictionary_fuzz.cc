// Phrase dictionaries as the application reads them: the input is the system dictionary, read in
// one language, then looked up, reloaded in another language and looked up again.

#include "Framework/Utils/omXmlDictionary.h"
#include "Quor/Engine.h"
#include "tests/fuzz/FuzzHarness.h"

#include <filesystem>

void FuzzSetUp() {
  fuzz::UsePlainFileSystem();
  std::filesystem::create_directories(fuzz::ScratchFolder() + "System/Configs");
}

void FuzzOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteScratchFile("System/Configs/SystemDictionary.xml", data, size);
  SetLanguage(static_cast<int32_t>(size % Ombrel::CXmlDictionary::kLanguageCount));
  Ombrel::CXmlDictionary dictionary;
  dictionary.GetPhrase("GAME_TITLE");
  SetLanguage(kLangCatalan);
  dictionary.Reload();
  dictionary.GetPhrase("game_title");
}
