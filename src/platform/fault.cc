#include "platform/fault.h"

namespace tallyx::platform::fault {
namespace {
long g_calls = 0;
long g_fail_at = 0;
int g_open = 0;
}  // namespace

void Reset() {
  g_calls = 0;
  g_fail_at = 0;
}
void FailCall(long n) { g_fail_at = n; }
long CallCount() { return g_calls; }
int OpenHandles() { return g_open; }

bool Intercept(FsCall) {
  ++g_calls;
  return g_fail_at != 0 && g_calls == g_fail_at;
}
void HandleOpened() { ++g_open; }
void HandleClosed() { --g_open; }

}  // namespace tallyx::platform::fault
