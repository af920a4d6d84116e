#pragma once
// The heads-up display of the playing states: the inventory bar with its scroll arrows and the
// item carried on the cursor, the diary book, the map compass, the menu moon, the hint gauge,
// the skip and help buttons of the puzzles, the one-line note at the bottom and the list of
// objects to find while a hidden-object scene runs. One scene node, "HUD", drawn from the
// "HUD" layout; its objects come in four sets, "root/HUD5:4", "root/HUD4:3", "root/HUD16:10"
// and "root/HUD16:9", of which the one matching the display ratio is shown.

#include "Framework/Scene/omSceneNode.h"
#include "Framework/Scene/omSpriteData.h"
#include "Framework/omLayout2D.h"
#include "Quor/CTextureManager.h"
#include "Quor/Utils.h"
#include "Src/Location/Vey_SceneScreens.h"
#include "Src/World/Vey_Screen.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CFont;
struct TextureRecord;

namespace MP {
class CEmitter;
}

namespace Ombrel {
class CEventManager;
class CSprite2DNode;
class CXmlDictionary;
}  // namespace Ombrel

namespace Vey {

class CButton2;
class CEmitterPool;
class CSoundContainer;
struct SSaveData;
struct SProfileData;

// The diary the display opens from its book; it comes with its own screen.
class IDiaryScreen {
 public:
  virtual ~IDiaryScreen() = default;
  // Starts the opening fade.
  virtual void Open() = 0;
  virtual void ReadInput(const Vector2& mouse, bool pressed, bool released) = 0;
  virtual void Update(float dt) = 0;
  // 0 once closed.
  virtual int32_t GetState() const = 0;
  virtual void AddEntry(const std::string& key) = 0;
};

// What the playing state hands the display. Everything but the layout may be missing (null):
// the display then leaves out what would use it.
struct SHudCollaborators {
  Ombrel::CLayout2D* layout = nullptr;       // "HUD"
  Ombrel::CLayout2D* items = nullptr;        // "Items": one object "root/Items/<key>" per item
  Ombrel::CXmlDictionary* dictionary = nullptr;
  CFont* font = nullptr;
  TextureRecord* emptySlot = nullptr;        // "EmptyInventorySlot"
  TextureRecord* stroke = nullptr;           // "Stroke"
  CSoundContainer* sounds = nullptr;
  SSaveData* saveData = nullptr;             // the inventory list and the game mode of its current profile
  Ombrel::CEventManager* events = nullptr;   // the menu button's pause event
  Ombrel::ISceneNode* upperCapture = nullptr;  // "UpperCapture", drawn when the diary or the map opens
  CEmitterPool* foundPool = nullptr;         // the pick-up burst
  CEmitterPool* trailPool = nullptr;         // the trail behind a flying item
  CEmitterPool* strokePool = nullptr;        // the sparks of a crossed-out list line
  MP::CEmitter* hintGlow = nullptr;          // "HintGlow"
  MP::CEmitter* newEntry = nullptr;          // "NewEntry"
  MP::CEmitter* cursorEffect = nullptr;      // "Cursor"
  IDiaryScreen* diary = nullptr;
  IMapScreen* mapFrame = nullptr;
};

class CPlayer : public Ombrel::ISceneNode, public IHud {
 public:
  enum EMode : int32_t { kModeLocation = 0, kModeHiddenObjects = 1, kModeDiary = 2, kModeMap = 3 };
  enum EAspectLayout : int32_t { kAspect5x4 = 0, kAspect4x3 = 1, kAspect16x10 = 2, kAspect16x9 = 3 };
  static constexpr int kMaxSlots = 14;
  static constexpr int kListLines = 12;
  static constexpr int32_t kNoSlot = -3;
  static constexpr size_t kNoteKeyCapacity = 31;

  struct SSlotWave {
    float current = 0.0f;
    float t = 0.0f;
    float start = 0.0f;
    float target = 0.0f;
  };

  struct SInventoryEntry {
    std::string key;
    Vector2 startPosition;  // where the flight starts, virtual units
    Vector2 startSize;
    Ombrel::CSpriteData sprite;
    float progress = 1.0f;  // 1: sitting in the bar
    int32_t id = -1;        // the object's index in the items layout
    MP::CEmitter* trail = nullptr;
  };

  // A taken clue's picture flying into the diary book.
  struct STrail {
    Vector2 startPosition;
    Vector2 startSize;
    Ombrel::CSpriteData sprite;
    CTextureHold texture;  // the picture outlives its place, which may be left mid-flight
    float progress = 0.0f;
    MP::CEmitter* emitter = nullptr;
  };

  struct SListRecord {
    float active = 0.0f;
    float progress = 0.0f;
    MP::CEmitter* emitter = nullptr;
  };

  explicit CPlayer(const SHudCollaborators& collaborators);
  ~CPlayer() override;

  // The aspect layout of a display ratio.
  static int32_t SelectAspectLayout(float ratio);
  static const char* AspectName(int32_t layout);
  static int VisibleSlotCount(int32_t layout);
  // Virtual-screen units to the particle library's space (layout units times MP::kParticleUnits).
  static Vector2 ToParticleSpace(const Vector2& virtualPoint);

  // ---- layout ----
  void BuildHud();
  int32_t GetAspectLayout() const { return m_aspectLayout; }
  bool HasLayoutChanged() const { return m_layoutChanged; }
  // A puzzle that has fitted its pieces to the new aspect takes the signal.
  void ClearLayoutChanged() { m_layoutChanged = false; }
  int VisibleSlots() const { return VisibleSlotCount(m_aspectLayout); }

  // ---- scene node ----
  void Reset() override {}
  void Render() override;
  void Hide() override { ISceneNode::Hide(); }
  void Show() override { ISceneNode::Show(); }

  // ---- IHud ----
  void ReadInput() override;
  void Update(float dt) override;
  void UpdateDiary(float dt) override;
  void UpdateDiaryHover(float dt, bool tutorialStarted) override;
  void AdvanceGlowPhase(float dt) override;
  void UpdateEffect(float dt) override;
  int32_t GetMode() const override { return m_mode; }
  void SetMode(int32_t mode) override;
  int32_t GetPreviousMode() const override { return m_previousMode; }
  void SetCurrentLocation(int32_t location) override { m_currentLocation = location; }
  void SetAmbientSlot(int32_t slot) override { m_sparedSound = slot; }
  void EndNote() override { m_noteTimer = 1.0f; }
  void ShowNote(const std::string& key) override;
  void AddDiaryEntry(const std::string& name) override;
  void OpenDiary() override;
  IMapScreen* GetMapFrame() override { return m_c.mapFrame; }
  // The playing state builds the diary after the display, which opens it.
  void SetDiary(IDiaryScreen* diary) { m_c.diary = diary; }
  void AddItem(const std::string& item, const Vector2& screenPosition) override;
  void RemoveItem(const std::string& item) override;
  void PlayPickupEffects(const Vector2& screenPosition, const Ombrel::SLayoutItem& picture) override;
  void SetBarFrozen(bool frozen) override { m_barFrozen = frozen; }
  bool IsBarFrozen() const override { return m_barFrozen; }
  std::string GetUsedItem() override;
  bool HasItemInHand() const override { return !m_heldItem.empty(); }
  bool IsMouseOverHud() const override;
  bool IsMouseOverDiary() const override;
  bool IsMouseOverMapButton() const override;
  bool IsMouseOverHintButton() const override;

  // ---- inventory ----
  // The entries for the current profile's inventory list, sitting in the bar.
  void LoadInventory();
  // AddItem without the pick-up burst when quiet.
  void AddItem(const std::string& item, bool quiet, const Vector2& screenPosition);
  // The clue's picture flies from the object into the diary book.
  void PlayPickupEffects(const Vector2& screenPosition, const Ombrel::CSpriteData& sprite);
  const std::vector<SInventoryEntry>& GetInventory() const { return m_inventory; }
  const std::vector<STrail>& GetTrails() const { return m_trails; }
  uint32_t GetFirstVisibleSlot() const { return m_firstVisible; }
  const std::string& GetHeldItem() const { return m_heldItem; }
  // A screen that takes no items puts the one in hand back into the bar.
  void DropHeldItem() { m_heldItem.clear(); }
  // The key of the item in the slot under the mouse, when it sits in the bar; else "".
  std::string GetClickedSlotItem() const;

  // ---- input ----
  // One frame's mouse: the position in virtual units and whether the left button is down.
  void SetInput(const Vector2& mouse, bool buttonDown);
  const Vector2& GetMouse() const { return m_mouse; }
  bool IsPressed() const { return m_pressed; }
  bool IsReleased() const { return m_released; }

  // ---- hit tests ----
  bool IsMouseOverMenuButton() const;
  bool IsMouseOverHintOrMenu() const;
  bool IsMouseOverLeftArrow() const;
  bool IsMouseOverRightArrow() const;
  bool IsMouseOverSkipButton() const;
  bool IsMouseOverHelpButton() const;

  // ---- buttons and arrows ----
  void ShowSkipButton(bool show);
  void ShowHelpButton(bool show);
  CButton2* GetSkipButton() const { return m_skipButton.get(); }
  CButton2* GetHelpButton() const { return m_helpButton.get(); }
  bool IsSkipButtonShown() const { return m_skipShown; }
  bool IsHelpButtonShown() const { return m_helpShown; }
  void SetLeftArrowActive(bool on);
  void SetRightArrowActive(bool on);

  // ---- note line ----
  void UpdateNoteTimer(float dt);
  const char* GetNoteKey() const { return m_noteKey; }
  float GetNoteTimer() const { return m_noteTimer; }
  // The note line's alpha (0..1) at a timer value.
  static float NoteAlpha(float timer);

  // ---- hint gauge, effects ----
  float GetHintCharge() const { return m_hintCharge; }
  void SetHintCharge(float charge) { m_hintCharge = charge; }
  float GetGlowPhase() const { return m_glowPhase; }
  void SetNewEntrySignal(bool on);

  // ---- hidden-object list ----
  // A line of the list is the object's phrase followed by one digit, how many are still to find.
  static int ListLineCount(const std::string& line);
  static std::string ListLineText(const std::string& line);
  void SetHiddenObjectList(std::unique_ptr<std::vector<std::string>> list);
  void ResetHiddenObjectList();
  Vector2 GetHiddenObjectListPosition(const std::string& key);
  void UpdateHiddenObjectList(float dt);
  const SListRecord& GetListRecord(int line) const { return m_listRecords[size_t(line)]; }

  // ---- values the other screens set or read ----
  float GetBarVisibility() const { return m_barVisibility; }
  void SetBarVisibility(float value) { m_barVisibility = value; }
  float GetListVisibility() const { return m_listVisibility; }
  void SetListVisibility(float value) { m_listVisibility = value; }
  float GetDiaryHover() const { return m_diaryHover; }
  float GetArrowHover(bool right) const { return right ? m_rightArrowHover : m_leftArrowHover; }
  float GetCompassSwing() const { return m_compassSwing; }
  const SSlotWave& GetSlotWave(int slot) const { return m_slotWave[size_t(slot)]; }
  int32_t GetLastHoveredSlot() const { return m_lastHoveredSlot; }
  void SetFade(float fade) { m_fade = fade; }
  float GetFade() const { return m_fade; }
  int32_t GetCurrentLocation() const { return m_currentLocation; }
  int32_t GetAmbientSlot() const { return m_sparedSound; }
  Ombrel::CLayout2D* GetLayout() const { return m_c.layout; }

 private:
  enum ESpecialObject : int {
    kTextMenu,
    kDiaryAnim,
    kLeftArrowInactive,
    kLeftArrowActive,
    kRightArrowInactive,
    kRightArrowActive,
    kCompassArrow,
    kCompass,
    kDiaryBook,
    kDiaryGlow,
    kFirstSlot,
    kLastSlot,
    kMoon,
    kGaugeMask,
    kGaugeFill,
    kSpecialCount
  };

  // The object "root/HUD<aspect>/<name>" of the current aspect set, or of the shared part when
  // the name starts with "root/"; null when the layout has none.
  Ombrel::SLayoutItem* FindObject(const std::string& name) const;
  Ombrel::SLayoutBox* FindBox(const std::string& name) const;
  std::string AspectObjectName(const std::string& name) const;
  bool IsMouseOver(const std::string& name) const;
  bool IsMouseOverBox(const Ombrel::SLayoutBox* box, const Vector2& offset = {}) const;
  bool IsMouseOverRaisedBook() const;
  Ombrel::SLayoutBox* SlotBox(int slot) const;  // slot numbered from 1
  // The marker "Dummy01".. of a line of the hidden-object list (numbered from 0).
  static std::string ListMarkerName(size_t line);
  // Where a list line begins on the virtual screen: the left edge of its marker, whose width is
  // in layout units like every x of the layout.
  static Vector2 ListLineStart(const Ombrel::SLayoutBox& marker);
  int32_t FindHoveredSlot() const;
  void SetVisible(const std::string& name, bool visible);
  void ScrollToEnd();
  void MoveHintGlowToGauge();
  void LookUpSpecialObjects();
  SProfileData* Profile() const;
  Vector2 ItemDummyPosition(Vector2* size) const;
  MP::CEmitter* StartBurst(const Vector2& screenPosition);
  MP::CEmitter* TakeTrailEmitter();
  void StopSounds();
  void StartEmitter(MP::CEmitter* emitter);
  void StopEmitter(MP::CEmitter* emitter);
  Ombrel::CTextureAnimation* Animation(int special) const;

  // Update's steps.
  void UpdateSlotWave(float dt);
  void UpdateFlights(float dt);
  void UpdateTrails(float dt);
  void UpdateArrowHover(float dt);
  void UpdateButtonLights(float dt);
  // How much a hovered button of the bar is lit (0..1): the moon, the compass, the hint lamp.
  float ButtonLight(const Ombrel::SLayoutItem* item) const;
  void UpdateDiaryBook(float dt);
  void UpdateCompass(float dt);
  void HandleClick();
  void OpenMap();
  void UpdateButtons(float dt);

  // Drawing.
  void DrawTrails();
  void DrawLayout();
  void DrawLayoutSprite(const Ombrel::SLayoutBox& box);
  void DrawLayoutText(const Ombrel::SLayoutText& text);
  void DrawDiaryBook(const Ombrel::SLayoutBox& box);
  void DrawSlot(const Ombrel::SLayoutBox& box);
  void DrawHintGauge(const Ombrel::SLayoutBox& mask);
  void DrawItems();
  void DrawBubbles();
  void DrawHeldItem();
  void DrawNoteLine();
  void DrawHiddenObjectList();
  void DrawItemBubble(int slot, const char* text, float value);
  // Laid over what is behind; `added` adds the picture onto it instead (a glow).
  void DrawSprite(const Ombrel::CSpriteData& sprite, const Vector2& position, const Vector2& size, float alpha,
                  float angle = 0.0f, bool added = false);
  void DrawBoxSprite(const Ombrel::SLayoutBox& box, const Vector2& position, const Vector2& size, float alpha,
                     float angle, bool added = false);
  const char* Phrase(const char* key) const;
  Vector2 DiaryBookOffset() const;
  int SlotNumber(const Ombrel::SLayoutItem& item) const;

  SHudCollaborators m_c;
  Vector2 m_mouse = kScreenCentre;
  bool m_buttonDown = false;
  bool m_pressed = false;
  bool m_released = false;
  bool m_barFrozen = false;

  std::array<SSlotWave, kMaxSlots> m_slotWave{};
  std::vector<SInventoryEntry> m_inventory;
  std::vector<STrail> m_trails;
  std::array<SListRecord, kListLines> m_listRecords{};
  std::unique_ptr<std::vector<std::string>> m_hiddenObjectList;
  std::string m_heldItem;
  std::string m_usedItem;

  float m_glowPhase = 0.0f;
  float m_hintCharge = 1.0f;
  float m_diaryHover = 0.0f;
  float m_leftArrowHover = 0.0f;
  float m_rightArrowHover = 0.0f;
  float m_menuLight = 0.0f;
  float m_mapLight = 0.0f;
  float m_hintLight = 0.0f;
  float m_barVisibility = 1.0f;
  float m_listVisibility = 0.0f;
  uint32_t m_firstVisible = 0;
  int32_t m_lastHoveredSlot = kNoSlot;

  std::unique_ptr<Ombrel::CSprite2DNode> m_spriteNode;
  int32_t m_mode = kModeLocation;
  int32_t m_previousMode = kModeLocation;
  int32_t m_currentLocation = 0;
  int32_t m_sparedSound = -1;

  int32_t m_aspectLayout = -1;
  bool m_layoutChanged = false;
  bool m_diaryRaiseStarted = false;
  bool m_mapHoverStarted = false;
  float m_compassSwing = 0.0f;
  char m_noteKey[kNoteKeyCapacity + 1] = {};
  float m_noteTimer = 1.0f;
  float m_fade = 0.0f;
  std::array<Ombrel::SLayoutItem*, kSpecialCount> m_special{};

  std::unique_ptr<CButton2> m_skipButton;
  std::unique_ptr<CButton2> m_helpButton;
  bool m_skipShown = false;
  bool m_helpShown = false;
};

}  // namespace Vey
