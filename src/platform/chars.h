// Facts about single bytes of UTF-8 and ASCII text.
#pragma once

#include <cstddef>

namespace tallyx::platform {

// The length of the UTF-8 sequence that `lead` begins, as its lead byte tells: 2 to 4 for a lead
// byte, 1 for any other byte (ASCII, or a continuation byte standing alone).
constexpr std::size_t Utf8SequenceLength(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// `c` with an ASCII lower-case letter made upper case; every other byte as it is.
constexpr char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace tallyx::platform
