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

class SelFileTest : public testing::PathDialogTest {
 protected:
  SelFileMembers members_;
};

TEST_F(SelFileTest, SplitsTheHandedInPathAndJoinsItAgainOnOk) {
  const QString sep = QDir::separator();
  const QString root = QDir::toNativeSeparators(QDir::rootPath());  // ends in a separator
  struct Case {
    std::string name;
    QString set_str;
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
    members_.SetStr = c.set_str;
    messages_.shown.clear();
    SelFile dialog(&members_);
    dialog.show();
    EXPECT_EQ(Child<QLineEdit>(dialog, "FileName")->text(), c.file_name);
    Click(dialog, "OKButton");
    if (c.ok.isEmpty()) {
      ASSERT_EQ(messages_.shown.size(), 1u);
      EXPECT_EQ(messages_.shown[0], "ファイル名を選択して下さい。");
      EXPECT_TRUE(dialog.isVisible());
      EXPECT_EQ(members_.SetStr, c.set_str);
    } else {
      EXPECT_TRUE(messages_.shown.empty());
      EXPECT_FALSE(dialog.isVisible());
      EXPECT_EQ(members_.SetStr, c.ok);
    }
  }
}

TEST_F(SelFileTest, ListsTheCsvFilesOfTheDirectoryShown) {
  members_.SetStr = Abs("data/out.csv");
  SelFile dialog(&members_);
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
  EXPECT_EQ(members_.SetStr, Abs("data/sub1/out.csv"));
}

TEST_F(SelFileTest, ASelectedFileReplacesTheTypedName) {
  members_.SetStr = Abs("data/out.csv");
  SelFile dialog(&members_);
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
  EXPECT_EQ(members_.SetStr, Abs("data/sub/x.txt"));
}

TEST_F(SelFileTest, CancelStoresMinusOneAndClosingStoresNothing) {
  members_.SetStr = Abs("data/out.csv");
  {
    SelFile dialog(&members_);
    dialog.show();
    dialog.close();
  }
  EXPECT_EQ(members_.SetStr, Abs("data/out.csv"));
  {
    SelFile dialog(&members_);
    dialog.show();
    Click(dialog, "CancelButton");
    EXPECT_FALSE(dialog.isVisible());
  }
  EXPECT_EQ(members_.SetStr, "-1");
}

}  // namespace
}  // namespace tallyx::ui
