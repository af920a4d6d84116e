#include "Framework/Scene/omTextureAnimation.h"

#include "Framework/Scene/omSpriteData.h"
#include "Quor/ReportError.h"

#include <algorithm>
#include <cmath>

namespace Ombrel {

namespace {

constexpr const char* kOmTextureAnimationSource = "Framework/Scene/omTextureAnimation";

// A rate the animation can run at: above 0, with an inverse that is a number too.
bool IsUsableRate(float value) { return value > 0.0f && std::isfinite(value) && std::isfinite(1.0f / value); }

}  // namespace

std::unique_ptr<CTextureAnimation> CTextureAnimation::CreateGrid(int frameCount, TextureRecord* texture, int rows,
                                                                 int columns) {
  auto animation = std::make_unique<CTextureAnimation>();
  animation->Init(kGrid, frameCount);
  animation->SetGridFrames(texture, rows, columns);
  return animation;
}

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
    // A step of several cycles still lands inside one.
    m_progress = std::isfinite(m_progress) ? m_progress - std::floor(m_progress) : 0.0f;
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

bool CTextureAnimation::SetDuration(float duration) {
  if (!IsUsableRate(duration)) {
    HM_REPORT(kOmTextureAnimationSource, "A texture animation cannot last %g seconds", double(duration));
    return false;
  }
  m_duration = duration;
  m_framesPerSecond = float(m_frameCount) / duration;
  m_speed = 1.0f / duration;
  return true;
}

bool CTextureAnimation::SetSpeed(float speed) {
  if (!IsUsableRate(speed)) {
    HM_REPORT(kOmTextureAnimationSource, "A texture animation cannot run at %g cycles a second", double(speed));
    return false;
  }
  m_speed = speed;
  m_duration = 1.0f / speed;
  m_framesPerSecond = speed * float(m_frameCount);
  return true;
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
  const float frame = float(m_frameCount) * m_progress;
  if (m_frameCount <= 0 || !(frame >= 0.0f)) return 0;  // not a number counts as the start
  return frame >= float(m_frameCount) ? m_frameCount - 1 : int(frame);
}

void CTextureAnimation::ApplyFrame(CSpriteData& sprite) const { ApplyFrame(GetFrameIndex(), sprite); }

void CTextureAnimation::ApplyFrame(int index, CSpriteData& sprite) const {
  if (index < 0 || index >= m_frameCount) return;
  const STextureFrame& frame = GetFrame(index);
  sprite.SetTexture(frame.texture);
  sprite.SetTexCoords({frame.ua, frame.vb}, {frame.ub, frame.vb}, {frame.ub, frame.va}, {frame.ua, frame.va});
}

}  // namespace Ombrel
