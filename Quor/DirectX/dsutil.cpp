#include "Quor/DirectX/dsutil.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "Platform/AudioDevice.h"
#include "Quor/CByteReader.h"
#include "Quor/ContentOrigin.h"
#include "Quor/CPathResolver.h"
#include "Quor/CVFS.h"
#include "Quor/ReportError.h"

namespace {

constexpr const char* kDsutilSource = "Quor/DirectX/dsutil";

bool g_soundDevice = false;
std::string g_builtInFolder = "Resources";

void ReportAudioFailure(const char* text) { HM_REPORT(kDsutilSource, "%s", text); }

int ClampLevel(int value, int low, int high) { return std::min(std::max(value, low), high); }

}  // namespace

// ---- the sound output ----

bool InitDirectSound() {
  SetAudioErrorHandler(ReportAudioFailure);
  g_soundDevice = CAudioDevice::Open();
  return g_soundDevice;
}

void ReleaseDirectSound() {
  if (g_soundDevice) CAudioDevice::Close();
  g_soundDevice = false;
}

bool HasSoundDevice() { return g_soundDevice && CAudioDevice::IsOpen(); }

void SetBuiltInSoundFolder(const char* folder) { g_builtInFolder = folder ? folder : ""; }

// ---- CWaveReader ----

EWaveResult CWaveReader::Open(const char* name) {
  Close();
  m_haveFormat = false;
  m_format = SWaveFormat();
  m_size = 0;
  if (!name || !LoadImage(name)) return EWaveResult::Fail;

  SWaveData wave;
  std::string error;
  if (!ParseWave(m_image.data(), m_image.size(), name, wave, error)) {
    HM_REPORT(kDsutilSource, "%s", error.c_str());
    m_image.clear();
    return EWaveResult::Fail;
  }
  m_format = std::move(wave.format);
  m_haveFormat = true;
  m_samples = wave.samples;
  m_size = wave.sampleBytes;
  m_open = true;
  return Reset();
}

bool CWaveReader::LoadImage(const char* name) {
  CVFS* vfs = GetVFS();
  VfsFile* file = vfs ? vfs->Open(name) : nullptr;
  if (!file) {
    // An archive holds all the game's content, so a sound missing from it means broken content.
    if (CVFS::IsArchiveMode()) HM_FATAL(kDsutilSource, "Sound %s not found%s", name, CContentOrigin::Clause().c_str());
    if (LoadBuiltIn(name)) return true;
    HM_REPORT(kDsutilSource, "Sound %s not found", name);
    return false;
  }
  return ReadOpenVfsFile(file, name, &m_image, kMaxFileBytes);
}

bool CWaveReader::LoadBuiltIn(const char* name) {
  if (g_builtInFolder.empty()) return false;
  static CPathResolver resolver;
  for (const char* kind : {"WAVE", "WAV"}) {
    std::string found;
    if (!resolver.Resolve(g_builtInFolder + "/" + kind + "/", name, &found)) continue;
    std::ifstream in(found, std::ios::binary | std::ios::ate);
    if (!in) continue;
    const std::streamoff size = in.tellg();
    if (size < 0 || uint64_t(size) > kMaxFileBytes) {
      HM_REPORT(kDsutilSource, "%s: %lld bytes is not a size a sound may have", found.c_str(), (long long)size);
      return false;
    }
    m_image.resize(size_t(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(m_image.data()), size)) {
      HM_REPORT(kDsutilSource, "%s: could not be read", found.c_str());
      m_image.clear();
      return false;
    }
    return true;
  }
  return false;
}

EWaveResult CWaveReader::Reset() {
  if (!m_open) return EWaveResult::NotOpen;
  m_readOffset = 0;
  return EWaveResult::Ok;
}

EWaveResult CWaveReader::Read(void* buffer, uint32_t count, uint32_t* read) {
  if (!buffer || !read) return EWaveResult::InvalidArgument;
  *read = 0;
  if (!m_open) return EWaveResult::NotOpen;
  const uint32_t copied = std::min(count, m_size - m_readOffset);
  std::memcpy(buffer, m_samples + m_readOffset, copied);
  m_readOffset += copied;
  *read = copied;
  return EWaveResult::Ok;
}

void CWaveReader::Close() {
  m_open = false;
  m_samples = nullptr;
  m_readOffset = 0;
  std::vector<uint8_t>().swap(m_image);
}

// ---- CSoundDX ----

std::unique_ptr<CSoundDX> CreateSound(const char* name) {
  if (!HasSoundDevice() || !name) return nullptr;
  auto wave = std::make_unique<CWaveReader>();
  if (wave->Open(name) != EWaveResult::Ok) return nullptr;
  const SWaveFormat& format = *wave->GetFormat();
  const uint32_t bytes = wave->GetSize();
  if (bytes == 0) {
    HM_REPORT(kDsutilSource, "%s: no sample data", name);
    return nullptr;
  }

  // What the file lacks stays silent: the midpoint for unsigned 8-bit samples, zero otherwise.
  std::vector<uint8_t> samples(bytes, format.bitsPerSample == 8 ? 0x80 : 0);
  uint32_t read = 0;
  wave->Read(samples.data(), bytes, &read);

  std::unique_ptr<CSoundDX> sound(new CSoundDX());
  sound->m_buffers[0] = CAudioBuffer::Create(format, samples.data(), bytes, name);
  if (!sound->m_buffers[0]) return nullptr;
  for (int i = 1; i < CSoundDX::kBufferCount; ++i) sound->m_buffers[i] = sound->m_buffers[0]->Duplicate();
  sound->m_format = format;
  sound->m_bufferBytes = bytes;
  // The buffers hold the decoded samples; the file's bytes are no longer needed.
  wave->Close();
  sound->m_wave = std::move(wave);
  return sound;
}

CSoundDX::~CSoundDX() = default;

int CSoundDX::ChooseFreeBuffer() {
  m_lastIndex = -1;
  for (int i = 0; i < kBufferCount; ++i) {
    if (!IsBufferPlaying(i)) {
      m_lastIndex = i;
      return i;
    }
  }
  m_lastIndex = std::rand() % kBufferCount;
  return m_lastIndex;
}

bool CSoundDX::Play(bool looping, int volume, int frequency, int pan) {
  CAudioBuffer* buffer = GetBuffer(ChooseFreeBuffer());
  if (!buffer) return false;
  buffer->SetVolume(ClampLevel(volume, -10000, 0));
  if (frequency != kKeepFrequency) {
    buffer->SetFrequency(uint32_t(ClampLevel(frequency, int(kMinPlaybackRate), int(kMaxPlaybackRate))));
  }
  buffer->SetPan(ClampLevel(pan, -10000, 10000));
  m_pausedMarks[m_lastIndex] = 0;
  // A buffer taken over from an earlier play starts the sound again from the beginning.
  buffer->SetPosition(0);
  buffer->Play(looping);
  return true;
}

void CSoundDX::Stop(int index) {
  CAudioBuffer* buffer = GetBuffer(index);
  if (!buffer) return;
  buffer->Stop();
  buffer->SetPosition(0);
  m_pausedMarks[index] = 0;
}

void CSoundDX::Pause(int index) {
  CAudioBuffer* buffer = GetBuffer(index);
  if (!buffer) return;
  m_pausedMarks[index] = 1;
  buffer->Stop();
}

void CSoundDX::Resume(int index, bool looping) {
  CAudioBuffer* buffer = GetBuffer(index);
  if (!buffer) return;
  buffer->Play(looping);
  m_pausedMarks[index] = 0;
}

bool CSoundDX::IsBufferPlaying(int index) const {
  CAudioBuffer* buffer = GetBuffer(index);
  return buffer && (buffer->IsPlaying() || m_pausedMarks[index]);
}

bool CSoundDX::IsBufferPaused(int index) const { return GetBuffer(index) && m_pausedMarks[index]; }

void CSoundDX::SetVolume(int index, int volume) {
  if (CAudioBuffer* buffer = GetBuffer(index)) buffer->SetVolume(ClampLevel(volume, -10000, 0));
}

CAudioBuffer* CSoundDX::GetBuffer(int index) const {
  return index >= 0 && index < kBufferCount ? m_buffers[index].get() : nullptr;
}

float CSoundDX::GetLength() const {
  const uint32_t bytesPerSecond =
      uint32_t(m_format.bitsPerSample / 8) * m_format.channels * m_format.samplesPerSecond;
  return bytesPerSecond ? float(m_bufferBytes) / float(bytesPerSecond) : 0.0f;
}
