#pragma once
// The application's save medium: the engine's save file with the owner's part, which tells
// the player what the engine has to say about loading and saving.

#include "Quor/DirectX/CMemCardDX.h"

#include <cstdint>

namespace Ombrel {

class CDataSaver : public CMemCardDX {
 public:
  // A block of `dataSize` bytes, zero-filled; `overwrite` is the initial overwrite rule.
  CDataSaver(uint32_t dataSize, bool overwrite);

  // The save data: the first `GetDataSize()` bytes of the block.
  uint32_t GetDataSize() const { return m_dataSize; }

  // Until the message box has its resources, a message is reported (caption, text and the
  // answer taken) and answered with its first button, so that no flow waits for an answer
  // that nobody can give.
  int32_t ShowMessage(const char* title, const char* text, const char* firstButton,
                      const char* secondButton, int32_t flags) override;
  // Whether the message box's resources are loaded.
  bool HasSystemResources() const { return m_systemResourcesReady; }

 private:
  uint32_t m_dataSize;
  bool m_systemResourcesReady = false;
};

}  // namespace Ombrel
