#include "Framework/Resources/ResourceTypes/omResourceTexAnim.h"

#include "Framework/Resources/omEngineFolders.h"
#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/CTextureManager.h"
#include "Quor/ReportError.h"

#include <tinyxml.h>

#include <cstring>

namespace Ombrel {

namespace {
constexpr const char* kOmResourceTexAnimSource = "Framework/Resources/ResourceTypes/omResourceTexAnim";

std::string FrameExtension(const CStr& fileType) { return std::string(".") + fileType.GetText(); }

bool ReadFileList(const TiXmlElement& list, const CStr& basePath, const CStr& fileName, STexAnimSettings& settings) {
  const TiXmlElement* file = list.FirstChildElement("File");
  for (int i = 0; i < settings.frameCount; ++i, file = file->NextSiblingElement("File")) {
    if (!file) {
      HM_REPORT(kOmResourceTexAnimSource, "%s: the file list names %d of %d frames", fileName.GetText(), i,
                settings.frameCount);
      return false;
    }
    // File children past the frame count are not read.
    settings.fileNames.push_back(std::string(basePath.GetText()) + AttributeText(file, "FileName").GetText() +
                                 FrameExtension(settings.fileType));
  }
  return true;
}

// The first timing present wins: "Duration", then "Fps", then "Speed". Each must be above 0.
bool ReadParams(const TiXmlElement* params, const CStr& fileName, STexAnimSettings& settings) {
  const char* kTimings[3] = {"Duration", "Fps", "Speed"};
  for (const char* timing : kTimings) {
    if (!HasAttribute(params, timing)) continue;
    const float value = AttributeFloat(params, timing);
    if (!(value > 0.0f)) {
      HM_REPORT(kOmResourceTexAnimSource, "%s: the animation's \"%s\" is %g; it must be above 0", fileName.GetText(),
                timing, double(value));
      return false;
    }
    if (std::strcmp(timing, "Duration") == 0) settings.duration = value;
    if (std::strcmp(timing, "Fps") == 0) settings.duration = float(settings.frameCount) / value;
    if (std::strcmp(timing, "Speed") == 0) settings.duration = 1.0f / value;
    break;
  }
  if (!(settings.duration > 0.0f)) {
    HM_REPORT(kOmResourceTexAnimSource, "%s: an animation of %d frames cannot last %g seconds", fileName.GetText(),
              settings.frameCount, double(settings.duration));
    return false;
  }
  if (HasAttribute(params, "Loop")) settings.loop = AttributeIs(params, "Loop", "True");
  if (HasAttribute(params, "AutoPlay")) settings.autoPlay = AttributeIs(params, "AutoPlay", "True");
  settings.progress = AttributeFloat(params, "Progress", settings.progress);
  return true;
}
}  // namespace

std::vector<std::string> NumberedFrameNames(const std::string& basePath, const std::string& fileName, int digits,
                                            int start, int count) {
  const std::string prefix =
      digits > 0 && size_t(digits) < fileName.size() ? fileName.substr(0, fileName.size() - size_t(digits))
                                                     : (digits > 0 ? std::string() : fileName);
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    std::string number = std::to_string(start + i);
    if (number.size() < size_t(std::max(digits, 0))) number.insert(0, size_t(digits) - number.size(), '0');
    names.push_back(basePath + prefix + number);
  }
  return names;
}

bool ReadTexAnimSettings(const TiXmlElement* element, const CStr& basePath, const CStr& fileName,
                         STexAnimSettings& settings) {
  settings.frameCount = AttributeInt(element, "FrameCount");
  if (const char* fileType = FindAttribute(element, "FileType")) settings.fileType = fileType;
  if (settings.frameCount < 0 || settings.frameCount > 65536) {
    HM_REPORT(kOmResourceTexAnimSource, "%s: a frame count of %d is not possible", fileName.GetText(),
              settings.frameCount);
    return false;
  }
  if (AttributeIs(element, "Type", "UV")) {
    settings.grid = true;
    settings.rows = AttributeInt(element, "RowCount");
    settings.columns = AttributeInt(element, "ColCount");
  } else if (AttributeIs(element, "Type", "File")) {
    if (const TiXmlElement* list = FindChild(element, "FileList")) {
      if (!ReadFileList(*list, basePath, fileName, settings)) return false;
    } else {
      const std::vector<std::string> names =
          NumberedFrameNames(basePath.GetText(), fileName.GetText(), AttributeInt(element, "DigitCount"),
                             AttributeInt(element, "StartIndex"), settings.frameCount);
      for (const std::string& name : names) settings.fileNames.push_back(name + FrameExtension(settings.fileType));
    }
  } else {
    HM_REPORT(kOmResourceTexAnimSource, "%s: Unknown texture animation type!", fileName.GetText());
    return false;
  }
  return ReadParams(FindChild(element, "Params"), fileName, settings);
}

TextureRecord* CResourceTexAnim::LoadFrameTexture(const std::string& name) {
  const CStr& type = m_settings.fileType;
  if (type.IsEqual("Mpt")) {
    CTextureManager* textures = GetTextureManager();
    TextureRecord* texture = textures ? textures->LoadTexture(name.c_str()) : nullptr;
    if (texture) m_engineTextures.push_back(texture);
    return texture;
  }
  std::unique_ptr<CDecodedTexture> decoded;
  if (type.IsEqual("Jpt")) decoded = std::make_unique<CJptTexture>(name.c_str(), m_decoder, SMaskSettings());
  if (type.IsEqual("Jpg")) decoded = std::make_unique<CJpegTexture>(name.c_str(), "", m_decoder, SMaskSettings());
  if (!decoded) return nullptr;  // another file type: the frame has no texture
  decoded->Create();
  m_decodedTextures.push_back(std::move(decoded));
  return m_decodedTextures.back()->GetTexture();
}

void CResourceTexAnim::Load() {
  Unload();
  const CContentOrigin origin(GetOrigin().GetText());
  const CEngineFolderScope folders("", nullptr);  // frame names are full paths
  m_animation = std::make_unique<CTextureAnimation>();
  if (m_settings.grid) {
    TextureRecord* texture = LoadFrameTexture(std::string(m_path.GetText()) + "." + m_settings.fileType.GetText());
    m_animation->Init(CTextureAnimation::kGrid, m_settings.frameCount);
    m_animation->SetGridFrames(texture, m_settings.rows, m_settings.columns);
  } else {
    m_animation->Init(CTextureAnimation::kFiles, int(m_settings.fileNames.size()));
    for (size_t i = 0; i < m_settings.fileNames.size(); ++i) {
      m_animation->SetFrame(int(i), LoadFrameTexture(m_settings.fileNames[i]), 0.0f, 1.0f, 1.0f, 0.0f);
    }
  }
  m_animation->SetDuration(m_settings.duration);
  m_animation->SetLoop(m_settings.loop);
  m_animation->SetAutoPlay(m_settings.autoPlay);
  m_animation->SetProgress(m_settings.progress);
}

void CResourceTexAnim::Unload() {
  m_animation.reset();
  if (CTextureManager* textures = GetTextureManager()) {
    for (TextureRecord* texture : m_engineTextures) textures->ReleaseTexture(texture);
  }
  m_engineTextures.clear();
  m_decodedTextures.clear();
}

CResTexAnimLoader::CResTexAnimLoader(CJpegDecoder* decoder) : m_decoder(decoder) {
  SetTypeName(CResourceTexAnim::kTypeName);
  SetFolder("Textures\\");
  SetExtension(".mpt");
}

CResourceBase* CResTexAnimLoader::CreateFromXml(const CStr&, const CStr& fileName, const TiXmlElement* element,
                                                bool load, bool explicitDir) {
  ReadCommonFlags(element, load, explicitDir);
  const CStr basePath = BasePath(explicitDir);
  STexAnimSettings settings;
  if (!ReadTexAnimSettings(element, basePath, fileName, settings)) return nullptr;
  auto* animation = new CResourceTexAnim(basePath + fileName, m_decoder, settings);
  if (load) animation->Load();
  return animation;
}

}  // namespace Ombrel
