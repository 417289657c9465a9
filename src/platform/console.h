// The standard streams of a command-line program, in UTF-8.
#pragma once

#include <ostream>

namespace tallyx::platform {

// Standard output and standard error for UTF-8 text. A Windows console is written in UTF-16, so
// that the text reads correctly whatever its code page; a file or a pipe receives the UTF-8 bytes
// as they are, without line-end translation.
std::ostream& Utf8Out();
std::ostream& Utf8Err();

}  // namespace tallyx::platform
