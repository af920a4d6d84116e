// The music stream: opening beside the content tree, the end of a track, looping at the stop
// position, and muting while the player is away.

#include "Quor/DirectX/SMusicStream.h"

#include <gtest/gtest.h>

#include "Platform/AudioMusic.h"
#include "Quor/DirectX/ApplicationActivity.h"
#include "Quor/DirectX/dsutil.h"
#include "tests/Quor/SoundTestKit.h"

using namespace soundtest;
using audiotest::CDiskCapture;
using audiotest::SCapture;
using vfstest::ReportCapture;

namespace {


class MusicStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseDummyAudio();
    g_musicVolumeLevel = 0;
    g_musicPan = 0;
    g_musicMuted = false;
    SetApplicationActive(true);
  }
  void TearDown() override {
    CloseMusicStream(&m_stream);
    ReleaseDirectSound();
    SetApplicationActive(true);
  }
  // Runs the stream's update, as the sound manager does, until `done` holds.
  bool UpdateUntil(const std::function<bool()>& done) {
    return CDiskCapture::WaitFor(done, [&] { UpdateMusicStream(&m_stream); });
  }

  ReportCapture m_reports;
  SMusicStream m_stream;
};

// 0.1 s at 500 Hz, then 0.1 s at 2000 Hz.
Bytes TwoToneWave() {
  const SWaveFormat format = PcmFormat(44100, 16, 1);
  Bytes samples = audiotest::SineSamples(format, 500, 0.1, kAmplitude);
  const Bytes high = audiotest::SineSamples(format, 2000, 0.1, kAmplitude);
  samples.insert(samples.end(), high.begin(), high.end());
  return audiotest::WaveFile(format, samples);
}

TEST_F(MusicStreamTest, TrackPlayedOnceStopsPlayingAtItsEnd) {
  // Music lies as plain files below the root, beside the archive in archive mode.
  for (EContent kind : {EContent::Plain, EContent::Archive}) {
    SCOPED_TRACE(ContentName(kind));
    CContentTree tree(kind, {{"Dummy.txt", vfstest::Text("x")}},
                      {{"Music/Theme.wav", ToneWave(PcmFormat(22050, 16, 2), 600, 0.3)}});
    CDiskCapture capture("stream-once", audiotest::kStreamingDriverDelayMs);
    ASSERT_TRUE(InitDirectSound());
    OpenMusicStream(&m_stream, "music\\theme");
    ASSERT_TRUE(m_stream.audio);
    StartMusicStream(&m_stream, false);
    EXPECT_TRUE(m_stream.playing);
    EXPECT_EQ(m_stream.stopPosition, 3 * CAudioMusic::kUnitsPerSecond / 10);
    ASSERT_TRUE(UpdateUntil([&] { return !m_stream.playing; }));
    EXPECT_FALSE(m_stream.paused);
    EXPECT_FALSE(m_stream.audio->IsPlaying());
    const SCapture mixed = capture.Finish();
    EXPECT_NEAR(mixed.SoundingSeconds(), 0.3, 0.01);
    CloseMusicStream(&m_stream);
    EXPECT_FALSE(m_stream.audio);
  }
  EXPECT_EQ(m_reports.All(), "");
}

TEST_F(MusicStreamTest, LoopingTrackRestartsAtItsStopPosition) {
  CContentTree tree(EContent::Plain, {}, {{"Loop.wav", TwoToneWave()}});
  CDiskCapture capture("stream-loop", audiotest::kStreamingDriverDelayMs);
  ASSERT_TRUE(InitDirectSound());
  OpenMusicStream(&m_stream, "Loop");
  ASSERT_TRUE(m_stream.audio);
  ASSERT_TRUE(m_stream.audio->SetStopPosition(CAudioMusic::kUnitsPerSecond / 10));
  StartMusicStream(&m_stream, true);
  EXPECT_EQ(m_stream.stopPosition, CAudioMusic::kUnitsPerSecond / 10);
  const size_t start = capture.FramesWritten();
  float furthest = 0.0f;
  ASSERT_TRUE(UpdateUntil([&] {
    furthest = std::max(furthest, GetMusicStreamPosition(&m_stream));
    return capture.FramesWritten() > start + size_t(capture.Rate() / 2);
  }));
  EXPECT_TRUE(m_stream.playing);
  EXPECT_TRUE(m_stream.looping);
  EXPECT_LT(furthest, 0.1f);
  const SCapture mixed = capture.Finish();
  // Half a second of the first tone only: five passes, never past the stop position.
  EXPECT_GT(mixed.SoundingSeconds(), 0.45);
  EXPECT_NEAR(mixed.Frequency(0), 500, 5);
}

TEST_F(MusicStreamTest, MissingOrUnplayableMusicStaysSilent) {
  const SWaveFormat deep = PcmFormat(44100, 24, 1);
  CContentTree tree(EContent::Plain, {},
                    {{"Deep.wav", audiotest::WaveFile(deep, Bytes(300, 0))}, {"Broken.wav", vfstest::Text("RIFF")}});
  ASSERT_TRUE(InitDirectSound());
  const struct {
    const char* name;
    const char* report;
  } cases[] = {
      {"Nowhere", "Music Nowhere.wav not found"},
      {"Deep", "Deep.wav: 24 bits per sample"},
      {"Broken", "Broken.wav: file of 4 bytes is too short"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReportCapture::Texts().clear();
    OpenMusicStream(&m_stream, c.name);
    StartMusicStream(&m_stream, true);
    UpdateMusicStream(&m_stream);
    EXPECT_FALSE(m_stream.playing);
    EXPECT_FALSE(m_stream.audio);
    EXPECT_EQ(GetMusicStreamPosition(&m_stream), 0.0f);
    EXPECT_TRUE(Reported(c.report)) << m_reports.All();
    CloseMusicStream(&m_stream);
  }
}

TEST_F(MusicStreamTest, InactiveApplicationMutesMusicAndReturnRestoresTheCurrentLevel) {
  CContentTree tree(EContent::Plain, {}, {{"Calm.wav", ToneWave(PcmFormat(22050, 16, 1), 300, 3.0)}});
  ASSERT_TRUE(InitDirectSound());
  g_musicVolumeLevel = -1295;
  g_musicPan = 0;
  OpenMusicStream(&m_stream, "Calm");
  StartMusicStream(&m_stream, true);
  ASSERT_TRUE(m_stream.playing);
  CAudioMusic& audio = *m_stream.audio;
  EXPECT_EQ(audio.GetVolume(), -1295);

  SetApplicationActive(false);
  UpdateMusicStream(&m_stream);
  EXPECT_TRUE(g_musicMuted);
  EXPECT_EQ(audio.GetVolume(), -10000);
  // A level change while away is kept for the return, not heard now.
  g_musicVolumeLevel = -300;
  ApplyMusicVolume(&m_stream);
  UpdateMusicStream(&m_stream);
  EXPECT_EQ(audio.GetVolume(), -10000);

  SetApplicationActive(true);
  UpdateMusicStream(&m_stream);
  EXPECT_FALSE(g_musicMuted);
  EXPECT_EQ(audio.GetVolume(), -300);
}

}  // namespace
