#include <QLineEdit>
#include <QListWidget>
#include <string>
#include <vector>

#include "ui/dialogs.h"
#include "ui/path_testing.h"

namespace tallyx::ui {
namespace {

using testing::Child;
using testing::Click;
using testing::ClickItem;
using testing::MouseClick;
using testing::TreeItem;

QStringList Files(const QListWidget* list) {
  QStringList names;
  for (int i = 0; i < list->count(); ++i) names << list->item(i)->text();
  return names;
}

using SelFileTest = testing::PathDialogTest;

TEST_F(SelFileTest, SplitsTheHandedInPathAndJoinsItAgainOnOk) {
  const QString sep = QDir::separator();
  const QString root = QDir::toNativeSeparators(QDir::rootPath());  // ends in a separator
  struct Case {
    std::string name;
    QString start;
    QString file_name;  // in the file-name box
    QString ok;         // handed back by "OK"; empty: the name box is empty, a message shows
  };
  const std::vector<Case> cases = {
      {"existing directory", Abs("data/out.csv"), "out.csv", Abs("data/out.csv")},
      {"file in the root", root + "out.csv", "out.csv", root + "out.csv"},
      {"missing directory", Abs("gone/out.csv"), "out.csv", Abs("cwd") + sep + "out.csv"},
      {"any name is kept", Abs("data/x.txt"), "x.txt", Abs("data/x.txt")},
      {"no separator", "out.csv", "", ""},
      {"empty", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    messages_.shown.clear();
    SelFile dialog(c.start);
    dialog.show();
    EXPECT_EQ(Child<QLineEdit>(dialog, "FileName")->text(), c.file_name);
    Click(dialog, "OKButton");
    if (c.ok.isEmpty()) {
      ASSERT_EQ(messages_.shown.size(), 1u);
      EXPECT_EQ(messages_.shown[0], "ファイル名を選択して下さい。");
      EXPECT_TRUE(dialog.isVisible());
      EXPECT_FALSE(dialog.outcome().chosen());
    } else {
      EXPECT_TRUE(messages_.shown.empty());
      EXPECT_FALSE(dialog.isVisible());
      EXPECT_TRUE(dialog.outcome().chosen());
      EXPECT_EQ(dialog.outcome().value, c.ok);
    }
  }
}

TEST_F(SelFileTest, ListsTheCsvFilesOfTheDirectoryShown) {
  SelFile dialog(Abs("data/out.csv"));
  auto* files = Child<QListWidget>(dialog, "File1");
  EXPECT_EQ(Files(files), QStringList());  // the current directory, until shown
  dialog.show();
  EXPECT_EQ(Files(files), QStringList({"a.csv", "B.CSV", "Sample1.csv"}));

  auto* tree = Child<QTreeWidget>(dialog, "Dir1");
  ClickItem(tree, TreeItem(tree, "sub2"));
  EXPECT_EQ(Files(files), QStringList({"two.csv"}));
  ClickItem(tree, TreeItem(tree, "sub1"));
  EXPECT_EQ(Files(files), QStringList());

  // A directory that vanished leaves both lists on the last one that could be shown.
  ASSERT_TRUE(QDir(Abs("data/sub2")).removeRecursively());
  ClickItem(tree, TreeItem(tree, "sub2"));
  EXPECT_EQ(Files(files), QStringList());
  Click(dialog, "OKButton");
  EXPECT_EQ(dialog.outcome().value, Abs("data/sub1/out.csv"));
}

TEST_F(SelFileTest, ASelectedFileReplacesTheTypedName) {
  SelFile dialog(Abs("data/out.csv"));
  dialog.show();
  auto* files = Child<QListWidget>(dialog, "File1");
  auto* name = Child<QLineEdit>(dialog, "FileName");

  name->setText("typed.csv");
  MouseClick(files->viewport(), files->visualItemRect(files->item(0)).center());
  EXPECT_EQ(name->text(), "a.csv");
  name->setText("typed again");
  MouseClick(files->viewport(), files->visualItemRect(files->item(0)).center());
  EXPECT_EQ(name->text(), "a.csv");
  files->setCurrentRow(2);  // as the arrow keys do
  EXPECT_EQ(name->text(), "Sample1.csv");

  // A typed name is joined as it stands, directories and all.
  name->setText(QString("sub") + QDir::separator() + "x.txt");
  Click(dialog, "OKButton");
  EXPECT_EQ(dialog.outcome().value, Abs("data/sub/x.txt"));
}

TEST_F(SelFileTest, CancelAndTheCloseBoxAreToldApart) {
  using Outcome = DialogOutcome<QString>;
  for (const bool cancel : {true, false}) {
    SelFile dialog(Abs("data/out.csv"));
    dialog.show();
    if (cancel) {
      Click(dialog, "CancelButton");
    } else {
      dialog.close();
    }
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.outcome().kind, cancel ? Outcome::kCancelled : Outcome::kClosed);
  }
}

}  // namespace
}  // namespace tallyx::ui
