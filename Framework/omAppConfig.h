#pragma once
// The few settings that the start-up script and the options screen change at run time, and
// the start-up step that makes the program's folder the working directory.

#include "Framework/Script/omLuaExposure.h"
#include "Quor/CMemWatch.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Ombrel {

class CAppConfig : public CMemWatch {
 public:
  static constexpr const char* kScriptClassName = "Ombrel::CAppConfig";
  static void RegisterScriptMethods(CLuaExposure<CAppConfig>& methods);
  static constexpr int32_t kMaxPlayerCount = 4;
  static constexpr int32_t kScreenWidth = 800;
  static constexpr int32_t kScreenHeight = 600;
  // Where the full-screen switch lies in the game's save data.
  static constexpr size_t kSaveFullScreenOffset = 8;

  struct SPlayer {
    uint32_t index = 0;
    uint32_t word = 0;
    uint8_t active = 0;
    uint8_t flags[2] = {};
  };

  CAppConfig() = default;
  ~CAppConfig() override;

  // The player table exists while the configuration is bound (from the application's Start
  // to its end); entry i holds index i, active.
  void CreatePlayerTable();
  void FreePlayerTable();
  // Null while there is no table or the index is outside 0..3.
  const SPlayer* GetPlayer(int32_t index) const;

  // The methods the start-up script calls.
  void ConfigureFromSaves();
  void SetFPSLimitI(int32_t mode) { m_frameRateMode = mode; }
  // Switches the display between full screen and a window, and reads the window's size again;
  // while switches are deferred (the application's frames run), the last one asked for waits
  // for ApplyPendingModeSwitch: a switch resets the device, which must not happen in the middle
  // of a frame.
  void SetFullscreen(bool fullScreen);
  void DeferModeSwitches(bool defer) { m_deferModeSwitches = defer; }
  bool IsModeSwitchPending() const { return m_modeSwitchPending; }
  // The switch asked for, if any; the application calls it when a frame has been presented.
  void ApplyPendingModeSwitch();
  void SetWidescreen(bool widescreen) { m_widescreen = widescreen; }
  // The count is kept within 0..4; entries from the count on become inactive, and `reset`
  // clears the two further flags of all four.
  void SetPlayerCount(int32_t count, bool reset);
  bool IsFullscreen() const;
  bool IsWidescreen() const { return m_widescreen; }
  int32_t GetPlayerCount() const { return m_playerCount; }
  int32_t GetMaxPlayerCount() const { return kMaxPlayerCount; }
  int32_t GetScreenWidth() const { return kScreenWidth; }
  int32_t GetScreenHeight() const { return kScreenHeight; }
  // CurrentCameraAspectRatio.
  float GetAspectRatio() const;

  int32_t GetFrameRateMode() const { return m_frameRateMode; }
  bool GetFullScreenFlag() const { return m_fullScreen; }
  CScriptHandle& GetScriptHandle() { return m_scriptHandle; }

 private:
  int32_t m_frameRateMode = 0;
  bool m_fullScreen = false;
  bool m_deferModeSwitches = false;
  bool m_modeSwitchPending = false;
  bool m_widescreen = false;
  int32_t m_playerCount = kMaxPlayerCount;
  std::unique_ptr<SPlayer[]> m_players;
  CScriptHandle m_scriptHandle;
};

// The render camera's ratio by its aspect mode (16:9, 4:3 or its own; an unknown mode counts
// as 4:3); 1.0 without a render camera.
float CurrentCameraAspectRatio();
// The folder part of a program path: up to its last '/', or the whole path without one.
std::string ExecutableFolder(const std::string& path);
// The running program's folder; false with the reason when it cannot be read.
bool RunningProgramFolder(std::string* folder, std::string* error);
// Makes the running program's folder the working directory; a failure is reported.
void SetWorkingDirectory();

}  // namespace Ombrel
