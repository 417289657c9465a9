// The rules of paths as the directory and file dialogs hold them: "/" between the parts, and in
// front a root: "/", a drive's letter and ":" ("C:/data"), a network share ("//server/share/data")
// or the long forms of these two ("//?/C:/data", "//?/UNC/server/share/data"). The rules look at
// ASCII characters only, so they take the dialogs' UTF-16 text as it stands.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tallyx::text {

// The length of the root `path` begins with, its "/" included when it has one: "/" 1, "C:/" 3,
// "C:" 2, "//server/share/" 15 and "//server/share" 14, and the long forms' "//?/C:/" and
// "//?/UNC/server/share/". 0 for a relative path and for "//server" without a share.
std::size_t RootLength(std::u16string_view path);

// Whether `path` is a root without its final "/" ("C:", "//server/share"), whose directory is
// that root with "/" added.
bool IsBareRoot(std::u16string_view path);

// Whether `path` lies on a network share, in the plain or the long form.
bool IsShare(std::u16string_view path);

// `path` without the long form's prefix: "//?/C:/x" is "C:/x", "//?/UNC/server/share/x" is
// "//server/share/x"; any other path as it stands.
std::u16string WithoutLongPrefix(std::u16string_view path);

// Whether names on the volume whose root is `root` are the same in either case: those of a
// volume with a drive letter and of a network share are.
bool NamesIgnoreCase(std::u16string_view root);

// `path` split at its last "/". The directory part keeps that "/" when it is a root ("/out.csv",
// "C:/out.csv" and "//server/share/out.csv" lie in "/", "C:/" and "//server/share/"); a root
// alone is its own directory, with an empty name.
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

// The file URL of the absolute path `path` (UTF-8, "/" between the parts as in the rules above),
// with `anchor` as its fragment when given: "/doc/a b.html" is "file:///doc/a%20b.html",
// "C:/doc/a.html" "file:///C:/doc/a.html", "//server/share/a.html" "file://server/share/a.html";
// the long forms lose their prefix. Every byte but an ASCII letter, digit, "-", ".", "_", "~", "/"
// and ":" is percent-encoded, so that a browser reads it alike whatever the system's code page.
std::string FileUrl(std::string_view path, std::string_view anchor = {});

}  // namespace tallyx::text
