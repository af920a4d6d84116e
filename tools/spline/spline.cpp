// Writes spline files and camera animation files from small text descriptions.
//
//   spline path DESCRIPTION OUT.spl      lines: "name N", "path open|closed", "point x y z [w]"
//   spline camera DESCRIPTION OUT        lines: "name N", "track NAME LENGTH [KIND]",
//                                        "fov RADIANS", "point x y z", "target x y z",
//                                        "rotation x y z w", "poskey x y z", "targetkey x y z"
//
// Lines starting with "#" are comments.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Common/Utils/CameraSpline/CCameraSpline.h"
#include "Common/Utils/Spline/CSpline.h"
#include "Quor/CParser.h"

namespace {

struct SLine {
  int number;
  std::vector<std::string> words;
  float Number(size_t i, float fallback = 0) const { return i < words.size() ? ParseFloatC(words[i].c_str()) : fallback; }
  Vector4 Point() const { return Vector4{Number(1), Number(2), Number(3), Number(4)}; }
};

bool ReadDescription(const char* path, std::vector<SLine>* lines) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "spline: cannot read %s\n", path);
    return false;
  }
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    std::istringstream words(text);
    SLine line{number, {}};
    for (std::string word; words >> word;) line.words.push_back(word);
    if (!line.words.empty() && line.words[0][0] != '#') lines->push_back(line);
  }
  return true;
}

bool Fail(const char* path, const SLine& line, const char* what) {
  std::fprintf(stderr, "spline: %s:%d: %s\n", path, line.number, what);
  return false;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (out) return true;
  std::fprintf(stderr, "spline: cannot write %s\n", path.c_str());
  return false;
}

bool WritePaths(const char* in, const char* out) {
  std::vector<SLine> lines;
  if (!ReadDescription(in, &lines)) return false;
  std::string name;
  std::vector<SSplinePathDesc> paths;
  for (const SLine& line : lines) {
    const std::string& kind = line.words[0];
    if (kind == "name" && line.words.size() > 1) name = line.words[1];
    else if (kind == "path") paths.push_back({line.words.size() > 1 && line.words[1] == "closed", {}});
    else if (kind == "point" && !paths.empty()) paths.back().points.push_back(line.Point());
    else return Fail(in, line, "expected name, path or a point after a path");
  }
  for (const SSplinePathDesc& path : paths)
    if (path.points.empty()) {
      std::fprintf(stderr, "spline: %s: a path without points\n", in);
      return false;
    }
  return WriteFile(out, WriteSplineFile(name.c_str(), paths));
}

bool WriteCamera(const char* in, const char* out) {
  std::vector<SLine> lines;
  if (!ReadDescription(in, &lines)) return false;
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
    else if (kind == "point") track.point = line.Point();
    else if (kind == "target") track.target = line.Point();
    else if (kind == "rotation") track.rotation = Quaternion{line.Number(1), line.Number(2), line.Number(3), line.Number(4, 1)};
    else if (kind == "poskey") track.positionKeys.push_back(key);
    else if (kind == "targetkey") track.targetKeys.push_back(key);
    else return Fail(in, line, "unknown line");
  }
  return WriteFile(out, WriteCameraSplineFile(name.c_str(), tracks));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "path") return WritePaths(argv[2], argv[3]) ? 0 : 1;
  if (argc == 4 && std::string(argv[1]) == "camera") return WriteCamera(argv[2], argv[3]) ? 0 : 1;
  std::fprintf(stderr, "usage: spline path DESCRIPTION OUT.spl\n       spline camera DESCRIPTION OUT\n");
  return 2;
}
