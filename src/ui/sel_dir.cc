// The input directory dialog: a drive list and a directory list.
#include <QFileInfo>
#include <QPushButton>
#include <QShowEvent>

#include "ui/dialogs.h"
#include "ui/dir_list.h"
#include "ui/drive_list.h"
#include "ui/look.h"

namespace tallyx::ui {

struct SelDir::Impl {
  SelDirMembers* members;
  DriveList* Drive1 = nullptr;
  DirList* Dir1 = nullptr;
  bool loaded = false;
};

SelDir::SelDir(SelDirMembers* members, QWidget* parent)
    : QDialog(parent), impl_(new Impl{members}) {
  setObjectName("SelDir");
  setWindowTitle("Pathの設定");
  setFont(GothicFont());
  Growth* growth = GrowableDialogFrame(this, 3210, 2580);

  // The tree takes all the room the dialog is given beyond its designed size.
  const PathControls c =
      MakePathControls(this, 1560, 2160, &impl_->members->SetStr, growth, Growth::kFills);
  impl_->Drive1 = c.Drive1;
  impl_->Dir1 = c.Dir1;
  connect(c.OKButton, &QPushButton::clicked, this, [this] {  // OKButton_Click
    impl_->members->SetStr = impl_->Dir1->Path();
    accept();
  });
}

SelDir::~SelDir() { delete impl_; }

void SelDir::showEvent(QShowEvent* event) {
  if (!impl_->loaded) {
    impl_->loaded = true;
    // Form_Load: open on the handed-in directory. Anything that names no directory ("", "-1", a
    // file, a missing path) leaves both lists on the process's current directory.
    const std::optional<QString> wanted = Chosen(impl_->members->SetStr);
    if (wanted && !wanted->isEmpty()) {
      const QString dir = CleanPath(*wanted);
      if (QFileInfo(dir).isDir()) {
        const int volume = impl_->Drive1->VolumeOf(dir);
        if (volume >= 0) impl_->Drive1->setCurrentIndex(volume);  // runs Drive1_Change
        ShowDirectory(impl_->Drive1, impl_->Dir1, dir);
      }
    }
  }
  QDialog::showEvent(event);
}

}  // namespace tallyx::ui
