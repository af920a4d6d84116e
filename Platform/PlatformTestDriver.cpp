#include "Platform/PlatformTestDriver.h"

#include "Platform/EventPump.h"
#include "Platform/PlatformWindow.h"

#include <SDL.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

enum class EScriptKind { Key, MouseMove, MouseButton, Wheel, Text, WindowSize, Idle, Capture };

struct SScriptEvent {
  uint32_t frame = 0;
  EScriptKind kind = EScriptKind::Key;
  bool down = false;
  SDL_Keycode key = SDLK_UNKNOWN;
  int32_t x = 0, y = 0;  // position of a move, notches of a wheel, size of the window
  uint8_t button = 0;
  std::string text;  // typed text, or a capture's name
  int line = 0;      // in the script, for messages
};

struct SDriver {
  uint32_t frameLimit = 0;
  bool fixedDt = false;
  double dtSeconds = 0.0;
  std::string captureFolder;
  std::set<uint32_t> captureFrames;
  std::vector<SScriptEvent> events;  // in delivery order
  size_t nextEvent = 0;
  std::string scriptPath;
  // Frames of lines after an idle wait count from the frame before which the wait ended.
  uint32_t frameBase = 0;
  bool (*idleProbe)() = nullptr;
  std::map<uint32_t, std::string> namedCaptures;  // by frame
  bool armed = false;
  uint32_t frame = 0;
  int32_t mouseX = 0, mouseY = 0;
  uint16_t modifiers = KMOD_NONE;
  uint32_t stopInSaveFrame = 0;  // 0: saves run through
  uint32_t windowWidth = 0, windowHeight = 0;  // 0: the game chooses
  FILE* frameLog = nullptr;  // a line per frame: its number, the process's CPU time and resident memory
};

SDriver g_driver;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool ParseUnsigned(const std::string& text, uint32_t* value) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  errno = 0;
  char* end = nullptr;
  const unsigned long long parsed = std::strtoull(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || parsed > 0xFFFFFFFFull) return false;
  *value = static_cast<uint32_t>(parsed);
  return true;
}

bool ParseInt(const std::string& text, int32_t* value) {
  errno = 0;
  char* end = nullptr;
  const long long parsed = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || errno != 0 || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) {
    return false;
  }
  *value = static_cast<int32_t>(parsed);
  return true;
}

// Parses "down" / "up".
bool ParseDirection(const std::string& word, bool* down) {
  if (word == "down" || word == "up") {
    *down = word == "down";
    return true;
  }
  return false;
}

std::string RestOfLine(std::istringstream& line) {
  std::string rest;
  std::getline(line, rest);
  const size_t start = rest.find_first_not_of(" \t");
  return start == std::string::npos ? "" : rest.substr(start);
}

// The words of a script line after its frame number into an event; on failure `problem` says
// what is wrong.
bool ParseEvent(std::istringstream& line, SScriptEvent* event, std::string* problem) {
  std::string kind, word;
  line >> kind;
  if (kind == "key") {
    event->kind = EScriptKind::Key;
    line >> word;
    const std::string name = RestOfLine(line);
    event->key = SDL_GetKeyFromName(name.c_str());
    if (!ParseDirection(word, &event->down) || name.empty()) {
      *problem = "expected 'key down|up NAME'";
      return false;
    }
    if (event->key == SDLK_UNKNOWN) {
      *problem = "unknown key name '" + name + "'";
      return false;
    }
    return true;
  }
  if (kind == "mouse") {
    line >> word;
    if (word == "move") {
      event->kind = EScriptKind::MouseMove;
      std::string x, y;
      line >> x >> y;
      if (!ParseInt(x, &event->x) || !ParseInt(y, &event->y) || !RestOfLine(line).empty()) {
        *problem = "expected 'mouse move X Y' with whole numbers";
        return false;
      }
      return true;
    }
    event->kind = EScriptKind::MouseButton;
    std::string button;
    line >> button;
    if (!ParseDirection(word, &event->down) || (button != "left" && button != "right") ||
        !RestOfLine(line).empty()) {
      *problem = "expected 'mouse move X Y' or 'mouse down|up left|right'";
      return false;
    }
    event->button = button == "left" ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT;
    return true;
  }
  if (kind == "wheel") {
    event->kind = EScriptKind::Wheel;
    line >> word;
    if (!ParseInt(word, &event->x) || !RestOfLine(line).empty()) {
      *problem = "expected 'wheel N' with a whole number";
      return false;
    }
    return true;
  }
  if (kind == "text") {
    event->kind = EScriptKind::Text;
    event->text = RestOfLine(line);
    if (event->text.empty()) {
      *problem = "expected 'text' followed by the text to type";
      return false;
    }
    return true;
  }
  if (kind == "window") {
    event->kind = EScriptKind::WindowSize;
    std::string width, height;
    line >> width >> height;
    if (!ParseInt(width, &event->x) || !ParseInt(height, &event->y) || event->x <= 0 ||
        event->y <= 0 || !RestOfLine(line).empty()) {
      *problem = "expected 'window WIDTH HEIGHT' with whole numbers above 0";
      return false;
    }
    return true;
  }
  if (kind == "idle") {
    event->kind = EScriptKind::Idle;
    if (!RestOfLine(line).empty()) {
      *problem = "expected 'idle' alone";
      return false;
    }
    return true;
  }
  if (kind == "capture") {
    event->kind = EScriptKind::Capture;
    event->text = RestOfLine(line);
    const bool plain = !event->text.empty() && std::all_of(event->text.begin(), event->text.end(), [](char c) {
      return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
    });
    if (!plain) {
      *problem = "expected 'capture NAME' with letters, digits, '-' and '_'";
      return false;
    }
    return true;
  }
  *problem = "unknown event '" + kind + "' (key, mouse, wheel, text, window, idle or capture)";
  return false;
}

// One script line into an event; on failure `problem` says what is wrong.
bool ParseScriptLine(const std::string& text, SScriptEvent* event, std::string* problem) {
  std::istringstream line(text);
  std::string frame;
  line >> frame;
  if (!ParseUnsigned(frame, &event->frame) || event->frame == 0) {
    *problem = "the line must start with a frame number of 1 or more";
    return false;
  }
  return ParseEvent(line, event, problem);
}

// Lines may come in any order; events of one frame keep theirs.
void SortFrom(size_t first) {
  std::stable_sort(g_driver.events.begin() + std::ptrdiff_t(first), g_driver.events.end(),
                   [](const SScriptEvent& a, const SScriptEvent& b) { return a.frame < b.frame; });
}

bool LoadScript(const std::string& path, char* error, size_t errorSize) {
  std::ifstream file(path);
  if (!file) {
    std::snprintf(error, errorSize, "HOLLOWMERE_INPUT: cannot open %s", path.c_str());
    return false;
  }
  std::string text;
  size_t segmentStart = 0;  // the lines since the last idle wait
  for (int lineNumber = 1; std::getline(file, text); ++lineNumber) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos || text[start] == '#') continue;
    SScriptEvent event;
    std::string problem;
    if (!ParseScriptLine(text, &event, &problem)) {
      std::snprintf(error, errorSize, "HOLLOWMERE_INPUT: %s:%d: %s", path.c_str(), lineNumber,
                    problem.c_str());
      return false;
    }
    event.line = lineNumber;
    if (event.kind == EScriptKind::Capture && g_driver.captureFolder.empty() && !g_driver.frameLog) {
      std::snprintf(error, errorSize,
                    "HOLLOWMERE_INPUT: %s:%d: a capture needs HOLLOWMERE_CAPTURE (or HOLLOWMERE_FRAME_LOG, which "
                    "names the frame)",
                    path.c_str(), lineNumber);
      return false;
    }
    if (event.kind == EScriptKind::Idle) {
      // Lines between two waits may come in any order, but none after the wait that ends them.
      for (size_t i = segmentStart; i < g_driver.events.size(); ++i) {
        if (g_driver.events[i].frame <= event.frame) continue;
        std::snprintf(error, errorSize, "HOLLOWMERE_INPUT: %s:%d: frame %u comes after the idle wait of line %d",
                      path.c_str(), g_driver.events[i].line, g_driver.events[i].frame, lineNumber);
        return false;
      }
      SortFrom(segmentStart);
      g_driver.events.push_back(event);
      segmentStart = g_driver.events.size();
      continue;
    }
    g_driver.events.push_back(event);
  }
  SortFrom(segmentStart);
  g_driver.scriptPath = path;
  return true;
}

bool LoadCaptureList(const std::string& list, char* error, size_t errorSize) {
  std::istringstream entries(list);
  std::string entry;
  while (std::getline(entries, entry, ',')) {
    entry.erase(0, entry.find_first_not_of(" \t"));
    entry.erase(entry.find_last_not_of(" \t") + 1);
    uint32_t frame = 0;
    if (!ParseUnsigned(entry, &frame) || frame == 0) {
      std::snprintf(error, errorSize,
                    "HOLLOWMERE_CAPTURE_FRAMES: '%s' is not a frame number of 1 or more",
                    entry.c_str());
      return false;
    }
    g_driver.captureFrames.insert(frame);
  }
  return true;
}

bool OpenFrameLog(const std::string& path, char* error, size_t errorSize) {
  if (path.empty()) return true;
  g_driver.frameLog = std::fopen(path.c_str(), "w");
  if (!g_driver.frameLog) {
    std::snprintf(error, errorSize, "HOLLOWMERE_FRAME_LOG: cannot write '%s': %s", path.c_str(), std::strerror(errno));
    return false;
  }
  // A line at a time, so a run that is killed keeps every frame it logged.
  std::setvbuf(g_driver.frameLog, nullptr, _IOLBF, 0);
  return true;
}

// The CPU time of every thread of the process so far (the software renderer's own included).
uint64_t ProcessCpuMicros() {
  timespec spent{};
  if (clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &spent) != 0) return 0;
  return static_cast<uint64_t>(spent.tv_sec) * 1000000u + static_cast<uint64_t>(spent.tv_nsec) / 1000u;
}

// The resident memory in KB, from the second field of /proc/self/statm (0 where it cannot be read).
uint64_t ResidentKb() {
  FILE* statm = std::fopen("/proc/self/statm", "r");
  if (!statm) return 0;
  unsigned long long size = 0, resident = 0;
  const bool read = std::fscanf(statm, "%llu %llu", &size, &resident) == 2;
  std::fclose(statm);
  return read ? resident * static_cast<uint64_t>(sysconf(_SC_PAGESIZE)) / 1024u : 0;
}

void LogFrame(uint32_t frame) {
  if (!g_driver.frameLog) return;
  const auto named = g_driver.namedCaptures.find(frame);
  std::fprintf(g_driver.frameLog, "%u %llu %llu%s%s\n", frame, static_cast<unsigned long long>(ProcessCpuMicros()),
               static_cast<unsigned long long>(ResidentKb()), named == g_driver.namedCaptures.end() ? "" : " ",
               named == g_driver.namedCaptures.end() ? "" : named->second.c_str());
}

bool LoadVariables(char* error, size_t errorSize) {
  const std::string frames = Env("HOLLOWMERE_FRAMES");
  if (!frames.empty() && (!ParseUnsigned(frames, &g_driver.frameLimit) || g_driver.frameLimit == 0)) {
    std::snprintf(error, errorSize, "HOLLOWMERE_FRAMES: '%s' is not a frame count of 1 or more",
                  frames.c_str());
    return false;
  }
  const std::string dt = Env("HOLLOWMERE_FIXED_DT");
  if (!dt.empty()) {
    char* end = nullptr;
    g_driver.dtSeconds = std::strtod(dt.c_str(), &end);
    if (*end != '\0' || !std::isfinite(g_driver.dtSeconds) || g_driver.dtSeconds <= 0.0 ||
        g_driver.dtSeconds > 10.0) {
      std::snprintf(error, errorSize,
                    "HOLLOWMERE_FIXED_DT: '%s' is not a frame time in seconds (above 0, at most 10)",
                    dt.c_str());
      return false;
    }
    g_driver.fixedDt = true;
  }
  g_driver.captureFolder = Env("HOLLOWMERE_CAPTURE");
  const std::string captureList = Env("HOLLOWMERE_CAPTURE_FRAMES");
  if (g_driver.captureFolder.empty() && !captureList.empty()) {
    std::snprintf(error, errorSize, "HOLLOWMERE_CAPTURE_FRAMES needs HOLLOWMERE_CAPTURE, the folder to save them in");
    return false;
  }
  if (!LoadCaptureList(captureList, error, errorSize)) return false;
  const std::string stopInSave = Env("HOLLOWMERE_STOP_IN_SAVE");
  if (!stopInSave.empty() && (!ParseUnsigned(stopInSave, &g_driver.stopInSaveFrame) || g_driver.stopInSaveFrame == 0)) {
    std::snprintf(error, errorSize, "HOLLOWMERE_STOP_IN_SAVE: '%s' is not a frame number of 1 or more",
                  stopInSave.c_str());
    return false;
  }
  const std::string seed = Env("HOLLOWMERE_SEED");
  uint32_t seedValue = 0;
  if (!seed.empty() && !ParseUnsigned(seed, &seedValue)) {
    std::snprintf(error, errorSize, "HOLLOWMERE_SEED: '%s' is not a number from 0 to 4294967295", seed.c_str());
    return false;
  }
  PlatformTestDriverSetSeed(seed.empty() ? nullptr : &seedValue);
  const std::string window = Env("HOLLOWMERE_WINDOW");
  if (!window.empty()) {
    const size_t x = window.find('x');
    if (x == std::string::npos || !ParseUnsigned(window.substr(0, x), &g_driver.windowWidth) ||
        !ParseUnsigned(window.substr(x + 1), &g_driver.windowHeight) || g_driver.windowWidth == 0 ||
        g_driver.windowHeight == 0 || g_driver.windowWidth > 16384 || g_driver.windowHeight > 16384) {
      std::snprintf(error, errorSize, "HOLLOWMERE_WINDOW: '%s' is not a size WIDTHxHEIGHT (1 to 16384 each)",
                    window.c_str());
      return false;
    }
  }
  if (!OpenFrameLog(Env("HOLLOWMERE_FRAME_LOG"), error, errorSize)) return false;
  const std::string script = Env("HOLLOWMERE_INPUT");
  if (!script.empty() && !LoadScript(script, error, errorSize)) return false;
  const bool namesCaptures = std::any_of(g_driver.events.begin(), g_driver.events.end(),
                                         [](const SScriptEvent& e) { return e.kind == EScriptKind::Capture; });
  if (!g_driver.captureFolder.empty() && captureList.empty() && !namesCaptures) {
    std::snprintf(error, errorSize,
                  "HOLLOWMERE_CAPTURE: no frames to save (HOLLOWMERE_CAPTURE_FRAMES or a script's capture lines)");
    return false;
  }
  return true;
}

void TrackModifier(SDL_Keycode key, bool down) {
  uint16_t bit = KMOD_NONE;
  switch (key) {
    case SDLK_LALT: bit = KMOD_LALT; break;
    case SDLK_RALT: bit = KMOD_RALT; break;
    case SDLK_LCTRL: bit = KMOD_LCTRL; break;
    case SDLK_RCTRL: bit = KMOD_RCTRL; break;
    case SDLK_LSHIFT: bit = KMOD_LSHIFT; break;
    case SDLK_RSHIFT: bit = KMOD_RSHIFT; break;
    default: return;
  }
  g_driver.modifiers = down ? (g_driver.modifiers | bit) : (g_driver.modifiers & ~bit);
}

void PushText(const std::string& text, uint32_t windowId) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  event.text.windowID = windowId;
  const size_t room = sizeof event.text.text - 1;
  for (size_t start = 0; start < text.size();) {
    size_t length = std::min(room, text.size() - start);
    // Never cut a character in two: step back over continuation bytes.
    while (length > 0 && start + length < text.size() &&
           (static_cast<uint8_t>(text[start + length]) & 0xC0) == 0x80) {
      --length;
    }
    if (length == 0) length = std::min(room, text.size() - start);
    std::memset(event.text.text, 0, sizeof event.text.text);
    std::memcpy(event.text.text, text.data() + start, length);
    SDL_PushEvent(&event);
    start += length;
  }
}

// A run that ends while its script still waits for the game says where, for whoever reads why
// the script did not finish.
void TellUnfinishedWait() {
  if (g_driver.nextEvent >= g_driver.events.size()) return;
  const SScriptEvent& next = g_driver.events[g_driver.nextEvent];
  if (next.kind != EScriptKind::Idle || g_driver.frameBase + next.frame > g_driver.frame) return;
  std::fprintf(stderr, "HOLLOWMERE_INPUT: %s:%d: the run ended still waiting for the game to wait for the player\n",
               g_driver.scriptPath.c_str(), next.line);
}

void Deliver(const SScriptEvent& script) {
  SDL_Window* window = PlatformMainSdlWindow();
  const uint32_t windowId = window ? SDL_GetWindowID(window) : 0;
  SDL_Event event{};
  switch (script.kind) {
    case EScriptKind::Key:
      TrackModifier(script.key, script.down);
      event.type = script.down ? SDL_KEYDOWN : SDL_KEYUP;
      event.key.windowID = windowId;
      event.key.state = script.down ? SDL_PRESSED : SDL_RELEASED;
      event.key.keysym.sym = script.key;
      event.key.keysym.scancode = SDL_GetScancodeFromKey(script.key);
      event.key.keysym.mod = g_driver.modifiers;
      break;
    case EScriptKind::MouseMove:
      event.type = SDL_MOUSEMOTION;
      event.motion.windowID = windowId;
      event.motion.x = script.x;
      event.motion.y = script.y;
      event.motion.xrel = script.x - g_driver.mouseX;
      event.motion.yrel = script.y - g_driver.mouseY;
      g_driver.mouseX = script.x;
      g_driver.mouseY = script.y;
      break;
    case EScriptKind::MouseButton:
      event.type = script.down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
      event.button.windowID = windowId;
      event.button.button = script.button;
      event.button.state = script.down ? SDL_PRESSED : SDL_RELEASED;
      event.button.clicks = 1;
      event.button.x = g_driver.mouseX;
      event.button.y = g_driver.mouseY;
      break;
    case EScriptKind::Wheel:
      event.type = SDL_MOUSEWHEEL;
      event.wheel.windowID = windowId;
      event.wheel.y = script.x;
      event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
      break;
    case EScriptKind::Text:
      PushText(script.text, windowId);
      return;
    case EScriptKind::WindowSize:
      // The system reports the new size through the pump, as after a drag of the border.
      if (window) SDL_SetWindowSize(window, script.x, script.y);
      return;
    case EScriptKind::Capture:
      g_driver.namedCaptures[g_driver.frame + 1] = script.text;
      return;
    case EScriptKind::Idle:
      return;
  }
  SDL_PushEvent(&event);
}

}  // namespace

bool PlatformTestDriverLoad(char* error, size_t errorSize) {
  PlatformTestDriverReset();
  if (LoadVariables(error, errorSize)) return true;
  PlatformTestDriverReset();
  return false;
}

void PlatformTestDriverReset() {
  if (g_driver.frameLog) std::fclose(g_driver.frameLog);
  g_driver = SDriver();
  PlatformTestDriverSetSeed(nullptr);
}

void PlatformTestDriverArm() { g_driver.armed = true; }

uint32_t PlatformTestDriverBeginFrame() {
  LogFrame(++g_driver.frame);
  return g_driver.frame;
}

uint32_t PlatformTestDriverFrameNumber() { return g_driver.frame; }

uint32_t PlatformTestDriverFrameLimit() { return g_driver.frameLimit; }

void PlatformTestDriverBeforeReplacing(const char* path, const char* temporary) {
  if (g_driver.stopInSaveFrame == 0 || g_driver.frame < g_driver.stopInSaveFrame) return;
  std::fprintf(stderr, "HOLLOWMERE_STOP_IN_SAVE: frame %u holds %s before it replaces %s\n", g_driver.frame, temporary,
               path);
  std::fflush(stderr);
  // Held here until a signal ends the program, as a crash in the middle of the save would; a
  // program nobody kills leaves after two minutes rather than linger.
  for (int second = 0; second < 120; ++second) sleep(1);
  std::fprintf(stderr, "HOLLOWMERE_STOP_IN_SAVE: never killed, leaving\n");
  _exit(3);
}

bool PlatformTestDriverWindowSize(int32_t* width, int32_t* height) {
  if (g_driver.windowWidth == 0) return false;
  *width = static_cast<int32_t>(g_driver.windowWidth);
  *height = static_cast<int32_t>(g_driver.windowHeight);
  return true;
}

bool PlatformTestDriverFixedDt(double* seconds) {
  if (g_driver.fixedDt) *seconds = g_driver.dtSeconds;
  return g_driver.fixedDt;
}

bool PlatformTestDriverCaptureFrame(uint32_t frame) {
  return g_driver.captureFrames.count(frame) != 0;
}

const char* PlatformTestDriverCaptureFolder() { return g_driver.captureFolder.c_str(); }

size_t PlatformTestDriverPendingEvents() { return g_driver.events.size() - g_driver.nextEvent; }

bool PlatformTestDriverSend(const char* line, char* error, size_t errorSize) {
  std::istringstream words(line ? line : "");
  SScriptEvent event;
  std::string problem;
  if (!ParseEvent(words, &event, &problem)) {
    std::snprintf(error, errorSize, "'%s': %s", line ? line : "", problem.c_str());
    return false;
  }
  Deliver(event);
  return true;
}

void PlatformTestDriverBeforePump() {
  if (!g_driver.armed) return;
  if (g_driver.frameLimit != 0 && g_driver.frame >= g_driver.frameLimit) {
    TellUnfinishedWait();
    PlatformPostQuit();
    return;
  }
  const uint32_t coming = g_driver.frame + 1;
  while (g_driver.nextEvent < g_driver.events.size()) {
    const SScriptEvent& next = g_driver.events[g_driver.nextEvent];
    if (g_driver.frameBase + next.frame > coming) break;
    if (next.kind == EScriptKind::Idle) {
      // The rest of the script waits until the game waits for the player.
      if (!g_driver.idleProbe || !g_driver.idleProbe()) break;
      g_driver.frameBase = coming;
    }
    Deliver(g_driver.events[g_driver.nextEvent++]);
  }
}

void PlatformTestDriverSetIdleProbe(bool (*probe)()) { g_driver.idleProbe = probe; }

const char* PlatformTestDriverCaptureName(uint32_t frame) {
  const auto named = g_driver.namedCaptures.find(frame);
  return named == g_driver.namedCaptures.end() ? nullptr : named->second.c_str();
}
