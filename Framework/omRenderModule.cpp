#include "Framework/omRenderModule.h"

#include "Common/Particles/CEffectManager.h"
#include "Common/Render/Primitives/CTriangle2D.h"
#include "Common/Render/Primitives/Sprite2D.h"
#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Scene/omSceneManager.h"
#include "Framework/Scene/omSceneMaterial.h"
#include "Framework/Scene/omSystemInfoNode.h"
#include "Framework/omAssetModule.h"
#include "Platform/PlatformWindow.h"
#include "Quor/CViewCamera.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/Engine.h"
#include "Quor/Timer.h"

#include <cmath>

namespace Ombrel {

namespace {

constexpr const char* kSystemInfoMaterial = "SystemInfoMat";

// The "System" font resource's font; null while there is none.
CFont* GetSystemFont() {
  CResourceManager* resources = GetResourceManager();
  CResourceFont* font = resources ? resources->GetFont("System") : nullptr;
  return font ? font->GetFont() : nullptr;
}

constexpr float kFieldOfView = 0.7853982f;
constexpr float kNearPlane = 0.5f;
constexpr float kFarPlane = 5000.0f;

// The size the aspect ratio is measured on: the client area as the display made it, in full
// screen too (a window manager may leave a full-screen window smaller than the desktop); the
// desktop in full screen while the client area is unknown.
void MeasureDisplay(int32_t* width, int32_t* height) {
  const SPlatformState& state = GetPlatformState();
  *width = state.clientRect.right - state.clientRect.left;
  *height = state.clientRect.bottom - state.clientRect.top;
  if (!state.windowed && (*width <= 0 || *height <= 0)) PlatformGetDesktopSize(width, height);
}

// The shape the display has now, as the picture would be laid out for it.
float MeasuredAspectRatio() {
  int32_t width = 0, height = 0;
  MeasureDisplay(&width, &height);
  return ClampAspectRatio(width, height);
}

// Shapes closer than this are one: a window one pixel off keeps its layout.
constexpr float kSameShape = 0.002f;

}  // namespace

float ClampAspectRatio(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return 4.0f / 3.0f;
  float w = static_cast<float>(width);
  float h = static_cast<float>(height);
  if (h > w * 0.75f) h = w * 0.75f;
  if (w > h * 16.0f / 9.0f) w = h * 16.0f / 9.0f;
  return w / h;
}

CRenderModule::CRenderModule() : CSingleModule("RenderModule", kModuleRender) {
  m_scene = std::make_unique<CSceneManager>();
  m_camera = std::make_unique<CViewCamera>(kFieldOfView, kNearPlane, kFarPlane,
                                           GetWidescreen() ? kAspectWide : kAspectStandard, 0.0f);
  ReadWindowSize();
  SetCurrentCamera(m_camera.get());
}

CRenderModule::~CRenderModule() {
  Shutdown();
  if (GetCurrentCamera() == m_camera.get()) SetCurrentCamera(nullptr);
  SetPictureAspect(0.0f);  // no picture laid out any more: the game view follows the window
  SetAspectRatio(4.0f / 3.0f);
}

void CRenderModule::ReadWindowSize() {
  const float ratio = MeasuredAspectRatio();
  SetWidescreen(ratio > kWidescreenAbove);
  m_camera->SetAspect(kAspectCustom, kFieldOfView, ratio);
  m_camera->Apply();
  SetPictureAspect(ratio);
  // Layout widths become screen widths, and texts wrap, by the shape the picture is laid out in.
  SetAspectRatio(ratio);
}

bool CRenderModule::FollowWindowShape() {
  if (std::fabs(MeasuredAspectRatio() - m_camera->GetAspect()) < kSameShape) return false;
  ReadWindowSize();
  return true;
}

bool CRenderModule::Init() {
  if (!IModule::Init()) return false;
  Init2DBatch();
  m_scene->AddGroup(kGroupName);
  m_scene->SetCurrentGroup(kGroupName);
  AddSystemInfoNode();
  return true;
}

void CRenderModule::AddSystemInfoNode() {
  auto* node = new CSystemInfoNode(GetSystemFont());
  node->SetMaterial(new C2DMaterial(kSystemInfoMaterial));
  node->Hide();
  m_systemInfoNode = m_scene->AddNode(node, CSceneManager::kSystemInfoLayer) >= 0 ? node : nullptr;
}

bool CRenderModule::Shutdown() {
  if (!IModule::Shutdown()) return false;
  m_scene->RemoveGroup(kGroupName);
  m_systemInfoNode = nullptr;
  SetCurrentCamera(m_camera.get());
  FreeSprites2D();
  Free2DBatch();
  FreeDebugLines();
  return true;
}

void CRenderModule::Update() {
  if (g_effectManager) g_effectManager->Update(GetFrameClock() ? GetFrameClock()->delta : 0.0f);
}

CRenderModule* GetRenderModule() { return CRenderModule::Instance(); }

CSceneManager* GetSceneManager() {
  const CRenderModule* render = GetRenderModule();
  return render ? render->GetSceneManager() : nullptr;
}

}  // namespace Ombrel
