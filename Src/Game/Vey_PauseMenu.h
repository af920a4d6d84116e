#pragma once
// The in-game pause overlay: its logic (a state word with an opening and closing fade) and
// its scene node. The playing states open it on a pause event and resume once it is closed
// again; its entries, options and help pages build on these states.

#include "Framework/Scene/omSceneNode.h"
#include "Quor/CMemWatch.h"

#include <cstdint>

namespace Ombrel {
class CApplicationEvent;
template <class TEvent>
class CAppEventHandler;
class CEventManager;
class CLayout2D;
class CXmlDictionary;
}  // namespace Ombrel

namespace Vey {

class CPauseMenuNode : public Ombrel::ISceneNode {
 public:
  static constexpr const char* kNodeName = "PauseMenu";

  CPauseMenuNode(Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary)
      : ISceneNode(kNodeName), m_layout(layout), m_dictionary(dictionary) {}

  // The overlay's pages draw themselves through the menu's entries; the node itself only
  // marks whether the overlay is on screen.
  void Render() override {}

  Ombrel::CLayout2D* GetLayout() const { return m_layout; }
  Ombrel::CXmlDictionary* GetDictionary() const { return m_dictionary; }

 private:
  Ombrel::CLayout2D* m_layout;
  Ombrel::CXmlDictionary* m_dictionary;
};

class CPauseMenu : public CMemWatch {
 public:
  enum EState : int32_t {
    kClosed = 0,
    kOpening = 1,
    kOpen = 2,
    kOptions = 3,
    kHelp = 4,
    kClosing = 5,
  };
  // The fades take a quarter of a second each.
  static constexpr float kFadeSpeed = 4.0f;

  explicit CPauseMenu(Ombrel::CLayout2D* layout) : m_layout(layout) {}

  // Closed, fade at its start.
  virtual void Reset();
  virtual void ProcessInput(float dt);
  // Runs the fades: the opening ends open, the closing ends closed with the node undrawn.
  virtual void Update(float dt);

  // Reset, opening, node drawn.
  void Open();
  void StartClosing();
  // The sub-pages, taken only from the open overlay.
  void ShowOptions() { ShowPage(kOptions); }
  void ShowHelp() { ShowPage(kHelp); }

  int32_t GetState() const { return m_state; }
  float GetTimer() const { return m_timer; }
  // 0 closed .. 1 open, for the playing states' backdrop.
  float GetProgress() const { return m_progress; }

  Ombrel::CLayout2D* GetLayout() const { return m_layout; }
  void SetMenuId(int32_t id) { m_menuId = id; }
  int32_t GetMenuId() const { return m_menuId; }
  void SetNode(CPauseMenuNode* node) { m_node = node; }
  CPauseMenuNode* GetNode() const { return m_node; }
  void SetGameStateId(int32_t id) { m_gameStateId = id; }
  int32_t GetGameStateId() const { return m_gameStateId; }
  void SetEventManager(Ombrel::CEventManager* events) { m_events = events; }
  Ombrel::CEventManager* GetEventManager() const { return m_events; }
  void SetEventHandler(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* handler) { m_application = handler; }
  Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* GetEventHandler() const { return m_application; }

 private:
  void ShowPage(EState page);
  // Advances the fade timer; true once the fade is over.
  bool AdvanceFade(float dt);

  Ombrel::CLayout2D* m_layout;
  int32_t m_state = kClosed;
  float m_timer = 0.0f;
  float m_progress = 0.0f;
  int32_t m_menuId = -1;
  CPauseMenuNode* m_node = nullptr;  // owned by the scene manager
  int32_t m_gameStateId = -1;
  Ombrel::CEventManager* m_events = nullptr;
  Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* m_application = nullptr;
};

}  // namespace Vey
