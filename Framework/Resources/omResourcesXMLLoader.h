#pragma once
// XML resource lists: a list names, per resource, its type (the element's name), its name, its
// file and the type's own options. The reader parses a list (following "Directory", "Image",
// "Condition" and "Include") into entries, then creates one resource per entry, in file order,
// into the resource manager's current group. It lives on its caller's stack for one load.

#include "Quor/CList.h"
#include "Quor/CMemWatch.h"
#include "Quor/CStr.h"
#include "Quor/CStringHash.h"

#include <memory>
#include <string>
#include <vector>

class TiXmlElement;

namespace Ombrel {

class CResourceBase;
class CResourceManager;

class CResourcesLoader : public CMemWatch {
 public:
  enum EReuse { kReuseNone = 0, kReusePresent = 1 };

  explicit CResourcesLoader(CResourceManager* manager) : m_manager(manager) {}

  // The reader's own value and that of every registered resource loader.
  void SetDirectory(const CStr& path);
  void SetRootPath(const CStr& path);
  const CStr& GetDirectory() const { return m_directory; }
  const CStr& GetRootPath() const { return m_rootPath; }

  // A condition holds when every value a "Condition" element names is defined true here.
  void DefineCondition(const char* name, bool value);
  bool ConditionHolds(const TiXmlElement& condition) const;

  void SetReuseMode(int mode) { m_reuseMode = mode; }
  // Off: what the reader makes joins no group, for a caller that holds it itself.
  void SetJoinGroup(bool join) { m_joinGroup = join; }
  void SetFlags(bool load, bool explicitDir) {
    m_load = load;
    m_explicitDir = explicitDir;
  }
  bool GetLoadFlag() const { return m_load; }
  bool GetExplicitDirFlag() const { return m_explicitDir; }

  // The new resource, registered (in the current group unless told otherwise); the present one in reuse mode; else
  // null (unregistered type, or the name taken in that type).
  CResourceBase* CreateResource(const CStr& name, const CStr& typeKey, const CStr& fileName,
                                const TiXmlElement& element);

 protected:
  CResourceManager* m_manager;

 private:
  CStr m_rootPath;
  CStr m_directory;
  CStringHash<bool> m_conditions;
  bool m_load = true;
  bool m_explicitDir = false;
  int m_reuseMode = kReuseNone;
  bool m_joinGroup = true;
};

struct SResourceEntry {
  CStr directory;
  bool load = true;
  bool explicitDir = false;
  std::unique_ptr<TiXmlElement> element;  // a deep copy: entries outlive their document
  std::string list;                        // the file that declared it
};

class CResourcesXMLLoader : public CResourcesLoader {
 public:
  // Includes nested deeper than this are cut, whatever their names.
  static constexpr size_t kMaxIncludeDepth = 32;

  explicit CResourcesXMLLoader(CResourceManager* manager);
  ~CResourcesXMLLoader() override;

  void ClearEntries();
  // Parses the file into entries after those present; creates nothing.
  void LoadFile(const CStr& fileName);
  // The same over a list already in memory; fileName names it in reports and cycles.
  void LoadText(const CStr& fileName, const std::string& text);
  void ReadChildren(const TiXmlElement& element);
  // Creates the resources of every entry, then drops the entries. With progress, the current
  // loading screen shows how many are done.
  void LoadResources(std::vector<CResourceBase*>* created, bool progress);
  // ClearEntries, LoadFile, LoadResources with progress.
  void Load(const CStr& fileName);
  // ClearEntries, ReadChildren, LoadResources into the list, without progress.
  void LoadFromElement(const TiXmlElement& element, std::vector<CResourceBase*>* created);

  size_t GetEntryCount() const { return m_entries.size(); }
  const SResourceEntry& GetEntry(size_t index) const { return m_entries[index]; }

 private:
  void ReadDirectory(const TiXmlElement& directory);
  void ReadInclude(const TiXmlElement& include);
  void AddEntry(const TiXmlElement& declaration);

  std::vector<SResourceEntry> m_entries;
  std::vector<std::string> m_openFiles;  // the lists being read, outermost first
};

}  // namespace Ombrel
