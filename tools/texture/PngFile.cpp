#include "tools/texture/RgbaImage.h"

#include <png.h>

#include <cstring>

bool ReadPng(const std::string& path, SRgbaImage& image, std::string& error) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) {
    error = path + ": " + png.message;
    return false;
  }
  png.format = PNG_FORMAT_RGBA;
  image.width = png.width;
  image.height = png.height;
  image.rgba.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) {
    error = path + ": " + png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}

bool WritePng(const std::string& path, const SRgbaImage& image, std::string& error) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = image.width;
  png.height = image.height;
  png.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&png, path.c_str(), 0, image.rgba.data(), 0, nullptr)) {
    error = path + ": " + png.message;
    return false;
  }
  return true;
}
