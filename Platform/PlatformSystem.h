#pragma once
// System services the engine needs from the operating system, in our own words: start-up of
// the media library, clocks, sleeping, message boxes, the user's folders and language.

#include <cstddef>
#include <cstdint>
#include <string>

// Starts the video and event parts of the media library once; false with a reason when it fails.
bool PlatformInit(char* error, size_t errorSize);
// Shuts the media library down; safe to call when it never started.
void PlatformShutdown();
// True when no window can be seen (offscreen or dummy video): message boxes go to stderr then.
bool PlatformIsHeadless();

// A monotonic clock, unaffected by changes of the wall-clock time.
uint64_t PlatformTicksMs();
uint64_t PlatformTicksMicros();
void PlatformSleepMs(uint32_t milliseconds);
void PlatformSleepMicros(uint64_t microseconds);

// A modal message box with one OK button; on stderr when headless or when no box can be shown.
void PlatformMessageBox(const char* title, const char* text);

// Reads an environment variable into a bounded buffer: false (and an empty buffer) when it is
// unset, empty or does not fit, so a value can never overflow the caller's buffer.
bool PlatformGetEnv(const char* name, char* out, size_t outSize);

// The folder that holds the player's files, ending in '/': HOLLOWMERE_DATA_HOME when set,
// else $XDG_DATA_HOME/<appName>/, else ~/.local/share/<appName>/. Created when missing.
// False with a reason when no such folder can be named or made.
bool PlatformUserDataFolder(const char* appName, std::string* out, std::string* error);
// The same folder, worked out on the first call and then kept, so the player's files stay in
// one place for the whole run. Empty when none could be named or made; the reason is written to
// `error` by the call that found it out (later calls leave `error` empty).
const std::string& PlatformKeptUserDataFolder(const char* appName, std::string* error);

// Creates a folder and its missing parents (mode 0700 for new ones); true when it exists after.
bool PlatformMakeFolders(const char* path);

// The user's language as the locale names it ("de_DE.UTF-8", "fr"): the first non-empty of
// LANGUAGE (its first entry), LC_ALL, LC_MESSAGES, LANG; "C" when none is set.
void PlatformLocaleName(char* out, size_t outSize);
// The choice above from given values (any may be null), so the rule can be tested on its own.
void PlatformPickLocaleName(const char* language, const char* lcAll, const char* lcMessages,
                            const char* lang, char* out, size_t outSize);

// The full path of the running program; false with a reason when it cannot be read or does
// not fit.
bool PlatformExecutablePath(char* out, size_t outSize, char* error, size_t errorSize);
// Makes the folder the process's current folder; false with a reason when it cannot.
bool PlatformSetCurrentFolder(const char* path, char* error, size_t errorSize);
// Brings the platform layer back to the state a new process finds it in: the main window and
// the media library shut down (with the GL driver and its threads), no quit seen or posted, the
// test driver idle, no input followed and no controller open, the kept user data folder
// forgotten. Tests that run one after another in one process start from here.
void PlatformResetState();
