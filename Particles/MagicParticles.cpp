#include "Particles/MagicParticles.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SOpenFile {
  std::shared_ptr<const std::vector<SPtcAtlas>> atlases;
  std::vector<std::shared_ptr<const SPtcEmitter>> emitters;
  int32_t atlasBase = 0;
  std::string folder;  // the current folder, "" at the root
};

struct SLoadedEmitter {
  std::unique_ptr<CParticleEmitter> emitter;
  int32_t atlasBase = 0;
};

struct SLibrary {
  std::vector<std::unique_ptr<SOpenFile>> files;
  std::vector<std::unique_ptr<SLoadedEmitter>> emitters;
  int32_t atlasCount = 0;
  uint32_t seed = 0x9E3779B9u;
};

SLibrary& Library() {
  static SLibrary library;
  return library;
}

// Handle h is place h - 1. Places are never taken again, not even after Magic_DestroyAll, so
// a handle kept by mistake past its emitter names nothing rather than another emitter.
template <typename T>
int32_t Store(std::vector<std::unique_ptr<T>>& places, std::unique_ptr<T> item) {
  places.push_back(std::move(item));
  return static_cast<int32_t>(places.size());
}

template <typename T>
T* Find(const std::vector<std::unique_ptr<T>>& places, int32_t handle) {
  if (handle <= 0 || static_cast<size_t>(handle) > places.size()) return nullptr;
  return places[handle - 1].get();
}

SOpenFile* FindFile(HM_FILE file) { return Find(Library().files, file); }

CParticleEmitter* FindEmitter(HM_EMITTER emitter) {
  SLoadedEmitter* loaded = Find(Library().emitters, emitter);
  return loaded ? loaded->emitter.get() : nullptr;
}

uint32_t NextSeed() {
  // Every emitter gets a sequence of its own; the order of loading makes runs repeatable.
  Library().seed = Library().seed * 1664525u + 1013904223u;
  return Library().seed;
}

HM_EMITTER StoreEmitter(std::unique_ptr<CParticleEmitter> emitter, int32_t atlasBase) {
  auto loaded = std::make_unique<SLoadedEmitter>();
  loaded->emitter = std::move(emitter);
  loaded->atlasBase = atlasBase;
  return Store(Library().emitters, std::move(loaded));
}

// The entries of the current folder: "a" for folder "a/b" seen from the root, and so on.
void ListFolder(const SOpenFile& file, int32_t mode, MAGIC_FIND_DATA* data) {
  data->entries.clear();
  data->next = 0;
  const std::string prefix = file.folder.empty() ? "" : file.folder + "/";
  if (mode & MAGIC_FOLDER) {
    for (const auto& emitter : file.emitters) {
      const std::string& folder = emitter->folder;
      if (folder.size() <= prefix.size() || folder.compare(0, prefix.size(), prefix) != 0) continue;
      const std::pair<int32_t, std::string> child(
          MAGIC_FOLDER, folder.substr(prefix.size(), folder.find('/', prefix.size()) - prefix.size()));
      if (std::find(data->entries.begin(), data->entries.end(), child) == data->entries.end())
        data->entries.push_back(child);
    }
  }
  if (mode & MAGIC_EMITTER) {
    for (const auto& emitter : file.emitters)
      if (emitter->folder == file.folder) data->entries.emplace_back(MAGIC_EMITTER, emitter->name);
  }
}

const char* NextEntry(MAGIC_FIND_DATA* data) {
  if (data->next >= data->entries.size()) return nullptr;
  data->type = data->entries[data->next].first;
  data->name = data->entries[data->next].second.c_str();
  ++data->next;
  return data->name;
}

// Moves the list to the next layer at or after `layer` with live particles.
int32_t OpenList(MAGIC_RENDERING* list, uint32_t layer) {
  list->count = 0;
  SLoadedEmitter* loaded = Find(Library().emitters, list->emitter);
  if (!loaded) return 0;
  const CParticleEmitter& emitter = *loaded->emitter;
  for (; layer < emitter.GetLayerCount(); ++layer) {
    if (emitter.GetLiveCount(layer) == 0) continue;
    list->layer = layer;
    list->particle = 0;
    list->count = static_cast<int32_t>(emitter.GetLiveCount(layer));
    const SPtcLayer& definition = emitter.GetDefinition().layers[layer];
    list->texture_id = loaded->atlasBase + static_cast<int32_t>(definition.atlas);
    list->intense = definition.intense;
    break;
  }
  return list->count;
}

}  // namespace

HM_FILE Magic_OpenFileInMemory(const uint8_t* bytes, size_t size, const char* fileName) {
  SPtcFile read;
  if (!bytes || !ReadPtcFile(bytes, size, fileName, &read)) return 0;
  auto file = std::make_unique<SOpenFile>();
  file->atlasBase = Library().atlasCount;
  Library().atlasCount += static_cast<int32_t>(read.atlases.size());
  file->atlases = std::make_shared<const std::vector<SPtcAtlas>>(std::move(read.atlases));
  for (SPtcEmitter& emitter : read.emitters)
    file->emitters.push_back(std::make_shared<const SPtcEmitter>(std::move(emitter)));
  return Store(Library().files, std::move(file));
}

void Magic_CloseFile(HM_FILE file) {
  if (FindFile(file)) Library().files[file - 1].reset();
}

int32_t Magic_GetStaticAtlasCount(HM_FILE file) {
  const SOpenFile* open = FindFile(file);
  return open ? static_cast<int32_t>(open->atlases->size()) : 0;
}

bool Magic_GetStaticAtlas(HM_FILE file, int32_t index, MAGIC_STATIC_ATLAS* atlas) {
  const SOpenFile* open = FindFile(file);
  if (!open || index < 0 || static_cast<size_t>(index) >= open->atlases->size()) return false;
  const SPtcAtlas& found = (*open->atlases)[index];
  atlas->file = found.fileName.c_str();
  atlas->width = static_cast<int32_t>(found.width);
  atlas->height = static_cast<int32_t>(found.height);
  return true;
}

void Magic_SetCurrentFolder(HM_FILE file, const char* folder) {
  SOpenFile* open = FindFile(file);
  if (!open || !folder || !*folder) return;
  std::string& current = open->folder;
  if (std::string(folder) == "..") {
    const size_t slash = current.rfind('/');
    current = slash == std::string::npos ? "" : current.substr(0, slash);
  } else {
    current = current.empty() ? folder : current + "/" + folder;
  }
}

const char* Magic_FindFirst(HM_FILE file, MAGIC_FIND_DATA* data, int32_t mode) {
  const SOpenFile* open = FindFile(file);
  if (!open) return nullptr;
  ListFolder(*open, mode, data);
  return NextEntry(data);
}

const char* Magic_FindNext(HM_FILE file, MAGIC_FIND_DATA* data) {
  return FindFile(file) ? NextEntry(data) : nullptr;
}

HM_EMITTER Magic_LoadEmitter(HM_FILE file, const char* name) {
  SOpenFile* open = FindFile(file);
  if (!open || !name) return 0;
  for (const auto& definition : open->emitters)
    if (definition->folder == open->folder && definition->name == name)
      return StoreEmitter(std::make_unique<CParticleEmitter>(definition, open->atlases, NextSeed()), open->atlasBase);
  return 0;
}

void Magic_UnloadEmitter(HM_EMITTER emitter) {
  if (FindEmitter(emitter)) Library().emitters[emitter - 1].reset();
}

const char* Magic_GetEmitterName(HM_EMITTER emitter) {
  const CParticleEmitter* found = FindEmitter(emitter);
  return found ? found->GetDefinition().name.c_str() : nullptr;
}

HM_EMITTER Magic_DuplicateEmitter(HM_EMITTER emitter) {
  const CParticleEmitter* found = FindEmitter(emitter);
  if (!found) return 0;
  const int32_t atlasBase = Library().emitters[emitter - 1]->atlasBase;
  return StoreEmitter(found->Duplicate(NextSeed()), atlasBase);
}

void Magic_SetInterrupt(HM_EMITTER emitter, bool interrupt) {
  if (CParticleEmitter* found = FindEmitter(emitter)) found->SetInterrupt(interrupt);
}

void Magic_Stop(HM_EMITTER emitter) {
  if (CParticleEmitter* found = FindEmitter(emitter)) found->Rewind();
}

void Magic_SetLoopMode(HM_EMITTER emitter, bool loop) {
  if (CParticleEmitter* found = FindEmitter(emitter)) found->SetLoop(loop);
}

void Magic_SetEmitterDirection(HM_EMITTER emitter, const float* angle) {
  if (CParticleEmitter* found = FindEmitter(emitter); found && angle) found->SetDirection(*angle);
}

void Magic_SetEmitterPosition(HM_EMITTER emitter, const MAGIC_POSITION* position) {
  if (CParticleEmitter* found = FindEmitter(emitter); found && position) found->SetPosition(position->x, position->y);
}

int32_t Magic_GetEmitterPositionMode(HM_EMITTER emitter) {
  const CParticleEmitter* found = FindEmitter(emitter);
  return found ? found->GetPositionMode() : 0;
}

void Magic_SetEmitterPositionMode(HM_EMITTER emitter, int32_t mode) {
  if (CParticleEmitter* found = FindEmitter(emitter)) found->SetPositionMode(mode);
}

void Magic_EmitterToInterval1(HM_EMITTER emitter) {
  if (CParticleEmitter* found = FindEmitter(emitter)) found->Rewind();
}

bool Magic_IsInterpolationMode(HM_EMITTER emitter) {
  const CParticleEmitter* found = FindEmitter(emitter);
  return found && found->GetDefinition().interpolation;
}

double Magic_GetUpdateTime(HM_EMITTER emitter) {
  const CParticleEmitter* found = FindEmitter(emitter);
  return found ? found->GetDefinition().fixedStepMs : 0.0;
}

bool Magic_Update(HM_EMITTER emitter, double milliseconds) {
  CParticleEmitter* found = FindEmitter(emitter);
  return found && found->Update(milliseconds);
}

// Every emitter's interval is its whole life: a loaded emitter is always inside it.
bool Magic_InInterval(HM_EMITTER emitter) { return FindEmitter(emitter) != nullptr; }

int32_t Magic_CreateFirstRenderedParticlesList(HM_EMITTER emitter, MAGIC_RENDERING* list) {
  list->emitter = emitter;
  return OpenList(list, 0);
}

int32_t Magic_CreateNextRenderedParticlesList(MAGIC_RENDERING* list) {
  if (list->count == 0) return 0;
  return OpenList(list, list->layer + 1);
}

void Magic_GetNextParticleVertexes(MAGIC_RENDERING* list, MAGIC_VERTEX_RECTANGLE* vertices) {
  const CParticleEmitter* emitter = FindEmitter(list->emitter);
  if (!emitter || list->layer >= emitter->GetLayerCount() || list->particle >= emitter->GetLiveCount(list->layer))
    return;
  emitter->GetParticleVertices(list->layer, list->particle++, vertices);
}

void Magic_DestroyAll() {
  SLibrary& library = Library();
  for (auto& emitter : library.emitters) emitter.reset();
  for (auto& file : library.files) file.reset();
  library.atlasCount = 0;
  // Emitters loaded after this get the same sequences whatever ran before.
  library.seed = SLibrary{}.seed;
}
