#pragma once
// "Font": an engine font shared through one program-wide cache keyed by the file path (any
// case), counted per font. "BindImages" binds the key and mouse icons to characters of the
// font; only the resource that loads a font first sets it up.

#include "Framework/Resources/omResourcePattern.h"

class CFont;

namespace Ombrel {

class CResourceFont : public CResourceBase {
 public:
  static constexpr const char* kTypeName = "Font";
  static constexpr const char* kFolder = "Fonts\\";
  static constexpr const char* kExtension = ".fnt";

  explicit CResourceFont(const SDeclaration& declaration);
  ~CResourceFont() override { Unload(); }

  bool IsLoaded() const override { return m_font != nullptr; }
  void Load() override;
  void Unload() override;
  const char* GetTypeName() const override { return kTypeName; }
  CFont* GetFont() const { return m_font; }

 private:
  CFont* m_font = nullptr;  // the cache's
  bool m_bindImages;
};

class CResFontLoader : public CPatternLoader<CResourceFont> {
 public:
  // Fonts still cached at the end are deleted with the loader.
  ~CResFontLoader() override;
};

// How many fonts the cache holds, and how many resources share the font of a path.
uint32_t GetCachedFontCount();
uint32_t GetFontShareCount(const char* path);

// The icon file bound to each character by "BindImages".
struct SFontIconFile {
  const char* file;
  uint8_t character;
};
extern const SFontIconFile kFontIcons[40];

}  // namespace Ombrel
