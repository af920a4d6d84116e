#include "Framework/Resources/ResourceTypes/omResourceAnimation.h"

#include "Framework/Utils/omXmlRoutines.h"
#include "Quor/CAnimator_Keyframed.h"
#include "Quor/CAnimator_KeyframedSkeleton.h"
#include "Quor/ReportError.h"

namespace Ombrel {

namespace {
constexpr const char* kOmResourceAnimationSource = "Framework/Resources/ResourceTypes/omResourceAnimation";
}  // namespace

CResourceAnimation::CResourceAnimation(const SDeclaration& declaration) : CObjectResource(declaration.path) {
  if (AttributeIs(declaration.element, "Type", "Offset")) m_kind = kOffset;
  if (AttributeIs(declaration.element, "Type", "Skeleton")) m_kind = kSkeleton;
}

CAnimator* CResourceAnimation::Build() {
  switch (m_kind) {
    case kKeyframed:
      return new CAnimator_Keyframed(m_path.GetText());
    case kOffset:
      return new CAnimator_KeyframedOffset(m_path.GetText());
    case kSkeleton:
      return new CAnimator_KeyframedSkeleton(m_path.GetText());
  }
  HM_REPORT(kOmResourceAnimationSource, "Unknown animator");
  return nullptr;
}

}  // namespace Ombrel
