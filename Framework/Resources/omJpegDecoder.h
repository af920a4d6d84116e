#pragma once
// The one JPEG decoder of the framework, shared by the JPT and JPEG textures: it decodes a
// colour stream and, when there is one, an alpha stream (whose blue byte becomes the alpha)
// into B, G, R, A pixels, rows from the top, and keeps the planes of the channels a mask
// asks for. Main thread only; it holds data only for the duration of one texture's Create.
//
// A stream libjpeg cannot read is reported naming the file, and the picture is missing: the
// process never ends on bad JPEG data.

#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CTextureManager;
struct TextureRecord;

namespace Ombrel {

// Byte c of a decoded pixel. The channel names of masks are those content has always used:
// "Red" reads byte 0, which holds blue, and "Blue" byte 2, which holds red.
enum EMaskChannel { kChannelRed = 0, kChannelGreen = 1, kChannelBlue = 2, kChannelAlpha = 3 };

// One JPEG stream into B, G, R, 255 pixels, rows from the top. False, reported naming the
// file, for a stream that is damaged or not a three-component picture.
bool DecodeJpegBgra(const uint8_t* data, size_t size, const char* fileName, std::vector<uint8_t>& pixels,
                    int& width, int& height);

// The other way, for the content tools and the tests: R, G, B pixels (rows from the top) into a
// baseline JPEG stream of the quality (1..100) through libjpeg-turbo's compressor. Empty when
// the compressor refuses the picture (no pixels, or sides beyond what JPEG holds).
std::vector<uint8_t> EncodeJpegRgb(int width, int height, const uint8_t* rgb, int quality);

class CJpegDecoder : public CMemWatch {
 public:
  explicit CJpegDecoder(CTextureManager* textures) : m_textures(textures) {}

  // Streams not owned: they must outlive Decode.
  void SetColourData(const uint8_t* data, size_t size, const char* fileName);
  void SetAlphaData(const uint8_t* data, size_t size, const char* fileName);
  // Files read by Decode through the file system.
  void SetColourFileName(const char* fileName);
  void SetAlphaFileName(const char* fileName);
  void SetKeepFlag(int channel);

  // The pixels, or null when there is no usable colour picture (reported). An alpha stream
  // that cannot be read or has another size is reported and dropped: alpha stays 255.
  const uint8_t* Decode();
  // Width x height bytes of the kept channel, rows from the top; null when not kept.
  const uint8_t* GetPlane(int channel) const;
  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  CTextureManager* GetTextureManager() const { return m_textures; }
  void Reset();

 private:
  struct SStream {
    const uint8_t* data = nullptr;
    size_t size = 0;
    bool given = false;  // handed in as data: never read from the file
    CStr fileName;
    std::vector<uint8_t> owned;  // read from fileName
  };

  static bool ReadStream(SStream& stream, bool required);
  bool ApplyAlpha();

  CTextureManager* m_textures;
  SStream m_colour;
  SStream m_alpha;
  bool m_hasAlpha = false;
  std::vector<uint8_t> m_pixels;
  bool m_keep[4] = {};
  std::vector<uint8_t> m_planes[4];
  int m_width = 0;
  int m_height = 0;
};

// A texture of B, G, R, A pixels (rows from the top) under the key, without mip maps, padded
// to power-of-two sides with the picture at the top left; the record's image size is the
// picture's. Null (reported) when the texture cannot be made.
TextureRecord* CreatePaddedTexture(CTextureManager& textures, const char* key, int width, int height,
                                   const uint8_t* bgra);

}  // namespace Ombrel
