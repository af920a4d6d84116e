// How much of a thing to find shows: its own pixels not covered by what is drawn after it, read
// from a built layout and its raw masks.

#include "tools/scenecheck/Cover.h"

#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace Cover;

// A w x h layer at (left, top) whose pixels all have one mask value.
SLayer Layer(const char* name, int left, int top, int w, int h, uint8_t value = 255, bool visible = true) {
  SLayer layer;
  layer.name = name;
  layer.visible = visible;
  layer.left = left;
  layer.top = top;
  layer.width = w;
  layer.height = h;
  layer.mask.assign(size_t(w) * size_t(h), value);
  return layer;
}

TEST(CoverTest, OnlyShownPicturesDrawnAfterAThingWithSolidPixelsCoverIt) {
  struct SCase {
    const char* what;
    std::vector<SLayer> above;  // drawn after the thing, a 10 x 10 square at (0, 0)
    std::vector<SLayer> below;  // drawn before it
    double shown;
  };
  const SCase kCases[] = {
      {"nothing over it", {}, {}, 1.0},
      {"its left half covered", {Layer("Sack", -5, 0, 10, 10)}, {}, 0.5},
      {"two covers overlapping count once", {Layer("Sack", 0, 0, 5, 10), Layer("Pot", 0, 0, 5, 5)}, {}, 0.5},
      {"a cover drawn before it", {}, {Layer("Sack", 0, 0, 10, 10)}, 1.0},
      {"a hidden cover", {Layer("Key", 0, 0, 10, 10, 255, false)}, {}, 1.0},
      {"a cover's soft shadow", {Layer("Sack", 0, 0, 10, 10, kSolid - 1)}, {}, 1.0},
      {"wholly covered", {Layer("Plank", -2, -2, 20, 20)}, {}, 0.0},
  };
  for (const SCase& c : kCases) {
    SCOPED_TRACE(c.what);
    std::vector<SLayer> layers = c.below;
    layers.push_back(Layer("Thing", 0, 0, 10, 10));
    layers.insert(layers.end(), c.above.begin(), c.above.end());
    EXPECT_DOUBLE_EQ(ShownShare(layers, c.below.size()), c.shown);
  }
}

TEST(CoverTest, OnlyAThingsOwnSolidPixelsAreMeasured) {
  std::vector<SLayer> layers = {Layer("Thing", 0, 0, 10, 10, 0), Layer("Sack", 0, 0, 5, 10)};
  for (int y = 0; y < 10; ++y) layers[0].mask[size_t(y) * 10 + 7] = 255;  // a line in the right half
  EXPECT_DOUBLE_EQ(ShownShare(layers, 0), 1.0);
  layers[0].mask.assign(100, 0);
  EXPECT_DOUBLE_EQ(ShownShare(layers, 0), 0.0);  // nothing of its own
}

class CoverLayoutTest : public CToolTest {
 protected:
  CoverLayoutTest() : CToolTest("scenecheck") {}

  // A 1280 x 720 layout with a background and two 4 x 2 pixel sprites: the thing at the screen's
  // top left corner, the cover over its right half.
  void WriteLayout(size_t maskBytes) {
    std::filesystem::create_directories(Path("Art/Search"));
    const double unit = 2.0 / 720.0;
    const auto object = [&](const char* name, double x, double y) {
      return std::string("<Object Type=\"Sprite2D\" Name=\"") + name + "\"><Resource Type=\"Texture\">S_" + name +
             "</Resource><Visible>True</Visible><Pos>" + std::to_string((x - 640) * unit) + ";" +
             std::to_string((360 - y) * unit) + "</Pos><Size>" + std::to_string(4 * unit) + ";" +
             std::to_string(2 * unit) + "</Size></Object>";
    };
    Write("Search.2dl",
          "<Layout2D><Resources><Directory Path=\"Art\\Search\\\">"
          "<Texture Name=\"S_Thing\" FileName=\"Thing\"><Mask File=\"Thing.msk\"/></Texture>"
          "<Texture Name=\"S_Sack\" FileName=\"Sack\"><Mask File=\"Sack.msk\"/></Texture>"
          "</Directory></Resources><Layout>"
          "<Object Type=\"Sprite2D\" Name=\"Background\"><Resource Type=\"Texture\">S_Background</Resource>"
          "<Visible>True</Visible><Pos>0;0</Pos><Size>3.5556;2</Size></Object>" +
              object("Thing", 2, 1) + object("Sack", 4, 1) + "</Layout></Layout2D>");
    // The thing's bottom row is solid, its top row empty; the file holds the bottom row first.
    Write("Art/Search/Thing.msk", std::string("\xff\xff\xff\xff\0\0\0\0", 8).substr(0, maskBytes));
    Write("Art/Search/Sack.msk", std::string(8, '\xff'));
  }
};

TEST_F(CoverLayoutTest, ReadsPicturesInDrawingOrderWithTheirMasksTopRowFirst) {
  WriteLayout(8);
  std::vector<SLayer> layers;
  std::string error;
  ASSERT_TRUE(ReadLayers(m_folder, Path("Search.2dl"), &layers, &error)) << error;
  ASSERT_EQ(layers.size(), 3u);
  EXPECT_EQ(layers[0].name, "Background");
  EXPECT_TRUE(layers[0].mask.empty());
  EXPECT_EQ(layers[1].name, "Thing");
  EXPECT_EQ(layers[1].left, 0);
  EXPECT_EQ(layers[1].top, 0);
  EXPECT_EQ(layers[1].mask[0], 0);    // top row
  EXPECT_EQ(layers[1].mask[4], 255);  // bottom row
  EXPECT_EQ(layers[2].left, 2);
  EXPECT_DOUBLE_EQ(ShownShare(layers, 1), 0.5);
}

TEST_F(CoverLayoutTest, AMaskOfTheWrongSizeIsNamed) {
  WriteLayout(6);
  std::vector<SLayer> layers;
  std::string error;
  EXPECT_FALSE(ReadLayers(m_folder, Path("Search.2dl"), &layers, &error));
  EXPECT_NE(error.find("\"Thing\""), std::string::npos) << error;
  EXPECT_NE(error.find("6 values, not the 4 x 2"), std::string::npos) << error;
}

}  // namespace
