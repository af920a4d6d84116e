#pragma once
// A window system for the cursor set that records what it is asked: each cursor file gets an
// id of its own (its place in the load order, from 1), the cursors shown are kept in order and
// the pointer is a point that moves only when told.

#include "Src/Investigation/Vey_Cursor.h"

#include <algorithm>
#include <string>
#include <vector>

namespace cursortest {

inline const std::vector<std::string>& FileNames() {
  static const std::vector<std::string> names = {"Standard", "Object1", "Hidden", "Exit",  "Exit2", "Exit3",
                                                 "Exit4",    "Exit5",   "Exit6",  "Exit7", "Exit8", "Object2"};
  return names;
}

// The id the fake gives the file of that name ("Exit5"); none for "".
inline Vey::SystemCursorId FileId(const std::string& name) {
  const auto& names = FileNames();
  const auto found = std::find(names.begin(), names.end(), name);
  return found == names.end() ? Vey::kNoSystemCursor : Vey::SystemCursorId(found - names.begin() + 1);
}

class CFakeSystemCursor : public Vey::ISystemCursor {
 public:
  static inline bool switchOn = true;

  std::vector<std::string> loaded;
  std::vector<Vey::SystemCursorId> shown;
  bool overWindow = true;
  int32_t x = 0, y = 0;
  int moves = 0;

  Vey::SystemCursorId Load(const std::string& path) override {
    loaded.push_back(path);
    const std::string name = path.substr(path.rfind('/') + 1);
    return FileId(name.substr(0, name.size() - 4));
  }
  void Show(Vey::SystemCursorId cursor) override { shown.push_back(cursor); }
  bool GetPosition(int32_t& px, int32_t& py) override {
    px = x;
    py = y;
    return overWindow;
  }
  void SetPosition(int32_t px, int32_t py) override {
    x = px;
    y = py;
    ++moves;
  }
  bool IsSwitchOn() const override { return switchOn; }
};

}  // namespace cursortest
