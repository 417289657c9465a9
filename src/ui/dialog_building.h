// What building the windows and dialogs shares: positions given in twips, the fonts, named and
// placed controls, the two kinds of dialog frame, and the controls both path dialogs start with.
#pragma once

#include <QFont>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>
#include <string_view>
#include <vector>

class QDialog;
class QPushButton;
class QWidget;

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

// `widget` named `name` (its Qt object name, which tests and the accessibility tree find) and put
// at `place` in its parent.
template <typename W>
W* Placed(W* widget, const char* name, const QRect& place) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(place);
  return widget;
}

// A push button of `parent`, named and placed, with `caption` in `font`.
QPushButton* MakeButton(QWidget* parent, const char* name, std::string_view caption,
                        const QRect& place, const QFont& font);

// The 9-point fonts of the windows. Each names the Windows face first and look-alikes for
// desktops that lack it, so that no Japanese caption falls back to a Latin font.
QFont GothicFont();   // ＭＳ ゴシック
QFont PGothicFont();  // ＭＳ Ｐゴシック
QFont ArialFont();

// A fixed dialog border around a client area of the given size in twips: no resizing, no
// minimize or maximize box, a close box in the title bar.
void FixDialogFrame(QDialog* dialog, int width_twips, int height_twips);

// Keeps the controls of a growable window or dialog in place as it grows beyond its designed
// size: each control keeps its designed rectangle, and each edge of it moves by a share of the
// extra width (left and right edges) or height (top and bottom edges): 0 stays, 1 moves with the
// dialog's right or bottom border. Edges that meet move by the same share and so stay together.
class Growth : public QObject {
 public:
  struct Edges {
    double left, top, right, bottom;
  };
  static constexpr Edges kWidens{0, 0, 1, 0};
  static constexpr Edges kFills{0, 0, 1, 1};
  static constexpr Edges kKeepsToTheCorner{1, 1, 1, 1};
  static constexpr Edges kKeepsToTheRight{1, 0, 1, 0};

  // For the window or dialog `window`, designed at the size `designed`.
  Growth(QWidget* window, QSize designed);
  // `control` at its designed place now.
  void Add(QWidget* control, Edges edges);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Control {
    QWidget* widget;
    QRect designed;
    Edges edges;
  };
  void Place(const Control& c, QSize size) const;

  QSize designed_;
  std::vector<Control> controls_;
};

// A dialog border around a client area that opens at the given size in twips and may be made
// larger, never smaller: no minimize or maximize box, a close box in the title bar. The size is
// the dialog window's own, so every new window opens at the given size again. The controls
// follow the dialog's growth as they are added to the Growth it returns (owned by the dialog).
Growth* GrowableDialogFrame(QDialog* dialog, int width_twips, int height_twips);

class DriveList;
class DirList;

// What the two path dialogs both start with: `Drive1` above `Dir1` (of `dir_height` twips),
// "OK" and "ｷｬﾝｾﾙ" in a row at `buttons_top`, both lists on the current directory, the directory
// list following the drive list, and "ｷｬﾝｾﾙ" ending the dialog as cancelled. As the
// dialog grows, the drive list widens, the directory list's edges move by `dir_growth` and the
// buttons keep to the bottom right corner.
struct PathControls {
  DriveList* drives;
  DirList* dirs;
  QPushButton* okButton;
  QPushButton* cancelButton;
};
PathControls MakePathControls(QDialog* dialog, int dir_height, int buttons_top, Growth* growth,
                              Growth::Edges dir_growth);

}  // namespace tallyx::ui
