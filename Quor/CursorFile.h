#pragma once
// Windows cursor files (".cur", and icons read as cursors) turned into RGBA pictures with their
// hot spot. Every size, count and offset is checked against the bytes the file holds; a file
// that fails is described in one line and nothing of it is used.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SCursorImage {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t hotX = 0;  // inside the picture, from its top left corner
  uint32_t hotY = 0;
  std::vector<uint8_t> rgba;  // rows top to bottom
};

// The picture the file holds at the size nearest the usual 32 pixels (deeper colour first
// among equal sizes). Bitmaps of 1, 4, 8, 24 and 32 bits per pixel are read; PNG images are
// refused. False with `problem` saying what is wrong.
bool ReadCursorImage(const uint8_t* data, size_t size, SCursorImage& image, std::string& problem);

// Reads the file at `path`, relative to the working directory (not through the virtual file
// system). False with `problem` naming the file and what is wrong.
bool LoadCursorFile(const std::string& path, SCursorImage& image, std::string& problem);
