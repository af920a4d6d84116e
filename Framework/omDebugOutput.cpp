#include "Framework/omDebugOutput.h"

#include "Quor/CFont.h"
#include "Quor/MatrixTable.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"

namespace Debug {

namespace {

constexpr const char* kOmDebugOutputSource = "Framework/omDebugOutput";

// The shadow the text is drawn with, and the value that switches it off again.
constexpr float kShadowOffset = 1.0f;
constexpr uint8_t kShadowAlpha = 128;

}  // namespace

// ---- text

CDR_Text2D::CDR_Text2D(CFont* font) : IDebugRenderer(kText), m_font(font), m_entries(new SEntry[kCapacity]) {}

bool CDR_Text2D::AddText(int32_t owner, float x, float y, const char* text, const SStyle& style) {
  if (m_count >= kCapacity) return false;
  SEntry& entry = m_entries[m_count++];
  entry.owner = owner;
  entry.text = text ? text : "";
  entry.x = x;
  entry.y = y;
  entry.style = style;
  return true;
}

bool CDR_Text2D::AddLine(int32_t owner, const char* text) {
  if (!AddText(owner, m_cursorX, m_cursorY, text)) return false;
  m_cursorY += m_lineStep;
  return true;
}

void CDR_Text2D::Render(int32_t owner) {
  DepthTestOff();
  if (m_font) {
    m_font->SetShadow(kShadowOffset, kShadowOffset, kShadowAlpha);
    for (int32_t i = 0; i < m_count; ++i) {
      if (m_entries[i].owner == owner) Print(m_entries[i]);
    }
    m_font->Flush();
    m_font->SetShadow(0.0f, 0.0f, kShadowAlpha);
  }
  DepthTestOn();
}

void CDR_Text2D::Print(const SEntry& entry) {
  const SStyle& style = entry.style;
  const uint8_t* c = style.colour;
  const uint8_t colours[8] = {c[0], c[1], c[2], c[3], c[0], c[1], c[2], c[3]};
  m_font->SetAlignment(style.horizontalAlign, style.verticalAlign);
  // The font's sizes are in line heights.
  m_font->SetSize(style.size / m_font->GetLineHeight());
  m_font->SetColors(colours);
  m_font->SetPosition(entry.x, entry.y);
  m_font->Printf("%s", entry.text.GetText());
}

void CDR_Text2D::Clear() {
  m_count = 0;
  m_cursorX = kCursorStart;
  m_cursorY = kCursorStart;
  m_lineStep = kLineStep;
}

void CDR_Text2D::RemoveOwner(int32_t owner) {
  for (int32_t i = 0; i < m_count; ++i) {
    if (m_entries[i].owner == owner) m_entries[i].owner = -1;
  }
}

// ---- lines

CDR_Line::CDR_Line() : IDebugRenderer(kLines), m_entries(new SEntry[kCapacity]) {}

CDR_Line::~CDR_Line() { FreeDebugLines(); }

bool CDR_Line::AddLine(int32_t owner, const Vector3& start, const Vector3& end, SLineColour colour) {
  if (m_count >= kCapacity) return false;
  m_entries[m_count++] = SEntry{owner, start, end, colour};
  return true;
}

void CDR_Line::Render(int32_t owner) {
  for (int32_t i = 0; i < m_count; ++i) {
    const SEntry& entry = m_entries[i];
    if (entry.owner == owner) AddDebugLine(entry.start, entry.end, entry.colour);
  }
  FlushDebugLines();
}

void CDR_Line::RemoveOwner(int32_t owner) {
  for (int32_t i = 0; i < m_count; ++i) {
    if (m_entries[i].owner == owner) m_entries[i].owner = -1;
  }
}

// ---- the output

CDebugOutput::~CDebugOutput() {
  for (auto& node : m_renderers) delete node.value;
}

bool CDebugOutput::Register(const char* name, IDebugRenderer* renderer) {
  if (m_renderers.Find(name)) {
    HM_REPORT(kOmDebugOutputSource, "A debug renderer \"%s\" is registered already", name);
    delete renderer;
    return false;
  }
  m_renderers.Insert(name, renderer);
  return true;
}

IDebugRenderer* CDebugOutput::Find(const char* name) const {
  const auto* node = m_renderers.Find(name);
  return node ? node->value : nullptr;
}

void CDebugOutput::RenderAll() {
  SetWorld(GetIdentityMatrix());
  for (auto& node : m_renderers) {
    if (node.value->IsEnabled()) node.value->Render(m_owner);
  }
}

void CDebugOutput::ClearAll() {
  for (auto& node : m_renderers) node.value->Clear();
}

}  // namespace Debug
