#pragma once
// The sound module: initialised for the states that play sound; it plays music tracks and a
// playlist of them, one track after the other.

#include "Framework/omModule.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Ombrel {

class CSoundModule : public CSingleModule<CSoundModule> {
 public:
  CSoundModule();
  ~CSoundModule() override;

  bool Shutdown() override;
  // Moves the playlist on once the current track has ended.
  void Update() override;

  // The track "Music/<name>" below the content root, as the engine's music stream.
  void PlayMusic(const char* name, bool loop);
  void AddMusicTrack(const char* name);
  // Plays the first track (once) when the playlist holds any; the playlist loops.
  void StartPlaylist();
  // Whether the playlist starts again after its last track.
  void SetPlaylistLoop(bool loop) { m_loop = loop; }
  void StopMusic();
  void StopPlaylist();

  // The current track's name (null when none) and index (-1 when none).
  const char* GetCurrentTrack() const;
  int32_t GetCurrentIndex() const { return m_index; }
  bool IsPlaylistLooping() const { return m_loop; }
  size_t GetTrackCount() const { return m_playlist.size(); }

 private:
  void PlayCurrent();

  std::vector<std::string> m_playlist;
  int32_t m_index = -1;
  bool m_loop = true;
};

CSoundModule* GetSoundModule();

}  // namespace Ombrel
