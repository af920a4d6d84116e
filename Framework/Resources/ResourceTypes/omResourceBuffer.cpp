#include "Framework/Resources/ResourceTypes/omResourceBuffer.h"

#include "Quor/CByteReader.h"
#include "Quor/ContentOrigin.h"
#include "Quor/ReportError.h"

namespace Ombrel {

namespace {
constexpr const char* kOmResourceBufferSource = "Framework/Resources/ResourceTypes/omResourceBuffer";
}  // namespace

std::vector<uint8_t>* CResourceBuffer::Build() {
  auto bytes = std::make_unique<std::vector<uint8_t>>();
  if (!ReadWholeVfsFile(m_path.GetText(), bytes.get()))
    HM_FATAL(kOmResourceBufferSource, "No such file: %s%s", m_path.GetText(), CContentOrigin::Clause().c_str());
  bytes->push_back(0);
  return bytes.release();
}

}  // namespace Ombrel
