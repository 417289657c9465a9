// Opening a document with the application that the desktop associates with it.
#pragma once

#include <functional>
#include <string>

namespace tallyx::platform {

// Called over and over while OpenDocument waits for the desktop's opener, so that the caller's
// windows keep painting.
using WhileWaiting = std::function<void()>;

// Opens the document at `path` (UTF-8) with the application the desktop associates with it and
// returns the outcome as the Windows shell reports it: above 32 on success, else a failure code
// (2 file not found, 3 path not found, 5 access denied, 31 no application for it, ...) that
// shell::OpenFailureErrorNumber turns into an error number.
//
// On Windows the shell's "Open" does it, with the desktop window as owner, "C:\" as working
// directory, shown normally. Elsewhere the path is looked at first (missing file 2, missing
// directory 3, unreadable 5), then the desktop's opener `xdg-open` is started and its exit
// status taken: 0 success, 2 file not found, 3 or 4 (no tool, or no application) 31, any other
// 0; an opener that is missing or cannot be started gives 31. One still running after three
// seconds has started an application: success. `while_waiting` runs meanwhile.
int OpenDocument(const std::string& path, const WhileWaiting& while_waiting = {});

}  // namespace tallyx::platform
