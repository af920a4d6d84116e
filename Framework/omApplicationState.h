#pragma once
// An application state: one screen of the program. The application calls its operations in
// a fixed order around the frame loop and owns it once it is registered.

#include "Framework/omApplicationEvent.h"
#include "Quor/CMemWatch.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace Ombrel {

class CAppConfig;
class CEventManager;
class CXmlDictionary;

class IApplicationState : public CMemWatch {
 public:
  IApplicationState(CAppEventHandler<CApplicationEvent>* application, CAppConfig* config)
      : m_application(application), m_config(config) {}

  // Hands the integer to a parameter object; no state of this program installs one.
  virtual void SetParam(int32_t param);
  virtual void SetArgs(const char*) {}
  virtual void PreLoad() {}
  virtual void Init() {}
  virtual void Release() {}
  virtual void Start() {}
  virtual void ProcessInput(float) {}
  virtual void Update(float) {}

  // Called by the application's registration.
  void Attach(CEventManager* events, CXmlDictionary* dictionary, int32_t id);

  const std::vector<int32_t>& GetRequiredModules() const { return m_requiredModules; }
  bool RequiresModule(int32_t moduleId) const;
  int32_t GetId() const { return m_id; }
  CEventManager* GetEventManager() const { return m_events; }
  CXmlDictionary* GetDictionary() const { return m_dictionary; }

 protected:
  void RequireModules(std::initializer_list<int32_t> ids);
  // Posts an event to the application.
  void Post(const CApplicationEvent& event) { m_application->HandleEvent(event); }
  CAppConfig* GetConfig() const { return m_config; }
  CAppEventHandler<CApplicationEvent>* GetApplication() const { return m_application; }

 private:
  std::vector<int32_t> m_requiredModules;
  CAppEventHandler<CApplicationEvent>* m_application;
  CAppConfig* m_config;
  CEventManager* m_events = nullptr;
  CXmlDictionary* m_dictionary = nullptr;
  int32_t m_id = -1;
};

}  // namespace Ombrel
