// Device state, targets, clears, copies and draws: the device's state is kept as the
// engine sets it and reaches GL just before each draw, for the context that draws.

#include <algorithm>
#include <cstring>

#include "Platform/GraphicsDeviceImpl.h"
#include "Platform/GraphicsDriverScope.h"
#include "Platform/GraphicsReport.h"

namespace {

using Guard = std::lock_guard<CGfxDeviceLock>;

GLenum GlCompare(uint32_t func) {
  static const GLenum table[] = {GL_NEVER, GL_NEVER,   GL_LESS,   GL_EQUAL, GL_LEQUAL,
                                 GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
  return func <= GFX_CMP_ALWAYS ? table[func] : GL_ALWAYS;
}

GLenum GlBlend(uint32_t blend) {
  static const GLenum table[] = {GL_ONE,           GL_ZERO,          GL_ONE,           GL_SRC_COLOR,
                                 GL_ONE_MINUS_SRC_COLOR, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_DST_ALPHA,
                                 GL_ONE_MINUS_DST_ALPHA, GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR,
                                 GL_SRC_ALPHA_SATURATE};
  return blend <= GFX_BLEND_SRCALPHASAT ? table[blend] : GL_ONE;
}

GLenum GlBlendOp(uint32_t op) {
  static const GLenum table[] = {GL_FUNC_ADD, GL_FUNC_ADD, GL_FUNC_SUBTRACT, GL_FUNC_REVERSE_SUBTRACT, GL_MIN, GL_MAX};
  return op <= GFX_BLENDOP_MAX ? table[op] : GL_FUNC_ADD;
}

GLint GlAddress(uint32_t mode) {
  switch (mode) {
    case GFX_TADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
    case GFX_TADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
    case GFX_TADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
    default: return GL_REPEAT;
  }
}

GLint GlMinFilter(uint32_t min, uint32_t mip) {
  const bool linear = min >= GFX_TEXF_LINEAR;
  if (mip == GFX_TEXF_NONE) return linear ? GL_LINEAR : GL_NEAREST;
  if (mip == GFX_TEXF_POINT) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
  return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

bool ValidRenderState(uint32_t state, uint32_t value) {
  switch (state) {
    case GFX_RS_ZENABLE: return value <= 2;
    case GFX_RS_ZWRITEENABLE:
    case GFX_RS_ALPHATESTENABLE:
    case GFX_RS_ALPHABLENDENABLE: return value <= 1;
    case GFX_RS_CLIPPING: return value == 1;  // GL always clips
    case GFX_RS_SRCBLEND:
    case GFX_RS_DESTBLEND: return value >= GFX_BLEND_ZERO && value <= GFX_BLEND_SRCALPHASAT;
    case GFX_RS_CULLMODE: return value >= GFX_CULL_NONE && value <= GFX_CULL_CCW;
    case GFX_RS_ZFUNC:
    case GFX_RS_ALPHAFUNC: return value >= GFX_CMP_NEVER && value <= GFX_CMP_ALWAYS;
    case GFX_RS_ALPHAREF: return value <= 0xFF;
    case GFX_RS_COLORWRITEENABLE: return value <= 0xF;
    case GFX_RS_BLENDOP: return value >= GFX_BLENDOP_ADD && value <= GFX_BLENDOP_MAX;
    default: return false;
  }
}

// How a declared element reaches the shader.
struct SAttributeFormat {
  unsigned size;
  MOJOSHADER_attributeType type;
  bool normalized;
  uint32_t bytes;
};

SAttributeFormat AttributeFormat(uint8_t type) {
  switch (type) {
    case GFX_DECLTYPE_FLOAT1: return {1, MOJOSHADER_ATTRIBUTE_FLOAT, false, 4};
    case GFX_DECLTYPE_FLOAT2: return {2, MOJOSHADER_ATTRIBUTE_FLOAT, false, 8};
    case GFX_DECLTYPE_FLOAT3: return {3, MOJOSHADER_ATTRIBUTE_FLOAT, false, 12};
    case GFX_DECLTYPE_FLOAT4: return {4, MOJOSHADER_ATTRIBUTE_FLOAT, false, 16};
    // The packed colour is stored B, G, R, A: GL reorders it when told the layout is BGRA.
    case GFX_DECLTYPE_D3DCOLOR: return {GL_BGRA, MOJOSHADER_ATTRIBUTE_UBYTE, true, 4};
    case GFX_DECLTYPE_UBYTE4: return {4, MOJOSHADER_ATTRIBUTE_UBYTE, false, 4};
    case GFX_DECLTYPE_UBYTE4N: return {4, MOJOSHADER_ATTRIBUTE_UBYTE, true, 4};
    case GFX_DECLTYPE_SHORT2: return {2, MOJOSHADER_ATTRIBUTE_SHORT, false, 4};
    case GFX_DECLTYPE_SHORT4: return {4, MOJOSHADER_ATTRIBUTE_SHORT, false, 8};
    case GFX_DECLTYPE_SHORT2N: return {2, MOJOSHADER_ATTRIBUTE_SHORT, true, 4};
    case GFX_DECLTYPE_SHORT4N: return {4, MOJOSHADER_ATTRIBUTE_SHORT, true, 8};
    case GFX_DECLTYPE_USHORT2N: return {2, MOJOSHADER_ATTRIBUTE_USHORT, true, 4};
    default: return {4, MOJOSHADER_ATTRIBUTE_USHORT, true, 8};
  }
}

bool PrimitiveToGl(uint32_t type, uint32_t primitives, GLenum* mode, GLsizei* vertices) {
  switch (type) {
    case GFX_PT_POINTLIST: *mode = GL_POINTS; *vertices = primitives; return true;
    case GFX_PT_LINELIST: *mode = GL_LINES; *vertices = primitives * 2; return true;
    case GFX_PT_LINESTRIP: *mode = GL_LINE_STRIP; *vertices = primitives + 1; return true;
    case GFX_PT_TRIANGLELIST: *mode = GL_TRIANGLES; *vertices = primitives * 3; return true;
    case GFX_PT_TRIANGLESTRIP: *mode = GL_TRIANGLE_STRIP; *vertices = primitives + 2; return true;
    case GFX_PT_TRIANGLEFAN: *mode = GL_TRIANGLE_FAN; *vertices = primitives + 2; return true;
    default: return false;
  }
}

bool Covers(const SGfxSurfaceDesc& outer, const SGfxSurfaceDesc& inner) {
  return outer.width >= inner.width && outer.height >= inner.height;
}

bool WholeOrInside(const SGfxRect* rect, const SGfxSurfaceDesc& desc, SGfxRect* out) {
  if (!rect) {
    *out = {0, 0, static_cast<int32_t>(desc.width), static_cast<int32_t>(desc.height)};
    return true;
  }
  *out = *rect;
  return rect->left >= 0 && rect->top >= 0 && rect->left < rect->right && rect->top < rect->bottom &&
         rect->right <= static_cast<int32_t>(desc.width) && rect->bottom <= static_cast<int32_t>(desc.height);
}

}  // namespace

// ---- applying state

// A colour surface and a depth surface (either may be null) as a framebuffer. Surfaces in the
// window make up the window's framebuffer; they cannot be paired with any other.
bool SGfxDeviceImpl::TargetFor(SGfxContext* ctx, CGfxSurface* colour, CGfxSurface* depth, SGfxFramebuffer* out) {
  const bool inWindow = (colour && colour->m_inWindow) || (depth && depth->m_inWindow);
  if (inWindow) {
    if ((colour && !colour->m_inWindow) || (depth && !depth->m_inWindow)) return false;
    *out = {0, true, params.backBufferHeight};
    return true;
  }
  *out = {FramebufferFor(ctx, colour, depth), false, colour ? colour->m_desc.height : 0};
  return out->name != 0;
}

// Binds the render target with its depth buffer. `depthUsed`: the draw or clear reads or
// writes depth. Without it a depth buffer the window cannot pair, or one smaller than the
// target, is left out; with it the back buffer leaves the window for good, as the pair needs
// one framebuffer object.
bool SGfxDeviceImpl::BindTarget(SGfxContext* ctx, bool depthUsed) {
  CGfxSurface* colour = state.renderTarget;
  CGfxSurface* depth = state.depthStencil;
  // GL draws only where every attachment reaches: a smaller depth buffer (the back buffer's,
  // under a larger picture) would cut the drawing to its size.
  if (depth && !depthUsed && !Covers(depth->m_desc, colour->m_desc)) depth = nullptr;
  if (depth && colour->m_inWindow != depth->m_inWindow) {
    if (!depthUsed) {
      depth = nullptr;
    } else {
      windowRefused = true;
      if (!MoveBackBuffer(ctx, false)) return false;
    }
  }
  SGfxFramebuffer target;
  if (!TargetFor(ctx, colour, depth, &target)) return false;
  if (ctx->drawFramebuffer != target.name) {
    glBindFramebuffer(GL_FRAMEBUFFER, target.name);
    ctx->drawFramebuffer = target.name;
  }
  // The window's rows run bottom up: the lower-left origin turns the picture over there, so
  // that its top row still comes first on screen.
  const GLenum origin = target.bottomUp ? GL_LOWER_LEFT : GL_UPPER_LEFT;
  if (ctx->clipOrigin != origin) {
    glClipControl(origin, GL_ZERO_TO_ONE);
    ctx->clipOrigin = origin;
  }
  if (ctx->targetBottomUp != target.bottomUp || ctx->targetHeight != target.height) ctx->viewportKnown = false;
  ctx->targetBottomUp = target.bottomUp;
  ctx->targetHeight = target.height;
  ctx->targetHasDepth = depth != nullptr;
  return true;
}

// A rectangle of the engine's (top-down) rows in a bottom-up target of the given height.
static SGfxRect TurnedOver(const SGfxRect& r, uint32_t height) {
  const auto h = static_cast<int32_t>(height);
  return {r.left, h - r.bottom, r.right, h - r.top};
}

void SGfxDeviceImpl::ApplyViewport(SGfxContext* ctx) {
  const SGfxViewport& v = state.viewport;
  if (ctx->viewportKnown && std::memcmp(&ctx->viewport, &v, sizeof v) == 0) return;
  // Pixel centres lie on integer coordinates in the engine's convention and half way
  // between them in GL's: moving the viewport by half a pixel lines the two up. Vertically
  // the move is one rasteriser step (1/256 pixel) short, so that an edge falling exactly on a
  // pixel centre (among them the top of the viewport, where clipping puts one) decides as
  // the engine's device did: top edges in, bottom edges out. The scissor keeps drawing
  // inside the viewport, as the engine's device clipped it. In a bottom-up target the same
  // moves point the other way.
  const SGfxRect area = {static_cast<int32_t>(v.x), static_cast<int32_t>(v.y), static_cast<int32_t>(v.x + v.width),
                         static_cast<int32_t>(v.y + v.height)};
  const float step = 0.5f - 1.0f / 256.0f;
  SGfxRect scissor = area;
  float y = static_cast<float>(v.y) + step;
  if (ctx->targetBottomUp) {
    scissor = TurnedOver(area, ctx->targetHeight);
    y = static_cast<float>(scissor.top) - step;
  }
  glViewportIndexedf(0, static_cast<float>(v.x) + 0.5f, y, static_cast<float>(v.width), static_cast<float>(v.height));
  glDepthRangeIndexed(0, v.minZ, v.maxZ);
  glScissor(scissor.left, scissor.top, scissor.right - scissor.left, scissor.bottom - scissor.top);
  ctx->viewport = v;
  ctx->viewportKnown = true;
}

namespace {

// Whether a fragment at depth `depth` passes `func` against a buffer holding `held`: only
// where that is sure after both are stored at the buffer's precision (which keeps order).
bool DepthAlwaysPasses(uint32_t func, float depth, float held) {
  switch (func) {
    case GFX_CMP_ALWAYS: return true;
    case GFX_CMP_EQUAL: return depth == held;
    case GFX_CMP_LESSEQUAL: return depth <= held;
    case GFX_CMP_GREATEREQUAL: return depth >= held;
    default: return false;
  }
}

}  // namespace

uint32_t SGfxDeviceImpl::DepthTestFor(const SGfxContext* ctx) const {
  // Without a depth buffer the test passes everywhere; the window's framebuffer has one of
  // its own, which must then be left alone.
  const uint32_t* want = state.renderStates;
  if (!ctx->targetHasDepth || !want[GFX_RS_ZENABLE]) return 0;
  const CGfxSurface* depth = state.depthStencil;
  if (!drawDepthKnown || !depth || !depth->m_depthUniform || !(drawDepth >= 0.0f && drawDepth <= 1.0f)) return 1;
  // Without the test GL writes no depth either: exact when a write would store the held value.
  const SGfxViewport& v = state.viewport;
  const float fragment = v.minZ + drawDepth * (v.maxZ - v.minZ);
  const bool storesOther = want[GFX_RS_ZWRITEENABLE] && fragment != depth->m_depthValue;
  return DepthAlwaysPasses(want[GFX_RS_ZFUNC], fragment, depth->m_depthValue) && !storesOther ? 0 : 1;
}

void SGfxDeviceImpl::NoteDepthWrites(const SGfxContext* ctx) {
  if (ctx->renderStates[GFX_RS_ZENABLE] && state.renderStates[GFX_RS_ZWRITEENABLE] && state.depthStencil)
    state.depthStencil->m_depthUniform = false;
}

void SGfxDeviceImpl::ApplyRenderStates(SGfxContext* ctx) {
  const uint32_t* want = state.renderStates;
  uint32_t* have = ctx->renderStates;
  auto changed = [&](uint32_t s) { return want[s] != have[s]; };
  auto enable = [](GLenum cap, bool on) { on ? glEnable(cap) : glDisable(cap); };

  const uint32_t zenable = DepthTestFor(ctx);
  if (zenable != have[GFX_RS_ZENABLE]) enable(GL_DEPTH_TEST, zenable != 0);
  if (changed(GFX_RS_ZWRITEENABLE)) glDepthMask(want[GFX_RS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
  if (changed(GFX_RS_ZFUNC)) glDepthFunc(GlCompare(want[GFX_RS_ZFUNC]));
  if (changed(GFX_RS_ALPHATESTENABLE)) enable(GL_ALPHA_TEST, want[GFX_RS_ALPHATESTENABLE] != 0);
  if (changed(GFX_RS_ALPHAFUNC) || changed(GFX_RS_ALPHAREF))
    glAlphaFunc(GlCompare(want[GFX_RS_ALPHAFUNC]), static_cast<float>(want[GFX_RS_ALPHAREF]) / 255.0f);
  if (changed(GFX_RS_ALPHABLENDENABLE)) enable(GL_BLEND, want[GFX_RS_ALPHABLENDENABLE] != 0);
  if (changed(GFX_RS_SRCBLEND) || changed(GFX_RS_DESTBLEND))
    glBlendFunc(GlBlend(want[GFX_RS_SRCBLEND]), GlBlend(want[GFX_RS_DESTBLEND]));
  if (changed(GFX_RS_BLENDOP)) glBlendEquation(GlBlendOp(want[GFX_RS_BLENDOP]));
  if (changed(GFX_RS_CULLMODE)) {
    const uint32_t cull = want[GFX_RS_CULLMODE];
    enable(GL_CULL_FACE, cull != GFX_CULL_NONE);
    // GL decides the winding after the top-row-first flip, so it sees screen winding as is:
    // culling clockwise triangles means counter-clockwise ones are the front.
    if (cull != GFX_CULL_NONE) {
      glCullFace(GL_BACK);
      glFrontFace(cull == GFX_CULL_CW ? GL_CCW : GL_CW);
    }
  }
  if (changed(GFX_RS_COLORWRITEENABLE)) {
    const uint32_t mask = want[GFX_RS_COLORWRITEENABLE];
    glColorMask((mask & GFX_COLORWRITE_RED) != 0, (mask & GFX_COLORWRITE_GREEN) != 0,
                (mask & GFX_COLORWRITE_BLUE) != 0, (mask & GFX_COLORWRITE_ALPHA) != 0);
  }
  have[GFX_RS_ZENABLE] = zenable;
  for (uint32_t s : {GFX_RS_ZWRITEENABLE, GFX_RS_ZFUNC, GFX_RS_ALPHATESTENABLE, GFX_RS_ALPHAFUNC,
                     GFX_RS_ALPHAREF, GFX_RS_ALPHABLENDENABLE, GFX_RS_SRCBLEND, GFX_RS_DESTBLEND, GFX_RS_BLENDOP,
                     GFX_RS_CULLMODE, GFX_RS_COLORWRITEENABLE})
    have[s] = want[s];
}

void SGfxDeviceImpl::ApplySamplers(SGfxContext* ctx) {
  for (uint32_t unit = 0; unit < kGfxSamplers; ++unit) {
    CGfxTexture* texture = state.textures[unit];
    const GLuint name = texture ? texture->m_gl : 0;
    if (ctx->unitTextures[unit] != name) {
      glActiveTexture(GL_TEXTURE0 + unit);
      glBindTexture(GL_TEXTURE_2D, name);
      ctx->unitTextures[unit] = name;
    }
    if (!texture) continue;
    const uint32_t* want = state.samplerStates[unit];
    uint32_t* have = ctx->samplerStates[unit];
    const GLuint sampler = ctx->samplers[unit];
    if (want[GFX_SAMP_ADDRESSU] != have[GFX_SAMP_ADDRESSU])
      glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GlAddress(want[GFX_SAMP_ADDRESSU]));
    if (want[GFX_SAMP_ADDRESSV] != have[GFX_SAMP_ADDRESSV])
      glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GlAddress(want[GFX_SAMP_ADDRESSV]));
    if (want[GFX_SAMP_MAGFILTER] != have[GFX_SAMP_MAGFILTER])
      glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                          want[GFX_SAMP_MAGFILTER] >= GFX_TEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
    if (want[GFX_SAMP_MINFILTER] != have[GFX_SAMP_MINFILTER] || want[GFX_SAMP_MIPFILTER] != have[GFX_SAMP_MIPFILTER])
      glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER,
                          GlMinFilter(want[GFX_SAMP_MINFILTER], want[GFX_SAMP_MIPFILTER]));
    if (want[GFX_SAMP_BORDERCOLOR] != have[GFX_SAMP_BORDERCOLOR]) {
      const uint32_t c = want[GFX_SAMP_BORDERCOLOR];
      const float border[4] = {((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f,
                               (c >> 24) / 255.0f};
      glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, border);
    }
    std::memcpy(have, want, sizeof(uint32_t) * kGfxSamplerStateCount);
  }
}

// Points the shader's inputs at the streams, or for a user-memory draw at its vertices, which
// lie at `userOffset` in `userBuffer` (or in client memory when that is 0).
bool SGfxDeviceImpl::SetAttributes(const SGfxDrawCall& call, GLuint userBuffer, size_t userOffset) {
  for (const SGfxVertexElement& element : *state.elements) {
    const SAttributeFormat format = AttributeFormat(element.type);
    const SGfxDeviceState::SStream& stream = state.streams[element.stream];
    const void* pointer;
    uint32_t stride;
    if (call.userVertices) {
      if (element.stream != 0) return false;
      glBindBuffer(GL_ARRAY_BUFFER, userBuffer);
      // In a buffer the "pointer" is an offset into it: no arithmetic on a null pointer.
      const uintptr_t base = userBuffer ? 0 : reinterpret_cast<uintptr_t>(call.userVertices);
      pointer = reinterpret_cast<const void*>(base + userOffset + element.offset);
      stride = call.userStride;
    } else {
      if (!stream.buffer || !stream.buffer->m_gl) return false;
      glBindBuffer(GL_ARRAY_BUFFER, stream.buffer->m_gl);
      pointer = reinterpret_cast<const void*>(static_cast<uintptr_t>(stream.offset + element.offset));
      stride = stream.stride;
    }
    MOJOSHADER_glSetVertexAttribute(static_cast<MOJOSHADER_usage>(element.usage), element.usageIndex, format.size,
                                    format.type, format.normalized, stride, pointer);
  }
  return true;
}

// Names the vertex layout in use for as long as the device lives: a declaration by its serial
// number, a fixed vertex format by its layout's address (those layouts are never freed).
uint64_t SGfxDeviceImpl::LayoutKey() const {
  if (state.declaration) return state.declaration->m_serial;
  return reinterpret_cast<uintptr_t>(state.elements) | (uint64_t{1} << 63);
}

// A buffered draw may only read vertices its buffers hold.
bool SGfxDeviceImpl::StreamsHold(const SGfxDeviceState& state, uint64_t lastVertex) {
  for (const SGfxVertexElement& element : *state.elements) {
    const SGfxDeviceState::SStream& stream = state.streams[element.stream];
    if (!stream.buffer) return false;
    const uint64_t end = stream.offset + lastVertex * stream.stride + element.offset +
                         AttributeFormat(element.type).bytes;
    if (end > stream.buffer->m_shadow.size()) return false;
  }
  return true;
}

uint32_t SGfxDeviceImpl::Draw(SGfxContext* ctx, const SGfxDrawCall& call) {
  if (lost) return GFX_ERR_DEVICE_LOST;
  if (!inScene || !state.elements) return GFX_ERR_INVALID_CALL;
  if (!state.vertexShader || !state.pixelShader) {
    GfxReport("Platform/GraphicsDevice", "Draw without a vertex and a pixel shader: fixed-function drawing is not offered");
    return GFX_ERR_INVALID_CALL;
  }
  // The depth a caller noted holds for this draw alone.
  struct SForgetDrawDepth {
    bool& known;
    ~SForgetDrawDepth() { known = false; }
  } forget{drawDepthKnown};
  // Nothing changed since the gathered draw: this one joins it, and no GL call is made.
  if (call.userVertices && AppendToBatch(ctx, call)) return GFX_OK;
  FlushBatch(ctx);
  MOJOSHADER_glShader* vertex = Compiled(ctx, state.vertexShader);
  MOJOSHADER_glShader* pixel = Compiled(ctx, state.pixelShader);
  if (!vertex || !pixel || !BindTarget(ctx, state.renderStates[GFX_RS_ZENABLE] != 0)) return GFX_ERR_INVALID_CALL;
  ApplyViewport(ctx);
  ApplyRenderStates(ctx);
  NoteDepthWrites(ctx);
  ApplySamplers(ctx);
  // Linking and the driver's first use of a program keep driver state of their own.
  SGfxDriverScope driver;
  if (!ctx->shadersKnown || ctx->boundVertex != vertex || ctx->boundPixel != pixel) {
    ctx->ringLayout = 0;  // a program bound anew needs its inputs set again
    MOJOSHADER_glBindShaders(vertex, pixel);
    ctx->boundVertex = vertex;
    ctx->boundPixel = pixel;
    ctx->shadersKnown = true;
  }
  if (ctx->vsDirtyLow < ctx->vsDirtyHigh) {
    MOJOSHADER_glSetVertexShaderUniformF(ctx->vsDirtyLow, state.vertexConstants + ctx->vsDirtyLow * 4,
                                         ctx->vsDirtyHigh - ctx->vsDirtyLow);
    ctx->vsDirtyLow = kGfxVertexConstants;
    ctx->vsDirtyHigh = 0;
  }
  if (ctx->psDirtyLow < ctx->psDirtyHigh) {
    MOJOSHADER_glSetPixelShaderUniformF(ctx->psDirtyLow, state.pixelConstants + ctx->psDirtyLow * 4,
                                        ctx->psDirtyHigh - ctx->psDirtyLow);
    ctx->psDirtyLow = kGfxPixelConstants;
    ctx->psDirtyHigh = 0;
  }
  const bool gathered = call.userVertices && OpenBatch(ctx, call);
  if (!gathered) {
    ctx->ringLayout = 0;
    if (!SetAttributes(call, 0, 0)) return GFX_ERR_INVALID_CALL;
  }
  MOJOSHADER_glProgramReady();
  // Clip control turns the picture over where needed: no flip of the pixel position here.
  MOJOSHADER_glProgramViewportInfo(static_cast<int>(state.viewport.width), static_cast<int>(state.viewport.height),
                                   static_cast<int>(params.backBufferWidth), static_cast<int>(params.backBufferHeight),
                                   1);
  if (gathered) return GFX_OK;
  ++glDraws;
  if (call.indexed) {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, call.indexBuffer);
    glDrawElementsBaseVertex(call.mode, call.count, call.indexType, call.indexPointer, call.baseVertex);
  } else {
    glDrawArrays(call.mode, call.first, call.count);
  }
  return GFX_OK;
}

// ---- user-memory draws

namespace {

constexpr size_t kVertexRingBytes = size_t{4} << 20;
constexpr size_t kIndexRingBytes = size_t{1} << 20;
// The quad index buffer covers this many indices (whole quads of 16-bit indices).
constexpr GLsizei kQuadIndexCount = 65536 / 6 * 6;

// A fresh mapped buffer of at least `bytes` (the ring's own size unless a draw needs more).
bool RenewRing(SGfxStreamRing& ring, size_t bytes) {
  if (ring.name) glDeleteBuffers(1, &ring.name);
  ring = {0, nullptr, std::max(ring.size, bytes), 0};
  const GLbitfield flags = GL_MAP_WRITE_BIT | GL_MAP_PERSISTENT_BIT | GL_MAP_COHERENT_BIT;
  glGenBuffers(1, &ring.name);
  glBindBuffer(GL_COPY_WRITE_BUFFER, ring.name);
  glBufferStorage(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(ring.size), nullptr, flags);
  ring.data = static_cast<uint8_t*>(glMapBufferRange(GL_COPY_WRITE_BUFFER, 0, static_cast<GLsizeiptr>(ring.size), flags));
  if (!ring.data) {
    glDeleteBuffers(1, &ring.name);
    ring.name = 0;
  }
  return ring.data != nullptr;
}

// Copies data to the end of the ring, at a multiple of `align`, renewing the ring when full;
// false when no buffer can be had.
bool Stream(SGfxStreamRing& ring, size_t defaultSize, const void* data, size_t bytes, size_t align, size_t* offset) {
  if (ring.size == 0) ring.size = defaultSize;
  ring.used = (ring.used + align - 1) / align * align;
  if ((!ring.data || ring.used + bytes > ring.size) && !RenewRing(ring, bytes)) return false;
  *offset = ring.used;
  std::memcpy(ring.data + ring.used, data, bytes);
  ring.used += bytes;
  return true;
}

GLuint MakeQuadIndexBuffer() {
  static const uint16_t pattern[6] = {0, 1, 2, 2, 3, 0};
  std::vector<uint16_t> indices(kQuadIndexCount);
  for (GLsizei i = 0; i < kQuadIndexCount; ++i) indices[i] = static_cast<uint16_t>(4 * (i / 6) + pattern[i % 6]);
  GLuint name = 0;
  glGenBuffers(1, &name);
  glBindBuffer(GL_COPY_WRITE_BUFFER, name);
  glBufferData(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(indices.size() * 2), indices.data(), GL_STATIC_DRAW);
  return name;
}

// Lists of separate primitives can be joined end to end; strips and fans cannot.
bool Joinable(GLenum mode) { return mode == GL_TRIANGLES || mode == GL_LINES || mode == GL_POINTS; }

}  // namespace

// Joins a user-memory draw to the gathered one when the state is the same and its vertices
// can follow the gathered ones in the ring.
bool SGfxDeviceImpl::AppendToBatch(SGfxContext* ctx, const SGfxDrawCall& call) {
  SGfxBatch& batch = ctx->batch;
  SGfxStreamRing& ring = ctx->vertexRing;
  const size_t bytes = size_t{call.userVertexCount} * call.userStride;
  const bool sameKind = call.indexed ? call.quadList && batch.quads : !batch.indexed;
  if (!batch.open || batch.epoch != stateEpoch || DepthTestFor(ctx) != ctx->renderStates[GFX_RS_ZENABLE] ||
      batch.mode != call.mode || !Joinable(call.mode) || !sameKind ||
      batch.stride != call.userStride || ring.used + bytes > ring.size ||
      ring.used != batch.firstVertexByte + size_t{batch.vertexCount} * batch.stride ||
      (batch.quads && batch.count + call.count > kQuadIndexCount))
    return false;
  std::memcpy(ring.data + ring.used, call.userVertices, bytes);
  ring.used += bytes;
  batch.vertexCount += call.userVertexCount;
  batch.count += call.count;
  return true;
}

// Streams a user-memory draw's data, points the shader's inputs at it and opens a gathered
// draw with it; false (nothing changed) when no stream buffer can be had.
bool SGfxDeviceImpl::OpenBatch(SGfxContext* ctx, const SGfxDrawCall& call) {
  SGfxBatch batch;
  batch.mode = call.mode;
  batch.indexed = call.indexed;
  batch.quads = call.indexed && call.quadList && call.count <= kQuadIndexCount;
  batch.indexType = call.indexType;
  batch.stride = call.userStride;
  batch.vertexCount = call.userVertexCount;
  batch.count = call.count;
  if (batch.quads && !ctx->quadIndices) ctx->quadIndices = MakeQuadIndexBuffer();
  if (batch.indexed && !batch.quads) {
    const size_t indexBytes = size_t(call.count) * (call.indexType == GL_UNSIGNED_INT ? 4 : 2);
    if (!Stream(ctx->indexRing, kIndexRingBytes, call.indexPointer, indexBytes, 4, &batch.indexByte)) return false;
  }
  // Vertices start at a whole vertex, so that draws reach them through a base vertex and the
  // shader inputs stay pointed at the ring's start from one draw to the next.
  const size_t vertexBytes = size_t{call.userVertexCount} * call.userStride;
  const GLuint ringBefore = ctx->vertexRing.name;
  if (!Stream(ctx->vertexRing, kVertexRingBytes, call.userVertices, vertexBytes, call.userStride, &batch.firstVertexByte))
    return false;
  if (ctx->vertexRing.name != ringBefore || ctx->ringLayout != LayoutKey() || ctx->ringLayoutStride != call.userStride) {
    if (!SetAttributes(call, ctx->vertexRing.name, 0)) return false;
    ctx->ringLayout = LayoutKey();
    ctx->ringLayoutStride = call.userStride;
  }
  batch.open = true;
  batch.epoch = stateEpoch;
  ctx->batch = batch;
  return true;
}

void SGfxDeviceImpl::FlushBatch(SGfxContext* ctx) {
  SGfxBatch& batch = ctx->batch;
  if (!batch.open) return;
  batch.open = false;
  ++glDraws;
  SGfxDriverScope driver;
  const auto baseVertex = static_cast<GLint>(batch.firstVertexByte / batch.stride);
  if (!batch.indexed) {
    glDrawArrays(batch.mode, baseVertex, batch.count);
    return;
  }
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, batch.quads ? ctx->quadIndices : ctx->indexRing.name);
  const size_t offset = batch.quads ? 0 : batch.indexByte;
  glDrawElementsBaseVertex(batch.mode, batch.count, batch.quads ? GL_UNSIGNED_SHORT : batch.indexType,
                           reinterpret_cast<const void*>(offset), baseVertex);
}

void SGfxDeviceImpl::ReleaseStreams(SGfxContext* ctx) {
  ctx->batch.open = false;
  for (SGfxStreamRing* ring : {&ctx->vertexRing, &ctx->indexRing}) {
    if (ring->name) glDeleteBuffers(1, &ring->name);
    *ring = {};
  }
  if (ctx->quadIndices) glDeleteBuffers(1, &ctx->quadIndices);
  ctx->quadIndices = 0;
}

// ---- blits

uint32_t SGfxDeviceImpl::Blit(SGfxContext* ctx, const SGfxFramebuffer& source, const SGfxRect& sourceRect,
                              const SGfxFramebuffer& dest, const SGfxRect& destRect, GLenum filter, GLbitfield mask) {
  // Rows of a bottom-up framebuffer are counted from the other end: the copy turns over.
  const SGfxRect from = source.bottomUp ? TurnedOver(sourceRect, source.height) : sourceRect;
  const SGfxRect to = dest.bottomUp ? TurnedOver(destRect, dest.height) : destRect;
  glBindFramebuffer(GL_READ_FRAMEBUFFER, source.name);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, dest.name);
  glDisable(GL_SCISSOR_TEST);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  if (mask & GL_DEPTH_BUFFER_BIT) glDepthMask(GL_TRUE);
  if (mask & GL_STENCIL_BUFFER_BIT) glStencilMask(0xFF);
  SGfxDriverScope driver;  // so is a blit
  glBlitFramebuffer(from.left, source.bottomUp ? from.bottom : from.top, from.right,
                    source.bottomUp ? from.top : from.bottom, to.left, dest.bottomUp ? to.bottom : to.top, to.right,
                    dest.bottomUp ? to.top : to.bottom, mask, filter);
  glEnable(GL_SCISSOR_TEST);
  ctx->renderStates[GFX_RS_COLORWRITEENABLE] = kGfxUnknown;
  ctx->renderStates[GFX_RS_ZWRITEENABLE] = kGfxUnknown;
  ctx->drawFramebuffer = kGfxUnknown;
  return GFX_OK;
}

// Software drivers neither flush nor wait at the swap, so frames would queue up without
// bound. This frame is sent off behind a fence and the previous frame's fence is waited for:
// the processor prepares the next frame while this one is drawn, one frame in flight at most.
void SGfxDeviceImpl::WaitForPreviousFrame(SGfxContext* ctx) {
  GLsync previous = ctx->frameFence;
  ctx->frameFence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
  glFlush();
  if (!previous) return;
  // Bounded: a context that stopped drawing must not hang the program.
  constexpr GLuint64 kStepNs = 100'000'000;
  for (int step = 0; step < 50; ++step) {
    const GLenum status = glClientWaitSync(previous, 0, kStepNs);
    if (status != GL_TIMEOUT_EXPIRED) break;
  }
  glDeleteSync(previous);
}

CGfxSurface* SGfxDeviceImpl::Resolved(SGfxContext* ctx, CGfxSurface* surface) {
  if (surface->m_desc.multisample == 0) return surface;
  if (surface != backBuffer || !resolve) return nullptr;
  const SGfxRect whole = {0, 0, static_cast<int32_t>(params.backBufferWidth),
                          static_cast<int32_t>(params.backBufferHeight)};
  SGfxFramebuffer from, to;
  if (!TargetFor(ctx, backBuffer, nullptr, &from) || !TargetFor(ctx, resolve, nullptr, &to) ||
      Blit(ctx, from, whole, to, whole, GL_NEAREST) != GFX_OK)
    return nullptr;
  return resolve;
}

// ---- device calls

uint32_t CGfxDevice::BeginScene() {
  Guard guard(SGfxDeviceImpl::Lock());
  if (m_impl->inScene) return GFX_ERR_INVALID_CALL;
  m_impl->inScene = true;
  return GFX_OK;
}

uint32_t CGfxDevice::EndScene() {
  Guard guard(SGfxDeviceImpl::Lock());
  if (!m_impl->inScene) return GFX_ERR_INVALID_CALL;
  m_impl->inScene = false;
  return GFX_OK;
}

uint32_t CGfxDevice::Present() {
  Guard guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  if (impl.lost) return GFX_ERR_DEVICE_LOST;
  SGfxContext* ctx = impl.Enter();
  if (!ctx || impl.inScene) return GFX_ERR_INVALID_CALL;
  if (!ctx->holdsWindow) {
    GfxReport("Platform/GraphicsDevice", "Present from a context that does not hold the window");
    return GFX_ERR_INVALID_CALL;
  }
  // A back buffer of its own is copied into the window, scaled to the window's size.
  if (!impl.backBuffer->m_inWindow) {
    CGfxSurface* source = impl.Resolved(ctx, impl.backBuffer);
    SGfxFramebuffer from;
    if (!source || !impl.TargetFor(ctx, source, nullptr, &from)) return GFX_ERR_INVALID_CALL;
    // The whole picture goes into the whole of the window's framebuffer as it is now.
    impl.ReadWindowSize();
    const auto width = static_cast<int32_t>(impl.windowWidth), height = static_cast<int32_t>(impl.windowHeight);
    const SGfxRect sourceRect = {0, 0, static_cast<int32_t>(impl.params.backBufferWidth),
                                 static_cast<int32_t>(impl.params.backBufferHeight)};
    const SGfxRect windowRect = {0, 0, width, height};
    const bool sameSize = width == sourceRect.right && height == sourceRect.bottom;
    impl.Blit(ctx, from, sourceRect, {0, true, static_cast<uint32_t>(height)}, windowRect,
              sameSize ? GL_NEAREST : GL_LINEAR);
  }
  SDL_GL_SwapWindow(impl.window);
  impl.WaitForPreviousFrame(ctx);
  // The window may have changed size meanwhile: the back buffer goes where it fits now.
  impl.SettleBackBuffer(ctx);
  return GFX_OK;
}

uint32_t CGfxDevice::WaitForIdle() {
  Guard guard(SGfxDeviceImpl::Lock());
  if (!m_impl->Enter()) return GFX_ERR_INVALID_CALL;
  glFinish();
  return GFX_OK;
}

uint32_t CGfxDevice::Clear(uint32_t rectCount, const SGfxRect* rects, uint32_t flags, uint32_t color, float z,
                           uint32_t stencil) {
  Guard guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  SGfxDeviceState& state = impl.state;
  if (impl.lost) return GFX_ERR_DEVICE_LOST;
  SGfxContext* ctx = impl.Enter();
  if (!ctx || (rectCount > 0 && !rects) || (flags & ~kGfxClearAllFlags) || flags == 0) return GFX_ERR_INVALID_CALL;
  if ((flags & (GFX_CLEAR_ZBUFFER | GFX_CLEAR_STENCIL)) && !state.depthStencil) return GFX_ERR_INVALID_CALL;
  if (!impl.BindTarget(ctx, (flags & (GFX_CLEAR_ZBUFFER | GFX_CLEAR_STENCIL)) != 0)) return GFX_ERR_INVALID_CALL;
  GLbitfield mask = 0;
  if (flags & GFX_CLEAR_TARGET) {
    mask |= GL_COLOR_BUFFER_BIT;
    glClearColor(((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f, (color & 0xFF) / 255.0f,
                 (color >> 24) / 255.0f);
  }
  if (flags & GFX_CLEAR_ZBUFFER) {
    mask |= GL_DEPTH_BUFFER_BIT;
    glClearDepth(std::clamp(z, 0.0f, 1.0f));
  }
  if (flags & GFX_CLEAR_STENCIL) {
    mask |= GL_STENCIL_BUFFER_BIT;
    glClearStencil(static_cast<GLint>(stencil & 0xFF));
  }
  // A clear reaches every channel whatever the write masks say, as on the engine's device.
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDepthMask(GL_TRUE);
  glStencilMask(0xFF);
  ctx->renderStates[GFX_RS_COLORWRITEENABLE] = kGfxUnknown;
  ctx->renderStates[GFX_RS_ZWRITEENABLE] = kGfxUnknown;
  ctx->viewportKnown = false;
  const SGfxViewport& v = state.viewport;
  const SGfxRect viewportRect = {static_cast<int32_t>(v.x), static_cast<int32_t>(v.y),
                                 static_cast<int32_t>(v.x + v.width), static_cast<int32_t>(v.y + v.height)};
  auto clearRect = [&](const SGfxRect& r) {
    const int32_t left = std::max(r.left, viewportRect.left), top = std::max(r.top, viewportRect.top);
    const int32_t right = std::min(r.right, viewportRect.right), bottom = std::min(r.bottom, viewportRect.bottom);
    if (left >= right || top >= bottom) return;
    SGfxRect area = {left, top, right, bottom};
    if (ctx->targetBottomUp) area = TurnedOver(area, ctx->targetHeight);
    glScissor(area.left, area.top, area.right - area.left, area.bottom - area.top);
    SGfxDriverScope driver;  // a partial clear is a draw inside the driver
    glClear(mask);
  };
  if (rectCount == 0) clearRect(viewportRect);
  for (uint32_t i = 0; i < rectCount; ++i) clearRect(rects[i]);
  if (flags & GFX_CLEAR_ZBUFFER) impl.NoteDepthClear(rectCount == 0 ? &viewportRect : nullptr, std::clamp(z, 0.0f, 1.0f));
  return GFX_OK;
}

void SGfxDeviceImpl::NoteDepthClear(const SGfxRect* area, float value) {
  CGfxSurface* depth = state.depthStencil;
  const SGfxSurfaceDesc& desc = depth->m_desc;
  const bool whole = area && area->left <= 0 && area->top <= 0 && area->right >= static_cast<int32_t>(desc.width) &&
                     area->bottom >= static_cast<int32_t>(desc.height);
  depth->m_depthUniform = whole || (depth->m_depthUniform && depth->m_depthValue == value);
  depth->m_depthValue = value;
}

void CGfxDevice::NoteDrawDepth(float z) {
  Guard guard(SGfxDeviceImpl::Lock());
  m_impl->drawDepthKnown = true;
  m_impl->drawDepth = z;
}

uint32_t CGfxDevice::SetViewport(const SGfxViewport& viewport) {
  Guard guard(SGfxDeviceImpl::Lock());
  SGfxDeviceState& state = m_impl->state;
  if (!state.renderTarget) return GFX_ERR_INVALID_CALL;
  const SGfxSurfaceDesc& target = state.renderTarget->m_desc;
  if (viewport.width == 0 || viewport.height == 0 || uint64_t{viewport.x} + viewport.width > target.width ||
      uint64_t{viewport.y} + viewport.height > target.height || !(viewport.minZ >= 0.0f && viewport.minZ <= 1.0f) ||
      !(viewport.maxZ >= 0.0f && viewport.maxZ <= 1.0f))
    return GFX_ERR_INVALID_CALL;
  if (std::memcmp(&state.viewport, &viewport, sizeof viewport) != 0) ++m_impl->stateEpoch;
  state.viewport = viewport;
  return GFX_OK;
}

uint32_t CGfxDevice::GetViewport(SGfxViewport* viewport) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (!viewport) return GFX_ERR_INVALID_CALL;
  *viewport = m_impl->state.viewport;
  return GFX_OK;
}

uint32_t CGfxDevice::SetRenderState(uint32_t state, uint32_t value) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (!ValidRenderState(state, value)) return GFX_ERR_INVALID_CALL;
  m_impl->Change(m_impl->state.renderStates[state], value);
  return GFX_OK;
}

uint32_t CGfxDevice::GetRenderState(uint32_t state, uint32_t* value) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (!value || state >= kGfxRenderStateCount) return GFX_ERR_INVALID_CALL;
  *value = m_impl->state.renderStates[state];
  return GFX_OK;
}

uint32_t CGfxDevice::SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (sampler >= kGfxSamplers) return GFX_ERR_INVALID_CALL;
  bool valid;
  switch (type) {
    case GFX_SAMP_ADDRESSU:
    case GFX_SAMP_ADDRESSV:
    case GFX_SAMP_ADDRESSW: valid = value >= GFX_TADDRESS_WRAP && value <= GFX_TADDRESS_BORDER; break;
    case GFX_SAMP_BORDERCOLOR: valid = true; break;
    case GFX_SAMP_MAGFILTER:
    case GFX_SAMP_MINFILTER: valid = value == GFX_TEXF_POINT || value == GFX_TEXF_LINEAR; break;
    case GFX_SAMP_MIPFILTER: valid = value <= GFX_TEXF_LINEAR; break;
    default: valid = false;
  }
  if (!valid) return GFX_ERR_INVALID_CALL;
  m_impl->Change(m_impl->state.samplerStates[sampler][type], value);
  return GFX_OK;
}

uint32_t CGfxDevice::GetSamplerState(uint32_t sampler, uint32_t type, uint32_t* value) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (!value || sampler >= kGfxSamplers || type >= kGfxSamplerStateCount) return GFX_ERR_INVALID_CALL;
  *value = m_impl->state.samplerStates[sampler][type];
  return GFX_OK;
}

uint32_t CGfxDevice::SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (stage >= kGfxTextureStages || type == 0 || type >= kGfxStageStateCount) return GFX_ERR_INVALID_CALL;
  m_impl->state.stageStates[stage][type] = value;
  return GFX_OK;
}

uint32_t CGfxDevice::GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (!value || stage >= kGfxTextureStages || type >= kGfxStageStateCount) return GFX_ERR_INVALID_CALL;
  *value = m_impl->state.stageStates[stage][type];
  return GFX_OK;
}

// Replaces a held binding, keeping the reference counts right; a new one is a change of state.
template <typename T>
static void Rebind(SGfxDeviceImpl& impl, T*& slot, T* object) {
  if (slot == object) return;
  if (object) object->AddRef();
  if (slot) slot->Release();
  slot = object;
  ++impl.stateEpoch;
}

uint32_t CGfxDevice::SetTexture(uint32_t sampler, CGfxTexture* texture) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (sampler >= kGfxSamplers || (texture && texture->m_device != this)) return GFX_ERR_INVALID_CALL;
  Rebind(*m_impl, m_impl->state.textures[sampler], texture);
  return GFX_OK;
}

uint32_t CGfxDevice::SetStreamSource(uint32_t stream, CGfxVertexBuffer* buffer, uint32_t offset, uint32_t stride) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (stream >= kGfxStreams || (buffer && buffer->m_device != this) || stride > 2048) return GFX_ERR_INVALID_CALL;
  SGfxDeviceState::SStream& slot = m_impl->state.streams[stream];
  Rebind(*m_impl, slot.buffer, buffer);
  m_impl->Change(slot.offset, offset);
  m_impl->Change(slot.stride, stride);
  return GFX_OK;
}

uint32_t CGfxDevice::SetStreamSourceFreq(uint32_t stream, uint32_t frequency) {
  Guard guard(SGfxDeviceImpl::Lock());
  // Instanced drawing is not offered: every stream advances once per vertex.
  if (stream >= kGfxStreams || frequency != 1) return GFX_ERR_INVALID_CALL;
  m_impl->state.streams[stream].frequency = frequency;
  return GFX_OK;
}

uint32_t CGfxDevice::SetIndices(CGfxIndexBuffer* buffer) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (buffer && buffer->m_device != this) return GFX_ERR_INVALID_CALL;
  Rebind(*m_impl, m_impl->state.indices, buffer);
  return GFX_OK;
}

uint32_t CGfxDevice::SetVertexDeclaration(CGfxVertexDeclaration* decl) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (decl && decl->m_device != this) return GFX_ERR_INVALID_CALL;
  Rebind(*m_impl, m_impl->state.declaration, decl);
  const std::vector<SGfxVertexElement>* elements = decl ? &decl->m_elements : nullptr;
  if (m_impl->state.elements != elements) ++m_impl->stateEpoch;
  m_impl->state.elements = elements;
  return GFX_OK;
}

uint32_t CGfxDevice::SetFVF(uint32_t fvf) {
  Guard guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  const uint32_t known = GFX_FVF_XYZ | GFX_FVF_NORMAL | GFX_FVF_DIFFUSE | GFX_FVF_SPECULAR | GFX_FVF_TEXCOUNT_MASK;
  const uint32_t texCount = (fvf & GFX_FVF_TEXCOUNT_MASK) >> GFX_FVF_TEXCOUNT_SHIFT;
  // Only untransformed positions with two-component texture coordinates are offered.
  if ((fvf & ~known) || !(fvf & GFX_FVF_XYZ) || texCount > 8) return GFX_ERR_INVALID_CALL;
  auto found = impl.fvfLayouts.find(fvf);
  if (found == impl.fvfLayouts.end()) {
    std::vector<SGfxVertexElement> layout;
    uint16_t offset = 0;
    auto add = [&](uint8_t type, uint8_t usage, uint8_t index, uint16_t size) {
      layout.push_back({0, offset, type, 0, usage, index});
      offset = static_cast<uint16_t>(offset + size);
    };
    add(GFX_DECLTYPE_FLOAT3, GFX_DECLUSAGE_POSITION, 0, 12);
    if (fvf & GFX_FVF_NORMAL) add(GFX_DECLTYPE_FLOAT3, GFX_DECLUSAGE_NORMAL, 0, 12);
    if (fvf & GFX_FVF_DIFFUSE) add(GFX_DECLTYPE_D3DCOLOR, GFX_DECLUSAGE_COLOR, 0, 4);
    if (fvf & GFX_FVF_SPECULAR) add(GFX_DECLTYPE_D3DCOLOR, GFX_DECLUSAGE_COLOR, 1, 4);
    for (uint32_t i = 0; i < texCount; ++i) add(GFX_DECLTYPE_FLOAT2, GFX_DECLUSAGE_TEXCOORD, static_cast<uint8_t>(i), 8);
    found = impl.fvfLayouts.emplace(fvf, std::move(layout)).first;
  }
  Rebind(impl, impl.state.declaration, static_cast<CGfxVertexDeclaration*>(nullptr));
  if (impl.state.elements != &found->second) ++impl.stateEpoch;
  impl.state.elements = &found->second;
  return GFX_OK;
}

uint32_t CGfxDevice::SetVertexShader(CGfxShader* shader) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (shader && (shader->m_device != this || shader->IsPixelShader())) return GFX_ERR_INVALID_CALL;
  Rebind(*m_impl, m_impl->state.vertexShader, shader);
  return GFX_OK;
}

uint32_t CGfxDevice::SetPixelShader(CGfxShader* shader) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (shader && (shader->m_device != this || !shader->IsPixelShader())) return GFX_ERR_INVALID_CALL;
  Rebind(*m_impl, m_impl->state.pixelShader, shader);
  return GFX_OK;
}

uint32_t SGfxDeviceImpl::SetConstants(float* store, uint32_t capacity, bool pixel, uint32_t start,
                                      const float* data, uint32_t count) {
  if (!data || start > capacity || count > capacity - start) return GFX_ERR_INVALID_CALL;
  // Constants set again to what they hold change nothing (the draw layer does that often).
  if (std::memcmp(store + start * 4, data, sizeof(float) * 4 * count) == 0) return GFX_OK;
  std::memcpy(store + start * 4, data, sizeof(float) * 4 * count);
  ++stateEpoch;
  // Every context uploads the changed registers before its next draw.
  auto widen = [&](SGfxContext* ctx) {
    uint32_t& low = pixel ? ctx->psDirtyLow : ctx->vsDirtyLow;
    uint32_t& high = pixel ? ctx->psDirtyHigh : ctx->vsDirtyHigh;
    low = std::min(low, start);
    high = std::max(high, start + count);
  };
  if (main) widen(main);
  for (SGfxContext* ctx : shared) widen(ctx);
  return GFX_OK;
}

uint32_t CGfxDevice::SetVertexShaderConstantF(uint32_t start, const float* data, uint32_t count) {
  Guard guard(SGfxDeviceImpl::Lock());
  return m_impl->SetConstants(m_impl->state.vertexConstants, kGfxVertexConstants, false, start, data, count);
}

uint32_t CGfxDevice::SetPixelShaderConstantF(uint32_t start, const float* data, uint32_t count) {
  Guard guard(SGfxDeviceImpl::Lock());
  return m_impl->SetConstants(m_impl->state.pixelConstants, kGfxPixelConstants, true, start, data, count);
}

// ---- targets

uint32_t CGfxDevice::GetBackBuffer(uint32_t swapChain, uint32_t index, CGfxSurface** surface) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (swapChain != 0 || index != 0 || !surface || !m_impl->backBuffer) return GFX_ERR_INVALID_CALL;
  m_impl->backBuffer->AddRef();
  *surface = m_impl->backBuffer;
  return GFX_OK;
}

uint32_t CGfxDevice::GetRenderTarget(uint32_t index, CGfxSurface** surface) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (index != 0 || !surface || !m_impl->state.renderTarget) return GFX_ERR_INVALID_CALL;
  m_impl->state.renderTarget->AddRef();
  *surface = m_impl->state.renderTarget;
  return GFX_OK;
}

uint32_t CGfxDevice::SetRenderTarget(uint32_t index, CGfxSurface* surface) {
  Guard guard(SGfxDeviceImpl::Lock());
  SGfxDeviceState& state = m_impl->state;
  // One render target at a time; the first may not be left empty.
  if (index != 0 || !surface || surface->m_device != this || surface->m_depth) return GFX_ERR_INVALID_CALL;
  Rebind(*m_impl, state.renderTarget, surface);
  state.viewport = {0, 0, surface->m_desc.width, surface->m_desc.height, 0.0f, 1.0f};
  ++m_impl->stateEpoch;
  return GFX_OK;
}

uint32_t CGfxDevice::GetDepthStencilSurface(CGfxSurface** surface) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (!surface) return GFX_ERR_INVALID_CALL;
  *surface = m_impl->state.depthStencil;
  if (!*surface) return GFX_ERR_NOT_FOUND;
  (*surface)->AddRef();
  return GFX_OK;
}

uint32_t CGfxDevice::SetDepthStencilSurface(CGfxSurface* surface) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (surface && (surface->m_device != this || !surface->m_depth)) return GFX_ERR_INVALID_CALL;
  Rebind(*m_impl, m_impl->state.depthStencil, surface);
  return GFX_OK;
}

uint32_t CGfxDevice::StretchRect(CGfxSurface* source, const SGfxRect* sourceRect, CGfxSurface* dest,
                                 const SGfxRect* destRect, uint32_t filter) {
  Guard guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  if (impl.lost) return GFX_ERR_DEVICE_LOST;
  SGfxContext* ctx = impl.Enter();
  if (!ctx || !source || !dest || source->m_device != this || dest->m_device != this || source->m_depth ||
      dest->m_depth || dest->m_desc.multisample != 0 || filter > GFX_TEXF_LINEAR)
    return GFX_ERR_INVALID_CALL;
  SGfxRect from, to;
  if (!WholeOrInside(sourceRect, source->m_desc, &from) || !WholeOrInside(destRect, dest->m_desc, &to))
    return GFX_ERR_INVALID_CALL;
  CGfxSurface* readable = impl.Resolved(ctx, source);
  SGfxFramebuffer read, draw;
  if (!readable || !impl.TargetFor(ctx, readable, nullptr, &read) || !impl.TargetFor(ctx, dest, nullptr, &draw))
    return GFX_ERR_INVALID_CALL;
  // Copied pixels are not measured: the texture's coverage is no longer known.
  if (dest->m_texture) dest->m_texture->m_coverage = {};
  return impl.Blit(ctx, read, from, draw, to, filter == GFX_TEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
}

// ---- drawing

uint32_t CGfxDevice::DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount) {
  Guard guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  SGfxContext* ctx = impl.Enter();
  SGfxDrawCall call;
  if (!ctx || !PrimitiveToGl(type, primitiveCount, &call.mode, &call.count) || !impl.state.elements)
    return GFX_ERR_INVALID_CALL;
  if (primitiveCount == 0) return GFX_OK;
  if (!SGfxDeviceImpl::StreamsHold(impl.state, uint64_t{startVertex} + call.count - 1)) return GFX_ERR_INVALID_CALL;
  call.first = static_cast<GLint>(startVertex);
  return impl.Draw(ctx, call);
}

uint32_t CGfxDevice::DrawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t, uint32_t, uint32_t startIndex,
                                          uint32_t primitiveCount) {
  Guard guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  SGfxContext* ctx = impl.Enter();
  SGfxDrawCall call;
  CGfxIndexBuffer* indices = impl.state.indices;
  if (!ctx || !indices || !indices->m_gl || !PrimitiveToGl(type, primitiveCount, &call.mode, &call.count) ||
      !impl.state.elements)
    return GFX_ERR_INVALID_CALL;
  if (primitiveCount == 0) return GFX_OK;
  const bool wide = indices->m_desc.format == GFX_FMT_INDEX32;
  const uint32_t indexSize = wide ? 4 : 2;
  if (uint64_t{startIndex} + call.count > indices->m_shadow.size() / indexSize) return GFX_ERR_INVALID_CALL;
  // Find the highest vertex the indices reach, so a draw never reads past its buffers.
  uint32_t highest = 0;
  const uint8_t* first = indices->m_shadow.data() + uint64_t{startIndex} * indexSize;
  for (GLsizei i = 0; i < call.count; ++i) {
    uint32_t index;
    if (wide) {
      std::memcpy(&index, first + i * 4, 4);
    } else {
      uint16_t narrow;
      std::memcpy(&narrow, first + i * 2, 2);
      index = narrow;
    }
    highest = std::max(highest, index);
  }
  const int64_t last = int64_t{baseVertex} + highest;
  if (last < 0 || !SGfxDeviceImpl::StreamsHold(impl.state, static_cast<uint64_t>(last))) return GFX_ERR_INVALID_CALL;
  call.indexBuffer = indices->m_gl;
  call.indexed = true;
  call.indexType = wide ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
  call.indexPointer = reinterpret_cast<const void*>(static_cast<uintptr_t>(startIndex) * indexSize);
  call.baseVertex = baseVertex;
  return impl.Draw(ctx, call);
}

uint32_t CGfxDevice::DrawPrimitiveUP(uint32_t type, uint32_t primitiveCount, const void* vertices, uint32_t stride) {
  Guard guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  SGfxContext* ctx = impl.EnterKeepingBatch();
  SGfxDrawCall call;
  if (!ctx || !vertices || stride == 0 || !PrimitiveToGl(type, primitiveCount, &call.mode, &call.count))
    return GFX_ERR_INVALID_CALL;
  if (primitiveCount == 0) return GFX_OK;
  call.userVertices = static_cast<const uint8_t*>(vertices);
  call.userStride = stride;
  call.userVertexCount = static_cast<uint32_t>(call.count);
  return impl.Draw(ctx, call);
}

// The highest index of a user index list, and whether the list is the quads' pattern.
static uint32_t ScanUserIndices(const void* indices, bool wide, GLsizei count, bool* quadList) {
  static const uint8_t pattern[6] = {0, 1, 2, 2, 3, 0};
  uint32_t highest = 0;
  bool quads = count % 6 == 0;
  for (GLsizei i = 0; i < count; ++i) {
    const uint32_t index = wide ? static_cast<const uint32_t*>(indices)[i] : static_cast<const uint16_t*>(indices)[i];
    highest = std::max(highest, index);
    quads = quads && index == 4u * uint32_t(i / 6) + pattern[i % 6];
  }
  *quadList = quads;
  return highest;
}

uint32_t CGfxDevice::DrawIndexedPrimitiveUP(uint32_t type, uint32_t, uint32_t, uint32_t primitiveCount,
                                            const void* indices, EGfxFormat indexFormat, const void* vertices,
                                            uint32_t stride) {
  Guard guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  SGfxContext* ctx = impl.EnterKeepingBatch();
  SGfxDrawCall call;
  if (!ctx || !vertices || !indices || stride == 0 ||
      (indexFormat != GFX_FMT_INDEX16 && indexFormat != GFX_FMT_INDEX32) ||
      !PrimitiveToGl(type, primitiveCount, &call.mode, &call.count))
    return GFX_ERR_INVALID_CALL;
  if (primitiveCount == 0) return GFX_OK;
  call.indexed = true;
  call.indexType = indexFormat == GFX_FMT_INDEX32 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
  call.indexPointer = indices;
  call.userVertexCount = ScanUserIndices(indices, indexFormat == GFX_FMT_INDEX32, call.count, &call.quadList) + 1;
  call.userVertices = static_cast<const uint8_t*>(vertices);
  call.userStride = stride;
  return impl.Draw(ctx, call);
}

// ---- read-back

// Reads a framebuffer's pixels as top-down R, G, B, A rows.
static uint32_t ReadFramebuffer(SGfxContext* ctx, const SGfxFramebuffer& framebuffer, uint32_t width,
                                uint32_t height, std::vector<uint8_t>& rgba) {
  const size_t rowBytes = static_cast<size_t>(width) * 4;
  rgba.resize(rowBytes * height);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer.name);
  // Row 0 of a framebuffer object is its top row, so the rows come out top-down; the
  // window's come out bottom up and are turned over.
  glReadPixels(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA, GL_UNSIGNED_BYTE,
               rgba.data());
  if (framebuffer.bottomUp)
    for (uint32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
      std::swap_ranges(rgba.begin() + top * rowBytes, rgba.begin() + (top + 1) * rowBytes,
                       rgba.begin() + bottom * rowBytes);
  ctx->drawFramebuffer = kGfxUnknown;
  return glGetError() == GL_NO_ERROR ? GFX_OK : GFX_ERR_INVALID_CALL;
}

uint32_t CGfxDevice::ReadSurface(CGfxSurface* surface, std::vector<uint8_t>& rgba) {
  Guard guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  SGfxContext* ctx = impl.Enter();
  if (!ctx || !surface || surface->m_device != this || surface->m_depth) return GFX_ERR_INVALID_CALL;
  CGfxSurface* readable = impl.Resolved(ctx, surface);
  SGfxFramebuffer framebuffer;
  if (!readable || !impl.TargetFor(ctx, readable, nullptr, &framebuffer)) return GFX_ERR_INVALID_CALL;
  return ReadFramebuffer(ctx, framebuffer, surface->m_desc.width, surface->m_desc.height, rgba);
}

uint32_t CGfxDevice::ReadWindow(std::vector<uint8_t>& rgba, uint32_t* width, uint32_t* height) {
  Guard guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  SGfxContext* ctx = impl.Enter();
  if (!ctx || !ctx->holdsWindow) return GFX_ERR_INVALID_CALL;
  impl.ReadWindowSize();
  if (width) *width = impl.windowWidth;
  if (height) *height = impl.windowHeight;
  return ReadFramebuffer(ctx, {0, true, impl.windowHeight}, impl.windowWidth, impl.windowHeight, rgba);
}

uint32_t CGfxDevice::ReadBackBuffer(std::vector<uint8_t>& rgba, uint32_t* width, uint32_t* height) {
  Guard guard(SGfxDeviceImpl::Lock());
  if (!m_impl->backBuffer) return GFX_ERR_INVALID_CALL;
  if (width) *width = m_impl->params.backBufferWidth;
  if (height) *height = m_impl->params.backBufferHeight;
  return ReadSurface(m_impl->backBuffer, rgba);
}
