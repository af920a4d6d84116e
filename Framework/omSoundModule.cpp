#include "Framework/omSoundModule.h"

#include "Quor/CSoundManager.h"

namespace Ombrel {

namespace {


// Whether the engine's music stream is still busy with a track.
bool IsMusicBusy() {
  const CSoundManager* sound = GetSoundManager();
  return sound && (sound->IsMusicPlaying() || sound->IsMusicPaused());
}

}  // namespace

CSoundModule::CSoundModule() : CSingleModule("SoundModule", kModuleSound) {}

CSoundModule::~CSoundModule() {
  Shutdown();
}

bool CSoundModule::Shutdown() {
  if (!IModule::Shutdown()) return false;
  StopPlaylist();
  m_playlist.clear();
  return true;
}

void CSoundModule::PlayMusic(const char* name, bool loop) {
  // Music lies as plain files below the content root in both file-system modes.
  const std::string path = std::string("Music/") + (name ? name : "");
  if (CSoundManager* sound = GetSoundManager()) sound->PlayMusic(path.c_str(), loop);
}

void CSoundModule::AddMusicTrack(const char* name) { m_playlist.emplace_back(name ? name : ""); }

void CSoundModule::StartPlaylist() {
  if (m_playlist.empty()) return;
  m_loop = true;
  m_index = 0;
  PlayCurrent();
}

void CSoundModule::Update() {
  if (m_playlist.empty() || m_index < 0 || IsMusicBusy()) return;
  ++m_index;
  if (m_index >= static_cast<int32_t>(m_playlist.size())) {
    if (!m_loop) {
      m_index = -1;
      return;
    }
    m_index = 0;
  }
  PlayCurrent();
}

void CSoundModule::PlayCurrent() { PlayMusic(m_playlist[m_index].c_str(), false); }

void CSoundModule::StopMusic() {
  if (CSoundManager* sound = GetSoundManager()) sound->StopMusic();
}

void CSoundModule::StopPlaylist() {
  StopMusic();
  m_index = -1;
  m_loop = true;
}

const char* CSoundModule::GetCurrentTrack() const {
  return m_index >= 0 ? m_playlist[m_index].c_str() : nullptr;
}

CSoundModule* GetSoundModule() { return CSoundModule::Instance(); }

}  // namespace Ombrel
