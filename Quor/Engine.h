#pragma once
// Engine-wide start-up and shutdown, the system language, the display aspect with the
// conversions into the virtual 2-D screen, and a few small helpers every drawing layer uses.

#include <cstddef>
#include <cstdint>

#include "Quor/CPtrList.h"

// Start-up in its fixed order; shutdown releases the engine's objects and ends the process.
void EngineInit();
[[noreturn]] void ShutdownAndExit();
// The release part of ShutdownAndExit, returning to its caller; EngineInit may follow again.
void EngineShutdown();
// One pass of the engine's services: input and sound polls, then the message pump. False once
// the program is to end (the running flag, EngineRunning, follows the pump).
bool EngineServicePass();
bool IsEngineRunning();

// Languages: en 0, uk 1, de 2, fr 3, ca 4, es 5, la 6, it 7, nl 8, ru 9, jp 10, pl 11, cz 12,
// se 13, tr 14.
enum ELanguage : int32_t {
  kLangEnglish = 0, kLangUk = 1, kLangGerman = 2, kLangFrench = 3, kLangCatalan = 4,
  kLangSpanish = 5, kLangLatin = 6, kLangItalian = 7, kLangDutch = 8, kLangRussian = 9,
  kLangJapanese = 10, kLangPolish = 11, kLangCzech = 12, kLangSwedish = 13, kLangTurkish = 14,
};
// The index for a locale name ("de_DE.UTF-8", "sv", "C"): only ten languages map to their own
// index, every other one (English among them) to 1.
int32_t LanguageFromLocale(const char* locale);
int32_t GetSystemLanguage();
int32_t GetLanguage();
void SetLanguage(int32_t language);

// The display aspect A = render width / render height.
void UpdateDisplayAspect();
float GetDisplayAspect();
float GetAspectRatio();
void SetAspectRatio(float aspect);

// The virtual screen spans 1792..2304 on both axes (centre 2048, y down); unit coordinates
// measure half screen heights with y up, so x runs from -A to A across the screen.
constexpr float kVirtualScreenMin = 1792.0f;
constexpr float kVirtualScreenMax = 2304.0f;
float UnitToVirtualX(float x);
float UnitToVirtualY(float y);
float VirtualToUnitY(float v);
float UnitToVirtualWidth(float x);
float VirtualToUnitHeight(float v);
float VirtualHeightToWidth(float v);

// Float colour (each clamped to 0..1) to the device's 0xAARRGGBB word.
uint32_t ColorToD3D(float red, float green, float blue, float alpha);

// An asset folder as the texture and shader layers keep it: its text, and whether keys carry it.
struct SResourceFolder {
  char text[256] = {};
  uint8_t keyByFolder = 0;
};
// The cache key of a named asset: "ID$" + name, or "ID$" + folder + name when the folder says so.
// Cut to the output's size, never past it.
void MakeResourceId(const SResourceFolder& folder, const char* name, char* out, size_t outSize);

// The smallest odd number >= n without an odd divisor from 3 up (23 gives 23).
int32_t NextPrime(int32_t n);

void ResetFrameCounter();
uint32_t GetFrameCounter();
void IncrementFrameCounter();

bool GetWidescreen();
void SetWidescreen(bool widescreen);

// A caller's buffer and its size; formatting never writes past it and always terminates it.
struct SFormatBuffer {
  char* text;
  size_t size;
};
size_t FormatToBuffer(SFormatBuffer buffer, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// The render-state record shared by the 2-D primitives, screen clears and the shader manager:
// the cached states a 2-D quad is drawn with (all zero: culling off).
struct SRenderStateRecord {
  uint32_t colorWriteMask = 0;
  uint8_t cullingOn = 0;
  uint8_t clockwise = 0;  // the winding that culling, when on, removes
};
SRenderStateRecord* GetRenderStateRecord();

// Clears depth and stencil (depth 1, stencil 0), and the colour target too when asked, in
// the colour given (each 0..1). Asked to reset alpha without clearing the colour, it first
// writes the alpha over the whole screen and nothing else. Nothing happens without a device.
void ClearScreen(bool clearColour, bool resetAlpha, float red, float green, float blue, float alpha);

// The engine's global list: made at start-up (or with the main window, whichever comes
// first) when missing, deleted at shutdown; null in between.
CPtrList<void>* GetEngineGlobalList();
void CreateEngineGlobalList();
void DeleteEngineGlobalList();
