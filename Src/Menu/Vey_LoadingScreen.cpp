#include "Src/Menu/Vey_LoadingScreen.h"

#include "Quor/CShaderManager.h"
#include "Quor/CTextureManager.h"
#include "Quor/DrawSubmission.h"
#include "Quor/Engine.h"
#include "Quor/RenderStates.h"
#include "Quor/Timer.h"
#include "Src/World/Vey_Screen.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace Vey {

namespace {

// The animation step sleeps first, so a loading frame lasts at least this long.
constexpr float kStepSleep = 0.019f;
constexpr float kLoadingFadeSpeed = 2.0f;  // full after half a second
constexpr float kDotPhaseSpeed = 0.5f;  // one pulse every two seconds
// The label's place was laid out for a 4:3 screen; it keeps that place at any aspect.
constexpr float kLayoutAspect = 1.3333334f;
constexpr float kDotSide = 2.56f;
constexpr float kDotOffsets[CLoadingScreenBase::kDotCount] = {298.53134f, 304.28928f, 310.04724f};
// The progress bar lies along the picture's lower edge.
constexpr float kBarHeight = 2.56f;
constexpr float kBarMargin = 6.0f;

}  // namespace

CLoadingScreenBase::CLoadingScreenBase(const char* backgroundFolder)
    : m_backgroundFolder(backgroundFolder), m_lastTime(GetTimeSeconds()) {}

// The thread must not step a screen that is being taken apart.
CLoadingScreenBase::~CLoadingScreenBase() { Stop(); }

CLoadingScreenBase::SPictures CLoadingScreenBase::PicturesFor(int32_t language) {
  switch (language) {
    case kLangGerman:
      return {"DE.mpt", "BackgroundDE.mpt"};
    case kLangFrench:
    case kLangCatalan:
      return {"FR.mpt", "BackgroundFR.mpt"};
    case kLangSpanish:
    case kLangLatin:
      return {"ES.mpt", "BackgroundES.mpt"};
    case kLangItalian:
      return {"IT.mpt", "BackgroundIT.mpt"};
    case kLangDutch:
      return {"NL.mpt", "Background.mpt"};
    case kLangRussian:
      return {"RU.mpt", "BackgroundRU.mpt"};
    default:
      return {"EN.mpt", "Background.mpt"};
  }
}

// On the main thread, before the thread may draw the game's picture.
void CLoadingScreenBase::LoadTextures() {
  const SPictures pictures = PicturesFor(GetLanguage());
  m_labelName = pictures.label;
  std::snprintf(m_backgroundName, sizeof m_backgroundName, "%s%s", m_backgroundFolder, pictures.background);
  CTextureManager* manager = GetTextureManager();
  const std::string previousFolder = manager ? manager->GetDirectory() : "";
  if (manager) manager->SetDirectory(kTextureFolder);
  m_labelTexture = LoadTexture(m_labelName);
  m_backgroundTexture = LoadTexture(m_backgroundName);
  m_dotTexture = LoadTexture(kDotTexture);
  if (manager) manager->SetDirectory(previousFolder.c_str());
  SetLayout();
}

void CLoadingScreenBase::SetLayout() {
  m_aspect = GetAspect();
  const float inverse = 1.0f / m_aspect;
  m_background = {kVirtualCentre, 2009.6f, 436.90674f, 218.45325f};
  m_label = {kVirtualCentre + 244.45107f * inverse, 2266.0322f, 109.824f, 27.456f};
  for (int dot = 0; dot < kDotCount; ++dot) {
    m_dots[dot] = {kVirtualCentre + kDotOffsets[dot] * inverse, 2268.7144f, kDotSide, kDotSide};
  }
}

void CLoadingScreenBase::Animate(float now) {
  float dt = now - m_lastTime;
  if (dt <= 0.0f) dt = 0.0f;
  if (dt >= kLongestStep) dt = kLongestStep;
  m_lastTime = now;
  m_elapsed += dt;
  m_fade = std::clamp(m_fade + kLoadingFadeSpeed * dt, 0.0f, 1.0f);
  for (float& phase : m_dotPhases) {
    phase += dt * kDotPhaseSpeed;
    if (phase >= 1.0f) phase -= 1.0f;
  }
}

float CLoadingScreenBase::LabelShift() const {
  const float fromCentre = m_label.x - kVirtualCentre;
  return fromCentre * m_aspect / kLayoutAspect - fromCentre;
}

CLoadingScreenBase::SRect CLoadingScreenBase::LabelPlace() const {
  return {m_label.x + LabelShift(), m_label.y, m_label.width / m_aspect, m_label.height};
}

// A dot pulses between twice and four times its size.
CLoadingScreenBase::SRect CLoadingScreenBase::DotPlace(int dot) const {
  const float phase = m_dotPhases[dot];
  const float grow = 4.0f * (phase >= 0.5f ? phase : 1.0f - phase);
  return {m_dots[dot].x + LabelShift(), m_dots[dot].y, grow * m_dots[dot].width / m_aspect, grow * m_dots[dot].height};
}

void CLoadingScreenBase::Draw() {
  SleepSeconds(kStepSleep);
  Animate(GetTimeSeconds());
  ResetDrawState();
  SetDrawScreenSpace(true);
  AlphaBlendOn();
  BlendNormal();
  DepthTestOff();
  const uint8_t alpha = uint8_t(m_fade * 128.0f);
  SRect background = m_background;
  background.width /= m_aspect;
  DrawQuad(m_backgroundTexture, background, alpha);
  DrawQuad(m_labelTexture, LabelPlace(), alpha);
  for (int dot = 0; dot < kDotCount; ++dot) DrawQuad(m_dotTexture, DotPlace(dot), alpha);
  const float progress = GetProgress();
  const float barWidth = background.width * progress;
  const float barLeft = background.x - background.width * 0.5f;
  DrawQuad(m_dotTexture,
           {barLeft + barWidth * 0.5f, background.y + background.height * 0.5f + kBarMargin, barWidth, kBarHeight},
           alpha);
  m_drawnProgress = progress;
}

void CLoadingScreenBase::DrawQuad(TextureRecord* texture, const SRect& place, uint8_t alpha) const {
  if (!texture || place.width <= 0.0f) return;
  DrawTextureRect(place.x - place.width * 0.5f, place.y - place.height * 0.5f, place.width, place.height,
                  {128, 128, 128, alpha}, texture);
}

}  // namespace Vey
