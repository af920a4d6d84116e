#pragma once
// What the game tells the application about its saves: the two save titles, the size of the
// save data and the initialiser that fills fresh data.

#include "Framework/omDataSaver.h"
#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"

#include <cstdint>
#include <memory>

namespace Ombrel {

class CBaseDataIniter;

class CSaveInfo : public CMemWatch {
 public:
  static constexpr uint32_t kSaveDataSize = 722192;

  // Takes ownership of the initialiser.
  CSaveInfo(const char* title0, const char* title1, CBaseDataIniter* initialiser);
  ~CSaveInfo() override;

  // Loads the save file; when that fails (or there is no saver) the initialiser fills fresh
  // data, which a saver writes at once.
  void LoadOrInitialise(CDataSaver* saver);
  // The game's rules for a loaded save body; a body they refuse is treated like a damaged file.
  void SetBodyCheck(CDataSaver::BodyCheck check) { m_bodyCheck = std::move(check); }
  // Hands the initialiser the saver's data (null without a saver) and fills it.
  void FillDefaults(CDataSaver* saver);

  const CStr& GetTitle(int index) const { return index == 0 ? m_title0 : m_title1; }
  const CStr& GetBackgroundName() const { return m_backgroundName; }
  uint32_t GetDataSize() const { return m_dataSize; }
  bool GetOverwriteFlag() const { return m_overwrite; }
  CBaseDataIniter* GetInitialiser() const { return m_initialiser.get(); }

 private:
  CStr m_title0;
  CStr m_title1;
  CStr m_backgroundName = "SaveBackground";
  uint32_t m_dataSize = kSaveDataSize;
  std::unique_ptr<CBaseDataIniter> m_initialiser;
  bool m_overwrite = true;
  CDataSaver::BodyCheck m_bodyCheck;
};

}  // namespace Ombrel
