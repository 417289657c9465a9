// The command line and the standard streams of a command-line program, in UTF-8.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tallyx::platform {

// The arguments after the program name as UTF-8, from the UTF-16 arguments of a Windows wmain,
// so that any path reaches the program whatever the system code page. Windows only.
std::vector<std::string> Utf8Arguments(int argc, const wchar_t* const* argv);

// Standard output and standard error for UTF-8 text. A Windows console is written in UTF-16, so
// that the text reads correctly whatever its code page; a file or a pipe receives the UTF-8 bytes
// as they are, without line-end translation.
std::ostream& Utf8Out();
std::ostream& Utf8Err();

}  // namespace tallyx::platform
