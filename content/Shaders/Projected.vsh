// Meshes with a projected texture: the position through mxWorldViewProj (c0..c3), texture
// coordinates and colour passed on, and the projective coordinates of the projected texture
// through mxTexGen (c8..c11: the world matrix times the projector, which takes world
// positions to projective texture coordinates).
vs_2_0
dcl_position v0
dcl_color v1
dcl_texcoord v2
mul r0, v0.x, c0
mad r0, v0.y, c1, r0
mad r0, v0.z, c2, r0
mad oPos, v0.w, c3, r0
mov oD0, v1
mov oT0, v2
mul r1, v0.x, c8
mad r1, v0.y, c9, r1
mad r1, v0.z, c10, r1
mad oT1, v0.w, c11, r1
