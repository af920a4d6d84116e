#pragma once
// The music track: one WAVE file streamed from disk at a time. The sound manager
// (Quor/CSoundManager.h) owns the current stream, opens it on a play request, services it at
// every update and sets its level; music files lie as plain files below the file system's
// root folder, in both file-system modes, so that streaming never competes with the main
// thread's use of the file system.

#include <cstdint>
#include <memory>

class CAudioMusic;

struct SMusicStream {
  SMusicStream();
  ~SMusicStream();

  std::unique_ptr<CAudioMusic> audio;  // null when the file could not be opened: silent
  int64_t stopPosition = 0;            // 100-ns units, read when playing starts
  uint8_t looping = 0;
  uint8_t paused = 0;   // while set, the update leaves the stream alone; nothing sets it
  uint8_t playing = 0;  // from start until stop or the end of a track played once
};

// The music level in hundredths of a decibel (-10000..0) and its pan (-10000..10000), as the
// sound manager converts them from the music volume.
extern int g_musicVolumeLevel;
extern int g_musicPan;
// Set while the music is silenced because the player has left the game.
extern bool g_musicMuted;

// Opens "<root><name>.wav". A missing or unusable file is reported and leaves the stream
// silent: it never counts as playing.
void OpenMusicStream(SMusicStream* stream, const char* name);
void StartMusicStream(SMusicStream* stream, bool looping);
void StopMusicStream(SMusicStream* stream);
// Gives the playing stream the current music level (silence while muted).
void ApplyMusicVolume(SMusicStream* stream);
// Seconds from the start of the track.
float GetMusicStreamPosition(SMusicStream* stream);
// Reads ahead, restarts a looping track at its stop position, ends one played once, and
// mutes the music while the player is away.
void UpdateMusicStream(SMusicStream* stream);
void CloseMusicStream(SMusicStream* stream);
