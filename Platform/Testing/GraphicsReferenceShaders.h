#pragma once
// Shader assembly of the engine's two draw programs, for the device's own tests and its
// benchmark: a row vector times the matrix in c0..c3 (one row per register) with colour and
// texture coordinates passed on; the textured pixel shader multiplies the texel by the
// colour, the colour one outputs the colour. Assembled at run time (GfxAssembleShader).

inline const char* const kGfxTexturedVertexShader =
    "vs_2_0\n"
    "dcl_position v0\n"
    "dcl_color v1\n"
    "dcl_texcoord v2\n"
    "mul r0, v0.x, c0\n"
    "mad r0, v0.y, c1, r0\n"
    "mad r0, v0.z, c2, r0\n"
    "mad oPos, v0.w, c3, r0\n"
    "mov oD0, v1\n"
    "mov oT0, v2\n";

inline const char* const kGfxTexturedPixelShader =
    "ps_2_0\n"
    "dcl v0\n"
    "dcl t0.xy\n"
    "dcl_2d s0\n"
    "texld r0, t0, s0\n"
    "mul r0, r0, v0\n"
    "mov oC0, r0\n";

inline const char* const kGfxColourPixelShader =
    "ps_2_0\n"
    "dcl v0\n"
    "mov oC0, v0\n";
