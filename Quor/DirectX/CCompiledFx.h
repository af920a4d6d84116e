#pragma once
// Compiled effect files (".fxc"): named techniques, each a list of passes, each pass a vertex
// shader and an optional pixel shader in shader byte code with the named constants the engine
// sets, state lists kept as read, and named sampler bindings. The shaders become device
// resources, so they survive a lost device. The effect cache shares loaded effects by name
// with a reference count; the built-in shaders look techniques, parameters and samplers up
// by name and apply a pass. The file layout is in CompiledFxFormat.h.

#include <cstdint>
#include <string>
#include <vector>

#include "Quor/CStringHash.h"
#include "Quor/DirectX/CompiledFxFormat.h"
#include "Quor/Engine.h"

class CGfxShader;
class CGfxTexture;
class CResource_Shader;
struct TextureRecord;

// The list the engine looks its constants up in.
static constexpr int kFxLookupList = 2;

struct SFxParameter {
  std::string name;
  std::vector<uint8_t> defaultData;
  uint32_t reg = 0;
  uint32_t secondValue = 0;  // kept as read
};

struct SFxShaderPart {
  bool isVertex = false;
  CResource_Shader* shader = nullptr;  // null for an empty pixel part (or in fixed-function mode)
  std::vector<SFxParameter> parameters[kFxParameterListCount];
};

struct SFxStatePair {
  uint32_t first, second;
};
struct SFxStateTriple {
  uint32_t first, second, third;
};

struct SFxSamplerBinding {
  std::string name;
  uint32_t sampler = 0;
};

struct SFxPass {
  SFxShaderPart vertex;
  SFxShaderPart pixel;
  std::vector<SFxStatePair> renderStates;
  std::vector<SFxStateTriple> firstTriples;
  std::vector<SFxStateTriple> secondTriples;
  std::vector<SFxSamplerBinding> samplers;
};

struct SFxTechnique {
  std::string name;
  std::vector<SFxPass> passes;
};

// One loaded effect, owned by the cache. Destroying it destroys its shader resources.
struct SFxEffect {
  SFxEffect() = default;
  ~SFxEffect() { Clear(); }
  SFxEffect(const SFxEffect&) = delete;
  SFxEffect& operator=(const SFxEffect&) = delete;

  // Destroys the shader resources and forgets the techniques.
  void Clear();

  std::vector<SFxTechnique> techniques;
  uint32_t refCount = 0;
};

class CCompiledFx {
 public:
  // Fills the effect from the file. A missing or damaged file is reported with its name and
  // what is wrong, and leaves the effect empty (false). An unsupported version is fatal.
  static bool Load(SFxEffect* effect, const char* path);
  // The same from bytes already in memory; `path` names them in reports.
  static bool LoadFromBytes(SFxEffect* effect, const std::vector<uint8_t>& bytes, const char* path);
};

// The fixed-function mode of the platform: pixel parts create no shader. This device always
// runs pixel shaders, so the mode is off unless a caller switches it on.
bool IsFixedFunctionMode();
void SetFixedFunctionMode(bool on);

// The effect cache: one global table from "ID$" + name to effect, shared by reference count.
void CreateEffectCache(const char* directory);
// Releases every effect (as often as its count says), then frees the table.
void DestroyEffectCache();
bool HasEffectCache();
// The folder effects are loaded from; null while there is no cache.
SResourceFolder* GetEffectFolder();
// The cached effect (count + 1) or a newly loaded one (count 1) from directory + name; null
// (reported) when the file is missing or damaged, or when there is no cache.
SFxEffect* GetEffect(const char* fileName);
// Count - 1; at 0 the effect leaves the cache and is destroyed.
void ReleaseEffect(SFxEffect* effect);
uint32_t GetEffectCacheCount();

const SFxTechnique* FindTechnique(const SFxEffect* effect, const char* name);
// The pass at the index, or null past the technique's passes.
const SFxPass* GetPass(const SFxTechnique* technique, uint32_t index);
CGfxShader* GetPartShader(const SFxShaderPart& part);
const SFxParameter* FindVertexParameter(const SFxPass* pass, const char* name);
const SFxParameter* FindPixelParameter(const SFxPass* pass, const char* name);
const SFxSamplerBinding* FindSamplerBinding(const SFxPass* pass, const char* name);

// Sets the pass's vertex shader and its pixel shader, or none when the part has none.
void ApplyPass(const SFxPass* pass);
void SetSamplerDeviceTexture(CGfxTexture* texture, const SFxSamplerBinding* binding);
// Binds the record's effective texture (its substitute when one is set) to the binding's sampler.
void SetSamplerTexture(TextureRecord* texture, const SFxSamplerBinding* binding);
void SetVertexConstants(const SFxParameter* parameter, const float* data, uint32_t registerCount);
// The value in all four components of one register.
void SetPixelConstant(const SFxParameter* parameter, float value);
