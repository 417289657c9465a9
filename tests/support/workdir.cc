#include "support/workdir.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace tallyx::testing {

WorkDir::WorkDir() {
  std::string tmpl = (fs::temp_directory_path() / "tallyx-test-XXXXXX").string();
  if (::mkdtemp(tmpl.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl + "/";
}

WorkDir::~WorkDir() {
  std::error_code ec;
  // Tests may take permissions away; give them back so that everything can be removed.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
  fs::remove_all(path_, ec);
}

std::string WorkDir::operator/(std::string_view relative) const {
  return path_ + std::string(relative);
}

void WorkDir::Write(std::string_view relative, std::string_view bytes) const {
  WriteFile(*this / relative, bytes);
}

void WorkDir::MakeDir(std::string_view relative) const { fs::create_directories(*this / relative); }

std::string WorkDir::Read(std::string_view relative) const { return ReadFile(*this / relative); }

bool WorkDir::Exists(std::string_view relative) const {
  std::error_code ec;
  return fs::exists(fs::symlink_status(*this / relative, ec));
}

std::vector<std::string> WorkDir::List(std::string_view relative) const {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(*this / relative)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

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
