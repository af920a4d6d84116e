#pragma once
// The pixel mask of one region of the paint picture: which points of the region's on-screen
// rectangle lie on the region's own shape. Read from two files named after the region: a
// ".raw" of one byte a pixel (rows from the top, 0 outside the shape) and a ".tif" of which
// only the XMP text's width and height are read.

#include "Quor/CMemWatch.h"
#include "Quor/Utils.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TextureRecord;

namespace Vey {

// The size an image's XMP text gives: the digits right after "<tiff:ImageWidth>" and
// "<tiff:ImageLength>". A side the text lacks, or gives with ten digits or more, is 0.
struct SMaskSize {
  int width = 0;
  int height = 0;
};
SMaskSize ScanTiffSize(const uint8_t* bytes, size_t size);

class CTextureMask : public CMemWatch {
 public:
  // The folder the regions' mask files lie in.
  static constexpr const char* kFolder = "Art\\Environments\\Game04\\Textures\\Temp\\";

  // Reads the files of the mask `name` ("1" .. "60"); the texture is only kept. A mask whose
  // files are missing or do not agree is reported by file name and refuses every point.
  CTextureMask(const char* name, TextureRecord* texture);
  // A mask of pixels at hand; `source` names them in a report.
  CTextureMask(std::vector<uint8_t> pixels, SMaskSize size, const std::string& source);
  virtual ~CTextureMask() = default;

  // Whether the point lies on the shape, the mask stretched over the rectangle of the centre
  // and size (virtual-screen units, the width in units of the screen's height, as
  // IsPointInRect takes it). Points on the right and bottom edges read the last column and row.
  bool HitTest(const Vector2& point, const Vector2& centre, const Vector2& size) const;

  bool IsUsable() const { return m_width > 0; }
  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  TextureRecord* GetTexture() const { return m_texture; }

 private:
  // Takes the pixels when they cover the size; otherwise reports why and stays unusable.
  void Accept(std::vector<uint8_t> pixels, SMaskSize size, const std::string& source);

  std::vector<uint8_t> m_data;
  TextureRecord* m_texture = nullptr;
  int m_width = 0;  // 0 while the mask is unusable
  int m_height = 0;
};

}  // namespace Vey
