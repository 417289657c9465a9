// File system on Windows: wide-character paths throughout.
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/fault.h"
#include "platform/fs.h"
#include "platform/utf16.h"
#include "platform/wildcard.h"

// <windows.h> names its own ReplaceFile; ours is the one defined here.
#undef ReplaceFile

namespace tallyx::platform {
namespace {

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
std::intptr_t Value(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

bool CloseFile(std::intptr_t* handle) {
  if (Handle(*handle) == INVALID_HANDLE_VALUE) return true;
  const bool injected = fault::Intercept(FsCall::kClose, *handle);
  const BOOL ok = ::CloseHandle(Handle(*handle));
  fault::HandleClosed(*handle);
  *handle = Value(INVALID_HANDLE_VALUE);
  return ok && !injected;
}

struct HandleCloser {
  void operator()(HANDLE h) const { ::CloseHandle(h); }
};
using ScopedHandle = std::unique_ptr<void, HandleCloser>;

// Paths from this length on are given to the file calls in their long form ("\\?\C:\..."),
// which has no limit of MAX_PATH characters. Shorter ones keep their plain form: the system
// resolves it as the user expects (device names included, which the callers then refuse).
constexpr std::size_t kPlainPathLimit = MAX_PATH - 12;  // what CreateDirectoryW still takes

bool StartsWith(std::wstring_view text, std::wstring_view start) {
  return text.substr(0, start.size()) == start;
}

// The absolute form of `path`, as the system resolves it: "/" becomes "\", "." and ".." are
// gone, and a device name becomes "\\.\NAME". Empty on failure.
std::wstring FullPath(const std::wstring& path) {
  std::wstring full(path.size() + MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n == 0) return std::wstring();
    if (n < full.size()) {
      full.resize(n);
      return full;
    }
    full.resize(n);  // n counts the terminating NUL when the buffer was too small
  }
}

// A file, pipe or device the system reaches through "\\.\", whatever the path's spelling ("nul",
// "C:\data\con", "aux.csv" on older Windows).
bool NamesDevice(const std::wstring& path) {
  return StartsWith(path, L"\\\\.\\") || StartsWith(FullPath(path), L"\\\\.\\");
}

// Which file a handle names. The volume's own 128-bit file id where it gives one; otherwise the
// final path of the file (with its volume's device name), reduced to 128 bits and marked as such.
constexpr std::uint64_t kPathVolume = ~std::uint64_t{0};

bool IsNoFileId(const FILE_ID_128& id) {
  bool zero = true;
  bool ones = true;
  for (const BYTE b : id.Identifier) {
    zero = zero && b == 0;
    ones = ones && b == 0xFF;
  }
  return zero || ones;
}

FileId MakeId(std::uint64_t volume, const FILE_ID_128& id) {
  std::uint64_t halves[2];
  static_assert(sizeof halves == sizeof id.Identifier);
  std::memcpy(halves, id.Identifier, sizeof halves);
  return FileId{volume, halves[0], halves[1]};
}

// Two 64-bit FNV-1a sums of the upper-cased path. Two different paths giving the same sum would
// only make a run refuse an output, never overwrite a result file.
FileId PathId(std::wstring path) {
  ::CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
  std::uint64_t a = 0xcbf29ce484222325u;
  std::uint64_t b = 0x84222325cbf29ce4u;
  for (const wchar_t c : path) {
    for (const unsigned byte : {static_cast<unsigned>(c) & 0xFFu, static_cast<unsigned>(c) >> 8}) {
      a = (a ^ byte) * 0x100000001b3u;
      b = (b ^ byte) * 0x100000001b3u;
      b ^= b >> 29;
    }
  }
  return FileId{kPathVolume, a, b};
}

std::optional<FileId> IdentityOfHandle(HANDLE h) {
  FILE_ID_INFO info;
  if (::GetFileInformationByHandleEx(h, FileIdInfo, &info, sizeof info) &&
      !IsNoFileId(info.FileId)) {
    return MakeId(info.VolumeSerialNumber, info.FileId);
  }
  std::wstring final_path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        ::GetFinalPathNameByHandleW(h, final_path.data(), static_cast<DWORD>(final_path.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_NT);
    if (n == 0) break;
    if (n < final_path.size()) {
      final_path.resize(n);
      return PathId(final_path);
    }
    final_path.resize(n + 1);
  }
  // Neither: the volume serial and the 64-bit file index, as far as they go.
  BY_HANDLE_FILE_INFORMATION basic;
  if (!::GetFileInformationByHandle(h, &basic)) return std::nullopt;
  return FileId{basic.dwVolumeSerialNumber,
                (static_cast<std::uint64_t>(basic.nFileIndexHigh) << 32) | basic.nFileIndexLow, 0};
}

// Opens whatever `path` names (a file or a directory, following links) for reading its
// attributes only, so that no sharing mode of another program stands in the way.
ScopedHandle OpenForIdentity(const std::wstring& path) {
  const HANDLE h =
      ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  return ScopedHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

std::optional<FileId> IdentityOfWide(const std::wstring& path) {
  const ScopedHandle h = OpenForIdentity(path);
  if (!h) return std::nullopt;
  return IdentityOfHandle(h.get());
}

constexpr DWORD kSkippedAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;

// One entry of a directory listing, whichever of the two listing classes gave it.
struct ListedEntry {
  std::wstring_view name;
  DWORD attributes = 0;
  FILE_ID_128 id = {};
};

// Reads a directory's entries with their file ids, a buffer full per call: the 128-bit ids where
// the system lists them, the 64-bit ones otherwise (which a 128-bit id holds in its lower half).
class DirectoryReader {
 public:
  explicit DirectoryReader(HANDLE dir) : dir_(dir) {}

  // False at the end of the listing (`*failed` tells whether it ended by an error).
  bool Next(ListedEntry* entry, bool* failed) {
    *failed = false;
    if (at_ == nullptr && !Fill(failed)) return false;
    const auto* base = reinterpret_cast<const BYTE*>(at_);
    ULONG next = 0;
    if (extended_) {
      const auto* e = static_cast<const FILE_ID_EXTD_DIR_INFO*>(at_);
      entry->name = std::wstring_view(e->FileName, e->FileNameLength / sizeof(WCHAR));
      entry->attributes = e->FileAttributes;
      entry->id = e->FileId;
      next = e->NextEntryOffset;
    } else {
      const auto* e = static_cast<const FILE_ID_BOTH_DIR_INFO*>(at_);
      entry->name = std::wstring_view(e->FileName, e->FileNameLength / sizeof(WCHAR));
      entry->attributes = e->FileAttributes;
      entry->id = {};
      std::memcpy(entry->id.Identifier, &e->FileId, sizeof e->FileId);
      next = e->NextEntryOffset;
    }
    at_ = next == 0 ? nullptr : base + next;
    return true;
  }

 private:
  bool Fill(bool* failed) {
    if (first_) {
      first_ = false;
      if (Query(FileIdExtdDirectoryRestartInfo)) return true;
      const DWORD e = ::GetLastError();
      if (e != ERROR_INVALID_PARAMETER && e != ERROR_NOT_SUPPORTED && e != ERROR_INVALID_LEVEL &&
          e != ERROR_INVALID_FUNCTION) {
        return Ended(e, failed);
      }
      extended_ = false;
      if (Query(FileIdBothDirectoryRestartInfo)) return true;
      return Ended(::GetLastError(), failed);
    }
    if (Query(extended_ ? FileIdExtdDirectoryInfo : FileIdBothDirectoryInfo)) return true;
    return Ended(::GetLastError(), failed);
  }

  bool Query(FILE_INFO_BY_HANDLE_CLASS kind) {
    if (!::GetFileInformationByHandleEx(dir_, kind, buffer_, sizeof buffer_)) return false;
    at_ = buffer_;
    return true;
  }

  // An empty drive root lists nothing at all, not even "." and "..".
  static bool Ended(DWORD error, bool* failed) {
    *failed = error != ERROR_NO_MORE_FILES && error != ERROR_FILE_NOT_FOUND;
    return false;
  }

  HANDLE dir_;
  bool first_ = true;
  bool extended_ = true;
  const void* at_ = nullptr;
  alignas(8) BYTE buffer_[64 * 1024];
};

}  // namespace

std::wstring LongPathForm(const std::wstring& path) {
  if (StartsWith(path, L"\\\\?\\") || StartsWith(path, L"\\\\.\\")) return path;
  std::wstring full = FullPath(path);
  if (full.empty() || StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) {
    return full.empty() ? path : full;
  }
  if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::wstring FilePath(const std::string& path) {
  std::wstring wide = ToUtf16(path);
  if (wide.size() < kPlainPathLimit) return wide;
  return LongPathForm(wide);
}

bool InputFile::Open(const std::string& path) {
  Close();
  if (fault::Intercept(FsCall::kOpen, path)) return false;
  const HANDLE h =
      ::CreateFileW(FilePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  // Only files on a disk: no console, device or pipe that could block the reader.
  if (::GetFileType(h) != FILE_TYPE_DISK) {
    ::CloseHandle(h);
    ::SetLastError(ERROR_INVALID_FUNCTION);
    return false;
  }
  handle_ = Value(h);
  fault::HandleOpened(handle_, path);
  return true;
}

// GetFileType asks nothing of the file system here: there is nothing to put off.
bool InputFile::OpenListed(const std::string& path) { return Open(path); }

std::ptrdiff_t InputFile::Read(char* buf, std::size_t n) {
  if (!IsOpen()) return -1;
  if (fault::Intercept(FsCall::kRead, handle_)) return -1;
  const DWORD want = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n);
  DWORD got = 0;
  if (!::ReadFile(Handle(handle_), buf, want, &got, nullptr)) return -1;
  fault::Transferred(static_cast<std::ptrdiff_t>(got));
  return static_cast<std::ptrdiff_t>(got);
}

bool InputFile::Close() { return CloseFile(&handle_); }

bool OutputFile::Create(const std::string& path) {
  Close();
  if (fault::Intercept(FsCall::kOpen, path)) return false;
  // Only a file on a disk: "nul", "con", "com1" and their like take the bytes and keep none.
  const std::wstring wide = FilePath(path);
  if (NamesDevice(wide)) {
    ::SetLastError(ERROR_INVALID_FUNCTION);
    return false;
  }
  // Opened, then emptied: unlike CREATE_ALWAYS this also empties a hidden file, as the POSIX
  // build does with any file.
  const HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  if (::GetFileType(h) != FILE_TYPE_DISK || !::SetEndOfFile(h)) {
    const DWORD error =
        ::GetFileType(h) != FILE_TYPE_DISK ? ERROR_INVALID_FUNCTION : ::GetLastError();
    ::CloseHandle(h);
    ::SetLastError(error);
    return false;
  }
  handle_ = Value(h);
  fault::HandleOpened(handle_, path);
  return true;
}

bool OutputFile::Write(const char* data, std::size_t n, std::size_t* written) {
  std::size_t done = 0;
  if (written != nullptr) *written = 0;
  if (!IsOpen()) return false;
  if (fault::Intercept(FsCall::kWrite, handle_)) return false;
  while (done < n) {
    const std::size_t left = n - done;
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD put = 0;
    if (!::WriteFile(Handle(handle_), data + done, chunk, &put, nullptr) || put == 0) break;
    done += put;
  }
  fault::Transferred(static_cast<std::ptrdiff_t>(done));
  if (written != nullptr) *written = done;
  return done == n;
}

bool OutputFile::Flush() {
  if (!IsOpen()) return false;
  if (fault::Intercept(FsCall::kFlush, handle_)) return false;
  return ::FlushFileBuffers(Handle(handle_));
}

bool OutputFile::Close() { return CloseFile(&handle_); }

bool ListMatchingFiles(const std::string& directory, std::string_view pattern, FileList* out) {
  // The search is for directory + pattern: a separator inside the pattern moves into the
  // directory part. "/" separates as well as "\", and "C:" names a drive's current directory.
  std::string full = directory;
  full.append(pattern);
  std::size_t cut = full.size();
  while (cut > 0 && !IsPathSeparator(full[cut - 1])) --cut;
  const std::string dir = full.substr(0, cut);
  const std::string name_pattern = full.substr(cut);
  out->Clear(dir);

  if (fault::Intercept(FsCall::kList, dir)) return false;
  // Names and file ids come in one pass over the directory: no file is opened to learn which
  // it is, which costs on a desktop whose virus scanner looks at every open.
  const HANDLE h = ::CreateFileW(FilePath(dir + ".").c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const ScopedHandle guard(h);
  // The listed ids are those of the directory's volume, when it numbers its files.
  FILE_ID_INFO dir_id;
  const bool volume_ids = ::GetFileInformationByHandleEx(h, FileIdInfo, &dir_id, sizeof dir_id) &&
                          !IsNoFileId(dir_id.FileId);

  const auto reader = std::make_unique<DirectoryReader>(h);
  ListedEntry entry;
  bool failed = false;
  while (reader->Next(&entry, &failed)) {
    if (entry.attributes & kSkippedAttributes) continue;
    const std::string name = FromUtf16(entry.name);
    if (!MatchWildcard(name_pattern, name)) continue;
    // A link is read through to its target, whose identity only opening it tells; so also for
    // a volume that lists no ids.
    if (volume_ids && !(entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) && !IsNoFileId(entry.id)) {
      out->Add(name, MakeId(dir_id.VolumeSerialNumber, entry.id));
    } else {
      out->Add(name, IdentityOfWide(FilePath(dir + name)));
    }
  }
  if (failed) return false;
  out->Finish();
  return true;
}

std::optional<FileId> IdentityOf(const std::string& path) { return IdentityOfWide(FilePath(path)); }

bool PathExists(const std::string& path) {
  return ::GetFileAttributesW(FilePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& path) {
  const DWORD a = ::GetFileAttributesW(FilePath(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDirectory(const std::string& path) {
  if (fault::Intercept(FsCall::kMakeDir, path)) return false;
  return ::CreateDirectoryW(FilePath(path).c_str(), nullptr) != 0 || IsDirectory(path);
}

bool RemoveFile(const std::string& path) {
  if (fault::Intercept(FsCall::kRemove, path)) return false;
  return ::DeleteFileW(FilePath(path).c_str());
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  if (fault::Intercept(FsCall::kRename, to)) return false;
  return ::MoveFileExW(FilePath(from).c_str(), FilePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

std::string LastErrorText() {
  const DWORD code = ::GetLastError();
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n > 0 && text != nullptr ? std::wstring(text, n) : std::wstring();
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() &&
         (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ' ||
          message.back() == L'.' || message.back() == L'\x3002')) {  // "。"
    message.pop_back();
  }
  if (message.empty()) return "error " + std::to_string(code);
  return FromUtf16(message);
}

namespace fault {
void SetInjectedError() { ::SetLastError(ERROR_IO_DEVICE); }
}  // namespace fault

std::string GetEnv(const char* name) {
  const std::wstring wide_name = ToUtf16(name);
  std::wstring value(64, L'\0');
  for (;;) {
    const DWORD n = ::GetEnvironmentVariableW(wide_name.c_str(), value.data(),
                                              static_cast<DWORD>(value.size()));
    if (n == 0) return std::string();  // unset, or set to the empty text
    if (n < value.size()) {
      value.resize(n);
      return FromUtf16(value);
    }
    value.resize(n);  // n counts the terminating NUL when the buffer was too small
  }
}

}  // namespace tallyx::platform
