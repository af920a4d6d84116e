// Writes spline files and camera animation files from small text descriptions.
//
//   spline path DESCRIPTION OUT.spl      lines: "name N", "path open|closed", "point x y z [w]"
//   spline camera DESCRIPTION OUT        lines: "name N", "track NAME LENGTH [KIND]",
//                                        "fov RADIANS", "point x y z", "target x y z",
//                                        "rotation x y z w", "poskey x y z", "targetkey x y z"
//
// Lines starting with "#" are comments.

#include <cstdio>
#include <string>
#include <vector>

#include "Common/Utils/CameraSpline/CCameraSpline.h"
#include "Common/Utils/Spline/CSpline.h"
#include "tools/shared/TextDescription.h"

namespace {

using description::SLine;

Vector4 PointOf(const SLine& line) { return Vector4{line.Number(1), line.Number(2), line.Number(3), line.Number(4)}; }

bool Fail(const char* path, const SLine& line, const char* what) {
  std::fprintf(stderr, "spline: %s:%d: %s\n", path, line.number, what);
  return false;
}

bool WritePaths(const char* in, const char* out) {
  std::vector<SLine> lines;
  if (!description::Read("spline", in, &lines)) return false;
  std::string name;
  std::vector<SSplinePathDesc> paths;
  for (const SLine& line : lines) {
    const std::string& kind = line.words[0];
    if (kind == "name" && line.words.size() > 1) name = line.words[1];
    else if (kind == "path") paths.push_back({line.words.size() > 1 && line.words[1] == "closed", {}});
    else if (kind == "point" && !paths.empty()) paths.back().points.push_back(PointOf(line));
    else return Fail(in, line, "expected name, path or a point after a path");
  }
  for (const SSplinePathDesc& path : paths)
    if (path.points.empty()) {
      std::fprintf(stderr, "spline: %s: a path without points\n", in);
      return false;
    }
  return description::WriteFile("spline", out, WriteSplineFile(name.c_str(), paths));
}

bool WriteCamera(const char* in, const char* out) {
  std::vector<SLine> lines;
  if (!description::Read("spline", in, &lines)) return false;
  std::string name;
  std::vector<SCameraTrackDesc> tracks;
  std::vector<std::string> trackNames;  // kept alive for the descriptions' pointers
  trackNames.reserve(lines.size());
  for (const SLine& line : lines) {
    const std::string& kind = line.words[0];
    if (kind == "name" && line.words.size() > 1) {
      name = line.words[1];
      continue;
    }
    if (kind == "track" && line.words.size() >= 3) {
      trackNames.push_back(line.words[1]);
      SCameraTrackDesc& track = tracks.emplace_back();
      track.name = trackNames.back().c_str();
      track.length = static_cast<uint32_t>(ParseIntC(line.words[2].c_str()));
      track.kind = line.words.size() > 3 ? static_cast<uint32_t>(ParseIntC(line.words[3].c_str())) : 0;
      continue;
    }
    if (tracks.empty()) return Fail(in, line, "expected name or track first");
    SCameraTrackDesc& track = tracks.back();
    SCameraKey key;
    for (int i = 0; i < 3; ++i) key.values[i] = line.Number(i + 1);
    if (kind == "fov") track.fieldOfView = line.Number(1);
    else if (kind == "point") track.point = PointOf(line);
    else if (kind == "target") track.target = PointOf(line);
    else if (kind == "rotation") track.rotation = Quaternion{line.Number(1), line.Number(2), line.Number(3), line.Number(4, 1)};
    else if (kind == "poskey") track.positionKeys.push_back(key);
    else if (kind == "targetkey") track.targetKeys.push_back(key);
    else return Fail(in, line, "unknown line");
  }
  return description::WriteFile("spline", out, WriteCameraSplineFile(name.c_str(), tracks));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "path") return WritePaths(argv[2], argv[3]) ? 0 : 1;
  if (argc == 4 && std::string(argv[1]) == "camera") return WriteCamera(argv[2], argv[3]) ? 0 : 1;
  std::fprintf(stderr, "usage: spline path DESCRIPTION OUT.spl\n       spline camera DESCRIPTION OUT\n");
  return 2;
}
