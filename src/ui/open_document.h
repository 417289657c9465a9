// The desktop's service that opens a document with the application associated with it.
#pragma once

#include <QString>
#include <cstdint>

namespace tallyx::ui {

// Opens `path` and returns the outcome as the Windows shell's "open" reports it: greater than
// 32 on success; 2 no such file, 3 no such directory, 5 not readable, 31 no application for it,
// 0 anything else. While the desktop's opener is waited for, the windows keep painting and the
// user's input is dropped.
std::int32_t OpenWithAssociatedApplication(const QString& path);

}  // namespace tallyx::ui
