#pragma once
// A heads-up display for the hidden-object scene's tests: the location logic's fake display that
// also keeps the word list, the bar and list visibility and the hint gauge the scene drives.

#include "Src/Investigation/Vey_HiddenObjects.h"
#include "tests/Src/Location/SceneTestKit.h"

#include <string>
#include <vector>

namespace hotest {

// The display as the scene drives it, writing into the shared log.
class CFakeListHud : public scenetest::CFakeHud, public Vey::IHiddenObjectsHud {
 public:
  explicit CFakeListHud(scenetest::Log* log) : CFakeHud(log) {}
  void SetBarVisibility(float value) override { bar = value; }
  void SetListVisibility(float value) override { list = value; }
  void SetList(std::vector<std::string> value, bool reset) override {
    lines = std::move(value);
    resets += reset ? 1 : 0;
  }
  Vector2 GetListPosition(const std::string&) override { return kListLine; }
  void UpdateList(float) override {}
  bool IsMouseOverHintOrMenu() const override { return overHint; }
  bool IsMouseOverHintButton() const override { return overHint; }
  float GetHintCharge() const override { return charge; }
  void SetHintCharge(float value) override { charge = value; }
  void SetHintGlow(bool) override {}
  void AdvanceHintGlow(float) override {}
  float GetFade() const override { return 1.0f; }

  static constexpr Vector2 kListLine{2100.0f, 1850.0f};
  float bar = 1.0f;
  float list = 0.0f;
  std::vector<std::string> lines;
  int resets = 0;
  bool overHint = false;
  float charge = 1.0f;
};

}  // namespace hotest
