#pragma once
// Recording stand-ins for scene nodes and materials: every call goes into the framework tests' shared log, and
// a node notes the engine's recorded render states as they are when it draws.

#include "Framework/Scene/omSceneMaterial.h"
#include "Framework/Scene/omSceneNode.h"
#include "Quor/RenderStates.h"
#include "tests/Framework/FrameworkTestKit.h"

#include <map>
#include <string>

namespace scenetest {

using fwtest::Log;

// Counts its deletions in the given counter and logs each call with its name and pass.
class CRecordingMaterial : public Ombrel::ISceneMaterial {
 public:
  CRecordingMaterial(const char* name, int* deletions = nullptr, int32_t passes = 1)
      : ISceneMaterial(name), m_deletions(deletions) {
    SetPassCount(passes);
  }
  ~CRecordingMaterial() override {
    if (m_deletions) ++*m_deletions;
  }
  void Prepare(Ombrel::ISceneNode* node) override { Record("Prepare", node); }
  void BeginPass(int32_t pass, Ombrel::ISceneNode* node) override { Record("Begin" + std::to_string(pass), node); }
  void RenderPass(int32_t pass, Ombrel::ISceneNode* node) override {
    Record("Render" + std::to_string(pass) + " current " + std::to_string(GetCurrentPass()), node);
    ISceneMaterial::RenderPass(pass, node);
  }
  void EndPass(int32_t pass, Ombrel::ISceneNode* node) override { Record("End" + std::to_string(pass), node); }

 private:
  void Record(const std::string& call, Ombrel::ISceneNode* node) {
    Log().push_back(std::string(node->GetName().GetText()) + " " + call);
  }
  int* m_deletions;
};

// The render states a node saw when it drew.
using StateSnapshot = std::map<uint32_t, uint32_t>;

class CRecordingNode : public Ombrel::ISceneNode {
 public:
  static constexpr uint32_t kWatchedStates[] = {kRsZEnable,  kRsZWriteEnable, kRsZFunc,           kRsAlphaBlendEnable,
                                                kRsSrcBlend, kRsDestBlend,    kRsAlphaTestEnable, kRsCullMode};

  explicit CRecordingNode(const char* name, int* deletions = nullptr) : ISceneNode(name), m_deletions(deletions) {}
  ~CRecordingNode() override {
    if (m_deletions) ++*m_deletions;
  }
  void Render() override {
    Log().push_back(std::string(GetName().GetText()) + " draws");
    for (uint32_t state : kWatchedStates) m_seen[state] = GetRecordedRenderState(state);
  }
  const StateSnapshot& Seen() const { return m_seen; }

 private:
  int* m_deletions;
  StateSnapshot m_seen;
};

}  // namespace scenetest
