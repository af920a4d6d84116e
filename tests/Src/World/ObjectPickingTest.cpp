// Picking in a view: rectangles on the virtual screen, pixel-accurate sprites through their
// texture's hit mask, and what falls through to the entry behind.

#include "Src/World/Vey_ObjectPicking.h"

#include <gtest/gtest.h>

#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Quor/CViewCamera.h"
#include "tests/Framework/Resources/ResourceTestKit.h"
#include "tests/support/engine/CameraInMode.h"

#include <memory>

using namespace Vey;
using Ombrel::CLayout2D;
using Ombrel::SLayoutBox;

namespace {

constexpr int kSide = 16;
constexpr float kCentre = 2048.0f;

// A view over a 16 x 16 picture whose mask is opaque in its top-left quarter only, shown by
// the sprite "Masked" (one layout unit square at the centre) in front of the plain sprite
// "Back" (two units square) and a hidden sprite "Hidden" over everything. The camera's aspect
// is 2, so one layout unit is 128 virtual units wide and 256 high.
class ObjectPickingTest : public restest::CResourceFixture {
 protected:
  void SetUp() override {
    CResourceFixture::SetUp();
    m_resources->RegisterLoader(new Ombrel::CResTextureLoader, "Texture");
    std::vector<uint8_t> raw;  // rows from the bottom
    for (int y = kSide - 1; y >= 0; --y)
      for (int x = 0; x < kSide; ++x) raw.push_back(x < kSide / 2 && y < kSide / 2 ? 255 : 0);
    WriteContent("Textures/Pic.mpt", rendertest::MptFile(kSide, kSide, std::vector<uint8_t>(kSide * kSide * 4, 200)));
    WriteContent("Textures/Pic.raw", raw);
    LoadList(R"(<L><Texture Name="t" FileName="Pic"><Mask File="Pic.raw" Threshold="128"/></Texture></L>)");
    m_texture = m_resources->GetTexture("t");
    ASSERT_NE(m_texture, nullptr);
    ASSERT_NE(m_texture->GetMask(), nullptr);
  }

  SLayoutBox& Add(int32_t kind, const char* name, Vector2 size, bool visible = true) {
    std::unique_ptr<SLayoutBox> entry;
    if (kind == Ombrel::kLayoutSprite) {
      entry = std::make_unique<Ombrel::SLayoutSprite>();
    } else {
      entry = std::make_unique<SLayoutBox>(kind);
    }
    entry->index = int32_t(m_layout.GetCount());
    entry->name = name;
    entry->size = size;
    entry->visible = visible;
    SLayoutBox& added = *entry;
    m_layout.AddItem(std::move(entry));
    return added;
  }
  SLayoutBox& AddMasked(const char* name, Vector2 size, bool visible = true) {
    SLayoutBox& entry = Add(Ombrel::kLayoutSprite, name, size, visible);
    static_cast<Ombrel::SLayoutSprite&>(entry).textureResource = m_texture;
    return entry;
  }

  hmtest::CCameraInMode m_camera{kAspectCustom, 2.0f};
  Ombrel::CResourceTexture* m_texture = nullptr;
  CLayout2D m_layout;
};

TEST_F(ObjectPickingTest, ClearPixelsFallThroughToTheEntryBehind) {
  AddMasked("Hidden", {4, 4}, false);
  SLayoutBox& masked = AddMasked("Masked", {1, 1});
  Add(Ombrel::kLayoutSprite, "Back", {2, 2});
  EXPECT_EQ(GetNodeSpriteData(masked), m_texture->GetMask());
  EXPECT_EQ(GetNodeSpriteData(*m_layout.FindItem("Back")), nullptr);

  const struct {
    const char* where;
    Vector2 point;
    const char* picked;
  } kCases[] = {
      {"top left, opaque", {kCentre - 32, kCentre - 64}, "Masked"},
      {"top right, clear", {kCentre + 32, kCentre - 64}, "Back"},
      {"bottom left, clear", {kCentre - 32, kCentre + 64}, "Back"},
      {"past the masked rectangle", {kCentre - 100, kCentre - 64}, "Back"},
      {"on the back's edge", {kCentre - 128, kCentre}, "None"},
      {"outside everything", {kCentre, kCentre + 300}, "None"},
  };
  for (const auto& c : kCases) EXPECT_EQ(PickLayoutObjectAt(c.point, m_layout), c.picked) << c.where;

  // The offset from the centre counts times the entry's scale: at scale 2 a point half-way to
  // the top-left corner samples the corner itself, and one beyond it samples off the mask.
  masked.scale = {2, 2};
  EXPECT_EQ(PickLayoutObjectAt({kCentre - 30, kCentre - 60}, m_layout), "Masked");
  EXPECT_EQ(PickLayoutObjectAt({kCentre - 40, kCentre - 80}, m_layout), "Back");
}

TEST_F(ObjectPickingTest, AnEntryThatIsNoSpriteEndsTheLayoutSearch) {
  Add(Ombrel::kLayoutDummy, "Frame", {1, 1});
  Add(Ombrel::kLayoutSprite, "Back", {2, 2});
  EXPECT_EQ(PickLayoutObjectAt({kCentre, kCentre}, m_layout), "None");
  EXPECT_EQ(PickLayoutObjectAt({kCentre, kCentre + 200}, m_layout), "Back");
}

// Objects are tried in their list's order, not the layout's drawing order.
TEST_F(ObjectPickingTest, TheFirstObjectListedWhoseEntryIsHitIsPicked) {
  Add(Ombrel::kLayoutSprite, "BackSprite", {2, 2});
  AddMasked("MaskedSprite", {1, 1});
  Add(Ombrel::kLayoutDummy, "Slot", {0.5f, 0.5f}).position = {1.0f, 0.0f};
  SObjectList objects(4);
  const char* const names[][2] = {
      {"Ring", "MaskedSprite"}, {"Lost", "NoSuchSprite"}, {"Table", "BackSprite"}, {"Drawer", "Slot"}};
  for (size_t i = 0; i < objects.size(); ++i) {
    objects[i].name = names[i][0];
    objects[i].sprite = names[i][1];
  }
  const struct {
    const char* where;
    Vector2 point;
    const char* picked;
  } kCases[] = {
      {"the ring's opaque corner", {kCentre - 32, kCentre - 64}, "Ring"},
      {"the ring's clear corner", {kCentre + 32, kCentre - 64}, "Table"},
      {"a placeholder object", {kCentre + 128 + 16, kCentre}, "Drawer"},
      {"nothing", {kCentre, kCentre + 300}, "None"},
  };
  for (const auto& c : kCases) EXPECT_EQ(PickObjectAt(c.point, objects, m_layout), c.picked) << c.where;
  std::swap(objects[0], objects[2]);
  EXPECT_EQ(PickObjectAt({kCentre - 32, kCentre - 64}, objects, m_layout), "Table");
}

TEST(ObjectQueries, InteractiveFlagsAndClickNotesFollowTheCurrentState) {
  SObjectList objects(2);
  SSceneObject& lamp = objects[0];
  lamp.name = "Lamp";
  lamp.states = {{"Off", "LampOff", true}, {"Lit", "LampLit", false}};
  SObjectAction remark;
  remark.object = "Click";
  remark.note = "LAMP_HOT";
  remark.reqState = "Lit";
  SObjectAction silent = remark;
  silent.reqState = "Off";
  silent.note = "";
  SObjectAction useKey = remark;
  useKey.object = "Key";
  useKey.reqState = "Broken";
  lamp.actions = {silent, useKey, remark};
  objects[1].name = "Ghost";

  const struct {
    const char* object;
    const char* state;
    bool interactive, note;
  } kCases[] = {
      {"Lamp", "Off", true, false}, {"Lamp", "Lit", false, true}, {"Lamp", "Broken", false, false},
      {"Ghost", "", false, false},  {"Nobody", "", false, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.object << " in \"" << c.state << "\"");
    lamp.state = c.state;
    EXPECT_EQ(IsObjectInteractive(c.object, objects), c.interactive);
    EXPECT_EQ(HasClickNote(c.object, objects), c.note);
  }
}

}  // namespace
