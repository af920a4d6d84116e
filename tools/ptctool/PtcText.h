#pragma once
// The particle writer: a text description of atlases and emitters compiled into a ".ptc"
// file (layout: Particles/PtcFormat.h), and the particle sprite picture the effects use.
//
// Description statements (one a line, "#" starts a comment line):
//   atlas FILE WIDTH HEIGHT COLUMNS ROWS   an atlas picture cut into a grid of frames, row by row
//   emitter NAME [FOLDER]    a new emitter; a name ending in a blank is written in quotes
//                            ("S24_Machette "), FOLDER nests it ("Sparks/Small")
//   loop on|off              whether emission starts again after each cycle (default on)
//   duration SECONDS         one emission cycle (default 1)
//   step MILLISECONDS        every update advances by this fixed step instead of the frame time
//   layer ATLAS              a new kind of particle of the emitter, drawn from that atlas
// and for the current layer:
//   frames FIRST COUNT [random|life]   its frames: one drawn at birth, or run through over life
//   blend alpha|add          alpha blending (default) or additive
//   shape point | box W H | circle R   where particles are born around the emitter
//   rate PER_SECOND          births per second while the emitter emits
//   capacity N               the most particles alive at once
//   burst N                  births at the start of each cycle
//   life MIN MAX             seconds
//   speed MIN MAX            units per second (450.7 units are half the screen's height)
//   direction DEGREES        0 right, 90 down
//   spread DEGREES           the fan around the direction
//   gravity X Y              units per second squared
//   spin MIN MAX             degrees per second
//   drag PER_SECOND          speed lost per second, as a fraction
//   size TIME SIZE           a size key at a fraction of the life (linear between keys)
//   colour TIME R G B A      a colour key, channels 0..1

#include <cstdint>
#include <string>
#include <vector>

#include "Particles/PtcFile.h"
#include "tools/shared/TextDescription.h"
#include "tools/texture/RgbaImage.h"

namespace ptctool {

// False with "line N: reason" in *error.
bool ParsePtcDescription(const std::vector<description::SLine>& lines, SPtcFile* file, std::string* error);
// False with the reason when a value does not fit the format or its limits.
bool WritePtcFile(const SPtcFile& file, std::vector<uint8_t>* bytes, std::string* error);

// The sprites every effect draws from, white with the shape in the alpha, in a row of
// kSpriteFrames square frames: a soft glow, a four-pointed sparkle, a smoke puff, a drop.
constexpr uint32_t kSpriteFrames = 4;
SRgbaImage MakeSpriteAtlas(uint32_t frameSize);

}  // namespace ptctool
