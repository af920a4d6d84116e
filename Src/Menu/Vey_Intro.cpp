#include "Src/Menu/Vey_Intro.h"

#include "Framework/Resources/omResourceManager.h"
#include "Framework/omAssetModule.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/World/Vey_MPManager.h"
#include "Src/World/Vey_SoundContainer.h"

#include <algorithm>

namespace Vey {

namespace {

// The time line's one-shot steps, in their order.
enum EStep : int {
  kRainFades,
  kMatchStruck,
  kFirstCandleLit,
  kFirstCandleOut,
  kSecondCandleLit,
  kSecondCandleOut,
  kSecondRain,
  kSecondRainFades,
  kThirdRain,
  kThirdRainFades,
};

float Clamp01(float value) { return std::min(std::max(value, 0.0f), 1.0f); }

// A rain's alpha as it fades out over half a second from `from`.
float FadingAlpha(float t, float from) { return 1.0f - Clamp01(2.0f * (t - from)); }

}  // namespace

const char* const CIntro::kEmitterNames[kEmitterCount] = {"Candle1", "Candle2", "Matches", "Rain", "Rain2", "Rain3"};

CIntro::CIntro(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config)
    : CComicState(application, config, {"intro", kResourceList, kComicFile, kMusic}) {}

void CIntro::Start() {
  CComicState::Start();
  std::fill(std::begin(m_stepDone), std::end(m_stepDone), false);
}

void CIntro::FillSounds(CSoundContainer& bank) { bank.LoadIntroSounds(Ombrel::GetResourceManager()); }

void CIntro::CreateEffects() { MP::LoadEmitters(kEffectFile, kEmitterNames, kEmitterCount, m_emitters); }

void CIntro::ReleaseEffects() {
  std::fill(std::begin(m_emitters), std::end(m_emitters), nullptr);
  MP::CManager::DeleteInstance();
}

void CIntro::UpdateEffects(float dt) {
  for (MP::CEmitter* emitter : m_emitters) {
    if (emitter) emitter->Update(dt);
  }
}

// The storm is already falling when the first page comes up.
void CIntro::BeginEffects() {
  if (MP::CEmitter* rain = m_emitters[kRain]) {
    rain->SetLoopMode(1);
    rain->SetAlpha(1.0f);
  }
  StartEffect(kRain);
}

void CIntro::RenderEffects() {
  for (MP::CEmitter* emitter : m_emitters) {
    if (emitter) emitter->Render();
  }
}

void CIntro::StartEffect(EEmitter which) {
  if (MP::CEmitter* emitter = m_emitters[which]) emitter->Start();
}

void CIntro::InterruptEffect(EEmitter which) {
  if (MP::CEmitter* emitter = m_emitters[which]) emitter->InterruptEmitter();
}

void CIntro::StartShower(EEmitter which) {
  if (MP::CEmitter* rain = m_emitters[which]) rain->SetAlpha(1.0f);
  StartEffect(which);
}

// A shower keeps the alpha of the frame it ends on while its last drops fall.
void CIntro::EndShower(EEmitter which, float alpha) {
  if (MP::CEmitter* rain = m_emitters[which]) rain->SetAlpha(alpha);
  InterruptEffect(which);
}

bool CIntro::Once(int step, bool due) {
  if (!due || m_stepDone[step]) return false;
  m_stepDone[step] = true;
  return true;
}

// Each step runs once as the music passes its moment; a frame that takes one takes no other and
// ends there, so after a stall the steps come one a frame in their order.
bool CIntro::StepTimeline() {
  const float t = GetTime();
  if (t > 12.0f) {
    if (MP::CEmitter* rain = m_emitters[kRain]) rain->SetAlpha(FadingAlpha(t, 12.0f));
    if (Once(kRainFades, true)) {
      InterruptEffect(kRain);
      return true;
    }
  }
  if (Once(kMatchStruck, t >= 26.0f && t < 27.0f)) {
    StartEffect(kMatches);
    return true;
  }
  if (Once(kFirstCandleLit, t >= 31.0f)) {
    if (MP::CEmitter* candle = m_emitters[kCandle1]) candle->SetPosition({0.0f, 0.0f});
    StartEffect(kCandle1);
    return true;
  }
  if (Once(kFirstCandleOut, t > 64.0f)) {
    InterruptEffect(kCandle1);
    return true;
  }
  MoveFirstCandle(t);
  if (Once(kSecondCandleLit, t > 65.0f)) {
    StartEffect(kCandle2);
    return true;
  }
  if (Once(kSecondCandleOut, t > 84.0f)) {
    InterruptEffect(kCandle2);
    return true;
  }
  MoveSecondCandle(t);
  if (Once(kSecondRain, t > 87.0f)) {
    StartShower(kRain2);
    return true;
  }
  if (Once(kSecondRainFades, t > 99.0f)) {
    EndShower(kRain2, FadingAlpha(t, 99.0f));
    return true;
  }
  if (Once(kThirdRain, t >= 100.5f)) {
    StartShower(kRain3);
    return true;
  }
  if (Once(kThirdRainFades, t > 114.5f)) {
    EndShower(kRain3, FadingAlpha(t, 114.5f));
    return true;
  }
  return false;
}

// The first candle drifts up and to the left as it is carried away, slowing after 18 s and
// stopping after 33 s.
void CIntro::MoveFirstCandle(float t) {
  if (!m_stepDone[kFirstCandleLit] || m_stepDone[kFirstCandleOut]) return;
  MP::CEmitter* candle = m_emitters[kCandle1];
  if (!candle) return;
  const float a = t - 31.0f;
  const float m = std::min(a, 33.0f);
  const float k = 0.1f * std::min(a, 18.0f) + 0.01f * std::clamp(t - 49.0f, 0.0f, 6.0f);
  candle->MoveWithParticles({-2.5f * k * m, -k * m});
}

// The second candle is carried down and to the left.
void CIntro::MoveSecondCandle(float t) {
  if (!m_stepDone[kSecondCandleLit] || m_stepDone[kSecondCandleOut]) return;
  if (MP::CEmitter* candle = m_emitters[kCandle2]) candle->MoveWithParticles({-4.0f * (t - 65.0f), t - 65.0f});
}

}  // namespace Vey
