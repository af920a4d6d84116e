// ptctool: writes ".ptc" particle files from text descriptions and the particle sprite atlas.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/ptctool/PtcText.h"
#include "tools/texture/TextureWriters.h"

namespace {

const char kHelp[] =
    "ptctool: writes the game's particle effects.\n"
    "\n"
    "Usage:\n"
    "  ptctool ptc DESCRIPTION OUT.ptc   compiles an effect description\n"
    "  ptctool atlas OUT.mpt [FRAME]     writes the sprite atlas (four square frames of FRAME\n"
    "                                    pixels, 32 by default: glow, sparkle, puff, drop)\n"
    "  ptctool --help\n"
    "\n"
    "A description, one statement a line ('#' starts a comment):\n"
    "  atlas FILE WIDTH HEIGHT COLUMNS ROWS   a picture cut into a grid of frames\n"
    "  emitter NAME [FOLDER]   a new emitter (quote a name that ends in a blank)\n"
    "  loop on|off, duration SECONDS, step MILLISECONDS   of the emitter\n"
    "  layer ATLAS             a new kind of particle of the emitter, then for it:\n"
    "  frames FIRST COUNT [random|life], blend alpha|add, shape point|box W H|circle R,\n"
    "  rate N, capacity N, burst N, life MIN MAX, speed MIN MAX, direction DEG, spread DEG,\n"
    "  gravity X Y, spin MIN MAX, drag D, size TIME SIZE, colour TIME R G B A\n"
    "Units: 450.7 to half the screen's height, x right, y down; colours 0..1.\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "ptctool: %s\n(ptctool --help shows the usage)\n", problem);
  return 2;
}

int Compile(const char* descriptionPath, const char* outPath) {
  std::vector<description::SLine> lines;
  if (!description::Read("ptctool", descriptionPath, &lines)) return 1;
  SPtcFile file;
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ptctool::ParsePtcDescription(lines, &file, &error) || !ptctool::WritePtcFile(file, &bytes, &error)) {
    std::fprintf(stderr, "ptctool: %s: %s\n", descriptionPath, error.c_str());
    return 1;
  }
  return description::WriteFile("ptctool", outPath, bytes) ? 0 : 1;
}

int WriteAtlas(const char* outPath, const char* frameText) {
  const int frame = frameText ? std::atoi(frameText) : 32;
  if (frame < 4 || frame > 512) return Usage("the frame size is 4 to 512 pixels");
  const SRgbaImage image = ptctool::MakeSpriteAtlas(static_cast<uint32_t>(frame));
  return description::WriteFile("ptctool", outPath, WriteMpt(image, EMptPixels::Rgba, 0)) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kHelp, stdout);
    return argc < 2 ? 2 : 0;
  }
  const std::string command = argv[1];
  if (command == "ptc" && argc == 4) return Compile(argv[2], argv[3]);
  if (command == "atlas" && (argc == 3 || argc == 4)) return WriteAtlas(argv[2], argc == 4 ? argv[3] : nullptr);
  return Usage("unknown command or wrong number of arguments");
}
