// Running programs and hiding files on POSIX systems.
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "support/workdir.h"

namespace tallyx::testing {

std::string HideFile(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  const std::string hidden = path.substr(0, name) + "." + path.substr(name);
  if (::rename(path.c_str(), hidden.c_str()) != 0) throw std::runtime_error("cannot hide " + path);
  return hidden;
}

bool PermissionsAreEnforced() { return ::geteuid() != 0; }

bool OpenerIsAProgramOnPath() { return true; }

void SetEnv(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

void UnsetEnv(const std::string& name) { ::unsetenv(name.c_str()); }

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& cwd, const std::vector<std::string>& env,
                         int time_limit_seconds) {
  WorkDir capture;
  const auto start = std::chrono::steady_clock::now();
  const std::string out_path = capture / "out", err_path = capture / "err";
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = ::open("/dev/null", O_RDONLY);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) ::_exit(126);
    for (const std::string& e : env) ::putenv(const_cast<char*>(e.c_str()));
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ProcessResult r;
  int status = 0;
  struct rusage usage {};
  if (time_limit_seconds > 0) {
    const auto deadline = start + std::chrono::seconds(time_limit_seconds);
    while (::wait4(pid, &status, WNOHANG, &usage) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid, SIGKILL);
        ::wait4(pid, &status, 0, &usage);
        r.timed_out = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  } else {
    ::wait4(pid, &status, 0, &usage);
  }
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.max_rss_kb = usage.ru_maxrss;
  r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  r.out = ReadFile(out_path);
  r.err = ReadFile(err_path);
  return r;
}

}  // namespace tallyx::testing
