// The listing that both file-system implementations fill, and the search that fills it.
#include <algorithm>
#include <utility>

#include "platform/fs.h"
#include "text/wildcard.h"

namespace tallyx::platform {

std::string_view FileList::name(std::size_t i) const {
  return std::string_view(arena_.data() + starts_[i]);
}

bool FileList::Contains(const FileId& id) {
  if (lookups_ < 2 && ++lookups_ == 2) std::sort(ids_.begin(), ids_.end());
  if (lookups_ == 1) return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
  return std::binary_search(ids_.begin(), ids_.end(), id);
}

void FileList::Add(std::string_view name, const std::optional<FileId>& id) {
  starts_.push_back(static_cast<std::uint32_t>(arena_.size()));
  arena_.append(name);
  arena_.push_back('\0');
  if (id) ids_.push_back(*id);
}

void FileList::Finish() {
  std::vector<std::string_view> names;
  names.reserve(starts_.size());
  for (const std::uint32_t start : starts_) names.emplace_back(arena_.data() + start);
  text::SortNtfsNames(&names);
  // The names are laid out anew in their order: a run reads them one after the other, from
  // memory that the work between two files has long pushed out of the caches.
  std::string sorted;
  sorted.reserve(arena_.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    starts_[i] = static_cast<std::uint32_t>(sorted.size());
    sorted.append(names[i]);
    sorted.push_back('\0');
  }
  names = {};
  arena_.swap(sorted);
  starts_.shrink_to_fit();
  ids_.shrink_to_fit();
}

void FileList::Clear(std::string directory) {
  directory_ = std::move(directory);
  arena_.clear();
  starts_.clear();
  ids_.clear();
  lookups_ = 0;
}

bool FileSystem::ListMatchingFiles(const std::string& directory, std::string_view pattern,
                                   FileList* out) {
  // The search is for directory + pattern: a separator inside the pattern moves into the
  // directory part (on Windows "/" separates as well as "\", and "C:" names a drive's current
  // directory).
  std::string full = directory;
  full.append(pattern);
  std::size_t cut = full.size();
  while (cut > 0 && !IsPathSeparator(full[cut - 1])) --cut;
  const std::string dir = full.substr(0, cut);
  out->Clear(dir);
  return ListDirectory(dir, std::string_view(full).substr(cut), out);
}

}  // namespace tallyx::platform
