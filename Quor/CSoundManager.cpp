#include "Quor/CSoundManager.h"

#include <algorithm>
#include <cmath>

#include "Quor/CStr.h"
#include "Quor/CThread.h"
#include "Quor/DirectX/dsutil.h"
#include "Quor/ReportError.h"
#include "Quor/Timer.h"
#include "Quor/Utils.h"

namespace {

constexpr const char* kCSoundManagerSource = "Quor/CSoundManager";

// Guards the global pointer, so the idle sensor never updates a manager being destroyed.
std::mutex g_instanceLock;
CSoundManager* g_instance = nullptr;

bool SameFileName(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return ToUpperCaseByte(x) == ToUpperCaseByte(y); });
}

// The sound's own rate scaled by the caller's factor; a factor of 0 (or nonsense) plays the
// sound as recorded.
int PlaybackFrequency(float rate, uint32_t ownRate) {
  const double frequency = double(rate) * ownRate;
  if (!(frequency >= 1.0)) return int(ownRate);
  return int(std::min(frequency, double(kMaxPlaybackRate)));
}

}  // namespace

SSoundRecord::SSoundRecord() = default;
SSoundRecord::~SSoundRecord() = default;

SSoundLevel ConvertLevels(float master, float left, float right) {
  const float l = FloatClamp(left, 0.0f, 1.0f) * master;
  const float r = FloatClamp(right, 0.0f, 1.0f) * master;
  const float loudest = r > l ? r : l;
  SSoundLevel level;
  level.pan = loudest < 0.000001f ? 0 : int((r * 10000.0f - l * 10000.0f) / loudest);
  level.volume = -10000 + int(10000.0f * powf(loudest, 0.1f));
  return level;
}

CSoundManager* GetSoundManager() {
  std::lock_guard<std::mutex> lock(g_instanceLock);
  return g_instance;
}

void SoundIdleCallback() {
  std::lock_guard<std::mutex> lock(g_instanceLock);
  if (g_instance) g_instance->Update();
}

// ---- life ----

CSoundManager::CSoundManager() {
  if (!HasSoundDevice()) InitDirectSound();
  for (SVoice& voice : m_pool.voices) Retire(&voice);
  {
    std::lock_guard<std::mutex> lock(g_instanceLock);
    g_instance = this;
  }
  AddIdleCallback(SoundIdleCallback);
}

CSoundManager::~CSoundManager() {
  // Waits for a running idle update; must not hold the manager's lock meanwhile.
  RemoveIdleCallback(SoundIdleCallback);
  {
    std::lock_guard<std::mutex> lock(g_instanceLock);
    if (g_instance == this) g_instance = nullptr;
  }
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  StopAllSounds();
  if (m_music) CloseMusicStream(m_music.get());
  m_music.reset();
  ReleaseDirectSound();
  while (m_sounds) {
    SSoundRecord* next = m_sounds->next;
    delete m_sounds;
    m_sounds = next;
  }
  m_soundCount = 0;
}

void CSoundManager::SetDirectory(const char* path) {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  CopyDirPath(m_directory, path);
}

void CSoundManager::Flush() {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  m_flushed = true;
}

void CSoundManager::SetStealMode(bool steal) {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  m_stealMode = steal;
}

// ---- sounds ----

SSoundRecord* CSoundManager::LoadSound(const char* name, bool looping) {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  const std::string fileName = std::string(m_directory) + (name ? name : "") + ".wav";
  for (SSoundRecord* record = m_sounds; record; record = record->next) {
    if (SameFileName(record->name, fileName)) {
      ++record->references;
      return record;
    }
  }
  auto* record = new SSoundRecord();
  record->name = fileName;
  record->looping = looping;
  if (HasSoundDevice()) record->sound = CreateSound(fileName.c_str());
  record->next = m_sounds;
  m_sounds = record;
  ++m_soundCount;
  return record;
}

void CSoundManager::ReleaseSound(SSoundRecord* record) {
  if (!record) return;
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  if (--record->references > 0) return;
  for (SVoice* voice = m_pool.activeHead; voice;) {
    SVoice* next = voice->next;
    if (voice->sound == record) StopSoundLocked(voice->handle);
    voice = next;
  }
  for (SSoundRecord** link = &m_sounds; *link; link = &(*link)->next) {
    if (*link == record) {
      *link = record->next;
      --m_soundCount;
      break;
    }
  }
  delete record;
}

float CSoundManager::GetSoundLength(const SSoundRecord* record) const {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  return record && record->sound ? record->sound->GetLength() : 0.0f;
}

// ---- voices ----

void CSoundManager::Activate(SVoice* voice) {
  voice->previous = nullptr;
  voice->next = m_pool.activeHead;
  if (m_pool.activeHead) m_pool.activeHead->previous = voice;
  m_pool.activeHead = voice;
}

// Unlinks an active voice (a no-op for a voice on no list) and returns it to the free list.
void CSoundManager::Retire(SVoice* voice) {
  if (voice->previous) voice->previous->next = voice->next;
  if (voice->next) voice->next->previous = voice->previous;
  if (m_pool.activeHead == voice) m_pool.activeHead = voice->next;
  voice->next = nullptr;
  voice->previous = m_pool.freeTail;
  (m_pool.freeTail ? m_pool.freeTail->next : m_pool.freeHead) = voice;
  m_pool.freeTail = voice;
}

SVoice* CSoundManager::TakeVoice() {
  if (!m_pool.freeHead && m_stealMode) {
    if (SVoice* oldest = FindOldestNonLooping()) StopSoundLocked(oldest->handle);
  }
  SVoice* voice = m_pool.freeHead;
  if (!voice) return nullptr;
  m_pool.freeHead = voice->next;
  if (!m_pool.freeHead) m_pool.freeTail = nullptr;
  Activate(voice);
  return voice;
}

SVoice* CSoundManager::FindOldestNonLooping() const {
  SVoice* oldest = nullptr;
  for (SVoice* voice = m_pool.activeHead; voice; voice = voice->next) {
    if (!voice->sound->looping && (!oldest || voice->handle < oldest->handle)) oldest = voice;
  }
  return oldest;
}

SVoice* CSoundManager::FindActive(uint32_t handle) const {
  for (SVoice* voice = m_pool.activeHead; voice; voice = voice->next) {
    if (voice->handle == handle) return voice;
  }
  return nullptr;
}

int CSoundManager::PlaySound(SSoundRecord* record, uint32_t* handle, float left, float right, float rate) {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  if (handle) *handle = 0;
  if (!m_flushed) {
    // A slip in the order of a state's start-up; the game carries on without this sound.
    HM_REPORT(kCSoundManagerSource, "Call Flush() first");
    return kNotPlayed;
  }
  if (!record) return kNotPlayed;
  if (right < 0.0f) right = left;
  left = FloatClamp(left, 0.0f, 1.0f);
  right = FloatClamp(right, 0.0f, 1.0f);

  SVoice* voice = TakeVoice();
  if (!voice) return kNotPlayed;
  voice->handle = ++m_handleCounter;
  voice->sound = record;
  if (handle) *handle = voice->handle;
  if (!HasSoundDevice() || !record->sound) {
    Retire(voice);
    return kNotPlayed;
  }

  CSoundDX& sound = *record->sound;
  voice->left = left;
  voice->right = right;
  voice->frequency = PlaybackFrequency(rate, sound.GetSampleRate());
  const SSoundLevel level = ConvertLevels(m_soundVolume, left, right);
  sound.Play(record->looping, level.volume, voice->frequency, level.pan);
  voice->bufferIndex = sound.GetLastIndex();
  return kPlayed;
}

bool CSoundManager::StopSound(uint32_t handle) {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  return StopSoundLocked(handle);
}

bool CSoundManager::StopSoundLocked(uint32_t handle) {
  SVoice* voice = FindActive(handle);
  if (!voice) return false;
  if (HasSoundDevice() && voice->sound->sound) voice->sound->sound->Stop(voice->bufferIndex);
  Retire(voice);
  return true;
}

void CSoundManager::StopAllSounds() {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  while (m_pool.activeHead) StopSoundLocked(m_pool.activeHead->handle);
}

bool CSoundManager::IsSoundFinished(uint32_t handle) const {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  return FindActive(handle) == nullptr;
}

SVoice* CSoundManager::FindVoice(uint32_t handle, int flag) const {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  return flag == 0 ? FindActive(handle) : nullptr;
}

// ---- pause ----

void CSoundManager::PauseAll() {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  m_paused = true;
  for (SVoice* voice = m_pool.activeHead; voice; voice = voice->next) {
    if (voice->sound->sound) voice->sound->sound->Pause(voice->bufferIndex);
  }
}

void CSoundManager::ResumeAll() {
  if (IsTimerPaused()) return;
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  m_paused = false;
  if (!HasSoundDevice()) return;
  for (SVoice* voice = m_pool.activeHead; voice; voice = voice->next) {
    CSoundDX* sound = voice->sound->sound.get();
    // Only what the pause held: a sound that was started and ended since must not sound again.
    if (sound && sound->IsBufferPaused(voice->bufferIndex)) {
      sound->Resume(voice->bufferIndex, voice->sound->looping);
    }
  }
}

bool CSoundManager::IsPaused() const {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  return m_paused;
}

// ---- volumes ----

void CSoundManager::SetSoundVolume(float volume) {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  m_soundVolume = FloatClamp(volume, 0.0f, 1.0f);
  if (!HasSoundDevice()) return;
  for (SVoice* voice = m_pool.activeHead; voice; voice = voice->next) {
    CSoundDX* sound = voice->sound->sound.get();
    if (sound && sound->IsBufferPlaying(voice->bufferIndex)) {
      sound->SetVolume(voice->bufferIndex, ConvertLevels(m_soundVolume, voice->left, voice->right).volume);
    }
  }
}

void CSoundManager::SetMusicVolume(float volume) {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  m_musicVolume = FloatClamp(volume, 0.0f, 1.0f);
  ApplyMusicLevel();
}

float CSoundManager::GetSoundVolume() const {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  return m_soundVolume;
}

float CSoundManager::GetMusicVolume() const {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  return m_musicVolume;
}

// The music volume serves as both levels and as the master, so the level heard is its square.
void CSoundManager::ApplyMusicLevel() {
  const SSoundLevel level = ConvertLevels(m_musicVolume, m_musicVolume, m_musicVolume);
  g_musicVolumeLevel = level.volume;
  g_musicPan = level.pan;
  if (m_music) ApplyMusicVolume(m_music.get());
}

// ---- music ----

void CSoundManager::PlayMusic(const char* name, bool looping) {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  if (!m_flushed) {
    HM_REPORT(kCSoundManagerSource, "call Flush before");
    return;
  }
  StopMusic();
  if (!HasSoundDevice()) return;
  m_music = std::make_unique<SMusicStream>();
  OpenMusicStream(m_music.get(), name);
  ApplyMusicLevel();
  StartMusicStream(m_music.get(), looping);
}

void CSoundManager::StopMusic() {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  if (m_music) CloseMusicStream(m_music.get());
  m_music.reset();
}

bool CSoundManager::IsMusicPlaying() const {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  return m_music && m_music->playing;
}

bool CSoundManager::IsMusicPaused() const {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  return m_music && m_music->paused;
}

float CSoundManager::GetMusicPosition() const {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  return m_music ? GetMusicStreamPosition(m_music.get()) : -1.0f;
}

// ---- update ----

void CSoundManager::Update() {
  std::lock_guard<std::recursive_mutex> lock(m_lock);
  const bool device = HasSoundDevice();
  for (SVoice* voice = m_pool.activeHead; voice;) {
    SVoice* next = voice->next;
    const CSoundDX* sound = voice->sound->sound.get();
    const bool sounding = sound && sound->IsBufferPlaying(voice->bufferIndex);
    if (!device || (!voice->sound->looping && !sounding)) Retire(voice);
    voice = next;
  }
  if (m_music) UpdateMusicStream(m_music.get());
}
