#pragma once
// Sound effects held in memory: a reader of WAVE data from the content tree and CSoundDX, a
// sound held in ten buffers so that up to ten copies of it can sound at once. The sound
// manager (Quor/CSoundManager.h) is the only client.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Platform/AudioBuffer.h"
#include "Platform/AudioWave.h"

// The sound output. InitDirectSound opens it (a failure leaves the program without sound:
// every sound load then yields no sound and every play fails); ReleaseDirectSound closes it.
bool InitDirectSound();
void ReleaseDirectSound();
bool HasSoundDevice();

// Where the program's own built-in sounds lie: "<folder>/WAVE/<name>" or "<folder>/WAV/<name>".
// A sound that the content tree lacks (plain files only) is looked up there. The folder is
// "Resources" below the current folder unless set otherwise.
void SetBuiltInSoundFolder(const char* folder);

enum class EWaveResult { Ok, Fail, InvalidArgument, NotOpen };

// A WAVE file opened for reading: its format and its sample bytes, read in order.
class CWaveReader {
 public:
  // Files beyond this size are refused rather than loaded whole.
  static constexpr uint32_t kMaxFileBytes = 256u << 20;

  CWaveReader() = default;
  ~CWaveReader() { Close(); }
  CWaveReader(const CWaveReader&) = delete;
  CWaveReader& operator=(const CWaveReader&) = delete;

  // Opens `name` through the file system (or among the built-in sounds) and reads its header.
  // Any failure is reported with the name and leaves the reader closed. In archive mode a
  // sound that is not in the archive is fatal: the content is broken.
  EWaveResult Open(const char* name);
  // Back to the first sample byte.
  EWaveResult Reset();
  // Copies up to `count` bytes of samples (no more than are left) and says how many.
  EWaveResult Read(void* buffer, uint32_t count, uint32_t* read);
  // Frees the file's bytes; the format and size stay known.
  void Close();

  bool IsOpen() const { return m_open; }
  uint32_t GetSize() const { return m_size; }
  // Null before a successful open.
  const SWaveFormat* GetFormat() const { return m_haveFormat ? &m_format : nullptr; }

 private:
  bool LoadImage(const char* name);
  bool LoadBuiltIn(const char* name);

  std::vector<uint8_t> m_image;  // the whole file
  SWaveFormat m_format;
  bool m_haveFormat = false;
  bool m_open = false;
  const uint8_t* m_samples = nullptr;  // into m_image
  uint32_t m_size = 0;
  uint32_t m_readOffset = 0;
};

// One sound in ten buffers that share its samples.
class CSoundDX {
 public:
  static constexpr int kBufferCount = 10;
  // Pass as the frequency to keep the buffer's current one.
  static constexpr int kKeepFrequency = -1;

  virtual ~CSoundDX();
  CSoundDX(const CSoundDX&) = delete;
  CSoundDX& operator=(const CSoundDX&) = delete;

  // Plays on a free buffer (a random one when all ten sound). Volume in hundredths of a
  // decibel (-10000..0), frequency in Hz or kKeepFrequency, pan -10000..10000. False when
  // nothing plays.
  bool Play(bool looping, int volume, int frequency, int pan);
  // The buffer chosen by the last Play, -1 before any.
  int GetLastIndex() const { return m_lastIndex; }

  // Stops the buffer and rewinds it.
  void Stop(int index);
  // Stops the buffer where it is and marks it paused; Resume plays on from there.
  void Pause(int index);
  void Resume(int index, bool looping);
  // Sounding, or held by a pause.
  bool IsBufferPlaying(int index) const;
  bool IsBufferPaused(int index) const;
  void SetVolume(int index, int volume);
  CAudioBuffer* GetBuffer(int index) const;

  // Seconds of sound at the file's own rate.
  float GetLength() const;
  uint32_t GetSampleRate() const { return m_format.samplesPerSecond; }

 protected:
  CSoundDX() = default;

 private:
  friend std::unique_ptr<CSoundDX> CreateSound(const char* name);
  int ChooseFreeBuffer();

  std::array<std::unique_ptr<CAudioBuffer>, kBufferCount> m_buffers;
  std::array<uint8_t, kBufferCount> m_pausedMarks{};
  std::unique_ptr<CWaveReader> m_wave;
  SWaveFormat m_format;
  uint32_t m_bufferBytes = 0;
  int m_lastIndex = -1;
};

// A streamed form of CSoundDX that nothing creates; it adds nothing.
class CStreamingSoundDX : public CSoundDX {
 public:
  ~CStreamingSoundDX() override = default;
};

// A sound loaded from `name` (the full file name); null without a sound output or when the
// file is missing or unusable (reported).
std::unique_ptr<CSoundDX> CreateSound(const char* name);
