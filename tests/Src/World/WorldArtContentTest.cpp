// The backgrounds of the world's later places, close-ups and searches as the build draws them
// (build/content): each is a picture of its own with lights and shadows, so a player can tell
// one place from another, not one dusk plate drawn again and again. And each close-up of the
// later places is drawn as the spot of its place it opens from, nearer.

#include "Quor/TextureFormats.h"
#include "Src/World/Vey_Map.h"
#include "tests/support/ProgramRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kThumbWidth = 32;
constexpr int kThumbHeight = 16;

// A background, named by its layout, and its mean colour over a coarse grid: red, green and
// blue (0 to 255) of each cell, rows from the top.
struct SBackground {
  std::string name;
  std::vector<double> thumb;
};

double Brightness(const double* cell) { return 0.299 * cell[0] + 0.587 * cell[1] + 0.114 * cell[2]; }

std::string Numbered(const char* prefix, int number) {
  char name[32];
  std::snprintf(name, sizeof(name), "%s%02d", prefix, number);
  return name;
}

std::vector<double> Thumb(const STexturePicture& picture) {
  std::vector<double> sums(kThumbWidth * kThumbHeight * 3, 0.0);
  std::vector<int> counts(kThumbWidth * kThumbHeight, 0);
  for (uint32_t y = 0; y < picture.imageHeight; ++y) {
    for (uint32_t x = 0; x < picture.imageWidth; ++x) {
      const uint8_t* texel = &picture.texels[(size_t(y) * picture.width + x) * 4];  // B, G, R, A
      const size_t cell = (y * kThumbHeight / picture.imageHeight) * kThumbWidth + x * kThumbWidth / picture.imageWidth;
      for (int channel = 0; channel < 3; ++channel) sums[cell * 3 + channel] += texel[2 - channel];
      ++counts[cell];
    }
  }
  for (size_t i = 0; i < sums.size(); ++i) sums[i] /= std::max(counts[i / 3], 1);
  return sums;
}

// `picture` is the background's path below the environments' folder, without ".dctz".
bool LoadBackground(const std::string& picture, SBackground& out) {
  const std::string path = HM_BINARY_DIR "/content/Art/Environments/" + picture + ".dctz";
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  STexturePicture decoded;
  if (bytes.empty() || !DecodeDCTZFile(bytes.data(), bytes.size(), path.c_str(), decoded)) return false;
  out = {picture, Thumb(decoded)};
  return true;
}

// The share of the grid's cells whose colour differs clearly between two backgrounds. One
// picture drawn again with another label differs only where the label lies.
double ShareOfCellsDiffering(const SBackground& a, const SBackground& b) {
  int differing = 0;
  for (size_t cell = 0; cell < a.thumb.size(); cell += 3) {
    double most = 0.0;
    for (size_t channel = 0; channel < 3; ++channel)
      most = std::max(most, std::abs(a.thumb[cell + channel] - b.thumb[cell + channel]));
    if (most >= 8.0) ++differing;
  }
  return double(differing) / double(a.thumb.size() / 3);
}

// The story's places S06 .. S33, close-ups I02 .. I29, the rooms of the later searches S02 ..
// S09 (a search's visits share their room's backdrop) and the bonus chapter's close-ups I02 .. I05.
std::vector<SBackground> WorldBackgrounds() {
  std::vector<std::string> pictures;
  auto addPlace = [&](const std::string& folder, const std::string& name) { pictures.push_back(folder + "/" + name + "/" + name); };
  for (int n = 6; n <= 33; ++n) addPlace("World", Numbered("Scene", n));
  for (int n = 2; n <= 29; ++n) addPlace("World", Numbered("Intermediate", n));
  for (int n = 2; n <= 9; ++n) pictures.push_back(Numbered("Search", n) + "/Room");
  for (int n = 2; n <= 5; ++n) addPlace("Collectors", Numbered("Intermediate", n));
  std::vector<SBackground> backgrounds;
  for (const std::string& picture : pictures) {
    SBackground background;
    EXPECT_TRUE(LoadBackground(picture, background)) << picture;
    backgrounds.push_back(background);
  }
  return backgrounds;
}

// Each has dark shadows and lit parts: between its darker and its brighter cells lies a real
// step of brightness.
TEST(WorldArtContentTest, EveryBackgroundHasLightAndShadow) {
  for (const SBackground& background : WorldBackgrounds()) {
    if (background.thumb.empty()) continue;
    std::vector<double> sorted;
    for (size_t cell = 0; cell < background.thumb.size(); cell += 3) sorted.push_back(Brightness(&background.thumb[cell]));
    std::sort(sorted.begin(), sorted.end());
    const double dark = sorted[sorted.size() / 10], light = sorted[sorted.size() * 9 / 10];
    EXPECT_GE(light - dark, 20.0) << background.name;
  }
}

// No two places look alike: every pair differs clearly over a good part of the picture.
TEST(WorldArtContentTest, NoTwoPlacesShareAPicture) {
  const std::vector<SBackground> backgrounds = WorldBackgrounds();
  for (size_t i = 0; i < backgrounds.size(); ++i) {
    for (size_t j = i + 1; j < backgrounds.size(); ++j) {
      if (backgrounds[i].thumb.empty() || backgrounds[j].thumb.empty()) continue;
      EXPECT_GE(ShareOfCellsDiffering(backgrounds[i], backgrounds[j]), 0.3)
          << backgrounds[i].name << " and " << backgrounds[j].name;
    }
  }
}

// A picture of the world's description (content/App/Layouts/World.txt): the description it is
// drawn from and the values it is drawn with.
struct SDrawn {
  std::string art;
  std::map<std::string, std::string> values;
};

// The layouts' backgrounds ("blank" lines, by layout) and their pictures ("sprite" lines, by
// object) of the world's description.
void ReadWorld(const std::string& text, std::map<std::string, SDrawn>& backgrounds, std::map<std::string, SDrawn>& pictures) {
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string kind, name, word;
    words >> kind >> name;
    if (kind != "blank" && kind != "sprite") continue;
    const int skipped = kind == "blank" ? 1 : 4;  // the folder; the place and size
    for (int i = 0; i < skipped; ++i) words >> word;
    SDrawn drawn;
    while (words >> word) {
      const size_t equals = word.find('=');
      if (equals != std::string::npos)
        drawn.values[word.substr(0, equals)] = word.substr(equals + 1);
      else if (word != "hidden")
        drawn.art = word;
    }
    (kind == "blank" ? backgrounds : pictures)[name] = drawn;
  }
}

// The close-up of a place whose spot is a piece of furniture drawn with values (the alcove
// World/Alcove.art, the bureau World/Bureau.art) is that piece's near view (World/AlcoveNear.art,
// World/BureauNear.art) with the same values, in the place's own light (its GLOW) and against
// the place's own wall (BEHIND, one of the colours its backdrop is drawn with). Out of doors the
// alcove stands in a wayside shrine (World/Shrine.art); its near view is the alcove's.
std::string NearViewOf(const std::string& spotArt) {
  if (spotArt == "World/Shrine.art") return "World/AlcoveNear.art";
  return spotArt.substr(0, spotArt.size() - 4) + "Near.art";
}

TEST(WorldArtContentTest, EveryCloseUpIsItsSpotNearer) {
  std::map<std::string, SDrawn> backgrounds, pictures;
  ReadWorld(ReadTextFile(HM_SOURCE_DIR "/content/App/Layouts/World.txt"), backgrounds, pictures);
  Vey::CMap world(false);
  ASSERT_EQ(world.Load(ReadTextFile(HM_SOURCE_DIR "/content/App/Configs/GameInfo.xml")), 0);
  int checked = 0;
  for (uint32_t slot = 0; slot < world.SceneCount(); ++slot)
    for (const Vey::SCloseUpLink& link : world.Scene(slot).closeUps) {
      const std::string place = Numbered("Scene", int(slot) + 1), name = Numbered("Intermediate", int(link.closeUp) + 1);
      if (!backgrounds.count(place) || !pictures.count(link.sprite)) continue;  // a first place's own spot
      ++checked;
      const SDrawn& spot = pictures[link.sprite];
      const SDrawn& closeUp = backgrounds[name];
      const SDrawn& room = backgrounds[place];
      EXPECT_EQ(closeUp.art, NearViewOf(spot.art)) << name << " opens from " << link.sprite << " (" << spot.art << ")";
      for (const auto& [key, value] : spot.values)
        EXPECT_EQ(closeUp.values.count(key) ? closeUp.values.at(key) : "none", value)
            << name << "'s " << key << " is not its spot's (" << link.sprite << ")";
      EXPECT_EQ(closeUp.values.count("GLOW") ? closeUp.values.at("GLOW") : "none", room.values.at("GLOW"))
          << name << "'s light is not its place's (" << place << ")";
      bool wall = false;
      for (const auto& [key, value] : room.values) wall = wall || (closeUp.values.count("BEHIND") && closeUp.values.at("BEHIND") == value);
      EXPECT_TRUE(wall) << name << "'s wall behind is none of its place's colours (" << place << ")";
    }
  EXPECT_EQ(checked, 27);
}

}  // namespace
