#include "ui/look.h"

#include <QDialog>
#include <QStringList>

namespace tallyx::ui {
namespace {

QFont NinePoint(const QStringList& families) {
  QFont font;
  font.setFamilies(families);
  font.setPointSize(9);
  return font;
}

}  // namespace

QFont GothicFont() { return NinePoint({"ＭＳ ゴシック", "MS Gothic", "IPAGothic"}); }

QFont PGothicFont() { return NinePoint({"ＭＳ Ｐゴシック", "MS PGothic", "IPAPGothic"}); }

QFont ArialFont() { return NinePoint({"Arial", "Liberation Sans", "Nimbus Sans"}); }

void FixDialogFrame(QDialog* dialog, int width_twips, int height_twips) {
  dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint);
  dialog->setFixedSize(width_twips / kTwipsPerPixel, height_twips / kTwipsPerPixel);
  dialog->setSizeGripEnabled(false);
}

}  // namespace tallyx::ui
