#include "platform/fault.h"

#include <atomic>
#include <chrono>
#include <map>
#include <thread>

namespace tallyx::platform::fault {
namespace {
long g_calls = 0;
long g_fail_at = 0;
long g_fail_from = 0;
int g_open = 0;
bool g_tracing = false;
std::vector<TracedCall> g_trace;
std::map<std::intptr_t, std::string> g_handle_paths;  // filled only while tracing
std::atomic<int> g_slow_call{-1};
std::atomic<int> g_slow_ms{0};

bool Count(FsCall call, std::string_view path) {
  if (g_slow_call.load(std::memory_order_relaxed) == static_cast<int>(call)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(g_slow_ms.load()));
  }
  ++g_calls;
  const bool fail =
      (g_fail_at != 0 && g_calls == g_fail_at) || (g_fail_from != 0 && g_calls >= g_fail_from);
  if (g_tracing) g_trace.push_back(TracedCall{call, std::string(path), 0, fail});
  if (fail) SetInjectedError();
  return fail;
}
}  // namespace

void Reset() {
  g_calls = 0;
  g_fail_at = 0;
  g_fail_from = 0;
  g_tracing = false;
  g_trace.clear();
  g_handle_paths.clear();
  SlowDown(FsCall::kOpen, 0);
}
void SlowDown(FsCall call, int milliseconds) {
  g_slow_ms = milliseconds;
  g_slow_call = milliseconds > 0 ? static_cast<int>(call) : -1;
}
void FailCall(long n) { g_fail_at = n; }
void FailFrom(long n) { g_fail_from = n; }
long CallCount() { return g_calls; }
int OpenHandles() { return g_open; }
void StartTrace() { g_tracing = true; }
const std::vector<TracedCall>& Trace() { return g_trace; }

bool Intercept(FsCall call, std::string_view path) { return Count(call, path); }

bool Intercept(FsCall call, std::intptr_t handle) {
  if (!g_tracing) return Count(call, {});
  const auto it = g_handle_paths.find(handle);
  return Count(call, it == g_handle_paths.end() ? std::string_view() : it->second);
}

void Transferred(std::ptrdiff_t bytes) {
  if (g_tracing && !g_trace.empty()) g_trace.back().bytes = bytes;
}

void HandleOpened(std::intptr_t handle, std::string_view path) {
  ++g_open;
  if (g_tracing) g_handle_paths[handle] = std::string(path);
}

void HandleClosed(std::intptr_t handle) {
  --g_open;
  g_handle_paths.erase(handle);
}

}  // namespace tallyx::platform::fault
