#pragma once
// The table of transform matrices that shaders take their constants from: 330 slots of a 4x4
// row-major matrix (row vectors: a point times the matrix), each with a change counter. Derived
// slots are rebuilt on demand, only when a slot they are built from has changed.

#include <cstdint>

// shared maths helper: replace with Quor/Utils when merged
struct SMat44 {
  float m[16];
};

static constexpr int kMatrixSlotCount = 330;
enum EMatrixSlot : int {
  kSlotWorld = 64,
  kSlotInverseWorld = 65,
  kSlotView = 66,
  kSlotProjection = 67,
  kSlotWorldView = 68,
  kSlotViewProjection = 69,
  kSlotTextureMatrix = 70,
  kSlotNormalWorldView = 71,
  kSlotWorldViewProjection = 136,
};

struct SMatrixTable {
  SMat44 slots[kMatrixSlotCount];
  uint32_t counters[kMatrixSlotCount];
};

SMatrixTable& GetMatrixTable();
const SMat44& GetIdentityMatrix();

// Every counter 1, every slot the identity, the texture matrix mapping clip space to texture
// space, the frame counter 0.
void ResetTransforms();

// Writes one of the free slots (the index's low byte); returns that slot's index.
int SetMatrix(int index, const SMat44& matrix);
void SetWorld(const SMat44& matrix);
void SetView(const SMat44& matrix);
void SetProjection(const SMat44& matrix);
// Slot 70: rows (a, 0, 0, 0), (0, b, 0, 0), (0, 0, 0, 0), (c, d, 0, 1).
void SetTextureMatrix(float a, float b, float c, float d);

const SMat44* GetWorld(uint32_t* counter);
const SMat44* GetInverseWorld();
const SMat44* GetWorldView();
const SMat44* GetViewProjection();
const SMat44* GetWorldViewProjection();
const SMat44* GetNormalWorldView();
