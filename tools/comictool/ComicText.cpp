#include "tools/comictool/ComicText.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <sstream>

#include "Quor/CByteReader.h"
#include "Quor/ComicFormat.h"

namespace comictool {

namespace {

constexpr uint32_t kQuadTriangles = 2;
constexpr uint32_t kQuadVertices = 3 * kQuadTriangles;

bool ToNumber(const std::string& word, float* value) {
  char* end = nullptr;
  *value = std::strtof(word.c_str(), &end);
  return !word.empty() && *end == '\0' && std::isfinite(*value);
}

// The words of one statement after its name as numbers; false when one is not a number.
bool Numbers(const std::vector<std::string>& words, size_t first, std::vector<float>* values) {
  for (size_t i = first; i < words.size(); ++i) {
    float value = 0;
    if (!ToNumber(words[i], &value)) return false;
    values->push_back(value);
  }
  return true;
}

class CParser {
 public:
  CParser(SComicDescription* comic, std::string* error) : m_comic(comic), m_error(error) {}

  bool Line(int number, const std::vector<std::string>& words) {
    m_line = number;
    const std::string& name = words[0];
    if (name == "texture") return Texture(words);
    if (name == "page") return Page(words);
    if (name == "panel") return Panel(words);
    if (name == "key") return Key(words);
    return Fail("unknown statement \"" + name + "\"");
  }

  bool Finish() {
    for (const SPage& page : m_comic->pages)
      for (const SPanel& panel : page.panels)
        if (panel.keys.empty()) return Fail("a panel has no key");
    return true;
  }

 private:
  bool Fail(const std::string& reason) {
    *m_error = "line " + std::to_string(m_line) + ": " + reason;
    return false;
  }

  bool Texture(const std::vector<std::string>& words) {
    if (words.size() != 2) return Fail("texture takes one file name");
    if (words[1].size() > 255) return Fail("the texture name is longer than 255 characters");
    m_comic->textures.push_back(words[1]);
    return true;
  }

  bool Page(const std::vector<std::string>& words) {
    std::vector<float> v;
    if (words.size() != 3 || !Numbers(words, 1, &v)) return Fail("page takes a start and a duration in seconds");
    if (v[1] < 0) return Fail("a page cannot last less than nothing");
    SPage page;
    page.start = v[0];
    page.duration = v[1];
    m_comic->pages.push_back(page);
    return true;
  }

  bool Panel(const std::vector<std::string>& words) {
    if (m_comic->pages.empty()) return Fail("a panel needs a page before it");
    if (words.size() != 2 && words.size() != 6) return Fail("panel takes a texture and, optionally, U0 V0 U1 V1");
    SPanel panel;
    if (!TextureIndex(words[1], &panel.texture)) return false;
    std::vector<float> uv;
    if (!Numbers(words, 2, &uv)) return Fail("the texture rectangle must be numbers");
    if (uv.size() == 4) {
      panel.u0 = uv[0], panel.v0 = uv[1], panel.u1 = uv[2], panel.v1 = uv[3];
    }
    m_comic->pages.back().panels.push_back(panel);
    return true;
  }

  bool TextureIndex(const std::string& word, uint32_t* index) {
    const auto named = std::find(m_comic->textures.begin(), m_comic->textures.end(), word);
    if (named != m_comic->textures.end()) {
      *index = uint32_t(named - m_comic->textures.begin());
      return true;
    }
    float number = -1;
    if (!ToNumber(word, &number) || number < 0 || number != std::floor(number) ||
        number >= float(m_comic->textures.size()))
      return Fail("no texture \"" + word + "\" was declared before");
    *index = uint32_t(number);
    return true;
  }

  bool Key(const std::vector<std::string>& words) {
    if (m_comic->pages.empty() || m_comic->pages.back().panels.empty()) return Fail("a key needs a panel before it");
    std::vector<float> v;
    if ((words.size() != 6 && words.size() != 10) || !Numbers(words, 1, &v))
      return Fail("key takes a time, X0 Y0 X1 Y1 and, optionally, R G B A");
    SPanelKey key;
    key.time = v[0];
    key.x0 = v[1], key.y0 = v[2], key.x1 = v[3], key.y1 = v[4];
    for (size_t i = 5; i < v.size(); ++i) {
      if (v[i] < 0 || v[i] > 255) return Fail("colour channels run from 0 to 255");
      key.colour[i - 5] = uint8_t(std::lround(v[i]));
    }
    std::vector<SPanelKey>& keys = m_comic->pages.back().panels.back().keys;
    if (!keys.empty() && key.time <= keys.back().time) return Fail("keys must come in rising time order");
    keys.push_back(key);
    return true;
  }

  SComicDescription* m_comic;
  std::string* m_error;
  int m_line = 0;
};

// The panel's key values at a time, linear between keys and held outside them.
SPanelKey PanelAt(const SPanel& panel, float time) {
  const std::vector<SPanelKey>& keys = panel.keys;
  if (time <= keys.front().time) return keys.front();
  if (time >= keys.back().time) return keys.back();
  size_t i = 1;
  while (keys[i].time < time) ++i;
  const SPanelKey& a = keys[i - 1];
  const SPanelKey& b = keys[i];
  const float f = (time - a.time) / (b.time - a.time);
  auto mix = [f](float p, float q) { return p + (q - p) * f; };
  SPanelKey key;
  key.time = time;
  key.x0 = mix(a.x0, b.x0), key.y0 = mix(a.y0, b.y0), key.x1 = mix(a.x1, b.x1), key.y1 = mix(a.y1, b.y1);
  for (int c = 0; c < 4; ++c) key.colour[c] = uint8_t(std::lround(mix(a.colour[c], b.colour[c])));
  return key;
}

// The frame boundaries of a page: its start, its end and every key time between.
std::vector<float> FrameTimes(const SPage& page) {
  std::set<float> times{0.0f, page.duration};
  for (const SPanel& panel : page.panels)
    for (const SPanelKey& key : panel.keys)
      if (key.time > 0 && key.time < page.duration) times.insert(key.time);
  return std::vector<float>(times.begin(), times.end());
}

struct SCorner {
  float x, y, u, v;
};

class CFrameWriter {
 public:
  explicit CFrameWriter(std::string* error) : m_error(error) {}

  // One primitive of two triangles for the panel between two times of its page.
  bool Panel(const SPanel& panel, float from, float to) {
    const SPanelKey a = PanelAt(panel, from), b = PanelAt(panel, to);
    m_data.WriteU16(uint16_t(panel.texture));
    m_data.WriteU16(kQuadTriangles);
    const SCorner startCorners[4] = {{a.x0, a.y0, panel.u0, panel.v0}, {a.x1, a.y0, panel.u1, panel.v0},
                                     {a.x1, a.y1, panel.u1, panel.v1}, {a.x0, a.y1, panel.u0, panel.v1}};
    const SCorner endCorners[4] = {{b.x0, b.y0, panel.u0, panel.v0}, {b.x1, b.y0, panel.u1, panel.v0},
                                   {b.x1, b.y1, panel.u1, panel.v1}, {b.x0, b.y1, panel.u0, panel.v1}};
    static const int kTriangles[kQuadVertices] = {0, 1, 2, 2, 3, 0};
    for (int corner : kTriangles)
      if (!Vertex(startCorners[corner], endCorners[corner], a.colour, b.colour)) return false;
    return true;
  }
  void EndList() { m_data.WriteU16(kComicListEnd); }
  uint32_t Offset() { return uint32_t(m_data.GetBytes().size()); }
  std::vector<uint8_t>& Bytes() { return m_data.GetBytes(); }

 private:
  bool Signed(float value, const char* what, int16_t* out) {
    const long rounded = std::lround(value);
    if (rounded < -32768 || rounded > 32767) {
      *m_error = std::string(what) + " " + std::to_string(rounded) + " does not fit 16 bits";
      return false;
    }
    *out = int16_t(rounded);
    return true;
  }
  bool Vertex(const SCorner& start, const SCorner& end, const uint8_t* from, const uint8_t* to) {
    SComicVertex c{};
    const long uStart = std::lround(start.u * kComicUvUnits), vStart = std::lround(start.v * kComicUvUnits);
    if (uStart < 0 || uStart > 65535 || vStart < 0 || vStart > 65535) {
      *m_error = "texture coordinates run from 0 to 16";
      return false;
    }
    if (!Signed(start.x, "x", &c.x) || !Signed(start.y, "y", &c.y) ||
        !Signed(end.x - float(c.x), "an x change", &c.dx) || !Signed(end.y - float(c.y), "a y change", &c.dy) ||
        !Signed(end.u * kComicUvUnits - float(uStart), "a u change", &c.du) ||
        !Signed(end.v * kComicUvUnits - float(vStart), "a v change", &c.dv))
      return false;
    c.u = uint16_t(uStart);
    c.v = uint16_t(vStart);
    std::memcpy(c.from, from, 4);
    std::memcpy(c.to, to, 4);
    WriteComicVertex(m_data, c);
    return true;
  }

  CByteWriter m_data;
  std::string* m_error;
};

}  // namespace

bool ParseComicDescription(const std::string& text, SComicDescription* comic, std::string* error) {
  *comic = SComicDescription();
  CParser parser(comic, error);
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    if (words.empty() || words[0][0] == '#') continue;
    if (!parser.Line(number, words)) return false;
  }
  return parser.Finish();
}

bool WriteComic(const SComicDescription& comic, std::vector<uint8_t>* bytes, std::string* error) {
  struct SFrame {
    float start, duration;
    uint32_t offset;
  };
  std::vector<SFrame> frames;
  CFrameWriter data(error);
  bool anyPanel = false;
  for (const SPage& page : comic.pages) {
    const std::vector<float> times = FrameTimes(page);
    // A page of no length still shows once, at its end state.
    const size_t count = times.size() > 1 ? times.size() - 1 : 1;
    for (size_t i = 0; i < count; ++i) {
      const float from = times[i], to = times.size() > 1 ? times[i + 1] : times[i];
      frames.push_back({page.start + from, to - from, data.Offset()});
      for (const SPanel& panel : page.panels) {
        anyPanel = true;
        if (!data.Panel(panel, from, to)) return false;
      }
      data.EndList();
    }
  }
  CByteWriter file;
  file.WriteBytes(kComicTag, sizeof kComicTag);
  file.WriteU16(kComicVersion);
  file.WriteU32(uint32_t(comic.textures.size()));
  for (const std::string& name : comic.textures) file.WriteString(name.c_str());
  file.WriteU32(anyPanel ? kQuadVertices : 0);
  file.WriteU32(uint32_t(frames.size()));
  for (const SFrame& frame : frames) {
    file.WriteF32(frame.start);
    file.WriteF32(frame.duration);
    file.WriteU32(frame.offset);
  }
  file.WriteBytes(data.Bytes().data(), data.Bytes().size());
  *bytes = std::move(file.GetBytes());
  return true;
}

// ---- the keyboard's buttons ----

namespace {

constexpr uint32_t kButtonSize = 64;

struct SColour {
  uint8_t r, g, b, a;
};

// A picture painted pixel by pixel: `paint` gives the colour at a pixel centre in 0..1.
SNamedPicture Paint(const std::string& fileName, const std::function<SColour(float, float)>& paint) {
  SNamedPicture picture{fileName, kButtonSize, kButtonSize, {}};
  for (uint32_t y = 0; y < kButtonSize; ++y)
    for (uint32_t x = 0; x < kButtonSize; ++x) {
      const SColour c = paint((float(x) + 0.5f) / kButtonSize, (float(y) + 0.5f) / kButtonSize);
      picture.rgba.insert(picture.rgba.end(), {c.r, c.g, c.b, c.a});
    }
  return picture;
}

// How far inside a rounded square the point is (negative outside), in picture fractions.
float InsideRoundedSquare(float x, float y) {
  const float radius = 0.18f, half = 0.46f;
  const float qx = std::max(std::fabs(x - 0.5f) - (half - radius), 0.0f);
  const float qy = std::max(std::fabs(y - 0.5f) - (half - radius), 0.0f);
  return radius - std::sqrt(qx * qx + qy * qy);
}

// A key face: a rounded square with a lighter rim, and a mark drawn over it.
SNamedPicture Button(const std::string& fileName, SColour face, const std::function<bool(float, float)>& mark) {
  return Paint(fileName, [face, mark](float x, float y) -> SColour {
    const float inside = InsideRoundedSquare(x, y);
    if (inside < 0) return {0, 0, 0, 0};
    if (mark && mark(x, y)) return {240, 240, 240, 255};
    if (inside < 0.05f) return {uint8_t(std::min(255, face.r + 70)), uint8_t(std::min(255, face.g + 70)),
                                uint8_t(std::min(255, face.b + 70)), 255};
    return face;
  });
}

bool NearSegment(float x, float y, float x0, float y0, float x1, float y1, float width) {
  const float dx = x1 - x0, dy = y1 - y0;
  const float t = std::clamp(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
  const float px = x0 + t * dx - x, py = y0 + t * dy - y;
  return px * px + py * py <= width * width;
}

}  // namespace

std::vector<SNamedPicture> MakeKeyboardButtons() {
  const SColour grey{70, 74, 84, 255}, blue{50, 80, 140, 255}, green{40, 120, 60, 255}, red{140, 45, 45, 255};
  const float w = 0.05f;
  return {
      Button("buttonSmall.mpt", grey, nullptr),
      Button("buttonWide.mpt", blue, nullptr),
      Button("buttonSpace.mpt", grey, [w](float x, float y) { return NearSegment(x, y, 0.25f, 0.7f, 0.75f, 0.7f, w); }),
      Button("buttonBS.mpt", grey,
             [w](float x, float y) {
               return NearSegment(x, y, 0.25f, 0.5f, 0.75f, 0.5f, w) || NearSegment(x, y, 0.25f, 0.5f, 0.42f, 0.33f, w) ||
                      NearSegment(x, y, 0.25f, 0.5f, 0.42f, 0.67f, w);
             }),
      Button("buttonOK.mpt", green,
             [w](float x, float y) {
               return NearSegment(x, y, 0.25f, 0.52f, 0.42f, 0.7f, w) || NearSegment(x, y, 0.42f, 0.7f, 0.75f, 0.3f, w);
             }),
      Button("buttonCancel.mpt", red,
             [w](float x, float y) {
               return NearSegment(x, y, 0.3f, 0.3f, 0.7f, 0.7f, w) || NearSegment(x, y, 0.3f, 0.7f, 0.7f, 0.3f, w);
             }),
      // The selection frame: a bright ring, clear inside.
      Paint("Cursor.mpt",
            [](float x, float y) -> SColour {
              const float inside = InsideRoundedSquare(x, y);
              return inside >= 0 && inside < 0.07f ? SColour{255, 210, 60, 255} : SColour{0, 0, 0, 0};
            }),
  };
}

}  // namespace comictool
