#include "Framework/omLayout2D.h"

#include "Quor/ReportError.h"

namespace Ombrel {

namespace {
constexpr const char* kOmLayout2DSource = "Framework/omLayout2D";
}  // namespace

SLayoutText::SLayoutText() : SLayoutItem(kLayoutText) {
  style.height = 20.0f;
  style.width = 100.0f;
  style.alignH = kAlignCentre;
  style.alignV = kAlignCentre;
}

void CLayout2D::Reserve(uint32_t n) {
  m_items.reserve(n);
  m_capacity = n;
}

void CLayout2D::AddItem(std::unique_ptr<SLayoutItem> item) {
  if (!item->name.empty()) m_names.Insert(item->name.c_str(), item.get());
  m_items.push_back(std::move(item));
  if (m_items.size() > m_capacity) m_capacity = static_cast<uint32_t>(m_items.size());
}

SLayoutItem* CLayout2D::GetItem(uint32_t index) const {
  if (index >= m_items.size()) {
    HM_REPORT(kOmLayout2DSource, "Layout item %u asked for, but the layout holds %u", index, GetCount());
    return nullptr;
  }
  return m_items[index].get();
}

SLayoutItem* CLayout2D::FindItem(const char* name) const {
  const auto* entry = m_names.Find(name);
  return entry ? entry->value : nullptr;
}

}  // namespace Ombrel
