#pragma once
// The engine's device as the resource wrappers and the drawing code reach it: the device
// pointer (set by the frame services of QuordxDevice.h, null while there is no device), the
// hook that settles a lost device before anything is created, and the forwarding of the
// graphics platform's reports into the engine's error reports.

#include <cstdint>

#include "Platform/GraphicsDevice.h"

CGfxDevice* GetD3DDevice();
void SetD3DDevice(CGfxDevice* device);

// The frame service installs itself here; resource creation calls it first so that a lost
// device is recovered before a new object is made. Without a handler nothing happens.
using DeviceServiceFn = void (*)();
void SetDeviceServiceHandler(DeviceServiceFn handler);
void ServiceDeviceBeforeCreate();

// Sends the platform's graphics reports through ReportError.
void InstallGraphicsReportForwarding();

// How the engine treats device results. Creation, drawing, clearing and the calls that hand
// out objects are checked where they are made, and a failure is reported there (see
// IsDeviceFailure). State setters and bindings cannot fail on a working device with the
// engine's own values, so they go through CDeviceStates, the one place that checks them.
//
// A draw or clear that failed for another reason than a lost device, which the frame service
// brings back, so is worth a report.
bool IsDeviceFailure(uint32_t result);

// The device's state setters and bindings, with their results checked: a failed call is
// reported once by its name (it would fail again every frame), and then only counted.
class CDeviceStates {
 public:
  explicit CDeviceStates(CGfxDevice& device) : m_device(device) {}

  void SetRenderState(uint32_t state, uint32_t value);
  void SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value);
  void SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value);
  void SetTexture(uint32_t sampler, CGfxTexture* texture);
  void SetStreamSource(uint32_t stream, CGfxVertexBuffer* buffer, uint32_t offset, uint32_t stride);
  void SetStreamSourceFreq(uint32_t stream, uint32_t frequency);
  void SetVertexDeclaration(CGfxVertexDeclaration* declaration);
  void SetFVF(uint32_t fvf);
  void SetVertexShader(CGfxShader* shader);
  void SetPixelShader(CGfxShader* shader);
  void SetVertexShaderConstantF(uint32_t start, const float* data, uint32_t count);
  void SetPixelShaderConstantF(uint32_t start, const float* data, uint32_t count);
  void SetViewport(const SGfxViewport& viewport);
  void SetRenderTarget(uint32_t index, CGfxSurface* surface);
  void SetDepthStencilSurface(CGfxSurface* surface);

 private:
  CGfxDevice& m_device;
};

// Failed state calls since start-up (or the last reset), reported or not.
uint32_t GetFailedStateCallCount();
// Forgets the failures, so that the next of each name is reported again (for tests).
void ResetFailedStateCalls();
