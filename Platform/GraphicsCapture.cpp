// Back-buffer capture and PNG files through libpng.

#include "Platform/GraphicsCapture.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

#include "Platform/GraphicsDevice.h"

namespace {

// Larger pictures are refused before any memory is reserved for them.
constexpr uint32_t kMaxSide = 16384;

struct SFileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, SFileCloser>;

// libpng reports through longjmp; its message is kept for the caller.
void PngError(png_structp png, png_const_charp message) {
  auto* text = static_cast<std::string*>(png_get_error_ptr(png));
  *text = message;
  png_longjmp(png, 1);
}
void PngWarning(png_structp, png_const_charp) {}

}  // namespace

bool GfxCaptureBackBuffer(CGfxDevice& device, SGfxImage& image) {
  return device.ReadBackBuffer(image.rgba, &image.width, &image.height) == GFX_OK;
}

bool GfxWritePng(const std::string& path, const SGfxImage& image, std::string& error) {
  if (image.width == 0 || image.height == 0 || image.rgba.size() != size_t{image.width} * image.height * 4) {
    error = path + ": the picture to write is empty or its size does not match its pixels";
    return false;
  }
  FilePtr file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    error = path + ": cannot open for writing";
    return false;
  }
  std::string message;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &message, PngError, PngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    error = path + ": out of memory";
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    error = path + ": " + message;
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (uint32_t y = 0; y < image.height; ++y)
    png_write_row(png, const_cast<png_bytep>(&image.rgba[size_t{y} * image.width * 4]));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fflush(file.get()) != 0) {
    error = path + ": write failed";
    return false;
  }
  return true;
}

bool GfxReadPng(const std::string& path, SGfxImage& image, std::string& error) {
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = path + ": cannot open for reading";
    return false;
  }
  png_byte signature[8] = {};
  if (std::fread(signature, 1, sizeof signature, file.get()) != sizeof signature || png_sig_cmp(signature, 0, 8) != 0) {
    error = path + ": not a PNG file";
    return false;
  }
  std::string message;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &message, PngError, PngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    error = path + ": out of memory";
    return false;
  }
  // Everything that changes after setjmp lives behind pointers fixed before it, so a
  // longjmp back here finds it intact and frees it.
  auto result = std::make_unique<SGfxImage>();
  auto rows = std::make_unique<std::vector<png_bytep>>();
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    error = path + ": " + message;
    return false;
  }
  png_init_io(png, file.get());
  png_set_sig_bytes(png, 8);
  png_set_user_limits(png, kMaxSide, kMaxSide);
  png_read_info(png, info);
  // Whatever the file holds becomes 8-bit R, G, B, A.
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  result->width = png_get_image_width(png, info);
  result->height = png_get_image_height(png, info);
  if (png_get_rowbytes(png, info) != size_t{result->width} * 4) png_error(png, "unexpected row layout");
  result->rgba.resize(size_t{result->width} * result->height * 4);
  rows->resize(result->height);
  for (uint32_t y = 0; y < result->height; ++y) (*rows)[y] = &result->rgba[size_t{y} * result->width * 4];
  png_read_image(png, rows->data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  image = std::move(*result);
  return true;
}
