// art: draws a picture from its text description and writes it as a texture of the engine
// (or a PNG to look at).
//
//   art DESCRIPTION OUT.{bmp,mpt,dctz,png} [--set NAME=TEXT]... [--size WxH]
//
// --size draws the picture scaled to cover a canvas of that size, cut at two sides.
//
// Exit status: 0 done, 1 a bad description or a file that could not be read or written,
// 2 usage.

#include "tools/art/ArtDescription.h"
#include "tools/art/ArtPainter.h"
#include "tools/shared/FileBytes.h"
#include "tools/texture/DctzEncoder.h"
#include "tools/texture/TextureWriters.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: art DESCRIPTION OUT.{bmp,mpt,dctz,png} [--set NAME=TEXT]... [--size WxH]\n"
               "Draws the description with Cairo, scaled to cover WxH when given; an MPT holds\n"
               "zlib-packed pixels. Statements:\n%s",
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

bool ReadOptions(int argc, char** argv, art::Defines& defines, int& width, int& height) {
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
      if (!ReadSize(argv[++i], width, height)) return false;
      continue;
    }
    if (std::strcmp(argv[i], "--set") != 0 || i + 1 >= argc) return false;
    const std::string pair = argv[++i];
    const size_t equals = pair.find('=');
    if (equals == std::string::npos || equals == 0) return false;
    defines[pair.substr(0, equals)] = pair.substr(equals + 1);
  }
  return true;
}

bool WritePicture(const std::string& output, const std::string& kind, const SRgbaImage& image, std::string& error) {
  if (kind == "png") return WritePng(output, image, error);
  if (!WriteFileBytes(output, WriteEngineTexture(image, kind, EMptPixels::Rgbz, kDefaultDctzQuality))) {
    error = output + ": cannot write the file";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || std::strcmp(argv[1], "--help") == 0) return Usage();
  const std::string description = argv[1], output = argv[2], kind = Extension(output);
  art::Defines defines;
  int width = 0, height = 0;
  if (!ReadOptions(argc, argv, defines, width, height)) return Usage();
  if (kind != "bmp" && kind != "mpt" && kind != "dctz" && kind != "png")
    return Fail(output + ": writes .bmp, .mpt, .dctz or .png files");
  art::SPicture picture;
  std::string error;
  if (!art::ReadDescription(description, defines, picture, error)) return Fail(error);
  const SRgbaImage image = width > 0 ? art::Paint(picture, width, height) : art::Paint(picture);
  art::ReleaseFontCaches();
  if (!WritePicture(output, kind, image, error)) return Fail(error);
  return 0;
}
