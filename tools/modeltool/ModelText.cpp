#include "tools/modeltool/ModelText.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace {

constexpr float kPi = 3.14159265358979f;

// One line split into words, with the means to read them as numbers.
class CStatement {
 public:
  CStatement(const std::string& line, const std::string& where) : m_where(where) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string word;
    while (words >> word) m_words.push_back(word);
  }

  bool Empty() const { return m_words.empty(); }
  const std::string& Keyword() const { return m_words[0]; }
  size_t ArgumentCount() const { return m_words.size() - 1; }
  const std::string& Word(size_t index) const { return m_words[index]; }

  bool Expect(size_t low, size_t high, std::string& error) const {
    if (ArgumentCount() >= low && ArgumentCount() <= high) return true;
    error = m_where + ": \"" + Keyword() + "\" takes " + std::to_string(low) +
            (high != low ? " to " + std::to_string(high) : "") + " values, " +
            std::to_string(ArgumentCount()) + " given";
    return false;
  }

  bool Unsigned(size_t index, uint32_t maximum, uint32_t& value, std::string& error) const {
    const std::string& word = m_words[index];
    char* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::strtoull(word.c_str(), &end, 0);
    if (word.empty() || *end || errno || word[0] == '-' || parsed > maximum) {
      error = m_where + ": \"" + word + "\" is not a whole number from 0 to " + std::to_string(maximum);
      return false;
    }
    value = uint32_t(parsed);
    return true;
  }

  bool Float(size_t index, float& value, std::string& error) const {
    const std::string& word = m_words[index];
    char* end = nullptr;
    value = std::strtof(word.c_str(), &end);
    if (word.empty() || *end || !std::isfinite(value)) {
      error = m_where + ": \"" + word + "\" is not a number";
      return false;
    }
    return true;
  }

  bool Floats(size_t first, float* values, size_t count, std::string& error) const {
    for (size_t i = 0; i < count; ++i)
      if (!Float(first + i, values[i], error)) return false;
    return true;
  }

  std::string Where() const { return m_where; }

 private:
  std::string m_where;
  std::vector<std::string> m_words;
};

template <class THandler>
bool ForEachStatement(const std::string& text, const std::string& sourceName, THandler handle) {
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    CStatement statement(line, sourceName + ":" + std::to_string(number));
    if (!statement.Empty() && !handle(statement)) return false;
  }
  return true;
}

bool ReadKey(const CStatement& s, int valueCount, std::vector<SBanKey>& keys, std::string& error) {
  uint32_t frame = 0;
  SBanKey key;
  if (!s.Expect(1 + valueCount, 1 + valueCount, error) || !s.Unsigned(1, 0xFFFF, frame, error) ||
      !s.Floats(2, key.values, valueCount, error))
    return false;
  key.frame = uint16_t(frame);
  keys.push_back(key);
  return true;
}

bool ReadAxisAngleKey(const CStatement& s, std::vector<SBanKey>& keys, std::string& error) {
  uint32_t frame = 0;
  float axis[4];
  if (!s.Expect(5, 5, error) || !s.Unsigned(1, 0xFFFF, frame, error) || !s.Floats(2, axis, 4, error))
    return false;
  const float length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
  if (length <= 0.0f) {
    error = s.Where() + ": the rotation axis has no length";
    return false;
  }
  const float half = axis[3] * kPi / 360.0f;
  SBanKey key;
  key.frame = uint16_t(frame);
  for (int c = 0; c < 3; ++c) key.values[c] = axis[c] / length * std::sin(half);
  key.values[3] = std::cos(half);
  keys.push_back(key);
  return true;
}

bool ReadTrackLine(const CStatement& s, SBanTrack& track, std::string& error) {
  const std::string& keyword = s.Keyword();
  if (keyword == "base_position") return s.Expect(3, 3, error) && s.Floats(1, track.basePosition, 3, error);
  if (keyword == "base_rotation") return s.Expect(4, 4, error) && s.Floats(1, track.baseRotation, 4, error);
  if (keyword == "base_scale") return s.Expect(3, 3, error) && s.Floats(1, track.baseScale, 3, error);
  if (keyword == "position") return ReadKey(s, 3, track.positionKeys, error);
  if (keyword == "rotation") return ReadKey(s, 4, track.rotationKeys, error);
  if (keyword == "rotation_axis") return ReadAxisAngleKey(s, track.rotationKeys, error);
  if (keyword == "scale") return ReadKey(s, 3, track.scaleKeys, error);
  error = s.Where() + ": unknown statement \"" + keyword + "\"";
  return false;
}

bool ReadVersion(const CStatement& s, uint16_t& version, std::string& error) {
  uint32_t value = 0;
  if (!s.Expect(1, 1, error) || !s.Unsigned(1, 0xFFFF, value, error)) return false;
  version = uint16_t(value);
  return true;
}

}  // namespace

bool ParseBanText(const std::string& text, const std::string& sourceName, SBanDescription& out,
                  std::string& error) {
  out = SBanDescription();
  return ForEachStatement(text, sourceName, [&](const CStatement& s) {
    const std::string& keyword = s.Keyword();
    uint32_t value = 0;
    if (keyword == "version") return ReadVersion(s, out.version, error);
    if (keyword == "frames" || keyword == "fps") {
      if (!s.Expect(1, 1, error) || !s.Unsigned(1, 0xFFFF, value, error)) return false;
      (keyword == "frames" ? out.frameCount : out.framesPerSecond) = uint16_t(value);
      return true;
    }
    if (keyword == "track") {
      if (!s.Expect(1, 1, error)) return false;
      out.tracks.emplace_back();
      out.tracks.back().name = s.Word(1);
      return true;
    }
    if (keyword == "event") {
      SBanEventDescription event;
      if (!s.Expect(2, 2, error) || !s.Unsigned(1, 0xFFFFFFFFu, event.frame, error) ||
          !s.Unsigned(2, 0xFFFFFFFFu, event.value, error))
        return false;
      out.events.push_back(event);
      return true;
    }
    if (out.tracks.empty()) {
      error = s.Where() + ": \"" + keyword + "\" before the first track";
      return false;
    }
    return ReadTrackLine(s, out.tracks.back(), error);
  });
}

bool ParseAtlasText(const std::string& text, const std::string& sourceName, SAtlasDescription& out,
                    std::string& error) {
  out = SAtlasDescription();
  return ForEachStatement(text, sourceName, [&](const CStatement& s) {
    const std::string& keyword = s.Keyword();
    if (keyword == "version") return ReadVersion(s, out.version, error);
    if (keyword == "value") return s.Expect(1, 1, error) && s.Float(1, out.value, error);
    if (keyword == "entry") {
      if (!s.Expect(1, 9, error)) return false;
      SAtlasEntryDescription entry;
      entry.name = s.Word(1);
      if (!s.Floats(2, entry.values, s.ArgumentCount() - 1, error)) return false;
      out.entries.push_back(entry);
      return true;
    }
    error = s.Where() + ": unknown statement \"" + keyword + "\"";
    return false;
  });
}

// ---- models, scenes and collision trees ----

namespace {

bool ReadBmoNode(const CStatement& s, SBmoDescription& out, std::string& error) {
  if (!s.Expect(4, 5, error)) return false;
  SBmoNodeDescription node;
  node.name = s.Word(1);
  if (!s.Floats(2, node.pivot, 3, error)) return false;
  if (s.ArgumentCount() == 5) {
    for (size_t i = out.nodes.size(); i-- > 0;) {
      if (out.nodes[i].name == s.Word(5)) {
        node.parent = int32_t(i);
        break;
      }
    }
    if (node.parent < 0) {
      error = s.Where() + ": no node \"" + s.Word(5) + "\" before this one";
      return false;
    }
  }
  out.nodes.push_back(node);
  return true;
}

bool ReadBmoPart(const CStatement& s, SBmoDescription& out, std::string& error) {
  if (!s.Expect(2, 257, error)) return false;
  SBmoPartDescription part;
  part.material = s.Word(1);
  const std::string& primitive = s.Word(2);
  if (primitive == "strip") part.primitive = kPrimitiveStrip;
  else if (primitive == "fan") part.primitive = kPrimitiveFan;
  else if (primitive == "list") part.primitive = kPrimitiveList;
  else {
    error = s.Where() + ": \"" + primitive + "\" is not list, strip or fan";
    return false;
  }
  for (size_t w = 3; w <= s.ArgumentCount(); ++w) {
    size_t found = out.nodes.size();
    for (size_t i = 0; i < out.nodes.size(); ++i)
      if (out.nodes[i].name == s.Word(w)) found = i;
    if (found == out.nodes.size()) {
      error = s.Where() + ": no node \"" + s.Word(w) + "\"";
      return false;
    }
    part.bones.push_back(uint32_t(found));
  }
  out.parts.push_back(part);
  return true;
}

bool ReadBmoVertex(const CStatement& s, SBmoDescription& out, std::string& error) {
  if (out.parts.empty()) {
    error = s.Where() + ": \"vertex\" before the first part";
    return false;
  }
  if (!s.Expect(8, 16, error)) return false;
  if (s.ArgumentCount() != 8 && s.ArgumentCount() != 12 && s.ArgumentCount() != 16) {
    error = s.Where() + ": a vertex takes 8, 12 or 16 values";
    return false;
  }
  SBmoVertexDescription v;
  if (!s.Floats(1, v.position, 3, error) || !s.Floats(4, v.normal, 3, error) || !s.Float(7, v.u, error) ||
      !s.Float(8, v.v, error))
    return false;
  if (s.ArgumentCount() >= 12 && !s.Floats(9, v.weights, 4, error)) return false;
  if (s.ArgumentCount() == 16 && !s.Floats(13, v.colour, 4, error)) return false;
  out.parts.back().vertices.push_back(v);
  return true;
}

bool ReadBscVertex(const CStatement& s, SBscDescription& out, std::string& error) {
  if (out.patches.empty() || out.patches.back().empty()) {
    error = s.Where() + ": \"vertex\" before the first batch";
    return false;
  }
  const size_t n = s.ArgumentCount();
  if (n != 5 && n != 8 && n != 12) {
    error = s.Where() + ": a vertex takes 5, 8 or 12 values";
    return false;
  }
  SBscVertexDescription v;
  if (!s.Floats(1, v.position, 3, error) || !s.Float(4, v.u, error) || !s.Float(5, v.v, error)) return false;
  if (n >= 8 && !s.Floats(6, v.normal, 3, error)) return false;
  if (n == 12 && !s.Floats(9, v.colour, 4, error)) return false;
  out.patches.back().back().vertices.push_back(v);
  return true;
}

bool ReadBscGrid(const CStatement& s, SBscDescription& out, std::string& error) {
  uint32_t layers = 0, rows = 0, columns = 0;
  if (!s.Expect(7, 7, error) || !s.Unsigned(1, 0xFF, layers, error) || !s.Unsigned(2, 0xFFFF, rows, error) ||
      !s.Unsigned(3, 0xFFFF, columns, error) || !s.Floats(4, out.gridParameters, 4, error))
    return false;
  out.gridLayers = uint8_t(layers);
  out.gridRows = uint16_t(rows);
  out.gridColumns = uint16_t(columns);
  return true;
}

bool ReadFloatsInto(const CStatement& s, size_t first, float* values, size_t most, std::string& error) {
  const size_t given = s.ArgumentCount() + 1 - first;
  if (given > most) {
    error = s.Where() + ": \"" + s.Keyword() + "\" takes at most " + std::to_string(most) + " numbers";
    return false;
  }
  return s.Floats(first, values, given, error);
}

}  // namespace

bool ParseBmoText(const std::string& text, const std::string& sourceName, SBmoDescription& out,
                  std::string& error) {
  out = SBmoDescription();
  return ForEachStatement(text, sourceName, [&](const CStatement& s) {
    const std::string& keyword = s.Keyword();
    if (keyword == "version") return ReadVersion(s, out.version, error);
    if (keyword == "comment") {
      out.comment.clear();
      for (size_t w = 1; w <= s.ArgumentCount(); ++w) out.comment += (w > 1 ? " " : "") + s.Word(w);
      return true;
    }
    if (keyword == "node") return ReadBmoNode(s, out, error);
    if (keyword == "point") {
      if (out.nodes.empty()) {
        error = s.Where() + ": \"point\" before the first node";
        return false;
      }
      std::array<float, 4> point{};
      if (!s.Expect(4, 4, error) || !s.Floats(1, point.data(), 4, error)) return false;
      out.nodes.back().points.push_back(point);
      return true;
    }
    if (keyword == "part") return ReadBmoPart(s, out, error);
    if (keyword == "vertex") return ReadBmoVertex(s, out, error);
    error = s.Where() + ": unknown statement \"" + keyword + "\"";
    return false;
  });
}

bool ParseBscText(const std::string& text, const std::string& sourceName, SBscDescription& out,
                  std::string& error) {
  out = SBscDescription();
  return ForEachStatement(text, sourceName, [&](const CStatement& s) {
    const std::string& keyword = s.Keyword();
    if (keyword == "version") return ReadVersion(s, out.version, error);
    if (keyword == "flags") return s.Expect(1, 1, error) && s.Unsigned(1, 0xFFFFFFFFu, out.flags, error);
    if (keyword == "offset") return s.Expect(3, 3, error) && s.Floats(1, out.offset, 3, error);
    if (keyword == "scale") return s.Expect(3, 3, error) && s.Floats(1, out.scale, 3, error);
    if (keyword == "patch") {
      out.patches.emplace_back();
      return s.Expect(0, 0, error);
    }
    if (keyword == "batch") {
      if (out.patches.empty()) {
        error = s.Where() + ": \"batch\" before the first patch";
        return false;
      }
      if (!s.Expect(1, 1, error)) return false;
      out.patches.back().push_back(SBscBatchDescription{s.Word(1), {}});
      return true;
    }
    if (keyword == "vertex") return ReadBscVertex(s, out, error);
    if (keyword == "grid") return ReadBscGrid(s, out, error);
    if (keyword == "values") {
      for (size_t w = 1; w <= s.ArgumentCount(); ++w) {
        float value = 0.0f;
        if (!s.Float(w, value, error)) return false;
        out.gridValues.push_back(value);
      }
      return true;
    }
    error = s.Where() + ": unknown statement \"" + keyword + "\"";
    return false;
  });
}

bool ParseBctText(const std::string& text, const std::string& sourceName, SBctDescription& out,
                  std::string& error) {
  out = SBctDescription();
  return ForEachStatement(text, sourceName, [&](const CStatement& s) {
    const std::string& keyword = s.Keyword();
    if (keyword == "version") return ReadVersion(s, out.version, error);
    if (keyword == "block1" || keyword == "block2") {
      if (!s.Expect(1, 1, error)) return false;
      (keyword == "block1" ? out.block1 : out.block2).assign(s.Word(1).begin(), s.Word(1).end());
      return true;
    }
    if (keyword == "record_a") {
      std::array<float, 6> record{};
      if (!ReadFloatsInto(s, 1, record.data(), record.size(), error)) return false;
      out.recordsA.push_back(record);
      return true;
    }
    if (keyword == "word") {
      uint32_t word = 0;
      if (!s.Expect(1, 1, error) || !s.Unsigned(1, 0xFFFFFFFFu, word, error)) return false;
      out.wordsB.push_back(word);
      return true;
    }
    if (keyword == "record_c") {
      uint32_t flag = 0;
      std::array<float, 16> record{};
      if (!s.Expect(1, 17, error) || !s.Unsigned(1, 0xFF, flag, error) ||
          !ReadFloatsInto(s, 2, record.data(), record.size(), error))
        return false;
      out.recordsC.push_back(record);
      out.flags.push_back(uint8_t(flag));
      return true;
    }
    error = s.Where() + ": unknown statement \"" + keyword + "\"";
    return false;
  });
}
