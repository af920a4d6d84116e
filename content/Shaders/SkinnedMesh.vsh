// Skinned meshes lit by two directional lights. Each vertex blends up to four bones of the
// palette mxBone (4 registers a bone from c20, rows of a row-vector matrix) by its weights;
// the blended position goes through mxWorldViewProj (c0..c3). The light is
// (AmbientAndAlpha.rgb + sum of max(0, n . -lightDir) x lightColor) x vertex colour, clamped,
// with the vertex alpha times AmbientAndAlpha.a. Outputs: t0 the texture coordinates, t1 the
// sphere-map coordinates of the normal through mxTexGen (c8..c10), t2 the position in the
// shadow map's texture space through mxLightView (c4..c7).
//   c12 lightDir1, c13 lightDir2 (model space), c14 lightColor1, c15 lightColor2,
//   c16 AmbientAndAlpha.
vs_2_0
def c17, 0.5, -0.5, 1, 0
def c18, 4, 2, -1, 0
dcl_position v0
dcl_texcoord v1
dcl_color v2
dcl_normal v3
dcl_texcoord1 v4
dcl_texcoord2 v5
mul r0, v5, c18.x
mad r3.xyz, v3, c18.y, c18.z
mova a0.x, r0.x
mul r1, v0.x, c[a0.x + 20]
mad r1, v0.y, c[a0.x + 21], r1
mad r1, v0.z, c[a0.x + 22], r1
add r1, r1, c[a0.x + 23]
mul r2, r1, v4.x
mul r4.xyz, r3.x, c[a0.x + 20]
mad r4.xyz, r3.y, c[a0.x + 21], r4
mad r4.xyz, r3.z, c[a0.x + 22], r4
mul r5.xyz, r4, v4.x
mova a0.x, r0.y
mul r1, v0.x, c[a0.x + 20]
mad r1, v0.y, c[a0.x + 21], r1
mad r1, v0.z, c[a0.x + 22], r1
add r1, r1, c[a0.x + 23]
mad r2, r1, v4.y, r2
mul r4.xyz, r3.x, c[a0.x + 20]
mad r4.xyz, r3.y, c[a0.x + 21], r4
mad r4.xyz, r3.z, c[a0.x + 22], r4
mad r5.xyz, r4, v4.y, r5
mova a0.x, r0.z
mul r1, v0.x, c[a0.x + 20]
mad r1, v0.y, c[a0.x + 21], r1
mad r1, v0.z, c[a0.x + 22], r1
add r1, r1, c[a0.x + 23]
mad r2, r1, v4.z, r2
mul r4.xyz, r3.x, c[a0.x + 20]
mad r4.xyz, r3.y, c[a0.x + 21], r4
mad r4.xyz, r3.z, c[a0.x + 22], r4
mad r5.xyz, r4, v4.z, r5
mova a0.x, r0.w
mul r1, v0.x, c[a0.x + 20]
mad r1, v0.y, c[a0.x + 21], r1
mad r1, v0.z, c[a0.x + 22], r1
add r1, r1, c[a0.x + 23]
mad r2, r1, v4.w, r2
mul r4.xyz, r3.x, c[a0.x + 20]
mad r4.xyz, r3.y, c[a0.x + 21], r4
mad r4.xyz, r3.z, c[a0.x + 22], r4
mad r5.xyz, r4, v4.w, r5
mov r2.w, c17.z
mul r6, r2.x, c0
mad r6, r2.y, c1, r6
mad r6, r2.z, c2, r6
add oPos, r6, c3
dp3 r6.x, r5, r5
max r6.x, r6.x, c18.w
rsq r6.x, r6.x
min r6.x, r6.x, c18.x
mul r5.xyz, r5, r6.x
dp3 r7.x, r5, -c12
dp3 r7.y, r5, -c13
max r7.xy, r7, c17.w
mul r8.xyz, c14, r7.x
mad r8.xyz, c15, r7.y, r8
add r8.xyz, r8, c16
min r8.xyz, r8, c17.z
mul oD0.xyz, r8, v2
mul oD0.w, v2.w, c16.w
mov oT0, v1
mul r9.xyz, r5.x, c8
mad r9.xyz, r5.y, c9, r9
mad r9.xyz, r5.z, c10, r9
mad oT1.xy, r9, c17.xy, c17.x
mul r1, r2.x, c4
mad r1, r2.y, c5, r1
mad r1, r2.z, c6, r1
add r1, r1, c7
mul r6.xy, r1, c17
mad oT2.xy, r1.w, c17.x, r6
mov oT2.zw, r1
