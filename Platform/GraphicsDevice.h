#pragma once
// The graphics device: Direct3D 9 semantics on OpenGL (compatibility context) with shaders
// translated from Direct3D 9 byte code. The layers above see only this header; the
// SDL, GL and shader-translation code stays in the platform's sources.
//
// Conventions kept from the engine's original device, so drawing code needs no changes:
//  - pixel centres lie on integer coordinates, the depth range is 0..1, matrices are used
//    as row vectors by the shaders themselves;
//  - textures, render targets and the back buffer are top-down (row 0 is the top row);
//  - the packed vertex colour (0xAARRGGBB) arrives in the shader as (r, g, b, a).
//
// Every device call may come from the thread that created the device or from a thread
// that made one of the device's shared contexts current; calls are serialised by one
// device lock. Objects are reference counted: Release at 0 destroys them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Platform/GraphicsTypes.h"
#include "Platform/PlatformWindowHandle.h"

class CGfxDevice;
struct SGfxDeviceImpl;
struct SGfxSharedContext;

class CGfxObject {
 public:
  uint32_t AddRef();
  uint32_t Release();
  CGfxDevice* GetDevice() const { return m_device; }

 protected:
  friend struct SGfxDeviceImpl;
  friend class CGfxDevice;
  explicit CGfxObject(CGfxDevice* device);
  virtual ~CGfxObject();
  CGfxObject(const CGfxObject&) = delete;
  CGfxObject& operator=(const CGfxObject&) = delete;

  // Drops the GL objects (device lost for good, or device destroyed first).
  virtual void DropGl() {}
  // True for objects that must be released before a Reset (the default pool).
  virtual bool IsDefaultPool() const { return false; }

  CGfxDevice* m_device;
  uint32_t m_refs = 1;
  uint64_t m_serial = 0;
};

class CGfxTexture;

// A colour or depth-stencil surface: the back buffer, a depth buffer or level 0 of a
// render-target texture.
class CGfxSurface : public CGfxObject {
 public:
  uint32_t GetDesc(SGfxSurfaceDesc* desc) const;

 private:
  friend struct SGfxDeviceImpl;
  friend class CGfxDevice;
  friend class CGfxTexture;
  explicit CGfxSurface(CGfxDevice* device) : CGfxObject(device) {}
  ~CGfxSurface() override;
  void DropGl() override;
  bool IsDefaultPool() const override { return m_ownsStorage && m_device != nullptr; }

  SGfxSurfaceDesc m_desc{};
  CGfxTexture* m_texture = nullptr;  // parent texture (a reference is held) or null
  uint32_t m_renderbuffer = 0;       // GL renderbuffer when the surface owns its storage
  bool m_ownsStorage = false;
  // The back buffer and its depth buffer may live in the window's own framebuffer instead of
  // a renderbuffer: Present then has nothing to copy.
  bool m_inWindow = false;
  bool m_depth = false;
  // A depth surface that holds one value everywhere since its last whole clear, and which.
  bool m_depthUniform = false;
  float m_depthValue = 0.0f;
};

class CGfxTexture : public CGfxObject {
 public:
  uint32_t GetLevelDesc(uint32_t level, SGfxSurfaceDesc* desc) const;
  uint32_t GetSurfaceLevel(uint32_t level, CGfxSurface** surface);
  uint32_t LockRect(uint32_t level, SGfxLockedRect* locked, const SGfxRect* rect, uint32_t flags);
  uint32_t UnlockRect(uint32_t level);
  uint32_t Width() const { return m_desc.width; }
  uint32_t Height() const { return m_desc.height; }
  // Kept current by every upload; drawing code uses it to leave out blending or empty margins.
  SGfxTexelCoverage GetCoverage() const;
  // Whether every texel in the rectangle (cut to the texture) is known to be opaque, from a
  // map of kGfxCoverageTile-square tiles measured with the coverage.
  bool IsOpaqueIn(const SGfxRect& texels) const;
  // Hands a managed texture's texels (B, G, R, A) to the caller, who releases the texture
  // next: what a lost device keeps to make it again. Its system copy, else read back from the
  // driver, whose copy then goes. False (and `texels` untouched) for a render target, a
  // locked texture or one that handed them over already.
  bool TakeTexels(std::vector<uint8_t>& texels);

 private:
  friend struct SGfxDeviceImpl;
  friend class CGfxDevice;
  friend class CGfxSurface;
  explicit CGfxTexture(CGfxDevice* device) : CGfxObject(device) {}
  ~CGfxTexture() override;
  void DropGl() override;
  bool IsDefaultPool() const override { return m_desc.pool == GFX_POOL_DEFAULT && m_device; }

  SGfxSurfaceDesc m_desc{};
  uint32_t m_gl = 0;
  SGfxTexelCoverage m_coverage{};
  std::vector<uint8_t> m_opaqueTiles;  // a byte a tile, rows first: 1 where every texel is opaque
  // The texels (B, G, R, A) of a managed texture made empty or written through a lock, which
  // keeps them; a picture made from texels keeps none once uploaded, and a lock or a lost
  // context reads them back from the driver.
  std::vector<uint8_t> m_shadow;
  bool m_keepsShadow = false;
  bool m_locked = false;
  bool m_lockReadOnly = false;
  SGfxRect m_lockRect{};
};

// A vertex or index buffer. Its contents are kept beside the GL copy: locks hand out that
// copy and unlocking uploads what was written, so a lost context can be refilled. A dynamic
// buffer locked with GFX_LOCK_DISCARD gets fresh GL storage, and one locked with
// GFX_LOCK_NOOVERWRITE is written without waiting for the draws that read it.
class CGfxBuffer : public CGfxObject {
 public:
  uint32_t Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags);
  uint32_t Unlock();
  uint32_t GetDesc(SGfxBufferDesc* desc) const;

 protected:
  friend struct SGfxDeviceImpl;
  friend class CGfxDevice;
  CGfxBuffer(CGfxDevice* device, bool indices) : CGfxObject(device), m_indices(indices) {}
  ~CGfxBuffer() override;
  void DropGl() override;
  bool IsDefaultPool() const override { return m_desc.pool == GFX_POOL_DEFAULT && m_device; }

  bool m_indices;
  SGfxBufferDesc m_desc{};
  uint32_t m_gl = 0;
  std::vector<uint8_t> m_shadow;
  bool m_locked = false;
  bool m_lockReadOnly = false;
  uint32_t m_lockFlags = 0;
  uint32_t m_lockOffset = 0, m_lockSize = 0;
};

class CGfxVertexBuffer : public CGfxBuffer {
  friend struct SGfxDeviceImpl;
  friend class CGfxDevice;
  explicit CGfxVertexBuffer(CGfxDevice* device) : CGfxBuffer(device, false) {}
};

class CGfxIndexBuffer : public CGfxBuffer {
  friend struct SGfxDeviceImpl;
  friend class CGfxDevice;
  explicit CGfxIndexBuffer(CGfxDevice* device) : CGfxBuffer(device, true) {}
};

class CGfxVertexDeclaration : public CGfxObject {
 public:
  const std::vector<SGfxVertexElement>& Elements() const { return m_elements; }

 private:
  friend struct SGfxDeviceImpl;
  friend class CGfxDevice;
  explicit CGfxVertexDeclaration(CGfxDevice* device) : CGfxObject(device) {}
  std::vector<SGfxVertexElement> m_elements;  // without the end marker
};

// A vertex or pixel shader: the byte code, translated once for every context it is used in.
class CGfxShader : public CGfxObject {
 public:
  bool IsPixelShader() const { return m_pixel; }

 private:
  friend struct SGfxDeviceImpl;
  friend class CGfxDevice;
  CGfxShader(CGfxDevice* device, bool pixel) : CGfxObject(device), m_pixel(pixel) {}
  ~CGfxShader() override;
  void DropGl() override;

  bool m_pixel;
  std::vector<uint8_t> m_byteCode;
  // Translated once and shared by all the device's GL contexts (a MOJOSHADER_glShader*).
  void* m_translated = nullptr;
};
using CGfxVertexShader = CGfxShader;
using CGfxPixelShader = CGfxShader;

// Builds a device; tests replace it with a stub to watch the multisample fallback.
class IGfxDeviceFactory {
 public:
  virtual ~IGfxDeviceFactory() = default;
  // Creates a device with exactly the given parameters, or returns null and a failure code.
  virtual CGfxDevice* Create(PlatformWindowHandle window, const SGfxPresentParams& params,
                             uint32_t* result) = 0;
};

// The factory of real devices.
IGfxDeviceFactory& GetGfxDeviceFactory();

// Creates a device, asking for `request` samples: with 0 or 1 one try without
// multisampling; with n >= 2 the sample counts n, n-1, ..., 2 and then 0, until one works.
// params.multisample receives the count the device was created with.
CGfxDevice* CreateGfxDeviceWithFallback(IGfxDeviceFactory& factory, PlatformWindowHandle window,
                                        SGfxPresentParams& params, uint32_t request,
                                        uint32_t* result);

// Display adapters and modes (one adapter per display).
uint32_t GfxGetAdapterCount();
bool GfxGetAdapterDisplayMode(uint32_t adapter, SGfxDisplayMode* mode);
uint32_t GfxGetAdapterModeCount(uint32_t adapter);
bool GfxEnumAdapterModes(uint32_t adapter, uint32_t index, SGfxDisplayMode* mode);
// The display's name and the video driver's, for the adapter list.
const char* GfxGetAdapterName(uint32_t adapter);
const char* GfxGetVideoDriverName();
// Depth-stencil formats the device can create (D24S8 and D16).
bool GfxIsDepthFormatSupported(EGfxFormat format);

class CGfxDevice {
 public:
  ~CGfxDevice();
  CGfxDevice(const CGfxDevice&) = delete;
  CGfxDevice& operator=(const CGfxDevice&) = delete;

  // Frame.
  uint32_t TestCooperativeLevel();
  uint32_t Reset(const SGfxPresentParams& params);
  uint32_t BeginScene();
  uint32_t EndScene();
  uint32_t Present();
  uint32_t Clear(uint32_t rectCount, const SGfxRect* rects, uint32_t flags, uint32_t color, float z,
                 uint32_t stencil);
  uint32_t SetViewport(const SGfxViewport& viewport);
  uint32_t GetViewport(SGfxViewport* viewport);
  const SGfxPresentParams& GetPresentParams() const;
  uint32_t GetDeviceCaps(SGfxCaps* caps) const;

  // States.
  uint32_t SetRenderState(uint32_t state, uint32_t value);
  uint32_t GetRenderState(uint32_t state, uint32_t* value);
  // Tells the device that every vertex of the next draw lies at depth z (clip-space z over w)
  // before the viewport's depth range: while the depth buffer holds one value, a draw whose
  // depth test cannot fail and whose writes would store that value again goes without the
  // test, which spares the software renderer a read and a write of depth for every fragment.
  // Holds for the next draw only.
  void NoteDrawDepth(float z);
  uint32_t SetSamplerState(uint32_t sampler, uint32_t type, uint32_t value);
  uint32_t GetSamplerState(uint32_t sampler, uint32_t type, uint32_t* value);
  uint32_t SetTextureStageState(uint32_t stage, uint32_t type, uint32_t value);
  uint32_t GetTextureStageState(uint32_t stage, uint32_t type, uint32_t* value);

  // Resources.
  uint32_t CreateTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage,
                         EGfxFormat format, EGfxPool pool, CGfxTexture** texture);
  // A managed texture of one level made from `texels` (width x height, B, G, R, A), which it
  // takes as its system copy and uploads once. On failure the texels stay with the caller.
  uint32_t CreateTextureFrom(uint32_t width, uint32_t height, EGfxFormat format, std::vector<uint8_t>& texels,
                             CGfxTexture** texture);
  uint32_t CreateDepthStencilSurface(uint32_t width, uint32_t height, EGfxFormat format,
                                     GfxMultisample multisample, uint32_t quality, bool discard,
                                     CGfxSurface** surface);
  uint32_t CreateVertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, EGfxPool pool,
                              CGfxVertexBuffer** buffer);
  uint32_t CreateIndexBuffer(uint32_t length, uint32_t usage, EGfxFormat format, EGfxPool pool,
                             CGfxIndexBuffer** buffer);
  uint32_t CreateVertexDeclaration(const SGfxVertexElement* elements, CGfxVertexDeclaration** decl);
  // Shaders take their byte code with its size, so that damaged code is refused instead
  // of read past its end.
  uint32_t CreateVertexShader(const void* byteCode, size_t size, CGfxShader** shader);
  uint32_t CreatePixelShader(const void* byteCode, size_t size, CGfxShader** shader);

  // Targets.
  uint32_t GetBackBuffer(uint32_t swapChain, uint32_t index, CGfxSurface** surface);
  uint32_t GetRenderTarget(uint32_t index, CGfxSurface** surface);
  uint32_t SetRenderTarget(uint32_t index, CGfxSurface* surface);
  uint32_t GetDepthStencilSurface(CGfxSurface** surface);
  uint32_t SetDepthStencilSurface(CGfxSurface* surface);
  uint32_t StretchRect(CGfxSurface* source, const SGfxRect* sourceRect, CGfxSurface* dest,
                       const SGfxRect* destRect, uint32_t filter);

  // Bindings.
  uint32_t SetTexture(uint32_t sampler, CGfxTexture* texture);
  uint32_t SetStreamSource(uint32_t stream, CGfxVertexBuffer* buffer, uint32_t offset, uint32_t stride);
  uint32_t SetStreamSourceFreq(uint32_t stream, uint32_t frequency);
  uint32_t SetIndices(CGfxIndexBuffer* buffer);
  uint32_t SetVertexDeclaration(CGfxVertexDeclaration* decl);
  uint32_t SetFVF(uint32_t fvf);
  uint32_t SetVertexShader(CGfxShader* shader);
  uint32_t SetPixelShader(CGfxShader* shader);
  uint32_t SetVertexShaderConstantF(uint32_t start, const float* data, uint32_t count);
  uint32_t SetPixelShaderConstantF(uint32_t start, const float* data, uint32_t count);

  // Drawing.
  uint32_t DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount);
  uint32_t DrawIndexedPrimitive(uint32_t type, int32_t baseVertex, uint32_t minIndex,
                                uint32_t vertexCount, uint32_t startIndex, uint32_t primitiveCount);
  uint32_t DrawPrimitiveUP(uint32_t type, uint32_t primitiveCount, const void* vertices,
                           uint32_t stride);
  uint32_t DrawIndexedPrimitiveUP(uint32_t type, uint32_t minIndex, uint32_t vertexCount,
                                  uint32_t primitiveCount, const void* indices,
                                  EGfxFormat indexFormat, const void* vertices, uint32_t stride);

  // Frame capture: the back buffer as top-down R, G, B, A bytes (width x height x 4).
  uint32_t ReadBackBuffer(std::vector<uint8_t>& rgba, uint32_t* width, uint32_t* height);
  // Any colour surface (a render target or the back buffer), top-down R, G, B, A.
  uint32_t ReadSurface(CGfxSurface* surface, std::vector<uint8_t>& rgba);
  // What the window's framebuffer holds after the last Present, top-down R, G, B, A, with its
  // size (for tests and diagnostics; exact where the window's surface is single-buffered, as
  // the offscreen driver's is).
  uint32_t ReadWindow(std::vector<uint8_t>& rgba, uint32_t* width, uint32_t* height);

  // Waits until everything drawn so far is done (for benchmarks and tests).
  uint32_t WaitForIdle();

  // Loss. A real loss only comes with a mode switch (the GL context is re-created in
  // Reset); tests force one: the device then reports "lost" for `lostPolls` calls of
  // TestCooperativeLevel and "not reset" afterwards until Reset succeeds.
  void ForceDeviceLoss(uint32_t lostPolls = 0);
  // How often Reset re-created the GL context (for tests and diagnostics).
  uint32_t GetContextGeneration() const;
  // The bytes of texels the textures keep in system memory beside the driver's copies (for
  // tests and diagnostics).
  size_t GetKeptTexelBytes() const;
  // GL draws issued so far: consecutive user-memory draws under the same state become one
  // (for tests and diagnostics).
  uint64_t GetGlDrawCount() const;
  // True while the back buffer is the window's own framebuffer, drawn without a copy at
  // Present (for tests and diagnostics). It is whenever the window allows: one sample, the
  // back buffer's size, and no shared context that might present.
  bool DrawsIntoWindow() const;

  // Shared contexts for a worker thread (the loading screen). Created and destroyed on the
  // creating thread; made current on the worker. A shared context draws into the device's
  // targets; it can present only while the window is lent to it (LendWindowSurface).
  SGfxSharedContext* CreateSharedContext();
  bool MakeSharedContextCurrent(SGfxSharedContext* context);  // worker thread
  void ReleaseSharedContext();                                // worker thread
  void DestroySharedContext(SGfxSharedContext* context);      // creating thread
  bool LendWindowSurface();    // creating thread: the window may be bound by a worker
  bool ReclaimWindowSurface(); // creating thread: back to the main context

  // For the test driver and the platform: the window the device presents to.
  PlatformWindowHandle GetWindow() const;

 private:
  friend class CGfxObject;
  friend class CGfxTexture;
  friend class CGfxSurface;
  friend class CGfxBuffer;
  friend class CGfxShader;
  friend struct SGfxDeviceImpl;
  friend class CGfxRealFactory;
  CGfxDevice();
  SGfxDeviceImpl* m_impl;
};

// A named range of float constant registers, recorded in the byte code's constant table.
// Shaders that index a constant array relatively (a bone palette through a0) need it: the
// translator sizes the array from it.
struct SGfxShaderSymbol {
  std::string name;
  uint32_t firstRegister = 0;
  uint32_t registerCount = 1;
};

// Translates Direct3D shader assembly (vs_2_0, ps_2_0 ...) into byte code. On failure
// returns false and puts the assembler's message into `error`.
bool GfxAssembleShader(const char* source, std::vector<uint32_t>& byteCode, std::string& error,
                       const std::vector<SGfxShaderSymbol>& symbols = {});
