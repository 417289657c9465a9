#include "platform/paths.h"

namespace tallyx::platform {

bool IsBareDrive(std::u16string_view path) { return path.size() == 2 && path[1] == u':'; }

bool NamesIgnoreCase(std::u16string_view root) { return root.size() >= 2 && root[1] == u':'; }

std::optional<PathSplit> SplitPath(std::u16string_view path) {
  const std::size_t cut = path.rfind(u'/');
  if (cut == std::u16string_view::npos) return std::nullopt;
  const bool root = cut == 0 || IsBareDrive(path.substr(0, cut));
  return PathSplit{root ? cut + 1 : cut, cut + 1};
}

std::u16string JoinPath(std::u16string_view directory, std::u16string_view name,
                        char16_t separator) {
  std::u16string path(directory);
  if (path.empty() || (path.back() != u'/' && path.back() != separator)) path += separator;
  path += name;
  return path;
}

}  // namespace tallyx::platform
