// What differs between operating systems, as one object handed to the code that needs it: the
// files, the environment, the console, the desktop's opener and the requests to end that come
// from the system. Tests hand in one of their own where that is simpler than the real one.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "platform/fs.h"

namespace tallyx::platform {

// The outcomes of System::OpenDocument, numbered as the Windows shell numbers them: a code above
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

// Called over and over while the desktop's opener is waited for, so that the caller's windows
// keep painting.
using WhileWaiting = std::function<void()>;

class System {
 public:
  virtual ~System() = default;

  // The files and directories of the machine.
  virtual FileSystem& files() = 0;

  // The value of an environment variable (UTF-8); empty when unset.
  virtual std::string GetEnv(const char* name) = 0;

  // Standard output and standard error for UTF-8 text. A Windows console is written in UTF-16,
  // so that the text reads correctly whatever its code page; a file or a pipe receives the UTF-8
  // bytes as they are, without line-end translation.
  virtual std::ostream& out() = 0;
  virtual std::ostream& err() = 0;

  // Opens the document at `path` (UTF-8) with the application the desktop associates with it
  // and returns the outcome as the Windows shell reports it (see shell_code): a failure code is
  // turned into the message to show by desktop::OpenDocument.
  //
  // On Windows the shell's "Open" does it, with the desktop window as owner, "C:\" as working
  // directory, shown normally. Elsewhere the path is looked at first (missing file, missing
  // directory, unreadable), then the desktop's opener `xdg-open` is started and its exit status
  // taken: 0 success, 2 file not found, 3 or 4 (no tool, or no application) no association, any
  // other an unknown failure; an opener that is missing or cannot be started gives no
  // association. One still running after three seconds has started an application: success.
  // `while_waiting` runs meanwhile.
  virtual int OpenDocument(const std::string& path, const WhileWaiting& while_waiting) = 0;

  // Opens the HTML page `page` (a local file, UTF-8) at the section whose id is `anchor`, in the
  // desktop's web browser, with OpenDocument's outcomes. The page is looked at as OpenDocument
  // looks at a document; then, on Windows, the program the desktop opens ".html" files with
  // (else the one for web addresses) is started on the page's file URL (the shell's own "Open"
  // of a URL drops its fragment), or the page is opened as a document when there is neither;
  // elsewhere `xdg-open` is handed the URL.
  virtual int OpenPage(const std::string& page, const std::string& anchor,
                       const WhileWaiting& while_waiting) = 0;

  // The guide's page installed with the program (its path in UTF-8), or empty when there is
  // none. On Windows it is guide.html beside the executable; elsewhere
  // share/doc/tallyx/guide.html under the folder that holds the executable's folder, the
  // installation prefix (/usr/bin/tallyx reads /usr/share/doc/tallyx/guide.html).
  virtual std::string InstalledGuide() = 0;

  // Requests to end the program that come from the system rather than from its window: SIGTERM
  // and SIGHUP (shutdown, logging off, a closed terminal) on POSIX systems. From now on such a
  // request no longer ends the process at once: it makes the descriptor returned here
  // readable, so that an event loop can end the program its own way. Call it before anything
  // else, so that a request during start-up waits there instead of being lost. -1 when the
  // requests could not be caught, and on Windows, where the end of the desktop session reaches
  // the window itself.
  virtual int CatchEndRequests() = 0;
  // Takes the pending requests off the descriptor once it has become readable.
  virtual void DrainEndRequests() = 0;
};

// The system this process runs on.
System& RealSystem();

}  // namespace tallyx::platform
