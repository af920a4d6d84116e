#include "Framework/Resources/omJpegTexture.h"

#include "Framework/Resources/omJpegDecoder.h"
#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/CByteReader.h"
#include "Quor/ContentOrigin.h"
#include "Quor/CTextureManager.h"
#include "Quor/ReportError.h"

#include <algorithm>
#include <cstring>

namespace Ombrel {

namespace {
constexpr const char* kOmJpegTextureSource = "Framework/Resources/omJpegTexture";

int ChannelOf(const char* name) {
  static const char* const kNames[4] = {"Red", "Green", "Blue", "Alpha"};
  for (int channel = 0; channel < 4; ++channel) {
    if (name && std::strcmp(name, kNames[channel]) == 0) return channel;
  }
  return kChannelAlpha;
}
}  // namespace

SMaskSettings ReadMaskSettings(const TiXmlElement* element, const CStr& folder) {
  SMaskSettings settings;
  if (HasAttribute(element, "Decompress")) settings.decompress = !AttributeIs(element, "Decompress", "False");
  const TiXmlElement* mask = FindChild(element, "Mask");
  if (!mask) return settings;
  settings.wanted = true;
  if (const char* file = FindAttribute(mask, "File")) {
    settings.file = folder + file;
  } else {
    settings.channel = ChannelOf(FindAttribute(mask, "Channel"));
  }
  settings.depth = AttributeInt(mask, "Depth", 1);
  settings.threshold = uint8_t(AttributeInt(mask, "Threshold", 1));
  return settings;
}

std::unique_ptr<CTextureMask> ReadRawMask(const char* fileName, int width, int height, const SMaskSettings& mask) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(fileName, &bytes)) {
    HM_REPORT(kOmJpegTextureSource, "No such file: %s", fileName);
    return nullptr;
  }
  const size_t rowSize = size_t(width);
  if (bytes.size() < rowSize * size_t(height)) {
    HM_REPORT(kOmJpegTextureSource, "%s: a mask of %zu bytes is shorter than its %dx%d picture; no mask is made",
              fileName, bytes.size(), width, height);
    return nullptr;
  }
  // The file's rows run from the bottom; the mask's from the top.
  for (int row = 0; row < height / 2; ++row) {
    std::swap_ranges(bytes.begin() + ptrdiff_t(row * rowSize), bytes.begin() + ptrdiff_t((row + 1) * rowSize),
                     bytes.begin() + ptrdiff_t((height - 1 - row) * rowSize));
  }
  auto result = std::make_unique<CTextureMask>();
  result->Create(bytes.data(), width, height, mask.depth == 1 ? CTextureMask::kBits : CTextureMask::kBytes,
                 mask.threshold);
  return result;
}

CDecodedTexture::CDecodedTexture(const CStr& path, CJpegDecoder* decoder, const SMaskSettings& mask)
    : m_path(path), m_decoder(decoder), m_maskSettings(mask) {}

CDecodedTexture::~CDecodedTexture() {
  if (m_texture && GetTextureManager()) GetTextureManager()->ReleaseTexture(m_texture);
}

void CDecodedTexture::Create() {
  if (m_texture || !m_decoder) return;
  FeedDecoder(*m_decoder);
  const bool maskFromChannel = m_maskSettings.wanted && !m_mask && m_maskSettings.file.IsEmpty();
  if (maskFromChannel) m_decoder->SetKeepFlag(m_maskSettings.channel);
  const uint8_t* pixels = m_decoder->Decode();
  CTextureManager* textures = m_decoder->GetTextureManager();
  if (pixels && textures) {
    m_texture = CreatePaddedTexture(*textures, m_path.GetText(), m_decoder->GetWidth(), m_decoder->GetHeight(), pixels);
  }
  if (m_texture && m_maskSettings.wanted && !m_mask) BuildMask(*m_decoder);
  m_decoder->Reset();
}

void CDecodedTexture::BuildMask(const CJpegDecoder& decoder) {
  const int width = decoder.GetWidth();
  const int height = decoder.GetHeight();
  if (!m_maskSettings.file.IsEmpty()) {
    m_mask = ReadRawMask(m_maskSettings.file.GetText(), width, height, m_maskSettings);
    return;
  }
  const uint8_t* plane = decoder.GetPlane(m_maskSettings.channel);
  if (!plane) return;
  m_mask = std::make_unique<CTextureMask>();
  m_mask->Create(plane, width, height, m_maskSettings.depth == 1 ? CTextureMask::kBits : CTextureMask::kBytes,
                 m_maskSettings.threshold);
}

CJpegTexture::CJpegTexture(const CStr& path, const CStr& alphaPath, CJpegDecoder* decoder,
                           const SMaskSettings& mask)
    : CDecodedTexture(path, decoder, mask), m_alphaPath(alphaPath) {
  if (!ReadWholeVfsFile(path.GetText(), &m_data))
    HM_FATAL(kOmJpegTextureSource, "No such file: %s%s", path.GetText(), CContentOrigin::Clause().c_str());
}

void CJpegTexture::FeedDecoder(CJpegDecoder& decoder) const {
  decoder.SetColourData(m_data.data(), m_data.size(), m_path.GetText());
  if (!m_alphaPath.IsEmpty()) decoder.SetAlphaFileName(m_alphaPath.GetText());
}

}  // namespace Ombrel
