#pragma once
// The extras area's wallpaper page: three wallpapers to flip through, and a button that puts the
// one shown on the player's desktop. The picture is written into the user's pictures folder;
// then the desktop is asked to show it through its portal. The notice box says "wallpaper set"
// only when the desktop said so, and otherwise tells where the picture was saved; a picture
// that could not be read or written is reported and nothing is announced.

#include "Platform/PlatformDesktop.h"
#include "Src/Menu/Vey_ExtrasPage.h"

#include <memory>
#include <string>

namespace Vey {

class IMenuNotice;

// The picture for a window of that shape: "1280x800" when it is wider than 4:3, else
// "1024x768".
const char* WallpaperResolution(float aspect);
// The wallpaper's content file, 0..2, at the window's shape.
std::string WallpaperSource(int32_t index, float aspect);

class CExtrasWallpaperMenu : public CExtrasPage {
 public:
  static constexpr const char* kLayoutName = "WallpaperSelection";
  static constexpr const char* kTitle = "root/text_wallpapers";
  static constexpr int32_t kNotice = kNested;
  enum EExport { kExportFailed, kWallpaperSet, kPictureSaved };

  // Nothing is owned; without a notice box the page stays shown after an export.
  CExtrasWallpaperMenu(Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary, CSoundContainer* sounds,
                       IMenuNotice* notice);
  ~CExtrasWallpaperMenu() override;

  // The desktop to use instead of the player's: its portal, and the folder the picture goes to
  // (empty: the pictures folder).
  void SetDesktop(std::unique_ptr<IWallpaperPortal> portal, std::string folder);

  // Writes the picture shown and asks the desktop to show it.
  EExport ExportWallpaper();
  const std::string& GetSavedPath() const { return m_savedPath; }
  void Render();
  // Cross-fades with the notice box while it is open.
  float GetAlpha() const override;

  int32_t& wallpaperIndex = shownIndex;

 private:
  void Use() override;
  void ReadNestedInput() override;
  void UpdateNested(float dt) override;
  bool WritePicture(const std::string& source, std::string& written);

  Ombrel::CLayout2D* m_layout;
  IMenuNotice* m_notice;
  std::unique_ptr<IWallpaperPortal> m_portal;  // made at the first export unless given
  std::string m_folder;
  std::string m_savedPath;
};

}  // namespace Vey
