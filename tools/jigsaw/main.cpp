// jigsaw: cuts a picture of the extras jigsaw into its 72 pieces and writes the picture's
// layout with them.
//
//   jigsaw PICTURE.art NUMBER SEED CONTENT_DIR
//
// PICTURE.art must draw 768 x 384 pixels. Written under CONTENT_DIR:
//   Art/Extras/Jigsaw<NUMBER>/J<NUMBER>_Piece1.mpt .. J<NUMBER>_Piece72.mpt
//                                       the 64 x 64 pieces, 12 across, 6 down
//   Art/Extras/Jigsaw<NUMBER>/J<NUMBER>_Preview.mpt, J<NUMBER>_Ghost.mpt
//                                       the picture at 512 x 256, and faint
// Each picture's files have names of their own: a layout's picture read from its own folder is
// known to the engine by its file's name alone, so two pictures' "Piece1" would be one.
//   App/Layouts/Jigsaw<NUMBER>.2dl                         the table, the faint picture where the
//       pieces belong, the pieces "root/Details/<id>" scattered round it (SEED chooses where),
//       their places "root/Dummies/<id>", and the menu and OK buttons
// The table and the buttons' pictures are the build's (App/Extras/Textures/*.bmp).
//
// Exit status: 0 done, 1 a bad picture or a file that could not be written, 2 usage.

#include "tools/art/ArtDescription.h"
#include "tools/art/ArtPainter.h"
#include "tools/shared/FileBytes.h"
#include "tools/texture/DctzEncoder.h"
#include "tools/texture/TextureWriters.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kColumns = 12, kRows = 6, kSide = 64;
constexpr int kWidth = kColumns * kSide, kHeight = kRows * kSide;
constexpr int kPreviewWidth = 512, kPreviewHeight = 256;
// Layout units: the screen's height spans 2, 720 pixels.
constexpr double kUnitsPerPixel = 2.0 / 720.0;
// The picture's centre, in layout units.
constexpr double kPictureX = 0.0, kPictureY = 0.25;

int Fail(const std::string& message) {
  std::fprintf(stderr, "jigsaw: %s\n", message.c_str());
  return kExitFailed;
}

SRgbaImage Crop(const SRgbaImage& image, int left, int top) {
  SRgbaImage piece;
  piece.width = piece.height = kSide;
  piece.rgba.resize(kSide * kSide * 4);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const uint8_t* from = &image.rgba[((top + y) * image.width + left + x) * 4];
      uint8_t* to = &piece.rgba[(y * kSide + x) * 4];
      // A bevel: lit on the top and left edge, shaded on the bottom and right.
      int shade = 0;
      if (x == 0 || y == 0) shade = 40;
      if (x == kSide - 1 || y == kSide - 1) shade = -60;
      for (int c = 0; c < 3; ++c) to[c] = uint8_t(std::clamp(int(from[c]) + shade, 0, 255));
      to[3] = 255;
    }
  }
  return piece;
}

// Box-sampled down to the preview's size; `light` scales the colours (the faint copy).
SRgbaImage Shrink(const SRgbaImage& image, double light, uint8_t alpha) {
  SRgbaImage small;
  small.width = kPreviewWidth;
  small.height = kPreviewHeight;
  small.rgba.resize(size_t(kPreviewWidth) * kPreviewHeight * 4);
  const double step = double(image.width) / kPreviewWidth;
  for (int y = 0; y < kPreviewHeight; ++y) {
    for (int x = 0; x < kPreviewWidth; ++x) {
      double sum[3] = {};
      int count = 0;
      for (int sy = int(y * step); sy < int((y + 1) * step); ++sy) {
        for (int sx = int(x * step); sx < int((x + 1) * step); ++sx, ++count) {
          for (int c = 0; c < 3; ++c) sum[c] += image.rgba[(sy * image.width + sx) * 4 + c];
        }
      }
      uint8_t* to = &small.rgba[(y * kPreviewWidth + x) * 4];
      for (int c = 0; c < 3; ++c) to[c] = uint8_t(std::min(255.0, sum[c] / std::max(count, 1) * light));
      to[3] = alpha;
    }
  }
  return small;
}

bool WriteTexture(const std::filesystem::path& path, const SRgbaImage& image) {
  return WriteFileBytes(path.string(), WriteEngineTexture(image, "mpt", EMptPixels::Rgbz, kDefaultDctzQuality));
}

// A small repeatable generator, so two builds scatter the pieces alike.
struct SRandom {
  uint32_t state;
  double Next() {
    state = state * 1664525u + 1013904223u;
    return double(state >> 8) / double(1u << 24);
  }
};

// Loose pieces lie in the band under the picture and at its sides, within a 4:3 screen.
void LoosePlace(SRandom& random, double& x, double& y) {
  if (random.Next() < 0.7) {
    x = -1.2 + 2.4 * random.Next();
    y = -0.9 + 0.5 * random.Next();
  } else {
    const double side = random.Next() < 0.5 ? -1.0 : 1.0;
    x = side * (1.22 + 0.05 * random.Next());
    y = -0.25 + 0.95 * random.Next();
  }
}

std::string Pair(double a, double b) {
  char text[64];
  std::snprintf(text, sizeof(text), "%.4f;%.4f", a, b);
  return text;
}

void Sprite(std::ostream& out, const std::string& name, const std::string& texture, bool visible, double x, double y,
            double w, double h) {
  out << "    <Object Type=\"Sprite2D\" Name=\"" << name << "\"><Resource Type=\"Texture\">" << texture
      << "</Resource><Visible>" << (visible ? "True" : "False") << "</Visible>\n      <Pos>" << Pair(x, y)
      << "</Pos><Size>" << Pair(w, h) << "</Size><Scale>1;1</Scale><Color>128;128;128;128</Color></Object>\n";
}

void Dummy(std::ostream& out, const std::string& name, double x, double y, double w, double h) {
  out << "    <Object Type=\"Dummy\" Name=\"" << name << "\"><Visible>True</Visible>\n      <Pos>" << Pair(x, y)
      << "</Pos><Size>" << Pair(w, h) << "</Size><Scale>1;1</Scale><Color>128;128;128;128</Color></Object>\n";
}

void Text(std::ostream& out, const std::string& name, bool visible, double x, double y, const char* phrase) {
  out << "    <Object Type=\"Text\" Name=\"" << name << "\"><Resource Type=\"Font\">Frames</Resource><Visible>"
      << (visible ? "True" : "False") << "</Visible>\n      <Pos>" << Pair(x, y)
      << "</Pos><Color>122;115;98;128</Color><FontSize>18</FontSize><LineSpacingExtra>0</LineSpacingExtra>\n"
      << "      <FontWrap>0.54</FontWrap><TextSource>Dictionary</TextSource><PhraseID>" << phrase
      << "</PhraseID></Object>\n";
}

// What the names of a picture's files and textures begin with.
std::string NamePrefix(int number) { return "J" + std::to_string(number) + "_"; }

std::string Layout(int number, uint32_t seed) {
  const std::string prefix = NamePrefix(number);
  std::ostringstream out;
  out << "<?xml version=\"1.0\"?>\n<!-- Written by the jigsaw tool: picture " << number
      << " of the extras jigsaw, cut into 72 pieces. -->\n<Layout2D>\n  <Resources>\n"
      << "    <Directory Path=\"App\\Extras\\\">\n"
      << "      <Texture Name=\"Jigsaw_Table\" FileName=\"Jigsaw_Table\"/>\n"
      << "      <Texture Name=\"Jigsaw_Button\" FileName=\"Jigsaw_Button\"/>\n"
      << "      <Texture Name=\"Jigsaw_ButtonActive\" FileName=\"Jigsaw_ButtonActive\"/>\n    </Directory>\n"
      << "    <Directory Path=\"Art\\Extras\\Jigsaw" << number << "\\\" ExplicitDir=\"True\">\n"
      << "      <Texture Name=\"" << prefix << "Ghost\" FileName=\"" << prefix << "Ghost\" Reference=\"mpt\"/>\n";
  for (int id = 1; id <= kColumns * kRows; ++id)
    out << "      <Texture Name=\"" << prefix << "Piece" << id << "\" FileName=\"" << prefix << "Piece" << id
        << "\" Reference=\"mpt\"/>\n";
  out << "    </Directory>\n    <Directory Path=\"App\\Frames\\\">\n      <Font Name=\"Frames\" FileName=\"Frames\"/>\n"
      << "    </Directory>\n  </Resources>\n  <Layout>\n";
  Sprite(out, "root/Table", "Jigsaw_Table", true, 0.0, 0.0, 1280 * kUnitsPerPixel, 2.0);
  Sprite(out, "root/Board", prefix + "Ghost", true, kPictureX, kPictureY, kWidth * kUnitsPerPixel,
         kHeight * kUnitsPerPixel);
  const double side = kSide * kUnitsPerPixel;
  const double left = kPictureX - kWidth * kUnitsPerPixel / 2 + side / 2;
  const double top = kPictureY + kHeight * kUnitsPerPixel / 2 - side / 2;
  for (int id = 1; id <= kColumns * kRows; ++id) {
    const int column = (id - 1) % kColumns, row = (id - 1) / kColumns;
    Dummy(out, "root/Dummies/" + std::to_string(id), left + column * side, top - row * side, side, side);
  }
  SRandom random{seed};
  for (int id = 1; id <= kColumns * kRows; ++id) {
    double x = 0, y = 0;
    LoosePlace(random, x, y);
    Sprite(out, "root/Details/" + std::to_string(id), prefix + "Piece" + std::to_string(id), true, x, y, side, side);
  }
  Sprite(out, "root/ExitButton", "Jigsaw_Button", true, 1.05, 0.9, 0.48, 0.12);
  Sprite(out, "root/ExitButtonActive", "Jigsaw_ButtonActive", false, 1.05, 0.9, 0.48, 0.12);
  Text(out, "root/text_menu", true, 1.05, 0.9, "JIGSAW_MENU");
  Sprite(out, "root/OkButton", "Jigsaw_Button", false, 0.0, -0.62, 0.48, 0.12);
  Sprite(out, "root/OkButtonActive", "Jigsaw_ButtonActive", false, 0.0, -0.62, 0.48, 0.12);
  Text(out, "root/text_ok", false, 0.0, -0.62, "MSG_OK");
  out << "  </Layout>\n</Layout2D>\n";
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: jigsaw PICTURE.art NUMBER SEED CONTENT_DIR\n");
    return kExitUsage;
  }
  const int number = std::atoi(argv[2]);
  const uint32_t seed = uint32_t(std::strtoul(argv[3], nullptr, 10));
  const std::filesystem::path content = argv[4];
  art::SPicture picture;
  std::string error;
  if (!art::ReadDescription(argv[1], {}, picture, error)) return Fail(error);
  if (picture.width != kWidth || picture.height != kHeight)
    return Fail(std::string(argv[1]) + " draws " + std::to_string(picture.width) + " x " +
                std::to_string(picture.height) + " pixels, not 768 x 384");
  const SRgbaImage image = art::Paint(picture);
  art::ReleaseFontCaches();

  const std::filesystem::path folder = content / "Art" / "Extras" / ("Jigsaw" + std::to_string(number));
  const std::filesystem::path layouts = content / "App" / "Layouts";
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  std::filesystem::create_directories(layouts, made);
  const std::string prefix = NamePrefix(number);
  for (int id = 1; id <= kColumns * kRows; ++id) {
    const int column = (id - 1) % kColumns, row = (id - 1) / kColumns;
    const std::filesystem::path out = folder / (prefix + "Piece" + std::to_string(id) + ".mpt");
    if (!WriteTexture(out, Crop(image, column * kSide, row * kSide))) return Fail(out.string() + ": cannot write");
  }
  if (!WriteTexture(folder / (prefix + "Preview.mpt"), Shrink(image, 1.0, 255)) ||
      !WriteTexture(folder / (prefix + "Ghost.mpt"), Shrink(image, 0.45, 110)))
    return Fail(folder.string() + ": cannot write the preview");
  const std::filesystem::path layout = layouts / ("Jigsaw" + std::to_string(number) + ".2dl");
  std::ofstream file(layout, std::ios::binary);
  file << Layout(number, seed);
  if (!file.flush()) return Fail(layout.string() + ": cannot write");
  return 0;
}
