// Creation of the device's textures, surfaces, buffers, declarations and shaders.

#include <algorithm>
#include <cstring>
#include <string>

#include "Platform/GraphicsDeviceImpl.h"
#include "Platform/GraphicsProjectiveLookup.h"
#include "Platform/GraphicsShaderCheck.h"
#include "Platform/GraphicsReport.h"

namespace {

GLenum TextureInternalFormat(EGfxFormat format) { return format == GFX_FMT_X8R8G8B8 ? GL_RGB8 : GL_RGBA8; }

// Storage for a texture of one level; managed textures start from their kept texels.
GLuint MakeGlTexture(const SGfxSurfaceDesc& desc, const uint8_t* texels) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glActiveTexture(kGfxUploadUnit);
  glBindTexture(GL_TEXTURE_2D, name);
  // One level only: mip filters then read level 0 instead of an incomplete chain.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, TextureInternalFormat(desc.format), static_cast<GLsizei>(desc.width),
               static_cast<GLsizei>(desc.height), 0, GL_BGRA, GL_UNSIGNED_BYTE, texels);
  glBindTexture(GL_TEXTURE_2D, 0);
  return name;
}

GLuint MakeGlBuffer(GLenum target, const std::vector<uint8_t>& contents) {
  GLuint name = 0;
  glGenBuffers(1, &name);
  glBindBuffer(target, name);
  glBufferData(target, static_cast<GLsizeiptr>(contents.size()), contents.data(), GL_DYNAMIC_DRAW);
  return name;
}

bool KnownDeclType(uint8_t type) { return type <= GFX_DECLTYPE_USHORT4N; }

}  // namespace

void SGfxDeviceImpl::MeasureCoverage(CGfxTexture* texture) {
  texture->m_coverage = {};
  texture->m_opaqueTiles.clear();
  if (texture->m_desc.usage & GFX_USAGE_RENDERTARGET || texture->m_shadow.empty()) return;
  // A format without alpha samples as opaque whatever its fourth byte holds.
  const uint32_t width = texture->m_desc.width, height = texture->m_desc.height;
  const uint32_t tilesX = (width + kGfxCoverageTile - 1) / kGfxCoverageTile;
  const uint32_t tilesY = (height + kGfxCoverageTile - 1) / kGfxCoverageTile;
  const bool noAlpha = texture->m_desc.format == GFX_FMT_X8R8G8B8;
  texture->m_opaqueTiles.assign(size_t{tilesX} * tilesY, 1);
  if (!noAlpha) {
    const uint8_t* bgra = texture->m_shadow.data();
    for (uint32_t y = 0; y < height; ++y)
      for (uint32_t x = 0; x < width; ++x)
        if (bgra[(size_t{y} * width + x) * 4 + 3] != 255)
          texture->m_opaqueTiles[size_t{y / kGfxCoverageTile} * tilesX + x / kGfxCoverageTile] = 0;
  }
  texture->m_coverage.known = true;
  texture->m_coverage.opaque = std::all_of(texture->m_opaqueTiles.begin(), texture->m_opaqueTiles.end(),
                                           [](uint8_t tile) { return tile != 0; });
}

void SGfxDeviceImpl::UploadTexture(CGfxTexture* texture, const SGfxRect& rect) {
  if (!Enter() || !texture->m_gl) return;
  glActiveTexture(kGfxUploadUnit);
  glBindTexture(GL_TEXTURE_2D, texture->m_gl);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, static_cast<GLint>(texture->m_desc.width));
  const uint8_t* first =
      texture->m_shadow.data() + (static_cast<size_t>(rect.top) * texture->m_desc.width + rect.left) * 4;
  glTexSubImage2D(GL_TEXTURE_2D, 0, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, GL_BGRA,
                  GL_UNSIGNED_BYTE, first);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glBindTexture(GL_TEXTURE_2D, 0);
  MeasureCoverage(texture);
}

bool SGfxDeviceImpl::ReadBackTexels(CGfxTexture* texture) {
  if (!texture->m_shadow.empty()) return true;
  if (!texture->m_gl || (texture->m_desc.usage & GFX_USAGE_RENDERTARGET) || !Enter()) return false;
  texture->m_shadow.resize(static_cast<size_t>(texture->m_desc.width) * texture->m_desc.height * 4);
  glActiveTexture(kGfxUploadUnit);
  glBindTexture(GL_TEXTURE_2D, texture->m_gl);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, texture->m_shadow.data());
  glBindTexture(GL_TEXTURE_2D, 0);
  return true;
}

void SGfxDeviceImpl::ReadBackManaged() {
  for (CGfxObject* object : objects) {
    auto* texture = dynamic_cast<CGfxTexture*>(object);
    if (texture && texture->m_desc.pool == GFX_POOL_MANAGED) ReadBackTexels(texture);
  }
}

void SGfxDeviceImpl::DropShadow(CGfxTexture* texture) {
  if (texture->m_keepsShadow || texture->m_locked || !texture->m_gl) return;
  std::vector<uint8_t>().swap(texture->m_shadow);
}

void SGfxDeviceImpl::RecreateManaged() {
  for (CGfxObject* object : objects) {
    if (auto* texture = dynamic_cast<CGfxTexture*>(object)) {
      if (texture->m_shadow.empty()) continue;
      texture->m_gl = MakeGlTexture(texture->m_desc, texture->m_shadow.data());
      DropShadow(texture);
    } else if (auto* buffer = dynamic_cast<CGfxBuffer*>(object)) {
      buffer->m_gl = MakeGlBuffer(buffer->m_indices ? GL_ELEMENT_ARRAY_BUFFER : GL_ARRAY_BUFFER, buffer->m_shadow);
    }
  }
}

uint32_t SGfxDeviceImpl::NewTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                   EGfxFormat format, EGfxPool pool, std::vector<uint8_t>* texels,
                                   CGfxTexture** texture) {
  if (!texture) return GFX_ERR_INVALID_CALL;
  *texture = nullptr;
  const bool renderTarget = (usage & GFX_USAGE_RENDERTARGET) != 0;
  // Textures have exactly one level: a mip chain is not offered.
  if (levels != 1 || width == 0 || height == 0 || width > caps.maxTextureWidth ||
      height > caps.maxTextureHeight || (format != GFX_FMT_A8R8G8B8 && format != GFX_FMT_X8R8G8B8) ||
      (renderTarget && pool != GFX_POOL_DEFAULT) || pool == GFX_POOL_SYSTEMMEM)
    return GFX_ERR_INVALID_CALL;
  if (texels && (pool != GFX_POOL_MANAGED || texels->size() != static_cast<size_t>(width) * height * 4))
    return GFX_ERR_INVALID_CALL;
  if (!Enter()) return GFX_ERR_INVALID_CALL;
  auto* result = new CGfxTexture(device);
  result->m_desc = {format, usage & (GFX_USAGE_RENDERTARGET | GFX_USAGE_DYNAMIC), pool, 0, width, height};
  while (glGetError() != GL_NO_ERROR) {
  }
  if (texels)
    result->m_shadow.swap(*texels);
  else if (!renderTarget)
    result->m_shadow.assign(static_cast<size_t>(width) * height * 4, 0);
  result->m_keepsShadow = !texels && !renderTarget;
  result->m_gl = MakeGlTexture(result->m_desc, renderTarget ? nullptr : result->m_shadow.data());
  MeasureCoverage(result);
  Register(result);
  if (glGetError() == GL_OUT_OF_MEMORY) {
    if (texels) texels->swap(result->m_shadow);
    result->Release();
    return GFX_ERR_OUT_OF_VIDEO_MEMORY;
  }
  DropShadow(result);
  *texture = result;
  return GFX_OK;
}

size_t CGfxDevice::GetKeptTexelBytes() const {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  size_t bytes = 0;
  for (CGfxObject* object : m_impl->objects)
    if (auto* texture = dynamic_cast<CGfxTexture*>(object)) bytes += texture->m_shadow.size();
  return bytes;
}

uint32_t CGfxDevice::CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                                   EGfxFormat format, EGfxPool pool, CGfxTexture** texture) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  return m_impl->NewTexture(width, height, levels, usage, format, pool, nullptr, texture);
}

uint32_t CGfxDevice::CreateTextureFrom(uint32_t width, uint32_t height, EGfxFormat format,
                                       std::vector<uint8_t>& texels, CGfxTexture** texture) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  return m_impl->NewTexture(width, height, 1, 0, format, GFX_POOL_MANAGED, &texels, texture);
}

uint32_t CGfxDevice::CreateDepthStencilSurface(uint32_t width, uint32_t height, EGfxFormat format,
                                               GfxMultisample multisample, uint32_t, bool,
                                               CGfxSurface** surface) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  if (!surface) return GFX_ERR_INVALID_CALL;
  *surface = nullptr;
  if (width == 0 || height == 0 || !GfxIsDepthFormatSupported(format) || multisample == 1 ||
      multisample > impl.caps.maxMultisample || !impl.Enter())
    return GFX_ERR_INVALID_CALL;
  auto* result = new CGfxSurface(this);
  result->m_ownsStorage = true;
  result->m_depth = true;
  result->m_desc = {format, GFX_USAGE_DEPTHSTENCIL, GFX_POOL_DEFAULT, multisample, width, height};
  glGenRenderbuffers(1, &result->m_renderbuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, result->m_renderbuffer);
  glRenderbufferStorageMultisample(GL_RENDERBUFFER, static_cast<GLsizei>(multisample),
                                   format == GFX_FMT_D16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH24_STENCIL8,
                                   static_cast<GLsizei>(width), static_cast<GLsizei>(height));
  impl.Register(result);
  *surface = result;
  return GFX_OK;
}

uint32_t CGfxDevice::CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, EGfxPool pool,
                                        CGfxVertexBuffer** buffer) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  if (!buffer) return GFX_ERR_INVALID_CALL;
  *buffer = nullptr;
  if (length == 0 || pool == GFX_POOL_SYSTEMMEM || !m_impl->Enter()) return GFX_ERR_INVALID_CALL;
  auto* result = new CGfxVertexBuffer(this);
  result->m_desc = {length, usage, pool, fvf, GFX_FMT_UNKNOWN};
  result->m_shadow.assign(length, 0);
  result->m_gl = MakeGlBuffer(GL_ARRAY_BUFFER, result->m_shadow);
  m_impl->Register(result);
  *buffer = result;
  return GFX_OK;
}

uint32_t CGfxDevice::CreateIndexBuffer(uint32_t length, uint32_t usage, EGfxFormat format, EGfxPool pool,
                                       CGfxIndexBuffer** buffer) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  if (!buffer) return GFX_ERR_INVALID_CALL;
  *buffer = nullptr;
  if (length == 0 || pool == GFX_POOL_SYSTEMMEM || (format != GFX_FMT_INDEX16 && format != GFX_FMT_INDEX32) ||
      !m_impl->Enter())
    return GFX_ERR_INVALID_CALL;
  auto* result = new CGfxIndexBuffer(this);
  result->m_desc = {length, usage, pool, 0, format};
  result->m_shadow.assign(length, 0);
  result->m_gl = MakeGlBuffer(GL_ELEMENT_ARRAY_BUFFER, result->m_shadow);
  m_impl->Register(result);
  *buffer = result;
  return GFX_OK;
}

uint32_t CGfxDevice::CreateVertexDeclaration(const SGfxVertexElement* elements, CGfxVertexDeclaration** decl) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  if (!elements || !decl) return GFX_ERR_INVALID_CALL;
  *decl = nullptr;
  // The list has no length: it ends at the end marker, which must come within 64 entries.
  std::vector<SGfxVertexElement> list;
  for (size_t i = 0;; ++i) {
    if (i == 64) return GFX_ERR_INVALID_CALL;
    const SGfxVertexElement& element = elements[i];
    if (element.stream == 0xFF) break;
    if (element.stream >= kGfxStreams || !KnownDeclType(element.type) || element.usage > GFX_DECLUSAGE_COLOR ||
        element.usageIndex > 15)
      return GFX_ERR_INVALID_CALL;
    list.push_back(element);
  }
  auto* result = new CGfxVertexDeclaration(this);
  result->m_elements = std::move(list);
  m_impl->Register(result);
  *decl = result;
  return GFX_OK;
}

static uint32_t CreateShader(CGfxDevice* device, SGfxDeviceImpl& impl, const void* code, size_t size, bool pixel,
                             CGfxShader** shader) {
  if (!code || !shader || size < 8 || size % 4 != 0) return GFX_ERR_INVALID_CALL;
  *shader = nullptr;
  const uint32_t version = *static_cast<const uint32_t*>(code);
  if ((version >> 16) != (pixel ? 0xFFFFu : 0xFFFEu)) return GFX_ERR_INVALID_CALL;
  SGfxContext* ctx = impl.Enter();
  if (!ctx) return GFX_ERR_INVALID_CALL;
  return SGfxDeviceImpl::NewShader(device, impl, ctx, code, size, pixel, shader);
}

uint32_t SGfxDeviceImpl::NewShader(CGfxDevice* device, SGfxDeviceImpl& impl, SGfxContext* ctx, const void* code,
                                   size_t size, bool pixel, CGfxShader** shader) {
  std::vector<uint32_t> tokens(size / 4);
  std::memcpy(tokens.data(), code, size);
  std::vector<uint32_t> rewritten = tokens;
  std::string error;
  // The code as given is checked before translation: damaged code must be refused, never
  // reach the translator's assertions.
  if ((pixel && !GfxRewriteProjectiveLookups(rewritten, error)) || !GfxCheckShaderByteCode(tokens, pixel, error)) {
    GfxReport("Platform/GraphicsDevice", "Shader byte code refused: %s", error.c_str());
    return GFX_ERR_INVALID_CALL;
  }
  tokens.swap(rewritten);
  auto* result = new CGfxShader(device, pixel);
  const auto* bytes = reinterpret_cast<const uint8_t*>(tokens.data());
  result->m_byteCode.assign(bytes, bytes + tokens.size() * 4);
  // Translate now, so damaged byte code fails here rather than at the first draw.
  if (!impl.Compiled(ctx, result)) {
    GfxReport("Platform/GraphicsDevice", "Shader byte code refused: %s", MOJOSHADER_glGetError());
    delete result;
    return GFX_ERR_INVALID_CALL;
  }
  impl.Register(result);
  *shader = result;
  return GFX_OK;
}

uint32_t CGfxDevice::CreateVertexShader(const void* byteCode, size_t size, CGfxShader** shader) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  return CreateShader(this, *m_impl, byteCode, size, false, shader);
}

uint32_t CGfxDevice::CreatePixelShader(const void* byteCode, size_t size, CGfxShader** shader) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  return CreateShader(this, *m_impl, byteCode, size, true, shader);
}

GLuint SGfxDeviceImpl::FramebufferFor(SGfxContext* ctx, CGfxSurface* colour, CGfxSurface* depth) {
  const auto key = std::make_pair(AttachmentKey(colour), AttachmentKey(depth));
  auto found = ctx->framebuffers.find(key);
  if (found != ctx->framebuffers.end()) return found->second;
  GLuint framebuffer = 0;
  glGenFramebuffers(1, &framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  ctx->drawFramebuffer = kGfxUnknown;
  if (colour) {
    if (colour->m_texture)
      glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour->m_texture->m_gl, 0);
    else
      glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour->m_renderbuffer);
  }
  if (depth) {
    const GLenum point = depth->m_desc.format == GFX_FMT_D16 ? GL_DEPTH_ATTACHMENT : GL_DEPTH_STENCIL_ATTACHMENT;
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, point, GL_RENDERBUFFER, depth->m_renderbuffer);
  }
  const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
  if (status != GL_FRAMEBUFFER_COMPLETE) {
    GfxReport("Platform/GraphicsDevice", "Render target and depth buffer do not fit together (GL status 0x%x)",
              status);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteFramebuffers(1, &framebuffer);
    return 0;
  }
  ctx->framebuffers[key] = framebuffer;
  return framebuffer;
}
