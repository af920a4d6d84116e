#include "Framework/omLogo.h"

#include "Framework/omAppConfig.h"
#include "Framework/omLogoRenderer.h"
#include "Quor/CPathResolver.h"
#include "Quor/CVFS.h"
#include "Quor/Engine.h"
#include "Quor/FrameLimiter.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <memory>

namespace Ombrel {

namespace {

constexpr const char* kExtensions[] = {"jpg", "bmp", "mpt"};
constexpr const char* kJpegExtension = "jpg";

// By language index: the suffix tried first and the one tried second.
constexpr const char* kFirstSuffixes[] = {"US", "UK", "DE", "FR", "CA", "ES", "LA", "IT", "NL", "RU"};
constexpr const char* kSecondSuffixes[] = {"EN", "EN", "DE", "FR", "FR", "ES", "ES", "IT", "NL", "RU"};
constexpr int32_t kSuffixLanguages = static_cast<int32_t>(sizeof kFirstSuffixes / sizeof *kFirstSuffixes);

// The suffixes a localized name is tried with, in order ("" for the plain name).
std::vector<const char*> LocaleSuffixes(bool localized, int32_t language) {
  if (!localized) return {""};
  if (language >= 0 && language < kSuffixLanguages) return {kFirstSuffixes[language], kSecondSuffixes[language]};
  return {"", kFirstSuffixes[kLangEnglish], kSecondSuffixes[kLangEnglish]};
}

bool VfsCanOpen(const char* name) {
  if (!g_pVFS) return false;
  VfsFile* file = g_pVFS->Open(name);
  if (!file) return false;
  g_pVFS->Close(file);
  return true;
}

bool HasJpegExtension(const std::string& fileName) {
  const size_t dot = fileName.rfind('.');
  if (dot == std::string::npos) return false;
  std::string extension = fileName.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == kJpegExtension;
}

// While it lives the engine's file system reads plain files below the given root; the one
// before comes back afterwards.
class CPlainFilesScope {
 public:
  explicit CPlainFilesScope(const std::string& root) : m_previous(g_pVFS), m_archive(CVFS::IsArchiveMode()) {
    CVFS::SetArchiveMode(false);
    m_plain = std::make_unique<CVFS>(root.c_str());
    g_pVFS = m_plain.get();
  }
  ~CPlainFilesScope() {
    g_pVFS = m_previous;
    m_plain.reset();
    CVFS::SetArchiveMode(m_archive);
  }
  CPlainFilesScope(const CPlainFilesScope&) = delete;
  CPlainFilesScope& operator=(const CPlainFilesScope&) = delete;

 private:
  CVFS* m_previous;
  bool m_archive;
  std::unique_ptr<CVFS> m_plain;
};

}  // namespace

std::vector<SLogoImage> LogoImageCandidates(const char* name, bool localized, int32_t language) {
  std::vector<SLogoImage> candidates;
  for (const char* extension : kExtensions) {
    for (const char* suffix : LocaleSuffixes(localized, language)) {
      candidates.push_back(SLogoImage{CStr::FromFormat("%s%s.%s", name, suffix, extension),
                                      std::strcmp(extension, kJpegExtension) == 0});
    }
  }
  return candidates;
}

SLogoImage FindLogoImage(const char* name, bool localized, int32_t language) {
  for (const SLogoImage& candidate : LogoImageCandidates(name, localized, language)) {
    if (VfsCanOpen(candidate.name.GetText())) return candidate;
  }
  return SLogoImage{name, false};
}

std::vector<std::string> ListLogoFolder(const std::string& root, const char* folder) {
  std::vector<std::string> names;
  std::string path;
  if (!CPathResolver().Resolve(root, folder, &path)) return names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
    const std::string fileName = entry.path().filename().string();
    if (entry.is_regular_file(error) && HasJpegExtension(fileName)) names.push_back(fileName);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void CLogo::ShowStatic(const char* image, bool localized) { Show(image, localized, nullptr); }

void CLogo::ShowAnimated(const char* image, int32_t frameCount, int32_t rows, int32_t columns, float framesPerSecond,
                         bool localized) {
  const SGrid grid{frameCount, rows, columns, framesPerSecond};
  Show(image, localized, &grid);
}

void CLogo::Show(const char* image, bool localized, const SGrid* grid) {
  m_shown.push_back(image);
  if (!IsEngineRunning()) return;
  CLogoRenderer renderer;
  renderer.Begin(m_settings, FrameTimeLimitForMode(m_config ? m_config->GetFrameRateMode() : 0));
  if (renderer.Load(FindLogoImage(image, localized, GetLanguage())) && grid) {
    renderer.Animate(grid->frameCount, grid->rows, grid->columns, grid->framesPerSecond);
  }
  renderer.Run();
}

void CLogo::ShowFromDir(const char* folder) {
  if (!g_pVFS) return;
  const std::string root = g_pVFS->GetRootDirectory();
  const std::vector<std::string> files = ListLogoFolder(root, folder);
  CPlainFilesScope plainFiles(root);
  for (const std::string& file : files) {
    // The name without its extension: the lookup adds it back.
    const std::string stem = file.substr(0, file.rfind('.'));
    ShowStatic((std::string(folder) + "\\" + stem).c_str(), false);
  }
}

}  // namespace Ombrel
