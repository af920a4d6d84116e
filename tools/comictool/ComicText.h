#pragma once
// The comic writer: a small text description of pages, panels and their animation keys
// compiled into a CMX comic, and the button pictures of the on-screen keyboard.
//
// Description statements (one a line, "#" starts a comment line):
//   texture NAME                 a texture of the comic's "Textures" folder (indices in order)
//   page START DURATION          a page shown from START for DURATION seconds
//   panel TEXTURE [U0 V0 U1 V1]  a textured rectangle of the page; the texture by index or
//                                name, its part of the picture in 0..1 (default 0 0 1 1)
//   key TIME X0 Y0 X1 Y1 [R G B A]
//                                the panel's top-left and bottom-right corners at TIME seconds
//                                into its page, in comic units (x -1598..1598 left to right,
//                                y -898..898 bottom to top fill a 16:9 screen), and its colour
//                                (default opaque white)
// Between keys a panel moves and fades linearly; before its first key and after its last it
// holds still. Each page becomes as many frames as it has distinct key times.

#include <cstdint>
#include <string>
#include <vector>

namespace comictool {

struct SPanelKey {
  float time = 0;
  float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  uint8_t colour[4] = {255, 255, 255, 255};
};

struct SPanel {
  uint32_t texture = 0;
  float u0 = 0, v0 = 0, u1 = 1, v1 = 1;
  std::vector<SPanelKey> keys;  // in time order
};

struct SPage {
  float start = 0, duration = 0;
  std::vector<SPanel> panels;
};

struct SComicDescription {
  std::vector<std::string> textures;
  std::vector<SPage> pages;
};

// False with "line N: reason" in *error.
bool ParseComicDescription(const std::string& text, SComicDescription* comic, std::string* error);
// False with the reason when a value does not fit the file's fields.
bool WriteComic(const SComicDescription& comic, std::vector<uint8_t>* bytes, std::string* error);

// The on-screen keyboard's button pictures, by their file names ("buttonSmall.mpt", ...).
struct SNamedPicture {
  std::string fileName;
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgba;
};
std::vector<SNamedPicture> MakeKeyboardButtons();

}  // namespace comictool
