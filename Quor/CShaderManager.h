#pragma once
// The shader manager: materials loaded from ".mat" files and shared by name, the table of
// shader kinds whose factories build them, the rules that substitute one kind for another,
// and a material name override. Also the engine's two directional lights with the ambient
// colour, the projected-texture settings, and the terrain draw.
//
// A ".mat" file: the word MAT, the version number, a quoted string, the shader kind name,
// then what the kind's shader reads itself (its shader section and any further items).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Quor/CShader.h"
#include "Quor/CStringHash.h"
#include "Quor/Engine.h"
#include "Quor/Utils.h"

class CParser;
struct TextureRecord;

// Builds a material's shader from its parser (positioned after the kind name).
using ShaderFactoryFn = CShader* (*)(const char* materialName, CParser& parser, float version);

struct SShaderSubstitution {
  std::optional<std::string> from;  // none: every kind becomes `to`
  std::string to;
};

class CShaderManager {
 public:
  static constexpr uint32_t kMaterialBuckets = 23;
  static constexpr uint32_t kKindBuckets = 10;
  static constexpr size_t kKeyCapacity = 512;

  explicit CShaderManager(const char* directory);
  ~CShaderManager();
  CShaderManager(const CShaderManager&) = delete;
  CShaderManager& operator=(const CShaderManager&) = delete;

  // Never null: a missing material, or one of an unknown kind, is reported and the
  // "Default" material stands in. A missing Default is fatal.
  CShader* GetMaterial(const char* name);
  // Count - 1; at 0 the material leaves the table and is deleted.
  void ReleaseMaterial(CShader* shader);

  // A kind name makes every material use that kind; null removes every substitution.
  void SetShaderOverride(const char* kind);
  void AddShaderSubstitution(const char* fromKind, const char* toKind);
  // A name makes every material request load that material; null ends it.
  void SetMaterialOverride(const char* name);
  // The text that tells the current overrides apart ("|m:NAME", "|s:KIND", "|s:FROM-TO"...),
  // for caches that keep what they built under different overrides apart.
  void BuildOverrideKey(char out[kKeyCapacity]) const;

  void RegisterShaderKinds();
  // False (and nothing changed) when the kind is already there.
  bool RegisterShaderKind(const char* kind, ShaderFactoryFn factory);
  bool HasShaderKind(const char* kind) const { return m_kinds.Find(kind) != nullptr; }

  SResourceFolder& GetFolder() { return m_folder; }
  uint32_t GetMaterialCount() const { return m_materials.GetCount(); }
  // The material stored under the key, without counting a reference (null when absent).
  CShader* FindMaterialByKey(const char* key) const;

 private:
  CShader* LoadMaterial(const char* name);
  CShader* LoadDefault();
  CShader* FallBackToDefault(const char* name, const char* reason);
  void MakeMaterialKey(const char* name, char* key) const;
  const std::string* GlobalSubstitution() const;
  const char* SubstituteKind(const char* kind) const;

  SResourceFolder m_folder;
  CStringHash<CShader*> m_materials;
  CStringHash<ShaderFactoryFn> m_kinds;
  std::vector<SShaderSubstitution> m_substitutions;
  std::optional<std::string> m_materialOverride;
};

CShaderManager* GetShaderManager();

// Terrain: patches of meshes with their bounding boxes, drawn where the camera sees them.
struct STerrainPart {
  CShader* shader = nullptr;
  SDrawItem* batch = nullptr;
};
struct STerrainPatch {
  Vector4 boxMin;  // x, y, z of the bounding box's corners (w unused)
  Vector4 boxMax;
  float level = 0.0f;
  std::vector<STerrainPart> parts;
};
struct STerrain {
  std::vector<STerrainPatch> patches;
  Vector3 position;
  Vector3 scale{1, 1, 1};
};
// Queues the visible patches' parts and draws them by order bucket. The world matrix becomes
// a translation by half a unit, the terrain's scale and its position.
void RenderTerrain(const STerrain& terrain);
// Frees each part's batch through its shader, then releases the shader's material.
void FreePatchParts(STerrainPatch* patch);

// Lights: two directional lights and the ambient colour with a fourth "level" component.
void InitLights();
void SetLightDirection(int light, const float direction[4]);
void SetLightColor(int light, float red, float green, float blue);
void SetAmbientColor(float red, float green, float blue);
void SetAmbientLevel(float level);
const Vector4* GetLightDirection(int light);
const Vector4* GetLightColor(int light);
const Vector4* GetAmbientColor();

// 2-D drawing through the immediate draw layer. Colours are on the 128 scale: a channel
// below 128 is doubled, 128 and above is full.
struct SQuadCorners {
  float x0, y0, x1, y1;      // virtual screen coordinates
  float tu0, tv0, tu1, tv1;  // texture coordinates at (x0, y0) and (x1, y1)
};
struct SQuadColour {
  uint8_t red, green, blue, alpha;
};
void DrawTexturedQuad2D(TextureRecord* texture, const SRenderStateRecord& states, const SQuadCorners& corners,
                        SQuadColour colour);
// The whole picture of the texture over the rectangle, its top-left texel at (x, y) (the
// rectangle's top-left corner on the screen) and the picture's extent at the far corner.
void DrawTextureRect(float x, float y, float width, float height, SQuadColour colour, TextureRecord* texture);
// Before 2-D drawing: the draw layer applies everything again and culling is off.
void ResetDrawState();

// Projected-texture settings of the projected-texture shader.
TextureRecord* GetProjectedTexture();
void SetProjectedTexture(TextureRecord* texture);
Matrix4* GetProjectorMatrix();
