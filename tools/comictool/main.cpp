// comictool: writes CMX comics from text descriptions and the on-screen keyboard's button
// pictures.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/comictool/ComicText.h"
#include "tools/shared/FileBytes.h"
#include "tools/texture/TextureWriters.h"

namespace {

const char kHelp[] =
    "comictool: writes the game's comics and the on-screen keyboard's pictures.\n"
    "\n"
    "Usage:\n"
    "  comictool cmx DESCRIPTION OUT.cmx   compiles a comic description\n"
    "  comictool osk OUTDIR                writes the keyboard's button textures (MPT) into OUTDIR\n"
    "  comictool --help\n"
    "\n"
    "A description, one statement a line ('#' starts a comment):\n"
    "  texture NAME                    a texture of the comic's Textures folder (indices in order)\n"
    "  page START DURATION             a page shown from START for DURATION seconds\n"
    "  panel TEXTURE [U0 V0 U1 V1]     a textured rectangle of the page (texture by index or name)\n"
    "  key TIME X0 Y0 X1 Y1 [R G B A]  the panel's top-left and bottom-right corners TIME seconds\n"
    "                                  into its page (x -1598..1598, y -898..898 upwards fill a 16:9\n"
    "                                  screen) and its colour; panels move linearly between keys\n";

int Usage(const char* problem) {
  std::fprintf(stderr, "comictool: %s\n(comictool --help shows the usage)\n", problem);
  return 2;
}

int Compile(const char* descriptionPath, const char* outPath) {
  std::vector<uint8_t> text;
  if (!ReadFileBytes(descriptionPath, text)) {
    std::fprintf(stderr, "comictool: cannot read %s\n", descriptionPath);
    return 1;
  }
  comictool::SComicDescription comic;
  std::string error;
  std::vector<uint8_t> bytes;
  if (!comictool::ParseComicDescription(std::string(text.begin(), text.end()), &comic, &error) ||
      !comictool::WriteComic(comic, &bytes, &error)) {
    std::fprintf(stderr, "comictool: %s: %s\n", descriptionPath, error.c_str());
    return 1;
  }
  if (!WriteFileBytes(outPath, bytes)) {
    std::fprintf(stderr, "comictool: cannot write %s\n", outPath);
    return 1;
  }
  return 0;
}

int WriteKeyboardPictures(const std::string& folder) {
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  for (const comictool::SNamedPicture& picture : comictool::MakeKeyboardButtons()) {
    const SRgbaImage image{picture.width, picture.height, picture.rgba};
    const std::string path = folder + "/" + picture.fileName;
    if (!WriteFileBytes(path, WriteMpt(image, EMptPixels::Rgba, 0))) {
      std::fprintf(stderr, "comictool: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    std::fputs(kHelp, argc < 2 ? stderr : stdout);
    return argc < 2 ? 2 : 0;
  }
  const std::string command = argv[1];
  if (command == "cmx") return argc == 4 ? Compile(argv[2], argv[3]) : Usage("cmx takes DESCRIPTION and OUT.cmx");
  if (command == "osk") return argc == 3 ? WriteKeyboardPictures(argv[2]) : Usage("osk takes OUTDIR");
  return Usage(("unknown command \"" + command + "\"").c_str());
}
