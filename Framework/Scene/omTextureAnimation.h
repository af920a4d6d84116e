#pragma once
// A sequence of frames (a texture and a texture rectangle each) played over time: a cycle
// lasts `duration` seconds and either wraps or stops at its end.

#include "Quor/CMemWatch.h"

#include <cstdint>
#include <vector>

struct TextureRecord;

namespace Ombrel {

struct STextureFrame {
  TextureRecord* texture = nullptr;  // not owned
  float ua = 0.0f;
  float va = 0.0f;
  float ub = 1.0f;
  float vb = 1.0f;
};

class CTextureAnimation : public CMemWatch {
 public:
  enum EKind { kGrid = 0, kFiles = 1 };

  virtual void Reset();
  virtual void Update(float dt);

  void Init(int kind, int frameCount);
  // Frames left to right, then row by row from v = 1 downwards.
  void SetGridFrames(TextureRecord* texture, int rows, int columns);
  void SetFrame(int index, TextureRecord* texture, float ua, float va, float ub, float vb);
  const STextureFrame& GetFrame(int index) const { return m_frames[size_t(index)]; }
  int GetFrameCount() const { return m_frameCount; }
  int GetKind() const { return m_kind; }

  // Durations and speeds must be above 0 (the callers check what content gives them).
  void SetDuration(float duration);
  void SetSpeed(float speed);
  float GetDuration() const { return m_duration; }
  float GetSpeed() const { return m_speed; }
  float GetFramesPerSecond() const { return m_framesPerSecond; }

  void SetLoop(bool loop) { m_loop = loop; }
  bool IsLooping() const { return m_loop; }
  void SetAutoPlay(bool autoPlay) { m_autoPlay = autoPlay; }
  bool IsAutoPlay() const { return m_autoPlay; }
  bool IsPlaying() const { return m_playing; }
  void SetProgress(float progress) { m_progress = progress; }
  float GetProgress() const { return m_progress; }
  void Play();
  void Stop();
  // Never past the last frame.
  int GetFrameIndex() const;

 private:
  int m_kind = -1;
  int m_frameCount = 0;
  float m_duration = 1.0f;
  float m_framesPerSecond = 30.0f;
  float m_speed = 1.0f;
  bool m_loop = false;
  float m_progress = 0.0f;
  std::vector<STextureFrame> m_frames;
  bool m_playing = false;
  bool m_paused = false;
  bool m_autoPlay = false;
};

}  // namespace Ombrel
