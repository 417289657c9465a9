// A seam for tests: every file-system call of this layer is counted, and a test can make the
// call with a given number fail as if the operating system had refused it.
#pragma once

namespace tallyx::platform {

enum class FsCall { kOpen, kRead, kWrite, kFlush, kClose, kRename, kRemove, kList };

namespace fault {

// Starts counting from zero and disarms any planned failure.
void Reset();
// The call numbered `n` (1 for the first after Reset) fails; 0 plans no failure.
void FailCall(long n);
// Calls counted since Reset.
long CallCount();
// Files opened through this layer and not closed yet.
int OpenHandles();

// Used by the platform layer itself: counts one call and says whether it is to fail.
bool Intercept(FsCall call);
void HandleOpened();
void HandleClosed();

}  // namespace fault
}  // namespace tallyx::platform
