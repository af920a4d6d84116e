#pragma once
// A heads-up display for the screens' tests that does nothing but say whether the mouse is over
// it (the screens under test only hand it on or ask it that), and a cursor set that records.

#include "Src/Location/Vey_SceneScreens.h"

#include <string>
#include <vector>

class CQuietHud : public Vey::IHud {
 public:
  bool overHud = false;
  bool frozen = false;

  void ReadInput() override {}
  void Update(float) override {}
  void UpdateDiary(float) override {}
  void UpdateDiaryHover(float, bool) override {}
  void AdvanceGlowPhase(float) override {}
  void UpdateEffect(float) override {}
  int32_t GetMode() const override { return 0; }
  void SetMode(int32_t) override {}
  int32_t GetPreviousMode() const override { return 0; }
  void SetCurrentLocation(int32_t) override {}
  void SetAmbientSlot(int32_t) override {}
  void EndNote() override {}
  void ShowNote(const std::string&) override {}
  void AddDiaryEntry(const std::string&) override {}
  void OpenDiary() override {}
  Vey::IMapScreen* GetMapFrame() override { return nullptr; }
  void AddItem(const std::string&, const Vector2&) override {}
  void RemoveItem(const std::string&) override {}
  void PlayPickupEffects(const Vector2&, const Ombrel::SLayoutItem&) override {}
  void SetBarFrozen(bool value) override { frozen = value; }
  bool IsBarFrozen() const override { return frozen; }
  std::string GetUsedItem() override { return ""; }
  bool HasItemInHand() const override { return false; }
  bool IsMouseOverHud() const override { return overHud; }
  bool IsMouseOverDiary() const override { return false; }
  bool IsMouseOverMapButton() const override { return false; }
  bool IsMouseOverHintButton() const override { return false; }
};

// A cursor set that keeps what the screens ask of it.
class CRecordingCursor : public Vey::ICursorSet {
 public:
  void UpdateType(const Vey::CMap&, const Vey::IHud&, const Vey::SCursorQuery& query) override {
    queries.push_back(query);
  }
  void Update(float) override {}
  void SetHover(bool on) override { hover = on; }
  std::vector<Vey::SCursorQuery> queries;
  bool hover = false;
};
