// The scene manager without a device: layers and their anchors, groups, the draw list and the
// order of material calls, with recording nodes and materials.

#include "Framework/Scene/omSceneManager.h"
#include "Quor/ReportError.h"
#include "tests/Framework/Scene/SceneTestKit.h"
#include "tests/support/ReportCapture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Ombrel;
using scenetest::CRecordingMaterial;
using scenetest::CRecordingNode;
using scenetest::Log;
using Names = std::vector<std::string>;

class SceneManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Log().clear();
    hmtest::Reports().clear();
    ReportHandler = hmtest::CaptureReport;
  }
  void TearDown() override { ReportHandler = nullptr; }

  Names Layers() const {
    const std::vector<const char*> names = m_scene.GetLayerNames();
    return Names(names.begin(), names.end());
  }
  // A recording node with a recording material of the same name.
  CRecordingNode* Node(const char* name, int32_t passes = 1) {
    auto* node = new CRecordingNode(name, &m_nodeDeletions);
    node->SetMaterial(new CRecordingMaterial(name, nullptr, passes));
    return node;
  }
  void EnterGroup(const char* name) {
    m_scene.AddGroup(name);
    m_scene.SetCurrentGroup(name);
  }

  CSceneManager m_scene;
  int m_nodeDeletions = 0;
};

TEST_F(SceneManagerTest, LayersGoBeforeOrAfterTheirAnchorAndANameIsTakenOnceInAnyCase) {
  EXPECT_EQ(Layers(), (Names{"Default", "SystemInfo", "DebugInfo"}));
  EXPECT_STREQ(m_scene.GetCurrentGroupName(), "Default");
  // A game stacks its layers downwards from "SystemInfo": its first one ends up on top.
  EXPECT_TRUE(m_scene.AddLayer("A", "SystemInfo"));
  EXPECT_TRUE(m_scene.AddLayer("B", "A"));
  EXPECT_TRUE(m_scene.AddLayerAfter("C", "default"));
  EXPECT_TRUE(m_scene.AddLayer("a", "DebugInfo"));
  EXPECT_EQ(Layers(), (Names{"Default", "C", "B", "A", "SystemInfo", "DebugInfo"}));
  EXPECT_TRUE(hmtest::Reports().empty());
}

TEST_F(SceneManagerTest, AMissingLayerAnchorOrGroupIsReportedAndChangesNothing) {
  EXPECT_FALSE(m_scene.AddLayer("A", "Nowhere"));
  EXPECT_FALSE(m_scene.AddLayerAfter("A", "Nowhere"));
  EXPECT_EQ(m_scene.AddNode(Node("lost"), "Nowhere"), -1);
  EXPECT_EQ(m_nodeDeletions, 1);  // handed over, so deleted rather than leaked
  m_scene.SetLayerVisible("Nowhere", false);
  m_scene.SetCurrentGroup("Nowhere");
  m_scene.ClearGroup("Nowhere");
  m_scene.RemoveGroup("Nowhere");
  EXPECT_EQ(hmtest::Reports().size(), 7u);
  EXPECT_TRUE(hmtest::Reported("\"Nowhere\""));
  EXPECT_EQ(Layers(), (Names{"Default", "SystemInfo", "DebugInfo"}));
  EXPECT_STREQ(m_scene.GetCurrentGroupName(), "Default");
  EXPECT_EQ(m_scene.GetNodeCount(), 0u);

  // With its group removed nothing is current until the next SetCurrentGroup.
  EnterGroup("State");
  m_scene.RemoveGroup("State");
  EXPECT_EQ(m_scene.GetCurrentGroupName(), nullptr);
  EXPECT_EQ(m_scene.AddNode(Node("orphan"), "Default"), -1);
  EXPECT_FALSE(m_scene.AddLayer("A", "Default"));
  EXPECT_EQ(m_nodeDeletions, 2);
  EXPECT_EQ(Layers(), (Names{"Default", "SystemInfo", "DebugInfo"}));
}

TEST_F(SceneManagerTest, EveryShownNodeIsPreparedFirstThenDrawnLayerByLayerPassByPass) {
  m_scene.AddLayer("Back", "SystemInfo");
  EXPECT_EQ(m_scene.AddNode(Node("top"), "SystemInfo"), 0);
  EXPECT_EQ(m_scene.AddNode(Node("first", 2), "Back"), 0);
  EXPECT_EQ(m_scene.AddNode(Node("second"), "Back"), 1);
  CRecordingNode* hidden = Node("hidden");
  m_scene.AddNode(hidden, "Back");
  hidden->Hide();
  m_scene.AddLayer("Off", "Back");
  m_scene.AddNode(Node("off"), "Off");
  m_scene.SetLayerVisible("Off", false);

  m_scene.Render();
  EXPECT_EQ(Log(), (Names{"first Prepare", "second Prepare", "top Prepare", "first Begin0", "first Render0 current 0",
                          "first draws", "first End0", "first Begin1", "first Render1 current 1", "first draws",
                          "first End1", "second Begin0", "second Render0 current 0", "second draws", "second End0",
                          "top Begin0", "top Render0 current 0", "top draws", "top End0"}));
  EXPECT_EQ(m_scene.GetDrawListCount(), 3u);
  EXPECT_EQ(m_scene.GetDrawListNode(0)->GetMaterial()->GetCurrentPass(), -1);

  // Shown again, a node is back in its old place.
  Log().clear();
  hidden->Show();
  m_scene.SetLayerVisible("Off", true);
  m_scene.Render();
  std::vector<std::string> drawn;
  for (uint32_t i = 0; i < m_scene.GetDrawListCount(); ++i)
    drawn.push_back(m_scene.GetDrawListNode(i)->GetName().GetText());
  EXPECT_EQ(drawn, (Names{"off", "first", "second", "hidden", "top"}));
}

TEST_F(SceneManagerTest, EachPassSeesItsMaterialsStatesAndTheCullingItsFlagsAskFor) {
  CRecordingNode* flat = new CRecordingNode("flat");
  flat->SetMaterial(new C2DMaterial("Flat"));
  flat->SetBackFaceCulling(false);
  CRecordingNode* deep = new CRecordingNode("deep");
  m_scene.AddNode(flat, "Default");
  m_scene.AddNode(deep, "Default");
  // Whatever was set before: a material sets only its own states, and the culling node gets
  // clockwise winding.
  constexpr uint32_t kLeftOver = 99;
  for (uint32_t state : CRecordingNode::kWatchedStates) SetEngineRenderState(state, kLeftOver);
  SetClockwiseWinding(false);

  m_scene.Render();
  EXPECT_EQ(flat->Seen(), (scenetest::StateSnapshot{{kRsZEnable, 0},
                                                    {kRsZWriteEnable, 0},
                                                    {kRsZFunc, kLeftOver},
                                                    {kRsAlphaBlendEnable, 1},
                                                    {kRsSrcBlend, 5},
                                                    {kRsDestBlend, 6},
                                                    {kRsAlphaTestEnable, kLeftOver},
                                                    {kRsCullMode, kCullNone}}));
  // Depth is back on after the flat pass, tested with less-or-equal.
  EXPECT_EQ(deep->Seen(), (scenetest::StateSnapshot{{kRsZEnable, 1},
                                                    {kRsZWriteEnable, 1},
                                                    {kRsZFunc, 4},
                                                    {kRsAlphaBlendEnable, 1},
                                                    {kRsSrcBlend, 5},
                                                    {kRsDestBlend, 6},
                                                    {kRsAlphaTestEnable, 0},
                                                    {kRsCullMode, kCullClockwise}}));
  EXPECT_TRUE(IsCullingOn());
  EXPECT_TRUE(GetClockwiseWinding());
  CullOff();
}

TEST_F(SceneManagerTest, RemovingAGroupDeletesItsNodesAndLayersOnlyEvenWhenTheyCrossGroups) {
  m_scene.AddNode(Node("kept"), "Default");
  EnterGroup("Game_Group");
  m_scene.AddLayer("Game", "SystemInfo");
  m_scene.AddNode(Node("game"), "Game");
  m_scene.AddNode(Node("game-in-default"), "Default");
  EnterGroup("Overlay_Group");
  m_scene.AddNode(Node("overlay-in-game"), "Game");  // its layer dies with the other group

  m_scene.RemoveGroup("Game_Group");
  EXPECT_EQ(m_nodeDeletions, 2);
  EXPECT_EQ(Layers(), (Names{"Default", "SystemInfo", "DebugInfo"}));
  EXPECT_FALSE(m_scene.HasGroup("Game_Group"));
  m_scene.Render();
  ASSERT_EQ(m_scene.GetDrawListCount(), 1u);
  EXPECT_STREQ(m_scene.GetDrawListNode(0)->GetName().GetText(), "kept");

  m_scene.ClearGroup("Overlay_Group");
  EXPECT_EQ(m_nodeDeletions, 3);
  EXPECT_TRUE(m_scene.HasGroup("Overlay_Group"));
  EXPECT_EQ(m_scene.GetNodeCount(), 1u);
  EXPECT_TRUE(hmtest::Reports().empty());
}

TEST_F(SceneManagerTest, TheDrawListKeepsUpWithNodesAddedBetweenItsGrowths) {
  m_scene.AddNode(Node("n0"), "Default");
  m_scene.GrowDrawList();
  EXPECT_EQ(m_scene.GetDrawListCapacity(), 1u);
  for (const char* name : {"n1", "n2", "n3", "n4"}) m_scene.AddNode(Node(name), "Default");
  m_scene.Render();
  EXPECT_EQ(m_scene.GetDrawListCount(), 5u);
  EXPECT_GE(m_scene.GetDrawListCapacity(), 5u);
  m_scene.FreeDrawList();
  m_scene.Render();
  EXPECT_EQ(m_scene.GetDrawListCount(), 5u);
}

}  // namespace
