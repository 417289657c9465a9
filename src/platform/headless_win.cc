// A run without a window on Windows.
#include <windows.h>

#include "platform/headless.h"

namespace tallyx::platform {
namespace {

// A standard handle that leads nowhere: none was handed in, or it names nothing (a handle of the
// starting process that this one does not have).
bool LeadsNowhere(HANDLE h) {
  return h == nullptr || h == INVALID_HANDLE_VALUE || ::GetFileType(h) == FILE_TYPE_UNKNOWN;
}

}  // namespace

void AttachStartingConsole() {
  const DWORD streams[] = {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
  bool nowhere[2] = {};
  for (int i = 0; i < 2; ++i) nowhere[i] = LeadsNowhere(::GetStdHandle(streams[i]));
  if (!nowhere[0] && !nowhere[1]) return;
  // Fails when the starting process has no console (Explorer, the Task Scheduler): the streams
  // then stay as they are, and what is written to them is lost as before.
  if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
  for (int i = 0; i < 2; ++i) {
    if (!nowhere[i]) continue;
    const HANDLE console =
        ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (console != INVALID_HANDLE_VALUE) ::SetStdHandle(streams[i], console);
  }
}

// The minimal platform with fonts takes the system's font list, as the windows platform does,
// without a screen or a window of its own.
const char* HeadlessQtPlatform() { return "minimal:enable_fonts"; }

}  // namespace tallyx::platform
