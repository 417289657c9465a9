// tallyx-cli: one conversion run from the command line, without a window.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tallyx::app {

// Exit status of wrong usage (as sysexits' EX_USAGE).
inline constexpr int kUsageExit = 64;
// Exit status when --skip-broken left out every result file: the CSV holds its header only.
inline constexpr int kAllSkippedExit = 4;

// Runs the command line `args` (without the program name; UTF-8). Messages go to `out` and
// `err`. Returns the exit status: 0, the error number of a failed run, or kUsageExit.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace tallyx::app
