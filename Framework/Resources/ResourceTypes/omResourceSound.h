#pragma once
// "Sound": a sound effect of the sound manager (which adds ".wav" itself).

#include "Framework/Resources/omResourcePattern.h"
#include "Quor/CSoundManager.h"

namespace Ombrel {

struct SSoundReleaser {
  void operator()(SSoundRecord* record) const {
    if (CSoundManager* sounds = GetSoundManager()) sounds->ReleaseSound(record);
  }
};

class CResourceSound : public CObjectResource<SSoundRecord, SSoundReleaser> {
 public:
  static constexpr const char* kTypeName = "Sound";
  static constexpr const char* kFolder = "Sounds\\";
  static constexpr const char* kExtension = ".wav";

  explicit CResourceSound(const SDeclaration& declaration);
  const char* GetTypeName() const override { return kTypeName; }
  SSoundRecord* GetSound() const { return GetObject(); }
  bool IsLooped() const { return m_looped; }

 protected:
  SSoundRecord* Build() override;

 private:
  bool m_looped;
};

using CResSoundLoader = CPatternLoader<CResourceSound>;

}  // namespace Ombrel
