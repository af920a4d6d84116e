#pragma once
// Inside the graphics device: GL contexts, the device's state and how it reaches GL.
// Only the platform's graphics sources include this header.

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL2/SDL.h>
#include <mojoshader.h>

#include <map>
#include <mutex>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

#include "Platform/GraphicsDevice.h"

constexpr uint32_t kGfxSamplers = 16;
constexpr uint32_t kGfxStreams = 4;
constexpr uint32_t kGfxTextureStages = 8;
constexpr uint32_t kGfxVertexConstants = 256;
constexpr uint32_t kGfxPixelConstants = 32;
constexpr uint32_t kGfxRenderStateCount = 256;
constexpr uint32_t kGfxSamplerStateCount = 14;
constexpr uint32_t kGfxStageStateCount = 33;
constexpr uint32_t kGfxUnknown = 0xFFFFFFFFu;
// Uploads bind textures on a unit no sampler uses, so draws find their bindings intact.
constexpr GLenum kGfxUploadUnit = GL_TEXTURE0 + kGfxSamplers;

// The kinds of GL object the device deletes by name (and keeps aside when no context is current).
enum class EGlObjectKind { Texture, Buffer, Renderbuffer };
constexpr size_t kGlObjectKindCount = 3;

// A framebuffer as GL addresses it: a framebuffer object, whose row 0 is the picture's top
// row, or the window's own (name 0), whose row 0 is the bottom row of a `height`-row picture.
struct SGfxFramebuffer {
  GLuint name = 0;
  bool bottomUp = false;
  uint32_t height = 0;
};

// A buffer that user-memory draws stream their vertices or indices through, mapped for good:
// written from the front and never overwritten. When full it is replaced by a fresh one; the
// driver keeps the old storage for the draws still reading it.
struct SGfxStreamRing {
  GLuint name = 0;
  uint8_t* data = nullptr;
  size_t size = 0, used = 0;
};

// Consecutive user-memory draws under the same state, gathered into one GL draw that is issued
// when anything else reaches GL (FlushBatch).
struct SGfxBatch {
  bool open = false;
  uint64_t epoch = 0;  // the device state it was drawn under
  GLenum mode = GL_TRIANGLES;
  bool indexed = false;
  bool quads = false;  // indexed through the quad index buffer: four vertices a quad
  GLenum indexType = GL_UNSIGNED_SHORT;
  uint32_t stride = 0;
  size_t firstVertexByte = 0;  // in the vertex ring
  uint32_t vertexCount = 0;
  GLsizei count = 0;     // indices (indexed) or vertices
  size_t indexByte = 0;  // in the index ring (indexed, not quads)
};

// One GL context of a device: the main one or a shared one of a worker thread. GL state is
// per context, so each remembers what it has applied.
struct SGfxContext {
  SGfxDeviceImpl* impl = nullptr;
  SDL_GLContext gl = nullptr;
  // A hidden 1 x 1 window to be current on while the main window is elsewhere: a context
  // cannot be current without a drawable on every driver.
  SDL_Window* ownSurface = nullptr;
  // The device's one translation context, made with the main context and shared by every
  // context of the device (they share GL objects, so translated shaders and linked programs
  // serve them all, and each is translated and compiled once).
  MOJOSHADER_glContext* mojo = nullptr;
  std::thread::id owner;  // the thread it is current on (or will be)
  bool isMain = false;
  bool holdsWindow = false;

  // Framebuffers are not shared between contexts: one per (colour, depth) attachment pair.
  std::map<std::pair<uint64_t, uint64_t>, GLuint> framebuffers;
  GLuint samplers[kGfxSamplers] = {};

  // What this context has applied (kGfxUnknown: must be set again).
  uint32_t renderStates[kGfxRenderStateCount];
  uint32_t samplerStates[kGfxSamplers][kGfxSamplerStateCount];
  GLuint unitTextures[kGfxSamplers];
  GLuint drawFramebuffer = kGfxUnknown;
  GLenum clipOrigin = kGfxUnknown;
  // The bound target: bottom up (the window) or top down, and whether it has a depth buffer
  // the device may use.
  bool targetBottomUp = false;
  uint32_t targetHeight = 0;
  bool targetHasDepth = false;
  SGfxViewport viewport{};
  bool viewportKnown = false;
  MOJOSHADER_glShader* boundVertex = nullptr;
  MOJOSHADER_glShader* boundPixel = nullptr;
  bool shadersKnown = false;
  uint32_t vsDirtyLow = 0, vsDirtyHigh = kGfxVertexConstants;
  uint32_t psDirtyLow = 0, psDirtyHigh = kGfxPixelConstants;

  // The fence after the last frame this context presented: the next Present waits for it, so
  // one frame is drawn while the next is prepared, and no more queue up.
  GLsync frameFence = nullptr;
  // The last handover (SGfxDeviceImpl::handoverSerial) this context made or waited for.
  uint64_t handoverSeen = 0;

  // User-memory draws: their data, the quads' index buffer and the draw being gathered.
  SGfxStreamRing vertexRing, indexRing;
  GLuint quadIndices = 0;
  SGfxBatch batch;
  // The vertex layout (LayoutKey) the shader inputs were last pointed at in the vertex ring,
  // from its start: draws then reach their vertices through a base vertex. 0 when they point
  // elsewhere or must be set again.
  uint64_t ringLayout = 0;
  uint32_t ringLayoutStride = 0;

  // GL objects of this context to delete next time it is current.
  std::vector<GLuint> pendingFramebuffers;
  std::vector<MOJOSHADER_glShader*> pendingShaders;

  void ForgetAppliedState();
};

struct SGfxSharedContext {
  SGfxContext* context;
};

// The Direct3D-style state of the device: shared by all its contexts.
struct SGfxDeviceState {
  uint32_t renderStates[kGfxRenderStateCount];
  uint32_t samplerStates[kGfxSamplers][kGfxSamplerStateCount];
  uint32_t stageStates[kGfxTextureStages][kGfxStageStateCount];
  CGfxTexture* textures[kGfxSamplers] = {};
  struct SStream {
    CGfxVertexBuffer* buffer = nullptr;
    uint32_t offset = 0, stride = 0, frequency = 1;
  } streams[kGfxStreams];
  CGfxIndexBuffer* indices = nullptr;
  CGfxVertexDeclaration* declaration = nullptr;
  const std::vector<SGfxVertexElement>* elements = nullptr;  // declaration's or the FVF's
  CGfxShader* vertexShader = nullptr;
  CGfxShader* pixelShader = nullptr;
  float vertexConstants[kGfxVertexConstants * 4] = {};
  float pixelConstants[kGfxPixelConstants * 4] = {};
  CGfxSurface* renderTarget = nullptr;
  CGfxSurface* depthStencil = nullptr;
  SGfxViewport viewport{};
};

// A draw as the GL sees it.
struct SGfxDrawCall {
  GLenum mode = GL_TRIANGLES;
  GLsizei count = 0;          // vertices or indices
  GLint first = 0;            // first vertex (arrays)
  bool indexed = false;
  GLenum indexType = GL_UNSIGNED_SHORT;
  const void* indexPointer = nullptr;  // offset into the index buffer, or user memory
  GLuint indexBuffer = 0;              // 0 for user memory
  GLint baseVertex = 0;
  const uint8_t* userVertices = nullptr;  // user-memory draw
  uint32_t userStride = 0;
  uint32_t userVertexCount = 0;  // vertices the draw reads from userVertices
  bool quadList = false;         // user indices 0, 1, 2, 2, 3, 0, 4, 5, 6, 6, 7, 4 ...
};

// The lock every device call holds. A call that reached GL hands its context's work over to
// the device's other contexts as it lets go (SGfxDeviceImpl::HandOver).
class CGfxDeviceLock {
 public:
  void lock();
  void unlock();

 private:
  std::recursive_mutex m_mutex;
};

struct SGfxDeviceImpl {
  CGfxDevice* device = nullptr;
  SDL_Window* window = nullptr;
  SGfxPresentParams params;
  SGfxContext* main = nullptr;
  std::vector<SGfxContext*> shared;
  SGfxContext* windowHolder = nullptr;  // the shared context bound to the lent window
  bool windowLent = false;

  SGfxDeviceState state;
  // Grows with every change of the state above; draws under equal epochs may be gathered.
  uint64_t stateEpoch = 1;
  // The depth every fragment of the next draw has before the viewport's range, when the
  // caller told it (NoteDrawDepth).
  bool drawDepthKnown = false;
  float drawDepth = 0.0f;
  // Whether the GL depth test is on for a draw with the current state: off without a depth
  // buffer, and off where it can neither reject a fragment nor change the buffer.
  uint32_t DepthTestFor(const SGfxContext* ctx) const;
  // After a draw: a depth buffer written by the test no longer holds one value.
  void NoteDepthWrites(const SGfxContext* ctx);
  // After a clear of depth: the whole surface (area covering it) or a part of it.
  void NoteDepthClear(const SGfxRect* area, float value);
  uint64_t glDraws = 0;
  void Change(uint32_t& field, uint32_t value) {
    if (field != value) ++stateEpoch;
    field = value;
  }
  std::unordered_set<CGfxObject*> objects;
  uint64_t nextSerial = 1;
  std::map<uint32_t, std::vector<SGfxVertexElement>> fvfLayouts;

  CGfxSurface* backBuffer = nullptr;
  CGfxSurface* autoDepth = nullptr;
  CGfxSurface* resolve = nullptr;  // single-sample copy of a multisampled back buffer
  SGfxCaps caps{};

  // The window's own framebuffer: its size when last read (ReadWindowSize) and whether its
  // format, as the main context found it when created, can stand in for the back buffer and
  // the default depth buffer.
  uint32_t windowWidth = 0, windowHeight = 0;
  bool windowHoldsColour = false, windowHoldsDepth = false;
  // Set for good once the engine pairs the back buffer's depth with another target (or the
  // back buffer with another depth buffer): the window's framebuffer cannot do that.
  bool windowRefused = false;

  // The context whose vertex arrays and bound program the translation context last set: the
  // only GL state it keeps that is not shared between contexts.
  SGfxContext* translationServes = nullptr;
  GLint maxVertexAttributes = 16;

  // Each context keeps a queue of GL commands of its own. While the device has more than one
  // context, a call ends by sending its context's work off behind this fence, and the next
  // call on any other context has GL wait for it: calls reach the picture in the order made.
  GLsync handoverFence = nullptr;
  uint64_t handoverSerial = 0;

  bool inScene = false;
  bool lost = false;
  uint32_t lostPolls = 0;
  uint32_t generation = 0;
  std::vector<GLuint> orphanNames[kGlObjectKindCount];  // by EGlObjectKind, freed off-context
  std::vector<GLuint>& OrphansOf(EGlObjectKind kind) { return orphanNames[static_cast<size_t>(kind)]; }

  // Locking and contexts.
  static CGfxDeviceLock& Lock();
  // The calling thread's context of this device, made current, or null. Enter issues the
  // gathered draw first, as every GL call but a user-memory draw must come after it.
  SGfxContext* Enter();
  SGfxContext* EnterKeepingBatch();
  bool CreateMainContext(uint32_t* result);
  SGfxContext* CreateContextRecord(SDL_GLContext gl, bool isMain);
  void DestroyContext(SGfxContext* ctx);
  void FlushPending(SGfxContext* ctx);
  void HandOver(SGfxContext* ctx);
  void TakeOver(SGfxContext* ctx);
  void InspectWindowFramebuffer();
  void ReadWindowSize();
  bool CreateBackBuffer(uint32_t* result);
  void GiveRenderbuffer(CGfxSurface* surface);
  bool WantsWindow() const;
  bool MoveBackBuffer(SGfxContext* ctx, bool intoWindow);
  void SettleBackBuffer(SGfxContext* ctx);
  void ReleaseBackBuffer();
  void SetDefaultState();
  void ClearBindings();

  // Objects.
  void Register(CGfxObject* object);
  void Unregister(CGfxObject* object);
  void DeleteGlName(EGlObjectKind kind, GLuint name);
  void ForgetFramebuffersOf(uint64_t key);
  void ForgetTranslated();
  void ServeTranslation(SGfxContext* ctx);
  MOJOSHADER_glShader* Compiled(SGfxContext* ctx, CGfxShader* shader);
  static uint32_t NewShader(CGfxDevice* device, SGfxDeviceImpl& impl, SGfxContext* ctx, const void* code,
                            size_t size, bool pixel, CGfxShader** shader);

  // Drawing.
  // Attachment identity of a surface for the framebuffer cache (kind in the top bits).
  static uint64_t AttachmentKey(const CGfxSurface* surface);
  GLuint FramebufferFor(SGfxContext* ctx, CGfxSurface* colour, CGfxSurface* depth);
  bool TargetFor(SGfxContext* ctx, CGfxSurface* colour, CGfxSurface* depth, SGfxFramebuffer* out);
  bool BindTarget(SGfxContext* ctx, bool depthUsed);
  void ApplyViewport(SGfxContext* ctx);
  void ApplyRenderStates(SGfxContext* ctx);
  void ApplySamplers(SGfxContext* ctx);
  uint32_t Draw(SGfxContext* ctx, const SGfxDrawCall& call);
  bool SetAttributes(const SGfxDrawCall& call, GLuint userBuffer, size_t userOffset);
  uint64_t LayoutKey() const;
  bool AppendToBatch(SGfxContext* ctx, const SGfxDrawCall& call);
  bool OpenBatch(SGfxContext* ctx, const SGfxDrawCall& call);
  void FlushBatch(SGfxContext* ctx);
  void ReleaseStreams(SGfxContext* ctx);
  uint32_t SetConstants(float* store, uint32_t capacity, bool pixel, uint32_t start, const float* data,
                        uint32_t count);
  static bool StreamsHold(const SGfxDeviceState& state, uint64_t lastVertex);
  void WaitForPreviousFrame(SGfxContext* ctx);
  uint32_t Blit(SGfxContext* ctx, const SGfxFramebuffer& source, const SGfxRect& sourceRect,
                const SGfxFramebuffer& dest, const SGfxRect& destRect, GLenum filter,
                GLbitfield mask = GL_COLOR_BUFFER_BIT);
  CGfxSurface* Resolved(SGfxContext* ctx, CGfxSurface* surface);
  void UploadTexture(CGfxTexture* texture, const SGfxRect& rect);
  static void MeasureCoverage(CGfxTexture* texture);
  // Fills a managed texture's system copy from the driver's, when it keeps none: for a lock
  // and for the loss of the context. False for a render target or without a GL texture.
  bool ReadBackTexels(CGfxTexture* texture);
  // Lets go of the system copy of a texture that keeps none, once the driver holds the picture.
  static void DropShadow(CGfxTexture* texture);
  // Checks the request and makes the texture: from `texels` (moved in, managed only) when
  // given, which the texture then lets go of once uploaded, else from zero texels (kept as
  // its system copy; none for a render target).
  uint32_t NewTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, EGfxFormat format,
                      EGfxPool pool, std::vector<uint8_t>* texels, CGfxTexture** texture);

  // Before the context goes: every managed texture gets the system copy it is made again from.
  void ReadBackManaged();
  // Makes the GL objects of managed textures and buffers again from their system copies; a
  // picture then lets go of its copy again.
  void RecreateManaged();
};
