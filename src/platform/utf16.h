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
// UTF-16 text in the given Windows code page (CP_ACP for the system's ANSI code page); what it
// cannot hold becomes the code page's default character.
std::string ToCodePage(std::wstring_view utf16, unsigned int code_page);

// A UTF-8 path as the file calls take it: long paths in their long form ("\\?\C:\...",
// "\\?\UNC\server\share\..."), so that no limit of 260 characters applies; shorter ones as
// they are.
std::wstring FilePath(const std::string& path);
// The long form of any path: made absolute as the system resolves it, then prefixed.
std::wstring LongPathForm(const std::wstring& path);

}  // namespace tallyx::platform
