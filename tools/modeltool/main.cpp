// modeltool: writes the engine's animation and texture atlas files from text descriptions
// (the statements are listed in ModelText.h) and prints files back through the engine's
// own readers.
//
//   modeltool ban IN.txt OUT.ban
//   modeltool atlas IN.txt OUT.atlas
//   modeltool dump FILE.{ban,atlas}
//
// Exit status: 0 done, 1 a file could not be read, described or written, 2 usage.

#include "Quor/CAnimator_Keyframed.h"
#include "Quor/TextureAtlas.h"
#include "tools/modeltool/ModelText.h"
#include "tools/modeltool/ModelWriters.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: modeltool ban IN.txt OUT.ban\n"
               "       modeltool atlas IN.txt OUT.atlas\n"
               "       modeltool dump FILE.{ban,atlas}\n");
  return kExitUsage;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "modeltool: %s\n", message.c_str());
  return kExitFailed;
}

template <class TDescription, class TParse, class TWrite>
int Convert(const std::string& in, const std::string& out, TParse parse, TWrite write) {
  std::vector<uint8_t> text;
  if (!ReadFileBytes(in, text)) return Fail("cannot read " + in);
  TDescription description;
  std::string error;
  if (!parse(std::string(text.begin(), text.end()), in, description, error)) return Fail(error);
  std::vector<uint8_t> bytes;
  if (!write(description, bytes, error)) return Fail(in + ": " + error);
  if (!WriteFileBytes(out, bytes)) return Fail("cannot write " + out);
  return 0;
}

void PrintKeys(const char* kind, const std::vector<SAnimationKey<3>>& keys) {
  for (const auto& key : keys)
    std::printf("    %s %d %g %g %g\n", kind, key.frame, key.values[0], key.values[1], key.values[2]);
}

int DumpAnimation(const std::vector<uint8_t>& bytes, const std::string& path) {
  CKeyframedAnimation animation;
  if (!ParseKeyframedAnimation(bytes.data(), bytes.size(), path.c_str(), animation))
    return Fail(path + " is damaged");
  std::printf("animation %s: version 0x%X, %u frames at %g fps, %zu tracks, %zu events\n", path.c_str(),
              animation.version, animation.frameCount, animation.framesPerSecond, animation.tracks.size(),
              animation.events.size());
  for (const SKeyframedTrack& track : animation.tracks) {
    std::printf("  track %s\n", track.name.c_str());
    PrintKeys("position", track.positionKeys.keys);
    for (const auto& key : track.rotationKeys.keys)
      std::printf("    rotation %d %g %g %g %g\n", key.frame, key.values[0], key.values[1], key.values[2],
                  key.values[3]);
    PrintKeys("scale", track.scaleKeys.keys);
  }
  for (const SAnimationEvent& event : animation.events)
    std::printf("  event %u %u\n", event.frame, event.value);
  return 0;
}

int DumpAtlas(const std::vector<uint8_t>& bytes, const std::string& path) {
  STextureAtlas atlas;
  if (!ParseTextureAtlas(bytes.data(), bytes.size(), path.c_str(), &atlas)) return Fail(path + " is damaged");
  std::printf("atlas %s: version 0x%X, value %g, %u entries\n", path.c_str(), atlas.version, atlas.value,
              atlas.entryCount);
  for (const STextureAtlasEntry& entry : atlas.entries) {
    std::printf("  entry %s", entry.name);
    for (int i = 0; i < 8; ++i) std::printf(" %g", entry.GetFloat(i));
    std::printf("\n");
  }
  return 0;
}

int Dump(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) return Fail("cannot read " + path);
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "BAN ", 4) == 0) return DumpAnimation(bytes, path);
  if (bytes.size() >= 4 && std::memcmp(bytes.data(), "ATLS", 4) == 0) return DumpAtlas(bytes, path);
  return Fail(path + " is neither an animation nor a texture atlas file");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) return Usage();
  const std::string command = argv[1];
  if (command == "ban" && argc == 4)
    return Convert<SBanDescription>(argv[2], argv[3], ParseBanText, WriteBan);
  if (command == "atlas" && argc == 4)
    return Convert<SAtlasDescription>(argv[2], argv[3], ParseAtlasText, WriteAtlas);
  if (command == "dump" && argc == 3) return Dump(argv[2]);
  return Usage();
}
