#include "Quor/CModelManager.h"

#include "Quor/CModel.h"
#include "Quor/CShaderManager.h"

#include <string>

CModelManager* g_pModelManager = nullptr;

CModelManager::CModelManager(const char* directory) { CopyDirPath(m_directory, directory); }

CModelManager::~CModelManager() { Clear(); }

CModel* CModelManager::GetModel(const char* name) {
  const std::string path = std::string(m_directory) + (name ? name : "") + ".bmo";
  char overrides[CShaderManager::kKeyCapacity] = "";
  if (CShaderManager* shaders = GetShaderManager()) shaders->BuildOverrideKey(overrides);
  const std::string key = path + overrides;
  if (auto* entry = m_models.Find(key.c_str())) {
    entry->value->AddRef();
    return entry->value;
  }
  CModel* model = new CModel(path.c_str(), key.c_str());
  m_models.Insert(key.c_str(), model);
  return model;
}

bool CModelManager::RemoveModel(const char* key) {
  auto* entry = m_models.Find(key);
  if (!entry) return false;
  CModel* model = entry->value;
  m_models.RemoveNode(key);
  delete model;
  return true;
}

bool CModelManager::RemoveModel(CModel* model) {
  auto* entry = model ? m_models.Find(model->GetName()) : nullptr;
  if (!entry || entry->value != model) return false;
  return RemoveModel(model->GetName());
}

void CModelManager::Clear() {
  for (auto& entry : m_models) delete entry.value;
  m_models.Clear();
}

void DestroyModelCache(CModelManager* manager) {
  if (!manager) return;
  manager->Clear();
  if (g_pModelManager == manager) g_pModelManager = nullptr;
  delete manager;
}
