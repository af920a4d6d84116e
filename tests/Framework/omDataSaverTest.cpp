// The data saver with its message box in the real window: the box appears over a damaged or
// refused save and over a save that cannot be written, a scripted click answers it, the earlier
// save file stays as it was, and closing the window ends the box without an answer.

#include "Framework/omDataSaver.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omInputWarning.h"
#include "Framework/omSaveModule.h"
#include "Quor/Engine.h"
#include "tests/Framework/SystemScreenTestKit.h"

using namespace Ombrel;
using namespace fwtest;

namespace {

namespace fs = std::filesystem;

// Where the box puts things (system 2-D space, display aspect A narrows horizontal lengths).
constexpr float kCentreX = 2048.0f;
constexpr float kSingleButtonY = 2078.0f;
constexpr float kLowerButtonY = 2113.0f;
constexpr float kUpperButtonY = 2043.0f;
constexpr SColour kBlack = {0, 0, 0};
constexpr SColour kFill = {0, 0, 255};
constexpr SColour kSelected = {255, 0, 0};
constexpr SColour kUnselected = {0, 255, 0};

class DataSaverTest : public CSystemScreenFixture {
 protected:
  void SetUp() override {
    CSystemScreenFixture::SetUp();
    SetLanguage(kLangEnglish);
    StartApplication();
    m_saver = GetActiveDataSaver();
    ASSERT_NE(m_saver, nullptr);
    ASSERT_TRUE(m_saver->HasSystemResources());
    m_goodSave = Bytes(SavePath());
    ASSERT_FALSE(m_goodSave.empty());
  }

  // A point on a button, left of its label.
  static float ButtonSideX() { return kCentreX - 90.0f / GetDisplayAspect(); }

  CDataSaver* m_saver = nullptr;
  std::vector<char> m_goodSave;
};

TEST_F(DataSaverTest, ADamagedSaveShowsTheBoxUntilOkIsClickedAndChangesNothing) {
  std::ofstream(SavePath(), std::ios::binary | std::ios::trunc) << "not a save";
  const std::vector<char> damaged = Bytes(SavePath());
  m_saver->GetData()[0] = 0x11;
  // Frame 1 with the pointer off the button, frame 5 with it on OK.
  Script("1 mouse move " + WindowPoint(1850.0f, 1850.0f) + "\n" + ClickAt(2, kCentreX, kSingleButtonY), "1,5");
  EXPECT_FALSE(m_saver->LoadGame());
  EXPECT_TRUE(IsEngineRunning());  // answered by the click, not by the frame limit
  EXPECT_EQ(PlatformTestDriverFrameNumber(), 6u);
  EXPECT_EQ(m_saver->GetData()[0], 0x11);  // the progress in memory stays
  EXPECT_EQ(Bytes(SavePath()), damaged);   // the damaged file is left for the next save to keep aside

  const SGfxImage before = CapturedFrame(1), hovered = CapturedFrame(5);
  EXPECT_EQ(At(before, 1800.0f, 1800.0f), kBlack);
  EXPECT_EQ(At(before, kCentreX, 1895.0f), kFill);
  EXPECT_EQ(At(before, ButtonSideX(), kSingleButtonY), kUnselected);
  EXPECT_EQ(At(hovered, ButtonSideX(), kSingleButtonY), kSelected);
}

TEST_F(DataSaverTest, NoToTheOverwriteQuestionKeepsTheEarlierSave) {
  SetLanguage(kLangGerman);
  m_saver->ForbidOverwrite();
  m_saver->GetData()[0] = 0x22;
  // The question, answered "Nein"; then the failure, answered "OK".
  Script(ClickAt(2, kCentreX, kLowerButtonY) + ClickAt(8, kCentreX, kSingleButtonY), "5");
  EXPECT_FALSE(m_saver->SaveGame());
  EXPECT_TRUE(IsEngineRunning());
  EXPECT_EQ(Bytes(SavePath()), m_goodSave);
  const SGfxImage question = CapturedFrame(5);
  EXPECT_EQ(At(question, ButtonSideX(), kUpperButtonY - 20.0f), kUnselected);
  EXPECT_EQ(At(question, ButtonSideX(), kLowerButtonY + 20.0f), kSelected);
}

TEST_F(DataSaverTest, ASaveThatCannotBeWrittenIsToldAndTheEarlierSaveStays) {
  // Read-only for a user; for root, whom permissions do not stop, the temporary file's name
  // is taken by a folder.
  const fs::path folder = fs::path(SavePath()).parent_path();
  fs::create_directory(SavePath() + ".tmp");
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  m_saver->GetData()[0] = 0x33;
  Script(ClickAt(2, kCentreX, kSingleButtonY));
  const bool saved = m_saver->SaveGame();
  fs::permissions(folder, fs::perms::owner_all);
  EXPECT_FALSE(saved);
  EXPECT_TRUE(IsEngineRunning());
  EXPECT_EQ(Bytes(SavePath()), m_goodSave);
}

TEST_F(DataSaverTest, ABodyItsOwnerRefusesIsTreatedLikeADamagedFile) {
  m_saver->SetBodyCheck([](const uint8_t* data, uint32_t size, std::string* reason) {
    EXPECT_EQ(size, CSaveInfo::kSaveDataSize);
    *reason = "the first byte is not 0x5A";
    return data[0] == 0x5A;
  });
  m_saver->GetData()[0] = 0x44;
  Script(ClickAt(2, kCentreX, kSingleButtonY));
  ASSERT_TRUE(m_saver->SaveGame());  // a whole file whose body the check refuses
  const std::vector<char> refused = Bytes(SavePath());
  m_saver->GetData()[0] = 0x5A;
  EXPECT_FALSE(m_saver->LoadGame());  // told, and answered by the click
  EXPECT_EQ(PlatformTestDriverFrameNumber(), 6u);
  EXPECT_EQ(m_saver->GetData()[0], 0x5A);
  // The next save keeps the refused file aside instead of writing over it.
  EXPECT_TRUE(m_saver->SaveGame());
  EXPECT_EQ(Bytes(SavePath() + ".damaged"), refused);
  EXPECT_TRUE(m_saver->LoadGame());
}

TEST_F(DataSaverTest, ClosingTheWindowEndsTheBoxWithoutAnswerSoNothingIsOverwritten) {
  m_saver->ForbidOverwrite();
  m_saver->GetData()[0] = 0x55;
  Script("", "", 3);  // nobody answers; the window closes after three frames
  EXPECT_FALSE(m_saver->SaveGame());
  EXPECT_FALSE(IsEngineRunning());
  EXPECT_EQ(Bytes(SavePath()), m_goodSave);
  // One frame of a box asked for after the close answers at once with its first button.
  EXPECT_EQ(m_saver->MessageBoxFrame("", "text", "OK", nullptr), 1);
}

TEST_F(DataSaverTest, AnEmptyTextStillMakesAnAnswerableBoxAndClicksBesideButtonsDoNothing) {
  // A click beside the button first, then on it.
  Script(ClickAt(2, 1850.0f, kSingleButtonY) + ClickAt(8, kCentreX, kSingleButtonY));
  EXPECT_EQ(m_saver->ShowMessage("", "", "OK", nullptr, 0), 1);
  EXPECT_EQ(PlatformTestDriverFrameNumber(), 12u);
}

TEST_F(DataSaverTest, LoadGameGivesThePointerBackAsItWas) {
  CCursor* pointer = GetInputModule()->GetInput()->GetCursor(0);
  for (bool active : {true, false}) {
    if (active) pointer->Show(); else pointer->Hide();
    std::ofstream(SavePath(), std::ios::binary | std::ios::trunc) << "damaged";
    Script(ClickAt(2, kCentreX, kSingleButtonY));
    EXPECT_FALSE(m_saver->LoadGame());
    EXPECT_EQ(pointer->IsActive(), active);
  }
}

TEST_F(DataSaverTest, TheBoxBindsItsSlotsAndWithoutItsResourcesAnswersAtOnce) {
  const CInput* input = GetInputModule()->GetInput();
  for (int32_t slot : {CDataSaver::kSlotDown, CDataSaver::kSlotUp, CDataSaver::kSlotClick}) {
    EXPECT_NE(input->GetSlot(slot)->poll, nullptr) << slot;
  }
  m_saver->ReleaseSystemResources();
  EXPECT_FALSE(m_saver->HasSystemResources());
  for (int32_t slot : {CDataSaver::kSlotDown, CDataSaver::kSlotUp, CDataSaver::kSlotClick}) {
    EXPECT_EQ(input->GetSlot(slot)->poll, nullptr) << slot;
  }
  // Without its resources a box is reported and takes its first answer, one frame or many.
  EXPECT_EQ(m_saver->MessageBoxFrame("", "text", "Yes", "No"), 1);
  EXPECT_EQ(m_saver->ShowMessage("", "text", "Yes", "No", 0), 1);
}

TEST(BusyIndicatorTest, SpokesBrightenInEightStepsPerCycle) {
  // progress -> the alpha of spokes 0 and 7
  struct SCase {
    float progress;
    uint8_t first, last;
  } cases[] = {{0.0f, 32, 116}, {0.124f, 32, 116}, {0.125f, 44, 32}, {0.99f, 116, 104}};
  for (const SCase& c : cases) {
    EXPECT_EQ(CBusyIndicator::SpokeAlpha(0, c.progress), c.first) << c.progress;
    EXPECT_EQ(CBusyIndicator::SpokeAlpha(7, c.progress), c.last) << c.progress;
  }
  CBusyIndicator indicator(nullptr);
  for (auto [given, kept] : {std::pair{1.25f, 0.25f}, {-0.25f, 0.75f}, {3.0f, 0.0f}}) {
    indicator.SetProgress(given);
    EXPECT_NEAR(indicator.GetProgress(), kept, 1e-6f) << given;
  }
}

class InputWarningTest : public CSystemScreenFixture {};

TEST_F(InputWarningTest, NoStateDrawsNothingAndALostConnectionMarksOnlyThePlayersConcerned) {
  StartApplication();
  CInputWarning warning;
  warning.LoadResources();
  const float aspect = GetDisplayAspect();
  const auto drawn = [&](int32_t state) {
    warning.Reset();
    warning.SetState(state);
    warning.SetPlayerFlag(0, true);
    SGfxImage image;
    EXPECT_TRUE(BeginFrame());
    GetD3DDevice()->Clear(0, nullptr, GFX_CLEAR_TARGET, 0xFF000000, 1.0f, 0);
    warning.Render();
    EXPECT_TRUE(GfxCaptureBackBuffer(*GetD3DDevice(), image));
    FinishFrame();
    return image;
  };
  const SGfxImage none = drawn(CInputWarning::kNone);
  EXPECT_EQ(At(none, kCentreX, 2204.0f), kBlack);
  const SGfxImage lost = drawn(CInputWarning::kConnectionLost);
  EXPECT_EQ(At(lost, kCentreX, 2180.0f), (SColour{0, 128, 128}));  // the strip
  // Below each marker's label: the icon for player 1, the strip showing through for the rest.
  for (int32_t player = 0; player < 4; ++player) {
    const float x = kCentreX + (-168.75f + 112.5f * float(player)) / aspect;
    const SColour expected = player == 0 ? SColour{255, 128, 0} : SColour{0, 128, 128};
    EXPECT_EQ(At(lost, x - 15.0f / aspect, 2242.0f + 9.0f), expected) << player;
  }
}

}  // namespace
