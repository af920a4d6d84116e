#pragma once
// Where the test driver puts the mouse so that the game's pointer comes to rest on a window point.
//
// The game's pointer does not jump to the mouse: each frame it closes half the distance, and it
// stops once the mouse lies within its dead zone (3 units of the 2-D space, 6 window pixels
// across and 4.5 down). A click sent to the pixel wanted lands up to that far short of it,
// enough to miss a thin picture. The path follows the pointer from where it rests and sends the
// mouse, among the pixels around the point wanted, to the one where the pointer stops nearest it.

namespace walkthrough {

// The test window the scripts are written for.
constexpr int kScriptWindowWidth = 1024;
constexpr int kScriptWindowHeight = 768;

class CPointerPath {
 public:
  // The frames between a move and its click when the pointer needs only a few to come to rest.
  static constexpr int kSettleFrames = 7;

  struct SMouseMove {
    int x = 0, y = 0;      // where the mouse goes, window pixels
    int settleFrames = 0;  // frames from the move to the click: the pointer rests a frame before
  };

  // The mouse move that brings the pointer to rest nearest the window point (x, y); the pointer
  // is followed there.
  SMouseMove MoveTo(float x, float y);

  // The pointer's 2-D position for a window point, as the game measures the mouse.
  static float PointerX(float windowX);
  static float PointerY(float windowY);

 private:
  // Where the pointer rests, in the 2-D space; a new game starts it in the middle.
  float m_x = 2048.0f, m_y = 2048.0f;
};

}  // namespace walkthrough
