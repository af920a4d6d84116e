#include "Quor/CList.h"
#include "Quor/CPtrList.h"
#include "Quor/CStr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Contents(const CList<CStr>& list) {
  std::vector<std::string> items;
  for (const CStr& s : list) items.push_back(s.GetText());
  return items;
}

TEST(CListTest, ErasingTheOnlyNodeEmptiesTheList) {
  CList<int> list;
  list.Erase(list.PushBack(7));
  EXPECT_EQ(list.GetHead(), nullptr);
  EXPECT_EQ(list.GetTail(), nullptr);
  EXPECT_EQ(list.GetCount(), 0u);
  list.PopBack();  // harmless on an empty list
  EXPECT_EQ(list.GetCount(), 0u);
}

TEST(CListTest, EraseHeadMiddleAndTailKeepTheLinks) {
  CList<CStr> playlist;
  auto* first = playlist.PushBack("intro.ogg");
  auto* second = playlist.PushBack("theme.ogg");
  playlist.PushBack("menu.ogg");
  auto* last = playlist.PushBack("outro.ogg");

  playlist.Erase(second);
  EXPECT_EQ(Contents(playlist), (std::vector<std::string>{"intro.ogg", "menu.ogg", "outro.ogg"}));
  playlist.Erase(first);
  EXPECT_EQ(playlist.GetHead()->previous, nullptr);
  playlist.Erase(last);
  EXPECT_EQ(playlist.GetTail()->next, nullptr);
  EXPECT_EQ(Contents(playlist), (std::vector<std::string>{"menu.ogg"}));
  EXPECT_EQ(playlist.GetHead(), playlist.GetTail());
  EXPECT_EQ(playlist.GetCount(), 1u);

  playlist.PushBack("again.ogg");
  playlist.PopBack();
  EXPECT_EQ(Contents(playlist), (std::vector<std::string>{"menu.ogg"}));
  playlist.Clear();
  EXPECT_EQ(playlist.GetCount(), 0u);
  EXPECT_EQ(playlist.GetTail(), nullptr);
}

TEST(CPtrListTest, PushesAtTheFrontAndRemovesByValue) {
  int a = 1, b = 2, c = 3;
  CPtrList<int> list;
  list.PushFront(&a);
  list.PushFront(&b);
  list.PushFront(&c);
  std::vector<int*> order(list.begin(), list.end());
  EXPECT_EQ(order, (std::vector<int*>{&c, &b, &a}));

  EXPECT_TRUE(list.Remove(&b));
  EXPECT_FALSE(list.Remove(&b));
  EXPECT_TRUE(list.Remove(&c));
  EXPECT_EQ(list.GetHead()->value, &a);
  EXPECT_EQ(list.GetCount(), 1u);
  list.Clear();
  EXPECT_EQ(list.GetHead(), nullptr);
  EXPECT_EQ(list.GetCount(), 0u);
}

}  // namespace
