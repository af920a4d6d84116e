#pragma once
// Immediate-mode debug drawing: renderers keep a fixed table of entries, each tagged with the
// id of the code that added it; the debug module empties every table at the start of a frame
// and its scene node draws the current owner's entries last in the frame.

#include "Common/Render/Primitives/CTriangle2D.h"
#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"
#include "Quor/CStringHash.h"
#include "Quor/Utils.h"

#include <cstdint>
#include <memory>

class CFont;

namespace Debug {

class IDebugRenderer : public CMemWatch {
 public:
  enum EKind : int32_t { kText = 0, kLines = 1 };
  // The most entries a renderer's table holds; further entries are refused.
  static constexpr int32_t kCapacity = 255;

  explicit IDebugRenderer(int32_t kind) : m_kind(kind) {}

  // Draws the entries of that owner.
  virtual void Render(int32_t owner) = 0;
  virtual void Clear() = 0;
  // The owner's entries stay in their places but no longer belong to anyone (owner -1).
  virtual void RemoveOwner(int32_t owner) = 0;
  void Enable() { m_enabled = true; }
  void Disable() { m_enabled = false; }
  void Toggle() { m_enabled = !m_enabled; }

  int32_t GetKind() const { return m_kind; }
  bool IsEnabled() const { return m_enabled; }

 private:
  int32_t m_kind;
  bool m_enabled = true;
};

// Text in the system 2-D space, drawn with one font.
class CDR_Text2D : public IDebugRenderer {
 public:
  static constexpr float kCursorStart = 1792.0f;
  static constexpr float kLineStep = 20.0f;

  // Size in system 2-D units, colour bytes r, g, b, a on the 128 scale, alignment as the font
  // takes it (1 = centred).
  struct SStyle {
    float size = 16.0f;
    uint8_t colour[4] = {128, 128, 128, 128};
    uint32_t horizontalAlign = 1;
    uint32_t verticalAlign = 1;
  };
  struct SEntry {
    int32_t owner = 0;
    CStr text;
    float x = 0.0f;
    float y = 0.0f;
    SStyle style;
  };

  // The font is not owned; without one nothing is printed.
  explicit CDR_Text2D(CFont* font);

  // False when the table is full.
  bool AddText(int32_t owner, float x, float y, const char* text, const SStyle& style);
  bool AddText(int32_t owner, float x, float y, const char* text) { return AddText(owner, x, y, text, m_defaultStyle); }
  // At the cursor, in the default style; the cursor moves down a line step.
  bool AddLine(int32_t owner, const char* text);

  void Render(int32_t owner) override;
  void Clear() override;
  void RemoveOwner(int32_t owner) override;

  int32_t GetCount() const { return m_count; }
  const SEntry& GetEntry(int32_t index) const { return m_entries[index]; }
  float GetCursorX() const { return m_cursorX; }
  float GetCursorY() const { return m_cursorY; }
  float GetLineStep() const { return m_lineStep; }

 private:
  void Print(const SEntry& entry);

  CFont* m_font;
  std::unique_ptr<SEntry[]> m_entries;
  int32_t m_count = 0;
  float m_cursorX = kCursorStart;
  float m_cursorY = kCursorStart;
  float m_lineStep = kLineStep;
  SStyle m_defaultStyle;
};

// Coloured 3-D lines through the engine's debug-line list.
class CDR_Line : public IDebugRenderer {
 public:
  struct SEntry {
    int32_t owner = 0;
    Vector3 start{};
    Vector3 end{};
    SLineColour colour{128, 128, 128, 128};
  };

  CDR_Line();
  // Frees the engine's debug-line storage as well.
  ~CDR_Line() override;

  // False when the table is full.
  bool AddLine(int32_t owner, const Vector3& start, const Vector3& end, SLineColour colour);

  void Render(int32_t owner) override;
  void Clear() override { m_count = 0; }
  void RemoveOwner(int32_t owner) override;

  int32_t GetCount() const { return m_count; }
  const SEntry& GetEntry(int32_t index) const { return m_entries[index]; }

 private:
  std::unique_ptr<SEntry[]> m_entries;
  int32_t m_count = 0;
};

// The named renderers, drawn in the order they were registered.
class CDebugOutput : public CMemWatch {
 public:
  static constexpr const char* kText2DName = "dbg_text_2d";
  static constexpr const char* kLineName = "dbg_line";

  CDebugOutput() = default;
  ~CDebugOutput() override;
  CDebugOutput(const CDebugOutput&) = delete;
  CDebugOutput& operator=(const CDebugOutput&) = delete;

  // The output owns the renderer from here on. A name already taken is reported and the new
  // renderer deleted; false then.
  bool Register(const char* name, IDebugRenderer* renderer);
  IDebugRenderer* Find(const char* name) const;

  // The world transform becomes the identity, then every enabled renderer draws the current
  // owner's entries.
  void RenderAll();
  void ClearAll();

  void SetOwner(int32_t owner) { m_owner = owner; }
  int32_t GetOwner() const { return m_owner; }

 private:
  int32_t m_owner = 0;
  CStringHash<IDebugRenderer*> m_renderers;
};

}  // namespace Debug
