// UTF-8 to UTF-16 and back, for the Windows calls that take wide strings. Used by the Windows
// implementation files only.
#pragma once

#include <string>
#include <string_view>

namespace tallyx::platform {

// Invalid UTF-8 sequences become U+FFFD.
std::wstring ToUtf16(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string FromUtf16(std::wstring_view utf16);

}  // namespace tallyx::platform
