#include "Quor/CPathResolver.h"

#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string FoldCase(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return folded;
}

}  // namespace

std::string CPathResolver::ToSlashes(const std::string& path) {
  std::string converted = path;
  for (char& c : converted) {
    if (c == '\\') c = '/';
  }
  return converted;
}

const CPathResolver::SListing* CPathResolver::GetListing(const std::string& folder, bool rescanRecent) {
  std::error_code error;
  const std::string scanned = folder.empty() ? "." : folder;
  fs::file_time_type stamp = fs::last_write_time(scanned, error);
  if (error) return nullptr;
  auto cached = m_listings.find(folder);
  if (cached != m_listings.end() && cached->second.stamp == stamp && !(rescanRecent && cached->second.recent)) {
    return &cached->second;
  }

  SListing listing;
  listing.stamp = stamp;
  // Folder times are coarse: a name added within the same tick leaves the time unchanged.
  // A listing made that soon after a change is read again when a name is not in it.
  listing.recent = fs::file_time_type::clock::now() - stamp < std::chrono::seconds(2);
  for (fs::directory_iterator it(scanned, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    auto [slot, added] = listing.byFoldedName.emplace(FoldCase(name), name);
    // Two names that differ only by case: take the smaller one, whatever the listing order.
    if (!added && name < slot->second) slot->second = name;
  }
  return &(m_listings[folder] = std::move(listing));
}

bool CPathResolver::Resolve(const std::string& base, const std::string& relative, std::string* found) {
  std::string path = base;
  const std::string slashed = ToSlashes(relative);
  size_t begin = 0;
  while (begin <= slashed.size()) {
    size_t end = slashed.find('/', begin);
    if (end == std::string::npos) end = slashed.size();
    const std::string part = slashed.substr(begin, end - begin);
    const bool last = end == slashed.size();
    begin = end + 1;
    if (part.empty() || part == ".") continue;

    std::string next = path + part;
    std::error_code error;
    if (part != ".." && !fs::exists(next, error)) {
      const std::string folded = FoldCase(part);
      const SListing* listing = GetListing(path, false);
      if (listing && !listing->byFoldedName.count(folded) && listing->recent) listing = GetListing(path, true);
      if (!listing) return false;
      auto match = listing->byFoldedName.find(folded);
      if (match == listing->byFoldedName.end()) return false;
      next = path + match->second;
    }
    path = last ? next : next + "/";
  }
  *found = path;
  return true;
}
