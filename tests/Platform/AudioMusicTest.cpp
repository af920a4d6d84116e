#include "Platform/AudioMusic.h"

#include <gtest/gtest.h>

#include "AudioTestSupport.h"

using namespace audiotest;

namespace {

// A file in memory; it can be told to fail beyond a byte, and it counts what is read.
class CMemoryFile : public IAudioStreamReader {
 public:
  struct SCounters {
    uint64_t bytesRead = 0;
    uint64_t largestRead = 0;
  };
  CMemoryFile(std::vector<uint8_t> bytes, std::shared_ptr<SCounters> counters,
              uint64_t failBeyond = UINT64_MAX)
      : bytes_(std::move(bytes)), counters_(std::move(counters)), failBeyond_(failBeyond) {}
  uint64_t Size() override { return bytes_.size(); }
  size_t ReadAt(uint64_t offset, void* destination, size_t count) override {
    const uint64_t end = std::min<uint64_t>({offset + count, bytes_.size(), failBeyond_});
    if (offset >= end) return 0;
    std::memcpy(destination, bytes_.data() + offset, size_t(end - offset));
    counters_->bytesRead += end - offset;
    counters_->largestRead = std::max<uint64_t>(counters_->largestRead, count);
    return size_t(end - offset);
  }

 private:
  std::vector<uint8_t> bytes_;
  std::shared_ptr<SCounters> counters_;
  uint64_t failBeyond_;
};

std::unique_ptr<IAudioStreamReader> FileOf(const std::vector<uint8_t>& bytes,
                                           uint64_t failBeyond = UINT64_MAX) {
  return std::make_unique<CMemoryFile>(bytes, std::make_shared<CMemoryFile::SCounters>(),
                                       failBeyond);
}

std::vector<uint8_t> ToneFile(const SWaveFormat& format, double hertz, double seconds) {
  return WaveFile(format, SineSamples(format, hertz, seconds, kAmplitude));
}

constexpr int64_t kSecond = CAudioMusic::kUnitsPerSecond;

class AudioMusicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CapturedAudioErrors().clear();
    SetAudioErrorHandler(CaptureAudioError);
  }
  void TearDown() override { SetAudioErrorHandler(nullptr); }

  // Services the music (as the engine's sound update would) until `done` holds.
  static bool ServiceUntil(CAudioMusic& music, const std::function<bool()>& done) {
    return CDiskCapture::WaitFor(done, [&] { music.Service(); });
  }
};

TEST_F(AudioMusicTest, TrackPlayedOnceEndsAtItsEnd) {
  CDiskCapture capture("music-once", kStreamingDriverDelayMs);
  ASSERT_TRUE(capture.Opened());
  CAudioMusic music;
  ASSERT_TRUE(music.Open(FileOf(ToneFile(PcmFormat(22050, 16, 2), 600, 0.3)), "Music/once"));
  EXPECT_EQ(music.GetDuration(), 3 * kSecond / 10);
  EXPECT_EQ(music.GetStopPosition(), music.GetDuration());
  music.Play(false);
  EXPECT_TRUE(music.IsPlaying());
  ASSERT_TRUE(ServiceUntil(music, [&] { return music.HasEnded(); }));
  EXPECT_FALSE(music.IsPlaying());
  EXPECT_EQ(music.GetPosition(), music.GetDuration());
  const SCapture mixed = capture.Finish();
  EXPECT_NEAR(mixed.SoundingSeconds(), 0.3, 0.005);
  EXPECT_NEAR(mixed.Frequency(0), 600, 6);

  // Played again after its end, it starts over.
  music.Play(false);
  EXPECT_FALSE(music.HasEnded());
  EXPECT_EQ(music.GetPosition(), 0);
}

TEST_F(AudioMusicTest, LoopingTrackRestartsAtItsStopPosition) {
  // 0.1 s at 500 Hz, then 0.1 s at 2000 Hz; the stop position cuts the second half off.
  const SWaveFormat format = PcmFormat(44100, 16, 1);
  std::vector<uint8_t> samples = SineSamples(format, 500, 0.1, kAmplitude);
  const std::vector<uint8_t> high = SineSamples(format, 2000, 0.1, kAmplitude);
  samples.insert(samples.end(), high.begin(), high.end());

  CDiskCapture capture("music-loop", kStreamingDriverDelayMs);
  ASSERT_TRUE(capture.Opened());
  CAudioMusic music;
  ASSERT_TRUE(music.Open(FileOf(WaveFile(format, samples)), "Music/loop"));
  ASSERT_TRUE(music.SetStopPosition(kSecond / 10));
  EXPECT_EQ(music.GetStopPosition(), kSecond / 10);
  music.Play(true);
  const size_t start = capture.FramesWritten();
  int64_t furthest = 0;
  ASSERT_TRUE(ServiceUntil(music, [&] {
    furthest = std::max(furthest, music.GetPosition());
    return capture.FramesWritten() > start + size_t(capture.Rate());
  }));
  EXPECT_TRUE(music.IsPlaying());
  EXPECT_TRUE(music.IsLooping());
  EXPECT_FALSE(music.HasEnded());
  EXPECT_LT(furthest, kSecond / 10);
  music.Stop();
  EXPECT_FALSE(music.IsPlaying());
  EXPECT_EQ(music.GetPosition(), 0);
  const SCapture mixed = capture.Finish();
  // A second of sound at 500 Hz throughout: ten passes over the first half, never the second.
  EXPECT_GT(mixed.SoundingSeconds(), 0.9);
  EXPECT_NEAR(mixed.Frequency(0), 500, 5);
}

TEST_F(AudioMusicTest, VolumeBalanceAndPause) {
  CDiskCapture capture("music-levels", kStreamingDriverDelayMs);
  ASSERT_TRUE(capture.Opened());
  CAudioMusic music;
  // Long enough that the pause lands mid-track even on a busy machine (the driver runs ~2.3x real time).
  ASSERT_TRUE(music.Open(FileOf(ToneFile(PcmFormat(44100, 16, 1), 1000, 3.0)), "Music/levels"));
  ASSERT_TRUE(music.SetVolume(-600));
  ASSERT_TRUE(music.SetBalance(10000));  // right only
  EXPECT_FALSE(music.SetVolume(100));
  EXPECT_FALSE(music.SetBalance(-10001));
  EXPECT_EQ(music.GetVolume(), -600);
  EXPECT_EQ(music.GetBalance(), 10000);
  music.Play(false);
  ASSERT_TRUE(ServiceUntil(music, [&] { return music.GetPosition() > 0; }));
  music.Pause();
  EXPECT_TRUE(music.IsPaused());
  EXPECT_TRUE(music.IsPlaying());
  const int64_t pausedAt = music.GetPosition();
  const size_t written = capture.FramesWritten();
  ASSERT_TRUE(CDiskCapture::WaitFor([&] { return capture.FramesWritten() > written + 8192; }));
  EXPECT_EQ(music.GetPosition(), pausedAt);
  music.Play(false);
  EXPECT_FALSE(music.IsPaused());
  ASSERT_TRUE(ServiceUntil(music, [&] { return music.HasEnded(); }));
  const SCapture mixed = capture.Finish();
  EXPECT_EQ(mixed.Peak(0), 0);
  EXPECT_NEAR(mixed.Peak(1) / 32767.0, kAmplitude * 0.501, 0.01);
}

TEST_F(AudioMusicTest, ReadsAheadInChunksNotTheWholeFile) {
  CDiskCapture capture("music-chunks", kStreamingDriverDelayMs);
  ASSERT_TRUE(capture.Opened());
  const std::vector<uint8_t> file = ToneFile(PcmFormat(44100, 16, 2), 440, 5.0);
  auto counters = std::make_shared<CMemoryFile::SCounters>();
  CAudioMusic music;
  ASSERT_TRUE(music.Open(std::make_unique<CMemoryFile>(file, counters), "Music/long"));
  music.Play(false);
  EXPECT_LT(counters->bytesRead, file.size() / 2);
  EXPECT_LE(counters->largestRead, 64u * 1024u);
  ASSERT_TRUE(ServiceUntil(music, [&] { return music.GetPosition() > 3 * kSecond; }));
  EXPECT_GT(counters->bytesRead, file.size() * 3 / 5);
  music.Stop();
  capture.Finish();
}

TEST_F(AudioMusicTest, DamagedFilesAreReportedAndStaySilent) {
  const SWaveFormat format = PcmFormat(22050, 16, 1);
  std::vector<uint8_t> lyingData = ToneFile(format, 440, 0.1);
  lyingData[40] = 0xFF;  // the "data" chunk now claims more than the file holds
  lyingData[41] = 0xFF;
  lyingData[42] = 0xFF;

  CAudioMusic music;
  EXPECT_FALSE(music.Open(FileOf(ToneFile(format, 440, 0.1)), "Music/early"));
  CDiskCapture capture("music-damaged", kStreamingDriverDelayMs);
  ASSERT_TRUE(capture.Opened());
  EXPECT_FALSE(music.Open(FileOf(lyingData), "Music/lying"));
  EXPECT_FALSE(music.Open(FileOf(ToneFile(PcmFormat(22050, 24, 1), 440, 0.1)), "Music/deep"));
  EXPECT_FALSE(music.Open(nullptr, "Music/missing"));
  EXPECT_FALSE(music.IsOpen());
  music.Play(true);
  music.Service();
  EXPECT_FALSE(music.IsPlaying());
  EXPECT_EQ(music.GetPosition(), 0);
  ASSERT_EQ(CapturedAudioErrors().size(), 4u);
  EXPECT_EQ(CapturedAudioErrors()[0], "Music/early: no audio output is open");
  EXPECT_NE(CapturedAudioErrors()[1].find("Music/lying: chunk \"data\" at offset 36 claims"),
            std::string::npos)
      << CapturedAudioErrors()[1];
  EXPECT_EQ(CapturedAudioErrors()[3], "Music/missing: no file to read");

  // A file that stops answering part-way plays what it gave, reports, and ends.
  const std::vector<uint8_t> good = ToneFile(format, 440, 0.5);
  const uint64_t dataOffset = 44, goodFrames = 5512;  // a quarter second
  ASSERT_TRUE(music.Open(FileOf(good, dataOffset + goodFrames * 2), "Music/failing"));
  music.Play(true);
  ASSERT_TRUE(ServiceUntil(music, [&] { return music.HasEnded(); }));
  EXPECT_EQ(music.GetPosition(), int64_t(goodFrames * kSecond / 22050));
  ASSERT_EQ(CapturedAudioErrors().size(), 5u);
  EXPECT_EQ(CapturedAudioErrors()[4], "Music/failing: could not read the samples at byte 11068");
  capture.Finish();
}

}  // namespace
