#include "Src/Game/Vey_EngineShowcase.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "Common/Render/Primitives/CTriangle2D.h"
#include "Common/Render/Primitives/Sprite2D.h"
#include "Common/Render/SpecialFx/CFontFX.h"
#include "Platform/PlatformSystem.h"
#include "Quor/CFont.h"
#include "Quor/CLoadScreen.h"
#include "Quor/CShaderManager.h"
#include "Quor/CTextureManager.h"
#include "Quor/CVFS.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/DrawSubmission.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"

namespace Vey {

namespace {

const char* const kVeyEngineShowcaseSource = "Src/Game/Vey_EngineShowcase";

// How long the loading screen may take to show its picture before the showcase goes on.
constexpr auto kLoadingScreenWait = std::chrono::seconds(10);
constexpr float kTextHeight = 32.0f;

// The loading screen of the showcase: a dark field and a yellow bar as long as the progress.
class CShowcaseLoadScreen : public CLoadScreen {
 public:
  ~CShowcaseLoadScreen() override { Stop(); }

  void LoadTextures() override { m_dot = LoadTexture("Dot.mpt"); }

  void Draw() override {
    ResetDrawState();
    SetDrawScreenSpace(true);
    DrawTextureRect(1792, 1792, 512, 512, {16, 32, 64, 128}, m_dot);
    DrawTextureRect(1856, 2200, 384 * GetProgress(), 24, {128, 128, 0, 128}, m_dot);
    if (GetProgress() == 0.5f) ++m_halfwayFrames;
  }

  uint32_t GetHalfwayFrames() const { return m_halfwayFrames; }

 private:
  TextureRecord* m_dot = nullptr;
  std::atomic<uint32_t> m_halfwayFrames{0};
};

std::unique_ptr<CFont> LoadFont(const char* name) {
  auto font = std::make_unique<CFont>();
  font->Load(name);
  return font;
}

void WaitForHalfwayFrames(const CShowcaseLoadScreen& screen) {
  const auto end = std::chrono::steady_clock::now() + kLoadingScreenWait;
  while (screen.GetHalfwayFrames() < 3 && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (screen.GetHalfwayFrames() < 3) HM_REPORT(kVeyEngineShowcaseSource, "The loading screen drew no picture in time");
}

Vector2 Corner(float x, float y) { return {x, y}; }

}  // namespace

// Red and blue escapes (on the 128 scale) inside white text; byte 3 restores the colour.
const char* const CEngineShowcase::kSansText = "Hollowmere \x02\x80\x01\x01" "engine\x03 text";
const char* const CEngineShowcase::kGothicText = "\xE3\x81\x8B\xE3\x81\xAA \x02\x01\x01\x80" "Kana\x03!";

CEngineShowcase::CEngineShowcase() = default;

CEngineShowcase::~CEngineShowcase() {
  m_sans.reset();
  m_gothic.reset();
  if (m_textures && m_checker) m_textures->ReleaseTexture(m_checker);
  SetTextureManager(nullptr);
  m_textures.reset();
  if (g_pVFS == m_vfs.get()) g_pVFS = nullptr;
}

bool CEngineShowcase::Open() {
  char base[512];
  if (!PlatformGetEnv(kVariable, base, sizeof base)) return false;
  CVFS::SetArchiveMode(true);
  m_vfs = std::make_unique<CVFS>(base);
  if (!m_vfs->LoadArchive())
    HM_FATAL(kVeyEngineShowcaseSource, "%s: %s.PK2 cannot be read as an archive", kVariable, base);
  g_pVFS = m_vfs.get();
  m_textures = std::make_unique<CTextureManager>("Textures");
  SetTextureManager(m_textures.get());
  return true;
}

void CEngineShowcase::Load() {
  auto* screen = new CShowcaseLoadScreen;
  SetCurrentLoadScreen(screen);
  StartLoadScreen();
  m_checker = m_textures->LoadTexture("Checker.mpt");
  screen->SetProgress(0.25f);
  m_sans = LoadFont("Fonts/Sans.fnt");
  m_gothic = LoadFont("Fonts/Gothic.fnt");
  screen->SetProgress(0.5f);
  WaitForHalfwayFrames(*screen);
  LockLoadScreen();
  CaptureBackBufferAs("loading-screen.png");
  UnlockLoadScreen();
  screen->SetProgress(1.0f);
  HideLoadScreen();
}

void CEngineShowcase::Draw() {
  ResetDrawState();
  SetDrawScreenSpace(true);
  AlphaBlendOn();
  BlendNormal();
  DepthTestOff();
  // Top left: the checker texture (red on the left, green on the right).
  DrawTextureRect(1824, 1824, 128, 128, {128, 128, 128, 128}, m_checker);
  DrawPrimitives();
  DrawTexts();
}

void CEngineShowcase::DrawPrimitives() {
  // A yellow quad through the triangle batch.
  const Vector2 quad[4] = {Corner(2000, 1824), Corner(2000, 1900), Corner(2100, 1900), Corner(2100, 1824)};
  Begin2DBatch();
  Add2DBatchSolidQuad(quad, 128, 128, 0, 128);
  Flush2DBatch();

  // A sprite pair in the sprite points' half-transparent green.
  BeginSprites2D();
  AddSpritePair2D({2150, 1824}, {2250, 1900});
  FlushSprites2D();

  // The font effects' gradient: red on the left, blue on the right.
  const Vector2 gradient[4] = {Corner(2000, 1920), Corner(2000, 1980), Corner(2250, 1980), Corner(2250, 1920)};
  CFontFX(nullptr).DrawGradientQuad(gradient);

  // A green debug line low on the screen; with identity transforms world is clip space.
  AddDebugLine({-0.9f, -0.8f, 0.5f}, {-0.1f, -0.8f, 0.5f}, {0, 128, 0, 128});
  FlushDebugLines();
  SetDrawScreenSpace(true);
}

void CEngineShowcase::DrawTexts() {
  struct SPrint {
    CFont* font;
    const char* name;
    const char* text;
    float y;
  } prints[2] = {{m_sans.get(), "sans", kSansText, 2000}, {m_gothic.get(), "gothic", kGothicText, 2080}};
  for (const SPrint& print : prints) {
    // Lines 32 virtual units apart.
    print.font->SetSize(kTextHeight / print.font->GetLineHeight());
    print.font->SetColors(uint8_t{128});
    print.font->SetPosition(1824, print.y);
    print.font->Printf("%s", print.text);
    print.font->Flush();
    if (!m_extentsPrinted) {
      float width = 0, height = 0;
      print.font->GetTextExtent(print.text, &width, &height);
      std::printf("showcase text %s at %.1f %.1f extent %.2f %.2f\n", print.name, 1824.0, double(print.y),
                  double(width), double(height));
    }
  }
  m_extentsPrinted = true;
  std::fflush(stdout);
}

}  // namespace Vey
