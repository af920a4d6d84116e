#pragma once
// Post effects: a whole picture (a render target holding the scene, say) drawn through a
// screen quad whose positions are already in clip space.
//   CShader_GrayscaleDX  desaturates by `factor` (0 keeps the colour, 1 gives grey) and adds
//                        `lightness` to the grey;
//   CShader_BlurDX       blurs by `factor` (the step between taps, in texels; 0 leaves the
//                        picture sharp): across into a picture of its own, then down, when its
//                        effect has the two passes. The blurred picture is kept and copied onto
//                        the target (it replaces what lies there) until the input's pixels, the
//                        factor, the view's size or the device change;
//   CShader_BlendDX      mixes the picture over `backgroundTexture` by `alpha` (times the
//                        picture's own alpha).
// Users set `inputTexture` (and the background) before Begin and keep owning the records.
// While a needed texture is missing the shader draws nothing.

#include "Quor/DirectX/CShaderEffect.h"
#include "Quor/DirectX/CVertexBatchShader.h"

class CResource_RenderTargetTexture;
struct TextureRecord;

class CShader_PostEffectDX : public CVertexBatchShader {
 public:
  static constexpr uint32_t kClassCode = 17;

  ~CShader_PostEffectDX() override;
  void SetPostEffectTexture(TextureRecord* texture) { inputTexture = texture; }
  void Begin() override;
  void DrawBatch(SDrawItem* item) override;
  void End() override {}

  TextureRecord* inputTexture = nullptr;

 protected:
  // Reads the material's shader section (its texture is not loaded) and takes the effect's
  // "VS_PS" technique. `inputFilter` is the filtering of the input's sampler.
  CShader_PostEffectDX(const char* materialName, CParser& parser, float version, const char* effectFile,
                       uint32_t inputFilter, CSharedDeclaration& declaration);
  // The class's constants and extra textures; false when it cannot draw.
  virtual bool SetParameters() = 0;
  // Begin found what it needs to draw.
  bool IsReady() const { return m_ready; }
  // Binds a texture of the first pass by the sampler's name.
  void BindTexture(const char* sampler, TextureRecord* texture) const;

  CShaderEffect m_effect;

 private:
  uint32_t m_inputFilter;
  CSharedDeclaration& m_declaration;
  bool m_ready = false;
};

class CShader_GrayscaleDX : public CShader_PostEffectDX {
 public:
  CShader_GrayscaleDX(const char* materialName, CParser& parser, float version);
  static CSharedDeclaration& Declaration();

  float factor = 0.0f;
  float lightness = 0.0f;

 protected:
  bool SetParameters() override;
};

class CShader_BlurDX : public CShader_PostEffectDX {
 public:
  CShader_BlurDX(const char* materialName, CParser& parser, float version);
  ~CShader_BlurDX() override;
  static CSharedDeclaration& Declaration();
  void DrawBatch(SDrawItem* item) override;
  // Whether the last DrawBatch drew the blurred picture (a failing target draws nothing).
  bool DrewLastBatch() const { return m_drewLastBatch; }

  float factor = 0.0f;
  // Off, both passes are drawn every time, the second onto the target (blended as the caller's
  // states say): for an input whose pixels change from draw to draw.
  bool keepsBlurredPicture = true;

 protected:
  bool SetParameters() override;

 private:
  // What the kept picture was blurred from; any change calls for blurring again.
  struct SKeptFrom {
    uint64_t inputRevision = 0;
    const SDrawItem* item = nullptr;
    float factor = 0.0f;
    uint32_t width = 0, height = 0;
    uint32_t restores = 0;
    bool operator==(const SKeptFrom& other) const;
  };

  // The first pass: the input blurred across into the intermediate picture. False when the
  // intermediate picture cannot be made.
  bool BlurAcross();
  // The second pass, from the intermediate picture onto the current target.
  void BlurDown(SDrawItem* item);
  // Blurs into the kept picture when it is not current, then copies it into the viewport.
  // False when no kept picture of the viewport's size can be made.
  bool DrawKept(SDrawItem* item);
  bool BlurIntoKept(SDrawItem* item, uint32_t width, uint32_t height);

  CResource_RenderTargetTexture* m_intermediate = nullptr;
  CResource_RenderTargetTexture* m_kept = nullptr;
  SKeptFrom m_keptFrom;
  bool m_keptCurrent = false;
  bool m_drewLastBatch = false;
  uint32_t m_inputWidth = 0, m_inputHeight = 0;
};

class CShader_BlendDX : public CShader_PostEffectDX {
 public:
  CShader_BlendDX(const char* materialName, CParser& parser, float version);
  static CSharedDeclaration& Declaration();

  float alpha = 1.0f;
  TextureRecord* backgroundTexture = nullptr;

 protected:
  bool SetParameters() override;
};

// Factories of the three kinds, and the registration of a kind name with the blur's.
CShader* CreateGrayscaleShader(const char* materialName, CParser& parser, float version);
CShader* CreateBlurShader(const char* materialName, CParser& parser, float version);
CShader* CreateBlendShader(const char* materialName, CParser& parser, float version);
// Adds the kind with the blur factory unless the shader manager has it; false without a manager.
bool RegisterBlurShaderKind(const char* kind);
