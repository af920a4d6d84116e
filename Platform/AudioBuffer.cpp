#include "Platform/AudioBuffer.h"

#include <string>
#include <vector>

#include "Platform/AudioDevice.h"

// The decoded sound, shared by a buffer and its duplicates and never changed after creation.
struct SAudioSamples {
  SWaveFormat format;
  uint32_t frames = 0;
  std::vector<float> values;  // frames x channels, interleaved

  const float* Frame(uint32_t index) const { return values.data() + size_t(index) * format.channels; }
};

std::unique_ptr<CAudioBuffer> CAudioBuffer::Create(const SWaveFormat& format, const void* samples,
                                                   uint32_t bytes, const char* name) {
  const char* shownName = name ? name : "(unnamed sound)";
  if (!CAudioDevice::IsOpen()) {
    ReportAudioError("%s: no audio output is open", shownName);
    return nullptr;
  }
  std::string error;
  if (!CheckPlayableFormat(format, shownName, error)) {
    ReportAudioError("%s", error.c_str());
    return nullptr;
  }
  const uint32_t frames = bytes / format.blockAlign;
  if (!samples || frames == 0) {
    ReportAudioError("%s: no sample data", shownName);
    return nullptr;
  }
  auto decoded = std::make_shared<SAudioSamples>();
  decoded->format = format;
  decoded->frames = frames;
  decoded->values.resize(size_t(frames) * format.channels);
  DecodePcmFrames(static_cast<const uint8_t*>(samples), frames, format, decoded->values.data());
  return std::unique_ptr<CAudioBuffer>(new CAudioBuffer(std::move(decoded)));
}

CAudioBuffer::CAudioBuffer(std::shared_ptr<const SAudioSamples> samples)
    : samples_(std::move(samples)) {}

CAudioBuffer::~CAudioBuffer() {
  std::lock_guard<std::mutex> lock(MixerMutex());
  DetachVoice(this);
}

std::unique_ptr<CAudioBuffer> CAudioBuffer::Duplicate() const {
  std::unique_ptr<CAudioBuffer> copy(new CAudioBuffer(samples_));
  std::lock_guard<std::mutex> lock(MixerMutex());
  copy->levels_ = levels_;
  copy->frequency_ = frequency_;
  return copy;
}

void CAudioBuffer::Play(bool looping) {
  std::lock_guard<std::mutex> lock(MixerMutex());
  looping_ = looping;
  playing_ = true;
  AttachVoice(this);
}

void CAudioBuffer::Stop() {
  std::lock_guard<std::mutex> lock(MixerMutex());
  playing_ = false;
  DetachVoice(this);
}

bool CAudioBuffer::IsPlaying() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return playing_;
}

bool CAudioBuffer::IsLooping() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return looping_;
}

uint32_t CAudioBuffer::GetPosition() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return uint32_t(position_ >> kFractionBits) * samples_->format.blockAlign;
}

bool CAudioBuffer::SetPosition(uint32_t bytes) {
  const uint32_t frame = bytes / samples_->format.blockAlign;
  if (frame >= samples_->frames) return false;
  std::lock_guard<std::mutex> lock(MixerMutex());
  position_ = uint64_t(frame) << kFractionBits;
  return true;
}

bool CAudioBuffer::SetVolume(int hundredthsOfDecibel) {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return levels_.SetVolume(hundredthsOfDecibel);
}

int CAudioBuffer::GetVolume() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return levels_.Volume();
}

bool CAudioBuffer::SetPan(int pan) {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return levels_.SetPan(pan);
}

int CAudioBuffer::GetPan() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return levels_.Pan();
}

bool CAudioBuffer::SetFrequency(uint32_t hertz) {
  if (hertz != 0 && (hertz < kMinPlaybackRate || hertz > kMaxPlaybackRate)) return false;
  std::lock_guard<std::mutex> lock(MixerMutex());
  frequency_ = hertz;
  return true;
}

uint32_t CAudioBuffer::GetFrequency() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return frequency_ != 0 ? frequency_ : samples_->format.samplesPerSecond;
}

const SWaveFormat& CAudioBuffer::Format() const { return samples_->format; }

uint32_t CAudioBuffer::SizeInBytes() const {
  return samples_->frames * samples_->format.blockAlign;
}

bool CAudioBuffer::WrapOrFinish() {
  const uint64_t end = uint64_t(samples_->frames) << kFractionBits;
  if (position_ < end) return true;
  if (looping_) {
    position_ %= end;
    return true;
  }
  // A sound played once rests at its start, ready to be played again.
  playing_ = false;
  position_ = 0;
  return false;
}

bool CAudioBuffer::MixInto(float* mix, int frames, int deviceRate) {
  if (!playing_) return false;
  const SAudioSamples& sound = *samples_;
  const uint64_t step =
      ResampleStep(frequency_ != 0 ? frequency_ : sound.format.samplesPerSecond, deviceRate);
  for (int n = 0; n < frames; ++n) {
    if (!WrapOrFinish()) return false;
    const uint32_t index = uint32_t(position_ >> kFractionBits);
    uint32_t next = index + 1;
    if (next >= sound.frames) next = looping_ ? 0 : index;
    AddInterpolatedFrame(mix + 2 * n, sound.Frame(index), sound.Frame(next), FractionOf(position_),
                         sound.format.channels, levels_.Gains());
    position_ += step;
  }
  return WrapOrFinish();
}
