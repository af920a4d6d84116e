#include "Src/Investigation/Vey_Cursor.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Scene/omTextureAnimation.h"
#include "Framework/omInput.h"
#include "Platform/InputDevices.h"
#include "Platform/PlatformCursor.h"
#include "Platform/PlatformWindow.h"
#include "Quor/CursorFile.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Map.h"
#include "Src/World/Vey_ObjectPicking.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_SceneTables.h"

#include <algorithm>
#include <vector>

namespace Vey {

namespace {

constexpr const char* kVeyCursorSource = "Src/Investigation/Vey_Cursor.cpp";
constexpr float kCursorPi = 3.14159265358979f;
constexpr float kSpriteSideAtDefaultHeight = 24.0f;
constexpr float kFadeInPerSecond = 4.0f;  // 0.25 s after the cursor is mended
constexpr float kPressedPictureProgress = 0.5f;
constexpr int32_t kBackExitFile = 4;  // "Exit5": the arrow pointing down

// In the order they are loaded; the exit cursors follow the directions 0 to 7.
constexpr const char* kCursorFiles[] = {
    "VFS//Cursors//Standard.cur", "VFS//Cursors//Object1.cur", "VFS//Cursors//Hidden.cur", "VFS//Cursors//Exit.cur",
    "VFS//Cursors//Exit2.cur",    "VFS//Cursors//Exit3.cur",   "VFS//Cursors//Exit4.cur",  "VFS//Cursors//Exit5.cur",
    "VFS//Cursors//Exit6.cur",    "VFS//Cursors//Exit7.cur",   "VFS//Cursors//Exit8.cur",  "VFS//Cursors//Object2.cur",
};

// The cursors of the files, made through the platform layer and freed with it.
class CPlatformSystemCursor : public ISystemCursor {
 public:
  ~CPlatformSystemCursor() override {
    PlatformSetCursor(nullptr);
    for (PlatformCursor* cursor : m_cursors) PlatformFreeCursor(cursor);
  }

  SystemCursorId Load(const std::string& path) override {
    SCursorImage image;
    std::string problem;
    if (!LoadCursorFile(path, image, problem)) {
      HM_REPORT(kVeyCursorSource, "The system arrow stands in: %s", problem.c_str());
      return kSystemArrowCursor;
    }
    char error[256] = {};
    PlatformCursor* cursor = PlatformCreateColorCursor(image.rgba.data(), int32_t(image.width), int32_t(image.height),
                                                       int32_t(image.hotX), int32_t(image.hotY), error, sizeof error);
    if (!cursor) {
      // A driver without cursors (the offscreen one) says so once, not for every file.
      if (!m_driverRefused)
        HM_REPORT(kVeyCursorSource, "The system arrow stands in for \"%s\": %s", path.c_str(), error);
      m_driverRefused = true;
      return kSystemArrowCursor;
    }
    m_cursors.push_back(cursor);
    return SystemCursorId(m_cursors.size());
  }

  void Show(SystemCursorId cursor) override {
    if (cursor == kNoSystemCursor) {
      PlatformShowCursor(false);
      return;
    }
    const bool known = cursor > 0 && size_t(cursor) <= m_cursors.size();
    PlatformSetCursor(known ? m_cursors[size_t(cursor) - 1] : nullptr);
    PlatformShowCursor(true);
  }

  bool GetPosition(int32_t& x, int32_t& y) override {
    return PlatformGetCursorPosition(PlatformGetMainWindow(), &x, &y);
  }
  void SetPosition(int32_t x, int32_t y) override { PlatformSetCursorPosition(PlatformGetMainWindow(), x, y); }

  // Without a save body (before one is loaded) the window's cursor is shown.
  bool IsSwitchOn() const override {
    const SSaveData* data = GetSaveData();
    return !data || data->systemCursor != 0;
  }

 private:
  std::vector<PlatformCursor*> m_cursors;
  bool m_driverRefused = false;
};

}  // namespace

std::unique_ptr<ISystemCursor> CreatePlatformSystemCursor() { return std::make_unique<CPlatformSystemCursor>(); }

CCursor::CCursor(const Materials& materials, Ombrel::CCursor& record, std::unique_ptr<ISystemCursor> system)
    : m_materials(materials), m_record(record), m_system(std::move(system)), m_material(materials[kStandard]) {
  for (int32_t file = 0; file < kFileCount; ++file) m_files[size_t(file)] = m_system->Load(kCursorFiles[file]);
  // Both cursors start as the standard one: the window's (none with the switch off) and the
  // sprite with its material, scale and anchor.
  TakeType(kStandard);
}

CCursor::~CCursor() = default;

void CCursor::Apply(SystemCursorId cursor) {
  m_current = cursor;
  if (!m_broken) ReapplySystemCursor();
}

void CCursor::ReapplySystemCursor() {
  if (m_broken) return;
  m_shown = m_system->IsSwitchOn();
  m_system->Show(m_shown ? m_current : kNoSystemCursor);
}

void CCursor::ShowCustom(TextureRecord* texture, SystemCursorId cursor) {
  if (m_type != kKeep) TakeType(kKeep);
  m_material = nullptr;  // so the frame update leaves the caller's picture alone
  float width = 0.0f, height = 0.0f;
  m_record.GetSize(&width, &height);
  m_record.SetHotSpot(0.5f * width, -0.5f * width);
  m_record.SetTexture(texture);
  m_record.Apply();
  if (cursor != m_current) Apply(cursor);
}

void CCursor::SetType(int32_t type) {
  if (type != m_type) TakeType(type);
}

void CCursor::TakeType(int32_t type) {
  Ombrel::CSprite2DNode* node = m_record.GetNode();
  m_type = type;
  if (type == kKeep) {
    if (node) node->SetScale({1.0f, 1.0f});
    return;
  }
  // The exit arrow shows no window cursor until its direction's is chosen.
  const int32_t kTypeFiles[kMaterialCount] = {kFileStandard, -1, kFileObject, kFileHidden};
  if (type >= 0 && type < kMaterialCount) {
    Apply(kTypeFiles[type] < 0 ? kNoSystemCursor : m_files[size_t(kTypeFiles[type])]);
    m_material = m_materials[size_t(type)];
  }
  const float scale = type == kStandard ? 0.9f : type == kExit ? 1.2f : 1.0f;
  if (node) node->SetScale({scale, scale});
  PlaceAnchor();
}

// The picture's corner sits on the pointer (the exit arrow's middle of its top edge).
void CCursor::PlaceAnchor() {
  float width = 0.0f, height = 0.0f;
  m_record.GetSize(&width, &height);
  m_record.SetHotSpot(m_type == kExit ? 0.0f : height / 2.0f, height / 2.0f);
}

void CCursor::SetRotation(float radians) { m_record.SetRotation(radians); }

void CCursor::SetExitDirection(int32_t direction) {
  const bool compass = direction >= 0 && direction < kHiddenObjectExit;
  SetRotation(compass ? -float(direction) * kCursorPi / 4.0f : 0.0f);
  if (compass && m_type == kExit) ApplyFile(kFileExit + direction);
}

void CCursor::PlayHoverAnimation() {
  if (m_type != kStandard || !m_hoverAnimation || !m_material) return;
  m_material->SetProgress(0.0f);
  m_material->Play();
}

// The object cursor's pressed picture sits half-way through its animation.
void CCursor::ShowObjectPicture(bool pressed) {
  if (m_type != kObject) return;
  if (m_material) m_material->SetProgress(pressed ? kPressedPictureProgress : 0.0f);
  ApplyFile(pressed ? kFileObjectPressed : kFileObject);
}

void CCursor::SetHover(bool on) {
  if (on) PlayHoverAnimation();
  ShowObjectPicture(on);
  m_hold = on;
}

void CCursor::SetBroken(bool on) {
  if (on == m_broken) return;
  if (on) {
    m_record.SetFlags(m_record.GetFlags() & ~kSpriteShownFlag);
    m_pointSaved = m_system->GetPosition(m_savedX, m_savedY);
    m_record.SetColour(128, 128, 128, 0);
    m_system->Show(kNoSystemCursor);
    m_shown = false;
    m_alpha = 0.0f;
    m_broken = true;
    return;
  }
  m_repositionPending = true;
  m_broken = false;
  ReapplySystemCursor();
}

void CCursor::ReadPressAndRelease(bool pressed, bool released) {
  if (pressed) {
    PlayHoverAnimation();
    ShowObjectPicture(true);
    m_hold = true;
  } else if (released) {
    ShowObjectPicture(false);
    m_hold = false;
  }
}

void CCursor::UpdateType(const CMap& world, const IHud& hud, const SCursorQuery& query) {
  UpdateType(world, hud, query.pressed, query.released, query.itemHeld, query.exitTarget, query.currentScene,
             query.closeUp, query.miniGame, query.pickedObject, query.objects, false, false, false, query.bonus);
}

void CCursor::UpdateType(const CMap& world, const IHud& hud, bool pressed, bool released, bool itemHeld,
                         int32_t exitTarget, int32_t currentScene, int32_t closeUp, int32_t miniGame,
                         const std::string& pickedObject, const SObjectList* objects, bool backExit, bool objectRequest,
                         bool hudOverride, bool bonus) {
  ReadPressAndRelease(pressed, released);
  if (m_hold) return;
  ChooseType(world, hud, itemHeld, exitTarget, currentScene, closeUp, miniGame, pickedObject, objects, backExit,
             objectRequest, hudOverride, bonus);
}

void CCursor::ChooseType(const CMap& world, const IHud& hud, bool itemHeld, int32_t exitTarget, int32_t currentScene,
                         int32_t closeUp, int32_t miniGame, const std::string& pickedObject, const SObjectList* objects,
                         bool backExit, bool objectRequest, bool hudOverride, bool bonus) {
  if (hud.IsMouseOverHud() && !hudOverride) {
    SetRotation(0.0f);
    SetType(kStandard);
    return;
  }
  if (backExit) {
    SetRotation(-kCursorPi);
    SetType(kExit);
    if (m_type == kExit) ApplyFile(kFileExit + kBackExitFile);
    return;
  }
  // 58 is no exit at all: only a real exit elsewhere changes the cursor.
  if (exitTarget != int32_t(kNoLocation) && exitTarget != currentScene) {
    const int32_t firstHiddenObjectScene = int32_t(bonus ? kBonusLocationCount : kLocationCount);
    SetType(exitTarget >= firstHiddenObjectScene ? kMagnifier : kExit);
    PointAlongExit(world, exitTarget, currentScene);
    return;
  }
  SetRotation(0.0f);
  if (miniGame != int32_t(kNoMiniGame)) {
    SetType(kMagnifier);
  } else if (objectRequest) {
    SetType(kObject);
  } else if (objects && (IsObjectInteractive(pickedObject, *objects) || CanObjectBeTaken(pickedObject, *objects))) {
    // Something to take shows the hand as much as something to use.
    SetType(HasClickNote(pickedObject, *objects) && !itemHeld ? kMagnifier : kObject);
  } else {
    SetType(closeUp != int32_t(kNoCloseUp) ? kMagnifier : kStandard);
  }
}

// The first exit of the current scene that leads to the target gives the direction; without
// one the direction stays as it was.
void CCursor::PointAlongExit(const CMap& world, int32_t exitTarget, int32_t currentScene) {
  if (currentScene < 0 || uint32_t(currentScene) >= world.SceneCount()) return;
  for (const SExit& exit : world.Scene(uint32_t(currentScene)).exits) {
    if (exit.target == uint32_t(exitTarget)) {
      SetExitDirection(int32_t(exit.direction));
      return;
    }
  }
}

void CCursor::Update(float dt) {
  if (m_restorePending) {
    ShowObjectPicture(false);
    m_hold = false;
    m_restorePending = false;
  }
  if (m_broken) return;
  if (m_repositionPending) {
    m_record.SetFlags(m_record.GetFlags() | kSpriteShownFlag);
    if (m_pointSaved) m_system->SetPosition(m_savedX, m_savedY);
    m_repositionPending = false;
  }
  m_alpha = std::clamp(m_alpha + kFadeInPerSecond * dt, 0.0f, 1.0f);
  const uint8_t* colour = m_record.GetColour();
  m_record.SetColour(colour[0], colour[1], colour[2], uint8_t(m_alpha * 128.0f));
  if (m_material) m_material->Update(dt);
  ShowCurrentFrame();
}

// The sprite shows the current frame of its material: one picture a frame, drawn whole.
void CCursor::ShowCurrentFrame() {
  if (!m_material || m_material->GetFrameCount() <= 0) return;
  m_record.SetTexture(m_material->GetFrame(m_material->GetFrameIndex()).texture);
  m_record.Apply();
}

float CCursor::SpriteSide(int32_t clientHeight) {
  const float height = clientHeight > 0 ? float(clientHeight) : kDefaultScreenHeightF;
  return kSpriteSideAtDefaultHeight * kDefaultScreenHeightF / height;
}

void CCursor::SetSpriteSize(int32_t clientHeight) {
  const float side = SpriteSide(clientHeight);
  m_record.SetSize(side, side);
  if (m_type != kKeep) PlaceAnchor();
}

}  // namespace Vey
