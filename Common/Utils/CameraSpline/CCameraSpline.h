#pragma once
// Camera animation files (versions 101 and 102): a name, then tracks. A track holds a
// camera's field of view, a point, an up vector, for a target-kind track a fixed target
// point, and two key lists. The keys of the first list are the camera's positions and
// those of the second its target points (x, y, z in a key's first three values), spaced
// evenly: key i of either list sits at time i x step, step = length / max(list sizes).
// Between keys the camera follows a Catmull-Rom curve; before the first key it holds the
// first, after the last the last.

#include "Common/Utils/Spline/CSpline.h"
#include "Quor/Utils.h"

#include <cstdint>
#include <memory>
#include <vector>

class CByteReader;

// A key as the file stores it: eight values; the fifth field stays 0.
struct SCameraKey {
  float values[4] = {};
  uint32_t unused = 0;
  float extra[4] = {};
};

class CCameraTrack {
 public:
  static constexpr uint32_t kKindWithTarget = 0;

  // The camera position at time t: the position keys' curve, or the track's point when
  // it has no position keys.
  Vector4 EvaluatePosition(float t) const;
  // The point the camera looks at: the target keys' curve, else the fixed target of a
  // target-kind track. False (and the position) for a track with neither.
  bool EvaluateTarget(float t, Vector4* target) const;

  char name[50] = {};
  uint32_t kind = 0;
  float parameters[2] = {};
  float fieldOfView = 0;  // radians
  Vector4 point;
  float pointExtra = 0;
  Vector4 target;  // target-kind tracks only
  Vector4 up;      // second column of the stored rotation, w = 0
  std::vector<SCameraKey> positionKeys;
  std::vector<SCameraKey> targetKeys;
  float length = 0;
  float step = 0;

 private:
  friend class CCameraSpline;
  void BuildPaths();

  CSpline m_positionPath;
  CSpline m_targetPath;
};

class CCameraSpline {
 public:
  static constexpr uint32_t kVersion = 102;
  // Tracks of this older version store a horizontal field of view alone.
  static constexpr uint32_t kVersionHorizontalFov = 101;

  // Reads a camera animation file. A wrong version or a damaged file is fatal; a missing
  // file is reported and leaves the tracks empty.
  void Load(const char* fileName);
  void LoadFromBytes(const char* fileName, CByteReader& reader);
  void Clear();

  uint32_t GetTrackCount() const { return static_cast<uint32_t>(m_tracks.size()); }
  const CCameraTrack& GetTrack(uint32_t i) const { return *m_tracks[i]; }
  // The last track's length.
  float GetLength() const { return m_length; }
  const char* GetName() const { return m_name; }

 private:
  void ReadTrack(const char* fileName, uint32_t version, CByteReader& reader, CCameraTrack* track);

  char m_name[255] = {};
  std::vector<std::unique_ptr<CCameraTrack>> m_tracks;
  float m_length = 0;
};

// A track as the file stores it, for the writer (version 102).
struct SCameraTrackDesc {
  uint32_t length = 0;
  const char* name = "";
  uint32_t kind = CCameraTrack::kKindWithTarget;
  float parameters[2] = {};
  float fieldOfView = 0;
  Vector4 point;
  float pointExtra = 0;
  Vector4 target;
  Quaternion rotation;
  std::vector<SCameraKey> positionKeys;
  std::vector<SCameraKey> targetKeys;
};

std::vector<uint8_t> WriteCameraSplineFile(const char* name, const std::vector<SCameraTrackDesc>& tracks);
