#include "Platform/AudioWave.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

uint16_t ReadU16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t ReadU32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// Tags of damaged files may hold any byte; keep the message printable.
std::string TagText(const uint8_t* tag) {
  std::string text;
  for (int i = 0; i < 4; ++i) text += (tag[i] >= 32 && tag[i] < 127) ? char(tag[i]) : '?';
  return text;
}

bool Fail(std::string& error, const char* name, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

bool Fail(std::string& error, const char* name, const char* format, ...) {
  char reason[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(reason, sizeof reason, format, args);
  va_end(args);
  error = std::string(name ? name : "(unnamed)") + ": " + reason;
  return false;
}

bool ReadExactly(IAudioStreamReader& reader, uint64_t offset, void* destination, size_t count) {
  return reader.ReadAt(offset, destination, count) == count;
}

bool ParseFormatChunk(IAudioStreamReader& reader, const char* name, uint64_t bodyOffset,
                      uint32_t bodySize, SWaveFormat& format, std::string& error) {
  if (bodySize < kPcmFormatBytes)
    return Fail(error, name, "\"fmt \" chunk is %u bytes, at least %u are needed", bodySize,
                kPcmFormatBytes);
  uint8_t head[kExtendedFormatBytes];
  size_t headBytes = bodySize >= kExtendedFormatBytes ? kExtendedFormatBytes : kPcmFormatBytes;
  if (!ReadExactly(reader, bodyOffset, head, headBytes))
    return Fail(error, name, "could not read the \"fmt \" chunk");
  format.formatTag = ReadU16(head);
  format.channels = ReadU16(head + 2);
  format.samplesPerSecond = ReadU32(head + 4);
  format.averageBytesPerSecond = ReadU32(head + 8);
  format.blockAlign = ReadU16(head + 12);
  format.bitsPerSample = ReadU16(head + 14);
  format.extraBytes.clear();
  if (format.formatTag == kWaveFormatPcm) return true;

  // Other formats carry a count of extra bytes right behind the 16 common ones.
  if (bodySize < kExtendedFormatBytes)
    return Fail(error, name, "\"fmt \" chunk of format %u is %u bytes and lacks its extra-bytes count",
                format.formatTag, bodySize);
  uint16_t extraCount = ReadU16(head + 16);
  if (kExtendedFormatBytes + uint32_t(extraCount) > bodySize)
    return Fail(error, name, "\"fmt \" chunk announces %u extra bytes but holds only %u",
                extraCount, bodySize - kExtendedFormatBytes);
  format.extraBytes.resize(extraCount);
  if (extraCount > 0 &&
      !ReadExactly(reader, bodyOffset + kExtendedFormatBytes, format.extraBytes.data(), extraCount))
    return Fail(error, name, "could not read the extra format bytes");
  return true;
}

class CMemoryReader : public IAudioStreamReader {
 public:
  CMemoryReader(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}
  uint64_t Size() override { return size_; }
  size_t ReadAt(uint64_t offset, void* destination, size_t count) override {
    if (offset >= size_) return 0;
    size_t available = size_t(size_ - offset);
    size_t copied = count < available ? count : available;
    std::memcpy(destination, bytes_ + offset, copied);
    return copied;
  }

 private:
  const uint8_t* bytes_;
  size_t size_;
};

}  // namespace

bool ParseWaveLayout(IAudioStreamReader& reader, const char* name, SWaveLayout& layout,
                     std::string& error) {
  const uint64_t fileSize = reader.Size();
  uint8_t header[kRiffHeaderBytes];
  if (fileSize < kRiffHeaderBytes || !ReadExactly(reader, 0, header, sizeof header))
    return Fail(error, name, "file of %llu bytes is too short for a RIFF header",
                (unsigned long long)fileSize);
  if (std::memcmp(header, kRiffTag, 4) != 0 || std::memcmp(header + kChunkHeaderBytes, kWaveTag, 4) != 0)
    return Fail(error, name, "not a RIFF/WAVE file (found \"%s\" \"%s\")", TagText(header).c_str(),
                TagText(header + 8).c_str());
  const uint64_t riffEnd = uint64_t(kChunkHeaderBytes) + ReadU32(header + 4);
  if (riffEnd > fileSize)
    return Fail(error, name, "RIFF chunk claims %llu bytes but the file holds %llu",
                (unsigned long long)riffEnd, (unsigned long long)fileSize);

  bool haveFormat = false;
  bool haveData = false;
  uint64_t offset = kRiffHeaderBytes;
  while (!(haveFormat && haveData) && offset + kChunkHeaderBytes <= riffEnd) {
    uint8_t chunk[kChunkHeaderBytes];
    if (!ReadExactly(reader, offset, chunk, sizeof chunk))
      return Fail(error, name, "could not read the chunk header at offset %llu",
                  (unsigned long long)offset);
    const uint32_t bodySize = ReadU32(chunk + 4);
    const uint64_t bodyOffset = offset + kChunkHeaderBytes;
    if (bodyOffset + bodySize > riffEnd)
      return Fail(error, name, "chunk \"%s\" at offset %llu claims %u bytes, beyond the end at %llu",
                  TagText(chunk).c_str(), (unsigned long long)offset, bodySize,
                  (unsigned long long)riffEnd);
    if (!haveFormat && std::memcmp(chunk, kWaveFormatChunkTag, 4) == 0) {
      if (!ParseFormatChunk(reader, name, bodyOffset, bodySize, layout.format, error)) return false;
      haveFormat = true;
    } else if (!haveData && std::memcmp(chunk, kWaveDataChunkTag, 4) == 0) {
      layout.dataOffset = bodyOffset;
      layout.dataSize = bodySize;
      haveData = true;
    }
    // Chunks are padded to an even size.
    offset = bodyOffset + bodySize + (bodySize & 1u);
  }
  if (!haveFormat) return Fail(error, name, "no \"fmt \" chunk");
  if (!haveData) return Fail(error, name, "no \"data\" chunk");
  return true;
}

bool ParseWave(const void* bytes, size_t size, const char* name, SWaveData& wave,
               std::string& error) {
  CMemoryReader reader(static_cast<const uint8_t*>(bytes), bytes ? size : 0);
  SWaveLayout layout;
  if (!ParseWaveLayout(reader, name, layout, error)) return false;
  wave.format = std::move(layout.format);
  wave.samples = static_cast<const uint8_t*>(bytes) + layout.dataOffset;
  wave.sampleBytes = layout.dataSize;
  return true;
}

bool CheckPlayableFormat(const SWaveFormat& format, const char* name, std::string& error) {
  if (format.formatTag != kWaveFormatPcm)
    return Fail(error, name, "format %u is not integer PCM", format.formatTag);
  if (format.bitsPerSample != 8 && format.bitsPerSample != 16)
    return Fail(error, name, "%u bits per sample; 8 or 16 are played", format.bitsPerSample);
  if (format.channels != 1 && format.channels != 2)
    return Fail(error, name, "%u channels; mono or stereo are played", format.channels);
  if (format.samplesPerSecond < kMinPlaybackRate || format.samplesPerSecond > kMaxPlaybackRate)
    return Fail(error, name, "sample rate %u Hz is outside %u..%u", format.samplesPerSecond,
                kMinPlaybackRate, kMaxPlaybackRate);
  const uint32_t expectedBlock = uint32_t(format.channels) * format.bitsPerSample / 8;
  if (format.blockAlign != expectedBlock)
    return Fail(error, name, "block size %u does not match %u channels of %u bits",
                format.blockAlign, format.channels, format.bitsPerSample);
  return true;
}
