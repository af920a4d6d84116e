#include "Quor/DirectX/SMusicStream.h"

#include <cstdio>
#include <string>

#include "Platform/AudioMusic.h"
#include "Quor/CPathResolver.h"
#include "Quor/CVFS.h"
#include "Quor/DirectX/ApplicationActivity.h"
#include "Quor/ReportError.h"

int g_musicVolumeLevel = 0;
int g_musicPan = 0;
bool g_musicMuted = false;

namespace {

constexpr const char* kSMusicStreamSource = "Quor/DirectX/SMusicStream";
constexpr size_t kMaxPathLength = 1023;
constexpr int kSilence = -10000;

// A music file read straight from disk, so that it has a handle of its own.
class CMusicFileReader : public IAudioStreamReader {
 public:
  explicit CMusicFileReader(std::FILE* file) : m_file(file) {
    if (std::fseek(m_file, 0, SEEK_END) == 0) {
      const long end = std::ftell(m_file);
      m_size = end > 0 ? uint64_t(end) : 0;
    }
  }
  ~CMusicFileReader() override { std::fclose(m_file); }
  CMusicFileReader(const CMusicFileReader&) = delete;
  CMusicFileReader& operator=(const CMusicFileReader&) = delete;

  uint64_t Size() override { return m_size; }
  size_t ReadAt(uint64_t offset, void* destination, size_t count) override {
    if (offset >= m_size || std::fseek(m_file, long(offset), SEEK_SET) != 0) return 0;
    return std::fread(destination, 1, count, m_file);
  }

 private:
  std::FILE* m_file;
  uint64_t m_size = 0;
};

std::unique_ptr<IAudioStreamReader> OpenMusicFile(const std::string& root, const std::string& fileName) {
  if (root.size() + fileName.size() > kMaxPathLength) {
    HM_REPORT(kSMusicStreamSource, "Music path longer than %zu characters: \"%s%.64s...\"", kMaxPathLength,
              root.c_str(), fileName.c_str());
    return nullptr;
  }
  static CPathResolver resolver;
  std::string path = root + CPathResolver::ToSlashes(fileName);
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file && resolver.Resolve(root, fileName, &path)) file = std::fopen(path.c_str(), "rb");
  if (!file) {
    HM_REPORT(kSMusicStreamSource, "Music %s not found", fileName.c_str());
    return nullptr;
  }
  return std::make_unique<CMusicFileReader>(file);
}

int CurrentLevel() { return g_musicMuted ? kSilence : g_musicVolumeLevel; }

void RestartAtTheStart(SMusicStream* stream) {
  stream->audio->Stop();  // rewinds
  stream->audio->Play(true);
}

}  // namespace

SMusicStream::SMusicStream() = default;
SMusicStream::~SMusicStream() = default;

void OpenMusicStream(SMusicStream* stream, const char* name) {
  stream->looping = stream->paused = stream->playing = 0;
  stream->stopPosition = 0;
  const std::string fileName = std::string(name ? name : "") + ".wav";
  const CVFS* vfs = GetVFS();
  std::unique_ptr<IAudioStreamReader> reader = OpenMusicFile(vfs ? vfs->GetRootDirectory() : "", fileName);
  if (!reader) return;
  auto audio = std::make_unique<CAudioMusic>();
  // A file the mixer cannot play is reported by Open and leaves the music silent.
  if (audio->Open(std::move(reader), fileName.c_str())) stream->audio = std::move(audio);
}

void StartMusicStream(SMusicStream* stream, bool looping) {
  stream->looping = looping;
  if (!stream->audio) return;
  // The mixer turns a looping track at its stop position without a gap; the update only
  // catches a turn it missed.
  stream->audio->Play(looping);
  stream->stopPosition = stream->audio->GetStopPosition();
  stream->playing = 1;
  stream->paused = 0;
  ApplyMusicVolume(stream);
}

void StopMusicStream(SMusicStream* stream) {
  if (!stream->playing) return;
  stream->audio->Stop();
  stream->paused = 0;
  stream->playing = 0;
}

void ApplyMusicVolume(SMusicStream* stream) {
  if (!stream->playing) return;
  stream->audio->SetVolume(CurrentLevel());
  stream->audio->SetBalance(g_musicPan);
}

float GetMusicStreamPosition(SMusicStream* stream) {
  const int64_t position = stream->audio ? stream->audio->GetPosition() : 0;
  const int64_t seconds = position / CAudioMusic::kUnitsPerSecond;
  const int64_t rest = position % CAudioMusic::kUnitsPerSecond;
  return float(seconds) + float(rest) * 0.0000001f;
}

void UpdateMusicStream(SMusicStream* stream) {
  if (!stream->playing || stream->paused) return;
  CAudioMusic& audio = *stream->audio;
  audio.Service();

  if (audio.HasEnded() || audio.GetPosition() >= stream->stopPosition) {
    if (stream->looping) {
      RestartAtTheStart(stream);
    } else {
      audio.Stop();
      stream->playing = 0;
      stream->paused = 0;
    }
  }

  if (IsApplicationActive()) {
    const bool wasMuted = g_musicMuted;
    g_musicMuted = false;
    if (wasMuted) ApplyMusicVolume(stream);
  } else if (!g_musicMuted) {
    if (stream->playing) audio.SetVolume(kSilence);
    g_musicMuted = true;
  }
}

void CloseMusicStream(SMusicStream* stream) {
  StopMusicStream(stream);
  if (stream->audio) stream->audio->Close();
  stream->audio.reset();
}
