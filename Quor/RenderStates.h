#pragma once
// One-line render-state switches with the few states the engine caches. Each switch hands its
// states to the graphics device through the installed sink and records them.

#include <cstdint>

// Render-state codes and values as the device numbers them.
enum ERenderState : uint32_t {
  kRsZEnable = 7,
  kRsZWriteEnable = 14,
  kRsAlphaTestEnable = 15,
  kRsSrcBlend = 19,
  kRsDestBlend = 20,
  kRsCullMode = 22,
  kRsZFunc = 23,
  kRsAlphaRef = 24,
  kRsAlphaFunc = 25,
  kRsAlphaBlendEnable = 27,
  kRsColorWriteEnable = 168,
};
static constexpr uint32_t kRenderStateCount = 256;
static constexpr uint32_t kBlendOne = 2;
static constexpr uint32_t kBlendSrcAlpha = 5;
static constexpr uint32_t kBlendInvSrcAlpha = 6;
static constexpr uint32_t kCullNone = 1;
static constexpr uint32_t kCullClockwise = 2;
static constexpr uint32_t kCullCounterClockwise = 3;

// The graphics device installs itself here; until then the states are only recorded.
using RenderStateSinkFn = void (*)(uint32_t state, uint32_t value);
void SetRenderStateSink(RenderStateSinkFn sink);
void SetEngineRenderState(uint32_t state, uint32_t value);
// The last value set for a state (0 when never set).
uint32_t GetRecordedRenderState(uint32_t state);

void AlphaTestOff();
void AlphaTestOn();
void SetAlphaTest(uint32_t function, uint8_t reference);
void BlendAdditive();
void BlendNormal();
void AlphaBlendOff();
void AlphaBlendOn();
void CullOff();
void CullOn();
void AlphaWriteOn();
void ColorWriteOff();
void ColorWriteOn();
void DepthWriteOff();
void DepthWriteOn();
void SetDepthFunc(uint32_t function);
void DepthTestOff();
void DepthTestOn();

// The cached states.
uint32_t GetColorWriteMask();
void SetColorWriteMask(uint32_t mask);
bool IsCullingOn();
bool GetClockwiseWinding();
void SetClockwiseWinding(bool clockwise);
