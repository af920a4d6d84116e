#pragma once
// A sound held whole in memory and played by the mixer, with the controls a sound effect needs:
// play once or looping, stop (the position stays), position in bytes of the sound's own format,
// volume and pan in hundredths of a decibel, playback rate. Duplicates share the samples and
// play independently. Every call is safe from any thread.

#include <cstdint>
#include <memory>

#include "Platform/AudioMixer.h"
#include "Platform/AudioWave.h"

struct SAudioSamples;

class CAudioBuffer : private IMixerVoice {
 public:
  // A buffer for `bytes` bytes of PCM samples in `format` (a trailing partial frame is dropped).
  // Null, with a report naming `name`, when no device is open, the format is not playable or
  // there is not a single whole frame.
  static std::unique_ptr<CAudioBuffer> Create(const SWaveFormat& format, const void* samples,
                                              uint32_t bytes, const char* name);
  ~CAudioBuffer() override;
  CAudioBuffer(const CAudioBuffer&) = delete;
  CAudioBuffer& operator=(const CAudioBuffer&) = delete;

  // A second buffer on the same samples, stopped at the start, with this one's volume, pan and
  // rate.
  std::unique_ptr<CAudioBuffer> Duplicate() const;

  // Starts (or keeps) playing from the current position. A buffer played once stops at its end
  // and returns to the start.
  void Play(bool looping);
  // Stops; the position stays where it was, so Play resumes.
  void Stop();
  bool IsPlaying() const;
  bool IsLooping() const;

  // Position in bytes of the sound's own format; SetPosition fails beyond the end.
  uint32_t GetPosition() const;
  bool SetPosition(uint32_t bytes);

  // Each setter refuses a value outside its range and keeps the old one.
  bool SetVolume(int hundredthsOfDecibel);  // -10000..0
  int GetVolume() const;
  bool SetPan(int pan);                     // -10000 (left only)..10000 (right only)
  int GetPan() const;
  // Playback rate in Hz (100..200000); 0 returns to the sound's own rate.
  bool SetFrequency(uint32_t hertz);
  uint32_t GetFrequency() const;

  const SWaveFormat& Format() const;
  uint32_t SizeInBytes() const;

 private:
  explicit CAudioBuffer(std::shared_ptr<const SAudioSamples> samples);
  bool MixInto(float* mix, int frames, int deviceRate) override;
  // Past the end: loops back, or stops and rewinds. False when the play is over.
  bool WrapOrFinish();

  std::shared_ptr<const SAudioSamples> samples_;
  // Guarded by the mixer lock.
  uint64_t position_ = 0;  // source frames, 32.32 fixed point
  bool playing_ = false;
  bool looping_ = false;
  CVoiceLevels levels_;
  uint32_t frequency_ = 0;
};
