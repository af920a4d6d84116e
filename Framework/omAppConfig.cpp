#include "Framework/omAppConfig.h"

#include "Framework/omRenderModule.h"
#include "Framework/omSaveModule.h"
#include "Platform/PlatformSystem.h"
#include "Quor/CViewCamera.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/ReportError.h"

#include <algorithm>

namespace Ombrel {

namespace {
constexpr const char* kOmAppConfigSource = "Framework/omAppConfig";
constexpr size_t kMaxPathLength = 4095;
}  // namespace

CAppConfig::~CAppConfig() = default;

void CAppConfig::CreatePlayerTable() {
  m_players = std::make_unique<SPlayer[]>(kMaxPlayerCount);
  for (int32_t i = 0; i < kMaxPlayerCount; ++i) {
    m_players[i].index = static_cast<uint32_t>(i);
    m_players[i].active = 1;
  }
}

void CAppConfig::FreePlayerTable() { m_players.reset(); }

const CAppConfig::SPlayer* CAppConfig::GetPlayer(int32_t index) const {
  if (!m_players || index < 0 || index >= kMaxPlayerCount) return nullptr;
  return &m_players[index];
}

void CAppConfig::ConfigureFromSaves() {
  CSaveModule* saves = GetSaveModule();
  if (saves && saves->IsInitialised() && saves->GetSaveData()) {
    m_fullScreen = static_cast<const uint8_t*>(saves->GetSaveData())[kSaveFullScreenOffset] != 0;
  }
  SetFullscreen(m_fullScreen);
}

void CAppConfig::SetFullscreen(bool fullScreen) {
  m_fullScreen = fullScreen;
  m_modeSwitchPending = true;
  if (!m_deferModeSwitches) ApplyPendingModeSwitch();
}

void CAppConfig::ApplyPendingModeSwitch() {
  if (!m_modeSwitchPending) return;
  m_modeSwitchPending = false;
  const bool fullScreen = m_fullScreen;
  const bool cursorVisible = GetPlatformState().cursorVisible;
  if (fullScreen) {
    SetFullScreenMode(cursorVisible);
  } else {
    SetWindowedMode(cursorVisible);
  }
  if (CRenderModule* render = GetRenderModule()) render->ReadWindowSize();
}

void CAppConfig::SetPlayerCount(int32_t count, bool reset) {
  m_playerCount = std::clamp(count, 0, kMaxPlayerCount);
  if (!m_players) return;
  for (int32_t i = 0; i < kMaxPlayerCount; ++i) {
    SPlayer& player = m_players[i];
    if (i < m_playerCount) {
      player.index = static_cast<uint32_t>(i);
      player.word = 0;
      player.active = 1;
    } else {
      player.active = 0;
    }
    if (reset) player.flags[0] = player.flags[1] = 0;
  }
}

bool CAppConfig::IsFullscreen() const { return !GetPlatformState().windowed; }

float CAppConfig::GetAspectRatio() const { return CurrentCameraAspectRatio(); }

float CurrentCameraAspectRatio() {
  if (!HasCurrentCamera()) return 1.0f;
  const CViewCamera* camera = GetCurrentCamera();
  switch (camera->GetAspectMode()) {
    case kAspectCustom:
      return camera->GetAspect();
    case kAspectWide:
      return 1.7777778f;
    default:
      return 1.3333334f;
  }
}

std::string ExecutableFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return path;
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool RunningProgramFolder(std::string* folder, std::string* error) {
  char path[kMaxPathLength + 1];
  char reason[512] = {};
  if (!PlatformExecutablePath(path, sizeof path, reason, sizeof reason)) {
    *error = reason;
    return false;
  }
  *folder = ExecutableFolder(path);
  return true;
}

void SetWorkingDirectory() {
  std::string folder;
  std::string error;
  char reason[512] = {};
  if (!RunningProgramFolder(&folder, &error)) {
    HM_REPORT(kOmAppConfigSource, "The working directory stays as it was: %s", error.c_str());
  } else if (!PlatformSetCurrentFolder(folder.c_str(), reason, sizeof reason)) {
    HM_REPORT(kOmAppConfigSource, "The working directory stays as it was: %s", reason);
  }
}

}  // namespace Ombrel
