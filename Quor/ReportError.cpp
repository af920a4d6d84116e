#include "Quor/ReportError.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

ReportHandlerFn ReportHandler = nullptr;

namespace {

constexpr size_t kReportBufferSize = 4096;

thread_local const char* t_source = "";
thread_local uint32_t t_line = 0;
thread_local char t_lastText[kReportBufferSize] = "";

std::mutex g_logMutex;
std::string g_logPath;
FatalPresenterFn g_fatalPresenter = nullptr;

}  // namespace

void SetReportLocation(const char* source, uint32_t line) {
  t_source = source ? source : "";
  t_line = line;
}

const char* GetReportSource() { return t_source; }
uint32_t GetReportLine() { return t_line; }
const char* GetLastReportText() { return t_lastText; }

void FormatAndDispatchReport(const char* format, va_list args) {
  const char* source = t_source;
  uint32_t line = t_line;
  char text[kReportBufferSize];
  vsnprintf(text, sizeof text, format, args);
  std::snprintf(t_lastText, sizeof t_lastText, "%s", text);
  if (ReportHandler) ReportHandler(source, line, text);
  ReportSink(source, line, text);
}

void ReportError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatAndDispatchReport(format, args);
  va_end(args);
}

void AssertReport(bool condition, const char* format, ...) {
  if (condition) return;
  va_list args;
  va_start(args, format);
  FormatAndDispatchReport(format, args);
  va_end(args);
}

void ReportSink(const char* source, uint32_t line, const char* text) {
  std::lock_guard<std::mutex> lock(g_logMutex);
  std::fprintf(stderr, "%s(%u): %s\n", source, line, text);
  if (!g_logPath.empty()) {
    if (FILE* log = std::fopen(g_logPath.c_str(), "a")) {
      std::fprintf(log, "%s(%u): %s\n", source, line, text);
      std::fclose(log);
    }
  }
}

void SetReportLogFile(const char* path) {
  std::lock_guard<std::mutex> lock(g_logMutex);
  g_logPath = path ? path : "";
}

void SetFatalPresenter(FatalPresenterFn presenter) { g_fatalPresenter = presenter; }

void FatalStop() {
  std::fflush(stderr);
  if (g_fatalPresenter) g_fatalPresenter(t_lastText);
  std::_Exit(3);
}

void AssertionFailed(const char* file, uint32_t line, const char* condition, const char* format, ...) {
  char message[kReportBufferSize];
  va_list args;
  va_start(args, format);
  vsnprintf(message, sizeof message, format, args);
  va_end(args);
  SetReportLocation(file, line);
  ReportError("Assertion failed: %s: %s", condition, message);
  std::fflush(stderr);
  std::abort();
}

// ---- allocation-context stack ----

namespace {
constexpr int kAllocLevels = 256;
SAllocContext g_allocStack[kAllocLevels];
SAllocContext g_allocCurrent;
const SAllocContext g_allocPending;  // never set: new levels start as (0, 0)
int g_allocLevel = -1;
}  // namespace

int PushAllocContext() {
  if (g_allocLevel + 1 >= kAllocLevels) {
    HM_REPORT("Quor/ReportError", "Allocation context stack is full (%d levels)", kAllocLevels - 1);
    return g_allocLevel;
  }
  g_allocStack[g_allocLevel + 1] = g_allocCurrent;
  g_allocCurrent = g_allocPending;
  return ++g_allocLevel;
}

int PopAllocContext() {
  if (g_allocLevel < 0) return g_allocLevel;
  g_allocCurrent = g_allocStack[g_allocLevel];
  return --g_allocLevel;
}

SAllocContext GetAllocContext() { return g_allocCurrent; }
int GetAllocContextLevel() { return g_allocLevel; }
