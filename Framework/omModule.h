#pragma once
// The application's services: nine modules, each created once by the application. Five are
// kept for the whole run; the others live from the entry of a state that needs them to the
// next state switch.

#include "Quor/CMemWatch.h"

#include <cstdint>
#include <vector>

namespace Ombrel {

enum EModuleId : int32_t {
  kModuleAsset = 0,
  kModuleDebug = 1,
  kModuleSave = 2,
  kModuleInput = 3,
  kModuleScript = 4,
  kModuleNetwork = 5,
  kModulePhysics = 6,
  kModuleRender = 7,
  kModuleSound = 8,
};
constexpr int32_t kModuleCount = 9;

class IModule : public CMemWatch {
 public:
  IModule(const char* name, int32_t id) : m_name(name), m_id(id), m_weight(kModuleCount - 1 - id) {}

  // True only when the module was not initialised before; the module builds its objects here.
  virtual bool Init();
  // True only when the module was initialised; the module frees its objects here.
  virtual bool Shutdown();
  virtual void Disable() { m_enabled = false; }
  virtual void Enable() { m_enabled = true; }
  // Per-frame work; modules that need time read the engine's frame time themselves.
  virtual void Update() {}

  const char* GetName() const { return m_name; }
  int32_t GetId() const { return m_id; }
  int32_t GetWeight() const { return m_weight; }
  bool IsInitialised() const { return m_initialised; }
  bool IsEnabled() const { return m_enabled; }

 private:
  const char* m_name;
  int32_t m_id;
  int32_t m_weight;
  bool m_initialised = false;
  bool m_enabled = true;
};

// A module of which the program has one instance: it is reachable through Instance() from its
// construction to its destruction.
template <class TModule>
class CSingleModule : public IModule {
 public:
  static TModule* Instance() { return static_cast<TModule*>(s_instance); }

 protected:
  // Kept as the base until it is asked for: the derived part does not exist here yet.
  CSingleModule(const char* name, int32_t id) : IModule(name, id) { s_instance = this; }
  ~CSingleModule() override {
    if (s_instance == this) s_instance = nullptr;
  }

 private:
  static inline IModule* s_instance = nullptr;
};

using ModuleList = std::vector<IModule*>;

// Puts the module before the first one of smaller weight, else at the end, so equal weights
// keep the order in which they came.
void InsertByWeight(ModuleList& list, IModule* module);

}  // namespace Ombrel
