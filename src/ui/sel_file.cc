// The output file dialog: drive list, directory list, list of the CSV files, file-name box.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "model/messages.h"
#include "text/paths.h"
#include "ui/dialog_building.h"
#include "ui/dialogs.h"
#include "ui/dir_list.h"
#include "ui/drive_list.h"
#include "ui/message_sink.h"

namespace tallyx::ui {

// The tree and the file list share the room the dialog is given beyond its designed height;
// the file name keeps to the bottom, above the buttons.
SelFile::SelFile(const QString& start, QWidget* parent)
    : PathDialog(start, {"SelFile", model::kFileCaption, 3210, 3315, 930, 2880, {0, 0, 1, 0.5}},
                 parent) {
  createFileControls();
  // Tab order as the controls stand: the lists, the name, then the buttons.
  setTabOrder(dirs_, files_);
  setTabOrder(files_, nameBox_);
  setTabOrder(nameBox_, okButton_);
  setTabOrder(okButton_, cancelButton_);

  listFiles();
  connect(dirs_, &DirList::PathChanged, this, &SelFile::listFiles);
}

void SelFile::createFileControls() {
  files_ = Placed(new QListWidget(this), "File1", Twips(0, 1440, 3135, 990));
  files_->setFont(PGothicFont());
  auto* label =
      Placed(new QLabel(FromUtf8(model::kOutputButton), this), "Label1", Twips(0, 2520, 615, 255));
  label->setFont(ArialFont());
  nameBox_ = Placed(new QLineEdit(this), "FileName", Twips(600, 2520, 2535, 270));
  growth_->Add(files_, {0, 0.5, 1, 1});
  growth_->Add(label, {0, 1, 0, 1});
  growth_->Add(nameBox_, {0, 1, 1, 1});

  // A click on the file already selected names it again, after the name was edited.
  connect(files_, &QListWidget::itemClicked, this, &SelFile::takeFileName);
  connect(files_, &QListWidget::itemSelectionChanged, this, [this] {
    const QList<QListWidgetItem*> selected = files_->selectedItems();
    if (!selected.isEmpty()) takeFileName(selected.front());
  });
}

DialogOutcome<QString> SelFile::getFile(QWidget* parent, const QString& start,
                                        const DialogSetUp& set_up) {
  return ShowModally<SelFile>(parent, set_up, start);
}

void SelFile::listFiles() {
  // A directory that cannot be read leaves the list as it is.
  const QDir dir(dirs_->path());
  if (!dir.exists() || !QFileInfo(dirs_->path()).isReadable()) return;
  files_->clear();
  files_->addItems(dir.entryList({QStringLiteral("*.csv")}, QDir::Files,
                                 QDir::Name | QDir::IgnoreCase | QDir::LocaleAware));
}

void SelFile::takeFileName(const QListWidgetItem* item) {
  if (item != nullptr) nameBox_->setText(item->text());
}

void SelFile::openOnStart() {
  const QString wanted = QDir::fromNativeSeparators(start_);
  if (wanted.isEmpty()) return;
  // The volume of the path, when it names one; selecting it makes the directory list follow.
  if (QFileInfo(wanted).isAbsolute()) {
    const int volume = drives_->VolumeOf(QDir::cleanPath(wanted));
    if (volume >= 0 && QFileInfo(drives_->RootAt(volume)).isDir()) {
      drives_->setCurrentIndex(volume);
    }
  }
  // Directory part and file name, split at the last separator. A file directly in a root
  // ("/out.csv", "C:\out.csv") has that root, with its separator, as its directory.
  const auto split = text::SplitPath(Utf16(wanted));
  if (!split) return;
  const QString dir = wanted.left(static_cast<qsizetype>(split->directory_length));
  if (QFileInfo::exists(dir) && !ShowDirectory(drives_, dirs_, CleanPath(dir))) return;
  nameBox_->setText(start_.mid(static_cast<qsizetype>(split->name_start)));
}

void SelFile::confirm() {
  const QString name = nameBox_->text();
  if (name.isEmpty()) {
    Messages().Show(this, FromUtf8(model::kNoFileName));
    return;
  }
  // The directory joined with the name as typed; no separator is added when the directory
  // already ends in one (a root).
  choose(QString::fromStdU16String(
      text::JoinPath(Utf16(dirs_->Path()), Utf16(name), QDir::separator().unicode())));
}

}  // namespace tallyx::ui
