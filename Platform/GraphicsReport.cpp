// Reports of the graphics code, forwarded to the installed handler.

#include "Platform/GraphicsReport.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {
std::atomic<GfxReportHandlerFn> g_handler{nullptr};
thread_local char t_last[1024];
}  // namespace

void SetGfxReportHandler(GfxReportHandlerFn handler) { g_handler = handler; }

void GfxReport(const char* source, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(t_last, sizeof t_last, format, args);
  va_end(args);
  if (GfxReportHandlerFn handler = g_handler.load()) {
    handler(source, t_last);
  } else {
    std::fprintf(stderr, "%s: %s\n", source, t_last);
  }
}

const char* GfxLastReport() { return t_last; }
