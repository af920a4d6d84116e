#pragma once
// A sequence of frames (a texture and a texture rectangle each) played over time: a cycle
// lasts `duration` seconds and either wraps or stops at its end.

#include "Quor/CMemWatch.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TextureRecord;

namespace Ombrel {

class CSpriteData;

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

  // A grid animation of the texture's rows x columns cells.
  static std::unique_ptr<CTextureAnimation> CreateGrid(int frameCount, TextureRecord* texture, int rows, int columns);

  // Back to the start; playing again when it plays on its own.
  virtual void Reset();
  // Moves on by speed x dt cycles while playing and not paused. At the end of a cycle a looping
  // animation wraps (fully, however long the step), another stops and rewinds to the start.
  virtual void Update(float dt);

  void Init(int kind, int frameCount);
  // Frames left to right, then row by row from v = 1 downwards.
  void SetGridFrames(TextureRecord* texture, int rows, int columns);
  void SetFrame(int index, TextureRecord* texture, float ua, float va, float ub, float vb);
  const STextureFrame& GetFrame(int index) const { return m_frames[size_t(index)]; }
  int GetFrameCount() const { return m_frameCount; }
  int GetKind() const { return m_kind; }

  // A duration or speed that is not above 0 (or whose inverse is not a number) is reported and
  // changes nothing: false then.
  bool SetDuration(float duration);
  bool SetSpeed(float speed);
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
  // The frame the progress falls in; never past the last frame (a progress of 1 or more, set
  // from outside, shows the last one).
  int GetFrameIndex() const;
  // Shows the current frame in the sprite: its texture, and its rectangle on the sprite's corners.
  void ApplyFrame(CSpriteData& sprite) const;
  // The same with the frame of that index (0..count-1).
  void ApplyFrame(int index, CSpriteData& sprite) const;

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
