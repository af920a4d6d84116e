#pragma once
// Device resources: every device object the engine draws with is wrapped in a CResource that
// keeps what is needed to make it again. All wrappers sit in one list; when the device is
// lost the frame service releases them all, and after the reset restores them all, refilling
// textures and buffers from the copies kept here. Users hold CResource pointers and read the
// device object from them each time; they never keep the device object across a loss.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Platform/GraphicsDevice.h"
#include "Platform/GraphicsRef.h"

class CResource {
 public:
  virtual ~CResource() = default;
  // Device lost: release the device object.
  virtual void Release() = 0;
  // Device reset (and creation): make the device object again from the kept data. False
  // when the device refused it, reported naming the resource; true also while there is no
  // device to make it on (it is made when one comes).
  virtual bool Restore() = 0;
};

// A wrapper holding one device object of type T (null while released).
template <typename T>
class CResourceFrom : public CResource {
 public:
  T* Get() const { return m_object.Get(); }

 protected:
  void ReleaseObject() { m_object.Reset(); }
  CGfxRef<T> m_object;
};

class CResource_Texture : public CResourceFrom<CGfxTexture> {};

// A picture texture. Its texels are held once: by the device texture while there is one
// (the device keeps them for locks), by the resource itself while the device is lost.
class CResource_TextureMemory : public CResource_Texture {
 public:
  // `texels`: width x height x 4 bytes, B, G, R, A.
  CResource_TextureMemory(uint32_t width, uint32_t height, std::vector<uint8_t>&& texels);
  ~CResource_TextureMemory() override;
  void Release() override;
  bool Restore() override;
  uint32_t Width() const { return m_width; }
  uint32_t Height() const { return m_height; }
  uint8_t BytesPerTexel() const { return 4; }

 private:
  uint32_t m_width, m_height;
  std::vector<uint8_t> m_pixels;  // B, G, R, A; empty while the device texture holds them
};

class CResource_RenderTargetTexture : public CResource_Texture {
 public:
  CResource_RenderTargetTexture(uint32_t width, uint32_t height) : m_width(width), m_height(height) {}
  ~CResource_RenderTargetTexture() override { ReleaseObject(); }
  void Release() override { ReleaseObject(); }
  bool Restore() override;
  // After each restore: the size the device gave.
  uint32_t Width() const { return m_width; }
  uint32_t Height() const { return m_height; }
  // Counts the restores that made a device texture: a picture drawn into the target before the
  // last one is gone.
  uint32_t Restores() const { return m_restores; }

 private:
  uint32_t m_width, m_height;
  uint32_t m_restores = 0;
};

class CResource_VertexDeclaration : public CResourceFrom<CGfxVertexDeclaration> {
 public:
  explicit CResource_VertexDeclaration(const SGfxVertexElement* elements);
  ~CResource_VertexDeclaration() override { ReleaseObject(); }
  void Release() override { ReleaseObject(); }
  bool Restore() override;

 private:
  std::vector<SGfxVertexElement> m_elements;  // with the end marker
};

class CResource_VertexBuffer : public CResourceFrom<CGfxVertexBuffer> {
 public:
  CResource_VertexBuffer(const void* contents, uint32_t fvf, uint32_t length);
  ~CResource_VertexBuffer() override;
  void Release() override;
  bool Restore() override;
  uint32_t Length() const { return m_length; }

 private:
  uint32_t m_length, m_fvf;
  std::vector<uint8_t> m_contents;
  bool m_readBack;  // made without contents: what was written through the device is kept
};

class CResource_IndexBuffer : public CResourceFrom<CGfxIndexBuffer> {
 public:
  CResource_IndexBuffer(const void* contents, uint32_t length, EGfxFormat format);
  ~CResource_IndexBuffer() override { ReleaseObject(); }
  void Release() override { ReleaseObject(); }
  bool Restore() override;

 private:
  uint32_t m_length;
  EGfxFormat m_format;
  std::vector<uint8_t> m_contents;
};

// Vertex and pixel shaders keep a copy of their byte code.
class CResource_Shader : public CResourceFrom<CGfxShader> {
 public:
  CResource_Shader(const void* byteCode, size_t size, bool pixel);
  ~CResource_Shader() override { ReleaseObject(); }
  void Release() override { ReleaseObject(); }
  bool Restore() override;

 private:
  std::vector<uint8_t> m_byteCode;
  bool m_pixel;
};

class CResource_VertexShader : public CResource_Shader {
 public:
  CResource_VertexShader(const void* byteCode, size_t size) : CResource_Shader(byteCode, size, false) {}
};

class CResource_PixelShader : public CResource_Shader {
 public:
  CResource_PixelShader(const void* byteCode, size_t size) : CResource_Shader(byteCode, size, true) {}
};

class CResource_ZBuffer : public CResourceFrom<CGfxSurface> {
 public:
  CResource_ZBuffer(uint32_t width, uint32_t height) : m_width(width), m_height(height) {}
  ~CResource_ZBuffer() override { ReleaseObject(); }
  void Release() override { ReleaseObject(); }
  bool Restore() override;

 private:
  uint32_t m_width, m_height;
};

// Creation: settle a lost device first, create the device object, enter the list (at its head).
// Null when the device refuses the object (reported, naming it).
CResource_TextureMemory* CreateMemoryTextureResource(uint32_t width, uint32_t height, const uint8_t* pixels);
// The same, taking the texels (width x height x 4 bytes) instead of copying them.
CResource_TextureMemory* CreateMemoryTextureResource(uint32_t width, uint32_t height, std::vector<uint8_t>&& texels);
CResource_RenderTargetTexture* CreateRenderTargetResource(uint32_t width, uint32_t height);
CResource_VertexBuffer* CreateVertexBufferResource(const void* contents, uint32_t fvf, uint32_t length);
// The shared 65536-entry index buffer of quads: 4k + (0, 1, 2, 2, 3, 0) for quad k.
CResource_IndexBuffer* CreateQuadIndexBuffer();
CResource_VertexDeclaration* CreateVertexDeclarationResource(const SGfxVertexElement* elements);
CResource_VertexShader* CreateVertexShaderResource(const void* byteCode, size_t size);
CResource_PixelShader* CreatePixelShaderResource(const void* byteCode, size_t size);
CResource_ZBuffer* CreateZBufferResource(uint32_t width, uint32_t height);
// The same for a resource of the caller's own kind.
CResource* AddDeviceResource(CResource* resource);

// Removes a resource from the list and deletes it; one that is not in the list is fatal.
void DestroyDeviceResource(CResource* resource);
void ReleaseAllDeviceResources();
// False when any object could not be made again (each one reported); the others are made.
bool RestoreAllDeviceResources();
// Program exit: deletes every resource.
void DestroyAllDeviceResources();
// True after creation of the list and after every restore, false after every release.
bool AreDeviceResourcesPresent();
size_t GetDeviceResourceCount();
