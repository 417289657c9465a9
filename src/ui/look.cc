#include "ui/look.h"

#include <QDialog>
#include <QEvent>
#include <QResizeEvent>
#include <QStringList>
#include <algorithm>
#include <cmath>

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

Growth* GrowableDialogFrame(QDialog* dialog, int width_twips, int height_twips) {
  dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  const QSize designed(width_twips / kTwipsPerPixel, height_twips / kTwipsPerPixel);
  dialog->setMinimumSize(designed);
  dialog->resize(designed);
  // A grip would cover the corner of the button beside it in the designed view; the border is
  // what the user pulls.
  dialog->setSizeGripEnabled(false);
  return new Growth(dialog, designed);
}

Growth::Growth(QDialog* dialog, QSize designed) : QObject(dialog), designed_(designed) {
  dialog->installEventFilter(this);
}

void Growth::Add(QWidget* control, Edges edges) {
  controls_.push_back({control, control->geometry(), edges});
}

bool Growth::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize && watched == parent()) {
    const QSize size = static_cast<QResizeEvent*>(event)->size();
    for (const Control& c : controls_) Place(c, size);
  }
  return QObject::eventFilter(watched, event);
}

void Growth::Place(const Control& c, QSize size) const {
  const int wider = std::max(size.width() - designed_.width(), 0);
  const int taller = std::max(size.height() - designed_.height(), 0);
  const auto moved = [](int edge, int extra, double share) {
    return edge + static_cast<int>(std::lround(extra * share));
  };
  // QRect's right and bottom are the last pixel inside; the edges here are the first outside.
  const int left = moved(c.designed.left(), wider, c.edges.left);
  const int top = moved(c.designed.top(), taller, c.edges.top);
  const int right = moved(c.designed.left() + c.designed.width(), wider, c.edges.right);
  const int bottom = moved(c.designed.top() + c.designed.height(), taller, c.edges.bottom);
  c.widget->setGeometry(left, top, right - left, bottom - top);
}

}  // namespace tallyx::ui
