#pragma once
// Error reports: every layer reports through ReportError / AssertReport. The call site
// stores its source path ("Quor/CVFS") and line first; the macros below do both.
// Library code reports and returns failure; HM_FATAL, which never returns, is kept for the
// errors the engine's design names fatal and for start-up. Invariants (what only a fault in
// the code itself can break) are checked with HM_DEBUG_ASSERT alone.

#include <cstdarg>
#include <cstdint>

using ReportHandlerFn = void (*)(const char* source, uint32_t line, const char* text);

// The location of the next report. Per thread, so the loading thread cannot
// mislabel a report of the main thread.
void SetReportLocation(const char* source, uint32_t line);
const char* GetReportSource();
uint32_t GetReportLine();

void ReportError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void AssertReport(bool condition, const char* format, ...) __attribute__((format(printf, 2, 3)));
void FormatAndDispatchReport(const char* format, va_list args);

// The installable handler (none by default) runs first, then the sink.
extern ReportHandlerFn ReportHandler;

// The sink writes every report to stderr and, once SetReportLogFile has named one,
// appends it to the log file.
void ReportSink(const char* source, uint32_t line, const char* text);
void SetReportLogFile(const char* path);

// How a fatal stop is shown to the player (a message box); installed by the
// platform start-up. Without one, the report on stderr is all there is.
using FatalPresenterFn = void (*)(const char* text);
void SetFatalPresenter(FatalPresenterFn presenter);

// Ends the process after a fatal report: shows the last report, exits with code 3.
[[noreturn]] void FatalStop();

// The last report's text on this thread (for tests and the fatal presenter).
const char* GetLastReportText();

#define HM_REPORT(source, ...) (SetReportLocation(source, __LINE__), ReportError(__VA_ARGS__))
// A report when `cond` is false, and nothing more: for content the engine takes anyway.
#define HM_REPORT_UNLESS(source, cond, ...) \
  (SetReportLocation(source, __LINE__), AssertReport((cond), __VA_ARGS__))
#define HM_FATAL(source, ...) \
  (SetReportLocation(source, __LINE__), ReportError(__VA_ARGS__), FatalStop())

// The one invariant check. In debug builds and in the sanitizer builds (HM_ASSERTIONS) a false
// condition is reported with the condition's text and the process aborts, so the fault shows
// where it happens; in release builds the condition is compiled but never evaluated. Code
// behind it must not rely on it for safety: what input can cause is reported, not asserted.
#if !defined(NDEBUG) || defined(HM_ASSERTIONS)
constexpr bool kAssertionsActive = true;
#define HM_DEBUG_ASSERT(cond, ...) \
  ((cond) ? static_cast<void>(0) : AssertionFailed(__FILE__, __LINE__, #cond, __VA_ARGS__))
#else
constexpr bool kAssertionsActive = false;
#define HM_DEBUG_ASSERT(cond, ...) static_cast<void>(sizeof(!(cond)))
#endif

// Reports "Assertion failed: <condition>: <message>" at the file and line, then aborts.
[[noreturn]] void AssertionFailed(const char* file, uint32_t line, const char* condition, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

// Allocation-context stack (used by the framework's start-up); bounded at 255 levels.
struct SAllocContext {
  uint32_t tag = 0;
  uint32_t detail = 0;
};
int PushAllocContext();
int PopAllocContext();
SAllocContext GetAllocContext();
int GetAllocContextLevel();
