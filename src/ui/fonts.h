// The fonts of the windows, as named for the program's Japanese desktop.
#pragma once

#include <QFont>
#include <QString>

namespace tallyx::ui {

// Registers, once, Japanese fonts of the same design to stand in for "ＭＳ ゴシック" and
// "ＭＳ Ｐゴシック" where those are not installed, so that no Japanese caption falls back to a
// Latin font.
void InstallFontSubstitutes();

// `family` at `points` on the 96 dots per inch the window layouts are drawn for: the size is set
// in pixels, so the text keeps its size relative to the controls on every screen.
QFont FontAt96Dpi(const QString& family, int points);

}  // namespace tallyx::ui
