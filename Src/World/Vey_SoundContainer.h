#pragma once
// The sound bank of one game state: a fixed table of named slots that its screens play by
// name. A slot holds a sound effect of the state's "Sound" resources, or is a music slot that
// only carries a name. Every operation takes -1 as the absent sound, so a name that is not in
// the bank plays nothing.

#include "Quor/CMemWatch.h"

#include <cstdint>
#include <string>
#include <vector>

struct SSoundRecord;

namespace Ombrel {
class CResourceManager;
}

namespace Vey {

class CSoundContainer : public CMemWatch {
 public:
  static constexpr uint32_t kSlotCount = 305;

  CSoundContainer();
  ~CSoundContainer() override;
  CSoundContainer(const CSoundContainer&) = delete;
  CSoundContainer& operator=(const CSoundContainer&) = delete;

  // The first filled slot with exactly that name (case matters); -1 for none or "".
  int32_t FindSound(const char* name) const;
  // Stops the slot's previous voice and starts its sound at factor x the saved sound-effects
  // volume. Music slots and slots without a sound play nothing.
  void PlaySound(int32_t slot, float factor = 1.0f);
  void PlaySoundByName(const char* name, float factor = 1.0f);
  void StopSound(int32_t slot);
  void StopSoundByName(const char* name);
  // Stops every effect but the two slots given (-1 keeps none).
  void StopAllExcept(int32_t keep1, int32_t keep2);
  bool IsPlaying(int32_t slot) const;
  bool IsPlayingByName(const char* name) const;
  // Seconds; 0 without a sound or a sound manager.
  float GetSoundLength(int32_t slot) const;

  // Clamped to 0..1 and handed to the sound manager.
  static void SetSoundVolume(float volume);
  static void SetMusicVolume(float volume);

  // The fill of each state. Each resolves its effects among the "Sound" resources, then tells
  // the sound manager the state's sounds are in (the call that allows playing); the game and
  // the bonus chapter add their music tracks to the sound module's playlist.
  void LoadMenuSounds(const Ombrel::CResourceManager* resources);
  void LoadIntroSounds(const Ombrel::CResourceManager* resources);
  void LoadOutroSounds(const Ombrel::CResourceManager* resources);
  void LoadGameSounds(const Ombrel::CResourceManager* resources);
  void LoadBonusGameSounds(const Ombrel::CResourceManager* resources);

  // The names the bank of a playing state holds, in slot order: the main story's or (bonus) the
  // bonus chapter's; for the content checks, which need no sounds.
  static std::vector<std::string> ChapterSoundNames(bool bonus);

  uint32_t GetUsedCount() const { return m_usedCount; }
  const char* GetName(int32_t slot) const;
  bool IsMusic(int32_t slot) const;

 private:
  struct SSlot {
    const char* name = "";
    SSoundRecord* sound = nullptr;  // owned by the state's resource group
    uint32_t voice = 0;             // the last play's handle; 0 before the first
    bool music = false;
  };

  // The slot of an effect that may sound; null for -1, out-of-range and music slots.
  SSlot* EffectSlot(int32_t slot);
  const SSlot* EffectSlot(int32_t slot) const;
  // False, reported naming the sound, until a fill has run.
  bool CheckFilled(const char* sound) const;
  void Fill(const char* const* names, uint32_t count, uint32_t musicCount,
            const Ombrel::CResourceManager* resources);

  SSlot m_slots[kSlotCount];
  uint32_t m_usedCount = 0;
  bool m_filled = false;
};

// Background music by game phase: 0 the menu theme, 1 "bgm_2", 2 the playlist from its first
// track, 3 "bgm_3" after resetting the playlist, 4 as 3 but "bgm_2"; looped but the playlist.
void SwitchMusic(int32_t phase);

}  // namespace Vey
