#include "tools/modeltool/ModelWriters.h"

#include "Quor/CByteReader.h"

#include <utility>

namespace {

constexpr size_t kMaxCount = 0xFFFF;
constexpr size_t kMaxTrackName = 255;

bool CountFits(size_t count, const std::string& what, std::string& error) {
  if (count <= kMaxCount) return true;
  error = what + ": " + std::to_string(count) + " is more than the file can hold (65535)";
  return false;
}

bool WriteKeys(CByteWriter& writer, const std::vector<SBanKey>& keys, int valueCount,
               const std::string& what, std::string& error) {
  if (!CountFits(keys.size(), what, error)) return false;
  writer.WriteU16(uint16_t(keys.size()));
  for (const SBanKey& key : keys) {
    writer.WriteU16(key.frame);
    writer.WriteFloats(key.values, valueCount);
  }
  return true;
}

bool WriteTrack(CByteWriter& writer, const SBanTrack& track, uint16_t version, std::string& error) {
  if (track.name.size() > kMaxTrackName || track.name.find('\0') != std::string::npos) {
    error = "track name \"" + track.name + "\" is longer than 255 characters or holds a zero byte";
    return false;
  }
  writer.WriteString(track.name.c_str());
  const bool hasBase = version >= 0x101;
  if (hasBase) writer.WriteFloats(track.basePosition, 3);
  if (!WriteKeys(writer, track.positionKeys, 3, "position keys of " + track.name, error)) return false;
  if (hasBase) writer.WriteFloats(track.baseRotation, 4);
  if (!WriteKeys(writer, track.rotationKeys, 4, "rotation keys of " + track.name, error)) return false;
  if (hasBase) writer.WriteFloats(track.baseScale, 3);
  return WriteKeys(writer, track.scaleKeys, 3, "scale keys of " + track.name, error);
}

}  // namespace

bool WriteBan(const SBanDescription& description, std::vector<uint8_t>& out, std::string& error) {
  out.clear();
  CByteWriter writer;
  if (!CountFits(description.tracks.size(), "tracks", error)) return false;
  writer.WriteBytes("BAN ", 4);
  writer.WriteU16(description.version);
  writer.WriteU16(description.frameCount);
  writer.WriteU16(description.framesPerSecond);
  writer.WriteU16(uint16_t(description.tracks.size()));
  for (const SBanTrack& track : description.tracks)
    if (!WriteTrack(writer, track, description.version, error)) return false;
  if (description.version >= 0x102) {
    if (!CountFits(description.events.size(), "events", error)) return false;
    writer.WriteU16(uint16_t(description.events.size()));
    for (const SBanEventDescription& event : description.events) {
      writer.WriteU32(event.frame);
      writer.WriteU32(event.value);
    }
  } else if (!description.events.empty()) {
    error = "events need version 0x102 or later";
    return false;
  }
  out = std::move(writer.GetBytes());
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
  CByteWriter writer;
  writer.WriteBytes("ATLS", 4);
  writer.WriteU16(description.version);
  writer.WriteU16(uint16_t(description.entries.size()));
  writer.WriteF32(description.value);
  writer.WriteU32(uint32_t(names.size()));
  writer.WriteBytes(names.data(), names.size());
  for (size_t i = 0; i < description.entries.size(); ++i) {
    writer.WriteU32(offsets[i]);
    writer.WriteFloats(description.entries[i].values, 8);
  }
  out = std::move(writer.GetBytes());
  return true;
}
