#include "Framework/omLogoRenderer.h"

#include "Common/Render/Primitives/Sprite2D.h"
#include "Framework/Resources/omJpegDecoder.h"
#include "Framework/Resources/omJpegTexture.h"
#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/omAppConfig.h"
#include "Framework/omApplication.h"
#include "Platform/GraphicsDevice.h"
#include "Quor/CCollisionManager.h"
#include "Quor/CTextureManager.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/Engine.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Quor/Timer.h"

#include <algorithm>
#include <utility>

namespace Ombrel {

namespace {

constexpr const char* kOmLogoRendererSource = "Framework/omLogoRenderer";
constexpr uint32_t kVirtualKeyLeftButton = 0x01;
constexpr uint32_t kVirtualKeyReturn = 0x0D;

CLogoRenderer::FrameObserver g_frameObserver = nullptr;
CFrameLimiter::ClockFn g_paceClock = nullptr;
CFrameLimiter::SleepFn g_paceSleep = nullptr;

uint8_t ColourByte(RGBA colour, int shift) { return static_cast<uint8_t>((colour >> shift) & 0xFF); }

// 0..1 of the fade as a 128-scale alpha.
uint8_t FadeLevel(float fraction) {
  return static_cast<uint8_t>(std::clamp(fraction, 0.0f, 1.0f) * CLogoRenderer::kOpaque);
}

}  // namespace

CLogoRenderer::CLogoRenderer()
    : m_textures(std::make_unique<CTextureManager>("")), m_previousTextures(GetTextureManager()) {
  SetTextureManager(m_textures.get());
}

CLogoRenderer::~CLogoRenderer() {
  Release();
  SetTextureManager(m_previousTextures);
}

void CLogoRenderer::SetFrameObserver(FrameObserver observer) { g_frameObserver = observer; }

void CLogoRenderer::SetPaceClock(CFrameLimiter::ClockFn clock, CFrameLimiter::SleepFn sleep) {
  g_paceClock = clock;
  g_paceSleep = sleep;
}

void CLogoRenderer::Begin(const CLogo::SSettings& settings, float frameTimeLimit) {
  m_input.Bind(kSlotReturn, KeyHeldPoll<kVirtualKeyReturn>);
  m_input.Bind(kSlotPointer, KeyHeldPoll<kVirtualKeyLeftButton>);
  // After binding, so a key still held from the screen before is not a new press.
  m_input.Flush();
  m_settings = settings;
  m_frameTimeLimit = frameTimeLimit;
}

bool CLogoRenderer::Load(const SLogoImage& image) {
  m_imageName = image.name;
  m_jpegImage = image.jpeg;
  if (image.jpeg) {
    m_decoder = std::make_unique<CJpegDecoder>(m_textures.get());
    m_jpeg = std::make_unique<CJpegTexture>(image.name, CStr(""), m_decoder.get(), SMaskSettings());
    m_jpeg->Create();
    m_texture = m_jpeg->GetTexture();
  } else {
    m_texture = m_textures->TryLoadTexture(image.name.GetText());
  }
  return m_texture != nullptr;
}

bool CLogoRenderer::Animate(int32_t frameCount, int32_t rows, int32_t columns, float framesPerSecond) {
  if (!m_texture) return false;
  if (frameCount <= 0 || rows <= 0 || columns <= 0 || !(framesPerSecond > 0.0f)) {
    HM_REPORT(kOmLogoRendererSource,
              "%s: an animation of %d frames in %d x %d at %g frames a second cannot play; the picture stays still",
              m_imageName.GetText(), frameCount, rows, columns, static_cast<double>(framesPerSecond));
    return false;
  }
  auto animation = CTextureAnimation::CreateGrid(frameCount, m_texture, rows, columns);
  if (!animation->SetDuration(static_cast<float>(frameCount) / framesPerSecond)) return false;
  m_animation = std::move(animation);
  m_animation->Play();
  return true;
}

void CLogoRenderer::Release() {
  m_animation.reset();
  m_jpeg.reset();  // gives its texture back to the current manager, which is ours
  m_decoder.reset();
  if (m_texture && !m_jpegImage) m_textures->ReleaseTexture(m_texture);
  m_texture = nullptr;
  m_input.ClearSlot(kSlotReturn);
  m_input.ClearSlot(kSlotPointer);
}

void CLogoRenderer::Restart() {
  PlaceQuad();
  m_timeLeft = m_settings.showTime;
  m_fadeAlpha = 0;
  m_finished = false;
  if (m_animation) {
    m_animation->Stop();
    m_animation->Play();
  }
}

void CLogoRenderer::PlaceQuad() {
  const float halfWidth = m_settings.size.x / 2.0f / CurrentCameraAspectRatio();
  const float halfHeight = m_settings.size.y / 2.0f;
  const Vector2& at = m_settings.position;
  m_quad[0] = {at.x - halfWidth, at.y - halfHeight};
  m_quad[1] = {at.x + halfWidth, at.y - halfHeight};
  m_quad[2] = {at.x + halfWidth, at.y + halfHeight};
  m_quad[3] = {at.x - halfWidth, at.y + halfHeight};
}

void CLogoRenderer::Run() {
  Restart();
  // Paced as the application's own frames are, so a logo does not spin the processor.
  CFrameLimiter pace = g_paceClock && g_paceSleep ? CFrameLimiter(m_frameTimeLimit, g_paceClock, g_paceSleep)
                                                  : CFrameLimiter(m_frameTimeLimit);
  ResetFrameTime();
  while (IsEngineRunning()) {
    // A quit ends the loop; the program then leaves through its normal exit path.
    if (!EngineServicePass()) break;
    const CFrameClock* clock = GetFrameClock();
    Update(ClampFrameTime(clock ? clock->delta : 0.0f));
    if (m_finished) break;
    if (BeginFrame()) {
      if (CGfxDevice* device = GetD3DDevice()) {
        device->Clear(0, nullptr, GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER | GFX_CLEAR_STENCIL, 0, 1.0f, 0);
      }
      Draw();
      if (g_frameObserver) g_frameObserver(*this);
      FinishFrame();
    }
    if (CCollisionManager* collisions = GetCollisionManager()) collisions->EndFrame();
    pace.WaitForDeadline();
  }
  ResetFrameTime();
}

void CLogoRenderer::Update(float dt) {
  m_input.Update(dt);
  if (m_animation) m_animation->Update(dt);
  m_timeLeft -= dt;
  if (SkipRequested()) m_timeLeft = m_settings.fadeTime;  // the fade-out starts now
  UpdateFade();
  m_finished = m_timeLeft <= 0.0f || !m_texture;
}

bool CLogoRenderer::SkipRequested() const {
  return m_settings.allowCancel && GetElapsed() >= m_settings.minTime && m_timeLeft >= m_settings.fadeTime &&
         m_input.AnyPressed();
}

void CLogoRenderer::UpdateFade() {
  const float fade = m_settings.fadeTime;
  if (!(fade > 0.0f)) {
    m_fadeAlpha = kOpaque;
    return;
  }
  // The fade-out wins where the two overlap; between them the logo is fully there, even
  // when one long frame jumps over the end of the fade-in.
  if (m_timeLeft <= fade) {
    m_fadeAlpha = FadeLevel(m_timeLeft / fade);
  } else if (GetElapsed() <= fade) {
    m_fadeAlpha = FadeLevel(GetElapsed() / fade);
  } else {
    m_fadeAlpha = kOpaque;
  }
}

void CLogoRenderer::Draw() {
  AlphaBlendOn();
  BlendNormal();
  DepthTestOff();
  DepthWriteOff();
  CullOff();
  DrawBackground();
  if (m_texture) DrawPicture();
}

void CLogoRenderer::DrawBackground() const {
  const Vector2 screen[4] = {
      {kVirtualScreenMin, kVirtualScreenMin}, {kVirtualScreenMax, kVirtualScreenMin}, {kVirtualScreenMax, kVirtualScreenMax}, {kVirtualScreenMin, kVirtualScreenMax}};
  const RGBA colour = m_settings.background;
  Begin2DBatch();
  Add2DBatchSolidQuad(screen, ColourByte(colour, 16), ColourByte(colour, 8), ColourByte(colour, 0),
                      ColourByte(colour, 24));
  Flush2DBatch();
}

void CLogoRenderer::DrawPicture() const {
  float u0 = 0.0f, v0 = 0.0f, u1 = 0.0f, v1 = 0.0f;
  PictureRect(&u0, &v0, &u1, &v1);
  const float u[4] = {u0, u1, u1, u0};
  const float v[4] = {v0, v0, v1, v1};
  Begin2DBatch(m_texture);
  for (int corner : {0, 1, 2, 2, 3, 0}) {
    Add2DBatchVertex(m_fadeAlpha, u[corner], v[corner], m_quad[corner].x, m_quad[corner].y);
  }
  Flush2DBatch();
}

void CLogoRenderer::PictureRect(float* u0, float* v0, float* u1, float* v1) const {
  if (!m_animation) {
    // The image's area of its texture, one texel short, so filtering never reaches the padding.
    const float width = static_cast<float>(GetTextureWidth(m_texture));
    const float height = static_cast<float>(GetTextureHeight(m_texture));
    *u0 = *v0 = 0.0f;
    *u1 = (static_cast<float>(m_texture->imageWidth) - 1.0f) / width;
    *v1 = (static_cast<float>(m_texture->imageHeight) - 1.0f) / height;
    return;
  }
  // Grid frames count v from 1 at the picture's top; textures here run from the top, with the
  // picture at the top left of its padded texture.
  const STextureFrame& frame = m_animation->GetFrame(m_animation->GetFrameIndex());
  float extentU = 1.0f, extentV = 1.0f;
  GetTextureExtent(m_texture, &extentU, &extentV);
  *u0 = frame.ua * extentU;
  *u1 = frame.ub * extentU;
  *v0 = (1.0f - frame.va) * extentV;
  *v1 = (1.0f - frame.vb) * extentV;
}

}  // namespace Ombrel
