// Spline files, every path evaluated across its range.

#include "Common/Utils/Spline/CSpline.h"
#include "Quor/CByteReader.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzOneInput(const uint8_t* data, size_t size) {
  CByteReader reader(data, size);
  CSplineFile splines;
  splines.LoadFromBytes("Fuzz.spl", reader);
  for (uint32_t entry = 0; entry < splines.GetEntryCount(); ++entry) {
    splines.SetCurrent(entry);
    for (float t : {0.0f, 0.3f, 0.999f, 1.0f}) {
      splines.EvaluateCurrent(t);
      splines.EvaluateCurrentLinear(t);
    }
  }
}
