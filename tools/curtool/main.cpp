// curtool: writes Windows cursor files from PNG pictures and reads them back through the
// engine's reader.
//
//   curtool write IN.png OUT.cur HOTX HOTY [--bits 24|32]
//   curtool dump IN.cur
//
// Exit status: 0 done, 1 a file could not be read or written, 2 usage.

#include "Quor/CursorFile.h"
#include "tools/curtool/CursorWriter.h"
#include "tools/shared/FileBytes.h"
#include "tools/texture/RgbaImage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: curtool write IN.png OUT.cur HOTX HOTY [--bits 24|32]\n"
               "         a cursor of the picture (1 to 256 pixels a side) with its hot spot at HOTX, HOTY\n"
               "       curtool dump IN.cur\n");
  return kExitUsage;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "curtool: %s\n", message.c_str());
  return kExitFailed;
}

// A whole number from 0 to `highest`, the whole text.
bool ParseNumber(const char* text, long highest, uint32_t& value) {
  char* end = nullptr;
  const long number = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || number < 0 || number > highest) return false;
  value = uint32_t(number);
  return true;
}

int Write(int argc, char** argv) {
  if (argc != 6 && argc != 8) return Usage();
  uint32_t bits = 32;
  if (argc == 8 &&
      (std::strcmp(argv[6], "--bits") != 0 || !ParseNumber(argv[7], 32, bits) || (bits != 24 && bits != 32)))
    return Usage();
  SRgbaImage picture;
  std::string error;
  if (!ReadPng(argv[2], picture, error)) return Fail(error);
  if (picture.width == 0 || picture.height == 0 || picture.width > 256 || picture.height > 256)
    return Fail(std::string(argv[2]) + ": a cursor is 1 to 256 pixels a side");
  SCursorImage image;
  image.width = picture.width;
  image.height = picture.height;
  image.rgba = picture.rgba;
  if (!ParseNumber(argv[4], long(image.width) - 1, image.hotX) ||
      !ParseNumber(argv[5], long(image.height) - 1, image.hotY))
    return Fail("the hot spot lies outside the picture");
  if (!WriteFileBytes(argv[3], WriteCursorFile({image}, bits))) return Fail(std::string("cannot write ") + argv[3]);
  return 0;
}

int Dump(int argc, char** argv) {
  if (argc != 3) return Usage();
  SCursorImage image;
  std::string problem;
  if (!LoadCursorFile(argv[2], image, problem)) return Fail(problem);
  std::printf("%u x %u, hot spot %u %u\n", image.width, image.height, image.hotX, image.hotY);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "write") == 0) return Write(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "dump") == 0) return Dump(argc, argv);
  return Usage();
}
