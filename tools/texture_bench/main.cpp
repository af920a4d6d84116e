// texture_bench: DCTZ decoding speed next to libjpeg-turbo on the same picture.
// A 1024 x 768 picture with alpha is coded both ways at a similar quality, then each is
// decoded repeatedly in this process; the figures are megapixels per second.
//
//   texture_bench [--quality Q] [--seconds S]

#include "Quor/TextureFormats.h"
#include "tools/texture/DctzEncoder.h"

#include <jpeglib.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kWidth = 1024;
constexpr uint32_t kHeight = 768;

// Smooth shading, hard edges, fine texture and a soft-edged alpha shape with clear and
// opaque regions: the mix of a painted game picture.
SRgbaImage MakePicture() {
  SRgbaImage image;
  image.width = kWidth;
  image.height = kHeight;
  image.rgba.resize(size_t(kWidth) * kHeight * 4);
  uint32_t noise = 12345;
  for (uint32_t y = 0; y < kHeight; ++y)
    for (uint32_t x = 0; x < kWidth; ++x) {
      noise = noise * 1103515245u + 12345u;
      double fx = x / double(kWidth), fy = y / double(kHeight);
      double grain = double((noise >> 16) & 15) - 7.5;
      double wave = 40 * std::sin(fx * 25) * std::cos(fy * 17);
      bool stripe = ((x / 48 + y / 48) % 2) == 0 && fx > 0.6;
      uint8_t* texel = &image.rgba[(size_t(y) * kWidth + x) * 4];
      texel[0] = uint8_t(std::clamp(60 + 150 * fx + wave + grain, 0.0, 255.0));
      texel[1] = uint8_t(std::clamp(stripe ? 220.0 : 90 + 100 * fy - wave + grain, 0.0, 255.0));
      texel[2] = uint8_t(std::clamp(180 - 120 * fx * fy + grain, 0.0, 255.0));
      double distance = std::hypot(fx - 0.45, (fy - 0.5) * 0.75);
      texel[3] = uint8_t(std::clamp((0.42 - distance) * 2000, 0.0, 255.0));
    }
  return image;
}

std::vector<uint8_t> EncodeJpeg(const SRgbaImage& image, int quality) {
  jpeg_compress_struct compressor;
  jpeg_error_mgr errors;
  compressor.err = jpeg_std_error(&errors);
  jpeg_create_compress(&compressor);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&compressor, &buffer, &size);
  compressor.image_width = image.width;
  compressor.image_height = image.height;
  compressor.input_components = 4;
  compressor.in_color_space = JCS_EXT_RGBA;
  jpeg_set_defaults(&compressor);
  jpeg_set_quality(&compressor, quality, TRUE);
  jpeg_start_compress(&compressor, TRUE);
  while (compressor.next_scanline < compressor.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(&image.rgba[size_t(compressor.next_scanline) * image.width * 4]);
    jpeg_write_scanlines(&compressor, &row, 1);
  }
  jpeg_finish_compress(&compressor);
  std::vector<uint8_t> jpeg(buffer, buffer + size);
  jpeg_destroy_compress(&compressor);
  std::free(buffer);
  return jpeg;
}

void DecodeJpeg(const std::vector<uint8_t>& jpeg, std::vector<uint8_t>& rgba) {
  jpeg_decompress_struct decompressor;
  jpeg_error_mgr errors;
  decompressor.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&decompressor);
  jpeg_mem_src(&decompressor, jpeg.data(), jpeg.size());
  jpeg_read_header(&decompressor, TRUE);
  decompressor.out_color_space = JCS_EXT_RGBA;
  jpeg_start_decompress(&decompressor);
  rgba.resize(size_t(decompressor.output_width) * decompressor.output_height * 4);
  while (decompressor.output_scanline < decompressor.output_height) {
    JSAMPROW row = &rgba[size_t(decompressor.output_scanline) * decompressor.output_width * 4];
    jpeg_read_scanlines(&decompressor, &row, 1);
  }
  jpeg_finish_decompress(&decompressor);
  jpeg_destroy_decompress(&decompressor);
}

// Peak signal-to-noise ratio of the colour channels where the picture is not clear.
double ColourPsnr(const SRgbaImage& original, const std::vector<uint8_t>& decoded) {
  double squares = 0;
  size_t count = 0;
  for (size_t i = 0; i < original.rgba.size(); i += 4) {
    if (original.rgba[i + 3] == 0) continue;
    for (int c = 0; c < 3; ++c) {
      double d = double(original.rgba[i + c]) - decoded[i + c];
      squares += d * d;
      ++count;
    }
  }
  return 10 * std::log10(255.0 * 255.0 / (squares / double(count)));
}

// Best time of repeated runs within the time budget, in seconds.
double BestTime(const std::function<void()>& run, double seconds) {
  using Clock = std::chrono::steady_clock;
  double best = 1e9;
  auto end = Clock::now() + std::chrono::duration<double>(seconds);
  int runs = 0;
  while (runs < 3 || Clock::now() < end) {
    auto start = Clock::now();
    run();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    ++runs;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  int quality = 85;
  double seconds = 2.0;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--quality") == 0) quality = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
  }
  const SRgbaImage picture = MakePicture();
  const std::vector<uint8_t> dctz = EncodeDctzPayload(picture, quality);
  const std::vector<uint8_t> jpeg = EncodeJpeg(picture, quality);

  SDctzPicture dctzPicture;
  std::vector<uint8_t> jpegPixels;
  double dctzTime = BestTime([&] { DecodeDCTZ(dctz.data(), dctz.size(), "bench.dctz", dctzPicture); }, seconds);
  double jpegTime = BestTime([&] { DecodeJpeg(jpeg, jpegPixels); }, seconds);

  const double megapixels = double(kWidth) * kHeight / 1e6;
  const char* const vectorNames[] = {"SSE2", "AVX2", "AVX-512"};
  const EDctzVectors widest = UseDctzVectors(EDctzVectors::Avx512);
  std::printf("picture %ux%u with alpha, quality %d\n", kWidth, kHeight, quality);
  std::printf("DCTZ (colour + alpha): %8zu bytes  PSNR %.1f dB  %7.1f MP/s  (%.2f ms, %s)\n", dctz.size(),
              ColourPsnr(picture, dctzPicture.texels), megapixels / dctzTime, dctzTime * 1e3,
              vectorNames[int(widest)]);
  std::printf("JPEG (libjpeg-turbo, colour only): %8zu bytes  PSNR %.1f dB  %7.1f MP/s  (%.2f ms)\n",
              jpeg.size(), ColourPsnr(picture, jpegPixels), megapixels / jpegTime, jpegTime * 1e3);
  // The narrower builds of the decoder's loops, for processors without the widest.
  for (int vectors = int(widest) - 1; vectors >= 0; --vectors) {
    UseDctzVectors(EDctzVectors(vectors));
    double time = BestTime([&] { DecodeDCTZ(dctz.data(), dctz.size(), "bench.dctz", dctzPicture); }, seconds);
    std::printf("DCTZ with %s loops: %7.1f MP/s  (%.2f ms)\n", vectorNames[vectors], megapixels / time, time * 1e3);
  }
  return 0;
}
