#include "Quor/Utils.h"

#include "Quor/ReportError.h"
#include "Platform/PlatformTestDriverSeed.h"

#include <array>
#include <cmath>
#include <ctime>

namespace {

// Lengths at or below this are treated as zero: the vector is left as it is.
constexpr float kNormalizeEpsilon = 0.0001f;

Matrix4 DiagonalMatrix(float sx, float sy, float sz) {
  Matrix4 m;
  m[0] = sx;
  m[5] = sy;
  m[10] = sz;
  m[15] = 1.0f;
  return m;
}

constexpr std::array<uint8_t, 256> MakeByteBitCounts() {
  std::array<uint8_t, 256> counts{};
  for (int i = 1; i < 256; ++i) counts[i] = static_cast<uint8_t>(counts[i >> 1] + (i & 1));
  return counts;
}
constexpr std::array<uint8_t, 256> kByteBitCounts = MakeByteBitCounts();

}  // namespace

// ---- matrices ----

void MatrixMultiply(Matrix4* out, const Matrix4& a, const Matrix4& b) {
  // Built in a local so that out may also be one of the inputs.
  Matrix4 product;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      product[r * 4 + c] = a[r * 4 + 0] * b[0 * 4 + c] + a[r * 4 + 1] * b[1 * 4 + c] +
                           a[r * 4 + 2] * b[2 * 4 + c] + a[r * 4 + 3] * b[3 * 4 + c];
    }
  }
  *out = product;
}

void MatrixTranspose(Matrix4* out, const Matrix4& m) {
  Matrix4 transposed;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) transposed[r * 4 + c] = m[c * 4 + r];
  }
  *out = transposed;
}

void MatrixRotationAxis(Matrix4* out, const Vector3& unitAxis, float angle) {
  const float x = unitAxis.x, y = unitAxis.y, z = unitAxis.z;
  const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
  *out = Matrix4{{
      t * x * x + c,     t * x * y - s * z, t * x * z + s * y, 0.0f,
      t * x * y + s * z, t * y * y + c,     t * y * z - s * x, 0.0f,
      t * x * z - s * y, t * y * z + s * x, t * z * z + c,     0.0f,
      0.0f,              0.0f,              0.0f,              1.0f,
  }};
}

void QuaternionToMatrix(Matrix4* out, const Quaternion& q) {
  const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z, ww = q.w * q.w;
  const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
  const float xw = q.x * q.w, yw = q.y * q.w, zw = q.z * q.w;
  // The diagonal keeps the w² form: a quaternion not of unit length gives a scaled rotation.
  *out = Matrix4{{
      xx - yy - zz + ww, 2.0f * (xy + zw),  2.0f * (xz - yw),    0.0f,
      2.0f * (xy - zw),  yy - xx - zz + ww, 2.0f * (yz + xw),    0.0f,
      2.0f * (xz + yw),  2.0f * (yz - xw),  zz - (xx + yy) + ww, 0.0f,
      0.0f,              0.0f,              0.0f,                1.0f,
  }};
}

void MatrixScaling(Matrix4* out, float sx, float sy, float sz) { *out = DiagonalMatrix(sx, sy, sz); }

void MatrixScaleTranslation(Matrix4* out, float sx, float sy, float sz, float tx, float ty, float tz) {
  *out = DiagonalMatrix(sx, sy, sz);
  (*out)[12] = tx;
  (*out)[13] = ty;
  (*out)[14] = tz;
}

const Matrix4& MatrixUniformScaleStatic(float s) {
  static Matrix4 shared;
  shared = DiagonalMatrix(s, s, s);
  return shared;
}

Vector4 MatrixGetRow(const Matrix4& m, int row) {
  if (row < 0 || row > 3) return Vector4{};
  return Vector4{m[row * 4 + 0], m[row * 4 + 1], m[row * 4 + 2], 0.0f};
}

Matrix2 Matrix2DRotation(float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return Matrix2{{c, s, -s, c}};
}

// ---- vectors and quaternions ----

namespace {
// Scales the components to length 1 unless the length is too small to divide by.
template <size_t N>
void NormalizeComponents(float* const (&components)[N]) {
  float squares = 0.0f;
  for (float* c : components) squares += *c * *c;
  float length = std::sqrt(squares);
  if (length <= kNormalizeEpsilon) return;
  float inverse = 1.0f / length;
  for (float* c : components) *c *= inverse;
}
}  // namespace

void Vector2Normalize(Vector2* v) { NormalizeComponents({&v->x, &v->y}); }

void Vector3Normalize(Vector3* v) { NormalizeComponents({&v->x, &v->y, &v->z}); }

void QuaternionNormalize(Quaternion* q) { NormalizeComponents({&q->x, &q->y, &q->z, &q->w}); }

Quaternion QuaternionMultiply(const Quaternion& a, const Quaternion& b) {
  // The Hamilton product b times a.
  return Quaternion{
      a.x * b.w + b.x * a.w + a.z * b.y - a.y * b.z,
      a.y * b.w - a.z * b.x + b.y * a.w + b.z * a.x,
      a.z * b.w + a.y * b.x - b.y * a.x + b.z * a.w,
      a.w * b.w - a.x * b.x - a.y * b.y - b.z * a.z,
  };
}

Vector4 QuaternionRotateVector(const Quaternion& q, const Vector4& v) {
  const Quaternion p{v.x, v.y, v.z, 0.0f};
  const Quaternion conjugate{-q.x, -q.y, -q.z, q.w};
  const Quaternion r = QuaternionMultiply(conjugate, QuaternionMultiply(p, q));
  return Vector4{r.x, r.y, r.z, 0.0f};
}

void TransformPoint(Vector4* p, const Matrix4& m) {
  const float x = p->x, y = p->y, z = p->z;
  p->x = m[0] * x + m[4] * y + m[8] * z + m[12];
  p->y = m[1] * x + m[5] * y + m[9] * z + m[13];
  p->z = m[2] * x + m[6] * y + m[10] * z + m[14];
  p->w = 0.0f;
}

// ---- other helpers ----

float FloatClamp(float value, float low, float high) {
  if (value <= low) return low;
  if (value >= high) return high;
  return value;
}

float FloatLerp(float a, float b, float t) { return t * b + (1.0f - t) * a; }

bool IsPowerOfTwo(uint32_t n) { return n != 0 && (n & (n - 1)) == 0; }

uint32_t NextPowerOfTwo(uint32_t n) {
  if ((n & (n - 1)) == 0) return n;
  for (int k = 0; k <= 30; ++k) {
    uint32_t power = 1u << k;
    if (power >= n) return power;
  }
  HM_FATAL("Quor/Utils", "Incoming number is greater than 0x7FFFFFFF");
}

char* StrDup(const char* text) {
  if (!text) return nullptr;
  size_t size = std::strlen(text) + 1;
  char* copy = static_cast<char*>(std::malloc(size));
  if (!copy) throw std::bad_alloc();
  std::memcpy(copy, text, size);
  return copy;
}

uint32_t BitCount(uint32_t value) {
  return kByteBitCounts[value & 0xFF] + kByteBitCounts[value >> 8 & 0xFF] +
         kByteBitCounts[value >> 16 & 0xFF] + kByteBitCounts[value >> 24];
}

namespace {

// The time of day in seconds, or the test driver's seed when it gives one.
uint32_t TimeSeed() {
  uint32_t seed = 0;
  return PlatformTestDriverSeed(&seed) ? seed : static_cast<uint32_t>(std::time(nullptr));
}

}  // namespace

CRandom::CRandom() : m_state(TimeSeed()) {}

uint32_t CRandom::Next() {
  m_state = m_state * 214013u + 2531011u;
  return (m_state >> 16) & 0x7FFF;
}

float RandomFloatInRange(CRandom& generator, float low, float high) {
  if (!(low < high)) return low;
  uint32_t r = generator.Next() & 0x7FFF;
  return low + (high - low) * static_cast<float>(r) / 32767.0f;
}
