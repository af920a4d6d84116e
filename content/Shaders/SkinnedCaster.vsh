// Shadow casters of skinned meshes: the bones blended as for drawing (mxBone from c20), the
// position in the light's clip space (mxLightView, c4..c7).
vs_2_0
def c18, 4, 2, -1, 0
dcl_position v0
dcl_texcoord v1
dcl_texcoord1 v4
dcl_texcoord2 v5
mul r0, v5, c18.x
mova a0.x, r0.x
mul r1, v0.x, c[a0.x + 20]
mad r1, v0.y, c[a0.x + 21], r1
mad r1, v0.z, c[a0.x + 22], r1
add r1, r1, c[a0.x + 23]
mul r2, r1, v4.x
mova a0.x, r0.y
mul r1, v0.x, c[a0.x + 20]
mad r1, v0.y, c[a0.x + 21], r1
mad r1, v0.z, c[a0.x + 22], r1
add r1, r1, c[a0.x + 23]
mad r2, r1, v4.y, r2
mova a0.x, r0.z
mul r1, v0.x, c[a0.x + 20]
mad r1, v0.y, c[a0.x + 21], r1
mad r1, v0.z, c[a0.x + 22], r1
add r1, r1, c[a0.x + 23]
mad r2, r1, v4.z, r2
mova a0.x, r0.w
mul r1, v0.x, c[a0.x + 20]
mad r1, v0.y, c[a0.x + 21], r1
mad r1, v0.z, c[a0.x + 22], r1
add r1, r1, c[a0.x + 23]
mad r2, r1, v4.w, r2
mul r6, r2.x, c4
mad r6, r2.y, c5, r6
mad r6, r2.z, c6, r6
add oPos, r6, c7
mov oT0, v1
