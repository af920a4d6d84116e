#include "Framework/Utils/omXmlRoutines.h"

#include "Quor/ReportError.h"
#include "tests/support/ReportCapture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace {

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

}  // namespace
