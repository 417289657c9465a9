// CP932 (Shift_JIS, Windows code page 932) text conversions.
//
// The program keeps its own texts as UTF-8. Every file it reads or writes is CP932, so texts are
// encoded on the way out and decoded on the way in. Bytes that come from a result file are never
// passed through here: they are copied as they stand.
#pragma once

#include <string>
#include <string_view>

namespace tallyx::platform {

// Encodes UTF-8 text as CP932. A character CP932 cannot represent becomes "?". Text that is not
// valid UTF-8 (a file name made of raw bytes, say) is returned byte for byte.
std::string ToCp932(std::string_view utf8);

// Decodes CP932 text to UTF-8. A byte sequence that is not CP932 becomes U+FFFD.
std::string FromCp932(std::string_view cp932);

bool IsValidUtf8(std::string_view text);

// True for a byte that starts a two-byte CP932 character.
inline bool IsCp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Whether `needle` occurs in `haystack`, both CP932, starting on a character boundary of
// `haystack`, so that a match never begins on the trail byte of a two-byte character.
bool ContainsCp932(std::string_view haystack, std::string_view needle);

}  // namespace tallyx::platform
