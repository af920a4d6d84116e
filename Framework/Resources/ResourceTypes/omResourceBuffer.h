#pragma once
// "Buffer": a whole file in memory, followed by a zero byte so text can be used in place.

#include "Framework/Resources/omResourcePattern.h"

#include <cstdint>
#include <vector>

namespace Ombrel {

class CResourceBuffer : public CObjectResource<std::vector<uint8_t>> {
 public:
  static constexpr const char* kTypeName = "Buffer";
  static constexpr const char* kFolder = "";
  static constexpr const char* kExtension = "";

  explicit CResourceBuffer(const SDeclaration& declaration) : CObjectResource(declaration.path) {}
  const char* GetTypeName() const override { return kTypeName; }
  // Null while not loaded; the zero byte follows the data.
  const uint8_t* GetData() const { return GetObject() ? GetObject()->data() : nullptr; }
  // Without the zero byte.
  uint32_t GetSize() const { return GetObject() ? uint32_t(GetObject()->size() - 1) : 0; }

 protected:
  std::vector<uint8_t>* Build() override;
};

using CResBufferLoader = CPatternLoader<CResourceBuffer>;

}  // namespace Ombrel
