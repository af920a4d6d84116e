#pragma once
// The main story's particle effects: the effect files of every location, close-up, mini-game
// and hidden-object scene, the four emitter groups with their nodes, and the pools of copies the
// screens take emitters from. The groups and pools refer to the particle manager's emitters, so
// they are released before the manager goes.

#include "Src/World/Vey_EmitterGroup.h"
#include "Src/World/Vey_EmitterPool.h"

#include <memory>
#include <string>
#include <vector>

namespace Vey {

struct SGameEffects {
  std::unique_ptr<CEmitterGroup> scene;
  std::unique_ptr<CEmitterGroup> closeUp;
  std::unique_ptr<CEmitterGroup> miniGame;
  std::unique_ptr<CEmitterGroup> hiddenObjects;
  // On layers, owned by the state's scene group.
  CEmitterGroupNode* sceneNode = nullptr;
  CEmitterGroupNode* miniGameNode = nullptr;
  CEmitterGroupNode* hiddenObjectsNode = nullptr;
  // On no layer: the close-up view and the location logic draw it.
  std::unique_ptr<CEmitterGroupNode> closeUpNode;
  // On layers.
  CEmitterPool* sceneHints = nullptr;
  CEmitterPool* closeUpHints = nullptr;
  CEmitterPool* found = nullptr;
  CEmitterPool* trail = nullptr;
  CEmitterPool* stroke = nullptr;
  CEmitterPool* game1[3] = {};
  // On no layer: the mini-games draw their own.
  std::vector<std::unique_ptr<CEmitterPool>> miniGamePools;

  // A pool of the nine the mini-games draw, or null.
  CEmitterPool* MiniGamePool(const char* name) const;
  // The pools that live on layers, in the order the set-up makes them.
  std::vector<CEmitterPool*> LayerPools() const;
};

// Hands the node to the current scene group on the layer; false, the node deleted and the
// reason reported, when it cannot be placed.
bool AttachNodeToLayer(Ombrel::ISceneNode* node, const char* layer);
template <class TNode>
TNode* AttachToLayer(TNode* node, const char* layer) {
  return AttachNodeToLayer(node, layer) ? node : nullptr;
}

// The emitters each group of a story holds (bonus: the bonus chapter's); an object's effect must
// be one of the group that draws its place (locations the scene group, close-ups theirs,
// mini-games theirs).
enum class EEffectGroup { Scene, CloseUp, MiniGame, HiddenObjects };
std::vector<std::string> GroupMembers(EEffectGroup group, bool bonus = false);

// Creates the particle manager and loads the cursor's effect file.
void CreateParticleManager();
// Loads every effect file of the story (bonus: the bonus chapter's, which has no pools for the
// puzzles), then builds the groups, nodes and pools and attaches them to the state's layers. A
// file, emitter or layer that is missing is reported by name.
void SetUpGameEffects(SGameEffects& effects, bool bonus = false);
// Frees every copy and group, then the particle manager.
void ReleaseGameEffects(SGameEffects& effects);

}  // namespace Vey
