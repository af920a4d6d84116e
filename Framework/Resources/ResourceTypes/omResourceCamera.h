#pragma once
// "Camera": a camera animation file (tracks of camera splines).

#include "Common/Utils/CameraSpline/CCameraSpline.h"
#include "Framework/Resources/omResourcePattern.h"

namespace Ombrel {

class CResourceCamera : public CObjectResource<CCameraSpline> {
 public:
  static constexpr const char* kTypeName = "Camera";
  static constexpr const char* kFolder = "Cameras\\";
  static constexpr const char* kExtension = ".cam";

  explicit CResourceCamera(const SDeclaration& declaration) : CObjectResource(declaration.path) {}
  const char* GetTypeName() const override { return kTypeName; }
  CCameraSpline* GetCamera() const { return GetObject(); }

 protected:
  CCameraSpline* Build() override {
    auto camera = std::make_unique<CCameraSpline>();
    camera->Load(m_path.GetText());
    return camera.release();
  }
};

using CResCameraLoader = CPatternLoader<CResourceCamera>;

}  // namespace Ombrel
