#include "platform/wildcard.h"

#include <algorithm>

namespace tallyx::platform {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Length of the UTF-8 character starting at s[i]; a stray byte counts as one character.
std::size_t CharLength(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  std::size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
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
  if (len == 1) return Upper(pattern[p]) == Upper(name[n]);
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
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(Upper(x)) < static_cast<unsigned char>(Upper(y));
  });
}

}  // namespace tallyx::platform
