// tallyx-cli: one conversion run from the command line, without a window.
#pragma once

#include <string>
#include <vector>

#include "platform/system.h"

namespace tallyx::app {

// Exit status of wrong usage (as sysexits' EX_USAGE).
inline constexpr int kUsageExit = 64;
// Exit status when --skip-broken left out every result file: the CSV holds its header only.
inline constexpr int kAllSkippedExit = 4;

// Runs the command line `args` (without the program name; UTF-8) on `system`: its files, its
// environment (for the settings file), and its standard output and error for the messages.
// Returns the exit status: 0, the error number of a failed run, or kUsageExit.
int RunCli(const std::vector<std::string>& args, platform::System& system);

}  // namespace tallyx::app
