#include "Quor/DirectX/CMemCardDX.h"

#include "Platform/PlatformFiles.h"
#include "Platform/PlatformSystem.h"
#include "Platform/PlatformTestDriver.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/Engine.h"
#include "Quor/ReportError.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>

namespace {

namespace fs = std::filesystem;

const char* const kCMemCardDXSource = "Quor/DirectX/CMemCardDX";
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
  return fs::exists(path, error);
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
    HM_REPORT(kCMemCardDXSource, "Cannot create the save folder %s: %s", m_saveFolder.c_str(), std::strerror(errno));
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
  for (fs::directory_iterator entry(m_saveFolder, error), end;
       !error && entry != end; entry.increment(error)) {
    const std::string fileName = entry->path().filename().string();
    std::error_code typeError;
    if (!HasSaveExtension(fileName) || !entry->is_regular_file(typeError)) continue;
    m_names.push_back(fileName.substr(0, fileName.size() - std::strlen(kExtension)));
  }
  if (error)
    HM_REPORT(kCMemCardDXSource, "Cannot list the save folder %s: %s", m_saveFolder.c_str(), error.message().c_str());
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
    HM_REPORT(kCMemCardDXSource, "The save name \"%s\" holds a path separator; it is replaced by '_'",
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

// The file is read aside and reaches the owner's block only whole and with a matching
// checksum: a damaged file never replaces the progress in memory.
bool CMemCardDX::Load() {
  m_changed = false;
  std::unique_ptr<uint8_t[]> block(new uint8_t[GetTotalSize()]);
  std::string damage;
  const EBlockFile state = ReadBlockFile(m_selectedPath, block.get(), &damage);
  if (state == EBlockFile::kUnreadable) {
    HM_REPORT(kCMemCardDXSource, "Cannot open %s: %s", m_selectedPath.c_str(), damage.c_str());
    return false;
  }
  if (state == EBlockFile::kDamaged) {
    HM_REPORT(kCMemCardDXSource, "%s is damaged: %s", m_selectedPath.c_str(), damage.c_str());
  }
  if (state == EBlockFile::kValid || RestoreNewestGoodCopy(block.get())) {
    std::memcpy(GetData(), block.get(), GetTotalSize());
    return true;
  }
  if (state == EBlockFile::kMissing) return false;
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

// Each unanswered poll runs a service pass, so the window keeps taking events (the player's
// click among them) while the question is open; a quit request ends the wait unanswered.
int32_t CMemCardDX::AskUntilAnswered(const char* text, const char* firstButton,
                                     const char* secondButton) {
  for (;;) {
    const int32_t answer = ShowMessage("", text, firstButton, secondButton, 0);
    if (answer != 0) return answer;
    if (!EngineServicePass()) return 0;
  }
}

// Temporary file, synced, renamed over the old one, folder synced: at every moment the save
// folder holds either the old save or the new one, whole.
bool CMemCardDX::WriteBlockSafely() {
  const std::string temporary = m_selectedPath + ".tmp";
  UniqueFile file(std::fopen(temporary.c_str(), "wb"));
  if (!file) {
    HM_REPORT(kCMemCardDXSource, "Cannot create %s: %s", temporary.c_str(), std::strerror(errno));
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
    if (!written) HM_REPORT(kCMemCardDXSource, "Cannot write %s: %s", temporary.c_str(), reason);
    std::remove(temporary.c_str());
    return false;
  }
  PlatformTestDriverBeforeReplacing(m_selectedPath.c_str(), temporary.c_str());
  if (std::rename(temporary.c_str(), m_selectedPath.c_str()) != 0) {
    HM_REPORT(kCMemCardDXSource, "Cannot replace %s: %s", m_selectedPath.c_str(), std::strerror(errno));
    std::remove(temporary.c_str());
    return false;
  }
  if (!PlatformSyncFolder(m_saveFolder.c_str(), reason, sizeof reason)) {
    HM_REPORT(kCMemCardDXSource, "The save %s may not survive a crash: %s", m_selectedPath.c_str(), reason);
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
    HM_REPORT(kCMemCardDXSource, "Cannot keep the damaged %s aside as %s: %s", m_selectedPath.c_str(), aside.c_str(),
              std::strerror(errno));
    return false;
  }
  HM_REPORT(kCMemCardDXSource, "The damaged %s was kept as %s", m_selectedPath.c_str(), aside.c_str());
  return true;
}

CMemCardDX::EBlockFile CMemCardDX::ReadBlockFile(const std::string& path, uint8_t* block,
                                                 std::string* damage) const {
  UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    if (errno == ENOENT) return EBlockFile::kMissing;
    *damage = std::strerror(errno);
    return EBlockFile::kUnreadable;
  }
  const uint32_t size = GetTotalSize();
  const size_t read = std::fread(block, 1, size, file.get());
  if (read < size) {
    *damage = std::to_string(read) + " bytes where a save holds " + std::to_string(size);
    return EBlockFile::kDamaged;
  }
  if (ComputeChecksum(block, size) != StoredChecksum(block, size)) {
    *damage = "its checksum does not match";
    return EBlockFile::kDamaged;
  }
  std::string refusal;
  if (!AcceptsBody(block, size, &refusal)) {
    *damage = "its data is refused: " + refusal;
    return EBlockFile::kDamaged;
  }
  return EBlockFile::kValid;
}

bool CMemCardDX::AcceptsBody(const uint8_t*, uint32_t, std::string*) const { return true; }

bool CMemCardDX::FileHoldsValidBlock(const char* path) const {
  std::unique_ptr<uint8_t[]> block(new uint8_t[GetTotalSize()]);
  std::string damage;
  return ReadBlockFile(path, block.get(), &damage) == EBlockFile::kValid;
}

// The side copies of the selected save: its temporary file and the damaged files kept aside,
// newest first. A save cut off between keeping the old file aside and its final rename leaves
// its new data only in the temporary file.
std::vector<std::string> CMemCardDX::SideCopiesNewestFirst() const {
  const std::string fileName = fs::path(m_selectedPath).filename().string();
  std::vector<std::pair<fs::file_time_type, std::string>> copies;
  std::error_code error;
  for (fs::directory_iterator entry(m_saveFolder, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = entry->path().filename().string();
    const bool sideCopy = name == fileName + ".tmp" || name.rfind(fileName + ".damaged", 0) == 0;
    std::error_code timeError;
    const fs::file_time_type written = entry->last_write_time(timeError);
    if (sideCopy && !timeError) copies.emplace_back(written, entry->path().string());
  }
  std::sort(copies.begin(), copies.end(), std::greater<>());
  std::vector<std::string> paths;
  for (const auto& copy : copies) paths.push_back(copy.second);
  return paths;
}

// The newest side copy that holds a whole save is read into `block` and takes the save's
// name again, so the next save replaces it the usual, safe way.
bool CMemCardDX::RestoreNewestGoodCopy(uint8_t* block) {
  for (const std::string& copy : SideCopiesNewestFirst()) {
    std::string damage;
    if (ReadBlockFile(copy, block, &damage) != EBlockFile::kValid) continue;
    HM_REPORT(kCMemCardDXSource, "%s is restored from %s", m_selectedPath.c_str(), copy.c_str());
    if (!KeepDamagedFileAside() || std::rename(copy.c_str(), m_selectedPath.c_str()) != 0) {
      HM_REPORT(kCMemCardDXSource, "Cannot put %s back as %s: %s", copy.c_str(), m_selectedPath.c_str(),
                std::strerror(errno));
    }
    return true;
  }
  return false;
}
