#include "Platform/AudioMixer.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace {

float GainFromLevel(int hundredthsOfDecibel) {
  if (hundredthsOfDecibel <= kSilentLevel) return 0.0f;
  if (hundredthsOfDecibel >= kFullLevel) return 1.0f;
  return std::pow(10.0f, float(hundredthsOfDecibel) / 2000.0f);
}

SVoiceGains GainsFor(int volume, int pan) {
  const float overall = GainFromLevel(volume);
  SVoiceGains gains;
  gains.left = overall * (pan > 0 ? GainFromLevel(-pan) : 1.0f);
  gains.right = overall * (pan < 0 ? GainFromLevel(pan) : 1.0f);
  return gains;
}

}  // namespace

bool CVoiceLevels::SetVolume(int hundredthsOfDecibel) {
  if (hundredthsOfDecibel < kSilentLevel || hundredthsOfDecibel > kFullLevel) return false;
  volume_ = hundredthsOfDecibel;
  gains_ = GainsFor(volume_, pan_);
  return true;
}

bool CVoiceLevels::SetPan(int pan) {
  if (pan < kPanFullLeft || pan > kPanFullRight) return false;
  pan_ = pan;
  gains_ = GainsFor(volume_, pan_);
  return true;
}

uint64_t ResampleStep(uint32_t sourceRate, int deviceRate) {
  if (deviceRate <= 0) return 0;
  return (uint64_t(sourceRate) << kFractionBits) / uint64_t(deviceRate);
}

void DecodePcmFrames(const uint8_t* bytes, uint32_t frames, const SWaveFormat& format, float* out) {
  const size_t samples = size_t(frames) * format.channels;
  if (format.bitsPerSample == 8) {
    for (size_t i = 0; i < samples; ++i) out[i] = (float(bytes[i]) - 128.0f) / 128.0f;
    return;
  }
  for (size_t i = 0; i < samples; ++i) {
    const int16_t value = int16_t(uint16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
    out[i] = float(value) / 32768.0f;
  }
}
