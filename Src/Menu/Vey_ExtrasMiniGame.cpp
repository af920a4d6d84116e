#include "Src/Menu/Vey_ExtrasMiniGame.h"

#include "Framework/Scene/omSceneNode.h"
#include "Framework/omDataSaver.h"
#include "Framework/omLayout2D.h"
#include "Framework/omSaveModule.h"
#include "Quor/CTextureManager.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_EmitterGroup.h"
#include "Src/Location/Vey_FrozenPicture.h"
#include "Src/World/Vey_MPAtlas.h"
#include "Src/World/Vey_SaveData.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "Src/Menu/Vey_Menu.h"
#include "Src/MiniGames/Vey_PuzzleDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace Vey {

namespace {

constexpr const char* kVeyExtrasMiniGameSource = "Src/Menu/Vey_ExtrasMiniGame";
constexpr float kExtrasFadeSpeed = 4.0f;
constexpr float kSettleSpeed = 2.0f;  // a dropped piece comes to rest in half a second
constexpr float kExtrasShadowOffset = 5.0f;
constexpr uint8_t kShadowAlpha = 64;
// Loose pieces may lie anywhere on a screen as wide as the widest display shape.
constexpr float kMaxLooseX = 4.0f;
constexpr float kMaxLooseY = 1.0f;
constexpr const char* kCompletionEffect = "PuzzleComplete";

const struct {
  const char* text;
  const char* outline;
  const char* active;
} kPauseButtons[3] = {
    {"root/text_continue", "root/Frame/Outline2", "root/Frame/Outline active2"},
    {"root/text_restart", "root/Frame/Outline1", "root/Frame/Outline active1"},
    {"root/text_exit", "root/Frame/Outline0", "root/Frame/Outline active0"},
};

void PlaySound(CSoundContainer* sounds, const char* name) {
  if (sounds) sounds->PlaySoundByName(name, 1.0f);
}

std::unique_ptr<CButton2> MakeTextButton(Ombrel::CLayout2D* layout, const char* text, const char* outline,
                                         const char* active) {
  if (!layout) return nullptr;
  return std::make_unique<CButton2>(true, FindLayoutText(*layout, text), FindLayoutBox(*layout, outline),
                                    FindLayoutBox(*layout, active));
}

const Ombrel::SLayoutBox* FindOutline(Ombrel::CLayout2D* layout, const char* name) {
  return layout ? FindLayoutBox(*layout, name) : nullptr;
}

uint8_t AlphaByte(float fade) { return uint8_t(std::clamp(fade, 0.0f, 1.0f) * 128.0f); }

std::string NodeName(const char* folder, int32_t id) {
  char name[48];
  std::snprintf(name, sizeof(name), "root/%s/%d", folder, id);
  return name;
}

bool IsOnScreen(const float position[2]) {
  return std::isfinite(position[0]) && std::isfinite(position[1]) && std::fabs(position[0]) <= kMaxLooseX &&
         std::fabs(position[1]) <= kMaxLooseY;
}

// The tables of one drawing position, moved together.
void MoveBoardEntry(SMiniGameBoard& board, int from, int to) {
  const uint32_t id = board.pieceIds[from];
  const uint8_t placed = board.placed[from];
  const float current[2] = {board.currentPositions[from][0], board.currentPositions[from][1]};
  const float start[2] = {board.startPositions[from][0], board.startPositions[from][1]};
  for (int i = from; i < to; ++i) {
    board.pieceIds[i] = board.pieceIds[i + 1];
    board.placed[i] = board.placed[i + 1];
    std::copy(board.currentPositions[i + 1], board.currentPositions[i + 1] + 2, board.currentPositions[i]);
    std::copy(board.startPositions[i + 1], board.startPositions[i + 1] + 2, board.startPositions[i]);
  }
  board.pieceIds[to] = id;
  board.placed[to] = placed;
  std::copy(current, current + 2, board.currentPositions[to]);
  std::copy(start, start + 2, board.startPositions[to]);
}

MP::CEmitter* FindGroupEmitter(const CEmitterGroup* group, const char* name) {
  auto* node = group ? group->GetEmitters().Find(name) : nullptr;
  return node ? node->value : nullptr;
}

void SaveNow() {
  Ombrel::CDataSaver* saver = Ombrel::GetActiveDataSaver();
  if (saver && !saver->SaveGame()) HM_REPORT(kVeyExtrasMiniGameSource, "The restarted jigsaw could not be saved");
}

}  // namespace

bool IsJigsawBoardSound(const SMiniGameBoard& board, std::string* problem) {
  auto fail = [problem](const std::string& what) {
    if (problem) *problem = what;
    return false;
  };
  if (board.initialised > 1) return fail("its first byte is " + std::to_string(board.initialised));
  if (!board.initialised) return true;
  bool seen[kJigsawPieceCount + 1] = {};
  for (int i = 0; i < kJigsawPieceCount; ++i) {
    const uint32_t id = board.pieceIds[i];
    const std::string at = " at position " + std::to_string(i);
    if (id < 1 || id > uint32_t(kJigsawPieceCount)) return fail("piece id " + std::to_string(id) + at);
    if (seen[id]) return fail("piece " + std::to_string(id) + " twice" + at);
    seen[id] = true;
    if (board.placed[i] > 1) return fail("placed flag " + std::to_string(board.placed[i]) + at);
    if (!IsOnScreen(board.currentPositions[i]) || !IsOnScreen(board.startPositions[i]))
      return fail("a position off the screen" + at);
  }
  return true;
}

// ---- the pause

CExtrasGamePause::CExtrasGamePause(Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary,
                                   CSoundContainer* sounds)
    : m_layout(layout), m_drawing("ExtrasGamePauseRenderer", dictionary), m_sounds(sounds) {
  for (int i = 0; i < 3; ++i) {
    m_buttons[i] = MakeTextButton(layout, kPauseButtons[i].text, kPauseButtons[i].outline, kPauseButtons[i].active);
    m_outlines[i] = FindOutline(layout, kPauseButtons[i].outline);
  }
}

CExtrasGamePause::~CExtrasGamePause() = default;

void CExtrasGamePause::Open() {
  state = kOpening;
  fadeTime = 0.0f;
  for (auto& button : m_buttons) {
    if (button) button->Reset();
  }
}

void CExtrasGamePause::ReadInput() {
  input.Sample();
  escape.Sample(CMenu::kEscapeControl);
}

void CExtrasGamePause::Choose(EChoice chosen, const char* sound) {
  PlaySound(m_sounds, sound);
  if (m_buttons[chosen]) m_buttons[chosen]->selected = true;
  state = kClosing;
  choice = chosen;
}

// Escape is taken as continue, and so is a click on continue before the others are looked at.
void CExtrasGamePause::Update(float dt) {
  if (state == kOpen) {
    bool hovered[3] = {};
    for (int i = 0; i < 3; ++i) {
      if (m_buttons[i]) hovered[i] = HoverTextButton(*m_buttons[i], m_outlines[i], input, m_sounds);
    }
    if ((input.pressed && hovered[kContinue]) || escape.pressed) {
      Choose(kContinue, "menu_nav");
    } else if (input.pressed && hovered[kRestart]) {
      Choose(kRestart, "menu_nav");
    } else if (input.pressed && hovered[kExit]) {
      Choose(kExit, "menu_back");
    }
  } else {
    AdvanceBoxFade(state, fadeTime, dt);
  }
  for (auto& button : m_buttons) {
    if (!button) continue;
    if (input.released) button->selected = false;
    button->Update(dt);
  }
}

void CExtrasGamePause::Render() {
  const float alpha = GetAlpha();
  if (state == kClosed || alpha <= 0.0f || !m_layout) return;
  AlphaBlendOn();
  BlendNormal();
  m_drawing.DrawLayout(*m_layout, alpha);
}

// ---- the jigsaw

CExtrasMiniGame::CExtrasMiniGame(const SExtrasMiniGameArgs& args)
    : m_args(args),
      m_drawing("ExtraMiniGameRenderer", args.dictionary),
      m_pause(args.pauseLayout, args.dictionary, args.sounds) {
  for (int i = 0; i < kJigsawPieceCount; ++i) m_pieces[i].id = i + 1;
  if (m_args.effects && !m_args.effectsNode) {
    m_ownEffectsNode = std::make_unique<CEmitterGroupNode>("MiniGameEffects", m_args.effects);
    m_args.effectsNode = m_ownEffectsNode.get();
  }
}

CExtrasMiniGame::~CExtrasMiniGame() { DeleteButtons(); }

Ombrel::CLayout2D* CExtrasMiniGame::Layout() const {
  return pictureIndex >= 0 && pictureIndex < kJigsawPictureCount ? m_args.pictures[pictureIndex] : nullptr;
}

SMiniGameBoard* CExtrasMiniGame::Board() const {
  SSaveData* save = GetSaveData();
  SProfileData* profile = save ? save->CurrentProfile() : nullptr;
  if (!profile || pictureIndex < 0 || pictureIndex >= kJigsawPictureCount) return nullptr;
  return &profile->miniGames.boards[pictureIndex];
}

void CExtrasMiniGame::FindNodes() {
  Ombrel::CLayout2D* layout = Layout();
  m_firstDetail = m_lastDetail = -1;
  for (int32_t id = 1; id <= kJigsawPieceCount; ++id) {
    m_details[id] = layout ? FindLayoutBox(*layout, NodeName("Details", id).c_str()) : nullptr;
    m_targets[id] = layout ? FindLayoutBox(*layout, NodeName("Dummies", id).c_str()) : nullptr;
  }
  if (m_details[1]) m_firstDetail = m_details[1]->index;
  if (m_details[kJigsawPieceCount]) m_lastDetail = m_details[kJigsawPieceCount]->index;
}

// A picture started for the first time, or one whose block is damaged, starts from the
// layout's own places; a damaged block touches no other picture.
void CExtrasMiniGame::Start(int32_t picture) {
  pictureIndex = std::clamp(picture, 0, kJigsawPictureCount - 1);
  state = kOpening;
  heldIndex = -1;
  if (m_args.effects) m_args.effects->StopAll();
  FindNodes();
  SMiniGameBoard* board = Board();
  std::string problem;
  if (board && !IsJigsawBoardSound(*board, &problem)) {
    HM_REPORT(kVeyExtrasMiniGameSource, "The saved jigsaw of picture %d is damaged (%s); it starts afresh",
              pictureIndex + 1, problem.c_str());
    board->initialised = 0;
  }
  if (board && !board->initialised) {
    board->initialised = 1;
    for (int i = 0; i < kJigsawPieceCount; ++i) {
      const Ombrel::SLayoutBox* node = m_details[i + 1];
      const Vector2 place = node ? node->position : Vector2{0.0f, 0.0f};
      board->pieceIds[i] = uint32_t(i + 1);
      board->placed[i] = 0;
      board->currentPositions[i][0] = board->startPositions[i][0] = place.x;
      board->currentPositions[i][1] = board->startPositions[i][1] = place.y;
    }
  }
  if (board) RestoreFromBoard(*board);
  CreateButtons();
  completed = AllPlacedAndAtRest();
}

void CExtrasMiniGame::RestoreFromBoard(const SMiniGameBoard& board) {
  const float aspect = GetAspect();
  for (int i = 0; i < kJigsawPieceCount; ++i) {
    SPiece& piece = m_pieces[i];
    piece.id = int32_t(board.pieceIds[i]);
    piece.from = ToVirtualScreen({board.startPositions[i][0], board.startPositions[i][1]});
    piece.settle = 1.0f;
    piece.placed = board.placed[i] != 0;
    Ombrel::SLayoutBox* node = m_details[piece.id];
    if (!node) continue;
    if (!piece.placed) node->position = {board.currentPositions[i][0], board.currentPositions[i][1]};
    // A piece left beyond a narrower screen's edge is brought back onto it.
    node->position.x = std::clamp(node->position.x, -aspect, aspect);
  }
}

void CExtrasMiniGame::CreateButtons() {
  DeleteButtons();
  Ombrel::CLayout2D* layout = Layout();
  m_menuButton = MakeTextButton(layout, "root/text_menu", "root/ExitButton", "root/ExitButtonActive");
  m_okButton = MakeTextButton(layout, "root/text_ok", "root/OkButton", "root/OkButtonActive");
  m_menuOutline = FindOutline(layout, "root/ExitButton");
  m_okOutline = FindOutline(layout, "root/OkButton");
  if (m_okButton) m_okButton->SetVisible(false);
  m_okShown = false;
}

void CExtrasMiniGame::DeleteButtons() {
  if (m_menuButton) m_menuButton->Reset();
  if (m_okButton) m_okButton->Reset();
  m_menuButton.reset();
  m_okButton.reset();
}

void CExtrasMiniGame::ReadInput() {
  if (state == kPaused) {
    m_pause.ReadInput();
    return;
  }
  input.Sample();
  escape.Sample(CMenu::kEscapeControl);
  rightButton.Sample(CMenu::kRightClickControl);
}

void CExtrasMiniGame::Update(float dt) {
  switch (state) {
    case kOpening:
    case kClosing: {
      const bool opening = state == kOpening;
      if (m_args.effects) m_args.effects->SetAlpha(opening ? fadeTime : 1.0f - fadeTime);
      fadeTime += kExtrasFadeSpeed * dt;
      if (fadeTime < 1.0f) break;
      fadeTime = 0.0f;
      if (m_args.effects) m_args.effects->SetAlpha(opening ? 1.0f : 0.0f);
      if (opening) {
        state = kPlaying;
      } else {
        DeleteButtons();
        state = kClosed;
      }
      break;
    }
    case kPlaying:
      UpdatePlaying(dt);
      break;
    case kPaused:
      UpdatePaused(dt);
      break;
    default:
      break;
  }
}

bool CExtrasMiniGame::WantsPause() const {
  const bool overMenu = m_menuButton && m_menuButton->hovered;
  return (input.pressed && overMenu) || escape.pressed || rightButton.pressed;
}

void CExtrasMiniGame::UpdatePlaying(float dt) {
  if (m_args.effects) m_args.effects->Update(dt);
  if (m_menuButton) HoverTextButton(*m_menuButton, m_menuOutline, input, m_args.sounds);
  if (m_okButton) HoverTextButton(*m_okButton, m_okOutline, input, m_args.sounds, m_okShown);
  SettlePieces(dt);
  if (WantsPause()) {
    OpenPause(dt);
    return;
  }
  if (input.pressed) {
    if (m_okButton && m_okButton->hovered) {
      PlaySound(m_args.sounds, "menu_nav");
      m_okButton->selected = true;
      Close();
      return;
    }
    if (heldIndex >= 0) {
      Drop();
      return;
    }
    Pick();
  }
  for (CButton2* button : {m_menuButton.get(), m_okButton.get()}) {
    if (!button) continue;
    if (input.released) button->selected = false;
    button->Update(dt);
  }
  CheckCompletion();
}

void CExtrasMiniGame::SettlePieces(float dt) {
  for (SPiece& piece : m_pieces) {
    if (piece.settle >= 1.0f) continue;
    piece.settle = std::clamp(piece.settle + kSettleSpeed * dt, 0.0f, 1.0f);
    if (!piece.placed || piece.settle < 1.0f) continue;
    StartBurst(piece.id);
  }
}

void CExtrasMiniGame::OpenPause(float dt) {
  PlaySound(m_args.sounds, "menu_nav");
  if (m_menuButton) m_menuButton->selected = true;
  state = kPaused;
  captureRequested = true;
  m_pause.Open();
  if (m_menuButton) m_menuButton->Update(dt);
}

void CExtrasMiniGame::UpdatePaused(float dt) {
  m_pause.Update(dt);
  if (m_pause.state != IMenuBox::kClosed) return;
  if (m_menuButton) m_menuButton->selected = false;
  switch (m_pause.choice) {
    case CExtrasGamePause::kRestart:
      state = kPlaying;
      Restart();
      break;
    case CExtrasGamePause::kExit:
      Close();
      break;
    default:
      state = kPlaying;
      break;
  }
}

void CExtrasMiniGame::Close() {
  state = kClosing;
  fadeTime = 0.0f;
  if (m_args.effectsNode) m_args.effectsNode->SetDrawn(true);
}

// The held piece goes on top of the drawing order; it locks in when dropped near its place,
// else it stays where it was dropped.
void CExtrasMiniGame::Drop() {
  BringToFront();
  SPiece& piece = m_pieces[heldIndex];
  piece.settle = 0.0f;
  piece.from = input.pointer;
  const Vector2 target = GetTarget(piece.id);
  SMiniGameBoard* board = Board();
  if (std::fabs(input.pointer.x - target.x) <= kJigsawSnapReach &&
      std::fabs(input.pointer.y - target.y) <= kJigsawSnapReach) {
    piece.placed = true;
    if (board) board->placed[heldIndex] = 1;
    PlaySound(m_args.sounds, "key_good");
  } else {
    const Vector2 place = FromVirtualScreen(input.pointer);
    if (Ombrel::SLayoutBox* node = m_details[piece.id]) node->position = place;
    if (board) {
      board->currentPositions[heldIndex][0] = place.x;
      board->currentPositions[heldIndex][1] = place.y;
    }
    PlaySound(m_args.sounds, "key_back");
  }
  heldIndex = -1;
}

// The topmost loose piece under the pointer; placed ones are looked through.
void CExtrasMiniGame::Pick() {
  for (int i = kJigsawPieceCount - 1; i >= 0; --i) {
    const SPiece& piece = m_pieces[i];
    if (piece.placed || !IsOverWidget(input.pointer, m_details[piece.id], false)) continue;
    heldIndex = i;
    PlaySound(m_args.sounds, "key_take");
    return;
  }
}

void CExtrasMiniGame::BringToFront() {
  const int last = kJigsawPieceCount - 1;
  if (heldIndex < 0 || heldIndex > last) return;
  std::rotate(m_pieces.begin() + heldIndex, m_pieces.begin() + heldIndex + 1, m_pieces.end());
  if (SMiniGameBoard* board = Board()) MoveBoardEntry(*board, heldIndex, last);
  heldIndex = last;
}

bool CExtrasMiniGame::AllPlacedAndAtRest() const {
  return std::all_of(m_pieces.begin(), m_pieces.end(),
                     [](const SPiece& piece) { return piece.placed && piece.settle >= 1.0f; });
}

// The completion effect plays once; when it has run out the OK button shows.
void CExtrasMiniGame::CheckCompletion() {
  if (!AllPlacedAndAtRest() || IsEmitterRunning(kCompletionEffect)) return;
  if (!completed) {
    StartEmitter(kCompletionEffect);
    PlaySound(m_args.sounds, "puzzlesolved");
    completed = true;
    return;
  }
  if (!m_okShown && m_okButton) m_okButton->SetVisible(true);
  m_okShown = true;
  if (m_args.effectsNode) m_args.effectsNode->SetDrawn(true);
}

void CExtrasMiniGame::Restart() {
  SMiniGameBoard* board = Board();
  for (int i = 0; i < kJigsawPieceCount; ++i) {
    SPiece& piece = m_pieces[i];
    piece.placed = false;
    piece.settle = 1.0f;
    if (!board) continue;
    board->placed[i] = 0;
    board->currentPositions[i][0] = board->startPositions[i][0];
    board->currentPositions[i][1] = board->startPositions[i][1];
    if (Ombrel::SLayoutBox* node = m_details[piece.id])
      node->position = {board->startPositions[i][0], board->startPositions[i][1]};
  }
  completed = false;
  if (m_okButton) m_okButton->SetVisible(false);
  m_okShown = false;
  SaveNow();
}

// The piece's sparks on its place in the picture.
void CExtrasMiniGame::StartBurst(int32_t id) {
  char name[16];
  std::snprintf(name, sizeof(name), "Part%d", id);
  MP::CEmitter* emitter = FindGroupEmitter(m_args.effects, name);
  const Ombrel::SLayoutBox* target = m_targets[id];
  if (!emitter || !target) return;
  emitter->SetPosition({target->position.x * MP::kParticleUnits, -target->position.y * MP::kParticleUnits});
  emitter->Start();
}

void CExtrasMiniGame::StartEmitter(const char* name) {
  if (MP::CEmitter* emitter = FindGroupEmitter(m_args.effects, name)) emitter->Start();
}

bool CExtrasMiniGame::IsEmitterRunning(const char* name) const {
  const MP::CEmitter* emitter = FindGroupEmitter(m_args.effects, name);
  return emitter && emitter->GetState() != MP::CEmitter::kStopped;
}

Vector2 CExtrasMiniGame::GetTarget(int32_t id) const {
  const Ombrel::SLayoutBox* node = id >= 1 && id <= kJigsawPieceCount ? m_targets[id] : nullptr;
  return node ? ToVirtualScreen(node->position) : kScreenCentre;
}

Vector2 CExtrasMiniGame::GetLoosePlace(int32_t id) const {
  const Ombrel::SLayoutBox* node = id >= 1 && id <= kJigsawPieceCount ? m_details[id] : nullptr;
  return node ? ToVirtualScreen(node->position) : kScreenCentre;
}

// ---- drawing

float CExtrasMiniGame::FadeFactor() const {
  if (captureRequested) return 1.0f;
  switch (state) {
    case kOpening:
      return fadeTime;
    case kClosing:
      return 1.0f - fadeTime;
    case kPaused:
      return 0.0f;
    default:
      return 1.0f;
  }
}

bool CExtrasMiniGame::CoversScreen() const {
  if (state == kClosed) return false;
  const float alpha = FadeFactor();
  return alpha >= 1.0f || (alpha <= 0.0f && m_args.capturePicture);
}

void CExtrasMiniGame::Render() {
  if (state == kClosed) return;
  const float alpha = FadeFactor();
  if (alpha <= 0.0f) {
    if (m_args.capturePicture) m_args.capturePicture->DrawFrozen(m_pause.GetAlpha());
    m_pause.Render();
    return;
  }
  AlphaBlendOn();
  BlendNormal();
  DrawPictureLayout(alpha);
  DrawPieces(alpha);
  if (m_args.effectsNode) m_args.effectsNode->Render();
  if (captureRequested) {
    captureRequested = false;
    static const float kWholeFrame[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    if (m_args.captureTexture) CopyBackBufferToTexture(m_args.captureTexture, kWholeFrame, kWholeFrame);
  }
}

void CExtrasMiniGame::DrawPictureLayout(float alpha) {
  const Ombrel::CLayout2D* layout = Layout();
  if (!layout) return;
  for (uint32_t i = 0; i < layout->GetCount(); ++i) {
    const Ombrel::SLayoutItem* item = layout->GetItem(i);
    if (!item || !item->visible) continue;
    if (int32_t(i) >= m_firstDetail && int32_t(i) <= m_lastDetail) continue;
    if (item->kind == Ombrel::kLayoutText) {
      m_drawing.PrintText(static_cast<const Ombrel::SLayoutText&>(*item), alpha, 0.0f);
    } else if (item->kind == Ombrel::kLayoutSprite || item->kind == Ombrel::kLayoutAnimatedSprite) {
      m_drawing.DrawPicture(static_cast<const Ombrel::SLayoutBox&>(*item), AlphaByte(alpha), 0.0f);
    }
  }
}

void CExtrasMiniGame::DrawPieceAt(const Ombrel::SLayoutBox& node, const Vector2& centre, uint8_t alpha,
                                  bool scaled) {
  SPieceLook look = PictureLook(node, centre, node.colour, alpha);
  if (scaled) look.scale = node.scale;
  DrawPiece(m_drawing.GetSprite(), node, look);
}

// Placed pieces first, flying from their drop into place, then the loose ones, then the one on
// the pointer over its shadow.
void CExtrasMiniGame::DrawPieces(float alpha) {
  const uint8_t alphaByte = AlphaByte(alpha);
  for (bool placedPass : {true, false}) {
    for (int i = 0; i < kJigsawPieceCount; ++i) {
      const SPiece& piece = m_pieces[i];
      const Ombrel::SLayoutBox* node = m_details[piece.id];
      if (i == heldIndex || piece.placed != placedPass || !node) continue;
      const Vector2 rest = placedPass ? GetTarget(piece.id) : ToVirtualScreen(node->position);
      const float flight = (1.0f - piece.settle) * (1.0f - piece.settle);
      const Vector2 centre{rest.x + flight * (piece.from.x - rest.x), rest.y + flight * (piece.from.y - rest.y)};
      DrawPieceAt(*node, centre, alphaByte, true);
    }
  }
  if (heldIndex < 0) return;
  const Ombrel::SLayoutBox* held = m_details[m_pieces[heldIndex].id];
  if (!held) return;
  const Vector2 shadow{input.pointer.x - kExtrasShadowOffset, input.pointer.y + kExtrasShadowOffset};
  SPieceLook look = PictureLook(*held, shadow, kShadowColour, uint8_t(alpha * kShadowAlpha));
  DrawPiece(m_drawing.GetSprite(), *held, look);
  DrawPieceAt(*held, input.pointer, alphaByte, false);
}

}  // namespace Vey
