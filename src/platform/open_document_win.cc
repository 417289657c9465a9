// The Windows shell's "Open" service.
#include <windows.h>
// <shellapi.h> needs <windows.h> first.
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>

#include "platform/native.h"
#include "platform/utf16.h"
#include "text/paths.h"

namespace tallyx::platform::native {
namespace {

// The codes OpenDocument hands on are the shell's own.
static_assert(shell_code::kFileNotFound == SE_ERR_FNF);
static_assert(shell_code::kPathNotFound == SE_ERR_PNF);
static_assert(shell_code::kAccessDenied == SE_ERR_ACCESSDENIED);
static_assert(shell_code::kOutOfMemory == SE_ERR_OOM);
static_assert(shell_code::kBadProgram == ERROR_BAD_FORMAT);
static_assert(shell_code::kSharingViolation == SE_ERR_SHARE);
static_assert(shell_code::kIncompleteAssociation == SE_ERR_ASSOCINCOMPLETE);
static_assert(shell_code::kDdeTimeout == SE_ERR_DDETIMEOUT);
static_assert(shell_code::kDdeFailed == SE_ERR_DDEFAIL);
static_assert(shell_code::kDdeBusy == SE_ERR_DDEBUSY);
static_assert(shell_code::kNoAssociation == SE_ERR_NOASSOC);
static_assert(shell_code::kLibraryNotFound == SE_ERR_DLLNOTFOUND);

int CodeOf(HINSTANCE code) { return static_cast<int>(reinterpret_cast<INT_PTR>(code)); }

// The path of the running program, "\" between its parts.
std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// The program the desktop opens `kind` with (a file type or a URL scheme), or empty.
std::wstring ProgramFor(const wchar_t* kind) {
  std::wstring exe(MAX_PATH, L'\0');
  DWORD size = static_cast<DWORD>(exe.size());
  if (::AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, kind, L"open", exe.data(), &size) !=
      S_OK) {
    return {};
  }
  exe.resize(size > 0 ? size - 1 : 0);  // the count includes the final NUL
  return exe;
}

// The web browser: the program for ".html" files, else the one for web addresses.
std::wstring Browser() {
  std::wstring exe = ProgramFor(L".html");
  return exe.empty() ? ProgramFor(L"http") : exe;
}

}  // namespace

// The shell call returns at once: there is nothing to wait for.
int OpenDocument(const std::string& path, const WhileWaiting&) {
  const HWND owner = ::GetDesktopWindow();
  // ShellExecuteA reads its strings in the system's ANSI code page (932 on a Japanese desktop).
  const std::string doc_name = ToCodePage(ToUtf16(path), CP_ACP);
  return CodeOf(::ShellExecuteA(owner, "Open", doc_name.c_str(), "", "C:\\", SW_SHOWNORMAL));
}

std::string InstalledGuide() {
  const std::wstring program = ProgramPath();
  const std::size_t cut = program.rfind(L'\\');
  if (cut == std::wstring::npos) return {};
  const std::wstring guide = program.substr(0, cut + 1) + L"guide.html";
  const DWORD attributes = ::GetFileAttributesW(guide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return {};
  }
  return FromUtf16(guide);
}

int OpenPage(const std::string& page, const std::string& anchor, const WhileWaiting&) {
  const HWND owner = ::GetDesktopWindow();
  const std::wstring page_path = ToUtf16(page);
  const DWORD attributes = ::GetFileAttributesW(FilePath(page).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return error == ERROR_PATH_NOT_FOUND ? shell_code::kPathNotFound : shell_code::kFileNotFound;
  }
  const std::wstring browser = Browser();
  if (browser.empty()) {
    return CodeOf(::ShellExecuteW(owner, L"open", page_path.c_str(), L"", L"C:\\", SW_SHOWNORMAL));
  }
  std::string forward = page;
  std::replace(forward.begin(), forward.end(), '\\', '/');
  const std::wstring url = L"\"" + ToUtf16(text::FileUrl(forward, anchor)) + L"\"";
  return CodeOf(
      ::ShellExecuteW(owner, L"open", browser.c_str(), url.c_str(), L"C:\\", SW_SHOWNORMAL));
}

}  // namespace tallyx::platform::native
