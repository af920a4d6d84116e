#include "Framework/omDataSaver.h"

#include "Common/Render/Primitives/Sprite2D.h"
#include "Framework/Scene/omSceneMaterial.h"
#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/omAssetModule.h"
#include "Framework/omInput.h"
#include "Framework/omInputModule.h"
#include "Framework/omInputWarning.h"
#include "Framework/omSystemDrawing.h"
#include "Platform/InputDevices.h"
#include "Quor/CCollisionManager.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/DirectX/QuordxDevice.h"
#include "Quor/Engine.h"
#include "Quor/ReportError.h"
#include "Quor/Timer.h"

#include <cmath>

namespace Ombrel {

namespace {

constexpr const char* kOmDataSaverSource = "Framework/omDataSaver";

// Layout in the system 2-D space (window 1792..2304 on both axes), height units, s = 1.
constexpr float kCentreX = 2048.0f;
constexpr float kTitleY = 1838.0f;
constexpr float kBoxY = 2018.0f;
constexpr float kBoxWidth = 450.0f;
constexpr float kBoxHeight = 290.0f;
constexpr float kBorder = 12.0f;
constexpr float kTextMargin = 36.0f;
constexpr float kButtonWidth = 270.0f;
constexpr float kButtonHeight = 70.0f;
constexpr float kButtonY[2] = {2043.0f, 2113.0f};
constexpr float kSingleButtonY = (kButtonY[0] + kButtonY[1]) / 2;  // 2078
constexpr float kTextYWithButtons = 1948.0f;
constexpr float kTitleSize = 26.0f;
constexpr float kTitleWrap = 412.0f;
constexpr float kTextSize = 20.0f;
constexpr float kBusyOffsetY = 50.0f;
constexpr float kBusySize = 20.0f;
constexpr float kBusyCycle = 0.75f;
constexpr float kPointerSize = 15.0f;
constexpr float kPointerHotSpot = kPointerSize / 2;  // the picture's tip is its top-left corner
constexpr float kPi = 3.14159265358979f;

// An empty text would leave a box that can never be drawn or answered; it counts as none.
const char* TextOrNull(const char* text) { return text && *text ? text : nullptr; }

// What the box changes of the pointer for one frame, put back however the frame ends.
class CBorrowedPointer {
 public:
  explicit CBorrowedPointer(CCursor* cursor) : m_cursor(cursor) {
    if (!m_cursor) return;
    m_flags = m_cursor->GetFlags();
    m_node = m_cursor->GetNode();
    m_texture = m_cursor->GetTexture();
    m_cursor->SetNode(nullptr, nullptr);
    m_cursor->SetFlags(m_flags | CCursor::kActive);
  }
  ~CBorrowedPointer() {
    if (!m_cursor) return;
    m_cursor->SetFlags(m_flags);
    m_cursor->SetNode(m_node, m_texture);
  }
  CBorrowedPointer(const CBorrowedPointer&) = delete;
  CBorrowedPointer& operator=(const CBorrowedPointer&) = delete;

 private:
  CCursor* m_cursor;
  uint32_t m_flags = 0;
  CSprite2DNode* m_node = nullptr;
  TextureRecord* m_texture = nullptr;
};

}  // namespace

// ---- busy indicator

void CBusyIndicator::SetProgress(float progress) {
  float fraction = progress - std::floor(progress);
  if (fraction < 0.0f) fraction += 1.0f;
  m_progress = fraction < 1.0f ? fraction : 0.0f;
}

void CBusyIndicator::SetPosition(float x, float y) {
  m_x = x;
  m_y = y;
}

void CBusyIndicator::SetSize(float width, float height) {
  m_width = width;
  m_height = height;
}

uint8_t CBusyIndicator::SpokeAlpha(int32_t spoke, float progress) {
  const int32_t step = static_cast<int32_t>(std::floor(progress * kSpokes));
  return static_cast<uint8_t>(((spoke + step) % kSpokes) * 12 + 32);
}

void CBusyIndicator::Render() {
  for (int32_t spoke = 0; spoke < kSpokes; ++spoke) {
    DrawTurnedQuad(m_spoke, m_x, m_y, m_width, m_height, static_cast<float>(spoke) * kPi / 4,
                   SpokeAlpha(spoke, m_progress));
  }
}

// ---- the saver

CDataSaver::CDataSaver(uint32_t dataSize, bool overwrite)
    : CMemCardDX(dataSize, nullptr), m_dataSize(dataSize), m_pace(FrameTimeLimitForMode(0)) {
  SetOverwrite(overwrite);
}

CDataSaver::~CDataSaver() { ReleaseSystemResources(); }

bool CDataSaver::AcceptsBody(const uint8_t* block, uint32_t, std::string* reason) const {
  return !m_bodyCheck || m_bodyCheck(block, m_dataSize, reason);
}

void CDataSaver::LoadSystemResources(CXmlDictionary* dictionary) {
  CResourceManager* resources = GetResourceManager();
  m_font = FindSystemFont(resources, "System");
  m_textures.corner = FindSystemTexture(resources, "SysMsg_NAND_Corner");
  m_textures.edge = FindSystemTexture(resources, "SysMsg_NAND_Edge");
  m_textures.fill = FindSystemTexture(resources, "SysMsg_Fill");
  m_textures.selectedEnd = FindSystemTexture(resources, "SysMsg_NAND_Button_Selected_Edge");
  m_textures.selectedCentre = FindSystemTexture(resources, "SysMsg_NAND_Button_Selected_Center");
  m_textures.unselectedEnd = FindSystemTexture(resources, "SysMsg_NAND_Button_Unselected_Edge");
  m_textures.unselectedCentre = FindSystemTexture(resources, "SysMsg_NAND_Button_Unselected_Center");
  m_textures.cursor = FindSystemTexture(resources, "SystemCursor");
  if (CInput* input = GetActiveInput()) {
    input->Bind(kSlotDown, KeyHeldPoll<kVkDown>);
    input->Bind(kSlotUp, KeyHeldPoll<kVkUp>);
    input->Bind(kSlotClick, KeyHeldPoll<kVkLButton>);
  }
  m_pointerNode = std::make_unique<CSprite2DNode>("CursorNode", m_textures.cursor);
  m_pointerNode->SetMaterial(new C2DMaterial("CursorMat"));
  m_pointerNode->SetAspectCorrection(true);
  m_warning = std::make_unique<CInputWarning>();
  m_warning->LoadResources();
  m_dictionary = dictionary;
  m_busy = std::make_unique<CBusyIndicator>(FindSystemTexture(resources, "SysMsg_BusyIndicatorPart"));
  m_busy->SetPosition(kCentreX, kBoxY + kBusyOffsetY);
  m_busy->SetSize(kBusySize, kBusySize);
  m_status = 0;
  m_busyTimer = 0.0f;
  m_systemResourcesReady = true;
}

void CDataSaver::ReleaseSystemResources() {
  if (!m_systemResourcesReady) return;
  if (CInput* input = GetActiveInput()) {
    for (int32_t slot : {kSlotDown, kSlotUp, kSlotClick}) input->ClearSlot(slot);
  }
  m_busy.reset();
  if (m_warning) m_warning->Release();
  m_warning.reset();
  m_pointerNode.reset();
  m_font = nullptr;
  m_textures = SBoxTextures();
  m_systemResourcesReady = false;
}

int32_t CDataSaver::ShowMessage(const char* title, const char* text, const char* firstButton,
                                const char* secondButton, int32_t) {
  if (!CanShowBox()) return ReportInsteadOfBox(title, text, firstButton);
  for (;;) {
    int32_t answer = 0;
    const EFrame frame = RunFrame(title, text, firstButton, secondButton, &answer);
    if (frame == EFrame::kClosed) return 0;
    if (frame == EFrame::kAnswered) return answer;
    m_pace.WaitForDeadline();
  }
}

// Without its resources, its input or a device to draw with, the box could never be seen or
// answered.
bool CDataSaver::CanShowBox() const {
  return m_systemResourcesReady && GetActiveInput() && GetD3DDevice();
}

int32_t CDataSaver::ReportInsteadOfBox(const char* title, const char* text, const char* firstButton) {
  HM_REPORT(kOmDataSaverSource, "%s%s%s (answered \"%s\")", title ? title : "", title && *title ? ": " : "",
            text ? text : "", firstButton ? firstButton : "");
  return 1;
}

int32_t CDataSaver::MessageBoxFrame(const char* title, const char* text, const char* firstButton,
                                    const char* secondButton) {
  if (!CanShowBox()) return ReportInsteadOfBox(title, text, firstButton);
  int32_t answer = 0;
  return RunFrame(title, text, firstButton, secondButton, &answer) == EFrame::kClosed ? 1 : answer;
}

CDataSaver::EFrame CDataSaver::RunFrame(const char* title, const char* text, const char* firstButton,
                                        const char* secondButton, int32_t* answer) {
  text = TextOrNull(text);
  const int32_t buttonCount = !firstButton && !secondButton ? 0 : (secondButton ? 2 : 1);
  CInput* input = GetActiveInput();
  CBorrowedPointer borrowed(input ? input->GetCursor(0) : nullptr);
  SetDefaultRenderStates();
  if (!EngineServicePass() || !IsEngineRunning()) return EFrame::kClosed;
  const CFrameClock* clock = GetFrameClock();
  m_busyTimer += clock ? clock->delta : 0.0f;
  ReadInput(buttonCount);
  if (input && input->IsPressed(kSlotClick) && m_selection >= 0) {
    *answer = m_selection + 1;
    return EFrame::kAnswered;
  }
  if (!BeginFrame()) return EFrame::kOpen;
  DrawBox(title, text, buttonCount > 0 ? (firstButton ? firstButton : "") : nullptr,
          secondButton);
  FinishFrame();
  if (CCollisionManager* collisions = GetCollisionManager()) collisions->EndFrame();
  return EFrame::kOpen;
}

// The pointer moves the box's own pointer node in the box's look; Up and Down move the
// choice, and where the pointer rests on a button that button is the choice.
void CDataSaver::ReadInput(int32_t buttonCount) {
  CInput* input = GetActiveInput();
  if (!input) return;
  RefreshInputWithBoxPointer(input);
  if (buttonCount > 0) {
    m_pointerNode->Show();
    if (input->IsPressed(kSlotDown)) m_selection = (m_selection + 1) % buttonCount;
    if (input->IsPressed(kSlotUp)) m_selection = (m_selection + buttonCount - 1) % buttonCount;
  } else {
    m_pointerNode->Hide();
  }
  m_selection = HoveredButton(buttonCount);
  if (m_warning) m_warning->Reset();
}

// The table is refreshed once with player 0's pointer dressed as the box's pointer (the tip of
// the picture on the point, full colour, the box's size and picture, the box's node); its own
// look comes back after.
void CDataSaver::RefreshInputWithBoxPointer(CInput* input) {
  CCursor* cursor = input->GetCursor(0);
  float hotX = 0, hotY = 0, width = 0, height = 0;
  cursor->GetHotSpot(&hotX, &hotY);
  cursor->GetSize(&width, &height);
  const uint8_t* colour = cursor->GetColour();
  const uint8_t savedColour[4] = {colour[0], colour[1], colour[2], colour[3]};
  TextureRecord* savedTexture = cursor->GetTexture();
  CSprite2DNode* savedNode = cursor->GetNode();
  cursor->SetHotSpot(kPointerHotSpot, kPointerHotSpot);
  cursor->SetColour(128, 128, 128, 128);
  cursor->SetSize(kPointerSize, kPointerSize);
  cursor->SetNode(m_pointerNode.get(), m_textures.cursor);
  input->Update(0.0f);
  cursor->SetHotSpot(hotX, hotY);
  cursor->SetColour(savedColour[0], savedColour[1], savedColour[2], savedColour[3]);
  cursor->SetSize(width, height);
  cursor->SetNode(savedNode, savedTexture);
}

// A box without buttons has nothing to choose, so no click can end it.
int32_t CDataSaver::HoveredButton(int32_t buttonCount) const {
  const CInput* input = GetActiveInput();
  if (!input || buttonCount == 0) return -1;
  const CCursor* cursor = input->GetCursor(0);
  const float halfWidth = kButtonWidth / SystemAspect() / 2, halfHeight = kButtonHeight / 2;
  const auto over = [&](float centreY) {
    return std::fabs(cursor->GetX() - kCentreX) <= halfWidth &&
           std::fabs(cursor->GetY() - centreY) <= halfHeight;
  };
  if (buttonCount == 1) return over(kSingleButtonY) ? 0 : -1;
  for (int32_t button = 0; button < 2; ++button) {
    if (over(kButtonY[button])) return button;
  }
  return -1;
}

void CDataSaver::DrawBox(const char* title, const char* text, const char* firstButton,
                         const char* secondButton) const {
  SetSystemScreenStates();
  DrawQuad({}, kVirtualScreenMin, kVirtualScreenMin, kVirtualScreenMax, kVirtualScreenMax, 128, 0);
  const float aspect = SystemAspect();
  if (title && *title) {
    DrawFittedText(m_font, title, kCentreX, kTitleY, kTitleWrap / aspect, kBoxHeight, kTitleSize, 1.0f);
  }
  const int32_t buttonCount = !firstButton ? 0 : (secondButton ? 2 : 1);
  if (text) {
    const float textY = buttonCount == 0 ? kBoxY
                        : buttonCount == 2 ? kTextYWithButtons
                                           : kTextYWithButtons + (kButtonY[1] - kButtonY[0]) / 4;
    const float textHeight = kBoxHeight - kTextMargin - 2 * kButtonHeight;
    DrawNineSliceBox();
    DrawFittedText(m_font, text, kCentreX, textY, (kBoxWidth - kTextMargin) / aspect, textHeight,
                   kTextSize, 1.0f);
    m_busy->SetPosition(kCentreX, textY + textHeight / 2 + kBusySize / 2 + 20.0f);
  }
  if (buttonCount == 1) DrawButton(firstButton, m_selection == 0, kSingleButtonY);
  if (buttonCount == 2) {
    DrawButton(firstButton, m_selection == 0, kButtonY[0]);
    DrawButton(secondButton, m_selection == 1, kButtonY[1]);
  }
  if (buttonCount == 0) {
    m_busy->SetProgress(std::fmod(m_busyTimer, kBusyCycle) / kBusyCycle);
    m_busy->Render();
  }
  if (m_warning->GetState() != CInputWarning::kNone) m_warning->Render();
  if (m_warning->GetState() != CInputWarning::kConnectionLost && m_pointerNode->IsDrawn() && IsSystemCursorInWindow()) {
    DrawPointerNode();
  }
}

// The fill over the inside, the corner picture turned a quarter further at each corner
// (clockwise from the top left), the edge picture stretched along each side, turned the same.
void CDataSaver::DrawNineSliceBox() const {
  const float aspect = SystemAspect();
  const float left = kCentreX - kBoxWidth / aspect / 2, right = kCentreX + kBoxWidth / aspect / 2;
  const float top = kBoxY - kBoxHeight / 2, bottom = kBoxY + kBoxHeight / 2;
  const float bx = kBorder / aspect, by = kBorder;
  DrawQuad({m_textures.fill}, left + bx, top + by, right - bx, bottom - by);
  DrawQuad({m_textures.corner, 0}, left, top, left + bx, top + by);
  DrawQuad({m_textures.corner, 1}, right - bx, top, right, top + by);
  DrawQuad({m_textures.corner, 2}, right - bx, bottom - by, right, bottom);
  DrawQuad({m_textures.corner, 3}, left, bottom - by, left + bx, bottom);
  DrawQuad({m_textures.edge, 0}, left + bx, top, right - bx, top + by);
  DrawQuad({m_textures.edge, 1}, right - bx, top + by, right, bottom - by);
  DrawQuad({m_textures.edge, 2}, left + bx, bottom - by, right - bx, bottom);
  DrawQuad({m_textures.edge, 3}, left, top + by, left + bx, bottom - by);
}

void CDataSaver::DrawButton(const char* label, bool selected, float centreY) const {
  TextureRecord* centre = selected ? m_textures.selectedCentre : m_textures.unselectedCentre;
  TextureRecord* end = selected ? m_textures.selectedEnd : m_textures.unselectedEnd;
  SetSystemScreenStates();
  DrawCappedStrip(centre, end, kCentreX, centreY, kButtonWidth, kButtonHeight, kButtonHeight / 16);
  DrawFittedText(m_font, label, kCentreX, centreY, (kButtonWidth - 20.0f) / SystemAspect(),
                 kButtonHeight - 24.0f, kTextSize, 1.0f);
}

// Outside the scene: the node's material draws its one pass here, over the box.
void CDataSaver::DrawPointerNode() const {
  ISceneMaterial* material = m_pointerNode->GetMaterial();
  material->Prepare(m_pointerNode.get());
  material->BeginPass(0, m_pointerNode.get());
  material->RenderPass(0, m_pointerNode.get());
  material->EndPass(0, m_pointerNode.get());
}

bool CDataSaver::RunKeepingPointer(bool (CMemCardDX::*operation)()) {
  m_busyTimer = 0.0f;
  m_status = 0;
  CInput* input = GetActiveInput();
  CCursor* cursor = input ? input->GetCursor(0) : nullptr;
  const bool wasActive = cursor && cursor->IsActive();
  const bool done = (this->*operation)();
  if (cursor) {
    if (wasActive) {
      cursor->Show();
    } else {
      cursor->Hide();
    }
  }
  return done;
}

bool CDataSaver::LoadGame() { return RunKeepingPointer(&CMemCardDX::Load); }

bool CDataSaver::SaveGame() { return RunKeepingPointer(&CMemCardDX::Save); }

}  // namespace Ombrel
