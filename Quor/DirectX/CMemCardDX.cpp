#include "Quor/DirectX/CMemCardDX.h"

#include "Platform/PlatformFiles.h"
#include "Platform/PlatformSystem.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/Engine.h"
#include "Quor/ReportError.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {

const char* const kSource = "Quor/DirectX/CMemCardDX";
const char* const kExtension = ".sav";

// Rows that several language numbers share.
constexpr SSaveMessageTexts kEnglish = {
    "Yes", "No", "OK", "File already exists.\nWould you like to overwrite?", "Save failed!",
    "Data file is corrupted!\nLoad failed!"};
constexpr SSaveMessageTexts kFrench = {
    "Oui", "Non", "OK", "Le fichier existe déjà.\nLes écraser ?", "Échec de la sauvegarde !",
    "Le fichier est endommagé !\nÉchec du chargement !"};
constexpr SSaveMessageTexts kSpanish = {
    "Sí", "No", "Aceptar", "El archivo ya existe.\n¿Deseas sobrescribirlos?",
    "¡Error al guardar!",
    "¡El archivo de datos es erróneo!\n¡Error al cargar!"};

// Languages without texts of their own show the English messages under their own labels.
constexpr SSaveMessageTexts WithLabels(const char* yes, const char* no) {
  return {yes, no, kEnglish.ok, kEnglish.overwriteQuestion, kEnglish.saveFailed,
          kEnglish.corruptedFile};
}

const SSaveMessageTexts kBuiltInTexts[CMemCardDX::kLanguageCount] = {
    kEnglish,
    kEnglish,
    {"Ja", "Nein", "OK", "Datei existiert bereits.\nMöchten Sie diese Daten überschreiben?",
     "Speichern gescheitert!", "Datei ist beschädigt!\nLaden gescheitert!"},
    kFrench,
    kFrench,
    kSpanish,
    kSpanish,
    {"Sì", "No", "OK", "File già esistente.\nSovrascriverli?", "Salvataggio fallito!",
     "Il file dei dati è corrotto!\nCaricamento fallito!"},
    {"Ja", "Nee", "OK", "Bestand bestaat reeds.\nWil je deze overschrijven?", "Opslaan mislukt!",
     "Gegevensbestand is beschadigd!\nLaden mislukt!"},
    {"Да", "Нет", "OK", "Найдены ранее сохранённые данные.\nПерезаписать?",
     "Не удалось сохранить данные!", "Не удалось загрузить\nповреждённые данные!"},
    WithLabels("はい", "いいえ"),
    WithLabels("Tak", "Nie"),
    WithLabels("Ano", "Ne"),
    WithLabels("Ja", "No"),  // Swedish: a "yes" button needs a label
    WithLabels("Evet", "Hayır"),
};

bool WriteWithStdio(std::FILE* file, const void* data, size_t size) {
  return std::fwrite(data, 1, size, file) == size;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool HasSaveExtension(const std::string& fileName) {
  const size_t length = std::strlen(kExtension);
  return fileName.size() >= length &&
         SameIgnoringCase(fileName.substr(fileName.size() - length), kExtension);
}

bool PathExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

struct SFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, SFileCloser>;

}  // namespace

CMemCardDX::CMemCardDX(uint32_t recordSize, void** block)
    : CGameSave(recordSize, block), m_ownTexts(6), m_writer(&WriteWithStdio) {
  m_saveFolder = std::string(GetUserDataFolder()) + "Saves";
  if (!PlatformMakeFolders(m_saveFolder.c_str())) {
    HM_REPORT(kSource, "Cannot create the save folder %s: %s", m_saveFolder.c_str(),
              std::strerror(errno));
  }
  m_selectedPath = m_saveFolder + "/savegame" + kExtension;
  m_nameList.push_back(nullptr);
}

CMemCardDX::~CMemCardDX() = default;

const SSaveMessageTexts& CMemCardDX::BuiltInTexts(int32_t language) {
  if (language < 0 || language >= kLanguageCount) language = kLangUk;
  return kBuiltInTexts[language];
}

void CMemCardDX::SetMessageTexts(const SSaveMessageTexts& texts) {
  const char* const given[6] = {texts.yes, texts.no, texts.ok, texts.overwriteQuestion,
                                texts.saveFailed, texts.corruptedFile};
  for (size_t i = 0; i < 6; ++i) m_ownTexts[i] = given[i] ? given[i] : "";
}

// An owner's text stands in for the built-in one; a missing or empty one would leave the
// player a message that never answers, so the built-in text stays in its place.
SSaveMessageTexts CMemCardDX::CurrentTexts() const {
  SSaveMessageTexts texts = BuiltInTexts(GetLanguage());
  const char** slots[6] = {&texts.yes, &texts.no, &texts.ok, &texts.overwriteQuestion,
                           &texts.saveFailed, &texts.corruptedFile};
  for (size_t i = 0; i < 6; ++i) {
    if (!m_ownTexts[i].empty()) *slots[i] = m_ownTexts[i].c_str();
  }
  return texts;
}

void CMemCardDX::SetBlockWriter(BlockWriter writer) {
  m_writer = writer ? writer : &WriteWithStdio;
}

const char* const* CMemCardDX::Enumerate() {
  m_names.clear();
  m_nameList.clear();
  std::error_code error;
  for (std::filesystem::directory_iterator entry(m_saveFolder, error), end;
       !error && entry != end; entry.increment(error)) {
    const std::string fileName = entry->path().filename().string();
    std::error_code typeError;
    if (!HasSaveExtension(fileName) || !entry->is_regular_file(typeError)) continue;
    m_names.push_back(fileName.substr(0, fileName.size() - std::strlen(kExtension)));
  }
  if (error) HM_REPORT(kSource, "Cannot list the save folder %s: %s", m_saveFolder.c_str(),
                       error.message().c_str());
  // The folder's own order differs between file systems; a sorted list is the same everywhere.
  std::sort(m_names.begin(), m_names.end());
  for (const std::string& name : m_names) m_nameList.push_back(name.c_str());
  m_nameList.push_back(nullptr);
  m_enumerated = true;
  return m_nameList.data();
}

void CMemCardDX::Select(const char* name) {
  m_selectionMark = false;
  std::string safeName = name ? name : "";
  // A name is a file name inside the save folder, never a way out of it.
  if (safeName.find_first_of("/\\") != std::string::npos) {
    HM_REPORT(kSource, "The save name \"%s\" holds a path separator; it is replaced by '_'",
              safeName.c_str());
    std::replace_if(safeName.begin(), safeName.end(), [](char c) { return c == '/' || c == '\\'; },
                    '_');
  }
  m_selectedPath = m_saveFolder + "/" + safeName + kExtension;
  m_changed = true;
}

bool CMemCardDX::Exists(const char* name) {
  if (!m_enumerated || !name) return false;
  return std::any_of(m_names.begin(), m_names.end(),
                     [name](const std::string& found) { return SameIgnoringCase(found, name); });
}

bool CMemCardDX::Load() {
  m_changed = false;
  UniqueFile file(std::fopen(m_selectedPath.c_str(), "rb"));
  if (!file) {
    if (errno != ENOENT) {
      HM_REPORT(kSource, "Cannot open %s: %s", m_selectedPath.c_str(), std::strerror(errno));
    }
    return false;
  }
  const size_t read = std::fread(GetData(), 1, GetTotalSize(), file.get());
  file.reset();
  if (read == GetTotalSize() && UpdateChecksum()) return true;
  if (read < GetTotalSize()) {
    HM_REPORT(kSource, "%s is damaged: %zu bytes where a save holds %u", m_selectedPath.c_str(),
              read, GetTotalSize());
  } else {
    HM_REPORT(kSource, "%s is damaged: its checksum does not match", m_selectedPath.c_str());
  }
  const SSaveMessageTexts texts = CurrentTexts();
  AskUntilAnswered(texts.corruptedFile, texts.ok, nullptr);
  return false;
}

bool CMemCardDX::Save() {
  UpdateChecksum();
  const SSaveMessageTexts texts = CurrentTexts();
  if (!m_overwrite && PathExists(m_selectedPath)) {
    const int32_t answer = AskUntilAnswered(texts.overwriteQuestion, texts.yes, texts.no);
    // No answer (the program is ending) refuses as "no" does: nothing is replaced unasked.
    if (answer == 2 || answer == 0) {
      if (answer == 2) AskUntilAnswered(texts.saveFailed, texts.ok, nullptr);
      return false;
    }
  }
  if (!WriteBlockSafely()) {
    AskUntilAnswered(texts.saveFailed, texts.ok, nullptr);
    return false;
  }
  m_changed = false;
  return true;
}

void CMemCardDX::SetOverwrite(bool allowed) {
  m_overwrite = allowed;
  m_changed = true;
}

bool CMemCardDX::GetOverwrite() { return m_overwrite; }

int32_t CMemCardDX::AskUntilAnswered(const char* text, const char* firstButton,
                                     const char* secondButton) {
  int32_t answer = 0;
  do {
    answer = ShowMessage("", text, firstButton, secondButton, 0);
  } while (answer == 0 && IsEngineRunning());
  return answer;
}

// Temporary file, synced, renamed over the old one, folder synced: at every moment the save
// folder holds either the old save or the new one, whole.
bool CMemCardDX::WriteBlockSafely() {
  const std::string temporary = m_selectedPath + ".tmp";
  UniqueFile file(std::fopen(temporary.c_str(), "wb"));
  if (!file) {
    HM_REPORT(kSource, "Cannot create %s: %s", temporary.c_str(), std::strerror(errno));
    return false;
  }
  char reason[512] = "the data could not all be written";
  bool written = m_writer(file.get(), GetData(), GetTotalSize()) &&
                 PlatformSyncFile(file.get(), reason, sizeof reason);
  if (std::fclose(file.release()) != 0 && written) {
    std::snprintf(reason, sizeof reason, "cannot close: %s", std::strerror(errno));
    written = false;
  }
  if (!written || !KeepDamagedFileAside()) {
    if (!written) HM_REPORT(kSource, "Cannot write %s: %s", temporary.c_str(), reason);
    std::remove(temporary.c_str());
    return false;
  }
  if (std::rename(temporary.c_str(), m_selectedPath.c_str()) != 0) {
    HM_REPORT(kSource, "Cannot replace %s: %s", m_selectedPath.c_str(), std::strerror(errno));
    std::remove(temporary.c_str());
    return false;
  }
  if (!PlatformSyncFolder(m_saveFolder.c_str(), reason, sizeof reason)) {
    HM_REPORT(kSource, "The save %s may not survive a crash: %s", m_selectedPath.c_str(), reason);
    return false;
  }
  return true;
}

// A damaged file may still hold what someone can recover: it moves to "<file>.damaged" (or
// "<file>.damaged-2" and on, never over an earlier one) before the new save takes its place.
bool CMemCardDX::KeepDamagedFileAside() {
  if (!PathExists(m_selectedPath) || FileHoldsValidBlock(m_selectedPath.c_str())) return true;
  std::string aside = m_selectedPath + ".damaged";
  for (int number = 2; PathExists(aside); ++number) {
    aside = m_selectedPath + ".damaged-" + std::to_string(number);
  }
  if (std::rename(m_selectedPath.c_str(), aside.c_str()) != 0) {
    HM_REPORT(kSource, "Cannot keep the damaged %s aside as %s: %s", m_selectedPath.c_str(),
              aside.c_str(), std::strerror(errno));
    return false;
  }
  HM_REPORT(kSource, "The damaged %s was kept as %s", m_selectedPath.c_str(), aside.c_str());
  return true;
}

bool CMemCardDX::FileHoldsValidBlock(const char* path) const {
  UniqueFile file(std::fopen(path, "rb"));
  if (!file) return false;
  const uint32_t size = GetTotalSize();
  std::unique_ptr<uint8_t[]> block(new uint8_t[size]);
  if (std::fread(block.get(), 1, size, file.get()) != size) return false;
  return ComputeChecksum(block.get(), size) == StoredChecksum(block.get(), size);
}
