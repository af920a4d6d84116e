#pragma once
// The main story's outro: the comic of the ending, to its own music, over when the music ends.

#include "Src/Menu/Vey_ComicState.h"

namespace Vey {

class COutro : public CComicState {
 public:
  static constexpr const char* kStateName = "Outro";
  static constexpr const char* kResourceList = "App/Configs/Outro_Resources.xml";
  static constexpr const char* kComicFile = "Art\\Outro\\outro.cmx";
  static constexpr const char* kMusic = "outro";

  COutro(Ombrel::CAppEventHandler<Ombrel::CApplicationEvent>* application, Ombrel::CAppConfig* config);

 protected:
  void FillSounds(CSoundContainer& bank) override;
};

}  // namespace Vey
