#pragma once
// How the graphics code reports a failure. The platform sits below the engine's error
// reports, so the engine installs a handler that forwards to them; without one the text
// goes to stderr.

using GfxReportHandlerFn = void (*)(const char* source, const char* text);

void SetGfxReportHandler(GfxReportHandlerFn handler);
void GfxReport(const char* source, const char* format, ...) __attribute__((format(printf, 2, 3)));
// The last report's text (for tests).
const char* GfxLastReport();
