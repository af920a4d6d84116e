#pragma once
// How the game numbers its places, and the few names formed from those numbers. The prefix
// tables fix the index orders of the world description's per-place arrays and of the progress
// kept in a profile; a place's index is its position in its table.

#include <cstdint>

namespace Vey {

constexpr uint32_t kLocationCount = 33;  // the main story's locations S01..S33
constexpr uint32_t kBonusLocationCount = 5;
constexpr uint32_t kBonusSceneCount = 9;  // five locations and four hidden-object variants
constexpr uint32_t kBonusCloseUpCount = 5;
constexpr uint32_t kBonusMiniGameCount = 1;
constexpr uint32_t kAspectLayoutCount = 4;

// Scene slots: the locations, then the hidden-object scene variants.
extern const char* const kLocationPrefixes[57];
extern const char* const kBonusLocationPrefixes[kBonusSceneCount];
extern const char* const kCloseUpPrefixes[29];
extern const char* const kBonusCloseUpPrefixes[kBonusCloseUpCount];
// Index 7 is mini-game 11: there are no mini-games 8 to 10.
extern const char* const kMiniGamePrefixes[8];
extern const char* const kBonusMiniGamePrefixes[kBonusMiniGameCount];

// "in_" or "out_" per location: an ambient sound is the prefix and a number 1..10 ("in_7").
extern const char* const kAmbientPrefixes[kLocationCount];
extern const char* const kBonusAmbientPrefixes[kBonusLocationCount];

// The heads-up display's layouts by its layout index, filling node paths such as
// "root/HUD%s/RightArrowActive".
extern const char* const kAspectLayoutNames[kAspectLayoutCount];

extern const char* const kEmptyString;

// The engine's screen height before the window exists, as the float the cursor is sized with;
// it does not follow the window.
constexpr float kDefaultScreenHeightF = 768.0f;

}  // namespace Vey
