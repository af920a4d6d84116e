#pragma once
// Writers of the engine's animation ("BAN ") and texture atlas ("ATLS") files, from
// descriptions that the text front end (ModelText.h) or a test fills in.

#include <cstdint>
#include <string>
#include <vector>

struct SBanKey {
  uint16_t frame = 0;
  float values[4] = {0.0f, 0.0f, 0.0f, 0.0f};  // x, y, z (and w for rotations)
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
  uint16_t version = 0x102;  // 0x100: no base pose; 0x101: no events
  uint16_t frameCount = 0;
  uint16_t framesPerSecond = 30;
  std::vector<SBanTrack> tracks;
  std::vector<SBanEventDescription> events;
};

struct SAtlasEntryDescription {
  std::string name;
  float values[8] = {};  // the entry's 32 bytes of data
};

struct SAtlasDescription {
  uint16_t version = 0x100;
  float value = 0.0f;
  std::vector<SAtlasEntryDescription> entries;
};

// False with the reason in `error` when the description cannot be stored (a count beyond
// its 16-bit field, a name longer than the reader keeps).
bool WriteBan(const SBanDescription& description, std::vector<uint8_t>& out, std::string& error);
bool WriteAtlas(const SAtlasDescription& description, std::vector<uint8_t>& out, std::string& error);

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes);
