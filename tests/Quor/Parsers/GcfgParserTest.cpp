// The sectioned configuration format: tokenising, handler scoping and the messages for
// malformed files.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Quor/CGcfgParser.h"
#include "tests/Quor/ContentFixture.h"

namespace {

// Every event as text: "key=value", "open name", "close".
std::vector<std::string> g_events;

bool RecordKey(CGcfgParser&, const SGcfgEvent& e) {
  g_events.push_back(std::string(e.name) + "=" + e.value);
  return true;
}
bool RecordOpen(CGcfgParser& parser, const SGcfgEvent& e) {
  g_events.push_back(std::string("open ") + e.name);
  // Keys inside the section go to their own handler, which vanishes when it closes.
  parser.AddKeyHandler(nullptr, [](CGcfgParser&, const SGcfgEvent& k) {
    g_events.push_back(std::string("  ") + k.name + "=" + k.value);
    return true;
  });
  parser.AddHandler(CGcfgParser::kSectionClosed, nullptr, [](CGcfgParser&, const SGcfgEvent&) {
    g_events.push_back("close");
    return true;
  });
  return true;
}

std::vector<std::string> Parse(const std::string& text, bool* ok = nullptr, std::string* error = nullptr) {
  g_events.clear();
  CGcfgParser parser;
  parser.AddKeyHandler(nullptr, RecordKey);
  parser.AddHandler(CGcfgParser::kSectionOpened, "Keys", RecordOpen);
  char buffer[CGcfgParser::kErrorSize];
  bool parsed = parser.ParseText("osk.gcfg", text.data(), text.size(), buffer);
  if (ok) *ok = parsed;
  if (error) *error = buffer;
  return g_events;
}

using Events = std::vector<std::string>;

TEST(GcfgParserTest, Tokenising) {
  const struct {
    const char* text;
    Events events;
  } cases[] = {
      {"Colour #FF8000", {"Colour=#FF8000"}},
      {"Colour=#FF8000", {"Colour=#FF8000"}},
      {"Colour = #FF8000", {"Colour== #FF8000"}},
      {"A 1 | B 2", {"A=1", "B=2"}},
      {"Text @x | y ", {"Text=x | y "}},
      {"Alone", {"Alone="}},
      {"Trailing  value   \t", {"Trailing=value"}},
      {"# comment A 1\n; B 2\n/ C 3\n  D 4", {"D=4"}},
      {"Brace{", {"Brace="}},
      {"Keys { K 1 | }\nK 2", {"open Keys", "  K=1", "close", "K=2"}},
      {"Keys { K 1 }", {"open Keys", "  K=1 }"}},  // a value runs to the bar or the line end
      {"Other {\n Inner {\n K 1\n }\n}\nK 2", {"K=2"}},  // ignored sections hide their keys
      {"Keys {\nA 1\r\nB 2\r\n}}", {}},                  // parsed up to the second brace
      {"Last 1\nFinal line", {"Last=1", "Final=line"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    bool ok = false;
    Events events = Parse(c.text, &ok);
    if (std::string(c.text).find("}}") != std::string::npos) {
      EXPECT_FALSE(ok);
      continue;
    }
    EXPECT_TRUE(ok);
    EXPECT_EQ(events, c.events);
  }
}

TEST(GcfgParserTest, MalformedFilesFailWithFileAndLine) {
  std::string longLine(4094, 'x');
  std::string deep;
  for (int i = 0; i < 17; ++i) deep += "S" + std::to_string(i) + " {\n";
  const struct {
    std::string text;
    const char* message;
  } cases[] = {
      {"A 1\r\nB 2\r\n}", "osk.gcfg: Line 3: '}' without matching '{'"},
      {"Keys { }\n}", "osk.gcfg: Line 2: '}' without matching '{'"},
      {"A 1\n" + longLine + "x\n", "osk.gcfg: Line 2 is longer than 4096 chars"},
      {"Keys {\n" + deep, "osk.gcfg: More than 16 levels"},  // ignored sections inside a handled one
      {deep, "osk.gcfg: More than 16 levels"},
  };
  for (const auto& c : cases) {
    bool ok = true;
    std::string error;
    Parse(c.text, &ok, &error);
    EXPECT_FALSE(ok);
    EXPECT_EQ(error, c.message);
  }
  bool ok = false;
  Parse(longLine + "\n", &ok);  // 4094 characters is the longest line
  EXPECT_TRUE(ok);
}

TEST(GcfgParserTest, HandlerCanRefuseAndTableIsBounded) {
  CGcfgParser parser;
  parser.AddKeyHandler("Bad", [](CGcfgParser& p, const SGcfgEvent& e) {
    p.SetError("%s: Line %d: unknown colour %s", p.GetFileName(), static_cast<int>(p.GetLine()), e.value);
    return false;
  });
  char error[CGcfgParser::kErrorSize];
  const std::string text = "Good 1\nBad #12";
  EXPECT_FALSE(parser.ParseText("c.gcfg", text.data(), text.size(), error));
  EXPECT_STREQ(error, "c.gcfg: Line 2: unknown colour #12");

  contenttest::CReportCapture reports;
  for (int i = 1; i < CGcfgParser::kMaxHandlers; ++i) ASSERT_TRUE(parser.AddKeyHandler("K", nullptr));
  EXPECT_FALSE(parser.AddKeyHandler("K", nullptr));
  EXPECT_EQ(parser.GetHandlerCount(), CGcfgParser::kMaxHandlers);
  EXPECT_NE(reports.Last().find("More than 256 handlers"), std::string::npos);
}

TEST(GcfgParserTest, ParsesFilesAndReportsMissingOnes) {
  contenttest::CContentFolder content;
  content.Put("osk.gcfg", std::string("Keys {\n Row 1\n}\n"));
  CGcfgParser parser;
  parser.AddHandler(CGcfgParser::kSectionOpened, "Keys", RecordOpen);
  char error[CGcfgParser::kErrorSize];
  g_events.clear();
  EXPECT_TRUE(ParseGcfgFile(parser, "osk.gcfg", error));
  EXPECT_EQ(g_events, (Events{"open Keys", "  Row=1", "close"}));
  EXPECT_EQ(parser.GetHandlerCount(), 1);  // the section's own handlers are gone
  EXPECT_FALSE(ParseGcfgFile(parser, "none.gcfg", error));
  EXPECT_STREQ(error, "Failed to open none.gcfg");
}

}  // namespace
