// Facts about the characters of UTF-8, ASCII and CP932 text.
#pragma once

#include <cstddef>
#include <string_view>

namespace tallyx::text {

// The length of the UTF-8 sequence that `lead` begins, as its lead byte tells: 2 to 4 for a lead
// byte, 1 for any other byte (ASCII, or a continuation byte standing alone).
constexpr std::size_t Utf8SequenceLength(unsigned char lead) {
  return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

// `c` with an ASCII lower-case letter made upper case; every other byte as it is.
constexpr char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// True for a byte that starts a two-byte CP932 character.
constexpr bool IsCp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsValidUtf8(std::string_view text);

// Whether `needle` occurs in `haystack`, both CP932, starting on a character boundary of
// `haystack`, so that a match never begins on the trail byte of a two-byte character.
bool ContainsCp932(std::string_view haystack, std::string_view needle);

}  // namespace tallyx::text
