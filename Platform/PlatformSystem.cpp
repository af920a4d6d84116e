#include "Platform/PlatformSystem.h"

#include "Platform/EventPump.h"
#include "Platform/InputDevices.h"
#include "Platform/PlatformTestDriver.h"
#include "Platform/PlatformWindow.h"

#include <SDL.h>
#include <errno.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

bool g_sdlStarted = false;

struct SKeptUserDataFolder {
  bool known = false;
  std::string folder;
};
SKeptUserDataFolder g_userDataFolder;

void CopyText(char* out, size_t outSize, const char* text) {
  if (outSize == 0) return;
  std::snprintf(out, outSize, "%s", text ? text : "");
}

bool NonEmpty(const char* value) { return value && value[0] != '\0'; }

}  // namespace

bool PlatformInit(char* error, size_t errorSize) {
  if (g_sdlStarted) return true;
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::snprintf(error, errorSize, "cannot start the video system: %s", SDL_GetError());
    return false;
  }
  g_sdlStarted = true;
  return true;
}

void PlatformShutdown() {
  if (!g_sdlStarted) return;
  SDL_Quit();
  g_sdlStarted = false;
}

bool PlatformIsHeadless() {
  const char* driver = g_sdlStarted ? SDL_GetCurrentVideoDriver() : nullptr;
  if (!driver) driver = std::getenv("SDL_VIDEODRIVER");
  if (driver) return std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
  return !NonEmpty(std::getenv("DISPLAY")) && !NonEmpty(std::getenv("WAYLAND_DISPLAY"));
}

uint64_t PlatformTicksMs() { return PlatformTicksMicros() / 1000; }

uint64_t PlatformTicksMicros() {
  using namespace std::chrono;
  return static_cast<uint64_t>(
      duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
}

void PlatformSleepMs(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void PlatformSleepMicros(uint64_t microseconds) {
  std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}

void PlatformMessageBox(const char* title, const char* text) {
  if (!PlatformIsHeadless() &&
      SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, title, text, nullptr) == 0) {
    return;
  }
  std::fprintf(stderr, "%s: %s\n", title, text);
}

bool PlatformGetEnv(const char* name, char* out, size_t outSize) {
  CopyText(out, outSize, "");
  const char* value = std::getenv(name);
  if (!NonEmpty(value) || std::strlen(value) >= outSize) return false;
  CopyText(out, outSize, value);
  return true;
}

bool PlatformMakeFolders(const char* path) {
  std::string partial;
  const std::string full = path;
  for (size_t i = 0; i <= full.size(); ++i) {
    if (i == full.size() || (full[i] == '/' && i > 0)) {
      partial = full.substr(0, i);
      if (mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
  }
  struct stat info;
  return stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool PlatformUserDataFolder(const char* appName, std::string* out, std::string* error) {
  out->clear();
  std::string folder;
  if (const char* dataHome = std::getenv("HOLLOWMERE_DATA_HOME"); NonEmpty(dataHome)) {
    folder = dataHome;
  } else if (const char* xdgDataHome = std::getenv("XDG_DATA_HOME"); NonEmpty(xdgDataHome)) {
    folder = std::string(xdgDataHome) + "/" + appName;
  } else {
    const char* home = std::getenv("HOME");
    if (!NonEmpty(home)) {
      const passwd* entry = getpwuid(getuid());
      home = entry ? entry->pw_dir : nullptr;
    }
    if (!NonEmpty(home)) {
      *error = "no home folder is known (HOME is unset)";
      return false;
    }
    folder = std::string(home) + "/.local/share/" + appName;
  }
  if (folder.back() != '/') folder += '/';
  if (!PlatformMakeFolders(folder.c_str())) {
    *error = "cannot create the user data folder " + folder + ": " + std::strerror(errno);
    return false;
  }
  *out = folder;
  return true;
}

const std::string& PlatformKeptUserDataFolder(const char* appName, std::string* error) {
  error->clear();
  if (!g_userDataFolder.known) {
    g_userDataFolder.known = true;
    if (!PlatformUserDataFolder(appName, &g_userDataFolder.folder, error)) g_userDataFolder.folder.clear();
  }
  return g_userDataFolder.folder;
}

void PlatformPickLocaleName(const char* language, const char* lcAll, const char* lcMessages,
                            const char* lang, char* out, size_t outSize) {
  // LANGUAGE is a colon-separated list of preferences; its first entry counts.
  if (NonEmpty(language)) {
    const char* colon = std::strchr(language, ':');
    const size_t length = colon ? static_cast<size_t>(colon - language) : std::strlen(language);
    if (length > 0 && outSize > 0) {
      std::snprintf(out, outSize, "%.*s", static_cast<int>(length), language);
      return;
    }
  }
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (NonEmpty(value)) {
      CopyText(out, outSize, value);
      return;
    }
  }
  CopyText(out, outSize, "C");
}

void PlatformLocaleName(char* out, size_t outSize) {
  PlatformPickLocaleName(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                         std::getenv("LC_MESSAGES"), std::getenv("LANG"), out, outSize);
}

bool PlatformExecutablePath(char* out, size_t outSize, char* error, size_t errorSize) {
  if (outSize == 0) return false;
  const ssize_t length = readlink("/proc/self/exe", out, outSize);
  if (length < 0) {
    std::snprintf(error, errorSize, "cannot read /proc/self/exe: %s", std::strerror(errno));
    out[0] = '\0';
    return false;
  }
  if (static_cast<size_t>(length) >= outSize) {
    std::snprintf(error, errorSize, "the program's path is longer than %zu characters", outSize - 1);
    out[0] = '\0';
    return false;
  }
  out[length] = '\0';
  return true;
}

bool PlatformSetCurrentFolder(const char* path, char* error, size_t errorSize) {
  if (chdir(path) == 0) return true;
  std::snprintf(error, errorSize, "cannot change to \"%s\": %s", path, std::strerror(errno));
  return false;
}

void PlatformResetState() {
  PlatformDestroyMainWindow(PlatformGetMainWindow());
  PlatformSetInputMessageHandler(nullptr, nullptr);
  PlatformInputStop();
  PlatformCloseControllers();
  PlatformTestDriverReset();
  PlatformEventPumpReset();
  // Whoever started parts of the media library (test windows start video on their own), all
  // of it stops here.
  SDL_Quit();
  g_sdlStarted = false;
  g_userDataFolder = SKeptUserDataFolder();
}
