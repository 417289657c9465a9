// The listing that both file-system implementations fill.
#include <algorithm>

#include "platform/fs.h"
#include "platform/wildcard.h"

namespace tallyx::platform {

std::string_view FileList::name(std::size_t i) const {
  return std::string_view(arena_.data() + starts_[i]);
}

bool FileList::Contains(const FileId& id) const {
  return std::binary_search(ids_.begin(), ids_.end(), id);
}

void FileList::Add(std::string_view name, const std::optional<FileId>& id) {
  starts_.push_back(static_cast<std::uint32_t>(arena_.size()));
  arena_.append(name);
  arena_.push_back('\0');
  if (id) ids_.push_back(*id);
}

void FileList::Finish() {
  std::sort(starts_.begin(), starts_.end(), [this](std::uint32_t a, std::uint32_t b) {
    return NtfsNameLess(arena_.data() + a, arena_.data() + b);
  });
  std::sort(ids_.begin(), ids_.end());
  starts_.shrink_to_fit();
  ids_.shrink_to_fit();
}

void FileList::Clear() {
  arena_.clear();
  starts_.clear();
  ids_.clear();
}

}  // namespace tallyx::platform
