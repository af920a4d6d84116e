#include "Framework/Resources/ResourceTypes/omResourceModel.h"

#include "Framework/Resources/omEngineFolders.h"
#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/CModelManager.h"
#include "Quor/CShaderManager.h"
#include "Quor/ReportError.h"

namespace Ombrel {

CResourceModel::CResourceModel(const SDeclaration& declaration)
    : CObjectResource(declaration.basePath + declaration.fileName),
      m_directory(declaration.loader->GetDirectory()) {
  if (const char* shader = FindAttribute(declaration.element, "ForceShader")) m_forceShader = shader;
  if (const char* material = FindAttribute(declaration.element, "ForceMaterial")) m_forceMaterial = material;
}

CModel* CResourceModel::Build() {
  CShaderManager* shaders = GetShaderManager();
  if (!g_pModelManager || !shaders) {
    HM_REPORT("Framework/Resources/omResourceModel", "%s: no model cache or shader manager; the model is missing",
              m_path.GetText());
    return nullptr;
  }
  SetTextureFolder((m_directory + "Textures\\").GetText());
  SetMaterialFolder((m_directory + "Materials\\").GetText());
  if (!m_forceShader.IsEmpty()) shaders->SetShaderOverride(m_forceShader.GetText());
  if (!m_forceMaterial.IsEmpty()) shaders->SetMaterialOverride(m_forceMaterial.GetText());
  CModel* model = g_pModelManager->GetModel(m_path.GetText());
  // The overrides and folders hold for this model only; they are cleared, not restored.
  shaders->SetShaderOverride(nullptr);
  shaders->SetMaterialOverride(nullptr);
  SetTextureFolder("");
  SetMaterialFolder("");
  return model;
}

CResModelLoader::CResModelLoader() {
  if (CShaderManager* shaders = GetShaderManager()) shaders->GetFolder().keyByFolder = 1;
}

}  // namespace Ombrel
