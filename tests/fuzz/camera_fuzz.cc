// Camera animation files, every track evaluated across its length.

#include "Common/Utils/CameraSpline/CCameraSpline.h"
#include "Quor/CByteReader.h"
#include "tests/fuzz/FuzzHarness.h"

void FuzzOneInput(const uint8_t* data, size_t size) {
  CByteReader reader(data, size);
  CCameraSpline camera;
  camera.LoadFromBytes("Fuzz.cam", reader);
  for (uint32_t i = 0; i < camera.GetTrackCount(); ++i) {
    const CCameraTrack& track = camera.GetTrack(i);
    for (float t : {0.0f, 0.4f * track.length, track.length}) {
      Vector4 target;
      track.EvaluatePosition(t);
      track.EvaluateTarget(t, &target);
    }
  }
}
