// File system on Windows: wide-character paths throughout.
#include <windows.h>

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

struct FindCloser {
  void operator()(HANDLE h) const { ::FindClose(h); }
};

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
  BY_HANDLE_FILE_INFORMATION info;
  if (!h || !::GetFileInformationByHandle(h.get(), &info)) return std::nullopt;
  return FileId{info.dwVolumeSerialNumber,
                (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

constexpr DWORD kSkippedAttributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN |
                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE;

}  // namespace

bool InputFile::Open(const std::string& path) {
  Close();
  if (fault::Intercept(FsCall::kOpen, path)) return false;
  const HANDLE h =
      ::CreateFileW(ToUtf16(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
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
  // Opened, then emptied: unlike CREATE_ALWAYS this also empties a hidden file, as the POSIX
  // build does with any file.
  const HANDLE h = ::CreateFileW(ToUtf16(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  if (::GetFileType(h) == FILE_TYPE_PIPE ||
      (::GetFileType(h) == FILE_TYPE_DISK && !::SetEndOfFile(h))) {
    const DWORD error =
        ::GetFileType(h) == FILE_TYPE_PIPE ? ERROR_INVALID_FUNCTION : ::GetLastError();
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
  // A device (NUL, say) has nothing to flush.
  return ::FlushFileBuffers(Handle(handle_)) || ::GetFileType(Handle(handle_)) != FILE_TYPE_DISK;
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
  const std::wstring wide_dir = ToUtf16(dir);
  WIN32_FIND_DATAW found;
  const HANDLE h = ::FindFirstFileExW((wide_dir + L"*").c_str(), FindExInfoBasic, &found,
                                      FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (h == INVALID_HANDLE_VALUE) {
    // An empty drive root lists nothing at all, not even "." and "..".
    if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    out->Finish();
    return true;
  }
  const std::unique_ptr<void, FindCloser> guard(h);
  do {
    if (found.dwFileAttributes & kSkippedAttributes) continue;
    const std::string name = FromUtf16(found.cFileName);
    if (!MatchWildcard(name_pattern, name)) continue;
    out->Add(name, IdentityOfWide(wide_dir + found.cFileName));
  } while (::FindNextFileW(h, &found));
  if (::GetLastError() != ERROR_NO_MORE_FILES) return false;
  out->Finish();
  return true;
}

std::optional<FileId> IdentityOf(const std::string& path) { return IdentityOfWide(ToUtf16(path)); }

bool PathExists(const std::string& path) {
  return ::GetFileAttributesW(ToUtf16(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::string& path) {
  const DWORD a = ::GetFileAttributesW(ToUtf16(path).c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool MakeDirectory(const std::string& path) {
  if (fault::Intercept(FsCall::kMakeDir, path)) return false;
  return ::CreateDirectoryW(ToUtf16(path).c_str(), nullptr) != 0 || IsDirectory(path);
}

bool RemoveFile(const std::string& path) {
  if (fault::Intercept(FsCall::kRemove, path)) return false;
  return ::DeleteFileW(ToUtf16(path).c_str());
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  if (fault::Intercept(FsCall::kRename, to)) return false;
  return ::MoveFileExW(ToUtf16(from).c_str(), ToUtf16(to).c_str(),
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
