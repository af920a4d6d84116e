#pragma once
// The text descriptions that modeltool turns into files: one statement a line, words
// separated by blanks, '#' starting a comment.
//
// Animation ("modeltool ban"):
//   version 0x102            0x100, 0x101 or 0x102 (default 0x102)
//   frames 30                frame count
//   fps 10                   frames per second (default 30)
//   track NAME               starts a track; the lines below up to the next track belong to it
//   base_position X Y Z
//   base_rotation X Y Z W
//   base_scale X Y Z
//   position FRAME X Y Z
//   rotation FRAME X Y Z W
//   rotation_axis FRAME AX AY AZ DEGREES    a rotation key given as axis and angle
//   scale FRAME X Y Z
//   event FRAME VALUE
//
// Atlas ("modeltool atlas"):
//   version 0x100
//   value 1.5                the atlas's float
//   entry NAME V0 ... V7     up to eight numbers of entry data; missing ones are 0

#include "tools/modeltool/ModelWriters.h"

#include <string>

// False with "SOURCE:LINE: reason" in `error` for a line that cannot be read.
bool ParseBanText(const std::string& text, const std::string& sourceName, SBanDescription& out,
                  std::string& error);
bool ParseAtlasText(const std::string& text, const std::string& sourceName, SAtlasDescription& out,
                    std::string& error);
