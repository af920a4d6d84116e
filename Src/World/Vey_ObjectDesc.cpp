#include "Src/World/Vey_ObjectDesc.h"

#include "Src/World/Vey_DescriptionReader.h"

#include <tinyxml.h>

#include <cstring>

namespace Vey {

namespace {

struct SKindWord {
  const char* word;
  EAnimationKind kind;
};

constexpr SKindWord kKindWords[] = {
    {"Line", EAnimationKind::Line},     {"Parabola", EAnimationKind::Parabola},
    {"Swing", EAnimationKind::Swing},   {"Blink", EAnimationKind::Blink},
    {"Fade", EAnimationKind::Fade},     {"Visible", EAnimationKind::Visible},
    {"RandomOnOff", EAnimationKind::RandomOnOff}, {"Effect", EAnimationKind::Effect},
    {"Sound", EAnimationKind::Sound},
};

bool KindOfWord(const std::string& word, EAnimationKind* kind) {
  for (const SKindWord& entry : kKindWords) {
    if (word == entry.word) {
      *kind = entry.kind;
      return true;
    }
  }
  return false;
}

// The kind's own attributes, in the order the description lists them.
void ReadKindValues(CDescriptionReader& reader, const TiXmlElement* element, SAnimationDesc& desc) {
  switch (desc.kind) {
    case EAnimationKind::Line:
      desc.targetPos = reader.Point(element, "TargetPos");
      desc.disappear = reader.Flag(element, "Disappear");
      break;
    case EAnimationKind::Parabola:
      desc.targetPos = reader.Point(element, "TargetPos");
      desc.height = reader.Number(element, "Height");
      break;
    case EAnimationKind::Swing:
      desc.pivot = reader.Point(element, "Pivot");
      desc.maxAngle = reader.Number(element, "MaxAngle");
      break;
    case EAnimationKind::Blink:
    case EAnimationKind::Fade:
      desc.onTime = reader.Number(element, "OnInterval");
      desc.offTime = 1.0f - desc.onTime;
      break;
    case EAnimationKind::Visible:
      desc.visible = reader.Flag(element, "Visible");
      break;
    case EAnimationKind::RandomOnOff:
      desc.visible = reader.Flag(element, "Visible");
      desc.minLength = reader.Number(element, "MinLength");
      desc.maxLength = reader.Number(element, "MaxLength");
      desc.alphaTransitionLength = reader.Number(element, "AlphaTransitionLength");
      break;
    case EAnimationKind::Effect:
      desc.start = reader.Flag(element, "Start");
      desc.loopEffect = reader.Flag(element, "LoopEffect");
      desc.startEffect = reader.Flag(element, "StartEffect");
      desc.skipSeconds = reader.Integer(element, "SkipSeconds");
      desc.position = reader.Point(element, "Position");
      desc.effectName = reader.Text(element, "EffectName");
      break;
    case EAnimationKind::Sound:
      desc.ambientLoop = reader.Flag(element, "AmbientLoop");
      desc.soundName = reader.Text(element, "SoundName");
      break;
  }
}

// An element whose "Type" is none of the nine words leaves no animation.
void ReadAnimation(CDescriptionReader& reader, const TiXmlElement* element, std::vector<SAnimationDesc>& list) {
  SAnimationDesc desc;
  desc.next = reader.Text(element, "Next");
  desc.name = reader.Text(element, "Name");
  const std::string type = reader.Text(element, "Type");
  desc.length = reader.Number(element, "Length");
  desc.loop = reader.Flag(element, "Loop");
  if (!KindOfWord(type, &desc.kind)) return;
  ReadKindValues(reader, element, desc);
  list.push_back(std::move(desc));
}

SVisibilityChange ReadVisibilityChange(CDescriptionReader& reader, const TiXmlElement* element) {
  SVisibilityChange change;
  change.object = reader.Text(element, "Object");
  change.visible = reader.Flag(element, "Visible");
  return change;
}

SObjectAction ReadAction(CDescriptionReader& reader, const TiXmlElement* element) {
  SObjectAction action;
  action.object = reader.Text(element, "Object");
  action.note = reader.Text(element, "Note");
  action.reqState = reader.Text(element, "ReqState");
  action.resState = reader.Text(element, "ResState");
  action.sound = reader.Text(element, "Sound");
  action.animation = reader.Text(element, "Animation");
  reader.ForEachItem(element, "Conditions", "Condition", kUnlimited, [&](const TiXmlElement* item) {
    action.conditions.push_back(ReadStateCondition(reader, item));
  });
  reader.ForEachItem(element, "Effects", "Effect", kUnlimited, [&](const TiXmlElement* item) {
    action.effects.push_back(ReadVisibilityChange(reader, item));
  });
  reader.ForEachItem(element, "MapChanges", "MapChange", kUnlimited, [&](const TiXmlElement* item) {
    action.mapChanges.push_back(ReadVisibilityChange(reader, item));
  });
  return action;
}

SSceneObject ReadObject(CDescriptionReader& reader, const TiXmlElement* element) {
  SSceneObject object;
  object.name = reader.Text(element, "Name");
  object.state = reader.Text(element, "State");
  object.sprite = reader.Text(element, "Sprite");
  object.pickable = reader.Flag(element, "Pickable");
  object.clue = reader.Flag(element, "Clue");
  object.draggable = reader.Flag(element, "Draggable");
  object.reward = reader.Flag(element, "Reward");
  object.startAnim = reader.Flag(element, "StartAnim");
  object.sound = reader.Text(element, "Sound");
  object.animation = reader.Text(element, "Animation");
  reader.ForEachItem(element, "Animations", "Animation", kUnlimited,
                     [&](const TiXmlElement* item) { ReadAnimation(reader, item, object.animations); });
  reader.ForEachItem(element, "States", "State", kUnlimited, [&](const TiXmlElement* item) {
    SObjectState state;
    state.name = reader.Text(item, "Name");
    state.sprite = reader.Text(item, "Sprite");
    state.interactive = reader.Flag(item, "Interactive");
    object.states.push_back(std::move(state));
  });
  reader.ForEachItem(element, "Actions", "Action", kUnlimited,
                     [&](const TiXmlElement* item) { object.actions.push_back(ReadAction(reader, item)); });
  return object;
}

}  // namespace

SStateCondition ReadStateCondition(CDescriptionReader& reader, const TiXmlElement* element) {
  SStateCondition condition;
  condition.object = reader.Text(element, "Object");
  condition.state = reader.Text(element, "State");
  return condition;
}

int32_t SSceneObject::FindState(const std::string& stateName) const {
  for (size_t i = 0; i < states.size(); ++i)
    if (states[i].name == stateName) return static_cast<int32_t>(i);
  return -1;
}

int32_t SSceneObject::FindAnimation(const std::string& animationName) const {
  for (size_t i = 0; i < animations.size(); ++i)
    if (animations[i].name == animationName) return static_cast<int32_t>(i);
  return kNoAnimation;
}

void ReadObjects(CDescriptionReader& reader, const TiXmlElement* element, size_t capacity, SObjectList& list) {
  reader.ForEachItem(element, "Objects", "Object", capacity,
                     [&](const TiXmlElement* item) { list.push_back(ReadObject(reader, item)); });
}

}  // namespace Vey
