// A seam for tests: every file-system call of this layer is counted, and a test can make the
// call with a given number fail as if the operating system had refused it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tallyx::platform {

enum class FsCall { kOpen, kRead, kWrite, kFlush, kClose, kRename, kRemove, kList, kMakeDir };

namespace fault {

// One counted call, as the trace records it.
struct TracedCall {
  FsCall call;
  std::string path;          // the file or directory it concerns
  std::ptrdiff_t bytes = 0;  // bytes read or written, when it did so
  bool failed = false;       // the planned failure
};

// Starts counting from zero, disarms any planned failure and stops tracing.
void Reset();
// The call numbered `n` (1 for the first after Reset) fails; 0 plans no failure.
void FailCall(long n);
// The call numbered `n` and every call after it fail, as on a disk that has gone away.
void FailFrom(long n);
// Every later call of kind `call` first waits `milliseconds`, as on a slow network share (0
// ends the wait; Reset does too). Safe to set while another thread makes calls.
void SlowDown(FsCall call, int milliseconds);
// Calls counted since Reset.
long CallCount();
// Files opened through this layer and not closed yet.
int OpenHandles();
// Records every counted call from now until the next Reset; Trace()[n - 1] is call n.
void StartTrace();
const std::vector<TracedCall>& Trace();

// Used by the platform layer itself: counts one call and says whether it is to fail. Calls on
// an open file name it by its handle.
bool Intercept(FsCall call, std::string_view path);
bool Intercept(FsCall call, std::intptr_t handle);
// Makes the system's last error an input/output error, so that an injected failure reads as one
// (defined per system).
void SetInjectedError();
// The bytes the call counted last has read or written.
void Transferred(std::ptrdiff_t bytes);
void HandleOpened(std::intptr_t handle, std::string_view path);
void HandleClosed(std::intptr_t handle);

}  // namespace fault
}  // namespace tallyx::platform
