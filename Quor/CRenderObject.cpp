#include "Quor/CRenderObject.h"

#include "Quor/CModel.h"
#include "Quor/CShader.h"
#include "Quor/MatrixTable.h"
#include "Quor/Timer.h"

#include <algorithm>
#include <cmath>

namespace {

float ClockNow() {
  const CFrameClock* clock = GetFrameClock();
  return clock ? clock->time : 0.0f;
}

float ClockDelta() {
  const CFrameClock* clock = GetFrameClock();
  return clock ? clock->delta : 0.0f;
}

// Where an instance stands within its animation, t seconds after it started.
float AnimationTime(const SAnimationInstance& instance, float t, float length) {
  if (!(length > 0.0f)) return 0.0f;  // an empty animation has one moment only
  const bool backward = instance.direction != 0;
  if (instance.looping) {
    float time = std::fmod(backward ? length - t : t, length);
    // Backward past the first loop the remainder turns negative: wrap it into the loop.
    if (time < 0.0f) time += length;
    return time;
  }
  return backward ? std::max(0.0f, length - t) : std::min(t, length);
}

// How far the instance moved since its previous step, in the animation's seconds: negative
// while it plays backward, and round the end of a loop the whole way rather than the wrapped
// difference, so that the animator sees every frame the step passed over.
float Travel(const SAnimationInstance& instance, float played) {
  if (!instance.looping) return instance.currentTime - instance.previousTime;
  const float moved = played - instance.playedTime;
  return instance.direction != 0 ? -moved : moved;
}

}  // namespace

SAnimationInstance::~SAnimationInstance() {
  for (auto& pair : attachments) delete pair.second;
}

CRenderObject::CRenderObject(CModel* model, bool ownsReference) : m_model(model), m_ownsReference(ownsReference) {
  m_rotation = GetIdentityMatrix();
  m_world = GetIdentityMatrix();
  m_nodeMatrices.assign((model ? model->GetNodeCount() : 0) + 1, GetIdentityMatrix());
  // Until the first update the nodes stand in their rest pose.
  UpdateAnimations();
}

CRenderObject::~CRenderObject() {
  m_animations.clear();
  if (m_ownsReference) ReleaseModel(m_model);
}

template <class TVisit>
void CRenderObject::ForEachNode(TVisit visit) {
  const uint32_t count = m_model ? m_model->GetNodeCount() : 0;
  for (uint32_t i = 0; i < count; ++i) visit(*m_model->GetNode(i), i);
  if (m_extraNode) visit(*m_extraNode, count);
}

CModelNode* CRenderObject::CreateExtraNode(const char* name, const Vector3& pivot) {
  m_extraNode = std::make_unique<CModelNode>();
  m_extraNode->name = name ? name : "";
  m_extraNode->pivot = pivot;
  return m_extraNode.get();
}

SAnimationInstance* CRenderObject::AddAnimation(CAnimator* animator, const SAnimationStart& start) {
  if (!animator) return nullptr;
  auto instance = std::make_unique<SAnimationInstance>();
  instance->animator = animator;
  instance->looping = start.looping;
  instance->direction = start.backward ? 1 : 0;
  instance->speed = start.speed;
  instance->context = start.context;
  instance->startTime = ClockNow();
  if (start.fadeInSeconds > 0.0f) {
    instance->weight = 0.0f;
    instance->weightSpeed = 1.0f / start.fadeInSeconds;
  } else {
    instance->weight = start.weight;
  }
  ForEachNode([&](CModelNode& node, uint32_t) {
    if (CAttachedInfo* attachment = animator->CreateAttachment(&node))
      instance->attachments.emplace_back(&node.transform, attachment);
  });
  // Asked once more without a node, an animator may hand out what it keeps for all of them.
  if (CAttachedInfo* whole = animator->CreateAttachment(nullptr)) instance->attachments.emplace_back(nullptr, whole);
  m_animations.push_back(std::move(instance));
  return m_animations.back().get();
}

void CRenderObject::FadeOut(SAnimationInstance* instance, float seconds) {
  if (!instance) return;
  if (seconds > 0.0f) {
    instance->weightSpeed = -std::max(instance->weight, 0.0f) / seconds;
    if (instance->weightSpeed == 0.0f) instance->weightSpeed = -1.0f;
  } else {
    instance->weight = 0.0f;
    instance->weightSpeed = 0.0f;
  }
}

void CRenderObject::UpdateAnimations() {
  ForEachNode([](CModelNode& node, uint32_t) { ResetNodeTransform(&node.transform); });
  const float dt = ClockDelta();
  for (auto& instance : m_animations)
    if (!instance->frozen) instance->weight += instance->weightSpeed * dt;
  RetireFadedInstances();
  const float now = ClockNow();
  for (auto& instance : m_animations) {
    if (instance->frozen) continue;
    StepInstance(*instance, now);
    PassEventsToListener(*instance);
  }
  ForEachNode([this](CModelNode& node, uint32_t index) { ComputeNodeMatrix(node, &m_nodeMatrices[index]); });
}

void CRenderObject::RetireFadedInstances() {
  for (auto it = m_animations.begin(); it != m_animations.end();) {
    SAnimationInstance& instance = **it;
    if (!instance.frozen && instance.weightSpeed > 0.0f && instance.weight > 1.0f) {
      instance.weight = 1.0f;
      instance.weightSpeed = 0.0f;
    } else if (!instance.frozen && instance.weightSpeed <= 0.0f && instance.weight <= 0.0f) {
      if (!m_keepFinished) {
        it = m_animations.erase(it);
        continue;
      }
      instance.frozen = true;
    }
    ++it;
  }
}

void CRenderObject::StepInstance(SAnimationInstance& instance, float now) {
  CAnimator& animator = *instance.animator;
  const float played = (now - instance.startTime) * instance.speed;
  instance.currentTime = AnimationTime(instance, played, animator.GetLength());
  const float elapsed = instance.stepped ? Travel(instance, played) : kAnimationTimeJumped;
  animator.SetTime(instance.context, instance.currentTime, elapsed, instance.looping);
  instance.previousTime = instance.currentTime;
  instance.playedTime = played;
  instance.stepped = true;
  SetAnimationBlendWeight(instance.weight);
  for (auto& pair : instance.attachments) animator.Apply(pair.first, pair.second);
}

void CRenderObject::PassEventsToListener(SAnimationInstance& instance) {
  if (m_listener) {
    SAnimationEventQueue& queue = GetAnimationEventQueue();
    while (queue.count > 0) m_listener->OnAnimationEvent(&instance, AnimationEventPop());
  }
  // Events nobody heard belong to this step alone: the next instance starts afresh.
  AnimationEventClear();
}

void CRenderObject::Render() {
  Matrix4 scale, scaledTurn;
  MatrixScaling(&scale, m_scale.x, m_scale.y, m_scale.z);
  MatrixMultiply(&scaledTurn, scale, m_rotation);
  Matrix4 translation;
  MatrixScaleTranslation(&translation, 1.0f, 1.0f, 1.0f, m_position.x, m_position.y, m_position.z);
  MatrixMultiply(&m_world, scaledTurn, translation);
  SetWorld(m_world);
  if (!m_model) return;

  CShader* inUse = nullptr;
  for (uint32_t b = 0; b < m_model->GetBatchCount(); ++b) {
    const CModelBatch& batch = m_model->GetBatch(b);
    if (!batch.shader->IsActiveInPass()) continue;
    const size_t boneCount = std::min<size_t>(batch.bones.size(), kBonePaletteSlots);
    for (size_t k = 0; k < boneCount; ++k) SetMatrix(static_cast<int>(k), m_nodeMatrices[batch.bones[k]]);
    if (batch.shader != inUse) {
      if (inUse) inUse->End();
      inUse = batch.shader;
      inUse->Begin();
    }
    inUse->DrawBatch(batch.batch);
  }
  if (inUse) inUse->End();
}
