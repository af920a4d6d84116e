#pragma once
// The screens drawn from the content the build makes: the content tree as the file system, the
// resource types the screens' lists declare, the game's phrases (English) and its sound bank,
// over the 64 x 64 drawing device of the overlay tests.

#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"
#include "Framework/Resources/ResourceTypes/omResourceSound.h"
#include "Framework/Resources/ResourceTypes/omResourceTexAnim.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "Framework/omLayout2D.h"
#include "Quor/CFont.h"
#include "Quor/CSoundManager.h"
#include "Quor/ITextRenderer.h"
#include "Quor/Timer.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"
#include "tests/Quor/SoundTestKit.h"
#include "tests/Src/Investigation/OverlayTestKit.h"

#include <memory>
#include <string>
#include <vector>

namespace overlaytest {

// Sets the font up as the game draws the text: its style, and letters as wide as in a view of
// the settings' shape (the game's view keeps that shape whatever the window's), which is also
// the shape the style's wrap width is converted with. Returns that shape.
inline float ApplyStyleAsDrawn(const STextStyle& style) {
  ApplyTextStyle(&style);
  const float shape = GetTextRenderer() ? GetTextRenderer()->GetSettingsAspect() : 4.0f / 3.0f;
  style.font->SetAspectFactor(1.0666667f / shape);
  return shape;
}

// A text's width in layout units (screen heights / 2) as its style draws it on one line.
inline float LayoutWidth(const STextStyle& style, const std::string& words) {
  const float shape = ApplyStyleAsDrawn(style);
  style.font->SetWrapWidth(CFont::kNoWrap);
  float width = 0, height = 0;
  style.font->GetTextExtent(words.c_str(), &width, &height);
  return width / (Vey::kLayoutUnit / shape);
}
inline float LayoutWidth(const Ombrel::SLayoutText& text, const std::string& words) {
  return LayoutWidth(text.style, words);
}

class CBuiltContentFixture : public COverlayDrawFixture {
 protected:
  // Reads the resource list (a path below the content tree) and the game's phrases.
  void LoadContent(const char* resourceList) {
    soundtest::UseDummyAudio();
    m_content = std::make_unique<CVFS>(m_root.c_str());
    g_pVFS = m_content.get();
    m_textures = std::make_unique<CTextureManager>("");
    SetTextureManager(m_textures.get());
    m_sounds = std::make_unique<CSoundManager>();
    m_resources = std::make_unique<Ombrel::CResourceManager>();
    m_resources->RegisterLoader(new Ombrel::CResFontLoader, "Font");
    m_resources->RegisterLoader(new Ombrel::CResTextureLoader, "Texture");
    m_resources->RegisterLoader(new Ombrel::CResSoundLoader, "Sound");
    m_resources->RegisterLoader(new Ombrel::CResTexAnimLoader(nullptr), "TexAnim");
    m_resources->RegisterLoader(new Ombrel::CResLayout2DLoader(m_resources.get()), "Layout2D");
    Ombrel::CResourcesXMLLoader(m_resources.get()).Load(resourceList);
    m_dictionary = std::make_unique<Ombrel::CXmlDictionary>();
    m_dictionary->Load(Ombrel::CXmlDictionary::kGameDictionary);
  }
  void TearDown() override {
    m_dictionary.reset();
    m_resources.reset();
    m_sounds.reset();
    SetTextureManager(m_manager.get());
    m_textures.reset();
    g_pVFS = m_vfs.get();
    m_content.reset();
    DeleteFrameClock();
    COverlayDrawFixture::TearDown();
  }
  // The layout of that name the list declared; null when it has none.
  Ombrel::CLayout2D* Layout(const char* name) const {
    Ombrel::CResourceLayout2D* layout = m_resources->GetLayout2D(name);
    return layout ? layout->GetLayout() : nullptr;
  }
  // Reports but those of the sounds the rest of the game brings.
  static std::string OwnReports() {
    std::string own;
    for (const std::string& text : hmtest::Reports())
      if (text.find("sounds") == std::string::npos) own += text + "\n";
    return own;
  }
  // Pixels of the block that are cream: light and warm.
  static int CreamPixels(const std::vector<uint8_t>& frame, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        const rendertest::SRgba p = Pixel(frame, kSize, x, y);
        count += p.r > 150 && p.r >= p.b + 20;
      }
    return count;
  }
  // The height of the text's lines in layout units as its style wraps the words, and whether no
  // line runs past its wrap.
  static float MeasureText(const Ombrel::SLayoutText& text, const std::string& words, bool* fits) {
    ApplyStyleAsDrawn(text.style);
    float width = 0, height = 0;
    text.style.font->GetTextExtent(words.c_str(), &width, &height);
    *fits = width <= text.style.font->GetWrapWidth() + 0.5f;
    return height / 256.0f;
  }
  // Whether a phrase of the game's dictionary exists.
  bool HasPhrase(const std::string& key) const {
    return std::string(m_dictionary->GetPhrase(key.c_str())).rfind("NotFound", 0) == std::string::npos;
  }

  const std::string m_root = std::string(HM_BINARY_DIR) + "/content/";
  std::unique_ptr<CVFS> m_content;
  std::unique_ptr<CTextureManager> m_textures;
  std::unique_ptr<CSoundManager> m_sounds;
  std::unique_ptr<Ombrel::CResourceManager> m_resources;
};

}  // namespace overlaytest
