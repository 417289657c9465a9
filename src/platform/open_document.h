// Opening a document with the application that the desktop associates with it.
#pragma once

#include <functional>
#include <string>

namespace tallyx::platform {

// The outcomes of OpenDocument, numbered as the Windows shell numbers them: a code above
// kLastFailure is success, any other a failure.
namespace shell_code {
inline constexpr int kUnknownFailure = 0;  // the Windows shell: out of resources
inline constexpr int kFileNotFound = 2;
inline constexpr int kPathNotFound = 3;
inline constexpr int kAccessDenied = 5;
inline constexpr int kOutOfMemory = 8;
inline constexpr int kBadProgram = 11;
inline constexpr int kSharingViolation = 26;
inline constexpr int kIncompleteAssociation = 27;
inline constexpr int kDdeTimeout = 28;
inline constexpr int kDdeFailed = 29;
inline constexpr int kDdeBusy = 30;
inline constexpr int kNoAssociation = 31;
inline constexpr int kLibraryNotFound = 32;
inline constexpr int kLastFailure = 32;
inline constexpr int kOpened = kLastFailure + 1;
}  // namespace shell_code

constexpr bool IsOpened(int code) { return code > shell_code::kLastFailure; }

// Called over and over while OpenDocument waits for the desktop's opener, so that the caller's
// windows keep painting.
using WhileWaiting = std::function<void()>;

// Opens the document at `path` (UTF-8) with the application the desktop associates with it and
// returns the outcome as the Windows shell reports it (see shell_code): a failure code is turned
// into the message to show by desktop::OutcomeOf.
//
// On Windows the shell's "Open" does it, with the desktop window as owner, "C:\" as working
// directory, shown normally. Elsewhere the path is looked at first (missing file, missing
// directory, unreadable), then the desktop's opener `xdg-open` is started and its exit status
// taken: 0 success, 2 file not found, 3 or 4 (no tool, or no application) no association, any
// other an unknown failure; an opener that is missing or cannot be started gives no association.
// One still running after three seconds has started an application: success. `while_waiting`
// runs meanwhile.
int OpenDocument(const std::string& path, const WhileWaiting& while_waiting = {});

// The guide's page installed with the program (its path in UTF-8), or empty when there is none.
// On Windows it is guide.html beside the executable; elsewhere share/doc/tallyx/guide.html under
// the folder that holds the executable's folder, the installation prefix (/usr/bin/tallyx reads
// /usr/share/doc/tallyx/guide.html).
std::string InstalledGuide();

// Opens the HTML page `page` (a local file, UTF-8) at the section whose id is `anchor`, in the
// desktop's web browser, with OpenDocument's outcomes. The page is looked at as OpenDocument looks
// at a document; then, on Windows, the program the desktop opens ".html" files with (else the one
// for web addresses) is started on the page's file URL (the shell's own "Open" of a URL drops its
// fragment), or the page is opened as a document when there is neither; elsewhere `xdg-open` is
// handed the URL.
int OpenPage(const std::string& page, const std::string& anchor,
             const WhileWaiting& while_waiting = {});

}  // namespace tallyx::platform
