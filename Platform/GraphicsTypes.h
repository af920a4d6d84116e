#pragma once
// Names and numbers of the graphics device. The numeric values are the ones the engine's
// drawing code was written against (Direct3D 9 codes), so engine code can pass the
// numbers it quotes straight through.

#include <cstdint>

// Results of device calls. Zero is success; the failures keep their well-known values.
enum EGfxResult : uint32_t {
  GFX_OK = 0,
  GFX_ERR_DEVICE_LOST = 0x88760868u,
  GFX_ERR_DEVICE_NOT_RESET = 0x88760869u,
  GFX_ERR_NOT_AVAILABLE = 0x8876086Au,
  GFX_ERR_NOT_FOUND = 0x88760866u,
  GFX_ERR_OUT_OF_VIDEO_MEMORY = 0x8876017Cu,
  GFX_ERR_INVALID_CALL = 0x8876086Cu,
  GFX_ERR_OUT_OF_MEMORY = 0x8007000Eu,
};
inline bool GfxSucceeded(uint32_t result) { return result == GFX_OK; }

// Surface and buffer formats.
enum EGfxFormat : uint32_t {
  GFX_FMT_UNKNOWN = 0,
  GFX_FMT_A8R8G8B8 = 21,
  GFX_FMT_X8R8G8B8 = 22,
  GFX_FMT_R5G6B5 = 23,
  GFX_FMT_X1R5G5B5 = 24,
  GFX_FMT_A2R10G10B10 = 35,
  GFX_FMT_D15S1 = 73,
  GFX_FMT_D24S8 = 75,
  GFX_FMT_D16 = 80,
  GFX_FMT_D24FS8 = 83,
  GFX_FMT_INDEX16 = 101,
  GFX_FMT_INDEX32 = 102,
};

enum EGfxPool : uint32_t { GFX_POOL_DEFAULT = 0, GFX_POOL_MANAGED = 1, GFX_POOL_SYSTEMMEM = 2 };

enum EGfxUsage : uint32_t {
  GFX_USAGE_RENDERTARGET = 0x1,
  GFX_USAGE_DEPTHSTENCIL = 0x2,
  GFX_USAGE_WRITEONLY = 0x8,
  GFX_USAGE_DYNAMIC = 0x200,
};

enum EGfxLockFlags : uint32_t {
  GFX_LOCK_READONLY = 0x10,
  GFX_LOCK_DISCARD = 0x2000,
  GFX_LOCK_NOOVERWRITE = 0x1000,
};

enum EGfxClearFlags : uint32_t { GFX_CLEAR_TARGET = 1, GFX_CLEAR_ZBUFFER = 2, GFX_CLEAR_STENCIL = 4 };
constexpr uint32_t kGfxClearAllFlags = GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER | GFX_CLEAR_STENCIL;

enum EGfxPrimitiveType : uint32_t {
  GFX_PT_POINTLIST = 1,
  GFX_PT_LINELIST = 2,
  GFX_PT_LINESTRIP = 3,
  GFX_PT_TRIANGLELIST = 4,
  GFX_PT_TRIANGLESTRIP = 5,
  GFX_PT_TRIANGLEFAN = 6,
};

// Render states the device carries out.
enum EGfxRenderState : uint32_t {
  GFX_RS_ZENABLE = 7,
  GFX_RS_ZWRITEENABLE = 14,
  GFX_RS_ALPHATESTENABLE = 15,
  GFX_RS_SRCBLEND = 19,
  GFX_RS_DESTBLEND = 20,
  GFX_RS_CULLMODE = 22,
  GFX_RS_ZFUNC = 23,
  GFX_RS_ALPHAREF = 24,
  GFX_RS_ALPHAFUNC = 25,
  GFX_RS_ALPHABLENDENABLE = 27,
  GFX_RS_CLIPPING = 136,
  GFX_RS_COLORWRITEENABLE = 168,
  GFX_RS_BLENDOP = 171,
};

enum EGfxBlend : uint32_t {
  GFX_BLEND_ZERO = 1,
  GFX_BLEND_ONE = 2,
  GFX_BLEND_SRCCOLOR = 3,
  GFX_BLEND_INVSRCCOLOR = 4,
  GFX_BLEND_SRCALPHA = 5,
  GFX_BLEND_INVSRCALPHA = 6,
  GFX_BLEND_DESTALPHA = 7,
  GFX_BLEND_INVDESTALPHA = 8,
  GFX_BLEND_DESTCOLOR = 9,
  GFX_BLEND_INVDESTCOLOR = 10,
  GFX_BLEND_SRCALPHASAT = 11,
};

enum EGfxBlendOp : uint32_t {
  GFX_BLENDOP_ADD = 1,
  GFX_BLENDOP_SUBTRACT = 2,
  GFX_BLENDOP_REVSUBTRACT = 3,
  GFX_BLENDOP_MIN = 4,
  GFX_BLENDOP_MAX = 5,
};

enum EGfxCull : uint32_t { GFX_CULL_NONE = 1, GFX_CULL_CW = 2, GFX_CULL_CCW = 3 };

enum EGfxCmpFunc : uint32_t {
  GFX_CMP_NEVER = 1,
  GFX_CMP_LESS = 2,
  GFX_CMP_EQUAL = 3,
  GFX_CMP_LESSEQUAL = 4,
  GFX_CMP_GREATER = 5,
  GFX_CMP_NOTEQUAL = 6,
  GFX_CMP_GREATEREQUAL = 7,
  GFX_CMP_ALWAYS = 8,
};

enum EGfxColorWrite : uint32_t {
  GFX_COLORWRITE_RED = 1,
  GFX_COLORWRITE_GREEN = 2,
  GFX_COLORWRITE_BLUE = 4,
  GFX_COLORWRITE_ALPHA = 8,
};

enum EGfxSamplerState : uint32_t {
  GFX_SAMP_ADDRESSU = 1,
  GFX_SAMP_ADDRESSV = 2,
  GFX_SAMP_ADDRESSW = 3,
  GFX_SAMP_BORDERCOLOR = 4,
  GFX_SAMP_MAGFILTER = 5,
  GFX_SAMP_MINFILTER = 6,
  GFX_SAMP_MIPFILTER = 7,
};

enum EGfxTextureAddress : uint32_t {
  GFX_TADDRESS_WRAP = 1,
  GFX_TADDRESS_MIRROR = 2,
  GFX_TADDRESS_CLAMP = 3,
  GFX_TADDRESS_BORDER = 4,
};

enum EGfxTextureFilter : uint32_t {
  GFX_TEXF_NONE = 0,
  GFX_TEXF_POINT = 1,
  GFX_TEXF_LINEAR = 2,
};

// Texture-stage states and their values. They are stored for callers that set them; they
// only matter to fixed-function pixel processing, which this device does not offer
// (every draw needs a vertex and a pixel shader).
enum EGfxTextureStageState : uint32_t {
  GFX_TSS_COLOROP = 1,
  GFX_TSS_COLORARG1 = 2,
  GFX_TSS_COLORARG2 = 3,
  GFX_TSS_ALPHAOP = 4,
  GFX_TSS_ALPHAARG1 = 5,
  GFX_TSS_ALPHAARG2 = 6,
  GFX_TSS_TEXCOORDINDEX = 11,
};
enum EGfxTextureOp : uint32_t { GFX_TOP_DISABLE = 1, GFX_TOP_SELECTARG1 = 2, GFX_TOP_SELECTARG2 = 3, GFX_TOP_MODULATE = 4 };
enum EGfxTextureArg : uint32_t { GFX_TA_DIFFUSE = 0, GFX_TA_CURRENT = 1, GFX_TA_TEXTURE = 2 };

// Vertex declaration elements.
enum EGfxDeclType : uint8_t {
  GFX_DECLTYPE_FLOAT1 = 0,
  GFX_DECLTYPE_FLOAT2 = 1,
  GFX_DECLTYPE_FLOAT3 = 2,
  GFX_DECLTYPE_FLOAT4 = 3,
  GFX_DECLTYPE_D3DCOLOR = 4,
  GFX_DECLTYPE_UBYTE4 = 5,
  GFX_DECLTYPE_SHORT2 = 6,
  GFX_DECLTYPE_SHORT4 = 7,
  GFX_DECLTYPE_UBYTE4N = 8,
  GFX_DECLTYPE_SHORT2N = 9,
  GFX_DECLTYPE_SHORT4N = 10,
  GFX_DECLTYPE_USHORT2N = 11,
  GFX_DECLTYPE_USHORT4N = 12,
  GFX_DECLTYPE_UNUSED = 17,
};

enum EGfxDeclUsage : uint8_t {
  GFX_DECLUSAGE_POSITION = 0,
  GFX_DECLUSAGE_BLENDWEIGHT = 1,
  GFX_DECLUSAGE_BLENDINDICES = 2,
  GFX_DECLUSAGE_NORMAL = 3,
  GFX_DECLUSAGE_PSIZE = 4,
  GFX_DECLUSAGE_TEXCOORD = 5,
  GFX_DECLUSAGE_TANGENT = 6,
  GFX_DECLUSAGE_BINORMAL = 7,
  GFX_DECLUSAGE_COLOR = 10,
};

struct SGfxVertexElement {
  uint16_t stream;  // 0xFF ends the list
  uint16_t offset;
  uint8_t type;     // EGfxDeclType
  uint8_t method;   // always 0 (default)
  uint8_t usage;    // EGfxDeclUsage
  uint8_t usageIndex;
};
#define GFX_DECL_END() {0xFF, 0, GFX_DECLTYPE_UNUSED, 0, 0, 0}

// Flexible vertex format bits (the fixed layouts a vertex buffer can be declared with).
enum EGfxFvf : uint32_t {
  GFX_FVF_XYZ = 0x002,
  GFX_FVF_NORMAL = 0x010,
  GFX_FVF_DIFFUSE = 0x040,
  GFX_FVF_SPECULAR = 0x080,
  GFX_FVF_TEXCOUNT_MASK = 0xF00,
  GFX_FVF_TEXCOUNT_SHIFT = 8,
};

// Multisample types: 0 none, 2..16 samples (1 means "non-maskable" and is not offered).
using GfxMultisample = uint32_t;

struct SGfxRect {
  int32_t left, top, right, bottom;
};

// What a texture's texels cover, measured whenever texels reach it: whether every texel is
// opaque. Unknown for what the device draws into (render targets, copies).
// The side of the square tiles a texture's opacity is mapped in.
constexpr uint32_t kGfxCoverageTile = 16;
struct SGfxTexelCoverage {
  bool known = false;
  bool opaque = false;
};

struct SGfxViewport {
  uint32_t x, y, width, height;
  float minZ, maxZ;
};

struct SGfxLockedRect {
  int32_t pitch;
  void* bits;
};

struct SGfxSurfaceDesc {
  EGfxFormat format;
  uint32_t usage;
  EGfxPool pool;
  GfxMultisample multisample;
  uint32_t width, height;
};

struct SGfxBufferDesc {
  uint32_t length;
  uint32_t usage;
  EGfxPool pool;
  uint32_t fvf;          // vertex buffers
  EGfxFormat format;     // index buffers
};

struct SGfxDisplayMode {
  uint32_t width, height, refreshRate;
  EGfxFormat format;
};

// Shader versions are written as in shader byte code: 0xFFFE0200 is vs_2_0, 0xFFFF0200 ps_2_0.
inline constexpr uint32_t GfxVertexShaderVersion(uint32_t major, uint32_t minor) {
  return 0xFFFE0000u | (major << 8) | minor;
}
inline constexpr uint32_t GfxPixelShaderVersion(uint32_t major, uint32_t minor) {
  return 0xFFFF0000u | (major << 8) | minor;
}

struct SGfxCaps {
  uint32_t vertexShaderVersion;
  uint32_t pixelShaderVersion;
  uint32_t maxVertexShaderConst;  // float registers
  uint32_t maxPixelShaderConst;
  uint32_t maxTextureWidth, maxTextureHeight;
  uint32_t maxSamplers;
  uint32_t maxStreams;
  uint32_t maxMultisample;        // highest sample count a back buffer can have
  uint32_t maxPrimitiveCount;
  uint32_t maxVertexIndex;
};

enum EGfxSwapEffect : uint32_t { GFX_SWAPEFFECT_DISCARD = 1 };
enum EGfxPresentInterval : uint32_t { GFX_PRESENT_INTERVAL_DEFAULT = 0, GFX_PRESENT_INTERVAL_ONE = 1,
                                      GFX_PRESENT_INTERVAL_IMMEDIATE = 0x80000000u };

struct SGfxPresentParams {
  uint32_t backBufferWidth = 0, backBufferHeight = 0;
  EGfxFormat backBufferFormat = GFX_FMT_A8R8G8B8;
  uint32_t backBufferCount = 1;
  GfxMultisample multisample = 0;
  uint32_t multisampleQuality = 0;
  uint32_t swapEffect = GFX_SWAPEFFECT_DISCARD;
  bool windowed = true;
  bool enableAutoDepthStencil = true;
  EGfxFormat autoDepthStencilFormat = GFX_FMT_D24S8;
  uint32_t flags = 0;
  uint32_t fullScreenRefreshRate = 0;
  uint32_t presentationInterval = GFX_PRESENT_INTERVAL_IMMEDIATE;
};
