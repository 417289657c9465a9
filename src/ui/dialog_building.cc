#include "ui/dialog_building.h"

#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "model/messages.h"
#include "ui/dialogs.h"
#include "ui/dir_list.h"
#include "ui/drive_list.h"

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

QPushButton* MakeButton(QWidget* parent, const char* name, std::string_view caption,
                        const QRect& place, const QFont& font) {
  auto* button = Placed(new QPushButton(FromUtf8(caption), parent), name, place);
  button->setFont(font);
  return button;
}

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

Growth::Growth(QWidget* window, QSize designed) : QObject(window), designed_(designed) {
  window->installEventFilter(this);
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

PathControls MakePathControls(QDialog* dialog, int dir_height, int buttons_top, Growth* growth,
                              Growth::Edges dir_growth) {
  PathControls c;
  c.drives = Placed(new DriveList(dialog), "Drive1", Twips(0, 120, 3135, 300));
  c.drives->setFont(PGothicFont());
  c.dirs = Placed(new DirList(dialog), "Dir1", Twips(0, 480, 3135, dir_height));
  c.dirs->setFont(PGothicFont());
  c.okButton = MakeButton(dialog, "OKButton", model::kOkButton, Twips(1080, buttons_top, 975, 375),
                          PGothicFont());
  c.cancelButton = MakeButton(dialog, "CancelButton", model::kCancelButton,
                              Twips(2160, buttons_top, 975, 375), PGothicFont());
  growth->Add(c.drives, Growth::kWidens);
  growth->Add(c.dirs, dir_growth);
  growth->Add(c.okButton, Growth::kKeepsToTheCorner);
  growth->Add(c.cancelButton, Growth::kKeepsToTheCorner);

  ShowCurrentDirectory(c.drives, c.dirs);
  QObject::connect(c.drives, &QComboBox::currentIndexChanged, dialog,
                   [c] { FollowDrive(c.drives, c.dirs); });
  QObject::connect(c.cancelButton, &QPushButton::clicked, dialog,
                   [dialog] { dialog->done(kCancelledResult); });
  return c;
}

}  // namespace tallyx::ui
