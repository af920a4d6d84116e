#include "Src/Menu/Vey_MenuMessage.h"

#include "Framework/omLayout2D.h"
#include "Quor/CFont.h"
#include "Src/World/Vey_SoundContainer.h"

#include <string>

namespace Vey {

namespace {

constexpr const char* kProfileName = "root/dummy_profilename";
constexpr const char* kSavedPath = "root/dummy_wallpaper_path";

// The texts the two boxes tell or ask with; each box hides all but its own at open.
constexpr const char* kNoticeTexts[] = {kProfileName, "root/text_profile_name_exist0", "root/text_wallpaper_set",
                                        "root/text_wallpaper_saved", kSavedPath};
constexpr const char* kQuestionTexts[] = {"root/text_delete?",  "root/text_profile_delete",
                                          "root/text_exit?",    "root/text_want_to_quit0",
                                          "root/text_finished", "root/text_play_again"};
// The tutorial's question shares the layout; the menu's boxes hide its texts.
constexpr const char* kTutorialTexts[] = {"root/text_tutorial", "root/text_tutorialconfirm"};
constexpr const char* kOkPictures[] = {"root/Buttons/Button", "root/Buttons/Button Over",
                                       "root/Buttons/Button Clicked"};
constexpr const char* kYesNoPictures[] = {"root/Buttons/Button0",         "root/Buttons/Button Over0",
                                          "root/Buttons/Button Clicked0", "root/Buttons/Button1",
                                          "root/Buttons/Button Over1",    "root/Buttons/Button Clicked1"};

constexpr const char* kButtonTexts[] = {"root/text_ok", "root/text_yes", "root/text_no"};

// The path in lines its text's wrap holds: a line ends after its last folder separator, or,
// where a name alone is wider than the wrap, inside the name. The font's own wrapping breaks
// only at blanks, which a path seldom has.
std::string PathInLines(const Ombrel::SLayoutText& node, const std::string& path) {
  CFont* font = node.style.font;
  if (!font) return path;
  ApplyTextStyle(&node.style);
  font->UpdateAspectScale();
  const float wrap = font->GetWrapWidth();
  font->SetWrapWidth(CFont::kNoWrap);
  const auto width = [font](const std::string& words) {
    float w = 0.0f, h = 0.0f;
    font->GetTextExtent(words.c_str(), &w, &h);
    return w;
  };
  std::string lines, line;
  for (size_t at = 0; at < path.size();) {
    size_t size = 1;  // a character is its lead byte and the continuation bytes after it
    while (at + size < path.size() && (uint8_t(path[at + size]) & 0xC0) == 0x80) ++size;
    const std::string character = path.substr(at, size);
    at += size;
    if (!line.empty() && width(line + character) > wrap) {
      const size_t separator = line.find_last_of("/\\");
      std::string carried;
      if (separator != std::string::npos && separator + 1 < line.size()) {
        carried = line.substr(separator + 1);
        line.erase(separator + 1);
      }
      lines += line + "\n";
      line = carried;
    }
    line += character;
  }
  font->SetWrapWidth(wrap);
  return lines + line;
}

template <size_t N>
void ShowEntries(Ombrel::CLayout2D* layout, const char* const (&names)[N], bool shown) {
  for (const char* name : names) ShowLayoutEntry(layout, name, shown);
}

// Every text off, and the other box's buttons: whoever opens the panel shows its own.
template <size_t N>
void ClearPanel(Ombrel::CLayout2D* layout, const char* const (&otherButtons)[N]) {
  ShowEntries(layout, otherButtons, false);
  ShowEntries(layout, kButtonTexts, false);
  ShowEntries(layout, kNoticeTexts, false);
  ShowEntries(layout, kQuestionTexts, false);
  ShowEntries(layout, kTutorialTexts, false);
}

}  // namespace

// ---- CMenuMessage

CMenuMessage::CMenuMessage(Ombrel::CLayout2D* layout, CSoundContainer* sounds) : m_layout(layout), m_sounds(sounds) {
  m_buttons.Add(layout, "");
}

void CMenuMessage::Tell(int32_t newKind) {
  kind = newKind;
  state = kOpening;
  m_buttons.Reset();
  ClearPanel(m_layout, kYesNoPictures);
  ShowLayoutEntry(m_layout, "root/text_ok", true);
  if (kind == kProfileExists) {
    ShowLayoutEntry(m_layout, kProfileName, true);
    ShowLayoutEntry(m_layout, "root/text_profile_name_exist0", true);
  } else if (kind == kWallpaperSaved) {
    ShowLayoutEntry(m_layout, "root/text_wallpaper_saved", true);
    ShowLayoutEntry(m_layout, kSavedPath, true);
  } else {
    ShowLayoutEntry(m_layout, "root/text_wallpaper_set", true);
  }
}

// The name and the path are shown as they are, never looked up as phrases; the path in lines
// that stay on the panel.
void CMenuMessage::SetProfileName(const char* name) {
  if (Ombrel::SLayoutText* text = PlainText(kProfileName)) text->text = name ? name : "";
}

void CMenuMessage::SetSavedPath(const char* path) {
  if (Ombrel::SLayoutText* text = PlainText(kSavedPath)) text->text = PathInLines(*text, path ? path : "");
}

Ombrel::SLayoutText* CMenuMessage::PlainText(const char* node) {
  Ombrel::SLayoutItem* item = m_layout ? m_layout->FindItem(node) : nullptr;
  if (!item || item->kind != Ombrel::kLayoutText) return nullptr;
  auto* text = static_cast<Ombrel::SLayoutText*>(item);
  text->source = Ombrel::kTextPlain;
  return text;
}

void CMenuMessage::Update(float dt) {
  if (m_buttons.Step(state, timer, dt, input, m_sounds) >= 0) PlayBoxSound(m_sounds, "menu_accept");
}

// ---- CMenuDialog

CMenuDialog::CMenuDialog(Ombrel::CLayout2D* layout, CSoundContainer* sounds) : m_layout(layout), m_sounds(sounds) {
  m_buttons.Add(layout, "0");
  m_buttons.Add(layout, "1");
}

void CMenuDialog::Ask(int32_t newKind) {
  kind = newKind;
  state = kOpening;
  m_buttons.Reset();
  ClearPanel(m_layout, kOkPictures);
  ShowLayoutEntry(m_layout, "root/text_yes", true);
  ShowLayoutEntry(m_layout, "root/text_no", true);
  // Each question is two lines of the table; a kind without its lines asks with yes and no alone.
  if (kind >= kDeleteProfileQuestion && kind <= kPlayAgainQuestion) {
    ShowLayoutEntry(m_layout, kQuestionTexts[2 * kind], true);
    ShowLayoutEntry(m_layout, kQuestionTexts[2 * kind + 1], true);
  }
}

// Yes, the first button, wins where the two overlap.
void CMenuDialog::Update(float dt) {
  const int answer = m_buttons.Step(state, timer, dt, input, m_sounds);
  if (answer < 0) return;
  result = answer == 0;
  PlayBoxSound(m_sounds, result ? "menu_accept" : "menu_back");
}

}  // namespace Vey
