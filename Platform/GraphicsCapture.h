#pragma once
// Frame capture: the back buffer as a top-down R, G, B, A picture, and PNG files of such
// pictures (written for captures, read back to compare in tests).

#include <cstdint>
#include <string>
#include <vector>

class CGfxDevice;

struct SGfxImage {
  uint32_t width = 0, height = 0;
  std::vector<uint8_t> rgba;  // width x height x 4, top row first
};

// Reads the device's back buffer; false when the device cannot read it now.
bool GfxCaptureBackBuffer(CGfxDevice& device, SGfxImage& image);

// Both return false with a message naming the file and what is wrong.
bool GfxWritePng(const std::string& path, const SGfxImage& image, std::string& error);
bool GfxReadPng(const std::string& path, SGfxImage& image, std::string& error);
