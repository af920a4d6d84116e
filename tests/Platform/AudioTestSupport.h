#pragma once
// Helpers for the audio tests: WAVE files built in memory, tones, and a capture of what the
// mixer produced through SDL's disk driver.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "Platform/AudioDevice.h"
#include "Platform/AudioWave.h"
#include "tests/support/ByteWriter.h"

namespace audiotest {

using hmtest::AppendTag;
using hmtest::AppendU16;
using hmtest::AppendU32;

inline SWaveFormat PcmFormat(uint32_t rate, uint16_t bits, uint16_t channels) {
  SWaveFormat format;
  format.formatTag = kWaveFormatPcm;
  format.channels = channels;
  format.samplesPerSecond = rate;
  format.bitsPerSample = bits;
  format.blockAlign = uint16_t(channels * bits / 8);
  format.averageBytesPerSecond = rate * format.blockAlign;
  return format;
}

inline std::vector<uint8_t> Chunk(const char* tag, const std::vector<uint8_t>& body) {
  std::vector<uint8_t> out;
  AppendTag(out, tag);
  AppendU32(out, uint32_t(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  if (body.size() & 1) out.push_back(0);
  return out;
}

inline std::vector<uint8_t> FormatBody(const SWaveFormat& format) {
  std::vector<uint8_t> body;
  AppendU16(body, format.formatTag);
  AppendU16(body, format.channels);
  AppendU32(body, format.samplesPerSecond);
  AppendU32(body, format.averageBytesPerSecond);
  AppendU16(body, format.blockAlign);
  AppendU16(body, format.bitsPerSample);
  if (format.formatTag != kWaveFormatPcm) {
    AppendU16(body, uint16_t(format.extraBytes.size()));
    body.insert(body.end(), format.extraBytes.begin(), format.extraBytes.end());
  }
  return body;
}

// RIFF/WAVE around the given chunks, in order.
inline std::vector<uint8_t> RiffWave(const std::vector<std::vector<uint8_t>>& chunks) {
  std::vector<uint8_t> body;
  AppendTag(body, "WAVE");
  for (const auto& c : chunks) body.insert(body.end(), c.begin(), c.end());
  std::vector<uint8_t> out;
  AppendTag(out, "RIFF");
  AppendU32(out, uint32_t(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

inline std::vector<uint8_t> WaveFile(const SWaveFormat& format, const std::vector<uint8_t>& samples) {
  return RiffWave({Chunk("fmt ", FormatBody(format)), Chunk("data", samples)});
}

// The amplitude of the test tones: half of full scale.
constexpr double kAmplitude = 0.5;

// A sine tone in the given PCM format, the same on every channel.
inline std::vector<uint8_t> SineSamples(const SWaveFormat& format, double hertz, double seconds,
                                        double amplitude) {
  const uint32_t frames = uint32_t(seconds * format.samplesPerSecond);
  std::vector<uint8_t> out;
  for (uint32_t i = 0; i < frames; ++i) {
    const double value = amplitude * std::sin(2.0 * M_PI * hertz * i / format.samplesPerSecond);
    for (int c = 0; c < format.channels; ++c) {
      if (format.bitsPerSample == 8) {
        out.push_back(uint8_t(std::lround(128.0 + value * 127.0)));
      } else {
        AppendU16(out, uint16_t(int16_t(std::lround(value * 32767.0))));
      }
    }
  }
  return out;
}

// The interleaved stereo samples the device produced, with helpers to measure them.
struct SCapture {
  std::vector<int16_t> samples;
  int rate = 0;

  size_t Frames() const { return samples.size() / 2; }
  int16_t At(size_t frame, int channel) const { return samples[frame * 2 + channel]; }

  bool Sounds(size_t frame, int channel, int threshold) const {
    if (channel < 0) return Sounds(frame, 0, threshold) || Sounds(frame, 1, threshold);
    return std::abs(At(frame, channel)) > threshold;
  }
  // First and one-past-last frame where the channel (-1: either) is above `threshold`.
  std::pair<size_t, size_t> SoundingSpan(int threshold = 200, int channel = -1) const {
    size_t first = Frames(), last = 0;
    for (size_t f = 0; f < Frames(); ++f) {
      if (Sounds(f, channel, threshold)) {
        if (first == Frames()) first = f;
        last = f + 1;
      }
    }
    return first < last ? std::make_pair(first, last) : std::make_pair(size_t(0), size_t(0));
  }
  double SoundingSeconds(int threshold = 200, int channel = -1) const {
    auto span = SoundingSpan(threshold, channel);
    return double(span.second - span.first) / rate;
  }
  double Rms(int channel) const {
    auto span = SoundingSpan();
    double sum = 0;
    for (size_t f = span.first; f < span.second; ++f) sum += double(At(f, channel)) * At(f, channel);
    return span.second > span.first ? std::sqrt(sum / double(span.second - span.first)) : 0.0;
  }
  int Peak(int channel) const {
    int peak = 0;
    for (size_t f = 0; f < Frames(); ++f) peak = std::max(peak, std::abs(int(At(f, channel))));
    return peak;
  }
  // Frequency from the rising zero crossings of one channel inside [first, last).
  double Frequency(int channel, size_t first, size_t last) const {
    int crossings = 0;
    size_t firstCrossing = 0, lastCrossing = 0;
    for (size_t f = first + 1; f < last; ++f) {
      if (At(f - 1, channel) < 0 && At(f, channel) >= 0) {
        if (crossings == 0) firstCrossing = f;
        lastCrossing = f;
        ++crossings;
      }
    }
    if (crossings < 2) return 0.0;
    return double(crossings - 1) * rate / double(lastCrossing - firstCrossing);
  }
  double Frequency(int channel) const {
    auto span = SoundingSpan();
    return Frequency(channel, span.first, span.second);
  }
};

// The disk driver's pace for tests of streamed music, in milliseconds per 1024 frames: about
// 2.3 times real time, so the two seconds a stream reads ahead last almost a second of wall
// time and a test thread descheduled on a busy machine does not let the stream run dry.
constexpr int kStreamingDriverDelayMs = 10;

// Opens the audio device on SDL's disk driver for the life of the object. `Finish` closes the
// device and returns everything that was mixed.
class CDiskCapture {
 public:
  // `delayMs` paces the driver (milliseconds per 1024 frames; 0 runs flat out). Music tests
  // slow it down so that a briefly descheduled test thread cannot let the stream run dry.
  explicit CDiskCapture(const std::string& name, int delayMs = 0)
      : path_(std::string(HM_BINARY_DIR) + "/audio-capture-" + name + ".raw") {
    std::remove(path_.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", std::to_string(delayMs).c_str(), 1);
    opened_ = CAudioDevice::Open();
    rate_ = CAudioDevice::Rate();
  }
  ~CDiskCapture() {
    CAudioDevice::Close();
    std::remove(path_.c_str());
    setenv("SDL_AUDIODRIVER", "dummy", 1);
  }
  bool Opened() const { return opened_; }
  int Rate() const { return rate_; }

  // Frames written so far (the driver writes after each mixed chunk).
  size_t FramesWritten() const {
    struct stat info {};
    return stat(path_.c_str(), &info) == 0 ? size_t(info.st_size) / 4 : 0;
  }

  // Polls `done` (calling `service` in between) until it holds or `seconds` of wall time pass.
  static bool WaitFor(const std::function<bool()>& done, const std::function<void()>& service = {},
                      double seconds = 10.0) {
    const auto limit = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
      if (std::chrono::steady_clock::now() > limit) return false;
      if (service) service();
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
  }

  SCapture Finish() {
    CAudioDevice::Close();
    SCapture capture;
    capture.rate = rate_;
    std::ifstream in(path_, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    capture.samples.resize(bytes.size() / 2);
    std::memcpy(capture.samples.data(), bytes.data(), capture.samples.size() * 2);
    return capture;
  }

 private:
  std::string path_;
  bool opened_ = false;
  int rate_ = 0;
};

// Collects the texts handed to the audio error handler.
inline std::vector<std::string>& CapturedAudioErrors() {
  static std::vector<std::string> errors;
  return errors;
}
inline void CaptureAudioError(const char* text) { CapturedAudioErrors().push_back(text); }

}  // namespace audiotest
