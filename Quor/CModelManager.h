#pragma once
// The model cache: shared models by key (file path plus the shader substitution key),
// loaded from one folder. The models themselves are counted by their holders.

#include "Quor/CStringHash.h"
#include "Quor/CopyDirPath.h"

class CModel;

class CModelManager {
 public:
  explicit CModelManager(const char* directory);
  ~CModelManager();
  CModelManager(const CModelManager&) = delete;
  CModelManager& operator=(const CModelManager&) = delete;

  const char* GetDirectory() const { return m_directory; }
  void SetDirectory(const char* directory) { CopyDirPath(m_directory, directory); }
  bool IsKeyWithDirectory() const { return m_keyWithDirectory; }
  CStringHash<CModel*>& GetTable() { return m_models; }

  // The model "<directory><name>.bmo" under the current shader overrides: a cached one
  // gains a reference, else it is loaded (a missing file is fatal).
  CModel* GetModel(const char* name);
  // Removes the entry under the key and destroys its model; false when there is none.
  bool RemoveModel(const char* key);
  // The same for this very model (false when the cache does not hold it).
  bool RemoveModel(CModel* model);
  // Destroys every cached model (shutdown).
  void Clear();

 private:
  char m_directory[kDirPathCapacity];
  bool m_keyWithDirectory = false;
  CStringHash<CModel*> m_models{CStringHash<CModel*>::kDefaultBucketCount};
};

// The program's one model cache, made by the framework's asset module.
extern CModelManager* g_pModelManager;

// Empties the cache, then destroys it (and forgets it when it is the program's).
void DestroyModelCache(CModelManager* manager);
