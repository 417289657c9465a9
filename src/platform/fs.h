// Files and directories, as the conversion and the settings store need them. Paths are UTF-8.
// The code that uses them is handed a FileSystem, so that tests can hand it one that fails.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/byte_stream.h"

namespace tallyx::platform {

#ifdef _WIN32
// Per-user settings lie in the directory "TEMP" names or in the current directory.
inline constexpr bool kHasUserConfigHome = false;
// The default places are the Windows ones, "C:\Kyrova\...".
inline constexpr bool kDefaultPlacesUnderHome = false;
// Disk cleanup empties "TEMP": every save also keeps a copy of the settings in "APPDATA".
inline constexpr bool kKeepsSettingsCopy = true;
inline constexpr char kSeparator = '\\';
// Characters that end a directory part of a path: "\", "/" and a drive's ":".
inline constexpr bool IsPathSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }
// Whether `path` means the same place from any current directory: "C:\..." or "\\server\...".
inline constexpr bool IsAbsolutePath(std::string_view path) {
  const auto slash = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 2 && slash(path[0]) && slash(path[1])) return true;
  return path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') &&
         path[1] == ':' && slash(path[2]);
}
#else
// Per-user settings may lie in the user's configuration directory ($XDG_CONFIG_HOME, ~/.config).
inline constexpr bool kHasUserConfigHome = true;
// The default places ("C:\Kyrova\..." on Windows) lie under the user's home: "$HOME/Kyrova/...".
inline constexpr bool kDefaultPlacesUnderHome = true;
inline constexpr bool kKeepsSettingsCopy = false;
inline constexpr char kSeparator = '/';
inline constexpr bool IsPathSeparator(char c) { return c == '/'; }
inline constexpr bool IsAbsolutePath(std::string_view path) {
  return !path.empty() && path.front() == '/';
}
#endif

// Which file a path names, whatever its spelling: the volume and the file's number on it (128
// bits on Windows, whose newer file systems number files so; the upper half is 0 elsewhere).
struct FileId {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  std::uint64_t index_high = 0;
  auto operator<=>(const FileId&) const = default;
};

// A file opened for reading raw bytes. Destroying it closes it.
class InputFile : public text::ByteSource {
 public:
  // Closing a file that is closed already succeeds.
  virtual bool Close() = 0;
};

// A file opened for writing. Destroying it closes it.
class OutputFile : public text::ByteSink {
 public:
  // Forces what was written onto the disk.
  virtual bool Flush() = 0;
  // Closing a file that is closed already succeeds.
  virtual bool Close() = 0;
};

// The names of the ordinary, non-hidden files of one directory that match a wildcard pattern,
// sorted the way NTFS lists them, with the identities of those files.
class FileList {
 public:
  std::size_t size() const { return starts_.size(); }
  std::string_view name(std::size_t i) const;
  // The directory that was searched, ending in a separator (empty for the current directory):
  // a listed file's path is this directory followed by its name.
  const std::string& directory() const { return directory_; }
  // Whether a listed file has the identity `id`. A run asks once without side files and once
  // per side file with them: the identities are sorted when the second question comes, so
  // asking may reorder them.
  bool Contains(const FileId& id);

  // A file whose identity could not be read is listed without one.
  void Add(std::string_view name, const std::optional<FileId>& id);
  void Finish();  // sorts the names
  void Clear(std::string directory);

 private:
  std::string directory_;
  std::string arena_;                  // names, each ended by a NUL
  std::vector<std::uint32_t> starts_;  // offsets into arena_, in listing order
  std::vector<FileId> ids_;
  int lookups_ = 0;  // questions Contains has answered since Clear
};

// Writes all `n` bytes of `data` by calls of `write_some(data, n)`, which writes a first part of
// them and returns its size (0 or less when it wrote nothing, which ends the writing). As
// ByteSink::Write, for the file systems' own files.
template <typename WriteSome>
bool WriteAll(const char* data, std::size_t n, std::size_t* written, WriteSome write_some) {
  std::size_t done = 0;
  while (done < n) {
    const std::ptrdiff_t put = write_some(data + done, n - done);
    if (put <= 0) break;
    done += static_cast<std::size_t>(put);
  }
  if (written != nullptr) *written = done;
  return done == n;
}

// The kinds of failure whose system words are not in the user's language: the common ones of a
// POSIX system, so that the program can say them in Japanese. Windows words its failures in
// the user's language itself, and every failure there is kOther.
enum class FailureKind {
  kOther,
  kNoEntry,       // no such file or directory
  kAccessDenied,  // permission denied, operation not permitted
  kDiskFull,      // no space left on the device
  kReadOnly,      // a read-only file system
  kIsDirectory,   // a directory where a file is wanted
  kNotDirectory,  // a file where a directory of the path is wanted
  kNameTooLong,   // a name or path too long
};

// A failure as the system reports it: its kind, and its own words ("Permission denied", "No
// space left on device"; on Windows the message of the user's language).
struct SystemFailure {
  FailureKind kind = FailureKind::kOther;
  std::string words;
};

// The files and directories of the machine, as one object that is handed to the code using them;
// tests wrap it to count its calls and make them fail.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Opens an ordinary file for reading; a FIFO or a device never blocks the caller. Null on
  // failure.
  virtual std::unique_ptr<InputFile> OpenInput(const std::string& path) = 0;
  // As OpenInput, for a file that a listing has just found to be an ordinary one. Asking again
  // costs a call per file, so it may be put off until a read could deliver more than one buffer
  // (most result files are done after their first block): a file that has changed into
  // something else meanwhile fails then, having delivered one buffer at most.
  virtual std::unique_ptr<InputFile> OpenListedInput(const std::string& path) = 0;
  // Opens a file for writing: created when missing, emptied when present. Null on failure.
  virtual std::unique_ptr<OutputFile> CreateOutput(const std::string& path) = 0;

  // Lists the files of `directory` (which ends in a separator or is empty for the current
  // directory) matching `pattern` ("*" and "?", ASCII letters without regard to case). A
  // pattern holding separators searches the directory they name, and the listing keeps that
  // directory. False when the directory cannot be read.
  bool ListMatchingFiles(const std::string& directory, std::string_view pattern, FileList* out);
  // The same for a pattern without separators, into a listing cleared to `directory`.
  virtual bool ListDirectory(const std::string& directory, std::string_view name_pattern,
                             FileList* out) = 0;
  // The identity of the file a path names, following links; none when nothing is there.
  virtual std::optional<FileId> IdentityOf(const std::string& path) = 0;
  // Whether anything (file or directory) exists at `path`.
  virtual bool PathExists(const std::string& path) = 0;
  virtual bool IsDirectory(const std::string& path) = 0;

  // Makes the directory `path` (its parent must exist); true also when it is a directory
  // already. Only its owner may enter it where the system has such permissions.
  virtual bool MakeDirectory(const std::string& path) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  // Replaces `to` by `from` in one step: readers see the old file or the new one, never
  // neither.
  virtual bool ReplaceFile(const std::string& from, const std::string& to) = 0;

  // Why the last call of this thread failed, for telling the user; read it right after the
  // failure.
  virtual SystemFailure LastFailure() = 0;
};

// The file system of this process, RealSystem().files() (see system.h).
FileSystem& RealFileSystem();

// Closes the file `*file` holds, if any, and lets it go: a file is open while a pointer holds it.
template <typename File>
bool CloseFile(std::unique_ptr<File>* file) {
  if (*file == nullptr) return true;
  const bool closed = (*file)->Close();
  file->reset();
  return closed;
}

}  // namespace tallyx::platform
