#include "tools/modeltool/ModelWriters.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr size_t kMaxCount = 0xFFFF;
constexpr size_t kMaxTrackName = 255;

class CByteWriter {
 public:
  explicit CByteWriter(std::vector<uint8_t>& out) : m_out(out) {}
  void Bytes(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    m_out.insert(m_out.end(), p, p + size);
  }
  void U16(uint32_t value) {
    m_out.push_back(uint8_t(value));
    m_out.push_back(uint8_t(value >> 8));
  }
  void U32(uint32_t value) {
    U16(value & 0xFFFF);
    U16(value >> 16);
  }
  void F32(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    U32(bits);
  }
  void Floats(const float* values, int count) {
    for (int i = 0; i < count; ++i) F32(values[i]);
  }

 private:
  std::vector<uint8_t>& m_out;
};

bool CountFits(size_t count, const std::string& what, std::string& error) {
  if (count <= kMaxCount) return true;
  error = what + ": " + std::to_string(count) + " is more than the file can hold (65535)";
  return false;
}

bool WriteKeys(CByteWriter& writer, const std::vector<SBanKey>& keys, int valueCount,
               const std::string& what, std::string& error) {
  if (!CountFits(keys.size(), what, error)) return false;
  writer.U16(uint32_t(keys.size()));
  for (const SBanKey& key : keys) {
    writer.U16(key.frame);
    writer.Floats(key.values, valueCount);
  }
  return true;
}

bool WriteTrack(CByteWriter& writer, const SBanTrack& track, uint16_t version, std::string& error) {
  if (track.name.size() > kMaxTrackName || track.name.find('\0') != std::string::npos) {
    error = "track name \"" + track.name + "\" is longer than 255 characters or holds a zero byte";
    return false;
  }
  writer.Bytes(track.name.c_str(), track.name.size() + 1);
  const bool hasBase = version >= 0x101;
  if (hasBase) writer.Floats(track.basePosition, 3);
  if (!WriteKeys(writer, track.positionKeys, 3, "position keys of " + track.name, error)) return false;
  if (hasBase) writer.Floats(track.baseRotation, 4);
  if (!WriteKeys(writer, track.rotationKeys, 4, "rotation keys of " + track.name, error)) return false;
  if (hasBase) writer.Floats(track.baseScale, 3);
  return WriteKeys(writer, track.scaleKeys, 3, "scale keys of " + track.name, error);
}

}  // namespace

bool WriteBan(const SBanDescription& description, std::vector<uint8_t>& out, std::string& error) {
  out.clear();
  CByteWriter writer(out);
  if (!CountFits(description.tracks.size(), "tracks", error)) return false;
  writer.Bytes("BAN ", 4);
  writer.U16(description.version);
  writer.U16(description.frameCount);
  writer.U16(description.framesPerSecond);
  writer.U16(uint32_t(description.tracks.size()));
  for (const SBanTrack& track : description.tracks)
    if (!WriteTrack(writer, track, description.version, error)) return false;
  if (description.version >= 0x102) {
    if (!CountFits(description.events.size(), "events", error)) return false;
    writer.U16(uint32_t(description.events.size()));
    for (const SBanEventDescription& event : description.events) {
      writer.U32(event.frame);
      writer.U32(event.value);
    }
  } else if (!description.events.empty()) {
    error = "events need version 0x102 or later";
    return false;
  }
  return true;
}

bool WriteAtlas(const SAtlasDescription& description, std::vector<uint8_t>& out, std::string& error) {
  out.clear();
  if (!CountFits(description.entries.size(), "entries", error)) return false;
  std::vector<uint8_t> names;
  std::vector<uint32_t> offsets;
  for (const SAtlasEntryDescription& entry : description.entries) {
    if (entry.name.find('\0') != std::string::npos) {
      error = "an entry name holds a zero byte";
      return false;
    }
    offsets.push_back(uint32_t(names.size()));
    names.insert(names.end(), entry.name.begin(), entry.name.end());
    names.push_back(0);
  }
  CByteWriter writer(out);
  writer.Bytes("ATLS", 4);
  writer.U16(description.version);
  writer.U16(uint32_t(description.entries.size()));
  writer.F32(description.value);
  writer.U32(uint32_t(names.size()));
  writer.Bytes(names.data(), names.size());
  for (size_t i = 0; i < description.entries.size(); ++i) {
    writer.U32(offsets[i]);
    writer.Floats(description.entries[i].values, 8);
  }
  return true;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return bool(file);
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  return !file.bad();
}
