// texture_bench: DCTZ decoding speed next to libjpeg-turbo on the same picture.
// A 1024 x 768 picture is coded both ways at qualities chosen so that the colour PSNRs match
// (within 0.1 dB where the two quality scales allow), then each is decoded repeatedly in this
// process, DCTZ once with every build of its loops the processor runs.
// The headline compares like with like: the picture opaque, so DCTZ has no empty blocks to
// skip, and DCTZ's AVX2 loops against libjpeg-turbo's AVX2 code (its own choice on a processor
// with AVX2). The secondary lines give every build of DCTZ's loops against libjpeg-turbo as it
// runs here and held to its SSE2 code (the match for the SSE2 and SSE4.1 builds), for the
// opaque picture and for the same picture with a soft-edged alpha shape whose clear blocks
// DCTZ skips.
//
//   texture_bench [--quality Q] [--seconds S]   (Q: the DCTZ quality to start from)

#include "Quor/TextureFormats.h"
#include "tools/texture/DctzEncoder.h"

#include <jpeglib.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kWidth = 1024;
constexpr uint32_t kHeight = 768;

// Smooth shading, hard edges, fine texture and (unless opaque) a soft-edged alpha shape with
// clear and opaque regions: the mix of a painted game picture.
SRgbaImage MakePicture(bool opaque) {
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
      texel[3] = opaque ? 255 : uint8_t(std::clamp((0.42 - distance) * 2000, 0.0, 255.0));
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

// One side of the comparison: its coded bytes and their colour PSNR.
struct SCoded {
  int quality = 0;
  std::vector<uint8_t> bytes;
  double psnr = 0;
};

SCoded CodeDctz(const SRgbaImage& picture, int quality) {
  SCoded coded{quality, EncodeDctzPayload(picture, quality), 0};
  SDctzPicture decoded;
  if (!DecodeDCTZ(coded.bytes.data(), coded.bytes.size(), "bench.dctz", decoded)) std::exit(1);
  coded.psnr = ColourPsnr(picture, decoded.texels);
  return coded;
}

SCoded CodeJpeg(const SRgbaImage& picture, int quality) {
  SCoded coded{quality, EncodeJpeg(picture, quality), 0};
  std::vector<uint8_t> decoded;
  DecodeJpeg(coded.bytes, decoded);
  coded.psnr = ColourPsnr(picture, decoded);
  return coded;
}

constexpr double kPsnrTolerance = 0.1;

// The JPEG quality whose colour PSNR is nearest `psnr`.
SCoded NearestJpeg(const std::vector<SCoded>& jpegs, double psnr) {
  return *std::min_element(jpegs.begin(), jpegs.end(), [psnr](const SCoded& a, const SCoded& b) {
    return std::fabs(a.psnr - psnr) < std::fabs(b.psnr - psnr);
  });
}

// DCTZ at the quality asked for, or the nearest one to it for which some JPEG quality gives
// the same colour PSNR within the tolerance; the closest pair found when none does.
void MatchQualities(const SRgbaImage& picture, int quality, SCoded& dctz, SCoded& jpeg) {
  std::vector<SCoded> jpegs;
  for (int q = 1; q <= 100; ++q) jpegs.push_back(CodeJpeg(picture, q));
  double bestGap = 1e9;
  for (int step = 0; step <= 30; ++step) {
    const int q = quality + (step % 2 ? (step + 1) / 2 : -step / 2);
    if (q < 1 || q > 100) continue;
    SCoded candidate = CodeDctz(picture, q);
    SCoded partner = NearestJpeg(jpegs, candidate.psnr);
    const double gap = std::fabs(candidate.psnr - partner.psnr);
    if (gap < bestGap) {
      bestGap = gap;
      dctz = std::move(candidate);
      jpeg = std::move(partner);
    }
    if (bestGap <= kPsnrTolerance) return;
  }
}

// The JPEG decode time (ms) with libjpeg-turbo held to its SSE2 code, as on a processor
// without AVX2: it chooses once per process, so this runs in a second copy of the program.
// Negative when that run fails.
double JpegTimeWithSse2(const char* program, bool opaque, int jpegQuality, double seconds) {
  const std::filesystem::path result =
      std::filesystem::temp_directory_path() / ("texture_bench_sse2_" + std::to_string(jpegQuality) + ".txt");
  const std::string command = "JSIMD_FORCESSE2=1 '" + std::string(program) + "' --jpeg-only " +
                              std::to_string(jpegQuality) + " --opaque " + (opaque ? "1" : "0") + " --seconds " +
                              std::to_string(seconds) + " > '" + result.string() + "'";
  double milliseconds = -1;
  if (std::system(command.c_str()) == 0) {
    if (FILE* file = std::fopen(result.c_str(), "r")) {
      if (std::fscanf(file, "%lf", &milliseconds) != 1) milliseconds = -1;
      std::fclose(file);
    }
  }
  std::filesystem::remove(result);
  return milliseconds;
}

const char* const kVectorNames[] = {"SSE2", "SSE4.1", "AVX2", "AVX-512"};

// What one picture gave: its pair of codings and the decode times in milliseconds.
struct SPictureResult {
  SCoded dctz, jpeg;
  double jpegTime = 0, jpegSse2Time = -1;
  std::vector<double> dctzTimes;  // by EDctzVectors, those the processor runs
};

SPictureResult Measure(const char* program, bool opaque, int quality, double seconds) {
  const SRgbaImage picture = MakePicture(opaque);
  SPictureResult result;
  MatchQualities(picture, quality, result.dctz, result.jpeg);
  std::vector<uint8_t> jpegPixels;
  result.jpegTime = BestTime([&] { DecodeJpeg(result.jpeg.bytes, jpegPixels); }, seconds) * 1e3;
  result.jpegSse2Time = JpegTimeWithSse2(program, opaque, result.jpeg.quality, seconds);
  const EDctzVectors widest = UseDctzVectors(EDctzVectors::Avx512);
  SDctzPicture dctzPicture;
  for (int vectors = 0; vectors <= int(widest); ++vectors) {
    UseDctzVectors(EDctzVectors(vectors));
    result.dctzTimes.push_back(
        BestTime([&] { DecodeDCTZ(result.dctz.bytes.data(), result.dctz.bytes.size(), "bench.dctz", dctzPicture); },
                 seconds) *
        1e3);
  }
  UseDctzVectors(widest);
  return result;
}

// The secondary lines of one picture.
void PrintPicture(const char* title, const SPictureResult& result, int quality) {
  const double megapixels = double(kWidth) * kHeight / 1e6;
  std::printf("\n%s, qualities chosen for equal colour PSNR\n", title);
  std::printf("  DCTZ quality %3d (colour + alpha):            %8zu bytes  colour PSNR %.2f dB\n",
              result.dctz.quality, result.dctz.bytes.size(), result.dctz.psnr);
  std::printf("  JPEG quality %3d (libjpeg-turbo, colour only): %8zu bytes  colour PSNR %.2f dB\n",
              result.jpeg.quality, result.jpeg.bytes.size(), result.jpeg.psnr);
  if (std::fabs(result.dctz.psnr - result.jpeg.psnr) > kPsnrTolerance)
    std::printf("  (no pair of qualities near %d matches within %.1f dB)\n", quality, kPsnrTolerance);
  std::printf("  JPEG decode, its own choice of SIMD: %7.1f MP/s  (%.2f ms)\n", megapixels / result.jpegTime * 1e3,
              result.jpegTime);
  if (result.jpegSse2Time > 0)
    std::printf("  JPEG decode, held to SSE2:           %7.1f MP/s  (%.2f ms)\n",
                megapixels / result.jpegSse2Time * 1e3, result.jpegSse2Time);
  // Widest first: narrower builds serve older processors, where libjpeg-turbo too would run
  // its SSE2 code.
  for (int vectors = int(result.dctzTimes.size()) - 1; vectors >= 0; --vectors) {
    const double time = result.dctzTimes[size_t(vectors)];
    std::printf("  DCTZ decode, %-7s loops:           %7.1f MP/s  (%.2f ms)  %.2f x JPEG", kVectorNames[vectors],
                megapixels / time * 1e3, time, result.jpegTime / time);
    if (result.jpegSse2Time > 0) std::printf(", %.2f x JPEG held to SSE2", result.jpegSse2Time / time);
    std::printf("\n");
  }
}

}  // namespace

int main(int argc, char** argv) {
  int quality = 85;
  int jpegOnly = 0;  // set in the second copy: time JPEG at this quality, print milliseconds
  int opaque = 1;    // the second copy's picture
  double seconds = 2.0;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--quality") == 0) quality = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--seconds") == 0) seconds = std::atof(argv[i + 1]);
    if (std::strcmp(argv[i], "--jpeg-only") == 0) jpegOnly = std::atoi(argv[i + 1]);
    if (std::strcmp(argv[i], "--opaque") == 0) opaque = std::atoi(argv[i + 1]);
  }
  if (jpegOnly > 0) {
    const std::vector<uint8_t> jpeg = EncodeJpeg(MakePicture(opaque != 0), jpegOnly);
    std::vector<uint8_t> jpegPixels;
    std::printf("%.4f\n", BestTime([&] { DecodeJpeg(jpeg, jpegPixels); }, seconds) * 1e3);
    return 0;
  }
  const SPictureResult opaqueResult = Measure(argv[0], true, quality, seconds);
  const SPictureResult alphaResult = Measure(argv[0], false, quality, seconds);

  const double megapixels = double(kWidth) * kHeight / 1e6;
  const size_t avx2 = size_t(EDctzVectors::Avx2);
  if (opaqueResult.dctzTimes.size() > avx2 && __builtin_cpu_supports("avx2")) {
    const double dctzTime = opaqueResult.dctzTimes[avx2];
    std::printf("HEADLINE: opaque %ux%u picture (no empty blocks), DCTZ quality %d against JPEG quality %d:\n"
                "  DCTZ AVX2 loops %.1f MP/s (%.2f ms), libjpeg-turbo AVX2 %.1f MP/s (%.2f ms): %.2f x JPEG\n",
                kWidth, kHeight, opaqueResult.dctz.quality, opaqueResult.jpeg.quality, megapixels / dctzTime * 1e3,
                dctzTime, megapixels / opaqueResult.jpegTime * 1e3, opaqueResult.jpegTime,
                opaqueResult.jpegTime / dctzTime);
  } else {
    std::printf("HEADLINE: none, this processor has no AVX2\n");
  }
  PrintPicture("opaque picture (no empty blocks)", opaqueResult, quality);
  PrintPicture("picture with a soft-edged alpha shape (DCTZ skips its clear blocks)", alphaResult, quality);
  return 0;
}
