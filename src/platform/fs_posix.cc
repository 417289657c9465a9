// File system on POSIX systems.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <system_error>

#include "platform/fs.h"
#include "platform/native.h"
#include "text/wildcard.h"

namespace tallyx::platform {
namespace {

FailureKind KindOf(int error) {
  switch (error) {
    case ENOENT:
      return FailureKind::kNoEntry;
    case EACCES:
    case EPERM:
      return FailureKind::kAccessDenied;
    case ENOSPC:
      return FailureKind::kDiskFull;
    case EROFS:
      return FailureKind::kReadOnly;
    case EISDIR:
      return FailureKind::kIsDirectory;
    case ENOTDIR:
      return FailureKind::kNotDirectory;
    case ENAMETOOLONG:
      return FailureKind::kNameTooLong;
    default:
      return FailureKind::kOther;
  }
}

FileId IdOf(const struct stat& st) {
  return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool CloseDescriptor(int* fd) {
  if (*fd < 0) return true;
  const int rc = ::close(*fd);
  *fd = -1;
  return rc == 0;
}

// Opens `path` with O_NONBLOCK, so that a FIFO or a device cannot hold the caller up, and keeps
// the descriptor only when `acceptable` takes the kind of file found. -1 on failure.
template <typename Acceptable>
int OpenWithoutBlocking(const std::string& path, int flags, Acceptable acceptable) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
  if (fd < 0) return -1;
  struct stat st;
  const bool known = ::fstat(fd, &st) == 0;
  if (!known || !acceptable(st.st_mode)) {
    const int error = !known ? errno : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = error;
    return -1;
  }
  // O_NONBLOCK means nothing for an ordinary file: two calls saved on every file of a run.
  if (!S_ISREG(st.st_mode)) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

class PosixInputFile final : public InputFile {
 public:
  // `ordinary`: known to be an ordinary file.
  PosixInputFile(int fd, bool ordinary) : fd_(fd), ordinary_(ordinary) {}
  ~PosixInputFile() override { Close(); }

  std::ptrdiff_t Read(char* buf, std::size_t n) override {
    if (fd_ < 0) return -1;
    // Until the file is known to be an ordinary one, its kind is asked before any read after
    // the first.
    if (read_before_ && !ordinary_) {
      struct stat st;
      ordinary_ = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
      if (!ordinary_) {
        errno = EINVAL;
        return -1;
      }
    }
    for (;;) {
      const ssize_t got = ::read(fd_, buf, n);
      if (got < 0) {
        if (errno == EINTR) continue;
        return -1;
      }
      read_before_ = true;
      return got;
    }
  }

  bool Close() override { return CloseDescriptor(&fd_); }

 private:
  int fd_;
  bool read_before_ = false;
  bool ordinary_;
};

class PosixOutputFile final : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : fd_(fd) {}
  ~PosixOutputFile() override { Close(); }

  bool Write(const char* data, std::size_t n, std::size_t* written) override {
    return WriteAll(data, n, written, [this](const char* part, std::size_t size) -> ssize_t {
      if (fd_ < 0) return -1;
      for (;;) {
        const ssize_t put = ::write(fd_, part, size);
        if (put >= 0 || errno != EINTR) return put;
      }
    });
  }

  bool Flush() override {
    if (fd_ < 0) return false;
    return ::fsync(fd_) == 0 || errno == EINVAL;  // EINVAL: a device without sync
  }

  bool Close() override { return CloseDescriptor(&fd_); }

 private:
  int fd_;
};

class PosixFileSystem final : public FileSystem {
 public:
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override {
    const int fd = OpenWithoutBlocking(path, O_RDONLY, [](mode_t m) { return S_ISREG(m); });
    if (fd < 0) return nullptr;
    return std::make_unique<PosixInputFile>(fd, true);
  }

  std::unique_ptr<InputFile> OpenListedInput(const std::string& path) override {
    // O_NONBLOCK keeps a FIFO from blocking the open and the reads; it means nothing for an
    // ordinary file.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return nullptr;
    return std::make_unique<PosixInputFile>(fd, false);
  }

  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override {
    const int fd = OpenWithoutBlocking(path, O_WRONLY | O_CREAT | O_TRUNC,
                                       [](mode_t m) { return !S_ISFIFO(m) && !S_ISDIR(m); });
    if (fd < 0) return nullptr;
    return std::make_unique<PosixOutputFile>(fd);
  }

  bool ListDirectory(const std::string& dir, std::string_view name_pattern,
                     FileList* out) override {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (d == nullptr) return false;
    std::unique_ptr<DIR, int (*)(DIR*)> guard(d, ::closedir);
    const int dfd = ::dirfd(d);
    struct stat dir_st;
    if (::fstat(dfd, &dir_st) != 0) return false;
    for (;;) {
      errno = 0;
      const struct dirent* e = ::readdir(d);
      if (e == nullptr) {
        if (errno != 0) return false;
        break;
      }
      const std::string_view name(e->d_name);
      if (name.empty() || name[0] == '.') continue;  // hidden, and "." and ".."
      if (!text::MatchWildcard(name_pattern, name)) continue;
      if (e->d_type == DT_REG) {
        out->Add(name, FileId{static_cast<std::uint64_t>(dir_st.st_dev),
                              static_cast<std::uint64_t>(e->d_ino)});
        continue;
      }
      if (e->d_type != DT_LNK && e->d_type != DT_UNKNOWN) continue;
      struct stat st;  // a link counts as what it points to
      if (::fstatat(dfd, e->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
      out->Add(name, IdOf(st));
    }
    out->Finish();
    return true;
  }

  std::optional<FileId> IdentityOf(const std::string& path) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return IdOf(st);
  }

  bool PathExists(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
  }

  bool IsDirectory(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  bool MakeDirectory(const std::string& path) override {
    return ::mkdir(path.c_str(), 0700) == 0 || (errno == EEXIST && IsDirectory(path));
  }

  bool RemoveFile(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

  bool ReplaceFile(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0;
  }

  SystemFailure LastFailure() override {
    const int error = errno;
    return {KindOf(error), std::generic_category().message(error)};
  }
};

}  // namespace

FileSystem& RealFileSystem() {
  static PosixFileSystem* const fs = new PosixFileSystem();  // never destroyed: threads may use it
  return *fs;
}

std::string native::GetEnv(const char* name) {
  const char* v = ::getenv(name);
  return v == nullptr ? std::string() : std::string(v);
}

}  // namespace tallyx::platform
