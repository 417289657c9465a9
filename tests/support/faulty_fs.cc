#include "support/faulty_fs.h"

#include <chrono>
#include <system_error>
#include <thread>

namespace tallyx::testing {

std::ostream& operator<<(std::ostream& out, FsCall call) {
  constexpr const char* kNames[] = {"open",   "read",   "write", "flush",   "close",
                                    "rename", "remove", "list",  "make-dir"};
  return out << kNames[static_cast<int>(call)];
}

// What the two kinds of file share: the file they wrap, its path for the trace, and closing.
template <typename File>
class FaultyFile : public File {
 public:
  FaultyFile(FaultyFileSystem* fs, std::unique_ptr<File> base, std::string path)
      : fs_(fs), base_(std::move(base)), path_(std::move(path)) {
    ++fs_->open_;
  }
  ~FaultyFile() override { FaultyFile::Close(); }

  bool Close() override {
    if (base_ == nullptr) return true;
    const bool injected = fs_->Count(FsCall::kClose, path_);
    const bool closed = fs_->Answered(base_->Close());
    base_.reset();
    --fs_->open_;
    return closed && !injected;
  }

 protected:
  FaultyFileSystem* fs_;
  std::unique_ptr<File> base_;  // null once closed
  std::string path_;
};

class FaultyInputFile final : public FaultyFile<platform::InputFile> {
 public:
  using FaultyFile::FaultyFile;

  std::ptrdiff_t Read(char* buf, std::size_t n) override {
    if (base_ == nullptr) return -1;
    std::size_t at = 0;
    if (fs_->Count(FsCall::kRead, path_, &at)) return -1;
    const std::ptrdiff_t got = base_->Read(buf, n);
    if (got < 0) {
      fs_->Answered(false);
      return got;
    }
    fs_->Transferred(at, got);
    return got;
  }
};

class FaultyOutputFile final : public FaultyFile<platform::OutputFile> {
 public:
  using FaultyFile::FaultyFile;

  bool Write(const char* data, std::size_t n, std::size_t* written) override {
    if (written != nullptr) *written = 0;
    if (base_ == nullptr) return false;
    std::size_t at = 0;
    if (fs_->Count(FsCall::kWrite, path_, &at)) return false;
    std::size_t done = 0;
    const bool ok = fs_->Answered(base_->Write(data, n, &done));
    fs_->Transferred(at, static_cast<std::ptrdiff_t>(done));
    if (written != nullptr) *written = done;
    return ok;
  }

  bool Flush() override {
    if (base_ == nullptr) return false;
    if (fs_->Count(FsCall::kFlush, path_)) return false;
    return fs_->Answered(base_->Flush());
  }
};

thread_local bool FaultyFileSystem::injected_error_ = false;

void FaultyFileSystem::Reset() {
  const std::lock_guard<std::mutex> lock(mutex_);
  calls_ = 0;
  fail_at_ = 0;
  fail_from_ = 0;
  fail_nth_ = 0;
  injected_error_ = false;
  trace_.clear();
  slow_ms_ = 0;
  slow_call_ = -1;
}

void FaultyFileSystem::SlowDown(FsCall call, int milliseconds) {
  slow_ms_ = milliseconds;
  slow_call_ = milliseconds > 0 ? static_cast<int>(call) : -1;
}

bool FaultyFileSystem::Count(FsCall call, std::string_view path, std::size_t* at) {
  if (slow_call_.load(std::memory_order_relaxed) == static_cast<int>(call)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(slow_ms_.load()));
  }
  const std::lock_guard<std::mutex> lock(mutex_);
  ++calls_;
  const bool nth = fail_nth_ != 0 && call == fail_call_ && path == fail_path_ && --fail_nth_ == 0;
  const bool fail =
      (fail_at_ != 0 && calls_ == fail_at_) || (fail_from_ != 0 && calls_ >= fail_from_) || nth;
  if (at != nullptr) *at = trace_.size();
  trace_.push_back(TracedCall{call, std::string(path), 0, fail});
  if (fail) injected_error_ = true;
  return fail;
}

void FaultyFileSystem::Transferred(std::size_t at, std::ptrdiff_t bytes) {
  const std::lock_guard<std::mutex> lock(mutex_);
  trace_[at].bytes = bytes;
}

template <typename Faulty, typename File>
std::unique_ptr<File> FaultyFileSystem::Opened(std::unique_ptr<File> base,
                                               const std::string& path) {
  if (!Answered(base != nullptr)) return nullptr;
  return std::make_unique<Faulty>(this, std::move(base), path);
}

std::unique_ptr<platform::InputFile> FaultyFileSystem::OpenInput(const std::string& path) {
  if (Count(FsCall::kOpen, path)) return nullptr;
  return Opened<FaultyInputFile>(base_.OpenInput(path), path);
}

std::unique_ptr<platform::InputFile> FaultyFileSystem::OpenListedInput(const std::string& path) {
  if (Count(FsCall::kOpen, path)) return nullptr;
  return Opened<FaultyInputFile>(base_.OpenListedInput(path), path);
}

std::unique_ptr<platform::OutputFile> FaultyFileSystem::CreateOutput(const std::string& path) {
  if (Count(FsCall::kOpen, path)) return nullptr;
  return Opened<FaultyOutputFile>(base_.CreateOutput(path), path);
}

bool FaultyFileSystem::ListDirectory(const std::string& directory, std::string_view name_pattern,
                                     platform::FileList* out) {
  if (Count(FsCall::kList, directory)) return false;
  return Answered(base_.ListDirectory(directory, name_pattern, out));
}

std::optional<platform::FileId> FaultyFileSystem::IdentityOf(const std::string& path) {
  return Answered(base_.IdentityOf(path));
}

bool FaultyFileSystem::PathExists(const std::string& path) {
  return Answered(base_.PathExists(path));
}

bool FaultyFileSystem::IsDirectory(const std::string& path) {
  return Answered(base_.IsDirectory(path));
}

bool FaultyFileSystem::MakeDirectory(const std::string& path) {
  if (Count(FsCall::kMakeDir, path)) return false;
  return Answered(base_.MakeDirectory(path));
}

bool FaultyFileSystem::RemoveFile(const std::string& path) {
  if (Count(FsCall::kRemove, path)) return false;
  return Answered(base_.RemoveFile(path));
}

bool FaultyFileSystem::ReplaceFile(const std::string& from, const std::string& to) {
  if (Count(FsCall::kRename, to)) return false;
  return Answered(base_.ReplaceFile(from, to));
}

platform::SystemFailure FaultyFileSystem::LastFailure() {
  if (injected_error_) {
    return {platform::FailureKind::kOther, std::make_error_code(std::errc::io_error).message()};
  }
  return base_.LastFailure();
}

}  // namespace tallyx::testing
