#pragma once
// Draws a picture description with Cairo into R, G, B, A bytes (straight alpha, rows from the
// top), ready for the texture writers.

#include "tools/art/ArtDescription.h"
#include "tools/texture/RgbaImage.h"

namespace art {

SRgbaImage Paint(const SPicture& picture);
// The same picture scaled evenly to cover a canvas of width x height, centred: what does not
// fit the canvas's shape is cut off at two sides.
SRgbaImage Paint(const SPicture& picture, int width, int height);

// Gives back what Cairo and fontconfig keep for the texts drawn so far; before the program ends.
void ReleaseFontCaches();

}  // namespace art
