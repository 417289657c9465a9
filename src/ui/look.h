// What the dialogs share in their looks: positions given in twips, the fonts, the fixed frame.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <string_view>

class QDialog;

namespace tallyx::ui {

// The dialogs are laid out in twips, 15 to the pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;

constexpr QRect Twips(int left, int top, int width, int height) {
  return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
               height / kTwipsPerPixel);
}

// The program's texts are UTF-8.
inline QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The 9-point fonts of the windows. Each names the Windows face first and look-alikes for
// desktops that lack it, so that no Japanese caption falls back to a Latin font.
QFont GothicFont();   // ＭＳ ゴシック
QFont PGothicFont();  // ＭＳ Ｐゴシック
QFont ArialFont();

// A fixed dialog border around a client area of the given size in twips: no resizing, no
// minimize or maximize box, a close box in the title bar.
void FixDialogFrame(QDialog* dialog, int width_twips, int height_twips);

}  // namespace tallyx::ui
