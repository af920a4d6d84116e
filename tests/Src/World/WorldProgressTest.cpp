// The world's live state: the recording operations, the progress block's layout, a round trip
// through a profile record, and a block from a damaged or foreign save.

#include "Src/World/Vey_Map.h"

#include <gtest/gtest.h>

#include "tests/Src/World/WorldDescriptionFixture.h"
#include "tests/support/engine/ReportScope.h"

#include <cstring>
#include <memory>

using namespace Vey;

namespace {

std::unique_ptr<SProgressBlock> BuiltBlock(const CMap& map) {
  auto block = std::make_unique<SProgressBlock>();
  std::memset(block.get(), 0xA5, sizeof(SProgressBlock));  // a build starts from a reset block
  map.BuildProgress(block.get());
  return block;
}

const uint8_t* Bytes(const SProgressBlock& block) { return reinterpret_cast<const uint8_t*>(&block); }

uint32_t Word(const SProgressBlock& block, size_t offset) {
  uint32_t word;
  std::memcpy(&word, Bytes(block) + offset, 4);
  return word;
}

TEST(WorldProgress, RecordingAnObjectStateKeepsOneEntryWhoseRemovedFlagSticks) {
  const struct {
    uint8_t visible1, removed1, visible2, removed2;
    uint8_t visible, removed;
  } kCases[] = {{0, 1, 1, 0, 1, 1}, {1, 0, 0, 0, 0, 0}, {1, 0, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0}};
  for (const auto& c : kCases) {
    CMap map(false);
    map.Load(worldtest::MainStory());
    map.SetSceneObjectState(3, 77, c.visible1, c.removed1);
    map.SetSceneObjectState(3, 77, c.visible2, c.removed2);
    map.SetIntermediateObjectState(28, 77, c.visible1, c.removed1);
    map.SetIntermediateObjectState(28, 77, c.visible2, c.removed2);
    for (const SPlaceState* place : {&map.Scene(3).live, &map.CloseUp(28).live}) {
      ASSERT_EQ(place->objectStates.size(), 1u);
      EXPECT_EQ(place->objectStates[0].visible, c.visible);
      EXPECT_EQ(place->objectStates[0].removed, c.removed);
    }
  }
}

TEST(WorldProgress, AnIdIsRecordedOnceAndAFullListRefusesMoreWithAReport) {
  const auto map = worldtest::LoadedWorld();
  map->AddSceneId(0, 5);
  map->AddSceneId(0, 5);
  map->AddIntermediateId(1, 5);
  EXPECT_EQ(map->Scene(0).live.ids.size(), 1u);
  EXPECT_EQ(map->Scene(0).live.ids[0].flag, 1);
  EXPECT_EQ(map->CloseUp(1).live.ids.size(), 1u);

  hmtest::CReportScope reports;
  for (uint32_t id = 0; id < 101; ++id) {
    map->AddSceneId(2, id);
    map->SetSceneObjectState(2, id, 1, 0);
  }
  EXPECT_EQ(map->Scene(2).live.ids.size(), 100u);
  EXPECT_EQ(map->Scene(2).live.objectStates.size(), 100u);
  EXPECT_TRUE(hmtest::Reported("object 100 is not recorded")) << reports.All();
  map->SetSceneObjectState(2, 99, 0, 1);  // an entry already there still changes
  EXPECT_EQ(map->Scene(2).live.objectStates[99].removed, 1);
}

// Each live value where the layout of the profile's progress block puts it.
TEST(WorldProgress, BuildingWritesEachValueAtItsOffsetInTheBlock) {
  const auto map = worldtest::LoadedWorld();
  SSceneSlot& scene = map->Scene(0);
  scene.dialogs[0].shown = true;
  scene.diaryEntries[0].shown = true;
  scene.miniGames[0].second = true;  // open from the description
  scene.exits[1].second = true;
  SSceneObject& lamp = scene.objects[0];
  lamp.picked = true;
  lamp.effectStart = true;
  lamp.state = "Lit";
  lamp.currentAnimation = 3;
  map->SetSceneObjectState(56, 0xABCD, 1, 1);
  map->AddSceneId(56, 0x1234);
  map->SetIntermediateObjectState(28, 0x4321, 0, 1);
  map->CloseUp(0).dialogs[0].shown = true;
  map->CloseUp(0).miniGames[0].open = true;

  const auto block = BuiltBlock(*map);
  const uint8_t* bytes = Bytes(*block);
  EXPECT_EQ(bytes[211032], 1);  // scene 0 dialog 0
  EXPECT_EQ(Word(*block, 211320), 1u);
  EXPECT_EQ(bytes[211548], 1);  // scene 0 diary entry 0
  EXPECT_EQ(bytes[141604], 1);  // scene 0 mini-game link 0: open, second
  EXPECT_EQ(bytes[141605], 1);
  EXPECT_EQ(bytes[138296], 1);  // scene 0 exit 0: open, not second
  EXPECT_EQ(bytes[138297], 0);
  EXPECT_EQ(bytes[138298], 0);  // exit 1: closed, second
  EXPECT_EQ(bytes[138299], 1);
  EXPECT_EQ(Word(*block, 140576), 2u);  // scene 0's exit count
  EXPECT_EQ(bytes[140804], 1);          // close-up link 0 open
  // Scene 0's objects: the lamp picked, state 1, animation 3; the key unknown state "", none.
  const size_t lampRecord = 11867 * 12;
  EXPECT_EQ(bytes[lampRecord], 1);
  EXPECT_EQ(bytes[lampRecord + 1], 1);
  EXPECT_EQ(bytes[lampRecord + 2], 1);
  EXPECT_EQ(Word(*block, lampRecord + 4), 1u);
  EXPECT_EQ(Word(*block, lampRecord + 8), 3u);
  EXPECT_EQ(Word(*block, lampRecord + 12 + 8), 0xFFFFFFFFu);
  EXPECT_EQ(Word(*block, 210804), 2u);
  // Scene 56's object state and id, close-up 28's object state.
  EXPECT_EQ(bytes[56 * 1608], 1);
  EXPECT_EQ(bytes[56 * 1608 + 1], 1);
  EXPECT_EQ(Word(*block, 56 * 1608 + 4), 0xABCDu);
  EXPECT_EQ(Word(*block, 56 * 1608 + 800), 1u);
  EXPECT_EQ(Word(*block, 56 * 1608 + 804 + 4), 0x1234u);
  EXPECT_EQ(Word(*block, 56 * 1608 + 1604), 1u);
  EXPECT_EQ(bytes[91660 + 28 * 1608 + 1], 1);
  EXPECT_EQ(Word(*block, 91660 + 28 * 1608 + 4), 0x4321u);
  // Close-up 0: its letter's record, its dialog and its mini-game link.
  EXPECT_EQ(Word(*block, 17706 * 12 + 4), 0u);
  EXPECT_EQ(bytes[229988], 1);
  EXPECT_EQ(bytes[212064], 1);
  // Mini-game 0's gear, and the present byte.
  EXPECT_EQ(Word(*block, 230516 + 8), 0xFFFFFFFFu);
  EXPECT_EQ(bytes[232948], 1);
  // Nothing of a slot without lists is counted.
  EXPECT_EQ(Word(*block, 210804 + 4), 0u);
}

TEST(WorldProgress, ARoundTripThroughAProfileRecordRestoresTheLiveState) {
  const auto played = worldtest::LoadedWorld();
  SSceneSlot& scene = played->Scene(0);
  scene.dialogs[0].shown = true;
  scene.exits[1].open = true;
  scene.exits[0].second = true;
  scene.closeUps[0].open = false;
  scene.miniGames[0].open = false;
  SSceneObject& lamp = scene.objects[0];
  lamp.picked = true;
  lamp.startAnim = false;
  lamp.state = "Lit";
  lamp.sprite = "changed by play";
  lamp.currentAnimation = 8;
  played->SetSceneObjectState(0, 11, 0, 1);
  played->SetSceneObjectState(0, 12, 1, 0);
  played->AddSceneId(40, 13);
  played->AddIntermediateId(0, 14);
  played->CloseUp(0).diaryEntries[0].shown = true;
  played->CloseUp(0).objects[0].state = "Read";
  played->MiniGame(7).objects.clear();  // nothing to save there
  played->MiniGame(0).objects[0].picked = true;

  auto record = std::make_unique<SProfileData>();
  SSaveData::ResetProfileGame(*record);
  SSaveData::StoreProgress(*record, *BuiltBlock(*played));
  ASSERT_NE(record->progress.last, 0);

  const auto restored = worldtest::LoadedWorld();
  restored->RestoreProgress(record->progress);
  const SSceneSlot& back = restored->Scene(0);
  EXPECT_TRUE(back.dialogs[0].shown);
  EXPECT_FALSE(back.diaryEntries[0].shown);
  EXPECT_TRUE(back.exits[0].open);
  EXPECT_TRUE(back.exits[0].second);
  EXPECT_TRUE(back.exits[1].open);
  EXPECT_FALSE(back.closeUps[0].open);
  EXPECT_FALSE(back.miniGames[0].open);
  const SSceneObject& lampBack = back.objects[0];
  EXPECT_TRUE(lampBack.picked);
  EXPECT_FALSE(lampBack.startAnim);
  EXPECT_EQ(lampBack.state, "Lit");
  EXPECT_EQ(lampBack.sprite, "LampLit");  // the state's sprite
  EXPECT_EQ(lampBack.animation, "Hum");
  EXPECT_EQ(lampBack.currentAnimation, 8);  // the animator runs it from here
  // The key has no current animation and no state of its list: both stay as loaded.
  EXPECT_EQ(back.objects[1].animation, "");
  EXPECT_EQ(back.objects[1].state, "");
  ASSERT_EQ(back.live.objectStates.size(), 2u);
  EXPECT_EQ(back.live.objectStates[0].id, 11u);
  EXPECT_EQ(back.live.objectStates[0].removed, 1);
  EXPECT_EQ(back.live.objectStates[1].visible, 1);
  ASSERT_EQ(restored->Scene(40).live.ids.size(), 1u);
  EXPECT_EQ(restored->Scene(40).live.ids[0].id, 13u);
  EXPECT_EQ(restored->CloseUp(0).live.ids[0].id, 14u);
  EXPECT_TRUE(restored->CloseUp(0).diaryEntries[0].shown);
  EXPECT_EQ(restored->CloseUp(0).objects[0].sprite, "LetterOpen");
  EXPECT_TRUE(restored->MiniGame(0).objects[0].picked);
}

TEST(WorldProgress, TheBonusChapterWritesAndReadsOnlyItsOwnSlots) {
  const auto map = worldtest::LoadedWorld(true);
  const auto block = std::make_unique<SProgressBlock>();
  ResetProgressBlock(*block);
  block->sceneObjects[9].firstCount = 1;  // beyond the bonus chapter's scenes
  block->sceneObjects[9].first[0] = {1, 0, {0, 0}, 5};
  map->RestoreProgress(*block);
  map->SetSceneObjectState(8, 3, 1, 0);
  map->SetIntermediateObjectState(4, 3, 1, 0);
  const auto built = BuiltBlock(*map);
  EXPECT_EQ(built->sceneObjects[8].firstCount, 1u);
  EXPECT_EQ(built->closeUpObjects[4].firstCount, 1u);
  EXPECT_EQ(built->sceneItemCount[0], 2u);
  EXPECT_EQ(built->miniGameItemCount[0], 1u);
  EXPECT_EQ(built->sceneObjects[9].firstCount, 0u);
}

TEST(WorldProgress, ADamagedOrForeignBlockIsClampedAndBadIndicesKeepTheLoadedValues) {
  const auto map = worldtest::LoadedWorld();
  auto block = BuiltBlock(*map);
  block->sceneObjects[0].firstCount = 0xFFFFFFFF;
  block->sceneObjects[0].secondCount = 101;
  block->sceneItems[0][0].value = 7;  // the lamp has two states
  block->sceneItems[0][0].id = 42;    // and nine animations
  block->sceneItems[0][1].id = -5;

  hmtest::CReportScope reports;
  map->RestoreProgress(*block);
  EXPECT_EQ(map->Scene(0).live.objectStates.size(), 100u);
  EXPECT_EQ(map->Scene(0).live.ids.size(), 100u);
  EXPECT_TRUE(hmtest::Reported("4294967295 object-state entries")) << reports.All();
  const SSceneObject& lamp = map->Scene(0).objects[0];
  EXPECT_EQ(lamp.state, "Off");
  EXPECT_EQ(lamp.sprite, "LampOff");
  EXPECT_EQ(lamp.animation, "Move");
  EXPECT_TRUE(hmtest::Reported("object \"Lamp\" state 7 of its 2")) << reports.All();
  EXPECT_TRUE(hmtest::Reported("object \"Lamp\" animation 42 of its 9")) << reports.All();
  EXPECT_TRUE(hmtest::Reported("object \"Key\" animation -5 of its 0")) << reports.All();
}

}  // namespace
