#pragma once
// Writers of the engine's model ("BMO "), scene ("BSC ") and collision tree ("BCT ") files
// from descriptions that the text front end (ModelText.h), a generator or a test fills in,
// and two generated models: a textured box and a skinned two-bone strip.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "Quor/ColTreeFormat.h"
#include "Quor/ModelFormat.h"
#include "Quor/SceneFormat.h"

struct SBmoVertexDescription {
  float position[3] = {0.0f, 0.0f, 0.0f};
  float normal[3] = {0.0f, 0.0f, 1.0f};
  float u = 0.0f, v = 0.0f;
  float weights[4] = {1.0f, 0.0f, 0.0f, 0.0f};  // 0..1, stored as bytes
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};   // 0..1, stored as bytes from kBmoVersionColours
};

struct SBmoNodeDescription {
  std::string name;
  float pivot[3] = {0.0f, 0.0f, 0.0f};
  std::vector<std::array<float, kBmoPointFloats>> points;  // stored from kBmoVersionNodePoints
  int32_t parent = -1;  // an earlier node on the current branch, or -1 for a top-level node
};

struct SBmoPartDescription {
  std::string material;
  std::vector<uint32_t> bones;  // node indices; a vertex's weight k belongs to bone k
  uint8_t primitive = kPrimitiveList;
  std::vector<SBmoVertexDescription> vertices;
};

struct SBmoDescription {
  uint16_t version = kBmoNewestVersion;
  std::string comment;
  std::vector<SBmoNodeDescription> nodes;  // depth first: each node's children follow it
  std::vector<SBmoPartDescription> parts;
};

struct SBscVertexDescription {
  // From kBscVersionQuantised the quanta 0..kBscMaxQuantum (whole numbers); before, file floats.
  float position[3] = {0.0f, 0.0f, 0.0f};
  float normal[3] = {0.0f, 0.0f, 1.0f};  // stored when the file's vertices carry normals
  float u = 0.0f, v = 0.0f;
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

struct SBscBatchDescription {
  std::string material;
  std::vector<SBscVertexDescription> vertices;
};

struct SBscDescription {
  uint16_t version = kBscNewestVersion;
  uint32_t flags = kBscFlagNormals;  // from kBscVersionFlags
  float offset[3] = {0.0f, 0.0f, 0.0f};
  float scale[3] = {1.0f, 1.0f, 1.0f};  // world size of one quantum (from kBscVersionQuantised)
  std::vector<std::vector<SBscBatchDescription>> patches;
  uint8_t gridLayers = 0;
  uint16_t gridRows = 0, gridColumns = 0;
  float gridParameters[4] = {};
  std::vector<float> gridValues;  // layer fastest, then column, then row
};

struct SBctDescription {
  uint16_t version = kColTreeNewestVersion;
  std::vector<uint8_t> block1, block2;
  std::vector<std::array<float, kColTreeRecordAFloats>> recordsA;
  std::vector<uint32_t> wordsB;
  std::vector<std::array<float, kColTreeRecordCFloats>> recordsC;
  std::vector<uint8_t> flags;  // one per record C from kColTreeVersionFlags
};

// False with the reason in `error` when the description cannot be stored (a count beyond
// its field, a node order that is not depth first, a bone that names no node...).
bool WriteBmo(const SBmoDescription& description, std::vector<uint8_t>& out, std::string& error);
bool WriteBsc(const SBscDescription& description, std::vector<uint8_t>& out, std::string& error);
bool WriteBct(const SBctDescription& description, std::vector<uint8_t>& out, std::string& error);

// A box of the given edge length centred on the origin, one node "Box" at the origin, each
// face textured with the whole picture.
SBmoDescription MakeBoxModel(const std::string& material, float size);
// A strip along x from 0 to `length`, one unit wide, in four quads: node "Bone1" at the
// origin and its child "Bone2" at length / 2. Vertices before the middle follow Bone1,
// those after it Bone2, the middle ones both by half.
SBmoDescription MakeStripModel(const std::string& material, float length);
