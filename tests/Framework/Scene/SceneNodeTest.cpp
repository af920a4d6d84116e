// Scene nodes and their materials without a device: flags, material ownership, callbacks and
// the geometry of sprite vertices.

#include "Framework/Scene/omQuickNode.h"
#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omSystemInfoNode.h"
#include "Quor/CViewCamera.h"
#include "tests/Framework/Scene/SceneTestKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using namespace Ombrel;
using scenetest::CRecordingMaterial;
using scenetest::CRecordingNode;

TEST(SceneNodeTest, ANewNodeIsShownCullsBackFacesAndHasTheDefaultMaterial) {
  CRecordingNode node("n");
  EXPECT_EQ(node.GetFlags(), 7u);
  ASSERT_NE(node.GetMaterial(), nullptr);
  EXPECT_STREQ(node.GetMaterial()->GetName().GetText(), "DefaultMat");
  EXPECT_EQ(node.GetMaterial()->GetPassCount(), 1);
  EXPECT_EQ(node.GetMaterial()->GetCurrentPass(), -1);
  node.Hide();
  EXPECT_EQ(node.GetFlags(), 4u);
  EXPECT_FALSE(node.IsDrawn());
  node.Show();
  EXPECT_EQ(node.GetFlags(), 7u);
  node.SetBackFaceCulling(false);
  EXPECT_EQ(node.GetFlags(), 3u);
}

TEST(SceneNodeTest, EachMaterialIsDeletedExactlyOnceWhenReplacedOrWithItsNode) {
  int first = 0, second = 0;
  auto node = std::make_unique<CRecordingNode>("n");
  auto* firstMaterial = new CRecordingMaterial("first", &first);
  node->SetMaterial(firstMaterial);
  node->SetMaterial(firstMaterial);  // the same one again is kept, not deleted
  EXPECT_EQ(first, 0);
  node->SetMaterial(new CRecordingMaterial("second", &second));
  EXPECT_EQ(first, 1);
  EXPECT_STREQ(node->GetMaterial()->GetName().GetText(), "second");
  node.reset();
  EXPECT_EQ(first, 1);
  EXPECT_EQ(second, 1);
}

TEST(SceneNodeTest, ANodeWithoutAGivenMaterialFallsBackToTheDefaultOne) {
  int deletions = 0;
  CRecordingNode node("n");
  node.SetMaterial(new CRecordingMaterial("m", &deletions));
  node.SetMaterial(nullptr);
  EXPECT_EQ(deletions, 1);
  ASSERT_NE(node.GetMaterial(), nullptr);
  EXPECT_STREQ(node.GetMaterial()->GetName().GetText(), "DefaultMat");
}

struct SCounter {
  int calls = 0;
  void Count() { ++calls; }
};

TEST(SceneNodeTest, AQuickNodeCallsItsOwnCopyOfTheCallbackAndWithoutOneDrawsNothing) {
  SCounter counter;
  auto callback = std::make_unique<PtrToMember0::Ptr<SCounter>>(&counter, &SCounter::Count);
  CQuickNode node("quick", *callback);
  callback.reset();  // the node holds a copy
  node.Render();
  node.Render();
  EXPECT_EQ(counter.calls, 2);
  CQuickNode empty("empty");
  empty.Render();
  EXPECT_EQ(counter.calls, 2);
}

// ---- sprite vertices

struct SSpriteCase {
  const char* what;
  Vector2 scale;
  float angle;
  bool aspectCorrection;
  Vector2 c0, c2;  // the first and the third corner as drawn
};

TEST(SpriteNodeTest, CornersFollowScaleAngleAndAspectCorrection) {
  const float halfPi = 1.5707964f;
  const SSpriteCase cases[] = {
      {"scaled", {2, 1}, 0, false, {1948, 2098}, {2148, 1998}},
      // the wide camera's 16:9 turns 160 units into 90 across
      {"aspect corrected", {1.6f, 1}, 0, true, {2048 - 45, 2098}, {2048 + 45, 1998}},
      // (-w/2, +h/2) goes to (x + h/2, y + w/2)
      {"quarter turn", {2, 1}, halfPi, false, {2048 + 50, 2048 + 100}, {2048 - 50, 2048 - 100}},
  };
  CViewCamera camera(0.785f, 0.5f, 5000.0f, kAspectWide, 0.0f);
  SetCurrentCamera(&camera);
  for (const SSpriteCase& c : cases) {
    CSprite2DNode node("sprite", nullptr);
    node.SetPosition({2048, 2048});
    node.SetScale(c.scale);
    node.GetSpriteData().SetAngle(c.angle);
    node.SetAspectCorrection(c.aspectCorrection);
    node.Render();
    const SDrawVertex* v = node.GetVertices();
    EXPECT_NEAR(v[0].x, c.c0.x, 1e-3) << c.what;
    EXPECT_NEAR(v[0].y, c.c0.y, 1e-3) << c.what;
    EXPECT_NEAR(v[2].x, c.c2.x, 1e-3) << c.what;
    EXPECT_NEAR(v[2].y, c.c2.y, 1e-3) << c.what;
  }
  SetCurrentCamera(nullptr);
}

TEST(SpriteNodeTest, VerticesMakeTwoTrianglesWithTheCornersTexCoordsAndTheColourDoubled) {
  CSpriteData sprite;
  sprite.SetTexCoords({0.1f, 0.2f}, {0.3f, 0.4f}, {0.5f, 0.6f}, {0.7f, 0.8f});
  sprite.SetColour({127, 64, 0, 128});
  CSprite2DNode node(sprite);
  EXPECT_STREQ(node.GetName().GetText(), "BubbleRenderer");
  node.Render();
  const SDrawVertex* v = node.GetVertices();
  const int corners[6] = {0, 1, 2, 2, 3, 0};
  for (int i = 0; i < 6; ++i) {
    EXPECT_FLOAT_EQ(v[i].u, sprite.GetTexCoords(corners[i]).x) << i;
    EXPECT_FLOAT_EQ(v[i].v, sprite.GetTexCoords(corners[i]).y) << i;
    EXPECT_EQ(v[i].colour, 0xFFFE8000u) << i;
  }
  EXPECT_EQ(v[2].x, v[3].x);
  EXPECT_EQ(v[0].y, v[5].y);
}

TEST(SystemInfoNodeTest, LinesAddUpUntilTheTextIsCleared) {
  CSystemInfoNode node(nullptr);
  EXPECT_STREQ(node.GetName().GetText(), "SystemInfoNode");
  EXPECT_STREQ(node.GetText().GetText(), "Test system text!");
  node.Clear();
  node.AddLine("one");
  node.AddLine("two");
  EXPECT_STREQ(node.GetText().GetText(), "one\ntwo\n");
  node.Render();  // no font: nothing to draw with, and no crash
  node.Reset();
  EXPECT_TRUE(node.GetText().IsEmpty());
}

}  // namespace
