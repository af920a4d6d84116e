#include "Quor/ReportError.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace {

struct Captured {
  int calls = 0;
  std::string source;
  uint32_t line = 0;
  std::string text;
};
Captured g_captured;

void CaptureHandler(const char* source, uint32_t line, const char* text) {
  ++g_captured.calls;
  g_captured.source = source;
  g_captured.line = line;
  g_captured.text = text;
}

class ReportErrorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_captured = Captured{};
    ReportHandler = CaptureHandler;
  }
  void TearDown() override { ReportHandler = nullptr; }
};

TEST_F(ReportErrorTest, HandlerReceivesLocationAndFormattedText) {
  SetReportLocation("Quor/CVFS", 77);
  ReportError("Texture \"%s\" not found.", "Rock.mpt");
  EXPECT_EQ(g_captured.calls, 1);
  EXPECT_EQ(g_captured.source, "Quor/CVFS");
  EXPECT_EQ(g_captured.line, 77u);
  EXPECT_EQ(g_captured.text, "Texture \"Rock.mpt\" not found.");
}

TEST_F(ReportErrorTest, AssertReportsOnlyWhenConditionFails) {
  AssertReport(true, "never %d", 1);
  EXPECT_EQ(g_captured.calls, 0);
  HM_REPORT_UNLESS("Quor/Test", 1 + 1 == 3, "sum was %d", 2);
  EXPECT_EQ(g_captured.calls, 1);
  EXPECT_EQ(g_captured.text, "sum was 2");
}

TEST_F(ReportErrorTest, DebugAssertEvaluatesItsConditionOnlyWhereAssertionsAreOn) {
  int evaluations = 0;
  HM_DEBUG_ASSERT(++evaluations > 0, "counting %d", evaluations);
  EXPECT_EQ(evaluations, kAssertionsActive ? 1 : 0);
  EXPECT_EQ(g_captured.calls, 0) << "a condition that holds reports nothing";
}

TEST(DebugAssertDeathTest, AFalseConditionIsReportedWithItsTextAndAborts) {
  if (!kAssertionsActive) GTEST_SKIP() << "assertions are compiled out of this build";
  EXPECT_DEATH(HM_DEBUG_ASSERT(2 + 2 == 5, "sum of %d", 4), "Assertion failed: 2 \\+ 2 == 5: sum of 4");
}

TEST_F(ReportErrorTest, LongMessageIsCutTo4095Characters) {
  std::string longText(5000, 'x');
  ReportError("%s", longText.c_str());
  EXPECT_EQ(g_captured.text, longText.substr(0, 4095));
}

TEST_F(ReportErrorTest, LocationIsPerThread) {
  SetReportLocation("Quor/Main", 1);
  std::thread other([] { SetReportLocation("Quor/Loader", 2); });
  other.join();
  EXPECT_STREQ(GetReportSource(), "Quor/Main");
  EXPECT_EQ(GetReportLine(), 1u);
}

TEST_F(ReportErrorTest, SinkAppendsToLogFileOnceNamed) {
  std::string path = ::testing::TempDir() + "report-log.txt";
  std::remove(path.c_str());
  ReportError("before the log is known");
  SetReportLogFile(path.c_str());
  HM_REPORT("Quor/Test", "first %d", 1);
  HM_REPORT("Quor/Test", "second %d", 2);
  SetReportLogFile(nullptr);
  std::ifstream in(path);
  std::stringstream all;
  all << in.rdbuf();
  EXPECT_EQ(all.str().find("before"), std::string::npos);
  EXPECT_NE(all.str().find("first 1"), std::string::npos);
  EXPECT_NE(all.str().find("second 2"), std::string::npos);
}

TEST(FatalReportTest, EndsTheProcessWithNonZeroCodeAndShowsTheText) {
  EXPECT_EXIT(HM_FATAL("Quor/Utils", "Incoming number is greater than 0x%X", 0x7FFFFFFF),
              ::testing::ExitedWithCode(3), "Quor/Utils\\([0-9]+\\): Incoming number is greater than 0x7FFFFFFF");
}

TEST(AllocContextTest, PushThenPopRestoresLevelAndPair) {
  int level = GetAllocContextLevel();
  EXPECT_EQ(PushAllocContext(), level + 1);
  EXPECT_EQ(PopAllocContext(), level);
  EXPECT_EQ(GetAllocContext().tag, 0u);
  EXPECT_EQ(GetAllocContext().detail, 0u);
}

TEST(AllocContextTest, DepthIsBoundedAt255) {
  int start = GetAllocContextLevel();
  for (int i = 0; i < 300; ++i) PushAllocContext();
  EXPECT_EQ(GetAllocContextLevel(), 255);
  while (GetAllocContextLevel() > start) PopAllocContext();
}

}  // namespace
