// This system's own implementations of the parts of RealSystem(), one file per part and system
// (console_posix.cc, open_document_win.cc, ...); each does what the System member of the same
// name promises. For src/platform's own files: everything else is handed a System.
#pragma once

#include <ostream>
#include <string>

#include "platform/system.h"

namespace tallyx::platform::native {

std::string GetEnv(const char* name);

std::ostream& Utf8Out();
std::ostream& Utf8Err();

int OpenDocument(const std::string& path, const WhileWaiting& while_waiting);
int OpenPage(const std::string& page, const std::string& anchor, const WhileWaiting& while_waiting);
std::string InstalledGuide();

int CatchEndRequests();
void DrainEndRequests();

}  // namespace tallyx::platform::native
