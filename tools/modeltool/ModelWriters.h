#pragma once
// Writers of the engine's animation ("BAN ") and texture atlas ("ATLS") files, from
// descriptions that the text front end (ModelText.h) or a test fills in.

#include <cstdint>
#include <string>
#include <vector>

#include "Quor/AnimationFormat.h"
#include "Quor/AtlasFormat.h"

struct SBanKey {
  uint16_t frame = 0;
  float values[kBanRotationFloats] = {0.0f, 0.0f, 0.0f, 0.0f};  // x, y, z (and w for rotations)
};

struct SBanTrack {
  std::string name;
  float basePosition[3] = {0.0f, 0.0f, 0.0f};
  float baseRotation[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  float baseScale[3] = {1.0f, 1.0f, 1.0f};
  std::vector<SBanKey> positionKeys;
  std::vector<SBanKey> rotationKeys;
  std::vector<SBanKey> scaleKeys;
};

struct SBanEventDescription {
  uint32_t frame = 0;
  uint32_t value = 0;
};

struct SBanDescription {
  uint16_t version = kBanNewestVersion;  // before kBanVersionBase no base pose; before kBanVersionEvents no events
  uint16_t frameCount = 0;
  uint16_t framesPerSecond = 30;
  std::vector<SBanTrack> tracks;
  std::vector<SBanEventDescription> events;
};

struct SAtlasEntryDescription {
  std::string name;
  float values[kAtlasEntryWords] = {};  // the entry's data
};

struct SAtlasDescription {
  uint16_t version = kAtlasVersion;
  float value = 0.0f;
  std::vector<SAtlasEntryDescription> entries;
};

// False with the reason in `error` when the description cannot be stored (a count beyond
// its 16-bit field, a name longer than the reader keeps).
bool WriteBan(const SBanDescription& description, std::vector<uint8_t>& out, std::string& error);
bool WriteAtlas(const SAtlasDescription& description, std::vector<uint8_t>& out, std::string& error);

// A version as the writers' messages give it ("0x102").
std::string VersionText(uint16_t version);
