#include "Framework/Scene/omSceneManager.h"

#include "Framework/Scene/omSceneMaterial.h"
#include "Framework/Scene/omSceneNode.h"
#include "Framework/omRenderModule.h"
#include "Quor/CViewCamera.h"
#include "Quor/MatrixTable.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"

#include <algorithm>
#include <unordered_set>

namespace Ombrel {

namespace {

constexpr const char* kOmSceneManagerSource = "Framework/Scene/omSceneManager";

const char* OrNull(const char* text) { return text ? text : "(null)"; }

// Culling as the node's flags ask, with the winding recorded in the engine's states.
void ApplyNodeCulling(const ISceneNode& node) {
  if (!node.CullsBackFaces()) {
    CullOff();
    return;
  }
  if (!GetClockwiseWinding()) SetClockwiseWinding(true);
  CullOn();
}

}  // namespace

CViewCamera* GetSceneCamera() {
  const CRenderModule* render = GetRenderModule();
  return render ? render->GetViewCamera() : GetCurrentCamera();
}

CSceneManager::CSceneManager() {
  AddGroup(kDefaultGroup);
  SetCurrentGroup(kDefaultGroup);
  m_layers.push_back(std::make_unique<SLayer>(SLayer{kDefaultLayer, {}, true}));
  AddLayerAfter(kSystemInfoLayer, kDefaultLayer);
  AddLayerAfter(kDebugInfoLayer, kSystemInfoLayer);
}

CSceneManager::~CSceneManager() {
  for (ISceneNode* node : m_nodes) delete node;
  for (auto& group : m_groups) delete group.value;
}

// ---- groups

void CSceneManager::AddGroup(const char* name) {
  // A second group of one name could never be told apart from the first.
  if (HasGroup(OrNull(name))) return;
  m_groups.Insert(OrNull(name), new SGroup{OrNull(name), {}, {}});
}

void CSceneManager::SetCurrentGroup(const char* name) {
  auto* entry = m_groups.Find(OrNull(name));
  if (!entry) {
    HM_REPORT(kOmSceneManagerSource, "No scene group \"%s\" to make current", OrNull(name));
    return;
  }
  m_currentGroup = entry->value;
}

void CSceneManager::ClearGroup(const char* name) {
  auto* entry = m_groups.Find(OrNull(name));
  if (!entry) {
    HM_REPORT(kOmSceneManagerSource, "No scene group \"%s\" to clear", OrNull(name));
    return;
  }
  SGroup* group = entry->value;
  DeleteNodes(group->nodes);
  group->nodes.clear();
  DeleteLayers(group->layers);
  group->layers.clear();
}

void CSceneManager::RemoveGroup(const char* name) {
  auto* entry = m_groups.Find(OrNull(name));
  if (!entry) {
    HM_REPORT(kOmSceneManagerSource, "No scene group \"%s\" to remove", OrNull(name));
    return;
  }
  ClearGroup(name);
  if (m_currentGroup == entry->value) m_currentGroup = nullptr;
  delete entry->value;
  m_groups.RemoveNode(OrNull(name));
}

const char* CSceneManager::GetCurrentGroupName() const {
  return m_currentGroup ? m_currentGroup->name.GetText() : nullptr;
}

void CSceneManager::DeleteNodes(const std::vector<ISceneNode*>& nodes) {
  if (nodes.empty()) return;
  const std::unordered_set<ISceneNode*> doomed(nodes.begin(), nodes.end());
  const auto isDoomed = [&](ISceneNode* node) { return doomed.count(node) != 0; };
  // A node whose layer went with another group is in no layer any more: nothing to take out.
  for (const auto& layer : m_layers) {
    layer->nodes.erase(std::remove_if(layer->nodes.begin(), layer->nodes.end(), isDoomed), layer->nodes.end());
  }
  m_nodes.erase(std::remove_if(m_nodes.begin(), m_nodes.end(), isDoomed), m_nodes.end());
  for (ISceneNode* node : nodes) delete node;
}

void CSceneManager::DeleteLayers(const std::vector<SLayer*>& layers) {
  const auto isDoomed = [&](const std::unique_ptr<SLayer>& layer) {
    return std::find(layers.begin(), layers.end(), layer.get()) != layers.end();
  };
  m_layers.erase(std::remove_if(m_layers.begin(), m_layers.end(), isDoomed), m_layers.end());
}

// ---- layers

CSceneManager::LayerList::const_iterator CSceneManager::FindLayerEntry(const char* name) const {
  return std::find_if(m_layers.begin(), m_layers.end(),
                      [&](const auto& layer) { return name && TextEqualsNoCase(layer->name.GetText(), name); });
}

CSceneManager::SLayer* CSceneManager::FindLayer(const char* name) const {
  const auto entry = FindLayerEntry(name);
  return entry == m_layers.end() ? nullptr : entry->get();
}

bool CSceneManager::InsertLayer(const char* name, const char* anchorName, bool after) {
  if (!name) {
    HM_REPORT(kOmSceneManagerSource, "A render layer needs a name");
    return false;
  }
  if (FindLayer(name)) return true;
  const auto anchor = FindLayerEntry(anchorName);
  if (anchor == m_layers.end() || !m_currentGroup) {
    HM_REPORT(kOmSceneManagerSource, "No render layer \"%s\" or no current group for the layer \"%s\"",
              OrNull(anchorName), name);
    return false;
  }
  auto layer = std::make_unique<SLayer>(SLayer{name, {}, true});
  m_currentGroup->layers.push_back(layer.get());
  m_layers.insert(after ? anchor + 1 : anchor, std::move(layer));
  return true;
}

bool CSceneManager::AddLayer(const char* name, const char* beforeLayer) {
  return InsertLayer(name, beforeLayer, false);
}

bool CSceneManager::AddLayerAfter(const char* name, const char* afterLayer) {
  return InsertLayer(name, afterLayer, true);
}

bool CSceneManager::IsLayerVisible(const char* name) const {
  const SLayer* layer = FindLayer(name);
  return layer && layer->visible;
}

void CSceneManager::SetLayerVisible(const char* name, bool visible) {
  SLayer* layer = FindLayer(name);
  if (!layer) {
    HM_REPORT(kOmSceneManagerSource, "No render layer \"%s\" to show or hide", OrNull(name));
    return;
  }
  layer->visible = visible;
}

std::vector<const char*> CSceneManager::GetLayerNames() const {
  std::vector<const char*> names;
  for (const auto& layer : m_layers) names.push_back(layer->name.GetText());
  return names;
}

// ---- nodes

int32_t CSceneManager::AddNode(ISceneNode* node, const char* layerName) {
  if (!node) {
    HM_REPORT(kOmSceneManagerSource, "No node to add to the render layer \"%s\"", OrNull(layerName));
    return -1;
  }
  SLayer* layer = FindLayer(layerName);
  if (!layer || !m_currentGroup) {
    HM_REPORT(kOmSceneManagerSource, "No render layer \"%s\" or no current group for the node \"%s\"",
              OrNull(layerName), node->GetName().GetText());
    delete node;
    return -1;
  }
  layer->nodes.push_back(node);
  m_nodes.push_back(node);
  m_currentGroup->nodes.push_back(node);
  return static_cast<int32_t>(layer->nodes.size()) - 1;
}

// ---- drawing

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

void CSceneManager::RenderPasses(ISceneNode* node) {
  ISceneMaterial* material = node->GetMaterial();
  CViewCamera* camera = GetSceneCamera();
  for (int32_t pass = 0; pass < material->GetPassCount(); ++pass) {
    material->SetCurrentPass(pass);
    ApplyNodeCulling(*node);
    SetWorld(GetIdentityMatrix());
    if (camera) camera->Apply();
    material->BeginPass(pass, node);
    material->RenderPass(pass, node);
    material->EndPass(pass, node);
    material->SetCurrentPass(ISceneMaterial::kNoPass);
  }
}

void CSceneManager::Render() {
  BuildDrawList();
  for (uint32_t i = 0; i < m_drawCount; ++i) m_drawList[i]->GetMaterial()->Prepare(m_drawList[i]);
  for (uint32_t i = 0; i < m_drawCount; ++i) RenderPasses(m_drawList[i]);
}

}  // namespace Ombrel
