#pragma once
// Immediate 2-D drawing in virtual-screen coordinates (1792..2304 on both axes, y down):
// a list of sprite rectangles given as point pairs, a batch of coloured and textured
// triangles, and the vertex fillers of the framework's sprite nodes.
//
// Colour bytes given to these operations are on the 128 scale: below 128 a channel is
// doubled, 128 and above is full (so 128 means full intensity). Alpha too.
//
// A flush whose count cannot make whole primitives (an odd number of sprite points, a batch
// that is not whole triangles) is reported and drawn not at all; the program carries on.

#include <cstdint>

#include "Quor/DrawSubmission.h"
#include "Quor/Utils.h"

struct TextureRecord;

// A 128-scale byte as the device takes it: 127 gives 254, 128 and above 255.
uint8_t HalfScaleToByte(uint8_t channel);
// Four 128-scale bytes packed into the device's 0xAARRGGBB word.
uint32_t PackHalfScaleColour(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);

// The colour AddSpritePoint2D gives its points.
constexpr uint32_t kSpritePointColour = 0x40204B08;

// ---- sprite-point lists: every pair of points is one rectangle from the first point to the second.
void BeginSprites2D();
void AddSpritePoint2D(float x, float y);
void AddSpritePair2D(const Vector2& p0, const Vector2& p1);
void FlushSprites2D();
void FreeSprites2D();
const CDynArray<SDrawVertex>& GetSpritePoints2D();

// ---- the 2-D triangle batch.
// Called when the render module starts: room for at least 300 vertices, empty.
void Init2DBatch();
// Opens the batch with a texture (null draws untextured) and empties it.
void Begin2DBatch(TextureRecord* texture);
void Begin2DBatch();
// Opens the batch again with a texture, keeping what it holds.
void Reopen2DBatch(TextureRecord* texture);
void Free2DBatch();
// Two triangles (p0, p1, p2) and (p0, p2, p3); texture coordinates (0, 0), (0, 1), (1, 1), (1, 0).
void Add2DBatchQuad(const Vector2 corners[4], uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
// The same corners without texture coordinates.
void Add2DBatchSolidQuad(const Vector2 corners[4], uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
// A white vertex with the given alpha.
void Add2DBatchVertex(uint8_t alpha, float u, float v, float x, float y);
// An opaque vertex in the given colour.
void Add2DBatchColourVertex(float x, float y, uint8_t red, uint8_t green, uint8_t blue);
void Flush2DBatch();
const CDynArray<SDrawVertex>& Get2DBatch();

// The batch-open flag shared by the sprite list and the triangle batch.
bool Is2DBatchOpen();
void Close2DBatch();

// ---- addressing and states.
// The U and V address mode (kDrawClamp, kDrawWrap, kDrawMirror) the triangle flushes ask for.
void SetPrimitiveAddressMode(uint32_t code);
uint32_t GetPrimitiveAddressMode();
// Opaque drawing with depth: blending off, depth test and writes on (LESSEQUAL), clamped addressing.
void SetDefaultRenderStates();

// ---- vertex fillers of the sprite nodes. The colour is four 128-scale bytes in the order of
// the device's colour word in memory (blue, green, red, alpha); it is read, not changed.
void MakeSpriteVertex2D(SDrawVertex* out, float x, float y, float u, float v, const uint8_t colourBgra[4]);
void MakeSpriteVertex3D(SDrawVertex* out, float x, float y, float z, float u, float v, const uint8_t colourBgra[4]);
