// Dynamic meshes, played through their keys with normals rebuilt.

#include "Common/Render/DynaMesh/CDynaMesh.h"
#include "Quor/CByteReader.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzSetUp() { fuzz::TreatFatalStopsAsFindings(); }

void FuzzOneInput(const uint8_t* data, size_t size) {
  CByteReader reader(data, size);
  CDynaMesh mesh;
  if (!mesh.LoadFromBytes("Fuzz.msh", reader)) return;
  mesh.SetLooping(true);
  mesh.Play();
  for (float dt : {0.0f, 0.05f, 0.5f, 3.0f}) {
    mesh.Update(dt);
    mesh.Evaluate();
    mesh.UpdateNormals();
  }
}
