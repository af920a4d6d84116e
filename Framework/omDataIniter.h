#pragma once
// The game's save-data initialiser: it is handed the save data block and fills its defaults.

#include "Quor/CMemWatch.h"

namespace Ombrel {

class CBaseDataIniter : public CMemWatch {
 public:
  // Stores the block (null when there is no data saver) and returns it.
  virtual void* SetData(void* data) = 0;
  // Fills the stored block with its defaults; does nothing without one.
  virtual void Init() = 0;
};

// The initialiser of one record type.
template <class TData>
class CDataIniter : public CBaseDataIniter {
 public:
  void* SetData(void* data) override {
    m_data = static_cast<TData*>(data);
    return m_data;
  }
  void Init() override {
    if (m_data) InitData(*m_data);
  }

 protected:
  virtual void InitData(TData& data) = 0;

 private:
  TData* m_data = nullptr;
};

}  // namespace Ombrel
