#include "Framework/omSystemDrawing.h"

#include "Common/Render/Primitives/Sprite2D.h"
#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/Resources/omResourceManager.h"
#include "Quor/CFont.h"
#include "Quor/Engine.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"

#include <cmath>
#include <set>
#include <string>

namespace Ombrel {

namespace {

constexpr const char* kOmSystemDrawingSource = "Framework/omSystemDrawing";
constexpr float kSmallestTextSize = 10.0f;

// Reports a missing system resource the first time it is missed, not every frame.
void ReportMissingOnce(const char* kind, const char* name) {
  static std::set<std::string> reported;
  if (reported.insert(std::string(kind) + ":" + name).second) {
    HM_REPORT(kOmSystemDrawingSource, "The system %s \"%s\" is missing; that part is drawn without it", kind, name);
  }
}

}  // namespace

void SetSystemScreenStates() {
  DepthTestOff();
  DepthWriteOff();
  AlphaBlendOn();
  BlendNormal();
  CullOff();
}

float SystemAspect() {
  const float aspect = GetDisplayAspect();
  return aspect > 0.0f ? aspect : 1.0f;
}

// Corners in the batch's order: top left, bottom left, bottom right, top right, which take
// the texture's (0, 0), (0, 1), (1, 1), (1, 0). A quarter turn moves each corner's texel on.
void DrawQuad(const SQuadPicture& picture, float left, float top, float right, float bottom,
              uint8_t alpha, uint8_t grey) {
  if (picture.mirrored) std::swap(left, right);
  Vector2 placed[4] = {{left, top}, {left, bottom}, {right, bottom}, {right, top}};
  Vector2 corners[4];
  const int32_t turns = ((picture.quarterTurns % 4) + 4) % 4;
  for (int i = 0; i < 4; ++i) corners[i] = placed[(i + 4 - turns) % 4];
  Begin2DBatch(picture.texture);
  Add2DBatchQuad(corners, grey, grey, grey, alpha);
  Flush2DBatch();
}

void DrawTurnedQuad(TextureRecord* texture, float centreX, float centreY, float width, float height,
                    float radians, uint8_t alpha) {
  const float c = std::cos(radians), s = std::sin(radians);
  const float aspect = SystemAspect();
  const float halfW = width * aspect / 2, halfH = height / 2;  // turned in square units
  const float local[4][2] = {{-halfW, -halfH}, {-halfW, halfH}, {halfW, halfH}, {halfW, -halfH}};
  Vector2 corners[4];
  for (int i = 0; i < 4; ++i) {
    corners[i].x = centreX + (local[i][0] * c - local[i][1] * s) / aspect;
    corners[i].y = centreY + local[i][0] * s + local[i][1] * c;
  }
  Begin2DBatch(texture);
  Add2DBatchQuad(corners, 128, 128, 128, alpha);
  Flush2DBatch();
}

void DrawCappedStrip(TextureRecord* centre, TextureRecord* end, float centreX, float centreY,
                     float width, float height, float capWidth) {
  const float aspect = SystemAspect();
  const float halfW = width / aspect / 2, cap = capWidth / aspect;
  const float left = centreX - halfW, right = centreX + halfW;
  const float top = centreY - height / 2, bottom = centreY + height / 2;
  DrawQuad({end, 0, false}, left, top, left + cap, bottom);
  DrawQuad({centre, 0, false}, left + cap, top, right - cap, bottom);
  DrawQuad({end, 0, true}, right - cap, top, right, bottom);
}

void DrawFittedText(CFont* font, const char* text, float centreX, float centreY, float boxWidth,
                    float boxHeight, float startSize, float step) {
  if (!font || !text || !*text || font->GetLineHeight() <= 0.0f) return;
  font->UpdateAspectScale();
  font->SetWrapWidth(boxWidth);
  font->SetAlignment(kAlignCentre, kAlignCentre);
  font->SetColors(static_cast<uint8_t>(128));
  float size = startSize;
  for (;;) {
    font->SetSize(size / font->GetLineHeight());
    float width = 0.0f, height = 0.0f;
    font->GetTextExtent(text, &width, &height);
    if ((width <= boxWidth && height <= boxHeight) || size <= kSmallestTextSize) break;
    size -= step;
  }
  font->SetPosition(centreX, centreY);
  font->Printf("%s", text);
  font->Flush();
  font->SetWrapWidth(CFont::kNoWrap);
  font->SetAlignment(kAlignStart, kAlignStart);
}

TextureRecord* FindSystemTexture(CResourceManager* resources, const char* name) {
  CResourceTexture* texture = resources ? resources->GetTexture(name) : nullptr;
  if (texture && texture->GetTexture()) return texture->GetTexture();
  ReportMissingOnce("texture", name);
  return nullptr;
}

CFont* FindSystemFont(CResourceManager* resources, const char* name) {
  CResourceFont* font = resources ? resources->GetFont(name) : nullptr;
  if (font && font->GetFont()) return font->GetFont();
  ReportMissingOnce("font", name);
  return nullptr;
}

}  // namespace Ombrel
