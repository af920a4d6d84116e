// The engine's device pointer, its service hook and the one check of state calls.

#include "Quor/DirectX/D3DDeviceAccess.h"

#include <mutex>
#include <set>
#include <string>

#include "Platform/GraphicsReport.h"
#include "Quor/ReportError.h"

namespace {
const char* const kD3DDeviceAccessSource = "Quor/DirectX/D3DDeviceAccess";

CGfxDevice* g_currentD3DDevice = nullptr;
DeviceServiceFn g_service = nullptr;

// The loading screen draws from its own thread, so the record of failures is guarded.
struct SFailedStateCalls {
  std::mutex lock;
  std::set<std::string> reported;
  uint32_t count = 0;
};
SFailedStateCalls g_failed;

void CheckStateCall(uint32_t result, const char* call) {
  if (GfxSucceeded(result) || result == GFX_ERR_DEVICE_LOST) return;
  std::lock_guard<std::mutex> hold(g_failed.lock);
  ++g_failed.count;
  if (!g_failed.reported.insert(call).second) return;
  HM_REPORT(kD3DDeviceAccessSource, "The device refused %s (0x%08X); further failures of it are not reported", call,
            result);
}

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

bool IsDeviceFailure(uint32_t result) { return !GfxSucceeded(result) && result != GFX_ERR_DEVICE_LOST; }

uint32_t GetFailedStateCallCount() {
  std::lock_guard<std::mutex> hold(g_failed.lock);
  return g_failed.count;
}

void ResetFailedStateCalls() {
  std::lock_guard<std::mutex> hold(g_failed.lock);
  g_failed.reported.clear();
  g_failed.count = 0;
}

// ---- state calls

void CDeviceStates::SetRenderState(uint32_t state, uint32_t value) {
  CheckStateCall(m_device.SetRenderState(state, value), "SetRenderState");
}

void CDeviceStates::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
  CheckStateCall(m_device.SetSamplerState(sampler, type, value), "SetSamplerState");
}

void CDeviceStates::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
  CheckStateCall(m_device.SetTextureStageState(stage, type, value), "SetTextureStageState");
}

void CDeviceStates::SetTexture(uint32_t sampler, CGfxTexture* texture) {
  CheckStateCall(m_device.SetTexture(sampler, texture), "SetTexture");
}

void CDeviceStates::SetStreamSource(uint32_t stream, CGfxVertexBuffer* buffer, uint32_t offset, uint32_t stride) {
  CheckStateCall(m_device.SetStreamSource(stream, buffer, offset, stride), "SetStreamSource");
}

void CDeviceStates::SetStreamSourceFreq(uint32_t stream, uint32_t frequency) {
  CheckStateCall(m_device.SetStreamSourceFreq(stream, frequency), "SetStreamSourceFreq");
}

void CDeviceStates::SetVertexDeclaration(CGfxVertexDeclaration* declaration) {
  CheckStateCall(m_device.SetVertexDeclaration(declaration), "SetVertexDeclaration");
}

void CDeviceStates::SetFVF(uint32_t fvf) { CheckStateCall(m_device.SetFVF(fvf), "SetFVF"); }

void CDeviceStates::SetVertexShader(CGfxShader* shader) {
  CheckStateCall(m_device.SetVertexShader(shader), "SetVertexShader");
}

void CDeviceStates::SetPixelShader(CGfxShader* shader) {
  CheckStateCall(m_device.SetPixelShader(shader), "SetPixelShader");
}

void CDeviceStates::SetVertexShaderConstantF(uint32_t start, const float* data, uint32_t count) {
  CheckStateCall(m_device.SetVertexShaderConstantF(start, data, count), "SetVertexShaderConstantF");
}

void CDeviceStates::SetPixelShaderConstantF(uint32_t start, const float* data, uint32_t count) {
  CheckStateCall(m_device.SetPixelShaderConstantF(start, data, count), "SetPixelShaderConstantF");
}

void CDeviceStates::SetViewport(const SGfxViewport& viewport) {
  CheckStateCall(m_device.SetViewport(viewport), "SetViewport");
}

void CDeviceStates::SetRenderTarget(uint32_t index, CGfxSurface* surface) {
  CheckStateCall(m_device.SetRenderTarget(index, surface), "SetRenderTarget");
}

void CDeviceStates::SetDepthStencilSurface(CGfxSurface* surface) {
  CheckStateCall(m_device.SetDepthStencilSurface(surface), "SetDepthStencilSurface");
}
