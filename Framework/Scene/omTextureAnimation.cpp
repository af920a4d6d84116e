#include "Framework/Scene/omTextureAnimation.h"

#include <algorithm>
#include <cmath>

namespace Ombrel {

void CTextureAnimation::Reset() {
  m_progress = 0.0f;
  m_paused = false;
  m_playing = m_autoPlay;
}

void CTextureAnimation::Update(float dt) {
  if (!m_playing || m_paused) return;
  m_progress += m_speed * dt;
  if (m_progress < 1.0f) return;
  if (m_loop) {
    m_progress -= std::floor(m_progress);  // a step of several cycles still lands inside one
  } else {
    m_playing = false;
    m_progress = 0.0f;
  }
}

void CTextureAnimation::Init(int kind, int frameCount) {
  m_kind = kind;
  m_frameCount = std::max(0, frameCount);
  m_frames.assign(size_t(m_frameCount), STextureFrame());
  m_duration = 1.0f / m_speed;
  m_framesPerSecond = float(m_frameCount) * m_speed;
}

void CTextureAnimation::SetGridFrames(TextureRecord* texture, int rows, int columns) {
  if (rows <= 0 || columns <= 0) return;
  const auto clamp = [](float v) { return std::min(1.0f, std::max(0.0f, v)); };
  for (int i = 0; i < m_frameCount; ++i) {
    const int column = i % columns;
    const int row = i / columns;
    SetFrame(i, texture, clamp(float(column) / float(columns)), clamp(1.0f - float(row) / float(rows)),
             clamp(float(column + 1) / float(columns)), clamp(1.0f - float(row + 1) / float(rows)));
  }
}

void CTextureAnimation::SetFrame(int index, TextureRecord* texture, float ua, float va, float ub, float vb) {
  if (index < 0 || index >= m_frameCount) return;
  m_frames[size_t(index)] = STextureFrame{texture, ua, va, ub, vb};
}

void CTextureAnimation::SetDuration(float duration) {
  m_duration = duration;
  m_framesPerSecond = float(m_frameCount) / duration;
  m_speed = 1.0f / duration;
}

void CTextureAnimation::SetSpeed(float speed) {
  m_speed = speed;
  m_duration = 1.0f / speed;
  m_framesPerSecond = speed * float(m_frameCount);
}

void CTextureAnimation::Play() {
  if (m_playing) return;
  m_playing = true;
  m_progress = 0.0f;
}

void CTextureAnimation::Stop() {
  m_playing = false;
  m_progress = 0.0f;
}

int CTextureAnimation::GetFrameIndex() const {
  if (m_frameCount <= 0) return 0;
  return std::min(m_frameCount - 1, std::max(0, int(float(m_frameCount) * m_progress)));
}

}  // namespace Ombrel
