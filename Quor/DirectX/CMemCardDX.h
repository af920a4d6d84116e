#pragma once
// The save medium on disk: one file per save name ("<name>.sav") in the folder "Saves" under the
// user data folder. It lists, selects, loads and saves those files, asks before overwriting and
// tells the player about a damaged file or a failed save through ShowMessage, which the
// framework's data saver supplies.
//
// A save never puts the old file at risk: the block goes to a temporary file that is synced to
// the disk and only then renamed over the old one. A damaged old file is kept aside under a new
// name rather than overwritten. A load that finds no whole save under the name (a save cut
// off between those steps) takes the newest whole side copy and puts it back in place.

#include "Quor/CGameSave.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The texts of the save messages: button labels and the three messages.
struct SSaveMessageTexts {
  const char* yes;
  const char* no;
  const char* ok;
  const char* overwriteQuestion;
  const char* saveFailed;
  const char* corruptedFile;
};

class CMemCardDX : public CGameSave {
 public:
  static constexpr int32_t kLanguageCount = 15;

  CMemCardDX(uint32_t recordSize, void** block);
  ~CMemCardDX() override;

  const char* const* Enumerate() override;
  void Select(const char* name) override;
  bool Exists(const char* name) override;
  bool Load() override;
  bool Save() override;
  void SetOverwrite(bool allowed) override;
  bool GetOverwrite() override;

  // Shows a message with an empty title and one button (second null) or two. Returns 0 while
  // no answer is available, else the pressed button: 1 for the first label, 2 for the second.
  virtual int32_t ShowMessage(const char* title, const char* text, const char* firstButton,
                              const char* secondButton, int32_t flags) = 0;

  // The built-in texts for a language number; numbers out of range read as 1.
  static const SSaveMessageTexts& BuiltInTexts(int32_t language);
  // Texts of the owner's own (copied); any left null keeps its built-in text.
  void SetMessageTexts(const SSaveMessageTexts& texts);

  // How the block reaches an open file; false when it could not all be written. Replaceable
  // so that a failing disk can be staged.
  using BlockWriter = bool (*)(std::FILE* file, const void* data, size_t size);
  void SetBlockWriter(BlockWriter writer);

  bool IsChanged() const { return m_changed; }

 protected:
  // The owner's judgement of a body whose checksum matches: false, with the reason, makes the
  // file count as damaged (shown to the player, kept aside, never loaded). Every body passes
  // unless the owner says otherwise.
  virtual bool AcceptsBody(const uint8_t* block, uint32_t totalSize, std::string* reason) const;

 public:
  // Cleared by construction and by Select; what it marks is the framework's business.
  bool GetSelectionMark() const { return m_selectionMark; }
  void SetSelectionMark(bool mark) { m_selectionMark = mark; }
  const char* GetSelectedPath() const { return m_selectedPath.c_str(); }
  const char* GetSaveFolder() const { return m_saveFolder.c_str(); }

 private:
  SSaveMessageTexts CurrentTexts() const;
  // Asks until the player answers; 0 when the program stops asking first.
  int32_t AskUntilAnswered(const char* text, const char* firstButton, const char* secondButton);
  bool WriteBlockSafely();
  bool KeepDamagedFileAside();
  bool FileHoldsValidBlock(const char* path) const;
  enum class EBlockFile { kMissing, kUnreadable, kValid, kDamaged };
  // Reads a save file's block (its first total-size bytes); `damage` says what is wrong.
  EBlockFile ReadBlockFile(const std::string& path, uint8_t* block, std::string* damage) const;
  std::vector<std::string> SideCopiesNewestFirst() const;
  bool RestoreNewestGoodCopy(uint8_t* block);

  bool m_changed = true;
  bool m_selectionMark = false;
  bool m_overwrite = false;
  bool m_enumerated = false;
  std::string m_saveFolder;
  std::string m_selectedPath;
  std::vector<std::string> m_names;
  std::vector<const char*> m_nameList;
  std::vector<std::string> m_ownTexts;  // yes, no, ok, question, failed, corrupted ("" = none)
  BlockWriter m_writer;
};
