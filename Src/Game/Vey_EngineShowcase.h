#pragma once
// TEMPORARY, with the temporary start-up: a small scene that shows the engine's drawing end to
// end until the game's own states exist. It runs when HOLLOWMERE_SHOWCASE names an archive
// base (BASE.PK2 and its volumes) holding "Textures/Checker.mpt", "Textures/Dot.mpt" (white),
// "Fonts/Sans.fnt" and "Fonts/Gothic.fnt": the content is loaded behind a loading screen,
// then every frame shows the texture, text in both fonts with colour escapes, and the 2-D
// primitives.

#include <memory>

class CFont;
class CTextureManager;
class CVFS;
struct TextureRecord;

namespace Vey {

class CEngineShowcase {
 public:
  static constexpr const char* kVariable = "HOLLOWMERE_SHOWCASE";
  // Texts drawn every frame (the escapes colour part of each).
  static const char* const kSansText;
  static const char* const kGothicText;

  CEngineShowcase();
  ~CEngineShowcase();
  CEngineShowcase(const CEngineShowcase&) = delete;
  CEngineShowcase& operator=(const CEngineShowcase&) = delete;

  // True when the variable is set; a set variable whose archive cannot be read is fatal.
  bool Open();
  // Loads the content while the loading screen draws; with capture on, saves the loading
  // screen's picture as "loading-screen.png" in the capture folder.
  void Load();
  // Draws one frame's scene (between the frame's begin and end).
  void Draw();

 private:
  void DrawPrimitives();
  void DrawTexts();

  std::unique_ptr<CVFS> m_vfs;
  std::unique_ptr<CTextureManager> m_textures;
  std::unique_ptr<CFont> m_sans;
  std::unique_ptr<CFont> m_gothic;
  TextureRecord* m_checker = nullptr;
  bool m_extentsPrinted = false;
};

}  // namespace Vey
