#pragma once
// A developer screen that lists the registered states and runs one of them a chosen number of
// times in a row, coming back afterwards. Up and Down choose the state, Left and Right the
// count, Return runs it, Escape (after the first second) leaves.

#include "Framework/omApplicationState.h"
#include "Quor/CStr.h"

#include <cstdint>
#include <vector>

class CFont;

namespace Ombrel {

class CAS_DebugMenu : public IApplicationState {
 public:
  static constexpr const char* kLayerName = "DebugMenu";
  static constexpr const char* kNodeName = "DebugRender";
  static constexpr float kEntryDuration = 2.0f;
  static constexpr int32_t kMaxCount = 100;
  static constexpr float kTimerWrap = 10.0f;
  static constexpr float kLeaveAfter = 1.0f;

  // The action slots of the menu's keys.
  enum EAction : int32_t {
    kActionLeave = 0,
    kActionLess = 1,
    kActionMore = 2,
    kActionPrevious = 3,
    kActionNext = 4,
    kActionRun = 5,
    kActionKey1 = 6,
    kActionKey2 = 7,
  };
  static constexpr int32_t kActionCount = 8;

  struct SEntry {
    CStr name;
    int32_t id;
    float duration;
    int32_t count;
  };

  CAS_DebugMenu(CAppEventHandler<CApplicationEvent>* application, CAppConfig* config);

  // Lists a state registered after the menu itself (the menu included).
  void OnStateRegistered(const char* name, int32_t id);

  void PreLoad() override;
  void Init() override;
  void Release() override;
  void Start() override;
  void ProcessInput(float dt) override;
  void Update(float dt) override;
  // The node's drawing: a grid and one row of texts per entry.
  void Render();

  const std::vector<SEntry>& GetEntries() const { return m_entries; }
  int32_t GetSelection() const { return m_selection; }
  float GetTimer() const { return m_timer; }
  bool IsLeaving() const { return m_leave; }

 private:
  void Select(int32_t step);
  void ChangeCount(int32_t step);
  void RunSelected();
  void DrawGrid() const;
  void DrawEntry(const SEntry& entry, int32_t row, bool selected) const;

  float m_timer = 0.0f;
  CFont* m_font = nullptr;  // the "System" font resource's
  bool m_leave = false;
  std::vector<SEntry> m_entries;
  int32_t m_selection = 0;
};

}  // namespace Ombrel
