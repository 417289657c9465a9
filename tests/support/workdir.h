// A fresh directory per test, and running the real binaries in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tallyx::testing {

class WorkDir {
 public:
  WorkDir();
  ~WorkDir();
  WorkDir(const WorkDir&) = delete;
  WorkDir& operator=(const WorkDir&) = delete;

  // Absolute path of the directory, ending in the separator.
  const std::string& path() const { return path_; }
  // Path of `relative` inside the directory.
  std::string operator/(std::string_view relative) const;

  void Write(std::string_view relative, std::string_view bytes) const;
  void MakeDir(std::string_view relative) const;
  std::string Read(std::string_view relative) const;
  bool Exists(std::string_view relative) const;
  // Names in the directory (or a folder of it), sorted.
  std::vector<std::string> List(std::string_view relative = "") const;

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, std::string_view bytes);
// Paths outside a work directory (UTF-8).
bool PathExists(const std::string& path);
void MakeDirs(const std::string& path);
void RemoveAll(const std::string& path);

// Hides the file at `path` as the system does: the hidden attribute on Windows, a name that
// starts with "." elsewhere. Returns the file's path afterwards.
std::string HideFile(const std::string& path);

// Whether taking permissions away from a file or directory keeps this process out (not so for
// root, nor on Windows, where the permission bits say little).
bool PermissionsAreEnforced();

// Whether the desktop's opener is a program found on PATH ("xdg-open"), which a test can stand in
// for with a shell script; on Windows the shell's own "Open" answers.
bool OpenerIsAProgramOnPath();

struct ProcessResult {
  int exit_code = -1;
  std::string out;
  std::string err;
  long max_rss_kb = 0;     // the largest resident set the process had
  double seconds = 0;      // wall-clock time
  bool timed_out = false;  // killed after the time limit
};

// Sets an environment variable of this process (UTF-8 name and value).
void SetEnv(const std::string& name, const std::string& value);
void UnsetEnv(const std::string& name);

// Runs `program` with `args`, in `cwd` when given, with `env` entries ("NAME=value") added.
// Arguments and paths are UTF-8; on Windows they reach the program as UTF-16. With a time
// limit, a process still running after it is killed.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& cwd = "", const std::vector<std::string>& env = {},
                         int time_limit_seconds = 0);

}  // namespace tallyx::testing
