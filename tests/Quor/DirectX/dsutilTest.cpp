// WAVE reading from the content tree and sounds held in ten buffers.

#include "Quor/DirectX/dsutil.h"

#include <gtest/gtest.h>

#include <set>

#include "tests/Quor/SoundTestKit.h"

using namespace soundtest;
using vfstest::ReportCapture;
using vfstest::SFile;

namespace {

class SoundDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseDummyAudio();
    ASSERT_TRUE(InitDirectSound());
  }
  void TearDown() override {
    ReleaseDirectSound();
    SetBuiltInSoundFolder("Resources");
  }
  ReportCapture m_reports;
};

Bytes ReadAllSamples(CWaveReader& reader) {
  Bytes samples(reader.GetSize() + 16, 0xEE);
  uint32_t read = 0;
  EXPECT_EQ(reader.Read(samples.data(), uint32_t(samples.size()), &read), EWaveResult::Ok);
  samples.resize(read);
  return samples;
}

TEST_F(SoundDataTest, LoadsFromAPlainFolderAndFromAnArchive) {
  const SWaveFormat mono8 = PcmFormat(22050, 8, 1);
  const SWaveFormat stereo16 = PcmFormat(44100, 16, 2);
  const Bytes low = audiotest::SineSamples(mono8, 500, 0.1, kAmplitude);
  const Bytes high = audiotest::SineSamples(stereo16, 1000, 0.25, kAmplitude);
  for (EContent kind : {EContent::Plain, EContent::Archive}) {
    SCOPED_TRACE(ContentName(kind));
    CContentTree tree(kind, {{"Sounds/Low.wav", audiotest::WaveFile(mono8, low)},
                             {"Sounds/Sub/High.wav", audiotest::WaveFile(stereo16, high)}});
    CWaveReader reader;
    // Content names use "\" and any case.
    ASSERT_EQ(reader.Open("sounds\\sub\\HIGH.wav"), EWaveResult::Ok);
    EXPECT_EQ(reader.GetFormat()->channels, 2);
    EXPECT_EQ(reader.GetSize(), high.size());
    EXPECT_EQ(ReadAllSamples(reader), high);
    // Read in pieces after a reset: the same bytes, then nothing.
    ASSERT_EQ(reader.Reset(), EWaveResult::Ok);
    Bytes pieces(high.size());
    uint32_t read = 0;
    ASSERT_EQ(reader.Read(pieces.data(), 1000, &read), EWaveResult::Ok);
    ASSERT_EQ(reader.Read(pieces.data() + 1000, uint32_t(high.size()), &read), EWaveResult::Ok);
    EXPECT_EQ(read, high.size() - 1000);
    EXPECT_EQ(pieces, high);
    EXPECT_EQ(reader.Read(pieces.data(), 10, &read), EWaveResult::Ok);
    EXPECT_EQ(read, 0u);

    auto sound = CreateSound("Sounds/Low.wav");
    ASSERT_TRUE(sound);
    EXPECT_FLOAT_EQ(sound->GetLength(), float(low.size()) / 22050.0f);
    EXPECT_EQ(sound->GetSampleRate(), 22050u);
    for (int i = 0; i < CSoundDX::kBufferCount; ++i) {
      ASSERT_NE(sound->GetBuffer(i), nullptr);
      EXPECT_EQ(sound->GetBuffer(i)->SizeInBytes(), low.size());
    }
    EXPECT_EQ(sound->GetBuffer(CSoundDX::kBufferCount), nullptr);
    EXPECT_EQ(sound->GetBuffer(-1), nullptr);
  }
  EXPECT_EQ(m_reports.All(), "");
}

TEST_F(SoundDataTest, ReaderRefusesBadCalls) {
  CWaveReader reader;
  uint32_t read = 7;
  char byte = 0;
  EXPECT_EQ(reader.Read(&byte, 1, &read), EWaveResult::NotOpen);
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(reader.Reset(), EWaveResult::NotOpen);
  EXPECT_EQ(reader.Read(nullptr, 1, &read), EWaveResult::InvalidArgument);
  EXPECT_EQ(reader.Read(&byte, 1, nullptr), EWaveResult::InvalidArgument);
  EXPECT_EQ(reader.Open(nullptr), EWaveResult::Fail);
  EXPECT_EQ(reader.GetFormat(), nullptr);
}

TEST_F(SoundDataTest, OtherFormatsKeepTheirExtraBytesButDoNotPlay) {
  SWaveFormat adpcm = PcmFormat(22050, 4, 1);
  adpcm.formatTag = 2;
  adpcm.blockAlign = 256;
  adpcm.extraBytes = {0x12, 0x34, 0x56, 0x78};
  CContentTree tree(EContent::Plain, {{"Odd.wav", audiotest::WaveFile(adpcm, Bytes(512, 0x11))}});
  CWaveReader reader;
  ASSERT_EQ(reader.Open("Odd.wav"), EWaveResult::Ok);
  EXPECT_EQ(reader.GetFormat()->formatTag, 2);
  EXPECT_EQ(reader.GetFormat()->extraBytes, adpcm.extraBytes);
  EXPECT_EQ(reader.GetSize(), 512u);
  EXPECT_FALSE(CreateSound("Odd.wav"));
  EXPECT_TRUE(Reported("Odd.wav: format 2 is not integer PCM")) << m_reports.All();
}

TEST_F(SoundDataTest, DamagedFilesAreReportedByNameAndReason) {
  const SWaveFormat format = PcmFormat(22050, 16, 1);
  const Bytes samples = audiotest::SineSamples(format, 500, 0.01, kAmplitude);
  const Bytes good = audiotest::WaveFile(format, samples);
  Bytes shortFormat = audiotest::RiffWave({audiotest::Chunk("fmt ", Bytes(14, 1)), audiotest::Chunk("data", samples)});
  Bytes noData = audiotest::RiffWave({audiotest::Chunk("fmt ", audiotest::FormatBody(format))});
  Bytes notWave = good;
  std::copy_n("AVI ", 4, notWave.begin() + 8);
  Bytes hugeData = good;  // the data chunk claims 4 GiB
  std::fill_n(hugeData.end() - long(samples.size()) - 4, 4, 0xFF);
  Bytes truncated(good.begin(), good.end() - 10);
  const struct {
    const char* name;
    Bytes bytes;
    const char* reason;
  } cases[] = {
      {"Empty.wav", {}, "file of 0 bytes is too short for a RIFF header"},
      {"NotWave.wav", notWave, "not a RIFF/WAVE file"},
      {"ShortFormat.wav", shortFormat, "\"fmt \" chunk is 14 bytes, at least 16 are needed"},
      {"NoData.wav", noData, "no \"data\" chunk"},
      {"Huge.wav", hugeData, "chunk \"data\" at offset 36 claims 4294967295 bytes"},
      {"Truncated.wav", truncated, "RIFF chunk claims"},
  };
  std::vector<SFile> files;
  for (const auto& c : cases) files.push_back({std::string("Bad/") + c.name, c.bytes});
  CContentTree tree(EContent::Plain, files);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReportCapture::Texts().clear();
    const std::string name = std::string("Bad/") + c.name;
    CWaveReader reader;
    EXPECT_EQ(reader.Open(name.c_str()), EWaveResult::Fail);
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(CreateSound(name.c_str()));
    EXPECT_TRUE(Reported(name + ": " + c.reason)) << m_reports.All();
  }
}

TEST_F(SoundDataTest, MissingPlainFileFallsBackOnTheBuiltInSounds) {
  CContentTree tree(EContent::Plain, {});
  const Bytes builtIn = ToneWave(PcmFormat(44100, 16, 1), 800, 0.05);
  vfstest::WriteBytes(tree.Folder() + "/Own/WAV/Sounds/Click.wav", builtIn);
  SetBuiltInSoundFolder((tree.Folder() + "/Own").c_str());

  CWaveReader reader;
  EXPECT_EQ(reader.Open("Sounds\\click.wav"), EWaveResult::Ok);
  EXPECT_EQ(reader.GetSize(), builtIn.size() - 44);
  EXPECT_EQ(m_reports.All(), "");

  EXPECT_EQ(reader.Open("Sounds/Missing.wav"), EWaveResult::Fail);
  EXPECT_EQ(m_reports.All(), "Sound Sounds/Missing.wav not found\n");
  EXPECT_FALSE(CreateSound("Sounds/Missing.wav"));
}

TEST_F(SoundDataTest, MissingSoundInAnArchiveStopsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // the audio thread is running
  CContentTree tree(EContent::Archive, {{"Sounds/There.wav", ToneWave(PcmFormat(44100, 16, 1), 800, 0.05)}});
  EXPECT_EXIT(CreateSound("Sounds/Gone.wav"), ::testing::ExitedWithCode(3), "Sound Sounds/Gone.wav not found");
}

TEST_F(SoundDataTest, NothingLoadsWithoutASoundOutput) {
  CContentTree tree(EContent::Plain, {{"A.wav", ToneWave(PcmFormat(44100, 16, 1), 800, 0.05)}});
  ReleaseDirectSound();
  EXPECT_FALSE(HasSoundDevice());
  EXPECT_FALSE(CreateSound("A.wav"));
  EXPECT_EQ(m_reports.All(), "");
}

// Looping plays keep their buffers busy, so the choice of buffer can be watched.
TEST_F(SoundDataTest, TenCopiesSoundAtOnceAndAnEleventhRestartsOne) {
  CContentTree tree(EContent::Plain, {{"Loop.wav", ToneWave(PcmFormat(44100, 16, 1), 800, 0.5)}});
  auto sound = CreateSound("Loop.wav");
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->GetLastIndex(), -1);
  for (int i = 0; i < CSoundDX::kBufferCount; ++i) {
    ASSERT_TRUE(sound->Play(true, 0, CSoundDX::kKeepFrequency, 0));
    EXPECT_EQ(sound->GetLastIndex(), i);  // the first free buffer in order
  }
  std::set<int> chosen;
  for (int i = 0; i < 40; ++i) {
    ASSERT_TRUE(sound->Play(true, -500, 22050, 300));
    const int index = sound->GetLastIndex();
    ASSERT_GE(index, 0);
    ASSERT_LT(index, CSoundDX::kBufferCount);
    chosen.insert(index);
    CAudioBuffer* buffer = sound->GetBuffer(index);
    EXPECT_TRUE(buffer->IsPlaying());
    EXPECT_EQ(buffer->GetVolume(), -500);
    EXPECT_EQ(buffer->GetFrequency(), 22050u);
    EXPECT_EQ(buffer->GetPan(), 300);
  }
  EXPECT_GT(chosen.size(), 1u);  // chosen at random, not always the same

  // A stopped buffer is free again and is the one the next play takes.
  sound->Stop(4);
  EXPECT_FALSE(sound->IsBufferPlaying(4));
  EXPECT_EQ(sound->GetBuffer(4)->GetPosition(), 0u);
  ASSERT_TRUE(sound->Play(false, 0, CSoundDX::kKeepFrequency, 0));
  EXPECT_EQ(sound->GetLastIndex(), 4);
}

TEST_F(SoundDataTest, PauseHoldsTheBufferAndItsPlace) {
  CContentTree tree(EContent::Plain, {{"Long.wav", ToneWave(PcmFormat(44100, 16, 1), 800, 2.0)}});
  auto sound = CreateSound("Long.wav");
  ASSERT_TRUE(sound);
  ASSERT_TRUE(sound->Play(false, 0, CSoundDX::kKeepFrequency, 0));
  CAudioBuffer* buffer = sound->GetBuffer(0);
  ASSERT_TRUE(audiotest::CDiskCapture::WaitFor([&] { return buffer->GetPosition() > 0; }));
  sound->Pause(0);
  const uint32_t pausedAt = buffer->GetPosition();
  EXPECT_FALSE(buffer->IsPlaying());
  EXPECT_TRUE(sound->IsBufferPlaying(0));  // held by the pause
  EXPECT_TRUE(sound->IsBufferPaused(0));
  // A new play does not take the paused buffer.
  ASSERT_TRUE(sound->Play(false, 0, CSoundDX::kKeepFrequency, 0));
  EXPECT_EQ(sound->GetLastIndex(), 1);
  EXPECT_EQ(buffer->GetPosition(), pausedAt);
  sound->Resume(0, false);
  EXPECT_TRUE(buffer->IsPlaying());
  EXPECT_FALSE(sound->IsBufferPaused(0));
  EXPECT_GE(buffer->GetPosition(), pausedAt);
}

}  // namespace
