#include "Src/Investigation/Vey_Dialog.h"

#include "Framework/Scene/omSprite2DNode.h"
#include "Framework/Utils/omXmlDictionary.h"
#include "Framework/omLayout2D.h"
#include "Quor/RenderStates.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_Button.h"
#include "Src/World/Vey_Screen.h"
#include "Src/World/Vey_SoundContainer.h"

#include <algorithm>

namespace Vey {

namespace {

constexpr const char* kVeyDialogSource = "Vey_Dialog";

struct SDialogVoice {
  const char* dialog;
  const char* voice;
};

constexpr SDialogVoice kVoices[] = {
    {"S01_1_Dialog", "story_001"},        {"S04_1_Dialog", "story_002"},        {"S07_1_Dialog", "story_003"},
    {"S08_1_Dialog", "story_004"},        {"S10_1_Dialog", "story_005"},        {"S12_1_Dialog", "story_006"},
    {"I07_1_Dialog", "story_007"},        {"I08_1_Dialog", "story_008"},        {"I11_1_Dialog", "story_009"},
    {"I12_1_Dialog", "story_010"},        {"I14_1_Dialog", "story_011"},        {"I01_1_Dialog", "story_012"},
    {"S14_1_Dialog", "story_013"},        {"S15_1_Dialog", "story_014"},        {"S15_2_Dialog", "story_015"},
    {"S17_1_Dialog", "story_016"},        {"S19_1_Dialog", "story_017"},        {"S20_1_Dialog", "story_018"},
    {"S21_1_Dialog", "story_019"},        {"S23_1_Dialog", "story_020"},        {"S32_1_Dialog", "story_021"},
    {"S33_1_Dialog", "story_022"},        {"S34_1_Dialog", "story_023"},        {"S35_1_Dialog", "story_024"},
    {"S35_1a_Dialog", "story_025"},       {"S35_2_Dialog", "story_026"},        {"S35_3_Dialog", "story_027"},
    {"G01_1_Dialog", "minigames_001"},    {"G02_1_Dialog", "minigames_002"},    {"G03_1_Dialog", "minigames_003"},
    {"G03_2_Dialog", "minigames_004"},    {"G04_1_Dialog", "minigames_005"},    {"G05_1_Dialog", "minigames_006"},
    {"G06_1_Dialog", "minigames_007"},    {"G07_1_Dialog", "minigames_008"},    {"G11_1_Dialog", "minigames_009"},
    {"Collectors_1_Dialog", "story_028"}, {"Collectors_2_Dialog", "story_029"}, {"Collectors_3_Dialog", "story_030"},
    {"Collectors_4_Dialog", "story_031"}, {"Collectors_5_Dialog", "story_032"},
};

// The one line the wolf speaks; every other line shows the narrator's portrait.
constexpr const char* kWolfVoice = "story_025";
constexpr const char* kWolfPortrait = "root/WolfDialog";
constexpr const char* kNarratorPortrait = "root/CharDialog";
constexpr const char* kTextEntry = "root/text_dialog";

// The band across the screen's lower part, in virtual-screen units.
constexpr float kBandY = 1825.28f;
constexpr float kBandHalfWidth = 512.0f;  // times the aspect: the width of the whole screen
constexpr float kBandHeight = 66.56f;

}  // namespace

CDialog::CDialog(const char* name, const Ombrel::CLayout2D* layout, Ombrel::CXmlDictionary* dictionary,
                 CSoundContainer* sounds)
    : Ombrel::ISceneNode(name),
      m_band(std::make_unique<Ombrel::CSprite2DNode>("Sprite", nullptr)),
      m_dictionary(dictionary),
      m_sounds(sounds) {
  m_band->SetAspectCorrection(true);
  if (!layout) {
    HM_REPORT(kVeyDialogSource, "Dialog \"%s\": no layout, so it shows the band alone", name);
    return;
  }
  m_textEntry = FindLayoutText(*layout, kTextEntry);
  m_narrator = FindLayoutBox(*layout, kNarratorPortrait);
  m_wolf = FindLayoutBox(*layout, kWolfPortrait);
}

CDialog::~CDialog() = default;

const char* CDialog::VoiceOf(const std::string& dialog) {
  for (const SDialogVoice& entry : kVoices) {
    if (dialog == entry.dialog) return entry.voice;
  }
  return "";
}

float CDialog::ReadingTime(const std::string& text) {
  const auto characters = std::count_if(text.begin(), text.end(), [](char c) { return (uint8_t(c) & 0xC0) != 0x80; });
  return std::max(kShortestReading, float(characters) / kReadingRate);
}

void CDialog::Open(const std::string& dialog) {
  m_fade.state = kOverlayOpening;  // the progress goes on from where a shown line left it
  m_text = m_dictionary ? m_dictionary->GetPhrase(dialog.c_str()) : dialog;
  const char* voice = VoiceOf(dialog);
  m_wolfSpeaks = std::string(voice) == kWolfVoice;
  m_voiceSlot = m_sounds ? m_sounds->FindSound(voice) : -1;
  float voiceLength = 0.0f;
  if (m_sounds && m_voiceSlot >= 0) {
    m_sounds->PlaySound(m_voiceSlot, 1.0f);
    voiceLength = m_sounds->GetSoundLength(m_voiceSlot);
  }
  // A line without a voice would otherwise vanish on its first update.
  m_speakingTime = voiceLength > 0.0f ? voiceLength : ReadingTime(m_text);
  Reset();
}

void CDialog::Update(float dt) {
  if (m_fade.state != kOverlayOpen) {
    m_fade.Advance(dt);
    return;
  }
  m_fade.t += dt / m_speakingTime;
  if (m_fade.t >= 1.0f || m_skipCount > 1) m_fade.Enter(kOverlayClosing);
}

void CDialog::CloseAtOnce() { m_fade.Enter(kOverlayClosed); }

int32_t CDialog::GetCurrentVoice() const { return m_fade.state == kOverlayClosed ? -1 : m_voiceSlot; }

const char* CDialog::GetPortraitName() const { return m_wolfSpeaks ? kWolfPortrait : kNarratorPortrait; }

void CDialog::Render() {
  if (m_fade.state == kOverlayClosed) return;
  BlendNormal();
  const float alpha = m_fade.Alpha();
  DrawBand(alpha);
  if (m_textEntry) PrintLayoutText(*m_textEntry, alpha, m_text.c_str());
  if (const Ombrel::SLayoutBox* portrait = m_wolfSpeaks ? m_wolf : m_narrator)
    DrawLayoutPicture(*m_band, *portrait, alpha);
}

void CDialog::DrawBand(float alpha) {
  Ombrel::CSpriteData band;
  band.SetSize(GetAspect() * kBandHalfWidth, kBandHeight);
  band.SetColour({0, 0, 0, FadeByte(alpha)});
  m_band->SetSpriteData(band);
  m_band->SetPosition({kVirtualCentre, kBandY});
  m_band->SetScale({1.0f, 1.0f});
  m_band->Render();
}

}  // namespace Vey
