// The backgrounds of the world's later places, close-ups and searches as the build draws them
// (build/content): each is a picture of its own with lights and shadows, so a player can tell
// one place from another, not one dusk plate drawn again and again.

#include "Quor/TextureFormats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
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

}  // namespace
