#include "Src/Menu/Vey_ExtrasWallpaperMenu.h"

#include "Framework/omLayout2D.h"
#include "Quor/CVFS.h"
#include "Quor/Engine.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Menu/Vey_MenuBox.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace Vey {

namespace {

constexpr const char* kVeyExtrasWallpaperMenuSource = "Src/Menu/Vey_ExtrasWallpaperMenu";
constexpr const char* kWallpaperPreviewNames[CExtrasPage::kPreviewCount] = {
    "root/Frame/Wallpaper1", "root/Frame/Wallpaper2", "root/Frame/Wallpaper3"};
constexpr float kFourToThree = 4.0f / 3.0f;
// The German title is long: it is drawn smaller than the layout has it.
constexpr float kGermanTitleSize = 14.0f;

bool ReadContentFile(const std::string& name, std::vector<uint8_t>& bytes) {
  CVFS* vfs = GetVFS();
  VfsFile* file = vfs ? vfs->Open(name.c_str()) : nullptr;
  if (!file) {
    HM_REPORT(kVeyExtrasWallpaperMenuSource, "The wallpaper \"%s\" is not in the content", name.c_str());
    return false;
  }
  const int size = vfs->GetSize(file);
  bytes.resize(size > 0 ? size_t(size) : 0);
  const int read = bytes.empty() ? 0 : vfs->Read(file, bytes.data(), size, false);
  vfs->Close(file);
  if (size <= 0 || read != size) {
    HM_REPORT(kVeyExtrasWallpaperMenuSource, "The wallpaper \"%s\" could not be read (%d of %d bytes)", name.c_str(),
              read, size);
    return false;
  }
  return true;
}

// Written beside its place and renamed over it, so an older picture is never left half
// overwritten. False with the reason.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string& reason) {
  const std::string part = path + ".part";
  std::FILE* file = std::fopen(part.c_str(), "wb");
  if (!file) {
    reason = std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int writeError = errno;
  const bool closed = std::fclose(file) == 0;
  if (written && closed && std::rename(part.c_str(), path.c_str()) == 0) return true;
  reason = std::strerror(written ? errno : writeError);
  std::remove(part.c_str());
  return false;
}

}  // namespace

const char* WallpaperResolution(float aspect) { return aspect > kFourToThree + 1e-4f ? "1280x800" : "1024x768"; }

std::string WallpaperSource(int32_t index, float aspect) {
  char name[64];
  std::snprintf(name, sizeof name, "Wallpapers\\Wallpaper%d_%s.bmp", index + 1, WallpaperResolution(aspect));
  return name;
}

CExtrasWallpaperMenu::CExtrasWallpaperMenu(Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary,
                                           CSoundContainer* sounds, IMenuNotice* notice)
    : CExtrasPage(layout, dictionary, sounds, "ExtrasWallpaperMenuRenderer", kWallpaperPreviewNames),
      m_layout(layout),
      m_notice(notice) {}

CExtrasWallpaperMenu::~CExtrasWallpaperMenu() = default;

void CExtrasWallpaperMenu::SetDesktop(std::unique_ptr<IWallpaperPortal> portal, std::string folder) {
  m_portal = std::move(portal);
  m_folder = std::move(folder);
}

float CExtrasWallpaperMenu::GetAlpha() const {
  if (state == kNotice) return m_notice ? CrossFadeBehind(*m_notice) : 1.0f;
  return CExtrasPage::GetAlpha();
}

void CExtrasWallpaperMenu::ReadNestedInput() {
  if (m_notice) m_notice->ReadInput();
}

void CExtrasWallpaperMenu::UpdateNested(float dt) {
  if (m_notice) m_notice->Update(dt);
  if (!m_notice || m_notice->state == IMenuBox::kClosed) state = kOpen;
}

// The notice tells what came of it; a failure has been reported and the page stays.
void CExtrasWallpaperMenu::Use() {
  const EExport result = ExportWallpaper();
  if (result != kExportFailed && m_notice) {
    if (result == kWallpaperSet) {
      m_notice->Tell(IMenuNotice::kWallpaperSet);
    } else {
      m_notice->SetSavedPath(m_savedPath.c_str());
      m_notice->Tell(IMenuNotice::kWallpaperSaved);
    }
    state = kNotice;
  }
  if (CButton2* use = UseButton()) use->selected = false;
}

bool CExtrasWallpaperMenu::WritePicture(const std::string& source, std::string& written) {
  std::vector<uint8_t> bytes;
  if (!ReadContentFile(source, bytes)) return false;
  const std::string folder = m_folder.empty() ? PlatformPicturesFolder() : m_folder;
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  written = folder + "/Hollowmere Wallpaper " + std::to_string(wallpaperIndex + 1) + ".bmp";
  std::string reason;
  if (WriteWholeFile(written, bytes, reason)) return true;
  HM_REPORT(kVeyExtrasWallpaperMenuSource, "The wallpaper could not be written to \"%s\": %s", written.c_str(),
            reason.c_str());
  return false;
}

CExtrasWallpaperMenu::EExport CExtrasWallpaperMenu::ExportWallpaper() {
  std::string written;
  if (!WritePicture(WallpaperSource(wallpaperIndex, GetAspect()), written)) return kExportFailed;
  m_savedPath = written;
  if (!m_portal) m_portal = PlatformCreateWallpaperPortal();
  std::string detail;
  return m_portal->SetWallpaper(written, &detail) == IWallpaperPortal::kSet ? kWallpaperSet : kPictureSaved;
}

void CExtrasWallpaperMenu::Render() {
  const float alpha = GetAlpha();
  if (state == kClosed || alpha <= 0.0f) return;
  Ombrel::SLayoutItem* item = m_layout ? m_layout->FindItem(kTitle) : nullptr;
  Ombrel::SLayoutText* title = item && item->kind == Ombrel::kLayoutText ? static_cast<Ombrel::SLayoutText*>(item) : nullptr;
  const float titleSize = title ? title->style.height : 0.0f;
  if (title && GetLanguage() == kLangGerman) title->style.height = kGermanTitleSize;
  DrawLayout(alpha);
  if (title) title->style.height = titleSize;
}

}  // namespace Vey
