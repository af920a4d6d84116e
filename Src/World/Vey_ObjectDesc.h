#pragma once
// The objects of one screen (a location, a close-up or a mini-game) as the scene description
// lists them: what each shows, its states, the actions the player performs on it and its
// animations. The records keep the description's values and the live fields the world state
// saves; the animator plays the animations these descriptions name.

#include "Quor/Utils.h"

#include <cstdint>
#include <string>
#include <vector>

class TiXmlElement;

namespace MP {
class CEmitter;
}

namespace Vey {

class CDescriptionReader;

// The animation kinds by their "Type" word; the numbers are the kinds' type codes.
enum class EAnimationKind : int32_t {
  Line = 1,
  Parabola = 2,
  Swing = 3,
  Blink = 4,
  Fade = 5,
  Visible = 6,
  RandomOnOff = 7,
  Effect = 8,
  Sound = 9,
};

// One "Animation" element: the values every kind has, then those of its own kind (the others
// keep their defaults).
struct SAnimationDesc {
  EAnimationKind kind = EAnimationKind::Line;
  std::string name;
  std::string next;     // the animation that follows this one, or empty
  float length = 0.0f;  // seconds
  bool loop = false;

  Vector2 targetPos;     // line, parabola
  bool disappear = false;  // line
  float height = 0.0f;   // parabola
  Vector2 pivot;         // swing
  float maxAngle = 0.0f;  // swing, as written
  float onTime = 0.0f;   // blink, fade: the "OnInterval"
  float offTime = 0.0f;  // blink, fade: 1 - "OnInterval"
  bool visible = false;  // visible; random on/off: its start state
  float minLength = 0.0f;  // random on/off
  float maxLength = 0.0f;
  float alphaTransitionLength = 0.0f;
  bool start = false;  // effect
  bool loopEffect = false;
  bool startEffect = false;
  int32_t skipSeconds = 0;
  Vector2 position;
  std::string effectName;
  bool ambientLoop = false;  // sound
  std::string soundName;
};

struct SObjectState {
  std::string name;
  std::string sprite;
  bool interactive = false;
};

// An object that must be in a state.
struct SStateCondition {
  std::string object;
  std::string state;
};

// An object to show or hide.
struct SVisibilityChange {
  std::string object;
  bool visible = false;
};

struct SObjectAction {
  std::string object;  // what the player uses on the object ("Click" for a plain click)
  std::string note;
  std::string reqState;
  std::string resState;
  std::string sound;
  std::string animation;
  std::vector<SStateCondition> conditions;
  std::vector<SVisibilityChange> effects;
  std::vector<SVisibilityChange> mapChanges;
};

constexpr int32_t kNoAnimation = -1;

struct SSceneObject {
  std::string name;
  std::string state;   // the current state's name
  std::string sprite;  // the layout entry that shows the object
  bool pickable = false;
  bool clue = false;
  bool picked = false;  // live
  bool draggable = false;
  bool reward = false;
  bool startAnim = false;  // live
  std::string sound;
  std::string animation;  // the name of one of its animations
  std::vector<SAnimationDesc> animations;  // in document order
  std::vector<SObjectState> states;        // in document order: a saved state index is a position
  std::vector<SObjectAction> actions;

  // Live fields of the animator; none after loading.
  int32_t currentAnimation = kNoAnimation;  // position in `animations`
  MP::CEmitter* emitter = nullptr;
  bool effectStart = false;
  int32_t skipSeconds = 0;

  // Position of the first state of that name, or -1.
  int32_t FindState(const std::string& stateName) const;
  // Position of the first animation of that name, or kNoAnimation.
  int32_t FindAnimation(const std::string& animationName) const;
};

using SObjectList = std::vector<SSceneObject>;

// Reads a "Condition" item: "Object" and "State".
SStateCondition ReadStateCondition(CDescriptionReader& reader, const TiXmlElement* element);

// Reads the element's "Objects" section into the list, at most `capacity` objects (the rest are reported
// and left out). A missing attribute or section is reported and takes its default.
void ReadObjects(CDescriptionReader& reader, const TiXmlElement* objects, size_t capacity, SObjectList& list);

}  // namespace Vey
