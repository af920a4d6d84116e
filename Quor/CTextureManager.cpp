#include "Quor/CTextureManager.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstring>
#include <utility>
#include <vector>

#include "Platform/GraphicsRef.h"
#include "Platform/InputGameView.h"
#include "Quor/CByteReader.h"
#include "Quor/CVFS.h"
#include "Quor/ContentOrigin.h"
#include "Quor/CopyDirPath.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/ReportError.h"
#include "Quor/TextureFormats.h"
#include "Quor/Utils.h"

namespace {

const char* const kCTextureManagerSource = "Quor/CTextureManager";

CTextureManager* g_textureManager = nullptr;

// True when the four characters at `text + offset` are `ending` (upper case), any case.
bool HasFourCharsAt(const std::string& text, size_t offset, const char* ending) {
  if (offset + 4 > text.size()) return false;
  for (size_t i = 0; i < 4; ++i) {
    if (std::toupper(static_cast<unsigned char>(text[offset + i])) != ending[i]) return false;
  }
  return true;
}

bool EndsWith(const std::string& text, const char* ending) {
  return text.size() >= 4 && HasFourCharsAt(text, text.size() - 4, ending);
}

// Picture loaders: false when the file is missing, or when it is there but unusable, which
// also sets `damaged` (the reader or the decoder has said why).
using Decoder = bool (*)(const uint8_t*, size_t, const char*, STexturePicture&);

bool LoadPicture(const std::string& path, Decoder decode, STexturePicture& picture, bool* damaged) {
  std::vector<uint8_t> bytes;
  CVFS* vfs = GetVFS();
  if (!vfs) return ReadWholeVfsFile(path.c_str(), &bytes);  // which reports the missing file system
  VfsFile* file = vfs->Open(path.c_str());
  if (!file) return false;
  const bool loaded =
      ReadOpenVfsFile(file, path.c_str(), &bytes) && decode(bytes.data(), bytes.size(), path.c_str(), picture);
  if (!loaded) *damaged = true;
  return loaded;
}

CResource_TextureMemory* PictureResource(const TextureRecord* texture) {
  return texture && texture->resource && texture->kind == ETextureKind::Picture
             ? static_cast<CResource_TextureMemory*>(texture->resource)
             : nullptr;
}

CResource_RenderTargetTexture* TargetResource(const TextureRecord* texture) {
  return texture && texture->resource && texture->kind == ETextureKind::RenderTarget
             ? static_cast<CResource_RenderTargetTexture*>(texture->resource)
             : nullptr;
}

bool IsUsableSize(uint32_t width, uint32_t height) {
  return width > 0 && height > 0 && width <= kMaxTextureSide && height <= kMaxTextureSide;
}

}  // namespace

CTextureManager* GetTextureManager() { return g_textureManager; }
void SetTextureManager(CTextureManager* manager) { g_textureManager = manager; }

TextureRecord* LoadTexture(const char* fileName) {
  if (!g_textureManager) {
    HM_REPORT(kCTextureManagerSource, "Texture \"%s\" cannot be loaded: there is no texture manager", fileName);
    return nullptr;
  }
  return g_textureManager->LoadTexture(fileName);
}

// ---------------------------------------------------------------- the manager

CTextureManager::CTextureManager(const char* directory) { SetDirectory(directory); }

CTextureManager::~CTextureManager() {
  for (auto& node : m_table) {
    DestroyTextureRecord(node.value);
    delete node.value;
  }
  m_table.Clear();
}

void CTextureManager::SetDirectory(const char* directory) { CopyDirPath(m_folder.text, directory ? directory : ""); }

std::string CTextureManager::MakeKey(const char* fileName) const {
  char key[kMaxKeyLength + 1];
  MakeResourceId(m_folder, fileName, key, sizeof key);
  return key;
}

TextureRecord* CTextureManager::Share(const char* key) {
  auto* node = m_table.Find(key);
  if (!node) return nullptr;
  ++node->value->referenceCount;
  return node->value;
}

// A texture whose file was there but could not be used is "damaged", not "not found".
TextureRecord* CTextureManager::LoadTexture(const char* fileName) {
  bool damaged = false;
  TextureRecord* texture = LoadShared(fileName, &damaged);
  if (!texture)
    HM_FATAL(kCTextureManagerSource, "Texture \"%s\" %s%s.", Path(fileName).c_str(),
             damaged ? "is damaged" : "not found", CContentOrigin::Clause().c_str());
  return texture;
}

TextureRecord* CTextureManager::TryLoadTexture(const char* fileName) {
  bool damaged = false;
  TextureRecord* texture = LoadShared(fileName, &damaged);
  if (!texture)
    HM_REPORT(kCTextureManagerSource, "Texture \"%s\" %s%s.", Path(fileName).c_str(),
              damaged ? "is damaged" : "not found", CContentOrigin::Clause().c_str());
  return texture;
}

std::string CTextureManager::Path(const char* fileName) const {
  return std::string(GetDirectory()) + (fileName ? fileName : "");
}

TextureRecord* CTextureManager::LoadShared(const char* fileName, bool* damaged) {
  if (!fileName) fileName = "";
  const std::string key = MakeKey(fileName);
  if (TextureRecord* shared = Share(key.c_str())) return shared;
  return LoadFromFiles(fileName, key.c_str(), damaged);
}

// The name's ending chooses the format; a missing ".DCTZ" or ".BMP" file falls back to the
// ".MPT" file of the same name, which is then shared under the name that was asked for.
TextureRecord* CTextureManager::LoadFromFiles(const char* fileName, const char* key, bool* damaged) {
  const std::string name = fileName;
  if (name.size() < 5) return nullptr;
  const std::string path = Path(fileName);
  STexturePicture picture;
  bool loaded = false;
  if (HasFourCharsAt(name, name.size() - 5, ".DCT")) {
    loaded = LoadPicture(path, DecodeDCTZFile, picture, damaged);
    if (!loaded) loaded = LoadPicture(path.substr(0, path.size() - 4) + "MPT", DecodeMPT, picture, damaged);
  } else if (EndsWith(name, ".MPT")) {
    loaded = LoadPicture(path, DecodeMPT, picture, damaged);
  } else if (EndsWith(name, ".BMP")) {
    loaded = LoadPicture(path, DecodeBMP, picture, damaged);
    if (!loaded) loaded = LoadPicture(path.substr(0, path.size() - 3) + "MPT", DecodeMPT, picture, damaged);
  }
  if (!loaded) return nullptr;
  // The decoders give the useful picture inside the padded texture.
  return RegisterPicture(key, picture);
}

TextureRecord* CTextureManager::FindTexture(const char* fileName) {
  if (!fileName) return nullptr;
  if (TextureRecord* shared = Share(MakeKey(fileName).c_str())) return shared;
  const std::string name = fileName;
  if (name.size() > 4 && EndsWith(name, ".BMP")) {
    return Share(MakeKey((name.substr(0, name.size() - 4) + ".MPT").c_str()).c_str());
  }
  return nullptr;
}

// `picture` holds width x height texels (B, G, R, A), which the texture takes; sides that
// are not powers of two are padded with zero texels, the picture in the top-left corner.
TextureRecord* CTextureManager::RegisterPicture(const char* key, STexturePicture& picture) {
  auto* texture = new TextureRecord;
  texture->kind = ETextureKind::Picture;
  texture->imageWidth = picture.imageWidth;
  texture->imageHeight = picture.imageHeight;
  if (!IsPowerOfTwo(picture.width) || !IsPowerOfTwo(picture.height)) PadToPowerOfTwo(picture);
  texture->resource = CreateMemoryTextureResource(picture.width, picture.height, std::move(picture.texels));
  if (!texture->resource) {  // the device refused it (reported)
    delete texture;
    return nullptr;
  }
  m_table.Insert(key, texture);
  return texture;
}

TextureRecord* CTextureManager::CreateTexture(const char* key, uint32_t width, uint32_t height,
                                              const uint8_t* pixels, bool raw, bool mipmap) {
  if (mipmap && (!IsPowerOfTwo(width) || !IsPowerOfTwo(height)))
    HM_FATAL(kCTextureManagerSource, "Can't generate mipmap for non power of two textures");
  if (!key) key = "";
  if (TextureRecord* shared = Share(key)) return shared;
  if (!IsUsableSize(width, height) || !pixels) {
    HM_REPORT(kCTextureManagerSource,
              "Texture \"%s\" cannot be made: %ux%u texels%s (sides of 1 to %u texels are possible)", key, width,
              height, pixels ? "" : " without pixels", kMaxTextureSide);
    return nullptr;
  }
  STexturePicture picture;
  picture.texels.reserve(PaddedTexelBytes(width, height));
  picture.texels.assign(pixels, pixels + size_t(width) * height * 4);
  picture.width = picture.imageWidth = width;
  picture.height = picture.imageHeight = height;
  if (!raw) ExchangeRedAndBlue(picture.texels.data(), size_t(width) * height);
  return RegisterPicture(key, picture);
}

TextureRecord* CTextureManager::AcquireRenderTarget(const char* name, uint32_t width, uint32_t height) {
  if (!name) name = "";
  if (TextureRecord* shared = Share(name)) return shared;
  if (!IsUsableSize(width, height)) {
    HM_REPORT(kCTextureManagerSource,
              "Render target \"%s\" cannot be made: %ux%u texels (sides of 1 to %u texels are possible)", name, width,
              height, kMaxTextureSide);
    return nullptr;
  }
  CResource_RenderTargetTexture* target = CreateRenderTargetResource(width, height);
  if (!target) return nullptr;  // the device refused it (reported)
  auto* texture = new TextureRecord;
  texture->kind = ETextureKind::RenderTarget;
  texture->resource = target;
  texture->imageWidth = target->Width();
  texture->imageHeight = target->Height();
  m_table.Insert(name, texture);
  return texture;
}

void CTextureManager::ReleaseTexture(TextureRecord* texture) {
  if (!texture) return;
  if (texture->referenceCount > 1) {
    --texture->referenceCount;
    return;
  }
  // Keys are unique in the table (every way in looks the key up first), so the node found
  // by walking to the record is also the one its key finds.
  for (auto& node : m_table) {
    if (node.value != texture) continue;
    m_table.RemoveNode(node.GetKey());
    DestroyTextureRecord(texture);
    delete texture;
    return;
  }
  HM_REPORT(kCTextureManagerSource, "A texture released to nothing was not in the texture table");
}

// ---------------------------------------------------------------- record operations

uint64_t NewTextureRevision() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}

CTextureHold::CTextureHold(TextureRecord* texture) : m_texture(texture) {
  if (m_texture) ++m_texture->referenceCount;
}

CTextureHold& CTextureHold::operator=(CTextureHold other) {
  std::swap(m_texture, other.m_texture);
  return *this;
}

CTextureHold::~CTextureHold() {
  if (!m_texture) return;
  if (CTextureManager* manager = GetTextureManager()) manager->ReleaseTexture(m_texture);
}

void CopyPixelsToTexture(TextureRecord* texture, const uint8_t* rgba) {
  CResource_TextureMemory* resource = PictureResource(texture);
  CGfxTexture* device = resource ? resource->Get() : nullptr;
  SGfxLockedRect locked;
  if (!device || !rgba || device->LockRect(0, &locked, nullptr, GFX_LOCK_DISCARD) != GFX_OK) {
    HM_REPORT(kCTextureManagerSource, "Pixels cannot be copied into this texture (%s)",
              !resource ? "not a picture texture"
              : !rgba   ? "no pixels"
                        : "the device texture is not available");
    return;
  }
  // The source is the picture itself (image size); the padding stays as it was.
  const uint32_t width = std::min(texture->imageWidth, resource->Width());
  const uint32_t height = std::min(texture->imageHeight, resource->Height());
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = static_cast<uint8_t*>(locked.bits) + size_t(y) * locked.pitch;
    std::memcpy(row, rgba + size_t(y) * texture->imageWidth * 4, size_t(width) * 4);
    ExchangeRedAndBlue(row, width);
  }
  texture->revision = NewTextureRevision();
  if (!GfxSucceeded(device->UnlockRect(0)))
    HM_REPORT(kCTextureManagerSource, "Pixels copied into a texture did not reach the device");
}

void CopyBackBufferToTexture(TextureRecord* texture, const float destination[4], const float source[4]) {
  CGfxDevice* device = GetD3DDevice();
  CGfxTexture* target = GetD3DTexture(texture);
  CGfxRef<CGfxSurface> backBuffer;
  CGfxRef<CGfxSurface> surface;
  if (!device || !target || device->GetBackBuffer(0, 0, backBuffer.Receive()) != GFX_OK) {
    HM_REPORT(kCTextureManagerSource, "The back buffer cannot be copied: %s",
              !target ? "no device texture" : "no back buffer");
    return;
  }
  SGfxSurfaceDesc back{};
  if (!GfxSucceeded(backBuffer->GetDesc(&back))) {
    HM_REPORT(kCTextureManagerSource, "The back buffer cannot be copied: its size is unknown");
    return;
  }
  const int32_t backWidth = int32_t(back.width), backHeight = int32_t(back.height);
  // The game area is the render area clamped to 4:3..16:9, centred in the back buffer.
  const SPlatformState& state = GetPlatformState();
  const bool hasRenderArea = state.renderWidth > 0 && state.renderHeight > 0;
  const SPlatformGameView area = PlatformGameView(hasRenderArea ? state.renderWidth : backWidth,
                                                  hasRenderArea ? state.renderHeight : backHeight);
  const int32_t w = area.width, h = area.height;
  const SGfxRect from = {int32_t(w * source[0]) + (backWidth - w) / 2, int32_t(h * source[1]) + (backHeight - h) / 2,
                         int32_t(w * source[2]) + (backWidth - w) / 2, int32_t(h * source[3]) + (backHeight - h) / 2};
  const float tw = float(GetTextureWidth(texture)), th = float(GetTextureHeight(texture));
  const SGfxRect to = {int32_t(tw * destination[0]), int32_t(th * destination[1]), int32_t(tw * destination[2]),
                       int32_t(th * destination[3])};
  if (target->GetSurfaceLevel(0, surface.Receive()) != GFX_OK) {
    HM_REPORT(kCTextureManagerSource,
              "The back buffer could not be copied into a texture: its picture is not available");
  } else if (device->StretchRect(backBuffer.Get(), &from, surface.Get(), &to, GFX_TEXF_LINEAR) != GFX_OK) {
    HM_REPORT(kCTextureManagerSource, "The back buffer could not be copied into a texture");
  } else {
    texture->revision = NewTextureRevision();
  }
}

void CopyBackBufferToWholeTexture(TextureRecord* texture, const float source[4]) {
  static const float kWhole[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  CopyBackBufferToTexture(texture, kWhole, source);
}

void GetTextureExtent(const TextureRecord* texture, float* u, float* v) {
  const uint32_t width = GetTextureWidth(texture), height = GetTextureHeight(texture);
  *u = width ? float(texture->imageWidth) / float(width) : 0.0f;
  *v = height ? float(texture->imageHeight) / float(height) : 0.0f;
}

void ResetTextureExtent(TextureRecord* texture) {
  texture->imageWidth = GetTextureWidth(texture);
  texture->imageHeight = GetTextureHeight(texture);
}

uint32_t GetTextureWidth(const TextureRecord* texture) {
  if (const CResource_TextureMemory* picture = PictureResource(texture)) return picture->Width();
  if (const CResource_RenderTargetTexture* target = TargetResource(texture)) return target->Width();
  return 0;
}

uint32_t GetTextureHeight(const TextureRecord* texture) {
  if (const CResource_TextureMemory* picture = PictureResource(texture)) return picture->Height();
  if (const CResource_RenderTargetTexture* target = TargetResource(texture)) return target->Height();
  return 0;
}

CGfxTexture* GetD3DTexture(const TextureRecord* texture) {
  return texture && texture->resource ? texture->resource->Get() : nullptr;
}

void DestroyTextureRecord(TextureRecord* texture) {
  if (!texture || !texture->resource) return;
  DestroyDeviceResource(texture->resource);
  texture->resource = nullptr;
}

TextureRecord* GetEffectiveTexture(TextureRecord* texture) {
  return texture && texture->substitute ? texture->substitute : texture;
}

void ClearTextureSubstitute(TextureRecord* texture) {
  if (texture) texture->substitute = nullptr;
}
