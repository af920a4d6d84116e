#pragma once
// The engine's only entry to sound: named sounds loaded with reference counts, 46 voices
// handed out as play handles, master volumes for effects and music, one music track, pause
// and resume of everything, and an update that retires finished voices and services the
// music.
//
// Threads: the main thread makes every call; the idle sensor calls SoundIdleCallback from its
// own thread while the main thread is held up. One lock serialises the two, so the voice
// lists and the music are never touched by both at once.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "Quor/CopyDirPath.h"
#include "Quor/DirectX/SMusicStream.h"

class CSoundDX;

struct SSoundRecord {
  int32_t references = 1;
  std::string name;  // the full file name, ".wav" included
  bool looping = false;  // fixed by the first load
  std::unique_ptr<CSoundDX> sound;  // null without a sound output or when the load failed
  SSoundRecord* next = nullptr;

  SSoundRecord();
  ~SSoundRecord();
};

// One sounding play of a sound.
struct SVoice {
  uint32_t handle = 0;
  SSoundRecord* sound = nullptr;
  int bufferIndex = -1;  // which of the sound's buffers it plays on
  float left = 0.0f;
  float right = 0.0f;
  int frequency = 0;
  SVoice* next = nullptr;
  SVoice* previous = nullptr;
};

struct SVoicePool {
  static constexpr int kCapacity = 46;
  SVoice voices[kCapacity];
  SVoice* freeHead = nullptr;  // taken from the head, returned at the tail
  SVoice* freeTail = nullptr;
  SVoice* activeHead = nullptr;  // newest first
};

// A level as the sound output takes it.
struct SSoundLevel {
  int volume = 0;  // hundredths of a decibel, -10000..0
  int pan = 0;     // -10000 (left only)..10000 (right only)
};

// Left and right levels (each clamped to 0..1) scaled by a master volume, turned into a
// volume on a 0.1-power curve (1 gives 0, 0.5 gives -670, 0 gives -10000) and a pan from
// the louder side.
SSoundLevel ConvertLevels(float master, float left, float right);

class CSoundManager {
 public:
  static constexpr int kPlayed = 0;
  static constexpr int kNotPlayed = 1;

  // Opens the sound output (none: the manager stores volumes and plays nothing), becomes the
  // global instance and registers SoundIdleCallback with the idle sensor.
  CSoundManager();
  ~CSoundManager();
  CSoundManager(const CSoundManager&) = delete;
  CSoundManager& operator=(const CSoundManager&) = delete;

  // The folder that sound names are taken from ("" for full paths); "\" is added.
  void SetDirectory(const char* path);
  const char* GetDirectory() const { return m_directory; }

  // The sound "<directory><name>.wav": an already loaded one gains a reference and keeps its
  // first looping flag. Never null.
  SSoundRecord* LoadSound(const char* name, bool looping);
  // Drops a reference; the last one stops the sound's voices and frees it.
  void ReleaseSound(SSoundRecord* record);

  // Plays on a free voice; kNotPlayed when none is free, the sound did not load, there is no
  // sound output, or Flush has not been called. A right level below 0 takes the left one.
  // `rate` scales the sound's own sample rate. The handle is 0 unless a voice was taken.
  int PlaySound(SSoundRecord* record, uint32_t* handle, float left, float right, float rate);
  bool StopSound(uint32_t handle);
  void StopAllSounds();
  bool IsSoundFinished(uint32_t handle) const;
  // The active voice with the handle, only when `flag` is 0. Main thread only.
  SVoice* FindVoice(uint32_t handle, int flag) const;
  float GetSoundLength(const SSoundRecord* record) const;

  void PauseAll();
  // Does nothing while the game's frame clock is paused.
  void ResumeAll();
  bool IsPaused() const;

  void SetSoundVolume(float volume);
  void SetMusicVolume(float volume);
  float GetSoundVolume() const;
  float GetMusicVolume() const;

  // "<root><name>.wav" from the file system's root folder.
  void PlayMusic(const char* name, bool looping);
  void StopMusic();
  bool IsMusicPlaying() const;
  bool IsMusicPaused() const;
  float GetMusicPosition() const;  // -1 without music

  // Retires finished voices and services the music.
  void Update();

  // The game's states call it once their sounds are loaded; playing before is a mistake.
  void Flush();
  // With steal mode on, a play with no free voice takes over the oldest voice that is not
  // looping.
  void SetStealMode(bool steal);

 private:
  SVoice* TakeVoice();
  SVoice* FindOldestNonLooping() const;
  SVoice* FindActive(uint32_t handle) const;
  void Activate(SVoice* voice);
  void Retire(SVoice* voice);
  bool StopSoundLocked(uint32_t handle);
  void ApplyMusicLevel();

  mutable std::recursive_mutex m_lock;
  char m_directory[kDirPathCapacity] = {};
  SSoundRecord* m_sounds = nullptr;  // newest first
  uint32_t m_soundCount = 0;
  std::unique_ptr<SMusicStream> m_music;
  bool m_flushed = false;
  bool m_stealMode = false;
  bool m_paused = false;
  SVoicePool m_pool;
  uint32_t m_handleCounter = 1;
  float m_soundVolume = 1.0f;
  float m_musicVolume = 1.0f;
};

// The global instance, null before it is made and after it is destroyed.
CSoundManager* GetSoundManager();

// The sound update for the idle sensor: updates the global instance when there is one.
void SoundIdleCallback();
