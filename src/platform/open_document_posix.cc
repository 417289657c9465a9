// Opening a document through the desktop's opener, xdg-open.
#include <errno.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/native.h"
#include "text/paths.h"

extern char** environ;

namespace tallyx::platform::native {
namespace {

using shell_code::kAccessDenied;
using shell_code::kFileNotFound;
using shell_code::kNoAssociation;
using shell_code::kOpened;
using shell_code::kPathNotFound;
using shell_code::kUnknownFailure;

// An opener still running after this long has started an application and waits for it.
constexpr auto kOpenerAnswersWithin = std::chrono::seconds(3);
constexpr auto kPollEvery = std::chrono::milliseconds(10);

std::string DirectoryOf(const std::string& path) {
  const std::size_t cut = path.rfind('/');
  if (cut == std::string::npos) return ".";
  return cut == 0 ? "/" : path.substr(0, cut);
}

// The opener takes an argument beginning with "-" for an option, and one with a ":" early on
// for a URL: an absolute path is neither.
std::string Absolute(const std::string& path) {
  if (path.front() == '/') return path;
  std::vector<char> buf(4096);
  while (::getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return "./" + path;
    buf.resize(buf.size() * 2);
  }
  return std::string(buf.data()) + "/" + path;
}

// The exit statuses of xdg-open.
enum OpenerExit {
  kOpenerSucceeded = 0,
  kOpenerFileNotFound = 2,
  kOpenerToolMissing = 3,
  kOpenerActionFailed = 4,  // also: the desktop found no application
};

int CodeOfExitStatus(int status) {
  if (!WIFEXITED(status)) return kUnknownFailure;
  switch (WEXITSTATUS(status)) {
    case kOpenerSucceeded:
      return kOpened;
    case kOpenerFileNotFound:
      return kFileNotFound;
    case kOpenerToolMissing:
    case kOpenerActionFailed:
      return kNoAssociation;
    default:
      return kUnknownFailure;
  }
}

// Why `path` cannot be opened (a shell_code), or kOpened when it is there to be read.
int LookAt(const std::string& path) {
  if (path.empty()) return kFileNotFound;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    struct stat dir;
    const bool in_a_directory =
        ::stat(DirectoryOf(path).c_str(), &dir) == 0 && S_ISDIR(dir.st_mode);
    return in_a_directory ? kFileNotFound : kPathNotFound;
  }
  if (::access(path.c_str(), R_OK) != 0) return kAccessDenied;
  return kOpened;
}

// Hands `argument` to the desktop's opener and takes its answer.
int RunOpener(std::string argument, const WhileWaiting& while_waiting) {
  std::string opener = "xdg-open";
  char* argv[] = {opener.data(), argument.data(), nullptr};
  posix_spawn_file_actions_t actions;
  ::posix_spawn_file_actions_init(&actions);
  ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  const int spawned = ::posix_spawnp(&pid, opener.c_str(), &actions, nullptr, argv, environ);
  ::posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return kNoAssociation;

  const auto give_up = std::chrono::steady_clock::now() + kOpenerAnswersWithin;
  for (;;) {
    int status = 0;
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return CodeOfExitStatus(status);
    if (done < 0 && errno != EINTR) return kUnknownFailure;
    if (std::chrono::steady_clock::now() >= give_up) break;
    if (while_waiting) while_waiting();
    std::this_thread::sleep_for(kPollEvery);
  }
  // It stays with the application it started; whenever it ends, it is reaped.
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return kOpened;
}

}  // namespace

int OpenDocument(const std::string& path, const WhileWaiting& while_waiting) {
  if (const int why = LookAt(path); why != kOpened) return why;
  return RunOpener(Absolute(path), while_waiting);
}

std::string InstalledGuide() {
  std::vector<char> buf(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buf.size()) {
      const std::string exe(buf.data(), static_cast<std::size_t>(n));
      const std::string guide = DirectoryOf(DirectoryOf(exe)) + "/share/doc/tallyx/guide.html";
      struct stat st;
      return ::stat(guide.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? guide : std::string();
    }
    buf.resize(buf.size() * 2);
  }
}

int OpenPage(const std::string& page, const std::string& anchor,
             const WhileWaiting& while_waiting) {
  if (const int why = LookAt(page); why != kOpened) return why;
  return RunOpener(text::FileUrl(Absolute(page), anchor), while_waiting);
}

}  // namespace tallyx::platform::native
