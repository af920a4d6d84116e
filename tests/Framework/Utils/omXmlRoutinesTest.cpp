#include "Framework/Utils/omXmlRoutines.h"

#include "Quor/ReportError.h"
#include "tests/support/ReportCapture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace {

std::string Nested(size_t levels, const char* inner = "") {
  std::string text;
  for (size_t i = 0; i < levels; ++i) text += "<a>";
  text += inner;
  for (size_t i = 0; i < levels; ++i) text += "</a>";
  return text;
}

// A text cut off inside a UTF-8 character: the parser steps over the character whole, past the
// end of the text. Whatever lies beyond the end in memory (here a closing tag and a second
// element, left behind by a longer text) must never become part of the document.
TEST(XmlRoutinesTest, ATextCutInsideAUtf8CharacterEndsAtItsLastByte) {
  const std::string cut = "<?xml version=\"1.0\"?><a>x\xF0";
  std::string text = cut + std::string(1, '\0') + "YZ</a><beyond/>";
  text.resize(cut.size());  // the bytes after the end stay in the buffer

  ReportHandler = hmtest::CaptureReport;
  hmtest::Reports().clear();
  TiXmlDocument document;
  Ombrel::ParseXmlDocument("Cut.xml", text, document);
  ReportHandler = nullptr;
  EXPECT_EQ(document.FirstChildElement("beyond"), nullptr);
  EXPECT_TRUE(document.Error());
  EXPECT_TRUE(hmtest::Reported("Cut.xml: XML error"));
}

// The parser descends once per level, so a file of 100,000 nested elements overran the stack.
// Such a document is refused, named in the report, and left without a root element; a
// document at the bound is read.
TEST(XmlRoutinesTest, ADocumentNestedPastTheBoundIsReportedAndLeftEmpty) {
  ReportHandler = hmtest::CaptureReport;
  hmtest::Reports().clear();
  TiXmlDocument deep;
  Ombrel::ParseXmlDocument("Deep.xml", Nested(100000), deep);
  TiXmlDocument atBound;
  Ombrel::ParseXmlDocument("AtBound.xml", Nested(Ombrel::kMaxXmlNesting), atBound);
  ReportHandler = nullptr;

  EXPECT_EQ(deep.RootElement(), nullptr);
  EXPECT_TRUE(hmtest::Reported("Deep.xml: elements nested deeper than 256 levels"));
  EXPECT_NE(atBound.RootElement(), nullptr);
  EXPECT_FALSE(atBound.Error());
  EXPECT_FALSE(hmtest::Reported("AtBound.xml"));
}

// Only what the parser takes for nesting counts: closed elements, comments, character data,
// declarations and quoted values with tags in them do not deepen the document.
TEST(XmlRoutinesTest, NestingIsCountedAsTheParserMeetsIt) {
  struct Case {
    std::string text;
    size_t depth;
  };
  const Case cases[] = {
      {"<?xml version=\"1.0\"?><!DOCTYPE r><r><a/><b x=\"<c><c>\" y='<d>'/></r>", 1},
      {"<r><!-- <a><a><a> --><![CDATA[<b><b>]]>text<_x><\xC3\xA9></\xC3\xA9></_x></r>", 3},
      {"<r>text < 3 <a></r>", 1},  // a '<' before no name is kept whole up to its '>'
      {"<r></r><r><s></s><s><t></t></s></r>", 3},
      {"</a></a><a>", 1},
      {Nested(40), 40},
  };
  for (const Case& c : cases) EXPECT_EQ(Ombrel::XmlNestingDepth(c.text, 1000), c.depth) << c.text;
  EXPECT_LE(Ombrel::XmlNestingDepth(Nested(100000), 10), 11u);
}

}  // namespace
