#pragma once
// Textures kept as JPEG data until their engine texture is needed: a plain JPEG file with an
// optional alpha JPEG file (CJpegTexture), or a JPT container (CJptTexture, omJptTexture.h).
// Both can build a hit mask, from one channel of the picture or from a raw mask file.

#include "Framework/Scene/omTextureMask.h"
#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"

#include <cstdint>
#include <memory>
#include <vector>

class TiXmlElement;
struct TextureRecord;

namespace Ombrel {

class CJpegDecoder;

struct SMaskSettings {
  CStr file;  // a raw mask file (rows from the bottom, width bytes each); empty: a channel
  bool decompress = true;
  bool wanted = false;
  int channel = 3;  // EMaskChannel
  int depth = 1;    // 1: one bit a pixel, else one byte
  uint8_t threshold = 1;
};

// "Decompress" and the "Mask" child of a texture declaration; the mask file is named relative
// to the texture's folder.
SMaskSettings ReadMaskSettings(const TiXmlElement* element, const CStr& folder);

// A raw mask file of width x height bytes, bottom row first, as a mask. Null (reported
// naming the file) when the file is missing or too short.
std::unique_ptr<CTextureMask> ReadRawMask(const char* fileName, int width, int height, const SMaskSettings& mask);

// The part both JPEG-based textures share: Create decodes once into the engine texture.
class CDecodedTexture : public CMemWatch {
 public:
  CDecodedTexture(const CStr& path, CJpegDecoder* decoder, const SMaskSettings& mask);
  ~CDecodedTexture() override;

  // Builds the engine texture and the mask; nothing when the texture exists already.
  void Create();
  TextureRecord* GetTexture() const { return m_texture; }
  CTextureMask* GetMask() const { return m_mask.get(); }
  const CStr& GetPath() const { return m_path; }

 protected:
  // Hands the decoder the colour stream and the alpha.
  virtual void FeedDecoder(CJpegDecoder& decoder) const = 0;

  CStr m_path;

 private:
  void BuildMask(const CJpegDecoder& decoder);

  CJpegDecoder* m_decoder;
  SMaskSettings m_maskSettings;
  TextureRecord* m_texture = nullptr;
  std::unique_ptr<CTextureMask> m_mask;
};

class CJpegTexture : public CDecodedTexture {
 public:
  // Reads the whole file now; a missing file is fatal.
  CJpegTexture(const CStr& path, const CStr& alphaPath, CJpegDecoder* decoder, const SMaskSettings& mask);

 protected:
  void FeedDecoder(CJpegDecoder& decoder) const override;

 private:
  CStr m_alphaPath;
  std::vector<uint8_t> m_data;
};

}  // namespace Ombrel
