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

struct ProcessResult {
  int exit_code = -1;
  std::string out;
  std::string err;
  long max_rss_kb = 0;     // the largest resident set the process had
  double seconds = 0;      // wall-clock time
  bool timed_out = false;  // killed after the time limit
};

// Runs `program` with `args`, in `cwd` when given, with `env` entries ("NAME=value") added. With
// a time limit, a process still running after it is killed.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& cwd = "", const std::vector<std::string>& env = {},
                         int time_limit_seconds = 0);

}  // namespace tallyx::testing
