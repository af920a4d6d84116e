#pragma once
// "TexAnim": a frame animation over textures, either one texture cut into a grid ("UV") or
// one texture file per frame ("File", named in a "FileList" or by a numbered pattern). Frame
// files are engine textures ("Mpt"), JPT ("Jpt") or JPEG ("Jpg") textures.

#include "Framework/Resources/omJptTexture.h"
#include "Framework/Resources/omResourceBase.h"
#include "Framework/Scene/omTextureAnimation.h"

#include <memory>
#include <string>
#include <vector>

namespace Ombrel {

class CJpegDecoder;

struct STexAnimSettings {
  bool grid = false;  // "UV"; else "File"
  CStr fileType = "Mpt";
  int frameCount = 0;
  int rows = 0;
  int columns = 0;
  std::vector<std::string> fileNames;  // "File": one per frame
  float duration = 1.0f;
  bool loop = false;
  bool autoPlay = false;
  float progress = 0.0f;
};

// The settings of a declaration; false (reported naming the file) for a declaration that
// cannot be played: an unknown "Type", a zero or negative timing, missing "File" children.
bool ReadTexAnimSettings(const TiXmlElement* element, const CStr& basePath, const CStr& fileName,
                         STexAnimSettings& settings);
// The numbered frame names: the file name without its last `digits` characters, then the
// number start + i written with at least `digits` digits.
std::vector<std::string> NumberedFrameNames(const std::string& basePath, const std::string& fileName, int digits,
                                            int start, int count);

class CResourceTexAnim : public CResourceBase {
 public:
  static constexpr const char* kTypeName = "TexAnim";

  CResourceTexAnim(const CStr& path, CJpegDecoder* decoder, const STexAnimSettings& settings)
      : CResourceBase(path), m_decoder(decoder), m_settings(settings) {}
  ~CResourceTexAnim() override { Unload(); }

  bool IsLoaded() const override { return m_animation != nullptr; }
  void Load() override;
  void Unload() override;
  const char* GetTypeName() const override { return kTypeName; }
  CTextureAnimation* GetAnimation() const { return m_animation.get(); }
  const STexAnimSettings& GetSettings() const { return m_settings; }

 private:
  TextureRecord* LoadFrameTexture(const std::string& name);

  CJpegDecoder* m_decoder;
  STexAnimSettings m_settings;
  std::unique_ptr<CTextureAnimation> m_animation;
  std::vector<TextureRecord*> m_engineTextures;
  std::vector<std::unique_ptr<CDecodedTexture>> m_decodedTextures;
};

class CResTexAnimLoader : public CResourceLoader {
 public:
  explicit CResTexAnimLoader(CJpegDecoder* decoder);
  CResourceBase* CreateFromXml(const CStr& name, const CStr& fileName, const TiXmlElement* element, bool load,
                               bool explicitDir) override;

 private:
  CJpegDecoder* m_decoder;
};

}  // namespace Ombrel
