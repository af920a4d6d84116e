// Effects from their descriptions run through the effect manager on a real device and seen
// through the view camera: the frames read back show the particles where the description
// puts them, in the colours of their curves, as many as the emitter has born, following
// their path; whole effects are ordered and culled by the camera.

#include "tests/Quor/Render/RenderTestKit.h"

#include "Common/Particles/CDefaultRender.h"
#include "Common/Particles/CElemStandartEmiter.h"
#include "Common/Particles/ParticleDrawServices.h"
#include "Common/Utils/Spline/CSpline.h"
#include "ParticleTestSupport.h"
#include "Quor/CViewCamera.h"
#include "Quor/MatrixTable.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

using rendertest::CRenderFixture;
using rendertest::MptFile;
using rendertest::Solid;
using rendertest::SRgba;

namespace {

// 3 s of game time in 48 frames; the step is exact in binary, so ages and births are too.
constexpr float kFrameTime = 0.0625f;
constexpr int kRunFrames = 48;
// The camera stands 10 units in front of the plane y = 0 with a 90-degree view, so the
// plane's square from -10 to 10 fills the 64-pixel frame: 3.2 pixels a unit.
constexpr float kPixelsPerUnit = 3.2f;

// Pixel-edge coordinates (pixel i covers [i, i + 1)) of a point on the plane y = 0.
float ScreenX(float x) { return 32.0f + kPixelsPerUnit * x; }
float ScreenY(float z) { return 32.0f - kPixelsPerUnit * z; }

// A particle's quad as the camera should show it: centre (x, 0, z), half side, colour.
struct SExpectedQuad {
  float x, z, half;
  SRgba colour;
};

bool IsLit(const SRgba& c) { return c.r + c.g + c.b > 60; }

bool IsNear(const SRgba& seen, const SRgba& expected, int tolerance) {
  return std::abs(seen.r - expected.r) <= tolerance && std::abs(seen.g - expected.g) <= tolerance &&
         std::abs(seen.b - expected.b) <= tolerance;
}

// The separate stretches of lit pixels along one row.
int CountLitRuns(const std::vector<uint8_t>& rgba, int width, int row) {
  int runs = 0;
  bool inRun = false;
  for (int x = 0; x < width; ++x) {
    const uint8_t* p = &rgba[(static_cast<size_t>(row) * width + x) * 4];
    const bool lit = IsLit(SRgba{p[0], p[1], p[2], p[3]});
    if (lit && !inRun) ++runs;
    inRun = lit;
  }
  return runs;
}

// The drifting effect of drift.xml at a frame (counted from 1): two births a second are one
// every 8 frames, into its four slots; a particle is drawn from the frame after its birth,
// has moved 6 units a second along x since, and has turned from blue to red over its 4 s.
std::vector<SExpectedQuad> DriftQuads(int frame) {
  std::vector<SExpectedQuad> quads;
  for (int birth = 8; birth <= 32; birth += 8) {
    if (frame <= birth) continue;
    const float age = static_cast<float>(frame - birth) * kFrameTime;
    const auto red = static_cast<uint8_t>(255.0f * age / 4.0f);
    quads.push_back({-9.0f + 6.0f * age, 4.0f, 0.75f, SRgba{red, 0, static_cast<uint8_t>(255 - red), 255}});
  }
  return quads;
}

// An effect of one particle, born at once and living 10 s, as a square of one colour.
std::string OneQuadEffect(const char* name, float x, float y, float z, float half, const SRgba& c) {
  char text[2048];
  std::snprintf(text, sizeof text, R"(<E name="%s">
      <StandartEmiter v="1">
        <pos_x fValue="%g"/><pos_y fValue="%g"/><pos_z fValue="%g"/>
        <ParticleCount iValue="1"/><LifeTime fValue="10"/><LifeTime_to fValue="10"/>
        <BirthRate fValue="100"/><Effect_Loop iValue="1"/>
        <posx_TimeLine tValue="0|0;1|0"/><posy_TimeLine tValue="0|0;1|0"/><posz_TimeLine tValue="0|0;1|0"/>
      </StandartEmiter>
      <StandardMaterial v="1">
        <Texture tValue="spark.mpt"/><row_count iValue="1"/><column_count iValue="1"/>
        <rchannel_TimeLine tValue="0|%d;1|%d"/><gchannel_TimeLine tValue="0|%d;1|%d"/>
        <bchannel_TimeLine tValue="0|%d;1|%d"/><achannel_TimeLine tValue="0|255;1|255"/>
      </StandardMaterial>
      <StandardSize v="1">
        <width fValue="%g"/><height fValue="%g"/>
        <width_TimeLine tValue="0|0;1|0"/><height_TimeLine tValue="0|0;1|0"/>
      </StandardSize>
    </E>)",
                name, x, y, z, c.r, c.r, c.g, c.g, c.b, c.b, half, half);
  return text;
}

class EffectOnScreenTest : public CRenderFixture {
 protected:
  void SetUp() override {
    CRenderFixture::SetUp();
    particle_test::CreateParticleGlobals();
    InstallParticleDrawServices();
    // The particle texture is read from the texture manager's own folder.
    SetParticleTextureFolder("");
    WriteContent("Textures/spark.mpt", MptFile(4, 4, Solid(4, 4, SRgba{255, 255, 255, 255})));
    ResetTransforms();
    m_camera.LookAtZUp(Vector4{0, -10, 0, 1}, Vector4{0, 0, 0, 1});
    SetCurrentCamera(&m_camera);
  }

  void TearDown() override {
    // The effects go before the parameter sets they were built from.
    particle_test::DestroyParticleGlobals();
    m_sets.clear();
    GetParticleServices() = SParticleServices();
    SetCurrentCamera(nullptr);
    CRenderFixture::TearDown();
  }

  void LoadFile(const char* path) {
    TiXmlDocument document;
    ASSERT_TRUE(document.LoadFile(path)) << document.ErrorDesc();
    m_sets = particle_test::TakeEffectSets(document);
  }

  void LoadText(const std::string& xml) {
    TiXmlDocument document;
    document.Parse(xml.c_str());
    ASSERT_FALSE(document.Error()) << document.ErrorDesc();
    m_sets = particle_test::TakeEffectSets(document);
  }

  CEffectInstance* Start(size_t effect) {
    return g_effectManager->AddEffect(CEffectInstance::CreateStandard(m_sets.at(effect).get()), 0);
  }

  // Group 0 drawn into a cleared frame, read back.
  std::vector<uint8_t> DrawFrame() {
    BeginFrame();
    g_effectManager->RenderEffect(0);
    return EndFrame();
  }

  // One frame of the game: the effects advance, then they are drawn.
  std::vector<uint8_t> RunFrame() {
    g_effectManager->Update(kFrameTime);
    return DrawFrame();
  }

  // Every pixel well inside an expected quad shows its colour and every pixel well outside
  // all of them is black; a pixel within one pixel of a quad's edge may go either way.
  void ExpectFrameShows(const std::vector<uint8_t>& rgba, const std::vector<SExpectedQuad>& quads, int frame) {
    int wrong = 0;
    for (int y = 0; y < kSize; ++y) {
      for (int x = 0; x < kSize; ++x) {
        const float cx = static_cast<float>(x) + 0.5f, cy = static_cast<float>(y) + 0.5f;
        const SExpectedQuad* inside = nullptr;
        bool near = false;
        for (const SExpectedQuad& quad : quads) {
          const float dx = std::fabs(cx - ScreenX(quad.x)), dy = std::fabs(cy - ScreenY(quad.z));
          const float half = quad.half * kPixelsPerUnit;
          if (dx < half - 1.0f && dy < half - 1.0f) inside = &quad;
          if (dx < half + 1.0f && dy < half + 1.0f) near = true;
        }
        const SRgba seen = Pixel(rgba, kSize, x, y);
        const bool asExpected = inside ? IsNear(seen, inside->colour, 4) : near || IsNear(seen, SRgba{0, 0, 0, 0}, 0);
        if (!asExpected && ++wrong <= 5) {
          ADD_FAILURE() << "frame " << frame << " pixel (" << x << ", " << y << ") is " << seen
                        << (inside ? " inside a quad of " : " outside every quad");
          if (inside) ADD_FAILURE() << "  expected " << inside->colour;
        }
      }
    }
    EXPECT_EQ(wrong, 0) << "frame " << frame;
  }

  CViewCamera m_camera{1.5707964f, 1.0f, 100.0f, kAspectCustom, 1.0f};
  std::vector<std::unique_ptr<CEffectParams>> m_sets;
};

TEST_F(EffectOnScreenTest, DescribedEffectRunsThreeSecondsOnScreen) {
  LoadFile(HM_SOURCE_DIR "/tests/Common/Particles/drift.xml");
  ASSERT_EQ(m_sets.size(), 2u);
  const CEffectInstance* drift = Start(0);
  const SElementState* state = static_cast<const CElemStandartEmiter*>(drift->GetEmitter())->GetState();
  ASSERT_NE(state, nullptr);
  ASSERT_NE(state->texture, nullptr);

  const int row = static_cast<int>(ScreenY(4.0f));  // through the middle of every quad
  for (int frame = 1; frame <= kRunFrames; ++frame) {
    const std::vector<uint8_t> rgba = RunFrame();
    const std::vector<SExpectedQuad> quads = DriftQuads(frame);
    EXPECT_EQ(state->liveCount, quads.size()) << "frame " << frame;
    EXPECT_EQ(CountLitRuns(rgba, kSize, row), static_cast<int>(quads.size())) << "frame " << frame;
    if (frame % 16 == 0) ExpectFrameShows(rgba, quads, frame);
  }
}

TEST_F(EffectOnScreenTest, ParticleFollowsItsPathSpline) {
  // The path as the effect resource loads it, from a spline file.
  const std::vector<Vector4> keys = {{0, 0, 0, 0}, {8, 0, 0, 0}, {8, 0, 8, 0}, {16, 0, 8, 0}, {16, 0, 16, 0}};
  WriteContent("Splines/arc.spl", WriteSplineFile("arc", {SSplinePathDesc{false, keys}}));
  CSplineFile splines;
  splines.Load("Splines/arc.spl");
  ASSERT_EQ(splines.GetEntryCount(), 1u);
  const CSpline& path = splines.GetEntry(0).path;
  GetParticleServices().pathSplineSlot = &path;
  LoadFile(HM_SOURCE_DIR "/tests/Common/Particles/drift.xml");
  ASSERT_EQ(m_sets.size(), 2u);
  Start(1);

  // Born in frame 1 at (-8, 0, -8), drawn from frame 2 on. At ages 1 s and 2 s (a quarter and
  // a half of its life) the particle sits on the path's second and third keys.
  const SRgba green{0, 255, 0, 255};
  for (int frame = 1; frame <= kRunFrames; ++frame) {
    const std::vector<uint8_t> rgba = RunFrame();
    const float age = static_cast<float>(frame - 1) * kFrameTime;
    if (frame == 17) ExpectFrameShows(rgba, {{0.0f, -8.0f, 0.75f, green}}, frame);
    if (frame == 33) ExpectFrameShows(rgba, {{0.0f, 0.0f, 0.75f, green}}, frame);
    if (frame == 2 || frame == kRunFrames) {
      const Vector4 along = path.Evaluate(age / 4.0f);
      ExpectFrameShows(rgba, {{-8.0f + along.x, -8.0f + along.z, 0.75f, green}}, frame);
    }
  }
}

TEST_F(EffectOnScreenTest, CameraOrdersAndCullsWholeEffects) {
  // Two squares overlapping in the middle of the view, one 4 units before the plane y = 0 and
  // one 4 units behind it, and one just beyond the right edge of the view whose quad reaches in.
  LoadText("<Effects>" + OneQuadEffect("Red", 0, -4, 0, 2, SRgba{255, 0, 0, 255}) +
           OneQuadEffect("Blue", 0, 4, 0, 2, SRgba{0, 0, 255, 255}) +
           OneQuadEffect("Edge", 10.5f, 0, 0, 2, SRgba{0, 255, 0, 255}) + "</Effects>");
  ASSERT_EQ(m_sets.size(), 3u);
  for (size_t effect = 0; effect < 3; ++effect) Start(effect);
  CDefaultRender* edge = g_effectManager->GetGroup(0)[2]->GetRenderer();
  g_effectManager->Update(kFrameTime);  // born
  g_effectManager->Update(kFrameTime);  // listed for drawing

  // Farther effects are drawn first, so the nearer square covers the middle, whichever of
  // them was started first.
  const SRgba red{255, 0, 0, 255}, blue{0, 0, 255, 255}, green{0, 255, 0, 255};
  EXPECT_EQ(Pixel(DrawFrame(), kSize, 32, 32), red);
  m_camera.LookAtZUp(Vector4{0, 10, 0, 1}, Vector4{0, 0, 0, 1});
  EXPECT_EQ(Pixel(DrawFrame(), kSize, 32, 32), blue);

  // The edge effect's centre lies 0.35 units outside the right side of the view.
  m_camera.LookAtZUp(Vector4{0, -10, 0, 1}, Vector4{0, 0, 0, 1});
  edge->SetCulling(true, 0.1f);
  EXPECT_EQ(Pixel(DrawFrame(), kSize, 62, 32), (SRgba{0, 0, 0, 255}));
  edge->SetCulling(true, 1.0f);
  EXPECT_EQ(Pixel(DrawFrame(), kSize, 62, 32), green);

  // Without a current camera nothing is culled and the quads face the neutral camera.
  SetCurrentCamera(nullptr);
  BeginParticleDraw();
  EXPECT_TRUE(IsSphereInParticleFrustum(Vector3{1000, 0, 0}, 0.0f));
  EXPECT_TRUE(IsPointInParticleFrustum(Vector3{0, -1000, 0}));
  const SParticleCamera neutral = GetCurrentParticleCamera();
  EXPECT_EQ(neutral.viewDirection.z, 1.0f);
  EXPECT_EQ(neutral.position.x + neutral.position.y + neutral.position.z, 0.0f);
}

}  // namespace
