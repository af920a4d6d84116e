#pragma once
// The loading screen: a thread that keeps drawing at about 60 frames per second while the main
// thread loads a state. Each frame is drawn under the screen's own lock; the main thread takes
// that lock (LockLoadScreen) around device resets, mode switches and window moves, and a
// locked screen sleeps instead of drawing.
//
// With OpenGL a context is current on one thread at a time, so the screen draws with a context
// of its own, shared with the main one (textures, buffers and shaders are common to both). The
// context is a device resource: it goes away before the device is reset and comes back after,
// always under the screen's lock, so the loading thread never draws into a device being reset.
//
// The game derives its screens from CLoadScreen and supplies Draw and LoadTextures; until
// the textures are loaded the thread draws the built-in indicator (DrawDefault).

#include <atomic>
#include <cstdint>
#include <vector>

#include "Quor/CThread.h"
#include "Quor/DirectX/DeviceFrame.h"

struct TextureRecord;

class CLoadScreen : public CThread {
 public:
  CLoadScreen();
  ~CLoadScreen() override;

  bool Step() override;
  // The game's picture of one frame, on the loading thread between the frame's begin and end.
  virtual void Draw() = 0;
  // The game's textures, through LoadTexture; on the main thread, once.
  virtual void LoadTextures() = 0;
  // The built-in picture: a background and three squares pulsing a quarter period apart.
  virtual void DrawDefault();

  // Loads a texture through the texture manager; released with the screen.
  TextureRecord* LoadTexture(const char* name);

  // 0..1, written by the loading code; drawn as at most 1.
  void SetProgress(float progress) { m_progress = progress; }
  float GetProgress() const;
  // How many of the items being loaded there are and how many are done.
  void SetCounts(uint32_t total, uint32_t done) {
    m_total = total;
    m_done = done;
  }
  uint32_t GetTotal() const { return m_total; }
  uint32_t GetDone() const { return m_done; }

  bool AreTexturesLoaded() const { return m_texturesLoaded; }
  void MarkTexturesLoaded() { m_texturesLoaded = true; }
  uint32_t GetFramesDrawn() const { return m_framesDrawn; }
  // Engine time of the first frame drawn (0 before it).
  float GetFirstFrameTime() const { return m_firstFrameTime; }

  // Lock calls: the main thread holds the screen (the thread sleeps meanwhile).
  void Lock();
  void Unlock();
  bool IsLocked() const { return m_locked; }
  // Cleared by every Lock; nothing else uses it.
  bool GetLockMark() const { return m_lockMark; }

  uint8_t backgroundColour[3] = {0, 0, 0};
  uint8_t indicatorColour[3] = {128, 128, 128};

 private:
  void DrawFrame();

  CCriticalSection m_lock;
  CDeviceThreadContext* m_context = nullptr;
  std::vector<TextureRecord*> m_textures;
  std::atomic<bool> m_locked{false};
  std::atomic<bool> m_lockMark{false};
  std::atomic<bool> m_texturesLoaded{false};
  std::atomic<uint32_t> m_framesDrawn{0};
  std::atomic<float> m_progress{0.0f};
  std::atomic<uint32_t> m_total{0};
  std::atomic<uint32_t> m_done{0};
  std::atomic<float> m_firstFrameTime{0.0f};
};

// The current screen (null when none). The framework's loading provider makes a new screen
// current, then starts it.
CLoadScreen* GetCurrentLoadScreen();
void SetCurrentLoadScreen(CLoadScreen* screen);

// Starts the current screen's thread, then loads its textures on this thread unless loaded.
void StartLoadScreen();
// Stops the current screen's thread; the screen stays current.
void StopLoadScreenThread();

// On the current screen when there is one.
void LockLoadScreen();
void UnlockLoadScreen();
bool IsLoadScreenLocked();
