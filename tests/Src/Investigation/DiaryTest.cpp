// The diary: the catalogue's order, which is the saves' numbering, the pages a profile brings
// and the ones found later, turning with the arrows, the new-entry glow of the display's book,
// and the refusals of pages the diary cannot show.

#include "Src/Investigation/Vey_Diary.h"

#include <gtest/gtest.h>

#include "tests/Src/Investigation/HudTestKit.h"

#include <array>
#include <string>

using namespace Vey;
using hudtest::AddBox;

namespace {

constexpr Vector2 kLeftArrow{-1.2f, -0.8f};
constexpr Vector2 kRightArrow{1.2f, -0.8f};
constexpr Vector2 kClose{1.4f, 0.8f};
constexpr const char* kGlow = "root/Diary/Diary(Glow)";

class DiaryTest : public hudtest::CHudFixture {
 protected:
  void SetUp() override {
    CHudFixture::SetUp();
    AddBox(m_layout, kGlow, {0.0f, -0.78f}, {0.3f, 0.3f})->visible = false;
    AddBox(m_frame, "root/Book", {0, 0}, {3.0f, 1.8f});
    const std::array<std::pair<const char*, Vector2>, 3> controls = {
        {{"LeftArrow", kLeftArrow}, {"RightArrow", kRightArrow}, {"CloseButton", kClose}}};
    for (const auto& control : controls) {
      AddBox(m_frame, std::string("root/") + control.first + "Active", control.second, {0.2f, 0.2f})->visible = false;
      AddBox(m_frame, std::string("root/") + control.first + "Inactive", control.second, {0.2f, 0.2f});
    }
    for (size_t i = 0; i < DiaryPageKeys().size(); ++i) m_catalogue.AddEntry(&m_pages[i], DiaryPageKeys()[i]);
  }

  CDiary& Diary() {
    if (!m_diary)
      m_diary = std::make_unique<CDiary>("Diary", &m_frame, &Hud(), nullptr, nullptr, &m_catalogue, nullptr, nullptr,
                                         m_save.get());
    return *m_diary;
  }
  // The profile's list of owned pages.
  void Own(std::initializer_list<int32_t> indices) {
    for (int32_t index : indices) Profile().diary[Profile().diaryCount++] = index;
  }
  void Press(Vector2 layoutPoint) {
    Diary().ReadInput(ToVirtualScreen(layoutPoint), true, false);
    Diary().Update(0.02f);
    Diary().ReadInput(ToVirtualScreen(layoutPoint), false, true);
    Diary().Update(0.02f);
  }
  void Wait(float seconds) {
    Diary().ReadInput({0, 0}, false, false);
    Diary().Update(seconds);
  }
  void OpenFully() {
    Diary().Open();
    Wait(0.5f);
    ASSERT_EQ(Diary().GetState(), CDiary::kOpen);
  }
  bool Glowing() const { return m_layout.FindItem(kGlow)->visible; }

  Ombrel::CLayout2D m_frame;
  std::array<Ombrel::CLayout2D, 19> m_pages;
  CDiaryEntryList m_catalogue;
  std::unique_ptr<CDiary> m_diary;
};

TEST_F(DiaryTest, TheCatalogueNumbersThePagesAsTheSavesDo) {
  EXPECT_EQ(m_catalogue.GetCount(), 19);
  EXPECT_EQ(m_catalogue.IdOfName("S01_1_Entry"), &m_pages[0]);
  EXPECT_EQ(m_catalogue.IndexOfId(m_catalogue.IdOfName("S35_1_Entry")), 10);
  EXPECT_EQ(m_catalogue.IndexOfId(m_catalogue.IdOfName("CI05_1_Entry")), 18);
  EXPECT_EQ(m_catalogue.IdOfName("s01_1_entry"), nullptr) << "keys match exactly";
  EXPECT_EQ(m_catalogue.IdOfName("S01_1_Entr"), nullptr);
  EXPECT_EQ(m_catalogue.IndexOfId(&m_frame), -1);
  EXPECT_EQ(m_catalogue.FindEntry(19), nullptr);
  EXPECT_EQ(m_catalogue.FindEntry(-1), nullptr);
}

TEST_F(DiaryTest, AnEmptyDiaryShowsOnlyItsFrameAndTurnsNoPage) {
  Diary().LoadEntries();
  OpenFully();
  Press(kLeftArrow);
  Press(kRightArrow);
  EXPECT_EQ(Diary().GetState(), CDiary::kOpen);
  EXPECT_EQ(Diary().GetCurrentPage(), -1);
}

TEST_F(DiaryTest, ALoadedDiaryOpensOnTheNewestPageAndTurnsWithinItsPages) {
  Own({0, 11, 4});
  Diary().LoadEntries();
  ASSERT_EQ(Diary().GetPages().size(), 3u);
  EXPECT_EQ(Diary().GetPages()[2], &m_pages[4]);
  EXPECT_EQ(Diary().GetCurrentPage(), 2);
  OpenFully();

  Press(kRightArrow);
  EXPECT_EQ(Diary().GetState(), CDiary::kOpen) << "no page after the newest";
  EXPECT_EQ(Diary().GetCurrentPage(), 2);

  Press(kLeftArrow);
  EXPECT_EQ(Diary().GetState(), CDiary::kTurning);
  EXPECT_EQ(Diary().GetCurrentPage(), 1);
  EXPECT_EQ(Diary().GetPreviousPage(), 2);
  Press(kClose);  // ignored while turning
  Press(kLeftArrow);
  EXPECT_EQ(Diary().GetCurrentPage(), 1);
  Wait(0.5f);
  EXPECT_EQ(Diary().GetState(), CDiary::kOpen);

  Press(kClose);
  EXPECT_EQ(Diary().GetState(), CDiary::kClosing);
  Wait(0.5f);
  EXPECT_EQ(Diary().GetState(), CDiary::kClosed);
}

TEST_F(DiaryTest, AFoundPageLightsTheBookAndIsShownFirstUnlessAddedSilently) {
  Own({0});
  Diary().LoadEntries();
  Hud().SetDiary(&Diary());
  Diary().AddEntry("S07_1_Entry", true);
  EXPECT_FALSE(Glowing());
  Hud().AddDiaryEntry("I01_1_Entry");  // as the location logic adds it
  EXPECT_TRUE(Glowing());
  EXPECT_EQ(Profile().diaryCount, 3u);
  EXPECT_EQ(Profile().diary[1], 2);
  EXPECT_EQ(Profile().diary[2], 11);
  EXPECT_EQ(Diary().GetCurrentPage(), 2);
  EXPECT_EQ(Diary().GetPages()[2], &m_pages[11]);

  Hud().OpenDiary();
  EXPECT_FALSE(Glowing());
  EXPECT_EQ(Diary().GetState(), CDiary::kOpening);
}

TEST_F(DiaryTest, PagesTheDiaryCannotShowAreRefused) {
  Own({3, 19, -1, 5});  // two indices of no page, from a damaged save
  Diary().LoadEntries();
  EXPECT_EQ(Diary().GetPages().size(), 2u);
  EXPECT_TRUE(hmtest::Reported("diary page 19"));

  Diary().AddEntry("S99_1_Entry", false);
  EXPECT_FALSE(Glowing());
  EXPECT_EQ(Diary().GetPages().size(), 2u);
  EXPECT_EQ(Profile().diaryCount, 4u);

  // A full list takes no further page, so the shown pages stay those a reload brings back.
  Profile().diaryCount = kDiaryCapacity;
  Diary().AddEntry("S01_1_Entry", false);
  EXPECT_EQ(Diary().GetPages().size(), 2u);
  EXPECT_EQ(Profile().diaryCount, kDiaryCapacity);
  EXPECT_FALSE(Glowing());
}

TEST_F(DiaryTest, AnArrowGrowsUnderTheMouseWithinATenthOfASecond) {
  OpenFully();
  Diary().ReadInput(ToVirtualScreen(kLeftArrow), false, false);
  Diary().Update(0.05f);
  EXPECT_NEAR(Diary().GetHover(CDiary::kLeftArrow), 0.5f, 1e-5f);
  Diary().Update(0.06f);
  EXPECT_EQ(Diary().GetHover(CDiary::kLeftArrow), 1.0f);
  EXPECT_EQ(Diary().GetHover(CDiary::kRightArrow), 0.0f);
}

}  // namespace
