#include "Quor/RenderStates.h"

namespace {

RenderStateSinkFn g_sink = nullptr;
uint32_t g_recorded[kRenderStateCount] = {};
uint32_t g_colorWriteMask = 15;
bool g_cullingOn = false;
bool g_clockwise = true;

void WriteColorMask() { SetEngineRenderState(kRsColorWriteEnable, g_colorWriteMask); }

}  // namespace

void SetRenderStateSink(RenderStateSinkFn sink) { g_sink = sink; }

void SetEngineRenderState(uint32_t state, uint32_t value) {
  if (state < kRenderStateCount) g_recorded[state] = value;
  if (g_sink) g_sink(state, value);
}

uint32_t GetRecordedRenderState(uint32_t state) {
  return state < kRenderStateCount ? g_recorded[state] : 0;
}

void AlphaTestOff() { SetEngineRenderState(kRsAlphaTestEnable, 0); }
void AlphaTestOn() { SetEngineRenderState(kRsAlphaTestEnable, 1); }

void SetAlphaTest(uint32_t function, uint8_t reference) {
  SetEngineRenderState(kRsAlphaFunc, function);
  SetEngineRenderState(kRsAlphaRef, reference);
}

void BlendAdditive() {
  SetEngineRenderState(kRsSrcBlend, kBlendSrcAlpha);
  SetEngineRenderState(kRsDestBlend, kBlendOne);
}

void BlendNormal() {
  SetEngineRenderState(kRsSrcBlend, kBlendSrcAlpha);
  SetEngineRenderState(kRsDestBlend, kBlendInvSrcAlpha);
}

void AlphaBlendOff() { SetEngineRenderState(kRsAlphaBlendEnable, 0); }
void AlphaBlendOn() { SetEngineRenderState(kRsAlphaBlendEnable, 1); }

void CullOff() {
  SetEngineRenderState(kRsCullMode, kCullNone);
  g_cullingOn = false;
}

void CullOn() {
  SetEngineRenderState(kRsCullMode, g_clockwise ? kCullClockwise : kCullCounterClockwise);
  g_cullingOn = true;
}

void AlphaWriteOn() {
  g_colorWriteMask |= 8;
  WriteColorMask();
}

void ColorWriteOff() {
  g_colorWriteMask &= ~7u;
  WriteColorMask();
}

void ColorWriteOn() {
  g_colorWriteMask |= 7;
  WriteColorMask();
}

void DepthWriteOff() { SetEngineRenderState(kRsZWriteEnable, 0); }
void DepthWriteOn() { SetEngineRenderState(kRsZWriteEnable, 1); }
void SetDepthFunc(uint32_t function) { SetEngineRenderState(kRsZFunc, function); }
void DepthTestOff() { SetEngineRenderState(kRsZEnable, 0); }
void DepthTestOn() { SetEngineRenderState(kRsZEnable, 1); }

uint32_t GetColorWriteMask() { return g_colorWriteMask; }
void SetColorWriteMask(uint32_t mask) {
  g_colorWriteMask = mask;
  WriteColorMask();
}
bool IsCullingOn() { return g_cullingOn; }
bool GetClockwiseWinding() { return g_clockwise; }

void SetClockwiseWinding(bool clockwise) {
  g_clockwise = clockwise;
  // Culling that is on follows the new winding at once.
  if (g_cullingOn) CullOn();
}
