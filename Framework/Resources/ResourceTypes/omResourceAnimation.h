#pragma once
// "Anim": a keyframed animation file played by an animator of the declared kind.

#include "Framework/Resources/omResourcePattern.h"
#include "Quor/CAnimator.h"

namespace Ombrel {

class CResourceAnimation : public CObjectResource<CAnimator> {
 public:
  static constexpr const char* kTypeName = "Anim";
  static constexpr const char* kFolder = "Animations\\";
  static constexpr const char* kExtension = ".ban";
  enum EKind { kKeyframed = 0, kOffset = 1, kSkeleton = 2 };

  explicit CResourceAnimation(const SDeclaration& declaration);
  const char* GetTypeName() const override { return kTypeName; }
  CAnimator* GetAnimator() const { return GetObject(); }
  int GetKind() const { return m_kind; }

 protected:
  CAnimator* Build() override;

 private:
  int m_kind = kKeyframed;
};

using CResAnimationLoader = CPatternLoader<CResourceAnimation>;

}  // namespace Ombrel
