#pragma once
// What the texture decoders share besides the byte reader: the zlib inflation of their
// compressed pixel data, the size check and the report of a damaged file.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include <zlib.h>

class CByteReader;

// One zlib stream read in exact amounts. A stream that ends, breaks off or is corrupt
// before a request is filled is reported; inflation never waits for input that cannot come.
// Only a stream that ends after the last request with a matching checksum is whole (Finish).
//
// A caller that knows how many bytes it may read at most lets the whole stream inflate in
// one call, several times faster than zlib's step by step. Only a sound stream that fits
// is taken that way; any other falls back to zlib, step by step, which finds and reports
// the fault in the same words and at the same request as it always has.
class CTextureInflater {
 public:
  // The stream is the rest of the reader's bytes, which it takes. `mostInflated` is an
  // upper bound of what the caller will read, or 0 when it has none.
  CTextureInflater(CByteReader& reader, const char* fileName, size_t mostInflated = 0);
  ~CTextureInflater();
  CTextureInflater(const CTextureInflater&) = delete;
  CTextureInflater& operator=(const CTextureInflater&) = delete;

  bool Read(void* destination, size_t count, const char* what);
  // The next count inflated bytes in place, valid until the next request; null (reported)
  // when the stream cannot give them.
  const uint8_t* Take(size_t count, const char* what);
  // After the picture's last request: true when the stream ends right there and its checksum
  // matches. A stream that goes on, breaks off or fails its checksum is damaged (reported).
  bool Finish();

 private:
  bool FinishStream();
  bool InflateWhole(const uint8_t* bytes, size_t size, size_t mostInflated);
  bool StartStream(const uint8_t* bytes, size_t size);
  bool ReadStream(void* destination, size_t count, const char* what);
  void ReportShortStream(const char* what, size_t inflated, size_t count);

  z_stream m_stream{};
  const char* m_fileName;
  bool m_ready = false;
  bool m_streaming = false;  // zlib's stream is open
  // The whole stream when it inflated in one call, and how far the requests have read.
  std::unique_ptr<uint8_t[]> m_whole;
  size_t m_wholeSize = 0;
  size_t m_position = 0;
  std::vector<uint8_t> m_taken;  // Take's bytes when inflating step by step
};

// The name a decoder's reports use for its file.
inline const char* TextureFileLabel(const char* fileName) { return fileName ? fileName : "(unnamed)"; }

// Sides of 1..kMaxTextureSide; anything else is reported as `what` of the file.
bool CheckTextureSize(uint32_t width, uint32_t height, const char* fileName, const char* what);

// Reports why the reader failed, naming the file; always false, for the decoder to return.
bool ReportTextureReadFailure(const CByteReader& reader, const char* fileName);
