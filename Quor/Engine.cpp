#include "Quor/Engine.h"

#include "Platform/GraphicsDevice.h"
#include "Platform/PlatformSystem.h"
#include "Quor/CAnimator.h"
#include "Quor/CShaderManager.h"
#include "Quor/CSoundManager.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/InputState.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DrawSubmission.h"
#include "Quor/MatrixTable.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Quor/Timer.h"

#include <cctype>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

int32_t g_language = kLangUk;
float g_aspect = 1.3333334f;
uint32_t g_frameCounter = 0;
bool g_widescreen = false;
std::unique_ptr<SRenderStateRecord> g_renderStateRecord;

std::unique_ptr<CPtrList<void>> g_globalList;

// Keyboard, joystick and mouse polls, then the sound update.
void PollInputAndSound() {
  PollInputDevices();
  if (CSoundManager* sound = GetSoundManager()) sound->Update();
}

// Rounds through a float, as every intermediate of the conversions is.
float F(double value) { return static_cast<float>(value); }

float Clamp01(float value) { return value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f; }

uint32_t ToByte(float value) { return static_cast<uint32_t>(std::lround(Clamp01(value) * 255.0f)); }

// 0..1 on the 2-D quads' 128 scale, where 128 means full.
uint8_t ToHalfScaleByte(float value) { return static_cast<uint8_t>(std::lround(Clamp01(value) * 127.5f)); }

// Writes `alpha` over the whole screen and leaves colour and depth as they are.
void ResetScreenAlpha(float alpha) {
  AlphaBlendOff();
  AlphaWriteOn();
  DepthWriteOff();
  ColorWriteOff();
  SetDrawScreenSpace(true);
  const SRenderStateRecord* record = GetRenderStateRecord();
  DrawTexturedQuad2D(nullptr, record ? *record : SRenderStateRecord(), {1792, 1792, 2304, 2304, 0, 0, 0, 0},
                     {0, 0, 0, ToHalfScaleByte(alpha)});
  ColorWriteOn();
  DepthWriteOn();
  AlphaBlendOn();
}

}  // namespace

void EngineInit() {
  g_language = GetSystemLanguage();
  CreateFrameClock();
  InitTimer();
  ResetTransforms();
  InitDrawState();
  CreateEngineGlobalList();
  (void)GetIdentityMatrix();
  if (!g_renderStateRecord) g_renderStateRecord = std::make_unique<SRenderStateRecord>();
  InitInputDevices();
  AnimationEventClear();
  InitLights();
  InitTimer();
  InitTimer();
}

void EngineShutdown() {
  ShutdownInputDevices();
  DeleteFrameClock();
  g_renderStateRecord.reset();
  AnimationEventClear();
  ShutdownDrawState();
  DeleteEngineGlobalList();
}

void ShutdownAndExit() {
  EngineShutdown();
  DestroyMainWindow();
  ExitProgram(0);
}

bool EngineServicePass() {
  if (!GetPlatformState().running) return false;
  PollInputAndSound();
  SetEngineRunning(ProcessMessages());
  return GetPlatformState().running;
}

bool IsEngineRunning() { return GetPlatformState().running; }

int32_t LanguageFromLocale(const char* locale) {
  struct SLanguageCode {
    const char* code;
    int32_t language;
  };
  static const SLanguageCode kCodes[] = {
      {"cs", kLangCzech},   {"de", kLangGerman}, {"es", kLangSpanish}, {"fr", kLangFrench},
      {"it", kLangItalian}, {"nl", kLangDutch},  {"pl", kLangPolish},  {"ru", kLangRussian},
      {"sv", kLangSwedish}, {"tr", kLangTurkish},
  };
  if (!locale) return kLangUk;
  // The language is the part before the territory, codeset and modifier: "de" of "de_AT.UTF-8".
  char code[4] = {};
  size_t length = 0;
  while (length < 3 && std::isalpha(static_cast<unsigned char>(locale[length]))) {
    code[length] = static_cast<char>(std::tolower(static_cast<unsigned char>(locale[length])));
    ++length;
  }
  if (std::isalpha(static_cast<unsigned char>(locale[length]))) return kLangUk;
  for (const SLanguageCode& entry : kCodes) {
    if (std::strcmp(code, entry.code) == 0) return entry.language;
  }
  return kLangUk;
}

int32_t GetSystemLanguage() {
  char locale[256];
  PlatformLocaleName(locale, sizeof locale);
  return LanguageFromLocale(locale);
}

int32_t GetLanguage() { return g_language; }
void SetLanguage(int32_t language) { g_language = language; }

void UpdateDisplayAspect() { g_aspect = GetDisplayAspect(); }

float GetDisplayAspect() {
  const SPlatformState& state = GetPlatformState();
  const uint32_t width = static_cast<uint32_t>(state.renderWidth);
  const uint32_t height = static_cast<uint32_t>(state.renderHeight);
  // A window with no height yet (not created, minimised) keeps the current aspect.
  if (height == 0) return g_aspect;
  return static_cast<float>(width) / static_cast<float>(height);
}

float GetAspectRatio() { return g_aspect; }
void SetAspectRatio(float aspect) { g_aspect = aspect; }

float UnitToVirtualY(float y) { return F(2048.0f - F(256.0f * y)); }
float UnitToVirtualX(float x) { return F(F(F(256.0f * x) / g_aspect) + 2048.0f); }
float VirtualToUnitY(float v) { return F(F(F(2048.0f - v) * 2.0f) / 512.0f); }
float UnitToVirtualWidth(float x) { return F(UnitToVirtualX(x) - 2048.0f); }
float VirtualToUnitHeight(float v) {
  return F(F(F(2048.0f - F(2048.0f - v)) * 2.0f) / 512.0f);
}
float VirtualHeightToWidth(float v) { return UnitToVirtualWidth(VirtualToUnitHeight(v)); }

uint32_t ColorToD3D(float red, float green, float blue, float alpha) {
  return (ToByte(alpha) << 24) | (ToByte(red) << 16) | (ToByte(green) << 8) | ToByte(blue);
}

void MakeResourceId(const SResourceFolder& folder, const char* name, char* out, size_t outSize) {
  if (outSize == 0) return;
  const char* safeName = name ? name : "";
  if (folder.keyByFolder) {
    std::snprintf(out, outSize, "ID$%.*s%s", static_cast<int>(sizeof folder.text),
                  folder.text, safeName);
  } else {
    std::snprintf(out, outSize, "ID$%s", safeName);
  }
}

int32_t NextPrime(int32_t n) {
  int64_t candidate = n;
  if (candidate % 2 == 0) ++candidate;
  for (;; candidate += 2) {
    bool divisible = false;
    // Divisors above the square root pair with ones below it, so stopping there finds the same.
    for (int64_t d = 3; d * d <= candidate; d += 2) {
      if (candidate % d == 0) {
        divisible = true;
        break;
      }
    }
    if (!divisible) return static_cast<int32_t>(candidate);
  }
}

void ResetFrameCounter() { g_frameCounter = 0; }
uint32_t GetFrameCounter() { return g_frameCounter; }
void IncrementFrameCounter() { ++g_frameCounter; }

bool GetWidescreen() { return g_widescreen; }
void SetWidescreen(bool widescreen) { g_widescreen = widescreen; }

size_t FormatToBuffer(SFormatBuffer buffer, const char* format, ...) {
  if (!buffer.text || buffer.size == 0) return buffer.size;
  buffer.text[buffer.size - 1] = '\0';
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer.text, buffer.size, format, args);
  va_end(args);
  return buffer.size;
}

SRenderStateRecord* GetRenderStateRecord() { return g_renderStateRecord.get(); }

void ClearScreen(bool clearColour, bool resetAlpha, float red, float green, float blue, float alpha) {
  CGfxDevice* device = GetD3DDevice();
  if (!device) return;
  if (resetAlpha && !clearColour) ResetScreenAlpha(alpha);
  const uint32_t flags = GFX_CLEAR_STENCIL | GFX_CLEAR_ZBUFFER | (clearColour ? GFX_CLEAR_TARGET : 0u);
  const uint32_t result = device->Clear(0, nullptr, flags, ColorToD3D(red, green, blue, alpha), 1.0f, 0);
  if (IsDeviceFailure(result)) HM_REPORT("Quor/Engine", "Clearing the screen failed (0x%08X)", result);
}

CPtrList<void>* GetEngineGlobalList() { return g_globalList.get(); }

void CreateEngineGlobalList() {
  if (!g_globalList) g_globalList = std::make_unique<CPtrList<void>>();
}

void DeleteEngineGlobalList() { g_globalList.reset(); }
