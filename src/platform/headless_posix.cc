// A run without a window on POSIX systems: the standard streams are the terminal's already, and
// Qt's offscreen platform finds the desktop's fonts through fontconfig.
#include "platform/headless.h"

namespace tallyx::platform {

void AttachStartingConsole() {}

const char* HeadlessQtPlatform() { return "offscreen"; }

}  // namespace tallyx::platform
