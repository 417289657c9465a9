// What the input directory and output file dialogs share.
#include <QPushButton>
#include <QShowEvent>

#include "ui/dialog_building.h"
#include "ui/dialogs.h"

namespace tallyx::ui {

PathDialog::PathDialog(const QString& start, const Design& design, QWidget* parent)
    : QDialog(parent), start_(start) {
  setObjectName(QString::fromLatin1(design.name));
  setWindowTitle(FromUtf8(design.caption));
  setFont(GothicFont());
  growth_ = GrowableDialogFrame(this, design.width, design.height);
  const PathControls c =
      MakePathControls(this, design.dir_height, design.buttons_top, growth_, design.dir_growth);
  drives_ = c.drives;
  dirs_ = c.dirs;
  okButton_ = c.okButton;
  cancelButton_ = c.cancelButton;
  connect(okButton_, &QPushButton::clicked, this, [this] { confirm(); });
}

DialogOutcome<QString> PathDialog::outcome() const { return OutcomeOf(*this, chosen_); }

void PathDialog::showEvent(QShowEvent* event) {
  if (!opened_) {
    opened_ = true;
    openOnStart();
  }
  QDialog::showEvent(event);
}

void PathDialog::choose(const QString& path) {
  chosen_ = path;
  accept();
}

}  // namespace tallyx::ui
