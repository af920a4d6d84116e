#pragma once
// The extras area's jigsaw: 72 pieces of one of three pictures, picked up with a click, carried
// on the pointer and dropped with the next; a piece dropped within 20 virtual units of its place
// flies in and locks with a burst of sparks. The last piece plays the completion effect, after
// which the OK button leaves. Each picture's pieces (their drawing order, which are placed and
// where the loose ones lie) are kept in the current profile, so a half-done picture resumes.
// The menu button, Escape or the right button pause it over a blurred snapshot of itself, with
// continue, restart and exit.

#include "Src/Menu/Vey_MenuBox.h"
#include "Src/Menu/Vey_MenuBoxParts.h"
#include "Src/Menu/Vey_MenuRenderer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

struct TextureRecord;

namespace Ombrel {
class CLayout2D;
class CXmlDictionary;
class ISceneNode;
struct SLayoutBox;
}  // namespace Ombrel

namespace Vey {

class CButton2;
class CEmitterGroup;
class CFrozenPicture;
class CSoundContainer;
struct SMiniGameBoard;

constexpr int kJigsawPieceCount = 72;
constexpr int kJigsawPictureCount = 3;
// How far from its place, in virtual units on either axis, a dropped piece still locks in.
constexpr float kJigsawSnapReach = 20.0f;

// The jigsaw's pause: continue, restart and exit, each closing it with its choice.
class CExtrasGamePause : public IMenuBox {
 public:
  static constexpr const char* kLayoutName = "GamePause";
  enum EChoice : int32_t { kContinue = 0, kRestart = 1, kExit = 2 };

  // Nothing is owned.
  CExtrasGamePause(Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary, CSoundContainer* sounds);
  ~CExtrasGamePause() override;

  void Open() override;
  void ReadInput() override;
  void Update(float dt) override;
  float GetAlpha() const override { return LinearFade(state, fadeTime); }
  void Render();

  float fadeTime = 0.0f;
  int32_t choice = kContinue;
  SBoxInput input;  // a test may set these instead of ReadInput
  SKeyEdge escape;

 private:
  void Choose(EChoice chosen, const char* sound);

  Ombrel::CLayout2D* m_layout;
  CMenuLayoutDrawing m_drawing;
  CSoundContainer* m_sounds;
  // By choice: continue, restart, exit.
  std::unique_ptr<CButton2> m_buttons[3];
  const Ombrel::SLayoutBox* m_outlines[3] = {};
};

// What the jigsaw is given; nothing of it is owned. Missing effects play no sparks; without
// the snapshot the pause shows over nothing.
struct SExtrasMiniGameArgs {
  std::array<Ombrel::CLayout2D*, kJigsawPictureCount> pictures{};
  Ombrel::CLayout2D* pauseLayout = nullptr;
  Ombrel::CXmlDictionary* dictionary = nullptr;
  CSoundContainer* sounds = nullptr;
  TextureRecord* captureTexture = nullptr;  // the frame is copied here as the pause opens
  CFrozenPicture* capturePicture = nullptr;  // draws that texture, blurred, behind the pause
  CEmitterGroup* effects = nullptr;          // "Part1".."Part72" and "PuzzleComplete"
  Ombrel::ISceneNode* effectsNode = nullptr;  // draws the effects over the pieces; made when null
};

class CExtrasMiniGame : public CMemWatch {
 public:
  enum EState : int32_t { kClosed = 0, kOpening = 1, kClosing = 2, kPlaying = 3, kPaused = 4 };

  struct SPiece {
    int32_t id = 0;  // 1..72: its pictures "root/Details/<id>" and place "root/Dummies/<id>"
    Vector2 from;    // where it was last dropped, virtual units: its fly-in starts there
    float settle = 1.0f;  // 0 at a drop, 1 at rest
    bool placed = false;
  };

  explicit CExtrasMiniGame(const SExtrasMiniGameArgs& args);
  ~CExtrasMiniGame() override;

  // Opens picture 0..2 as the profile left it.
  void Start(int32_t picture);
  void ReadInput();
  void Update(float dt);
  void Render();

  // Every piece loose at its first starting place, saved at once.
  void Restart();

  const SPiece& GetPiece(int position) const { return m_pieces[position]; }
  bool IsOkShown() const { return m_okShown; }
  // Whether Render hides the whole screen: the picture in play at full strength, or the pause
  // over its snapshot. What lies under it then need not be drawn.
  bool CoversScreen() const;
  CExtrasGamePause& GetPause() { return m_pause; }
  // The picture's place of a piece, virtual units.
  Vector2 GetTarget(int32_t id) const;
  // Where a loose piece lies, virtual units.
  Vector2 GetLoosePlace(int32_t id) const;

  int32_t state = kClosed;
  int32_t pictureIndex = 0;
  int32_t heldIndex = -1;  // the drawing position of the piece on the pointer
  bool captureRequested = false;
  bool completed = false;
  float fadeTime = 1.0f;
  SBoxInput input;  // a test may set these instead of ReadInput
  SKeyEdge escape;
  SKeyEdge rightButton;

 private:
  void UpdatePlaying(float dt);
  void UpdatePaused(float dt);
  void SettlePieces(float dt);
  bool WantsPause() const;
  void OpenPause(float dt);
  void Drop();
  void Pick();
  void BringToFront();
  void CheckCompletion();
  void Close();
  void FindNodes();
  void RestoreFromBoard(const SMiniGameBoard& board);
  void CreateButtons();
  void DeleteButtons();
  bool AllPlacedAndAtRest() const;
  void StartBurst(int32_t id);
  void StartEmitter(const char* name);
  bool IsEmitterRunning(const char* name) const;
  float FadeFactor() const;
  void DrawPictureLayout(float alpha);
  void DrawPieces(float alpha);
  void DrawPieceAt(const Ombrel::SLayoutBox& node, const Vector2& centre, uint8_t alpha, bool scaled);
  Ombrel::CLayout2D* Layout() const;
  // The current picture's block of the current profile; null without one.
  SMiniGameBoard* Board() const;

  SExtrasMiniGameArgs m_args;
  std::array<SPiece, kJigsawPieceCount> m_pieces;
  // By piece id, for the current picture.
  Ombrel::SLayoutBox* m_details[kJigsawPieceCount + 1] = {};
  Ombrel::SLayoutBox* m_targets[kJigsawPieceCount + 1] = {};
  int32_t m_firstDetail = -1, m_lastDetail = -1;  // item indices of the pieces in the layout
  std::unique_ptr<CButton2> m_menuButton, m_okButton;
  const Ombrel::SLayoutBox* m_menuOutline = nullptr;
  const Ombrel::SLayoutBox* m_okOutline = nullptr;
  bool m_okShown = false;
  CMenuLayoutDrawing m_drawing;
  CExtrasGamePause m_pause;
  std::unique_ptr<Ombrel::ISceneNode> m_ownEffectsNode;
};

// Whether a saved picture block could have been written by the jigsaw: initialised 0 or 1,
// and when initialised its ids 1..72 each once, placed flags 0 or 1 and positions on the
// screen. Else `problem` says what is wrong.
bool IsJigsawBoardSound(const SMiniGameBoard& board, std::string* problem);

}  // namespace Vey
