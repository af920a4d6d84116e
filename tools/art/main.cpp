// art: draws a picture from its text description and writes it as a texture of the engine
// (or a PNG to look at).
//
//   art DESCRIPTION OUT.{bmp,mpt,dctz,png} [--set NAME=TEXT]... [--size WxH] [--mask OUT.msk]
//
// --size draws the picture scaled to cover a canvas of that size, cut at two sides; --mask also
// writes the raw hit mask of its alpha (as `texture mask --raw` does). The outputs' folders are
// made as needed: the content build draws a sprite and its mask with one run.
//
// Exit status: 0 done, 1 a bad description or a file that could not be read or written,
// 2 usage.

#include "tools/art/ArtDescription.h"
#include "tools/art/ArtPainter.h"
#include "tools/shared/FileBytes.h"
#include "tools/texture/DctzEncoder.h"
#include "tools/texture/TextureWriters.h"

#include <cstdio>
#include <filesystem>
#include <cstring>
#include <string>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: art DESCRIPTION OUT.{bmp,mpt,dctz,png} [--set NAME=TEXT]... [--size WxH] [--mask OUT.msk]\n"
               "Draws the description with Cairo, scaled to cover WxH when given; an MPT holds\n"
               "zlib-packed pixels. --mask also writes the raw hit mask of the picture's alpha (a byte\n"
               "a pixel, rows from the bottom). Statements:\n%s",
               art::kStatementHelp);
  return kExitUsage;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "art: %s\n", message.c_str());
  return kExitFailed;
}

std::string Extension(const std::string& path) {
  const size_t dot = path.rfind('.');
  return dot == std::string::npos || path.find('/', dot) != std::string::npos ? "" : path.substr(dot + 1);
}

// A canvas size "WxH", each side 1 to 4096.
bool ReadSize(const char* text, int& width, int& height) {
  char end = 0;
  return std::sscanf(text, "%dx%d%c", &width, &height, &end) == 2 && width >= 1 && width <= 4096 && height >= 1 &&
         height <= 4096;
}

struct SOptions {
  art::Defines defines;
  int width = 0, height = 0;  // 0: the canvas's own size
  std::string mask;           // the raw mask's file, or none
};

bool ReadOptions(int argc, char** argv, SOptions& options) {
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
      if (!ReadSize(argv[++i], options.width, options.height)) return false;
      continue;
    }
    if (std::strcmp(argv[i], "--mask") == 0 && i + 1 < argc) {
      options.mask = argv[++i];
      if (Extension(options.mask) != "msk") return false;
      continue;
    }
    if (std::strcmp(argv[i], "--set") != 0 || i + 1 >= argc) return false;
    const std::string pair = argv[++i];
    const size_t equals = pair.find('=');
    if (equals == std::string::npos || equals == 0) return false;
    options.defines[pair.substr(0, equals)] = pair.substr(equals + 1);
  }
  return true;
}

// The folders of an output are made as needed; one that cannot be made shows as a file that
// cannot be written.
void MakeFolderOf(const std::string& output) {
  std::error_code ignored;
  const std::filesystem::path folder = std::filesystem::path(output).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
}

bool WriteMadeFile(const std::string& output, const std::vector<uint8_t>& bytes, std::string& error) {
  MakeFolderOf(output);
  if (WriteFileBytes(output, bytes)) return true;
  error = output + ": cannot write the file";
  return false;
}

bool WritePicture(const std::string& output, const std::string& kind, const SRgbaImage& image, std::string& error) {
  if (kind != "png") return WriteMadeFile(output, WriteEngineTexture(image, kind, EMptPixels::Rgbz, kDefaultDctzQuality), error);
  MakeFolderOf(output);
  return WritePng(output, image, error);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || std::strcmp(argv[1], "--help") == 0) return Usage();
  const std::string description = argv[1], output = argv[2], kind = Extension(output);
  SOptions options;
  if (!ReadOptions(argc, argv, options)) return Usage();
  if (kind != "bmp" && kind != "mpt" && kind != "dctz" && kind != "png")
    return Fail(output + ": writes .bmp, .mpt, .dctz or .png files");
  art::SPicture picture;
  std::string error;
  if (!art::ReadDescription(description, options.defines, picture, error)) return Fail(error);
  const SRgbaImage image =
      options.width > 0 ? art::Paint(picture, options.width, options.height) : art::Paint(picture);
  art::ReleaseFontCaches();
  if (!WritePicture(output, kind, image, error)) return Fail(error);
  if (!options.mask.empty() &&
      !WriteMadeFile(options.mask, WriteRawMask(MaskValues(image, false), image.width, image.height), error))
    return Fail(error);
  return 0;
}
