// Device objects: reference counts, locking of textures and buffers, and their GL storage.

#include <algorithm>
#include <cstring>

#include "Platform/GraphicsDeviceImpl.h"

CGfxObject::CGfxObject(CGfxDevice* device) : m_device(device) {}

CGfxObject::~CGfxObject() = default;

uint32_t CGfxObject::AddRef() {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  return ++m_refs;
}

uint32_t CGfxObject::Release() {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  if (m_refs == 0) return 0;
  const uint32_t left = --m_refs;
  if (left == 0) {
    if (m_device) m_device->m_impl->Unregister(this);
    delete this;
  }
  return left;
}

uint64_t SGfxDeviceImpl::AttachmentKey(const CGfxSurface* surface) {
  if (!surface) return 0;
  if (surface->m_texture) return (1ull << 62) | surface->m_texture->m_gl;
  return (2ull << 62) | surface->m_renderbuffer;
}

// ---- surfaces

uint32_t CGfxSurface::GetDesc(SGfxSurfaceDesc* desc) const {
  if (!desc) return GFX_ERR_INVALID_CALL;
  *desc = m_desc;
  return GFX_OK;
}

CGfxSurface::~CGfxSurface() {
  DropGl();
  if (m_texture) m_texture->Release();
}

void CGfxSurface::DropGl() {
  if (m_renderbuffer && m_device) {
    m_device->m_impl->ForgetFramebuffersOf((2ull << 62) | m_renderbuffer);
    m_device->m_impl->DeleteGlName(EGlObjectKind::Renderbuffer, m_renderbuffer);
  }
  m_renderbuffer = 0;
  m_depthUniform = false;  // what a lost surface held is gone
}

// ---- textures

SGfxTexelCoverage CGfxTexture::GetCoverage() const {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  return m_coverage;
}

bool CGfxTexture::IsOpaqueIn(const SGfxRect& texels) const {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  if (!m_coverage.known) return false;
  if (m_coverage.opaque) return true;
  const int32_t width = static_cast<int32_t>(m_desc.width), height = static_cast<int32_t>(m_desc.height);
  const int32_t left = std::max(texels.left, 0), top = std::max(texels.top, 0);
  const int32_t right = std::min(texels.right, width), bottom = std::min(texels.bottom, height);
  if (left >= right || top >= bottom) return false;
  const int32_t tile = static_cast<int32_t>(kGfxCoverageTile), tilesX = (width + tile - 1) / tile;
  for (int32_t ty = top / tile; ty <= (bottom - 1) / tile; ++ty)
    for (int32_t tx = left / tile; tx <= (right - 1) / tile; ++tx)
      if (!m_opaqueTiles[static_cast<size_t>(ty * tilesX + tx)]) return false;
  return true;
}

uint32_t CGfxTexture::GetLevelDesc(uint32_t level, SGfxSurfaceDesc* desc) const {
  if (level != 0 || !desc) return GFX_ERR_INVALID_CALL;
  *desc = m_desc;
  return GFX_OK;
}

uint32_t CGfxTexture::GetSurfaceLevel(uint32_t level, CGfxSurface** surface) {
  if (level != 0 || !surface || !m_device) return GFX_ERR_INVALID_CALL;
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  auto* result = new CGfxSurface(m_device);
  result->m_desc = m_desc;
  result->m_texture = this;
  AddRef();
  m_device->m_impl->Register(result);
  *surface = result;
  return GFX_OK;
}

static bool ClipLockRect(const SGfxRect* rect, uint32_t width, uint32_t height, SGfxRect* out) {
  if (!rect) {
    *out = {0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
    return true;
  }
  if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
      rect->right > static_cast<int32_t>(width) || rect->bottom > static_cast<int32_t>(height))
    return false;
  *out = *rect;
  return true;
}

uint32_t CGfxTexture::LockRect(uint32_t level, SGfxLockedRect* locked, const SGfxRect* rect, uint32_t flags) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  // Render targets live only on the GPU, as on the original device.
  if (level != 0 || !locked || m_locked || (m_desc.usage & GFX_USAGE_RENDERTARGET))
    return GFX_ERR_INVALID_CALL;
  SGfxRect area;
  if (!ClipLockRect(rect, m_desc.width, m_desc.height, &area)) return GFX_ERR_INVALID_CALL;
  if (m_shadow.empty() && !(m_device && m_device->m_impl->ReadBackTexels(this))) return GFX_ERR_INVALID_CALL;
  m_locked = true;
  m_lockReadOnly = (flags & GFX_LOCK_READONLY) != 0;
  // A texture its user writes keeps its copy: the next lock or a lost context needs it.
  if (!m_lockReadOnly) m_keepsShadow = true;
  m_lockRect = area;
  locked->pitch = static_cast<int32_t>(m_desc.width * 4);
  locked->bits = m_shadow.data() + (static_cast<size_t>(area.top) * m_desc.width + area.left) * 4;
  return GFX_OK;
}

uint32_t CGfxTexture::UnlockRect(uint32_t level) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  if (level != 0 || !m_locked) return GFX_ERR_INVALID_CALL;
  m_locked = false;
  if (!m_lockReadOnly && m_device && m_gl) m_device->m_impl->UploadTexture(this, m_lockRect);
  SGfxDeviceImpl::DropShadow(this);  // after a read-only lock the driver's copy stands alone
  return GFX_OK;
}

bool CGfxTexture::TakeTexels(std::vector<uint8_t>& texels) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  if (m_locked || (m_desc.usage & GFX_USAGE_RENDERTARGET)) return false;
  if (m_shadow.empty() && !(m_device && m_device->m_impl->ReadBackTexels(this))) return false;
  texels.swap(m_shadow);
  std::vector<uint8_t>().swap(m_shadow);
  DropGl();  // the caller holds the only copy now; the driver's goes before the release
  return true;
}

CGfxTexture::~CGfxTexture() { DropGl(); }

void CGfxTexture::DropGl() {
  if (m_gl && m_device) {
    m_device->m_impl->ForgetFramebuffersOf((1ull << 62) | m_gl);
    m_device->m_impl->DeleteGlName(EGlObjectKind::Texture, m_gl);
  }
  m_gl = 0;
}

// ---- buffers

uint32_t CGfxBuffer::Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  const uint32_t length = m_desc.length;
  if (!data || m_locked || offset > length) return GFX_ERR_INVALID_CALL;
  if (size == 0) size = length - offset;  // 0 locks to the end, as on the original device
  if (size > length - offset) return GFX_ERR_INVALID_CALL;
  m_locked = true;
  m_lockReadOnly = (flags & GFX_LOCK_READONLY) != 0;
  m_lockFlags = flags;
  m_lockOffset = offset;
  m_lockSize = size;
  *data = m_shadow.data() + offset;
  return GFX_OK;
}

uint32_t CGfxBuffer::Unlock() {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  if (!m_locked) return GFX_ERR_INVALID_CALL;
  m_locked = false;
  if (m_lockReadOnly || !m_gl || !m_device || m_lockSize == 0) return GFX_OK;
  if (!m_device->m_impl->Enter()) return GFX_ERR_INVALID_CALL;
  // A copy target, so that the index binding of draws is left alone.
  glBindBuffer(GL_COPY_WRITE_BUFFER, m_gl);
  const uint8_t* written = m_shadow.data() + m_lockOffset;
  const bool dynamic = (m_desc.usage & GFX_USAGE_DYNAMIC) != 0;
  if (dynamic && (m_lockFlags & GFX_LOCK_DISCARD)) {
    // Fresh storage: draws still reading the old contents keep theirs, and nobody waits.
    glBufferData(GL_COPY_WRITE_BUFFER, m_desc.length, nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_COPY_WRITE_BUFFER, m_lockOffset, m_lockSize, written);
  } else if (dynamic && (m_lockFlags & GFX_LOCK_NOOVERWRITE)) {
    // The caller promises not to touch what draws may still read: no need to wait for them.
    void* mapped = glMapBufferRange(GL_COPY_WRITE_BUFFER, m_lockOffset, m_lockSize,
                                    GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
    if (mapped) std::memcpy(mapped, written, m_lockSize);
    if (!mapped || !glUnmapBuffer(GL_COPY_WRITE_BUFFER))
      glBufferSubData(GL_COPY_WRITE_BUFFER, m_lockOffset, m_lockSize, written);
  } else {
    glBufferSubData(GL_COPY_WRITE_BUFFER, m_lockOffset, m_lockSize, written);
  }
  return GFX_OK;
}

uint32_t CGfxBuffer::GetDesc(SGfxBufferDesc* desc) const {
  if (!desc) return GFX_ERR_INVALID_CALL;
  *desc = m_desc;
  return GFX_OK;
}

CGfxBuffer::~CGfxBuffer() { DropGl(); }

void CGfxBuffer::DropGl() {
  if (m_gl && m_device) m_device->m_impl->DeleteGlName(EGlObjectKind::Buffer, m_gl);
  m_gl = 0;
}

// ---- shaders

CGfxShader::~CGfxShader() { DropGl(); }

void CGfxShader::DropGl() {
  auto* translated = static_cast<MOJOSHADER_glShader*>(m_translated);
  m_translated = nullptr;
  if (!translated || !m_device || !m_device->m_impl->main) return;
  SGfxDeviceImpl& impl = *m_device->m_impl;
  // No context may take a later shader at the same address for this one.
  auto forget = [translated](SGfxContext* ctx) {
    if (ctx->boundVertex == translated || ctx->boundPixel == translated) ctx->shadersKnown = false;
  };
  forget(impl.main);
  for (SGfxContext* ctx : impl.shared) forget(ctx);
  // Any of the device's contexts can delete it; without one on this thread the main
  // context does when it is next used.
  if (impl.Enter())
    MOJOSHADER_glDeleteShader(translated);
  else
    impl.main->pendingShaders.push_back(translated);
}
