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
