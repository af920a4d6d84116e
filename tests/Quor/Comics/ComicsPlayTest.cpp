// The comics player: a two-page comic made by comictool's writer played through its frames on
// a real device, the interpolation of single vertices, and damaged files.

#include "tests/Quor/ContentFixture.h"
#include "tests/Quor/Render/RenderTestKit.h"

#include <cmath>
#include <cstring>

#include "Quor/CByteReader.h"
#include "Quor/CGcfgParser.h"
#include "Quor/ComicsPlay.h"
#include "Quor/ComicsSubtitles.h"
#include "Quor/Engine.h"
#include "Quor/Timer.h"
#include "tests/support/engine/FakeClock.h"
#include "tools/comictool/ComicText.h"

using namespace rendertest;

namespace {

void SetNow(float seconds) { hmtest::FakeNow() = uint64_t(std::llround(double(seconds) * 1e6)); }

// Page 1 (0..2 s): a red panel slides right by 800 units; page 2 (2..4 s): a blue panel
// fades out, with a key in the middle that splits the page into two frames.
const char* kTwoPages =
    "texture red.mpt\n"
    "texture blue.mpt\n"
    "page 0 2\n"
    "panel red.mpt\n"
    "key 0 -800 800 -200 200\n"
    "key 2  0 800 600 200\n"
    "page 2 2\n"
    "panel 1\n"
    "key 0 -600 600 600 -600 255 255 255 255\n"
    "key 1 -600 600 600 -600 255 255 255 128\n"
    "key 2 -600 600 600 -600 255 255 255 0\n";

std::vector<uint8_t> CompileComic(const char* description) {
  comictool::SComicDescription comic;
  std::string error;
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(comictool::ParseComicDescription(description, &comic, &error)) << error;
  EXPECT_TRUE(comictool::WriteComic(comic, &bytes, &error)) << error;
  return bytes;
}

class ComicsPlayTest : public CRenderFixture {
 protected:
  void SetUp() override {
    CRenderFixture::SetUp();
    SetNow(0);
    InitTimer();
    WriteContent("Art/Intro/Textures/red.mpt", MptFile(4, 4, Solid(4, 4, {255, 0, 0, 255})));
    WriteContent("Art/Intro/Textures/blue.mpt", MptFile(4, 4, Solid(4, 4, {0, 0, 255, 255})));
  }
  void TearDown() override {
    ComicsUnload(&m_comic);
    CRenderFixture::TearDown();
  }

  std::vector<uint8_t> RenderAt(float seconds) {
    SetNow(seconds);
    BeginFrame();
    ComicsRender(&m_comic, &m_player);
    return EndFrame();
  }

  hmtest::CFakeTimerClock m_clock;
  SComic m_comic;
  SComicsPlayer m_player;
};

const SRgba kRed{255, 0, 0, 255}, kBlack{0, 0, 0, 255};

TEST_F(ComicsPlayTest, ATwoPageComicPlaysThroughItsFramesAndEnds) {
  WriteContent("Art/Intro/intro.cmx", CompileComic(kTwoPages));
  ASSERT_TRUE(ComicsLoad(&m_comic, "Art\\Intro\\intro.cmx"));
  ASSERT_EQ(m_comic.textures.size(), 2u);
  EXPECT_EQ(m_manager->GetTextureCount(), 2u);
  // One frame for page 1, two for page 2.
  ASSERT_EQ(m_comic.frames.size(), 3u);
  EXPECT_FLOAT_EQ(m_comic.frames[2].start, 3.0f);
  EXPECT_FLOAT_EQ(m_comic.frames[2].duration, 1.0f);
  m_player = ComicsPlayerCreate();

  // On the 64-pixel square screen a pixel is about 28 comic units; the red panel starts over
  // pixels 4..24 on both axes and ends over 32..53 across.
  std::vector<uint8_t> rgba = RenderAt(0);
  EXPECT_EQ(m_player.currentFrame, 0u);
  EXPECT_EQ(Pixel(rgba, kSize, 10, 10), kRed);
  EXPECT_EQ(Pixel(rgba, kSize, 40, 10), kBlack);
  EXPECT_EQ(Pixel(rgba, kSize, 10, 40), kBlack);

  // Half way: it covers about 18..46.
  rgba = RenderAt(1.0f);
  EXPECT_EQ(Pixel(rgba, kSize, 10, 10), kBlack);
  EXPECT_EQ(Pixel(rgba, kSize, 30, 10), kRed);
  EXPECT_EQ(Pixel(rgba, kSize, 50, 10), kBlack);
  EXPECT_FALSE(ComicsIsFinished(&m_comic, &m_player));

  // Page 2, half way through its second frame: the blue panel at alpha 64 over black.
  rgba = RenderAt(3.5f);
  EXPECT_EQ(m_player.currentFrame, 2u);
  const SRgba faded = Pixel(rgba, kSize, 32, 32);
  EXPECT_EQ(faded.r, 0);
  EXPECT_NEAR(faded.b, 64, 2);
  EXPECT_EQ(Pixel(rgba, kSize, 2, 2), kBlack);

  // After the end the last frame keeps its end values: fully faded out.
  rgba = RenderAt(9.0f);
  EXPECT_TRUE(ComicsIsFinished(&m_comic, &m_player));
  EXPECT_EQ(Pixel(rgba, kSize, 32, 32), kBlack);

  ComicsUnload(&m_comic);
  EXPECT_EQ(m_manager->GetTextureCount(), 0u);
  EXPECT_TRUE(m_comic.frames.empty() && m_comic.textures.empty());
}

TEST_F(ComicsPlayTest, TheFrameFollowsTheClockInJumpsAndRestarts) {
  WriteContent("Art/Intro/intro.cmx", CompileComic(kTwoPages));
  ASSERT_TRUE(ComicsLoad(&m_comic, "Art\\Intro\\intro.cmx"));
  m_player = ComicsPlayerCreate();
  // One jump across every frame.
  ComicsAdvance(&m_comic, &m_player, 3.2f);
  EXPECT_EQ(m_player.currentFrame, 2u);
  // A frame's own end is still that frame.
  SComicsPlayer atEdge{};
  ComicsAdvance(&m_comic, &atEdge, 2.0f);
  EXPECT_EQ(atEdge.currentFrame, 0u);

  SetNow(10.0f);
  ComicsPlayerRestart(&m_player, 0.5f);
  EXPECT_EQ(m_player.currentFrame, 0u);
  EXPECT_FLOAT_EQ(ComicsPlayerElapsed(&m_player), 0.5f);
  EXPECT_FALSE(ComicsIsFinished(&m_comic, &m_player));
}

TEST(ComicsInterpolation, VerticesMoveAndFadeLinearlyOverTheFrame) {
  SComicVertex v{};
  v.x = 1598, v.y = -449, v.dx = -1598, v.dy = 898;
  v.u = 4096, v.v = 0, v.du = -2048, v.dv = 1024;
  const uint8_t from[4] = {255, 0, 0, 255}, to[4] = {0, 0, 255, 0};
  std::memcpy(v.from, from, 4);
  std::memcpy(v.to, to, 4);
  struct SCase {
    float f, aspect;
    float x, y, u, vv;
    uint32_t colour;
  } const cases[] = {
      {0.0f, 16.0f / 9.0f, 2048.0f + 256.0f * 1.778f / (16.0f / 9.0f), 2176.0f, 1.0f, 0.0f, 0xFFFF0000u},
      {1.0f, 16.0f / 9.0f, 2048.0f, 1920.0f, 0.5f, 0.25f, 0x000000FFu},
      // Half way every channel rounds to the nearest: 127.5 -> 128.
      {0.5f, 4.0f / 3.0f, 2048.0f + 128.0f * 1.778f / (4.0f / 3.0f), 2048.0f, 0.75f, 0.125f, 0x80800080u},
  };
  for (const SCase& c : cases) {
    const SDrawVertex out = ComicVertexAt(v, c.f, c.aspect);
    SCOPED_TRACE(c.f);
    EXPECT_NEAR(out.x, c.x, 0.01f);
    EXPECT_NEAR(out.y, c.y, 0.01f);
    EXPECT_FLOAT_EQ(out.z, 1.0f);
    EXPECT_FLOAT_EQ(out.u, c.u);
    EXPECT_FLOAT_EQ(out.v, c.vv);
    EXPECT_EQ(out.colour, c.colour);
  }
}

TEST(ComicsInterpolation, ProgressIsClampedAndAFrameWithoutDurationShowsItsEnd) {
  const SComicFrame frame{2.0f, 4.0f, 0};
  EXPECT_FLOAT_EQ(ComicFrameProgress(frame, 1.0f), 0.0f);
  EXPECT_FLOAT_EQ(ComicFrameProgress(frame, 3.0f), 0.25f);
  EXPECT_FLOAT_EQ(ComicFrameProgress(frame, 7.0f), 1.0f);
  for (float duration : {0.0f, -1.0f}) {
    const float f = ComicFrameProgress(SComicFrame{2.0f, duration, 0}, 2.0f);
    EXPECT_FLOAT_EQ(f, 1.0f) << duration;
  }
}

// ---- damaged files ----

// A comic of one texture, one frame and one primitive of one triangle, with pieces to spoil.
struct SComicParts {
  uint32_t textureCount = 1;
  uint32_t vertexCapacity = 3;
  uint32_t frameCount = 1;
  float duration = 1.0f;
  uint32_t offset = 0;
  uint16_t textureIndex = 0;
  uint16_t triangles = 1;
  bool endMark = true;
  size_t cut = 0;  // bytes cut off the end

  std::vector<uint8_t> Bytes() const {
    CByteWriter w;
    w.WriteBytes("CMX ", 4);
    w.WriteU16(0x100);
    w.WriteU32(textureCount);
    w.WriteString("red.mpt");
    w.WriteU32(vertexCapacity);
    w.WriteU32(frameCount);
    w.WriteF32(0.0f);
    w.WriteF32(duration);
    w.WriteU32(offset);
    w.WriteU16(textureIndex);
    w.WriteU16(triangles);
    const std::vector<uint8_t> vertices(3 * kComicVertexBytes, 0);
    w.WriteBytes(vertices.data(), vertices.size());
    if (endMark) w.WriteU16(kComicListEnd);
    std::vector<uint8_t> bytes = w.GetBytes();
    bytes.resize(bytes.size() - cut);
    return bytes;
  }
};

TEST_F(ComicsPlayTest, DamagedFilesAreReportedAndLeaveTheComicEmpty) {
  struct SCase {
    const char* what;
    SComicParts parts;
    const char* reason;
  };
  std::vector<SCase> cases;
  auto add = [&cases](const char* what, const char* reason, auto spoil) {
    SComicParts parts;
    spoil(parts);
    cases.push_back({what, parts, reason});
  };
  add("huge texture count", "texture names", [](SComicParts& p) { p.textureCount = 0x7FFFFFFF; });
  add("huge vertex capacity", "vertex capacity", [](SComicParts& p) { p.vertexCapacity = 0x10000000; });
  add("huge frame count", "frame table", [](SComicParts& p) { p.frameCount = 0x40000000; });
  add("offset past the data", "starts past", [](SComicParts& p) { p.offset = 5000; });
  add("texture index past the table", "uses texture 3 of 1", [](SComicParts& p) { p.textureIndex = 3; });
  add("more vertices than the capacity", "more than the capacity", [](SComicParts& p) { p.triangles = 2; });
  add("no end mark", "runs past the end", [](SComicParts& p) { p.endMark = false; });
  add("cut inside the vertices", "runs past the end", [](SComicParts& p) { p.cut = 10; });
  add("time not a number", "not a number", [](SComicParts& p) { p.duration = std::nanf(""); });
  WriteContent("Art/Intro/Textures/red.mpt", MptFile(4, 4, Solid(4, 4, {255, 0, 0, 255})));
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.what);
    Reports().clear();
    WriteContent("Art/Intro/bad.cmx", c.parts.Bytes());
    EXPECT_FALSE(ComicsLoad(&m_comic, "Art\\Intro\\bad.cmx"));
    ASSERT_FALSE(Reports().empty());
    EXPECT_NE(Reports().back().find("Comic file \"Art\\Intro\\bad.cmx\" is damaged"), std::string::npos)
        << Reports().back();
    EXPECT_NE(Reports().back().find(c.reason), std::string::npos) << Reports().back();
    EXPECT_TRUE(m_comic.frames.empty() && m_comic.textures.empty() && m_comic.frameData.empty());
    EXPECT_EQ(m_manager->GetTextureCount(), 0u);
    // An empty comic draws nothing and is over at once.
    m_player = ComicsPlayerCreate();
    ComicsRender(&m_comic, &m_player);
    EXPECT_TRUE(ComicsIsFinished(&m_comic, &m_player));
  }

  // The untouched parts load, so every case above failed for its own reason.
  WriteContent("Art/Intro/good.cmx", SComicParts().Bytes());
  EXPECT_TRUE(ComicsLoad(&m_comic, "Art\\Intro\\good.cmx"));
  // A frame that begins with the end mark draws nothing but is fine.
  CByteWriter empty;
  empty.WriteBytes("CMX ", 4);
  empty.WriteU16(0x100);
  for (uint32_t word : {0u, 0u, 1u}) empty.WriteU32(word);
  empty.WriteF32(0), empty.WriteF32(1), empty.WriteU32(0), empty.WriteU16(kComicListEnd);
  WriteContent("Art/Intro/empty.cmx", empty.GetBytes());
  EXPECT_TRUE(ComicsLoad(&m_comic, "Art\\Intro\\empty.cmx"));
  EXPECT_EQ(m_comic.frames.size(), 1u);

  EXPECT_FALSE(ComicsLoad(&m_comic, "Art\\Intro\\missing.cmx"));
  EXPECT_TRUE(Reported("Comic file \"Art\\Intro\\missing.cmx\" not found"));
}

// The stop for a texture the comic names but the content lacks tells which comic named it.
TEST_F(ComicsPlayTest, AMissingTextureIsFatalNamingTheComicThatNamedIt) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  WriteContent("Art/Intro/gone.cmx", CompileComic("texture gone.mpt\npage 0 1\npanel gone.mpt\nkey 0 0 1 1 0\n"));
  EXPECT_EXIT(ComicsLoad(&m_comic, "Art\\Intro\\gone.cmx"), ::testing::ExitedWithCode(3),
              "Texture \".*gone.mpt\" not found, named by \"Art.Intro.gone.cmx\"");
}

TEST(ComicsFile, AWrongMagicOrVersionIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  contenttest::CContentFolder content;
  SComic comic;
  std::vector<uint8_t> notComic = SComicParts().Bytes();
  notComic[3] = 'Z';
  content.Put("a.cmx", notComic);
  EXPECT_EXIT(ComicsLoad(&comic, "a.cmx"), ::testing::ExitedWithCode(3), "a.cmx: Not a CMX file");
  std::vector<uint8_t> newer = SComicParts().Bytes();
  newer[4] = 0x01;
  content.Put("b.cmx", newer);
  EXPECT_EXIT(ComicsLoad(&comic, "b.cmx"), ::testing::ExitedWithCode(3), "b.cmx: Unsupported version 0x101");
  content.Put("c.cmx", std::string("CM"));
  EXPECT_EXIT(ComicsLoad(&comic, "c.cmx"), ::testing::ExitedWithCode(3), "c.cmx: Not a CMX file");
}

// ---- subtitles ----

class ComicSubtitlesTest : public ::testing::Test {
 protected:
  void SetUp() override { m_savedLanguage = GetLanguage(); }
  void TearDown() override { SetLanguage(m_savedLanguage); }

  contenttest::CContentFolder m_content;
  int32_t m_savedLanguage = 0;
};

TEST_F(ComicSubtitlesTest, SectionsGiveTimedTextsInTheGamesLanguage) {
  m_content.Put("intro.gcfg",
                "subtitle {\n  start 150\n  finish 420\n  en @The lamp went out.|Then the door moved.\n"
                "  de @Die Lampe ging aus.|Dann bewegte sich die Tuer.\n}\n"
                "note {\n  start 1\n}\n"
                "subtitle {\n  start 500\n  finish 650\n  en @Who is there?\n}\n");
  struct SCase {
    int32_t language;
    const char* first;
    const char* second;
  } const cases[] = {
      {2, "Die Lampe ging aus.\nDann bewegte sich die Tuer.", ""},
      {1, "The lamp went out.\nThen the door moved.", "Who is there?"},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.language);
    SetLanguage(c.language);
    std::vector<SComicSubtitle> subtitles;
    char error[CGcfgParser::kErrorSize] = {};
    ASSERT_TRUE(LoadComicSubtitles("intro.gcfg", "subtitle", &subtitles, error)) << error;
    ASSERT_EQ(subtitles.size(), 2u);  // the other section is not a subtitle
    EXPECT_FLOAT_EQ(subtitles[0].start, 1.5f);
    EXPECT_FLOAT_EQ(subtitles[0].finish, 4.2f);
    EXPECT_EQ(subtitles[0].text, c.first);
    EXPECT_FLOAT_EQ(subtitles[1].start, 5.0f);
    EXPECT_EQ(subtitles[1].text, c.second);
  }
}

TEST_F(ComicSubtitlesTest, LanguagesWithoutSubtitlesAreFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_STREQ(ComicSubtitleLanguageKey(4), "fr");
  EXPECT_STREQ(ComicSubtitleLanguageKey(14), "tr");
  m_content.Put("intro.gcfg", "subtitle {\n  start 1\n}\n");
  for (int32_t language : {13, 15, -1}) {
    SetLanguage(language);
    std::vector<SComicSubtitle> subtitles;
    char error[CGcfgParser::kErrorSize] = {};
    EXPECT_EXIT(LoadComicSubtitles("intro.gcfg", "subtitle", &subtitles, error), ::testing::ExitedWithCode(3),
                "Unsupported language")
        << language;
  }
}

}  // namespace
