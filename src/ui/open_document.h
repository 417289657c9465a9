// The desktop's service that opens a document with the application associated with it.
#pragma once

#include <QString>
#include <cstdint>

namespace tallyx::ui {

// Opens `path` and returns the outcome as platform::OpenDocument does (a platform::shell_code).
// While the desktop's opener is waited for, the windows keep painting and the user's input is
// dropped.
std::int32_t OpenWithAssociatedApplication(const QString& path);

}  // namespace tallyx::ui
