// The sound manager: level conversion, voices and handles, loading, pause, music and the
// idle-sensor update.

#include "Quor/CSoundManager.h"

#include <gtest/gtest.h>

#include "Platform/AudioMusic.h"
#include "Quor/CThread.h"
#include "Quor/DirectX/dsutil.h"
#include "Quor/Timer.h"
#include "tests/Quor/SoundTestKit.h"

using namespace soundtest;
using audiotest::CDiskCapture;
using audiotest::SCapture;
using vfstest::ReportCapture;

namespace {

TEST(SoundLevels, ConvertLevelsFollowsTheDecibelCurveAndTheLouderSide) {
  const struct {
    float master, left, right;
    int volume, pan;
  } cases[] = {
      {1.0f, 1.0f, 1.0f, 0, 0},
      {1.0f, 0.5f, 0.5f, -670, 0},
      {1.0f, 0.0f, 0.0f, -10000, 0},
      {0.0f, 1.0f, 1.0f, -10000, 0},
      {0.5f, 1.0f, 1.0f, -670, 0},        // the master scales both levels
      {0.5f, 0.5f, 0.5f, -1295, 0},       // music at 0.5: 0.25 before the curve
      {1.0f, 1.0f, 0.0f, 0, -10000},      // left only
      {1.0f, 0.0f, 1.0f, 0, 10000},       // right only
      {1.0f, 1.0f, 0.5f, 0, -5000},
      {1.0f, 0.25f, 0.5f, -670, 5000},
      {1.0f, 2.0f, -1.0f, 0, -10000},     // levels are clamped to 0..1
      {1.0f, 0.0000001f, 0.0f, -8005, 0},  // too quiet to have a side
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "master " << c.master << " left " << c.left << " right " << c.right);
    const SSoundLevel level = ConvertLevels(c.master, c.left, c.right);
    EXPECT_EQ(level.volume, c.volume);
    EXPECT_EQ(level.pan, c.pan);
  }
}

class SoundManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { UseDummyAudio(); }
  void TearDown() override { DeleteFrameClock(); }

  // A content tree with a short sound, a looping one, a long one and a 22,050 Hz tone.
  CContentTree MakeContent(EContent kind = EContent::Plain) {
    return CContentTree(kind, {{"Sounds/Click.wav", ToneWave(PcmFormat(44100, 16, 1), 1000, 0.05)},
                               {"Sounds/Hum.wav", ToneWave(PcmFormat(44100, 16, 1), 200, 0.2)},
                               {"Sounds/Long.wav", ToneWave(PcmFormat(44100, 16, 1), 400, 2.0)},
                               {"Sounds/Low.wav", ToneWave(PcmFormat(22050, 16, 1), 1000, 0.1)},
                               {"OSK/press.wav", ToneWave(PcmFormat(44100, 8, 1), 1000, 0.05)}},
                        {{"Music/Theme.wav", ToneWave(PcmFormat(44100, 16, 1), 300, 0.2)}});
  }

  // Plays the sound at full rate and gives the buffer its voice sounds on.
  static CAudioBuffer* PlayOnBuffer(CSoundManager& manager, const char* name, bool looping, float left,
                                    float right) {
    uint32_t handle = 0;
    EXPECT_EQ(manager.PlaySound(manager.LoadSound(name, looping), &handle, left, right, 1.0f), CSoundManager::kPlayed);
    const SVoice* voice = manager.FindVoice(handle, 0);
    return voice ? voice->sound->sound->GetBuffer(voice->bufferIndex) : nullptr;
  }

  ReportCapture m_reports;
};

TEST_F(SoundManagerTest, LoadingSharesOneRecordPerFileName) {
  for (EContent kind : {EContent::Plain, EContent::Archive}) {
    SCOPED_TRACE(ContentName(kind));
    CContentTree tree = MakeContent(kind);
    CSoundManager manager;
    EXPECT_EQ(GetSoundManager(), &manager);
    SSoundRecord* first = manager.LoadSound("Sounds\\Click", false);
    SSoundRecord* second = manager.LoadSound("SOUNDS\\click", true);
    ASSERT_EQ(first, second);
    EXPECT_EQ(first->references, 2);
    EXPECT_FALSE(first->looping);  // the first load's flag stays
    EXPECT_EQ(first->name, "Sounds\\Click.wav");
    ASSERT_TRUE(first->sound);
    EXPECT_NEAR(manager.GetSoundLength(first), 0.05f, 0.0001f);

    manager.SetDirectory("OSK");
    EXPECT_STREQ(manager.GetDirectory(), "OSK\\");
    SSoundRecord* press = manager.LoadSound("press", false);
    EXPECT_EQ(press->name, "OSK\\press.wav");
    EXPECT_TRUE(press->sound);
    manager.SetDirectory("");

    manager.Flush();
    uint32_t handle = 0;
    ASSERT_EQ(manager.PlaySound(first, &handle, 1.0f, -1.0f, 1.0f), CSoundManager::kPlayed);
    manager.ReleaseSound(first);
    EXPECT_EQ(first->references, 1);
    EXPECT_FALSE(manager.IsSoundFinished(handle));
    manager.ReleaseSound(second);  // the last reference stops its voices
    EXPECT_TRUE(manager.IsSoundFinished(handle));
    // Loaded again, it is a new record.
    SSoundRecord* again = manager.LoadSound("Sounds\\Click", true);
    EXPECT_EQ(again->references, 1);
    EXPECT_TRUE(again->looping);
  }
  EXPECT_EQ(GetSoundManager(), nullptr);
  EXPECT_EQ(m_reports.All(), "");
}

TEST_F(SoundManagerTest, MissingOrDamagedSoundKeepsARecordThatPlaysNothing) {
  CContentTree tree = MakeContent();
  vfstest::WriteBytes(tree.Folder() + "/Sounds/Bad.wav", vfstest::Text("RIFF0000WAVE"));
  CSoundManager manager;
  manager.Flush();
  for (const char* name : {"Sounds\\Gone", "Sounds\\Bad"}) {
    SSoundRecord* record = manager.LoadSound(name, false);
    ASSERT_NE(record, nullptr);
    EXPECT_FALSE(record->sound);
    uint32_t handle = 0;
    EXPECT_EQ(manager.PlaySound(record, &handle, 1.0f, 1.0f, 1.0f), CSoundManager::kNotPlayed);
    EXPECT_TRUE(manager.IsSoundFinished(handle));
    EXPECT_EQ(manager.GetSoundLength(record), 0.0f);
  }
  EXPECT_TRUE(Reported("Sound Sounds\\Gone.wav not found")) << m_reports.All();
  EXPECT_TRUE(Reported("Sounds\\Bad.wav: RIFF chunk claims")) << m_reports.All();
}

TEST_F(SoundManagerTest, FortySixVoicesThenTheRequestFailsUnlessStealing) {
  CContentTree tree = MakeContent();
  CSoundManager manager;
  manager.Flush();
  SSoundRecord* click = manager.LoadSound("Sounds\\Long", false);
  SSoundRecord* hum = manager.LoadSound("Sounds\\Hum", true);
  std::vector<uint32_t> handles;
  for (int i = 0; i < SVoicePool::kCapacity; ++i) {
    uint32_t handle = 0;
    ASSERT_EQ(manager.PlaySound(i < 3 ? click : hum, &handle, 1.0f, 1.0f, 1.0f), CSoundManager::kPlayed);
    handles.push_back(handle);
  }
  EXPECT_EQ(handles.front(), 2u);  // the counter starts at 1 and each play counts first
  EXPECT_EQ(handles.back(), 47u);

  uint32_t handle = 99;
  EXPECT_EQ(manager.PlaySound(hum, &handle, 1.0f, 1.0f, 1.0f), CSoundManager::kNotPlayed);
  EXPECT_EQ(handle, 0u);

  // Stealing takes the oldest voice that does not loop.
  manager.SetStealMode(true);
  for (uint32_t stolen : {2u, 3u, 4u}) {
    ASSERT_EQ(manager.PlaySound(hum, &handle, 1.0f, 1.0f, 1.0f), CSoundManager::kPlayed);
    EXPECT_TRUE(manager.IsSoundFinished(stolen));
    EXPECT_FALSE(manager.IsSoundFinished(handle));
  }
  // Only looping voices are left: nothing to steal.
  EXPECT_EQ(manager.PlaySound(hum, &handle, 1.0f, 1.0f, 1.0f), CSoundManager::kNotPlayed);
  EXPECT_EQ(handle, 0u);

  // A stopped voice is free again.
  EXPECT_TRUE(manager.StopSound(handles.back()));
  EXPECT_FALSE(manager.StopSound(handles.back()));
  EXPECT_EQ(manager.PlaySound(hum, &handle, 1.0f, 1.0f, 1.0f), CSoundManager::kPlayed);
  manager.StopAllSounds();
  EXPECT_TRUE(manager.IsSoundFinished(handle));
  EXPECT_EQ(manager.FindVoice(handle, 0), nullptr);
}

TEST_F(SoundManagerTest, UpdateRetiresFinishedVoicesButNeverLoopingOnes) {
  CContentTree tree = MakeContent();
  CDiskCapture capture("manager-retire");
  CSoundManager manager;
  manager.Flush();
  uint32_t once = 0, looping = 0;
  ASSERT_EQ(manager.PlaySound(manager.LoadSound("Sounds\\Click", false), &once, 1.0f, 1.0f, 1.0f),
            CSoundManager::kPlayed);
  ASSERT_EQ(manager.PlaySound(manager.LoadSound("Sounds\\Hum", true), &looping, 1.0f, 1.0f, 1.0f),
            CSoundManager::kPlayed);
  const SVoice* voice = manager.FindVoice(once, 0);
  ASSERT_NE(voice, nullptr);
  EXPECT_EQ(manager.FindVoice(once, 1), nullptr);
  EXPECT_EQ(voice->frequency, 44100);
  // Retired once its sound has played to the end, and only then.
  ASSERT_TRUE(CDiskCapture::WaitFor([&] {
    manager.Update();
    return manager.IsSoundFinished(once);
  }));
  for (int i = 0; i < 20; ++i) manager.Update();
  EXPECT_FALSE(manager.IsSoundFinished(looping));
  capture.Finish();
}

TEST_F(SoundManagerTest, PausedVoicesWaitAndResumeWhereTheyStopped) {
  CContentTree tree = MakeContent();
  CDiskCapture capture("manager-pause", 4);
  CSoundManager manager;
  manager.Flush();
  CAudioBuffer* buffer = PlayOnBuffer(manager, "Sounds\\Long", false, 1.0f, 1.0f);
  ASSERT_NE(buffer, nullptr);
  const uint32_t handle = 2;  // the first play of a new manager
  ASSERT_TRUE(CDiskCapture::WaitFor([&] { return buffer->GetPosition() > 0; }));

  manager.PauseAll();
  EXPECT_TRUE(manager.IsPaused());
  const uint32_t pausedAt = buffer->GetPosition();
  const size_t written = capture.FramesWritten();
  ASSERT_TRUE(CDiskCapture::WaitFor([&] { return capture.FramesWritten() > written + 8192; }));
  manager.Update();
  EXPECT_FALSE(manager.IsSoundFinished(handle));
  EXPECT_EQ(buffer->GetPosition(), pausedAt);

  // While the game's clock stands still, the sound stays paused.
  CreateFrameClock();
  PauseTimer();
  manager.ResumeAll();
  EXPECT_TRUE(manager.IsPaused());
  EXPECT_FALSE(buffer->IsPlaying());
  ResumeTimer();

  manager.ResumeAll();
  EXPECT_FALSE(manager.IsPaused());
  EXPECT_TRUE(buffer->IsPlaying());
  EXPECT_GE(buffer->GetPosition(), pausedAt);
  ASSERT_TRUE(CDiskCapture::WaitFor([&] { return buffer->GetPosition() > pausedAt; }));
  capture.Finish();
}

TEST_F(SoundManagerTest, PlaysAtTheLevelPanAndRateAsked) {
  CContentTree tree = MakeContent();
  const double fullRms = kAmplitude * 32767.0 / std::sqrt(2.0);
  const struct {
    const char* sound;
    float left, right, rate, effects;
    double heardLeft, heardRight, hertz, seconds;
  } cases[] = {
      {"Sounds\\Click", 1.0f, 1.0f, 1.0f, 1.0f, 1.0, 1.0, 1000, 0.05},
      {"Sounds\\Click", 0.5f, 0.5f, 1.0f, 1.0f, 0.4624, 0.4624, 1000, 0.05},  // -6.7 dB
      {"Sounds\\Click", 1.0f, 1.0f, 1.0f, 0.5f, 0.4624, 0.4624, 1000, 0.05},  // through the master
      {"Sounds\\Click", 0.0f, 1.0f, 1.0f, 1.0f, 0.0, 1.0, 1000, 0.05},
      {"Sounds\\Click", 1.0f, 0.5f, 1.0f, 1.0f, 1.0, 0.0032, 1000, 0.05},  // pan -5000: -50 dB
      // A 22,050 Hz sound keeps its own pitch and length; the rate scales it.
      {"Sounds\\Low", 1.0f, 1.0f, 1.0f, 1.0f, 1.0, 1.0, 1000, 0.1},
      {"Sounds\\Low", 1.0f, 1.0f, 2.0f, 1.0f, 1.0, 1.0, 2000, 0.05},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sound << " " << c.left << "/" << c.right << " rate " << c.rate
                                    << " effects " << c.effects);
    CDiskCapture capture("manager-levels");
    ASSERT_TRUE(capture.Opened());
    CSoundManager manager;
    manager.SetSoundVolume(c.effects);
    manager.Flush();
    uint32_t handle = 0;
    ASSERT_EQ(manager.PlaySound(manager.LoadSound(c.sound, false), &handle, c.left, c.right, c.rate),
              CSoundManager::kPlayed);
    ASSERT_TRUE(CDiskCapture::WaitFor([&] {
      manager.Update();
      return manager.IsSoundFinished(handle);
    }));
    const SCapture mixed = capture.Finish();
    EXPECT_NEAR(mixed.Rms(0) / fullRms, c.heardLeft, 0.01);
    EXPECT_NEAR(mixed.Rms(1) / fullRms, c.heardRight, c.heardRight < 0.01 ? 0.001 : 0.01);
    EXPECT_NEAR(mixed.Frequency(c.heardLeft > 0 ? 0 : 1), c.hertz, c.hertz * 0.01);
    EXPECT_NEAR(mixed.SoundingSeconds(), c.seconds, 0.003);
  }
}

TEST_F(SoundManagerTest, VolumeChangesReachTheSoundingVoices) {
  CContentTree tree = MakeContent();
  CSoundManager manager;
  manager.Flush();
  CAudioBuffer* buffer = PlayOnBuffer(manager, "Sounds\\Hum", true, 0.5f, 1.0f);
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(buffer->GetVolume(), 0);
  EXPECT_EQ(buffer->GetPan(), 5000);
  manager.SetSoundVolume(0.5f);
  EXPECT_EQ(buffer->GetVolume(), -670);
  EXPECT_EQ(buffer->GetPan(), 5000);
  manager.SetSoundVolume(7.0f);
  EXPECT_EQ(manager.GetSoundVolume(), 1.0f);
  EXPECT_EQ(buffer->GetVolume(), 0);
}

TEST_F(SoundManagerTest, PlayingBeforeFlushIsReportedAndTheGameGoesOn) {
  CContentTree tree = MakeContent();
  CSoundManager manager;
  SSoundRecord* click = manager.LoadSound("Sounds\\Click", false);
  uint32_t handle = 5;
  EXPECT_EQ(manager.PlaySound(click, &handle, 1.0f, 1.0f, 1.0f), CSoundManager::kNotPlayed);
  EXPECT_EQ(handle, 0u);
  manager.PlayMusic("Music\\Theme", false);
  EXPECT_FALSE(manager.IsMusicPlaying());
  EXPECT_EQ(m_reports.All(), "Call Flush() first\ncall Flush before\n");
  manager.Flush();
  EXPECT_EQ(manager.PlaySound(click, &handle, 1.0f, 1.0f, 1.0f), CSoundManager::kPlayed);
}

TEST_F(SoundManagerTest, MusicVolumeIsSquaredAndPositionIsMinusOneWithoutMusic) {
  CContentTree tree = MakeContent();
  CSoundManager manager;
  manager.Flush();
  EXPECT_EQ(manager.GetMusicPosition(), -1.0f);
  EXPECT_FALSE(manager.IsMusicPlaying());
  manager.SetMusicVolume(0.5f);
  EXPECT_EQ(g_musicVolumeLevel, -1295);
  EXPECT_EQ(g_musicPan, 0);
  manager.PlayMusic("Music\\Theme", true);
  EXPECT_TRUE(manager.IsMusicPlaying());
  EXPECT_FALSE(manager.IsMusicPaused());
  EXPECT_GE(manager.GetMusicPosition(), 0.0f);
  manager.SetMusicVolume(1.0f);
  EXPECT_EQ(g_musicVolumeLevel, 0);
  // A missing track replaces the old one and leaves the music silent.
  manager.PlayMusic("Music\\Nothing", true);
  EXPECT_FALSE(manager.IsMusicPlaying());
  EXPECT_TRUE(Reported("Music Music\\Nothing.wav not found")) << m_reports.All();
  manager.StopMusic();
  EXPECT_EQ(manager.GetMusicPosition(), -1.0f);
}

TEST_F(SoundManagerTest, WithoutASoundOutputPlaysFailAndVolumesAreKept) {
  CContentTree tree = MakeContent();
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  CSoundManager manager;
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  EXPECT_FALSE(HasSoundDevice());
  EXPECT_TRUE(Reported("no audio output")) << m_reports.All();
  manager.Flush();
  SSoundRecord* click = manager.LoadSound("Sounds\\Click", false);
  EXPECT_FALSE(click->sound);
  uint32_t handle = 0;
  EXPECT_EQ(manager.PlaySound(click, &handle, 1.0f, 1.0f, 1.0f), CSoundManager::kNotPlayed);
  EXPECT_NE(handle, 0u);
  EXPECT_TRUE(manager.IsSoundFinished(handle));
  manager.PlayMusic("Music\\Theme", true);
  EXPECT_FALSE(manager.IsMusicPlaying());
  manager.SetSoundVolume(0.25f);
  manager.SetMusicVolume(0.75f);
  EXPECT_EQ(manager.GetSoundVolume(), 0.25f);
  EXPECT_EQ(manager.GetMusicVolume(), 0.75f);
}

// The idle sensor updates from its own thread (here without pause, as if the pump had stalled
// long ago) while the main thread keeps playing, pausing and finally destroying the manager.
TEST_F(SoundManagerTest, IdleSensorUpdatesAreSerialisedWithTheMainThread) {
  CContentTree tree = MakeContent();
  SoundIdleCallback();  // no manager yet: nothing happens
  auto* manager = new CSoundManager();
  EXPECT_EQ(GetIdleCallbackCount(), 1u);
  manager->Flush();
  SSoundRecord* click = manager->LoadSound("Sounds\\Click", false);
  SSoundRecord* hum = manager->LoadSound("Sounds\\Hum", true);
  manager->PlayMusic("Music\\Theme", true);
  NoteMessagePump(0);
  CIdleSensor sensor([] { return uint64_t(1) << 40; }, 0);
  ASSERT_TRUE(sensor.Start());
  ASSERT_TRUE(CDiskCapture::WaitFor([] { return IsMessagePumpStalled(); }));
  for (int i = 0; i < 2000; ++i) {
    uint32_t handle = 0;
    manager->PlaySound(i % 2 ? click : hum, &handle, 1.0f, 0.5f, 1.0f);
    if (i % 3 == 0) manager->StopSound(handle);
    if (i % 100 == 0) manager->PauseAll();
    if (i % 100 == 50) manager->ResumeAll();
  }
  delete manager;  // while the sensor still calls in
  EXPECT_EQ(GetSoundManager(), nullptr);
  EXPECT_EQ(GetIdleCallbackCount(), 0u);
  sensor.Stop();
}

}  // namespace
