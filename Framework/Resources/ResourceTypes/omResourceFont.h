#pragma once
// The "Font" resource type: an engine font read from "Fonts\NAME.fnt".

#include "Framework/Resources/omResourceBase.h"

#include <memory>

class CFont;

namespace Ombrel {

class CResourceFont : public CResourceBase {
 public:
  static constexpr const char* kTypeName = "Font";

  explicit CResourceFont(const CStr& path);
  ~CResourceFont() override;

  bool IsLoaded() const override { return m_font != nullptr; }
  // A missing or damaged font file is fatal (the engine's font loading).
  void Load() override;
  void Unload() override;
  const char* GetTypeName() const override { return kTypeName; }

  CFont* GetFont() const { return m_font.get(); }

 private:
  std::unique_ptr<CFont> m_font;
};

class CResFontLoader : public CResourceLoader {
 public:
  CResFontLoader();
  CResourceBase* CreateFromXml(const CStr& name, const CStr& fileName, const TiXmlElement* element,
                               bool load, bool explicitDir) override;
};

}  // namespace Ombrel
