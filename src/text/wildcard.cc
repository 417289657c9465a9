#include "text/wildcard.h"

#include <algorithm>
#include <cstdint>

#include "text/chars.h"

namespace tallyx::text {
namespace {

// Length of the UTF-8 character starting at s[i]; a stray byte counts as one character.
std::size_t CharLength(std::string_view s, std::size_t i) {
  const std::size_t len = Utf8SequenceLength(static_cast<unsigned char>(s[i]));
  if (i + len > s.size()) return 1;
  for (std::size_t k = 1; k < len; ++k) {
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  }
  return len;
}

// Whether the characters at pattern[p] and name[n] are the same: the same bytes, ASCII letters
// in either case. A byte that is no whole character never matches part of one.
bool SameChar(std::string_view pattern, std::size_t p, std::string_view name, std::size_t n) {
  const std::size_t len = CharLength(pattern, p);
  if (len != CharLength(name, n)) return false;
  if (len == 1) return AsciiUpper(pattern[p]) == AsciiUpper(name[n]);
  return pattern.substr(p, len) == name.substr(n, len);
}

}  // namespace

// Both texts are taken character by character (a stray byte is a character of its own), so
// that every position stays on a character boundary and the last "*" is the only one that
// ever needs to take more.
bool MatchWildcard(std::string_view pattern, std::string_view name) {
  std::size_t p = 0, n = 0;
  // Where to resume after the last "*": pattern position after it, and the name position it
  // has swallowed up to.
  std::size_t star_p = std::string_view::npos, star_n = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star_p = ++p;
      star_n = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += CharLength(name, n);
    } else if (p < pattern.size() && SameChar(pattern, p, name, n)) {
      p += CharLength(pattern, p);
      n += CharLength(name, n);
    } else if (star_p != std::string_view::npos) {
      p = star_p;
      star_n += CharLength(name, star_n);
      n = star_n;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool NtfsNameLess(std::string_view a, std::string_view b) {
  // Names in one listing share long prefixes: equal bytes are passed without upper-casing.
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;
    const auto x = static_cast<unsigned char>(AsciiUpper(a[i]));
    const auto y = static_cast<unsigned char>(AsciiUpper(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

void SortNtfsNames(std::vector<std::string_view>* names) {
  if (names->size() < 2) return;
  // The upper-cased prefix that every name shares decides nothing; the eight bytes after it,
  // upper-cased into one number (0 past the end, so that a shorter name sorts first), decide
  // almost every comparison without touching the names.
  const std::string_view first = names->front();
  std::size_t common = first.size();
  for (const std::string_view name : *names) {
    const std::size_t limit = std::min(common, name.size());
    std::size_t i = 0;
    while (i < limit && AsciiUpper(name[i]) == AsciiUpper(first[i])) ++i;
    common = i;
  }
  struct Keyed {
    std::uint64_t key;
    std::uint32_t index;
  };
  std::vector<Keyed> keyed;
  keyed.reserve(names->size());
  for (std::size_t n = 0; n < names->size(); ++n) {
    const std::string_view name = (*names)[n];
    std::uint64_t key = 0;
    for (std::size_t i = common; i < common + 8; ++i) {
      key = key << 8 | (i < name.size() ? static_cast<unsigned char>(AsciiUpper(name[i])) : 0u);
    }
    keyed.push_back({key, static_cast<std::uint32_t>(n)});
  }
  std::sort(keyed.begin(), keyed.end(), [names](const Keyed& a, const Keyed& b) {
    if (a.key != b.key) return a.key < b.key;
    return NtfsNameLess((*names)[a.index], (*names)[b.index]);
  });
  std::vector<std::string_view> sorted;
  sorted.reserve(keyed.size());
  for (const Keyed& k : keyed) sorted.push_back((*names)[k.index]);
  names->swap(sorted);
}

}  // namespace tallyx::text
