#pragma once
// The one scene graph: named render layers in draw order, and named groups that own what is
// created while they are current. Built-in layers: "Default", "SystemInfo", "DebugInfo".
// Layer and group names are compared without regard to case.

#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"
#include "Quor/CStringHash.h"

#include <cstdint>
#include <memory>
#include <vector>

class CViewCamera;

namespace Ombrel {

class ISceneNode;

class CSceneManager : public CMemWatch {
 public:
  static constexpr const char* kDefaultLayer = "Default";
  static constexpr const char* kSystemInfoLayer = "SystemInfo";
  static constexpr const char* kDebugInfoLayer = "DebugInfo";
  static constexpr const char* kDefaultGroup = "Default";

  CSceneManager();
  ~CSceneManager() override;
  CSceneManager(const CSceneManager&) = delete;
  CSceneManager& operator=(const CSceneManager&) = delete;

  // Creates an empty group; it neither looks for one of that name nor makes it current.
  void AddGroup(const char* name);
  // A name that is not a group is reported and changes nothing.
  void SetCurrentGroup(const char* name);
  // Inserts a layer just before (AddLayer) or after (AddLayerAfter) the anchor layer; it belongs
  // to the current group. A name that is already a layer changes nothing. False, reported, when
  // the anchor is not a layer or there is no current group.
  bool AddLayer(const char* name, const char* beforeLayer);
  bool AddLayerAfter(const char* name, const char* afterLayer);
  // Places the node at the end of the layer and hands it to the current group, which deletes
  // it when it is cleared. Returns the node's index in the layer; -1, reported, when the layer
  // does not exist or there is no current group (the node is deleted then).
  int32_t AddNode(ISceneNode* node, const char* layerName);
  // A name that is not a layer is reported and changes nothing.
  void SetLayerVisible(const char* name, bool visible);
  // False for a name that is not a layer.
  bool IsLayerVisible(const char* name) const;

  // Deletes the group's nodes and the layers it created; the group stays. Nodes of other groups
  // in those layers stay, undrawn, until their own group is cleared.
  void ClearGroup(const char* name);
  // ClearGroup, then the group itself. A name that is not a group is reported and changes nothing.
  void RemoveGroup(const char* name);
  bool HasGroup(const char* name) const { return m_groups.Find(name) != nullptr; }
  // Null after the current group was removed, until the next SetCurrentGroup.
  const char* GetCurrentGroupName() const;

  const char* GetDebugInfoLayerName() const { return kDebugInfoLayer; }
  const char* GetSystemInfoLayerName() const { return kSystemInfoLayer; }
  // The layer names in draw order.
  std::vector<const char*> GetLayerNames() const;

  // Reallocates the draw list to the node count when the nodes outgrew it.
  void GrowDrawList();
  // Frees the draw list: count and capacity 0.
  void FreeDrawList();
  uint32_t GetDrawListCapacity() const { return m_drawCapacity; }
  uint32_t GetDrawListCount() const { return m_drawCount; }
  ISceneNode* GetDrawListNode(uint32_t index) const { return index < m_drawCount ? m_drawList[index] : nullptr; }
  uint32_t GetNodeCount() const { return static_cast<uint32_t>(m_nodes.size()); }

  // Draws the shown nodes of the visible layers, layer by layer in order of adding: every
  // node's material prepares first, then each node gets its material's passes.
  void Render();

 private:
  struct SLayer {
    CStr name;
    std::vector<ISceneNode*> nodes;
    bool visible = true;
  };
  struct SGroup {
    CStr name;
    std::vector<ISceneNode*> nodes;  // owned
    std::vector<SLayer*> layers;     // created while the group was current
  };
  using LayerList = std::vector<std::unique_ptr<SLayer>>;

  LayerList::const_iterator FindLayerEntry(const char* name) const;
  SLayer* FindLayer(const char* name) const;
  bool InsertLayer(const char* name, const char* anchorName, bool after);
  void DeleteNodes(const std::vector<ISceneNode*>& nodes);
  void DeleteLayers(const std::vector<SLayer*>& layers);

  void BuildDrawList();
  void RenderPasses(ISceneNode* node);

  std::vector<ISceneNode*> m_nodes;
  LayerList m_layers;
  CStringHash<SGroup*> m_groups;
  SGroup* m_currentGroup = nullptr;
  std::unique_ptr<ISceneNode*[]> m_drawList;
  uint32_t m_drawCapacity = 0;
  uint32_t m_drawCount = 0;
};

// The camera the scene draws with: the render module's view camera, else the engine's current
// camera; null without either.
CViewCamera* GetSceneCamera();

}  // namespace Ombrel
