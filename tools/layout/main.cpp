// layout: writes the 2-D layouts (".2dl") of the locations from a readable text description.
//
//   layout DESCRIPTION OUT_DIR
//
// The description places pictures in pixels of a 1280 x 720 screen, y pointing down; each
// layout is written as OUT_DIR/NAME.2dl, in the units the game places layout objects in
// (the screen's height spans -1 to 1, y up, the same scale across).
//
// Exit status: 0 done, 1 a bad description or a file that could not be written, 2 usage.

#include "tools/shared/TextDescription.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr float kScreenWidth = 1280.0f;
constexpr float kScreenHeight = 720.0f;
constexpr float kUnitsPerPixel = 2.0f / kScreenHeight;

const char kHelp[] =
    "usage: layout DESCRIPTION OUT_DIR\n"
    "Writes OUT_DIR/NAME.2dl for every layout of the description. Statements, one a line:\n"
    "  pictures FOLDER               where the picture descriptions (.art) lie, from the description's own folder\n"
    "  layout NAME FOLDER            a layout; its pictures lie in FOLDER of the content tree, written as the\n"
    "                                resource lists write it (Art\\Environments\\Scene01\\)\n"
    "  background ART                the picture FOLDER/NAME.dctz filling the screen, drawn first\n"
    "  backdrop NAME ART [KEY=VALUE]...\n"
    "                                the picture FOLDER/NAME.dctz filling the screen, drawn first with the values;\n"
    "                                layouts of one folder may share it (a search's visits)\n"
    "  sprite NAME X Y W H [hidden] ART [KEY=VALUE]...\n"
    "                                the picture FOLDER/NAME.mpt with its hit mask NAME.msk, centred at X Y,\n"
    "                                W x H pixels of a 1280 x 720 screen (y down); ART must draw W x H pixels\n"
    "  blank NAME FOLDER ART [KEY=VALUE]...\n"
    "                                a layout of only its background, drawn with PLACE=NAME and the values\n"
    "  spot NAME X Y W H             a place without a picture (a click area), centred at X Y, W x H pixels\n"
    "  anim NAME X Y W H [hidden] ART [KEY=VALUE]...\n"
    "                                a sprite played as a texture animation: ART draws its frames side by side,\n"
    "                                each W x H pixels, cycling in a second\n"
    "  surface X0 X1 Y DEPTH | surface X0 X1 Y hang\n"
    "                                a line of the current layout's room that pictures stand on (a shelf, table top\n"
    "                                or floor reaching DEPTH pixels below Y) or hang from (a rail); it draws\n"
    "                                nothing, scenecheck --surfaces checks every picture rests on one\n"
    "  textures PREFIX               the texture names of the current layout's following pictures start with\n"
    "                                PREFIX (texture names are shared by every layout of the game)\n"
    "A \"~\" in an object's NAME stands for a blank (the file names keep it). A sprite named NAME@WORD\n"
    "shows the picture of NAME again (drawn from the same ART and values): another object, one texture.\n"
    "ART names the picture's description (its values given as KEY=VALUE); the build draws it.\n"
    "Lines starting with # are comments.\n";

struct SSprite {
  std::string name;     // of the layout's object
  std::string texture;  // of the texture resource, unique in the game
  std::string file;
  float x, y, width, height;  // pixels of the screen, y down
  bool visible = true;
  bool masked = true;
  bool picture = true;  // false: a spot, a place the game only tests clicks against
  int frames = 0;       // above 0: a texture animation of that many frames side by side
};

struct SLayout {
  std::string name;
  std::string folder;
  std::vector<SSprite> sprites;
  std::string texturePrefix;
};

struct SDescriptionError {
  int line;
  std::string text;
};

std::string Number(float value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.4f", double(value));
  return text;
}

std::string Extension(const std::string& file) {
  const size_t dot = file.rfind('.');
  return dot == std::string::npos ? "" : file.substr(dot + 1);
}

std::string Stem(const std::string& file) { return file.substr(0, file.rfind('.')); }

// The texture of a picture, declared in the layout's own resource list; a picture read as it
// is named ("Reference") keeps its own format.
void WriteTexture(std::ostringstream& out, const SSprite& sprite) {
  if (sprite.frames > 0) {  // its frames side by side in one picture, which is always an MPT
    out << "      <TexAnim Name=\"" << sprite.texture << "\" FileName=\"" << Stem(sprite.file)
        << "\" Type=\"UV\" FileType=\"Mpt\" FrameCount=\"" << sprite.frames
        << "\" RowCount=\"1\" ColCount=\"" << sprite.frames << "\">\n"
        << "        <Params Duration=\"1\" Loop=\"True\"/>\n      </TexAnim>\n";
    return;
  }
  out << "      <Texture Name=\"" << sprite.texture << "\" FileName=\"" << Stem(sprite.file) << "\" Reference=\""
      << Extension(sprite.file) << "\"";
  if (!sprite.masked) {
    out << "/>\n";
    return;
  }
  out << ">\n        <Mask File=\"" << Stem(sprite.file) << ".msk\"/>\n      </Texture>\n";
}

// Names in the description hold no blanks; a "~" stands for one in the game's object name.
std::string ObjectName(std::string name) {
  for (char& c : name)
    if (c == '~') c = ' ';
  return name;
}

void WriteObject(std::ostringstream& out, const SSprite& sprite) {
  const float x = (sprite.x - kScreenWidth / 2.0f) * kUnitsPerPixel;
  const float y = (kScreenHeight / 2.0f - sprite.y) * kUnitsPerPixel;
  if (sprite.picture) {
    out << "    <Object Type=\"Sprite2D\" Name=\"" << ObjectName(sprite.name) << "\">\n"
        << "      <Resource Type=\"" << (sprite.frames > 0 ? "TexAnim" : "Texture") << "\">" << sprite.texture
        << "</Resource>\n";
  } else {
    out << "    <Object Type=\"Dummy\" Name=\"" << ObjectName(sprite.name) << "\">\n";
  }
  out << "      <Visible>" << (sprite.visible ? "True" : "False") << "</Visible>\n"
      << "      <Pos>" << Number(x) << ";" << Number(y) << "</Pos>\n"
      << "      <Size>" << Number(sprite.width * kUnitsPerPixel) << ";" << Number(sprite.height * kUnitsPerPixel)
      << "</Size>\n"
      << "      <Scale>1;1</Scale>\n"
      << "      <Color>255;255;255;255</Color>\n"
      << "    </Object>\n";
}

std::string LayoutText(const SLayout& layout) {
  std::ostringstream out;
  out << "<?xml version=\"1.0\"?>\n<!-- Made by the layout tool; edit its description instead. -->\n<Layout2D>\n"
      << "  <Resources>\n    <Directory Path=\"" << layout.folder << "\" ExplicitDir=\"True\">\n";
  std::set<std::string> written;  // a picture shown twice is declared once
  for (const SSprite& sprite : layout.sprites)
    if (sprite.picture && written.insert(sprite.texture).second) WriteTexture(out, sprite);
  out << "    </Directory>\n  </Resources>\n  <Layout>\n";
  for (const SSprite& sprite : layout.sprites) WriteObject(out, sprite);
  out << "  </Layout>\n</Layout2D>\n";
  return out.str();
}

std::string Folder(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

class CDescriptionReader {
 public:
  explicit CDescriptionReader(std::string folder) : m_descriptionFolder(std::move(folder)) {}

  std::vector<SLayout> Read(const std::vector<description::SLine>& lines) {
    for (const description::SLine& line : lines) {
      m_line = line.number;
      Statement(line);
    }
    return std::move(m_layouts);
  }

 private:
  [[noreturn]] void Fail(const std::string& text) const { throw SDescriptionError{m_line, text}; }

  void Expect(const description::SLine& line, size_t least, size_t most, const char* form) const {
    if (line.words.size() < least || line.words.size() > most) Fail(std::string("expected \"") + form + "\"");
  }

  float Pixels(const std::string& word, float low, float high) const {
    float value = 0.0f;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || !(value >= low && value <= high))
      Fail("\"" + word + "\" is not a number from " + Number(low) + " to " + Number(high));
    return value;
  }

  SLayout& Current() {
    if (m_layouts.empty()) Fail("a picture before the first \"layout\"");
    return m_layouts.back();
  }

  void StartLayout(const std::string& name, const std::string& folder) {
    if (!m_layoutNames.insert(name).second) Fail("a second layout \"" + name + "\"");
    if (folder.back() != '\\') Fail("the folder \"" + folder + "\" does not end in \"\\\"");
    m_layouts.push_back({name, folder, {}, ""});
  }

  // `recipe` (its description, values and size) is what a copy of the picture must share.
  void AddSprite(SSprite sprite, const std::string& recipe = "") {
    SLayout& layout = Current();
    for (const SSprite& other : layout.sprites)
      if (other.name == sprite.name) Fail("a second picture \"" + sprite.name + "\" in \"" + layout.name + "\"");
    const auto [drawn, first] = m_recipes.emplace(layout.name + "\n" + sprite.texture, std::make_pair(recipe, sprite.name));
    if (!first && drawn->second.first != recipe)
      Fail("\"" + sprite.name + "\" is drawn otherwise than \"" + drawn->second.second + "\"");
    if (sprite.picture && first && !m_textureNames.insert(sprite.texture).second)
      Fail("a second picture named \"" + sprite.texture + "\"");
    layout.sprites.push_back(std::move(sprite));
  }

  // The picture's description must exist and, when a size is given, draw that many pixels:
  // the game shows every picture at the size it was drawn. An animation's picture holds its
  // frames side by side: the number of frames is returned.
  int CheckPicture(const std::string& art, float width, float height, bool animation = false) const {
    if (m_pictures.empty()) Fail("a picture before \"pictures FOLDER\"");
    const std::string path = m_pictures + "/" + art;
    std::vector<description::SLine> lines;
    std::ifstream in(path);
    if (!in) Fail("no picture description " + path);
    description::ReadLines(in, &lines);
    if (lines.empty() || lines[0].words.size() != 3 || lines[0].words[0] != "canvas")
      Fail(path + " does not start with \"canvas W H\"");
    const float drawnWidth = lines[0].Number(1);
    const float frames = animation && width > 0 ? drawnWidth / width : 1.0f;
    if (animation && (frames < 1.0f || frames != float(int(frames))))
      Fail(path + " draws " + lines[0].words[1] + " pixels across, not frames of " + Number(width));
    if (width > 0 && (drawnWidth != width * frames || lines[0].Number(2) != height))
      Fail(path + " draws " + lines[0].words[1] + " x " + lines[0].words[2] + " pixels, not " + Number(width) + " x " +
           Number(height));
    return int(frames);
  }

  // The picture filling the screen, FOLDER/`file`.dctz (the layout's name but for a backdrop).
  void AddBackground(const std::string& art, const std::string& file = "") {
    const std::string layout = Current().name;
    CheckPicture(art, 0, 0);
    AddSprite({"Background", layout + "_Background", (file.empty() ? layout : file) + ".dctz", kScreenWidth / 2.0f,
               kScreenHeight / 2.0f, kScreenWidth, kScreenHeight, true, false});
  }

  void Statement(const description::SLine& line) {
    const std::string& word = line.words[0];
    if (word == "pictures") {
      Expect(line, 2, 2, "pictures FOLDER");
      m_pictures = m_descriptionFolder + "/" + line.words[1];
    } else if (word == "layout") {
      Expect(line, 3, 3, "layout NAME FOLDER");
      StartLayout(line.words[1], line.words[2]);
    } else if (word == "background") {
      Expect(line, 2, 2, "background ART");
      AddBackground(line.words[1]);
    } else if (word == "backdrop") {
      Expect(line, 3, 64, "backdrop NAME ART [KEY=VALUE]...");
      CheckValues(line, 3);
      AddBackground(line.words[2], line.words[1]);
    } else if (word == "sprite") {
      Sprite(line, false);
    } else if (word == "anim") {
      Sprite(line, true);
    } else if (word == "textures") {
      Expect(line, 2, 2, "textures PREFIX");
      Current().texturePrefix = line.words[1];
    } else if (word == "spot") {
      Spot(line);
    } else if (word == "surface") {
      Surface(line);
    } else if (word == "blank") {
      Expect(line, 4, 64, "blank NAME FOLDER ART [KEY=VALUE]...");
      CheckValues(line, 4);
      StartLayout(line.words[1], line.words[2]);
      AddBackground(line.words[3]);
    } else {
      Fail("unknown statement \"" + word + "\"");
    }
  }

  // The words from `first` on are the values handed to the picture's description.
  void CheckValues(const description::SLine& line, size_t first) const {
    for (size_t i = first; i < line.words.size(); ++i)
      if (line.words[i].find('=') == std::string::npos || line.words[i][0] == '=')
        Fail("\"" + line.words[i] + "\" is not KEY=VALUE");
  }

  // Words 2 to 5: centre and size in pixels.
  void Place(const description::SLine& line, SSprite& sprite) const {
    sprite.x = Pixels(line.words[2], -kScreenWidth, 2.0f * kScreenWidth);
    sprite.y = Pixels(line.words[3], -kScreenHeight, 2.0f * kScreenHeight);
    sprite.width = Pixels(line.words[4], 1.0f, 4096.0f);
    sprite.height = Pixels(line.words[5], 1.0f, 4096.0f);
  }

  void Sprite(const description::SLine& line, bool animation) {
    const char* form =
        animation ? "anim NAME X Y W H [hidden] ART [KEY=VALUE]..." : "sprite NAME X Y W H [hidden] ART [KEY=VALUE]...";
    Expect(line, 7, 64, form);
    Current();  // a picture belongs to a layout: said before anything about the picture
    const bool hidden = line.words[6] == "hidden";
    const size_t art = hidden ? 7 : 6;
    if (art >= line.words.size() || Extension(line.words[art]) != "art") Fail(std::string("expected \"") + form + "\"");
    CheckValues(line, art + 1);
    const std::string& name = line.words[1];
    const std::string picture = name.substr(0, name.find('@'));
    if (picture.empty() || (picture != name && animation)) Fail("\"" + name + "\" names no picture to show again");
    SSprite sprite{name, Current().texturePrefix + picture, picture + ".mpt", 0, 0, 0, 0, !hidden, true};
    Place(line, sprite);
    const int frames = CheckPicture(line.words[art], sprite.width, sprite.height, animation);
    if (animation) sprite.frames = frames;
    std::string recipe = Number(sprite.width) + "x" + Number(sprite.height);
    for (size_t i = art; i < line.words.size(); ++i) recipe += " " + line.words[i];
    AddSprite(std::move(sprite), recipe);
  }

  void Spot(const description::SLine& line) {
    Expect(line, 6, 6, "spot NAME X Y W H");
    SSprite spot{line.words[1], "", "", 0, 0, 0, 0, true, false, false};
    Place(line, spot);
    AddSprite(std::move(spot));
  }

  // Read here for its form only: the layouts hold nothing of it.
  void Surface(const description::SLine& line) {
    Expect(line, 5, 5, "surface X0 X1 Y DEPTH|hang");
    Current();
    const float left = Pixels(line.words[1], -kScreenWidth, 2.0f * kScreenWidth);
    if (Pixels(line.words[2], -kScreenWidth, 2.0f * kScreenWidth) <= left) Fail("a surface's X1 must lie right of X0");
    Pixels(line.words[3], -kScreenHeight, 2.0f * kScreenHeight);
    if (line.words[4] != "hang") Pixels(line.words[4], 0.0f, kScreenHeight);
  }

  std::string m_descriptionFolder;
  std::string m_pictures;
  int m_line = 0;
  std::vector<SLayout> m_layouts;
  std::set<std::string> m_layoutNames;
  std::set<std::string> m_textureNames;
  std::map<std::string, std::pair<std::string, std::string>> m_recipes;  // layout and texture: recipe, first name
};

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (argc != 3) {
    std::fputs(kHelp, stderr);
    return kExitUsage;
  }
  std::vector<description::SLine> lines;
  if (!description::Read("layout", argv[1], &lines)) return kExitFailed;
  std::vector<SLayout> layouts;
  try {
    layouts = CDescriptionReader(Folder(argv[1])).Read(lines);
  } catch (const SDescriptionError& error) {
    std::fprintf(stderr, "layout: %s:%d: %s\n", argv[1], error.line, error.text.c_str());
    return kExitFailed;
  }
  for (const SLayout& layout : layouts) {
    const std::string text = LayoutText(layout);
    if (!description::WriteFile("layout", std::string(argv[2]) + "/" + layout.name + ".2dl",
                                std::vector<uint8_t>(text.begin(), text.end())))
      return kExitFailed;
  }
  std::printf("layout: %zu layouts written to %s\n", layouts.size(), argv[2]);
  return 0;
}
