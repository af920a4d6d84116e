#pragma once
// The game's mouse cursor during play, shown twice over: as the sprite the game draws (the first
// player's pointer record) and as the window system's cursor, made from the cursor files. The
// player's system-cursor switch decides which one is seen. The screens choose the cursor's type
// every frame from what lies under the mouse; the hidden-object scene can break it for a while.

#include "Quor/CMemWatch.h"
#include "Src/Location/Vey_SceneScreens.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

struct TextureRecord;

namespace Ombrel {
class CCursor;
class CTextureAnimation;
}  // namespace Ombrel

namespace Vey {

// A window-system cursor as the cursor set knows it.
using SystemCursorId = int32_t;
constexpr SystemCursorId kNoSystemCursor = 0;      // the window shows no cursor
constexpr SystemCursorId kSystemArrowCursor = -1;  // the system's own arrow

// What the cursor set asks of the window system and of the player's settings. The game's goes
// through the platform layer (CreatePlatformSystemCursor); tests put a fake in its place.
class ISystemCursor {
 public:
  virtual ~ISystemCursor() = default;
  // The cursor of a file relative to the working directory; the system arrow (reported, naming
  // the file and what is wrong) when it cannot be read or made.
  virtual SystemCursorId Load(const std::string& path) = 0;
  // Shows the cursor over the game's window, or none.
  virtual void Show(SystemCursorId cursor) = 0;
  // The pointer's position in window pixels; false when it is not over the window.
  virtual bool GetPosition(int32_t& x, int32_t& y) = 0;
  virtual void SetPosition(int32_t x, int32_t y) = 0;
  // The player's system-cursor switch.
  virtual bool IsSwitchOn() const = 0;
};

std::unique_ptr<ISystemCursor> CreatePlatformSystemCursor();

class CCursor : public CMemWatch, public ICursorSet {
 public:
  enum EType : int32_t { kStandard = 0, kExit = 1, kObject = 2, kMagnifier = 3, kKeep = 5 };
  static constexpr int32_t kMaterialCount = 4;
  // The pointer record's flag that draws the sprite.
  static constexpr uint32_t kSpriteShownFlag = 0x4;
  static constexpr int32_t kHiddenObjectExit = 8;

  using Materials = std::array<Ombrel::CTextureAnimation*, kMaterialCount>;

  // One sprite material (texture animation, not owned, may be null) per type 0 to 3, and the
  // first player's pointer record. Loads the twelve cursor files and starts as the standard
  // cursor.
  CCursor(const Materials& materials, Ombrel::CCursor& record,
          std::unique_ptr<ISystemCursor> system = CreatePlatformSystemCursor());
  ~CCursor() override;
  CCursor(const CCursor&) = delete;
  CCursor& operator=(const CCursor&) = delete;

  void SetType(int32_t type);
  // Turns the sprite by -45 degrees a step (0 to 7: N, NE, .. NW) and, while the type is the
  // exit arrow, shows the direction's cursor; 8 (into a hidden-object scene) only straightens it.
  void SetExitDirection(int32_t direction);
  void SetHover(bool on) override;
  // Breaking hides both cursors and keeps where the pointer was; mending brings the window
  // cursor back there and fades the sprite in.
  void SetBroken(bool on);
  // Asks the next Update to show the object cursor's normal picture and drop the hold.
  void RequestRestore() { m_restorePending = true; }
  // Shows the current window cursor again (with the switch), unless broken.
  void ReapplySystemCursor();
  // A window cursor of the caller's own, loaded as the set loads its files.
  SystemCursorId LoadSystemCursor(const std::string& path) { return m_system->Load(path); }
  // A picture of the caller's (a puzzle's brush) instead of a type's: the kept type with the
  // texture on the sprite, its lower left corner on the pointer, and the window cursor given.
  // It stays until another type is taken.
  void ShowCustom(TextureRecord* texture, SystemCursorId cursor);

  // The location view's choice.
  void UpdateType(const CMap& world, const IHud& hud, const SCursorQuery& query) override;
  // The full choice, as close-ups and hidden-object scenes make it.
  void UpdateType(const CMap& world, const IHud& hud, bool pressed, bool released, bool itemHeld, int32_t exitTarget,
                  int32_t currentScene, int32_t closeUp, int32_t miniGame, const std::string& pickedObject,
                  const SObjectList* objects, bool backExit, bool objectRequest, bool hudOverride, bool bonus);
  void Update(float dt) override;

  // The sprite's side for a window of this client height (the sprite keeps its size on the
  // screen whatever the window's); a height of 0 or less (a minimised window) counts as 768.
  static float SpriteSide(int32_t clientHeight);
  // Gives the pointer record that size, and the sprite its anchor for it.
  void SetSpriteSize(int32_t clientHeight);

  int32_t GetType() const { return m_type; }
  bool IsBroken() const { return m_broken; }
  bool IsHeld() const { return m_hold; }
  float GetAlpha() const { return m_alpha; }
  void SetAlpha(float alpha) { m_alpha = alpha; }
  SystemCursorId GetCurrentSystemCursor() const { return m_current; }
  bool IsSystemCursorShown() const { return m_shown; }

 private:
  enum ECursorFile : int32_t {
    kFileStandard,
    kFileObject,
    kFileHidden,
    kFileExit,  // then one a direction up to Exit8
    kFileObjectPressed = kFileExit + 8,
    kFileCount
  };

  // The type switch without the test for the current type.
  void TakeType(int32_t type);
  void PlaceAnchor();
  void Apply(SystemCursorId cursor);
  void ApplyFile(int32_t file) { Apply(m_files[size_t(file)]); }
  void PlayHoverAnimation();
  void ShowObjectPicture(bool pressed);
  void ReadPressAndRelease(bool pressed, bool released);
  void ChooseType(const CMap& world, const IHud& hud, bool itemHeld, int32_t exitTarget, int32_t currentScene,
                  int32_t closeUp, int32_t miniGame, const std::string& pickedObject, const SObjectList* objects,
                  bool backExit, bool objectRequest, bool hudOverride, bool bonus);
  void PointAlongExit(const CMap& world, int32_t exitTarget, int32_t currentScene);
  void ShowCurrentFrame();
  void SetRotation(float radians);

  Materials m_materials;
  Ombrel::CCursor& m_record;
  std::unique_ptr<ISystemCursor> m_system;
  std::array<SystemCursorId, kFileCount> m_files{};
  Ombrel::CTextureAnimation* m_material = nullptr;
  int32_t m_type = kStandard;
  int32_t m_savedX = 0;
  int32_t m_savedY = 0;
  bool m_pointSaved = false;
  bool m_hold = false;
  bool m_broken = false;
  bool m_repositionPending = false;
  bool m_hoverAnimation = true;
  bool m_restorePending = false;
  float m_alpha = 0.0f;
  SystemCursorId m_current = kNoSystemCursor;
  bool m_shown = false;
};

}  // namespace Vey
