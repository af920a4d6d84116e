#pragma once
// Error reports: every layer reports through ReportError / AssertReport. The call site
// stores its source path ("Quor/CVFS") and line first; the macros below do both.
// Whether the program stops is the call site's choice: HM_FATAL never returns.

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
#define HM_ASSERT(source, cond, ...) \
  (SetReportLocation(source, __LINE__), AssertReport((cond), __VA_ARGS__))
#define HM_FATAL(source, ...) \
  (SetReportLocation(source, __LINE__), ReportError(__VA_ARGS__), FatalStop())

// Allocation-context stack (used by the framework's start-up); bounded at 255 levels.
struct SAllocContext {
  uint32_t tag = 0;
  uint32_t detail = 0;
};
int PushAllocContext();
int PopAllocContext();
SAllocContext GetAllocContext();
int GetAllocContextLevel();
