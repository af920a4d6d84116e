#include "Framework/Scene/omSceneManager.h"

#include "Framework/Scene/omSceneNode.h"
#include "Quor/ReportError.h"

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
  m_groups.Insert(name ? name : "(null)", new SGroup{name ? name : "(null)"});
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
  delete entry->value;
  m_groups.RemoveNode(name);
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
