#pragma once
// A 2-D layout in memory: the screen objects a ".2dl" file lists (sprites, animated sprites,
// placeholders, texts and path graphs), in file order and by name. The layout resource fills
// it; screens walk it or fetch objects by name and draw them themselves. The resources an item
// points at belong to the layout resource, which holds them while the layout lives.

#include "Quor/CFont.h"
#include "Quor/CMemWatch.h"
#include "Quor/CStringHash.h"
#include "Quor/Utils.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TextureRecord;

namespace AStar {
class IGraph;
}

namespace Ombrel {

class CResourceTexture;
class CResourceJpegTexture;
class CResourceJptTexture;
class CResourceTexAnim;
class CResourceFont;
class CResourceAStarGraph;
class CTextureAnimation;

enum ELayoutItemKind : int32_t {
  kLayoutSprite = 1,
  kLayoutAnimatedSprite = 2,
  kLayoutDummy = 3,
  kLayoutText = 4,
  kLayoutGraph = 5,
};

// Where a text item's words come from.
enum ELayoutTextSource : int32_t { kTextPlain = 0, kTextDictionary = 1 };

// Full intensity on the 2-D drawing scale, in all four channels.
constexpr RGBA kLayoutDefaultColour = 0x80808080u;

struct SLayoutItem {
  explicit SLayoutItem(int32_t itemKind) : kind(itemKind) {}
  virtual ~SLayoutItem() = default;

  int32_t index = 0;  // among the layout's items, from 0
  std::string name;   // empty when the object has none
  bool visible = false;
  int32_t kind;
};

// A placeholder (kind 3), and the placement sprites share.
struct SLayoutBox : SLayoutItem {
  using SLayoutItem::SLayoutItem;
  Vector2 position;
  Vector2 size;
  Vector2 scale{1.0f, 1.0f};
  RGBA colour = kLayoutDefaultColour;
  float angle = 0.0f;  // radians; the files hold none, the game's animations turn objects
};

// Kind 1. Of the three resources only the one of the declared type is set; the texture is its
// engine texture (null without one).
struct SLayoutSprite : SLayoutBox {
  SLayoutSprite() : SLayoutBox(kLayoutSprite) {}
  TextureRecord* texture = nullptr;
  CResourceJpegTexture* jpegResource = nullptr;
  CResourceJptTexture* jptResource = nullptr;
  CResourceTexture* textureResource = nullptr;
};

// Kind 2.
struct SLayoutAnimatedSprite : SLayoutBox {
  SLayoutAnimatedSprite() : SLayoutBox(kLayoutAnimatedSprite) {}
  CTextureAnimation* animation = nullptr;
  CResourceTexAnim* animationResource = nullptr;
};

// Kind 4. The style is what ApplyTextStyle sets the font up from: the file's colour, font size
// (height, default 20), wrap width (default 100), extra line spacing, justify and alignments
// (centred by default).
struct SLayoutText : SLayoutItem {
  SLayoutText();
  Vector2 position;
  STextStyle style;
  std::string text;       // the words of a plain text
  std::string phraseKey;  // the dictionary key of a dictionary text
  int32_t source = kTextPlain;
  CResourceFont* fontResource = nullptr;
};

// Kind 5.
struct SLayoutGraph : SLayoutItem {
  SLayoutGraph() : SLayoutItem(kLayoutGraph) {}
  AStar::IGraph* graph = nullptr;
  CResourceAStarGraph* graphResource = nullptr;
};

class CLayout2D : public CMemWatch {
 public:
  CLayout2D() = default;
  ~CLayout2D() override = default;
  CLayout2D(const CLayout2D&) = delete;
  CLayout2D& operator=(const CLayout2D&) = delete;

  // Makes room for n items.
  void Reserve(uint32_t n);
  // Takes the item; it becomes the last one and, when named, can be found by its name.
  void AddItem(std::unique_ptr<SLayoutItem> item);
  // The item at 0..count-1; null (and reported) past the end.
  SLayoutItem* GetItem(uint32_t index) const;
  // The first item of that name in any case, or null.
  SLayoutItem* FindItem(const char* name) const;

  uint32_t GetCount() const { return static_cast<uint32_t>(m_items.size()); }
  uint32_t GetCapacity() const { return m_capacity; }

 private:
  std::vector<std::unique_ptr<SLayoutItem>> m_items;
  CStringHash<SLayoutItem*> m_names;
  uint32_t m_capacity = 0;
};

}  // namespace Ombrel
