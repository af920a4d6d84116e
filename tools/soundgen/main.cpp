// soundgen: writes the game's test and sample sounds (tones, noise bursts, chords, melodies)
// as 44.1 kHz 16-bit WAVE files.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tools/soundgen/SoundGen.h"

using namespace soundgen;

namespace {

const char kHelp[] =
    "soundgen: writes 44.1 kHz 16-bit PCM WAVE files.\n"
    "\n"
    "Usage:\n"
    "  soundgen tone   -o FILE [--wave KIND] [--freq HZ] [--duration SEC] [options]\n"
    "  soundgen noise  -o FILE [--duration SEC] [--seed N] [options]\n"
    "  soundgen chord  -o FILE --freq HZ,HZ[,HZ...] [--wave KIND] [--duration SEC] [options]\n"
    "  soundgen melody -o FILE [--tempo BPM] [--wave KIND] [options] NOTE...\n"
    "  soundgen melody -o FILE [--tempo BPM] [--wave KIND] [options] --file SCORE\n"
    "  soundgen table RECIPES OUT_DIR\n"
    "  soundgen --help\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE  the WAVE file to write (required)\n"
    "  --wave KIND        sine, square or triangle (default sine)\n"
    "  --freq HZ[,HZ...]  frequency of a tone (default 440), or the notes of a chord\n"
    "  --duration SEC     length of a tone, noise burst or chord (default 1)\n"
    "  --volume V         peak level, 0 to 1 (default 0.5)\n"
    "  --attack SEC       envelope: rise to the peak (default 0.01)\n"
    "  --decay SEC        envelope: fall to the sustain level (default 0)\n"
    "  --sustain LEVEL    envelope: level held, 0 to 1 of the peak (default 1)\n"
    "  --release SEC      envelope: fade at the end (default 0.01)\n"
    "  --pan P            -1 (left only) to 1 (right only); writes a stereo file\n"
    "  --stereo           write two channels even without a pan\n"
    "  --tempo BPM        melody: beats per minute (default 120)\n"
    "  --seed N           noise: seed of the random generator (default 1)\n"
    "  --file SCORE       melody: read the notes from a text file\n"
    "\n"
    "Notes of a melody: NOTE[:BEATS] separated by spaces (BEATS defaults to 1). NOTE is a name\n"
    "with its octave (C4, F#3, Bb5; A4 is 440 Hz), a frequency in Hz (523.25), a chord joined\n"
    "by '+' (C4+E4+G4) or R for a rest. Each note gets the whole envelope. In a score file the\n"
    "notes may span lines and '#' starts a comment.\n"
    "\n"
    "A table of recipes writes many sounds at once: one a line, NAME COMMAND [options] [NOTE...]\n"
    "with the commands and options above (no -o), written as OUT_DIR/NAME.wav; '#' starts a\n"
    "comment line.\n"
    "\n"
    "Example:\n"
    "  soundgen melody -o jingle.wav --wave triangle --tempo 150 C5:0.5 E5:0.5 G5 C5+E5+G5:2\n";

constexpr int kUsageError = 2;
constexpr int kWriteError = 1;

int UsageError(const std::string& text) {
  std::fprintf(stderr, "soundgen: %s\n(soundgen --help shows the usage)\n", text.c_str());
  return kUsageError;
}

bool ParseNumber(const std::string& option, const std::string& text, double low, double high,
                 double& value, std::string& error) {
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(value >= low && value <= high)) {
    std::ostringstream message;
    message << option << ": '" << text << "' is not a number from " << low << " to " << high;
    error = message.str();
    return false;
  }
  return true;
}

bool ParseFrequencies(const std::string& text, std::vector<double>& frequencies,
                      std::string& error) {
  std::stringstream parts(text);
  std::string part;
  while (std::getline(parts, part, ',')) {
    double hertz = 0.0;
    if (!ParseNumber("--freq", part, 1.0, kSampleRate / 2.0 - 1.0, hertz, error)) return false;
    frequencies.push_back(hertz);
  }
  if (frequencies.empty()) {
    error = "--freq: no frequency given";
    return false;
  }
  return true;
}

struct SRequest {
  std::string command;
  std::string output;
  std::string scoreFile;
  std::vector<std::string> notes;
  std::vector<double> frequencies;
  double duration = 1.0;
  double tempo = 120.0;
  double pan = 0.0;
  bool stereo = false;
  SVoiceSettings voice;
};

bool ParseWaveKind(const std::string& text, EWave& wave, std::string& error) {
  static const std::map<std::string, EWave> kKinds = {
      {"sine", EWave::Sine}, {"square", EWave::Square}, {"triangle", EWave::Triangle}};
  const auto found = kKinds.find(text);
  if (found == kKinds.end()) {
    error = "--wave: '" + text + "' is not sine, square or triangle";
    return false;
  }
  wave = found->second;
  return true;
}

// Reads the options after the command; false with `error` on the first bad one.
bool ParseOptions(int argc, char** argv, SRequest& request, std::string& error) {
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--stereo") {
      request.stereo = true;
      continue;
    }
    if (option.rfind("-", 0) != 0 || option == "-") {
      request.notes.push_back(option);
      continue;
    }
    if (i + 1 >= argc) {
      error = option + ": a value is missing";
      return false;
    }
    const std::string value = argv[++i];
    double number = 0.0;
    bool ok = true;
    if (option == "-o" || option == "--output") {
      request.output = value;
    } else if (option == "--file") {
      request.scoreFile = value;
    } else if (option == "--wave") {
      ok = ParseWaveKind(value, request.voice.wave, error);
    } else if (option == "--freq") {
      request.frequencies.clear();
      ok = ParseFrequencies(value, request.frequencies, error);
    } else if (option == "--duration") {
      ok = ParseNumber(option, value, 0.001, 600.0, request.duration, error);
    } else if (option == "--volume") {
      ok = ParseNumber(option, value, 0.0, 1.0, request.voice.volume, error);
    } else if (option == "--attack") {
      ok = ParseNumber(option, value, 0.0, 600.0, request.voice.envelope.attack, error);
    } else if (option == "--decay") {
      ok = ParseNumber(option, value, 0.0, 600.0, request.voice.envelope.decay, error);
    } else if (option == "--sustain") {
      ok = ParseNumber(option, value, 0.0, 1.0, request.voice.envelope.sustain, error);
    } else if (option == "--release") {
      ok = ParseNumber(option, value, 0.0, 600.0, request.voice.envelope.release, error);
    } else if (option == "--pan") {
      ok = ParseNumber(option, value, -1.0, 1.0, request.pan, error);
      request.stereo = true;
    } else if (option == "--tempo") {
      ok = ParseNumber(option, value, 1.0, 1000.0, request.tempo, error);
    } else if (option == "--seed") {
      ok = ParseNumber(option, value, 0.0, 4294967295.0, number, error);
      request.voice.seed = uint32_t(number);
    } else {
      error = "unknown option " + option;
      return false;
    }
    if (!ok) return false;
  }
  return true;
}

bool ReadText(const std::string& path, std::string& text, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot be opened";
    return false;
  }
  std::ostringstream content;
  content << in.rdbuf();
  text = content.str();
  return true;
}

// Turns the request into samples; false with `error` when it does not make sense.
bool Render(SRequest& request, Signal& signal, std::string& error) {
  const std::string& command = request.command;
  if (command != "melody" && !request.notes.empty()) {
    error = "unexpected argument '" + request.notes.front() + "'";
    return false;
  }
  if (command == "tone" || command == "chord") {
    if (request.frequencies.empty()) request.frequencies.push_back(440.0);
    if (command == "tone" && request.frequencies.size() != 1) {
      error = "a tone takes one frequency; use chord for several";
      return false;
    }
    signal = Synthesize(request.frequencies, request.duration, request.voice);
    return true;
  }
  if (command == "noise") {
    request.voice.wave = EWave::Noise;
    signal = Synthesize({}, request.duration, request.voice);
    return true;
  }
  if (command == "melody") {
    std::string text;
    std::string source;
    if (!request.scoreFile.empty()) {
      if (!request.notes.empty()) {
        error = "give the notes either on the command line or with --file, not both";
        return false;
      }
      if (!ReadText(request.scoreFile, text, error)) return false;
      source = request.scoreFile;
    } else {
      for (const std::string& note : request.notes) text += note + " ";
    }
    std::vector<SNote> notes;
    if (!ParseNotes(text, request.tempo, source, notes, error)) return false;
    signal = SynthesizeSequence(notes, request.voice);
    return true;
  }
  error = "unknown command '" + command + "'";
  return false;
}

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

// One recipe line: NAME COMMAND [options], written as OUT_DIR/NAME.wav.
bool MakeRecipe(const std::vector<std::string>& words, const std::string& outDir, std::string& error) {
  if (words.size() < 2) {
    error = "expected NAME COMMAND [options]";
    return false;
  }
  std::vector<std::string> arguments = {"soundgen"};
  arguments.insert(arguments.end(), words.begin() + 1, words.end());
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(&argument[0]);
  SRequest request;
  request.command = words[1];
  if (!ParseOptions(int(argv.size()), argv.data(), request, error)) return false;
  if (!request.output.empty()) {
    error = "a recipe is written under its name; it takes no -o";
    return false;
  }
  request.output = outDir + "/" + words[0] + ".wav";
  Signal signal;
  return Render(request, signal, error) && WriteWave(request.output, signal, request.stereo, request.pan, error);
}

int MakeTable(const std::string& recipes, const std::string& outDir) {
  std::string text;
  std::string error;
  if (!ReadText(recipes, text, error)) return UsageError(error);
  std::istringstream lines(text);
  std::set<std::string> names;
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    const std::vector<std::string> words = Words(line);
    if (words.empty() || words[0][0] == '#') continue;
    if (!names.insert(words[0]).second) error = "a second recipe \"" + words[0] + "\"";
    if (error.empty()) MakeRecipe(words, outDir, error);
    if (!error.empty()) {
      std::fprintf(stderr, "soundgen: %s:%d: %s\n", recipes.c_str(), number, error.c_str());
      return kWriteError;
    }
  }
  std::printf("soundgen: %zu sounds written to %s\n", names.size(), outDir.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return UsageError("no command given");
  const std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (command == "table") {
    if (argc != 4) return UsageError("table takes RECIPES OUT_DIR");
    return MakeTable(argv[2], argv[3]);
  }
  SRequest request;
  request.command = command;
  std::string error;
  if (!ParseOptions(argc, argv, request, error)) return UsageError(error);
  if (request.output.empty()) return UsageError("no output file given (-o FILE)");
  Signal signal;
  if (!Render(request, signal, error)) return UsageError(error);
  if (!WriteWave(request.output, signal, request.stereo, request.pan, error)) {
    std::fprintf(stderr, "soundgen: %s\n", error.c_str());
    return kWriteError;
  }
  return 0;
}
