#include "Quor/DirectX/CCompiledFx.h"

#include <cstring>
#include <memory>

#include "Platform/GraphicsDevice.h"
#include "Quor/CByteReader.h"
#include "Quor/CTextureManager.h"
#include "Quor/CopyDirPath.h"
#include "Quor/DirectX/CD3DDeviceResources.h"
#include "Quor/DirectX/D3DDeviceAccess.h"
#include "Quor/ReportError.h"

namespace {

constexpr const char* kCCompiledFxSource = "Quor/DirectX/CCompiledFx";
constexpr uint32_t kEffectBuckets = 113;
constexpr size_t kKeyCapacity = 512;

bool g_fixedFunctionMode = false;

// Walks the bytes of one file into an effect; the first fault stops it and is kept in the
// byte reader for the report.
class CFxReader {
 public:
  CFxReader(const std::vector<uint8_t>& bytes, const char* path) : m_in(bytes), m_path(path) {}

  bool Read(SFxEffect* effect) {
    m_in.Skip(kFxTagSize, "tag");
    m_version = m_in.U16("version");
    if (m_in.Failed()) return false;
    if (m_version < kFxVersionPlain || m_version > kFxVersionWithStates)
      HM_FATAL(kCCompiledFxSource, "Effect file \"%s\": Unsupported version %d.%02d", m_path, m_version >> 8,
               m_version & 0xFF);

    const uint32_t count = m_in.U32("technique count");
    if (!m_in.HasRoomFor(count, kFxMinTechniqueSize, "techniques")) return false;
    effect->techniques.resize(count);
    for (SFxTechnique& technique : effect->techniques) {
      if (!ReadTechnique(&technique)) return false;
    }
    return !m_in.Failed();
  }

  const char* FailureText() const { return m_in.FailureText(); }

 private:
  std::string ReadString(const char* what) {
    char text[kFxStringCapacity];
    m_in.String(text, sizeof text, what);
    return text;
  }

  bool ReadTechnique(SFxTechnique* technique) {
    technique->name = ReadString("technique name");
    const uint32_t count = m_in.U32("pass count");
    if (!m_in.HasRoomFor(count, kFxMinPassSize, "passes")) return false;
    technique->passes.resize(count);
    for (SFxPass& pass : technique->passes) {
      if (!ReadPass(&pass)) return false;
    }
    return true;
  }

  template <class TRecord, size_t N>
  bool ReadWords(std::vector<TRecord>* records, const char* what) {
    static_assert(sizeof(TRecord) == N * 4, "records are whole words");
    const uint32_t count = m_in.U32(what);
    if (!m_in.HasRoomFor(count, sizeof(TRecord), what)) return false;
    records->resize(count);
    for (TRecord& record : *records) {
      uint32_t* words = reinterpret_cast<uint32_t*>(&record);
      for (size_t i = 0; i < N; ++i) words[i] = m_in.U32(what);
    }
    return !m_in.Failed();
  }

  bool ReadPass(SFxPass* pass) {
    if (m_version >= kFxVersionWithStates) {
      if (!ReadWords<SFxStatePair, kFxStatePairWords>(&pass->renderStates, "render states")) return false;
      if (!ReadWords<SFxStateTriple, kFxStateTripleWords>(&pass->firstTriples, "first state triples")) return false;
      if (!ReadWords<SFxStateTriple, kFxStateTripleWords>(&pass->secondTriples, "second state triples"))
        return false;
    }
    if (!ReadPart(&pass->vertex, true)) return false;
    bool pixelHasCode = false;
    if (!ReadPart(&pass->pixel, false, &pixelHasCode)) return false;
    if (pixelHasCode) return ReadSamplers(pass);
    return true;
  }

  bool ReadSamplers(SFxPass* pass) {
    const uint32_t count = m_in.U32("sampler count");
    if (!m_in.HasRoomFor(count, kFxMinSamplerSize, "sampler bindings")) return false;
    pass->samplers.resize(count);
    for (SFxSamplerBinding& binding : pass->samplers) {
      binding.name = ReadString("sampler name");
      binding.sampler = m_in.U32("sampler index");
    }
    return !m_in.Failed();
  }

  bool ReadPart(SFxShaderPart* part, bool vertex, bool* hasCode = nullptr) {
    part->isVertex = vertex;
    const uint32_t size = m_in.U32(vertex ? "vertex shader size" : "pixel shader size");
    if (m_in.Failed()) return false;
    if (size == 0) {
      // Only a pixel part may be empty: a pass always has a vertex shader.
      if (vertex) m_in.Fail("a pass without a vertex shader");
      return !m_in.Failed();
    }
    if (hasCode) *hasCode = true;
    const uint8_t* code = m_in.Take(size, "shader byte code");
    if (!code) return false;
    if (!CreateShader(part, code, size)) return false;
    for (std::vector<SFxParameter>& list : part->parameters) {
      if (!ReadParameters(&list)) return false;
    }
    return true;
  }

  bool CreateShader(SFxShaderPart* part, const uint8_t* code, uint32_t size) {
    if (part->isVertex) {
      part->shader = CreateVertexShaderResource(code, size);
    } else if (!IsFixedFunctionMode()) {
      part->shader = CreatePixelShaderResource(code, size);
    }
    // Code the device refuses means the file is damaged; without a device (a tool) the
    // shaders are made when one comes. Fixed-function mode has no pixel shaders.
    const bool wanted = part->isVertex || !IsFixedFunctionMode();
    if (wanted && !part->shader) {
      m_in.Fail(part->isVertex ? "vertex shader byte code refused" : "pixel shader byte code refused");
      return false;
    }
    return true;
  }

  bool ReadParameters(std::vector<SFxParameter>* list) {
    const uint32_t count = m_in.U32("parameter count");
    if (!m_in.HasRoomFor(count, kFxMinParameterSize, "parameters")) return false;
    list->resize(count);
    for (SFxParameter& parameter : *list) {
      parameter.name = ReadString("parameter name");
      parameter.reg = m_in.U32("parameter register");
      parameter.secondValue = m_in.U32("parameter value");
      const uint32_t dataSize = m_in.U32("parameter data size");
      const uint8_t* data = m_in.Take(dataSize, "parameter data");
      if (!data) return false;
      parameter.defaultData.assign(data, data + dataSize);
    }
    return !m_in.Failed();
  }

  CByteReader m_in;
  const char* m_path;
  uint16_t m_version = 0;
};

void DestroyPartShader(SFxShaderPart& part) {
  if (part.shader) DestroyDeviceResource(part.shader);
  part.shader = nullptr;
}

const SFxParameter* FindParameter(const SFxShaderPart& part, const char* name) {
  for (const SFxParameter& parameter : part.parameters[kFxLookupList]) {
    if (parameter.name == name) return &parameter;
  }
  return nullptr;
}

struct SEffectCache {
  SResourceFolder folder;
  CStringHash<SFxEffect*> table{kEffectBuckets};
};
std::unique_ptr<SEffectCache> g_effectCache;

}  // namespace

void SFxEffect::Clear() {
  for (SFxTechnique& technique : techniques) {
    for (SFxPass& pass : technique.passes) {
      DestroyPartShader(pass.vertex);
      DestroyPartShader(pass.pixel);
    }
  }
  techniques.clear();
}

bool CCompiledFx::Load(SFxEffect* effect, const char* path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(path, &bytes)) {
    HM_REPORT(kCCompiledFxSource, "Effect file \"%s\" not found", path);
    return false;
  }
  return LoadFromBytes(effect, bytes, path);
}

bool CCompiledFx::LoadFromBytes(SFxEffect* effect, const std::vector<uint8_t>& bytes, const char* path) {
  CFxReader reader(bytes, path);
  if (reader.Read(effect)) return true;
  HM_REPORT(kCCompiledFxSource, "Effect file \"%s\" is damaged: %s", path, reader.FailureText());
  effect->Clear();
  return false;
}

bool IsFixedFunctionMode() { return g_fixedFunctionMode; }
void SetFixedFunctionMode(bool on) { g_fixedFunctionMode = on; }

void CreateEffectCache(const char* directory) {
  g_effectCache = std::make_unique<SEffectCache>();
  CopyDirPath(g_effectCache->folder.text, directory);
}

void DestroyEffectCache() {
  if (!g_effectCache) return;
  while (!g_effectCache->table.IsEmpty()) {
    SFxEffect* effect = g_effectCache->table.First()->value;
    const uint32_t count = effect->refCount;
    for (uint32_t i = 0; i < count; ++i) ReleaseEffect(effect);
  }
  g_effectCache.reset();
}

bool HasEffectCache() { return g_effectCache != nullptr; }

SResourceFolder* GetEffectFolder() { return g_effectCache ? &g_effectCache->folder : nullptr; }

SFxEffect* GetEffect(const char* fileName) {
  if (!g_effectCache) {
    HM_REPORT(kCCompiledFxSource, "Effect \"%s\" cannot be loaded: the effect cache has not been created", fileName);
    return nullptr;
  }
  const SResourceFolder& folder = g_effectCache->folder;
  char key[kKeyCapacity];
  MakeResourceId(folder, fileName, key, sizeof key);
  if (auto* node = g_effectCache->table.Find(key)) {
    ++node->value->refCount;
    return node->value;
  }
  char path[kKeyCapacity];
  FormatToBuffer({path, sizeof path}, "%s%s", folder.text, fileName);
  auto effect = std::make_unique<SFxEffect>();
  if (!CCompiledFx::Load(effect.get(), path)) return nullptr;
  effect->refCount = 1;
  g_effectCache->table.Insert(key, effect.get());
  return effect.release();
}

void ReleaseEffect(SFxEffect* effect) {
  if (!effect || !g_effectCache) return;
  if (--effect->refCount > 0) return;
  for (auto& node : g_effectCache->table) {
    if (node.value == effect) {
      const std::string key = node.key;
      g_effectCache->table.RemoveNode(key.c_str());
      break;
    }
  }
  delete effect;
}

uint32_t GetEffectCacheCount() { return g_effectCache ? g_effectCache->table.GetCount() : 0; }

const SFxTechnique* FindTechnique(const SFxEffect* effect, const char* name) {
  if (!effect) return nullptr;
  for (const SFxTechnique& technique : effect->techniques) {
    if (technique.name == name) return &technique;
  }
  return nullptr;
}

const SFxPass* GetPass(const SFxTechnique* technique, uint32_t index) {
  if (!technique || index >= technique->passes.size()) return nullptr;
  return &technique->passes[index];
}

CGfxShader* GetPartShader(const SFxShaderPart& part) { return part.shader ? part.shader->Get() : nullptr; }

const SFxParameter* FindVertexParameter(const SFxPass* pass, const char* name) {
  return pass ? FindParameter(pass->vertex, name) : nullptr;
}

const SFxParameter* FindPixelParameter(const SFxPass* pass, const char* name) {
  return pass ? FindParameter(pass->pixel, name) : nullptr;
}

const SFxSamplerBinding* FindSamplerBinding(const SFxPass* pass, const char* name) {
  if (!pass) return nullptr;
  for (const SFxSamplerBinding& binding : pass->samplers) {
    if (binding.name == name) return &binding;
  }
  return nullptr;
}

void ApplyPass(const SFxPass* pass) {
  CGfxDevice* device = GetD3DDevice();
  if (!device || !pass) return;
  CDeviceStates states(*device);
  states.SetVertexShader(GetPartShader(pass->vertex));
  states.SetPixelShader(GetPartShader(pass->pixel));
}

void SetSamplerDeviceTexture(CGfxTexture* texture, const SFxSamplerBinding* binding) {
  CGfxDevice* device = GetD3DDevice();
  if (device && binding) CDeviceStates(*device).SetTexture(binding->sampler, texture);
}

void SetSamplerTexture(TextureRecord* texture, const SFxSamplerBinding* binding) {
  TextureRecord* effective = GetEffectiveTexture(texture);
  SetSamplerDeviceTexture(effective ? GetD3DTexture(effective) : nullptr, binding);
}

void SetVertexConstants(const SFxParameter* parameter, const float* data, uint32_t registerCount) {
  CGfxDevice* device = GetD3DDevice();
  if (device && parameter) CDeviceStates(*device).SetVertexShaderConstantF(parameter->reg, data, registerCount);
}

void SetPixelConstant(const SFxParameter* parameter, float value) {
  CGfxDevice* device = GetD3DDevice();
  const float four[4] = {value, value, value, value};
  if (device && parameter) CDeviceStates(*device).SetPixelShaderConstantF(parameter->reg, four, 1);
}
