#pragma once
// What the built-in model shaders share: their effects and the parameters they look up, the
// diffuse (and environment) texture, the class-wide declarations, and the two ways of
// drawing: normally, or as a shadow caster while the shadow-map pass is current.
//
// Sampler 0 is the diffuse texture with the material's states; sampler 1 the shadow map
// (clamped, point-sampled); the environment map has its own sampler in the effect.

#include <cstdint>
#include <utility>

#include "Quor/DirectX/CShaderEffect.h"
#include "Quor/DirectX/CVertexBatchShader.h"

class CParser;
class CRenderPass;
class CSharedDeclaration;
struct SShaderSection;
struct TextureRecord;
struct VertexBatch;

struct SModelShaderSetup {
  const char* mainEffect = nullptr;
  const char* technique = nullptr;      // null: the effect's first
  const char* casterEffect = nullptr;   // null: the class never casts shadows
  bool receivesShadows = false;         // the shadow flag of the kind
  bool lit = false;                     // two directional lights and the ambient colour
  bool fixedFunction = false;           // no pixel shader: the diffuse texture goes to stage 0
  CSharedDeclaration* declaration = nullptr;
  CSharedDeclaration* casterDeclaration = nullptr;
};

// An effect class: its main effect by the shadow flag, the caster effect, its declarations.
SModelShaderSetup EffectClassSetup(const char* shadowedEffect, const char* plainEffect, bool receivesShadows,
                                   const char* casterEffect, bool lit, CSharedDeclaration& declaration,
                                   CSharedDeclaration& casterDeclaration);
// A fixed-function class: the VS_Only technique of its effect.
SModelShaderSetup FixedClassSetup(const char* effect, bool lit, CSharedDeclaration& declaration);

class CModelShaderCore {
 public:
  // The palette a skinned batch may use: 59 matrices of 4 registers fit the vertex constants.
  static constexpr uint32_t kSkinPaletteSize = 59;

  // Loads the diffuse texture named by the section and the effects, looks the parameters up
  // and the shadow-map pass, and takes a share of the declarations.
  CModelShaderCore(const SModelShaderSetup& setup, const SShaderSection& section);
  ~CModelShaderCore();
  CModelShaderCore(const CModelShaderCore&) = delete;
  CModelShaderCore& operator=(const CModelShaderCore&) = delete;

  // The environment map of the environment-mapped class: label, quoted texture name, label,
  // blend factor (clamped to 0..1).
  void ReadEnvironment(CParser& parser);

  bool IsActiveInPass() const;
  void Begin();
  // Binds the batch, uploads its bones (skinned batches) and draws; nothing when Begin found
  // no effect to draw with.
  void Draw(VertexBatch* batch);

  TextureRecord* GetDiffuseTexture() const { return m_diffuse; }
  TextureRecord* GetEnvironmentTexture() const { return m_environment; }
  float GetBlendFactor() const { return m_blendFactor; }
  const CShaderEffect& GetMainEffect() const { return m_main; }
  bool IsCasting() const;

 private:
  struct SHandles {
    const SFxParameter* worldViewProj = nullptr;
    const SFxParameter* lightView = nullptr;
    const SFxParameter* texGen = nullptr;
    const SFxParameter* bones = nullptr;
    const SFxParameter* lightDir[2] = {};
    const SFxParameter* lightColor[2] = {};
    const SFxParameter* ambient = nullptr;
    const SFxParameter* blendFactor = nullptr;
    const SFxParameter* shadowAlpha = nullptr;
    const SFxSamplerBinding* diffuse = nullptr;
    const SFxSamplerBinding* environment = nullptr;
    const SFxSamplerBinding* shadowMap = nullptr;
  };
  static SHandles LookUp(const CShaderEffect& effect);

  void BeginNormal();
  void BeginCaster();
  void UploadLights() const;
  void UseDeclaration(const CSharedDeclaration* declaration) const;

  SModelShaderSetup m_setup;
  const SShaderSection& m_section;
  TextureRecord* m_diffuse = nullptr;
  TextureRecord* m_environment = nullptr;
  float m_blendFactor = 0.0f;
  CShaderEffect m_main;
  CShaderEffect m_caster;
  SHandles m_mainHandles;
  SHandles m_casterHandles;
  CRenderPass* m_casterPass = nullptr;  // the shadow-map pass this shader casts in, if any
  bool m_ready = false;                 // Begin found a pass to draw with
};

// The slots every model shader fills the same way, over its batch base (CVertexBatchShader
// or CShaderSkin, whose constructor reads the material's shader section first).
template <class TBatchBase>
class TModelShaderDX : public TBatchBase {
 public:
  template <class... TBaseArgs>
  explicit TModelShaderDX(const SModelShaderSetup& setup, TBaseArgs&&... baseArgs)
      : TBatchBase(std::forward<TBaseArgs>(baseArgs)...), m_core(setup, this->GetSection()) {}

  void Begin() override { m_core.Begin(); }
  void DrawBatch(SDrawItem* item) override { m_core.Draw(TBatchBase::AsBatch(item)); }
  void End() override {}
  bool IsActiveInPass() const override { return m_core.IsActiveInPass(); }
  const CModelShaderCore& GetCore() const { return m_core; }

 protected:
  CModelShaderCore m_core;
};
