#include "Framework/omDataSaver.h"

#include "Quor/ReportError.h"

namespace Ombrel {

namespace {
constexpr const char* kSource = "Framework/omDataSaver";
}  // namespace

CDataSaver::CDataSaver(uint32_t dataSize, bool overwrite)
    : CMemCardDX(dataSize, nullptr), m_dataSize(dataSize) {
  SetOverwrite(overwrite);
}

int32_t CDataSaver::ShowMessage(const char* title, const char* text, const char* firstButton,
                                const char*, int32_t) {
  HM_REPORT(kSource, "%s%s%s (answered \"%s\")", title ? title : "", title && *title ? ": " : "",
            text ? text : "", firstButton ? firstButton : "");
  return 1;
}

}  // namespace Ombrel
