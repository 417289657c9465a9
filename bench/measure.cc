// Runs a command and prints its wall time in seconds and its peak resident memory in KiB, as
// "SECONDS KIB". The command's standard output is discarded; its standard error is kept. Exits
// with 1 when the command fails.
//
// With --repeat N the command runs N times one after the other, each argument's "{}" replaced by
// the run's number (1 to N), and the time printed is that of one run on average: short commands
// are timed over enough runs that start-up noise and the clock's grain do not decide.
//
// Usage: bench-measure [--repeat N] COMMAND [ARG...]
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Runs the command once; false when it failed. `*kib` grows to its peak resident memory.
bool RunOnce(char** argv, int number, long* kib) {
  std::vector<std::string> args;
  for (char** a = argv; *a != nullptr; ++a) {
    std::string arg = *a;
    for (std::size_t at; (at = arg.find("{}")) != std::string::npos;) {
      arg.replace(at, 2, std::to_string(number));
    }
    args.push_back(std::move(arg));
  }
  std::vector<char*> exec_args;
  for (std::string& arg : args) exec_args.push_back(arg.data());
  exec_args.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return false;
  if (pid == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) ::dup2(null, 1);
    ::execvp(exec_args[0], exec_args.data());
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  if (::wait4(pid, &status, 0, &usage) != pid) return false;
  if (usage.ru_maxrss > *kib) *kib = usage.ru_maxrss;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "bench-measure: %s failed (status %d)\n", exec_args[0], status);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  int repeat = 1;
  if (argc > 2 && std::strcmp(argv[1], "--repeat") == 0) {
    repeat = std::atoi(argv[2]);
    first = 3;
  }
  if (argc <= first || repeat < 1) {
    std::fprintf(stderr, "usage: bench-measure [--repeat N] COMMAND [ARG...]\n");
    return 64;
  }
  long kib = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int n = 1; n <= repeat; ++n) {
    if (!RunOnce(argv + first, n, &kib)) return 1;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%.6f %ld\n", seconds / repeat, kib);
  return 0;
}
