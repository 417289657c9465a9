// Opening a document with the application that the desktop associates with it.
#pragma once

#include <string>

namespace tallyx::platform {

// Whether OpenDocument exists here. On Windows the shell opens documents; elsewhere the window
// does it through its toolkit's desktop services.
#ifdef _WIN32
inline constexpr bool kShellOpensDocuments = true;
#else
inline constexpr bool kShellOpensDocuments = false;
#endif

// Asks the Windows shell to "Open" the document at `path` (UTF-8, handed on in the system's ANSI
// code page), with the desktop window as owner, "C:\" as working directory, shown normally.
// Returns the shell's code: above 32 on success, else a failure code (2 file not found, 3 path
// not found, ...) that shell::OpenFailureErrorNumber turns into an error number. Defined only
// where kShellOpensDocuments holds; call it under `if constexpr`.
int OpenDocument(const std::string& path);

}  // namespace tallyx::platform
