// First blur pass: clip-space positions moved by halfPixel (c0) so that texels fall on
// pixels; t1 carries the direction of the pass (across).
vs_2_0
def c1, 1, 0, 0, 0
dcl_position v0
dcl_texcoord v1
dcl_color v2
add oPos, v0, c0
mov oT0, v1
mov oD0, v2
mov oT1, c1
