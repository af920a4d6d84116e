// Runs the soundgen program and reads its files back through the engine's WAVE parser.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/Platform/AudioTestSupport.h"
#include "tests/support/ProgramRun.h"

using audiotest::SCapture;

namespace {

// A file of the running test (ctest runs the tests side by side).
std::string WorkPath(const std::string& name) { return TestFolder("soundgen") + "/" + name; }

SProgramRun RunSoundGen(const std::string& arguments) { return RunTool("soundgen", arguments, TestFolder("soundgen")); }

struct SSound {
  SWaveFormat format;
  SCapture samples;  // always two channels; a mono file is copied to both
};

// A WAVE file read back through the engine's parser.
SSound ReadSound(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  SWaveData wave;
  std::string error;
  SSound sound;
  if (!ParseWave(bytes.data(), bytes.size(), path.c_str(), wave, error)) {
    ADD_FAILURE() << error;
    return sound;
  }
  sound.format = wave.format;
  sound.samples.rate = int(wave.format.samplesPerSecond);
  const int16_t* values = reinterpret_cast<const int16_t*>(wave.samples);
  const size_t count = wave.sampleBytes / 2;
  for (size_t i = 0; i < count; ++i) {
    sound.samples.samples.push_back(values[i]);
    if (wave.format.channels == 1) sound.samples.samples.push_back(values[i]);
  }
  return sound;
}

SSound Generate(const std::string& arguments) {
  const std::string path = WorkPath("out.wav");
  std::remove(path.c_str());
  const SProgramRun run = RunSoundGen(arguments + " -o " + path);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  return ReadSound(path);
}

// How strongly `hertz` is present in the left channel of [first, last), as an amplitude 0..1.
double ToneStrength(const SCapture& sound, double hertz, size_t first, size_t last) {
  double re = 0.0, im = 0.0;
  for (size_t f = first; f < last; ++f) {
    const double angle = 2.0 * M_PI * hertz * double(f) / sound.rate;
    re += sound.At(f, 0) * std::cos(angle);
    im += sound.At(f, 0) * std::sin(angle);
  }
  return 2.0 * std::hypot(re, im) / double(last - first) / 32767.0;
}

// The largest level in the left channel within `seconds` +- 5 ms, as 0..1.
double LevelAt(const SCapture& sound, double seconds) {
  const size_t centre = size_t(seconds * sound.rate), half = size_t(0.005 * sound.rate);
  int peak = 0;
  for (size_t f = centre > half ? centre - half : 0; f < std::min(centre + half, sound.Frames()); ++f)
    peak = std::max(peak, std::abs(int(sound.At(f, 0))));
  return peak / 32767.0;
}

TEST(SoundGen, WritesTonesNoiseAndPannedSoundsAt44100Hz16Bit) {
  struct SCase {
    const char* arguments;
    int channels;
    double seconds;
    double hertz;  // 0: not a pitched sound
    double peakLeft;
    double peakRight;
  };
  const SCase cases[] = {
      {"tone --freq 440 --duration 0.5", 1, 0.5, 440, 0.5, 0.5},
      {"tone --wave square --freq 1000 --volume 0.8 --duration 0.25", 1, 0.25, 1000, 0.8, 0.8},
      {"tone --wave triangle --freq 250 --volume 1", 1, 1.0, 250, 1.0, 1.0},
      {"tone --freq 300 --pan -1", 2, 1.0, 300, 0.5, 0.0},
      {"tone --freq 300 --pan 0.5 --duration 0.2", 2, 0.2, 300, 0.25, 0.5},
      {"noise --duration 0.2 --seed 7 --stereo", 2, 0.2, 0, 0.5, 0.5},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.arguments);
    const SSound sound = Generate(c.arguments);
    EXPECT_EQ(sound.format.formatTag, kWaveFormatPcm);
    EXPECT_EQ(sound.format.samplesPerSecond, 44100u);
    EXPECT_EQ(sound.format.bitsPerSample, 16);
    EXPECT_EQ(sound.format.channels, c.channels);
    EXPECT_NEAR(double(sound.samples.Frames()) / 44100.0, c.seconds, 1.0 / 44100.0);
    if (c.hertz > 0) {
      EXPECT_NEAR(sound.samples.Frequency(0, 0, sound.samples.Frames()), c.hertz, c.hertz * 0.005);
    }
    EXPECT_NEAR(sound.samples.Peak(0) / 32767.0, c.peakLeft, 0.02);
    EXPECT_NEAR(sound.samples.Peak(1) / 32767.0, c.peakRight, 0.02);
  }
}

TEST(SoundGen, ChordHoldsEveryNoteAndStaysWithinTheVolume) {
  const SSound sound = Generate("chord --freq 400,600,1000 --volume 0.9 --duration 0.5");
  const size_t frames = sound.samples.Frames();
  for (double hertz : {400.0, 600.0, 1000.0}) EXPECT_NEAR(ToneStrength(sound.samples, hertz, 0, frames), 0.3, 0.02);
  EXPECT_LT(ToneStrength(sound.samples, 500.0, 0, frames), 0.02);
  EXPECT_LE(sound.samples.Peak(0) / 32767.0, 0.9 + 1e-3);
}

TEST(SoundGen, EnvelopeShapesAttackDecaySustainAndRelease) {
  const SSound sound = Generate(
      "tone --freq 1000 --volume 1 --duration 1 --attack 0.1 --decay 0.1 --sustain 0.5 --release 0.2");
  struct SPoint {
    double seconds;
    double level;
  } const points[] = {{0.005, 0.05}, {0.05, 0.5}, {0.1, 1.0}, {0.15, 0.75},
                      {0.5, 0.5},    {0.9, 0.25}, {0.995, 0.025}};
  for (const SPoint& p : points) {
    SCOPED_TRACE(testing::Message() << "at " << p.seconds << " s");
    EXPECT_NEAR(LevelAt(sound.samples, p.seconds), p.level, 0.06);
  }
  EXPECT_LT(std::abs(sound.samples.At(sound.samples.Frames() - 1, 0)), 200);
}

TEST(SoundGen, MelodyFromAScoreFileFollowsTheTempo) {
  const std::string score = WorkPath("score.txt");
  std::ofstream(score) << "# two notes around a rest\nA4:1 R:0.5   # half a beat of silence\n\nA5:0.5\n";
  const SSound sound = Generate("melody --tempo 120 --file " + score);
  const SCapture& s = sound.samples;
  ASSERT_EQ(s.Frames(), size_t(44100));  // 0.5 + 0.25 + 0.25 s
  EXPECT_NEAR(s.Frequency(0, 0, 22050), 440, 3);
  EXPECT_EQ(s.Peak(0) > 0, true);
  for (size_t f = 22050; f < 33075; ++f) ASSERT_EQ(s.At(f, 0), 0) << "frame " << f;
  EXPECT_NEAR(s.Frequency(0, 33075, 44100), 880, 6);

  // The same on the command line, with note names, a chord and a frequency.
  const SSound inline_ = Generate("melody --tempo 60 C4:0.5 C4+E4+G4:0.25 261.63:0.25");
  EXPECT_EQ(inline_.samples.Frames(), size_t(44100));
  EXPECT_NEAR(inline_.samples.Frequency(0, 0, 22050), 261.63, 2);
  EXPECT_NEAR(ToneStrength(inline_.samples, 329.63, 22050, 33075), 0.5 / 3, 0.02);
}

// A table of recipes makes each sound under its name as the same command line would, and a
// bad recipe is named by its file and line.
TEST(SoundGen, TableMakesEachRecipeUnderItsName) {
  const std::string table = WorkPath("recipes.txt");
  const std::string folder = TestFolder("soundgen") + "/table";
  std::filesystem::create_directories(folder);
  std::ofstream(table) << "# the sounds of a place\n"
                          "chime tone --freq 880 --duration 0.25 --volume 0.3\n"
                          "\n"
                          "  wind noise --duration 0.5 --seed 7\n"
                          "steps melody --tempo 240 C3 R C3\n";
  const SProgramRun run = RunSoundGen("table " + table + " " + folder);
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  const SSound chime = ReadSound(folder + "/chime.wav");
  EXPECT_NEAR(double(chime.samples.Frames()) / chime.samples.rate, 0.25, 0.001);
  EXPECT_GT(ToneStrength(chime.samples, 880, 2000, 8000), 0.25);
  EXPECT_NEAR(double(ReadSound(folder + "/wind.wav").samples.Frames()) / 44100, 0.5, 0.001);
  EXPECT_NEAR(double(ReadSound(folder + "/steps.wav").samples.Frames()) / 44100, 0.75, 0.001);

  const struct {
    const char* recipes;
    const char* message;
  } kBad[] = {
      {"chime tone\nchime noise\n", "recipes.txt:2: a second recipe \"chime\""},
      {"# one\nchime\n", "recipes.txt:2: expected NAME COMMAND [options]"},
      {"chime tone -o elsewhere.wav\n", "recipes.txt:1: a recipe is written under its name"},
      {"chime tone --wave saw\n", "recipes.txt:1: --wave: 'saw' is not sine, square or triangle"},
  };
  for (const auto& c : kBad) {
    SCOPED_TRACE(c.recipes);
    std::ofstream(table) << c.recipes;
    const SProgramRun bad = RunSoundGen("table " + table + " " + folder);
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.errors.find(c.message), std::string::npos) << bad.errors;
  }
  EXPECT_EQ(RunSoundGen("table " + table).exitCode, 2);
}

TEST(SoundGen, BadCommandLinesExplainThemselves) {
  const std::string missing = WorkPath("missing-score.txt");
  struct SCase {
    std::string arguments;
    std::string message;
  };
  const SCase cases[] = {
      {"", "no command given"},
      {"tone --freq 440", "no output file given"},
      {"whistle -o x.wav", "unknown command 'whistle'"},
      {"tone --freq -5 -o x.wav", "--freq: '-5' is not a number from 1 to 22049"},
      {"tone --freq 440,550 -o x.wav", "a tone takes one frequency"},
      {"tone --wave saw -o x.wav", "--wave: 'saw' is not sine, square or triangle"},
      {"tone --duration -o x.wav", "--duration: '-o' is not a number"},
      {"tone --volume", "--volume: a value is missing"},
      {"tone --bogus 1 -o x.wav", "unknown option --bogus"},
      {"melody -o x.wav C4 H4", "'H4' is not a note name or a frequency below 22050 Hz"},
      {"melody -o x.wav C4:zero", "'zero' is not a number of beats"},
      {"melody -o x.wav", "no notes"},
      {"melody -o x.wav --file " + missing, missing + ": cannot be opened"},
  };
  for (const SCase& c : cases) {
    SCOPED_TRACE(c.arguments);
    const SProgramRun run = RunSoundGen(c.arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.errors.find(c.message), std::string::npos) << run.errors;
  }
  const SProgramRun unwritable = RunSoundGen("tone -o " + WorkPath("no-such-folder/x.wav"));
  EXPECT_EQ(unwritable.exitCode, 1);
  EXPECT_NE(unwritable.errors.find("no-such-folder/x.wav: No such file or directory"), std::string::npos);

  EXPECT_EQ(RunSoundGen("--help").exitCode, 0);
}

}  // namespace
