#include "Quor/OnScreenKeyboard.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Quor/CGcfgParser.h"
#include "Quor/CSoundManager.h"
#include "Quor/CTextureManager.h"
#include "Quor/CVFS.h"
#include "Quor/DirectX/InputState.h"
#include "Quor/Engine.h"
#include "Quor/ITextRenderer.h"
#include "Quor/ReportError.h"

namespace {

constexpr const char* kOnScreenKeyboardSource = "Quor/OnScreenKeyboard";
constexpr const char* kFolder = "OSK";
constexpr const char* kButtonFiles[kOskButtonCount] = {"buttonSmall.mpt", "buttonWide.mpt",   "buttonSpace.mpt",
                                                       "buttonBS.mpt",    "buttonOK.mpt",     "buttonCancel.mpt",
                                                       "Cursor.mpt"};
constexpr const char* kColourKeys[kOskColourCount] = {"Background",      "Background2", "Key",   "Prompt",
                                                      "InputBackground", "InputBorder", "Input"};
constexpr uint32_t kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu;
constexpr uint32_t kDefaultColours[kOskColourCount] = {kBlack, kBlack, kWhite, kWhite, kWhite, kWhite, kBlack};

// The panel in virtual units (the screen spans 1792..2304 on both axes). Keys are square on
// screen: their width in x units follows the aspect.
constexpr float kKeyHeight = 36.0f;
constexpr float kKeyPitch = 40.0f;
constexpr float kPanelTop = 1856.0f;
constexpr float kPanelBottom = 2176.0f;
constexpr float kPromptTop = 1872.0f;
constexpr float kTextHeight = 20.0f;
constexpr float kInputTop = 1904.0f;
constexpr float kInputHeight = 40.0f;
constexpr float kBorder = 4.0f;
constexpr float kKeysTop = 2000.0f;
constexpr float kPanelMargin = 16.0f;

SOnScreenKeyboard* g_keyboard = nullptr;

// ---- configuration ----

bool IsUpperHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }
uint32_t HexValue(char c) { return c <= '9' ? uint32_t(c - '0') : uint32_t(c - 'A' + 10); }

bool OnColourKey(CGcfgParser& parser, const SGcfgEvent& event) {
  char error[CGcfgParser::kErrorSize];
  if (ParseOskWebColour(event.name, event.value, reinterpret_cast<uint32_t*>(event.user1), error, sizeof error))
    return true;
  parser.SetError("%s", error);
  return false;
}

bool OnCursorScaleKey(CGcfgParser&, const SGcfgEvent& event) {
  *reinterpret_cast<float*>(event.user1) = float(std::atof(event.value));
  return true;
}

void ReadConfiguration(SOnScreenKeyboard* keyboard) {
  CGcfgParser parser;
  for (uint32_t i = 0; i < kOskColourCount; ++i)
    parser.AddKeyHandler(kColourKeys[i], &OnColourKey, reinterpret_cast<uintptr_t>(&keyboard->colours[i]));
  parser.AddKeyHandler("CursorScale", &OnCursorScaleKey, reinterpret_cast<uintptr_t>(&keyboard->cursorScale));
  char error[CGcfgParser::kErrorSize] = {};
  if (!ParseGcfgFile(parser, "OSK\\osk.gcfg", error))
    HM_FATAL(kOnScreenKeyboardSource, "Error parsing osk.gcfg: %s", error);
}

// ---- resources ----

void LoadTextures(SOnScreenKeyboard* keyboard) {
  CTextureManager* manager = GetTextureManager();
  const std::string saved = manager->GetDirectory();
  manager->SetDirectory(kFolder);
  for (uint32_t i = 0; i < kOskButtonCount; ++i) keyboard->buttons[i] = manager->LoadTexture(kButtonFiles[i]);
  // The background picture is optional.
  if (VfsFile* file = g_pVFS ? g_pVFS->Open("OSK\\texBg.mpt") : nullptr) {
    g_pVFS->Close(file);
    keyboard->background = manager->LoadTexture("texBg.mpt");
  }
  manager->SetDirectory(saved.c_str());
}

void LoadSounds(SOnScreenKeyboard* keyboard) {
  CSoundManager* sounds = GetSoundManager();
  if (!sounds) return;
  const std::string saved = sounds->GetDirectory();
  sounds->SetDirectory(kFolder);
  keyboard->pressSound = sounds->LoadSound("press", false);
  keyboard->failSound = sounds->LoadSound("fail", false);
  sounds->Flush();
  sounds->SetDirectory(saved.c_str());
}

void PlayKeySound(SSoundRecord* sound) {
  if (CSoundManager* sounds = GetSoundManager())
    if (sound) sounds->PlaySound(sound, nullptr, 1.0f, -1.0f, 1.0f);
}

// ---- the key grid ----

SOskKey* MakeKey(uint8_t upper, uint8_t lower, EOskButton button, OskKeyAction action) {
  SOskKey* key = new SOskKey;
  key->characters[0] = upper;
  key->characters[1] = lower;
  key->texture = g_keyboard->buttons[button];
  key->action = action;
  return key;
}

void PutLetterRow(uint32_t row, uint32_t firstCell, const char* letters) {
  for (uint32_t i = 0; letters[i]; ++i) {
    const uint8_t upper = uint8_t(letters[i]);
    g_keyboard->keys[row * SOnScreenKeyboard::kColumns + firstCell + i] =
        MakeKey(upper, uint8_t(upper - 'A' + 'a'), kOskButtonSmall, &OskTypeKey);
  }
}

void BuildKeys() {
  for (SOskKey*& cell : g_keyboard->keys) cell = nullptr;
  SOskKey** keys = g_keyboard->keys;
  const char* digits = "1234567890";
  for (uint32_t i = 0; digits[i]; ++i)
    keys[i] = MakeKey(uint8_t(digits[i]), uint8_t(digits[i]), kOskButtonSmall, &OskTypeKey);
  keys[10] = MakeKey(0, 0, kOskButtonBackspace, &OskBackspaceKey);
  PutLetterRow(1, 0, "QWERTYUIOP");
  PutLetterRow(2, 0, "ASDFGHJKL");
  SOskKey* layoutSwitch = MakeKey(0, 0, kOskButtonWide, &OskSwitchLayoutKey);
  layoutSwitch->labels[0] = "abc";
  layoutSwitch->labels[1] = "ABC";
  keys[2 * 11 + 10] = layoutSwitch;
  PutLetterRow(3, 1, "ZXCVBNM");
  keys[3 * 11 + 8] = MakeKey(0, 0, kOskButtonOk, &OskOkKey);
  keys[3 * 11 + 9] = MakeKey(0, 0, kOskButtonCancel, &OskCancelKey);
  keys[3 * 11 + 10] = MakeKey(' ', ' ', kOskButtonSpace, &OskTypeKey);
}

void Press(uint32_t cell) {
  SOskKey* key = g_keyboard->keys[cell];
  if (key && key->action) key->action(key);
}

// ---- input ----

bool WentDown(const SInputState& input, uint8_t key) { return input.down[key] && input.changed[key]; }

// The next key cell from the selection in a direction, wrapping round its row or column.
uint32_t NextCell(uint32_t cell, int dx, int dy) {
  const int columns = int(SOnScreenKeyboard::kColumns), rows = int(SOnScreenKeyboard::kRows);
  int x = int(cell) % columns, y = int(cell) / columns;
  for (int step = 0; step < columns; ++step) {
    x = (x + dx + columns) % columns;
    y = (y + dy + rows) % rows;
    if (g_keyboard->keys[y * columns + x]) return uint32_t(y * columns + x);
  }
  return cell;
}

// A character typed on a real keyboard presses the key that carries it.
void TypeCharacter(char c) {
  for (uint32_t cell = 0; cell < SOnScreenKeyboard::kCells; ++cell) {
    SOskKey* key = g_keyboard->keys[cell];
    if (!key || key->action != &OskTypeKey) continue;
    for (uint32_t layout = 0; layout < 2; ++layout) {
      if (key->characters[layout] != uint8_t(c)) continue;
      g_keyboard->layout = layout;
      g_keyboard->selection = cell;
      Press(cell);
      return;
    }
  }
}

// ---- drawing ----

void SolidRect(ITextRenderer* renderer, float left, float top, float right, float bottom, uint32_t colour) {
  const SGlyphVertex corners[4] = {{left, top, 1.0f, colour, 0, 0},
                                   {left, bottom, 1.0f, colour, 0, 0},
                                   {right, bottom, 1.0f, colour, 0, 0},
                                   {right, top, 1.0f, colour, 0, 0}};
  renderer->DrawSolidFan(corners);
}

uint8_t To128Scale(uint32_t byte) { return uint8_t((byte * 128 + 127) / 255); }

void SetTextColour(CFont& font, uint32_t colour) {
  const uint8_t r = To128Scale(colour >> 16 & 0xFF), g = To128Scale(colour >> 8 & 0xFF);
  const uint8_t b = To128Scale(colour & 0xFF), a = To128Scale(colour >> 24);
  const uint8_t both[8] = {r, g, b, a, r, g, b, a};
  font.SetColors(both);
}

void PrintAt(CFont& font, const char* text, float x, float y, bool centred) {
  float width = 0;
  font.GetTextExtent(text, &width, nullptr);
  font.SetPosition(centred ? x - width * 0.5f : x, y);
  font.Printf("%s", text);
  font.Flush();
}

float PanelHalfWidth() {
  return VirtualHeightToWidth(kKeyPitch) * float(SOnScreenKeyboard::kColumns) * 0.5f +
         VirtualHeightToWidth(kPanelMargin);
}

void DrawKey(ITextRenderer* renderer, const SOskKey& key) {
  renderer->DrawTextureRect(key.texture, key.x, key.y, key.width, key.height, kWhite);
  const uint32_t layout = g_keyboard->layout;
  char text[2] = {char(key.characters[layout]), 0};
  const char* label = key.labels[layout] ? key.labels[layout] : text;
  if (!label[0] || label[0] == ' ') return;
  SetTextColour(g_keyboard->font, g_keyboard->colours[kOskKey]);
  PrintAt(g_keyboard->font, label, key.x + key.width * 0.5f, key.y + (key.height - kTextHeight) * 0.5f, true);
}

void DrawSelection(ITextRenderer* renderer) {
  const SOskKey* key = g_keyboard->keys[g_keyboard->selection % SOnScreenKeyboard::kCells];
  if (!key) return;
  const float scale = g_keyboard->cursorScale * key->scale;
  const float width = key->width * scale, height = key->height * scale;
  renderer->DrawTextureRect(g_keyboard->buttons[kOskCursor], key->x + (key->width - width) * 0.5f,
                            key->y + (key->height - height) * 0.5f, width, height, kWhite);
}

void DrawInputLine(ITextRenderer* renderer, float halfWidth) {
  const float left = 2048.0f - halfWidth + VirtualHeightToWidth(kPanelMargin);
  const float right = 2048.0f + halfWidth - VirtualHeightToWidth(kPanelMargin);
  const float border = VirtualHeightToWidth(kBorder);
  SolidRect(renderer, left, kInputTop, right, kInputTop + kInputHeight, g_keyboard->colours[kOskInputBorder]);
  SolidRect(renderer, left + border, kInputTop + kBorder, right - border, kInputTop + kInputHeight - kBorder,
            g_keyboard->colours[kOskInputBackground]);
  SetTextColour(g_keyboard->font, g_keyboard->colours[kOskInput]);
  PrintAt(g_keyboard->font, g_keyboard->input, left + 2 * border, kInputTop + (kInputHeight - kTextHeight) * 0.5f,
          false);
}

}  // namespace

// ---- life cycle ----

bool OnScreenKeyboardInit() {
  if (g_keyboard) return true;
  if (!GetTextureManager()) {
    HM_REPORT(kOnScreenKeyboardSource, "The on-screen keyboard cannot be loaded: there is no texture manager");
    return false;
  }
  g_keyboard = new SOnScreenKeyboard;
  std::memcpy(g_keyboard->colours, kDefaultColours, sizeof kDefaultColours);
  g_keyboard->font.Load("OSK\\osk.fnt");
  LoadTextures(g_keyboard);
  LoadSounds(g_keyboard);
  ReadConfiguration(g_keyboard);
  BuildKeys();
  return true;
}

void OnScreenKeyboardShutdown() {
  if (!g_keyboard) return;
  for (SOskKey*& key : g_keyboard->keys) {
    delete key;
    key = nullptr;
  }
  if (CSoundManager* sounds = GetSoundManager()) {
    if (g_keyboard->pressSound) sounds->ReleaseSound(g_keyboard->pressSound);
    if (g_keyboard->failSound) sounds->ReleaseSound(g_keyboard->failSound);
  }
  if (CTextureManager* manager = GetTextureManager()) {
    for (int i = kOskButtonCount - 1; i >= 0; --i) manager->ReleaseTexture(g_keyboard->buttons[i]);
    if (g_keyboard->background) manager->ReleaseTexture(g_keyboard->background);
  }
  delete g_keyboard;
  g_keyboard = nullptr;
}

bool IsOnScreenKeyboardInitialised() { return g_keyboard != nullptr; }
SOnScreenKeyboard* GetOnScreenKeyboard() { return g_keyboard; }

bool ParseOskWebColour(const char* key, const char* value, uint32_t* colour, char* error, size_t errorSize) {
  if (std::strlen(value) != 7 || value[0] != '#') {
    std::snprintf(error, errorSize, "%s:%s not a web color #RRGGBB", key, value);
    return false;
  }
  uint32_t rgb = 0;
  for (int i = 1; i < 7; ++i) {
    if (!IsUpperHexDigit(value[i])) {
      std::snprintf(error, errorSize, "%s \"%s\" : \"%c\" in not a hex digit", key, value, value[i]);
      return false;
    }
    rgb = rgb << 4 | HexValue(value[i]);
  }
  *colour = 0xFF000000u | rgb;
  return true;
}

// ---- key actions ----

void OskTypeKey(SOskKey* key) {
  SOnScreenKeyboard& k = *g_keyboard;
  if (k.cursor >= int32_t(k.maximumLength) - 2) {
    PlayKeySound(k.failSound);
    return;
  }
  const char* label = key->labels[k.layout];
  k.input[++k.cursor] = label ? label[0] : char(key->characters[k.layout]);
  k.input[k.cursor + 1] = 0;
  PlayKeySound(k.pressSound);
}

void OskBackspaceKey(SOskKey*) {
  SOnScreenKeyboard& k = *g_keyboard;
  if (k.cursor < 0) {
    PlayKeySound(k.failSound);
    return;
  }
  k.input[k.cursor--] = 0;
  PlayKeySound(k.pressSound);
}

void OskSwitchLayoutKey(SOskKey*) {
  PlayKeySound(g_keyboard->pressSound);
  g_keyboard->layout = g_keyboard->layout == 0 ? 1 : 0;
}

void OskOkKey(SOskKey*) {
  g_keyboard->ok = 1;
  PlayKeySound(g_keyboard->pressSound);
}

void OskCancelKey(SOskKey*) {
  g_keyboard->cancel = 1;
  PlayKeySound(g_keyboard->pressSound);
}

// ---- the panel ----

void OnScreenKeyboardShow(const char* prompt, uint32_t maximumLength, const char* text) {
  if (!g_keyboard) return;
  SOnScreenKeyboard& k = *g_keyboard;
  k.maximumLength = maximumLength < SOnScreenKeyboard::kInputSize ? maximumLength : SOnScreenKeyboard::kInputSize;
  std::snprintf(k.prompt, sizeof k.prompt, "%s", prompt ? prompt : "");
  std::memset(k.input, 0, sizeof k.input);
  // A starting text keeps to what typing could reach.
  const size_t room = k.maximumLength >= 1 ? k.maximumLength - 1 : 0;
  std::strncpy(k.input, text ? text : "", room);
  k.cursor = int32_t(std::strlen(k.input)) - 1;
  k.ok = k.cancel = 0;
  k.selection = 0;
  k.visible = true;
  OnScreenKeyboardPlaceKeys();
}

void OnScreenKeyboardHide() {
  if (g_keyboard) g_keyboard->visible = false;
}

bool IsOnScreenKeyboardVisible() { return g_keyboard && g_keyboard->visible; }

void OnScreenKeyboardProcessInput() {
  if (!IsOnScreenKeyboardVisible()) return;
  SOnScreenKeyboard& k = *g_keyboard;
  SInputState& input = GetInputState();
  if (WentDown(input, kVkLeft)) k.selection = NextCell(k.selection, -1, 0);
  if (WentDown(input, kVkRight)) k.selection = NextCell(k.selection, 1, 0);
  if (WentDown(input, kVkUp)) k.selection = NextCell(k.selection, 0, -1);
  if (WentDown(input, kVkDown)) k.selection = NextCell(k.selection, 0, 1);
  if (WentDown(input, kVkReturn)) Press(k.selection);
  if (WentDown(input, kVkBack)) OskBackspaceKey(nullptr);
  if (WentDown(input, kVkEscape)) OskCancelKey(nullptr);
  for (const char* typed = input.textInput; *typed; ++typed) {
    if (uint8_t(*typed) < 0x80) TypeCharacter(*typed);  // the keyboard's cells are plain letters
  }
  input.textInput[0] = 0;
  if (WentDown(input, kVkLButton)) {
    const int32_t cell = OnScreenKeyboardKeyAt(2048.0f + 256.0f * input.mouseX, 2048.0f + 256.0f * input.mouseY);
    if (cell >= 0) {
      k.selection = uint32_t(cell);
      Press(k.selection);
    }
  }
  if (k.ok || k.cancel) k.visible = false;
}

void OnScreenKeyboardPlaceKeys() {
  if (!g_keyboard) return;
  const float pitch = VirtualHeightToWidth(kKeyPitch);
  const float width = VirtualHeightToWidth(kKeyHeight);
  const float left = 2048.0f - pitch * float(SOnScreenKeyboard::kColumns) * 0.5f + (pitch - width) * 0.5f;
  for (uint32_t cell = 0; cell < SOnScreenKeyboard::kCells; ++cell) {
    SOskKey* key = g_keyboard->keys[cell];
    if (!key) continue;
    key->x = left + pitch * float(cell % SOnScreenKeyboard::kColumns);
    key->y = kKeysTop + kKeyPitch * float(cell / SOnScreenKeyboard::kColumns);
    key->width = width;
    key->height = kKeyHeight;
  }
}

int32_t OnScreenKeyboardKeyAt(float x, float y) {
  if (!g_keyboard) return -1;
  for (uint32_t cell = 0; cell < SOnScreenKeyboard::kCells; ++cell) {
    const SOskKey* key = g_keyboard->keys[cell];
    if (key && key->width > 0 && x >= key->x && x < key->x + key->width && y >= key->y && y < key->y + key->height)
      return int32_t(cell);
  }
  return -1;
}

void OnScreenKeyboardRender() {
  ITextRenderer* renderer = GetTextRenderer();
  if (!IsOnScreenKeyboardVisible() || !renderer) return;
  SOnScreenKeyboard& k = *g_keyboard;
  OnScreenKeyboardPlaceKeys();
  renderer->SetTextRenderStates();
  renderer->ResetDrawState();
  k.font.UpdateAspectScale();
  k.font.SetSize(kTextHeight / (k.font.GetContentHeight() > 0 ? k.font.GetContentHeight() : 1.0f));

  const float halfWidth = PanelHalfWidth();
  if (k.background)
    renderer->DrawTextureRect(k.background, 2048.0f - halfWidth, kPanelTop, 2 * halfWidth, kPanelBottom - kPanelTop,
                              kWhite);
  else
    SolidRect(renderer, 2048.0f - halfWidth, kPanelTop, 2048.0f + halfWidth, kPanelBottom, k.colours[kOskBackground]);
  const float keysInset = VirtualHeightToWidth(kPanelMargin * 0.5f);
  SolidRect(renderer, 2048.0f - halfWidth + keysInset, kKeysTop - kPanelMargin * 0.5f, 2048.0f + halfWidth - keysInset,
            kKeysTop + kKeyPitch * float(SOnScreenKeyboard::kRows), k.colours[kOskBackground2]);

  SetTextColour(k.font, k.colours[kOskPrompt]);
  PrintAt(k.font, k.prompt, 2048.0f, kPromptTop, true);
  DrawInputLine(renderer, halfWidth);
  for (const SOskKey* key : k.keys)
    if (key) DrawKey(renderer, *key);
  DrawSelection(renderer);
}
