#include "Quor/CStr.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(UpperCaseTableTest, MapsOnlyAsciiLetters) {
  for (int i = 0; i < 256; ++i) {
    int expected = (i >= 'a' && i <= 'z') ? i - 32 : i;
    EXPECT_EQ(g_upperCaseTable[i], expected) << "byte " << i;
  }
}

TEST(UpperCaseTableTest, TextEqualsNoCaseFoldsOnlyAsciiLettersAndNeedsTheWholeText) {
  struct SCase {
    const char* a;
    const char* b;
    bool equal;
  } cases[] = {
      {"Shadow", "sHADOW", true},      {"Default", "default", true}, {"", "", true},
      {"Shadow", "Shadows", false},    {"Shadows", "Shadow", false}, {"a", "", false},
      {"\xC3\xA9", "\xC3\x89", false},  // bytes above 0x7F are compared as they are
      {"[x]", "{X}", false},            // the neighbours of the letters do not fold
      {nullptr, nullptr, true},        {nullptr, "", false},         {"", nullptr, false},
  };
  for (const SCase& c : cases) {
    EXPECT_EQ(TextEqualsNoCase(c.a, c.b), c.equal) << (c.a ? c.a : "null") << " / " << (c.b ? c.b : "null");
  }
}

TEST(CStrTest, NullTextAndCapacityRule) {
  CStr fromNull(static_cast<const char*>(nullptr));
  EXPECT_STREQ(fromNull.GetText(), "(null)");
  EXPECT_EQ(fromNull.GetLength(), 6u);
  EXPECT_EQ(fromNull.GetCapacity(), 32u);

  const struct {
    uint32_t length, capacity;
  } cases[] = {{0, 32}, {31, 32}, {32, 64}, {63, 64}, {64, 96}};
  for (const auto& c : cases) {
    CStr s(std::string(c.length, 'x').c_str());
    EXPECT_EQ(s.GetCapacity(), c.capacity) << "length " << c.length;
  }
  EXPECT_EQ(CStr().GetCapacity(), 32u);

  CStr reset;
  reset.SetText(nullptr);
  EXPECT_STREQ(reset.GetText(), "(null)");
}

TEST(CStrTest, AppendKeepsTheBufferUntilTheCapacityIsExceeded) {
  CStr s("0123456789");
  const char* before = s.GetText();
  s.Append("abcdefghijklmnopqrstu");  // 31 characters: still fits in 32 bytes
  EXPECT_EQ(s.GetLength(), 31u);
  EXPECT_EQ(s.GetCapacity(), 32u);
  EXPECT_EQ(s.GetText(), before);

  s += "!";
  EXPECT_EQ(s.GetCapacity(), 64u);
  EXPECT_STREQ(s.GetText(), "0123456789abcdefghijklmnopqrstu!");

  // Clearing and shrinking keep the grown buffer.
  s.DropRight(30);
  EXPECT_STREQ(s.GetText(), "01");
  s.Clear();
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_EQ(s.GetCapacity(), 64u);
  s.DropRight(5);
  EXPECT_EQ(s.GetLength(), 0u);
}

TEST(CStrTest, AppendingItsOwnTextSurvivesGrowth) {
  CStr s("0123456789abcdefghijklmnopqrstu");
  s.Append(s.GetText());
  EXPECT_EQ(std::string(s.GetText()), "0123456789abcdefghijklmnopqrstu0123456789abcdefghijklmnopqrstu");
  s.AppendString(s);
  EXPECT_EQ(s.GetLength(), 124u);
  s.Append(nullptr);
  EXPECT_EQ(s.GetLength(), 124u);
}

TEST(CStrTest, CopiesKeepCapacityButNeverTokens) {
  CStr source("a,b,c");
  source.Reserve(100);
  source.Split(',');
  ASSERT_EQ(source.GetTokenCount(), 3u);

  CStr copy(source);
  EXPECT_STREQ(copy.GetText(), "a,b,c");
  EXPECT_EQ(copy.GetCapacity(), source.GetCapacity());
  EXPECT_EQ(copy.GetTokenCount(), 0u);

  CStr assigned("x");
  assigned = source;
  EXPECT_TRUE(assigned == source);
  EXPECT_EQ(assigned.GetTokenCount(), 0u);

  const char* buffer = source.GetText();
  const CStr& sameObject = source;
  source = sameObject;
  EXPECT_STREQ(source.GetText(), "a,b,c");
  EXPECT_EQ(source.GetText(), buffer);
  EXPECT_EQ(source.GetTokenCount(), 3u);
}

TEST(CStrTest, MidClampsToTheText) {
  const CStr s("abcdef");
  const struct {
    uint32_t start, count;
    const char* expected;
  } cases[] = {
      {1, 2, "bc"},     {2, CStr::kToEnd, "cdef"}, {4, 10, "ef"}, {0, 0, ""},
      {6, 5, ""},       {7, 5, ""},                {0, 0xFFFFFFFF, "abcdef"},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(s.Mid(c.start, c.count).GetText(), c.expected) << c.start << ", " << c.count;
  }
}

TEST(CStrTest, SplitSkipsEmptyTokensAndReplacesTheLastSplit) {
  CStr s(",a,,b,");
  s.Split(',');
  ASSERT_EQ(s.GetTokenCount(), 2u);
  EXPECT_STREQ(s.GetToken(0)->GetText(), "a");
  EXPECT_STREQ(s.GetToken(1)->GetText(), "b");
  EXPECT_STREQ(s.GetText(), ",a,,b,");
  EXPECT_EQ(s.GetToken(2), nullptr);

  s.SetText("1.5 2 3.25");
  s.Split(' ');
  ASSERT_EQ(s.GetTokenCount(), 3u);
  EXPECT_FLOAT_EQ(s.GetToken(2)->ToFloat(), 3.25f);
  EXPECT_EQ(s.GetToken(1)->ToInt(), 2);

  CStr empty("");
  empty.Split(',');
  EXPECT_EQ(empty.GetTokenCount(), 0u);
  CStr onlyDelimiters(",,,");
  onlyDelimiters.Split(',');
  EXPECT_EQ(onlyDelimiters.GetTokenCount(), 0u);
}

TEST(CStrTest, SearchFamily) {
  const struct {
    const char* text;
    const char* needle;
    int find, reverseFind, findNoCase, reverseFindNoCase;
  } cases[] = {
      {"ABC.DX", "Dx", -1, -1, 4, 4},
      {"abab", "ab", 0, 2, 0, 2},
      {"abc", "abcd", -1, -1, -1, -1},
      {"", "a", -1, -1, -1, -1},
      {"", "", -1, 0, -1, 0},
  };
  for (const auto& c : cases) {
    CStr text(c.text);
    CStr needle(c.needle);
    SCOPED_TRACE(std::string(c.text) + " / " + c.needle);
    EXPECT_EQ(text.Find(needle), c.find);
    EXPECT_EQ(text.ReverseFind(needle), c.reverseFind);
    EXPECT_EQ(text.FindNoCase(needle), c.findNoCase);
    EXPECT_EQ(text.ReverseFindNoCase(needle), c.reverseFindNoCase);
  }

  EXPECT_EQ(CStr("a.b.c").FindLastDot(), 3);
  EXPECT_EQ(CStr("abc").FindLastDot(), -1);
  EXPECT_EQ(CStr("ab c d").FindSpace(), 2);
  EXPECT_EQ(CStr("").FindSpace(), -1);
  EXPECT_EQ(CStr("xyZ").FindCharNoCase('z'), 2);
  EXPECT_EQ(CStr("xyz").FindCharNoCase('q'), -1);

  EXPECT_STREQ(CStr("abXAB").BeforeLast("ab").GetText(), "abX");
  EXPECT_STREQ(CStr("abXAB").BeforeLast("q").GetText(), "");
  EXPECT_STREQ(CStr("Path/To/File").AfterFirst("/to/").GetText(), "File");
  EXPECT_STREQ(CStr("Path").AfterFirst("/").GetText(), "");
}

TEST(CStrTest, EditingOperations) {
  CStr s("abc");
  s.RemoveAt(3);
  EXPECT_STREQ(s.GetText(), "abc");
  s.RemoveAt(0);
  EXPECT_STREQ(s.GetText(), "bc");

  CStr phrase("Hello \\n world");
  phrase.ReplaceRange(6, 2, "\n");
  EXPECT_STREQ(phrase.GetText(), "Hello \n world");
  phrase.ReplaceRange(100, 5, "!");  // start past the end appends
  EXPECT_STREQ(phrase.GetText(), "Hello \n world!");
  phrase.ReplaceRange(5, 0xFFFFFFFF, phrase);  // count past the end, text is ourselves
  EXPECT_STREQ(phrase.GetText(), "HelloHello \n world!");

  CStr path("Art/GUI/a.mpt");
  path.ReplaceChar('/', '\\');
  EXPECT_STREQ(path.GetText(), "Art\\GUI\\a.mpt");
  path.MakeUpper();
  EXPECT_STREQ(path.GetText(), "ART\\GUI\\A.MPT");

  char out[5];
  EXPECT_EQ(CStr("stone").CopyUpper(out, 4), 4u);
  EXPECT_STREQ(out, "STON");

  CStr grown("ab");
  grown.Resize(40);
  EXPECT_EQ(grown.GetLength(), 40u);
  EXPECT_EQ(grown.GetCapacity(), 64u);
  EXPECT_EQ(*grown.GetBufferAt(2), '\0');
  grown.Resize(1);
  EXPECT_STREQ(grown.GetText(), "a");

  EXPECT_STREQ((CStr("a") + "b" + CStr("c")).GetText(), "abc");
  EXPECT_TRUE(CStr("Same").IsEqual("Same"));
  EXPECT_FALSE(CStr("Same").IsEqual("same"));
  EXPECT_FALSE(CStr("Same").IsEqual(nullptr));
}

TEST(CStrTest, FromFormatCutsAt1023Characters) {
  EXPECT_STREQ(CStr::FromFormat("root/Gear%02d", 7).GetText(), "root/Gear07");
  std::string longText(2000, 'y');
  CStr cut = CStr::FromFormat("%s", longText.c_str());
  EXPECT_EQ(cut.GetLength(), 1023u);
  EXPECT_EQ(cut.GetCapacity(), 1024u);
}

}  // namespace
