#include "ui/look.h"

#include <QDialog>
#include <QStringList>

namespace tallyx::ui {
namespace {

// 9 points at the 96 dots per inch the layouts are drawn for. The size is set in pixels so that
// text keeps its size relative to the controls, which are placed in pixels, on every screen.
QFont NinePoint(const QStringList& families) {
  QFont font;
  font.setFamilies(families);
  font.setPixelSize(9 * 96 / 72);
  return font;
}

}  // namespace

QFont GothicFont() {
  return NinePoint({"ＭＳ ゴシック", "MS Gothic", "IPAGothic", "IPAゴシック",
                    "Noto Sans Mono CJK JP", "VL Gothic", "TakaoGothic"});
}

QFont PGothicFont() {
  return NinePoint({"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic", "IPA Pゴシック",
                    "Noto Sans CJK JP", "VL PGothic", "TakaoPGothic"});
}

QFont ArialFont() { return NinePoint({"Arial", "Liberation Sans", "Nimbus Sans"}); }

void FixDialogFrame(QDialog* dialog, int width_twips, int height_twips) {
  dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint);
  dialog->setFixedSize(width_twips / kTwipsPerPixel, height_twips / kTwipsPerPixel);
  dialog->setSizeGripEnabled(false);
}

}  // namespace tallyx::ui
