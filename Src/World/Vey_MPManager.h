#pragma once
// The particle manager: one per process, from CreateInstance to DeleteInstance. It loads
// ".ptc" files through the virtual file system, keeps every emitter found in them by name
// and builds the textures of each file's atlases. It owns its emitters and atlases; with it
// the particle library is emptied.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Particles/MagicParticles.h"
#include "Quor/CMemWatch.h"
#include "Quor/CStringHash.h"

namespace MP {

class CAtlas;
class CEmitter;

// The texture of an atlas: the particle file's folder and the atlas file name with its last
// three characters replaced by "mpt". False (reported, naming the particle file) for a name
// shorter than three characters.
bool AtlasTextureName(const char* particleFile, const char* folder, const char* atlasFile, std::string* textureName);

class CManager : public CMemWatch {
 public:
  static CManager* CreateInstance();
  static CManager* GetInstance();
  static void DeleteInstance();

  // Loads a file named with "\" or "/" folders; false when it cannot be read or is damaged.
  bool LoadFile(const char* path);
  bool LoadFileFromPath(const char* path, const char* folder);
  // Wraps a library emitter, files it under its library name and returns it.
  CEmitter* AddEmitter(HM_EMITTER handle);
  // The first emitter filed under the name (any case), or null.
  CEmitter* FindEmitter(const char* name) const;
  // Null unless 0 <= index < the atlas count.
  CAtlas* GetAtlas(int32_t index) const;
  uint32_t GetAtlasCount() const { return static_cast<uint32_t>(m_atlases.size()); }
  void UpdateAll(float dt);
  const CStringHash<CEmitter*>& GetEmitters() const { return m_emitters; }

 private:
  CManager() = default;
  ~CManager() override;

  void WalkEmitters(HM_FILE file, const char* folder);
  void BuildAtlases(HM_FILE file, const char* path, const char* folder);

  CStringHash<CEmitter*> m_emitters;
  std::vector<std::unique_ptr<CAtlas>> m_atlases;
};

// The particle manager made with the file's effects and the named emitters looked up in it, a
// null entry for each it lacks; false when the file does not load. Each problem is reported,
// naming the file.
bool LoadEmitters(const char* file, const char* const* names, int count, CEmitter** emitters);

}  // namespace MP
