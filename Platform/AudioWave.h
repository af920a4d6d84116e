#pragma once
// RIFF/WAVE parsing shared by the sound buffers, the music stream and the engine's WAVE reader.
// Nothing in a file is trusted: every chunk size is checked against the bytes that exist, and
// a failure comes back as a text that names the file and what is wrong with it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The layout, shared with the sound tool's writer: a RIFF header (tag "RIFF", size u32 of
// what follows, tag "WAVE"), then chunks of a four-byte tag, a body size u32 and the body.
constexpr char kRiffTag[4] = {'R', 'I', 'F', 'F'};
constexpr char kWaveTag[4] = {'W', 'A', 'V', 'E'};
constexpr char kWaveFormatChunkTag[4] = {'f', 'm', 't', ' '};
constexpr char kWaveDataChunkTag[4] = {'d', 'a', 't', 'a'};
constexpr uint32_t kRiffHeaderBytes = 12;
constexpr uint32_t kChunkHeaderBytes = 8;
constexpr uint32_t kPcmFormatBytes = 16;       // the "fmt " body of PCM
constexpr uint32_t kExtendedFormatBytes = 18;  // with the extra-bytes count of other formats
// A PCM file's bytes before its samples.
constexpr uint32_t kPcmWaveHeaderBytes = kRiffHeaderBytes + kChunkHeaderBytes + kPcmFormatBytes + kChunkHeaderBytes;

constexpr uint16_t kWaveFormatPcm = 1;

// The "fmt " chunk as stored in the file.
struct SWaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSecond = 0;
  uint32_t averageBytesPerSecond = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  std::vector<uint8_t> extraBytes;  // only formats other than PCM carry them
};

// Where a WAVE file keeps its samples.
struct SWaveLayout {
  SWaveFormat format;
  uint64_t dataOffset = 0;  // from the start of the file
  uint32_t dataSize = 0;
};

// A WAVE file held in memory: its format and the span of its sample bytes.
struct SWaveData {
  SWaveFormat format;
  const uint8_t* samples = nullptr;
  uint32_t sampleBytes = 0;
};

// Random access to a file the caller owns (the engine feeds it from its virtual file system).
// Called only from the thread that drives the object it was handed to, never from the mixer.
class IAudioStreamReader {
 public:
  virtual ~IAudioStreamReader() = default;
  virtual uint64_t Size() = 0;
  // Copies up to `count` bytes from `offset`; returns how many were copied (fewer at the end or
  // on a read error).
  virtual size_t ReadAt(uint64_t offset, void* destination, size_t count) = 0;
};

// Walks the chunks of a RIFF/WAVE file: the first "fmt " and the first "data" chunk are taken,
// any other chunk is skipped. `name` is only used in the error text.
bool ParseWaveLayout(IAudioStreamReader& reader, const char* name, SWaveLayout& layout,
                     std::string& error);

// The same for a whole file in memory; `wave.samples` points into `bytes`.
bool ParseWave(const void* bytes, size_t size, const char* name, SWaveData& wave,
               std::string& error);

// Whether the mixer plays this format: integer PCM with 8 or 16 bits, one or two channels, a
// sample rate the mixer accepts and a block size that matches the rest.
bool CheckPlayableFormat(const SWaveFormat& format, const char* name, std::string& error);

// The slowest and fastest playback rates a sound may be given (Hz).
constexpr uint32_t kMinPlaybackRate = 100;
constexpr uint32_t kMaxPlaybackRate = 200000;
