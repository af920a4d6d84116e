// Second blur pass: as the first, with the direction down the picture.
vs_2_0
def c1, 0, 1, 0, 0
dcl_position v0
dcl_texcoord v1
dcl_color v2
add oPos, v0, c0
mov oT0, v1
mov oD0, v2
mov oT1, c1
