#include "Quor/Engine.h"
#include "Quor/MatrixTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

Matrix4 Translation(float x, float y, float z) {
  Matrix4 m = GetIdentityMatrix();
  m.m[12] = x;
  m.m[13] = y;
  m.m[14] = z;
  return m;
}

Matrix4 Scale(float s) {
  Matrix4 m = GetIdentityMatrix();
  m.m[0] = m.m[5] = m.m[10] = s;
  return m;
}

// A quarter turn about z followed by a move: a rigid transform.
Matrix4 TurnAndMove() {
  Matrix4 m{};
  m.m[1] = 1.0f;   // row 0: x goes to y
  m.m[4] = -1.0f;  // row 1: y goes to -x
  m.m[10] = 1.0f;
  m.m[12] = 3.0f;
  m.m[13] = 4.0f;
  m.m[14] = 5.0f;
  m.m[15] = 1.0f;
  return m;
}

// A point (row vector) times a matrix.
void Transform(const Matrix4& m, const float in[3], float out[3]) {
  for (int c = 0; c < 3; ++c) {
    out[c] = in[0] * m.m[c] + in[1] * m.m[4 + c] + in[2] * m.m[8 + c] + m.m[12 + c];
  }
}

class MatrixTableTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetTransforms(); }
  uint32_t Counter(int slot) { return GetMatrixTable().counters[slot]; }
};

TEST_F(MatrixTableTest, ResetGivesIdentitiesAndTheClipToTextureMatrix) {
  const SMatrixTable& table = GetMatrixTable();
  for (int slot : {0, 64, 136, 329}) {
    EXPECT_EQ(std::memcmp(&table.slots[slot], &GetIdentityMatrix(), sizeof(Matrix4)), 0) << slot;
    EXPECT_EQ(Counter(slot), 1u);
  }
  const float* t = table.slots[kSlotTextureMatrix].m;
  EXPECT_EQ(t[0], 0.5f);
  EXPECT_EQ(t[5], -0.5f);
  EXPECT_EQ(t[10], 0.0f);
  EXPECT_EQ(t[12], 0.5f);
  EXPECT_EQ(t[13], 0.5f);
  EXPECT_EQ(t[15], 1.0f);
  EXPECT_EQ(GetFrameCounter(), 0u);
}

TEST_F(MatrixTableTest, SetMatrixWritesTheLowByteSlot) {
  EXPECT_EQ(SetMatrix(300, Scale(2.0f)), 44);
  EXPECT_EQ(GetMatrixTable().slots[44].m[0], 2.0f);
  EXPECT_EQ(Counter(44), 2u);
}

TEST_F(MatrixTableTest, DerivedSlotsAreRebuiltOncePerChange) {
  GetWorldView();
  const uint32_t built = Counter(kSlotWorldView);
  SetWorld(Translation(1, 2, 3));
  SetWorld(Translation(1, 2, 3));
  EXPECT_EQ(Counter(kSlotWorld), 3u);
  GetWorldView();
  GetWorldView();
  EXPECT_EQ(Counter(kSlotWorldView), built + 1);
  // Reading the full product brings the world-view slot up to date on the way, once.
  SetView(Scale(2.0f));
  SetProjection(Translation(0, 0, 1));
  const Matrix4* wvp = GetWorldViewProjection();
  GetWorldViewProjection();
  EXPECT_EQ(Counter(kSlotWorldView), built + 2);
  EXPECT_EQ(Counter(kSlotWorldViewProjection), 2u);
  // (1, 2, 3) moved, doubled, then moved in z: the origin lands at (2, 4, 7).
  const float origin[3] = {0, 0, 0};
  float out[3];
  Transform(*wvp, origin, out);
  EXPECT_FLOAT_EQ(out[0], 2.0f);
  EXPECT_FLOAT_EQ(out[1], 4.0f);
  EXPECT_FLOAT_EQ(out[2], 7.0f);
  Transform(*GetViewProjection(), origin, out);
  EXPECT_FLOAT_EQ(out[2], 1.0f);
}

TEST_F(MatrixTableTest, InverseWorldUndoesARigidWorld) {
  SetWorld(TurnAndMove());
  const float point[3] = {1.0f, -2.0f, 0.5f};
  float moved[3], back[3];
  Transform(TurnAndMove(), point, moved);
  Transform(*GetInverseWorld(), moved, back);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(back[i], point[i], 1e-5f) << i;
  const float* inverse = GetInverseWorld()->m;
  for (int row = 0; row < 4; ++row) EXPECT_EQ(inverse[row * 4 + 3], 0.0f) << row;
}

TEST_F(MatrixTableTest, NormalWorldViewHasUnitRowsAndNoTranslation) {
  SetWorld(Scale(3.0f));
  SetView(TurnAndMove());
  const Matrix4* normal = GetNormalWorldView();
  for (int row = 0; row < 3; ++row) {
    const float* r = &normal->m[row * 4];
    EXPECT_NEAR(std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]), 1.0f, 1e-6f);
    EXPECT_EQ(r[3], 0.0f);
  }
  EXPECT_EQ(normal->m[12], 0.0f);
  EXPECT_EQ(normal->m[14], 0.0f);
  EXPECT_EQ(normal->m[15], 1.0f);
  const uint32_t built = Counter(kSlotNormalWorldView);
  SetTextureMatrix(1, 1, 0, 0);  // its counter is one of the sources
  GetNormalWorldView();
  EXPECT_EQ(Counter(kSlotNormalWorldView), built + 1);
}

}  // namespace
