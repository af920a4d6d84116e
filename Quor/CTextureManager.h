#pragma once
// The texture manager owns every texture of the engine. A texture is loaded once per name
// and shared by reference count; pictures come from MPT, DCTZ and BMP files, from pixel
// buffers handed in by other code, or are render targets asked for by name. Every texture
// lives in a device resource, so it survives a lost device.
//
// There is one manager, reached through GetTextureManager(); everything runs on the main
// thread.

#include <cstdint>
#include <string>

#include "Quor/CStringHash.h"
#include "Quor/Engine.h"

class CGfxTexture;
class CResource_Texture;
struct STexturePicture;

enum class ETextureKind : uint32_t {
  RenderTarget = 0,
  Picture = 2,
};

// A number no picture has had before (see TextureRecord::revision).
uint64_t NewTextureRevision();

// The program-wide texture handle, shared by every holder and released only through the
// manager.
struct TextureRecord {
  uint32_t referenceCount = 1;
  ETextureKind kind = ETextureKind::Picture;
  // When set, drawing uses this record instead (GetEffectiveTexture).
  TextureRecord* substitute = nullptr;
  // A CResource_TextureMemory for pictures, a CResource_RenderTargetTexture for targets.
  CResource_Texture* resource = nullptr;
  // The useful picture inside the (power-of-two) texture, in texels.
  uint32_t imageWidth = 0;
  uint32_t imageHeight = 0;
  // Names the pixels the record holds: renewed whenever pixels are copied into it and never
  // shared with another record, so what was made from the picture can tell it is still current.
  uint64_t revision = NewTextureRevision();
};

class CTextureManager {
 public:
  static constexpr uint32_t kTableBuckets = 113;
  static constexpr size_t kMaxKeyLength = 511;

  explicit CTextureManager(const char* directory);
  // Destroys every texture still in the table.
  ~CTextureManager();
  CTextureManager(const CTextureManager&) = delete;
  CTextureManager& operator=(const CTextureManager&) = delete;

  // The folder names are read from (kept with a trailing backslash) and whether it is part
  // of each texture key.
  void SetDirectory(const char* directory);
  const char* GetDirectory() const { return m_folder.text; }
  void SetKeyWithDirectory(bool on) { m_folder.keyByFolder = on ? 1 : 0; }
  bool GetKeyWithDirectory() const { return m_folder.keyByFolder != 0; }

  // Shared by key; a texture that cannot be found under its name or the fall-back names, or
  // whose file is damaged, is fatal, so the result is never null.
  TextureRecord* LoadTexture(const char* fileName);
  // The same, but a texture that cannot be found or is damaged is reported and gives null.
  TextureRecord* TryLoadTexture(const char* fileName);
  // Only textures already loaded (a ".BMP" name also finds the ".MPT" one); counts a
  // reference when found.
  TextureRecord* FindTexture(const char* fileName);
  // A texture from R, G, B, A pixels (B, G, R, A when raw) under the given table key; a key
  // already present only gains a reference. Mip maps are never made, but asking for them
  // for a side that is not a power of two is fatal.
  TextureRecord* CreateTexture(const char* key, uint32_t width, uint32_t height, const uint8_t* pixels, bool raw,
                               bool mipmap);
  // A render target registered under its name.
  TextureRecord* AcquireRenderTarget(const char* name, uint32_t width, uint32_t height);
  // One reference less; at 0 the texture leaves the table and is destroyed.
  void ReleaseTexture(TextureRecord* texture);

  uint32_t GetTextureCount() const { return m_table.GetCount(); }
  // The table key of a file name: "ID$" + name, or "ID$" + directory + name.
  std::string MakeKey(const char* fileName) const;

 private:
  // Null when no file gives the picture; `damaged` is set when one was there but unusable.
  TextureRecord* LoadShared(const char* fileName, bool* damaged);
  std::string Path(const char* fileName) const;
  TextureRecord* LoadFromFiles(const char* fileName, const char* key, bool* damaged);
  TextureRecord* RegisterPicture(const char* key, STexturePicture& picture);
  TextureRecord* Share(const char* key);

  SResourceFolder m_folder;
  CStringHash<TextureRecord*> m_table{kTableBuckets};
};

CTextureManager* GetTextureManager();
void SetTextureManager(CTextureManager* manager);

// A reference of its own on a texture, for a picture drawn after its owner may have let go
// of it (a taken object's picture flying to the bar while its place is left). Let go through
// the global manager.
class CTextureHold {
 public:
  CTextureHold() = default;
  explicit CTextureHold(TextureRecord* texture);
  CTextureHold(const CTextureHold& other) : CTextureHold(other.m_texture) {}
  CTextureHold& operator=(CTextureHold other);
  ~CTextureHold();

 private:
  TextureRecord* m_texture = nullptr;
};
// LoadTexture through the global manager; without one, reported and null.
TextureRecord* LoadTexture(const char* fileName);

// Overwrites the whole picture with R, G, B, A pixels of the record's image size.
void CopyPixelsToTexture(TextureRecord* texture, const uint8_t* rgba);
// Rectangles as (left, top, right, bottom): the destination in fractions of the texture,
// the source in fractions of the game area, which sits centred in the back buffer.
void CopyBackBufferToTexture(TextureRecord* texture, const float destination[4], const float source[4]);
void CopyBackBufferToWholeTexture(TextureRecord* texture, const float source[4]);

// The largest texture coordinates the picture covers: image size / texture size.
void GetTextureExtent(const TextureRecord* texture, float* u, float* v);
void ResetTextureExtent(TextureRecord* texture);
uint32_t GetTextureWidth(const TextureRecord* texture);
uint32_t GetTextureHeight(const TextureRecord* texture);
// The device texture (null while the device is lost).
CGfxTexture* GetD3DTexture(const TextureRecord* texture);
// Destroys the record's device resource (the record itself stays with its owner).
void DestroyTextureRecord(TextureRecord* texture);

// The substitute when one is set, else the record itself; every binding goes through it.
TextureRecord* GetEffectiveTexture(TextureRecord* texture);
void ClearTextureSubstitute(TextureRecord* texture);
