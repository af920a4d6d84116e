#pragma once
// "Spline": a spline file (named paths).

#include "Common/Utils/Spline/CSpline.h"
#include "Framework/Resources/omResourcePattern.h"

namespace Ombrel {

class CResourceSpline : public CObjectResource<CSplineFile> {
 public:
  static constexpr const char* kTypeName = "Spline";
  static constexpr const char* kFolder = "Splines\\";
  static constexpr const char* kExtension = ".spl";

  explicit CResourceSpline(const SDeclaration& declaration) : CObjectResource(declaration.path) {}
  const char* GetTypeName() const override { return kTypeName; }
  CSplineFile* GetSplineFile() const { return GetObject(); }

 protected:
  CSplineFile* Build() override {
    auto splines = std::make_unique<CSplineFile>();
    splines->Load(m_path.GetText());
    return splines.release();
  }
};

using CResSplineLoader = CPatternLoader<CResourceSpline>;

}  // namespace Ombrel
