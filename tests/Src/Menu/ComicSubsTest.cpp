// The comics' subtitles: which entry shows at a comic time (both bounds shown, the earlier of two
// overlapping entries, nothing in a gap, all measured from the start time the comic keeps in step
// with its clock), and what a damaged document gives: no list for one that does not parse, the
// entries that are whole from one with a broken entry, each problem reported by file.

#include <gtest/gtest.h>

#include "Src/Menu/Vey_ComicSubs.h"
#include "tests/support/engine/ReportScope.h"

#include <string>
#include <vector>

using Vey::CComicSubs;

namespace {

constexpr const char* kSource = "App/Comics/TestSubtitles.xml";

std::vector<std::string> Phrases(const CComicSubs& subs) {
  std::vector<std::string> phrases;
  for (const CComicSubs::SEntry& entry : subs.GetEntries()) phrases.push_back(entry.phrase);
  return phrases;
}

TEST(ComicSubsTest, TheFirstEntryWhoseSpanHoldsTheComicTimeIsShown) {
  CComicSubs subs;
  subs.Load(
      "<Subtitles>"
      "  <TextEntry PhraseID=\"A\" StartTime=\"1\" EndTime=\"3\"/>"
      "  <TextEntry PhraseID=\"B\" StartTime=\"2.5\" EndTime=\"5\"/>"
      "  <TextEntry PhraseID=\"C\" StartTime=\"7.25\" EndTime=\"8\"/>"
      "</Subtitles>",
      nullptr, nullptr, kSource);
  ASSERT_TRUE(subs.IsLoaded());
  subs.SetStartTime(100.0f);
  const struct {
    float comicTime;
    const char* shown;  // null: none
  } cases[] = {
      {0.99f, nullptr}, {1.0f, "A"},  {2.75f, "A"}, {3.0f, "A"},      {3.01f, "B"},     {5.0f, "B"},
      {6.0f, nullptr},  {7.25f, "C"}, {8.0f, "C"},  {8.01f, nullptr}, {-1.0f, nullptr},
  };
  for (const auto& c : cases) {
    const CComicSubs::SEntry* entry = subs.EntryAt(100.0f + c.comicTime);
    if (c.shown) {
      ASSERT_NE(entry, nullptr) << "at comic time " << c.comicTime;
      EXPECT_EQ(entry->phrase, c.shown) << "at comic time " << c.comicTime;
    } else {
      EXPECT_EQ(entry, nullptr) << "at comic time " << c.comicTime;
    }
  }
}

TEST(ComicSubsTest, ADamagedDocumentGivesTheWholeEntriesAndReportsEveryProblemByFile) {
  const struct {
    const char* what;
    const char* xml;
    bool loaded;
    std::vector<std::string> phrases;
    std::vector<std::string> reported;  // each in a report of its own, with the file's name
  } cases[] = {
      {"an empty document", "", false, {}, {"XML error"}},
      {"a document cut short",
       "<Subtitles><TextEntry PhraseID=\"A\" StartTime=\"1\" EndTime=\"2\"/>",
       false,
       {},
       {"XML error"}},
      {"a document without an element", "<!-- nothing but a comment -->", true, {}, {"no root element"}},
      {"a root without entries", "<Subtitles><Note Text=\"later\"/></Subtitles>", true, {}, {}},
      {"an entry without each attribute",
       "<Subtitles><TextEntry StartTime=\"1\" EndTime=\"2\"/><TextEntry PhraseID=\"B\" EndTime=\"2\"/>"
       "<TextEntry PhraseID=\"C\" StartTime=\"1\"/><TextEntry PhraseID=\"D\" StartTime=\"3\" EndTime=\"4\"/>"
       "</Subtitles>",
       true,
       {"D"},
       {"subtitle 0 (line 1) has no \"PhraseID\"", "subtitle 1 (line 1) has no \"StartTime\"",
        "subtitle 2 (line 1) has no \"EndTime\""}},
      {"times that are not numbers",
       "<Subtitles>\n<TextEntry PhraseID=\"A\" StartTime=\"soon\" EndTime=\"2\"/>\n"
       "<TextEntry PhraseID=\"B\" StartTime=\"1\" EndTime=\"2s\"/>\n"
       "<TextEntry PhraseID=\"C\" StartTime=\" 1.5 \" EndTime=\"2e0\"/>\n</Subtitles>",
       true,
       {"C"},
       {"line 2) has the time \"soon\"", "line 3) has the time \"2s\""}},
      {"entries among other elements, nested ones ignored",
       "<Subtitles><Page><TextEntry PhraseID=\"X\" StartTime=\"0\" EndTime=\"1\"/></Page>"
       "<TextEntry PhraseID=\"A\" StartTime=\"0\" EndTime=\"1\" Voice=\"none\"/><Note/>"
       "<TextEntry PhraseID=\"B\" StartTime=\"1\" EndTime=\"2\"/></Subtitles>",
       true,
       {"A", "B"},
       {}},
  };
  for (const auto& c : cases) {
    hmtest::CReportScope reports;
    CComicSubs subs;
    subs.Load(c.xml, nullptr, nullptr, kSource);
    EXPECT_EQ(subs.IsLoaded(), c.loaded) << c.what;
    EXPECT_EQ(Phrases(subs), c.phrases) << c.what;
    ASSERT_EQ(reports.Texts().size(), c.reported.size()) << c.what << "\n" << reports.All();
    for (size_t i = 0; i < c.reported.size(); ++i) {
      EXPECT_NE(reports.Texts()[i].find(kSource), std::string::npos) << c.what << ": " << reports.Texts()[i];
      EXPECT_NE(reports.Texts()[i].find(c.reported[i]), std::string::npos) << c.what << ": " << reports.Texts()[i];
    }
  }
}

TEST(ComicSubsTest, LoadingAgainReplacesTheList) {
  CComicSubs subs;
  subs.Load("<S><TextEntry PhraseID=\"A\" StartTime=\"0\" EndTime=\"1\"/></S>", nullptr, nullptr, kSource);
  hmtest::CReportScope reports;
  subs.Load("<S>", nullptr, nullptr, kSource);
  EXPECT_FALSE(subs.IsLoaded());
  EXPECT_TRUE(subs.GetEntries().empty());
  EXPECT_EQ(subs.EntryAt(0.5f), nullptr);
}

}  // namespace
