// The input directory dialog: a drive list and a directory list.
#include <QFileInfo>
#include <QPushButton>
#include <QShowEvent>

#include "model/messages.h"
#include "ui/dialog_building.h"
#include "ui/dialogs.h"
#include "ui/dir_list.h"
#include "ui/drive_list.h"

namespace tallyx::ui {

SelDir::SelDir(const QString& start, QWidget* parent) : QDialog(parent), start_(start) {
  setObjectName("SelDir");
  setWindowTitle(FromUtf8(model::kDirectoryCaption));
  setFont(GothicFont());
  Growth* growth = GrowableDialogFrame(this, 3210, 2580);

  // The tree takes all the room the dialog is given beyond its designed size.
  const PathControls c = MakePathControls(this, 1560, 2160, growth, Growth::kFills);
  drives_ = c.drives;
  dirs_ = c.dirs;
  connect(c.okButton, &QPushButton::clicked, this, [this] {
    chosen_ = dirs_->Path();
    accept();
  });
}

DialogOutcome<QString> SelDir::getDirectory(QWidget* parent, const QString& start,
                                            const DialogSetUp& set_up) {
  return ShowModally<SelDir>(parent, set_up, start);
}

DialogOutcome<QString> SelDir::outcome() const { return OutcomeOf(*this, chosen_); }

void SelDir::showEvent(QShowEvent* event) {
  if (!opened_) {
    opened_ = true;
    openOnStart();
  }
  QDialog::showEvent(event);
}

void SelDir::openOnStart() {
  // Anything that names no directory ("", a file, a missing path) leaves both lists on the
  // process's current directory.
  if (start_.isEmpty()) return;
  const QString dir = CleanPath(start_);
  if (!QFileInfo(dir).isDir()) return;
  // Selecting the volume makes the directory list follow it.
  const int volume = drives_->VolumeOf(dir);
  if (volume >= 0) drives_->setCurrentIndex(volume);
  ShowDirectory(drives_, dirs_, dir);
}

}  // namespace tallyx::ui
