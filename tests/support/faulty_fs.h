// A file system for tests that wraps another one: it counts and records every call that can
// fail, and makes the call with a given number fail as if the operating system had refused it.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs.h"

namespace tallyx::testing {

// The calls that are counted: opening, reading, writing, flushing (the sync to the disk) and
// closing files, and renaming, removing, listing and making directories.
enum class FsCall { kOpen, kRead, kWrite, kFlush, kClose, kRename, kRemove, kList, kMakeDir };
// Its name ("open", "flush", ...), for test messages.
std::ostream& operator<<(std::ostream& out, FsCall call);

// One counted call, as the trace records it.
struct TracedCall {
  FsCall call;
  std::string path;          // the file or directory it concerns (of a rename: the target)
  std::ptrdiff_t bytes = 0;  // bytes read or written, when it did so
  bool failed = false;       // the planned failure
};

// Safe to call from several threads: calls are numbered in the order they reach it, and an
// injected failure is the last error of the thread that made the call.
class FaultyFileSystem final : public platform::FileSystem {
 public:
  explicit FaultyFileSystem(platform::FileSystem& base = platform::RealFileSystem())
      : base_(base) {}

  // Starts counting from zero, empties the trace, disarms any planned failure and ends a
  // slow-down.
  void Reset();
  // The call numbered `n` (1 for the first after Reset) fails; 0 plans no failure.
  void FailCall(long n) { fail_at_ = n; }
  // The call numbered `n` and every call after it fail, as on a disk that has gone away.
  void FailFrom(long n) { fail_from_ = n; }
  // The `nth` call of kind `call` on `path` fails, whatever its number: the same call in runs
  // whose calls come in an order that varies.
  void FailNth(FsCall call, std::string path, long nth) {
    fail_call_ = call;
    fail_path_ = std::move(path);
    fail_nth_ = nth;
  }
  // Every later call of kind `call` first waits `milliseconds`, as on a slow network share (0
  // ends the wait). Safe to set while another thread makes calls.
  void SlowDown(FsCall call, int milliseconds);
  // Calls counted since Reset.
  long CallCount() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }
  // Files opened through this file system and not closed yet.
  int OpenHandles() const { return open_; }
  // Every call counted since Reset; Trace()[n - 1] is call n.
  const std::vector<TracedCall>& Trace() const { return trace_; }

  std::unique_ptr<platform::InputFile> OpenInput(const std::string& path) override;
  std::unique_ptr<platform::InputFile> OpenListedInput(const std::string& path) override;
  std::unique_ptr<platform::OutputFile> CreateOutput(const std::string& path) override;
  bool ListDirectory(const std::string& directory, std::string_view name_pattern,
                     platform::FileList* out) override;
  std::optional<platform::FileId> IdentityOf(const std::string& path) override;
  bool PathExists(const std::string& path) override;
  bool IsDirectory(const std::string& path) override;
  bool MakeDirectory(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool ReplaceFile(const std::string& from, const std::string& to) override;
  // An injected failure reads as an input/output error.
  platform::SystemFailure LastFailure() override;

 private:
  template <typename File>
  friend class FaultyFile;
  friend class FaultyInputFile;
  friend class FaultyOutputFile;

  // Counts one call and says whether it is to fail; `*at` (when given) receives its place in
  // the trace.
  bool Count(FsCall call, std::string_view path, std::size_t* at = nullptr);
  // The bytes the call at `at` has read or written.
  void Transferred(std::size_t at, std::ptrdiff_t bytes);
  // Passes on what a call of the wrapped file system answered; a failure of its own makes its
  // error the last one, as the system's error number would.
  template <typename T>
  T Answered(T answer) {
    if (!answer) injected_error_ = false;
    return answer;
  }
  // Wraps a file that the wrapped file system opened, if it did.
  template <typename Faulty, typename File>
  std::unique_ptr<File> Opened(std::unique_ptr<File> base, const std::string& path);

  platform::FileSystem& base_;
  mutable std::mutex mutex_;  // guards the counting and the trace
  long calls_ = 0;
  long fail_at_ = 0;
  long fail_from_ = 0;
  FsCall fail_call_ = FsCall::kOpen;
  std::string fail_path_;
  long fail_nth_ = 0;  // 0: none
  std::atomic<int> open_{0};
  static thread_local bool injected_error_;  // this thread's last failure was an injected one
  std::vector<TracedCall> trace_;
  std::atomic<int> slow_call_{-1};
  std::atomic<int> slow_ms_{0};
};

}  // namespace tallyx::testing
