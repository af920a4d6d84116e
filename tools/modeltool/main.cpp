// modeltool: writes the engine's animation, texture atlas, model, scene and collision tree
// files from text descriptions (the statements are listed in ModelText.h), generates two
// test models, and prints files back through the engine's own readers.
//
//   modeltool ban IN.txt OUT.ban
//   modeltool atlas IN.txt OUT.atlas
//   modeltool bmo IN.txt OUT.bmo
//   modeltool bsc IN.txt OUT.bsc
//   modeltool bct IN.txt OUT.bct
//   modeltool box MATERIAL SIZE OUT.bmo
//   modeltool strip MATERIAL LENGTH OUT.bmo
//   modeltool dump FILE
//
// Exit status: 0 done, 1 a file could not be read, described or written, 2 usage.

#include "Quor/CAnimator_Keyframed.h"
#include "Quor/CColTree.h"
#include "Quor/CModel.h"
#include "Quor/CScene.h"
#include "Quor/TextureAtlas.h"
#include "tools/modeltool/ModelText.h"
#include "tools/modeltool/MeshWriters.h"
#include "tools/modeltool/ModelWriters.h"
#include "tools/shared/FileBytes.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: modeltool ban IN.txt OUT.ban\n"
               "       modeltool atlas IN.txt OUT.atlas\n"
               "       modeltool bmo IN.txt OUT.bmo\n"
               "       modeltool bsc IN.txt OUT.bsc\n"
               "       modeltool bct IN.txt OUT.bct\n"
               "       modeltool box MATERIAL SIZE OUT.bmo\n"
               "       modeltool strip MATERIAL LENGTH OUT.bmo\n"
               "       modeltool dump FILE.{ban,atlas,bmo,bsc,bct}\n");
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

int DumpModel(const std::vector<uint8_t>& bytes, const std::string& path) {
  SBmoFile model;
  if (!ParseBmoFile(bytes.data(), bytes.size(), path.c_str(), model)) return Fail(path + " is damaged or of an unknown version");
  std::printf("model %s: version 0x%X, %zu nodes, %zu parts\n", path.c_str(), model.version, model.nodes.size(),
              model.parts.size());
  for (const SBmoNode& node : model.nodes)
    std::printf("  node %s pivot %g %g %g parent %d points %zu\n", node.name.c_str(), node.pivot.x, node.pivot.y,
                node.pivot.z, node.parent, node.points.size());
  for (const SBmoPart& part : model.parts) {
    std::printf("  part %s primitive %u vertices %zu bones", part.material.c_str(), part.primitive,
                part.vertices.size());
    for (uint32_t bone : part.bones) std::printf(" %u", bone);
    std::printf("\n");
  }
  std::printf("  bounds %g %g %g .. %g %g %g\n", model.boundsMin.x, model.boundsMin.y, model.boundsMin.z,
              model.boundsMax.x, model.boundsMax.y, model.boundsMax.z);
  return 0;
}

int DumpScene(const std::vector<uint8_t>& bytes, const std::string& path) {
  SBscFile scene;
  if (!ParseBscFile(bytes.data(), bytes.size(), path.c_str(), scene)) return Fail(path + " is damaged or of an unknown version");
  std::printf("scene %s: version 0x%X, %zu patches, grid %u x %u x %u\n", path.c_str(), scene.version,
              scene.patches.size(), unsigned(scene.gridLayers), scene.gridRows, scene.gridColumns);
  for (const SBscPatch& patch : scene.patches) {
    std::printf("  patch %g %g %g .. %g %g %g\n", patch.boundsMin.x, patch.boundsMin.y, patch.boundsMin.z,
                patch.boundsMax.x, patch.boundsMax.y, patch.boundsMax.z);
    for (const SBscBatch& batch : patch.batches)
      std::printf("    batch %s vertices %zu\n", batch.material.c_str(), batch.vertices.size());
  }
  return 0;
}

int DumpColTree(const std::vector<uint8_t>& bytes, const std::string& path) {
  SColTreeData tree;
  if (!ParseColTree(bytes.data(), bytes.size(), path.c_str(), tree)) return Fail(path + " is damaged");
  std::printf("collision tree %s: version 0x%X, blocks %zu and %zu bytes, %zu records A, %zu words, %zu records C\n",
              path.c_str(), tree.version, tree.block1.size(), tree.block2.size(),
              tree.recordsA.size() / kColTreeRecordASize, tree.wordsB.size(), tree.flags.size());
  return 0;
}

// The formats' tags are all four bytes.
bool Tagged(const std::vector<uint8_t>& bytes, const char (&tag)[4]) {
  return bytes.size() >= sizeof tag && std::memcmp(bytes.data(), tag, sizeof tag) == 0;
}

// A generated model: MATERIAL SIZE OUT.
int Generate(const char* material, const char* size, const std::string& out,
             SBmoDescription (*make)(const std::string&, float)) {
  char* end = nullptr;
  const float value = std::strtof(size, &end);
  if (*end || !(value > 0.0f)) return Fail(std::string("\"") + size + "\" is not a positive number");
  std::vector<uint8_t> bytes;
  std::string error;
  if (!WriteBmo(make(material, value), bytes, error)) return Fail(error);
  if (!WriteFileBytes(out, bytes)) return Fail("cannot write " + out);
  return 0;
}

int Dump(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) return Fail("cannot read " + path);
  if (Tagged(bytes, kBanTag)) return DumpAnimation(bytes, path);
  if (Tagged(bytes, kAtlasTag)) return DumpAtlas(bytes, path);
  if (Tagged(bytes, kBmoTag)) return DumpModel(bytes, path);
  if (Tagged(bytes, kBscTag)) return DumpScene(bytes, path);
  if (Tagged(bytes, kColTreeTag)) return DumpColTree(bytes, path);
  return Fail(path + " is not an animation, texture atlas, model, scene or collision tree file");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) return Usage();
  const std::string command = argv[1];
  if (command == "ban" && argc == 4)
    return Convert<SBanDescription>(argv[2], argv[3], ParseBanText, WriteBan);
  if (command == "atlas" && argc == 4)
    return Convert<SAtlasDescription>(argv[2], argv[3], ParseAtlasText, WriteAtlas);
  if (command == "bmo" && argc == 4) return Convert<SBmoDescription>(argv[2], argv[3], ParseBmoText, WriteBmo);
  if (command == "bsc" && argc == 4) return Convert<SBscDescription>(argv[2], argv[3], ParseBscText, WriteBsc);
  if (command == "bct" && argc == 4) return Convert<SBctDescription>(argv[2], argv[3], ParseBctText, WriteBct);
  if (command == "box" && argc == 5) return Generate(argv[2], argv[3], argv[4], MakeBoxModel);
  if (command == "strip" && argc == 5) return Generate(argv[2], argv[3], argv[4], MakeStripModel);
  if (command == "dump" && argc == 3) return Dump(argv[2]);
  return Usage();
}
