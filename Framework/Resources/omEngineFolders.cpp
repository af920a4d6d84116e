#include "Framework/Resources/omEngineFolders.h"

#include "Quor/CShaderManager.h"
#include "Quor/CTextureManager.h"
#include "Quor/CopyDirPath.h"

namespace Ombrel {

std::string GetTextureFolder() {
  const CTextureManager* textures = GetTextureManager();
  return textures ? textures->GetDirectory() : "";
}

void SetTextureFolder(const std::string& folder) {
  if (CTextureManager* textures = GetTextureManager()) textures->SetDirectory(folder.c_str());
}

std::string GetMaterialFolder() {
  CShaderManager* shaders = GetShaderManager();
  return shaders ? shaders->GetFolder().text : "";
}

void SetMaterialFolder(const std::string& folder) {
  if (CShaderManager* shaders = GetShaderManager()) CopyDirPath(shaders->GetFolder().text, folder.c_str());
}

CEngineFolderScope::CEngineFolderScope(const char* textureFolder, const char* materialFolder)
    : m_textureFolder(GetTextureFolder()), m_materialFolder(GetMaterialFolder()) {
  if (textureFolder) SetTextureFolder(textureFolder);
  if (materialFolder) SetMaterialFolder(materialFolder);
}

CEngineFolderScope::~CEngineFolderScope() {
  SetTextureFolder(m_textureFolder);
  SetMaterialFolder(m_materialFolder);
}

}  // namespace Ombrel
