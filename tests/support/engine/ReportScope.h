#pragma once
// While a CReportScope lives, the engine's reports are kept in hmtest::Reports() (emptied when
// the scope begins) instead of going to stderr; the handler before it comes back at its end.

#include "Quor/ReportError.h"
#include "tests/support/ReportCapture.h"

#include <string>
#include <vector>

namespace hmtest {

class CReportScope {
 public:
  CReportScope() : m_previous(ReportHandler) {
    Reports().clear();
    ReportHandler = CaptureReport;
  }
  ~CReportScope() { ReportHandler = m_previous; }
  CReportScope(const CReportScope&) = delete;
  CReportScope& operator=(const CReportScope&) = delete;

  static std::vector<std::string>& Texts() { return Reports(); }
  // Every report so far, one a line, for a failure message.
  static std::string All() {
    std::string all;
    for (const std::string& text : Reports()) all += text + "\n";
    return all;
  }
  static std::string Last() { return Reports().empty() ? std::string() : Reports().back(); }

 private:
  ReportHandlerFn m_previous;
};

}  // namespace hmtest
