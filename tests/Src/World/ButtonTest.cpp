// The button widgets: which layout objects each shows in each state, the hover growth, the
// slider's range and fill bar, and the lookups that hand widgets their objects.

#include "Src/World/Vey_Button.h"

#include <gtest/gtest.h>

#include "tests/Quor/VfsTestKit.h"

#include <memory>
#include <string>

using namespace Vey;
using Ombrel::SLayoutBox;
using Ombrel::SLayoutSprite;
using Ombrel::SLayoutText;

namespace {

// Sprites that start visible, so a node a widget leaves alone is told from one it shows.
struct SNodes {
  SLayoutSprite nodes[4];
  SNodes() {
    for (SLayoutSprite& node : nodes) node.visible = true;
  }
  SLayoutBox* operator[](int i) { return &nodes[i]; }
  std::string Visibility(int count) const {
    std::string shown;
    for (int i = 0; i < count; ++i) shown += nodes[i].visible ? '1' : '0';
    return shown;
  }
};

TEST(PushButtons, CButton1ShowsThePictureOfItsState) {
  const struct {
    bool over, pressed, hideNormal;
    const char* shown;  // normal, over, clicked
  } kCases[] = {
      {false, false, true, "100"}, {true, false, true, "010"}, {false, true, true, "001"}, {true, true, true, "001"},
      {true, false, false, "110"}, {false, true, false, "101"}, {false, false, false, "100"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "over " << c.over << " pressed " << c.pressed << " hide " << c.hideNormal);
    SNodes n;
    CButton1 button(n[0], n[1], n[2]);
    EXPECT_EQ(n.Visibility(3), "100");
    for (SLayoutSprite& node : n.nodes) node.visible = true;
    button.over = c.over;
    button.pressed = c.pressed;
    button.hideNormal = c.hideNormal;
    button.UpdateNodes();
    EXPECT_EQ(n.Visibility(3), c.shown);
    button.Reset();
    EXPECT_FALSE(button.over || button.pressed);
    EXPECT_EQ(n.Visibility(3)[1], '0');
    EXPECT_EQ(n.Visibility(3)[2], '0');
    button.HideAll();
    EXPECT_EQ(n.Visibility(3), "000");
  }
}

TEST(PushButtons, CButton6ShowsPressedBeforeSelectedBeforeOver) {
  const struct {
    bool over, pressed, selected, hideNormal;
    const char* shown;  // normal, over, pressed, selected
  } kCases[] = {
      {false, false, false, true, "1000"}, {true, false, false, true, "0100"},  {true, true, true, true, "0010"},
      {true, false, true, true, "0001"},   {false, false, true, true, "0001"},  {true, false, false, false, "1100"},
      {false, true, false, false, "1010"}, {false, false, false, false, "1000"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "over " << c.over << " pressed " << c.pressed << " selected " << c.selected
                                    << " hide " << c.hideNormal);
    SNodes n;
    CButton6 button(n[0], n[1], n[2], n[3], c.hideNormal);
    EXPECT_EQ(n.Visibility(4), "1000");
    button.over = c.over;
    button.pressed = c.pressed;
    button.selected = c.selected;
    button.UpdateNodes();
    EXPECT_EQ(n.Visibility(4), c.shown);
    button.Reset();
    EXPECT_EQ(n.Visibility(4), "1000");
  }
}

TEST(HoverButtons, TextButtonShowsItsOutlineByTheSelectionAndGrowsWithItsText) {
  SNodes n;
  SLayoutText text;
  text.style.height = 20.0f;
  CButton2 button(true, &text, n[0], n[1]);
  EXPECT_EQ(n.Visibility(2), "10");
  button.selected = true;
  button.Update(0.0f);
  EXPECT_EQ(n.Visibility(2), "01");
  button.SetVisible(false);
  EXPECT_EQ(n.Visibility(2) + (text.visible ? "1" : "0"), "000");
  button.Update(0.0f);  // hidden: the update leaves the nodes alone
  EXPECT_EQ(n.Visibility(2), "00");
  button.SetVisible(true);
  EXPECT_EQ(n.Visibility(2) + (text.visible ? "1" : "0"), "011");

  button.hovered = true;
  button.Update(10.0f);
  EXPECT_EQ(n.nodes[0].scale.x, 1.1f);
  EXPECT_EQ(n.nodes[1].scale.y, 1.1f);
  EXPECT_EQ(text.style.height, 1.1f * 20.0f);
  button.hovered = false;
  button.Update(1.0f / 16);  // half way back
  EXPECT_EQ(n.nodes[0].scale.x, 1.05f);

  button.SetText("Play %s");  // the text is taken as it is
  EXPECT_EQ(text.text, "Play %s");
  button.SetPosition({3, -4});
  EXPECT_EQ(text.position.x, 3.0f);
  EXPECT_EQ(n.nodes[1].position.y, -4.0f);
  button.Reset();
  EXPECT_EQ(n.Visibility(2), "10");
  EXPECT_EQ(n.nodes[0].scale.x, 1.0f);
  EXPECT_EQ(text.style.height, 20.0f);

  SNodes other;  // an owner that shows the nodes itself
  CButton2 unmanaged(false, &text, other[0], other[1]);
  unmanaged.selected = true;
  unmanaged.Update(0.0f);
  unmanaged.SetVisible(false);
  EXPECT_EQ(other.Visibility(2), "11");
}

TEST(HoverButtons, FlagButtonAndTickBoxShowTheirStateAndGrowToATenth) {
  SNodes flag;
  CButton3 flagButton(flag[0], flag[1], flag[2]);
  flagButton.selected = true;
  flagButton.hovered = true;
  flagButton.Update(10.0f);
  EXPECT_EQ(flag.Visibility(3), "101");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(flag.nodes[i].scale.x, 1.1f);
  flagButton.selected = false;
  flagButton.Update(0.0f);
  EXPECT_EQ(flag.Visibility(3), "111");
  flagButton.Reset();
  flagButton.Update(0.0f);
  EXPECT_EQ(flag.nodes[2].scale.y, 1.0f);

  SNodes box;
  CButton4 tickBox(box[0], box[1]);
  EXPECT_EQ(box.Visibility(2), "10");
  tickBox.ticked = true;
  tickBox.hovered = true;
  tickBox.Update(10.0f);
  EXPECT_EQ(box.Visibility(2), "11");
  EXPECT_EQ(box.nodes[1].scale.x, 1.1f);
  tickBox.ticked = false;
  tickBox.Update(0.0f);
  EXPECT_EQ(box.Visibility(2), "10");
}

class SliderTest : public ::testing::Test {
 protected:
  SliderTest() {
    m_n.nodes[2].position = {1.0f, 0.5f};
    m_n.nodes[2].size = {4.0f, 0.2f};  // the range is -1..3
  }
  SNodes m_n;
};

TEST_F(SliderTest, TheRangeIsTheBarAsAuthoredAndTheBarFillsUpToTheHandle) {
  CButton5 slider(m_n[0], m_n[1], m_n[2]);
  EXPECT_EQ(m_n.Visibility(3), "101");
  EXPECT_EQ(slider.GetMinimum(), -1.0f);
  EXPECT_EQ(slider.GetMaximum(), 3.0f);
  slider.SetValue(1.0f);
  slider.Update(0.0f, {});
  EXPECT_EQ(m_n.nodes[0].position.x, 3.0f);
  EXPECT_EQ(m_n.nodes[1].position.x, 3.0f);
  EXPECT_EQ(m_n.nodes[2].position.x, 1.0f);  // the whole range
  EXPECT_EQ(m_n.nodes[2].size.x, 4.0f);
  EXPECT_EQ(slider.GetValue(), 1.0f);
  slider.SetValue(0.0f);
  slider.Update(0.0f, {});
  EXPECT_EQ(m_n.nodes[2].size.x, 0.0001f);  // never thinner
  slider.Reset();
  EXPECT_EQ(slider.GetValue(), 0.5f);
  EXPECT_EQ(m_n.nodes[2].size.x, 2.0f);
  EXPECT_EQ(m_n.nodes[2].position.x, 0.0f);
}

TEST_F(SliderTest, DraggingMovesBothHandlesWithinTheRangeAndKeepsTheHoverGrowth) {
  CButton5 slider(m_n[0], m_n[1], m_n[2]);
  slider.hovered = true;
  slider.Update(10.0f, {});
  slider.hovered = false;
  slider.dragging = true;
  const struct {
    float mouseX, handleX;
  } kDrags[] = {{2.0f, 2.0f}, {7.0f, 3.0f}, {-5.0f, -1.0f}};
  for (const auto& d : kDrags) {
    slider.Update(0.1f, {d.mouseX, 9.0f});
    EXPECT_EQ(m_n.Visibility(2), "01");
    EXPECT_EQ(m_n.nodes[0].position.x, d.handleX);
    EXPECT_EQ(m_n.nodes[1].position.x, d.handleX);
    EXPECT_EQ(m_n.nodes[0].position.y, 0.0f);
    EXPECT_EQ(m_n.nodes[1].scale.x, 1.1f);  // no shrinking while dragged
  }
  slider.dragging = false;
  slider.Update(0.0f, {});
  EXPECT_EQ(m_n.Visibility(2), "10");

  SNodes flat;  // a bar without width gives value 0, not a division by zero
  CButton5 empty(flat[0], flat[1], flat[2]);
  EXPECT_EQ(empty.GetValue(), 0.0f);
}

TEST(LayoutLookups, WidgetsGetTheirObjectsByKindAndAMissingOneIsReported) {
  Ombrel::CLayout2D layout;
  auto sprite = std::make_unique<SLayoutSprite>();
  sprite->name = "Play";
  SLayoutBox* playSprite = sprite.get();
  layout.AddItem(std::move(sprite));
  auto text = std::make_unique<SLayoutText>();
  text->name = "PlayText";
  SLayoutText* playText = text.get();
  layout.AddItem(std::move(text));

  vfstest::ReportCapture reports;
  EXPECT_EQ(FindLayoutBox(layout, "Play"), playSprite);
  EXPECT_EQ(FindLayoutText(layout, "PlayText"), playText);
  EXPECT_TRUE(reports.Texts().empty());
  EXPECT_EQ(FindLayoutBox(layout, "PlayText"), nullptr);
  EXPECT_EQ(FindLayoutText(layout, "Play"), nullptr);
  EXPECT_EQ(FindLayoutBox(layout, "Quit"), nullptr);
  EXPECT_NE(reports.All().find("no sprite or placeholder \"Quit\""), std::string::npos);
  EXPECT_NE(reports.All().find("no text \"Play\""), std::string::npos);

  CButton1 missing(nullptr, FindLayoutBox(layout, "Play"), nullptr);  // absent objects are skipped
  missing.pressed = true;
  missing.UpdateNodes();
  EXPECT_FALSE(playSprite->visible);
}

}  // namespace
