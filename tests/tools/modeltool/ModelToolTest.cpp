// modeltool: text descriptions in, files out, and the engine's readers on what it wrote.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "Quor/CAnimator_Keyframed.h"
#include "Quor/TextureAtlas.h"
#include "tests/support/ProgramRun.h"
#include "tools/modeltool/ModelText.h"
#include "tools/modeltool/ModelWriters.h"
#include "tools/shared/FileBytes.h"

namespace {

class ModelToolTest : public CToolTest {
 protected:
  ModelToolTest() : CToolTest("modeltool") {}
};

const char kWalk[] = R"(# a short walk
version 0x102
frames 20
fps 10
track Hip
  base_position 0 1 0
  position 0 0 1 0
  position 10 2 1 0
  rotation_axis 0 0 0 1 0
  rotation_axis 10 0 0 1 90
track Knee
  scale 5 1 2 1
event 5 77
event 15 78
)";

TEST_F(ModelToolTest, AnAnimationDescriptionBecomesAFileTheEngineReads) {
  Write("walk.txt", kWalk);
  ASSERT_EQ(Run("ban " + Path("walk.txt") + " " + Path("walk.ban")), 0) << m_run.errors;

  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(Path("walk.ban"), bytes));
  CAnimator_Keyframed animator(SFileBytes{bytes.data(), bytes.size(), "walk.ban"});
  ASSERT_TRUE(animator.IsLoaded());
  const CKeyframedAnimation& animation = animator.GetAnimation();
  EXPECT_EQ(animation.version, 0x102);
  EXPECT_EQ(animation.frameCount, 20u);
  EXPECT_FLOAT_EQ(animator.GetLength(), 2.0f);
  ASSERT_EQ(animation.tracks.size(), 2u);
  const SKeyframedTrack& hip = animation.tracks[0];
  EXPECT_EQ(hip.name, "HIP");
  EXPECT_FLOAT_EQ(hip.basePosition.y, 1.0f);
  ASSERT_EQ(hip.positionKeys.Count(), 2u);
  EXPECT_FLOAT_EQ(hip.positionKeys.keys[1].values[0], 2.0f);
  ASSERT_EQ(hip.rotationKeys.Count(), 2u);
  EXPECT_NEAR(hip.rotationKeys.keys[1].values[2], 0.70710678f, 1e-6f);
  EXPECT_NEAR(hip.rotationKeys.keys[1].values[3], 0.70710678f, 1e-6f);
  EXPECT_EQ(animation.tracks[1].scaleKeys.Count(), 1u);
  ASSERT_EQ(animation.events.size(), 2u);
  EXPECT_EQ(animation.events[1].frame, 15u);
  EXPECT_EQ(animation.events[1].value, 78u);

  // Halfway, the hip has moved halfway and turned 45 degrees.
  CModelNode node;
  node.name = "hip";
  CAttachedInfo* attachment = animator.CreateAttachment(&node);
  animator.SetTime(0, 0.5f, -1.0f, false);
  SetAnimationBlendWeight(1.0f);
  animator.Apply(&node.transform, attachment);
  delete attachment;
  EXPECT_NEAR(node.transform.position.x, 1.0f, 1e-5f);
  EXPECT_NEAR(node.transform.rotation.z, 0.38268343f, 1e-5f);

  ASSERT_EQ(Run("dump " + Path("walk.ban")), 0) << m_run.errors;
  const std::string dump = m_run.output;
  EXPECT_NE(dump.find("version 0x102, 20 frames at 10 fps, 2 tracks, 2 events"), std::string::npos) << dump;
  EXPECT_NE(dump.find("  track KNEE\n    scale 5 1 2 1\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("  event 15 78\n"), std::string::npos) << dump;
}

TEST_F(ModelToolTest, AnAtlasDescriptionBecomesAFileTheEngineReads) {
  Write("icons.txt",
        "value 0.5\n"
        "entry Key 0 0 0.25 0.25\n"
        "entry Lamp 0.25 0 0.5 0.25 1 2 3 4   # all eight values\n"
        "entry Empty\n");
  ASSERT_EQ(Run("atlas " + Path("icons.txt") + " " + Path("icons.atlas")), 0) << m_run.errors;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes(Path("icons.atlas"), bytes));
  STextureAtlas atlas;
  ASSERT_TRUE(ParseTextureAtlas(bytes.data(), bytes.size(), "icons.atlas", &atlas));
  EXPECT_EQ(atlas.entryCount, 3u);
  EXPECT_FLOAT_EQ(atlas.value, 0.5f);
  EXPECT_FLOAT_EQ(FindAtlasEntry(atlas, "key")->GetFloat(2), 0.25f);
  EXPECT_FLOAT_EQ(FindAtlasEntry(atlas, "lamp")->GetFloat(7), 4.0f);
  EXPECT_FLOAT_EQ(FindAtlasEntry(atlas, "empty")->GetFloat(0), 0.0f);

  ASSERT_EQ(Run("dump " + Path("icons.atlas")), 0);
  EXPECT_NE(m_run.output.find("entry Lamp 0.25 0 0.5 0.25 1 2 3 4"), std::string::npos) << m_run.output;
}

TEST_F(ModelToolTest, BadDescriptionsNameTheLineAndWriteNothing) {
  const struct {
    const char* command;
    const char* text;
    const char* expected;
  } cases[] = {
      {"ban", "frames 10\nposition 0 1 2 3\n", "bad.txt:2: \"position\" before the first track"},
      {"ban", "track A\nposition 70000 1 2 3\n", "bad.txt:2: \"70000\" is not a whole number from 0 to 65535"},
      {"ban", "track A\nrotation 0 1 2 3\n", "bad.txt:2: \"rotation\" takes 5 values, 4 given"},
      {"ban", "track A\nrotation_axis 0 0 0 0 90\n", "bad.txt:2: the rotation axis has no length"},
      {"ban", "track A\nscale 0 1 x 1\n", "bad.txt:2: \"x\" is not a number"},
      {"ban", "fps 10\nwobble 3\n", "bad.txt:2: \"wobble\" before the first track"},
      {"ban", "version 0x101\nevent 1 2\n", "events need version 0x102 or later"},
      {"atlas", "entry A 1 2 3 4 5 6 7 8 9\n", "bad.txt:1: \"entry\" takes 1 to 9 values, 10 given"},
      {"atlas", "colour 3\n", "bad.txt:1: unknown statement \"colour\""},
  };
  for (const auto& c : cases) {
    Write("bad.txt", c.text);
    std::filesystem::remove(Path("bad.out"));
    EXPECT_EQ(Run(std::string(c.command) + " " + Path("bad.txt") + " " + Path("bad.out")), 1) << c.text;
    EXPECT_NE(m_run.errors.find(c.expected), std::string::npos) << m_run.errors;
    EXPECT_FALSE(std::filesystem::exists(Path("bad.out"))) << c.text;
  }
}

TEST_F(ModelToolTest, UsageAndFilesThatCannotBeRead) {
  EXPECT_EQ(Run(""), 2);
  EXPECT_EQ(Run("--help"), 2);
  EXPECT_EQ(Run("ban only-one-argument"), 2);
  EXPECT_EQ(Run("ban " + Path("missing.txt") + " " + Path("x.ban")), 1);
  Write("other.bin", "RIFF....");
  EXPECT_EQ(Run("dump " + Path("other.bin")), 1);
  EXPECT_NE(m_run.errors.find("is not an animation, texture atlas, model, scene or collision tree file"),
            std::string::npos);

  // A damaged file is reported by the engine's reader, not printed.
  Write("walk.txt", kWalk);
  ASSERT_EQ(Run("ban " + Path("walk.txt") + " " + Path("walk.ban")), 0);
  std::filesystem::resize_file(Path("walk.ban"), 30);
  EXPECT_EQ(Run("dump " + Path("walk.ban")), 1);
  EXPECT_NE(m_run.errors.find("is damaged"), std::string::npos) << m_run.errors;

  // A model or scene of a newer version than the engine reads: reported naming the file.
  ASSERT_EQ(Run("box Crate 2 " + Path("box.bmo")), 0);
  Write("room.txt", "");
  ASSERT_EQ(Run("bsc " + Path("room.txt") + " " + Path("room.bsc")), 0) << m_run.errors;
  for (const char* name : {"box.bmo", "room.bsc"}) {
    SCOPED_TRACE(name);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(Path(name), bytes));
    bytes[5] = 0x7F;  // the major version
    ASSERT_TRUE(WriteFileBytes(Path(name), bytes));
    EXPECT_EQ(Run("dump " + Path(name)), 1);
    EXPECT_NE(m_run.errors.find(Path(name) + "\": Unsupported version 127."), std::string::npos) << m_run.errors;
  }
}

TEST(ModelWritersTest, CountsAndNamesBeyondTheFormatAreRefused) {
  std::vector<uint8_t> bytes;
  std::string error;
  SBanDescription tooManyKeys;
  tooManyKeys.tracks.emplace_back();
  tooManyKeys.tracks[0].name = "A";
  tooManyKeys.tracks[0].positionKeys.resize(70000);
  EXPECT_FALSE(WriteBan(tooManyKeys, bytes, error));
  EXPECT_NE(error.find("position keys of A: 70000"), std::string::npos) << error;

  SBanDescription longName;
  longName.tracks.emplace_back();
  longName.tracks[0].name = std::string(256, 'n');
  EXPECT_FALSE(WriteBan(longName, bytes, error));
  EXPECT_NE(error.find("longer than 255"), std::string::npos) << error;

  SAtlasDescription tooManyEntries;
  tooManyEntries.entries.resize(65536);
  EXPECT_FALSE(WriteAtlas(tooManyEntries, bytes, error));
  EXPECT_NE(error.find("entries: 65536"), std::string::npos) << error;
}

}  // namespace

namespace {

const char kArm[] = R"(# an arm of two bones
version 0x204
comment arm
node Shoulder 0 0 0
node Elbow 1 0 0 Shoulder
point 0.5 0 0 1
part Skin list Shoulder Elbow
vertex 0 0 0 0 0 1 0 0 1 0 0 0
vertex 1 0 0 0 0 1 0.5 0 0.5 0.5 0 0 1 0 0 1
vertex 2 0 0 0 0 1 1 0 0 1 0 0
)";

const char kRoom[] = R"(version 0x105
flags 0
offset 10 0 0
scale 0.5 1 1
patch
batch Floor
vertex 0 0 0 0 0
vertex 100 0 0 1 0
vertex 0 100 0 0 1
grid 1 1 2 0 0 1 1
values 3 -4
)";

const char kWalls[] = R"(version 0x102
block1 abc
record_a 1 2 3 4 5 6
word 7
record_c 1 0 0 0
record_c 0
)";

TEST_F(ModelToolTest, ModelsScenesAndTreesAreWrittenFromTextAndReadBack) {
  Write("arm.txt", kArm);
  Write("room.txt", kRoom);
  Write("walls.txt", kWalls);
  ASSERT_EQ(Run("bmo " + Path("arm.txt") + " " + Path("arm.bmo")), 0) << m_run.errors;
  ASSERT_EQ(Run("dump " + Path("arm.bmo")), 0) << m_run.errors;
  EXPECT_EQ(m_run.output, "model " + Path("arm.bmo") +
                              ": version 0x204, 2 nodes, 1 parts\n"
                              "  node Shoulder pivot 0 0 0 parent -1 points 0\n"
                              "  node Elbow pivot 1 0 0 parent 0 points 1\n"
                              "  part Skin primitive 2 vertices 3 bones 0 1\n"
                              "  bounds 0 0 0 .. 2 0 0\n");
  ASSERT_EQ(Run("bsc " + Path("room.txt") + " " + Path("room.bsc")), 0) << m_run.errors;
  ASSERT_EQ(Run("dump " + Path("room.bsc")), 0) << m_run.errors;
  EXPECT_EQ(m_run.output, "scene " + Path("room.bsc") +
                              ": version 0x105, 1 patches, grid 1 x 1 x 2\n"
                              "  patch 10 0 0 .. 60 100 0\n"
                              "    batch Floor vertices 3\n");
  ASSERT_EQ(Run("bct " + Path("walls.txt") + " " + Path("walls.bct")), 0) << m_run.errors;
  ASSERT_EQ(Run("dump " + Path("walls.bct")), 0) << m_run.errors;
  EXPECT_EQ(m_run.output, "collision tree " + Path("walls.bct") +
                              ": version 0x102, blocks 3 and 0 bytes, 1 records A, 1 words, 2 records C\n");
}

TEST_F(ModelToolTest, GeneratedModelsAndRefusedDescriptions) {
  ASSERT_EQ(Run("box Crate 2 " + Path("box.bmo")), 0) << m_run.errors;
  ASSERT_EQ(Run("dump " + Path("box.bmo")), 0);
  EXPECT_NE(m_run.output.find("part Crate primitive 2 vertices 36 bones 0\n  bounds -1 -1 -1 .. 1 1 1"),
            std::string::npos)
      << m_run.output;
  ASSERT_EQ(Run("strip Skin 4 " + Path("strip.bmo")), 0);
  ASSERT_EQ(Run("dump " + Path("strip.bmo")), 0);
  EXPECT_NE(m_run.output.find("node Bone2 pivot 2 0 0 parent 0"), std::string::npos);
  EXPECT_EQ(Run("box Crate -1 " + Path("bad.bmo")), 1);

  struct SCase {
    const char* command;
    const char* text;
    const char* error;
  };
  const SCase cases[] = {
      {"bmo", "node A 0 0 0 B\n", "no node \"B\" before this one"},
      {"bmo", "node A 0 0 0\nnode B 0 0 0 A\nnode C 0 0 0\nnode D 0 0 0 B\n", "does not follow its parent's branch"},
      {"bmo", "version 0x201\nnode A 0 0 0\npart M list A\n", ""},
      {"bsc", "patch\nbatch M\nvertex 70000 0 0 0 0\n", "is not a whole number from 0 to 65535"},
      {"bsc", "grid 1 2 2 0 0 0 0\nvalues 1 2 3\n", "the grid needs 4 values, 3 given"},
      {"bct", "version 0x101\nblock1 abc\n", "blocks need version 0x102 or later"},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.text);
    Write("in.txt", c.text);
    const int status = Run(std::string(c.command) + " " + Path("in.txt") + " " + Path("out.bin"));
    if (!*c.error) {
      EXPECT_EQ(status, 0) << m_run.errors;
      continue;
    }
    EXPECT_EQ(status, 1);
    EXPECT_NE(m_run.errors.find(c.error), std::string::npos) << m_run.errors;
  }
}

}  // namespace
