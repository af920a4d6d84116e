// The location's decoration drawn on a small device and read back: which objects appear where,
// how they drift, shimmer and cross-fade, and when the captured location image stands in for them.

#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/Location/Vey_SceneRenderer.h"
#include "tests/Quor/Render/RenderTestKit.h"
#include "tests/Src/World/EmitterTestKit.h"

#include <string>
#include <vector>

using namespace rendertest;
using gfxtest::SRgba;
using Ombrel::SSpriteColour;

namespace {

constexpr SSpriteColour kRed{128, 0, 0, 128};
constexpr SSpriteColour kGreen{0, 128, 0, 128};
constexpr SRgba kBlack{0, 0, 0, 255};
constexpr float kDt = 0.5f;

// Logs what the renderer asks of the capture node.
class CRecordingCapture : public Vey::ICaptureDrawer {
 public:
  void SetImage(TextureRecord* texture, float start, float alpha) override {
    m_texture = texture;
    m_start = start;
    m_alpha = alpha;
  }
  void Begin() override { m_calls += "B"; }
  void Draw(int32_t argument) override { m_calls += "D" + std::to_string(argument); }
  void End() override { m_calls += "E"; }

  std::string m_calls;
  TextureRecord* m_texture = nullptr;
  float m_start = -1.0f;
  float m_alpha = -1.0f;
};

class SceneRendererTest : public CRenderFixture {
 protected:
  void SetUp() override {
    CRenderFixture::SetUp();
    const std::vector<uint8_t> white = Solid(4, 4, {255, 255, 255, 255});
    m_white = m_manager->CreateTexture("white", 4, 4, white.data(), true, false);
    m_captureTexture = m_manager->CreateTexture("capture", 4, 4, white.data(), true, false);
    m_view.objects = &m_objects;
    m_view.location = &m_location;
    m_renderer = std::make_unique<Vey::CSceneRenderer>("SceneRenderer", &m_view, m_captureTexture, &m_capture, 7,
                                                       CRandom(1234));
    m_renderer->SetFrameTime(kDt);
    m_renderer->SetLocationAlpha(1.0f);
  }
  void TearDown() override {
    m_renderer.reset();
    CRenderFixture::TearDown();
  }

  // A square object a quarter of the screen wide, centred in the quarter (column, row) of the
  // 64 x 64 frame (the view without a camera counts as square: x and y run -1..1).
  Vey::SDecorationObject& AddObject(const std::string& name, SSpriteColour colour, int column, int row) {
    Vey::SDecorationObject object;
    object.name = name;
    object.position = {column == 0 ? -0.5f : 0.5f, row == 0 ? 0.5f : -0.5f};
    object.size = {0.5f, 0.5f};
    object.colour = colour;
    object.texture = m_white;
    m_objects.push_back(object);
    return m_objects.back();
  }
  std::vector<uint8_t> DrawFrame() {
    BeginFrame();
    AlphaBlendOn();  // as the node's material does in a render layer
    m_renderer->Render();
    return EndFrame();
  }
  static SRgba Quarter(const std::vector<uint8_t>& frame, int column, int row) {
    return Pixel(frame, kSize, column * 32 + 16, row * 32 + 16);
  }

  TextureRecord* m_white = nullptr;
  TextureRecord* m_captureTexture = nullptr;
  std::vector<Vey::SDecorationObject> m_objects;
  Vey::SSceneSlot m_location;
  Vey::SSceneView m_view;
  CRecordingCapture m_capture;
  std::unique_ptr<Vey::CSceneRenderer> m_renderer;
};

TEST_F(SceneRendererTest, ObjectsAreDrawnInTheirPlaceButDisabledDraggedAndUnknownKindsAreNot) {
  AddObject("Lamp", kRed, 0, 0);
  AddObject("Hidden", kRed, 1, 0).enabled = false;
  AddObject("Key", kRed, 0, 1);
  AddObject("Odd", kRed, 1, 1).kind = 3;
  AddObject("Second", kGreen, 1, 1).kind = 2;
  m_view.draggedItem = "Key";

  const std::vector<uint8_t> frame = DrawFrame();
  EXPECT_EQ(Quarter(frame, 0, 0), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Quarter(frame, 1, 0), kBlack);
  EXPECT_EQ(Quarter(frame, 0, 1), kBlack);
  EXPECT_EQ(Quarter(frame, 1, 1), (SRgba{0, 255, 0, 255}));
  // Only the quarter's middle is covered.
  EXPECT_EQ(Pixel(frame, kSize, 2, 2), kBlack);
  EXPECT_EQ(m_capture.m_calls, "");
}

TEST_F(SceneRendererTest, LocationAlphaFadesObjectsAndWithoutForceDrawZeroAlphaOrAnOpenDiaryDrawsNothing) {
  AddObject("Lamp", kRed, 0, 0);
  struct Case {
    float alpha;
    bool overlayOpen;
    bool forceDraw;
    int red;  // of the lamp's pixel
  };
  const Case cases[] = {
      {0.5f, false, false, 128}, {0.0f, false, false, 0},  {-0.2f, false, false, 0},
      {1.0f, true, false, 0},    {0.0f, false, true, 255}, {0.3f, true, true, 255},
  };
  for (const Case& c : cases) {
    m_renderer->SetLocationAlpha(c.alpha);
    m_view.overlayOpen = c.overlayOpen;
    m_view.forceDraw = c.forceDraw;
    const std::vector<uint8_t> frame = DrawFrame();
    const std::string label = std::to_string(c.alpha) + (c.overlayOpen ? " open" : "") + (c.forceDraw ? " forced" : "");
    EXPECT_NEAR(Quarter(frame, 0, 0).r, c.red, 2) << label;
    // Force-draw lasts one frame and leaves the location fully shown.
    EXPECT_FALSE(m_view.forceDraw) << label;
    if (c.forceDraw) {
      EXPECT_EQ(m_renderer->GetLocationAlpha(), 1.0f) << label;
    }
  }
}

TEST_F(SceneRendererTest, OpeningAndClosingOverlaysDrawTheCaptureFadedByTheirTransitionInsteadOfObjects) {
  AddObject("Lamp", kRed, 0, 0);
  struct Case {
    int32_t mode;
    int32_t state;  // of the mode's overlay
    float locationAlpha;
    bool forceDraw;
    float captureAlpha;  // negative: the live objects are drawn
  };
  const Case cases[] = {
      {Vey::kSceneModeLocation, 0, 1.0f, false, -1},
      {Vey::kSceneModeItemFound, 0, 1.0f, false, 1.0f},
      {Vey::kSceneModeItemFound, 0, 0.9f, false, -1},  // the location is still fading in
      {Vey::kSceneModeItemFound, 0, 1.0f, true, -1},
      {Vey::kSceneModeTutorial, 1, 1.0f, false, 0.25f},
      {Vey::kSceneModeTutorial, 2, 1.0f, false, 0.75f},
      {Vey::kSceneModeCloseUp, 1, 1.0f, false, 0.25f},
      {Vey::kSceneModeCloseUp, 2, 1.0f, false, 0.75f},
      {Vey::kSceneModeCloseUp, 3, 1.0f, false, 1.0f},
      {Vey::kSceneModeCloseUp, 0, 1.0f, false, -1},
      {Vey::kSceneModeHiddenObjects, 1, 1.0f, false, 0.25f},
      {Vey::kSceneModeHiddenObjects, 2, 1.0f, false, 0.75f},
      {Vey::kSceneModeHiddenObjects, 0, 1.0f, false, -1},
      {Vey::kSceneModeMiniGame, 2, 1.0f, false, 0.75f},
      {Vey::kSceneModeMiniGame, 3, 1.0f, false, -1},
  };
  for (const Case& c : cases) {
    const std::string label = "mode " + std::to_string(c.mode) + " state " + std::to_string(c.state);
    m_view = Vey::SSceneView();
    m_view.objects = &m_objects;
    m_view.mode = c.mode;
    m_view.forceDraw = c.forceDraw;
    m_view.hasTutorialQuestion = true;
    for (Vey::SOverlayFade* fade : {&m_view.closeUp, &m_view.hiddenObjects, &m_view.miniGame, &m_view.tutorial})
      *fade = {c.state, 0.25f};
    m_renderer->SetLocationAlpha(c.locationAlpha);
    m_capture = CRecordingCapture();

    const std::vector<uint8_t> frame = DrawFrame();
    if (c.captureAlpha < 0) {
      EXPECT_EQ(m_capture.m_calls, "") << label;
      EXPECT_GT(Quarter(frame, 0, 0).r, 200) << label;
    } else {
      EXPECT_EQ(m_capture.m_calls, "BD7E") << label;
      EXPECT_FLOAT_EQ(m_capture.m_alpha, c.captureAlpha) << label;
      EXPECT_EQ(m_capture.m_start, 0.0f) << label;
      EXPECT_EQ(m_capture.m_texture, m_captureTexture) << label;
      EXPECT_EQ(Quarter(frame, 0, 0), kBlack) << label;
    }
  }
}

TEST_F(SceneRendererTest, AClosedCloseUpGivesOneMoreCaptureFrameOnRequestAndATutorialWithoutQuestionAFullOne) {
  AddObject("Lamp", kRed, 0, 0);
  m_view.mode = Vey::kSceneModeCloseUp;
  m_view.extraCaptureFrame = true;
  DrawFrame();
  EXPECT_EQ(m_capture.m_calls, "BD7E");
  EXPECT_FALSE(m_view.extraCaptureFrame);
  EXPECT_GT(Quarter(DrawFrame(), 0, 0).r, 200);
  EXPECT_EQ(m_capture.m_calls, "BD7E");

  m_view.mode = Vey::kSceneModeTutorial;
  m_view.tutorial = {1, 0.25f};
  DrawFrame();
  EXPECT_EQ(m_capture.m_alpha, 1.0f);
}

TEST_F(SceneRendererTest, ADriftingObjectMovesRightAndReentersFromTheLeftOnceItsLeftEdgePassesTheRightEdge) {
  m_location.animatedObjects = {"Cloud"};
  AddObject("Cloud", kRed, 0, 0);
  AddObject("Still", kGreen, 1, 1);
  DrawFrame();
  EXPECT_FLOAT_EQ(m_objects[0].position.x, -0.5f + kDt * m_renderer->GetDriftSpeed(0));
  EXPECT_EQ(m_objects[1].position.x, 0.5f);

  // Its left edge just short of the right screen edge (x = 1 with the square view): this frame's
  // step takes it past, and it is drawn re-entered.
  m_objects[0].position.x = 1.25f - 0.5f * kDt * m_renderer->GetDriftSpeed(0);
  const std::vector<uint8_t> frame = DrawFrame();
  EXPECT_FLOAT_EQ(m_objects[0].position.x, -1.25f);
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(frame, kSize, x, 16), kBlack) << x;
}

// Under a close-up or search that hides the whole screen nothing of the location is drawn,
// neither its objects nor the captured image that stands in for them under an open close-up;
// under the search its drifts and shimmers go on as if it were. A forced frame (a capture being
// taken again) still draws it.
TEST_F(SceneRendererTest, UnderAnOverlayThatHidesItTheLocationDrawsNothingButItsAnimationsGoOn) {
  m_location.animatedObjects = {"Cloud"};
  m_location.shiningObjects = {"Cloud"};
  AddObject("Cloud", kRed, 0, 0);
  const float phase = m_renderer->GetShimmerPhase(0);
  m_view.coveredByOverlay = true;
  m_view.closeUp = {3, 0.0f};
  for (int32_t mode : {Vey::kSceneModeCloseUp, Vey::kSceneModeHiddenObjects}) {
    m_view.mode = mode;
    m_capture = CRecordingCapture();
    EXPECT_EQ(Quarter(DrawFrame(), 0, 0), kBlack) << "mode " << mode;
    EXPECT_EQ(m_capture.m_calls, "") << "mode " << mode;
  }
  EXPECT_FLOAT_EQ(m_objects[0].position.x, -0.5f + kDt * m_renderer->GetDriftSpeed(0));
  const float shimmered = phase + 0.15f * kDt;  // 0.15 of a cycle a second
  EXPECT_NEAR(m_renderer->GetShimmerPhase(0), shimmered >= 1.0f ? shimmered - 1.0f : shimmered, 1e-5f);

  m_view.forceDraw = true;
  m_objects[0].position.x = -0.5f;
  m_renderer->SetFrameTime(0.0f);
  EXPECT_GT(Quarter(DrawFrame(), 0, 0).r, 100);
}

TEST_F(SceneRendererTest, MoreThanTenDriftingOrShiningObjectsShareTheTenEntryTablesFromTheStart) {
  constexpr int kCount = 12;
  float startPhase[Vey::CSceneRenderer::kTableSize];
  for (int i = 0; i < Vey::CSceneRenderer::kTableSize; ++i) startPhase[i] = m_renderer->GetShimmerPhase(i);
  for (int i = 0; i < kCount; ++i) {
    const std::string name = "Moth" + std::to_string(i);
    m_location.animatedObjects.push_back(name);
    m_location.shiningObjects.push_back(name);
    AddObject(name, kRed, 0, 0).position.x = 0.0f;
  }
  m_renderer->SetFrameTime(0.1f);
  DrawFrame();
  for (int i = 0; i < kCount; ++i)
    EXPECT_FLOAT_EQ(m_objects[i].position.x, 0.1f * m_renderer->GetDriftSpeed(i % 10)) << i;
  // The first two phases advanced twice, the others once.
  for (int i = 0; i < Vey::CSceneRenderer::kTableSize; ++i) {
    float expected = startPhase[i] + 0.015f * (i < 2 ? 2 : 1);
    if (expected >= 1.0f) expected -= 1.0f;
    EXPECT_NEAR(m_renderer->GetShimmerPhase(i), expected, 1e-5f) << i;
  }
}

TEST_F(SceneRendererTest, AShiningObjectTakesTheShimmerAlphaWhichStaysWithinItsBand) {
  for (int i = 0; i <= 2000; ++i) {
    const int alpha = Vey::CSceneRenderer::ShimmerAlpha(float(i) / 2000.0f);
    EXPECT_GE(alpha, 64) << i;
    EXPECT_LE(alpha, 128) << i;
  }
  m_location.shiningObjects = {"Gem"};
  AddObject("Gem", kRed, 0, 0);
  m_renderer->SetLocationAlpha(0.5f);
  const std::vector<uint8_t> frame = DrawFrame();
  const int shimmer = Vey::CSceneRenderer::ShimmerAlpha(m_renderer->GetShimmerPhase(0));
  // Alpha bytes count 128 as whole: the pixel's red is twice the faded byte.
  EXPECT_NEAR(Quarter(frame, 0, 0).r, 2 * int(shimmer * 0.5f), 3);
}

TEST_F(SceneRendererTest, ACrossFadingObjectDrawsItsVisibleBlendFramesOverItself) {
  m_location.blendAnims = {"Candle"};
  AddObject("Candle", kRed, 0, 0);
  AddObject("Plain", kRed, 1, 0);
  std::vector<std::string> asked;
  m_view.blendFrames = [&asked](const std::string& name, Vey::SBlendFrame frames[2]) {
    asked.push_back(name);
    frames[0].colour = {0, 0, 128, 0};  // invisible: not drawn
    frames[1].colour = kGreen;
    frames[1].size = {64.0f, 64.0f};  // 8 pixels
    return true;
  };
  const std::vector<uint8_t> frame = DrawFrame();
  EXPECT_EQ(asked, std::vector<std::string>{"Candle"});
  EXPECT_EQ(Pixel(frame, kSize, 16, 16), (SRgba{0, 255, 0, 255}));
  EXPECT_EQ(Pixel(frame, kSize, 10, 10), (SRgba{255, 0, 0, 255}));
  EXPECT_EQ(Quarter(frame, 1, 0), (SRgba{255, 0, 0, 255}));
}

TEST_F(SceneRendererTest, MissingTextureOrCaptureNodeIsReportedByNameAndNothingIsDrawnForIt) {
  AddObject("Ghost", kRed, 0, 0).texture = nullptr;
  AddObject("Lamp", kRed, 1, 0);
  std::vector<uint8_t> frame = DrawFrame();
  frame = DrawFrame();
  EXPECT_EQ(Quarter(frame, 0, 0), kBlack);
  EXPECT_EQ(Quarter(frame, 1, 0), (SRgba{255, 0, 0, 255}));
  EXPECT_TRUE(Reported("Scene object \"Ghost\" has no texture"));
  EXPECT_EQ(Reports().size(), 1u);  // once, not every frame

  Vey::CSceneRenderer blind("Blind", &m_view, nullptr, nullptr, 0);
  EXPECT_TRUE(Reported("Scene renderer \"Blind\": no capture node"));
  EXPECT_TRUE(Reported("Scene renderer \"Blind\": no capture texture"));
  m_view.mode = Vey::kSceneModeItemFound;
  blind.SetLocationAlpha(1.0f);
  BeginFrame();
  AlphaBlendOn();
  blind.Render();
  EXPECT_EQ(Quarter(EndFrame(), 1, 0), kBlack);
}

class HiddenObjectSceneMarkerTest : public gametest::CEmitterFixture {};

TEST_F(HiddenObjectSceneMarkerTest, StopsARunningMarkerOnlyInGameModesOneAndThree) {
  MP::CEmitter* marker = gametest::AddBurst(*m_manager, "HiddenObjectScene");
  ASSERT_NE(marker, nullptr);
  Vey::CEmitterGroup group;
  group.Add(marker);
  Vey::SProfileData profile{};
  for (uint32_t mode : {0u, 1u, 2u, 3u}) {
    marker->Start();
    profile.gameMode = mode;
    Vey::StopHiddenObjectSceneEffect(group, &profile);
    const bool stops = mode == 1 || mode == 3;
    EXPECT_EQ(marker->GetState(), stops ? MP::CEmitter::kStopped : MP::CEmitter::kRunning) << mode;
  }
  marker->Start();
  Vey::StopHiddenObjectSceneEffect(group, nullptr);
  EXPECT_EQ(marker->GetState(), MP::CEmitter::kRunning);

  Vey::CEmitterGroup empty;
  profile.gameMode = 1;
  Vey::StopHiddenObjectSceneEffect(empty, &profile);
  EXPECT_TRUE(hmtest::Reported("Emitter \"HiddenObjectScene\" is not in the group"));
}

}  // namespace
