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
//
// Model ("modeltool bmo"):
//   version 0x204            0x200 to 0x204 (default 0x204)
//   comment TEXT
//   node NAME PX PY PZ [PARENT]        nodes depth first; PARENT names an earlier node
//   point X Y Z W                      a marker point of the last node
//   part MATERIAL list|strip|fan [BONE ...]   bones by node name
//   vertex X Y Z NX NY NZ U V [W0 W1 W2 W3 [R G B A]]   weights and colour 0..1
//
// Scene ("modeltool bsc"):
//   version 0x105            0x100 to 0x105 (default 0x105)
//   flags 1                  bit 0: vertices carry normals (from 0x104)
//   offset X Y Z             world position of quantum 0
//   scale X Y Z              world size of one quantum
//   patch                    starts a patch
//   batch MATERIAL           starts a batch of the last patch
//   vertex X Y Z U V [NX NY NZ [R G B A]]   quantised positions 0..65535 from 0x102
//   grid LAYERS ROWS COLUMNS P0 P1 P2 P3
//   values V ...             grid values, layer fastest, then column, then row
//
// Collision tree ("modeltool bct"):
//   version 0x102            0x100 to 0x102 (default 0x102)
//   block1 TEXT / block2 TEXT    the two blocks' bytes (from 0x102)
//   record_a F0 ... F5       a 24-byte record
//   word N
//   record_c FLAG F0 ... F15     a 64-byte record and its flag byte; missing floats are 0

#include "tools/modeltool/MeshWriters.h"
#include "tools/modeltool/ModelWriters.h"

#include <string>

// False with "SOURCE:LINE: reason" in `error` for a line that cannot be read.
bool ParseBanText(const std::string& text, const std::string& sourceName, SBanDescription& out,
                  std::string& error);
bool ParseAtlasText(const std::string& text, const std::string& sourceName, SAtlasDescription& out,
                    std::string& error);
bool ParseBmoText(const std::string& text, const std::string& sourceName, SBmoDescription& out,
                  std::string& error);
bool ParseBscText(const std::string& text, const std::string& sourceName, SBscDescription& out,
                  std::string& error);
bool ParseBctText(const std::string& text, const std::string& sourceName, SBctDescription& out,
                  std::string& error);
