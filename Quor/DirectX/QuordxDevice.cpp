// The device of the main window and the frame services.

#include "Quor/DirectX/QuordxDevice.h"

#include "Platform/GraphicsCapture.h"
#include "Platform/PlatformSystem.h"
#include "Platform/PlatformTestDriver.h"
#include "Quor/CSoundManager.h"
#include "Quor/CThread.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DirectX/QuordxTestSeams.h"
#include "Quor/DrawSubmission.h"
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

const char* const kQuordxDeviceSource = "Quor/DirectX/QuordxDevice";

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
SDeviceState g_deviceRecord;

IGfxDeviceFactory& Factory() { return g_deviceRecord.factory ? *g_deviceRecord.factory : GetGfxDeviceFactory(); }

const char* FormatName(EGfxFormat format) {
  for (const SNamedFormat& named : kDisplayFormats) {
    if (named.format == format) return named.name;
  }
  return nullptr;
}

// ---- adapters and modes

void ClearModeLists() {
  if (!g_deviceRecord.entries) return;
  for (int i = 0; i < kAdapterEntryCount; ++i) {
    if (g_deviceRecord.entries[i].modes) GetDisplayModePool().ClearList(g_deviceRecord.entries[i].modes);
  }
  g_deviceRecord.entryCount = 0;
}

void AddMode(SAdapterEntry& entry, const char* text, int32_t width, int32_t height, int32_t refresh,
             EGfxFormat format) {
  if (!entry.modes || !GetDisplayModePool().AddMode(entry.modes, text, width, height, refresh, format)) {
    HM_REPORT(kQuordxDeviceSource, "No room for the display mode \"%s\": it is left out", text);
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
  if (!g_deviceRecord.entries) return;
  const uint32_t adapters = GfxGetAdapterCount();
  for (uint32_t adapter = 0; adapter < adapters && g_deviceRecord.entryCount < kAdapterEntryCount; ++adapter) {
    SGfxDisplayMode desktop{};
    if (!GfxGetAdapterDisplayMode(adapter, &desktop) || !FormatName(desktop.format)) continue;
    SAdapterEntry& entry = g_deviceRecord.entries[g_deviceRecord.entryCount++];
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
  for (int i = 0; i < g_deviceRecord.entryCount; ++i) {
    const SAdapterEntry& entry = g_deviceRecord.entries[i];
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
  if (choice.depthFormat == GFX_FMT_UNKNOWN)
    HM_FATAL(kQuordxDeviceSource, "Failed to find suitable depth buffer format");
  g_deviceRecord.windowedChoice = choice;
}

void SelectFullScreenMode() {
  SGfxDisplayMode desktop{};
  GfxGetAdapterDisplayMode(0, &desktop);
  // Slots: hardware in the desktop's format, hardware in another, then the same without it.
  SModeChoice best[4];
  int64_t distance[4] = {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};
  for (int i = 0; i < g_deviceRecord.entryCount; ++i) {
    const SAdapterEntry& entry = g_deviceRecord.entries[i];
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
      g_deviceRecord.fullScreenChoice = slot;
      break;
    }
  }
  if (!g_deviceRecord.fullScreenChoice.mode)
    HM_FATAL(kQuordxDeviceSource, "Failed to find suitable full screen adapter / display mode");
  g_deviceRecord.fullScreenChoice.depthFormat = FindDepthStencilFormat();
  if (g_deviceRecord.fullScreenChoice.depthFormat == GFX_FMT_UNKNOWN)
    HM_FATAL(kQuordxDeviceSource, "Failed to find suitable depth buffer format");
}

// ---- presentation parameters

const SModeChoice& CurrentChoice() {
  const bool windowed = GetPlatformState().windowed;
  const SModeChoice& wanted = windowed ? g_deviceRecord.windowedChoice : g_deviceRecord.fullScreenChoice;
  // Without the wanted pair the other one still draws.
  return wanted.mode ? wanted : (windowed ? g_deviceRecord.fullScreenChoice : g_deviceRecord.windowedChoice);
}

// The back buffer follows the client area as the display made it, in full screen too: a window
// manager may leave a full-screen window smaller than the desktop, and a desktop-sized picture
// would then show only its lower-left part. The chosen mode stands in while the client area is
// unknown; a minimised window (0 x 0) never becomes its size.
void FillPresentParams() {
  const SPlatformState& state = GetPlatformState();
  const SModeChoice& choice = CurrentChoice();
  SGfxPresentParams& params = g_deviceRecord.params;
  const bool clientKnown = state.clientRect.right > state.clientRect.left && state.clientRect.bottom > state.clientRect.top;
  if (!state.windowed && !clientKnown && choice.mode && choice.mode->width > 0) {
    SetBackBufferSize(choice.mode->width, choice.mode->height);
  }
  if (state.backBufferWidth <= 0 || state.backBufferHeight <= 0) {
    SetBackBufferSize(kSmallestBackBuffer, kSmallestBackBuffer);
  }
  params.backBufferWidth = static_cast<uint32_t>(state.backBufferWidth);
  params.backBufferHeight = static_cast<uint32_t>(state.backBufferHeight);
  SetRenderArea(state.backBufferWidth, state.backBufferHeight);
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
  if (!g_deviceRecord.device) return GFX_ERR_NOT_AVAILABLE;  // no device calls for creation
  if (g_deviceRecord.resetPending) return GFX_ERR_DEVICE_NOT_RESET;
  return g_deviceRecord.device->TestCooperativeLevel();
}

// Waits a bounded while for a lost device to become resettable; what it answers then.
uint32_t WaitWhileLost() {
  uint32_t status = GFX_ERR_DEVICE_LOST;
  for (int poll = 0; poll < kLostPolls && status == GFX_ERR_DEVICE_LOST; ++poll) {
    PlatformSleepMs(kRetryPauseMs);
    status = g_deviceRecord.device->TestCooperativeLevel();
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
    if (g_deviceRecord.device) return g_deviceRecord.device->TestCooperativeLevel();
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
    HM_REPORT(kQuordxDeviceSource, "Not every drawing object came back with the device: those missing are not drawn");
  // The device came back with nothing bound: the draw layer must bind its program again.
  InvalidateDrawState();
  ResumeSoundAfter(soundPaused);
  MarkDeviceWasReset();
  ResumeRendering();
  if (lock) lock->Leave();
}

// ---- frames

void ForwardRenderState(uint32_t state, uint32_t value) {
  if (g_deviceRecord.device) CDeviceStates(*g_deviceRecord.device).SetRenderState(state, value);
}

// A lost device is no failure here: the next frame service brings it back.
void ReportFrameFailure(const char* call, uint32_t result) {
  if (IsDeviceFailure(result)) HM_REPORT(kQuordxDeviceSource, "The frame's %s failed (0x%08X)", call, result);
}

// The window shows every pixel opaque whatever alpha the drawing left in the back buffer; a
// captured frame is what the window shows.
SGfxImage& MadeOpaque(SGfxImage& image) {
  for (size_t at = 3; at < image.rgba.size(); at += 4) image.rgba[at] = 255;
  return image;
}

void CaptureFrameWhenAsked() {
  const uint32_t frame = PlatformTestDriverFrameNumber();
  if (!IsMainThread()) return;
  if (PlatformTestDriverCaptureFrame(frame)) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05u.png", frame);
    CaptureBackBufferAs(name);
  }
  if (const char* named = PlatformTestDriverCaptureName(frame)) CaptureBackBufferAs((std::string(named) + ".png").c_str());
}

}  // namespace

bool CaptureBackBufferAs(const char* fileName) {
  const std::string folder = PlatformTestDriverCaptureFolder();
  if (folder.empty() || !g_deviceRecord.device) return false;
  const std::string path = folder + "/" + fileName;
  SGfxImage image;
  std::string error;
  if (!PlatformMakeFolders(folder.c_str())) {
    HM_REPORT(kQuordxDeviceSource, "%s: cannot create the capture folder", folder.c_str());
  } else if (!GfxCaptureBackBuffer(*g_deviceRecord.device, image)) {
    HM_REPORT(kQuordxDeviceSource, "%s: the back buffer could not be read", path.c_str());
  } else if (!GfxWritePng(path, MadeOpaque(image), error)) {
    HM_REPORT(kQuordxDeviceSource, "%s", error.c_str());
  } else {
    return true;
  }
  return false;
}

// ---- services

void InitDeviceServices() {
  g_deviceRecord.entries = std::make_unique<SAdapterEntry[]>(kAdapterEntryCount);
  g_deviceRecord.entryCount = 0;
  SetRenderStateSink(&ForwardRenderState);
  SetDeviceServiceHandler(&ServiceFrame);
  InstallGraphicsReportForwarding();
}

void ShutdownDeviceServices() {
  SetDeviceServiceHandler(nullptr);
  SetRenderStateSink(nullptr);
  g_deviceRecord.windowedChoice = SModeChoice();
  g_deviceRecord.fullScreenChoice = SModeChoice();
  g_deviceRecord.entries.reset();
  g_deviceRecord.entryCount = 0;
}

int GetAdapterEntryCount() { return g_deviceRecord.entryCount; }

const SAdapterEntry* GetAdapterEntry(int index) {
  return index >= 0 && index < g_deviceRecord.entryCount ? &g_deviceRecord.entries[index] : nullptr;
}

const SDisplayModeRecord* GetWindowedMode() { return g_deviceRecord.windowedChoice.mode; }
const SDisplayModeRecord* GetFullScreenMode() { return g_deviceRecord.fullScreenChoice.mode; }
EGfxFormat GetChosenDepthFormat() { return CurrentChoice().depthFormat; }

void SetDeviceFactory(IGfxDeviceFactory* factory) { g_deviceRecord.factory = factory; }

void RequestDeviceReset() {
  if (g_deviceRecord.device) g_deviceRecord.resetPending = true;
}

// ---- creation and release

void CreateDevice() {
  SuspendRendering();
  EnumerateDisplayModes();
  // A display that has not come back yet (just after a mode change) lists fewer adapters.
  for (int tries = 0; g_deviceRecord.entryCount < g_deviceRecord.highestEntryCount && tries < kEnumerateTries; ++tries) {
    PlatformSleepMs(kRetryPauseMs);
    EnumerateDisplayModes();
  }
  g_deviceRecord.windowedChoice = SModeChoice();
  g_deviceRecord.fullScreenChoice = SModeChoice();
  SelectWindowedMode();
  SelectFullScreenMode();

  const SPlatformState& state = GetPlatformState();
  FillPresentParams();
  uint32_t result = 0;
  CGfxDevice* device = CreateGfxDeviceWithFallback(Factory(), state.mainWindow, g_deviceRecord.params,
                                                   static_cast<uint32_t>(state.multisample), &result);
  if (!device) {
    if (!g_deviceRecord.everCreated) EndForLackOfDevice(kNoDeviceMessage);
    HM_REPORT(kQuordxDeviceSource, "The device could not be created again (0x%08X)", result);
    ResumeRendering();
    ReleaseDevice();
    return;
  }
  g_deviceRecord.everCreated = true;
  if (g_deviceRecord.entryCount > g_deviceRecord.highestEntryCount) g_deviceRecord.highestEntryCount = g_deviceRecord.entryCount;
  CheckPixelShaders(device);
  g_deviceRecord.device = device;
  g_deviceRecord.resetPending = false;
  SetD3DDevice(device);
  ResumeRendering();
}

void ReleaseDevice() {
  CLoadScreenLockScope holdLoadScreen;
  SuspendRendering();
  ReleaseAllDeviceResources();
  SetD3DDevice(nullptr);
  delete g_deviceRecord.device;
  g_deviceRecord.device = nullptr;
  g_deviceRecord.resetPending = false;
  g_deviceRecord.inFrame = false;
  ClearModeLists();
  ResumeRendering();
}

bool ResetDevice() {
  if (!g_deviceRecord.device) return false;
  FillPresentParams();
  const uint32_t result = g_deviceRecord.device->Reset(g_deviceRecord.params);
  if (result != GFX_OK) {
    HM_REPORT(kQuordxDeviceSource, "The device could not be reset (0x%08X)", result);
    return false;
  }
  g_deviceRecord.resetPending = false;
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
  return PlatformPictureView(state.backBufferWidth, state.backBufferHeight, state.pictureAspect);
}

bool BeginDeviceFrame() {
  if (IsMainThread()) ServiceFrame();
  CGfxDevice* device = g_deviceRecord.device;
  if (!device) return false;
  const SPlatformGameView view = GetGameView();
  SetRenderArea(view.width, view.height);
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
  g_deviceRecord.inFrame = BeginDeviceFrame();
  if (g_deviceRecord.inFrame) {
    IncrementFrameCounter();
    UpdateFrameTime();
    AlphaTestOff();
    AlphaWriteOn();
  }
  return g_deviceRecord.inFrame;
}

void EndFrame() {
  if (!g_deviceRecord.device) return;
  ReportFrameFailure("EndScene", g_deviceRecord.device->EndScene());
  if (!IsDrawingAllowed()) return;
  // Before the service: a device brought back there has lost the frame.
  CaptureFrameWhenAsked();
  ServiceFrame();
  if (g_deviceRecord.device) ReportFrameFailure("Present", g_deviceRecord.device->Present());
}

void FinishFrame() {
  EndFrame();
  g_deviceRecord.inFrame = false;
}

bool IsInFrame() { return g_deviceRecord.inFrame; }

// ---- the other thread's context

// Another thread's GL context, shared with the main one, and the window lent to it. Made and
// dropped on the main thread (a device resource follows the device through resets); made
// current on the other thread for one frame at a time. Every change happens under the guard,
// so the other thread sees either a whole context or none.
class CDeviceThreadContext : public CResource {
 public:
  explicit CDeviceThreadContext(CCriticalSection& guard) : m_guard(guard) {}
  ~CDeviceThreadContext() override { Release(); }

  // A screen without a context of its own still works: it just does not draw from the
  // loading thread. So this never fails.
  bool Restore() override {
    m_guard.Enter();
    CGfxDevice* device = GetD3DDevice();
    if (device && !m_context) {
      m_context = device->CreateSharedContext();
      if (m_context) {
        m_device = device;
        m_lentWindow = device->LendWindowSurface();
      }
    }
    m_guard.Leave();
    return true;
  }

  void Release() override {
    m_guard.Enter();
    if (m_context) {
      if (m_lentWindow) m_device->ReclaimWindowSurface();
      m_device->DestroySharedContext(m_context);
    }
    m_context = nullptr;
    m_device = nullptr;
    m_lentWindow = false;
    m_guard.Leave();
  }

  // The other thread, holding the guard.
  bool MakeCurrent() { return m_context && m_device->MakeSharedContextCurrent(m_context); }
  void Done() { m_device->ReleaseSharedContext(); }

 private:
  CCriticalSection& m_guard;
  CGfxDevice* m_device = nullptr;
  SGfxSharedContext* m_context = nullptr;
  bool m_lentWindow = false;
};

CDeviceThreadContext* CreateDeviceThreadContext(CCriticalSection& guard) {
  return static_cast<CDeviceThreadContext*>(AddDeviceResource(new CDeviceThreadContext(guard)));
}

void DestroyDeviceThreadContext(CDeviceThreadContext* context) { DestroyDeviceResource(context); }

bool MakeDeviceThreadContextCurrent(CDeviceThreadContext* context) { return context->MakeCurrent(); }

void ReleaseDeviceThreadContext(CDeviceThreadContext* context) { context->Done(); }

