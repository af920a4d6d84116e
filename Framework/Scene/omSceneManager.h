#pragma once
// The one scene graph: named render layers in draw order, and named groups that own what is
// created while they are current. Built-in layers: "Default", "SystemInfo", "DebugInfo".

#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"
#include "Quor/CStringHash.h"

#include <cstdint>
#include <memory>
#include <vector>

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
  // Inserts a layer just before the anchor layer; it belongs to the current group. False,
  // reported, when the anchor is not a layer.
  bool AddLayer(const char* name, const char* beforeLayer);
  // Places the node at the end of the layer and hands it to the current group, which deletes
  // it when it is removed. Returns the node's index in the layer; -1, reported, when the layer
  // does not exist (the node is deleted then).
  int32_t AddNode(ISceneNode* node, const char* layerName);

  // Removes the group with its nodes and layers; a name that is not a group is reported and
  // changes nothing.
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
  uint32_t GetNodeCount() const { return static_cast<uint32_t>(m_nodes.size()); }

  // Draws the shown nodes of the visible layers, layer by layer in order of adding.
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
    std::vector<CStr> layers;
  };

  SLayer* FindLayer(const char* name) const;
  void DeleteNode(ISceneNode* node);
  void DeleteLayer(const CStr& name);

  void BuildDrawList();

  std::vector<ISceneNode*> m_nodes;
  std::vector<std::unique_ptr<SLayer>> m_layers;
  CStringHash<SGroup*> m_groups;
  SGroup* m_currentGroup = nullptr;
  std::unique_ptr<ISceneNode*[]> m_drawList;
  uint32_t m_drawCapacity = 0;
  uint32_t m_drawCount = 0;
};

}  // namespace Ombrel
