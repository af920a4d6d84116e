#pragma once
// The common base of the two playing states: an application state that also listens to the
// event manager. It owns the pause menu, turns an Escape press into a pause event, opens and
// closes the menu on pause and close events (the menu's continue and quit post them too), and
// asks the playing state to Pause when the menu opens and to Resume once it has closed again.

#include "Framework/omApplicationState.h"
#include "Framework/omEventManager.h"

#include <cstdint>
#include <memory>

namespace Vey {

class CPauseMenu;
class CPauseMenuNode;

class CGameBase : public Ombrel::IApplicationState, public Ombrel::IEventHandler {
 public:
  // The first player's control that Escape drives.
  static constexpr int32_t kPauseControl = 1;
  static constexpr uint8_t kVkEscape = 27;
  // The first player's control the pause menu reads the left button from.
  static constexpr int32_t kPauseClickControl = 4;
  static constexpr uint8_t kVkLeftButton = 1;
  // Event types: 1 opens or closes the overlay, 2 closes it.
  enum EEventType : int32_t { kEventNone = 0, kEventPause = 1, kEventClose = 2 };

  static constexpr const char* kCommonResources = "App/Configs/Common_Resources.xml";
  static constexpr const char* kPauseResources = "App/Configs/Pause_Resources.xml";
  static constexpr const char* kPauseLayout = "Pause";
  static constexpr const char* kPauseMaterial = "PauseMat";

  CGameBase(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config);
  ~CGameBase() override;

  // The playing states call these first in their own.
  void Init() override;
  void Release() override;
  void Start() override;
  void ProcessInput(float dt) override;
  void Update(float dt) override;

  // The playing state stops (Pause) and goes on (Resume) around the overlay.
  virtual void Pause() = 0;
  virtual void Resume() = 0;

  // Always lets the dispatch go on.
  bool HandleEvent(const Ombrel::SEventHeader& event) override;
  bool AcceptsEvent(int32_t type) override;

  // The overlay is anywhere but closed.
  bool IsPaused() const;
  CPauseMenu* GetPauseMenu() const { return m_pauseMenu.get(); }
  CPauseMenuNode* GetPauseNode() const { return m_pauseNode; }

  // Filled by the start-up once every state is registered.
  void SetOutroId(int32_t id) { m_outroId = id; }
  int32_t GetOutroId() const { return m_outroId; }
  void SetMenuId(int32_t id) { m_menuId = id; }
  int32_t GetMenuId() const { return m_menuId; }
  void SetBonusGameId(int32_t id) { m_bonusGameId = id; }
  int32_t GetBonusGameId() const { return m_bonusGameId; }
  void SetBonusOutroId(int32_t id) { m_bonusOutroId = id; }
  int32_t GetBonusOutroId() const { return m_bonusOutroId; }

 private:
  void BindEscape();
  void LoadResourceLists();
  void CreatePauseOverlay();
  void AttachPauseNode(CPauseMenuNode* node);
  // Not while a sub-page is shown, whose own back entries close it.
  void CloseOverlay();

  int32_t m_outroId = -1;
  int32_t m_menuId = -1;
  int32_t m_bonusGameId = -1;
  int32_t m_bonusOutroId = -1;
  std::unique_ptr<CPauseMenu> m_pauseMenu;
  CPauseMenuNode* m_pauseNode = nullptr;  // owned by the scene manager's current group
};

}  // namespace Vey
