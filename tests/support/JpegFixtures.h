#pragma once
// JPEG streams for tests, written with libjpeg-turbo's compressor from R, G, B pixels.

#include <jpeglib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace jpegtest {

inline std::vector<uint8_t> EncodeRgb(int width, int height, const std::vector<uint8_t>& rgb, int quality = 100) {
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &out, &size);
  info.image_width = JDIMENSION(width);
  info.image_height = JDIMENSION(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<uint8_t*>(&rgb[size_t(info.next_scanline) * size_t(width) * 3]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> bytes(out, out + size);
  std::free(out);
  return bytes;
}

// A grey picture whose value is v(x, y) in every channel.
template <class TValue>
std::vector<uint8_t> EncodeGrey(int width, int height, TValue value) {
  std::vector<uint8_t> rgb;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) rgb.insert(rgb.end(), 3, value(x, y));
  return EncodeRgb(width, height, rgb);
}

}  // namespace jpegtest
