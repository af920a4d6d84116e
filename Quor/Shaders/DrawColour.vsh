// Colour draw program, vertex part: the same transform as the textured one; colour passes on.
vs_2_0
dcl_position v0
dcl_color v1
mul r0, v0.x, c0
mad r0, v0.y, c1, r0
mad r0, v0.z, c2, r0
mad oPos, v0.w, c3, r0
mov oD0, v1
