#pragma once
// A music track streamed from a WAVE file on its own voice. The file is never loaded whole:
// `Service` reads ahead in chunks through the caller's reader and keeps about two seconds
// decoded, and the mixer plays from that. A looping track restarts at the start whenever it
// reaches its stop position (by default the end); a track played once then reports "ended".
// Positions are in 100-ns units; volume and balance in hundredths of a decibel.
//
// Threads: the reader is only ever called from the thread that calls Open, Play, SetPosition
// and Service (the engine's sound update); the mixer only takes decoded samples. Every call
// takes the mixer lock, so status queries are safe from any thread.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "Platform/AudioMixer.h"
#include "Platform/AudioWave.h"

class CAudioMusic : private IMixerVoice {
 public:
  static constexpr int64_t kUnitsPerSecond = 10000000;

  CAudioMusic() = default;
  ~CAudioMusic() override;
  CAudioMusic(const CAudioMusic&) = delete;
  CAudioMusic& operator=(const CAudioMusic&) = delete;

  // Reads the WAVE header through `reader`. On failure (no device open, a bad or unplayable
  // file) the text is reported and the music stays closed: silent and never playing. `name`
  // names the file in reports.
  bool Open(std::unique_ptr<IAudioStreamReader> reader, const char* name);
  void Close();
  bool IsOpen() const;

  // Starts, or resumes after Pause; a track that has ended starts again from the beginning.
  void Play(bool looping);
  void Pause();
  // Stops and rewinds to the start.
  void Stop();
  bool IsPlaying() const;  // true while paused as well: the track is still under way
  bool IsPaused() const;
  bool HasEnded() const;   // a track played once has reached its stop position
  bool IsLooping() const;

  int64_t GetPosition() const;
  bool SetPosition(int64_t position);  // before the stop position
  int64_t GetDuration() const;
  int64_t GetStopPosition() const;
  bool SetStopPosition(int64_t position);  // clamped to the duration

  bool SetVolume(int hundredthsOfDecibel);  // -10000..0
  int GetVolume() const;
  bool SetBalance(int balance);  // -10000 (left only)..10000 (right only)
  int GetBalance() const;

  // Reads ahead until the decoded store is full or the track's end is reached.
  void Service();

 private:
  bool MixInto(float* mix, int frames, int deviceRate) override;
  // The following need the mixer lock held.
  void RestartFrom(uint32_t frame);
  void DropPlayedFrames(uint32_t count);
  uint32_t FrameAt(int64_t position) const;
  int64_t PositionOf(uint32_t frame) const;
  const float* RingFrame(uint32_t offsetFromHead) const;
  // Reads one chunk; false when there is nothing more to read now.
  bool ReadAhead();

  // Held by Open, Close and Service, so the reader is used by one caller at a time; always
  // taken before the mixer lock.
  mutable std::mutex readerMutex_;
  std::unique_ptr<IAudioStreamReader> reader_;
  std::string name_;
  std::vector<uint8_t> readBytes_;
  std::vector<float> readFrames_;

  // Guarded by the mixer lock.
  bool open_ = false;
  SWaveLayout layout_;
  uint32_t totalFrames_ = 0;
  uint32_t endFrame_ = 0;       // the stop position
  std::vector<float> ring_;     // decoded frames waiting to be played
  uint32_t ringCapacity_ = 0;   // in frames
  uint32_t ringHead_ = 0;
  uint32_t ringCount_ = 0;
  uint64_t offset_ = 0;         // play position after the ring's head, 32.32 fixed point
  uint32_t playFrame_ = 0;      // track frame at the ring's head
  uint32_t fillFrame_ = 0;      // next track frame to read
  bool readDone_ = false;       // nothing more to read: the last frame is in the ring
  uint32_t generation_ = 0;     // changes whenever the ring is emptied
  bool playing_ = false;
  bool paused_ = false;
  bool ended_ = false;
  bool looping_ = false;
  CVoiceLevels levels_;
};
