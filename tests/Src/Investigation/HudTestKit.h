#pragma once
// A heads-up display over a small "16:9" layout built in memory: fourteen slots along the
// bottom, the arrows, the moon, the gauge, the compass, the diary book and the list markers,
// all placeholders where the test needs only their rectangles; an items layout of 31 items and
// a save body whose current profile holds the inventory list.

#include <gtest/gtest.h>

#include "Framework/omLayout2D.h"
#include "Quor/CViewCamera.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/Investigation/Vey_Player.h"
#include "tests/support/ReportCapture.h"
#include "tests/support/engine/CameraInMode.h"

#include <memory>
#include <string>

namespace hudtest {

constexpr int kItemCount = 31;

// Slot n (from 1) of the bar, in layout units.
inline Vector2 SlotPosition(int n) { return {-1.3f + 0.2f * float(n - 1), -0.85f}; }

inline Ombrel::SLayoutBox* AddBox(Ombrel::CLayout2D& layout, const std::string& name, Vector2 position,
                                  Vector2 size, int32_t kind = Ombrel::kLayoutDummy) {
  std::unique_ptr<Ombrel::SLayoutBox> box;
  if (kind == Ombrel::kLayoutSprite)
    box = std::make_unique<Ombrel::SLayoutSprite>();
  else
    box = std::make_unique<Ombrel::SLayoutBox>(kind);
  box->name = name;
  box->position = position;
  box->size = size;
  box->visible = true;
  box->index = int32_t(layout.GetCount());
  Ombrel::SLayoutBox* raw = box.get();
  layout.AddItem(std::move(box));
  return raw;
}

// The item keys of the items layout: "Item00" to "Item30".
inline std::string ItemKey(int i) { return (i < 10 ? "Item0" : "Item") + std::to_string(i); }

class CHudFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    hmtest::Reports().clear();
    ReportHandler = hmtest::CaptureReport;
    m_camera = std::make_unique<hmtest::CCameraInMode>(kAspectWide);
    BuildLayouts();
    m_save = std::make_unique<Vey::SSaveData>();
    m_save->current = 0;
    m_save->profiles[0].gameMode = 1;
    m_collaborators.layout = &m_layout;
    m_collaborators.items = &m_items;
    m_collaborators.saveData = m_save.get();
  }
  void TearDown() override {
    m_hud.reset();
    m_camera.reset();
    ReportHandler = nullptr;
  }

  void BuildLayouts() {
    const std::string set = "root/HUD16:9/";
    for (int n = 1; n <= 14; ++n) AddBox(m_layout, set + "Slot" + std::to_string(n), SlotPosition(n), {0.18f, 0.18f});
    AddBox(m_layout, set + "LeftArrowInactive", {-1.55f, -0.85f}, {0.1f, 0.18f});
    AddBox(m_layout, set + "LeftArrowActive", {-1.55f, -0.85f}, {0.1f, 0.18f});
    AddBox(m_layout, set + "RightArrowInactive", {1.55f, -0.85f}, {0.1f, 0.18f});
    AddBox(m_layout, set + "RightArrowActive", {1.55f, -0.85f}, {0.1f, 0.18f});
    AddBox(m_layout, set + "hudLeft(Moon)", {-1.65f, -0.6f}, {0.2f, 0.2f});
    AddBox(m_layout, set + "MaskhudLeft(Blood)", {-1.65f, -0.85f}, {0.15f, 0.25f});
    AddBox(m_layout, set + "hudleft(Blood)", {-1.65f, -0.85f}, {0.15f, 0.25f});
    AddBox(m_layout, set + "MapButton/Compass", {1.65f, -0.6f}, {0.2f, 0.2f});
    for (int n = 1; n <= 12; ++n) {
      char name[16];
      std::snprintf(name, sizeof name, "Dummy%02d", n);
      AddBox(m_layout, set + name, {1.2f, 0.5f - 0.1f * float(n)}, {0.6f, 0.08f});
    }
    // Another aspect set, which a wide screen hides.
    AddBox(m_layout, "root/HUD4:3/Slot1", {0.0f, 0.0f}, {0.18f, 0.18f});
    AddBox(m_layout, "root/Diary/hudCenter(table)0", {0.0f, -0.78f}, {0.3f, 0.3f});
    AddBox(m_layout, "root/ItemDummy", {0.0f, 0.2f}, {0.5f, 0.5f});
    // The puzzles' skip (right) and help (left) buttons.
    for (const char* suffix : {"", "0"}) {
      const float x = suffix[0] ? -1.0f : 1.0f;
      AddBox(m_layout, std::string("root/Outline") + suffix, {x, -0.6f}, {0.36f, 0.13f});
      AddBox(m_layout, std::string("root/Outline active") + suffix, {x, -0.6f}, {0.36f, 0.13f});
      auto text = std::make_unique<Ombrel::SLayoutText>();
      text->name = suffix[0] ? "root/text_help" : "root/text_skip";
      text->position = {x, -0.6f};
      text->index = int32_t(m_layout.GetCount());
      m_layout.AddItem(std::move(text));
    }
    for (int i = 0; i < kItemCount; ++i) AddBox(m_items, "root/Items/" + ItemKey(i), {0, 0}, {0.5f, 0.25f});
  }

  Vey::CPlayer& Hud() {
    if (!m_hud) m_hud = std::make_unique<Vey::CPlayer>(m_collaborators);
    return *m_hud;
  }

  // One frame with the mouse at a layout point, the button down or up.
  void Frame(Vector2 layoutPoint, bool down, float dt = 0.02f) {
    Hud().SetInput(Vey::ToVirtualScreen(layoutPoint), down);
    Hud().Update(dt);
  }
  // A click: a frame with the button down, then one with it up.
  void Click(Vector2 layoutPoint) {
    Frame(layoutPoint, true);
    Frame(layoutPoint, false);
  }
  // Items added quietly and landed in the bar.
  void AddLanded(int count, int first = 0) {
    for (int i = first; i < first + count; ++i) Hud().AddItem(ItemKey(i), true, {2048, 2048});
    for (int i = 0; i < 30; ++i) Frame({0, 0.9f}, false);
  }

  Vey::SProfileData& Profile() { return m_save->profiles[0]; }

  std::unique_ptr<hmtest::CCameraInMode> m_camera;
  Ombrel::CLayout2D m_layout;
  Ombrel::CLayout2D m_items;
  std::unique_ptr<Vey::SSaveData> m_save;
  Vey::SHudCollaborators m_collaborators;
  std::unique_ptr<Vey::CPlayer> m_hud;
};

}  // namespace hudtest
