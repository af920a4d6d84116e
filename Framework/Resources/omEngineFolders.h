#pragma once
// The folders the engine's texture and shader managers read from, set for one scope and put
// back after it.

#include <string>

namespace Ombrel {

std::string GetTextureFolder();
void SetTextureFolder(const std::string& folder);
std::string GetMaterialFolder();
void SetMaterialFolder(const std::string& folder);

class CEngineFolderScope {
 public:
  // Either may be null: that folder is left as it is.
  CEngineFolderScope(const char* textureFolder, const char* materialFolder);
  ~CEngineFolderScope();
  CEngineFolderScope(const CEngineFolderScope&) = delete;
  CEngineFolderScope& operator=(const CEngineFolderScope&) = delete;

 private:
  std::string m_textureFolder;
  std::string m_materialFolder;
};

}  // namespace Ombrel
