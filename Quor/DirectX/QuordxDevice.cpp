// The device of the main window and the frame services.

#include "Quor/DirectX/QuordxDevice.h"

#include "Platform/GraphicsCapture.h"
#include "Platform/PlatformSystem.h"
#include "Platform/PlatformTestDriver.h"
#include "Quor/CLoadScreen.h"
#include "Quor/CSoundManager.h"
#include "Quor/CThread.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/Engine.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Quor/Timer.h"

#include <cstdio>
#include <memory>
#include <string>

const char* const kNoDeviceMessage = "No suitable video device found.";
const char* const kNoPixelShaderMessage = "Video device has no support for pixel shaders 2.0";

namespace {

const char* const kSource = "Quor/DirectX/QuordxDevice";

constexpr uint32_t kDeviceTypeHal = 1;
constexpr uint32_t kPixelShader20 = 0x200;
constexpr uint32_t kSmallestBackBuffer = 32;
// Bounds on the waits and retries of creation and recovery, so that a device that never comes
// back ends in the failure message instead of a program that hangs.
constexpr int kEnumerateTries = 10;
constexpr int kLostPolls = 50;
constexpr int kCreateAttempts = 5;
constexpr uint32_t kRetryPauseMs = 100;

struct SNamedFormat {
  EGfxFormat format;
  const char* name;
};
const SNamedFormat kDisplayFormats[] = {
    {GFX_FMT_X8R8G8B8, "24 bit"},
    {GFX_FMT_X1R5G5B5, "15 bit"},
    {GFX_FMT_R5G6B5, "16 bit"},
    {GFX_FMT_A2R10G10B10, "30 bit"},
};

struct SModeChoice {
  const SAdapterEntry* entry = nullptr;
  const SDisplayModeRecord* mode = nullptr;
  EGfxFormat depthFormat = GFX_FMT_UNKNOWN;
};

// The device's program-wide record.
struct SDeviceState {
  CGfxDevice* device = nullptr;
  IGfxDeviceFactory* factory = nullptr;
  SGfxPresentParams params;
  std::unique_ptr<SAdapterEntry[]> entries;
  int entryCount = 0;
  int highestEntryCount = 0;
  SModeChoice windowedChoice;
  SModeChoice fullScreenChoice;
  bool everCreated = false;
  bool resetPending = false;
  bool inFrame = false;
};
SDeviceState g_device;

IGfxDeviceFactory& Factory() { return g_device.factory ? *g_device.factory : GetGfxDeviceFactory(); }

const char* FormatName(EGfxFormat format) {
  for (const SNamedFormat& named : kDisplayFormats) {
    if (named.format == format) return named.name;
  }
  return nullptr;
}

// ---- adapters and modes

void ClearModeLists() {
  if (!g_device.entries) return;
  for (int i = 0; i < kAdapterEntryCount; ++i) {
    if (g_device.entries[i].modes) GetDisplayModePool().ClearList(g_device.entries[i].modes);
  }
  g_device.entryCount = 0;
}

void AddMode(SAdapterEntry& entry, const char* text, int32_t width, int32_t height, int32_t refresh,
             EGfxFormat format) {
  if (!entry.modes || !GetDisplayModePool().AddMode(entry.modes, text, width, height, refresh, format)) {
    HM_REPORT(kSource, "No room for the display mode \"%s\": it is left out", text);
  }
}

// The full-screen modes of an adapter in the formats the game can draw in. The desktop's own
// mode is always one of them: full screen covers the desktop without changing its mode.
void AddFullScreenModes(SAdapterEntry& entry, uint32_t adapter, const SGfxDisplayMode& desktop) {
  bool desktopListed = false;
  char text[256];
  const uint32_t count = GfxGetAdapterModeCount(adapter);
  for (uint32_t i = 0; i < count; ++i) {
    SGfxDisplayMode mode{};
    // A mode without a size (some drivers list one) cannot be drawn into.
    if (!GfxEnumAdapterModes(adapter, i, &mode) || mode.width == 0 || mode.height == 0) continue;
    const char* name = FormatName(mode.format);
    if (!name) continue;
    std::snprintf(text, sizeof text, "%4u x %4u, %s, %3u Hz", mode.width, mode.height, name,
                  mode.refreshRate);
    AddMode(entry, text, static_cast<int32_t>(mode.width), static_cast<int32_t>(mode.height),
            static_cast<int32_t>(mode.refreshRate), mode.format);
    desktopListed = desktopListed || (mode.width == desktop.width && mode.height == desktop.height &&
                                      mode.format == desktop.format);
  }
  if (!desktopListed && desktop.width > 0 && desktop.height > 0) {
    std::snprintf(text, sizeof text, "%4u x %4u, %s, %3u Hz", desktop.width, desktop.height,
                  FormatName(desktop.format), desktop.refreshRate);
    AddMode(entry, text, static_cast<int32_t>(desktop.width), static_cast<int32_t>(desktop.height),
            static_cast<int32_t>(desktop.refreshRate), desktop.format);
  }
}

// One entry per display: the device draws with the one hardware path the platform offers.
void EnumerateDisplayModes() {
  ClearModeLists();
  if (!g_device.entries) return;
  const uint32_t adapters = GfxGetAdapterCount();
  for (uint32_t adapter = 0; adapter < adapters && g_device.entryCount < kAdapterEntryCount; ++adapter) {
    SGfxDisplayMode desktop{};
    if (!GfxGetAdapterDisplayMode(adapter, &desktop) || !FormatName(desktop.format)) continue;
    SAdapterEntry& entry = g_device.entries[g_device.entryCount++];
    std::snprintf(entry.text, sizeof entry.text, "%s / %s (%s)", GfxGetVideoDriverName(),
                  GfxGetAdapterName(adapter), "HAL");
    entry.adapter = adapter;
    entry.deviceType = kDeviceTypeHal;
    char text[256];
    std::snprintf(text, sizeof text, "Windowed, %s", FormatName(desktop.format));
    AddMode(entry, text, -1, -1, 0, desktop.format);
    AddFullScreenModes(entry, adapter, desktop);
  }
}

EGfxFormat FindDepthStencilFormat() {
  for (EGfxFormat candidate : {GFX_FMT_D24S8, GFX_FMT_D24FS8, GFX_FMT_D15S1}) {
    if (GfxIsDepthFormatSupported(candidate)) return candidate;
  }
  return GFX_FMT_UNKNOWN;
}

void SelectWindowedMode() {
  SGfxDisplayMode desktop{};
  if (!GfxGetAdapterDisplayMode(0, &desktop)) return;
  SModeChoice choice;
  for (int i = 0; i < g_device.entryCount; ++i) {
    const SAdapterEntry& entry = g_device.entries[i];
    if (!entry.modes) continue;
    for (const SDisplayModeRecord* mode = entry.modes->first; mode; mode = mode->next) {
      if (mode->width < 0 && mode->displayFormat == desktop.format) {
        choice.entry = &entry;
        choice.mode = mode;
        break;
      }
    }
    if (choice.entry && choice.entry->deviceType == kDeviceTypeHal) break;
  }
  if (!choice.mode) return;
  choice.depthFormat = FindDepthStencilFormat();
  if (choice.depthFormat == GFX_FMT_UNKNOWN) HM_FATAL(kSource, "Failed to find suitable depth buffer format");
  g_device.windowedChoice = choice;
}

void SelectFullScreenMode() {
  SGfxDisplayMode desktop{};
  GfxGetAdapterDisplayMode(0, &desktop);
  // Slots: hardware in the desktop's format, hardware in another, then the same without it.
  SModeChoice best[4];
  int64_t distance[4] = {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};
  for (int i = 0; i < g_device.entryCount; ++i) {
    const SAdapterEntry& entry = g_device.entries[i];
    if (!entry.modes) continue;
    for (const SDisplayModeRecord* mode = entry.modes->first; mode; mode = mode->next) {
      if (mode->width < 0) continue;
      const int64_t dx = mode->width - static_cast<int64_t>(desktop.width);
      const int64_t dy = mode->height - static_cast<int64_t>(desktop.height);
      const int64_t d = dx * dx + dy * dy;
      const int slot = (entry.deviceType == kDeviceTypeHal ? 0 : 2) + (mode->displayFormat == desktop.format ? 0 : 1);
      if (d < distance[slot]) {
        distance[slot] = d;
        best[slot].entry = &entry;
        best[slot].mode = mode;
      }
    }
  }
  for (const SModeChoice& slot : best) {
    if (slot.mode) {
      g_device.fullScreenChoice = slot;
      break;
    }
  }
  if (!g_device.fullScreenChoice.mode) HM_FATAL(kSource, "Failed to find suitable full screen adapter / display mode");
  g_device.fullScreenChoice.depthFormat = FindDepthStencilFormat();
  if (g_device.fullScreenChoice.depthFormat == GFX_FMT_UNKNOWN)
    HM_FATAL(kSource, "Failed to find suitable depth buffer format");
}

// ---- presentation parameters

const SModeChoice& CurrentChoice() {
  const bool windowed = GetPlatformState().windowed;
  const SModeChoice& wanted = windowed ? g_device.windowedChoice : g_device.fullScreenChoice;
  // Without the wanted pair the other one still draws.
  return wanted.mode ? wanted : (windowed ? g_device.fullScreenChoice : g_device.windowedChoice);
}

// The back buffer follows the client area while windowed and the chosen mode in full screen;
// a minimised window (0 x 0) never becomes its size.
void FillPresentParams() {
  SPlatformState& state = GetPlatformState();
  const SModeChoice& choice = CurrentChoice();
  SGfxPresentParams& params = g_device.params;
  if (!state.windowed && choice.mode && choice.mode->width > 0) {
    state.backBufferWidth = choice.mode->width;
    state.backBufferHeight = choice.mode->height;
  }
  if (state.backBufferWidth <= 0 || state.backBufferHeight <= 0) {
    state.backBufferWidth = state.backBufferHeight = kSmallestBackBuffer;
  }
  params.backBufferWidth = static_cast<uint32_t>(state.backBufferWidth);
  params.backBufferHeight = static_cast<uint32_t>(state.backBufferHeight);
  state.renderWidth = state.backBufferWidth;
  state.renderHeight = state.backBufferHeight;
  params.backBufferFormat = GFX_FMT_A8R8G8B8;
  params.backBufferCount = 1;
  params.multisampleQuality = 0;
  params.swapEffect = GFX_SWAPEFFECT_DISCARD;
  params.windowed = state.windowed;
  params.enableAutoDepthStencil = true;
  params.autoDepthStencilFormat = choice.depthFormat;
  params.flags = 2;  // the depth buffer need not survive a present
  params.fullScreenRefreshRate = 0;
  params.presentationInterval = GFX_PRESENT_INTERVAL_IMMEDIATE;
}

// ---- failure

[[noreturn]] void EndForLackOfDevice(const char* message) {
  PlatformMessageBox(kGameTitle, message);
  ExitProgram(1);
}

void CheckPixelShaders(CGfxDevice* device) {
  SGfxCaps caps{};
  device->GetDeviceCaps(&caps);
  if ((caps.pixelShaderVersion & 0xFFFF) < kPixelShader20) EndForLackOfDevice(kNoPixelShaderMessage);
}

// ---- recovery

void PauseSoundFor(bool* paused) {
  CSoundManager* sound = GetSoundManager();
  *paused = sound && !sound->IsPaused();
  if (*paused) sound->PauseAll();
}

void ResumeSoundAfter(bool paused) {
  CSoundManager* sound = GetSoundManager();
  if (paused && sound) sound->ResumeAll();
}

// Waits while drawing is suspended (minimised, inactive), keeping input, sound and the pump
// served, until drawing is allowed again or the program is to end.
void WaitUntilDrawingAllowed() {
  if (IsDrawingAllowed()) return;
  bool soundPaused = false;
  PauseSoundFor(&soundPaused);
  while (!IsDrawingAllowed() && EngineServicePass()) {
    if (!IsDrawingAllowed()) SleepSeconds(0.1f);
  }
  ResumeSoundAfter(soundPaused);
}

uint32_t DeviceStatus() {
  if (!g_device.device) return GFX_ERR_NOT_AVAILABLE;  // no device calls for creation
  if (g_device.resetPending) return GFX_ERR_DEVICE_NOT_RESET;
  return g_device.device->TestCooperativeLevel();
}

// Waits a bounded while for a lost device to become resettable; what it answers then.
uint32_t WaitWhileLost() {
  uint32_t status = GFX_ERR_DEVICE_LOST;
  for (int poll = 0; poll < kLostPolls && status == GFX_ERR_DEVICE_LOST; ++poll) {
    PlatformSleepMs(kRetryPauseMs);
    status = g_device.device->TestCooperativeLevel();
  }
  return status;
}

// Creates the device again from nothing, a bounded number of times; without success the
// program ends with the failure message.
uint32_t Recreate(int* attempts) {
  while (true) {
    if (++*attempts > kCreateAttempts) EndForLackOfDevice(kNoDeviceMessage);
    ReleaseDevice();
    CreateDevice();
    if (g_device.device) return g_device.device->TestCooperativeLevel();
    PlatformSleepMs(kRetryPauseMs);
  }
}

// A lost device is waited for, then reset; anything else, a failed reset, or a loss that lasts
// too long makes the device again.
void BringDeviceBack(uint32_t status) {
  int attempts = 0;
  while (status != GFX_OK) {
    if (status == GFX_ERR_DEVICE_LOST) status = WaitWhileLost();
    if (status == GFX_ERR_DEVICE_NOT_RESET && ResetDevice()) {
      status = GFX_OK;
    } else if (status != GFX_OK) {
      status = Recreate(&attempts);
    }
  }
}

// Every device resource is released before the device is reset or made again, and restored
// after; meanwhile drawing is suspended (so engine time stands still), and the device lock and
// the loading screen are held, so no other thread draws.
void RecoverDevice(uint32_t status) {
  CCriticalSection* lock = GetDeviceLock();
  if (lock) lock->Enter();
  CLoadScreenLockScope holdLoadScreen;
  SuspendRendering();
  bool soundPaused = false;
  PauseSoundFor(&soundPaused);
  ReleaseAllDeviceResources();
  BringDeviceBack(status);
  if (!RestoreAllDeviceResources())
    HM_REPORT(kSource, "Not every drawing object came back with the device: those missing are not drawn");
  ResumeSoundAfter(soundPaused);
  GetPlatformState().deviceWasReset = true;
  ResumeRendering();
  if (lock) lock->Leave();
}

// ---- frames

void ForwardRenderState(uint32_t state, uint32_t value) {
  if (g_device.device) CDeviceStates(*g_device.device).SetRenderState(state, value);
}

// A lost device is no failure here: the next frame service brings it back.
void ReportFrameFailure(const char* call, uint32_t result) {
  if (IsDeviceFailure(result)) HM_REPORT(kSource, "The frame's %s failed (0x%08X)", call, result);
}

void CaptureFrameWhenAsked() {
  const uint32_t frame = PlatformTestDriverFrameNumber();
  if (!IsMainThread() || !PlatformTestDriverCaptureFrame(frame)) return;
  char name[32];
  std::snprintf(name, sizeof name, "frame-%05u.png", frame);
  CaptureBackBufferAs(name);
}

}  // namespace

bool CaptureBackBufferAs(const char* fileName) {
  const std::string folder = PlatformTestDriverCaptureFolder();
  if (folder.empty() || !g_device.device) return false;
  const std::string path = folder + "/" + fileName;
  SGfxImage image;
  std::string error;
  if (!PlatformMakeFolders(folder.c_str())) {
    HM_REPORT(kSource, "%s: cannot create the capture folder", folder.c_str());
  } else if (!GfxCaptureBackBuffer(*g_device.device, image)) {
    HM_REPORT(kSource, "%s: the back buffer could not be read", path.c_str());
  } else if (!GfxWritePng(path, image, error)) {
    HM_REPORT(kSource, "%s", error.c_str());
  } else {
    return true;
  }
  return false;
}

// ---- services

void InitDeviceServices() {
  g_device.entries = std::make_unique<SAdapterEntry[]>(kAdapterEntryCount);
  g_device.entryCount = 0;
  SetRenderStateSink(&ForwardRenderState);
  SetDeviceServiceHandler(&ServiceFrame);
  InstallGraphicsReportForwarding();
}

void ShutdownDeviceServices() {
  SetDeviceServiceHandler(nullptr);
  SetRenderStateSink(nullptr);
  g_device.windowedChoice = SModeChoice();
  g_device.fullScreenChoice = SModeChoice();
  g_device.entries.reset();
  g_device.entryCount = 0;
}

int GetAdapterEntryCount() { return g_device.entryCount; }

const SAdapterEntry* GetAdapterEntry(int index) {
  return index >= 0 && index < g_device.entryCount ? &g_device.entries[index] : nullptr;
}

const SDisplayModeRecord* GetWindowedMode() { return g_device.windowedChoice.mode; }
const SDisplayModeRecord* GetFullScreenMode() { return g_device.fullScreenChoice.mode; }
EGfxFormat GetChosenDepthFormat() { return CurrentChoice().depthFormat; }

void SetDeviceFactory(IGfxDeviceFactory* factory) { g_device.factory = factory; }

void RequestDeviceReset() {
  if (g_device.device) g_device.resetPending = true;
}

// ---- creation and release

void CreateDevice() {
  SuspendRendering();
  EnumerateDisplayModes();
  // A display that has not come back yet (just after a mode change) lists fewer adapters.
  for (int tries = 0; g_device.entryCount < g_device.highestEntryCount && tries < kEnumerateTries; ++tries) {
    PlatformSleepMs(kRetryPauseMs);
    EnumerateDisplayModes();
  }
  g_device.windowedChoice = SModeChoice();
  g_device.fullScreenChoice = SModeChoice();
  SelectWindowedMode();
  SelectFullScreenMode();

  SPlatformState& state = GetPlatformState();
  FillPresentParams();
  uint32_t result = 0;
  CGfxDevice* device = CreateGfxDeviceWithFallback(Factory(), state.mainWindow, g_device.params,
                                                   static_cast<uint32_t>(state.multisample), &result);
  if (!device) {
    if (!g_device.everCreated) EndForLackOfDevice(kNoDeviceMessage);
    HM_REPORT(kSource, "The device could not be created again (0x%08X)", result);
    ResumeRendering();
    ReleaseDevice();
    return;
  }
  g_device.everCreated = true;
  if (g_device.entryCount > g_device.highestEntryCount) g_device.highestEntryCount = g_device.entryCount;
  CheckPixelShaders(device);
  g_device.device = device;
  g_device.resetPending = false;
  SetD3DDevice(device);
  ResumeRendering();
}

void ReleaseDevice() {
  CLoadScreenLockScope holdLoadScreen;
  SuspendRendering();
  ReleaseAllDeviceResources();
  SetD3DDevice(nullptr);
  delete g_device.device;
  g_device.device = nullptr;
  g_device.resetPending = false;
  g_device.inFrame = false;
  ClearModeLists();
  ResumeRendering();
}

bool ResetDevice() {
  if (!g_device.device) return false;
  FillPresentParams();
  const uint32_t result = g_device.device->Reset(g_device.params);
  if (result != GFX_OK) {
    HM_REPORT(kSource, "The device could not be reset (0x%08X)", result);
    return false;
  }
  g_device.resetPending = false;
  return true;
}

void ServiceFrame() {
  if (!IsMainThread()) return;
  const SPlatformState& state = GetPlatformState();
  if (state.quitSeen || !state.mainWindow) return;
  WaitUntilDrawingAllowed();
  if (!IsDrawingAllowed()) return;  // the program is ending
  const uint32_t status = DeviceStatus();
  if (status != GFX_OK) RecoverDevice(status);
}

// ---- frames

SPlatformGameView GetGameView() {
  const SPlatformState& state = GetPlatformState();
  return PlatformGameView(state.backBufferWidth, state.backBufferHeight);
}

bool BeginDeviceFrame() {
  if (IsMainThread()) ServiceFrame();
  CGfxDevice* device = g_device.device;
  if (!device) return false;
  SPlatformState& state = GetPlatformState();
  const SPlatformGameView view = GetGameView();
  state.renderWidth = view.width;
  state.renderHeight = view.height;
  if (device->BeginScene() != GFX_OK) return false;

  const SGfxPresentParams& params = device->GetPresentParams();
  CDeviceStates states(*device);
  states.SetViewport({0, 0, params.backBufferWidth, params.backBufferHeight, 0.0f, 1.0f});
  ReportFrameFailure("Clear", device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0, 0.0f, 0));
  states.SetViewport({static_cast<uint32_t>(view.x), static_cast<uint32_t>(view.y),
                      static_cast<uint32_t>(view.width), static_cast<uint32_t>(view.height), 0.0f, 1.0f});

  SetEngineRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
  SetEngineRenderState(GFX_RS_ZENABLE, 1);
  SetEngineRenderState(GFX_RS_ZFUNC, GFX_CMP_GREATEREQUAL);
  SetEngineRenderState(GFX_RS_CLIPPING, 1);
  SetEngineRenderState(GFX_RS_ALPHABLENDENABLE, 1);
  SetEngineRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
  SetEngineRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
  states.SetSamplerState(0, GFX_SAMP_MINFILTER, GFX_TEXF_LINEAR);
  states.SetSamplerState(0, GFX_SAMP_MAGFILTER, GFX_TEXF_LINEAR);
  return true;
}

bool BeginFrame() {
  g_device.inFrame = BeginDeviceFrame();
  if (g_device.inFrame) {
    IncrementFrameCounter();
    UpdateFrameTime();
    AlphaTestOff();
    AlphaWriteOn();
  }
  return g_device.inFrame;
}

void EndFrame() {
  if (!g_device.device) return;
  ReportFrameFailure("EndScene", g_device.device->EndScene());
  if (!IsDrawingAllowed()) return;
  // Before the service: a device brought back there has lost the frame.
  CaptureFrameWhenAsked();
  ServiceFrame();
  if (g_device.device) ReportFrameFailure("Present", g_device.device->Present());
}

void FinishFrame() {
  EndFrame();
  g_device.inFrame = false;
}

bool IsInFrame() { return g_device.inFrame; }

// ---- the window's part

void UpdateClientRect() {
  SPlatformState& state = GetPlatformState();
  if (!state.mainWindow) return;
  state.windowRect = PlatformGetWindowRect(state.mainWindow);
  state.clientRect = PlatformGetClientRect(state.mainWindow);
  const int32_t width = state.clientRect.right - state.clientRect.left;
  const int32_t height = state.clientRect.bottom - state.clientRect.top;
  state.renderWidth = width;
  state.renderHeight = height;
  if (width <= 0 || height <= 0) return;  // minimised: the back buffer keeps its size
  if (width == state.backBufferWidth && height == state.backBufferHeight) return;
  state.backBufferWidth = width;
  state.backBufferHeight = height;
  RequestDeviceReset();
}

void SetWindowedMode(bool cursorVisible) {
  SPlatformState& state = GetPlatformState();
  if (state.quitSeen) return;
  CLoadScreenLockScope holdLoadScreen;
  state.windowed = true;
  ShowSystemCursor(cursorVisible);
  PlatformSetWindowFullScreen(state.mainWindow, false);
  PlatformCenterWindow(state.mainWindow, state.screenWidth, state.screenHeight);
  UpdateClientRect();
  RequestDeviceReset();
  // On a focus loss the device is brought back when the player returns.
  if (!state.focusChange) ServiceFrame();
}

void SetFullScreenMode(bool cursorVisible) {
  SPlatformState& state = GetPlatformState();
  if (state.quitSeen) return;
  CLoadScreenLockScope holdLoadScreen;
  state.windowed = false;
  ShowSystemCursor(cursorVisible);
  PlatformSetWindowFullScreen(state.mainWindow, true);
  UpdateClientRect();
  RequestDeviceReset();
  ServiceFrame();
}
