#pragma once
// A drawable node of a render layer. Flags: bits 0 and 1 shown, bit 2 back-face culling.

#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"

#include <cstdint>

namespace Ombrel {

class ISceneNode : public CMemWatch {
 public:
  static constexpr uint32_t kShownBits = 0x3;
  static constexpr uint32_t kDrawnBit = 0x2;
  static constexpr uint32_t kCullBit = 0x4;

  explicit ISceneNode(const char* name) : m_name(name) {}

  virtual void Reset() {}
  virtual void Render() = 0;
  virtual void Hide() { m_flags &= ~kShownBits; }
  virtual void Show() { m_flags |= kShownBits; }

  const CStr& GetName() const { return m_name; }
  uint32_t GetFlags() const { return m_flags; }
  bool IsDrawn() const { return (m_flags & kDrawnBit) != 0; }

 private:
  CStr m_name;
  uint32_t m_flags = kShownBits | kCullBit;
};

}  // namespace Ombrel
