#pragma once
// The logo screens that the start-up script shows; they exist while the start state's Init
// runs. The script sets the screens' timing, colour and placement, then asks for a logo.

#include "Framework/Script/omLuaExposure.h"
#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"
#include "Quor/Utils.h"

#include <cstdint>
#include <vector>

namespace Ombrel {

class CLogo : public CMemWatch {
 public:
  static constexpr const char* kScriptClassName = "Ombrel::CLogo";
  static void RegisterScriptMethods(CLuaExposure<CLogo>& methods);

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
  // The logo screens themselves are not drawn yet: a request is kept, by its image name, so
  // the start-up sequence can be followed.
  void ShowStatic(const char* image, bool localized);
  void ShowAnimated(const char* image, int32_t gridA, int32_t gridB, int32_t gridC, float framesPerSecond,
                    bool localized);
  void ShowFromDir(const char* folder);

  const SSettings& GetSettings() const { return m_settings; }
  const std::vector<CStr>& GetShown() const { return m_shown; }
  CScriptHandle& GetScriptHandle() { return m_scriptHandle; }

 private:
  SSettings m_settings;
  std::vector<CStr> m_shown;
  CScriptHandle m_scriptHandle;
};

}  // namespace Ombrel
