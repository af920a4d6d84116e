// The sound bank: lookup by name, playing and stopping by slot, music slots, volumes, the fill
// of each state with the sound manager's permission to play, and the music phases.

#include "Src/World/Vey_SoundContainer.h"

#include <gtest/gtest.h>

#include "Framework/Resources/ResourceTypes/omResourceSound.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "Framework/omSoundModule.h"
#include "Quor/CSoundManager.h"
#include "Quor/Timer.h"
#include "tests/Src/World/SoundBankTestKit.h"

#include <tinyxml.h>

#include <memory>
#include <string>

using namespace Vey;
using soundtest::PcmFormat;
using soundtest::ToneWave;

namespace {

using SoundContainerTest = gametest::CSoundBankFixture;

TEST_F(SoundContainerTest, LookupIsExactAndMinusOneForAnythingTheBankDoesNotHold) {
  MakeContent({"menu_accept"});
  CSoundContainer bank;
  EXPECT_EQ(bank.FindSound("menu_accept"), -1);  // an empty bank
  bank.LoadMenuSounds(m_resources.get());
  const struct {
    const char* name;
    int32_t slot;
  } kCases[] = {{"menu_accept", 0}, {"menu", 8}, {"puzzlesolved", 7}, {"", -1}, {nullptr, -1},
                {"Menu_Accept", -1}, {"menu_accep", -1}, {"missed", -1}};
  for (const auto& c : kCases) EXPECT_EQ(bank.FindSound(c.name), c.slot) << (c.name ? c.name : "null");
}

TEST_F(SoundContainerTest, EachFillHasItsListLengthAndMusicSlots) {
  MakeContent({});
  const struct {
    const char* name;
    void (CSoundContainer::*fill)(const Ombrel::CResourceManager*);
    uint32_t length;
    const char* firstMusic;
    size_t playlist;
  } kFills[] = {
      {"menu", &CSoundContainer::LoadMenuSounds, 9, "menu", 0},
      {"intro", &CSoundContainer::LoadIntroSounds, 1, "intro", 0},
      {"outro", &CSoundContainer::LoadOutroSounds, 1, "outro", 0},
      {"game", &CSoundContainer::LoadGameSounds, 305, "bgm_2", 3},
      {"bonus", &CSoundContainer::LoadBonusGameSounds, 75, "bgm_2", 3},
  };
  for (const auto& f : kFills) {
    SCOPED_TRACE(f.name);
    Ombrel::CSoundModule module;
    CSoundContainer bank;
    (bank.*f.fill)(m_resources.get());
    ASSERT_EQ(bank.GetUsedCount(), f.length);
    const int32_t firstMusic = bank.FindSound(f.firstMusic);
    ASSERT_GE(firstMusic, 0);
    for (int32_t slot = 0; slot < int32_t(f.length); ++slot)
      EXPECT_EQ(bank.IsMusic(slot), slot >= firstMusic) << bank.GetName(slot);
    EXPECT_EQ(module.GetTrackCount(), f.playlist);
  }
}

TEST_F(SoundContainerTest, PlayingBeforeAnyBankIsFilledIsReportedAndTheFillAllowsIt) {
  MakeContent({"menu_accept"});
  uint32_t handle = 0;
  SSoundRecord* record = m_sounds->LoadSound("Sounds\\menu_accept", false);
  EXPECT_EQ(m_sounds->PlaySound(record, &handle, 1.0f, -1.0f, 1.0f), CSoundManager::kNotPlayed);
  EXPECT_TRUE(soundtest::Reported("Flush"));
  m_sounds->ReleaseSound(record);

  CSoundContainer bank;
  bank.PlaySoundByName("menu_accept");
  bank.PlaySound(0);
  EXPECT_TRUE(soundtest::Reported("\"menu_accept\" is played before the state's sound bank is filled"));
  EXPECT_TRUE(soundtest::Reported("\"0\" is played before the state's sound bank is filled"));
  bank.LoadMenuSounds(m_resources.get());
  EXPECT_TRUE(soundtest::Reported("7 of the bank's 8 sounds"));
  bank.PlaySoundByName("menu_accept");
  EXPECT_TRUE(bank.IsPlayingByName("menu_accept"));
}

TEST_F(SoundContainerTest, ASlotHasOneVoiceAndMusicOrMissingSlotsAreInert) {
  MakeContent(
      {"menu_accept", "menu_back", "menu_nav", "mouse_over", "key_good", "key_back", "menu"});
  CSoundContainer bank;
  bank.LoadMenuSounds(m_resources.get());
  EXPECT_TRUE(soundtest::Reported("2 of the bank's 8 sounds"));  // key_take and puzzlesolved

  bank.PlaySound(0);
  EXPECT_TRUE(bank.IsPlaying(0));
  bank.PlaySound(0);  // the first voice stops before the second starts
  EXPECT_TRUE(bank.IsPlaying(0));
  uint32_t sounding = 0;  // handles are handed out from 1
  for (uint32_t handle = 1; handle < 10; ++handle) sounding += !m_sounds->IsSoundFinished(handle);
  EXPECT_EQ(sounding, 1u);

  for (const char* inert : {"menu", "key_take", "", "absent"}) {
    SCOPED_TRACE(inert);
    bank.PlaySoundByName(inert);
    EXPECT_FALSE(bank.IsPlayingByName(inert));
  }
  for (int32_t slot : {-1, 8, 9, 400}) {
    bank.PlaySound(slot);
    EXPECT_FALSE(bank.IsPlaying(slot));
    EXPECT_EQ(bank.GetSoundLength(slot), 0.0f);
  }
  EXPECT_NEAR(bank.GetSoundLength(1), 0.5f, 0.01f);

  bank.PlaySound(1);
  bank.PlaySound(2);
  bank.StopAllExcept(2, -1);
  EXPECT_FALSE(bank.IsPlaying(0));
  EXPECT_FALSE(bank.IsPlaying(1));
  EXPECT_TRUE(bank.IsPlaying(2));
  bank.StopSoundByName("menu_nav");
  EXPECT_FALSE(bank.IsPlaying(2));
}

TEST_F(SoundContainerTest, VolumesAreClampedToZeroToOne) {
  MakeContent({});
  const struct {
    float given, applied;
  } kCases[] = {{1.5f, 1.0f}, {-0.2f, 0.0f}, {0.4f, 0.4f}};
  for (const auto& c : kCases) {
    CSoundContainer::SetSoundVolume(c.given);
    CSoundContainer::SetMusicVolume(c.given);
    EXPECT_EQ(m_sounds->GetSoundVolume(), c.applied) << c.given;
    EXPECT_EQ(m_sounds->GetMusicVolume(), c.applied) << c.given;
  }
}

TEST_F(SoundContainerTest, EachMusicPhasePlaysItsTrack) {
  const struct {
    int32_t phase;
    const char* track;    // the one track in the content
    bool playing;
    int32_t playlistIndex;
  } kCases[] = {
      {0, "menu", true, -1},   {0, "bgm_2", false, -1}, {1, "bgm_2", true, -1}, {1, "menu", false, -1},
      {2, "01", true, 0},      {2, "bgm_2", false, 0},  {3, "bgm_3", true, -1}, {4, "bgm_2", true, -1},
      {4, "bgm_3", false, -1}, {5, "menu", false, -1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "phase " << c.phase << " with " << c.track);
    MakeContent({}, {c.track});
    Ombrel::CSoundModule module;
    CSoundContainer bank;
    bank.LoadGameSounds(m_resources.get());  // the playlist "01", "02", "03"
    SwitchMusic(c.phase);
    EXPECT_EQ(m_sounds->IsMusicPlaying(), c.playing);
    EXPECT_EQ(module.GetCurrentIndex(), c.playlistIndex);
  }
}

}  // namespace
