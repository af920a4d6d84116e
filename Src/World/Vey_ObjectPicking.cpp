#include "Src/World/Vey_ObjectPicking.h"

#include "Framework/Resources/ResourceTypes/omResourceJpegTexture.h"
#include "Framework/Resources/ResourceTypes/omResourceTexture.h"
#include "Framework/Scene/omTextureMask.h"
#include "Src/World/Vey_Screen.h"

namespace Vey {

using Ombrel::CTextureMask;
using Ombrel::SLayoutBox;
using Ombrel::SLayoutItem;

namespace {

// What the player "uses" on an object with a plain click.
constexpr const char* kClickAction = "Click";

const SSceneObject* FindObject(const std::string& name, const SObjectList& objects) {
  for (const SSceneObject& object : objects)
    if (object.name == name) return &object;
  return nullptr;
}

// A texture kept as JPEG data has its mask once its engine texture has been made.
template <class TResource>
CTextureMask* DecodedMask(const TResource* resource) {
  if (!resource || !resource->GetTextureObject()) return nullptr;
  return resource->GetTextureObject()->GetMask();
}

bool IsPlacedKind(int32_t kind) {
  return kind == Ombrel::kLayoutSprite || kind == Ombrel::kLayoutAnimatedSprite || kind == Ombrel::kLayoutDummy;
}

bool IsInRect(const SLayoutBox& entry, const Vector2& point) {
  const SScreenRect rect = GetScreenRect(entry);
  return IsPointInRect(point.x, point.y, rect.centre.x, rect.centre.y, rect.size.x, rect.size.y);
}

// The mask's value under the point, the mask laid over the entry's rectangle. The offset from
// the centre is taken times the entry's scale, as the views' masks are authored. The virtual
// screen's y points down while a mask's larger y lies nearer its top row, so the offset's y
// is turned over.
bool IsMaskHit(CTextureMask& mask, const SLayoutBox& entry, const Vector2& point) {
  const SScreenRect rect = GetScreenRect(entry);
  mask.SetPosition(rect.centre);
  mask.SetSize({rect.size.x * GetInvAspect(), rect.size.y});
  const Vector2 sample{rect.centre.x + (point.x - rect.centre.x) * entry.scale.x,
                       rect.centre.y - (point.y - rect.centre.y) * entry.scale.y};
  return mask.HitTest(sample) >= mask.GetThreshold();
}

}  // namespace

CTextureMask* GetNodeSpriteData(const SLayoutItem& entry) {
  if (entry.kind != Ombrel::kLayoutSprite) return nullptr;
  const auto& sprite = static_cast<const Ombrel::SLayoutSprite&>(entry);
  if (CTextureMask* mask = DecodedMask(sprite.jpegResource)) return mask;
  if (CTextureMask* mask = DecodedMask(sprite.jptResource)) return mask;
  return sprite.textureResource ? sprite.textureResource->GetMask() : nullptr;
}

SScreenRect GetScreenRect(const SLayoutBox& entry) {
  return {ToVirtualScreen(entry.position), {entry.size.x * kLayoutUnit, entry.size.y * kLayoutUnit}};
}

bool IsEntryHit(const SLayoutItem& entry, const Vector2& point) {
  if (!entry.visible || !IsPlacedKind(entry.kind)) return false;
  const auto& box = static_cast<const SLayoutBox&>(entry);
  if (!IsInRect(box, point)) return false;
  CTextureMask* mask = GetNodeSpriteData(entry);
  return !mask || IsMaskHit(*mask, box, point);
}

std::string PickLayoutObjectAt(const Vector2& point, const Ombrel::CLayout2D& layout) {
  for (uint32_t i = 0; i < layout.GetCount(); ++i) {
    const SLayoutItem& entry = *layout.GetItem(i);
    if (!entry.visible || !IsPlacedKind(entry.kind) || !IsInRect(static_cast<const SLayoutBox&>(entry), point))
      continue;
    if (entry.kind != Ombrel::kLayoutSprite) return kPickedNothing;
    if (IsEntryHit(entry, point)) return entry.name;
  }
  return kPickedNothing;
}

std::string PickObjectAt(const Vector2& point, const SObjectList& objects, const Ombrel::CLayout2D& layout) {
  for (const SSceneObject& object : objects) {
    const SLayoutItem* entry = layout.FindItem(object.sprite.c_str());
    if (entry && IsEntryHit(*entry, point)) return object.name;
  }
  return kPickedNothing;
}

bool IsObjectInteractive(const std::string& name, const SObjectList& objects) {
  const SSceneObject* object = FindObject(name, objects);
  if (!object) return false;
  const int32_t state = object->FindState(object->state);
  return state >= 0 && object->states[size_t(state)].interactive;
}

bool CanObjectBeTaken(const std::string& name, const SObjectList& objects) {
  const SSceneObject* object = FindObject(name, objects);
  return object && !object->picked && (object->pickable || object->clue || object->draggable);
}

bool HasClickNote(const std::string& name, const SObjectList& objects) {
  const SSceneObject* object = FindObject(name, objects);
  if (!object) return false;
  for (const SObjectAction& action : object->actions)
    if (action.reqState == object->state && action.object == kClickAction && !action.note.empty()) return true;
  return false;
}

}  // namespace Vey
