// Device resources and the list that carries them through a lost device.

#include "Quor/DirectX/CD3DDeviceResources.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <list>
#include <string>
#include <thread>
#include <utility>

#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DrawSubmission.h"
#include "Quor/ReportError.h"

namespace {

constexpr char kCD3DDeviceResourcesSource[] = "Quor/DirectX/CD3DDeviceResources";

// list: switch to CPtrList when merged
struct SResourceList {
  std::list<CResource*> items;  // newest first
  bool present = true;
};
SResourceList g_resources;

// Creation that fails for lack of memory is tried again, but not forever: after this many
// tries the object stays missing and the failure is reported.
constexpr int kCreateTries = 20;

template <typename Create>
uint32_t CreateWithRetries(Create create, std::chrono::milliseconds pause) {
  uint32_t result = GFX_ERR_OUT_OF_MEMORY;
  for (int attempt = 0; attempt < kCreateTries; ++attempt) {
    result = create();
    if (result != GFX_ERR_OUT_OF_MEMORY && result != GFX_ERR_OUT_OF_VIDEO_MEMORY) break;
    if (pause.count() > 0) std::this_thread::sleep_for(pause);
  }
  return result;
}

// The device's answer to making `what`: true when it made it, else reported.
bool Made(uint32_t result, const std::string& what) {
  if (result == GFX_OK) return true;
  HM_REPORT(kCD3DDeviceResourcesSource, "Cannot create %s (0x%08x)", what.c_str(), result);
  return false;
}

std::string SizeText(uint32_t width, uint32_t height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

// Copies `size` bytes into the whole of a freshly made buffer.
template <typename Buffer>
void Fill(Buffer* buffer, const std::vector<uint8_t>& contents) {
  void* data = nullptr;
  if (buffer && !contents.empty() && buffer->Lock(0, 0, &data, 0) == GFX_OK) {
    std::memcpy(data, contents.data(), contents.size());
    if (!GfxSucceeded(buffer->Unlock()))
      HM_REPORT(kCD3DDeviceResourcesSource, "A buffer's contents of %zu bytes did not reach the device",
                contents.size());
  }
}

// A wrapper whose object the device refuses is not kept: the caller gets null.
template <typename T>
T* Enter(T* resource) {
  ServiceDeviceBeforeCreate();
  if (!resource->Restore()) {
    delete resource;
    return nullptr;
  }
  g_resources.items.push_front(resource);
  return resource;
}

}  // namespace

// ---- memory textures

CResource_TextureMemory::CResource_TextureMemory(uint32_t width, uint32_t height, std::vector<uint8_t>&& texels)
    : m_width(width), m_height(height), m_pixels(std::move(texels)) {}

CResource_TextureMemory::~CResource_TextureMemory() { ReleaseObject(); }

bool CResource_TextureMemory::Restore() {
  CGfxDevice* device = GetD3DDevice();
  if (!device) return true;
  // Texels the device could not hand back (a texture locked through the loss) come back black.
  m_pixels.resize(static_cast<size_t>(m_width) * m_height * 4);
  return Made(device->CreateTextureFrom(m_width, m_height, GFX_FMT_A8R8G8B8, m_pixels, m_object.Receive()),
              "the " + SizeText(m_width, m_height) + " texture");
}

void CResource_TextureMemory::Release() {
  // The device's copy holds texels written after creation (a texture refilled by its user):
  // it is what must survive the loss.
  if (m_object) m_object->TakeTexels(m_pixels);
  ReleaseObject();
}

// ---- render targets

bool CResource_RenderTargetTexture::Restore() {
  CGfxDevice* device = GetD3DDevice();
  if (!device) return true;
  const std::string what = "the " + SizeText(m_width, m_height) + " render target";
  CGfxRef<CGfxSurface> backBuffer;
  if (!Made(device->GetBackBuffer(0, 0, backBuffer.Receive()), what + " (no back buffer to match)")) return false;
  SGfxSurfaceDesc desc{};
  if (!Made(backBuffer->GetDesc(&desc), what + " (the back buffer's format is unknown)")) return false;
  if (!Made(device->CreateTexture(m_width, m_height, 1, GFX_USAGE_RENDERTARGET, desc.format, GFX_POOL_DEFAULT,
                                  m_object.Receive()),
            what))
    return false;
  SGfxSurfaceDesc level;
  if (m_object->GetLevelDesc(0, &level) == GFX_OK) {
    m_width = level.width;
    m_height = level.height;
  }
  ++m_restores;
  return true;
}

// ---- declarations

CResource_VertexDeclaration::CResource_VertexDeclaration(const SGfxVertexElement* elements) {
  // The list is copied (up to its end marker) so a caller's temporary array cannot
  // dangle when the declaration is made again after a loss.
  for (size_t i = 0; elements && i < 65; ++i) {
    m_elements.push_back(elements[i]);
    if (elements[i].stream == 0xFF) break;
  }
}

bool CResource_VertexDeclaration::Restore() {
  CGfxDevice* device = GetD3DDevice();
  if (!device) return true;
  const std::string what = "a vertex declaration of " + std::to_string(m_elements.size()) + " elements";
  if (m_elements.empty()) return Made(GFX_ERR_INVALID_CALL, what);
  return Made(device->CreateVertexDeclaration(m_elements.data(), m_object.Receive()), what);
}

// ---- vertex buffers

CResource_VertexBuffer::CResource_VertexBuffer(const void* contents, uint32_t fvf, uint32_t length)
    : m_length(length), m_fvf(fvf), m_contents(length, 0), m_readBack(contents == nullptr) {
  if (contents) std::memcpy(m_contents.data(), contents, length);
}

CResource_VertexBuffer::~CResource_VertexBuffer() { Release(); }

bool CResource_VertexBuffer::Restore() {
  CGfxDevice* device = GetD3DDevice();
  if (!device) return true;
  const uint32_t usage = m_readBack ? GFX_USAGE_WRITEONLY : GFX_USAGE_DYNAMIC;
  const uint32_t result = CreateWithRetries(
      [&] { return device->CreateVertexBuffer(m_length, usage, m_fvf, GFX_POOL_DEFAULT, m_object.Receive()); },
      std::chrono::milliseconds(0));
  if (!Made(result, "a vertex buffer of " + std::to_string(m_length) + " bytes")) return false;
  Fill(m_object.Get(), m_contents);
  return true;
}

void CResource_VertexBuffer::Release() {
  void* data = nullptr;
  if (m_object && m_readBack && m_object->Lock(0, 0, &data, GFX_LOCK_READONLY) == GFX_OK) {
    std::memcpy(m_contents.data(), data, m_length);
    m_object->Unlock();
  }
  ReleaseObject();
}

// ---- index buffers

CResource_IndexBuffer::CResource_IndexBuffer(const void* contents, uint32_t length, EGfxFormat format)
    : m_length(length), m_format(format), m_contents(length, 0) {
  if (contents) std::memcpy(m_contents.data(), contents, length);
}

bool CResource_IndexBuffer::Restore() {
  CGfxDevice* device = GetD3DDevice();
  if (!device) return true;
  const uint32_t result = CreateWithRetries(
      [&] {
        return device->CreateIndexBuffer(m_length, GFX_USAGE_WRITEONLY, m_format, GFX_POOL_DEFAULT, m_object.Receive());
      },
      std::chrono::milliseconds(100));
  if (!Made(result, "an index buffer of " + std::to_string(m_length) + " bytes")) return false;
  Fill(m_object.Get(), m_contents);
  return true;
}

// ---- shaders and depth buffers

CResource_Shader::CResource_Shader(const void* byteCode, size_t size, bool pixel) : m_pixel(pixel) {
  const auto* bytes = static_cast<const uint8_t*>(byteCode);
  if (bytes) m_byteCode.assign(bytes, bytes + size);
}

bool CResource_Shader::Restore() {
  CGfxDevice* device = GetD3DDevice();
  if (!device) return true;
  const std::string what = std::string(m_pixel ? "a pixel" : "a vertex") + " shader of " +
                           std::to_string(m_byteCode.size()) + " bytes";
  return Made(m_pixel ? device->CreatePixelShader(m_byteCode.data(), m_byteCode.size(), m_object.Receive())
                      : device->CreateVertexShader(m_byteCode.data(), m_byteCode.size(), m_object.Receive()),
              what);
}

bool CResource_ZBuffer::Restore() {
  CGfxDevice* device = GetD3DDevice();
  if (!device) return true;
  const SGfxPresentParams& params = device->GetPresentParams();
  return Made(device->CreateDepthStencilSurface(m_width, m_height, params.autoDepthStencilFormat, params.multisample,
                                                params.multisampleQuality, true, m_object.Receive()),
              "the " + SizeText(m_width, m_height) + " depth buffer");
}

// ---- creation and the list

CResource_TextureMemory* CreateMemoryTextureResource(uint32_t width, uint32_t height, const uint8_t* pixels) {
  const size_t size = static_cast<size_t>(width) * height * 4;
  return CreateMemoryTextureResource(width, height,
                                     pixels ? std::vector<uint8_t>(pixels, pixels + size) : std::vector<uint8_t>(size, 0));
}

CResource_TextureMemory* CreateMemoryTextureResource(uint32_t width, uint32_t height, std::vector<uint8_t>&& texels) {
  return Enter(new CResource_TextureMemory(width, height, std::move(texels)));
}

CResource_RenderTargetTexture* CreateRenderTargetResource(uint32_t width, uint32_t height) {
  return Enter(new CResource_RenderTargetTexture(width, height));
}

CResource_VertexBuffer* CreateVertexBufferResource(const void* contents, uint32_t fvf, uint32_t length) {
  return Enter(new CResource_VertexBuffer(contents, fvf, length));
}

CResource_IndexBuffer* CreateQuadIndexBuffer() {
  return Enter(new CResource_IndexBuffer(GetQuadIndexTable(), kQuadIndexCount * 2, GFX_FMT_INDEX16));
}

CResource_VertexDeclaration* CreateVertexDeclarationResource(const SGfxVertexElement* elements) {
  return Enter(new CResource_VertexDeclaration(elements));
}

CResource_VertexShader* CreateVertexShaderResource(const void* byteCode, size_t size) {
  return Enter(new CResource_VertexShader(byteCode, size));
}

CResource_PixelShader* CreatePixelShaderResource(const void* byteCode, size_t size) {
  return Enter(new CResource_PixelShader(byteCode, size));
}

CResource_ZBuffer* CreateZBufferResource(uint32_t width, uint32_t height) {
  return Enter(new CResource_ZBuffer(width, height));
}

CResource* AddDeviceResource(CResource* resource) { return Enter(resource); }

void DestroyDeviceResource(CResource* resource) {
  auto found = std::find(g_resources.items.begin(), g_resources.items.end(), resource);
  if (found == g_resources.items.end())
    HM_FATAL(kCD3DDeviceResourcesSource, "Device resource %p is not in the resource list",
             static_cast<void*>(resource));
  g_resources.items.erase(found);
  delete resource;
}

void ReleaseAllDeviceResources() {
  g_resources.present = false;
  for (CResource* resource : g_resources.items) resource->Release();
}

bool RestoreAllDeviceResources() {
  bool all = true;
  for (CResource* resource : g_resources.items) all = resource->Restore() && all;
  g_resources.present = true;
  return all;
}

void DestroyAllDeviceResources() {
  while (!g_resources.items.empty()) {
    CResource* head = g_resources.items.front();
    g_resources.items.pop_front();
    delete head;
  }
}

bool AreDeviceResourcesPresent() { return g_resources.present; }

size_t GetDeviceResourceCount() { return g_resources.items.size(); }
