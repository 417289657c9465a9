#include "text/paths.h"

#include <algorithm>

namespace tallyx::text {
namespace {

constexpr std::u16string_view kLongPrefix = u"//?/";
constexpr std::u16string_view kLongShare = u"//?/UNC/";

bool StartsWith(std::u16string_view text, std::u16string_view start) {
  return text.substr(0, start.size()) == start;
}

bool IsAsciiLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

bool StartsWithDrive(std::u16string_view path) {
  return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == u':';
}

// The length of "server/share/" (or "server/share" at the end) at the start of `rest`; 0 when
// either name is missing.
std::size_t ServerAndShareLength(std::u16string_view rest) {
  const std::size_t server_end = rest.find(u'/');
  if (server_end == 0 || server_end == std::u16string_view::npos) return 0;
  if (server_end + 1 == rest.size() || rest[server_end + 1] == u'/') return 0;
  const std::size_t share_end = rest.find(u'/', server_end + 1);
  return share_end == std::u16string_view::npos ? rest.size() : share_end + 1;
}

}  // namespace

std::size_t RootLength(std::u16string_view path) {
  if (StartsWith(path, kLongShare)) {
    const std::size_t share = ServerAndShareLength(path.substr(kLongShare.size()));
    return share == 0 ? 0 : kLongShare.size() + share;
  }
  if (StartsWith(path, kLongPrefix)) {
    const std::u16string_view rest = path.substr(kLongPrefix.size());
    if (!StartsWithDrive(rest)) return 0;
    return kLongPrefix.size() + (rest.size() > 2 && rest[2] == u'/' ? 3 : 2);
  }
  if (StartsWith(path, u"//")) {
    const std::size_t share = ServerAndShareLength(path.substr(2));
    return share == 0 ? 0 : 2 + share;
  }
  if (StartsWithDrive(path)) return path.size() > 2 && path[2] == u'/' ? 3 : 2;
  return StartsWith(path, u"/") ? 1 : 0;
}

bool IsBareRoot(std::u16string_view path) {
  const std::size_t root = RootLength(path);
  return root != 0 && root == path.size() && path.back() != u'/';
}

bool IsShare(std::u16string_view path) {
  return StartsWith(path, kLongShare) ||
         (StartsWith(path, u"//") && !StartsWith(path, kLongPrefix));
}

std::u16string WithoutLongPrefix(std::u16string_view path) {
  if (StartsWith(path, kLongShare)) return u"//" + std::u16string(path.substr(kLongShare.size()));
  if (StartsWith(path, kLongPrefix) && StartsWithDrive(path.substr(kLongPrefix.size()))) {
    return std::u16string(path.substr(kLongPrefix.size()));
  }
  return std::u16string(path);
}

bool NamesIgnoreCase(std::u16string_view root) {
  const std::u16string plain = WithoutLongPrefix(root);
  return StartsWithDrive(plain) || (IsShare(plain) && RootLength(plain) != 0);
}

std::optional<PathSplit> SplitPath(std::u16string_view path) {
  const std::size_t cut = path.rfind(u'/');
  if (cut == std::u16string_view::npos) return std::nullopt;
  const std::size_t root = RootLength(path);
  // Within a root the split is at the root's end: the root keeps its "/".
  if (cut < root) return PathSplit{root, std::max(cut + 1, root)};
  return PathSplit{cut, cut + 1};
}

std::u16string JoinPath(std::u16string_view directory, std::u16string_view name,
                        char16_t separator) {
  std::u16string path(directory);
  if (path.empty() || (path.back() != u'/' && path.back() != separator)) path += separator;
  path += name;
  return path;
}

std::string FileUrl(std::string_view path, std::string_view anchor) {
  std::string_view rest = path;
  // A share's server stands where a local path has its empty host.
  bool share = false;
  if (rest.substr(0, 8) == "//?/UNC/") {
    rest.remove_prefix(8);
    share = true;
  } else if (rest.substr(0, 4) == "//?/") {
    rest.remove_prefix(4);
  } else if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
    share = true;
  }
  const auto encode = [](std::string_view text, std::string& out) {
    constexpr char kHex[] = "0123456789ABCDEF";
    for (const char ch : text) {
      const auto c = static_cast<unsigned char>(ch);
      const bool plain_char = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                              (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                              c == '~' || c == '/' || c == ':';
      if (plain_char) {
        out += ch;
      } else {
        out += '%';
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
      }
    }
  };
  std::string url = "file://";
  if (!share && rest.substr(0, 1) != "/") url += '/';
  encode(rest, url);
  if (!anchor.empty()) {
    url += '#';
    encode(anchor, url);
  }
  return url;
}

}  // namespace tallyx::text
