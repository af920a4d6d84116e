// The particle library through its calls: files and their folders of emitters, the life of
// an emitter (bursts, rate, end, loop, interrupt, stop), moves, copies and the rendered lists.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "Particles/MagicParticles.h"
#include "tests/Particles/PtcTestKit.h"

namespace {

class MagicParticlesTest : public ::testing::Test {
 protected:
  void TearDown() override { Magic_DestroyAll(); }

  HM_FILE Open(const std::string& description, const char* name = "Test.ptc") {
    const std::vector<uint8_t> bytes = ptctest::BuildPtc(description);
    return Magic_OpenFileInMemory(bytes.data(), bytes.size(), name);
  }

  HM_EMITTER LoadSpark(const std::string& description) {
    const HM_FILE file = Open(description);
    const HM_EMITTER emitter = Magic_LoadEmitter(file, "Spark");
    Magic_CloseFile(file);  // emitters outlive their file
    EXPECT_NE(emitter, 0);
    return emitter;
  }

  static uint32_t CountParticles(HM_EMITTER emitter) {
    MAGIC_RENDERING list;
    uint32_t total = 0;
    for (int32_t n = Magic_CreateFirstRenderedParticlesList(emitter, &list); n > 0;
         n = Magic_CreateNextRenderedParticlesList(&list))
      total += static_cast<uint32_t>(n);
    return total;
  }
};

TEST_F(MagicParticlesTest, FoldersAreWalkedAndEmittersLoadFromTheCurrentOne) {
  const HM_FILE file = Open(
      "atlas A.png 8 8 1 1\n"
      "emitter Root\nlayer 0\n"
      "emitter Deep Fire/Small\nlayer 0\n"
      "emitter Mid Fire\nlayer 0\n"
      "emitter Other Water\nlayer 0\n");
  ASSERT_NE(file, 0);
  MAGIC_FIND_DATA root;
  std::set<std::string> entries;
  for (const char* name = Magic_FindFirst(file, &root, MAGIC_FOLDER | MAGIC_EMITTER); name;
       name = Magic_FindNext(file, &root))
    entries.insert(std::string(root.type == MAGIC_FOLDER ? "folder " : "emitter ") + name);
  EXPECT_EQ(entries, (std::set<std::string>{"folder Fire", "folder Water", "emitter Root"}));

  EXPECT_EQ(Magic_LoadEmitter(file, "Deep"), 0);  // not in the current folder
  MAGIC_FIND_DATA again;
  EXPECT_STREQ(Magic_FindFirst(file, &again, MAGIC_FOLDER), "Fire");
  Magic_SetCurrentFolder(file, "Fire");
  MAGIC_FIND_DATA fire;
  EXPECT_STREQ(Magic_FindFirst(file, &fire, MAGIC_EMITTER), "Mid");
  Magic_SetCurrentFolder(file, "Small");
  const HM_EMITTER deep = Magic_LoadEmitter(file, "Deep");
  EXPECT_STREQ(Magic_GetEmitterName(deep), "Deep");
  Magic_SetCurrentFolder(file, "..");
  Magic_SetCurrentFolder(file, "..");
  EXPECT_NE(Magic_LoadEmitter(file, "Root"), 0);
  // The root's walk goes on where it was, though a walk of a sub-folder ran in between.
  EXPECT_STREQ(Magic_FindNext(file, &again), "Water");
}

TEST_F(MagicParticlesTest, AOneShotEmitterBurstsAndEndsWhenItsParticlesDie) {
  const HM_EMITTER spark = LoadSpark(ptctest::BurstDescription(5, 1.0f, 0.5f));
  EXPECT_TRUE(Magic_InInterval(spark));
  EXPECT_TRUE(Magic_Update(spark, 100));
  EXPECT_EQ(CountParticles(spark), 5u);
  EXPECT_TRUE(Magic_Update(spark, 800));  // the cycle is over, the particles still live
  EXPECT_EQ(CountParticles(spark), 5u);
  EXPECT_FALSE(Magic_Update(spark, 200));  // all dead: the emitter has ended
  EXPECT_EQ(CountParticles(spark), 0u);
}

TEST_F(MagicParticlesTest, ALoopingEmitterBurstsEveryCycleUntilInterrupted) {
  const HM_EMITTER spark = LoadSpark(ptctest::BurstDescription(3, 0.7f, 0.5f, "on"));
  EXPECT_TRUE(Magic_Update(spark, 10));
  EXPECT_TRUE(Magic_Update(spark, 500));  // second cycle starts at the next update
  EXPECT_TRUE(Magic_Update(spark, 10));
  EXPECT_EQ(CountParticles(spark), 6u);
  Magic_SetInterrupt(spark, true);
  EXPECT_TRUE(Magic_Update(spark, 500));  // the first burst dies, no new one comes
  EXPECT_EQ(CountParticles(spark), 3u);
  EXPECT_FALSE(Magic_Update(spark, 500));

  // Loop mode set by the caller wins over the file's.
  const HM_EMITTER once = LoadSpark(ptctest::BurstDescription(3, 0.2f, 0.5f, "on"));
  Magic_SetLoopMode(once, false);
  EXPECT_TRUE(Magic_Update(once, 10));
  EXPECT_FALSE(Magic_Update(once, 600));
}

TEST_F(MagicParticlesTest, TheRateBirthsParticlesOverTimeUpToTheCapacity) {
  const HM_EMITTER stream = LoadSpark(
      "atlas A.png 8 8 1 1\nemitter Spark\nduration 100\nlayer 0\nrate 10\ncapacity 12\nlife 50 50\n");
  for (int i = 0; i < 10; ++i) Magic_Update(stream, 50);  // 0.5 s at 10 a second
  EXPECT_EQ(CountParticles(stream), 5u);
  for (int i = 0; i < 40; ++i) Magic_Update(stream, 50);
  EXPECT_EQ(CountParticles(stream), 12u);
  Magic_Stop(stream);
  EXPECT_EQ(CountParticles(stream), 0u);
}

TEST_F(MagicParticlesTest, MovesPlaceNewParticlesOrCarryTheLiveOnesByPositionMode) {
  const HM_EMITTER spark = LoadSpark(ptctest::BurstDescription(1, 10.0f, 5.0f));
  const auto centre = ptctest::FirstParticleCentre;
  const MAGIC_POSITION at{100, -50};
  Magic_SetEmitterPosition(spark, &at);
  Magic_Update(spark, 10);
  EXPECT_EQ(centre(spark), std::make_pair(100.0f, -50.0f));

  const MAGIC_POSITION away{300, 0};
  Magic_SetEmitterPosition(spark, &away);
  EXPECT_EQ(centre(spark), std::make_pair(100.0f, -50.0f));  // emitted particles stay
  Magic_SetEmitterPositionMode(spark, 1);
  const MAGIC_POSITION further{310, 20};
  Magic_SetEmitterPosition(spark, &further);
  EXPECT_EQ(centre(spark), std::make_pair(110.0f, -30.0f));  // they follow the move
  EXPECT_EQ(Magic_GetEmitterPositionMode(spark), 1);
}

TEST_F(MagicParticlesTest, ARectangleHasItsSizeFrameFlippedVAndKeyedColour) {
  const HM_EMITTER spark = LoadSpark(
      "atlas A.png 64 32 2 1\nemitter Spark\nloop off\nlayer 0\nframes 1 1\ncapacity 1\nburst 1\nlife 2 2\n"
      "size 0 10\nsize 1 30\ncolour 0 1 0 0 1\ncolour 1 0 0 1 0\n");
  Magic_Update(spark, 1000);  // half the life: size 20, colour halfway
  MAGIC_RENDERING list;
  ASSERT_EQ(Magic_CreateFirstRenderedParticlesList(spark, &list), 1);
  MAGIC_VERTEX_RECTANGLE v{};
  Magic_GetNextParticleVertexes(&list, &v);
  EXPECT_FLOAT_EQ(v.x[1] - v.x[0], 20.0f);
  EXPECT_FLOAT_EQ(v.y[3] - v.y[0], 20.0f);
  // The second frame is the right half; the library gives v from the bottom row.
  EXPECT_EQ(v.u[0], 0.5f);
  EXPECT_EQ(v.u[1], 1.0f);
  EXPECT_EQ(v.v[0], 1.0f);
  EXPECT_EQ(v.v[2], 0.0f);
  EXPECT_EQ(v.colour, 0x80800080u);
}

TEST_F(MagicParticlesTest, ListsSkipEmptyLayersAndIndexAtlasesAcrossFiles) {
  const std::string two = "atlas A.png 8 8 1 1\natlas B.png 8 8 1 1\n";
  Magic_CloseFile(Open(two + "emitter First\nlayer 0\n"));
  const HM_FILE second = Open(two +
                              "emitter Spark\nloop off\n"
                              "layer 0\ncapacity 4\nburst 2\n"
                              "layer 1\ncapacity 4\n"  // never emits
                              "layer 1\nblend add\ncapacity 4\nburst 3\n");
  ASSERT_EQ(Magic_GetStaticAtlasCount(second), 2);
  MAGIC_STATIC_ATLAS atlas{};
  ASSERT_TRUE(Magic_GetStaticAtlas(second, 1, &atlas));
  EXPECT_STREQ(atlas.file, "B.png");
  EXPECT_FALSE(Magic_GetStaticAtlas(second, 2, &atlas));
  const HM_EMITTER spark = Magic_LoadEmitter(second, "Spark");
  Magic_Update(spark, 10);

  MAGIC_RENDERING list;
  ASSERT_EQ(Magic_CreateFirstRenderedParticlesList(spark, &list), 2);
  EXPECT_EQ(list.texture_id, 2);  // the first file's two atlases come first
  EXPECT_FALSE(list.intense);
  ASSERT_EQ(Magic_CreateNextRenderedParticlesList(&list), 3);
  EXPECT_EQ(list.texture_id, 3);
  EXPECT_TRUE(list.intense);
  EXPECT_EQ(Magic_CreateNextRenderedParticlesList(&list), 0);
  EXPECT_EQ(Magic_CreateNextRenderedParticlesList(&list), 0);
}

TEST_F(MagicParticlesTest, CopiesRunOnTheirOwnAndUnknownHandlesAreNoOps) {
  const HM_EMITTER spark = LoadSpark(ptctest::BurstDescription(4));
  const HM_EMITTER copy = Magic_DuplicateEmitter(spark);
  ASSERT_NE(copy, 0);
  ASSERT_NE(copy, spark);
  EXPECT_STREQ(Magic_GetEmitterName(copy), "Spark");
  Magic_Update(copy, 10);
  EXPECT_EQ(CountParticles(copy), 4u);
  EXPECT_EQ(CountParticles(spark), 0u);
  Magic_UnloadEmitter(spark);
  EXPECT_EQ(CountParticles(copy), 4u);

  for (HM_EMITTER unknown : {0, -3, spark, 999}) {
    EXPECT_FALSE(Magic_Update(unknown, 10));
    EXPECT_FALSE(Magic_InInterval(unknown));
    EXPECT_EQ(Magic_GetEmitterName(unknown), nullptr);
    EXPECT_EQ(Magic_DuplicateEmitter(unknown), 0);
    MAGIC_RENDERING list;
    EXPECT_EQ(Magic_CreateFirstRenderedParticlesList(unknown, &list), 0);
  }
  // A handle kept past the library's emptying names nothing, not a later emitter.
  Magic_DestroyAll();
  const HM_EMITTER later[2] = {LoadSpark(ptctest::BurstDescription(4)), LoadSpark(ptctest::BurstDescription(4))};
  Magic_UnloadEmitter(spark);
  Magic_UnloadEmitter(copy);
  for (HM_EMITTER emitter : later) EXPECT_STREQ(Magic_GetEmitterName(emitter), "Spark");

  const uint8_t junk[] = {1, 2, 3};
  EXPECT_EQ(Magic_OpenFileInMemory(junk, sizeof junk, "Junk.ptc"), 0);
  EXPECT_EQ(Magic_GetStaticAtlasCount(0), 0);
}

// What ran before does not change an emitter's particles: after the library is emptied, the
// emitters loaded again draw the same random sequences as the first time.
TEST_F(MagicParticlesTest, EmittersLoadedAfterEmptyingTheLibraryRepeatTheirFirstRun) {
  const std::string scattered = ptctest::BurstDescription(1) + "speed 10 30\nspread 360\n";
  const auto firstParticle = [&] {
    const HM_EMITTER spark = LoadSpark(scattered);
    Magic_Update(spark, 500);
    return ptctest::FirstParticleCentre(spark);
  };
  const auto first = firstParticle();
  Magic_DestroyAll();
  LoadSpark(scattered);  // an emitter some other screen loaded
  Magic_DestroyAll();
  EXPECT_EQ(firstParticle(), first);
}

}  // namespace
