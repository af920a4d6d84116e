// The graphics device: contexts, creation, reset and loss, shared contexts.

#include <algorithm>
#include <cstring>

#include "Platform/GraphicsDeviceImpl.h"

#include <EGL/egl.h>
#include "Platform/EventPump.h"
#include "Platform/GraphicsDriverScope.h"
#include "Platform/GraphicsReport.h"
#include "Platform/GraphicsWindowFormat.h"

namespace {

thread_local SGfxContext* t_context = nullptr;
// The context the calling thread's current device call has entered, and how deep the thread
// holds the device lock.
thread_local SGfxContext* t_entered = nullptr;
thread_local int t_lockDepth = 0;

void* LookupGl(const char* name, void*) { return SDL_GL_GetProcAddress(name); }

// The drawable a context is made current on when it does not hold the main window.
SDL_Window* OwnSurface(SGfxContext* ctx) {
  SGfxDriverScope driver;
  if (!ctx->ownSurface) {
    GfxRequestWindowFormat();
    ctx->ownSurface = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  }
  return ctx->ownSurface;
}

// Every context starts with the conventions the engine's drawing expects: row 0 of every
// target is the top row and clip-space depth runs 0..1.
bool PrepareContext(SGfxContext* ctx) {
  if (!SDL_GL_GetProcAddress("glClipControl")) return false;
  glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
  ctx->clipOrigin = GL_UPPER_LEFT;
  glEnable(GL_SCISSOR_TEST);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGenSamplers(kGfxSamplers, ctx->samplers);
  for (uint32_t i = 0; i < kGfxSamplers; ++i) glBindSampler(i, ctx->samplers[i]);
  return glGetError() == GL_NO_ERROR;
}

}  // namespace

CGfxDeviceLock& SGfxDeviceImpl::Lock() {
  static CGfxDeviceLock lock;
  return lock;
}

void CGfxDeviceLock::lock() {
  m_mutex.lock();
  ++t_lockDepth;
}

void CGfxDeviceLock::unlock() {
  if (--t_lockDepth == 0 && t_entered) {
    SGfxContext* ctx = t_entered;
    t_entered = nullptr;
    if (ctx->impl) ctx->impl->HandOver(ctx);
  }
  m_mutex.unlock();
}

// Ends a call on `ctx` while other contexts are about: its gathered draw and all it queued go
// off behind a fence, so what this call did comes before what another context does next.
void SGfxDeviceImpl::HandOver(SGfxContext* ctx) {
  if (shared.empty() || SDL_GL_GetCurrentContext() != ctx->gl) return;
  FlushBatch(ctx);
  if (handoverFence) glDeleteSync(handoverFence);
  handoverFence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
  ctx->handoverSeen = ++handoverSerial;
  glFlush();
}

// Starts a call on `ctx`: what another context handed over is done first.
void SGfxDeviceImpl::TakeOver(SGfxContext* ctx) {
  if (!handoverFence || ctx->handoverSeen == handoverSerial) return;
  glWaitSync(handoverFence, 0, GL_TIMEOUT_IGNORED);
  ctx->handoverSeen = handoverSerial;
}

void SGfxContext::ForgetAppliedState() {
  std::fill(std::begin(renderStates), std::end(renderStates), kGfxUnknown);
  for (auto& sampler : samplerStates) std::fill(std::begin(sampler), std::end(sampler), kGfxUnknown);
  std::fill(std::begin(unitTextures), std::end(unitTextures), kGfxUnknown);
  drawFramebuffer = kGfxUnknown;
  clipOrigin = kGfxUnknown;
  viewportKnown = false;
  shadersKnown = false;
  ringLayout = 0;
  vsDirtyLow = 0;
  vsDirtyHigh = kGfxVertexConstants;
  psDirtyLow = 0;
  psDirtyHigh = kGfxPixelConstants;
}

SGfxContext* SGfxDeviceImpl::CreateContextRecord(SDL_GLContext gl, bool isMain) {
  auto* ctx = new SGfxContext;
  ctx->impl = this;
  ctx->gl = gl;
  ctx->isMain = isMain;
  ctx->owner = std::this_thread::get_id();
  ctx->ForgetAppliedState();
  if (!PrepareContext(ctx)) {
    GfxReport("Platform/GraphicsDevice", "The GL context lacks clip control (GL 4.5 is needed)");
    delete ctx;
    return nullptr;
  }
  if (isMain) {
    const char* profile = MOJOSHADER_glBestProfile(LookupGl, nullptr, nullptr, nullptr, nullptr);
    ctx->mojo = profile ? MOJOSHADER_glCreateContext(profile, LookupGl, nullptr, nullptr, nullptr, nullptr)
                        : nullptr;
  } else {
    ctx->mojo = main->mojo;
  }
  if (!ctx->mojo) {
    GfxReport("Platform/GraphicsDevice", "No shader translation for this GL: %s", MOJOSHADER_glGetError());
    glDeleteSamplers(kGfxSamplers, ctx->samplers);
    delete ctx;
    return nullptr;
  }
  MOJOSHADER_glMakeContextCurrent(ctx->mojo);
  translationServes = nullptr;
  return ctx;
}

bool SGfxDeviceImpl::CreateMainContext(uint32_t* result) {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
  SDL_GLContext gl;
  {
    SGfxDriverScope driver;
    gl = SDL_GL_CreateContext(window);
  }
  if (!gl) {
    GfxReport("Platform/GraphicsDevice", "Cannot create a GL context: %s", SDL_GetError());
    *result = GFX_ERR_NOT_AVAILABLE;
    return false;
  }
  InspectWindowFramebuffer();
  main = CreateContextRecord(gl, true);
  if (!main) {
    SDL_GL_DeleteContext(gl);
    *result = GFX_ERR_NOT_AVAILABLE;
    return false;
  }
  t_context = main;
  main->holdsWindow = true;
  windowLent = false;
  SDL_GL_SetSwapInterval(params.presentationInterval == GFX_PRESENT_INTERVAL_IMMEDIATE ? 0 : 1);

  GLint maxSamples = 0, maxTexture = 0;
  glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &maxVertexAttributes);
  glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
  caps.vertexShaderVersion = GfxVertexShaderVersion(2, 0);
  caps.pixelShaderVersion = GfxPixelShaderVersion(2, 0);
  caps.maxVertexShaderConst = kGfxVertexConstants;
  caps.maxPixelShaderConst = kGfxPixelConstants;
  caps.maxTextureWidth = caps.maxTextureHeight = static_cast<uint32_t>(maxTexture);
  caps.maxSamplers = kGfxSamplers;
  caps.maxStreams = kGfxStreams;
  caps.maxMultisample = static_cast<uint32_t>(maxSamples);
  caps.maxPrimitiveCount = 0xFFFFFF;
  caps.maxVertexIndex = 0xFFFFFF;
  return true;
}

void SGfxDeviceImpl::FlushPending(SGfxContext* ctx) {
  if (!ctx->pendingFramebuffers.empty()) {
    glDeleteFramebuffers(static_cast<GLsizei>(ctx->pendingFramebuffers.size()), ctx->pendingFramebuffers.data());
    ctx->pendingFramebuffers.clear();
    ctx->drawFramebuffer = kGfxUnknown;
  }
  if (!ctx->pendingShaders.empty()) {
    for (MOJOSHADER_glShader* shader : ctx->pendingShaders) MOJOSHADER_glDeleteShader(shader);
    ctx->pendingShaders.clear();
    ctx->shadersKnown = false;
  }
  if (ctx->isMain) {
    const std::vector<GLuint>& textures = OrphansOf(EGlObjectKind::Texture);
    const std::vector<GLuint>& buffers = OrphansOf(EGlObjectKind::Buffer);
    const std::vector<GLuint>& renderbuffers = OrphansOf(EGlObjectKind::Renderbuffer);
    if (!textures.empty()) glDeleteTextures(static_cast<GLsizei>(textures.size()), textures.data());
    if (!buffers.empty()) glDeleteBuffers(static_cast<GLsizei>(buffers.size()), buffers.data());
    if (!renderbuffers.empty()) glDeleteRenderbuffers(static_cast<GLsizei>(renderbuffers.size()), renderbuffers.data());
    for (auto& names : orphanNames) names.clear();
  }
}

SGfxContext* SGfxDeviceImpl::Enter() {
  SGfxContext* ctx = EnterKeepingBatch();
  if (ctx) FlushBatch(ctx);
  return ctx;
}

SGfxContext* SGfxDeviceImpl::EnterKeepingBatch() {
  SGfxContext* ctx = nullptr;
  if (t_context && t_context->impl == this) {
    ctx = t_context;
    // Someone else's context may have been made current on this thread meanwhile.
    if (SDL_GL_GetCurrentContext() != ctx->gl) {
      SDL_Window* drawable = ctx->holdsWindow ? window : OwnSurface(ctx);
      if (SDL_GL_MakeCurrent(drawable, ctx->gl) != 0) return nullptr;
      ctx->ForgetAppliedState();
    }
  } else if (main && main->owner == std::this_thread::get_id()) {
    // Another device was current on this thread (tests make several): switch back.
    if (SDL_GL_MakeCurrent(windowLent ? OwnSurface(main) : window, main->gl) != 0) return nullptr;
    t_context = main;
    ctx = main;
    ctx->ForgetAppliedState();
  } else {
    return nullptr;
  }
  MOJOSHADER_glMakeContextCurrent(ctx->mojo);
  TakeOver(ctx);
  ServeTranslation(ctx);
  FlushPending(ctx);
  t_entered = ctx;
  return ctx;
}

void SGfxDeviceImpl::ServeTranslation(SGfxContext* ctx) {
  if (translationServes == ctx) return;
  // A draw this context gathered was set up under its own GL state, which other contexts
  // cannot touch: it goes out before that state is let go of below.
  FlushBatch(ctx);
  // The translation context's idea of the bound program and the enabled vertex arrays is
  // another context's: it lets go of them, and this context starts with none, to match.
  MOJOSHADER_glBindProgram(nullptr);
  for (GLint i = 0; i < maxVertexAttributes; ++i) glDisableVertexAttribArray(static_cast<GLuint>(i));
  ctx->shadersKnown = false;
  translationServes = ctx;
}

void SGfxDeviceImpl::DeleteGlName(EGlObjectKind kind, GLuint name) {
  SGfxContext* ctx = Enter();
  if (!ctx) {
    OrphansOf(kind).push_back(name);
    return;
  }
  if (kind == EGlObjectKind::Texture) {
    glDeleteTextures(1, &name);
    for (SGfxContext* each : shared) std::fill(std::begin(each->unitTextures), std::end(each->unitTextures), kGfxUnknown);
    std::fill(std::begin(main->unitTextures), std::end(main->unitTextures), kGfxUnknown);
  } else if (kind == EGlObjectKind::Buffer) {
    glDeleteBuffers(1, &name);
  } else {
    glDeleteRenderbuffers(1, &name);
  }
}

void SGfxDeviceImpl::ForgetFramebuffersOf(uint64_t key) {
  SGfxContext* current = Enter();
  auto forget = [&](SGfxContext* ctx) {
    if (!ctx) return;
    for (auto it = ctx->framebuffers.begin(); it != ctx->framebuffers.end();) {
      if (it->first.first == key || it->first.second == key) {
        if (ctx == current) {
          glDeleteFramebuffers(1, &it->second);
          ctx->drawFramebuffer = kGfxUnknown;
        } else {
          ctx->pendingFramebuffers.push_back(it->second);
        }
        it = ctx->framebuffers.erase(it);
      } else {
        ++it;
      }
    }
  };
  forget(main);
  for (SGfxContext* ctx : shared) forget(ctx);
}

// Drops every translated shader (and with them the linked programs): the translation
// context is about to go.
void SGfxDeviceImpl::ForgetTranslated() {
  for (CGfxObject* object : objects) {
    auto* shader = dynamic_cast<CGfxShader*>(object);
    if (!shader || !shader->m_translated) continue;
    MOJOSHADER_glDeleteShader(static_cast<MOJOSHADER_glShader*>(shader->m_translated));
    shader->m_translated = nullptr;
  }
}

// Tears a context down; it must be current on the calling thread.
void SGfxDeviceImpl::DestroyContext(SGfxContext* ctx) {
  MOJOSHADER_glMakeContextCurrent(ctx->mojo);
  // Unbound first: a bound program outlives the deletion of its shaders.
  MOJOSHADER_glBindProgram(nullptr);
  FlushPending(ctx);
  ReleaseStreams(ctx);
  for (auto& entry : ctx->framebuffers) glDeleteFramebuffers(1, &entry.second);
  glDeleteSamplers(kGfxSamplers, ctx->samplers);
  if (ctx->frameFence) glDeleteSync(ctx->frameFence);
  // The translation context goes with the main context; a shared context only borrowed it.
  if (ctx->isMain) {
    ForgetTranslated();
    MOJOSHADER_glDestroyContext(ctx->mojo);
    if (handoverFence) glDeleteSync(handoverFence);
    handoverFence = nullptr;
  }
  translationServes = nullptr;
  if (t_context == ctx) t_context = nullptr;
  if (t_entered == ctx) t_entered = nullptr;
  SDL_GL_MakeCurrent(nullptr, nullptr);
  SDL_GL_DeleteContext(ctx->gl);
  if (ctx->ownSurface) SDL_DestroyWindow(ctx->ownSurface);
  delete ctx;
}

void SGfxDeviceImpl::Register(CGfxObject* object) {
  object->m_serial = nextSerial++;
  objects.insert(object);
}

void SGfxDeviceImpl::Unregister(CGfxObject* object) { objects.erase(object); }

// Translated the first time any of the device's contexts needs it; `ctx` is current.
MOJOSHADER_glShader* SGfxDeviceImpl::Compiled(SGfxContext*, CGfxShader* shader) {
  if (!shader->m_translated)
    shader->m_translated = MOJOSHADER_glCompileShader(
        shader->m_byteCode.data(), static_cast<unsigned>(shader->m_byteCode.size()), nullptr, 0, nullptr, 0);
  return static_cast<MOJOSHADER_glShader*>(shader->m_translated);
}

// ---- back buffer

// Reads the format and size of the window's framebuffer; the new main context is current on
// the window.
void SGfxDeviceImpl::InspectWindowFramebuffer() {
  GLint red = 0, green = 0, blue = 0, alpha = 0, depth = 0, stencil = 0, sampleBuffers = 1;
  glGetIntegerv(GL_RED_BITS, &red);
  glGetIntegerv(GL_GREEN_BITS, &green);
  glGetIntegerv(GL_BLUE_BITS, &blue);
  glGetIntegerv(GL_ALPHA_BITS, &alpha);
  glGetIntegerv(GL_DEPTH_BITS, &depth);
  glGetIntegerv(GL_STENCIL_BITS, &stencil);
  glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
  windowHoldsColour = red == 8 && green == 8 && blue == 8 && alpha == 8 && sampleBuffers == 0 &&
                      glGetError() == GL_NO_ERROR;
  windowHoldsDepth = depth == 24 && stencil == 8;
  ReadWindowSize();
}

// The size of the window's framebuffer as it is now. Where the window's surface is EGL's, EGL
// tells it: the offscreen driver keeps a surface of the first size however the window changes,
// while SDL reports the window's new size. Elsewhere the drawable is the window as the display
// made it (not as SDL last heard of it).
void SGfxDeviceImpl::ReadWindowSize() {
  EGLint width = 0, height = 0;
  const EGLDisplay display = eglGetCurrentDisplay();
  const EGLSurface surface = eglGetCurrentSurface(EGL_DRAW);
  if (eglGetCurrentContext() == EGL_NO_CONTEXT || surface == EGL_NO_SURFACE ||
      !eglQuerySurface(display, surface, EGL_WIDTH, &width) || !eglQuerySurface(display, surface, EGL_HEIGHT, &height))
    PlatformGetWindowPixelSize(window, &width, &height);
  windowWidth = static_cast<uint32_t>(std::max(width, 0));
  windowHeight = static_cast<uint32_t>(std::max(height, 0));
}

// The back buffer goes into the window when nothing needs a copy of it: one sample, the
// window's size and format, the default depth format, and no shared context that might draw
// or present it from another thread (their framebuffer is not the window's).
bool SGfxDeviceImpl::WantsWindow() const {
  if (!windowHoldsColour || windowRefused || params.multisample != 0 || !shared.empty() || windowLent) return false;
  if (params.enableAutoDepthStencil && (params.autoDepthStencilFormat != GFX_FMT_D24S8 || !windowHoldsDepth))
    return false;
  return windowWidth == params.backBufferWidth && windowHeight == params.backBufferHeight;
}

// Storage of its own for a back-buffer surface, as its description says.
void SGfxDeviceImpl::GiveRenderbuffer(CGfxSurface* surface) {
  const SGfxSurfaceDesc& desc = surface->m_desc;
  GLenum internalFormat = GL_RGBA8;
  if (surface->m_depth) internalFormat = desc.format == GFX_FMT_D16 ? GL_DEPTH_COMPONENT16 : GL_DEPTH24_STENCIL8;
  glGenRenderbuffers(1, &surface->m_renderbuffer);
  glBindRenderbuffer(GL_RENDERBUFFER, surface->m_renderbuffer);
  glRenderbufferStorageMultisample(GL_RENDERBUFFER, static_cast<GLsizei>(desc.multisample), internalFormat,
                                   static_cast<GLsizei>(desc.width), static_cast<GLsizei>(desc.height));
  surface->m_inWindow = false;
}

bool SGfxDeviceImpl::CreateBackBuffer(uint32_t* result) {
  const bool inWindow = WantsWindow();
  auto makeSurface = [&](GfxMultisample samples, bool depth, EGfxFormat format) {
    auto* surface = new CGfxSurface(device);
    surface->m_ownsStorage = true;
    surface->m_depth = depth;
    surface->m_desc = {format, depth ? GFX_USAGE_DEPTHSTENCIL : GFX_USAGE_RENDERTARGET, GFX_POOL_DEFAULT, samples,
                       params.backBufferWidth, params.backBufferHeight};
    if (inWindow)
      surface->m_inWindow = true;
    else
      GiveRenderbuffer(surface);
    Register(surface);
    return surface;
  };
  while (glGetError() != GL_NO_ERROR) {
  }
  backBuffer = makeSurface(params.multisample, false, params.backBufferFormat);
  if (params.multisample > 0) resolve = makeSurface(0, false, params.backBufferFormat);
  if (params.enableAutoDepthStencil) autoDepth = makeSurface(params.multisample, true, params.autoDepthStencilFormat);
  if (glGetError() != GL_NO_ERROR) {
    GfxReport("Platform/GraphicsDevice", "Cannot create a %ux%u back buffer with %u samples",
              params.backBufferWidth, params.backBufferHeight, params.multisample);
    *result = GFX_ERR_NOT_AVAILABLE;
    return false;
  }
  return true;
}

// Moves the back buffer, and the depth buffer made with it, into the window's framebuffer or
// out of it into renderbuffers, keeping what they hold. Only the main context holding the
// window reaches the window's framebuffer.
bool SGfxDeviceImpl::MoveBackBuffer(SGfxContext* ctx, bool intoWindow) {
  if (!backBuffer || backBuffer->m_inWindow == intoWindow) return true;
  if (!ctx->isMain || !ctx->holdsWindow) return false;
  const uint32_t width = params.backBufferWidth, height = params.backBufferHeight;
  const SGfxRect whole = {0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height)};
  const SGfxFramebuffer window = {0, true, height};
  const GLbitfield mask = GL_COLOR_BUFFER_BIT | (autoDepth ? GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT : 0);
  while (glGetError() != GL_NO_ERROR) {
  }
  SGfxFramebuffer own;
  if (intoWindow) {
    if (!TargetFor(ctx, backBuffer, autoDepth, &own)) return false;
    Blit(ctx, own, whole, window, whole, GL_NEAREST, mask);
    for (CGfxSurface* surface : {backBuffer, autoDepth}) {
      if (!surface) continue;
      surface->DropGl();
      surface->m_inWindow = true;
    }
  } else {
    GiveRenderbuffer(backBuffer);
    if (autoDepth) GiveRenderbuffer(autoDepth);
    if (!TargetFor(ctx, backBuffer, autoDepth, &own)) return false;
    Blit(ctx, window, whole, own, whole, GL_NEAREST, mask);
  }
  // The move itself stands (the framebuffers were complete); only the pixels may be lost.
  if (glGetError() != GL_NO_ERROR)
    GfxReport("Platform/GraphicsDevice", "What the back buffer held was lost moving it %s the window",
              intoWindow ? "into" : "out of");
  return true;
}

// Puts the back buffer where it is best kept now; called where a shared context comes or
// goes, the window is lent or reclaimed, and after each Present (the window may have changed
// size or gone full screen meanwhile).
void SGfxDeviceImpl::SettleBackBuffer(SGfxContext* ctx) {
  if (!backBuffer || !ctx->isMain || !ctx->holdsWindow) return;
  ReadWindowSize();
  MoveBackBuffer(ctx, WantsWindow());
}

void SGfxDeviceImpl::ReleaseBackBuffer() {
  for (CGfxSurface** surface : {&backBuffer, &autoDepth, &resolve}) {
    if (*surface) (*surface)->Release();
    *surface = nullptr;
  }
}

void SGfxDeviceImpl::SetDefaultState() {
  ++stateEpoch;
  std::fill(std::begin(state.renderStates), std::end(state.renderStates), 0u);
  uint32_t* rs = state.renderStates;
  rs[GFX_RS_ZENABLE] = autoDepth ? 1 : 0;
  rs[GFX_RS_ZWRITEENABLE] = 1;
  rs[GFX_RS_SRCBLEND] = GFX_BLEND_ONE;
  rs[GFX_RS_DESTBLEND] = GFX_BLEND_ZERO;
  rs[GFX_RS_CULLMODE] = GFX_CULL_CCW;
  rs[GFX_RS_ZFUNC] = GFX_CMP_LESSEQUAL;
  rs[GFX_RS_ALPHAFUNC] = GFX_CMP_ALWAYS;
  rs[GFX_RS_CLIPPING] = 1;
  rs[GFX_RS_COLORWRITEENABLE] = 0xF;
  rs[GFX_RS_BLENDOP] = GFX_BLENDOP_ADD;
  for (auto& sampler : state.samplerStates) {
    std::fill(std::begin(sampler), std::end(sampler), 0u);
    sampler[GFX_SAMP_ADDRESSU] = sampler[GFX_SAMP_ADDRESSV] = sampler[GFX_SAMP_ADDRESSW] = GFX_TADDRESS_WRAP;
    sampler[GFX_SAMP_MAGFILTER] = sampler[GFX_SAMP_MINFILTER] = GFX_TEXF_POINT;
    sampler[GFX_SAMP_MIPFILTER] = GFX_TEXF_NONE;
  }
  for (uint32_t stage = 0; stage < kGfxTextureStages; ++stage) {
    uint32_t* tss = state.stageStates[stage];
    std::fill(tss, tss + kGfxStageStateCount, 0u);
    tss[GFX_TSS_COLOROP] = stage == 0 ? GFX_TOP_MODULATE : GFX_TOP_DISABLE;
    tss[GFX_TSS_ALPHAOP] = stage == 0 ? GFX_TOP_SELECTARG1 : GFX_TOP_DISABLE;
    tss[GFX_TSS_COLORARG1] = tss[GFX_TSS_ALPHAARG1] = GFX_TA_TEXTURE;
    tss[GFX_TSS_COLORARG2] = tss[GFX_TSS_ALPHAARG2] = GFX_TA_CURRENT;
    tss[GFX_TSS_TEXCOORDINDEX] = stage;
  }
  std::fill(std::begin(state.vertexConstants), std::end(state.vertexConstants), 0.0f);
  std::fill(std::begin(state.pixelConstants), std::end(state.pixelConstants), 0.0f);
  state.renderTarget = backBuffer;
  backBuffer->AddRef();
  state.depthStencil = autoDepth;
  if (autoDepth) autoDepth->AddRef();
  state.viewport = {0, 0, params.backBufferWidth, params.backBufferHeight, 0.0f, 1.0f};
}

// Drops every binding (the references the device holds), as a reset does.
void SGfxDeviceImpl::ClearBindings() {
  auto drop = [](auto*& object) {
    if (object) object->Release();
    object = nullptr;
  };
  for (auto& texture : state.textures) drop(texture);
  for (auto& stream : state.streams) {
    drop(stream.buffer);
    stream = {};
  }
  drop(state.indices);
  drop(state.declaration);
  state.elements = nullptr;
  drop(state.vertexShader);
  drop(state.pixelShader);
  drop(state.renderTarget);
  drop(state.depthStencil);
}

// ---- device

CGfxDevice::CGfxDevice() : m_impl(new SGfxDeviceImpl) { m_impl->device = this; }

CGfxDevice::~CGfxDevice() {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  SGfxContext* ctx = impl.Enter();
  impl.ClearBindings();
  impl.ReleaseBackBuffer();
  // Objects the caller still holds outlive the device without their GL storage.
  std::vector<CGfxObject*> left(impl.objects.begin(), impl.objects.end());
  for (CGfxObject* object : left) {
    if (ctx) object->DropGl();
    object->m_device = nullptr;
  }
  impl.objects.clear();
  for (SGfxContext* shared : impl.shared) {
    GfxReport("Platform/GraphicsDevice", "A shared context was still alive when the device ended");
    shared->impl = nullptr;
  }
  if (ctx && impl.main) impl.DestroyContext(impl.main);
  delete m_impl;
}

uint32_t CGfxDevice::TestCooperativeLevel() {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  if (!m_impl->lost) return GFX_OK;
  if (m_impl->lostPolls > 0) {
    --m_impl->lostPolls;
    return GFX_ERR_DEVICE_LOST;
  }
  return GFX_ERR_DEVICE_NOT_RESET;
}

void CGfxDevice::ForceDeviceLoss(uint32_t lostPolls) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  m_impl->lost = true;
  m_impl->lostPolls = lostPolls;
}

uint32_t CGfxDevice::GetContextGeneration() const { return m_impl->generation; }

uint64_t CGfxDevice::GetGlDrawCount() const {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  return m_impl->glDraws;
}

bool CGfxDevice::DrawsIntoWindow() const {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  return m_impl->backBuffer && m_impl->backBuffer->m_inWindow;
}

const SGfxPresentParams& CGfxDevice::GetPresentParams() const { return m_impl->params; }

PlatformWindowHandle CGfxDevice::GetWindow() const {
  return reinterpret_cast<PlatformWindowHandle>(m_impl->window);
}

uint32_t CGfxDevice::GetDeviceCaps(SGfxCaps* caps) const {
  if (!caps) return GFX_ERR_INVALID_CALL;
  *caps = m_impl->caps;
  return GFX_OK;
}

static uint32_t CheckParams(SDL_Window* window, SGfxPresentParams& params) {
  if (params.backBufferWidth == 0 || params.backBufferHeight == 0) {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window, &w, &h);
    params.backBufferWidth = static_cast<uint32_t>(std::max(w, 1));
    params.backBufferHeight = static_cast<uint32_t>(std::max(h, 1));
  }
  if (params.backBufferFormat != GFX_FMT_A8R8G8B8 && params.backBufferFormat != GFX_FMT_X8R8G8B8)
    return GFX_ERR_NOT_AVAILABLE;
  if (params.enableAutoDepthStencil && !GfxIsDepthFormatSupported(params.autoDepthStencilFormat))
    return GFX_ERR_NOT_AVAILABLE;
  if (params.multisample == 1 || params.multisample > 16) return GFX_ERR_NOT_AVAILABLE;
  if (params.backBufferCount > 1) return GFX_ERR_NOT_AVAILABLE;
  return GFX_OK;
}

// Puts the window into the asked mode: windowed, or full screen over the desktop. The
// display mode itself is never changed: Present scales the back buffer to the window, so a
// back buffer of any size fills the screen, and leaving the game never leaves the desktop
// in a strange mode.
static bool ApplyWindowMode(SDL_Window* window, const SGfxPresentParams& params) {
  return SDL_SetWindowFullscreen(window, params.windowed ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
}

// The device's own factory: really creates the GL context and the back buffer.
class CGfxRealFactory : public IGfxDeviceFactory {
 public:
  CGfxDevice* Create(PlatformWindowHandle window, const SGfxPresentParams& asked, uint32_t* result) override {
    std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
    uint32_t ignored;
    if (!result) result = &ignored;
    auto* sdlWindow = reinterpret_cast<SDL_Window*>(window);
    SGfxPresentParams params = asked;
    if (!sdlWindow) {
      *result = GFX_ERR_INVALID_CALL;
      return nullptr;
    }
    *result = CheckParams(sdlWindow, params);
    if (*result != GFX_OK) return nullptr;
    if (!params.windowed && !ApplyWindowMode(sdlWindow, params)) {
      GfxReport("Platform/GraphicsDevice", "Cannot switch to full screen: %s", SDL_GetError());
      *result = GFX_ERR_NOT_AVAILABLE;
      return nullptr;
    }
    auto* device = new CGfxDevice;
    SGfxDeviceImpl& impl = *device->m_impl;
    impl.window = sdlWindow;
    impl.params = params;
    if (!impl.CreateMainContext(result)) {
      delete device;
      return nullptr;
    }
    if (params.multisample > impl.caps.maxMultisample || !impl.CreateBackBuffer(result)) {
      *result = GFX_ERR_NOT_AVAILABLE;
      delete device;
      return nullptr;
    }
    impl.SetDefaultState();
    *result = GFX_OK;
    return device;
  }
};

IGfxDeviceFactory& GetGfxDeviceFactory() {
  static CGfxRealFactory factory;
  return factory;
}

CGfxDevice* CreateGfxDeviceWithFallback(IGfxDeviceFactory& factory, PlatformWindowHandle window,
                                        SGfxPresentParams& params, uint32_t request, uint32_t* result) {
  uint32_t ignored;
  if (!result) result = &ignored;
  std::vector<uint32_t> tries;
  for (uint32_t samples = request; samples >= 2; --samples) tries.push_back(samples);
  tries.push_back(0);
  for (uint32_t samples : tries) {
    params.multisample = samples;
    if (CGfxDevice* device = factory.Create(window, params, result)) return device;
  }
  return nullptr;
}

uint32_t CGfxDevice::Reset(const SGfxPresentParams& asked) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  if (!impl.main || impl.main->owner != std::this_thread::get_id()) return GFX_ERR_INVALID_CALL;
  if (!impl.shared.empty()) {
    GfxReport("Platform/GraphicsDevice", "Reset refused: %zu shared contexts are still alive", impl.shared.size());
    return GFX_ERR_INVALID_CALL;
  }
  SGfxPresentParams params = asked;
  uint32_t result = CheckParams(impl.window, params);
  if (result != GFX_OK) return result;
  if (params.multisample > impl.caps.maxMultisample) return GFX_ERR_NOT_AVAILABLE;

  // As on the original device, every object of the default pool must be gone first;
  // only the back buffer and its depth buffer, which the device holds itself, remain.
  impl.ClearBindings();
  uint32_t alive = 0;
  for (CGfxObject* object : impl.objects) {
    if (!object->IsDefaultPool()) continue;
    const bool own = object == impl.backBuffer || object == impl.autoDepth || object == impl.resolve;
    if (!own || object->m_refs > 1) ++alive;
  }
  if (alive > 0) {
    GfxReport("Platform/GraphicsDevice", "Reset refused: %u default-pool objects are still alive", alive);
    impl.lost = true;
    impl.SetDefaultState();
    return GFX_ERR_INVALID_CALL;
  }

  // Drop the whole GL context; what survives a reset (managed textures and buffers,
  // shaders, declarations) is rebuilt from the copies the objects keep.
  impl.Enter();
  impl.ReleaseBackBuffer();
  impl.ReadBackManaged();
  for (CGfxObject* object : impl.objects) object->DropGl();
  impl.DestroyContext(impl.main);
  impl.main = nullptr;
  for (auto& names : impl.orphanNames) names.clear();  // they died with the context
  impl.params = params;
  impl.lost = true;
  if (!ApplyWindowMode(impl.window, params)) {
    GfxReport("Platform/GraphicsDevice", "Cannot change the display mode: %s", SDL_GetError());
  }
  if (!impl.CreateMainContext(&result)) return GFX_ERR_DEVICE_LOST;
  if (!impl.CreateBackBuffer(&result)) return result;
  impl.RecreateManaged();
  impl.SetDefaultState();
  impl.inScene = false;
  impl.lost = false;
  impl.lostPolls = 0;
  ++impl.generation;
  return GFX_OK;
}

// ---- shared contexts

// Frees a shared context from the creating thread: its translated shaders and framebuffers
// can only go with it current, so it is borrowed for that.
static void DestroyShared(SGfxDeviceImpl& impl, SGfxContext* ctx) {
  impl.shared.erase(std::find(impl.shared.begin(), impl.shared.end(), ctx));
  if (SDL_GL_MakeCurrent(OwnSurface(ctx), ctx->gl) == 0) {
    t_context = ctx;
    impl.DestroyContext(ctx);
  }
  SDL_GL_MakeCurrent(impl.windowLent ? OwnSurface(impl.main) : impl.window, impl.main->gl);
  t_context = impl.main;
  impl.main->ForgetAppliedState();
  MOJOSHADER_glMakeContextCurrent(impl.main->mojo);
}

SGfxSharedContext* CGfxDevice::CreateSharedContext() {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  SGfxContext* main = impl.Enter();
  if (!main || !main->isMain) return nullptr;
  // The new context cannot reach the window's framebuffer: the back buffer leaves it.
  if (!impl.MoveBackBuffer(main, false)) return nullptr;
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
  SDL_GLContext gl;
  {
    SGfxDriverScope driver;
    gl = SDL_GL_CreateContext(impl.window);  // becomes current here
  }
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
  SGfxContext* ctx = nullptr;
  if (gl) {
    ctx = impl.CreateContextRecord(gl, false);
    if (!ctx) SDL_GL_DeleteContext(gl);
  } else {
    GfxReport("Platform/GraphicsDevice", "Cannot create a shared GL context: %s", SDL_GetError());
  }
  SDL_GL_MakeCurrent(impl.windowLent ? OwnSurface(main) : impl.window, main->gl);
  MOJOSHADER_glMakeContextCurrent(main->mojo);
  t_context = main;
  if (!ctx) {
    impl.SettleBackBuffer(main);
    return nullptr;
  }
  if (!OwnSurface(ctx)) {
    GfxReport("Platform/GraphicsDevice", "Cannot create the shared context's drawable: %s", SDL_GetError());
    impl.shared.push_back(ctx);
    DestroyShared(impl, ctx);
    impl.SettleBackBuffer(impl.main);
    return nullptr;
  }
  impl.shared.push_back(ctx);
  return new SGfxSharedContext{ctx};
}

bool CGfxDevice::MakeSharedContextCurrent(SGfxSharedContext* shared) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  if (!shared || !shared->context || shared->context->impl != &impl) return false;
  SGfxContext* ctx = shared->context;
  const bool takeWindow = impl.windowLent && !impl.windowHolder;
  SGfxDriverScope driver;  // the thread's first GL call sets up per-thread driver state
  if (SDL_GL_MakeCurrent(takeWindow ? impl.window : ctx->ownSurface, ctx->gl) != 0) {
    GfxReport("Platform/GraphicsDevice", "Cannot make the shared context current: %s", SDL_GetError());
    return false;
  }
  ctx->owner = std::this_thread::get_id();
  ctx->holdsWindow = takeWindow;
  if (takeWindow) impl.windowHolder = ctx;
  ctx->ForgetAppliedState();
  t_context = ctx;
  MOJOSHADER_glMakeContextCurrent(ctx->mojo);
  return true;
}

void CGfxDevice::ReleaseSharedContext() {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  SGfxContext* ctx = t_context;
  if (!ctx || ctx->impl != m_impl || ctx->isMain) return;
  m_impl->FlushBatch(ctx);
  glFinish();  // everything it drew is in the shared targets before another thread reads them
  if (ctx->holdsWindow) m_impl->windowHolder = nullptr;
  ctx->holdsWindow = false;
  SGfxDriverScope driver;
  SDL_GL_MakeCurrent(nullptr, nullptr);
  t_context = nullptr;
}

void CGfxDevice::DestroySharedContext(SGfxSharedContext* shared) {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  if (!shared) return;
  SGfxContext* ctx = shared->context;
  delete shared;
  if (!ctx || !impl.main || impl.main->owner != std::this_thread::get_id()) return;
  // What the main context gathered goes out before the contexts change and the back buffer
  // may move back into the window.
  impl.Enter();
  if (std::find(impl.shared.begin(), impl.shared.end(), ctx) == impl.shared.end()) return;
  if (ctx->holdsWindow) {
    GfxReport("Platform/GraphicsDevice", "A shared context was destroyed while still current on its thread");
    return;
  }
  DestroyShared(impl, ctx);
  impl.SettleBackBuffer(impl.main);
}

bool CGfxDevice::LendWindowSurface() {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  SGfxContext* ctx = impl.Enter();
  if (!ctx || !ctx->isMain || impl.windowLent || !impl.MoveBackBuffer(ctx, false)) return false;
  glFinish();
  if (SDL_GL_MakeCurrent(OwnSurface(ctx), ctx->gl) != 0) return false;
  impl.windowLent = true;
  ctx->holdsWindow = false;
  return true;
}

bool CGfxDevice::ReclaimWindowSurface() {
  std::lock_guard<CGfxDeviceLock> guard(SGfxDeviceImpl::Lock());
  SGfxDeviceImpl& impl = *m_impl;
  SGfxContext* ctx = impl.Enter();
  if (!ctx || !ctx->isMain || !impl.windowLent || impl.windowHolder) return false;
  if (SDL_GL_MakeCurrent(impl.window, ctx->gl) != 0) return false;
  impl.windowLent = false;
  ctx->holdsWindow = true;
  impl.SettleBackBuffer(ctx);
  return true;
}

bool GfxAssembleShader(const char* source, std::vector<uint32_t>& byteCode, std::string& error,
                       const std::vector<SGfxShaderSymbol>& symbols) {
  // Each range becomes an array of float4 vectors in the constant table.
  std::vector<MOJOSHADER_symbol> table(symbols.size());
  for (size_t i = 0; i < symbols.size(); ++i) {
    MOJOSHADER_symbol& entry = table[i];
    entry.name = symbols[i].name.c_str();
    entry.register_set = MOJOSHADER_SYMREGSET_FLOAT4;
    entry.register_index = symbols[i].firstRegister;
    entry.register_count = symbols[i].registerCount;
    entry.info.parameter_class = MOJOSHADER_SYMCLASS_VECTOR;
    entry.info.parameter_type = MOJOSHADER_SYMTYPE_FLOAT;
    entry.info.rows = 1;
    entry.info.columns = 4;
    entry.info.elements = symbols[i].registerCount;
  }
  const MOJOSHADER_parseData* data = MOJOSHADER_assemble(
      "shader", source, static_cast<unsigned>(std::strlen(source)), nullptr, 0, table.data(),
      static_cast<unsigned>(table.size()), nullptr, 0, nullptr, nullptr, nullptr, nullptr, nullptr);
  bool ok = data->error_count == 0 && data->output_len > 0 && data->output_len % 4 == 0;
  if (ok) {
    byteCode.resize(static_cast<size_t>(data->output_len) / 4);
    std::memcpy(byteCode.data(), data->output, static_cast<size_t>(data->output_len));
  } else {
    error = data->error_count > 0 && data->errors[0].error ? data->errors[0].error : "no byte code produced";
    if (data->error_count > 0) error = "line " + std::to_string(data->errors[0].error_position) + ": " + error;
  }
  MOJOSHADER_freeParseData(data);
  return ok;
}
