// Full-picture effects: positions are already in clip space; texture coordinates and colour
// pass on.
vs_2_0
dcl_position v0
dcl_texcoord v1
dcl_color v2
mov oPos, v0
mov oT0, v1
mov oD0, v2
