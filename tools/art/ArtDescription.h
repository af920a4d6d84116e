#pragma once
// The picture descriptions the art tool draws: a canvas and then drawing statements, one per
// line, in the order they are painted. The statements are listed in the tool's help
// (ArtDescription.cpp holds the text) and in the README.

#include <map>
#include <string>
#include <vector>

namespace art {

struct SColour {
  double r = 0, g = 0, b = 0, a = 1;
};

enum class EPaintKind { None, Solid, Linear, Radial };

// What fills or strokes a shape: a colour, or a gradient whose stops are spread evenly.
struct SPaint {
  EPaintKind kind = EPaintKind::None;
  std::vector<double> geometry;  // linear: x0 y0 x1 y1; radial: cx cy r
  std::vector<SColour> stops;    // one for a solid paint
};

enum class EStep { Fill, Stroke, Shadow, Font, Rect, Circle, Ellipse, Polygon, Line, Arc, Text, Layer, End, Grain };

enum class EAlign { Left, Center, Right };

struct SStep {
  EStep kind = EStep::End;
  int line = 0;
  SPaint paint;                 // fill, stroke
  std::vector<double> numbers;  // the statement's numbers in their written order
  SColour colour;               // shadow
  bool none = false;            // "fill none", "stroke none", "shadow none"
  std::string text;             // text, font family
  bool bold = false, italic = false;
  EAlign align = EAlign::Left;
};

struct SPicture {
  int width = 0, height = 0;
  std::vector<SStep> steps;
};

// Words "${NAME}" in a description are replaced by these texts before the line is read.
using Defines = std::map<std::string, std::string>;

// False with "PATH:LINE: what is wrong" (or "PATH: ..." for the file as a whole) in `error`.
bool ParseDescription(const std::string& text, const std::string& path, const Defines& defines, SPicture& picture,
                      std::string& error);
bool ReadDescription(const std::string& path, const Defines& defines, SPicture& picture, std::string& error);

// The statements, for the tool's help.
extern const char kStatementHelp[];

}  // namespace art
