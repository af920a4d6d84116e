#pragma once
// One Lua script held in memory: its text, its name (the chunk name), the state it runs in and
// whether it has run. The "Script" resource owns it.

#include "Quor/CMemWatch.h"

#include <vector>

class CLuaState;

namespace Ombrel {

// Told when the script it listens to has been run again.
class CScriptReloadListener {
 public:
  virtual ~CScriptReloadListener() = default;
  virtual void OnScriptReload() = 0;
};

class CScript : public CMemWatch {
 public:
  CScript() = default;
  // Keeps the name and reads the file of that name through the file system.
  explicit CScript(const char* fileName);
  ~CScript() override;
  CScript(const CScript&) = delete;
  CScript& operator=(const CScript&) = delete;

  // Reads the file of the script's name; a missing file is reported ("No such file: %s") and
  // leaves the script empty.
  void LoadFromVfs();
  // Reads a plain file and takes its path as the name; false, with the script unchanged,
  // when the file cannot be opened.
  bool LoadFromFile(const char* path);
  // Runs the text in the script's state unless it has run and force is clear. A failing run
  // is reported and still counts as run.
  void Run(bool force);
  // Runs the text again and tells every listener.
  void Reload();

  void AddListener(CScriptReloadListener* listener) { m_listeners.push_back(listener); }
  // Removes the first occurrence; an absent listener is ignored.
  void RemoveListener(CScriptReloadListener* listener);

  void SetState(CLuaState* state) { m_state = state; }
  CLuaState* GetState() const { return m_state; }
  const char* GetText() const { return m_text; }
  const char* GetName() const { return m_name; }
  bool HasRun() const { return m_hasRun; }
  void MarkRun() { m_hasRun = true; }

 private:
  void SetName(const char* name);
  // Takes a new text of size bytes (filled by the caller) and clears the run flag.
  char* ReplaceText(size_t size);

  char* m_text = nullptr;
  CLuaState* m_state = nullptr;
  char* m_name = nullptr;
  std::vector<CScriptReloadListener*> m_listeners;  // not owned
  bool m_hasRun = false;
};

}  // namespace Ombrel
