#pragma once
// The engine's reports, kept as texts while a test installs CaptureReport as the report handler.

#include <cstdint>
#include <string>
#include <vector>

namespace hmtest {

inline std::vector<std::string>& Reports() {
  static std::vector<std::string> reports;
  return reports;
}
inline void CaptureReport(const char*, uint32_t, const char* text) { Reports().push_back(text); }
// Whether any report so far contains the text.
inline bool Reported(const std::string& text) {
  for (const std::string& report : Reports())
    if (report.find(text) != std::string::npos) return true;
  return false;
}

}  // namespace hmtest
