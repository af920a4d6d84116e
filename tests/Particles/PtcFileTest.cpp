// ".ptc" files: what the writer writes the reader gives back, and damaged files are refused
// with a report naming the file, whatever the damage.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "Particles/PtcFile.h"
#include "Quor/ReportError.h"
#include "tests/Particles/PtcTestKit.h"
#include "tests/support/ReportCapture.h"

namespace {

const char kDescription[] =
    "# two atlases, an emitter at the root and one in a nested folder\n"
    "atlas Sprites.png 128 32 4 1\n"
    "atlas Big.png 256 256 2 2\n"
    "emitter \"Torch \"\n"
    "loop on\n"
    "duration 2.5\n"
    "layer 0\n"
    "frames 1 3 life\n"
    "blend add\n"
    "shape box 10 20\n"
    "rate 40\ncapacity 100\nburst 5\nlife 0.5 1.5\nspeed 10 30\ndirection 270\nspread 45\n"
    "gravity 1 -2\nspin -90 90\ndrag 0.5\n"
    "size 0 8\nsize 1 24\n"
    "colour 0 1 0.5 0.25 1\ncolour 1 0.2 0.1 0 0\n"
    "layer 1\nshape circle 7\ncapacity 10\n"
    "emitter Smoke Fire/Small\n"
    "step 20\nloop off\nlayer 1\nframes 3 1\ncapacity 5\n"
    "emitter Z\n";  // the smallest emitter: a name and no layers

class PtcFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    hmtest::Reports().clear();
    ReportHandler = hmtest::CaptureReport;
  }
  void TearDown() override { ReportHandler = nullptr; }
};

TEST_F(PtcFileTest, WhatTheWriterWritesTheReaderGivesBack) {
  SPtcFile written;
  std::string error;
  ASSERT_TRUE(ptctest::ParseDescription(kDescription, &written, &error)) << error;
  const std::vector<uint8_t> bytes = ptctest::BuildPtc(kDescription);
  SPtcFile read;
  ASSERT_TRUE(ReadPtcFile(bytes.data(), bytes.size(), "Fire.ptc", &read)) << hmtest::Reports().back();

  ASSERT_EQ(read.atlases.size(), 2u);
  EXPECT_EQ(read.atlases[1].fileName, "Big.png");
  EXPECT_EQ(read.atlases[1].width, 256u);
  ASSERT_EQ(read.atlases[1].frames.size(), 4u);
  EXPECT_EQ(read.atlases[1].frames[3].u0, 0.5f);  // row by row: the fourth frame is bottom right
  EXPECT_EQ(read.atlases[1].frames[3].v1, 1.0f);

  ASSERT_EQ(read.emitters.size(), 3u);
  EXPECT_TRUE(read.emitters[2].layers.empty());
  const SPtcEmitter& torch = read.emitters[0];
  EXPECT_EQ(torch.name, "Torch ");  // the trailing blank is part of the name
  EXPECT_TRUE(torch.loop);
  EXPECT_TRUE(torch.interpolation);
  EXPECT_EQ(torch.duration, 2.5f);
  ASSERT_EQ(torch.layers.size(), 2u);
  const SPtcLayer& flame = torch.layers[0];
  const SPtcLayer& source = written.emitters[0].layers[0];
  EXPECT_EQ(flame.firstFrame, 1u);
  EXPECT_EQ(flame.frameCount, 3u);
  EXPECT_EQ(flame.frameMode, PtcFormat::kFrameOverLife);
  EXPECT_TRUE(flame.intense);
  EXPECT_EQ(flame.shape, PtcFormat::kShapeBox);
  EXPECT_EQ(flame.shapeHeight, 20.0f);
  const float SPtcLayer::*floats[] = {&SPtcLayer::rate,     &SPtcLayer::lifeMin,  &SPtcLayer::lifeMax,
                                      &SPtcLayer::speedMin, &SPtcLayer::speedMax, &SPtcLayer::direction,
                                      &SPtcLayer::spread,   &SPtcLayer::gravityX, &SPtcLayer::gravityY,
                                      &SPtcLayer::spinMin,  &SPtcLayer::spinMax,  &SPtcLayer::drag};
  for (auto field : floats) EXPECT_EQ(flame.*field, source.*field);
  EXPECT_EQ(flame.capacity, 100u);
  EXPECT_EQ(flame.burst, 5u);
  ASSERT_EQ(flame.sizeKeys.size(), 2u);
  EXPECT_EQ(flame.sizeKeys[1].size, 24.0f);
  ASSERT_EQ(flame.colourKeys.size(), 2u);
  EXPECT_EQ(flame.colourKeys[0].rgba[1], 0.5f);
  EXPECT_EQ(torch.layers[1].shape, PtcFormat::kShapeCircle);
  EXPECT_EQ(torch.layers[1].shapeWidth, 7.0f);

  const SPtcEmitter& smoke = read.emitters[1];
  EXPECT_EQ(smoke.folder, "Fire/Small");
  EXPECT_FALSE(smoke.loop);
  EXPECT_FALSE(smoke.interpolation);
  EXPECT_EQ(smoke.fixedStepMs, 20.0f);
}

// Every cut of a sound file is refused: no read past the end, no half-filled result.
TEST_F(PtcFileTest, EveryTruncationIsRefused) {
  const std::vector<uint8_t> bytes = ptctest::BuildPtc(kDescription);
  for (size_t size = 0; size < bytes.size(); ++size) {
    const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(size));
    SPtcFile read;
    read.emitters.resize(1);
    ASSERT_FALSE(ReadPtcFile(cut.data(), cut.size(), "Cut.ptc", &read)) << size;
    EXPECT_TRUE(read.emitters.empty() && read.atlases.empty());
  }
  EXPECT_TRUE(hmtest::Reported("Damaged particle file Cut.ptc"));
}

// Damage the bytes cannot show by their length: each case changes one field of a sound file.
TEST_F(PtcFileTest, DamagedFieldsAreRefusedWithTheirReason) {
  struct SCase {
    const char* what;
    std::function<void(SPtcFile&)> damage;
    const char* reason;
  } cases[] = {
      {"atlas index", [](SPtcFile& f) { f.emitters[0].layers[0].atlas = 2; }, "names an atlas past"},
      {"frames", [](SPtcFile& f) { f.emitters[0].layers[0].frameCount = 4; }, "frames lie outside"},
      {"no frames", [](SPtcFile& f) { f.emitters[0].layers[0].frameCount = 0; }, "frames lie outside"},
      {"frame wrap", [](SPtcFile& f) { f.emitters[0].layers[0].firstFrame = 0xFFFFFFFFu; }, "frames lie outside"},
      {"frame mode", [](SPtcFile& f) { f.emitters[0].layers[0].frameMode = 7; }, "unknown frame mode"},
      {"shape", [](SPtcFile& f) { f.emitters[0].layers[0].shape = 9; }, "unknown emitter shape"},
      {"capacity", [](SPtcFile& f) { f.emitters[0].layers[0].capacity = 20001; }, "capacity is above"},
      {"total capacity",
       [](SPtcFile& f) {
         for (int i = 0; i < 10; ++i) f.emitters.push_back(f.emitters[0]);
         for (auto& e : f.emitters)
           if (!e.layers.empty()) e.layers[0].capacity = 20000;
       },
       "more particles than the limit"},
      {"life", [](SPtcFile& f) { f.emitters[0].layers[0].lifeMin = 0; }, "life range is empty"},
      {"rate", [](SPtcFile& f) { f.emitters[0].layers[0].rate = -1; }, "rate is negative"},
      {"nan", [](SPtcFile& f) { f.emitters[0].layers[0].gravityY = std::nanf(""); }, "not a finite number"},
      {"infinity",
       [](SPtcFile& f) { f.emitters[0].layers[0].sizeKeys[0].size = std::numeric_limits<float>::infinity(); },
       "not a finite number"},
      {"duration", [](SPtcFile& f) { f.emitters[0].duration = 0; }, "times are not positive"},
      {"empty name", [](SPtcFile& f) { f.emitters[0].name.clear(); }, "has no name"},
      // An empty or ".." part sent the emitters' folder walk round one folder until the stack ran
      // out; "." is refused with them.
      {"empty folder part", [](SPtcFile& f) { f.emitters[1].folder = "Fire//Small"; }, "folder has an empty"},
      {"folder from the root", [](SPtcFile& f) { f.emitters[1].folder = "/Fire"; }, "folder has an empty"},
      {"folder upwards", [](SPtcFile& f) { f.emitters[1].folder = ".."; }, "folder has an empty"},
      {"folder of itself", [](SPtcFile& f) { f.emitters[1].folder = "Fire/."; }, "folder has an empty"},
  };
  for (const SCase& c : cases) {
    SPtcFile file;
    std::string error;
    ASSERT_TRUE(ptctest::ParseDescription(kDescription, &file, &error)) << error;
    c.damage(file);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ptctool::WritePtcFile(file, &bytes, &error)) << error;
    hmtest::Reports().clear();
    SPtcFile read;
    EXPECT_FALSE(ReadPtcFile(bytes.data(), bytes.size(), "Bad.ptc", &read)) << c.what;
    EXPECT_TRUE(hmtest::Reported("Damaged particle file Bad.ptc")) << c.what;
    EXPECT_TRUE(hmtest::Reported(c.reason)) << c.what << ": " << (hmtest::Reports().empty() ? "" : hmtest::Reports()[0]);
  }
}

TEST_F(PtcFileTest, HeaderAndCountDamageIsRefused) {
  const std::vector<uint8_t> good = ptctest::BuildPtc(kDescription);
  struct SCase {
    const char* what;
    size_t offset;
    std::vector<uint8_t> bytes;
    const char* reason;
  } cases[] = {
      {"tag", 0, {'P', 'T', 'X'}, "not a particle file"},
      {"version", 4, {2}, "version 2"},
      {"atlas count", 8, {0xFF, 0xFF, 0xFF, 0x7F}, "atlas count"},
      {"emitter count", 12, {0x00, 0x10, 0, 0}, "emitter count"},
      {"emitter count beyond the bytes", 12, {0x00, 0x0F, 0, 0}, "emitter count"},
  };
  for (const SCase& c : cases) {
    std::vector<uint8_t> bytes = good;
    std::memcpy(bytes.data() + c.offset, c.bytes.data(), c.bytes.size());
    hmtest::Reports().clear();
    SPtcFile read;
    EXPECT_FALSE(ReadPtcFile(bytes.data(), bytes.size(), "Head.ptc", &read)) << c.what;
    EXPECT_TRUE(hmtest::Reported(c.reason)) << c.what << ": " << (hmtest::Reports().empty() ? "" : hmtest::Reports()[0]);
  }
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  SPtcFile read;
  EXPECT_FALSE(ReadPtcFile(longer.data(), longer.size(), "Long.ptc", &read));
  EXPECT_TRUE(hmtest::Reported("bytes follow the last emitter"));
}

}  // namespace
