#include "Framework/omLogo.h"

namespace Ombrel {

void CLogo::ShowStatic(const char* image, bool) { m_shown.push_back(image); }

void CLogo::ShowAnimated(const char* image, int32_t, int32_t, int32_t, float, bool) {
  m_shown.push_back(image);
}

void CLogo::ShowFromDir(const char* folder) { m_shown.push_back(folder); }

}  // namespace Ombrel
