// No two places of either story look alike at a glance: every place's first view (its layout's
// background and the pictures it shows before anything is done, drawn as the game draws them,
// over the whole 16:9 screen squeezed into the 64 x 64 test frame) is cut into a coarse grid of
// brightness, which is set to a mean of 0 and a spread of 1, so that a place made from another
// by a change of tint alone measures as the same. Two places are alike when the root mean
// square of the difference of their grids stays below kLeast; every such pair is named.

#include "Src/Location/Vey_Scene.h"
#include "Src/Investigation/Vey_OverlayDrawing.h"
#include "tests/Src/Investigation/BuiltContentKit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace Vey;

namespace {

constexpr int kCells = 16;        // the grid's cells across and down, 4 x 4 pixels each
constexpr double kLeast = 0.55;  // the least difference two places may have (0: alike, 2: opposite)
constexpr int kMainPlaces = 33;   // "Scene01" .. "Scene33" of the main story
constexpr int kBonusPlaces = 5;   // "Scene01" .. "Scene05" of the bonus chapter

struct SPlaceView {
  std::string name;
  std::vector<double> grid;  // kCells x kCells, brightness set to mean 0 and spread 1
};

double Difference(const std::vector<double>& a, const std::vector<double>& b) {
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
  return std::sqrt(sum / a.size());
}

class PlaceLooksContentTest : public overlaytest::CBuiltContentFixture {
 protected:
  // The first view of every place of a story's list: "Scene01" .. "Scene<count>", named with
  // the story's prefix.
  void AddViews(const char* resourceList, const char* story, int count) {
    m_resources.reset();  // its textures go before the texture manager a new load replaces
    LoadContent(resourceList);
    CResourceLayoutShelf shelf(m_resources.get());
    for (int i = 1; i <= count; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "Scene%02d", i);
      Ombrel::CLayout2D* layout = shelf.Load(name);
      ASSERT_NE(layout, nullptr) << story << name << "\n" << hmtest::CReportScope::All();
      m_views.push_back({std::string(story) + name, BrightnessGrid(FirstView(*layout))});
      shelf.Unload(name);
    }
  }
  // The layout's shown pictures in their order over black, as the location's view draws them.
  std::vector<uint8_t> FirstView(const Ombrel::CLayout2D& layout) {
    Ombrel::CSprite2DNode sprite("PlaceView", nullptr);
    BeginFrame(0xFF000000);
    AlphaBlendOn();
    for (uint32_t i = 0; i < layout.GetCount(); ++i) {
      const Ombrel::SLayoutItem* item = layout.GetItem(i);
      if (!item->visible || item->kind == Ombrel::kLayoutText || item->kind == Ombrel::kLayoutGraph) continue;
      DrawLayoutPicture(sprite, *static_cast<const Ombrel::SLayoutBox*>(item), 1.0f);
    }
    return EndFrame();
  }

  // The brightness grid of a frame, set to mean 0 and spread 1 (all 0 for a frame of one shade).
  static std::vector<double> BrightnessGrid(const std::vector<uint8_t>& frame) {
    const int cell = kSize / kCells;
    std::vector<double> grid(kCells * kCells, 0.0);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const rendertest::SRgba p = Pixel(frame, kSize, x, y);
        grid[(y / cell) * kCells + x / cell] += 0.299 * p.r + 0.587 * p.g + 0.114 * p.b;
      }
    double mean = 0;
    for (double v : grid) mean += v / grid.size();
    double spread = 0;
    for (double v : grid) spread += (v - mean) * (v - mean) / grid.size();
    spread = std::sqrt(spread);
    for (double& v : grid) v = spread > 1e-9 ? (v - mean) / spread : 0.0;
    return grid;
  }

  hmtest::CCameraInMode m_wide{kAspectCustom, 16.0f / 9.0f};
  std::vector<SPlaceView> m_views;
};

TEST_F(PlaceLooksContentTest, NoTwoPlacesFirstViewsAreAlike) {
  AddViews("App/Configs/Locations_Resources.xml", "", kMainPlaces);
  AddViews("App/Configs/Collectors/CollectorsGame_Resources.xml", "bonus ", kBonusPlaces);
  double least = 1e9;
  std::string closest, alike;
  for (size_t a = 0; a < m_views.size(); ++a)
    for (size_t b = a + 1; b < m_views.size(); ++b) {
      const double difference = Difference(m_views[a].grid, m_views[b].grid);
      const std::string pair = m_views[a].name + " and " + m_views[b].name;
      if (difference < least) {
        least = difference;
        closest = pair;
      }
      if (difference < kLeast) alike += pair + ": " + std::to_string(difference) + "\n";
    }
  EXPECT_EQ(alike, "") << "places whose first views differ by less than " << kLeast;
  std::printf("the most alike places: %s, %.3f\n", closest.c_str(), least);
}

}  // namespace
