#pragma once
// "Model": a model from the model cache (which adds ".bmo"), its textures and materials read
// from "Textures\" and "Materials\" below the list's directory, optionally under a forced
// shader kind or material.

#include "Framework/Resources/omResourcePattern.h"
#include "Quor/CModel.h"

namespace Ombrel {

struct SModelReleaser {
  void operator()(CModel* model) const { ReleaseModel(model); }
};

class CResourceModel : public CObjectResource<CModel, SModelReleaser> {
 public:
  static constexpr const char* kTypeName = "Model";
  static constexpr const char* kFolder = "Models\\";
  static constexpr const char* kExtension = ".bmo";

  explicit CResourceModel(const SDeclaration& declaration);
  const char* GetTypeName() const override { return kTypeName; }
  CModel* GetModel() const { return GetObject(); }

 protected:
  CModel* Build() override;

 private:
  CStr m_forceShader;
  CStr m_forceMaterial;
  CStr m_directory;  // the list's directory, without root path and folder
};

class CResModelLoader : public CPatternLoader<CResourceModel> {
 public:
  // Materials of one file name in different folders stay apart.
  CResModelLoader();
};

}  // namespace Ombrel
