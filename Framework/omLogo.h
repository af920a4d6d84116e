#pragma once
// The logo screens that the start-up script shows; they exist while the start state's Init
// runs. The script sets the screens' timing, colour and placement, then asks for a logo: each
// Show call runs its own frame loop until the logo's time is up or the player skips it.

#include "Framework/Script/omLuaExposure.h"
#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"
#include "Quor/Utils.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Ombrel {

// Where a logo picture is read from, and whether it is a JPEG (which the framework decodes).
struct SLogoImage {
  CStr name;
  bool jpeg = false;
};

// The file names a logo picture is looked for under, in the order tried: per extension "jpg",
// "bmp", "mpt", the name with the language's first and then its second suffix ("LogoUK.jpg",
// "LogoEN.jpg"), or the plain name when not localized. A language past the suffix tables
// tries the plain name, then English's suffixes.
std::vector<SLogoImage> LogoImageCandidates(const char* name, bool localized, int32_t language);
// The first candidate the file system can open; the bare name as a non-JPEG picture when
// none can (its texture then fails to load and the screen ends at once).
SLogoImage FindLogoImage(const char* name, bool localized, int32_t language);
// The "*.jpg" files (any case of the extension) of a folder below the root, by name in byte
// order, so every machine shows them in the same order. Empty when the folder is missing.
std::vector<std::string> ListLogoFolder(const std::string& root, const char* folder);

class CAppConfig;

class CLogo : public CMemWatch {
 public:
  static constexpr const char* kScriptClassName = "Ombrel::CLogo";
  // The frames follow at the rate of the configuration's frame-rate mode as it stands when a
  // logo is shown (the start-up script sets it before the logos); without one, at the default.
  explicit CLogo(const CAppConfig* config = nullptr) : m_config(config) {}
  static void RegisterScriptMethods(CLuaExposure<CLogo>& methods);

  // Times in seconds; colour bytes on the 128 scale; size and position in the system 2-D
  // space (1792..2304 on both axes), the width divided by the display aspect when drawn.
  struct SSettings {
    float minTime = 0.0f;
    float showTime = 1.0f;
    float fadeTime = 0.3f;
    bool allowCancel = false;
    RGBA background = 0x80808080u;
    Vector2 size{152.0f, 152.0f};
    Vector2 position{2048.0f, 2044.416f};
  };

  void SetMinTime(float seconds) { m_settings.minTime = seconds; }
  void SetShowTime(float seconds) { m_settings.showTime = seconds; }
  void SetFadeTime(float seconds) { m_settings.fadeTime = seconds; }
  void SetAllowCancel(bool allow) { m_settings.allowCancel = allow; }
  void SetBackgroundColor(RGBA colour) { m_settings.background = colour; }
  void SetSize(const Vector2& size) { m_settings.size = size; }
  void SetPos(const Vector2& position) { m_settings.position = position; }
  // Each returns when its logo is over (at once while the program is not running).
  void ShowStatic(const char* image, bool localized);
  // The image is a grid of frames: the frame count, rows and columns, played at the rate.
  void ShowAnimated(const char* image, int32_t frameCount, int32_t rows, int32_t columns, float framesPerSecond,
                    bool localized);
  // Every JPEG file of a folder below the content root (beside the archive in archive mode),
  // read as plain files, one after the other as still logos.
  void ShowFromDir(const char* folder);

  const SSettings& GetSettings() const { return m_settings; }
  // The image names asked for, in order.
  const std::vector<CStr>& GetShown() const { return m_shown; }
  CScriptHandle& GetScriptHandle() { return m_scriptHandle; }

 private:
  struct SGrid {
    int32_t frameCount = 0;
    int32_t rows = 0;
    int32_t columns = 0;
    float framesPerSecond = 0.0f;
  };
  void Show(const char* image, bool localized, const SGrid* grid);

  const CAppConfig* m_config;
  SSettings m_settings;
  std::vector<CStr> m_shown;
  CScriptHandle m_scriptHandle;
};

}  // namespace Ombrel
