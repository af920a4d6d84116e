#include "Quor/CStringHash.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using IntTable = CStringHash<int>;

std::vector<std::string> KeysInOrder(const IntTable& table) {
  std::vector<std::string> keys;
  for (const auto& node : table) keys.push_back(node.GetKey());
  return keys;
}

std::vector<std::string> ChainOf(const IntTable& table, uint32_t bucket) {
  std::vector<std::string> keys;
  for (auto* node = table.GetBucket(bucket); node; node = node->chainNext) keys.push_back(node->GetKey());
  return keys;
}

TEST(StringHashTest, HashFollowsTheShiftAndReduceFormula) {
  const struct {
    const char* key;
    uint32_t buckets, expected;
  } cases[] = {
      {"", 113, 0},
      {"A", 113, 65},
      // 65 * 32 + 66 = 2146; 2146 mod 113 = 112
      {"AB", 113, 112},
      // ((83 * 32 + 84) * 32 + 79) * 32 + 78 = 2808366; * 32 + 69 = 89867781 >= 0x3FFFFE0,
      // reduced: 89867781 - 113 * 795290 = 11
      {"STONE", 113, 11},
      // The same reduction with 7 buckets: 89867781 mod 7 = 3
      {"STONE", 7, 3},
      // 0xE9 is taken as -23: h = 0xFFFFFFE9 = 4294967273, reduced mod 113 = 106
      {"\xE9", 113, 106},
      // then 106 * 32 + 65 = 3457; 3457 mod 113 = 67
      {"\xE9" "A", 113, 67},
      // Lower case hashes as upper case.
      {"stone", 113, 11},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IntTable::Hash(c.key, c.buckets), c.expected) << c.key << " / " << c.buckets;
  }
}

TEST(StringHashTest, KeysAreStoredUpperCaseAndFoundInAnyCase) {
  IntTable table;
  EXPECT_EQ(table.GetBucketCount(), 113u);
  auto* stone = table.Insert("Stone", 1);
  EXPECT_STREQ(stone->GetKey(), "STONE");
  EXPECT_EQ(table.GetBucket(11), stone);
  for (const char* key : {"Stone", "STONE", "stone"}) EXPECT_EQ(table.Find(key), stone) << key;
  EXPECT_EQ(table.Find(nullptr), nullptr);
  EXPECT_EQ(table.Find("Ston"), nullptr);
  EXPECT_EQ(table.Find("Stones"), nullptr);

  CStringHash<int> small(7);
  EXPECT_EQ(small.GetBucket(3), small.Insert("stone", 2));
}

TEST(StringHashTest, LongKeysAreComparedWhole) {
  IntTable table;
  std::string longKey(300, 'k');
  std::string twin = longKey;
  twin.back() = 'q';
  auto* first = table.Insert(longKey.c_str(), 1);
  auto* second = table.Insert(twin.c_str(), 2);
  EXPECT_EQ(table.Find(longKey.c_str()), first);
  EXPECT_EQ(table.Find(twin.c_str()), second);
  EXPECT_EQ(table.Find(longKey.substr(0, 255).c_str()), nullptr);
}

TEST(StringHashTest, DuplicatesAreKeptAndTheOldestIsFound) {
  IntTable table;
  auto* older = table.Insert("Rock", 1);
  auto* newer = table.Insert("ROCK", 2);
  EXPECT_EQ(table.GetCount(), 2u);
  EXPECT_EQ(table.Find("rock"), older);
  EXPECT_TRUE(table.RemoveNode("rock"));
  EXPECT_EQ(table.Find("rock"), newer);
  EXPECT_EQ(table.GetCount(), 1u);
}

// "AC", "DT", "HE" and "OG" all hash to bucket 0: 65*32+67 = 2147 = 19*113, 68*32+84 = 2260
// = 20*113, 72*32+69 = 2373 = 21*113, 79*32+71 = 2599 = 23*113.
TEST(StringHashTest, RemovalKeepsChainsAndOrderIntact) {
  IntTable table;
  table.Insert("AC", 1);
  table.Insert("Stone", 2);
  table.Insert("DT", 3);
  table.Insert("HE", 4);
  ASSERT_EQ(ChainOf(table, 0), (std::vector<std::string>{"AC", "DT", "HE"}));

  // The only node of its bucket.
  EXPECT_TRUE(table.RemoveNode("stone"));
  EXPECT_EQ(table.GetBucket(11), nullptr);

  // The last node of a three-node chain: the next insert goes behind the second.
  EXPECT_TRUE(table.RemoveNode("he"));
  EXPECT_EQ(table.GetBucket(0)->chainLast, table.Find("DT"));
  table.Insert("OG", 5);
  EXPECT_EQ(ChainOf(table, 0), (std::vector<std::string>{"AC", "DT", "OG"}));

  // The first node of a chain hands its chain-last field on.
  EXPECT_TRUE(table.RemoveNode("ac"));
  EXPECT_EQ(table.GetBucket(0), table.Find("DT"));
  EXPECT_EQ(table.GetBucket(0)->chainLast, table.Find("OG"));
  table.Insert("KV", 6);  // 75*32+86 = 2486 = 22*113
  EXPECT_EQ(ChainOf(table, 0), (std::vector<std::string>{"DT", "OG", "KV"}));

  EXPECT_EQ(KeysInOrder(table), (std::vector<std::string>{"DT", "OG", "KV"}));
  EXPECT_EQ(table.First()->previous, nullptr);
  EXPECT_EQ(table.Last()->next, nullptr);
  EXPECT_EQ(table.Last()->value, 6);

  // An absent key changes nothing.
  EXPECT_FALSE(table.RemoveNode("absent"));
  EXPECT_FALSE(table.RemoveNode(nullptr));
  EXPECT_EQ(table.GetCount(), 3u);
}

TEST(StringHashTest, ClearEmptiesEveryBucketForReuse) {
  IntTable table;
  for (const char* key : {"a", "b", "c"}) table.Insert(key, 0);
  table.Clear();
  EXPECT_EQ(table.GetCount(), 0u);
  EXPECT_EQ(table.First(), nullptr);
  EXPECT_EQ(table.Find("a"), nullptr);
  table.Insert("b", 9);
  EXPECT_EQ(KeysInOrder(table), (std::vector<std::string>{"B"}));
}

TEST(StringHashTest, TwoValueNodesHoldBothValues) {
  CStringHash<SValuePair<const char*, int>> table;
  const char* texture = "texture record";
  auto* node = table.InsertPair("Dot.mpt", texture, 3);
  EXPECT_EQ(table.Find("dot.MPT"), node);
  EXPECT_EQ(node->value.first, texture);
  EXPECT_EQ(node->value.second, 3);
}

}  // namespace
