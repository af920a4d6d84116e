#include "Common/Utils/CameraSpline/CCameraSpline.h"

#include "Quor/CByteReader.h"
#include "Quor/ReportError.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace {

constexpr const char* kCCameraSplineSource = "Common/Utils/CameraSpline/CCameraSpline";
constexpr uint32_t kKeyBytes = 32;

void ReadPoint(CByteReader& reader, Vector4* point) {
  point->x = reader.F32("point");
  point->y = reader.F32("point");
  point->z = reader.F32("point");
  point->w = 0;
}

bool ReadKeys(CByteReader& reader, std::vector<SCameraKey>* keys) {
  const uint32_t count = reader.U32("key count");
  if (!reader.HasRoomFor(count, kKeyBytes, "keys")) return false;
  keys->resize(count);
  for (SCameraKey& key : *keys) {
    reader.Floats(key.values, std::size(key.values), "key");
    reader.Floats(key.extra, std::size(key.extra), "key");
  }
  return true;
}

void BuildKeyPath(const std::vector<SCameraKey>& keys, float step, CSpline* path) {
  std::vector<Vector4> points;
  points.reserve(keys.size());
  for (const SCameraKey& key : keys) points.push_back(Vector4{key.values[0], key.values[1], key.values[2], 0});
  float end = keys.empty() ? 0.0f : step * static_cast<float>(keys.size() - 1);
  path->SetKeys(points.data(), static_cast<uint32_t>(points.size()), 0.0f, end);
}

}  // namespace

void CCameraTrack::BuildPaths() {
  size_t keyCount = std::max(positionKeys.size(), targetKeys.size());
  // A track without keys has no step; dividing by its zero key count would give infinity.
  step = keyCount ? length / static_cast<float>(keyCount) : 0.0f;
  BuildKeyPath(positionKeys, step, &m_positionPath);
  BuildKeyPath(targetKeys, step, &m_targetPath);
}

Vector4 CCameraTrack::EvaluatePosition(float t) const {
  return positionKeys.empty() ? point : m_positionPath.Evaluate(t);
}

bool CCameraTrack::EvaluateTarget(float t, Vector4* result) const {
  if (!targetKeys.empty()) {
    *result = m_targetPath.Evaluate(t);
    return true;
  }
  if (kind == kKindWithTarget) {
    *result = target;
    return true;
  }
  *result = EvaluatePosition(t);
  return false;
}

void CCameraSpline::Clear() {
  m_tracks.clear();
  m_length = 0;
}

void CCameraSpline::Load(const char* fileName) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(fileName, &bytes)) {
    HM_REPORT(kCCameraSplineSource, "Camera animation file \"%s\" not found", fileName);
    Clear();
    return;
  }
  CByteReader reader(bytes);
  LoadFromBytes(fileName, reader);
}

void CCameraSpline::LoadFromBytes(const char* fileName, CByteReader& reader) {
  char name[sizeof(m_name)] = {};
  reader.String(name, sizeof(name), "name");
  const uint32_t version = reader.U32("version");
  if (reader.Failed())
    HM_FATAL(kCCameraSplineSource, "Camera animation file \"%s\" is damaged: the header is cut short", fileName);
  if (version != kVersionHorizontalFov && version != kVersion)
    HM_FATAL(kCCameraSplineSource,
             "Camera animation file \"%s\": Incorrect camera animation version, theirs %d - ours %d", fileName,
             static_cast<int>(version), static_cast<int>(kVersion));
  Clear();
  std::memcpy(m_name, name, sizeof(m_name));
  const uint32_t trackCount = reader.U32("track count");
  for (uint32_t i = 0; i < trackCount; ++i) {
    if (reader.AtEnd())
      HM_FATAL(kCCameraSplineSource, "Camera animation file \"%s\" is damaged: %u tracks, but only %u in the file",
               fileName, trackCount, i);
    auto track = std::make_unique<CCameraTrack>();
    ReadTrack(fileName, version, reader, track.get());
    m_tracks.push_back(std::move(track));
  }
}

void CCameraSpline::ReadTrack(const char* fileName, uint32_t version, CByteReader& reader, CCameraTrack* track) {
  track->length = static_cast<float>(reader.U32("track length"));
  m_length = track->length;
  reader.String(track->name, sizeof(track->name), "track name");
  track->kind = reader.U32("track kind");
  reader.Floats(track->parameters, 2, "track parameters");
  if (version == kVersionHorizontalFov) {
    const float horizontal = reader.F32("field of view");
    // The stored angle is horizontal; the camera takes the angle of a 4:3 view's height.
    track->fieldOfView = 2.0f * std::atan(std::tan(horizontal / 2.0f) * 3.0f * 0.25f);
  } else {
    reader.Skip(4, "field of view");
    track->fieldOfView = reader.F32("field of view");
  }
  ReadPoint(reader, &track->point);
  track->pointExtra = reader.F32("point");
  if (track->kind == CCameraTrack::kKindWithTarget) ReadPoint(reader, &track->target);
  Quaternion rotation;
  rotation.x = reader.F32("rotation");
  rotation.y = reader.F32("rotation");
  rotation.z = reader.F32("rotation");
  rotation.w = reader.F32("rotation");
  Matrix4 matrix;
  QuaternionToMatrix(&matrix, rotation);
  track->up = Vector4{matrix[1], matrix[5], matrix[9], 0};
  if (reader.Failed() || !ReadKeys(reader, &track->positionKeys) || !ReadKeys(reader, &track->targetKeys))
    HM_FATAL(kCCameraSplineSource, "Camera animation file \"%s\" is damaged: track \"%s\" is cut short", fileName,
             track->name);
  track->BuildPaths();
}

std::vector<uint8_t> WriteCameraSplineFile(const char* name, const std::vector<SCameraTrackDesc>& tracks) {
  CByteWriter out;
  auto writePoint = [&out](const Vector4& p) {
    out.WriteF32(p.x);
    out.WriteF32(p.y);
    out.WriteF32(p.z);
  };
  auto writeKeys = [&out](const std::vector<SCameraKey>& keys) {
    out.WriteU32(static_cast<uint32_t>(keys.size()));
    for (const SCameraKey& key : keys) {
      for (float value : key.values) out.WriteF32(value);
      for (float value : key.extra) out.WriteF32(value);
    }
  };
  out.WriteString(name);
  out.WriteU32(CCameraSpline::kVersion);
  out.WriteU32(static_cast<uint32_t>(tracks.size()));
  for (const SCameraTrackDesc& track : tracks) {
    out.WriteU32(track.length);
    out.WriteString(track.name);
    out.WriteU32(track.kind);
    out.WriteF32(track.parameters[0]);
    out.WriteF32(track.parameters[1]);
    out.WriteF32(0);  // the unused first angle of a version-102 track
    out.WriteF32(track.fieldOfView);
    writePoint(track.point);
    out.WriteF32(track.pointExtra);
    if (track.kind == CCameraTrack::kKindWithTarget) writePoint(track.target);
    out.WriteF32(track.rotation.x);
    out.WriteF32(track.rotation.y);
    out.WriteF32(track.rotation.z);
    out.WriteF32(track.rotation.w);
    writeKeys(track.positionKeys);
    writeKeys(track.targetKeys);
  }
  return std::move(out.GetBytes());
}
