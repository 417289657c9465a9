// What a program built for the desktop needs of the system when it runs without a window, as
// tallyx-view --report does for a scheduled report: its messages reaching the console it was
// started from, and a Qt platform that draws text without a display.
#pragma once

namespace tallyx::platform {

// On Windows a program built for the desktop starts without a console, and its standard output
// and error lead nowhere unless whoever started it redirected them. This gives each of the two
// that leads nowhere the console of the process that started it (a command prompt's), when that
// process has one, so that System::out() and err() reach it; a stream redirected to a file or a
// pipe stays as it is. Elsewhere the streams are already the terminal's: it does nothing.
void AttachStartingConsole();

// The Qt platform (with its options, as QT_QPA_PLATFORM takes them) for painting pages without a
// display, whose fonts are those the desktop has: "offscreen" on Linux. On Windows Qt's offscreen
// platform knows only the fonts of Qt's own folder (none): there it is "minimal" with the
// system's fonts.
const char* HeadlessQtPlatform();

}  // namespace tallyx::platform
