#pragma once
// A JPT texture: a container of two JPEG streams, the colour picture and a picture whose blue
// byte is the alpha. Header, little-endian words: two not read, then the colour stream's
// offset and size, then the alpha stream's offset and size.

#include "Framework/Resources/omJpegTexture.h"

namespace Ombrel {

constexpr uint32_t kJptHeaderSize = 24;

struct SJptStreams {
  std::vector<uint8_t> colour;
  std::vector<uint8_t> alpha;
};

// Splits a JPT file held in memory. A stream outside the file is reported naming the file:
// the colour stream's loss leaves both empty, the alpha stream's only the alpha.
SJptStreams SplitJpt(const uint8_t* bytes, size_t size, const char* fileName);

class CJptTexture : public CDecodedTexture {
 public:
  // Reads the file now; a missing file is fatal.
  CJptTexture(const CStr& path, CJpegDecoder* decoder, const SMaskSettings& mask);

 protected:
  void FeedDecoder(CJpegDecoder& decoder) const override;

 private:
  SJptStreams m_streams;
};

}  // namespace Ombrel

namespace Ombrel {

// A JPT file of the two streams: the header, the colour stream, then the alpha stream.
std::vector<uint8_t> BuildJpt(const std::vector<uint8_t>& colour, const std::vector<uint8_t>& alpha);

// A JPT of R, G, B, A pixels (rows from the top): the colour stream of R, G, B and an alpha
// stream holding A in every channel, both of the quality. Empty when the compressor refuses
// the picture.
std::vector<uint8_t> EncodeJptRgba(int width, int height, const uint8_t* rgba, int quality);

// A JPT file back into R, G, B, A pixels (rows from the top), alpha 255 where the file has
// no usable alpha stream. False, reported naming the file, without a readable colour stream.
bool DecodeJptRgba(const uint8_t* bytes, size_t size, const char* fileName, std::vector<uint8_t>& rgba, int& width,
                   int& height);

}  // namespace Ombrel
