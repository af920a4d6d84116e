// The intro and the two outros over real modules and the built comics, on a fixed clock and a
// fake music track: each plays to its end and ends itself once (the music stopping, or the bonus
// outro's last page passing), SKIP ends each on any frame, pages and subtitles follow the music
// through a stall, and the intro's effects keep their time line when the music jumps.

#include <gtest/gtest.h>

#include "Quor/Timer.h"
#include "Src/World/Vey_MPEmitter.h"
#include "Src/Menu/Vey_ComicSubs.h"
#include "Src/Menu/Vey_Intro.h"
#include "Src/Menu/Vey_Outro.h"
#include "Src/Menu/Vey_OutroCe.h"
#include "tests/Src/World/GameStateTestKit.h"
#include "tests/support/engine/CameraInMode.h"
#include "tests/support/engine/FakeClock.h"
#include "tests/support/engine/ReportScope.h"
#include "tests/support/engine/StagedKeys.h"

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace Vey;

namespace {

constexpr float kFrame = 0.05f;
const Vector2 kAway = {2048.0f, 2048.0f};
// SKIP's centre on a 4:3 screen: 0.3 screen heights in from the right edge, near the top.
const Vector2 kSkip = {2246.4f, 1809.92f};
constexpr int32_t kFinished = Ombrel::AE_STATE_FINISHED;

// The track the comic follows, moved by the test.
struct SMusic {
  std::string played;
  int plays = 0;
  bool silent = false;  // no sound device, or no track: playing never starts
  bool playing = false;
  float position = 0.0f;
};

class CFakeMusic : public IComicMusic {
 public:
  explicit CFakeMusic(SMusic* music) : m_music(music) {}
  void Play(const char* name) override {
    m_music->played = name;
    ++m_music->plays;
    m_music->playing = !m_music->silent;
    m_music->position = 0.0f;
  }
  bool IsPlaying() const override { return m_music->playing; }
  float GetPosition() const override { return m_music->position; }

 private:
  SMusic* m_music;
};

enum EComic { kIntro, kOutro, kBonusOutro };

class ComicStateTest : public ::testing::Test {
 protected:
  // Engine time from 0 on the fake clock, whatever an earlier test left paused.
  void SetUp() override { InitTimer(); }
  void TearDown() override { Leave(); }

  // The comic's state entered over a copy of the built content, without the files named and with
  // the damaged ones cut short.
  void Enter(EComic comic, const std::vector<std::string>& without = {}, const std::vector<std::string>& damaged = {},
             bool silent = false) {
    Leave();
    m_root =
        gamestatetest::CopyContent("comics", {"App/Configs/Intro_Resources.xml", "App/Configs/Outro_Resources.xml",
                                              "App/Configs/Collectors/OutroCe_Resources.xml",
                                              "App/Configs/Comics_Resources.xml", "App/Configs/Common_Resources.xml",
                                              "App/Comics", "Art/Intro", "Art/Outro", "Art/GUI/Cursor/Textures"});
    for (const std::string& file : without) std::filesystem::remove(m_root + file);
    for (const std::string& file : damaged) std::filesystem::resize_file(m_root + file, 40);
    ASSERT_TRUE(m_modules.Start(m_root));
    m_music = SMusic();
    m_music.silent = silent;
    m_application.events.clear();
    if (comic == kIntro) m_state = std::make_unique<CIntro>(&m_application, nullptr);
    if (comic == kOutro) m_state = std::make_unique<COutro>(&m_application, nullptr);
    if (comic == kBonusOutro) m_state = std::make_unique<COutroCe>(&m_application, nullptr);
    m_state->SetMusic(std::make_unique<CFakeMusic>(&m_music));
    m_state->Attach(&m_eventManager, nullptr, 6);
    m_state->Init();
    m_state->Start();
  }

  void Leave() {
    if (m_state) m_state->Release();
    m_state.reset();
    m_modules.Stop();
  }

  CIntro& Intro() { return static_cast<CIntro&>(*m_state); }

  // One frame of kFrame seconds; the music moves on with it while it plays.
  void Frame(const Vector2& pointer = kAway, bool down = false) {
    hmtest::FakeNow() += uint64_t(kFrame * 1e6f);
    if (m_music.playing) m_music.position += kFrame;
    m_state->TakeInput(pointer, down);
    m_state->Update(kFrame);
  }
  // A frame with the music at `position`.
  void FrameAt(float position) {
    m_music.position = position - kFrame;
    Frame();
  }
  void Click(const Vector2& at) {
    Frame(at, false);
    Frame(at, true);
  }
  int Finishes() const {
    int count = 0;
    for (const auto& event : m_application.events) count += event.first == kFinished ? 1 : 0;
    return count;
  }
  int32_t EmitterState(int emitter) { return Intro().GetEmitter(emitter)->GetState(); }

  hmtest::CStagedKeys m_keys;
  hmtest::CReportScope m_reports;
  hmtest::CFakeTimerClock m_clock{1000000000};
  hmtest::CCameraInMode m_camera{1};  // 4:3
  std::string m_root;
  gamestatetest::CStateModules m_modules;
  gamestatetest::CEventRecorder m_application;
  Ombrel::CEventManager m_eventManager;
  SMusic m_music;
  std::unique_ptr<CComicState> m_state;
};

TEST_F(ComicStateTest, TheIntroAndTheOutroPlayTheirMusicOnceAndEndOnceItStops) {
  for (EComic comic : {kIntro, kOutro}) {
    SCOPED_TRACE(comic);
    Enter(comic);
    ASSERT_GT(m_state->GetComic().frames.size(), 0u) << m_reports.All();
    ASSERT_NE(m_state->GetClock(), nullptr) << "the first page from the frame the comic is entered in";
    EXPECT_EQ(m_music.played, comic == kIntro ? "intro" : "outro");
    Frame();
    // Past the last page (and the intro's last effect) the comic goes on as long as the music does.
    FrameAt(200.0f);
    for (int i = 0; i < 12; ++i) Frame();
    EXPECT_EQ(Finishes(), 0);
    m_music.playing = false;
    Frame();
    EXPECT_EQ(Finishes(), 1);
    ASSERT_EQ(m_application.events.size(), 1u);
    EXPECT_EQ(m_application.events[0].second, -1);
    Frame();
    EXPECT_EQ(Finishes(), 1) << "the state is left at the end of the frame: one event is enough";
    EXPECT_EQ(m_music.plays, 1);
  }
}

// The bonus outro has no music; the intro and the outro whose music cannot play (no sound device,
// no track) run the same way, to their last page.
TEST_F(ComicStateTest, AComicWithoutMusicRunsOnTheEngineClockUntilItsLastPageHasPassed) {
  for (EComic comic : {kBonusOutro, kIntro, kOutro}) {
    SCOPED_TRACE(comic);
    InitTimer();
    const uint64_t zero = hmtest::FakeNow();
    Enter(comic, {}, {}, true);
    ASSERT_GT(m_state->GetComic().frames.size(), 0u) << m_reports.All();
    const SComicFrame& last = m_state->GetComic().frames.back();
    const float end = last.start + last.duration;
    EXPECT_EQ(m_state->GetClock()->startTime, 0.0f) << "the clock starts as the comic is entered";
    m_state->Update(kFrame);
    EXPECT_EQ(m_music.plays, comic == kBonusOutro ? 0 : 1);
    for (int i = 0; i < 20; ++i) Frame();
    EXPECT_EQ(Finishes(), 0) << "the pages go on without their music";
    EXPECT_FLOAT_EQ(m_state->GetTime(), 20 * kFrame) << "the comic's time is the clock's";
    hmtest::FakeNow() = zero + uint64_t(end * 1e6f);
    // The intro's effects take one step a frame up to the end, and a frame that steps ends there.
    for (int i = 0; i < 12 && Finishes() == 0; ++i) m_state->Update(kFrame);
    ASSERT_EQ(GetTimeSeconds(), end);
    EXPECT_EQ(Finishes(), 0) << "at the end of the last page";
    Frame();
    EXPECT_EQ(Finishes(), 1) << "the first frame past it";
  }
}

TEST_F(ComicStateTest, AComicThatCannotBeReadEndsAtOnceAndDamagedSubtitlesShowNone) {
  Enter(kBonusOutro, {"Art/Outro/Collectors/outroCe.cmx"}, {"App/Comics/OutroCeSubtitles.xml"});
  EXPECT_TRUE(m_state->GetComic().frames.empty());
  EXPECT_NE(m_reports.All().find("outroCe.cmx"), std::string::npos) << m_reports.All();
  EXPECT_NE(m_reports.All().find("OutroCeSubtitles.xml: "), std::string::npos) << m_reports.All();
  ASSERT_NE(m_state->GetSubtitles(), nullptr);
  EXPECT_TRUE(m_state->GetSubtitles()->GetEntries().empty());
  Frame();
  EXPECT_EQ(Finishes(), 1);
}

TEST_F(ComicStateTest, SkipEndsEachComicOnAnyFrameAndAClickElsewhereDoesNot) {
  for (EComic comic : {kIntro, kOutro, kBonusOutro}) {
    SCOPED_TRACE(comic);
    Enter(comic);
    // Pressed on the very first frame.
    m_state->TakeInput(kSkip, true);
    m_state->Update(kFrame);
    EXPECT_EQ(Finishes(), 1);
    Enter(comic);
    for (int i = 0; i < 4; ++i) Frame();
    Click(kAway);
    Click({kSkip.x, kSkip.y + 13.0f});
    EXPECT_EQ(Finishes(), 0) << "below the button";
    Frame(kSkip, true);
    EXPECT_EQ(Finishes(), 0) << "the button held down from before acts not";
    Click(kSkip);
    EXPECT_EQ(Finishes(), 1);
  }
}

TEST_F(ComicStateTest, SkipLiesAtTheScreensRightWhateverItsShape) {
  Enter(kOutro);
  const struct {
    uint32_t mode;  // 1: 4:3, 0: 16:9
    Vector2 at;
    bool over;
  } cases[] = {
      {1, kSkip, true},
      {1, {kSkip.x + 50.0f, kSkip.y + 11.5f}, true},
      {1, {kSkip.x + 52.0f, kSkip.y}, false},
      {1, {kSkip.x, kSkip.y - 12.5f}, false},
      {0, {2260.8f, 1809.92f}, true},
      {0, {2260.8f + 37.5f, 1809.92f}, true},
      {0, {2260.8f + 39.0f, 1809.92f}, false},
      {1, {2222.0f, 1809.92f}, true},
      {0, {2222.0f, 1809.92f}, false},
  };
  for (const auto& c : cases) {
    hmtest::CCameraInMode camera(c.mode);
    m_state->TakeInput(c.at, false);
    EXPECT_EQ(m_state->IsOverSkip(), c.over) << "mode " << c.mode << " at " << c.at.x << ", " << c.at.y;
  }
}

TEST_F(ComicStateTest, PagesAndSubtitlesFollowTheMusicThroughAStall) {
  Enter(kIntro);
  Frame();
  FrameAt(20.0f);
  EXPECT_FLOAT_EQ(m_state->GetTime(), 20.0f);
  // The music stalls for two seconds of frames: the comic holds where the music stands.
  for (int i = 0; i < 40; ++i) {
    hmtest::FakeNow() += uint64_t(kFrame * 1e6f);
    m_state->Update(kFrame);
  }
  const float now = GetTimeSeconds();
  EXPECT_NEAR(now - m_state->GetClock()->startTime, 20.0f, 1e-3f);
  const CComicSubs::SEntry* shown = m_state->GetSubtitles()->EntryAt(now);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->phrase, "INTRO_04");
  EXPECT_EQ(Finishes(), 0);
}

TEST_F(ComicStateTest, TheIntrosEffectsRunAlongTheMusicOneStepAFrameAfterAJump) {
  Enter(kIntro);
  ASSERT_NE(Intro().GetEmitter(CIntro::kRain), nullptr) << m_reports.All();
  Frame();
  EXPECT_EQ(EmitterState(CIntro::kRain), MP::CEmitter::kRunning) << "the storm is falling from the start";
  // The rain fades out over half a second from 12 s, every frame.
  FrameAt(12.25f);
  EXPECT_NEAR(Intro().GetEmitter(CIntro::kRain)->GetAlpha(), 0.5f, 1e-3f);
  EXPECT_EQ(EmitterState(CIntro::kRain), MP::CEmitter::kFinishing);
  FrameAt(12.5f);
  EXPECT_NEAR(Intro().GetEmitter(CIntro::kRain)->GetAlpha(), 0.0f, 1e-3f);

  // The music jumps from 13 s to 70 s: the match's moment is missed for good and the first
  // candle is lit. The music then stops, but the steps it passed still come one a frame, and
  // the end is tested only on the frame after the last.
  FrameAt(13.0f);
  m_music.position = 70.0f;
  m_state->Update(kFrame);
  EXPECT_EQ(EmitterState(CIntro::kCandle1), MP::CEmitter::kRunning);
  m_music.playing = false;
  m_state->Update(kFrame);
  EXPECT_EQ(EmitterState(CIntro::kCandle1), MP::CEmitter::kFinishing);
  EXPECT_EQ(Finishes(), 0) << "a frame that takes a step tests no end";
  m_state->Update(kFrame);
  EXPECT_EQ(EmitterState(CIntro::kCandle2), MP::CEmitter::kRunning);
  EXPECT_EQ(Finishes(), 0);
  m_state->Update(kFrame);
  EXPECT_EQ(Finishes(), 1);
  EXPECT_FALSE(Intro().IsStepDone(1));
  EXPECT_EQ(EmitterState(CIntro::kMatches), MP::CEmitter::kStopped);
}

TEST_F(ComicStateTest, AStallPastSeveralMomentsTakesTheirStepsInOrderOneAFrame) {
  Enter(kIntro);
  Frame();
  FrameAt(26.5f);  // the rain's fade
  FrameAt(26.5f);  // the match
  EXPECT_EQ(EmitterState(CIntro::kMatches), MP::CEmitter::kRunning);
  // 26.5 s to 101 s at once: candle one lit and out, candle two lit and out, the second rain and
  // its fade, the third rain, each on a frame of its own.
  const struct {
    int step;
    int emitter;
    int32_t state;
  } steps[] = {
      {2, CIntro::kCandle1, MP::CEmitter::kRunning}, {3, CIntro::kCandle1, MP::CEmitter::kFinishing},
      {4, CIntro::kCandle2, MP::CEmitter::kRunning}, {5, CIntro::kCandle2, MP::CEmitter::kFinishing},
      {6, CIntro::kRain2, MP::CEmitter::kRunning},   {7, CIntro::kRain2, MP::CEmitter::kFinishing},
      {8, CIntro::kRain3, MP::CEmitter::kRunning},
  };
  for (const auto& s : steps) {
    m_music.position = 101.0f;
    m_state->Update(kFrame);
    EXPECT_TRUE(Intro().IsStepDone(s.step)) << s.step;
    EXPECT_FALSE(Intro().IsStepDone(s.step + 1)) << s.step;
    EXPECT_EQ(EmitterState(s.emitter), s.state) << s.step;
  }
  EXPECT_EQ(Intro().GetEmitter(CIntro::kRain3)->GetAlpha(), 1.0f);
  EXPECT_EQ(Intro().GetEmitter(CIntro::kRain2)->GetAlpha(), 0.0f);
}

TEST_F(ComicStateTest, AnIntroEnteredAgainStartsAfresh) {
  Enter(kIntro);
  Frame();
  FrameAt(40.0f);
  FrameAt(40.0f);
  Click(kSkip);
  ASSERT_EQ(Finishes(), 1);
  m_state->Release();
  m_application.events.clear();
  m_state->Init();
  m_state->Start();
  ASSERT_NE(m_state->GetClock(), nullptr);
  EXPECT_EQ(m_state->GetClock()->currentFrame, 0u) << "from the first page";
  EXPECT_FALSE(Intro().IsStepDone(0));
  EXPECT_EQ(m_music.plays, 2);
  Frame();
  EXPECT_EQ(EmitterState(CIntro::kRain), MP::CEmitter::kRunning);
  EXPECT_EQ(EmitterState(CIntro::kCandle1), MP::CEmitter::kStopped);
  EXPECT_EQ(Finishes(), 0);
}

}  // namespace
