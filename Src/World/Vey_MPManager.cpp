#include "Src/World/Vey_MPManager.h"

#include <algorithm>

#include <cstring>

#include "Quor/CByteReader.h"
#include "Quor/CTextureManager.h"
#include "Quor/ReportError.h"
#include "Src/World/Vey_MPAtlas.h"
#include "Src/World/Vey_MPEmitter.h"

namespace MP {

namespace {

constexpr const char* kVeyMPManagerSource = "Src/World/Vey_MPManager";

CManager* g_instance = nullptr;

}  // namespace

bool AtlasTextureName(const char* particleFile, const char* folder, const char* atlasFile, std::string* textureName) {
  const size_t length = std::strlen(atlasFile);
  if (length < 3) {
    HM_REPORT(kVeyMPManagerSource, "Particle file %s names the atlas \"%s\", too short to carry an extension",
              particleFile, atlasFile);
    return false;
  }
  *textureName = std::string(folder) + std::string(atlasFile, length - 3) + "mpt";
  return true;
}

CManager* CManager::CreateInstance() {
  if (!g_instance) g_instance = new CManager();
  return g_instance;
}

CManager* CManager::GetInstance() { return g_instance; }

void CManager::DeleteInstance() {
  delete g_instance;
  g_instance = nullptr;
}

CManager::~CManager() {
  for (auto& node : m_emitters) delete node.value;
  m_emitters.Clear();
  m_atlases.clear();
  Magic_DestroyAll();
}

bool CManager::LoadFile(const char* path) {
  const char* slash = std::strrchr(path, '/');
  const char* backslash = std::strrchr(path, '\\');
  const char* last = slash > backslash ? slash : backslash;
  const std::string folder = last ? std::string(path, last + 1) : std::string();
  return LoadFileFromPath(path, folder.c_str());
}

bool CManager::LoadFileFromPath(const char* path, const char* folder) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeVfsFile(path, &bytes)) {
    HM_REPORT(kVeyMPManagerSource, "No such particle file: %s", path);
    return false;
  }
  const HM_FILE file = Magic_OpenFileInMemory(bytes.data(), bytes.size(), path);
  if (!file) return false;
  WalkEmitters(file, "");
  BuildAtlases(file, path, folder);
  Magic_CloseFile(file);
  return true;
}

void CManager::WalkEmitters(HM_FILE file, const char* folder) {
  Magic_SetCurrentFolder(file, folder);
  MAGIC_FIND_DATA found;
  for (const char* name = Magic_FindFirst(file, &found, MAGIC_FOLDER | MAGIC_EMITTER); name;
       name = Magic_FindNext(file, &found)) {
    if (found.type == MAGIC_FOLDER) {
      WalkEmitters(file, name);
    } else if (const HM_EMITTER emitter = Magic_LoadEmitter(file, name)) {
      AddEmitter(emitter);
    }
  }
  Magic_SetCurrentFolder(file, "..");
}

void CManager::BuildAtlases(HM_FILE file, const char* path, const char* folder) {
  const int32_t count = Magic_GetStaticAtlasCount(file);
  for (int32_t i = 0; i < count; ++i) {
    MAGIC_STATIC_ATLAS info{};
    Magic_GetStaticAtlas(file, i, &info);
    std::string textureName;
    // A refused name still takes its place, so that later atlases keep their indices.
    TextureRecord* texture =
        AtlasTextureName(path, folder, info.file, &textureName) ? LoadTexture(textureName.c_str()) : nullptr;
    m_atlases.push_back(
        std::make_unique<CAtlas>(static_cast<float>(info.width), static_cast<float>(info.height), texture));
  }
}

CEmitter* CManager::AddEmitter(HM_EMITTER handle) {
  auto* emitter = new CEmitter(this, handle);
  m_emitters.Insert(emitter->GetName(), emitter);
  return emitter;
}

CEmitter* CManager::FindEmitter(const char* name) const {
  const auto* node = m_emitters.Find(name);
  return node ? node->value : nullptr;
}

CAtlas* CManager::GetAtlas(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= m_atlases.size()) return nullptr;
  return m_atlases[index].get();
}

void CManager::UpdateAll(float dt) {
  for (auto& node : m_emitters) node.value->Update(dt);
}

bool LoadEmitters(const char* file, const char* const* names, int count, CEmitter** emitters) {
  std::fill(emitters, emitters + count, nullptr);
  CManager* manager = CManager::CreateInstance();
  if (!manager) return false;
  if (!manager->LoadFile(file)) {
    HM_REPORT(kVeyMPManagerSource, "Particle file \"%s\" was not loaded", file);
    return false;
  }
  for (int i = 0; i < count; ++i) {
    emitters[i] = manager->FindEmitter(names[i]);
    if (!emitters[i]) HM_REPORT(kVeyMPManagerSource, "No particle emitter \"%s\" in %s", names[i], file);
  }
  return true;
}

}  // namespace MP
