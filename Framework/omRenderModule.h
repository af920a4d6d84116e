#pragma once
// The render module: holds the view camera and the scene graph for the whole run; initialised
// for the states that draw, with its own scene group "System".

#include "Framework/omModule.h"

#include <cstdint>
#include <memory>

class CViewCamera;

namespace Ombrel {

class CSceneManager;
class CSystemInfoNode;

// Width over height, kept between 4:3 and 16:9: a height above three quarters of the width is
// cut to three quarters, a width above 16/9 of the height is cut to that. 4:3 for an empty size.
float ClampAspectRatio(int32_t width, int32_t height);

class CRenderModule : public CSingleModule<CRenderModule> {
 public:
  static constexpr float kWidescreenAbove = 1.45f;
  static constexpr const char* kGroupName = "System";

  CRenderModule();
  ~CRenderModule() override;

  bool Init() override;
  bool Shutdown() override;
  void Update() override;

  // The aspect ratio of the window's client area (the desktop's in full screen while the client
  // area is unknown), clamped: it becomes the camera's custom aspect, the shape the device keeps
  // the picture in (bars beside or above and below it where the window's shape differs), and
  // sets the engine's widescreen flag.
  void ReadWindowSize();
  // Lays the picture out again when the window's clamped shape is no longer the camera's (a
  // window resized, a full-screen request the window manager honoured late or not at all);
  // true when it did. The application calls it as each frame begins, so the state's screens lay
  // themselves out for the new shape in that frame; until then (and in the frame loops of the
  // logos and the message boxes) the device keeps the old shape with bars, never stretched.
  bool FollowWindowShape();

  CSceneManager* GetSceneManager() const { return m_scene.get(); }
  CViewCamera* GetViewCamera() const { return m_camera.get(); }
  // The system-info node; null while there is none.
  CSystemInfoNode* GetSystemInfoNode() const { return m_systemInfoNode; }

 private:
  std::unique_ptr<CSceneManager> m_scene;
  std::unique_ptr<CViewCamera> m_camera;
  // Hidden until there is system information to show.
  void AddSystemInfoNode();

  CSystemInfoNode* m_systemInfoNode = nullptr;  // owned by the scene group "System"
};

CRenderModule* GetRenderModule();
// The render module's scene manager; null when there is no render module.
CSceneManager* GetSceneManager();

}  // namespace Ombrel
