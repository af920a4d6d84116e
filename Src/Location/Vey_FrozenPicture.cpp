#include "Src/Location/Vey_FrozenPicture.h"

#include "Framework/Scene/omSpriteData.h"
#include "Framework/omFileSystem.h"
#include "Quor/CShaderManager.h"
#include "Quor/DirectX/CCompiledFx.h"
#include "Quor/DirectX/CShader_PostEffectDX.h"
#include "Quor/DirectX/VertexBatch.h"
#include "Quor/DrawSubmission.h"
#include "Quor/Engine.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Screen.h"

#include <algorithm>
#include <string>

namespace Vey {

namespace {

constexpr const char* kVeyFrozenPictureSource = "Src/Location/Vey_FrozenPicture";
// The engine's compiled effects are read from the content's shader folder.
constexpr const char* kEffectFolder = "Shaders\\";
constexpr float kScreenHeight = kVirtualScreenMax - kVirtualScreenMin;
constexpr uint8_t kFrozenFullAlpha = 128;
// Two triangles over the whole target, corners in clip space with the texture's top left at
// the top left of the screen.
constexpr float kQuadCorners[6][4] = {{-1, 1, 0, 0}, {1, 1, 1, 0},   {1, -1, 1, 1},
                                      {1, -1, 1, 1}, {-1, -1, 0, 1}, {-1, 1, 0, 0}};
constexpr uint32_t kTriangleList = 2;

uint8_t ColourByte(float level) { return static_cast<uint8_t>(std::clamp(level, 0.0f, 1.0f) * kFrozenFullAlpha); }

}  // namespace

CFrozenPicture::CFrozenPicture(TextureRecord* picture) : m_picture(picture), m_sprite("FrozenPicture", picture) {
  m_sprite.SetAspectCorrection(true);
  LoadBlur();
}

CFrozenPicture::~CFrozenPicture() { ReleaseBlur(); }

// A material whose file does not exist would fall back to "Default", which is no blur: the file
// is looked for first.
void CFrozenPicture::LoadBlur() {
  CShaderManager* shaders = GetShaderManager();
  const std::string materialFile = std::string(kBlurMaterial) + ".mat";
  if (!shaders || !Ombrel::ContentFileExists(materialFile.c_str())) {
    HM_REPORT(kVeyFrozenPictureSource, "the material \"%s\" is missing: the frozen screen is dimmed instead of blurred",
              kBlurMaterial);
    return;
  }
  if (!HasEffectCache()) {
    CreateEffectCache(kEffectFolder);
    m_ownsEffectCache = true;
  }
  if (!shaders->HasShaderKind(kBlurKind)) RegisterBlurShaderKind(kBlurKind);
  CShader* material = shaders->GetMaterial(kBlurMaterial);
  m_blur = dynamic_cast<CShader_BlurDX*>(material);
  if (!m_blur) {
    HM_REPORT(kVeyFrozenPictureSource, "the material \"%s\" is no blur: the frozen screen is dimmed instead",
              kBlurMaterial);
    if (material) shaders->ReleaseMaterial(material);
    return;
  }
  m_blurQuad = m_blur->CreateBatch(6, kTriangleList);
  for (const auto& corner : kQuadCorners) {
    SModelVertex vertex{};
    vertex.position[0] = corner[0];
    vertex.position[1] = corner[1];
    vertex.position[3] = 1.0f;
    vertex.u = corner[2];
    vertex.v = corner[3];
    vertex.colour = 0xFFFFFFFFu;
    m_blur->AddVertex(m_blurQuad, vertex);
  }
  m_blur->CloseBatch(m_blurQuad);
}

void CFrozenPicture::ReleaseBlur() {
  if (m_blur) {
    if (m_blurQuad) m_blur->FreeBatch(m_blurQuad);
    m_blur->SetPostEffectTexture(nullptr);
    if (CShaderManager* shaders = GetShaderManager()) shaders->ReleaseMaterial(m_blur);
  }
  m_blurQuad = nullptr;
  m_blur = nullptr;
  if (m_ownsEffectCache) DestroyEffectCache();
  m_ownsEffectCache = false;
}

uint8_t CFrozenPicture::Brightness(float factor) {
  return ColourByte(1.0f - kDimming * std::clamp(factor, 0.0f, 1.0f));
}

// The captured frame's alpha is whatever the drawing left in the back buffer, so the picture is
// drawn with blending off: it stands in for the screen, it does not lie over it.
bool CFrozenPicture::DrawFrozen(float factor) {
  if (!HasBlur()) {
    AlphaBlendOff();
    return DrawPicture(Brightness(factor), kFrozenFullAlpha);
  }
  DrawBlurred(BlurStep(factor));
  return m_blur->DrewLastBatch();
}

float CFrozenPicture::BlurStep(float factor) { return kFullBlurStep * std::clamp(factor, 0.0f, 1.0f); }

// The quad's winding is not the scene's, so culling is off while it draws; the draw layer is
// told that the device's shaders and inputs changed behind its back.
void CFrozenPicture::DrawBlurred(float step) {
  const bool culling = IsCullingOn();
  AlphaBlendOff();
  DepthTestOff();
  CullOff();
  m_blur->SetPostEffectTexture(m_picture);
  m_blur->factor = step;
  m_blur->Begin();
  m_blur->DrawBatch(m_blurQuad);
  m_blur->End();
  InvalidateDrawState();
  if (culling) CullOn();
  AlphaBlendOn();
  BlendNormal();
}

// As wide as the game view at its aspect ratio.
bool CFrozenPicture::DrawPicture(uint8_t brightness, uint8_t alpha) {
  if (!m_sprite.GetSpriteData().GetTexture()) return false;
  const float aspect = Ombrel::GetSceneAspectRatio();
  m_sprite.GetSpriteData().SetSize(kScreenHeight * aspect, kScreenHeight);
  m_sprite.SetPosition({kVirtualCentre, kVirtualCentre});
  m_sprite.GetSpriteData().SetColour({brightness, brightness, brightness, alpha});
  DepthTestOff();
  m_sprite.Render();
  AlphaBlendOn();
  BlendNormal();
  return true;
}

void CFrozenPicture::SetImage(TextureRecord* texture, float, float alpha) {
  m_sprite.GetSpriteData().SetTexture(texture);
  m_alpha = alpha;
}

// The location is the first thing drawn, so its fade darkens the picture rather than mixing it
// with what lies behind.
void CFrozenPicture::Draw(int32_t) {
  AlphaBlendOff();
  DrawPicture(ColourByte(m_alpha), kFrozenFullAlpha);
}

}  // namespace Vey
