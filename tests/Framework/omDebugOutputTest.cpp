// The debug output: its renderers' tables, and their text and lines drawn on a small device
// and read back.

#include "Framework/omDebugOutput.h"

#include "Framework/Scene/omSceneManager.h"
#include "Framework/omDebugModule.h"
#include "Framework/omRenderModule.h"
#include "Quor/CFont.h"
#include "Quor/MatrixTable.h"
#include "Quor/RenderStates.h"
#include "tests/Quor/Render/RenderTestKit.h"
#include "tests/support/engine/ReportScope.h"
#include "tools/fontmaker/FontFileWriter.h"

#include <utility>
#include <vector>

using namespace rendertest;
using Debug::CDebugOutput;
using Debug::CDR_Line;
using Debug::CDR_Text2D;
using Debug::IDebugRenderer;

namespace {

TEST(DebugRenderers, RemovingAnOwnerKeepsItsEntriesInPlaceAndClearStartsTheTableOver) {
  CDR_Text2D text(nullptr);
  ASSERT_TRUE(text.AddLine(3, "first"));
  ASSERT_TRUE(text.AddLine(4, "second"));
  ASSERT_TRUE(text.AddText(3, 2000.0f, 2100.0f, "third"));
  EXPECT_FLOAT_EQ(text.GetCursorY(), 1792.0f + 2 * 20.0f) << "each line moves the cursor a line step down";
  EXPECT_FLOAT_EQ(text.GetEntry(1).y, 1812.0f);

  text.RemoveOwner(3);
  EXPECT_EQ(text.GetCount(), 3);
  EXPECT_EQ(text.GetEntry(0).owner, -1);
  EXPECT_EQ(text.GetEntry(1).owner, 4);
  EXPECT_EQ(text.GetEntry(2).owner, -1);
  EXPECT_EQ(text.GetEntry(2).text, CStr("third"));

  text.Clear();
  EXPECT_EQ(text.GetCount(), 0);
  EXPECT_FLOAT_EQ(text.GetCursorX(), 1792.0f);
  EXPECT_FLOAT_EQ(text.GetCursorY(), 1792.0f);
  EXPECT_FLOAT_EQ(text.GetLineStep(), 20.0f);

  CDR_Line lines;
  lines.AddLine(3, {0, 0, 0}, {1, 1, 1}, {128, 0, 0, 128});
  lines.AddLine(5, {0, 0, 0}, {1, 1, 1}, {128, 0, 0, 128});
  lines.RemoveOwner(3);
  EXPECT_EQ(lines.GetCount(), 2);
  EXPECT_EQ(lines.GetEntry(0).owner, -1);
  EXPECT_EQ(lines.GetEntry(1).owner, 5);
}

TEST(DebugRenderers, TablesRefuseEntriesPastTheirCapacity) {
  CDR_Text2D text(nullptr);
  CDR_Line lines;
  for (int32_t i = 0; i < IDebugRenderer::kCapacity; ++i) {
    ASSERT_TRUE(text.AddText(0, 0.0f, 0.0f, "x"));
    ASSERT_TRUE(lines.AddLine(0, {0, 0, 0}, {1, 0, 0}, {128, 128, 128, 128}));
  }
  EXPECT_FALSE(text.AddLine(0, "one too many"));
  EXPECT_FALSE(lines.AddLine(0, {0, 0, 0}, {1, 0, 0}, {128, 128, 128, 128}));
  EXPECT_EQ(text.GetCount(), 255);
  EXPECT_EQ(lines.GetCount(), 255);
}

TEST(DebugRenderers, ANameIsRegisteredOnceAndRenderersKeepTheirOrder) {
  hmtest::CReportScope reports;
  CDebugOutput output;
  auto* text = new CDR_Text2D(nullptr);
  EXPECT_TRUE(output.Register(CDebugOutput::kText2DName, text));
  EXPECT_TRUE(output.Register(CDebugOutput::kLineName, new CDR_Line()));
  EXPECT_FALSE(output.Register("DBG_TEXT_2D", new CDR_Text2D(nullptr))) << "names ignore case";
  EXPECT_TRUE(Reported("A debug renderer \"DBG_TEXT_2D\" is registered already"));
  EXPECT_EQ(output.Find(CDebugOutput::kText2DName), text);
  EXPECT_EQ(output.Find(CDebugOutput::kLineName)->GetKind(), IDebugRenderer::kLines);
}

TEST(DebugModuleTest, ItsOutputLivesFromInitToShutdownAndEveryUpdateEmptiesIt) {
  Ombrel::CRenderModule render;
  Ombrel::CDebugModule debug;
  Ombrel::CSceneManager* scene = render.GetSceneManager();
  ASSERT_TRUE(debug.Init());
  CDebugOutput* output = debug.GetOutput();
  ASSERT_NE(output, nullptr);
  auto* text = static_cast<CDR_Text2D*>(output->Find(CDebugOutput::kText2DName));
  auto* lines = static_cast<CDR_Line*>(output->Find(CDebugOutput::kLineName));
  ASSERT_NE(text, nullptr);
  ASSERT_NE(lines, nullptr);
  EXPECT_EQ(text->GetKind(), IDebugRenderer::kText);
  EXPECT_TRUE(scene->HasGroup(Ombrel::CDebugModule::kGroupName));
  EXPECT_EQ(scene->GetNodeCount(), 1u) << "the node that draws the output";

  text->AddLine(0, "frame text");
  lines->AddLine(0, {0, 0, 0}, {1, 0, 0}, {128, 128, 128, 128});
  debug.Update();
  EXPECT_EQ(text->GetCount(), 0);
  EXPECT_EQ(lines->GetCount(), 0);

  ASSERT_TRUE(debug.Shutdown());
  EXPECT_EQ(debug.GetOutput(), nullptr);
  EXPECT_FALSE(scene->HasGroup(Ombrel::CDebugModule::kGroupName));
  EXPECT_EQ(scene->GetNodeCount(), 0u);
}

// Render states as the device gets them, in order.
std::vector<std::pair<uint32_t, uint32_t>>& RecordedStates() {
  static std::vector<std::pair<uint32_t, uint32_t>> states;
  return states;
}

void RecordAndForwardState(uint32_t state, uint32_t value) {
  RecordedStates().emplace_back(state, value);
  ForwardRenderState(state, value);
}

class DebugDrawTest : public CRenderFixture {
 protected:
  static constexpr SRgba kBlack{0, 0, 0, 255};
  static constexpr SRgba kWhite{255, 255, 255, 255};

  void SetUp() override {
    CRenderFixture::SetUp();
    ResetTransforms();
    SetAspectRatio(1.0f);
    const std::vector<uint8_t> bytes = fontmaker::WriteFontFile(fontmaker::MakeFixtureFont());
    m_font.LoadFromMemory("fixture.fnt", bytes.data(), bytes.size());
    m_font.SetAspectFactor(1.0f);
    m_text = new CDR_Text2D(&m_font);
    m_lines = new CDR_Line();
    m_output.Register(CDebugOutput::kText2DName, m_text);
    m_output.Register(CDebugOutput::kLineName, m_lines);
  }
  void TearDown() override {
    SetRenderStateSink(nullptr);
    m_font.SetPageTexture(nullptr);
    CRenderFixture::TearDown();
  }

  // Owner 0 draws a big "H" in the left half and a green line across the lower half (with
  // identity transforms world positions are clip positions); owner 1 the same on the other
  // side and higher up.
  void AddBothOwners() {
    CDR_Text2D::SStyle big;
    big.size = 128.0f;  // 8 x 16 pixels a character on the 64-pixel screen
    m_text->AddText(0, Edge(16), 2048.0f, "H", big);
    m_text->AddText(1, Edge(48), 2048.0f, "H", big);
    m_lines->AddLine(0, {-1.0f, -0.5f, 0.5f}, {1.0f, -0.5f, 0.5f}, {0, 128, 0, 128});
    m_lines->AddLine(1, {-1.0f, 0.5f, 0.5f}, {1.0f, 0.5f, 0.5f}, {0, 128, 0, 128});
  }

  static bool RowHasColour(const std::vector<uint8_t>& pixels, int x, int y0, int y1, SRgba colour) {
    for (int y = y0; y <= y1; ++y) {
      if (Pixel(pixels, kSize, x, y) == colour) return true;
    }
    return false;
  }

  CFont m_font;
  CDebugOutput m_output;
  CDR_Text2D* m_text = nullptr;
  CDR_Line* m_lines = nullptr;
};

TEST_F(DebugDrawTest, OnlyTheCurrentOwnersTextAndLinesReachTheFrame) {
  AddBothOwners();
  BeginFrame();
  m_output.RenderAll();
  std::vector<uint8_t> pixels = EndFrame();
  // The left "H" (its crossbar row through the middle), not the right one.
  EXPECT_EQ(Pixel(pixels, kSize, 16, 32), kWhite);
  EXPECT_EQ(Pixel(pixels, kSize, 48, 32), kBlack);
  // The line of owner 0 lies on the row 48 (clip y -0.5), the one of owner 1 is absent.
  EXPECT_TRUE(RowHasColour(pixels, 32, 46, 50, SRgba{0, 255, 0, 255}));
  EXPECT_FALSE(RowHasColour(pixels, 32, 14, 18, SRgba{0, 255, 0, 255}));

  m_output.SetOwner(1);
  BeginFrame();
  m_output.RenderAll();
  pixels = EndFrame();
  EXPECT_EQ(Pixel(pixels, kSize, 16, 32), kBlack);
  EXPECT_EQ(Pixel(pixels, kSize, 48, 32), kWhite);
  EXPECT_TRUE(RowHasColour(pixels, 32, 14, 18, SRgba{0, 255, 0, 255}));

  // A disabled renderer draws nothing; removing the owner hides the rest.
  m_output.Find(CDebugOutput::kLineName)->Toggle();
  m_text->RemoveOwner(1);
  BeginFrame();
  m_output.RenderAll();
  pixels = EndFrame();
  EXPECT_EQ(Pixel(pixels, kSize, 48, 32), kBlack);
  EXPECT_FALSE(RowHasColour(pixels, 32, 14, 18, SRgba{0, 255, 0, 255}));
}

TEST_F(DebugDrawTest, ClearAllEmptiesTheFrameAndAnEmptyTextPassStillRestoresDepthTesting) {
  AddBothOwners();
  m_output.ClearAll();
  EXPECT_EQ(m_text->GetCount(), 0);
  EXPECT_EQ(m_lines->GetCount(), 0);

  BeginFrame();
  RecordedStates().clear();
  SetRenderStateSink(RecordAndForwardState);
  m_output.RenderAll();
  const std::vector<uint8_t> pixels = EndFrame();
  for (int y = 0; y < kSize; y += 4) {
    for (int x = 0; x < kSize; x += 4) ASSERT_EQ(Pixel(pixels, kSize, x, y), kBlack) << x << ", " << y;
  }
  std::vector<uint32_t> depth;
  for (const auto& [state, value] : RecordedStates()) {
    if (state == kRsZEnable) depth.push_back(value);
  }
  EXPECT_EQ(depth, (std::vector<uint32_t>{0, 1}));
}

}  // namespace
