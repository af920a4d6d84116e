#include "Framework/Resources/ResourceTypes/omResourceLayout2D.h"

#include "Framework/Resources/ResourceTypes/omResourceAStarGraph.h"
#include "Framework/Resources/ResourceTypes/omResourceFont.h"
#include "Framework/Resources/ResourceTypes/omResourceJpegTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceJptTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceTexAnim.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/Resources/omResourceManager.h"
#include "Framework/Resources/omResourcesXMLLoader.h"
#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/ReportError.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>

namespace Ombrel {

namespace {

constexpr const char* kOmResourceLayout2DSource = "Framework/Resources/ResourceTypes/omResourceLayout2D";

bool Equals(const char* text, const char* word) { return text && std::strcmp(text, word) == 0; }

// "x;y": missing parts are 0, and only the first ";" splits.
Vector2 ParseVector(const char* text) {
  Vector2 value;
  value.x = std::strtof(text, nullptr);
  if (const char* separator = std::strchr(text, ';')) value.y = std::strtof(separator + 1, nullptr);
  return value;
}

// "r;g;b;a" from 0 to 255 (each cut to its low byte; missing ones 0) as 0xAARRGGBB.
RGBA ParseColour(const char* text) {
  uint32_t channels[4] = {};
  for (uint32_t& channel : channels) {
    channel = static_cast<uint32_t>(std::strtol(text, nullptr, 10)) & 0xFFu;
    const char* separator = std::strchr(text, ';');
    if (!separator) break;
    text = separator + 1;
  }
  return channels[3] << 24 | channels[0] << 16 | channels[1] << 8 | channels[2];
}

int32_t ParseAlignment(const char* text) {
  if (Equals(text, "Start")) return kAlignStart;
  if (Equals(text, "End")) return kAlignEnd;
  return kAlignCentre;
}

// Reads one "Object" element of a layout file into an item. The editor writes every element an
// object's type needs; one that is missing or empty is reported and the item keeps its default.
class CObjectReader {
 public:
  CObjectReader(const CStr& fileName, const TiXmlElement& object, CResourceManager* manager)
      : m_fileName(fileName), m_object(object), m_manager(manager) {
    const char* name = object.Attribute("Name");
    m_name = name ? name : "";
    const TiXmlElement* resource = object.FirstChildElement("Resource");
    m_resourceType = FindAttribute(resource, "Type");
    m_resourceName = resource ? resource->GetText() : nullptr;
  }

  // Null for a type no item is made of.
  std::unique_ptr<SLayoutItem> Read() {
    std::unique_ptr<SLayoutItem> item = ReadKind(m_object.Attribute("Type"));
    if (!item) return nullptr;
    item->name = m_name;
    item->visible = Equals(Required("Visible"), "True");
    return item;
  }

 private:
  std::unique_ptr<SLayoutItem> ReadKind(const char* type) {
    if (Equals(type, "Sprite2D")) {
      RequireResource();
      if (Equals(m_resourceType, "TexAnim")) return ReadAnimatedSprite();
      return ReadSprite();
    }
    if (Equals(type, "Text")) return ReadText();
    if (Equals(type, "Dummy")) {
      auto dummy = std::make_unique<SLayoutBox>(kLayoutDummy);
      ReadBox(*dummy);
      return dummy;
    }
    if (Equals(type, "Graph")) return ReadGraph();
    return nullptr;
  }

  std::unique_ptr<SLayoutItem> ReadSprite() {
    auto sprite = std::make_unique<SLayoutSprite>();
    ReadBox(*sprite);
    if (!m_resourceName) return sprite;
    if (Equals(m_resourceType, "Texture")) {
      sprite->textureResource = m_manager->GetTexture(m_resourceName);
      if (sprite->textureResource) sprite->texture = sprite->textureResource->GetTexture();
    } else if (Equals(m_resourceType, "TextureJpeg")) {
      sprite->jpegResource = m_manager->GetTextureJpeg(m_resourceName);
      if (sprite->jpegResource) sprite->texture = DecodedTexture(sprite->jpegResource->GetTextureObject());
    } else if (Equals(m_resourceType, "TextureJpt")) {
      sprite->jptResource = m_manager->GetTextureJpt(m_resourceName);
      if (sprite->jptResource) sprite->texture = DecodedTexture(sprite->jptResource->GetTextureObject());
    }
    return sprite;
  }

  // A JPEG-based texture kept compressed is decoded now that a layout shows it.
  static TextureRecord* DecodedTexture(CDecodedTexture* texture) {
    if (!texture) return nullptr;
    texture->Create();
    return texture->GetTexture();
  }

  std::unique_ptr<SLayoutItem> ReadAnimatedSprite() {
    auto sprite = std::make_unique<SLayoutAnimatedSprite>();
    ReadBox(*sprite);
    if (m_resourceName) sprite->animationResource = m_manager->GetTexAnim(m_resourceName);
    if (sprite->animationResource) sprite->animation = sprite->animationResource->GetAnimation();
    return sprite;
  }

  std::unique_ptr<SLayoutItem> ReadText() {
    RequireResource();
    auto text = std::make_unique<SLayoutText>();
    text->position = ReadPosition();
    if (const char* colour = Optional("Color")) SetTextColour(ParseColour(colour), text->style);
    if (const char* size = Required("FontSize")) text->style.height = std::strtof(size, nullptr);
    if (const char* spacing = Required("LineSpacingExtra")) text->style.lineSpacing = std::strtof(spacing, nullptr);
    if (const char* wrap = Optional("FontWrap")) text->style.width = std::strtof(wrap, nullptr);
    text->style.justify = Equals(Optional("Justify"), "True");
    if (const char* align = Optional("HorizAlign")) text->style.alignH = ParseAlignment(align);
    if (const char* align = Optional("VertAlign")) text->style.alignV = ParseAlignment(align);
    ReadTextSource(*text);
    if (m_resourceName && Equals(m_resourceType, "Font")) {
      text->fontResource = m_manager->GetFont(m_resourceName);
      if (text->fontResource) text->style.font = text->fontResource->GetFont();
    }
    return text;
  }

  void ReadTextSource(SLayoutText& text) {
    const char* source = Required("TextSource");
    if (!source) return;
    if (Equals(source, "Dictionary")) {
      text.source = kTextDictionary;
      if (const char* key = Required("PhraseID")) text.phraseKey = key;
    } else if (Equals(source, "Plain")) {
      text.source = kTextPlain;
      if (const char* words = RequiredText("Text")) text.text = words;
    } else {
      HM_FATAL(kOmResourceLayout2DSource, "Unsupported text source \"%s\" of the object \"%s\" in %s", source,
               m_name.c_str(), m_fileName.GetText());
    }
  }

  static void SetTextColour(RGBA colour, STextStyle& style) {
    style.alpha = static_cast<uint8_t>(colour >> 24);
    style.red = static_cast<uint8_t>(colour >> 16);
    style.green = static_cast<uint8_t>(colour >> 8);
    style.blue = static_cast<uint8_t>(colour);
  }

  std::unique_ptr<SLayoutItem> ReadGraph() {
    RequireResource();
    auto graph = std::make_unique<SLayoutGraph>();
    if (m_resourceName && Equals(m_resourceType, "Graph")) {
      graph->graphResource = m_manager->GetGraph(m_resourceName);
      if (graph->graphResource) graph->graph = graph->graphResource->GetGraph();
    }
    return graph;
  }

  void ReadBox(SLayoutBox& box) {
    box.position = ReadPosition();
    if (const char* size = Required("Size")) box.size = ParseVector(size);
    if (const char* scale = Required("Scale")) box.scale = ParseVector(scale);
    if (const char* colour = Required("Color")) box.colour = ParseColour(colour);
  }

  // "Pos", or "Offset" in its place.
  Vector2 ReadPosition() {
    const char* position = Optional("Pos");
    if (!position) position = Optional("Offset");
    if (!position) ReportMissing("Pos");
    return position ? ParseVector(position) : Vector2();
  }

  void RequireResource() {
    if (!m_resourceName) ReportMissing("Resource");
  }

  // The first text of the child element, or null when there is none.
  const char* Optional(const char* element) const {
    const TiXmlElement* child = m_object.FirstChildElement(element);
    return child ? child->GetText() : nullptr;
  }
  const char* Required(const char* element) const {
    const char* text = Optional(element);
    if (!text) ReportMissing(element);
    return text;
  }
  // As Required, for a text: a present element without text, <Text></Text>, is the empty text.
  const char* RequiredText(const char* element) const {
    const TiXmlElement* child = m_object.FirstChildElement(element);
    if (!child) {
      ReportMissing(element);
      return nullptr;
    }
    return child->GetText() ? child->GetText() : "";
  }
  void ReportMissing(const char* element) const {
    HM_REPORT(kOmResourceLayout2DSource, "%s: the object \"%s\" has no \"%s\" value; its default is kept",
              m_fileName.GetText(), m_name.c_str(), element);
  }

  const CStr& m_fileName;
  const TiXmlElement& m_object;
  CResourceManager* m_manager;
  std::string m_name;
  const char* m_resourceType = nullptr;
  const char* m_resourceName = nullptr;
};

uint32_t CountObjects(const TiXmlElement* layout) {
  uint32_t count = 0;
  for (const TiXmlElement* object = FindChild(layout, "Object"); object; object = object->NextSiblingElement("Object"))
    ++count;
  return count;
}

}  // namespace

void CResourceLayout2D::Load() {
  Unload();
  TiXmlDocument document;
  {
    const CContentOrigin origin(GetOrigin().GetText());
    LoadXmlDocument(m_path.GetText(), document);
  }
  const CContentOrigin origin(m_path.GetText());  // the layout names its own resources
  const TiXmlElement* root = document.FirstChildElement();
  LoadResources(FindChild(root, "Resources"));
  ReadObjects(FindChild(root, "Layout"));
  m_loaded = true;
}

void CResourceLayout2D::LoadResources(const TiXmlElement* resources) {
  if (!resources) {
    HM_REPORT(kOmResourceLayout2DSource, "%s: the layout has no \"Resources\" element", m_path.GetText());
    return;
  }
  if (!m_manager) return;
  CResourcesXMLLoader reader(m_manager);
  reader.SetReuseMode(CResourcesLoader::kReusePresent);
  // What this list makes is the layout's alone (and that of the layouts that reuse it): it goes
  // when the last of them is unloaded, not with the state's group.
  reader.SetJoinGroup(false);
  reader.SetRootPath(m_rootPath);
  // The layout lists a resource only once it holds it, so that it never lets go of one it
  // did not take (the list may stop half-way).
  std::vector<CResourceBase*> created;
  reader.LoadFromElement(*resources, &created);
  for (CResourceBase* resource : created) {
    resource->AddHolder();
    m_resources.push_back(resource);
  }
}

void CResourceLayout2D::ReadObjects(const TiXmlElement* layout) {
  m_layout = std::make_unique<CLayout2D>();
  if (!layout) {
    HM_REPORT(kOmResourceLayout2DSource, "%s: the layout has no \"Layout\" element", m_path.GetText());
    return;
  }
  m_layout->Reserve(CountObjects(layout));
  if (!m_manager) return;
  for (const TiXmlElement* object = layout->FirstChildElement("Object"); object;
       object = object->NextSiblingElement("Object")) {
    std::unique_ptr<SLayoutItem> item = CObjectReader(m_path, *object, m_manager).Read();
    if (!item) continue;
    item->index = static_cast<int32_t>(m_layout->GetCount());
    m_layout->AddItem(std::move(item));
  }
}

void CResourceLayout2D::Unload() {
  // The items point into the resources: they go first.
  m_layout.reset();
  if (m_manager) {
    for (CResourceBase* resource : m_resources) m_manager->ReleaseResource(resource);
  }
  m_resources.clear();
  m_loaded = false;
}

CResLayout2DLoader::CResLayout2DLoader(CResourceManager* manager) : m_manager(manager) {
  SetTypeName(CResourceLayout2D::kTypeName);
  SetExtension(".2dl");
}

// "ExplicitDir" of the element is not read: the list's flag applies.
CResourceBase* CResLayout2DLoader::CreateFromXml(const CStr&, const CStr& fileName, const TiXmlElement* element,
                                                 bool load, bool explicitDir) {
  if (AttributeIs(element, "Load", "False")) load = false;
  auto layout = std::make_unique<CResourceLayout2D>(FilePath(fileName, explicitDir), GetRootPath(), m_manager);
  if (load) layout->Load();
  return layout.release();
}

}  // namespace Ombrel
