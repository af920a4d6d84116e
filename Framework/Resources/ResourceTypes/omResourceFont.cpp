#include "Framework/Resources/ResourceTypes/omResourceFont.h"

#include "Framework/Resources/omEngineFolders.h"
#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/CFont.h"
#include "Quor/CStringHash.h"
#include "Quor/CTextureManager.h"

#include <memory>

namespace Ombrel {

const SFontIconFile kFontIcons[40] = {
    {"PC_space.bmp", ' '},
    {"PC_mouse_active.bmp", '.'},
    {"PC_mouse_active2.bmp", ','},
    {"PC_mouse.bmp", '/'},
    {"PC_enter.bmp", '0'},
    {"Delete.bmp", '9'},
    {"PC_arrow_up.bmp", '8'},
    {"PC_arrow_right.bmp", '6'},
    {"PC_arrow_left.bmp", '4'},
    {"PC_arrow_down.bmp", '5'},
    {"PC_arrows.bmp", '*'},
    {"Esc.bmp", '1'},
    {"PgUp.bmp", '2'},
    {"PgDwn.bmp", '3'},
    {"q.bmp", 'Q'},
    {"w.bmp", 'W'},
    {"E.bmp", 'E'},
    {"R.bmp", 'R'},
    {"T.bmp", 'T'},
    {"y.bmp", 'Y'},
    {"U.bmp", 'U'},
    {"I.bmp", 'I'},
    {"O.bmp", 'O'},
    {"P.bmp", 'P'},
    {"A.bmp", 'A'},
    {"S.bmp", 'S'},
    {"D.bmp", 'D'},
    {"F.bmp", 'F'},
    {"G.bmp", 'G'},
    {"h.bmp", 'H'},
    {"J.bmp", 'J'},
    {"K.bmp", 'K'},
    {"L.bmp", 'L'},
    {"z.bmp", 'Z'},
    {"x.bmp", 'X'},
    {"C.bmp", 'C'},
    {"v.bmp", 'V'},
    {"B.bmp", 'B'},
    {"N.bmp", 'N'},
    {"M.bmp", 'M'},
};

namespace {

struct SCachedFont {
  std::unique_ptr<CFont> font;
  uint32_t count = 0;
};

CStringHash<SCachedFont*>& FontCache() {
  static CStringHash<SCachedFont*> cache(113);
  return cache;
}

void BindIcons(CFont& font) {
  CTextureManager* textures = GetTextureManager();
  if (!textures) return;
  SetTextureFolder("Icons\\Textures\\");
  for (const SFontIconFile& icon : kFontIcons) {
    font.SetCharIcon(icon.character, textures->LoadTexture(icon.file), 1.0f, 0.0f, 0.0f);
  }
  SetTextureFolder("");
}

}  // namespace

CResourceFont::CResourceFont(const SDeclaration& declaration)
    : CResourceBase(declaration.path), m_bindImages(AttributeIs(declaration.element, "BindImages", "True")) {}

void CResourceFont::Load() {
  Unload();
  const CContentOrigin origin(GetOrigin().GetText());
  if (auto* entry = FontCache().Find(m_path.GetText())) {
    ++entry->value->count;
    m_font = entry->value->font.get();
    return;
  }
  auto cached = std::make_unique<SCachedFont>();
  cached->font = std::make_unique<CFont>();
  cached->font->Load(m_path.GetText());
  cached->font->SetRenderStatesOff();
  if (m_bindImages) BindIcons(*cached->font);
  cached->count = 1;
  m_font = cached->font.get();
  FontCache().Insert(m_path.GetText(), cached.release());
}

void CResourceFont::Unload() {
  if (!m_font) return;
  m_font = nullptr;
  auto* entry = FontCache().Find(m_path.GetText());
  if (!entry) return;
  if (--entry->value->count == 0) {
    delete entry->value;
    FontCache().RemoveNode(m_path.GetText());
  }
}

CResFontLoader::~CResFontLoader() {
  for (auto& entry : FontCache()) delete entry.value;
  FontCache().Clear();
}

uint32_t GetCachedFontCount() { return FontCache().GetCount(); }

uint32_t GetFontShareCount(const char* path) {
  const auto* entry = FontCache().Find(path);
  return entry ? entry->value->count : 0;
}

}  // namespace Ombrel
