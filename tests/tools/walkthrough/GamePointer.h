#pragma once
// The game's pointer, as the engine moves it once a frame towards the mouse, for following the
// walkthrough's scripts to where their clicks land.

#include "tools/walkthrough/PointerPath.h"

#include "Framework/omInput.h"
#include "Quor/DirectX/InputState.h"

namespace walkthroughtest {

class CGamePointer {
 public:
  CGamePointer() { m_pointer.SetPosition(2048.0f, 2048.0f); }
  void PutMouse(int x, int y) {
    GetInputState().mouseX = 2.0f * float(x) / walkthrough::kScriptWindowWidth - 1.0f;
    GetInputState().mouseY = 2.0f * float(y) / walkthrough::kScriptWindowHeight - 1.0f;
  }
  void Frames(int count) {
    for (int i = 0; i < count; ++i) m_pointer.Update(0.1f);
  }
  float X() const { return m_pointer.GetX(); }
  float Y() const { return m_pointer.GetY(); }
  // Where it rests, in window pixels.
  float WindowX() const { return (X() - 1792.0f) * walkthrough::kScriptWindowWidth / 512.0f; }
  float WindowY() const { return (Y() - 1792.0f) * walkthrough::kScriptWindowHeight / 512.0f; }

 private:
  Ombrel::CCursor m_pointer{0};
};

}  // namespace walkthroughtest
