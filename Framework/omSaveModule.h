#pragma once
// The save module: kept for the whole run; it holds the data saver once the application has
// applied its save information.

#include "Framework/omModule.h"

#include <cstdint>
#include <memory>

namespace Ombrel {

class CDataSaver;

class CSaveModule : public CSingleModule<CSaveModule> {
 public:
  CSaveModule();
  ~CSaveModule() override;

  bool Shutdown() override;

  // Creates the data saver (replacing an earlier one) for a block of `dataSize` bytes.
  void ApplySaveInfo(uint32_t dataSize, bool overwrite);
  CDataSaver* GetDataSaver() const { return m_saver.get(); }
  // The save data of the saver; null without one.
  void* GetSaveData() const;
  // Through the saver; false without one.
  bool Load();
  bool Save();

 private:
  std::unique_ptr<CDataSaver> m_saver;
};

CSaveModule* GetSaveModule();
// The data saver of an initialised save module; null otherwise.
CDataSaver* GetActiveDataSaver();

}  // namespace Ombrel
