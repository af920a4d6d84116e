#pragma once
// The scene node that puts the close-up view on screen: the close-up's layout and its frame
// while it opens, is open or closes, and, while a mini-game or the item-found frame lies on top
// of it, the frozen capture of the close-up behind them.

#include "Framework/Scene/omSceneNode.h"

#include <functional>

namespace Vey {

class CIntermediate;

class CIntermediateRenderer : public Ombrel::ISceneNode {
 public:
  // Draws the captured close-up over the whole view, opaque, held back by the strength (0: as
  // captured, 1: as far as it goes); whether it was drawn.
  using FrozenBackdrop = std::function<bool(float strength)>;

  // The close-up is not owned and must outlive the node; without a backdrop nothing is drawn
  // behind a screen on top.
  CIntermediateRenderer(const char* name, CIntermediate* closeUp, FrozenBackdrop backdrop);

  void Reset() override {}
  void Render() override;

 private:
  // The fade of the screen on top of the close-up, or below 0 when nothing is to be drawn.
  float BackdropStrength() const;

  CIntermediate* m_closeUp;
  FrozenBackdrop m_backdrop;
};

}  // namespace Vey
