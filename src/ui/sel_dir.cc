// The input directory dialog: a drive list and a directory list.
#include <QFileInfo>
#include <QPushButton>

#include "model/messages.h"
#include "ui/dialog_building.h"
#include "ui/dialogs.h"
#include "ui/dir_list.h"
#include "ui/drive_list.h"

namespace tallyx::ui {

// The tree takes all the room the dialog is given beyond its designed size.
SelDir::SelDir(const QString& start, QWidget* parent)
    : PathDialog(start,
                 {"SelDir", model::kDirectoryCaption, 3210, 2580, 1560, 2160, Growth::kFills},
                 parent) {}

DialogOutcome<QString> SelDir::getDirectory(QWidget* parent, const QString& start,
                                            const DialogSetUp& set_up) {
  return ShowModally<SelDir>(parent, set_up, start);
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

void SelDir::confirm() { choose(dirs_->Path()); }

}  // namespace tallyx::ui
