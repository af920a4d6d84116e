// The engine's device pointer and its service hook.

#include "Quor/DirectX/D3DDeviceAccess.h"

#include "Platform/GraphicsReport.h"
#include "Quor/ReportError.h"

namespace {
CGfxDevice* g_currentD3DDevice = nullptr;
DeviceServiceFn g_service = nullptr;

void ForwardReport(const char* source, const char* text) {
  SetReportLocation(source, 0);
  ReportError("%s", text);
}
}  // namespace

CGfxDevice* GetD3DDevice() { return g_currentD3DDevice; }
void SetD3DDevice(CGfxDevice* device) { g_currentD3DDevice = device; }

void SetDeviceServiceHandler(DeviceServiceFn handler) { g_service = handler; }

void ServiceDeviceBeforeCreate() {
  if (g_service) g_service();
}

void InstallGraphicsReportForwarding() { SetGfxReportHandler(ForwardReport); }
