// XML resource lists as the resource manager reads them: directories, conditions, images and
// includes (the input may include itself), then one resource per declaration of the registered
// types "Spline" and "Camera", whose missing files are reported; other types are skipped.
// (A type whose missing file stops the program would leave its half-made resource behind.)

#include "Framework/Resources/ResourceTypes/omResourceCamera.h"
#include "Framework/Resources/ResourceTypes/omResourceSpline.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "tests/fuzz/FuzzHarness.h"

#include <string>

void FuzzSetUp() { fuzz::UsePlainFileSystem(); }

void FuzzOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteScratchFile("List.xml", data, size);
  Ombrel::CResourceManager resources;
  resources.RegisterLoader(new Ombrel::CResSplineLoader, "Spline");
  resources.RegisterLoader(new Ombrel::CResCameraLoader, "Camera");
  Ombrel::CResourcesXMLLoader reader(&resources);
  reader.DefineCondition("Yes", true);
  reader.LoadText("List.xml", std::string(reinterpret_cast<const char*>(data), size));
  reader.LoadResources(nullptr, false);
}
