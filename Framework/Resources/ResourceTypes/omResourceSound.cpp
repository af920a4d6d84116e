#include "Framework/Resources/ResourceTypes/omResourceSound.h"

#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/ReportError.h"

namespace Ombrel {

// The sound manager appends the extension, so the path stops at the file name.
CResourceSound::CResourceSound(const SDeclaration& declaration)
    : CObjectResource(declaration.basePath + declaration.fileName),
      m_looped(AttributeIs(declaration.element, "Looped", "True")) {}

SSoundRecord* CResourceSound::Build() {
  CSoundManager* sounds = GetSoundManager();
  if (!sounds) {
    HM_REPORT("Framework/Resources/omResourceSound", "%s: no sound manager; the sound is missing", m_path.GetText());
    return nullptr;
  }
  return sounds->LoadSound(m_path.GetText(), m_looped);
}

}  // namespace Ombrel
