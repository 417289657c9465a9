// The entry point of a command-line program. The system's own (main, or wmain on Windows, whose
// UTF-16 arguments bring any path whatever the system code page) lives in the platform layer and
// calls ProgramMain with the arguments after the program name in UTF-8.
#pragma once

#include <string>
#include <vector>

namespace tallyx::platform {

// Defined by the program that links the entry point.
int ProgramMain(const std::vector<std::string>& args);

}  // namespace tallyx::platform
