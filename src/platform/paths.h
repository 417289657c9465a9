// The rules of paths as the directory and file dialogs hold them: "/" between the parts, and on
// a volume with a drive letter the letter and ":" in front ("C:/data"). The rules look at ASCII
// characters only, so they take the dialogs' UTF-16 text as it stands.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tallyx::platform {

// Whether `path` is a drive's letter and colon alone ("C:"), whose root is "C:/".
bool IsBareDrive(std::u16string_view path);

// Whether names on the volume whose root is `root` are the same in either case: those of a
// volume with a drive letter are.
bool NamesIgnoreCase(std::u16string_view root);

// `path` split at its last "/". The directory part keeps that "/" when it is a root ("/out.csv"
// and "C:/out.csv" lie in "/" and "C:/").
struct PathSplit {
  std::size_t directory_length;
  std::size_t name_start;
};
// None when `path` holds no "/".
std::optional<PathSplit> SplitPath(std::u16string_view path);

// `directory` and `name` joined by `separator`; none is added when the directory ends in "/" or
// in `separator` already (a root).
std::u16string JoinPath(std::u16string_view directory, std::u16string_view name,
                        char16_t separator = u'/');

}  // namespace tallyx::platform
