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

}  // namespace tallyx::platform
