#include "Quor/MatrixTable.h"

#include "Quor/Engine.h"

#include <cmath>

namespace {

SMatrixTable g_table;

// The source counters each derived slot was last built from.
struct SDerivedSlot {
  uint32_t seen[2] = {0, 0};
};
SDerivedSlot g_inverseWorld, g_worldView, g_viewProjection, g_normalWorldView,
    g_worldViewProjection;

Matrix4 Multiply(const Matrix4& a, const Matrix4& b) {
  Matrix4 result;
  MatrixMultiply(&result, a, b);
  return result;
}

Matrix4 MakeIdentity() {
  Matrix4 identity{};
  for (int i = 0; i < 4; ++i) identity.m[i * 5] = 1.0f;
  return identity;
}

void Write(int slot, const Matrix4& matrix) {
  g_table.slots[slot] = matrix;
  ++g_table.counters[slot];
}

// True (and remembers the counters) when a source moved since the last build.
bool NeedsRebuild(SDerivedSlot& derived, int firstSource, int secondSource) {
  const uint32_t first = g_table.counters[firstSource];
  const uint32_t second = secondSource >= 0 ? g_table.counters[secondSource] : 0;
  if (derived.seen[0] == first && derived.seen[1] == second) return false;
  derived.seen[0] = first;
  derived.seen[1] = second;
  return true;
}

// Valid for a rigid world (rotation and translation): the transposed rotation undoes the
// rotation after the translation is taken back.
Matrix4 InverseOfRigid(const Matrix4& world) {
  Matrix4 transposed{};
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      transposed.m[row * 4 + column] = world.m[column * 4 + row];
    }
  }
  for (int row = 0; row < 4; ++row) transposed.m[row * 4 + 3] = 0.0f;
  Matrix4 translation = MakeIdentity();
  translation.m[12] = -world.m[12];
  translation.m[13] = -world.m[13];
  translation.m[14] = -world.m[14];
  return Multiply(translation, transposed);
}

Matrix4 NormalisedRotation(const Matrix4& matrix) {
  Matrix4 result{};
  for (int row = 0; row < 3; ++row) {
    const float* r = &matrix.m[row * 4];
    const float length = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    // A degenerate row stays zero rather than turning into NaNs.
    const float scale = length > 0.0f ? 1.0f / length : 0.0f;
    for (int column = 0; column < 3; ++column) result.m[row * 4 + column] = r[column] * scale;
  }
  result.m[15] = 1.0f;
  return result;
}

}  // namespace

SMatrixTable& GetMatrixTable() { return g_table; }

const Matrix4& GetIdentityMatrix() {
  static const Matrix4 identity = MakeIdentity();
  return identity;
}

void ResetTransforms() {
  for (int slot = 0; slot < kMatrixSlotCount; ++slot) {
    g_table.slots[slot] = GetIdentityMatrix();
    g_table.counters[slot] = 1;
  }
  g_inverseWorld = g_worldView = g_viewProjection = g_normalWorldView = g_worldViewProjection =
      SDerivedSlot();
  SetTextureMatrix(0.5f, -0.5f, 0.5f, 0.5f);
  g_table.counters[kSlotTextureMatrix] = 1;
  ResetFrameCounter();
}

int SetMatrix(int index, const Matrix4& matrix) {
  const int slot = index & 0xFF;
  Write(slot, matrix);
  return slot;
}

void SetWorld(const Matrix4& matrix) { Write(kSlotWorld, matrix); }
void SetView(const Matrix4& matrix) { Write(kSlotView, matrix); }
void SetProjection(const Matrix4& matrix) { Write(kSlotProjection, matrix); }

void SetTextureMatrix(float a, float b, float c, float d) {
  Matrix4 matrix{};
  matrix.m[0] = a;
  matrix.m[5] = b;
  matrix.m[12] = c;
  matrix.m[13] = d;
  matrix.m[15] = 1.0f;
  Write(kSlotTextureMatrix, matrix);
}

const Matrix4* GetWorld(uint32_t* counter) {
  if (counter) *counter = g_table.counters[kSlotWorld];
  return &g_table.slots[kSlotWorld];
}

const Matrix4* GetInverseWorld() {
  if (NeedsRebuild(g_inverseWorld, kSlotWorld, -1)) {
    Write(kSlotInverseWorld, InverseOfRigid(g_table.slots[kSlotWorld]));
  }
  return &g_table.slots[kSlotInverseWorld];
}

const Matrix4* GetWorldView() {
  if (NeedsRebuild(g_worldView, kSlotWorld, kSlotView)) {
    Write(kSlotWorldView, Multiply(g_table.slots[kSlotWorld], g_table.slots[kSlotView]));
  }
  return &g_table.slots[kSlotWorldView];
}

const Matrix4* GetViewProjection() {
  if (NeedsRebuild(g_viewProjection, kSlotView, kSlotProjection)) {
    Write(kSlotViewProjection,
          Multiply(g_table.slots[kSlotView], g_table.slots[kSlotProjection]));
  }
  return &g_table.slots[kSlotViewProjection];
}

const Matrix4* GetWorldViewProjection() {
  const Matrix4* worldView = GetWorldView();
  if (NeedsRebuild(g_worldViewProjection, kSlotWorldView, kSlotProjection)) {
    Write(kSlotWorldViewProjection, Multiply(*worldView, g_table.slots[kSlotProjection]));
  }
  return &g_table.slots[kSlotWorldViewProjection];
}

const Matrix4* GetNormalWorldView() {
  const Matrix4* worldView = GetWorldView();
  if (NeedsRebuild(g_normalWorldView, kSlotWorldView, kSlotTextureMatrix)) {
    Write(kSlotNormalWorldView, NormalisedRotation(*worldView));
  }
  return &g_table.slots[kSlotNormalWorldView];
}
