#include "Platform/AudioBuffer.h"

#include <gtest/gtest.h>

#include "AudioTestSupport.h"

using namespace audiotest;

namespace {

std::unique_ptr<CAudioBuffer> ToneBuffer(const SWaveFormat& format, double hertz, double seconds) {
  const std::vector<uint8_t> samples = SineSamples(format, hertz, seconds, kAmplitude);
  return CAudioBuffer::Create(format, samples.data(), uint32_t(samples.size()), "tone.wav");
}

// Plays `buffers` (already set up) once and captures the mix until all have stopped.
SCapture PlayOnceAndCapture(CDiskCapture& capture, const std::vector<CAudioBuffer*>& buffers) {
  for (CAudioBuffer* buffer : buffers) buffer->Play(false);
  EXPECT_TRUE(CDiskCapture::WaitFor([&] {
    for (CAudioBuffer* buffer : buffers)
      if (buffer->IsPlaying()) return false;
    return true;
  }));
  return capture.Finish();
}

TEST(AudioBuffer, VolumeAndPanFollowTheDecibelRule) {
  struct SCase {
    int volume;
    int pan;
    double left;
    double right;
  };
  const SCase cases[] = {
      {0, 0, 1.0, 1.0},          {-600, 0, 0.501, 0.501},   {0, -10000, 1.0, 0.0},
      {0, 10000, 0.0, 1.0},      {0, 600, 0.501, 1.0},      {-600, -600, 0.501, 0.251},
      {-10000, 0, 0.0, 0.0},
  };
  const SWaveFormat format = PcmFormat(44100, 16, 1);
  const double fullRms = kAmplitude * 32767.0 / std::sqrt(2.0);
  for (const SCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "volume " << c.volume << " pan " << c.pan);
    CDiskCapture capture("levels");
    ASSERT_TRUE(capture.Opened());
    auto buffer = ToneBuffer(format, 1000, 0.1);
    ASSERT_TRUE(buffer);
    ASSERT_TRUE(buffer->SetVolume(c.volume));
    ASSERT_TRUE(buffer->SetPan(c.pan));
    const SCapture mixed = PlayOnceAndCapture(capture, {buffer.get()});
    if (c.left == 0.0 && c.right == 0.0) {
      EXPECT_EQ(mixed.Peak(0), 0);
      EXPECT_EQ(mixed.Peak(1), 0);
      continue;
    }
    EXPECT_NEAR(mixed.Rms(0) / fullRms, c.left, 0.02);
    EXPECT_NEAR(mixed.Rms(1) / fullRms, c.right, 0.02);
    // Full attenuation is exact silence, not merely quiet.
    if (c.right == 0.0) {
      EXPECT_EQ(mixed.Peak(1), 0);
    }
    if (c.left == 0.0) {
      EXPECT_EQ(mixed.Peak(0), 0);
    }
  }
}

TEST(AudioBuffer, ResamplesToTheDeviceRateAndHonoursTheFrequency) {
  struct SCase {
    SWaveFormat format;
    uint32_t frequency;  // 0: the sound's own rate
    double heardHertz;
    double heardSeconds;
  };
  const SCase cases[] = {
      {PcmFormat(22050, 8, 1), 0, 1000, 0.2},
      {PcmFormat(22050, 8, 1), 44100, 2000, 0.1},  // played twice as fast
      {PcmFormat(48000, 16, 2), 0, 1000, 0.2},
      {PcmFormat(11025, 16, 1), 22050, 2000, 0.1},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.format.samplesPerSecond << " Hz played at " << c.frequency);
    CDiskCapture capture("resample");
    ASSERT_TRUE(capture.Opened());
    auto buffer = ToneBuffer(c.format, 1000, 0.2);
    ASSERT_TRUE(buffer);
    ASSERT_TRUE(buffer->SetFrequency(c.frequency));
    EXPECT_EQ(buffer->GetFrequency(), c.frequency ? c.frequency : c.format.samplesPerSecond);
    const SCapture mixed = PlayOnceAndCapture(capture, {buffer.get()});
    EXPECT_NEAR(mixed.Frequency(0), c.heardHertz, c.heardHertz * 0.01);
    EXPECT_NEAR(mixed.Frequency(1), c.heardHertz, c.heardHertz * 0.01);
    EXPECT_NEAR(mixed.SoundingSeconds(), c.heardSeconds, 0.005);
    // The 8-bit source comes out at its own level, not offset or scaled.
    EXPECT_NEAR(mixed.Peak(0) / 32767.0, kAmplitude, 0.02);
  }
}

TEST(AudioBuffer, OncePlaysToTheEndAndRewindsWhileLoopingGoesOn) {
  CDiskCapture capture("looping");
  ASSERT_TRUE(capture.Opened());
  const SWaveFormat format = PcmFormat(44100, 16, 1);
  auto looping = ToneBuffer(format, 500, 0.05);
  auto once = looping->Duplicate();
  ASSERT_TRUE(looping && once);
  ASSERT_TRUE(looping->SetPan(-10000));  // the looping copy on the left only
  ASSERT_TRUE(once->SetPan(10000));      // the single play on the right only
  EXPECT_EQ(once->GetPan(), 10000);
  EXPECT_EQ(looping->GetPan(), -10000);

  looping->Play(true);
  once->Play(false);
  EXPECT_TRUE(looping->IsLooping());
  // The driver mixes flat out, so half a second of sound may pass before the second Play:
  // count the time from the single play's end.
  ASSERT_TRUE(CDiskCapture::WaitFor([&] { return !once->IsPlaying(); }));
  EXPECT_EQ(once->GetPosition(), 0u);  // ready to play again from the start
  const size_t wanted = capture.FramesWritten() + size_t(0.5 * capture.Rate());
  ASSERT_TRUE(CDiskCapture::WaitFor([&] { return capture.FramesWritten() > wanted; }));
  EXPECT_TRUE(looping->IsPlaying());
  EXPECT_LT(looping->GetPosition(), looping->SizeInBytes());
  looping->Stop();
  const uint32_t stoppedAt = looping->GetPosition();
  const SCapture mixed = capture.Finish();
  EXPECT_EQ(looping->GetPosition(), stoppedAt);  // Stop keeps the position
  EXPECT_FALSE(looping->IsPlaying());

  // Right channel: one pass of 0.05 s. Left channel: many passes without a gap.
  const double rightSpan = mixed.SoundingSeconds(0, 1);
  size_t longestQuiet = 0, quiet = 0;
  const auto left = mixed.SoundingSpan(100, 0);
  for (size_t f = left.first; f < left.second; ++f) {
    quiet = mixed.Sounds(f, 0, 100) ? 0 : quiet + 1;
    longestQuiet = std::max(longestQuiet, quiet);
  }
  EXPECT_NEAR(rightSpan, 0.05, 0.002);
  EXPECT_GT(double(left.second - left.first) / mixed.rate, 0.4);
  EXPECT_LT(longestQuiet, 10u);  // no silence where the loop turns
}

TEST(AudioBuffer, DuplicatesShareSamplesButNotState) {
  CDiskCapture capture("duplicates");
  ASSERT_TRUE(capture.Opened());
  auto original = ToneBuffer(PcmFormat(44100, 16, 1), 1000, 0.1);
  ASSERT_TRUE(original);
  ASSERT_TRUE(original->SetVolume(-600));
  auto copy = original->Duplicate();
  EXPECT_EQ(copy->GetVolume(), -600);  // starts with the original's settings
  EXPECT_EQ(copy->SizeInBytes(), original->SizeInBytes());

  original->Play(true);
  ASSERT_TRUE(CDiskCapture::WaitFor([&] { return original->GetPosition() > 0; }));
  EXPECT_FALSE(copy->IsPlaying());
  EXPECT_EQ(copy->GetPosition(), 0u);
  copy->Play(false);
  original.reset();  // the samples live on with the copy
  ASSERT_TRUE(CDiskCapture::WaitFor([&] { return !copy->IsPlaying(); }));
  capture.Finish();
}

TEST(AudioBuffer, RefusesWhatItCannotPlay) {
  CapturedAudioErrors().clear();
  SetAudioErrorHandler(CaptureAudioError);
  const SWaveFormat format = PcmFormat(44100, 16, 1);
  const std::vector<uint8_t> samples(100, 0);
  // No device open (the tests run with the dummy driver, which is not opened here).
  EXPECT_FALSE(CAudioBuffer::Create(format, samples.data(), 100, "early.wav"));
  {
    CDiskCapture capture("refuse");
    ASSERT_TRUE(capture.Opened());
    EXPECT_FALSE(CAudioBuffer::Create(PcmFormat(44100, 24, 1), samples.data(), 99, "deep.wav"));
    EXPECT_FALSE(CAudioBuffer::Create(format, samples.data(), 1, "tiny.wav"));
    auto buffer = CAudioBuffer::Create(format, samples.data(), 101, "odd.wav");
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->SizeInBytes(), 100u);  // the partial frame is dropped
    EXPECT_FALSE(buffer->SetVolume(1));
    EXPECT_FALSE(buffer->SetVolume(-10001));
    EXPECT_FALSE(buffer->SetPan(10001));
    EXPECT_FALSE(buffer->SetFrequency(50));
    EXPECT_FALSE(buffer->SetPosition(100));
    EXPECT_TRUE(buffer->SetPosition(99));
    EXPECT_EQ(buffer->GetPosition(), 98u);  // whole frames only
    EXPECT_EQ(buffer->GetVolume(), 0);
  }
  SetAudioErrorHandler(nullptr);
  const std::vector<std::string> expected = {
      "early.wav: no audio output is open",
      "deep.wav: 24 bits per sample; 8 or 16 are played",
      "tiny.wav: no sample data",
  };
  EXPECT_EQ(CapturedAudioErrors(), expected);
}

}  // namespace
