#include "Quor/Utils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr float kHalfPi = 1.57079632679f;
constexpr float kTolerance = 1e-5f;

void ExpectMatrixNear(const Matrix4& actual, const float (&expected)[16]) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], kTolerance) << "m" << i;
}

void ExpectVectorNear(const Vector4& v, float x, float y, float z, float w) {
  EXPECT_NEAR(v.x, x, kTolerance);
  EXPECT_NEAR(v.y, y, kTolerance);
  EXPECT_NEAR(v.z, z, kTolerance);
  EXPECT_NEAR(v.w, w, kTolerance);
}

Matrix4 MakeMatrix(const float (&values)[16]) {
  Matrix4 m;
  for (int i = 0; i < 16; ++i) m[i] = values[i];
  return m;
}

TEST(MatrixTest, MultiplyIsRowTimesColumnAndMayOverwriteAnInput) {
  Matrix4 a = MakeMatrix({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  const Matrix4 b = MakeMatrix({2, 0, 0, 0, 0, 1, 1, 0, 1, 0, 3, 0, 5, 6, 7, 1});
  // Row 0 column 0: 1*2 + 2*0 + 3*1 + 4*5 = 25; row 2 column 1: 10*1 + 12*6 = 82.
  const float expected[16] = {25, 26, 39, 4, 57, 54, 83, 8, 89, 82, 127, 12, 121, 110, 171, 16};
  Matrix4 out;
  MatrixMultiply(&out, a, b);
  ExpectMatrixNear(out, expected);
  MatrixMultiply(&a, a, b);
  ExpectMatrixNear(a, expected);

  Matrix4 t;
  MatrixTranspose(&t, b);
  ExpectMatrixNear(t, {2, 0, 1, 5, 0, 1, 0, 6, 0, 1, 3, 7, 0, 0, 0, 1});
}

TEST(MatrixTest, BuildersFollowTheirTables) {
  Matrix4 m;
  MatrixScaleTranslation(&m, 2, 3, 4, 10, 20, 30);
  ExpectMatrixNear(m, {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 10, 20, 30, 1});
  ExpectVectorNear(MatrixGetRow(m, 3), 10, 20, 30, 0);
  ExpectVectorNear(MatrixGetRow(m, 1), 0, 3, 0, 0);
  ExpectVectorNear(MatrixGetRow(m, 4), 0, 0, 0, 0);

  Vector4 p{1, 1, 1, 5};
  TransformPoint(&p, m);
  ExpectVectorNear(p, 12, 23, 34, 0);

  MatrixScaling(&m, 2, 3, 4);
  ExpectMatrixNear(m, {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1});
  ExpectMatrixNear(MatrixUniformScaleStatic(5), {5, 0, 0, 0, 0, 5, 0, 0, 0, 0, 5, 0, 0, 0, 0, 1});

  // A quarter turn about x: c = 0, s = 1, t = 1; row 1 = (0, c, -s), row 2 = (0, s, c).
  MatrixRotationAxis(&m, Vector3{1, 0, 0}, kHalfPi);
  ExpectMatrixNear(m, {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1});
  // About z: row 0 = (c, -s, 0), row 1 = (s, c, 0).
  MatrixRotationAxis(&m, Vector3{0, 0, 1}, kHalfPi);
  ExpectMatrixNear(m, {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});

  Matrix2 r = Matrix2DRotation(kHalfPi);
  EXPECT_NEAR(r.m[0], 0, kTolerance);
  EXPECT_NEAR(r.m[1], 1, kTolerance);
  EXPECT_NEAR(r.m[2], -1, kTolerance);
  EXPECT_NEAR(r.m[3], 0, kTolerance);
}

TEST(QuaternionTest, MultiplyIsTheHamiltonProductBTimesA) {
  // b a with a = (1, 2, 3, 4), b = (5, 6, 7, 8): w = 8*4 - (5+12+21) = -6;
  // xyz = 8 (1,2,3) + 4 (5,6,7) + (6*3 - 7*2, 7*1 - 5*3, 5*2 - 6*1) = (32, 32, 56).
  Quaternion q = QuaternionMultiply(Quaternion{1, 2, 3, 4}, Quaternion{5, 6, 7, 8});
  EXPECT_FLOAT_EQ(q.x, 32);
  EXPECT_FLOAT_EQ(q.y, 32);
  EXPECT_FLOAT_EQ(q.z, 56);
  EXPECT_FLOAT_EQ(q.w, -6);
}

TEST(QuaternionTest, RotationsTurnVectorsTheSameWayAsTheirMatrices) {
  const float h = std::sqrt(0.5f);
  const Quaternion aboutZ{0, 0, h, h};
  const Quaternion aboutX{h, 0, 0, h};

  ExpectVectorNear(QuaternionRotateVector(aboutZ, Vector4{1, 0, 0, 7}), 0, 1, 0, 0);
  // The product turns by its first factor first: x -> y about z, then y -> z about x.
  ExpectVectorNear(QuaternionRotateVector(QuaternionMultiply(aboutZ, aboutX), Vector4{1, 0, 0, 0}), 0, 0, 1, 0);

  Matrix4 m;
  QuaternionToMatrix(&m, aboutZ);
  ExpectMatrixNear(m, {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
  Vector4 p{1, 0, 0, 1};
  TransformPoint(&p, m);
  ExpectVectorNear(p, 0, 1, 0, 0);

  // A quaternion that is not of unit length gives a scaled rotation.
  QuaternionToMatrix(&m, Quaternion{0, 0, 0, 2});
  ExpectMatrixNear(m, {4, 0, 0, 0, 0, 4, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1});

  Quaternion q{0, 0, 3, 4};
  QuaternionNormalize(&q);
  EXPECT_FLOAT_EQ(q.z, 0.6f);
  EXPECT_FLOAT_EQ(q.w, 0.8f);
}

TEST(UtilsTest, ClampLerpAndNormalize) {
  const struct {
    float value, low, high, expected;
  } clamps[] = {{5, 0, 1, 1}, {-1, 0, 1, 0}, {0.5f, 0, 1, 0.5f}, {0.5f, 1, 0, 1}, {2, 1, 0, 0}};
  for (const auto& c : clamps) {
    EXPECT_EQ(FloatClamp(c.value, c.low, c.high), c.expected) << c.value << " in " << c.low << ".." << c.high;
  }
  EXPECT_FLOAT_EQ(FloatLerp(2, 4, 0.25f), 2.5f);

  Vector2 tiny{0.00005f, 0};
  Vector2Normalize(&tiny);
  EXPECT_FLOAT_EQ(tiny.x, 0.00005f);
  Vector2 v{3, 4};
  Vector2Normalize(&v);
  EXPECT_FLOAT_EQ(v.x, 0.6f);
  EXPECT_FLOAT_EQ(v.y, 0.8f);
  Vector3 w{0, 0, -2};
  Vector3Normalize(&w);
  EXPECT_FLOAT_EQ(w.z, -1);
}

TEST(UtilsTest, NextPowerOfTwo) {
  const struct {
    uint32_t n, expected;
  } cases[] = {{0, 0}, {1, 1}, {3, 4}, {64, 64}, {65, 128}, {(1u << 30) - 1, 1u << 30}, {1u << 31, 1u << 31}};
  for (const auto& c : cases) EXPECT_EQ(NextPowerOfTwo(c.n), c.expected) << c.n;
}

TEST(UtilsDeathTest, NextPowerOfTwoAbove2To30IsFatal) {
  EXPECT_EXIT(NextPowerOfTwo((1u << 30) + 1), ::testing::ExitedWithCode(3),
              "Quor/Utils\\([0-9]+\\): Incoming number is greater than 0x7FFFFFFF");
}

TEST(UtilsTest, StrDupAndBitCount) {
  char* copy = StrDup("Dot.mpt");
  EXPECT_STREQ(copy, "Dot.mpt");
  std::free(copy);
  EXPECT_EQ(StrDup(nullptr), nullptr);

  const struct {
    uint32_t value, bits;
  } cases[] = {{0, 0}, {0xA5, 4}, {0x80000001u, 2}, {0xFFFFFFFFu, 32}, {0x00F0F000u, 8}};
  for (const auto& c : cases) EXPECT_EQ(BitCount(c.value), c.bits) << std::hex << c.value;
}

TEST(CRandomTest, SequenceFromAFixedSeed) {
  // state 0 -> 2531011 -> (2531011 >> 16) & 0x7FFF = 38, and so on.
  CRandom generator(0);
  const uint32_t expected[] = {38, 7719, 21238, 2437, 8855};
  for (uint32_t value : expected) EXPECT_EQ(generator.Next(), value);

  CRandom a(12345), b(12345);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(a.Next(), b.Next());
}

// A generator that always draws the same value, to pin the ends of the range.
class CFixedRandom : public CRandom {
 public:
  explicit CFixedRandom(uint32_t value) : CRandom(0), m_value(value) {}
  uint32_t Next() override { return m_value; }

 private:
  uint32_t m_value;
};

TEST(CRandomTest, RandomFloatInRange) {
  CRandom generator(0);
  EXPECT_EQ(RandomFloatInRange(generator, 2, 2), 2);
  EXPECT_EQ(RandomFloatInRange(generator, 3, 1), 3);
  EXPECT_EQ(generator.Next(), 38u);  // no draw was taken

  CFixedRandom lowest(0), highest(0xFFFF7FFF);
  EXPECT_FLOAT_EQ(RandomFloatInRange(lowest, 1, 5), 1);
  EXPECT_FLOAT_EQ(RandomFloatInRange(highest, 1, 5), 5);

  CRandom seeded(7);
  for (int i = 0; i < 1000; ++i) {
    float f = RandomFloatInRange(seeded, -1, 1);
    ASSERT_GE(f, -1);
    ASSERT_LE(f, 1);
  }
}

struct SRecord {
  float x, y, z;
  uint32_t colour;
  float u, v;
};

TEST(CDynArrayTest, GrowsByItsStepAndKeepsRecords) {
  CDynArray<SRecord> vertices(4);
  for (int i = 0; i < 5; ++i) {
    SRecord& stored = vertices.Add(SRecord{float(i), 0, 0, 0xFF000000u + i, 0, 0});
    EXPECT_EQ(&stored, &vertices[i]);
  }
  EXPECT_EQ(vertices.GetCount(), 5u);
  EXPECT_EQ(vertices.GetCapacity(), 8u);
  EXPECT_EQ(vertices[4].colour, 0xFF000004u);
  EXPECT_EQ(vertices[0].x, 0);

  vertices.Clear();
  EXPECT_EQ(vertices.GetCapacity(), 8u);

  CDynArray<int> noStep(0);  // a zero step still grows
  for (int i = 0; i < 3; ++i) noStep.Add(i);
  EXPECT_EQ(noStep.GetCount(), 3u);
  EXPECT_EQ(noStep[2], 2);
}

}  // namespace
