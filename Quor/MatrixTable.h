#pragma once
// The table of transform matrices that shaders take their constants from: 330 slots of a 4x4
// row-major matrix (row vectors: a point times the matrix), each with a change counter. Derived
// slots are rebuilt on demand, only when a slot they are built from has changed.

#include "Quor/Utils.h"

#include <cstdint>


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
  Matrix4 slots[kMatrixSlotCount];
  uint32_t counters[kMatrixSlotCount];
};

SMatrixTable& GetMatrixTable();
const Matrix4& GetIdentityMatrix();

// Every counter 1, every slot the identity, the texture matrix mapping clip space to texture
// space, the frame counter 0.
void ResetTransforms();

// Writes one of the free slots (the index's low byte); returns that slot's index.
int SetMatrix(int index, const Matrix4& matrix);
void SetWorld(const Matrix4& matrix);
void SetView(const Matrix4& matrix);
void SetProjection(const Matrix4& matrix);
// Slot 70: rows (a, 0, 0, 0), (0, b, 0, 0), (0, 0, 0, 0), (c, d, 0, 1).
void SetTextureMatrix(float a, float b, float c, float d);

const Matrix4* GetWorld(uint32_t* counter);
const Matrix4* GetInverseWorld();
const Matrix4* GetWorldView();
const Matrix4* GetViewProjection();
const Matrix4* GetWorldViewProjection();
const Matrix4* GetNormalWorldView();
