// Texture atlas files, the model cache's folder and the vector bounds.

#include <gtest/gtest.h>

#include "Quor/CModelManager.h"
#include "Quor/TextureAtlas.h"
#include "Quor/Vector4MinMax.h"
#include "tests/Quor/VfsTestKit.h"
#include "tests/support/ByteWriter.h"
#include "tools/modeltool/ModelWriters.h"

namespace {

SAtlasDescription ThreeIcons() {
  SAtlasDescription d;
  d.value = 2.5f;
  const char* names[] = {"Key", "Lamp", "Feather"};
  for (int i = 0; i < 3; ++i) {
    SAtlasEntryDescription entry;
    entry.name = names[i];
    for (int v = 0; v < 8; ++v) entry.values[v] = float(i * 10 + v);
    d.entries.push_back(entry);
  }
  return d;
}

std::vector<uint8_t> AtlasBytes(const SAtlasDescription& description) {
  std::vector<uint8_t> bytes;
  std::string error;
  EXPECT_TRUE(WriteAtlas(description, bytes, error)) << error;
  return bytes;
}

TEST(TextureAtlasTest, EntriesAreFoundByNameWithTheirData) {
  const std::vector<uint8_t> bytes = AtlasBytes(ThreeIcons());
  STextureAtlas atlas;
  ASSERT_TRUE(ParseTextureAtlas(bytes.data(), bytes.size(), "icons.atlas", &atlas));
  EXPECT_EQ(atlas.entryCount, 3u);
  EXPECT_FLOAT_EQ(atlas.value, 2.5f);
  const struct {
    const char* name;
    float first, last;
  } cases[] = {{"Key", 0, 7}, {"LAMP", 10, 17}, {"feather", 20, 27}};
  for (const auto& c : cases) {
    const STextureAtlasEntry* entry = FindAtlasEntry(atlas, c.name);
    ASSERT_NE(entry, nullptr) << c.name;
    EXPECT_FLOAT_EQ(entry->GetFloat(0), c.first) << c.name;
    EXPECT_FLOAT_EQ(entry->GetFloat(7), c.last) << c.name;
  }
  EXPECT_EQ(FindAtlasEntry(atlas, "Ke"), nullptr);
  EXPECT_EQ(FindAtlasEntry(atlas, "Keys"), nullptr);
  EXPECT_EQ(FindAtlasEntry(atlas, nullptr), nullptr);

  // Moving the atlas keeps the names where the entries point.
  STextureAtlas moved = std::move(atlas);
  EXPECT_STREQ(FindAtlasEntry(moved, "lamp")->name, "Lamp");
}

TEST(TextureAtlasTest, AnEmptyAtlasStillReadsItsValueAndNames) {
  SAtlasDescription d;
  d.value = -1.0f;
  std::vector<uint8_t> bytes = AtlasBytes(d);
  // Give the empty atlas a names block of its own.
  hmtest::StoreU32(bytes, 12, 4);
  bytes.insert(bytes.end(), {'o', 'l', 'd', 0});
  STextureAtlas atlas;
  ASSERT_TRUE(ParseTextureAtlas(bytes.data(), bytes.size(), "empty.atlas", &atlas));
  EXPECT_EQ(atlas.entryCount, 0u);
  EXPECT_FLOAT_EQ(atlas.value, -1.0f);
  EXPECT_EQ(atlas.names.size(), 4u);
}

TEST(TextureAtlasTest, NameOffsetsMayShareNamesButNeverLeaveTheBlock) {
  std::vector<uint8_t> good = AtlasBytes(ThreeIcons());
  const size_t names = 16, namesSize = 4 + 5 + 8, entries = names + namesSize;
  // The third entry points at offset 0 and names the first name; the second at the tail of "Lamp".
  hmtest::StoreU32(good, entries + 2 * 36, 0);
  hmtest::StoreU32(good, entries + 1 * 36, 4 + 2);
  STextureAtlas atlas;
  ASSERT_TRUE(ParseTextureAtlas(good.data(), good.size(), "shared.atlas", &atlas));
  EXPECT_STREQ(atlas.entries[2].name, "Key");
  EXPECT_STREQ(atlas.entries[1].name, "mp");

  std::vector<uint8_t> unterminated = AtlasBytes(ThreeIcons());
  unterminated[entries - 1] = 'x';  // "Feather" now runs to the end of the block

  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* expected;
  } cases[] = {
      {"offset past the block",
       [&] {
         auto b = AtlasBytes(ThreeIcons());
         hmtest::StoreU32(b, entries + 36, 17);
         return b;
       }(),
       "entry 1 names offset 17"},
      {"huge offset",
       [&] {
         auto b = AtlasBytes(ThreeIcons());
         hmtest::StoreU32(b, entries, 0xFFFFFFF0u);
         return b;
       }(),
       "entry 0 names offset 4294967280"},
      {"unterminated name", unterminated, "entry 2 names offset 9"},
      {"names block larger than the file",
       [&] {
         auto b = AtlasBytes(ThreeIcons());
         hmtest::StoreU32(b, 12, 0x7FFFFFFF);
         return b;
       }(),
       "names block runs past the end"},
      {"more entries than the file holds",
       [&] {
         auto b = AtlasBytes(ThreeIcons());
         b[6] = 0xFF;
         b[7] = 0xFF;
         return b;
       }(),
       "entries: 65535 records"},
      {"cut inside the entries",
       [&] {
         auto b = AtlasBytes(ThreeIcons());
         b.resize(b.size() - 5);
         return b;
       }(),
       "entries: 3 records"},
      {"cut inside the header", {'A', 'T', 'L', 'S', 0, 1, 3}, "entry count runs past the end"},
  };
  for (const auto& c : cases) {
    vfstest::ReportCapture reports;
    STextureAtlas damaged;
    EXPECT_FALSE(ParseTextureAtlas(c.bytes.data(), c.bytes.size(), "Atlases/bad.atlas", &damaged)) << c.what;
    EXPECT_TRUE(damaged.entries.empty()) << c.what;
    EXPECT_EQ(damaged.entryCount, 0u) << c.what;
    EXPECT_NE(reports.All().find("Atlases/bad.atlas - Damaged texture atlas file"), std::string::npos)
        << reports.All();
    EXPECT_NE(reports.All().find(c.expected), std::string::npos) << c.what << ": " << reports.All();
  }
}

TEST(TextureAtlasTest, AFileOfAnotherKindStopsTheProgram) {
  const std::vector<uint8_t> bytes = {'B', 'A', 'N', ' ', 0, 1, 0, 0};
  EXPECT_EXIT(
      {
        STextureAtlas atlas;
        ParseTextureAtlas(bytes.data(), bytes.size(), "Atlases/walk.atlas", &atlas);
      },
      ::testing::ExitedWithCode(3), "Atlases/walk.atlas - Not a texture atlas file");
}

TEST(TextureAtlasTest, AtlasesLoadThroughTheFileSystemAndAMissingOneIsReported) {
  vfstest::ArchiveFlag plain(false);
  const std::string folder = vfstest::MakeTempFolder();
  vfstest::WriteBytes(folder + "/Content/Atlases/Icons.atlas", AtlasBytes(ThreeIcons()));
  CVFS vfs((folder + "/Content").c_str());
  g_pVFS = &vfs;

  STextureAtlas atlas;
  EXPECT_TRUE(LoadTextureAtlas("Atlases/Icons.atlas", &atlas));
  EXPECT_NE(FindAtlasEntry(atlas, "Lamp"), nullptr);

  vfstest::ReportCapture reports;
  EXPECT_FALSE(LoadTextureAtlas("Atlases/Gone.atlas", &atlas));
  EXPECT_TRUE(atlas.entries.empty());
  EXPECT_NE(reports.All().find("Atlases/Gone.atlas - Texture atlas file not found"), std::string::npos)
      << reports.All();
  g_pVFS = nullptr;
}

TEST(ModelCacheTest, TheFolderEndsInOneBackslashAndFitsItsBuffer) {
  const struct {
    std::string given, kept;
  } cases[] = {
      {"Models", "Models\\"},
      {"Art\\Models\\", "Art\\Models\\"},
      {"", ""},
      {std::string(300, 'm'), std::string(254, 'm') + "\\"},
      {std::string(254, 'm') + "\\", std::string(254, 'm') + "\\"},
  };
  for (const auto& c : cases) {
    CModelManager cache(c.given.c_str());
    EXPECT_EQ(std::string(cache.GetDirectory()), c.kept) << c.given.size();
    EXPECT_FALSE(cache.IsKeyWithDirectory());
    EXPECT_TRUE(cache.GetTable().IsEmpty());
    EXPECT_EQ(cache.GetTable().GetBucketCount(), 113u);
  }
  CModelManager cache(nullptr);
  EXPECT_STREQ(cache.GetDirectory(), "");
}

TEST(VectorBoundsTest, MinimumAndMaximumTakeEveryComponentOnItsOwn) {
  const Vector4 a{1, -2, 3, -4}, b{-1, 2, -3, 4};
  const Vector4 low = Vector4Min(a, b), high = Vector4Max(a, b);
  EXPECT_EQ((std::vector<float>{low.x, low.y, low.z, low.w}), (std::vector<float>{-1, -2, -3, -4}));
  EXPECT_EQ((std::vector<float>{high.x, high.y, high.z, high.w}), (std::vector<float>{1, 2, 3, 4}));
}

}  // namespace
