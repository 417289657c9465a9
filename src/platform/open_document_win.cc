// The Windows shell's "Open" service.
#include <windows.h>
// <shellapi.h> needs <windows.h> first.
#include <shellapi.h>

#include "platform/open_document.h"
#include "platform/utf16.h"

namespace tallyx::platform {
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

}  // namespace

// The shell call returns at once: there is nothing to wait for.
int OpenDocument(const std::string& path, const WhileWaiting&) {
  const HWND owner = ::GetDesktopWindow();
  // ShellExecuteA reads its strings in the system's ANSI code page (932 on a Japanese desktop).
  const std::string doc_name = ToCodePage(ToUtf16(path), CP_ACP);
  const HINSTANCE code =
      ::ShellExecuteA(owner, "Open", doc_name.c_str(), "", "C:\\", SW_SHOWNORMAL);
  return static_cast<int>(reinterpret_cast<INT_PTR>(code));
}

}  // namespace tallyx::platform
