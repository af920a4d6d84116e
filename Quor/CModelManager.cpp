#include "Quor/CModelManager.h"

CModelManager* g_pModelManager = nullptr;

CModelManager::CModelManager(const char* directory) { CopyDirPath(m_directory, directory); }
