#include "Quor/DirectX/Quordx.h"

#include "Platform/PlatformInstanceLock.h"
#include "Platform/PlatformSystem.h"
#include "Platform/PlatformTestDriver.h"
#include "Quor/CThread.h"
#include "Quor/DirectX/ApplicationActivity.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/DeviceFrame.h"
#include "Quor/DirectX/QuordxTestSeams.h"
#include "Quor/DirectX/WindowDevice.h"
#include "Quor/Engine.h"
#include "Quor/ReportError.h"
#include "Quor/Timer.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

const char* const kGameTitle = "Hollowmere";

MessageHookFn MessageHook = nullptr;
ExitHookFn ExitHook = nullptr;

namespace {

const char* const kQuordxSource = "Quor/DirectX/Quordx";
// A window may take at most this share of the desktop on either axis, in percent.
constexpr int64_t kMaxWindowPercentOfDesktop = 90;

SPlatformState g_state;
SPlatformInstanceLock* g_instanceLock = nullptr;
std::unique_ptr<CIdleSensor> g_idleSensor;
std::unique_ptr<CCriticalSection> g_deviceLock;

char g_argumentBuffer[kArgumentBufferSize];
const char* g_argumentTable[kMaxArguments + 1];
int g_argumentCount = 0;

// Headless, the report on stderr is all there is: no second copy of it.
void ShowFatalReport(const char* text) {
  if (!PlatformIsHeadless()) PlatformMessageBox(kGameTitle, text);
}

// A second start leaves at once; the running one has been asked to come to the front.
bool TakeSingleInstance() {
  char mutexName[256];
  std::snprintf(mutexName, sizeof mutexName, "Global\\%s", kGameTitle);
  char error[512] = {};
  switch (PlatformAcquireInstanceLock(mutexName, &g_instanceLock, error, sizeof error)) {
    case EInstanceLockResult::Acquired:
      return true;
    case EInstanceLockResult::AlreadyRunning:
      std::fprintf(stderr, "%s is already running; its window was asked to come to the front.\n",
                   kGameTitle);
      return false;
    case EInstanceLockResult::Failed:
      HM_REPORT(kQuordxSource, "Running without the single-instance check: %s", error);
      return true;
  }
  return true;
}

std::string JoinCommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (!line.empty()) line += ' ';
    line += argv[i];
  }
  return line;
}

void LoadTestDriver() {
  char error[1024] = {};
  if (!PlatformTestDriverLoad(error, sizeof error)) HM_FATAL(kQuordxSource, "%s", error);
}

void StartPlatform() {
  char error[512] = {};
  if (!PlatformInit(error, sizeof error)) HM_FATAL(kQuordxSource, "%s", error);
}

// What the window shows of the cursor follows the cursor-visible flag, and the cursor is always
// shown while drawing is suspended (the player must be able to reach other windows).
void ApplyCursor() {
  const bool show = !g_state.drawingAllowed || g_state.cursorVisible;
  if (show != g_state.cursorShown) {
    PlatformShowCursor(show);
    g_state.cursorShown = show;
  }
}

void OnWindowMessage(const SWindowMessage& message, void*) { MainWindowProc(message); }

void Deactivate() {
  g_state.returnWindowed = g_state.windowed;
  if (!g_state.windowed) {
    g_state.focusChange = true;
    SetWindowedMode(g_state.cursorVisible);
    g_state.focusChange = false;
    g_state.windowed = false;
  }
  SuspendRendering();
}

void Activate() {
  while (!g_state.drawingAllowed) ResumeRendering();
  g_state.windowed = g_state.returnWindowed;
  if (!g_state.windowed) SetFullScreenMode(g_state.cursorVisible);
}

void FocusChanged(bool nowActive) {
  if (g_state.mainWindow && PlatformIsWindowMinimized(g_state.mainWindow)) nowActive = false;
  const int8_t state = nowActive ? 1 : 0;
  SetApplicationActive(nowActive);
  if (state == g_state.active) return;
  g_state.active = state;
  if (!g_state.returnModeKnown) {
    g_state.returnModeKnown = true;
    g_state.returnWindowed = g_state.windowed;
  }
  if (nowActive) {
    Activate();
  } else {
    Deactivate();
  }
}

// The "windowed" marker: present while the game is to start in a window.
std::string WindowedMarkerPath() { return GetUserDataFolder() + "windowed"; }

bool MarkerFileExists(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}

}  // namespace

const SPlatformState& GetPlatformState() { return g_state; }

void SetBackBufferSize(int32_t width, int32_t height) {
  g_state.backBufferWidth = width;
  g_state.backBufferHeight = height;
}

void SetRenderArea(int32_t width, int32_t height) {
  g_state.renderWidth = width;
  g_state.renderHeight = height;
}

void SetPictureAspect(float aspect) { g_state.pictureAspect = aspect > 0.0f ? aspect : 0.0f; }

void MarkDeviceWasReset() { g_state.deviceWasReset = true; }

void SetEngineRunning(bool running) { g_state.running = running; }

// ---- test seams

SPlatformState& PlatformStateForTests() { return g_state; }

void ResetEngineStateForTests() {
  g_state = SPlatformState();
  MessageHook = nullptr;
  ExitHook = nullptr;
  SetDeviceFactory(nullptr);
  PlatformResetState();
}

void CapWindowSize(int32_t desktopWidth, int32_t desktopHeight, int32_t* width, int32_t* height) {
  if (desktopWidth <= 0 || desktopHeight <= 0) return;  // no desktop known: keep the request
  const int64_t maxWidth = static_cast<int64_t>(desktopWidth) * kMaxWindowPercentOfDesktop / 100;
  const int64_t maxHeight = static_cast<int64_t>(desktopHeight) * kMaxWindowPercentOfDesktop / 100;
  int64_t w = *width, h = *height;
  if (maxWidth < w && w > 0) {
    h = h * maxWidth / w;
    w = maxWidth;
  }
  if (maxHeight < h && h > 0) {
    w = w * maxHeight / h;
    h = maxHeight;
  }
  *width = static_cast<int32_t>(w);
  *height = static_cast<int32_t>(h);
}

int32_t ParseMultisample(const char* commandLine) {
  if (!commandLine) return 0;
  const char* match = std::strstr(commandLine, "-multisample");
  if (!match) return 0;
  // The number starts right after the option (atoi skips the blank between them).
  const long value = std::strtol(match + std::strlen("-multisample"), nullptr, 10);
  return static_cast<int32_t>(value < 0 ? 0 : (value > 8 ? 8 : value));
}

void BuildArgumentTable(int argc, const char* const* argv) {
  size_t used = 0;
  g_argumentCount = 0;
  for (int i = 0; i < argc && g_argumentCount < kMaxArguments; ++i) {
    const size_t length = std::strlen(argv[i]) + 1;
    if (used + length > kArgumentBufferSize) {
      HM_REPORT(kQuordxSource, "The command line is too long: %d of %d arguments kept", g_argumentCount, argc);
      break;
    }
    std::memcpy(g_argumentBuffer + used, argv[i], length);
    g_argumentTable[g_argumentCount++] = g_argumentBuffer + used;
    used += length;
  }
  if (argc > kMaxArguments && g_argumentCount == kMaxArguments) {
    HM_REPORT(kQuordxSource, "Too many arguments: the first %d of %d kept", kMaxArguments, argc);
  }
  g_argumentTable[g_argumentCount] = nullptr;
}

int GetArgumentCount() { return g_argumentCount; }
const char* const* GetArgumentTable() { return g_argumentTable; }

int WinMain(int argc, char** argv, GameMainFn gameMain) {
  if (!TakeSingleInstance()) return 0;
  g_state = SPlatformState();
  g_state.mainThread = std::this_thread::get_id();
  SetFatalPresenter(&ShowFatalReport);
  if (!GetUserDataFolder().empty()) SetReportLogFile((GetUserDataFolder() + "log.txt").c_str());
  LoadTestDriver();
  StartPlatform();

  g_state.multisample = ParseMultisample(JoinCommandLine(argc, argv).c_str());
  BuildArgumentTable(argc, argv);
  g_state.windowed = true;
  g_state.cursorVisible = true;
  if (!GetFrameClock()) CreateFrameClock();
  ResetFrameTime();

  CreateMainWindow();
  PlatformShowWindow(g_state.mainWindow);
  while (!g_state.windowReady && g_state.running && EngineServicePass()) SleepSeconds(0.1f);
  if (g_state.running && EngineServicePass()) {
    PlatformTestDriverArm();
    if (gameMain) gameMain(g_argumentCount);
  }
  DestroyMainWindow();
  PlatformReleaseInstanceLock(g_instanceLock);
  g_instanceLock = nullptr;
  ExitProgram(0);
}

void CreateMainWindow() {
  if (g_state.quitSeen) return;
  g_idleSensor = std::make_unique<CIdleSensor>();
  NoteMessagePump(PlatformTicksMs());
  g_idleSensor->Start();
  g_deviceLock = std::make_unique<CCriticalSection>();
  CreateEngineGlobalList();
  if (!g_state.mainWindow) {
    int32_t desktopWidth = 0, desktopHeight = 0;
    if (PlatformTestDriverWindowSize(&g_state.screenWidth, &g_state.screenHeight)) {
      // as the test driver asks, even beyond the desktop (a headless one is small)
    } else if (PlatformGetDesktopSize(&desktopWidth, &desktopHeight)) {
      CapWindowSize(desktopWidth, desktopHeight, &g_state.screenWidth, &g_state.screenHeight);
    }
    char error[512] = {};
    PlatformWindowHandle window = PlatformCreateMainWindow(kGameTitle, g_state.screenWidth,
                                                           g_state.screenHeight, error,
                                                           sizeof error);
    if (!window) HM_FATAL(kQuordxSource, "Failed to create window: %s", error);
    g_state.mainWindow = window;
    g_state.inputWindow = window;
  }
  if (!g_state.deviceWindow) g_state.deviceWindow = g_state.mainWindow;
  UpdateClientRect();
  InitDeviceServices();
  // The compiled-effect folder joins here once it exists.

  const bool windowed = MarkerFileExists(WindowedMarkerPath());
  g_state.cursorVisible = false;
  g_state.windowReady = true;
  g_state.windowed = windowed;
}

void DestroyMainWindow() {
  g_state.quitSeen = true;
  // A loading screen still running would draw into a window that is going away.
  HideLoadScreen();
  SuspendRendering();
  ReleaseDevice();
  DestroyAllDeviceResources();
  ShutdownDeviceServices();
  if (g_idleSensor) {
    g_idleSensor->Stop();
    g_idleSensor.reset();
  }
  g_deviceLock.reset();
  if (g_state.mainWindow) {
    PlatformDestroyMainWindow(g_state.mainWindow);
    g_state.mainWindow = g_state.inputWindow = g_state.deviceWindow = nullptr;
  }
  g_state.windowReady = false;
}

bool ProcessMessages() {
  if (g_state.quitSeen) return false;
  NoteMessagePump(PlatformTicksMs());
  if (!PlatformPumpMessages(&OnWindowMessage, nullptr)) {
    g_state.quitSeen = true;
    return false;
  }
  if (g_state.mainWindow) {
    const SPlatformRect client = PlatformGetClientRect(g_state.mainWindow);
    if (client.right != g_state.clientRect.right || client.bottom != g_state.clientRect.bottom) {
      UpdateClientRect();
    }
  }
  ApplyCursor();
  return true;
}

void MainWindowProc(const SWindowMessage& message) {
  if (MessageHook && !MessageHook(message)) return;
  switch (message.kind) {
    case EWindowMessage::Activate:
    case EWindowMessage::Restore:
      FocusChanged(true);
      break;
    case EWindowMessage::Deactivate:
    case EWindowMessage::Minimize:
      FocusChanged(false);
      break;
    case EWindowMessage::Paint:
      if (!g_state.drawingAllowed) PresentBlankFrame();
      break;
    case EWindowMessage::SizeChanged:
    case EWindowMessage::Moved:
      UpdateClientRect();
      break;
    case EWindowMessage::Close:
      // Through the normal exit path: the game's loop ends, what it saves on exit is saved,
      // and only then is the window destroyed.
      PlatformPostQuit();
      break;
  }
}

void ExitProgram(int code) {
  if (ExitHook) ExitHook();
  PlatformShutdown();
  std::fflush(nullptr);
  std::exit(code);
}

const std::string& GetUserDataFolder() {
  std::string error;
  const std::string& folder = PlatformKeptUserDataFolder(kGameTitle, &error);
  if (!error.empty())
    HM_REPORT(kQuordxSource, "No user data folder, files go to the current folder: %s", error.c_str());
  return folder;
}

void WriteWindowedMarker() {
  const std::string path = WindowedMarkerPath();
  if (g_state.windowed) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
      std::fclose(file);
    } else {
      HM_REPORT(kQuordxSource, "Cannot write %s: %s", path.c_str(), std::strerror(errno));
    }
  } else {
    std::remove(path.c_str());
  }
}

void ShowSystemCursor(bool visible) {
  g_state.cursorVisible = visible;
  ApplyCursor();
}

bool IsMainThread() { return std::this_thread::get_id() == g_state.mainThread; }

CCriticalSection* GetDeviceLock() { return g_deviceLock.get(); }

bool IsDrawingAllowed() { return g_state.drawingAllowed; }

bool TakeDeviceWasReset() {
  const bool wasReset = g_state.deviceWasReset;
  g_state.deviceWasReset = false;
  return wasReset;
}

bool IsIdleSensorStalled() { return IsMessagePumpStalled(); }

// The loading screen reads whether drawing is allowed in each of its frames: the flag changes
// only while the screen is held.
void SuspendRendering() {
  CLoadScreenLockScope holdLoadScreen;
  BeginTimerPause();
  ++g_state.suspendCount;
  g_state.drawingAllowed = false;
  if (!g_state.quitSeen) PresentBlankFrame();
}

void ResumeRendering() {
  CLoadScreenLockScope holdLoadScreen;
  // Time stays frozen while any suspension is left: a nested pair (a device made again while
  // the window is inactive) must not let the inactive time count.
  if (--g_state.suspendCount <= 0) {
    g_state.suspendCount = 0;
    g_state.drawingAllowed = true;
    EndTimerPause();
  }
}

void PresentBlankFrame() {
  if (g_state.mainWindow) PlatformPresentBlank(g_state.mainWindow);
}

// ---- the window's part

void UpdateClientRect() {
  if (!g_state.mainWindow) return;
  g_state.windowRect = PlatformGetWindowRect(g_state.mainWindow);
  g_state.clientRect = PlatformGetClientRect(g_state.mainWindow);
  const int32_t width = g_state.clientRect.right - g_state.clientRect.left;
  const int32_t height = g_state.clientRect.bottom - g_state.clientRect.top;
  SetRenderArea(width, height);
  if (width <= 0 || height <= 0) return;  // minimised: the back buffer keeps its size
  if (width == g_state.backBufferWidth && height == g_state.backBufferHeight) return;
  SetBackBufferSize(width, height);
  RequestDeviceReset();
}

void SetWindowedMode(bool cursorVisible) {
  if (g_state.quitSeen) return;
  CLoadScreenLockScope holdLoadScreen;
  g_state.windowed = true;
  ShowSystemCursor(cursorVisible);
  PlatformSetWindowFullScreen(g_state.mainWindow, false);
  PlatformCenterWindow(g_state.mainWindow, g_state.screenWidth, g_state.screenHeight);
  UpdateClientRect();
  RequestDeviceReset();
  // On a focus loss the device is brought back when the player returns.
  if (!g_state.focusChange) ServiceFrame();
}

void SetFullScreenMode(bool cursorVisible) {
  if (g_state.quitSeen) return;
  CLoadScreenLockScope holdLoadScreen;
  g_state.windowed = false;
  ShowSystemCursor(cursorVisible);
  PlatformSetWindowFullScreen(g_state.mainWindow, true);
  UpdateClientRect();
  RequestDeviceReset();
  ServiceFrame();
}
