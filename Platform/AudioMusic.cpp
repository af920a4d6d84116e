#include "Platform/AudioMusic.h"

#include <algorithm>
#include <cstring>

#include "Platform/AudioDevice.h"

namespace {

constexpr uint32_t kReadFrames = 4096;
// Decoded frames kept ahead of the play position. The engine's sound update may pause for
// over a second while the main thread is held up (the idle sensor steps in after 1000 ms),
// so the store must outlast that.
constexpr uint32_t kSecondsAhead = 2;

}  // namespace

CAudioMusic::~CAudioMusic() { Close(); }

bool CAudioMusic::Open(std::unique_ptr<IAudioStreamReader> reader, const char* name) {
  Close();
  const char* shownName = name ? name : "(unnamed music)";
  if (!CAudioDevice::IsOpen()) {
    ReportAudioError("%s: no audio output is open", shownName);
    return false;
  }
  if (!reader) {
    ReportAudioError("%s: no file to read", shownName);
    return false;
  }
  SWaveLayout layout;
  std::string error;
  if (!ParseWaveLayout(*reader, shownName, layout, error) ||
      !CheckPlayableFormat(layout.format, shownName, error)) {
    ReportAudioError("%s", error.c_str());
    return false;
  }
  const SWaveFormat& format = layout.format;
  const uint32_t frames = layout.dataSize / format.blockAlign;
  if (frames == 0) {
    ReportAudioError("%s: no sample data", shownName);
    return false;
  }

  std::lock_guard<std::mutex> readerLock(readerMutex_);
  reader_ = std::move(reader);
  name_ = shownName;
  readBytes_.resize(size_t(kReadFrames) * format.blockAlign);
  readFrames_.resize(size_t(kReadFrames) * format.channels);

  std::lock_guard<std::mutex> lock(MixerMutex());
  layout_ = layout;
  totalFrames_ = frames;
  endFrame_ = frames;
  ringCapacity_ = std::max(format.samplesPerSecond * kSecondsAhead, kReadFrames);
  ring_.assign(size_t(ringCapacity_) * format.channels, 0.0f);
  playing_ = paused_ = ended_ = looping_ = false;
  open_ = true;
  RestartFrom(0);
  return true;
}

void CAudioMusic::Close() {
  std::unique_ptr<IAudioStreamReader> closing;
  std::lock_guard<std::mutex> readerLock(readerMutex_);
  {
    std::lock_guard<std::mutex> lock(MixerMutex());
    DetachVoice(this);
    open_ = false;
    playing_ = paused_ = ended_ = false;
    ring_.clear();
    ringCapacity_ = ringHead_ = ringCount_ = 0;
    totalFrames_ = endFrame_ = 0;
  }
  closing = std::move(reader_);
}

bool CAudioMusic::IsOpen() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return open_;
}

void CAudioMusic::Play(bool looping) {
  {
    std::lock_guard<std::mutex> lock(MixerMutex());
    if (!open_) return;
    if (looping != looping_) {
      // What was read ahead may already have turned at the end; read it again the new way.
      looping_ = looping;
      RestartFrom(playFrame_);
    }
    if (ended_) {
      ended_ = false;
      RestartFrom(0);
    }
    playing_ = true;
    paused_ = false;
    AttachVoice(this);
  }
  Service();
}

void CAudioMusic::Pause() {
  std::lock_guard<std::mutex> lock(MixerMutex());
  if (!playing_) return;
  paused_ = true;
  DetachVoice(this);
}

void CAudioMusic::Stop() {
  std::lock_guard<std::mutex> lock(MixerMutex());
  DetachVoice(this);
  playing_ = paused_ = ended_ = false;
  if (open_) RestartFrom(0);
}

bool CAudioMusic::IsPlaying() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return playing_;
}

bool CAudioMusic::IsPaused() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return paused_;
}

bool CAudioMusic::HasEnded() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return ended_;
}

bool CAudioMusic::IsLooping() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return looping_;
}

int64_t CAudioMusic::GetPosition() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return open_ ? PositionOf(playFrame_) : 0;
}

bool CAudioMusic::SetPosition(int64_t position) {
  {
    std::lock_guard<std::mutex> lock(MixerMutex());
    if (!open_ || position < 0) return false;
    const uint32_t frame = FrameAt(position);
    if (frame >= endFrame_) return false;
    ended_ = false;
    RestartFrom(frame);
  }
  Service();
  return true;
}

int64_t CAudioMusic::GetDuration() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return open_ ? PositionOf(totalFrames_) : 0;
}

int64_t CAudioMusic::GetStopPosition() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return open_ ? PositionOf(endFrame_) : 0;
}

bool CAudioMusic::SetStopPosition(int64_t position) {
  {
    std::lock_guard<std::mutex> lock(MixerMutex());
    if (!open_ || position <= 0) return false;
    endFrame_ = std::clamp<uint32_t>(FrameAt(position), 1, totalFrames_);
    RestartFrom(playFrame_);
  }
  Service();
  return true;
}

bool CAudioMusic::SetVolume(int hundredthsOfDecibel) {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return levels_.SetVolume(hundredthsOfDecibel);
}

int CAudioMusic::GetVolume() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return levels_.Volume();
}

bool CAudioMusic::SetBalance(int balance) {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return levels_.SetPan(balance);
}

int CAudioMusic::GetBalance() const {
  std::lock_guard<std::mutex> lock(MixerMutex());
  return levels_.Pan();
}

void CAudioMusic::Service() {
  std::lock_guard<std::mutex> readerLock(readerMutex_);
  while (ReadAhead()) {
  }
}

bool CAudioMusic::ReadAhead() {
  uint32_t first = 0;
  uint32_t count = 0;
  uint32_t generation = 0;
  {
    std::lock_guard<std::mutex> lock(MixerMutex());
    if (!open_ || readDone_) return false;
    count = std::min({ringCapacity_ - ringCount_, kReadFrames, endFrame_ - fillFrame_});
    if (count == 0) return false;
    first = fillFrame_;
    generation = generation_;
  }
  // The file is read without the mixer lock, so the mixer never waits for it.
  const SWaveFormat& format = layout_.format;
  const uint64_t offset = layout_.dataOffset + uint64_t(first) * format.blockAlign;
  const size_t got = reader_->ReadAt(offset, readBytes_.data(), size_t(count) * format.blockAlign);
  const uint32_t gotFrames = uint32_t(std::min<size_t>(got / format.blockAlign, count));
  DecodePcmFrames(readBytes_.data(), gotFrames, format, readFrames_.data());

  {
    std::lock_guard<std::mutex> lock(MixerMutex());
    if (generation != generation_) return true;  // moved meanwhile: read from the new place
    for (uint32_t i = 0; i < gotFrames; ++i) {
      const uint32_t slot = (ringHead_ + ringCount_ + i) % ringCapacity_;
      std::memcpy(&ring_[size_t(slot) * format.channels], &readFrames_[size_t(i) * format.channels],
                  sizeof(float) * format.channels);
    }
    ringCount_ += gotFrames;
    fillFrame_ += gotFrames;
    if (gotFrames < count) {
      readDone_ = true;  // what was read still plays, then the track ends
    } else if (fillFrame_ >= endFrame_) {
      if (looping_) {
        fillFrame_ = 0;
      } else {
        readDone_ = true;
      }
    }
  }
  if (gotFrames < count) {
    ReportAudioError("%s: could not read the samples at byte %llu", name_.c_str(),
                     (unsigned long long)(offset + uint64_t(gotFrames) * format.blockAlign));
    return false;
  }
  return true;
}

bool CAudioMusic::MixInto(float* mix, int frames, int deviceRate) {
  if (!playing_ || paused_) return false;
  const uint64_t step = ResampleStep(layout_.format.samplesPerSecond, deviceRate);
  const int channels = layout_.format.channels;
  for (int n = 0; n < frames; ++n) {
    DropPlayedFrames(uint32_t(offset_ >> kFractionBits));
    if (ringCount_ == 0 && readDone_) {
      playing_ = false;
      ended_ = true;
      return false;
    }
    // Starved (the reader has fallen behind): silence until more is read.
    if (ringCount_ == 0 || (ringCount_ == 1 && !readDone_)) return true;
    const uint32_t next = ringCount_ >= 2 ? 1 : 0;
    AddInterpolatedFrame(mix + 2 * n, RingFrame(0), RingFrame(next), FractionOf(offset_), channels,
                         levels_.Gains());
    offset_ += step;
  }
  return true;
}

void CAudioMusic::DropPlayedFrames(uint32_t count) {
  const uint32_t dropped = std::min(count, ringCount_);
  if (dropped == 0) return;
  ringHead_ = (ringHead_ + dropped) % ringCapacity_;
  ringCount_ -= dropped;
  offset_ -= uint64_t(dropped) << kFractionBits;
  playFrame_ += dropped;
  // The reader turned back to the start at the stop position; follow it.
  if (looping_) {
    while (playFrame_ >= endFrame_) playFrame_ -= endFrame_;
  }
}

void CAudioMusic::RestartFrom(uint32_t frame) {
  if (frame >= endFrame_) frame = looping_ ? 0 : endFrame_;
  playFrame_ = fillFrame_ = frame;
  ringHead_ = ringCount_ = 0;
  offset_ = 0;
  readDone_ = frame >= endFrame_;
  ++generation_;
}

const float* CAudioMusic::RingFrame(uint32_t offsetFromHead) const {
  const uint32_t slot = (ringHead_ + offsetFromHead) % ringCapacity_;
  return &ring_[size_t(slot) * layout_.format.channels];
}

uint32_t CAudioMusic::FrameAt(int64_t position) const {
  const uint64_t rate = layout_.format.samplesPerSecond;
  const uint64_t units = uint64_t(position);
  const uint64_t frames = (units / kUnitsPerSecond) * rate +
                          ((units % kUnitsPerSecond) * rate + kUnitsPerSecond / 2) / kUnitsPerSecond;
  return uint32_t(std::min<uint64_t>(frames, totalFrames_));
}

int64_t CAudioMusic::PositionOf(uint32_t frame) const {
  const uint64_t rate = layout_.format.samplesPerSecond;
  return int64_t((frame / rate) * kUnitsPerSecond + (frame % rate) * kUnitsPerSecond / rate);
}
