#pragma once
// What the tests of the item frame and the story dialog share: their layout built in memory as
// the layout file gives it (layout units, y up), the mouse set in the engine's input tables,
// and, for the drawn frames, the 64 x 64 device with a phrase dictionary and the fixture font.

#include "Framework/Scene/omSceneNode.h"
#include "Framework/Utils/omXmlDictionary.h"
#include "Framework/omLayout2D.h"
#include "Quor/CFont.h"
#include "Quor/DirectX/InputState.h"
#include "Quor/Engine.h"
#include "tests/Quor/Render/RenderTestKit.h"
#include "tests/support/engine/CameraInMode.h"
#include "tools/fontmaker/FontFileWriter.h"

#include <memory>
#include <string>
#include <vector>

namespace overlaytest {

// On the 64-pixel test screen of the drawing tests the aspect is 1: a layout unit is 32 pixels
// and the centre (0, 0) is pixel (32, 32).
inline Ombrel::SLayoutSprite* AddPicture(Ombrel::CLayout2D& layout, const char* name, Vector2 position, Vector2 size,
                                         TextureRecord* texture = nullptr, bool visible = true) {
  auto picture = std::make_unique<Ombrel::SLayoutSprite>();
  Ombrel::SLayoutSprite* added = picture.get();
  picture->name = name;
  picture->position = position;
  picture->size = size;
  picture->texture = texture;
  picture->visible = visible;
  picture->index = int32_t(layout.GetCount());
  layout.AddItem(std::move(picture));
  return added;
}

// A text in cream-white at full alpha, its characters `height` virtual units high, unwrapped.
inline Ombrel::SLayoutText* AddText(Ombrel::CLayout2D& layout, const char* name, Vector2 position, CFont* font,
                                    float height = 64.0f) {
  auto text = std::make_unique<Ombrel::SLayoutText>();
  Ombrel::SLayoutText* added = text.get();
  text->name = name;
  text->position = position;
  text->visible = true;
  text->style.font = font;
  text->style.height = height;
  text->style.width = 4096.0f;
  text->index = int32_t(layout.GetCount());
  layout.AddItem(std::move(text));
  return added;
}

// The mouse at a virtual-screen point with the two buttons' down values now and a frame ago,
// in the tables as the engine's poll leaves them (the edge in `changed`).
struct SMouse {
  float x = 2048.0f, y = 2048.0f;
  bool left = false, leftBefore = false;
  bool right = false, rightBefore = false;
};
inline void SetMouse(const SMouse& mouse) {
  SInputState& input = GetInputState();
  input.mouseX = (mouse.x - 2048.0f) / 256.0f;
  input.mouseY = (mouse.y - 2048.0f) / 256.0f;
  input.down[1] = mouse.left;
  input.changed[1] = mouse.left != mouse.leftBefore;
  input.previous[1] = mouse.left;
  input.down[2] = mouse.right;
  input.changed[2] = mouse.right != mouse.rightBefore;
  input.previous[2] = mouse.right;
}

// The input tables and the language put back after each test.
class CInputAndLanguageScope {
 public:
  CInputAndLanguageScope() { ResetInputState(); }
  ~CInputAndLanguageScope() {
    ResetInputState();
    SetLanguage(m_language);
  }

 private:
  int32_t m_language = GetLanguage();
};

// The 64 x 64 device, square under a camera of aspect 1, with the fixture font and a dictionary
// of the given game phrases (English).
class COverlayDrawFixture : public rendertest::CRenderFixture {
 protected:
  void SetUp() override {
    CRenderFixture::SetUp();
    SetLanguage(kLangEnglish);
    const std::vector<uint8_t> font = fontmaker::WriteFontFile(fontmaker::MakeFixtureFont());
    m_font.LoadFromMemory("Fonts\\fixture.fnt", font.data(), font.size());
  }
  void TearDown() override {
    m_dictionary.reset();
    CRenderFixture::TearDown();
  }

  // `phrases` as (key, English text) pairs.
  void LoadDictionary(const std::vector<std::pair<std::string, std::string>>& phrases) {
    WriteContent(Ombrel::CXmlDictionary::kSystemDictionary, vfstest::Text("<Dictionary/>"));
    std::string game = "<Dictionary>";
    for (const auto& phrase : phrases)
      game += "<Phrase ID=\"" + phrase.first + "\"><en t=\"" + phrase.second + "\"/></Phrase>";
    WriteContent(Ombrel::CXmlDictionary::kGameDictionary, vfstest::Text(game + "</Dictionary>"));
    m_dictionary = std::make_unique<Ombrel::CXmlDictionary>();
    m_dictionary->Load(Ombrel::CXmlDictionary::kGameDictionary);
  }
  // The node drawn over a grey screen, read back.
  std::vector<uint8_t> DrawFrame(Ombrel::ISceneNode& node) {
    BeginFrame(0xFF404040);
    AlphaBlendOn();  // as the node's material does in its layer
    node.Render();
    return EndFrame();
  }
  // A 4 x 4 picture of one colour.
  TextureRecord* SolidTexture(const char* name, rendertest::SRgba colour) {
    const std::vector<uint8_t> texels = rendertest::Solid(4, 4, colour);
    return m_manager->CreateTexture(name, 4, 4, texels.data(), false, false);
  }
  // The pixels of the block [x0, x1) x [y0, y1) that are nearly white: drawn text.
  static int TextPixels(const std::vector<uint8_t>& frame, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        const rendertest::SRgba p = Pixel(frame, kSize, x, y);
        count += p.r > 200 && p.g > 200 && p.b > 200;
      }
    }
    return count;
  }

  CInputAndLanguageScope m_scope;
  hmtest::CCameraInMode m_camera{kAspectCustom, 1.0f};
  CFont m_font;
  std::unique_ptr<Ombrel::CXmlDictionary> m_dictionary;
  Ombrel::CLayout2D m_layout;
};

constexpr rendertest::SRgba kGrey{64, 64, 64, 255};  // the screen under the node

}  // namespace overlaytest
