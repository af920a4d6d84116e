#include "Framework/Scene/omSceneManager.h"

#include "Framework/Scene/omSceneNode.h"
#include "Quor/ReportError.h"

#include <algorithm>

namespace Ombrel {

namespace {
constexpr const char* kSource = "Framework/Scene/omSceneManager";
}  // namespace

CSceneManager::CSceneManager() {
  AddGroup(kDefaultGroup);
  SetCurrentGroup(kDefaultGroup);
  for (const char* name : {kDefaultLayer, kSystemInfoLayer, kDebugInfoLayer}) {
    m_layers.push_back(std::make_unique<SLayer>(SLayer{name, {}, true}));
  }
}

CSceneManager::~CSceneManager() {
  for (ISceneNode* node : m_nodes) delete node;
  for (auto& group : m_groups) delete group.value;
}

void CSceneManager::AddGroup(const char* name) {
  m_groups.Insert(name ? name : "(null)", new SGroup{name ? name : "(null)", {}, {}});
}

void CSceneManager::SetCurrentGroup(const char* name) {
  auto* entry = m_groups.Find(name);
  if (!entry) {
    HM_REPORT(kSource, "No scene group \"%s\" to make current", name);
    return;
  }
  m_currentGroup = entry->value;
}

void CSceneManager::RemoveGroup(const char* name) {
  auto* entry = m_groups.Find(name);
  if (!entry) {
    HM_REPORT(kSource, "No scene group \"%s\" to remove", name);
    return;
  }
  if (m_currentGroup == entry->value) m_currentGroup = nullptr;
  for (ISceneNode* node : entry->value->nodes) DeleteNode(node);
  for (const CStr& layer : entry->value->layers) DeleteLayer(layer);
  delete entry->value;
  m_groups.RemoveNode(name);
}

CSceneManager::SLayer* CSceneManager::FindLayer(const char* name) const {
  for (const auto& layer : m_layers) {
    if (name && layer->name == name) return layer.get();
  }
  return nullptr;
}

bool CSceneManager::AddLayer(const char* name, const char* beforeLayer) {
  auto anchor = std::find_if(m_layers.begin(), m_layers.end(),
                             [&](const auto& layer) { return beforeLayer && layer->name == beforeLayer; });
  if (anchor == m_layers.end()) {
    HM_REPORT(kSource, "No render layer \"%s\" to put the layer \"%s\" before",
              beforeLayer ? beforeLayer : "(null)", name ? name : "(null)");
    return false;
  }
  m_layers.insert(anchor, std::make_unique<SLayer>(SLayer{name, {}, true}));
  if (m_currentGroup) m_currentGroup->layers.push_back(name);
  return true;
}

int32_t CSceneManager::AddNode(ISceneNode* node, const char* layerName) {
  SLayer* layer = FindLayer(layerName);
  if (!layer || !m_currentGroup) {
    HM_REPORT(kSource, "No render layer \"%s\" or no current group for the node \"%s\"",
              layerName ? layerName : "(null)", node->GetName().GetText());
    delete node;
    return -1;
  }
  layer->nodes.push_back(node);
  m_nodes.push_back(node);
  m_currentGroup->nodes.push_back(node);
  return static_cast<int32_t>(layer->nodes.size()) - 1;
}

void CSceneManager::DeleteNode(ISceneNode* node) {
  for (const auto& layer : m_layers) {
    layer->nodes.erase(std::remove(layer->nodes.begin(), layer->nodes.end(), node), layer->nodes.end());
  }
  m_nodes.erase(std::remove(m_nodes.begin(), m_nodes.end(), node), m_nodes.end());
  delete node;
}

void CSceneManager::DeleteLayer(const CStr& name) {
  m_layers.erase(std::remove_if(m_layers.begin(), m_layers.end(),
                                [&](const auto& layer) { return layer->name == name; }),
                 m_layers.end());
}

const char* CSceneManager::GetCurrentGroupName() const {
  return m_currentGroup ? m_currentGroup->name.GetText() : nullptr;
}

std::vector<const char*> CSceneManager::GetLayerNames() const {
  std::vector<const char*> names;
  for (const auto& layer : m_layers) names.push_back(layer->name.GetText());
  return names;
}

void CSceneManager::GrowDrawList() {
  if (m_nodes.size() <= m_drawCapacity) return;
  m_drawCapacity = static_cast<uint32_t>(m_nodes.size());
  m_drawList = std::make_unique<ISceneNode*[]>(m_drawCapacity);
  m_drawCount = 0;
}

void CSceneManager::FreeDrawList() {
  m_drawList.reset();
  m_drawCapacity = 0;
  m_drawCount = 0;
}

void CSceneManager::BuildDrawList() {
  // Nodes added since the last growth would not fit otherwise.
  GrowDrawList();
  m_drawCount = 0;
  for (const auto& layer : m_layers) {
    if (!layer->visible) continue;
    for (ISceneNode* node : layer->nodes) {
      if (node->IsDrawn()) m_drawList[m_drawCount++] = node;
    }
  }
}

void CSceneManager::Render() {
  BuildDrawList();
  for (uint32_t i = 0; i < m_drawCount; ++i) m_drawList[i]->Render();
}

}  // namespace Ombrel
