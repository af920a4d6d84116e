#pragma once
// Scene descriptions for the world-description tests: every slot complete and empty but the
// first scene, close-up and mini-game, which hold every element kind.

#include "Src/World/Vey_Map.h"

#include <cstdio>
#include <memory>
#include <string>

namespace worldtest {

inline const char* const kRichScene = R"(<Scene Name="S01" Sound="amb_house">
  <ShiningObjects><ShiningObject Sprite="Shine1"/><ShiningObject Sprite="Shine2"/></ShiningObjects>
  <AnimatedObjects><AnimatedObject Sprite="Clock"/></AnimatedObjects>
  <BlendAnims><BlendAnim Sprite="Fire"/></BlendAnims>
  <Dialogs><Dialog Name="S01_1_Dialog"><Conditions>
    <Condition Object="Key" Picked="True"/>
    <Condition Object="Door" Picked="true" State="Open"/>
    <Condition Object="Lamp" State="Lit"/>
  </Conditions></Dialog></Dialogs>
  <DiaryEntries><DiaryEntry Name="S01_1_Entry"><Conditions><Condition Object="Lamp" State="Lit"/></Conditions></DiaryEntry></DiaryEntries>
  <MiniGames><MiniGame Name="G11" Sprite="Puzzle" Open="True"><Conditions><Condition Object="Box" State="Open"/></Conditions></MiniGame></MiniGames>
  <Exits>
    <Exit Scene="S02" Sprite="ToHall" Open="True" Sound="door_in_open" Direction="NE"><Conditions/></Exit>
    <Exit Scene="HO01_1_34" Sprite="ToSearch" Open="False" Sound="" Direction="HO"><Conditions><Condition Object="Lamp" State="Lit"/></Conditions></Exit>
  </Exits>
  <Intermediates><Intermediate Name="I04a" Sprite="Desk" Open="True"><Conditions/></Intermediate></Intermediates>
  <Objects>
    <Object Name="Lamp" State="Off" Sprite="LampOff" Pickable="True" Clue="False" Draggable="True" Reward="False" StartAnim="True" Sound="click" Animation="Move">
      <Animations>
        <Animation Next="Arc" Name="Move" Type="Line" Length="2" Loop="True" TargetPos="0.5;-0.25" Disappear="True"/>
        <Animation Next="" Name="Arc" Type="Parabola" Length="1.5" Loop="False" TargetPos="1;2" Height="0.3"/>
        <Animation Next="" Name="Sway" Type="Swing" Length="1" Loop="true" Pivot="0;0.1" MaxAngle="0.35"/>
        <Animation Next="" Name="Spin" Type="Spin" Length="1" Loop="True"/>
        <Animation Next="" Name="Flash" Type="Blink" Length="1" Loop="True" OnInterval="0.25"/>
        <Animation Next="" Name="Dim" Type="Fade" Length="1" Loop="False" OnInterval="0.5"/>
        <Animation Next="" Name="Show" Type="Visible" Length="0.5" Loop="False" Visible="True"/>
        <Animation Next="" Name="Flicker" Type="RandomOnOff" Length="1" Loop="True" Visible="True" MinLength="0.5" MaxLength="2" AlphaTransitionLength="0.1"/>
        <Animation Next="" Name="Sparks" Type="Effect" Length="1" Loop="False" Start="True" LoopEffect="False" StartEffect="True" SkipSeconds="3" Position="0.1;0.2" EffectName="S01_Sparks"/>
        <Animation Next="" Name="Hum" Type="Sound" Length="1" Loop="False" AmbientLoop="True" SoundName="elecloop"/>
      </Animations>
      <States><State Name="Off" Sprite="LampOff" Interactive="True"/><State Name="Lit" Sprite="LampLit" Interactive="False"/></States>
      <Actions>
        <Action Object="Click" Note="S01_Lamp_Note" ReqState="Off" ResState="Lit" Sound="click" Animation="Flash">
          <Conditions><Condition Object="Oil" State="Full"/></Conditions>
          <Effects><Effect Object="Glow" Visible="True"/></Effects>
          <MapChanges><MapChange Object="Marker1" Visible="False"/></MapChanges>
        </Action>
      </Actions>
    </Object>
    <Object Name="Key" State="" Sprite="Key" Pickable="True" Clue="True" Draggable="False" Reward="True" StartAnim="False" Sound="" Animation="">
      <Animations/><States/><Actions/>
    </Object>
  </Objects>
</Scene>
)";

inline const char* const kRichCloseUp = R"(<Intermediate>
  <Objects><Object Name="Letter" State="Closed" Sprite="Letter" Pickable="False" Clue="False" Draggable="False" Reward="False" StartAnim="False" Sound="" Animation="">
    <Animations/><States><State Name="Closed" Sprite="Letter" Interactive="True"/><State Name="Read" Sprite="LetterOpen" Interactive="False"/></States><Actions/>
  </Object></Objects>
  <MiniGames><MiniGame Name="G03" Sprite="Lock" Open="False"><Conditions/></MiniGame></MiniGames>
  <Dialogs><Dialog Name="I01_1_Dialog"><Conditions/></Dialog></Dialogs>
  <DiaryEntries><DiaryEntry Name="I01_1_Entry"><Conditions/></DiaryEntry></DiaryEntries>
</Intermediate>
)";

inline const char* const kRichMiniGame = R"(<MiniGame>
  <Objects><Object Name="Gear" State="" Sprite="Gear" Pickable="True" Clue="False" Draggable="True" Reward="False" StartAnim="False" Sound="" Animation="">
    <Animations/><States/><Actions/>
  </Object></Objects>
  <ShiningObjects><ShiningObject Sprite="GearShine"/></ShiningObjects>
</MiniGame>
)";

inline std::string EmptyScene(unsigned number) {
  char name[16];
  std::snprintf(name, sizeof name, "S%02u", number);
  return std::string("<Scene Name=\"") + name +
         "\" Sound=\"\"><ShiningObjects/><AnimatedObjects/><BlendAnims/><Dialogs/><DiaryEntries/><MiniGames/>"
         "<Exits/><Intermediates/><Objects/></Scene>\n";
}

// A whole description: `scenes` scene slots and so on, the first of each the rich one.
inline std::string Description(unsigned scenes, unsigned closeUps, unsigned miniGames) {
  std::string text = "<World>\n<Scenes>\n";
  text += kRichScene;
  text += "<!-- a comment between slots -->\n";
  for (unsigned i = 2; i <= scenes; ++i) text += EmptyScene(i);
  text += "</Scenes>\n<Intermediates>\n";
  text += kRichCloseUp;
  for (unsigned i = 2; i <= closeUps; ++i) text += "<Intermediate><Objects/><MiniGames/><Dialogs/><DiaryEntries/></Intermediate>\n";
  text += "</Intermediates>\n<MiniGames>\n";
  text += kRichMiniGame;
  for (unsigned i = 2; i <= miniGames; ++i) text += "<MiniGame><Objects/><ShiningObjects/></MiniGame>\n";
  text += "</MiniGames>\n</World>\n";
  return text;
}

inline std::string MainStory() { return Description(57, 29, 8); }
inline std::string BonusChapter() { return Description(9, 5, 1); }

// A world read from the text (by default the whole story of its kind).
inline std::unique_ptr<Vey::CMap> LoadedWorld(bool bonus = false, const std::string& text = "") {
  auto map = std::make_unique<Vey::CMap>(bonus);
  map->Load(text.empty() ? (bonus ? BonusChapter() : MainStory()) : text);
  return map;
}

}  // namespace worldtest
