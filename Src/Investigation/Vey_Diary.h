#pragma once
// The diary: the book in which the story's written pages collect as the player finds them. The
// catalogue (CDiaryEntryList) holds every page the game has, in the order the saves number
// them; the diary screen (CDiary) shows the pages the player owns, one at a time, with a
// cross-fade on turning, left and right arrows and a close button. Each page is a 2-D layout
// named by its key ("S01_1_Entry"); the book's frame is the layout "Diary".

#include "Framework/Scene/omSceneNode.h"
#include "Quor/CMemWatch.h"
#include "Src/Investigation/Vey_Player.h"
#include "Src/World/Vey_Screen.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Ombrel {
class CLayout2D;
class CSprite2DNode;
class CXmlDictionary;
struct SLayoutBox;
struct SLayoutItem;
}  // namespace Ombrel

namespace Vey {

class CCursor;
class CMap;
class CSoundContainer;
struct SSaveData;
struct SProfileData;

class CDiaryEntryList : public CMemWatch {
 public:
  // The page layouts are resources; the list only points at them, and a page's layout is its
  // identity.
  void AddEntry(Ombrel::CLayout2D* page, const std::string& key);
  // The page of the first entry with exactly this key; null when none.
  Ombrel::CLayout2D* IdOfName(const std::string& key) const;
  // The place of the first entry with this page; -1 when none.
  int32_t IndexOfId(const Ombrel::CLayout2D* page) const;
  // The page at a place; null past the end.
  Ombrel::CLayout2D* FindEntry(int32_t index) const;
  int32_t GetCount() const { return int32_t(m_entries.size()); }

 private:
  struct SEntry {
    Ombrel::CLayout2D* page;
    std::string key;
  };
  std::vector<SEntry> m_entries;
};

// The main story's pages in the order the saves number them.
const std::vector<std::string>& DiaryPageKeys();

class CDiary : public Ombrel::ISceneNode, public IDiaryScreen {
 public:
  enum EState : int32_t { kClosed = 0, kOpening = 1, kClosing = 2, kTurning = 3, kOpen = 4 };
  enum EControl : int { kLeftArrow, kRightArrow, kClose, kControlCount };

  // None of the pointers is owned, and any may be null: what would use it is left out. The
  // display gets the new-entry signal; the world and the display let the cursor set show its
  // plain cursor; the save body's current profile keeps the list of owned pages.
  CDiary(const char* name, Ombrel::CLayout2D* frame, CPlayer* player, const CMap* world, CCursor* cursor,
         const CDiaryEntryList* catalogue, Ombrel::CXmlDictionary* dictionary, CSoundContainer* sounds,
         SSaveData* saveData);
  ~CDiary() override;

  // The profile's pages; the newest shows first.
  void LoadEntries();
  // A found page; unless silent the display's book glows until the diary is next opened. The
  // new page is the one the next opening shows.
  void AddEntry(const std::string& key, bool silent);

  // ---- IDiaryScreen ----
  // The display plays the opening sound and ends the glow as it opens the diary; this starts
  // the fade.
  void Open() override;
  void ReadInput(const Vector2& mouse, bool pressed, bool released) override;
  void Update(float dt) override;
  int32_t GetState() const override { return m_state; }
  void AddEntry(const std::string& key) override { AddEntry(key, false); }

  // ---- scene node ----
  void Reset() override {}
  void Render() override;

  bool IsMouseOver(EControl control) const;
  void SetPressed(EControl control, bool pressed);

  int32_t GetCurrentPage() const { return m_currentPage; }
  int32_t GetPreviousPage() const { return m_previousPage; }
  const std::vector<Ombrel::CLayout2D*>& GetPages() const { return m_pages; }
  float GetHover(EControl control) const { return m_hover[control]; }
  float GetFadeTime() const { return m_fadeTime; }

 private:
  SProfileData* Profile() const;
  void UpdateCursor();
  void UpdateHovers(float dt);
  void AdvanceFade(float dt);
  void HandlePress();
  void TurnTo(int32_t page);
  float FadeAlpha() const;
  float ControlScale(const std::string& name) const;
  void DrawPage(int32_t page, float alpha);

  Ombrel::CLayout2D* m_frame;
  CPlayer* m_player;
  const CMap* m_world;
  CCursor* m_cursor;
  const CDiaryEntryList* m_catalogue;
  Ombrel::CXmlDictionary* m_dictionary;
  CSoundContainer* m_sounds;
  SSaveData* m_saveData;
  std::unique_ptr<Ombrel::CSprite2DNode> m_sprite;  // draws every picture of the frame and the pages

  Vector2 m_mouse = kScreenCentre;
  bool m_pressed = false;
  bool m_released = false;
  int32_t m_state = kClosed;
  float m_fadeTime = 0.0f;
  float m_hover[kControlCount] = {};
  int32_t m_currentPage = -1;
  int32_t m_previousPage = -1;
  std::vector<Ombrel::CLayout2D*> m_pages;
};

}  // namespace Vey
