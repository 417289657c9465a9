// The output file dialog: drive list, directory list, list of the CSV files, file-name box.
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

#include "text/paths.h"
#include "model/messages.h"
#include "ui/dialogs.h"
#include "ui/dir_list.h"
#include "ui/drive_list.h"
#include "ui/look.h"
#include "ui/message_sink.h"

namespace tallyx::ui {

struct SelFile::Impl {
  SelFileMembers* members;
  DriveList* Drive1 = nullptr;
  DirList* Dir1 = nullptr;
  QListWidget* File1 = nullptr;
  QLineEdit* FileName = nullptr;
  bool loaded = false;

  // Dir1_Change: the file list shows the CSV files of the directory list's directory; a
  // directory that cannot be read leaves it as it is.
  void Dir1_Change() {
    const QDir dir(Dir1->path());
    if (!dir.exists() || !QFileInfo(Dir1->path()).isReadable()) return;
    File1->clear();
    File1->addItems(dir.entryList({QStringLiteral("*.csv")}, QDir::Files,
                                  QDir::Name | QDir::IgnoreCase | QDir::LocaleAware));
  }

  // File1_Click: the selected file's name replaces the text of the file-name box.
  void File1_Click(const QListWidgetItem* item) {
    if (item != nullptr) FileName->setText(item->text());
  }

  void Form_Load() {
    const QString wanted = QDir::fromNativeSeparators(members->SetStr);
    if (wanted.isEmpty()) return;
    // The volume of the path, when it names one; selecting it runs Drive1_Change.
    if (QFileInfo(wanted).isAbsolute()) {
      const int volume = Drive1->VolumeOf(QDir::cleanPath(wanted));
      if (volume >= 0 && QFileInfo(Drive1->RootAt(volume)).isDir()) {
        Drive1->setCurrentIndex(volume);
      }
    }
    // Directory part and file name, split at the last separator. A file directly in a root
    // ("/out.csv", "C:\out.csv") has that root, with its separator, as its directory.
    const auto split = text::SplitPath(Utf16(wanted));
    if (!split) return;
    const QString dir = wanted.left(static_cast<qsizetype>(split->directory_length));
    if (QFileInfo::exists(dir) && !ShowDirectory(Drive1, Dir1, CleanPath(dir))) return;
    FileName->setText(members->SetStr.mid(static_cast<qsizetype>(split->name_start)));
  }

  // OKButton_Click: the directory joined with the name as typed; no separator is added when the
  // directory already ends in one (a root).
  bool OKButton_Click(QWidget* dialog) {
    const QString name = FileName->text();
    if (name.isEmpty()) {
      Messages().Show(dialog, FromUtf8(model::kNoFileName));
      return false;
    }
    members->SetStr = QString::fromStdU16String(
        text::JoinPath(Utf16(Dir1->Path()), Utf16(name), QDir::separator().unicode()));
    return true;
  }
};

SelFile::SelFile(SelFileMembers* members, QWidget* parent)
    : QDialog(parent), impl_(new Impl{members}) {
  setObjectName("SelFile");
  setWindowTitle("Outputの設定");
  setFont(GothicFont());
  Growth* growth = GrowableDialogFrame(this, 3210, 3315);

  // The tree and the file list share the room the dialog is given beyond its designed height;
  // the file name keeps to the bottom, above the buttons.
  const PathControls c =
      MakePathControls(this, 930, 2880, &impl_->members->SetStr, growth, {0, 0, 1, 0.5});
  impl_->Drive1 = c.Drive1;
  impl_->Dir1 = c.Dir1;

  impl_->File1 = new QListWidget(this);
  impl_->File1->setObjectName("File1");
  impl_->File1->setFont(PGothicFont());
  impl_->File1->setGeometry(Twips(0, 1440, 3135, 990));

  auto* label = new QLabel("Output", this);
  label->setObjectName("Label1");
  label->setFont(ArialFont());
  label->setGeometry(Twips(0, 2520, 615, 255));

  impl_->FileName = new QLineEdit(this);
  impl_->FileName->setObjectName("FileName");
  impl_->FileName->setGeometry(Twips(600, 2520, 2535, 270));

  growth->Add(impl_->File1, {0, 0.5, 1, 1});
  growth->Add(label, {0, 1, 0, 1});
  growth->Add(impl_->FileName, {0, 1, 1, 1});

  // Tab order as the controls stand: the lists, the name, then the buttons.
  setTabOrder(impl_->Dir1, impl_->File1);
  setTabOrder(impl_->File1, impl_->FileName);
  setTabOrder(impl_->FileName, c.OKButton);
  setTabOrder(c.OKButton, c.CancelButton);

  impl_->Dir1_Change();

  connect(impl_->Dir1, &DirList::PathChanged, this, [this] { impl_->Dir1_Change(); });
  // A click on the file already selected names it again, after the name was edited.
  connect(impl_->File1, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { impl_->File1_Click(item); });
  connect(impl_->File1, &QListWidget::itemSelectionChanged, this, [this] {
    const QList<QListWidgetItem*> selected = impl_->File1->selectedItems();
    if (!selected.isEmpty()) impl_->File1_Click(selected.front());
  });
  connect(c.OKButton, &QPushButton::clicked, this, [this] {
    if (impl_->OKButton_Click(this)) accept();
  });
}

SelFile::~SelFile() { delete impl_; }

void SelFile::showEvent(QShowEvent* event) {
  if (!impl_->loaded) {
    impl_->loaded = true;
    impl_->Form_Load();
  }
  QDialog::showEvent(event);
}

}  // namespace tallyx::ui
