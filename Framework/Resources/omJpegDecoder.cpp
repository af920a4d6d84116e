#include "Framework/Resources/omJpegDecoder.h"

#include "Quor/TextureFormats.h"

#include "Quor/CByteReader.h"
#include "Quor/CTextureManager.h"
#include "Quor/ReportError.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Ombrel {

namespace {
constexpr const char* kOmJpegDecoderSource = "Framework/Resources/omJpegDecoder";
// Pictures beyond this are taken as a damaged header rather than a texture.
// No texture is larger: a header claiming more (a few bytes can claim 16384 x 16384, a gigabyte
// of pixels) is refused before anything is allocated.
constexpr JDIMENSION kMaxSide = kMaxTextureSide;

// libjpeg's error exit may not return: it jumps back into DecodeJpegBgra with the message.
struct SJpegError {
  jpeg_error_mgr manager;
  std::jmp_buf resume;
  char message[JMSG_LENGTH_MAX];
};

void JumpOnError(j_common_ptr info) {
  auto* error = reinterpret_cast<SJpegError*>(info->err);
  info->err->format_message(info, error->message);
  std::longjmp(error->resume, 1);
}

void IgnoreMessage(j_common_ptr) {}

uint32_t NextPowerOfTwo(uint32_t n) {
  uint32_t power = 1;
  while (power < n) power <<= 1;
  return power;
}
}  // namespace

bool DecodeJpegBgra(const uint8_t* data, size_t size, const char* fileName, std::vector<uint8_t>& pixels,
                    int& width, int& height) {
  jpeg_decompress_struct info;
  SJpegError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = JumpOnError;
  error.manager.output_message = IgnoreMessage;
  error.message[0] = '\0';
  if (setjmp(error.resume)) {
    jpeg_destroy_decompress(&info);
    HM_REPORT(kOmJpegDecoderSource, "%s: the JPEG stream is damaged (%s); the texture is missing", fileName,
              error.message);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  if (info.num_components != 3) {
    HM_REPORT(kOmJpegDecoderSource,
              "%s: Error while decompressing: a %ux%u picture of %d components is not a colour JPEG", fileName,
              info.image_width, info.image_height, info.num_components);
    jpeg_destroy_decompress(&info);
    return false;
  }
  if (info.image_width > kMaxSide || info.image_height > kMaxSide) {
    HM_REPORT(kOmJpegDecoderSource,
              "%s: Error while decompressing: a %ux%u picture is larger than a texture (%u texels a side)", fileName,
              info.image_width, info.image_height, kMaxSide);
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&info);
  width = int(info.output_width);
  height = int(info.output_height);
  const size_t stride = size_t(width) * 4;
  pixels.assign(stride * size_t(height), 0);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = pixels.data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

std::vector<uint8_t> EncodeJpegRgb(int width, int height, const uint8_t* rgb, int quality) {
  if (width <= 0 || height <= 0) return {};
  jpeg_compress_struct info;
  SJpegError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = JumpOnError;
  error.manager.output_message = IgnoreMessage;
  unsigned char* out = nullptr;
  unsigned long size = 0;
  if (setjmp(error.resume)) {
    jpeg_destroy_compress(&info);
    std::free(out);
    return {};
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  const size_t stride = size_t(width) * 3;
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(rgb + stride * info.next_scanline);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> bytes(out, out + size);
  std::free(out);
  return bytes;
}

void CJpegDecoder::SetColourData(const uint8_t* data, size_t size, const char* fileName) {
  m_colour.data = data;
  m_colour.size = size;
  m_colour.fileName = fileName;
  m_colour.given = true;
}

void CJpegDecoder::SetAlphaData(const uint8_t* data, size_t size, const char* fileName) {
  m_alpha.data = data;
  m_alpha.size = size;
  m_alpha.fileName = fileName;
  m_alpha.given = true;
  m_hasAlpha = true;
}

void CJpegDecoder::SetColourFileName(const char* fileName) { m_colour.fileName = fileName; }

void CJpegDecoder::SetAlphaFileName(const char* fileName) {
  m_alpha.fileName = fileName;
  m_hasAlpha = true;
}

void CJpegDecoder::SetKeepFlag(int channel) {
  if (channel >= 0 && channel < 4) m_keep[channel] = true;
}

bool CJpegDecoder::ReadStream(SStream& stream, bool required) {
  if (stream.given) return stream.size > 0;
  if (!ReadWholeVfsFile(stream.fileName.GetText(), &stream.owned)) {
    if (required) HM_REPORT(kOmJpegDecoderSource, "No such file: %s", stream.fileName.GetText());
    return false;
  }
  stream.data = stream.owned.data();
  stream.size = stream.owned.size();
  return true;
}

const uint8_t* CJpegDecoder::Decode() {
  m_pixels.clear();
  if (!ReadStream(m_colour, true) ||
      !DecodeJpegBgra(m_colour.data, m_colour.size, m_colour.fileName.GetText(), m_pixels, m_width, m_height)) {
    m_pixels.clear();
    m_width = m_height = 0;
    return nullptr;
  }
  if (m_hasAlpha && !ApplyAlpha()) {
    HM_REPORT(kOmJpegDecoderSource, "%s: the alpha picture of \"%s\" is not used; the texture is opaque",
              m_alpha.fileName.GetText(), m_colour.fileName.GetText());
  }
  const size_t count = size_t(m_width) * size_t(m_height);
  for (int channel = 0; channel < 4; ++channel) {
    if (!m_keep[channel]) continue;
    m_planes[channel].resize(count);
    for (size_t i = 0; i < count; ++i) m_planes[channel][i] = m_pixels[i * 4 + size_t(channel)];
  }
  return m_pixels.data();
}

// The alpha picture's blue byte becomes each pixel's alpha; it must cover exactly the colour
// picture.
bool CJpegDecoder::ApplyAlpha() {
  if (!ReadStream(m_alpha, false) || m_alpha.size == 0) return false;
  std::vector<uint8_t> alpha;
  int width = 0, height = 0;
  if (!DecodeJpegBgra(m_alpha.data, m_alpha.size, m_alpha.fileName.GetText(), alpha, width, height)) return false;
  if (width != m_width || height != m_height) {
    HM_REPORT(kOmJpegDecoderSource, "%s: the alpha picture is %dx%d, the colour picture %dx%d",
              m_alpha.fileName.GetText(), width, height, m_width, m_height);
    return false;
  }
  for (size_t i = 3; i < m_pixels.size(); i += 4) m_pixels[i] = alpha[i - 3];
  return true;
}

const uint8_t* CJpegDecoder::GetPlane(int channel) const {
  if (channel < 0 || channel >= 4 || m_planes[channel].empty()) return nullptr;
  return m_planes[channel].data();
}

void CJpegDecoder::Reset() {
  m_colour = SStream();
  m_alpha = SStream();
  m_hasAlpha = false;
  m_pixels = std::vector<uint8_t>();
  for (int channel = 0; channel < 4; ++channel) {
    m_keep[channel] = false;
    m_planes[channel] = std::vector<uint8_t>();
  }
  m_width = m_height = 0;
}

TextureRecord* CreatePaddedTexture(CTextureManager& textures, const char* key, int width, int height,
                                   const uint8_t* bgra) {
  const uint32_t paddedWidth = NextPowerOfTwo(uint32_t(width));
  const uint32_t paddedHeight = NextPowerOfTwo(uint32_t(height));
  std::vector<uint8_t> padded(size_t(paddedWidth) * paddedHeight * 4, 0);
  for (int y = 0; y < height; ++y) {
    std::memcpy(&padded[size_t(y) * paddedWidth * 4], bgra + size_t(y) * size_t(width) * 4, size_t(width) * 4);
  }
  TextureRecord* texture = textures.CreateTexture(key, paddedWidth, paddedHeight, padded.data(), true, false);
  if (texture) {
    texture->imageWidth = uint32_t(width);
    texture->imageHeight = uint32_t(height);
  }
  return texture;
}

}  // namespace Ombrel
