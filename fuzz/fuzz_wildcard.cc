// The wildcard matcher against a plain dynamic-programming definition of the same rules, on
// texts taken as characters (a UTF-8 sequence or a stray byte): "*" any run of characters, "?"
// one character, any other character the same one, ASCII letters in either case. Input:
// pattern, NUL, name.
#include <cstdint>
#include <string_view>
#include <vector>

#include "check.h"
#include "text/wildcard.h"

namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::size_t CharLength(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  const std::size_t len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  if (i + len > s.size()) return 1;
  for (std::size_t k = 1; k < len; ++k) {
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  }
  return len;
}

bool Reference(std::string_view p, std::string_view n) {
  const std::size_t w = n.size() + 1;
  // m[i * w + j]: pattern from i matches name from j.
  std::vector<char> m((p.size() + 1) * w, 0);
  m[p.size() * w + n.size()] = 1;
  for (std::size_t i = p.size(); i-- > 0;) {
    for (std::size_t j = n.size() + 1; j-- > 0;) {
      bool ok;
      if (p[i] == '*') {
        ok = m[(i + 1) * w + j] || (j < n.size() && m[i * w + j + CharLength(n, j)]);
      } else if (p[i] == '?') {
        ok = j < n.size() && m[(i + 1) * w + j + CharLength(n, j)];
      } else {
        const std::size_t lp = CharLength(p, i);
        ok = j < n.size() && lp == CharLength(n, j) &&
             (lp == 1 ? Upper(p[i]) == Upper(n[j]) : p.substr(i, lp) == n.substr(j, lp)) &&
             m[(i + lp) * w + j + lp];
      }
      m[i * w + j] = ok;
    }
  }
  return m[0];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = input.find('\0');
  const std::string_view pattern = input.substr(0, nul);
  const std::string_view name = nul == std::string_view::npos ? "" : input.substr(nul + 1);
  if (pattern.size() > 512 || name.size() > 512) return 0;
  FUZZ_CHECK(tallyx::text::MatchWildcard(pattern, name) == Reference(pattern, name));

  // The listing order is a strict weak order.
  using tallyx::text::NtfsNameLess;
  FUZZ_CHECK(!NtfsNameLess(name, name));
  FUZZ_CHECK(!(NtfsNameLess(pattern, name) && NtfsNameLess(name, pattern)));
  return 0;
}
