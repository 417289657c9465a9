#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include "platform/native.h"

namespace tallyx::platform::native {
namespace {

// The handler only writes a byte; whoever watches the reading end does the rest.
int g_pipe[2] = {-1, -1};

void OnEndSignal(int) {
  const char byte = 0;
  [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
}

}  // namespace

int CatchEndRequests() {
  if (::pipe(g_pipe) != 0) return -1;
  for (const int fd : g_pipe) {
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  struct sigaction action = {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  if (::sigaction(SIGTERM, &action, nullptr) != 0 || ::sigaction(SIGHUP, &action, nullptr) != 0) {
    return -1;
  }
  return g_pipe[0];
}

void DrainEndRequests() {
  char bytes[16];
  while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
  }
}

}  // namespace tallyx::platform::native
