#include "Framework/Resources/ResourceTypes/omResourceSound.h"

#include "Framework/Utils/omXmlRoutines.h"

namespace Ombrel {

// The sound manager appends the extension, so the path stops at the file name.
CResourceSound::CResourceSound(const SDeclaration& declaration)
    : CObjectResource(declaration.basePath + declaration.fileName),
      m_looped(AttributeIs(declaration.element, "Looped", "True")) {}

SSoundRecord* CResourceSound::Build() {
  CSoundManager* sounds = GetSoundManager();
  return sounds ? sounds->LoadSound(m_path.GetText(), m_looped) : nullptr;
}

}  // namespace Ombrel
