#pragma once
// The sound generator's synthesis: tones, noise, chords and note sequences shaped by an ADSR
// envelope and placed in the stereo field, written as 44.1 kHz 16-bit PCM WAVE files.

#include <cstdint>
#include <string>
#include <vector>

namespace soundgen {

constexpr int kSampleRate = 44100;

enum class EWave { Sine, Square, Triangle, Noise };

struct SEnvelope {
  double attack = 0.01;   // seconds to rise to the peak
  double decay = 0.0;     // seconds to fall to the sustain level
  double sustain = 1.0;   // level held, as a share of the peak
  double release = 0.01;  // seconds of fade at the end
};

struct SVoiceSettings {
  EWave wave = EWave::Sine;
  double volume = 0.5;  // peak level, 0..1
  SEnvelope envelope;
  uint32_t seed = 1;    // noise
};

// One event of a sequence: the frequencies sounding together (none: a rest) for some seconds.
struct SNote {
  std::vector<double> frequencies;
  double seconds = 0.0;
};

// A mono signal in -1..1.
using Signal = std::vector<float>;

// `frequencies` sound together (equally loud, together no louder than the volume) for
// `seconds`, shaped by the envelope. Noise ignores the frequencies.
Signal Synthesize(const std::vector<double>& frequencies, double seconds,
                  const SVoiceSettings& settings);
// The notes one after another, each with its own envelope.
Signal SynthesizeSequence(const std::vector<SNote>& notes, const SVoiceSettings& settings);

// Parses a note sequence: tokens NOTE[:BEATS] separated by white space, where NOTE is a name
// with octave (C4, F#3, Bb5), a frequency in Hz, a chord joined by '+', or R for a rest; '#'
// starts a comment to the end of the line. `source` names the text in errors (empty: the
// command line, which needs no line numbers).
bool ParseNotes(const std::string& text, double tempo, const std::string& source,
                std::vector<SNote>& notes, std::string& error);
// The frequency of a note name such as "A4" (440 Hz) or "Eb3"; false when it is none.
bool NoteFrequency(const std::string& name, double& hertz);

// Writes 16-bit PCM: mono, or stereo with `pan` from -1 (left only) to 1 (right only); the
// channel a pan leans towards keeps its full level.
bool WriteWave(const std::string& path, const Signal& signal, bool stereo, double pan,
               std::string& error);

}  // namespace soundgen
