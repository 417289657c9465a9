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

#include "platform/fault.h"
#include "platform/fs.h"
#include "platform/wildcard.h"

namespace tallyx::platform {
namespace {

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

FileId IdOf(const struct stat& st) {
  return FileId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool CloseHandle(std::intptr_t* handle) {
  if (*handle < 0) return true;
  const bool injected = fault::Intercept(FsCall::kClose, *handle);
  const int rc = ::close(Fd(*handle));
  fault::HandleClosed(*handle);
  *handle = -1;
  return rc == 0 && !injected;
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
  fault::HandleOpened(fd, path);
  return fd;
}

}  // namespace

bool InputFile::Open(const std::string& path) {
  Close();
  if (fault::Intercept(FsCall::kOpen, path)) return false;
  handle_ = OpenWithoutBlocking(path, O_RDONLY, [](mode_t m) { return S_ISREG(m); });
  read_before_ = false;
  ordinary_ = true;
  return handle_ >= 0;
}

bool InputFile::OpenListed(const std::string& path) {
  Close();
  if (fault::Intercept(FsCall::kOpen, path)) return false;
  // O_NONBLOCK keeps a FIFO from blocking the open and the reads; it means nothing for an
  // ordinary file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return false;
  handle_ = fd;
  read_before_ = false;
  ordinary_ = false;
  fault::HandleOpened(fd, path);
  return true;
}

std::ptrdiff_t InputFile::Read(char* buf, std::size_t n) {
  if (handle_ < 0) return -1;
  if (fault::Intercept(FsCall::kRead, handle_)) return -1;
  // Until the file is known to be an ordinary one, its kind is asked before any read after the
  // first.
  if (read_before_ && !ordinary_) {
    struct stat st;
    ordinary_ = ::fstat(Fd(handle_), &st) == 0 && S_ISREG(st.st_mode);
    if (!ordinary_) {
      errno = EINVAL;
      return -1;
    }
  }
  for (;;) {
    const ssize_t got = ::read(Fd(handle_), buf, n);
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    read_before_ = true;
    fault::Transferred(got);
    return got;
  }
}

bool InputFile::Close() { return CloseHandle(&handle_); }

bool OutputFile::Create(const std::string& path) {
  Close();
  if (fault::Intercept(FsCall::kOpen, path)) return false;
  handle_ = OpenWithoutBlocking(path, O_WRONLY | O_CREAT | O_TRUNC,
                                [](mode_t m) { return !S_ISFIFO(m) && !S_ISDIR(m); });
  return handle_ >= 0;
}

bool OutputFile::Write(const char* data, std::size_t n, std::size_t* written) {
  std::size_t done = 0;
  if (written != nullptr) *written = 0;
  if (handle_ < 0) return false;
  if (fault::Intercept(FsCall::kWrite, handle_)) return false;
  while (done < n) {
    const ssize_t put = ::write(Fd(handle_), data + done, n - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) break;
    done += static_cast<std::size_t>(put);
  }
  fault::Transferred(static_cast<std::ptrdiff_t>(done));
  if (written != nullptr) *written = done;
  return done == n;
}

bool OutputFile::Flush() {
  if (handle_ < 0) return false;
  if (fault::Intercept(FsCall::kFlush, handle_)) return false;
  return ::fsync(Fd(handle_)) == 0 || errno == EINVAL;  // EINVAL: a device without sync
}

bool OutputFile::Close() { return CloseHandle(&handle_); }

bool ListMatchingFiles(const std::string& directory, std::string_view pattern, FileList* out) {
  // The search is for directory + pattern: a separator inside the pattern moves into the
  // directory part.
  std::string full = directory;
  full.append(pattern);
  const std::size_t cut = full.rfind(kSeparator);
  const std::string dir = cut == std::string::npos ? std::string() : full.substr(0, cut + 1);
  const std::string name_pattern = cut == std::string::npos ? full : full.substr(cut + 1);
  out->Clear(dir);

  if (fault::Intercept(FsCall::kList, dir)) return false;
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
    if (!MatchWildcard(name_pattern, name)) continue;
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

std::optional<FileId> IdentityOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return IdOf(st);
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectory(const std::string& path) {
  if (fault::Intercept(FsCall::kMakeDir, path)) return false;
  return ::mkdir(path.c_str(), 0700) == 0 || (errno == EEXIST && IsDirectory(path));
}

bool RemoveFile(const std::string& path) {
  if (fault::Intercept(FsCall::kRemove, path)) return false;
  return ::unlink(path.c_str()) == 0;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  if (fault::Intercept(FsCall::kRename, to)) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

std::string LastErrorText() { return std::generic_category().message(errno); }

namespace fault {
void SetInjectedError() { errno = EIO; }
}  // namespace fault

std::string GetEnv(const char* name) {
  const char* v = ::getenv(name);
  return v == nullptr ? std::string() : std::string(v);
}

}  // namespace tallyx::platform
