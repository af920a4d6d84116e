// texture: writes the engine's texture formats from PNG pictures and reads them back
// through the engine's own decoders.
//
//   texture encode IN.png OUT.{mpt,dctz,bmp,jpt,jpg} [--format rgba|rgbz|dctz] [--quality Q]
//   texture decode IN.{mpt,dctz,bmp,jpt,jpg} OUT.png
//   texture mask IN.png OUT.msk [--grey] [--bits] [--threshold T]
//   texture mask IN.png OUT.msk --raw [--grey]
//   texture region IN.png OUT.raw OUT.tif
//
// Exit status: 0 done, 1 a file could not be read, decoded or written, 2 usage.

#include "Framework/Resources/omJpegDecoder.h"
#include "Framework/Resources/omJptTexture.h"
#include "Framework/Scene/omTextureMask.h"
#include "Quor/ReportError.h"
#include "Quor/TextureFormats.h"
#include "tools/texture/DctzEncoder.h"
#include "tools/texture/TextureWriters.h"
#include "tools/shared/FileBytes.h"

#include <algorithm>
#include <utility>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int Usage() {
  std::fprintf(stderr,
               "usage: texture encode IN.png OUT.{mpt,dctz,bmp,jpt,jpg} [--format rgba|rgbz|dctz] [--quality Q]\n"
               "       texture decode IN.{mpt,dctz,bmp,jpt,jpg} OUT.png\n"
               "       texture mask IN.png OUT.msk [--grey] [--bits] [--threshold T]\n"
               "         a mask of the picture's alpha (--grey: of its grey level), a byte a pixel or (--bits)\n"
               "         a bit a pixel set from the threshold T (1 to 255, default 1), which hit tests use\n"
               "       texture mask IN.png OUT.msk --raw [--grey]\n"
               "         the bare values a texture's own mask reads (a \"Mask\" with a \"File\" in the resource\n"
               "         list): a byte a pixel, rows from the bottom, no header\n"
               "       texture region IN.png OUT.raw OUT.tif\n"
               "         a paint region's mask of the picture's alpha: a byte a pixel, rows from the top,\n"
               "         no header, and beside it the XMP text that gives its width and height\n");
  return kExitUsage;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "texture: %s\n", message.c_str());
  return kExitFailed;
}

std::string LowerExtension(const std::string& path) {
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return "";
  std::string extension = path.substr(dot + 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return extension;
}

// A whole number from `lowest` to `highest`, the whole text.
bool ParseNumber(const char* text, long lowest, long highest, long& value) {
  char* end = nullptr;
  value = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && value >= lowest && value <= highest;
}

struct SEncodeOptions {
  std::string format;  // empty: the default of the output's kind
  int quality = kDefaultDctzQuality;
};

bool ParseEncodeOptions(int argc, char** argv, SEncodeOptions& options) {
  for (int i = 4; i < argc; ++i) {
    if (std::strcmp(argv[i], "--format") == 0 && i + 1 < argc) {
      options.format = argv[++i];
      if (options.format != "rgba" && options.format != "rgbz" && options.format != "dctz") return false;
    } else if (std::strcmp(argv[i], "--quality") == 0 && i + 1 < argc) {
      long quality = 0;
      if (!ParseNumber(argv[++i], 1, 100, quality)) return false;
      options.quality = int(quality);
    } else {
      return false;
    }
  }
  return true;
}

// A plain JPEG has no alpha: the picture's colour alone.
std::vector<uint8_t> EncodePlainJpeg(const SRgbaImage& image, int quality) {
  std::vector<uint8_t> rgb;
  rgb.reserve(image.rgba.size() / 4 * 3);
  for (size_t i = 0; i < image.rgba.size(); i += 4) rgb.insert(rgb.end(), &image.rgba[i], &image.rgba[i + 3]);
  return Ombrel::EncodeJpegRgb(int(image.width), int(image.height), rgb.data(), quality);
}

int Encode(int argc, char** argv) {
  SEncodeOptions options;
  if (!ParseEncodeOptions(argc, argv, options)) return Usage();
  const std::string input = argv[2], output = argv[3];
  const std::string kind = LowerExtension(output);
  if (kind != "mpt" && kind != "dctz" && kind != "bmp" && kind != "jpt" && kind != "jpg") return Usage();
  if (kind != "mpt" && !options.format.empty())
    return Fail("--format chooses the pixels of an MPT file; " + output + " is not one");

  SRgbaImage image;
  std::string error;
  if (!ReadPng(input, image, error)) return Fail(error);
  std::vector<uint8_t> bytes;
  try {
    if (kind == "jpt") {
      bytes = Ombrel::EncodeJptRgba(int(image.width), int(image.height), image.rgba.data(), options.quality);
      if (bytes.empty()) return Fail(input + ": the JPEG compressor refuses a picture of this size");
    } else if (kind == "jpg") {
      bytes = EncodePlainJpeg(image, options.quality);
      if (bytes.empty()) return Fail(input + ": the JPEG compressor refuses a picture of this size");
    } else {
      EMptPixels pixels = options.format == "rgba"   ? EMptPixels::Rgba
                          : options.format == "dctz" ? EMptPixels::Dctz
                                                     : EMptPixels::Rgbz;
      bytes = WriteEngineTexture(image, kind, pixels, options.quality);
    }
  } catch (const std::exception& failure) {
    return Fail(input + ": " + failure.what());
  }
  if (!WriteFileBytes(output, bytes)) return Fail(output + ": cannot write the file");
  return 0;
}

// Which decoder reads the file: by its ending, as the engine chooses, else by its tag.
std::string TextureKind(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::string kind = LowerExtension(path);
  if (kind == "mpt" || kind == "dctz" || kind == "bmp" || kind == "jpt" || kind == "jpg") return kind;
  auto starts = [&](const char* tag, size_t size) {
    return bytes.size() >= size && std::memcmp(bytes.data(), tag, size) == 0;
  };
  return starts(kMptTag, kTextureTagSize)           ? "mpt"
         : starts(kDctzTag, kTextureTagSize)        ? "dctz"
         : starts(kBmpSignature, sizeof kBmpSignature) ? "bmp"
                                                      : "";
}

bool DecodeTextureFile(const std::string& path, const std::string& kind,
                       const std::vector<uint8_t>& bytes, STexturePicture& picture) {
  if (kind == "mpt") return DecodeMPT(bytes.data(), bytes.size(), path.c_str(), picture);
  if (kind == "dctz") return DecodeDCTZFile(bytes.data(), bytes.size(), path.c_str(), picture);
  return DecodeBMP(bytes.data(), bytes.size(), path.c_str(), picture);
}

// The picture at its image size, back in R, G, B, A order.
SRgbaImage CropToImage(const STexturePicture& picture) {
  SRgbaImage image;
  image.width = picture.imageWidth;
  image.height = picture.imageHeight;
  image.rgba.resize(size_t(image.width) * image.height * 4);
  for (uint32_t y = 0; y < image.height; ++y)
    for (uint32_t x = 0; x < image.width; ++x) {
      const uint8_t* from = &picture.texels[(size_t(y) * picture.width + x) * 4];
      uint8_t* to = &image.rgba[(size_t(y) * image.width + x) * 4];
      to[0] = from[2];
      to[1] = from[1];
      to[2] = from[0];
      to[3] = from[3];
    }
  return image;
}

// JPT and JPEG are read by the framework, which reports their damage and never stops; only
// the ending names a JPT.
bool DecodeThroughFramework(const std::string& input, const std::string& kind, const std::vector<uint8_t>& bytes,
                            SRgbaImage& image) {
  int width = 0, height = 0;
  if (kind == "jpt") {
    if (!Ombrel::DecodeJptRgba(bytes.data(), bytes.size(), input.c_str(), image.rgba, width, height)) return false;
  } else {
    std::vector<uint8_t> bgra;
    if (!Ombrel::DecodeJpegBgra(bytes.data(), bytes.size(), input.c_str(), bgra, width, height)) return false;
    image.rgba = bgra;
    for (size_t i = 0; i < image.rgba.size(); i += 4) std::swap(image.rgba[i], image.rgba[i + 2]);
  }
  image.width = uint32_t(width);
  image.height = uint32_t(height);
  return true;
}

int Decode(int argc, char** argv) {
  if (argc != 4) return Usage();
  const std::string input = argv[2], output = argv[3];
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(input, bytes)) return Fail(input + ": cannot read the file");
  const std::string kind = TextureKind(input, bytes);
  if (kind.empty()) return Fail(input + ": not an MPT, DCTZ, BMP, JPT or JPEG file");
  if (kind == "jpt" || kind == "jpg") {
    SRgbaImage image;
    if (!DecodeThroughFramework(input, kind, bytes, image)) return kExitFailed;  // already reported
    std::string error;
    if (!WritePng(output, image, error)) return Fail(error);
    return 0;
  }
  // The engine stops on a few faults of a file (a DCTZ without its tag or of an unknown
  // version); for this tool they are damaged files like any other. The report has been
  // written by then.
  SetFatalPresenter([](const char*) { std::_Exit(kExitFailed); });
  STexturePicture picture;
  if (!DecodeTextureFile(input, kind, bytes, picture)) return kExitFailed;  // already reported
  std::string error;
  if (!WritePng(output, CropToImage(picture), error)) return Fail(error);
  return 0;
}

struct SMaskOptions {
  bool grey = false;  // the grey level instead of the alpha
  bool raw = false;   // the values alone, as a texture's raw mask file holds them
  int format = Ombrel::CTextureMask::kBytes;
  uint8_t threshold = 1;
};

bool ParseMaskOptions(int argc, char** argv, SMaskOptions& options) {
  for (int i = 4; i < argc; ++i) {
    if (std::strcmp(argv[i], "--grey") == 0) {
      options.grey = true;
    } else if (std::strcmp(argv[i], "--raw") == 0) {
      options.raw = true;
    } else if (std::strcmp(argv[i], "--bits") == 0) {
      options.format = Ombrel::CTextureMask::kBits;
    } else if (std::strcmp(argv[i], "--threshold") == 0 && i + 1 < argc) {
      long threshold = 0;
      if (!ParseNumber(argv[++i], 1, 255, threshold)) return false;
      options.threshold = uint8_t(threshold);
    } else {
      return false;
    }
  }
  return true;
}

// The mask file of a mask made from the picture, rows from the top.
std::vector<uint8_t> WriteMask(const Ombrel::CTextureMask& mask) {
  namespace layout = Ombrel::MaskFile;
  const std::vector<uint8_t>& data = mask.GetData();
  std::vector<uint8_t> out(layout::kTag, layout::kTag + 4);
  AppendU16(out, 1);
  AppendU16(out, 0);
  out.resize(layout::kHeaderSize);
  auto put = [&out](uint32_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(value >> (8 * i));
  };
  put(layout::kWidthAt, uint32_t(mask.GetWidth()));
  put(layout::kHeightAt, uint32_t(mask.GetHeight()));
  put(layout::kDataOffsetAt, layout::kHeaderSize);
  put(layout::kDataSizeAt, uint32_t(data.size()));
  put(layout::kFlagsAt, mask.GetFormat() == Ombrel::CTextureMask::kBits ? layout::kFlagBits : 0);
  put(layout::kThresholdAt, mask.GetThreshold());
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

int Mask(int argc, char** argv) {
  SMaskOptions options;
  if (argc < 4 || LowerExtension(argv[3]) != "msk" || !ParseMaskOptions(argc, argv, options)) return Usage();
  // A raw mask holds the values alone: its depth and threshold are the resource list's.
  if (options.raw && (options.format == Ombrel::CTextureMask::kBits || options.threshold != 1)) return Usage();
  const std::string input = argv[2], output = argv[3];
  SRgbaImage image;
  std::string error;
  if (!ReadPng(input, image, error)) return Fail(error);
  if (image.width > Ombrel::MaskFile::kMaxSide || image.height > Ombrel::MaskFile::kMaxSide)
    return Fail(input + ": a mask's sides are at most " + std::to_string(Ombrel::MaskFile::kMaxSide) + " pixels");
  const std::vector<uint8_t> values = MaskValues(image, options.grey);
  if (options.raw) {
    if (!WriteFileBytes(output, WriteRawMask(values, image.width, image.height)))
      return Fail(output + ": cannot write the file");
    return 0;
  }
  Ombrel::CTextureMask mask;
  mask.SetThreshold(options.threshold);
  if (!mask.Create(values.data(), int(image.width), int(image.height), options.format, options.threshold))
    return Fail(input + ": no mask can be made of this picture");
  if (!WriteFileBytes(output, WriteMask(mask))) return Fail(output + ": cannot write the file");
  return 0;
}

// The XMP packet of a paint region's mask: the only part of its ".tif" that is read.
std::string RegionSizeText(uint32_t width, uint32_t height) {
  const std::string head =
      "<?xpacket begin=\"\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
      "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
      "<rdf:Description xmlns:tiff=\"http://ns.adobe.com/tiff/1.0/\">\n";
  const std::string tail = "</rdf:Description></rdf:RDF></x:xmpmeta>\n<?xpacket end=\"r\"?>\n";
  const std::string size = "<tiff:ImageWidth>" + std::to_string(width) + "</tiff:ImageWidth>\n<tiff:ImageLength>" +
                           std::to_string(height) + "</tiff:ImageLength>\n";
  return head + size + tail;
}

int Region(int argc, char** argv) {
  if (argc != 5 || LowerExtension(argv[3]) != "raw" || LowerExtension(argv[4]) != "tif") return Usage();
  const std::string input = argv[2], raw = argv[3], tiff = argv[4];
  SRgbaImage image;
  std::string error;
  if (!ReadPng(input, image, error)) return Fail(error);
  if (!WriteFileBytes(raw, MaskValues(image, false))) return Fail(raw + ": cannot write the file");
  const std::string text = RegionSizeText(image.width, image.height);
  if (!WriteFileBytes(tiff, std::vector<uint8_t>(text.begin(), text.end())))
    return Fail(tiff + ": cannot write the file");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::strcmp(argv[1], "encode") == 0) return Encode(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "decode") == 0) return Decode(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "mask") == 0) return Mask(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "region") == 0) return Region(argc, argv);
  return Usage();
}
