#include "Quor/CTextureInflater.h"

#include "Quor/CByteReader.h"
#include "Quor/ReportError.h"
#include "Quor/TextureFormats.h"

#include <climits>

namespace {

const char* const kSource = "Quor/CTextureInflater";

}  // namespace

CTextureInflater::CTextureInflater(CByteReader& reader, const char* fileName)
    : m_fileName(TextureFileLabel(fileName)) {
  const size_t size = reader.Remaining();
  const uint8_t* bytes = reader.Take(size, "compressed data");
  if (!bytes) return;
  if (size > UINT_MAX) {
    HM_REPORT(kSource, "%s: compressed data of %zu bytes is too large", m_fileName, size);
    return;
  }
  // zlib never writes through next_in; the cast only meets its older prototype.
  m_stream.next_in = const_cast<Bytef*>(bytes);
  m_stream.avail_in = static_cast<uInt>(size);
  int result = inflateInit(&m_stream);
  if (result != Z_OK) {
    HM_REPORT(kSource, "%s: cannot start zlib inflation (%s)", m_fileName,
              m_stream.msg ? m_stream.msg : zError(result));
    return;
  }
  m_ready = true;
}

CTextureInflater::~CTextureInflater() {
  if (m_ready) inflateEnd(&m_stream);
}

bool CTextureInflater::Read(void* destination, size_t count, const char* what) {
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
      HM_REPORT(kSource, "%s: zlib stream is corrupt in the %s (%s)", m_fileName, what,
                m_stream.msg ? m_stream.msg : zError(result));
    } else {
      HM_REPORT(kSource, "%s: zlib stream ends before the %s (%zu of %zu bytes inflated)",
                m_fileName, what, count - left, count);
    }
    m_ready = false;
    inflateEnd(&m_stream);
    return false;
  }
  return true;
}

bool CheckTextureSize(uint32_t width, uint32_t height, const char* fileName, const char* what) {
  if (width == 0 || height == 0 || width > kMaxTextureSide || height > kMaxTextureSide) {
    HM_REPORT(kSource, "%s: %s %ux%u is outside 1..%u", fileName, what, width, height,
              kMaxTextureSide);
    return false;
  }
  return true;
}

bool ReportTextureReadFailure(const CByteReader& reader, const char* fileName) {
  HM_REPORT(kSource, "%s: %s", fileName, reader.FailureText());
  return false;
}
