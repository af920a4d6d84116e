#pragma once
// A vertex-animated mesh read from its own binary file. Every vertex position and every
// texture coordinate is either fixed or a sampled path over a normalised time 0..1; the
// mesh plays that time forwards or backwards, once or looping, re-evaluates its vertices
// at each step and can rebuild smooth vertex normals from its triangles.
//
// The file (little-endian): a name (zero-terminated, at most 254 characters); u32 version,
// and for version 104 a u32 frame rate; u32 sub-mesh count; per sub-mesh: u32 n and n
// skipped words; u32 P and P positions (x, y, z); u32 T and T texture coordinates (u, v);
// u32 S and S stored normals (x, y, z); u32 C and C corners (three u32, the first a
// position index; three corners make a triangle); per position a skipped u32, a key
// count k and k keys (x, y, z); per texture coordinate a skipped u32, k and k keys (u, v).

#include "Common/Utils/Spline/CSpline.h"
#include "Common/Utils/Spline/CSpline2D.h"
#include "Quor/Utils.h"

#include <cstdint>
#include <memory>
#include <vector>

constexpr uint32_t kDynaMeshVersionFrameRate = 104;

class CByteReader;

struct SDynaCorner {
  uint32_t position = 0;
  uint32_t second = 0;
  uint32_t third = 0;
};

struct SDynaSubMesh {
  struct SPosition {
    std::unique_ptr<CSpline> path;  // null when fixed
    Vector3 fixed;
  };
  struct STexCoord {
    std::unique_ptr<CSpline2D> path;
    Vector2 fixed;
  };

  std::vector<Vector3> storedNormals;
  std::vector<SPosition> positions;
  std::vector<STexCoord> texCoords;
  std::vector<SDynaCorner> corners;
  std::vector<Vector4> evaluatedPositions;  // w = 0
  std::vector<Vector4> normals;             // one per position
  std::vector<Vector2> evaluatedTexCoords;
  float time = 0;  // the mesh time at the last evaluation

  void EvaluateVertices();
  void RebuildNormals();
};

class CDynaMesh {
 public:
  // Receives each vector just read (3 floats for positions and normals, 2 for texture
  // coordinates) and may rewrite it in place, for example to swap axes.
  using VectorFn = void (*)(float* vector);

  static constexpr int kNormalsRebuilt = 1;

  CDynaMesh() = default;
  virtual ~CDynaMesh() { Clear(); }
  CDynaMesh(const CDynaMesh&) = delete;
  CDynaMesh& operator=(const CDynaMesh&) = delete;

  virtual void Clear();
  // False (reported with the file's name) when the file is missing or damaged; the mesh
  // is then empty.
  virtual bool Load(const char* fileName, VectorFn positionFn = nullptr, VectorFn texCoordFn = nullptr,
                    VectorFn normalFn = nullptr);
  // Starts from the range's end when playing in reverse, else from its start.
  virtual void Play();
  virtual void Update(float dt);
  virtual void Evaluate();
  virtual void UpdateNormals();

  bool LoadFromBytes(const char* fileName, CByteReader& reader, VectorFn positionFn = nullptr,
                     VectorFn texCoordFn = nullptr, VectorFn normalFn = nullptr);

  void SetRate(float rate) { m_rate = rate; }
  void SetRange(float start, float end) {
    m_start = start;
    m_end = end;
  }
  void SetLooping(bool looping) { m_looping = looping; }
  void SetReverse(bool reverse) { m_reverse = reverse; }
  void SetNormalsMode(int mode) { m_normalsMode = mode; }
  void SetTime(float time) { m_time = time; }

  uint32_t GetSubMeshCount() const { return static_cast<uint32_t>(m_subMeshes.size()); }
  const SDynaSubMesh& GetSubMesh(uint32_t i) const { return *m_subMeshes[i]; }
  float GetTime() const { return m_time; }
  float GetSpeed() const { return m_speed; }
  float GetInverseSpeed() const { return m_inverseSpeed; }
  uint32_t GetKeyCount() const { return m_keyCount; }
  uint32_t GetFrameRate() const { return m_frameRate; }
  bool IsPlaying() const { return m_playing; }
  const Vector4& GetBoundsMin() const { return m_boundsMin; }
  const Vector4& GetBoundsMax() const { return m_boundsMax; }

 private:
  struct SCallbacks {
    VectorFn position, texCoord, normal;
  };
  bool ReadSubMesh(const char* fileName, CByteReader& reader, const SCallbacks& callbacks, SDynaSubMesh* mesh);
  bool ReadPositionKeys(const char* fileName, CByteReader& reader, VectorFn positionFn, SDynaSubMesh* mesh);
  bool ReadTexCoordKeys(const char* fileName, CByteReader& reader, VectorFn texCoordFn, SDynaSubMesh* mesh);
  Vector3 ReadPosition(CByteReader& reader, VectorFn positionFn);
  void ResetLoadedState();
  void NoteKeyCount(uint32_t keys);

  Vector4 m_boundsMin{1000000.0f, 1000000.0f, 1000000.0f, 0};
  Vector4 m_boundsMax{-1000000.0f, -1000000.0f, -1000000.0f, 0};
  std::vector<std::unique_ptr<SDynaSubMesh>> m_subMeshes;
  int m_normalsMode = kNormalsRebuilt;
  uint32_t m_keyCount = 0;
  uint32_t m_frameRate = 0;
  float m_speed = 1.0f;
  float m_time = 0;
  float m_rate = 1.0f;
  float m_start = 0;
  float m_end = 1.0f;
  bool m_looping = false;
  bool m_reverse = false;
  bool m_playing = false;
  float m_inverseSpeed = 1.0f;
};

// A mesh as its file stores it, for the writer. An empty key list leaves the vertex fixed.
struct SDynaMeshDesc {
  struct SSubMesh {
    std::vector<Vector3> positions;
    std::vector<Vector2> texCoords;
    std::vector<Vector3> storedNormals;
    std::vector<SDynaCorner> corners;
    std::vector<std::vector<Vector3>> positionKeys;  // one list per position (or none)
    std::vector<std::vector<Vector2>> texCoordKeys;  // one list per texture coordinate (or none)
  };
  const char* name = "";
  uint32_t version = kDynaMeshVersionFrameRate;
  uint32_t frameRate = 30;
  std::vector<SSubMesh> subMeshes;
};

std::vector<uint8_t> WriteDynaMeshFile(const SDynaMeshDesc& mesh);
