#include "Quor/CTextureInflater.h"

#include "Quor/CByteReader.h"
#include "Quor/ReportError.h"
#include "Quor/TextureFormats.h"

#include <libdeflate.h>

#include <climits>
#include <cstring>

namespace {

const char* const kCTextureInflaterSource = "Quor/CTextureInflater";

}  // namespace

CTextureInflater::CTextureInflater(CByteReader& reader, const char* fileName, size_t mostInflated)
    : m_fileName(TextureFileLabel(fileName)) {
  const size_t size = reader.Remaining();
  const uint8_t* bytes = reader.Take(size, "compressed data");
  if (!bytes) return;
  if (size > UINT_MAX) {
    HM_REPORT(kCTextureInflaterSource, "%s: compressed data of %zu bytes is too large", m_fileName, size);
    return;
  }
  if (mostInflated > 0 && InflateWhole(bytes, size, mostInflated)) {
    m_ready = true;
    return;
  }
  m_ready = StartStream(bytes, size);
}

CTextureInflater::~CTextureInflater() {
  if (m_streaming) inflateEnd(&m_stream);
}

// Succeeds only for a complete stream whose checksum matches and whose bytes fit.
bool CTextureInflater::InflateWhole(const uint8_t* bytes, size_t size, size_t mostInflated) {
  libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
  if (!decompressor) return false;
  m_whole.reset(new uint8_t[mostInflated]);
  size_t inflated = 0;
  libdeflate_result result =
      libdeflate_zlib_decompress(decompressor, bytes, size, m_whole.get(), mostInflated, &inflated);
  libdeflate_free_decompressor(decompressor);
  if (result != LIBDEFLATE_SUCCESS) {
    m_whole.reset();
    return false;
  }
  m_wholeSize = inflated;
  return true;
}

bool CTextureInflater::StartStream(const uint8_t* bytes, size_t size) {
  // zlib never writes through next_in; the cast only meets its older prototype.
  m_stream.next_in = const_cast<Bytef*>(bytes);
  m_stream.avail_in = static_cast<uInt>(size);
  int result = inflateInit(&m_stream);
  if (result != Z_OK) {
    HM_REPORT(kCTextureInflaterSource, "%s: cannot start zlib inflation (%s)", m_fileName,
              m_stream.msg ? m_stream.msg : zError(result));
    return false;
  }
  m_streaming = true;
  return true;
}

void CTextureInflater::ReportShortStream(const char* what, size_t inflated, size_t count) {
  HM_REPORT(kCTextureInflaterSource, "%s: zlib stream ends before the %s (%zu of %zu bytes inflated)", m_fileName, what,
            inflated, count);
  m_ready = false;
}

const uint8_t* CTextureInflater::Take(size_t count, const char* what) {
  static const uint8_t kNothing = 0;
  if (!m_ready) return nullptr;
  if (m_streaming) {
    if (count == 0) return &kNothing;
    m_taken.resize(count);
    return ReadStream(m_taken.data(), count, what) ? m_taken.data() : nullptr;
  }
  const size_t left = m_wholeSize - m_position;
  if (count > left) {
    ReportShortStream(what, left, count);
    return nullptr;
  }
  const uint8_t* bytes = m_whole.get() + m_position;
  m_position += count;
  return bytes;
}

bool CTextureInflater::Read(void* destination, size_t count, const char* what) {
  if (m_streaming) return ReadStream(destination, count, what);
  const uint8_t* bytes = Take(count, what);
  if (!bytes) return false;
  if (count > 0) std::memcpy(destination, bytes, count);  // an empty destination may be null
  return true;
}

bool CTextureInflater::ReadStream(void* destination, size_t count, const char* what) {
  if (!m_ready) return false;
  m_stream.next_out = static_cast<Bytef*>(destination);
  size_t left = count;
  while (left > 0) {
    uInt chunk = left > UINT_MAX ? UINT_MAX : static_cast<uInt>(left);
    m_stream.avail_out = chunk;
    int result = inflate(&m_stream, Z_SYNC_FLUSH);
    size_t produced = chunk - m_stream.avail_out;
    left -= produced;
    if (left == 0) break;
    if (result == Z_OK && produced == chunk) continue;
    // All input was handed over at once, so a call that stops short has reached the
    // stream's end, met damage or used up the input: retrying could only spin.
    bool corrupt = result == Z_DATA_ERROR || result == Z_NEED_DICT || result == Z_MEM_ERROR ||
                   result == Z_STREAM_ERROR;
    if (corrupt) {
      HM_REPORT(kCTextureInflaterSource, "%s: zlib stream is corrupt in the %s (%s)", m_fileName, what,
                m_stream.msg ? m_stream.msg : zError(result));
      m_ready = false;
    } else {
      ReportShortStream(what, count - left, count);
    }
    inflateEnd(&m_stream);
    m_streaming = false;
    return false;
  }
  return true;
}

bool CTextureInflater::Finish() {
  if (!m_ready) return false;
  m_ready = false;  // nothing is read after the end
  if (m_streaming) return FinishStream();
  // libdeflate took the stream whole, so it ended and its checksum matched.
  if (m_position == m_wholeSize) return true;
  HM_REPORT(kCTextureInflaterSource, "%s: zlib stream goes on after the picture", m_fileName);
  return false;
}

// One more byte is asked for: a whole stream gives none and reports its end, which zlib
// gives only once the checksum has been read and found right.
bool CTextureInflater::FinishStream() {
  uint8_t extra = 0;
  int result = Z_OK;
  uInt inputLeft = 0;
  do {
    inputLeft = m_stream.avail_in;
    m_stream.next_out = &extra;
    m_stream.avail_out = 1;
    result = inflate(&m_stream, Z_SYNC_FLUSH);
    if (m_stream.avail_out == 0) {
      HM_REPORT(kCTextureInflaterSource, "%s: zlib stream goes on after the picture", m_fileName);
      return false;
    }
  } while (result == Z_OK && m_stream.avail_in < inputLeft);  // headers of an empty block
  if (result == Z_STREAM_END) return true;
  if (result == Z_OK || result == Z_BUF_ERROR) {
    HM_REPORT(kCTextureInflaterSource, "%s: zlib stream breaks off after the picture, before its end and checksum",
              m_fileName);
  } else {
    HM_REPORT(kCTextureInflaterSource, "%s: zlib stream is corrupt after the picture (%s)", m_fileName,
              m_stream.msg ? m_stream.msg : zError(result));
  }
  return false;
}

bool CheckTextureSize(uint32_t width, uint32_t height, const char* fileName, const char* what) {
  if (width == 0 || height == 0 || width > kMaxTextureSide || height > kMaxTextureSide) {
    HM_REPORT(kCTextureInflaterSource, "%s: %s %ux%u is outside 1..%u", fileName, what, width, height, kMaxTextureSide);
    return false;
  }
  return true;
}

bool ReportTextureReadFailure(const CByteReader& reader, const char* fileName) {
  HM_REPORT(kCTextureInflaterSource, "%s: %s", fileName, reader.FailureText());
  return false;
}
