// File system on Windows: wide-character paths throughout.
#include <cstring>
#include <memory>
#include <string>

#include "platform/fs.h"
#include "platform/native.h"
#include "platform/utf16.h"
#include "text/wildcard.h"

// After the program's headers: <windows.h> names its own ReplaceFile, which FileSystem's would
// become; it is undone here.
#include <windows.h>
#undef ReplaceFile

namespace tallyx::platform {
namespace {

bool CloseOpenHandle(HANDLE* handle) {
  if (*handle == INVALID_HANDLE_VALUE) return true;
  const BOOL ok = ::CloseHandle(*handle);
  *handle = INVALID_HANDLE_VALUE;
  return ok;
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
  constexpr std::uint64_t kFnvOffsetBasis = 0xcbf29ce484222325u;
  constexpr std::uint64_t kFnvPrime = 0x100000001b3u;
  // The second sum starts elsewhere (the basis with its halves swapped) and is stirred more.
  std::uint64_t a = kFnvOffsetBasis;
  std::uint64_t b = (kFnvOffsetBasis << 32) | (kFnvOffsetBasis >> 32);
  for (const wchar_t c : path) {
    for (const unsigned byte : {static_cast<unsigned>(c) & 0xFFu, static_cast<unsigned>(c) >> 8}) {
      a = (a ^ byte) * kFnvPrime;
      b = (b ^ byte) * kFnvPrime;
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

namespace {

// One ReadFile or WriteFile moves at most this much, well inside a DWORD.
DWORD TransferSize(std::size_t n) {
  constexpr DWORD kMaxTransfer = DWORD{1} << 30;
  return n > kMaxTransfer ? kMaxTransfer : static_cast<DWORD>(n);
}

class WinInputFile final : public InputFile {
 public:
  explicit WinInputFile(HANDLE h) : h_(h) {}
  ~WinInputFile() override { Close(); }

  std::ptrdiff_t Read(char* buf, std::size_t n) override {
    if (h_ == INVALID_HANDLE_VALUE) return -1;
    DWORD got = 0;
    if (!::ReadFile(h_, buf, TransferSize(n), &got, nullptr)) return -1;
    return static_cast<std::ptrdiff_t>(got);
  }

  bool Close() override { return CloseOpenHandle(&h_); }

 private:
  HANDLE h_;
};

class WinOutputFile final : public OutputFile {
 public:
  explicit WinOutputFile(HANDLE h) : h_(h) {}
  ~WinOutputFile() override { Close(); }

  bool Write(const char* data, std::size_t n, std::size_t* written) override {
    return WriteAll(data, n, written, [this](const char* part, std::size_t size) -> DWORD {
      DWORD put = 0;
      if (h_ == INVALID_HANDLE_VALUE || !::WriteFile(h_, part, TransferSize(size), &put, nullptr)) {
        return 0;
      }
      return put;
    });
  }

  bool Flush() override {
    if (h_ == INVALID_HANDLE_VALUE) return false;
    return ::FlushFileBuffers(h_);
  }

  bool Close() override { return CloseOpenHandle(&h_); }

 private:
  HANDLE h_;
};

class WinFileSystem final : public FileSystem {
 public:
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override {
    const HANDLE h =
        ::CreateFileW(FilePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    // Only files on a disk: no console, device or pipe that could block the reader.
    if (::GetFileType(h) != FILE_TYPE_DISK) {
      ::CloseHandle(h);
      ::SetLastError(ERROR_INVALID_FUNCTION);
      return nullptr;
    }
    return std::make_unique<WinInputFile>(h);
  }

  // GetFileType asks nothing of the file system here: there is nothing to put off.
  std::unique_ptr<InputFile> OpenListedInput(const std::string& path) override {
    return OpenInput(path);
  }

  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override {
    // Only a file on a disk: "nul", "con", "com1" and their like take the bytes and keep none.
    const std::wstring wide = FilePath(path);
    if (NamesDevice(wide)) {
      ::SetLastError(ERROR_INVALID_FUNCTION);
      return nullptr;
    }
    // Opened, then emptied: unlike CREATE_ALWAYS this also empties a hidden file, as the POSIX
    // build does with any file.
    const HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    if (::GetFileType(h) != FILE_TYPE_DISK || !::SetEndOfFile(h)) {
      const DWORD error =
          ::GetFileType(h) != FILE_TYPE_DISK ? ERROR_INVALID_FUNCTION : ::GetLastError();
      ::CloseHandle(h);
      ::SetLastError(error);
      return nullptr;
    }
    return std::make_unique<WinOutputFile>(h);
  }

  bool ListDirectory(const std::string& dir, std::string_view name_pattern,
                     FileList* out) override {
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
      if (!text::MatchWildcard(name_pattern, name)) continue;
      // A link is read through to its target, whose identity only opening it tells; so also
      // for a volume that lists no ids.
      if (volume_ids && !(entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
          !IsNoFileId(entry.id)) {
        out->Add(name, MakeId(dir_id.VolumeSerialNumber, entry.id));
      } else {
        out->Add(name, IdentityOfWide(FilePath(dir + name)));
      }
    }
    if (failed) return false;
    out->Finish();
    return true;
  }

  std::optional<FileId> IdentityOf(const std::string& path) override {
    return IdentityOfWide(FilePath(path));
  }

  bool PathExists(const std::string& path) override {
    return ::GetFileAttributesW(FilePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  bool IsDirectory(const std::string& path) override {
    const DWORD a = ::GetFileAttributesW(FilePath(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool MakeDirectory(const std::string& path) override {
    return ::CreateDirectoryW(FilePath(path).c_str(), nullptr) != 0 || IsDirectory(path);
  }

  bool RemoveFile(const std::string& path) override {
    return ::DeleteFileW(FilePath(path).c_str());
  }

  bool ReplaceFile(const std::string& from, const std::string& to) override {
    return ::MoveFileExW(FilePath(from).c_str(), FilePath(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  }

  // The system's message is in the user's language already.
  SystemFailure LastFailure() override {
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
    if (message.empty()) return {FailureKind::kOther, "error " + std::to_string(code)};
    return {FailureKind::kOther, FromUtf16(message)};
  }
};

}  // namespace

FileSystem& RealFileSystem() {
  static WinFileSystem* const fs = new WinFileSystem();  // never destroyed: threads may use it
  return *fs;
}

std::string native::GetEnv(const char* name) {
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
