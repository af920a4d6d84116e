#pragma once
// The input module: kept for the whole run; it owns the input object and updates it every frame.

#include "Framework/omModule.h"

#include <memory>

namespace Ombrel {

class CInput;

class CInputModule : public CSingleModule<CInputModule> {
 public:
  CInputModule();
  ~CInputModule() override;

  // Creates a fresh input object every time, replacing the one before.
  bool Init() override;
  bool Shutdown() override;
  void Update() override;

  CInput* GetInput() const { return m_input.get(); }

 private:
  std::unique_ptr<CInput> m_input;
};

CInputModule* GetInputModule();
// The input object of the input module; null without one.
CInput* GetActiveInput();

}  // namespace Ombrel
