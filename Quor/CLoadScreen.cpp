#include "Quor/CLoadScreen.h"

#include <algorithm>
#include <cmath>

#include "Quor/CTextureManager.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/DrawSubmission.h"
#include "Quor/RenderStates.h"
#include "Quor/Timer.h"

namespace {

// About 60 frames per second; also the pause of a screen that cannot draw this step.
constexpr float kFramePause = 1.0f / 60.0f;
constexpr float kPi = 3.14159265f;

std::atomic<CLoadScreen*> g_currentScreen{nullptr};

uint32_t OpaqueColour(const uint8_t rgb[3]) {
  return 0xFF000000u | static_cast<uint32_t>(rgb[0]) << 16 | static_cast<uint32_t>(rgb[1]) << 8 | rgb[2];
}

// An untextured rectangle in virtual-screen units, as two triangles.
void DrawSolidRect(float left, float top, float right, float bottom, uint32_t colour) {
  const SDrawVertex quad[6] = {
      {left, top, 0, colour, 0, 0},     {left, bottom, 0, colour, 0, 0}, {right, bottom, 0, colour, 0, 0},
      {left, top, 0, colour, 0, 0},     {right, bottom, 0, colour, 0, 0}, {right, top, 0, colour, 0, 0},
  };
  DrawUserPrimitives(quad, kDrawTriangleList, 6);
}

}  // namespace


// The system's default stack: the GL driver runs on this thread too and needs more than a
// small fixed stack.
CLoadScreen::CLoadScreen() : CThread(0, 0, "LoadScreen") {
  m_context = CreateDeviceThreadContext(m_lock);
}

CLoadScreen::~CLoadScreen() {
  ServiceFrame();
  Stop();
  DestroyDeviceThreadContext(m_context);
  for (TextureRecord* texture : m_textures) {
    if (CTextureManager* manager = GetTextureManager()) manager->ReleaseTexture(texture);
  }
}

bool CLoadScreen::Step() {
  if (!m_lock.TryEnter()) {
    // The main thread holds the screen: wait for it without spinning.
    SleepSeconds(kFramePause);
    return true;
  }
  if (m_locked) {
    m_lock.Leave();
    SleepSeconds(kFramePause);
    return true;
  }
  DrawFrame();
  m_lock.Leave();
  SleepSeconds(kFramePause);
  return true;
}

void CLoadScreen::DrawFrame() {
  if (!MakeDeviceThreadContextCurrent(m_context)) return;
  if (BeginDeviceFrame()) {
    if (m_framesDrawn == 0) m_firstFrameTime = GetTimeSeconds();
    if (m_texturesLoaded) {
      Draw();
    } else {
      DrawDefault();
    }
    EndFrame();
    ++m_framesDrawn;
  }
  ReleaseDeviceThreadContext(m_context);
}

float CLoadScreen::GetProgress() const { return std::min(m_progress.load(), 1.0f); }

void CLoadScreen::DrawDefault() {
  CullOff();
  DepthTestOff();
  AlphaBlendOn();
  BlendNormal();
  InvalidateDrawState();
  SetDrawTexture(nullptr);
  SetDrawScreenSpace(true);
  DrawSolidRect(1792.0f, 1792.0f, 2304.0f, 2304.0f, OpaqueColour(backgroundColour));

  // Squares on screen: virtual units are 1/512 of the view on either axis, so a width of h / A
  // matches a height of h.
  const SPlatformState& state = GetPlatformState();
  const float aspect = state.renderHeight > 0 ? float(state.renderWidth) / float(state.renderHeight) : 4.0f / 3.0f;
  const float time = GetTimeSeconds();
  for (int k = 0; k < 3; ++k) {
    const float centreX = 2240.0f - 32.0f * float(k), centreY = 2240.0f;
    const float halfHeight = 2.0f * std::cos(kPi * time + float(k) * kPi / 2.0f) + 5.0f;
    const float halfWidth = halfHeight / aspect;
    DrawSolidRect(centreX - halfWidth, centreY - halfHeight, centreX + halfWidth, centreY + halfHeight,
                  OpaqueColour(indicatorColour));
  }
}

TextureRecord* CLoadScreen::LoadTexture(const char* name) {
  TextureRecord* texture = ::LoadTexture(name);
  if (texture) m_textures.push_back(texture);
  return texture;
}

void CLoadScreen::Lock() {
  m_locked = true;
  m_lockMark = false;
  m_lock.Enter();
}

void CLoadScreen::Unlock() {
  m_lock.Leave();
  m_locked = false;
}

// ---- the current screen

CLoadScreen* GetCurrentLoadScreen() { return g_currentScreen; }
void SetCurrentLoadScreen(CLoadScreen* screen) { g_currentScreen = screen; }

void StartLoadScreen() {
  CLoadScreen* screen = g_currentScreen;
  if (!screen) return;
  screen->Start();
  if (!screen->AreTexturesLoaded()) {
    screen->LoadTextures();
    screen->MarkTexturesLoaded();
  }
}

void StopLoadScreenThread() {
  if (CLoadScreen* screen = g_currentScreen) {
    ServiceFrame();
    screen->Stop();
  }
}

void HideLoadScreen() {
  CLoadScreen* screen = g_currentScreen;
  if (!screen) return;
  ServiceFrame();
  screen->Stop();
  g_currentScreen = nullptr;
  delete screen;
}

void LockLoadScreen() {
  if (CLoadScreen* screen = g_currentScreen) screen->Lock();
}

void UnlockLoadScreen() {
  CLoadScreen* screen = g_currentScreen;
  if (screen && screen->IsLocked()) screen->Unlock();
}

bool IsLoadScreenLocked() {
  CLoadScreen* screen = g_currentScreen;
  return screen && screen->IsLocked();
}

CLoadScreenLockScope::CLoadScreenLockScope() : m_lockedHere(GetCurrentLoadScreen() && !IsLoadScreenLocked()) {
  if (m_lockedHere) LockLoadScreen();
}

CLoadScreenLockScope::~CLoadScreenLockScope() {
  if (m_lockedHere) UnlockLoadScreen();
}
