// 2-D layout files as a resource list declares them: the layout's own resource list (types
// "Spline" and "Camera", whose missing files are reported) and its objects, then every item
// walked and looked up by name as screens do.

#include "Framework/Resources/ResourceTypes/omResourceCamera.h"
#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceSpline.h"
#include "Framework/Resources/omResourceManager.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzSetUp() { fuzz::UsePlainFileSystem(); }

void FuzzOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteScratchFile("Screen.2dl", data, size);
  Ombrel::CResourceManager resources;
  resources.RegisterLoader(new Ombrel::CResSplineLoader, "Spline");
  resources.RegisterLoader(new Ombrel::CResCameraLoader, "Camera");
  auto* loader = new Ombrel::CResLayout2DLoader(&resources);
  resources.RegisterLoader(loader, "Layout2D");
  Ombrel::CResourceBase* resource = loader->CreateFromXml("Screen", "Screen", nullptr, true, false);
  resources.AddResource("Layout2D", "Screen", resource);
  const Ombrel::CLayout2D* layout = static_cast<Ombrel::CResourceLayout2D*>(resource)->GetLayout();
  for (uint32_t i = 0; i < layout->GetCount(); ++i) layout->FindItem(layout->GetItem(i)->name.c_str());
}
