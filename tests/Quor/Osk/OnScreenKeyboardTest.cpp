// The on-screen keyboard: loading its folder, the key grid, the key actions driven by input
// events pushed through the real pump, the configuration's errors and the drawn panel.

#include "tests/Quor/Render/RenderTestKit.h"

#include <cstring>

#include "Platform/PlatformSystem.h"
#include "Quor/CSoundManager.h"
#include "Quor/DirectX/InputState.h"
#include "Quor/DirectX/Quordx.h"
#include "Quor/Engine.h"
#include "Quor/OnScreenKeyboard.h"
#include "tests/Quor/SoundTestKit.h"
#include "tests/support/TestInput.h"
#include "tests/support/engine/EngineTestSupport.h"
#include "tools/fontmaker/FontFileWriter.h"

using namespace rendertest;

namespace {

// Every button its own colour, so a drawn pixel tells which texture it came from.
const struct {
  const char* file;
  SRgba colour;
} kButtons[] = {
    {"buttonSmall.mpt", {0, 96, 0, 255}},    {"buttonWide.mpt", {0, 0, 96, 255}},
    {"buttonSpace.mpt", {96, 96, 0, 255}},   {"buttonBS.mpt", {96, 0, 96, 255}},
    {"buttonOK.mpt", {0, 200, 200, 255}},    {"buttonCancel.mpt", {200, 0, 0, 255}},
    {"Cursor.mpt", {255, 255, 0, 255}},
};

const char* kConfiguration =
    "Background #102030\nBackground2 #203040\nPrompt #FFFFFF\nKey #FFFFFF\nInput #000000\n"
    "InputBorder #808080\nInputBackground #E0E0E0\nCursorScale 1.0\n";

constexpr uint32_t kCellOk = 3 * 11 + 8;
constexpr uint32_t kCellBackspace = 10;

class OnScreenKeyboardTest : public CRenderFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hmtest::StartFreshEngine());
    CRenderFixture::SetUp();
    SetAspectRatio(1.0f);
    InitInputDevices();
    soundtest::UseDummyAudio();
    m_sounds = std::make_unique<CSoundManager>();
    const std::vector<uint8_t> font = fontmaker::WriteFontFile(fontmaker::MakeFixtureFont());
    WriteContent("OSK/osk.fnt", font);
    for (const auto& button : kButtons) WriteContent(std::string("OSK/") + button.file, MptFile(4, 4, Solid(4, 4, button.colour)));
    const SWaveFormat format = audiotest::PcmFormat(44100, 16, 1);
    WriteContent("OSK/press.wav", soundtest::ToneWave(format, 1000, 0.3));
    WriteContent("OSK/fail.wav", soundtest::ToneWave(format, 200, 0.3));
    WriteContent("OSK/osk.gcfg", vfstest::Text(kConfiguration));
  }
  void TearDown() override {
    OnScreenKeyboardShutdown();
    m_sounds.reset();
    ShutdownInputDevices();
    CRenderFixture::TearDown();
    PlatformShutdown();
  }

  // One frame of input as the engine takes it: the events, the pump, the poll, the keyboard.
  void Frame() {
    ASSERT_TRUE(ProcessMessages());
    PollInputDevices();
    OnScreenKeyboardProcessInput();
  }
  // A key pressed and released, by its name ("Right", "Return").
  void Tap(const char* key) {
    for (bool down : {true, false}) {
      SendKey(key, down);
      Frame();
    }
  }
  void Type(const char* text) {
    for (const char* c = text; *c; ++c) {
      SendInput(std::string("text ") + *c);
      Frame();
    }
  }
  // A left click at a point in virtual units.
  void Click(float x, float y) {
    GetInputState().mouseX = (x - 2048.0f) / 256.0f;
    GetInputState().mouseY = (y - 2048.0f) / 256.0f;
    for (bool down : {true, false}) {
      SendInput(down ? "mouse down left" : "mouse up left");
      Frame();
    }
  }
  void ClickKey(uint32_t cell) {
    const SOskKey* key = GetOnScreenKeyboard()->keys[cell];
    Click(key->x + key->width / 2, key->y + key->height / 2);
  }

  // The sounds started since the last call, oldest first ("press" or "fail").
  std::vector<std::string> PlayedSounds() {
    std::vector<std::string> played;
    const SOnScreenKeyboard* keyboard = GetOnScreenKeyboard();
    for (; m_nextHandle < 1000; ++m_nextHandle) {
      const SVoice* voice = m_sounds->FindVoice(m_nextHandle, 0);
      if (!voice) break;
      played.push_back(voice->sound == keyboard->pressSound ? "press" : voice->sound == keyboard->failSound ? "fail" : "?");
    }
    m_sounds->StopAllSounds();
    return played;
  }

  std::unique_ptr<CSoundManager> m_sounds;
  uint32_t m_nextHandle = 2;  // the first handle the sound manager gives
};

using Sounds = std::vector<std::string>;

TEST_F(OnScreenKeyboardTest, WithoutATextureManagerInitIsReportedAndLoadsNothing) {
  SetTextureManager(nullptr);
  EXPECT_FALSE(OnScreenKeyboardInit());
  SetTextureManager(m_manager.get());
  EXPECT_FALSE(IsOnScreenKeyboardInitialised());
  EXPECT_TRUE(Reported("The on-screen keyboard cannot be loaded: there is no texture manager"));
  EXPECT_TRUE(OnScreenKeyboardInit()) << "a later init with the manager loads it";
}

TEST_F(OnScreenKeyboardTest, InitLoadsTheFolderAndBuildsTheKeyGrid) {
  EXPECT_TRUE(OnScreenKeyboardInit());
  SOnScreenKeyboard* keyboard = GetOnScreenKeyboard();
  ASSERT_NE(keyboard, nullptr);
  EXPECT_EQ(keyboard->colours[kOskBackground], 0xFF102030u);
  EXPECT_EQ(keyboard->colours[kOskInputBorder], 0xFF808080u);
  EXPECT_EQ(keyboard->background, nullptr);
  EXPECT_GT(keyboard->font.GetGlyphCount(), 0u);
  EXPECT_NE(keyboard->pressSound, nullptr);
  // Seven buttons and the font's page.
  EXPECT_EQ(m_manager->GetTextureCount(), 8u);
  // The texture manager's folder is put back.
  EXPECT_STREQ(m_manager->GetDirectory(), "Textures\\");

  struct SCell {
    uint32_t cell;
    uint8_t upper, lower;
    OskKeyAction action;
    EOskButton button;
  } const cells[] = {
      {0, '1', '1', &OskTypeKey, kOskButtonSmall},     {9, '0', '0', &OskTypeKey, kOskButtonSmall},
      {10, 0, 0, &OskBackspaceKey, kOskButtonBackspace}, {11, 'Q', 'q', &OskTypeKey, kOskButtonSmall},
      {30, 'L', 'l', &OskTypeKey, kOskButtonSmall},    {32, 0, 0, &OskSwitchLayoutKey, kOskButtonWide},
      {34, 'Z', 'z', &OskTypeKey, kOskButtonSmall},    {40, 'M', 'm', &OskTypeKey, kOskButtonSmall},
      {41, 0, 0, &OskOkKey, kOskButtonOk},             {42, 0, 0, &OskCancelKey, kOskButtonCancel},
      {43, ' ', ' ', &OskTypeKey, kOskButtonSpace},
  };
  for (const SCell& c : cells) {
    SCOPED_TRACE(c.cell);
    const SOskKey* key = keyboard->keys[c.cell];
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->characters[0], c.upper);
    EXPECT_EQ(key->characters[1], c.lower);
    EXPECT_EQ(key->action, c.action);
    EXPECT_EQ(key->texture, keyboard->buttons[c.button]);
  }
  for (uint32_t empty : {21u, 31u, 33u}) EXPECT_EQ(keyboard->keys[empty], nullptr) << empty;
  EXPECT_STREQ(keyboard->keys[32]->labels[0], "abc");
  EXPECT_STREQ(keyboard->keys[32]->labels[1], "ABC");

  // A second start changes nothing; shutting down gives every texture back, once.
  OnScreenKeyboardInit();
  EXPECT_EQ(GetOnScreenKeyboard(), keyboard);
  EXPECT_EQ(m_manager->GetTextureCount(), 8u);
  OnScreenKeyboardShutdown();
  EXPECT_FALSE(IsOnScreenKeyboardInitialised());
  EXPECT_EQ(m_manager->GetTextureCount(), 0u);
  OnScreenKeyboardShutdown();

  // The background picture is taken when the folder has one.
  WriteContent("OSK/texBg.mpt", MptFile(4, 4, Solid(4, 4, {9, 9, 9, 255})));
  OnScreenKeyboardInit();
  EXPECT_NE(GetOnScreenKeyboard()->background, nullptr);
  EXPECT_EQ(m_manager->GetTextureCount(), 9u);
}

TEST_F(OnScreenKeyboardTest, KeyActionsWithoutRoomOrTextPlayTheFailSound) {
  OnScreenKeyboardInit();
  SOnScreenKeyboard* keyboard = GetOnScreenKeyboard();
  // The maximum length is 0 until a screen shows the keyboard.
  OskTypeKey(keyboard->keys[11]);
  OskBackspaceKey(keyboard->keys[kCellBackspace]);
  EXPECT_EQ(keyboard->cursor, -1);
  EXPECT_STREQ(keyboard->input, "");
  OskSwitchLayoutKey(keyboard->keys[32]);
  EXPECT_EQ(keyboard->layout, 1u);
  OskSwitchLayoutKey(keyboard->keys[32]);
  EXPECT_EQ(keyboard->layout, 0u);
  EXPECT_EQ(PlayedSounds(), (Sounds{"fail", "fail", "press", "press"}));
}

TEST_F(OnScreenKeyboardTest, InjectedInputTypesErasesAndConfirms) {
  OnScreenKeyboardInit();
  SOnScreenKeyboard* keyboard = GetOnScreenKeyboard();
  OnScreenKeyboardShow("Your name", 6, nullptr);  // room for five characters
  ASSERT_TRUE(IsOnScreenKeyboardVisible());

  // The selection starts on "1"; one step right and Enter types "2".
  Tap("Right");
  EXPECT_EQ(keyboard->selection, 1u);
  Tap("Return");
  EXPECT_STREQ(keyboard->input, "2");
  // A typed letter presses its key in the layout it belongs to.
  Type("q");
  EXPECT_STREQ(keyboard->input, "2q");
  EXPECT_EQ(keyboard->layout, 1u);
  EXPECT_EQ(keyboard->selection, 11u);
  Tap("Backspace");
  EXPECT_STREQ(keyboard->input, "2");
  EXPECT_EQ(keyboard->cursor, 0);
  // Characters the keyboard does not have are ignored; the sixth character finds no room.
  Type("A!bcDe");
  EXPECT_STREQ(keyboard->input, "2AbcD");
  EXPECT_EQ(keyboard->cursor, 4);
  EXPECT_EQ(PlayedSounds(), (Sounds{"press", "press", "press", "press", "press", "press", "press", "fail"}));

  // The arrows skip empty cells and wrap round their row or column.
  struct SMove {
    uint32_t from;
    const char* arrow;
    uint32_t to;
  } const moves[] = {
      {10, "Down", 32}, {32, "Down", 43}, {43, "Down", 10},
      {10, "Up", 43},   {34, "Left", 43}, {30, "Right", 32},
      {43, "Right", 34},
  };
  for (const SMove& move : moves) {
    keyboard->selection = move.from;
    Tap(move.arrow);
    EXPECT_EQ(keyboard->selection, move.to) << "from " << move.from;
  }

  // A click on OK accepts; the panel closes and the text stays for the caller.
  ClickKey(kCellOk);
  EXPECT_EQ(keyboard->ok, 1);
  EXPECT_EQ(keyboard->cancel, 0);
  EXPECT_FALSE(IsOnScreenKeyboardVisible());
  EXPECT_STREQ(keyboard->input, "2AbcD");
  EXPECT_EQ(PlayedSounds(), (Sounds{"press"}));
  Type("x");
  EXPECT_STREQ(keyboard->input, "2AbcD") << "a closed panel takes no input";

  // Escape cancels; the starting text is kept to the room there is.
  OnScreenKeyboardShow(nullptr, 5, "Hollowmere");
  EXPECT_STREQ(keyboard->input, "Holl");
  EXPECT_EQ(keyboard->ok, 0);
  Tap("Escape");
  EXPECT_EQ(keyboard->cancel, 1);
  EXPECT_FALSE(IsOnScreenKeyboardVisible());
}

TEST_F(OnScreenKeyboardTest, ClicksOutsideTheKeysPressNothing) {
  OnScreenKeyboardInit();
  OnScreenKeyboardShow("", 10, nullptr);
  Click(1800.0f, 1800.0f);
  Click(2048.0f, 2300.0f);
  EXPECT_EQ(OnScreenKeyboardKeyAt(1800.0f, 1800.0f), -1);
  EXPECT_STREQ(GetOnScreenKeyboard()->input, "");
  EXPECT_TRUE(PlayedSounds().empty());
  ClickKey(kCellBackspace);
  EXPECT_EQ(PlayedSounds(), (Sounds{"fail"}));
}

TEST_F(OnScreenKeyboardTest, ThePanelIsDrawnWithItsColoursKeysAndSelection) {
  OnScreenKeyboardInit();
  OnScreenKeyboardShow("", 10, nullptr);
  GetOnScreenKeyboard()->selection = kCellOk;
  BeginFrame();
  OnScreenKeyboardRender();
  const std::vector<uint8_t> rgba = EndFrame();
  const SOskKey* backspace = GetOnScreenKeyboard()->keys[kCellBackspace];
  auto pixelOf = [](float virtualUnits) { return int((virtualUnits - 1792.0f) / 8.0f); };
  // Outside the panel the frame stays clear; inside, the background colour.
  EXPECT_EQ(Pixel(rgba, kSize, 1, 4), (SRgba{0, 0, 0, 255}));
  EXPECT_EQ(Pixel(rgba, kSize, 3, 10), (SRgba{0x10, 0x20, 0x30, 255}));
  // The backspace key in its own texture, the selected OK key under the cursor frame.
  const int bx = pixelOf(backspace->x + backspace->width / 2), by = pixelOf(backspace->y + backspace->height / 2);
  EXPECT_EQ(Pixel(rgba, kSize, bx, by), kButtons[3].colour);
  const SOskKey* ok = GetOnScreenKeyboard()->keys[kCellOk];
  EXPECT_EQ(Pixel(rgba, kSize, pixelOf(ok->x + ok->width / 2), pixelOf(ok->y + ok->height / 2)), kButtons[6].colour);
  // The empty input line shows its background colour.
  EXPECT_EQ(Pixel(rgba, kSize, 40, 17), (SRgba{0xE0, 0xE0, 0xE0, 255}));

  OnScreenKeyboardHide();
  BeginFrame();
  OnScreenKeyboardRender();
  EXPECT_EQ(Pixel(EndFrame(), kSize, 3, 10), (SRgba{0, 0, 0, 255}));
}

TEST_F(OnScreenKeyboardTest, ConfigurationErrorsAreFatalAndNameTheirValue) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  struct SCase {
    const char* text;
    const char* message;
  } const cases[] = {
      {"Background #ffffff\n", "Error parsing osk.gcfg: Background \"#ffffff\" : \"f\" in not a hex digit"},
      {"Key #FFF\n", "Error parsing osk.gcfg: Key:#FFF not a web color #RRGGBB"},
      {"Input FFFFFFF\n", "Error parsing osk.gcfg: Input:FFFFFFF not a web color #RRGGBB"},
      {"}\n", "Error parsing osk.gcfg: .*without matching"},
  };
  for (const SCase& c : cases) {
    WriteContent("OSK/osk.gcfg", vfstest::Text(c.text));
    EXPECT_EXIT(OnScreenKeyboardInit(), ::testing::ExitedWithCode(3), c.message) << c.text;
  }
  // A scale that is no number reads as 0, as the C library reads it.
  WriteContent("OSK/osk.gcfg", vfstest::Text("CursorScale big\nBackground2 #0A0B0C\n"));
  OnScreenKeyboardInit();
  EXPECT_FLOAT_EQ(GetOnScreenKeyboard()->cursorScale, 0.0f);
  EXPECT_EQ(GetOnScreenKeyboard()->colours[kOskBackground2], 0xFF0A0B0Cu);
  EXPECT_EQ(GetOnScreenKeyboard()->colours[kOskKey], 0xFFFFFFFFu) << "unnamed colours keep their defaults";
}

TEST_F(OnScreenKeyboardTest, TheSampleContentFolderLoads) {
  CVFS content(HM_BINARY_DIR "/content");
  g_pVFS = &content;
  OnScreenKeyboardInit();
  g_pVFS = m_vfs.get();
  const SOnScreenKeyboard* keyboard = GetOnScreenKeyboard();
  EXPECT_EQ(keyboard->colours[kOskBackground], 0xFF1C2230u);
  EXPECT_FLOAT_EQ(keyboard->cursorScale, 1.15f);
  EXPECT_NE(keyboard->font.FindGlyph('W'), -1);
  for (TextureRecord* button : keyboard->buttons) EXPECT_EQ(GetTextureWidth(button), 64u);
}

}  // namespace
