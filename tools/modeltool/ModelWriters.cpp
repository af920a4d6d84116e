#include "tools/modeltool/ModelWriters.h"

#include "Quor/CByteReader.h"

#include <cstdio>
#include <utility>

namespace {

constexpr size_t kMaxTrackName = kBanTrackNameCapacity - 1;

bool CountFits(size_t count, const std::string& what, std::string& error) {
  if (count <= kBanMaxCount) return true;
  error = what + ": " + std::to_string(count) + " is more than the file can hold (" +
          std::to_string(kBanMaxCount) + ")";
  return false;
}

bool WriteKeys(CByteWriter& writer, const std::vector<SBanKey>& keys, size_t valueCount,
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
    error = "track name \"" + track.name + "\" is longer than " + std::to_string(kMaxTrackName) +
            " characters or holds a zero byte";
    return false;
  }
  writer.WriteString(track.name.c_str());
  const bool hasBase = version >= kBanVersionBase;
  if (hasBase) writer.WriteFloats(track.basePosition, kBanPositionFloats);
  if (!WriteKeys(writer, track.positionKeys, kBanPositionFloats, "position keys of " + track.name, error)) return false;
  if (hasBase) writer.WriteFloats(track.baseRotation, kBanRotationFloats);
  if (!WriteKeys(writer, track.rotationKeys, kBanRotationFloats, "rotation keys of " + track.name, error)) return false;
  if (hasBase) writer.WriteFloats(track.baseScale, kBanScaleFloats);
  return WriteKeys(writer, track.scaleKeys, kBanScaleFloats, "scale keys of " + track.name, error);
}

}  // namespace

std::string VersionText(uint16_t version) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%X", unsigned(version));
  return text;
}

bool WriteBan(const SBanDescription& description, std::vector<uint8_t>& out, std::string& error) {
  out.clear();
  CByteWriter writer;
  if (!CountFits(description.tracks.size(), "tracks", error)) return false;
  writer.WriteBytes(kBanTag, sizeof kBanTag);
  writer.WriteU16(description.version);
  writer.WriteU16(description.frameCount);
  writer.WriteU16(description.framesPerSecond);
  writer.WriteU16(uint16_t(description.tracks.size()));
  for (const SBanTrack& track : description.tracks)
    if (!WriteTrack(writer, track, description.version, error)) return false;
  if (description.version >= kBanVersionEvents) {
    if (!CountFits(description.events.size(), "events", error)) return false;
    writer.WriteU16(uint16_t(description.events.size()));
    for (const SBanEventDescription& event : description.events) {
      writer.WriteU32(event.frame);
      writer.WriteU32(event.value);
    }
  } else if (!description.events.empty()) {
    error = "events need version " + VersionText(kBanVersionEvents) + " or later";
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
  writer.WriteBytes(kAtlasTag, sizeof kAtlasTag);
  writer.WriteU16(description.version);
  writer.WriteU16(uint16_t(description.entries.size()));
  writer.WriteF32(description.value);
  writer.WriteU32(uint32_t(names.size()));
  writer.WriteBytes(names.data(), names.size());
  for (size_t i = 0; i < description.entries.size(); ++i) {
    writer.WriteU32(offsets[i]);
    writer.WriteFloats(description.entries[i].values, kAtlasEntryWords);
  }
  out = std::move(writer.GetBytes());
  return true;
}
