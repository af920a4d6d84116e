#pragma once
// Projective lookups of 2D textures (texldp) in pixel shader byte code, made to come out
// the same under every shader translation the device may use.
//
// Direct3D divides the coordinate (x, y, z, w) by w. The SPIR-V translation hands the whole
// coordinate to a projective sample of a 2D image, which by SPIR-V's rules divides by the
// component after the two coordinates: z. (The GLSL translations divide by w.) So before
// translation each such lookup reads its coordinate through a spare temporary register that
// holds (x, y, w, w): z and w are then the same, and every translation divides by w.
// Volume and cube lookups already divide by the right component and stay as they are.

#include <cstdint>
#include <string>
#include <vector>

// Rewrites the projective 2D lookups of `tokens` (one 32-bit token per entry). Code that
// is not a pixel shader of version 2 or later, or that cannot be walked to its end, is left
// as it is: the translator judges it. Returns false, with `error` set and `tokens`
// unchanged, for a projective 2D lookup that cannot be rewritten (predicated, or its
// coordinate relatively addressed).
bool GfxRewriteProjectiveLookups(std::vector<uint32_t>& tokens, std::string& error);
