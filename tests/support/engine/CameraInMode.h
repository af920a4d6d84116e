#pragma once
// The render camera in one aspect mode while a CCameraInMode lives, for the screen-space code
// that reads the aspect from the current camera.

#include "Quor/CViewCamera.h"

#include <cstdint>
#include <memory>

namespace hmtest {

class CCameraInMode {
 public:
  explicit CCameraInMode(uint32_t mode, float customAspect = 2.0f)
      : m_camera(std::make_unique<CViewCamera>(1.0f, 1.0f, 100.0f, mode, customAspect)) {
    SetCurrentCamera(m_camera.get());
  }
  ~CCameraInMode() { SetCurrentCamera(nullptr); }
  CCameraInMode(const CCameraInMode&) = delete;
  CCameraInMode& operator=(const CCameraInMode&) = delete;

 private:
  std::unique_ptr<CViewCamera> m_camera;
};

}  // namespace hmtest
