#include "text/chars.h"

namespace tallyx::text {

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    // A continuation byte, an overlong two-byte form or a start beyond U+10FFFF.
    if (c < 0xC2 || c > 0xF4) return false;
    const size_t len = Utf8SequenceLength(c);
    char32_t cp = c & (0x7Fu >> len);
    if (n - i < len) return false;
    for (size_t k = 1; k < len; ++k) {
      const auto t = static_cast<unsigned char>(text[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
      return false;
    }
    i += len;
  }
  return true;
}

bool ContainsCp932(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return true;
  size_t i = 0;
  while (i < haystack.size() && haystack.size() - i >= needle.size()) {
    if (haystack.compare(i, needle.size(), needle) == 0) return true;
    i += IsCp932LeadByte(static_cast<unsigned char>(haystack[i])) ? 2 : 1;
  }
  return false;
}

}  // namespace tallyx::text
