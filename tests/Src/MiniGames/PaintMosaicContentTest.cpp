// The paint puzzle's mosaic as the build draws it: its sixty masks, placed where the layout
// shows the pieces, touch exactly where the puzzle's table of neighbours says, so the rule the
// player is held to is the one the picture shows.

#include "Src/MiniGames/Vey_MiniGame4Neighbours.h"
#include "tests/Src/Investigation/BuiltContentKit.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

using namespace Vey;

namespace {

constexpr int kScreenWidth = 1280, kScreenHeight = 720;
constexpr float kPixelsPerUnit = kScreenHeight / 2.0f;
// Pieces closer than this many pixels (a pixel or so of leading between) touch.
constexpr int kTouching = 2;

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The decimal number after a tag of the mask's size text; -1 without the tag.
int SizeAfter(const std::string& text, const std::string& tag) {
  const size_t at = text.find(tag);
  return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + tag.size());
}

class PaintMosaicContentTest : public overlaytest::CBuiltContentFixture {
 protected:
  // Every piece's mask laid on the screen: the piece (1-based) each pixel belongs to, 0 for
  // none. Two pieces claiming one pixel are noted as touching.
  void LayPieces(Ombrel::CLayout2D& layout) {
    m_owner.assign(size_t(kScreenWidth * kScreenHeight), 0);
    for (int piece = 1; piece <= kMosaicPieceCount; ++piece) {
      const std::string name = "root/" + std::to_string(piece);
      const auto* box = dynamic_cast<const Ombrel::SLayoutBox*>(layout.FindItem(name.c_str()));
      ASSERT_NE(box, nullptr) << name;
      const std::string base = m_root + "Art/Environments/Game04/Textures/Temp/" + std::to_string(piece);
      const std::vector<uint8_t> raw = ReadBytes(base + ".raw"), tif = ReadBytes(base + ".tif");
      const std::string size(tif.begin(), tif.end());
      const int width = SizeAfter(size, "<tiff:ImageWidth>"), height = SizeAfter(size, "<tiff:ImageLength>");
      ASSERT_GT(width, 0) << name;
      ASSERT_EQ(raw.size(), size_t(width) * size_t(height)) << name;
      EXPECT_EQ(std::lround(box->size.x * kPixelsPerUnit), width) << name << ": the mask spans the piece's box";
      EXPECT_EQ(std::lround(box->size.y * kPixelsPerUnit), height) << name;
      const int left = int(std::lround(kScreenWidth / 2.0f + box->position.x * kPixelsPerUnit)) - width / 2;
      const int top = int(std::lround(kScreenHeight / 2.0f - box->position.y * kPixelsPerUnit)) - height / 2;
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
          if (raw[size_t(y * width + x)] == 0) continue;
          ASSERT_TRUE(left + x >= 0 && left + x < kScreenWidth && top + y >= 0 && top + y < kScreenHeight) << name;
          int& owner = m_owner[size_t((top + y) * kScreenWidth + left + x)];
          if (owner != 0) m_contacts.insert({owner, piece});
          owner = piece;
        }
    }
  }
  // Adds every pair of pieces with pixels within kTouching of each other.
  void FindContacts() {
    for (int y = 0; y < kScreenHeight; ++y)
      for (int x = 0; x < kScreenWidth; ++x) {
        const int a = m_owner[size_t(y * kScreenWidth + x)];
        if (a == 0) continue;
        for (int dy = -kTouching; dy <= kTouching; ++dy)
          for (int dx = -kTouching; dx <= kTouching; ++dx) {
            const int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= kScreenWidth || ny >= kScreenHeight) continue;
            const int b = m_owner[size_t(ny * kScreenWidth + nx)];
            if (b != 0 && b != a) m_contacts.insert({std::min(a, b), std::max(a, b)});
          }
      }
  }

  std::vector<int> m_owner;
  std::set<std::pair<int, int>> m_contacts;
};

TEST_F(PaintMosaicContentTest, PiecesTouchExactlyWhereTheTableSaysTheyDo) {
  LoadContent("App/Configs/MiniGame4_Resources.xml");
  Ombrel::CLayout2D* layout = Layout("Game04");
  ASSERT_NE(layout, nullptr) << hmtest::CReportScope::All();
  LayPieces(*layout);
  if (HasFatalFailure()) return;
  FindContacts();

  std::set<std::pair<int, int>> table;
  for (int piece = 1; piece <= kMosaicPieceCount; ++piece)
    for (int32_t neighbour : kMosaicNeighbours[piece - 1]) table.insert({std::min(piece, neighbour), std::max(piece, neighbour)});
  ASSERT_EQ(table.size(), 115u);
  for (const auto& [a, b] : table) EXPECT_TRUE(m_contacts.count({a, b})) << "pieces " << a << " and " << b << " do not touch";
  for (const auto& [a, b] : m_contacts) EXPECT_TRUE(table.count({a, b})) << "pieces " << a << " and " << b << " touch";
}

}  // namespace
