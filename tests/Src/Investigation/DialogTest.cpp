// The story dialog: how long a line stays (its voice, else its reading time), the skip clicks,
// the portrait each line shows, and the band, portrait and text drawn and read back.

#include "Src/Investigation/Vey_Dialog.h"

#include <gtest/gtest.h>

#include "Src/World/Vey_SoundContainer.h"
#include "tests/Src/World/SoundBankTestKit.h"
#include "tests/Src/Investigation/OverlayTestKit.h"

#include <string>

using namespace Vey;
using overlaytest::AddPicture;
using overlaytest::AddText;
using rendertest::SRgba;

namespace {

constexpr float kFrame = 0.02f;  // 50 frames a second

// When, after Open, the box stood fully shown, began to close and was closed (-1: never).
struct STimeline {
  float shown = -1.0f, closing = -1.0f, closed = -1.0f;
};
STimeline RunUntilClosed(CDialog& dialog) {
  STimeline seen;
  for (int frame = 1; frame <= 1000 && dialog.GetState() != kOverlayClosed; ++frame) {
    const int32_t before = dialog.GetState();
    dialog.Update(kFrame);
    const float now = float(frame) * kFrame;
    if (dialog.GetState() == before) continue;
    if (dialog.GetState() == kOverlayOpen) seen.shown = now;
    if (dialog.GetState() == kOverlayClosing) seen.closing = now;
    if (dialog.GetState() == kOverlayClosed) seen.closed = now;
  }
  return seen;
}

void ExpectTimeline(const STimeline& seen, float speaking) {
  EXPECT_NEAR(seen.shown, 0.5f, kFrame);
  EXPECT_NEAR(seen.closing, 0.5f + speaking, 2 * kFrame);
  EXPECT_NEAR(seen.closed, 1.0f + speaking, 2 * kFrame);
}

class DialogTest : public gametest::CSoundBankFixture {
 protected:
  // A bank of the main story holding these voices, each of that length.
  void FillBank(std::initializer_list<const char*> voices, double seconds) {
    MakeContent(voices, {}, seconds);
    m_bank.LoadGameSounds(m_resources.get());
  }
  CSoundContainer m_bank;
  // No dictionary: a line's text is its key. No layout: it would only be drawn.
  CDialog m_dialog{"Dialog", nullptr, nullptr, &m_bank};
};

TEST_F(DialogTest, AVoicedLineFadesInSpeaksAsLongAsItsVoiceAndFadesOut) {
  FillBank({"story_001"}, 4.0);
  m_dialog.Open("S01_1_Dialog");
  const int32_t voice = m_bank.FindSound("story_001");
  EXPECT_TRUE(m_bank.IsPlaying(voice));
  EXPECT_EQ(m_dialog.GetCurrentVoice(), voice);
  EXPECT_NEAR(m_dialog.GetSpeakingTime(), 4.0f, 0.01f);
  ExpectTimeline(RunUntilClosed(m_dialog), 4.0f);
  EXPECT_EQ(m_dialog.GetCurrentVoice(), -1);
}

// A line that has no voice of its own, or whose voice the bank lacks or is silent, stays for
// its reading time instead of closing on its first update.
TEST_F(DialogTest, ALineWithoutAVoiceStaysForItsReadingTime) {
  const std::string longKey(60, 'x');  // 60 characters: 4 seconds
  const struct {
    const char* why;
    double voiceSeconds;
    std::string key;
    float reading;
  } kCases[] = {
      {"key without a voice", 0.5, longKey, 4.0f},
      {"voice not in the bank", 0.5, "S04_1_Dialog", CDialog::kShortestReading},
      {"voice of length 0", 0.0, "S01_1_Dialog", CDialog::kShortestReading},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.why);
    FillBank({"story_001"}, c.voiceSeconds);
    m_dialog.Open(c.key);
    EXPECT_FLOAT_EQ(m_dialog.GetSpeakingTime(), c.reading);
    ExpectTimeline(RunUntilClosed(m_dialog), c.reading);
  }
}

TEST(DialogReadingTime, CountsCharactersNotBytesWithATwoSecondFloor) {
  const std::string twoByteLetters = [] {
    std::string text;
    for (int i = 0; i < 45; ++i) text += "\xC3\xA9";  // é
    return text;
  }();
  const struct {
    std::string text;
    float seconds;
  } kCases[] = {{"", 2.0f}, {std::string(30, 'a'), 2.0f}, {std::string(45, 'a'), 3.0f}, {twoByteLetters, 3.0f}};
  for (const auto& c : kCases) EXPECT_FLOAT_EQ(CDialog::ReadingTime(c.text), c.seconds) << c.text;
}

TEST_F(DialogTest, TheSecondClickEndsTheLineAndOpeningForgetsEarlierClicks) {
  FillBank({"story_001"}, 4.0);
  m_dialog.CountSkipClick();
  m_dialog.CountSkipClick();
  m_dialog.Open("S01_1_Dialog");
  EXPECT_EQ(m_dialog.GetSkipCount(), 0u);
  for (int i = 0; i < 25; ++i) m_dialog.Update(kFrame);
  ASSERT_EQ(m_dialog.GetState(), kOverlayOpen);

  m_dialog.CountSkipClick();
  m_dialog.Update(kFrame);
  EXPECT_EQ(m_dialog.GetState(), kOverlayOpen);
  m_dialog.CountSkipClick();
  EXPECT_EQ(m_dialog.GetState(), kOverlayOpen);  // the click takes effect at the next update
  m_dialog.Update(kFrame);
  EXPECT_EQ(m_dialog.GetState(), kOverlayClosing);
  EXPECT_EQ(m_dialog.GetProgress(), 0.0f);
}

TEST_F(DialogTest, OpenedAgainTheBoxFadesInFromWhereItIsAndCanCloseAtOnce) {
  FillBank({"story_001", "story_002"}, 4.0);
  m_dialog.Open("S01_1_Dialog");
  for (int i = 0; i < 10; ++i) m_dialog.Update(kFrame);  // 0.2 s of the fade-in
  m_dialog.Open("S04_1_Dialog");
  EXPECT_EQ(m_dialog.GetState(), kOverlayOpening);
  EXPECT_NEAR(m_dialog.GetProgress(), 0.4f, 1e-4f);
  EXPECT_EQ(m_dialog.GetText(), "S04_1_Dialog");
  EXPECT_EQ(m_dialog.GetCurrentVoice(), m_bank.FindSound("story_002"));

  m_dialog.CloseAtOnce();
  EXPECT_EQ(m_dialog.GetState(), kOverlayClosed);
  EXPECT_EQ(m_dialog.GetCurrentVoice(), -1);
  m_dialog.Update(kFrame);
  EXPECT_EQ(m_dialog.GetState(), kOverlayClosed);
}

// Keys compare whole and in their case; only the wolf's line shows the wolf, also when the bank
// holds neither voice (both slots would be -1).
TEST_F(DialogTest, EachKeyHasItsVoiceAndOnlyTheWolfsLineShowsTheWolf) {
  const struct {
    const char* key;
    const char* voice;
    const char* portrait;
  } kCases[] = {
      {"S35_1_Dialog", "story_024", "root/CharDialog"},
      {"S35_1a_Dialog", "story_025", "root/WolfDialog"},
      {"G11_1_Dialog", "minigames_009", "root/CharDialog"},
      {"Collectors_5_Dialog", "story_032", "root/CharDialog"},
      {"s35_1a_dialog", "", "root/CharDialog"},
      {"S35_1a_Dialog ", "", "root/CharDialog"},
      {"S35_1", "", "root/CharDialog"},
  };
  for (bool bankHasVoices : {true, false}) {
    if (bankHasVoices)
      FillBank({"story_024", "story_025"}, 0.5);
    else
      FillBank({}, 0.5);
    for (const auto& c : kCases) {
      SCOPED_TRACE(testing::Message() << c.key << (bankHasVoices ? " with voices" : " without voices"));
      EXPECT_STREQ(CDialog::VoiceOf(c.key), c.voice);
      m_dialog.Open(c.key);
      EXPECT_STREQ(m_dialog.GetPortraitName(), c.portrait);
    }
  }
}

// ---- drawn

using overlaytest::kGrey;
constexpr SRgba kRed{255, 0, 0, 255};
constexpr SRgba kGreen{0, 255, 0, 255};

class DialogDrawTest : public overlaytest::COverlayDrawFixture {
 protected:
  void SetUp() override {
    COverlayDrawFixture::SetUp();
    LoadDictionary({{"S01_1_Dialog", "HI"}, {"S35_1a_Dialog", "WOLF"}});
    // Portraits at the lower left (pixels 8..24 x 40..56), the text centred at pixel (48, 48).
    AddPicture(m_layout, "root/CharDialog", {-0.5f, -0.5f}, {0.5f, 0.5f}, SolidTexture("char", kRed));
    AddPicture(m_layout, "root/WolfDialog", {-0.5f, -0.5f}, {0.5f, 0.5f}, SolidTexture("wolf", kGreen), false);
    AddText(m_layout, "root/text_dialog", {0.5f, -0.5f}, &m_font);
    m_dialog = std::make_unique<CDialog>("Dialog", &m_layout, m_dictionary.get(), nullptr);
  }
  void TearDown() override {
    m_dialog.reset();
    COverlayDrawFixture::TearDown();
  }
  std::vector<uint8_t> DrawFrame() { return COverlayDrawFixture::DrawFrame(*m_dialog); }

  std::unique_ptr<CDialog> m_dialog;
};

TEST_F(DialogDrawTest, TheBandPortraitAndTextShowWhileTheLineSpeaksAndFadeWithTheBox) {
  EXPECT_EQ(Pixel(DrawFrame(), kSize, 32, 4), kGrey);  // closed: nothing

  m_dialog->Open("S01_1_Dialog");
  m_dialog->Update(0.25f);  // half-way into the fade-in
  const std::vector<uint8_t> fading = DrawFrame();
  EXPECT_NEAR(Pixel(fading, kSize, 32, 4).r, 32, 3);    // the black band at half strength
  EXPECT_NEAR(Pixel(fading, kSize, 16, 48).r, 160, 4);  // the red portrait half over the grey

  m_dialog->Update(0.25f);
  ASSERT_EQ(m_dialog->GetState(), kOverlayOpen);
  const std::vector<uint8_t> shown = DrawFrame();
  for (int x : {1, 32, 62}) EXPECT_EQ(Pixel(shown, kSize, x, 4), (SRgba{0, 0, 0, 255})) << x;  // across the screen
  EXPECT_EQ(Pixel(shown, kSize, 32, 20), kGrey);                                               // below the band
  EXPECT_EQ(Pixel(shown, kSize, 16, 48), kRed);
  // "HI" around (48, 48), nothing of it elsewhere.
  EXPECT_GT(TextPixels(shown, 36, 36, 60, 60), 40);
  EXPECT_EQ(TextPixels(shown, 0, 10, 64, 36), 0);
}

TEST_F(DialogDrawTest, TheWolfsLineShowsTheWolfWhateverTheLayoutsVisibility) {
  m_dialog->Open("S35_1a_Dialog");
  m_dialog->Update(0.5f);
  const std::vector<uint8_t> frame = DrawFrame();
  EXPECT_EQ(Pixel(frame, kSize, 16, 48), kGreen);
  EXPECT_GT(TextPixels(frame, 36, 36, 60, 60), 80);  // "WOLF"
}

}  // namespace
