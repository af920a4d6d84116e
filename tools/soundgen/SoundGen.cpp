#include "tools/soundgen/SoundGen.h"

#include "Platform/AudioWave.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sstream>

namespace soundgen {
namespace {

// One period of the wave at `phase` (0..1).
double WaveValue(EWave wave, double phase) {
  switch (wave) {
    case EWave::Square:
      return phase < 0.5 ? 1.0 : -1.0;
    case EWave::Triangle:
      // Rises from 0 to 1 at a quarter, falls to -1 at three quarters, back to 0.
      return phase < 0.25 ? 4.0 * phase : phase < 0.75 ? 2.0 - 4.0 * phase : 4.0 * phase - 4.0;
    default:
      return std::sin(2.0 * M_PI * phase);
  }
}

// The envelope's level at `t` seconds into a sound of `length` seconds. Stages longer than the
// sound are shortened in proportion so attack, decay and release always fit.
double EnvelopeLevel(const SEnvelope& envelope, double t, double length) {
  double attack = envelope.attack, decay = envelope.decay, release = envelope.release;
  const double stages = attack + decay + release;
  if (stages > length && stages > 0.0) {
    const double scale = length / stages;
    attack *= scale;
    decay *= scale;
    release *= scale;
  }
  double level = envelope.sustain;
  if (t < attack) {
    level = t / attack;
  } else if (t < attack + decay) {
    level = 1.0 - (1.0 - envelope.sustain) * (t - attack) / decay;
  }
  const double untilEnd = length - t;
  if (untilEnd < release) level *= untilEnd / release;
  return level;
}

int16_t ToPcm16(float value) {
  return int16_t(std::lround(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

void PutU16(std::string& out, uint16_t v) {
  out += char(v & 0xFF);
  out += char(v >> 8);
}
void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xFF);
}

bool ParseToken(const std::string& token, double tempo, SNote& note, std::string& reason) {
  std::string pitch = token;
  double beats = 1.0;
  const size_t colon = token.find(':');
  if (colon != std::string::npos) {
    pitch = token.substr(0, colon);
    const std::string beatText = token.substr(colon + 1);
    char* end = nullptr;
    beats = std::strtod(beatText.c_str(), &end);
    if (beatText.empty() || *end != '\0' || !(beats > 0.0) || beats > 1000.0) {
      reason = "'" + beatText + "' is not a number of beats";
      return false;
    }
  }
  note.seconds = beats * 60.0 / tempo;
  note.frequencies.clear();
  if (pitch == "R" || pitch == "r") return true;
  std::stringstream parts(pitch);
  std::string part;
  while (std::getline(parts, part, '+')) {
    double hertz = 0.0;
    if (!NoteFrequency(part, hertz)) {
      char* end = nullptr;
      hertz = std::strtod(part.c_str(), &end);
      if (part.empty() || *end != '\0' || !(hertz > 0.0) || hertz >= kSampleRate / 2.0) {
        reason = "'" + part + "' is not a note name or a frequency below 22050 Hz";
        return false;
      }
    }
    note.frequencies.push_back(hertz);
  }
  if (note.frequencies.empty()) {
    reason = "'" + token + "' names no note";
    return false;
  }
  return true;
}

}  // namespace

bool NoteFrequency(const std::string& name, double& hertz) {
  static const char kLetters[] = "CDEFGAB";
  static const int kSemitones[] = {0, 2, 4, 5, 7, 9, 11};
  if (name.size() < 2) return false;
  const char* letter = std::strchr(kLetters, std::toupper(static_cast<unsigned char>(name[0])));
  if (!letter || *letter == '\0') return false;
  int semitone = kSemitones[letter - kLetters];
  size_t at = 1;
  if (name[at] == '#') {
    ++semitone;
    ++at;
  } else if (name[at] == 'b') {
    --semitone;
    ++at;
  }
  char* end = nullptr;
  const long octave = std::strtol(name.c_str() + at, &end, 10);
  if (at == name.size() || *end != '\0' || octave < -1 || octave > 9) return false;
  const int midi = 12 * (octave + 1) + semitone;
  hertz = 440.0 * std::pow(2.0, (midi - 69) / 12.0);
  return hertz < kSampleRate / 2.0;
}

Signal Synthesize(const std::vector<double>& frequencies, double seconds,
                  const SVoiceSettings& settings) {
  const size_t count = size_t(std::llround(seconds * kSampleRate));
  Signal signal(count, 0.0f);
  std::mt19937 random(settings.seed);
  std::uniform_real_distribution<double> noise(-1.0, 1.0);
  const bool isNoise = settings.wave == EWave::Noise;
  const double share = isNoise || frequencies.empty() ? 1.0 : 1.0 / double(frequencies.size());
  if (!isNoise && frequencies.empty()) return signal;  // a rest
  for (size_t i = 0; i < count; ++i) {
    const double t = double(i) / kSampleRate;
    double value = 0.0;
    if (isNoise) {
      value = noise(random);
    } else {
      for (double hertz : frequencies) {
        const double cycles = hertz * t;
        value += WaveValue(settings.wave, cycles - std::floor(cycles));
      }
    }
    signal[i] = float(value * share * settings.volume * EnvelopeLevel(settings.envelope, t, seconds));
  }
  return signal;
}

Signal SynthesizeSequence(const std::vector<SNote>& notes, const SVoiceSettings& settings) {
  Signal signal;
  for (const SNote& note : notes) {
    const Signal part = Synthesize(note.frequencies, note.seconds, settings);
    signal.insert(signal.end(), part.begin(), part.end());
  }
  return signal;
}

bool ParseNotes(const std::string& text, double tempo, const std::string& source,
                std::vector<SNote>& notes, std::string& error) {
  std::stringstream lines(text);
  std::string line;
  int lineNumber = 0;
  while (std::getline(lines, line)) {
    ++lineNumber;
    const size_t comment = line.find('#');
    if (comment != std::string::npos) line.erase(comment);
    std::stringstream tokens(line);
    std::string token;
    while (tokens >> token) {
      SNote note;
      std::string reason;
      if (!ParseToken(token, tempo, note, reason)) {
        error = source.empty() ? reason
                               : source + " line " + std::to_string(lineNumber) + ": " + reason;
        return false;
      }
      notes.push_back(note);
    }
  }
  if (notes.empty()) {
    error = source.empty() ? "no notes" : source + ": no notes";
    return false;
  }
  return true;
}

bool WriteWave(const std::string& path, const Signal& signal, bool stereo, double pan,
               std::string& error) {
  const uint16_t channels = stereo ? 2 : 1;
  const uint16_t blockAlign = uint16_t(channels * 2);
  const uint64_t dataBytes = uint64_t(signal.size()) * blockAlign;
  // The RIFF size counts everything after its own header.
  constexpr uint32_t kRiffSizeBeforeData = kPcmWaveHeaderBytes - kChunkHeaderBytes;
  if (dataBytes > 0xFFFFFFF0u - kRiffSizeBeforeData) {
    error = path + ": the sound is too long for a WAVE file";
    return false;
  }
  const float leftGain = float(std::min(1.0, 1.0 - pan));
  const float rightGain = float(std::min(1.0, 1.0 + pan));

  std::string out;
  auto putTag = [&](const char* tag) { out.append(tag, 4); };
  putTag(kRiffTag);
  PutU32(out, uint32_t(kRiffSizeBeforeData + dataBytes));
  putTag(kWaveTag);
  putTag(kWaveFormatChunkTag);
  PutU32(out, kPcmFormatBytes);
  PutU16(out, kWaveFormatPcm);
  PutU16(out, channels);
  PutU32(out, kSampleRate);
  PutU32(out, kSampleRate * blockAlign);
  PutU16(out, blockAlign);
  PutU16(out, 16);
  putTag(kWaveDataChunkTag);
  PutU32(out, uint32_t(dataBytes));
  for (float value : signal) {
    if (stereo) {
      PutU16(out, uint16_t(ToPcm16(value * leftGain)));
      PutU16(out, uint16_t(ToPcm16(value * rightGain)));
    } else {
      PutU16(out, uint16_t(ToPcm16(value)));
    }
  }

  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    error = path + ": could not write the file";
    return false;
  }
  return true;
}

}  // namespace soundgen
