#include "tools/scenecheck/Cover.h"

#include "tools/shared/FileBytes.h"

#include <tinyxml.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace Cover {

namespace {

constexpr double kPixelsPerUnit = 720.0 / 2.0;  // the screen's height spans two units
constexpr double kScreenWidth = 1280.0, kScreenHeight = 720.0;

void ReadPair(const TiXmlElement* object, const char* element, double* x, double* y) {
  *x = *y = 0;
  const TiXmlElement* child = object->FirstChildElement(element);
  const char* text = child ? child->GetText() : nullptr;
  if (!text) return;
  char* end = nullptr;
  *x = std::strtod(text, &end);
  if (*end == ';') *y = std::strtod(end + 1, nullptr);
}

std::string Text(const TiXmlElement* element) {
  const char* text = element ? element->GetText() : nullptr;
  return text ? text : "";
}

// Each texture's mask file below the content folder, by the texture's name.
std::map<std::string, std::string> MaskFiles(const TiXmlElement* resources) {
  std::map<std::string, std::string> masks;
  for (const TiXmlElement* folder = resources ? resources->FirstChildElement("Directory") : nullptr; folder;
       folder = folder->NextSiblingElement("Directory")) {
    std::string path = folder->Attribute("Path") ? folder->Attribute("Path") : "";
    for (char& c : path)
      if (c == '\\') c = '/';
    for (const TiXmlElement* texture = folder->FirstChildElement("Texture"); texture;
         texture = texture->NextSiblingElement("Texture")) {
      const TiXmlElement* mask = texture->FirstChildElement("Mask");
      if (texture->Attribute("Name") && mask && mask->Attribute("File"))
        masks[texture->Attribute("Name")] = path + mask->Attribute("File");
    }
  }
  return masks;
}

// A raw mask file holds a byte a pixel, the bottom row first.
bool ReadMask(const std::string& path, SLayer* layer, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes)) {
    *error = path + ": cannot be read";
    return false;
  }
  if (bytes.size() != size_t(layer->width) * size_t(layer->height)) {
    *error = path + ": holds " + std::to_string(bytes.size()) + " values, not the " + std::to_string(layer->width) +
             " x " + std::to_string(layer->height) + " its layout draws";
    return false;
  }
  layer->mask.resize(bytes.size());
  for (int row = 0; row < layer->height; ++row)
    std::memcpy(&layer->mask[size_t(row) * size_t(layer->width)],
                &bytes[size_t(layer->height - 1 - row) * size_t(layer->width)], size_t(layer->width));
  return true;
}

bool Solid(const SLayer& layer, int x, int y) {
  x -= layer.left;
  y -= layer.top;
  return x >= 0 && y >= 0 && x < layer.width && y < layer.height &&
         layer.mask[size_t(y) * size_t(layer.width) + size_t(x)] >= kSolid;
}

}  // namespace

bool ReadLayers(const std::string& contentDir, const std::string& layoutPath, std::vector<SLayer>* layers,
                std::string* error) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(layoutPath, bytes)) {
    *error = layoutPath + ": cannot be read";
    return false;
  }
  bytes.push_back(0);
  TiXmlDocument document;
  document.Parse(reinterpret_cast<const char*>(bytes.data()));
  const TiXmlElement* root = document.RootElement();
  const TiXmlElement* layout = root ? root->FirstChildElement("Layout") : nullptr;
  if (!layout) {
    *error = layoutPath + ": no layout";
    return false;
  }
  const std::map<std::string, std::string> masks = MaskFiles(root->FirstChildElement("Resources"));
  for (const TiXmlElement* object = layout->FirstChildElement("Object"); object;
       object = object->NextSiblingElement("Object")) {
    if (!object->Attribute("Type") || std::strcmp(object->Attribute("Type"), "Sprite2D") != 0) continue;
    SLayer layer;
    layer.name = object->Attribute("Name") ? object->Attribute("Name") : "";
    layer.visible = Text(object->FirstChildElement("Visible")) == "True";
    double x, y, w, h;
    ReadPair(object, "Pos", &x, &y);
    ReadPair(object, "Size", &w, &h);
    layer.width = int(std::lround(w * kPixelsPerUnit));
    layer.height = int(std::lround(h * kPixelsPerUnit));
    layer.left = int(std::lround(x * kPixelsPerUnit + kScreenWidth / 2 - layer.width / 2.0));
    layer.top = int(std::lround(kScreenHeight / 2 - y * kPixelsPerUnit - layer.height / 2.0));
    const auto mask = masks.find(Text(object->FirstChildElement("Resource")));
    if (mask != masks.end() && !ReadMask(contentDir + "/" + mask->second, &layer, error)) {
      *error = layoutPath + " \"" + layer.name + "\": " + *error;
      return false;
    }
    layers->push_back(std::move(layer));
  }
  return true;
}

double ShownShare(const std::vector<SLayer>& layers, size_t index) {
  const SLayer& layer = layers[index];
  if (layer.mask.empty()) return 0;
  size_t own = 0, shown = 0;
  for (int y = layer.top; y < layer.top + layer.height; ++y)
    for (int x = layer.left; x < layer.left + layer.width; ++x) {
      if (!Solid(layer, x, y)) continue;
      ++own;
      bool covered = false;
      for (size_t above = index + 1; above < layers.size() && !covered; ++above)
        covered = layers[above].visible && !layers[above].mask.empty() && Solid(layers[above], x, y);
      if (!covered) ++shown;
    }
  return own ? double(shown) / double(own) : 0;
}

}  // namespace Cover
