#include "Quor/CShaderManager.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "Quor/CParser.h"
#include "Quor/CStr.h"
#include "Quor/ContentOrigin.h"
#include "Quor/CViewCamera.h"
#include "Quor/CopyDirPath.h"
#include "Quor/DirectX/BuiltInShaderKinds.h"
#include "Quor/MatrixTable.h"
#include "Quor/ReportError.h"

namespace {

constexpr const char* kCShaderManagerSource = "Quor/CShaderManager";
constexpr const char* kDefaultMaterial = "Default";
constexpr size_t kDefaultLength = 7;
constexpr size_t kMaxOverrideKeyForKind = 256;
constexpr int kParserBufferSize = 256;

CShaderManager* g_shaderManager = nullptr;

// "Default" itself, or a name ending in "$Default" (any case): the fall-back has nowhere
// further to fall.
bool IsDefaultName(const char* name) {
  const size_t length = std::strlen(name);
  if (length < kDefaultLength || !TextEqualsNoCase(name + length - kDefaultLength, kDefaultMaterial)) return false;
  return length == kDefaultLength || name[length - kDefaultLength - 1] == '$';
}

// Appends as much of the text as fits, keeping the result terminated.
void Append(char* out, size_t capacity, const std::string& text) {
  const size_t used = std::strlen(out);
  if (used + 1 >= capacity) return;
  std::snprintf(out + used, capacity - used, "%s", text.c_str());
}

}  // namespace

CShaderManager::CShaderManager(const char* directory)
    : m_materials(static_cast<uint32_t>(NextPrime(kMaterialBuckets))), m_kinds(kKindBuckets) {
  CopyDirPath(m_folder.text, directory ? directory : "");
  m_substitutions.reserve(4);
  RegisterShaderKinds();
  g_shaderManager = this;
}

CShaderManager::~CShaderManager() {
  for (auto& node : m_materials) delete node.value;
  m_materials.Clear();
  if (g_shaderManager == this) g_shaderManager = nullptr;
}

CShaderManager* GetShaderManager() { return g_shaderManager; }

void CShaderManager::RegisterShaderKinds() { RegisterBuiltInShaderKinds(*this); }

bool CShaderManager::RegisterShaderKind(const char* kind, ShaderFactoryFn factory) {
  if (m_kinds.Find(kind)) return false;
  m_kinds.Insert(kind, factory);
  return true;
}

const std::string* CShaderManager::GlobalSubstitution() const {
  if (m_substitutions.size() == 1 && !m_substitutions[0].from) return &m_substitutions[0].to;
  return nullptr;
}

const char* CShaderManager::SubstituteKind(const char* kind) const {
  if (const std::string* to = GlobalSubstitution()) return to->c_str();
  for (const SShaderSubstitution& rule : m_substitutions) {
    if (rule.from && TextEqualsNoCase(rule.from->c_str(), kind)) return rule.to.c_str();
  }
  return kind;
}

void CShaderManager::MakeMaterialKey(const char* name, char* key) const {
  MakeResourceId(m_folder, name, key, kKeyCapacity);
  const std::string* to = GlobalSubstitution();
  if (to && std::strlen(key) < kMaxOverrideKeyForKind) Append(key, kKeyCapacity, ":" + *to);
}

CShader* CShaderManager::GetMaterial(const char* name) {
  return LoadMaterial(m_materialOverride ? m_materialOverride->c_str() : name);
}

CShader* CShaderManager::LoadMaterial(const char* name) {
  char key[kKeyCapacity];
  MakeMaterialKey(name, key);
  if (auto* node = m_materials.Find(key)) {
    node->value->AddRef();
    return node->value;
  }

  char path[kKeyCapacity];
  FormatToBuffer({path, sizeof path}, "%s%s", m_folder.text, name);
  Append(path, kKeyCapacity, ".mat");

  char buffer[kParserBufferSize];
  CParser parser;
  if (!parser.Open(path, buffer, sizeof buffer)) {
    if (IsDefaultName(name))
      HM_FATAL(kCShaderManagerSource, "Default.mat not found%s!", CContentOrigin::Clause().c_str());
    return FallBackToDefault(name, "not found");
  }
  if (std::strcmp(parser.ReadWord(), "MAT") != 0) HM_FATAL(kCShaderManagerSource, "%s not a MAT file", path);
  const float version = ParseFloatC(parser.ReadWord());
  parser.ReadQuoted();
  const std::string fileKind = parser.ReadWord();
  const char* kind = SubstituteKind(fileKind.c_str());

  auto* kindNode = m_kinds.Find(kind);
  if (!kindNode) {
    parser.Close();
    // The fall-back must end somewhere: a Default of an unknown kind would ask for itself.
    if (IsDefaultName(name)) HM_FATAL(kCShaderManagerSource, "%s names the unknown shader kind \"%s\"", path, kind);
    const CContentOrigin origin(path);  // the material that asks for the default
    return FallBackToDefault(name, "names an unknown shader kind");
  }
  CShader* shader = kindNode->value(name, parser, version);
  parser.Close();
  shader->SetKindName(kindNode->GetKey());
  m_materials.Insert(key, shader);
  return shader;
}

CShader* CShaderManager::FallBackToDefault(const char* name, const char* reason) {
  HM_REPORT(kCShaderManagerSource, "Material \"%s\" %s; \"Default\" is used instead", name, reason);
  return LoadDefault();
}

CShader* CShaderManager::LoadDefault() {
  const uint8_t keyByFolder = m_folder.keyByFolder;
  m_folder.keyByFolder = 0;
  CShader* shader = LoadMaterial(kDefaultMaterial);
  m_folder.keyByFolder = keyByFolder;
  return shader;
}

void CShaderManager::ReleaseMaterial(CShader* shader) {
  if (!shader || shader->DropRef() > 0) return;
  for (auto& node : m_materials) {
    if (node.value == shader) {
      const std::string key = node.key;
      m_materials.RemoveNode(key.c_str());
      break;
    }
  }
  delete shader;
}

CShader* CShaderManager::FindMaterialByKey(const char* key) const {
  auto* node = m_materials.Find(key);
  return node ? node->value : nullptr;
}

void CShaderManager::SetShaderOverride(const char* kind) {
  m_substitutions.clear();
  if (kind) m_substitutions.push_back({std::nullopt, kind});
}

void CShaderManager::AddShaderSubstitution(const char* fromKind, const char* toKind) {
  m_substitutions.push_back({std::string(fromKind), toKind});
}

void CShaderManager::SetMaterialOverride(const char* name) {
  m_materialOverride = name ? std::optional<std::string>(name) : std::nullopt;
}

void CShaderManager::BuildOverrideKey(char out[kKeyCapacity]) const {
  out[0] = '\0';
  if (m_materialOverride) Append(out, kKeyCapacity, "|m:" + *m_materialOverride);
  if (const std::string* to = GlobalSubstitution()) {
    Append(out, kKeyCapacity, "|s:" + *to);
    return;
  }
  for (const SShaderSubstitution& rule : m_substitutions)
    Append(out, kKeyCapacity, "|s:" + rule.from.value_or("") + "-" + rule.to);
}

// ---- terrain ----

void RenderTerrain(const STerrain& terrain) {
  if (!IsCollectionEmpty())
    HM_FATAL(kCShaderManagerSource, "RenderCollection/RenderSortedCollection was not called after CollectionInit");
  Matrix4 halfUnit, scalePosition, world;
  MatrixScaleTranslation(&halfUnit, 1, 1, 1, 0.5f, 0.5f, 0.5f);
  MatrixScaleTranslation(&scalePosition, terrain.scale.x, terrain.scale.y, terrain.scale.z, terrain.position.x,
                         terrain.position.y, terrain.position.z);
  MatrixMultiply(&world, halfUnit, scalePosition);
  SetWorld(world);

  CViewCamera* camera = HasCurrentCamera() ? GetCurrentCamera() : nullptr;
  for (const STerrainPatch& patch : terrain.patches) {
    if (camera && !camera->IsBoxInFrustum(patch.boxMin, patch.boxMax)) continue;
    for (const STerrainPart& part : patch.parts) AddToCollection(part.shader, part.batch);
  }
  RenderSortedCollection();
}

void FreePatchParts(STerrainPatch* patch) {
  for (STerrainPart& part : patch->parts) {
    if (!part.shader) continue;
    part.shader->FreeBatch(part.batch);
    if (CShaderManager* manager = GetShaderManager()) manager->ReleaseMaterial(part.shader);
  }
  patch->parts.clear();
}

// ---- lights ----

namespace {

struct SLights {
  Vector4 direction[2];
  Vector4 colour[2];
  Vector4 ambient;
  TextureRecord* projectedTexture = nullptr;
  Matrix4 projector;
};
SLights g_lights;

float Clamp01(float value) { return value <= 0.0f ? 0.0f : (value >= 1.0f ? 1.0f : value); }
bool IsLight(int light) { return light == 0 || light == 1; }

}  // namespace

void InitLights() {
  const float down[4] = {0, -1, 0, 0}, up[4] = {0, 1, 0, 0};
  SetLightDirection(0, down);
  SetLightDirection(1, up);
  SetLightColor(0, 0, 0, 0);
  SetLightColor(1, 0, 0, 0);
  SetAmbientColor(1, 1, 1);
  SetAmbientLevel(1.0f);
}

void SetLightDirection(int light, const float direction[4]) {
  if (!IsLight(light)) return;
  Vector4& d = g_lights.direction[light];
  d = {direction[0], direction[1], direction[2], direction[3]};
  const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z + d.w * d.w);
  if (length > 0.0f) d = {d.x / length, d.y / length, d.z / length, d.w / length};
}

void SetLightColor(int light, float red, float green, float blue) {
  if (IsLight(light)) g_lights.colour[light] = {Clamp01(red), Clamp01(green), Clamp01(blue), 1.0f};
}

void SetAmbientColor(float red, float green, float blue) {
  g_lights.ambient = {Clamp01(red), Clamp01(green), Clamp01(blue), g_lights.ambient.w};
}

void SetAmbientLevel(float level) { g_lights.ambient.w = level; }
const Vector4* GetLightDirection(int light) { return IsLight(light) ? &g_lights.direction[light] : nullptr; }
const Vector4* GetLightColor(int light) { return IsLight(light) ? &g_lights.colour[light] : nullptr; }
const Vector4* GetAmbientColor() { return &g_lights.ambient; }

TextureRecord* GetProjectedTexture() { return g_lights.projectedTexture; }
void SetProjectedTexture(TextureRecord* texture) { g_lights.projectedTexture = texture; }
Matrix4* GetProjectorMatrix() { return &g_lights.projector; }
