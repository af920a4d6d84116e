#pragma once
// The bonus chapter's outro: a silent comic on the engine clock, over after its last page.

#include "Src/Menu/Vey_ComicState.h"

namespace Vey {

class COutroCe : public CComicState {
 public:
  static constexpr const char* kStateName = "OutroCe";
  static constexpr const char* kResourceList = "App/Configs/Collectors/OutroCe_Resources.xml";
  static constexpr const char* kComicFile = "Art\\Outro\\Collectors\\outroCe.cmx";

  COutroCe(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config);
};

}  // namespace Vey
