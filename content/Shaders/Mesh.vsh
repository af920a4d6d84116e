// Plain meshes: the position through mxWorldViewProj (c0..c3, one matrix row per register,
// a point as a row vector), texture coordinates and vertex colour passed on, and the
// position in the shadow map's texture space (through mxLightView, c4..c7) for the effects
// that receive shadows.
vs_2_0
def c17, 0.5, -0.5, 1, 0
dcl_position v0
dcl_texcoord v1
dcl_color v2
mul r0, v0.x, c0
mad r0, v0.y, c1, r0
mad r0, v0.z, c2, r0
mad oPos, v0.w, c3, r0
mov oD0, v2
mov oT0, v1
// Light clip space to projective texture coordinates: x/2 + w/2, -y/2 + w/2.
mul r1, v0.x, c4
mad r1, v0.y, c5, r1
mad r1, v0.z, c6, r1
mad r1, v0.w, c7, r1
mul r2.xy, r1, c17
mad oT1.xy, r1.w, c17.x, r2
mov oT1.zw, r1
