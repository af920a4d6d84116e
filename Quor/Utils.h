#pragma once
// The engine's shared value types and small maths library. Matrices are row-major for row
// vectors: a point p is transformed as p times M, and m12, m13, m14 hold the translation.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

struct Vector2 {
  float x = 0, y = 0;
};

struct Vector3 {
  float x = 0, y = 0, z = 0;
};

struct Vector4 {
  float x = 0, y = 0, z = 0, w = 0;
};

struct Quaternion {
  float x = 0, y = 0, z = 0, w = 1;
};

// Sixteen floats, row by row.
struct Matrix4 {
  float m[16] = {};
  float& operator[](int i) { return m[i]; }
  float operator[](int i) const { return m[i]; }
};

// A 2 x 2 matrix, row by row.
struct Matrix2 {
  float m[4] = {};
};

// A colour word 0xAARRGGBB.
using RGBA = uint32_t;

// ---- matrices (each writes the caller's result) ----
void MatrixMultiply(Matrix4* out, const Matrix4& a, const Matrix4& b);
void MatrixTranspose(Matrix4* out, const Matrix4& m);
void MatrixRotationAxis(Matrix4* out, const Vector3& unitAxis, float angle);
void QuaternionToMatrix(Matrix4* out, const Quaternion& q);
void MatrixScaling(Matrix4* out, float sx, float sy, float sz);
void MatrixScaleTranslation(Matrix4* out, float sx, float sy, float sz, float tx, float ty, float tz);
// One shared matrix, rewritten by every call.
const Matrix4& MatrixUniformScaleStatic(float s);
// The row's first three floats with w = 0 (row 3 is the translation); zero for a bad row.
Vector4 MatrixGetRow(const Matrix4& m, int row);
Matrix2 Matrix2DRotation(float angle);

// ---- vectors and quaternions ----
// Normalising leaves a vector (or quaternion) of length at most 0.0001 unchanged.
void Vector2Normalize(Vector2* v);
void Vector3Normalize(Vector3* v);
void QuaternionNormalize(Quaternion* q);
// Applying the result rotates by a first, then by b.
Quaternion QuaternionMultiply(const Quaternion& a, const Quaternion& b);
Vector4 QuaternionRotateVector(const Quaternion& q, const Vector4& v);
// Row vector times matrix, translation included; w becomes 0.
void TransformPoint(Vector4* p, const Matrix4& m);

// ---- other helpers ----
float FloatClamp(float value, float low, float high);
float FloatLerp(float a, float b, float t);
// n itself when 0 or a power of two, else the next power of two; fatal above 2^30.
uint32_t NextPowerOfTwo(uint32_t n);
// 1, 2, 4, ...; not 0.
bool IsPowerOfTwo(uint32_t n);
// A heap copy (release with free); null for null.
char* StrDup(const char* text);
uint32_t BitCount(uint32_t value);

// The engine's random generator: a linear congruential sequence of 15-bit values.
class CRandom {
 public:
  // Seeded from the time of day in seconds.
  CRandom();
  explicit CRandom(uint32_t seed) : m_state(seed) {}
  virtual ~CRandom() = default;
  // 0 to 32,767.
  virtual uint32_t Next();

 private:
  uint32_t m_state;
};

// A float from low to high, both ends included; low without drawing when low >= high.
float RandomFloatInRange(CRandom& generator, float low, float high);

// A growable array of plain records that grows by a fixed step.
template <class T>
class CDynArray {
  static_assert(std::is_trivially_copyable<T>::value, "records are moved as bytes");

 public:
  explicit CDynArray(uint32_t growStep = 16) : m_growStep(growStep ? growStep : 1) {}
  ~CDynArray() { Free(); }
  CDynArray(const CDynArray&) = delete;
  CDynArray& operator=(const CDynArray&) = delete;

  T& Add(const T& record) {
    if (m_count >= m_capacity) Reserve(m_capacity + m_growStep);
    m_data[m_count] = record;
    return m_data[m_count++];
  }

  void Reserve(uint32_t capacity) {
    if (capacity <= m_capacity) return;
    void* grown = std::realloc(m_data, sizeof(T) * capacity);
    if (!grown) throw std::bad_alloc();
    m_data = static_cast<T*>(grown);
    m_capacity = capacity;
  }

  // Empties the array and keeps its memory.
  void Clear() { m_count = 0; }
  // Empties the array and releases its memory.
  void Free() {
    std::free(m_data);
    m_data = nullptr;
    m_capacity = m_count = 0;
  }

  uint32_t GetCount() const { return m_count; }
  uint32_t GetCapacity() const { return m_capacity; }
  uint32_t GetGrowStep() const { return m_growStep; }
  T* GetData() { return m_data; }
  const T* GetData() const { return m_data; }
  T& operator[](uint32_t i) { return m_data[i]; }
  const T& operator[](uint32_t i) const { return m_data[i]; }
  T* begin() { return m_data; }
  T* end() { return m_data + m_count; }
  const T* begin() const { return m_data; }
  const T* end() const { return m_data + m_count; }

 private:
  uint32_t m_growStep;
  uint32_t m_capacity = 0;
  uint32_t m_count = 0;
  T* m_data = nullptr;
};
