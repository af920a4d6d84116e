#include "Platform/AudioDevice.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "Platform/AudioMixer.h"

namespace {

constexpr int kDeviceChannels = 2;
constexpr Uint16 kCallbackFrames = 1024;

void PrintAudioError(const char* text) { std::fprintf(stderr, "Audio: %s\n", text); }

std::atomic<AudioErrorHandlerFn> g_errorHandler{PrintAudioError};

// Everything below is guarded by MixerMutex().
struct SMixerState {
  SDL_AudioDeviceID device = 0;
  int rate = 0;
  std::vector<IMixerVoice*> voices;
  std::vector<float> mix;  // sized when the device opens, so the callback never allocates
};

SMixerState& Mixer() {
  static SMixerState state;
  return state;
}

int16_t ToSample(float value) {
  const float scaled = std::clamp(value, -1.0f, 1.0f) * 32767.0f;
  return int16_t(std::lround(scaled));
}

void MixChunk(SMixerState& mixer, int16_t* out, int frames) {
  float* mix = mixer.mix.data();
  std::fill(mix, mix + size_t(frames) * kDeviceChannels, 0.0f);
  for (size_t i = 0; i < mixer.voices.size();) {
    if (mixer.voices[i]->MixInto(mix, frames, mixer.rate)) {
      ++i;
    } else {
      mixer.voices[i] = mixer.voices.back();
      mixer.voices.pop_back();
    }
  }
  for (int i = 0; i < frames * kDeviceChannels; ++i) out[i] = ToSample(mix[i]);
}

void SDLCALL AudioCallback(void*, Uint8* stream, int length) {
  std::lock_guard<std::mutex> lock(MixerMutex());
  SMixerState& mixer = Mixer();
  int16_t* out = reinterpret_cast<int16_t*>(stream);
  int frames = length / int(sizeof(int16_t) * kDeviceChannels);
  const int chunk = int(mixer.mix.size() / kDeviceChannels);
  while (frames > 0 && chunk > 0) {
    const int now = std::min(frames, chunk);
    MixChunk(mixer, out, now);
    out += now * kDeviceChannels;
    frames -= now;
  }
}

}  // namespace

std::mutex& MixerMutex() {
  static std::mutex mutex;
  return mutex;
}

void AttachVoice(IMixerVoice* voice) {
  std::vector<IMixerVoice*>& voices = Mixer().voices;
  if (std::find(voices.begin(), voices.end(), voice) == voices.end()) voices.push_back(voice);
}

void DetachVoice(IMixerVoice* voice) {
  std::vector<IMixerVoice*>& voices = Mixer().voices;
  voices.erase(std::remove(voices.begin(), voices.end(), voice), voices.end());
}

void SetAudioErrorHandler(AudioErrorHandlerFn handler) {
  g_errorHandler.store(handler ? handler : PrintAudioError);
}

void ReportAudioError(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  g_errorHandler.load()(text);
}

bool CAudioDevice::Open() {
  if (IsOpen()) return true;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    ReportAudioError("no audio output: %s", SDL_GetError());
    return false;
  }
  SDL_AudioSpec wanted{};
  wanted.freq = kPreferredRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = kDeviceChannels;
  wanted.samples = kCallbackFrames;
  wanted.callback = AudioCallback;
  SDL_AudioSpec obtained{};
  // The rate may differ (sounds are resampled to it); format and channels are converted by SDL.
  const SDL_AudioDeviceID device =
      SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
  if (device == 0) {
    ReportAudioError("cannot open the audio output: %s", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(MixerMutex());
    SMixerState& mixer = Mixer();
    mixer.device = device;
    mixer.rate = obtained.freq;
    mixer.mix.assign(size_t(std::max<Uint16>(obtained.samples, kCallbackFrames)) * kDeviceChannels,
                     0.0f);
  }
  SDL_PauseAudioDevice(device, 0);
  return true;
}

void CAudioDevice::Close() {
  SDL_AudioDeviceID device = 0;
  {
    std::lock_guard<std::mutex> lock(MixerMutex());
    device = Mixer().device;
    Mixer().device = 0;
    Mixer().rate = 0;
  }
  if (device == 0) return;
  // Not under the mixer lock: closing waits for the callback, which takes it.
  SDL_CloseAudioDevice(device);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool CAudioDevice::IsOpen() {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return Mixer().device != 0;
}

int CAudioDevice::Rate() {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return Mixer().rate;
}
