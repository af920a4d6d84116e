#pragma once
// A drawable instance of a shared model: its own placement, one matrix per model node, and
// animation instances that fade in and out and blend their animators over the model's
// nodes every frame.

#include <cstdint>
#include <list>
#include <memory>
#include <utility>
#include <vector>

#include "Quor/CAnimator.h"
#include "Quor/CModelNode.h"
#include "Quor/Utils.h"

class CModel;
class CShader;

// One animator playing on a render object.
struct SAnimationInstance {
  SAnimationInstance() = default;
  ~SAnimationInstance();
  SAnimationInstance(const SAnimationInstance&) = delete;
  SAnimationInstance& operator=(const SAnimationInstance&) = delete;

  uint8_t direction = 0;     // 0 forward, 1 backward
  bool looping = true;
  float startTime = 0.0f;    // frame-clock time at which it started
  float speed = 1.0f;
  float previousTime = 0.0f;
  float currentTime = 0.0f;
  float playedTime = 0.0f;   // (clock - start) x speed at the last step, before any wrapping
  bool stepped = false;      // has had a step, from which the next one counts its way
  float weight = 0.0f;
  float weightSpeed = 0.0f;  // per second: positive fades in, negative fades out
  bool frozen = false;       // neither advanced nor applied
  uint32_t context = 0;      // handed to the animator's SetTime
  // One per driven node (the record may be null for an attachment the animator keeps for
  // itself, such as a skeleton); the instance owns the attachments.
  std::vector<std::pair<SNodeTransform*, CAttachedInfo*>> attachments;
  CAnimator* animator = nullptr;  // not owned
};

// Told of every animation event that an instance's step passed over.
class IAnimationEventListener {
 public:
  virtual ~IAnimationEventListener() = default;
  virtual void OnAnimationEvent(SAnimationInstance* instance, uint32_t value) = 0;
};

// How an animation starts.
struct SAnimationStart {
  bool looping = true;
  bool backward = false;
  float speed = 1.0f;
  float weight = 1.0f;           // its weight now
  float fadeInSeconds = 0.0f;    // above 0: starts at weight 0 and reaches 1 in this time
  uint32_t context = 0;
};

class CRenderObject {
 public:
  // Takes over one reference of the model when `ownsReference` is set.
  CRenderObject(CModel* model, bool ownsReference);
  ~CRenderObject();
  CRenderObject(const CRenderObject&) = delete;
  CRenderObject& operator=(const CRenderObject&) = delete;

  // Starts an animator on the model's nodes (and the extra node); it plays from the frame
  // clock's current time. The animator must outlive the instance.
  SAnimationInstance* AddAnimation(CAnimator* animator, const SAnimationStart& start);
  // Fades the instance out over the given seconds (at once for 0 or less).
  static void FadeOut(SAnimationInstance* instance, float seconds);

  void UpdateAnimations();
  void Render();

  void SetPosition(const Vector3& position) { m_position = position; }
  void SetScale(const Vector3& scale) { m_scale = scale; }
  void SetRotation(const Matrix4& rotation) { m_rotation = rotation; }
  const Matrix4& GetWorldMatrix() const { return m_world; }
  void SetEventListener(IAnimationEventListener* listener) { m_listener = listener; }
  void SetKeepFinished(bool keep) { m_keepFinished = keep; }
  // A node of the object's own, driven and transformed after the model's nodes.
  CModelNode* CreateExtraNode(const char* name, const Vector3& pivot);

  CModel* GetModel() const { return m_model; }
  CModelNode* GetExtraNode() const { return m_extraNode.get(); }
  // Model nodes first, then the extra node's.
  const Matrix4& GetNodeMatrix(uint32_t index) const { return m_nodeMatrices[index]; }
  uint32_t GetNodeMatrixCount() const { return static_cast<uint32_t>(m_nodeMatrices.size()); }
  const std::list<std::unique_ptr<SAnimationInstance>>& GetAnimations() const { return m_animations; }

 private:
  template <class TVisit>
  void ForEachNode(TVisit visit);
  void RetireFadedInstances();
  void StepInstance(SAnimationInstance& instance, float now);
  void PassEventsToListener(SAnimationInstance& instance);

  CModel* m_model;
  bool m_ownsReference;
  std::unique_ptr<CModelNode> m_extraNode;
  std::vector<Matrix4> m_nodeMatrices;
  IAnimationEventListener* m_listener = nullptr;
  bool m_keepFinished = false;
  Vector3 m_position;
  Vector3 m_scale{1.0f, 1.0f, 1.0f};
  Matrix4 m_rotation;
  Matrix4 m_world;
  std::list<std::unique_ptr<SAnimationInstance>> m_animations;
};
