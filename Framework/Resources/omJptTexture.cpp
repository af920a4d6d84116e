#include "Framework/Resources/omJptTexture.h"

#include "Framework/Resources/omJpegDecoder.h"
#include "Framework/Utils/omByteOrder.h"
#include "Quor/CByteReader.h"
#include "Quor/ContentOrigin.h"
#include "Quor/ReportError.h"

namespace Ombrel {

namespace {
constexpr const char* kOmJptTextureSource = "Framework/Resources/omJptTexture";

// The stream at the header's offset and size, or false when it does not lie in the file.
bool CopyStream(const uint8_t* bytes, size_t size, size_t headerField, std::vector<uint8_t>& stream) {
  const uint64_t offset = ReadLittleEndian32(bytes + headerField);
  const uint64_t length = ReadLittleEndian32(bytes + headerField + 4);
  if (offset + length > size) return false;
  stream.assign(bytes + offset, bytes + offset + length);
  return true;
}
}  // namespace

SJptStreams SplitJpt(const uint8_t* bytes, size_t size, const char* fileName) {
  SJptStreams streams;
  if (size < kJptHeaderSize) {
    HM_REPORT(kOmJptTextureSource, "%s: a JPT file of %zu bytes is shorter than its header; the texture is missing",
              fileName, size);
    return streams;
  }
  if (!CopyStream(bytes, size, 8, streams.colour) || streams.colour.empty()) {
    HM_REPORT(kOmJptTextureSource, "%s: the colour stream lies outside the file's %zu bytes; the texture is missing",
              fileName, size);
    streams.colour.clear();
    return streams;
  }
  if (!CopyStream(bytes, size, 16, streams.alpha)) {
    HM_REPORT(kOmJptTextureSource, "%s: the alpha stream lies outside the file's %zu bytes; the texture is opaque",
              fileName, size);
    streams.alpha.clear();
  }
  return streams;
}

CJptTexture::CJptTexture(const CStr& path, CJpegDecoder* decoder, const SMaskSettings& mask)
    : CDecodedTexture(path, decoder, mask) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(path.GetText(), &bytes))
    HM_FATAL(kOmJptTextureSource, "No such file: %s%s", path.GetText(), CContentOrigin::Clause().c_str());
  m_streams = SplitJpt(bytes.data(), bytes.size(), path.GetText());
}

void CJptTexture::FeedDecoder(CJpegDecoder& decoder) const {
  decoder.SetColourData(m_streams.colour.data(), m_streams.colour.size(), m_path.GetText());
  decoder.SetAlphaData(m_streams.alpha.data(), m_streams.alpha.size(), m_path.GetText());
}

}  // namespace Ombrel

namespace Ombrel {

namespace {
void PutLittleEndian32(std::vector<uint8_t>& bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(uint8_t(value >> shift));
}
}  // namespace

std::vector<uint8_t> BuildJpt(const std::vector<uint8_t>& colour, const std::vector<uint8_t>& alpha) {
  std::vector<uint8_t> bytes;
  PutLittleEndian32(bytes, 0);
  PutLittleEndian32(bytes, 0);
  PutLittleEndian32(bytes, kJptHeaderSize);
  PutLittleEndian32(bytes, uint32_t(colour.size()));
  PutLittleEndian32(bytes, kJptHeaderSize + uint32_t(colour.size()));
  PutLittleEndian32(bytes, uint32_t(alpha.size()));
  bytes.insert(bytes.end(), colour.begin(), colour.end());
  bytes.insert(bytes.end(), alpha.begin(), alpha.end());
  return bytes;
}

}  // namespace Ombrel

namespace Ombrel {

std::vector<uint8_t> EncodeJptRgba(int width, int height, const uint8_t* rgba, int quality) {
  const size_t count = width > 0 && height > 0 ? size_t(width) * size_t(height) : 0;
  std::vector<uint8_t> colour(count * 3), alpha(count * 3);
  for (size_t i = 0; i < count; ++i) {
    for (int c = 0; c < 3; ++c) {
      colour[i * 3 + c] = rgba[i * 4 + c];
      alpha[i * 3 + c] = rgba[i * 4 + 3];
    }
  }
  std::vector<uint8_t> colourStream = EncodeJpegRgb(width, height, colour.data(), quality);
  std::vector<uint8_t> alphaStream = EncodeJpegRgb(width, height, alpha.data(), quality);
  if (colourStream.empty() || alphaStream.empty()) return {};
  return BuildJpt(colourStream, alphaStream);
}

bool DecodeJptRgba(const uint8_t* bytes, size_t size, const char* fileName, std::vector<uint8_t>& rgba, int& width,
                   int& height) {
  const SJptStreams streams = SplitJpt(bytes, size, fileName);
  if (streams.colour.empty()) return false;
  CJpegDecoder decoder(nullptr);
  decoder.SetColourData(streams.colour.data(), streams.colour.size(), fileName);
  decoder.SetAlphaData(streams.alpha.data(), streams.alpha.size(), fileName);
  const uint8_t* bgra = decoder.Decode();
  if (!bgra) return false;
  width = decoder.GetWidth();
  height = decoder.GetHeight();
  rgba.resize(size_t(width) * size_t(height) * 4);
  for (size_t i = 0; i < rgba.size(); i += 4) {
    rgba[i] = bgra[i + 2];
    rgba[i + 1] = bgra[i + 1];
    rgba[i + 2] = bgra[i];
    rgba[i + 3] = bgra[i + 3];
  }
  return true;
}

}  // namespace Ombrel
