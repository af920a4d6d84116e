#include "Platform/AudioWave.h"

#include <gtest/gtest.h>

#include "AudioTestSupport.h"

using namespace audiotest;

namespace {

TEST(AudioWave, ParsesEveryPlayablePcmLayout) {
  struct SCase {
    uint32_t rate;
    uint16_t bits;
    uint16_t channels;
  };
  for (SCase c : {SCase{22050, 8, 1}, SCase{22050, 8, 2}, SCase{44100, 16, 1}, SCase{48000, 16, 2}}) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz " << c.bits << " bit " << c.channels << " ch");
    const SWaveFormat format = PcmFormat(c.rate, c.bits, c.channels);
    const std::vector<uint8_t> samples = SineSamples(format, 440, 0.01, 0.5);
    const std::vector<uint8_t> file = WaveFile(format, samples);
    SWaveData wave;
    std::string error;
    ASSERT_TRUE(ParseWave(file.data(), file.size(), "tone.wav", wave, error)) << error;
    EXPECT_EQ(wave.format.samplesPerSecond, c.rate);
    EXPECT_EQ(wave.format.bitsPerSample, c.bits);
    EXPECT_EQ(wave.format.channels, c.channels);
    EXPECT_EQ(wave.format.blockAlign, c.channels * c.bits / 8);
    ASSERT_EQ(wave.sampleBytes, samples.size());
    EXPECT_EQ(0, std::memcmp(wave.samples, samples.data(), samples.size()));
    EXPECT_TRUE(CheckPlayableFormat(wave.format, "tone.wav", error)) << error;
  }
}

TEST(AudioWave, SkipsUnknownAndOddSizedChunksInAnyOrder) {
  const SWaveFormat format = PcmFormat(8000, 8, 1);
  const std::vector<uint8_t> samples = {1, 2, 3};  // odd: padded with one byte
  const std::vector<uint8_t> file = RiffWave({Chunk("LIST", {9, 9, 9, 9, 9}), Chunk("data", samples),
                                              Chunk("junk", {}), Chunk("fmt ", FormatBody(format))});
  SWaveData wave;
  std::string error;
  ASSERT_TRUE(ParseWave(file.data(), file.size(), "mixed.wav", wave, error)) << error;
  EXPECT_EQ(wave.sampleBytes, 3u);
  EXPECT_EQ(wave.samples[0], 1);
  EXPECT_EQ(wave.format.samplesPerSecond, 8000u);
}

TEST(AudioWave, KeepsTheExtraBytesOfOtherFormats) {
  SWaveFormat format = PcmFormat(22050, 4, 1);
  format.formatTag = 2;
  format.extraBytes = {0xF4, 0x01, 0x07, 0x00};
  const std::vector<uint8_t> file = WaveFile(format, {0, 0, 0, 0});
  SWaveData wave;
  std::string error;
  ASSERT_TRUE(ParseWave(file.data(), file.size(), "adpcm.wav", wave, error)) << error;
  EXPECT_EQ(wave.format.formatTag, 2);
  EXPECT_EQ(wave.format.extraBytes, format.extraBytes);
  // Parsed, but the mixer does not play it.
  EXPECT_FALSE(CheckPlayableFormat(wave.format, "adpcm.wav", error));
  EXPECT_EQ(error, "adpcm.wav: format 2 is not integer PCM");
}

std::vector<uint8_t> WithU32At(std::vector<uint8_t> file, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) file[offset + i] = uint8_t(value >> (8 * i));
  return file;
}

TEST(AudioWave, RejectsDamagedFilesWithTheReason) {
  const SWaveFormat format = PcmFormat(22050, 16, 1);
  const std::vector<uint8_t> good = WaveFile(format, std::vector<uint8_t>(100, 0));
  // good: RIFF header 12, "fmt " header at 12 (body 16 at 20), "data" header at 36 (body at 44).
  std::vector<uint8_t> shortFormat = FormatBody(format);
  shortFormat.resize(14);
  SWaveFormat adpcm = format;
  adpcm.formatTag = 2;
  std::vector<uint8_t> lyingExtra = FormatBody(adpcm);
  lyingExtra[16] = 40;  // announces 40 extra bytes, holds none

  struct SCase {
    const char* what;
    std::vector<uint8_t> file;
    const char* reason;
  };
  const SCase cases[] = {
      {"empty", {}, "too short for a RIFF header"},
      {"truncated header", std::vector<uint8_t>(good.begin(), good.begin() + 10),
       "too short for a RIFF header"},
      {"not RIFF", WithU32At(good, 0, 0x46464952 + 1), "not a RIFF/WAVE file"},
      {"RIFF size beyond the file", WithU32At(good, 4, 1000), "RIFF chunk claims 1008 bytes"},
      {"data beyond the file", std::vector<uint8_t>(good.begin(), good.end() - 50),
       "RIFF chunk claims"},
      {"data size beyond the RIFF chunk",
       WithU32At(WithU32At(good, 40, 0x7FFFFFF0), 4, uint32_t(good.size() - 8)),
       "chunk \"data\" at offset 36 claims 2147483632 bytes"},
      {"fmt size beyond the RIFF chunk", WithU32At(good, 16, 0xFFFFFFFF),
       "chunk \"fmt \" at offset 12 claims 4294967295 bytes"},
      {"fmt too short", RiffWave({Chunk("fmt ", shortFormat), Chunk("data", {0, 0})}),
       "\"fmt \" chunk is 14 bytes, at least 16 are needed"},
      {"extra bytes beyond fmt", RiffWave({Chunk("fmt ", lyingExtra), Chunk("data", {0, 0})}),
       "announces 40 extra bytes but holds only 0"},
      {"no fmt", RiffWave({Chunk("data", {0, 0})}), "no \"fmt \" chunk"},
      {"no data", RiffWave({Chunk("fmt ", FormatBody(format))}), "no \"data\" chunk"},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.what);
    SWaveData wave;
    std::string error;
    EXPECT_FALSE(ParseWave(c.file.data(), c.file.size(), "Sounds/broken.wav", wave, error));
    EXPECT_EQ(error.rfind("Sounds/broken.wav: ", 0), 0u) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

TEST(AudioWave, PlayableFormatChecksEachField) {
  struct SCase {
    SWaveFormat format;
    const char* reason;
  };
  SWaveFormat badBlock = PcmFormat(22050, 16, 2);
  badBlock.blockAlign = 2;
  const SCase cases[] = {
      {PcmFormat(44100, 24, 2), "24 bits per sample"},
      {PcmFormat(44100, 16, 6), "6 channels"},
      {PcmFormat(0, 16, 1), "sample rate 0 Hz"},
      {PcmFormat(400000, 16, 1), "sample rate 400000 Hz"},
      {badBlock, "block size 2 does not match 2 channels of 16 bits"},
  };
  for (const SCase& c : cases) {
    std::string error;
    EXPECT_FALSE(CheckPlayableFormat(c.format, "x.wav", error));
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

}  // namespace
