// Shadow casters of plain meshes: the position in the light's clip space (mxLightView, c4..c7).
vs_2_0
dcl_position v0
dcl_texcoord v1
mul r0, v0.x, c4
mad r0, v0.y, c5, r0
mad r0, v0.z, c6, r0
mad oPos, v0.w, c7, r0
mov oT0, v1
