#pragma once
// The paint colour puzzle (G04, opened from the close-up of the painter's box): a mosaic of
// sixty pieces the player paints with four paints, taken from the pots, so that no two
// touching pieces share a colour. A piece is hit through its own mask; one whose neighbour
// already has the paint refuses it with a note. All sixty painted solves it. The paints and the
// paint in hand live in the profile, so the picture stays between visits.

#include "Src/Investigation/Vey_Cursor.h"
#include "Src/MiniGames/Vey_MiniGameBase.h"
#include "Src/MiniGames/Vey_TextureMask.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace Vey {


class CMiniGame4 : public CMiniGameBase {
 public:
  // The paints, as the profile stores them.
  enum PaintColour : uint32_t { kRed = 0, kBlue = 1, kGreen = 2, kYellow = 3, kNoPaint = 4 };
  static constexpr int32_t kPaintCount = 4;
  static constexpr int32_t kRegionCount = 60;
  static constexpr int32_t kIndex = 3;
  static constexpr uint32_t kCloseUp = 4;  // I05, whose box the win opens

  struct SRegion {
    std::vector<const uint32_t*> neighbours;  // the neighbours' colours
    uint32_t colour = kNoPaint;
  };

  // The win opens the box of close-up kCloseUp and changes the map's markers. Reads the
  // puzzle's saved block.
  CMiniGame4(Ombrel::CLayout2D* layout, const SMiniGameShared& shared);
  ~CMiniGame4() override;

  // The picture keeps its paint between visits.
  void Reset() override {}
  void Render() override;
  void Update(float dt) override;
  // Opens the puzzle over the saved block, read again and checked.
  void Enter() override;

  // The saved block into the puzzle; a block holding a paint that does not exist is reported
  // and the puzzle starts afresh (nothing painted, no paint in hand).
  void LoadFromProfile();
  bool AllRegionsPainted() const;
  // Region 1..60.
  uint32_t GetRegionColour(int32_t region) const { return m_regions[size_t(region - 1)].colour; }
  uint32_t GetSelectedColour() const { return m_selectedColour; }

 private:
  // A press on a pot takes its paint, one on the exit drops it and leaves; true for either.
  bool TakePaintOrLeave();
  void PaintRegionAtMouse();
  // The region under the mouse (0-based), -1 for none.
  int32_t RegionAtMouse() const;
  void PaintRegion(int32_t region, uint32_t colour);
  void SelectColour(uint32_t colour);
  void ChooseCursor(bool overExit);
  void ShowColourCursor();
  void Win();
  void OpenCloseUpBox();
  void RenderShining(const Ombrel::SLayoutBox& node, float alpha, int32_t& shining);

  uint32_t m_selectedColour = kNoPaint;
  std::array<std::unique_ptr<CTextureMask>, kRegionCount> m_masks;
  std::array<SRegion, kRegionCount> m_regions;
  std::array<Ombrel::SLayoutBox*, kRegionCount> m_regionNodes{};
  std::array<Ombrel::SLayoutBox*, kPaintCount> m_pots{};
  std::array<SystemCursorId, kPaintCount> m_colourCursors{};
};

}  // namespace Vey
