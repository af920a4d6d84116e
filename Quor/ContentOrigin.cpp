#include "Quor/ContentOrigin.h"

#include <vector>

namespace {
thread_local std::vector<std::string> t_origins;
}  // namespace

CContentOrigin::CContentOrigin(const char* fileName) {
  if (!fileName || !*fileName) return;
  t_origins.emplace_back(fileName);
  m_pushed = true;
}

CContentOrigin::~CContentOrigin() {
  if (m_pushed) t_origins.pop_back();
}

std::string CContentOrigin::Current() { return t_origins.empty() ? std::string() : t_origins.back(); }

std::string CContentOrigin::Clause() {
  return t_origins.empty() ? std::string() : ", named by \"" + t_origins.back() + "\"";
}
