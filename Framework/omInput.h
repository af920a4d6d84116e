#pragma once
// The input object: per player, action slots bound to poll functions. The input module owns
// the one instance and updates it every frame.

#include "Quor/CMemWatch.h"

namespace Ombrel {

class CInput : public CMemWatch {
 public:
  // Advances the actions by one frame of the given length.
  void Update(float frameTime) { m_lastFrameTime = frameTime; }
  float GetLastFrameTime() const { return m_lastFrameTime; }

 private:
  float m_lastFrameTime = 0.0f;
};

}  // namespace Ombrel
