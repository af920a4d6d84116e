#pragma once
// What the texture decoders share besides the byte reader: the zlib inflation of their
// compressed pixel data, the size check and the report of a damaged file.

#include <cstddef>
#include <cstdint>

#include <zlib.h>

class CByteReader;

// One zlib stream read in exact amounts. A stream that ends, breaks off or is corrupt
// before a request is filled is reported; inflation never waits for input that cannot come.
class CTextureInflater {
 public:
  // The stream is the rest of the reader's bytes, which it takes.
  CTextureInflater(CByteReader& reader, const char* fileName);
  ~CTextureInflater();
  CTextureInflater(const CTextureInflater&) = delete;
  CTextureInflater& operator=(const CTextureInflater&) = delete;

  bool Read(void* destination, size_t count, const char* what);

 private:
  z_stream m_stream{};
  const char* m_fileName;
  bool m_ready = false;
};

// The name a decoder's reports use for its file.
inline const char* TextureFileLabel(const char* fileName) { return fileName ? fileName : "(unnamed)"; }

// Sides of 1..kMaxTextureSide; anything else is reported as `what` of the file.
bool CheckTextureSize(uint32_t width, uint32_t height, const char* fileName, const char* what);

// Reports why the reader failed, naming the file; always false, for the decoder to return.
bool ReportTextureReadFailure(const CByteReader& reader, const char* fileName);
