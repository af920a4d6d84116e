#pragma once
// The jewel box: eight jewels on a box lid, joined by fifteen drawn threads. The red and the
// green jewels are missing at first; once the player has set both into their sockets the
// jewels can be picked up and put down elsewhere, and when no two threads cross, sparks run
// along the threads and the box opens. The jewels stay where the player put them, in the
// profile, across visits and saved games.

#include "Src/MiniGames/Vey_MiniGameBase.h"

#include <array>
#include <memory>
#include <string>

namespace MP {
class CEmitter;
}

namespace Vey {

class CEmitterPool;

// What the jewel box takes besides the shared objects. Nothing is owned; any may be null.
struct SJewelBoxParts {
  TextureRecord* activeConnector = nullptr;     // "Connector_active": both colours in
  TextureRecord* inactiveConnector = nullptr;   // "Connector_inactive"
  const MP::CEmitter* socketSparkle = nullptr;  // "HO_HandleHint", copied over each empty socket
  MP::CEmitter* boxOpened = nullptr;            // the close-up effect "BoxOpened"
  CEmitterPool* completion = nullptr;           // "Game1Emitters": sparks along the threads
  CEmitterPool* redBursts = nullptr;            // "Game1Emitters2"
  CEmitterPool* greenBursts = nullptr;          // "Game1Emitters3"
};

class CMiniGame1 : public CMiniGameBase {
 public:
  static constexpr int32_t kJewelCount = 8;
  static constexpr int32_t kConnectorCount = 15;
  static constexpr float kWinDelay = 2.0f;  // seconds of sparks before the box opens
  // Slots 0..3 red, 4..7 green, the order of the saved positions.
  static const char* const kJewels[kJewelCount];
  // Each thread's two ends, by jewel slot.
  static const int32_t kThreads[kConnectorCount][2];
  static constexpr const char* kRedSocket = "root/redJewel_dummy";
  static constexpr const char* kGreenSocket = "root/greenJewel_dummy";
  static constexpr const char* kBackground = "root/backgound";
  static constexpr const char* kRedItem = "I01_Red Jewel";
  static constexpr const char* kGreenItem = "S01_Green Jewel";
  static constexpr const char* kRedSocketObject = "G01_DummyRedJewel";
  static constexpr const char* kGreenSocketObject = "G01_DummyGreenJewel";

  // A thread's ends: the positions of two jewel pictures (layout units).
  struct Connector {
    const Vector2* first;
    const Vector2* second;
  };

  CMiniGame1(Ombrel::CLayout2D* layout, const SMiniGameShared& shared, const SJewelBoxParts& parts);
  ~CMiniGame1() override;

  void Reset() override {}
  void Enter() override;
  void Update(float dt) override;
  void Render() override;

  // An inventory item applied to the puzzle's object of that name.
  void UseItem(const std::string& objectName, const std::string& item);
  // The box opens: its results in the world, then the closing fade.
  void Complete();
  // No two threads cross (threads sharing a jewel never do).
  bool IsUntangled() const;
  // -1, 0 or +1: on which side of the line p-q the point r lies.
  static int Orientation(const Vector2& p, const Vector2& q, const Vector2& r);

  bool IsRedPresent() const { return m_redPresent; }
  bool IsGreenPresent() const { return m_greenPresent; }
  int32_t GetHeldSlot() const { return m_heldSlot; }
  const Vector2& JewelPosition(int32_t slot) const { return *m_jewels[size_t(slot)]; }
  const Connector& GetConnector(int32_t i) const { return m_connectors[size_t(i)]; }

 private:
  void BindJewels();
  void LoadFromRecord();
  // Saved positions that are no numbers or lie far off the screen: the jewels where the layout
  // put them, as at the start.
  void ValidateRecord();
  void RestorePositions();
  void SaveInitialPositions();
  void ClampJewels();
  void ShowMissingNote();
  void SetShown(const char* path, bool shown);

  void FadeOwnEffects(float alpha) override;
  void OnOpened();
  bool PlayClick(const std::string& picked);
  void InsertJewel(bool red, const std::string& objectName);
  void CarryJewel();
  void RattleCarried();
  void DropJewel();
  void RunWin(float dt);
  void StartSparks();
  void ApplyCloseUpResults();
  void DrawConnectors(float alpha);

  SJewelBoxParts m_parts;
  bool m_redPresent = false;
  bool m_greenPresent = false;
  std::array<Vector2*, kJewelCount> m_jewels{};
  std::array<Vector2, kJewelCount> m_startPositions{};
  std::array<Vector2, kJewelCount> m_missing{};  // stands in for a jewel the layout lacks
  std::array<Connector, kConnectorCount> m_connectors{};
  Vector2* m_heldJewel = nullptr;
  Vector2 m_lastHeld{0.0f, 0.0f};
  int32_t m_heldSlot = -1;
  std::unique_ptr<MP::CEmitter> m_greenSparkle;
  std::unique_ptr<MP::CEmitter> m_redSparkle;
};

}  // namespace Vey
