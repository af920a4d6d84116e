#include "tools/art/ArtDescription.h"

#include "tools/shared/FileBytes.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <sstream>
#include <stdexcept>

namespace art {

const char kStatementHelp[] =
    "  canvas W H                      the picture's size in pixels (first statement, 1 to 4096)\n"
    "  fill PAINT | fill none          how the following shapes and texts are filled\n"
    "  stroke PAINT WIDTH | stroke none   how their outlines are drawn\n"
    "     PAINT: #RRGGBB[AA] | linear X0 Y0 X1 Y1 #C0 #C1 ... | radial CX CY R #C0 #C1 ...\n"
    "  shadow DX DY SOFTNESS #COLOUR | shadow none   a soft shadow under the following shapes\n"
    "  font \"FAMILY\" [bold] [italic]   the face of the following texts (fontconfig family)\n"
    "  rect X Y W H [RADIUS]           a rectangle, with rounded corners of RADIUS\n"
    "  circle CX CY R | ellipse CX CY RX RY\n"
    "  polygon X Y X Y X Y ...         a closed outline of three or more points\n"
    "  line X0 Y0 X1 Y1 | arc CX CY R FROM TO   outlines only (degrees, clockwise from +x)\n"
    "  text X Y SIZE left|center|right \"TEXT\" [MAXWIDTH]   one line, Y its middle; shrunk to MAXWIDTH\n"
    "  layer OPACITY ... end           statements drawn apart and laid on with OPACITY (0 to 1)\n"
    "  grain AMOUNT SEED               noise of AMOUNT (0 to 1) over what the current layer holds\n"
    "  Lines starting with # are comments; ${NAME} is replaced by the value given with --set.\n";

namespace {

constexpr int kMaxCanvasSide = 4096;

struct SParseError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& what) { throw SParseError(what); }

std::string Substitute(const std::string& line, const Defines& defines) {
  std::string out;
  for (size_t i = 0; i < line.size();) {
    size_t start = line.find("${", i);
    if (start == std::string::npos) {
      out += line.substr(i);
      break;
    }
    size_t end = line.find('}', start);
    if (end == std::string::npos) Fail("\"${\" without its closing \"}\"");
    const std::string name = line.substr(start + 2, end - start - 2);
    auto found = defines.find(name);
    if (found == defines.end()) Fail("no value for ${" + name + "} (give it with --set " + name + "=...)");
    out += line.substr(i, start - i) + found->second;
    i = end + 1;
  }
  return out;
}

// Words separated by blanks; a word in double quotes may hold blanks, \" and \\.
std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  for (size_t i = 0; i < line.size();) {
    if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
      ++i;
      continue;
    }
    std::string word;
    if (line[i] == '"') {
      for (++i;; ++i) {
        if (i >= line.size()) Fail("a quoted text is not closed");
        if (line[i] == '"') break;
        if (line[i] == '\\' && i + 1 < line.size()) ++i;
        word += line[i];
      }
      ++i;
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word += line[i++];
    }
    words.push_back(word);
  }
  return words;
}

double Number(const std::string& word) {
  double value = 0;
  const char* end = word.data() + word.size();
  auto result = std::from_chars(word.data(), end, value);
  if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) Fail("\"" + word + "\" is not a number");
  return value;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsColour(const std::string& word) { return !word.empty() && word[0] == '#'; }

SColour Colour(const std::string& word) {
  if (!IsColour(word) || (word.size() != 7 && word.size() != 9)) Fail("\"" + word + "\" is not a colour #RRGGBB[AA]");
  double channel[4] = {0, 0, 0, 255};
  for (size_t i = 1; i < word.size(); i += 2) {
    int high = HexDigit(word[i]), low = HexDigit(word[i + 1]);
    if (high < 0 || low < 0) Fail("\"" + word + "\" is not a colour #RRGGBB[AA]");
    channel[i / 2] = high * 16 + low;
  }
  return {channel[0] / 255, channel[1] / 255, channel[2] / 255, channel[3] / 255};
}

// A statement's words after its name, read in order.
class CWords {
 public:
  explicit CWords(std::vector<std::string> words) : m_words(std::move(words)) {}
  bool More() const { return m_next < m_words.size(); }
  const std::string& Peek() const { return m_words[m_next]; }
  const std::string& Word(const char* what) {
    if (!More()) Fail(std::string("missing ") + what);
    return m_words[m_next++];
  }
  double Number(const char* what) { return art::Number(Word(what)); }
  double Positive(const char* what) {
    double value = Number(what);
    if (value <= 0) Fail(std::string(what) + " must be above 0");
    return value;
  }
  double Fraction(const char* what) {
    double value = Number(what);
    if (value < 0 || value > 1) Fail(std::string(what) + " must be from 0 to 1");
    return value;
  }
  void Numbers(int count, const char* what, std::vector<double>& out) {
    for (int i = 0; i < count; ++i) out.push_back(Number(what));
  }
  void End() const {
    if (More()) Fail("unexpected \"" + m_words[m_next] + "\"");
  }

 private:
  std::vector<std::string> m_words;
  size_t m_next = 1;
};

SPaint Paint(CWords& words) {
  SPaint paint;
  const std::string kind = words.Word("a paint");
  if (IsColour(kind)) {
    paint.kind = EPaintKind::Solid;
    paint.stops.push_back(Colour(kind));
    return paint;
  }
  if (kind != "linear" && kind != "radial") Fail("\"" + kind + "\" is not a paint (#RRGGBB[AA], linear or radial)");
  paint.kind = kind == "linear" ? EPaintKind::Linear : EPaintKind::Radial;
  words.Numbers(kind == "linear" ? 4 : 3, "the gradient's placement", paint.geometry);
  if (paint.kind == EPaintKind::Radial && paint.geometry[2] <= 0) Fail("a radial gradient's radius must be above 0");
  while (words.More() && IsColour(words.Peek())) paint.stops.push_back(Colour(words.Word("a colour")));
  if (paint.stops.size() < 2) Fail("a gradient needs two colours or more");
  return paint;
}

void ReadFill(CWords& words, SStep& step) {
  if (words.More() && words.Peek() == "none") {
    words.Word("none");
    step.none = true;
  } else {
    step.paint = Paint(words);
  }
}

void ReadStroke(CWords& words, SStep& step) {
  ReadFill(words, step);
  if (!step.none) step.numbers.push_back(words.Positive("the stroke's width"));
}

void ReadShadow(CWords& words, SStep& step) {
  if (words.More() && words.Peek() == "none") {
    words.Word("none");
    step.none = true;
    return;
  }
  words.Numbers(2, "the shadow's offset", step.numbers);
  double softness = words.Number("the shadow's softness");
  if (softness < 0 || softness > 64) Fail("the shadow's softness must be from 0 to 64 pixels");
  step.numbers.push_back(softness);
  step.colour = Colour(words.Word("the shadow's colour"));
}

void ReadFont(CWords& words, SStep& step) {
  step.text = words.Word("the font's family");
  while (words.More()) {
    const std::string style = words.Word("a style");
    if (style == "bold") {
      step.bold = true;
    } else if (style == "italic") {
      step.italic = true;
    } else {
      Fail("\"" + style + "\" is not a font style (bold, italic)");
    }
  }
}

void ReadRect(CWords& words, SStep& step) {
  words.Numbers(2, "the rectangle's corner", step.numbers);
  step.numbers.push_back(words.Positive("the rectangle's width"));
  step.numbers.push_back(words.Positive("the rectangle's height"));
  if (words.More()) step.numbers.push_back(words.Number("the corner radius"));
}

void ReadPolygon(CWords& words, SStep& step) {
  while (words.More()) step.numbers.push_back(words.Number("a point"));
  if (step.numbers.size() % 2 != 0) Fail("a polygon's points come in pairs");
  if (step.numbers.size() < 6) Fail("a polygon needs three points or more");
}

void ReadText(CWords& words, SStep& step) {
  words.Numbers(2, "the text's place", step.numbers);
  step.numbers.push_back(words.Positive("the text's size"));
  const std::string align = words.Word("the alignment");
  if (align == "left") {
    step.align = EAlign::Left;
  } else if (align == "center") {
    step.align = EAlign::Center;
  } else if (align == "right") {
    step.align = EAlign::Right;
  } else {
    Fail("\"" + align + "\" is not an alignment (left, center, right)");
  }
  step.text = words.Word("the text");
  if (words.More()) step.numbers.push_back(words.Positive("the text's greatest width"));
}

struct SStatement {
  const char* name;
  EStep kind;
  std::function<void(CWords&, SStep&)> read;
};

const SStatement kStatements[] = {
    {"fill", EStep::Fill, ReadFill},
    {"stroke", EStep::Stroke, ReadStroke},
    {"shadow", EStep::Shadow, ReadShadow},
    {"font", EStep::Font, ReadFont},
    {"rect", EStep::Rect, ReadRect},
    {"circle", EStep::Circle,
     [](CWords& w, SStep& s) {
       w.Numbers(2, "the circle's centre", s.numbers);
       s.numbers.push_back(w.Positive("the circle's radius"));
     }},
    {"ellipse", EStep::Ellipse,
     [](CWords& w, SStep& s) {
       w.Numbers(2, "the ellipse's centre", s.numbers);
       s.numbers.push_back(w.Positive("the ellipse's radius"));
       s.numbers.push_back(w.Positive("the ellipse's radius"));
     }},
    {"polygon", EStep::Polygon, ReadPolygon},
    {"line", EStep::Line, [](CWords& w, SStep& s) { w.Numbers(4, "the line's ends", s.numbers); }},
    {"arc", EStep::Arc,
     [](CWords& w, SStep& s) {
       w.Numbers(2, "the arc's centre", s.numbers);
       s.numbers.push_back(w.Positive("the arc's radius"));
       w.Numbers(2, "the arc's angles", s.numbers);
     }},
    {"text", EStep::Text, ReadText},
    {"layer", EStep::Layer, [](CWords& w, SStep& s) { s.numbers.push_back(w.Fraction("the layer's opacity")); }},
    {"end", EStep::End, [](CWords&, SStep&) {}},
    {"grain", EStep::Grain,
     [](CWords& w, SStep& s) {
       s.numbers.push_back(w.Fraction("the grain's amount"));
       s.numbers.push_back(w.Number("the grain's seed"));
     }},
};

void ReadCanvas(CWords& words, SPicture& picture) {
  double width = words.Number("the canvas width"), height = words.Number("the canvas height");
  words.End();
  if (width != std::floor(width) || height != std::floor(height) || width < 1 || height < 1 ||
      width > kMaxCanvasSide || height > kMaxCanvasSide)
    Fail("the canvas sides must be whole numbers from 1 to " + std::to_string(kMaxCanvasSide));
  picture.width = int(width);
  picture.height = int(height);
}

SStep ReadStep(std::vector<std::string> words) {
  for (const SStatement& statement : kStatements) {
    if (words[0] != statement.name) continue;
    SStep step;
    step.kind = statement.kind;
    CWords reader(std::move(words));
    statement.read(reader, step);
    reader.End();
    return step;
  }
  Fail("unknown statement \"" + words[0] + "\"");
}

}  // namespace

bool ParseDescription(const std::string& text, const std::string& path, const Defines& defines, SPicture& picture,
                      std::string& error) {
  picture = SPicture();
  std::istringstream lines(text);
  std::vector<int> openLayers;  // the lines of the layers not yet ended
  int number = 0;
  try {
    for (std::string line; std::getline(lines, line);) {
      ++number;
      std::vector<std::string> words = SplitWords(Substitute(line, defines));
      if (words.empty() || words[0][0] == '#') continue;
      if (picture.width == 0) {
        if (words[0] != "canvas") Fail("the description must start with \"canvas W H\"");
        CWords reader(std::move(words));
        ReadCanvas(reader, picture);
        continue;
      }
      if (words[0] == "canvas") Fail("a second \"canvas\"");
      SStep step = ReadStep(std::move(words));
      step.line = number;
      if (step.kind == EStep::Layer) openLayers.push_back(number);
      if (step.kind == EStep::End) {
        if (openLayers.empty()) Fail("\"end\" without a \"layer\"");
        openLayers.pop_back();
      }
      picture.steps.push_back(step);
    }
    if (picture.width == 0) {
      error = path + ": no \"canvas W H\"";
      return false;
    }
    number = openLayers.empty() ? number : openLayers.back();
    if (!openLayers.empty()) Fail("this \"layer\" has no \"end\"");
  } catch (const SParseError& failure) {
    error = path + ":" + std::to_string(number) + ": " + failure.what();
    return false;
  }
  return true;
}

bool ReadDescription(const std::string& path, const Defines& defines, SPicture& picture, std::string& error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) {
    error = path + ": cannot read the file";
    return false;
  }
  return ParseDescription(std::string(bytes.begin(), bytes.end()), path, defines, picture, error);
}

}  // namespace art
