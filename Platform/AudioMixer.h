#pragma once
// Inside the platform audio: what the sound buffers, the music stream and the device callback
// share. The device callback mixes on SDL's audio thread; every control call takes the mixer
// lock, so voice state is only ever touched under it.

#include <cstdint>
#include <mutex>

#include "Platform/AudioWave.h"

// One source of sound in the mix.
class IMixerVoice {
 public:
  virtual ~IMixerVoice() = default;
  // Adds up to `frames` stereo frames into `mix` (interleaved left, right). Returns false once
  // the voice has nothing more to play; it then leaves the mix. Runs with the mixer lock held.
  virtual bool MixInto(float* mix, int frames, int deviceRate) = 0;
};

std::mutex& MixerMutex();

// The voices the callback mixes; both need the mixer lock held.
void AttachVoice(IMixerVoice* voice);
void DetachVoice(IMixerVoice* voice);

// Sends a failure text to the installed audio error handler.
void ReportAudioError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Volume, pan and balance are in hundredths of a decibel of attenuation.
constexpr int kSilentLevel = -10000;
constexpr int kFullLevel = 0;
constexpr int kPanFullLeft = -10000;
constexpr int kPanFullRight = 10000;

struct SVoiceGains {
  float left = 1.0f;
  float right = 1.0f;
};

// A voice's volume and pan and the gains they give. A volume attenuates both channels; a pan
// attenuates only the channel it leans away from (a positive pan lowers the left); -10000 on
// either is silence. Used under the mixer lock; a value out of range is refused and the old
// one kept.
class CVoiceLevels {
 public:
  bool SetVolume(int hundredthsOfDecibel);
  bool SetPan(int pan);
  int Volume() const { return volume_; }
  int Pan() const { return pan_; }
  SVoiceGains Gains() const { return gains_; }

 private:
  int volume_ = kFullLevel;
  int pan_ = 0;
  SVoiceGains gains_;
};

// Source frames per device frame, as 32.32 fixed point.
uint64_t ResampleStep(uint32_t sourceRate, int deviceRate);

// Turns `frames` frames of 8-bit (unsigned) or 16-bit (signed) PCM into floats in -1..1,
// keeping the channel count.
void DecodePcmFrames(const uint8_t* bytes, uint32_t frames, const SWaveFormat& format, float* out);

// Adds the frame between `a` and `b` (fraction `t` of the way) to one stereo frame of the mix;
// a mono source feeds both channels.
inline void AddInterpolatedFrame(float* mixFrame, const float* a, const float* b, float t,
                                 int channels, SVoiceGains gains) {
  float left = a[0] + (b[0] - a[0]) * t;
  float right = left;
  if (channels == 2) right = a[1] + (b[1] - a[1]) * t;
  mixFrame[0] += left * gains.left;
  mixFrame[1] += right * gains.right;
}

constexpr int kFractionBits = 32;
constexpr uint64_t kFractionMask = (uint64_t(1) << kFractionBits) - 1;
inline float FractionOf(uint64_t fixedPosition) {
  return float(double(fixedPosition & kFractionMask) / double(uint64_t(1) << kFractionBits));
}
