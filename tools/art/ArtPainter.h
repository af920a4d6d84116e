#pragma once
// Draws a picture description with Cairo into R, G, B, A bytes (straight alpha, rows from the
// top), ready for the texture writers.

#include "tools/art/ArtDescription.h"
#include "tools/texture/RgbaImage.h"

namespace art {

SRgbaImage Paint(const SPicture& picture);

// Gives back what Cairo and fontconfig keep for the texts drawn so far; before the program ends.
void ReleaseFontCaches();

}  // namespace art
