// fontmaker: renders TrueType/OpenType faces into the engine's bitmap font files.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/fontmaker/CharacterSets.h"
#include "tools/fontmaker/FontMaker.h"

using namespace fontmaker;

namespace {

const char kHelp[] =
    "fontmaker: renders a TrueType/OpenType font into a bitmap font file (.fnt).\n"
    "\n"
    "Usage:\n"
    "  fontmaker FONT OUT.fnt --size PX [options]\n"
    "  fontmaker --fixture OUT.fnt\n"
    "  fontmaker --help\n"
    "\n"
    "Options:\n"
    "  --size PX            character size in pixels, 4 to 256 (required)\n"
    "  --chars SET[,SET]    latin, cyrillic, kana, kanji (default latin); kanji is the\n"
    "                       2,965 common kanji of JIS level 1\n"
    "  --charset-file F     also every character of the UTF-8 text file F\n"
    "  --fallback FONT      a further face for characters FONT lacks (may repeat)\n"
    "  --page WxH           page size in pixels, powers of two (default: smallest that fits)\n"
    "  --padding N          empty pixels around each glyph (default 2)\n"
    "  --bmp FILE           also write the page as a 32-bit BMP (the engine looks for\n"
    "                       OUT.fnt.bmp beside the font)\n"
    "  --fixture            write the small fixed font the engine's tests use\n"
    "\n"
    "Example:\n"
    "  fontmaker /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf menu.fnt --size 24 \\\n"
    "      --chars latin,cyrillic,kana,kanji \\\n"
    "      --fallback /usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf\n";

constexpr int kUsageError = 2;
constexpr int kFailure = 1;

int UsageError(const std::string& text) {
  std::fprintf(stderr, "fontmaker: %s\n(fontmaker --help shows the usage)\n", text.c_str());
  return kUsageError;
}

int Failure(const std::string& text) {
  std::fprintf(stderr, "fontmaker: %s\n", text.c_str());
  return kFailure;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

bool IsPowerOfTwo(long v) { return v > 0 && (v & (v - 1)) == 0; }

bool ParsePage(const std::string& text, SMakeOptions* options) {
  long w = 0, h = 0;
  char x = 0;
  std::istringstream in(text);
  if (!(in >> w >> x >> h) || x != 'x' || !in.eof()) return false;
  if (!IsPowerOfTwo(w) || !IsPowerOfTwo(h) || w > 8192 || h > 8192) return false;
  options->pageWidth = static_cast<uint16_t>(w);
  options->pageHeight = static_cast<uint16_t>(h);
  return true;
}

bool ParseCount(const std::string& text, long low, long high, long* value) {
  char* end = nullptr;
  *value = std::strtol(text.c_str(), &end, 10);
  return !text.empty() && *end == 0 && *value >= low && *value <= high;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::fputs(kHelp, args.empty() ? stderr : stdout);
    return args.empty() ? kUsageError : 0;
  }
  if (args[0] == "--fixture") {
    if (args.size() != 2) return UsageError("--fixture takes the output file alone");
    if (!WriteFile(args[1], WriteFontFile(MakeFixtureFont()))) return Failure("cannot write " + args[1]);
    return 0;
  }

  SMakeOptions options;
  std::vector<std::string> positional;
  std::string bmpPath, charsetFile, chars = "latin";
  bool sizeGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= args.size()) return false;
      *out = args[++i];
      return true;
    };
    std::string v;
    long number = 0;
    if (a == "--size") {
      if (!value(&v) || !ParseCount(v, 4, 256, &number)) return UsageError("--size needs a pixel size from 4 to 256");
      options.pixelSize = static_cast<uint32_t>(number);
      sizeGiven = true;
    } else if (a == "--chars") {
      if (!value(&chars)) return UsageError("--chars needs a list of sets");
    } else if (a == "--charset-file") {
      if (!value(&charsetFile)) return UsageError("--charset-file needs a file");
    } else if (a == "--fallback") {
      if (!value(&v)) return UsageError("--fallback needs a font file");
      options.faces.push_back(v);
    } else if (a == "--page") {
      if (!value(&v) || !ParsePage(v, &options)) return UsageError("--page needs WxH, powers of two up to 8192");
    } else if (a == "--padding") {
      if (!value(&v) || !ParseCount(v, 0, 16, &number)) return UsageError("--padding needs 0 to 16 pixels");
      options.padding = static_cast<uint32_t>(number);
    } else if (a == "--bmp") {
      if (!value(&bmpPath)) return UsageError("--bmp needs a file");
    } else if (!a.empty() && a[0] == '-') {
      return UsageError("unknown option " + a);
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) return UsageError("give one font file and one output file");
  if (!sizeGiven) return UsageError("--size is required");
  options.faces.insert(options.faces.begin(), positional[0]);

  std::stringstream sets(chars);
  for (std::string name; std::getline(sets, name, ',');) {
    if (!AddNamedSet(name, &options.codes)) return UsageError("unknown character set " + name);
  }
  if (!charsetFile.empty()) {
    std::ifstream in(charsetFile, std::ios::binary);
    if (!in) return Failure("cannot read " + charsetFile);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t bad = 0;
    if (!AddTextCharacters(text, &options.codes, &bad))
      return Failure(charsetFile + ": not UTF-8 at byte " + std::to_string(bad));
  }

  SMakeResult result;
  std::string error;
  if (!MakeFont(options, &result, &error)) return Failure(error);
  if (!WriteFile(positional[1], WriteFontFile(result.font))) return Failure("cannot write " + positional[1]);
  if (!bmpPath.empty() && !WriteFile(bmpPath, WritePageBmp(result.font)))
    return Failure("cannot write " + bmpPath);
  std::printf("%s: %zu glyphs on a %ux%u page", positional[1].c_str(), result.font.glyphs.size(),
              result.font.pageWidth, result.font.pageHeight);
  if (!result.missing.empty()) std::printf(", %zu characters missing from the faces", result.missing.size());
  std::printf("\n");
  return 0;
}
