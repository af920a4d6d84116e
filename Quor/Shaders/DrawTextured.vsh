// Textured draw program, vertex part: the position as a row vector times the transform in
// c0..c3 (one matrix row per register); colour and texture coordinates pass through.
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
