#include <QComboBox>
#include <QStorageInfo>
#include <string>
#include <vector>

#include "ui/dialogs.h"
#include "ui/path_testing.h"

namespace tallyx::ui {
namespace {

using testing::Child;
using testing::Click;
using testing::ClickItem;
using testing::TreeItem;

class SelDirTest : public testing::PathDialogTest {
 protected:
  // Shows a fresh dialog handed `start`, presses "OK" and returns what it handed back.
  static QString OkFrom(const QString& start) {
    SelDir dialog(start);
    dialog.show();
    Click(dialog, "OKButton");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.outcome().chosen());
    return dialog.outcome().value;
  }
};

TEST_F(SelDirTest, OpensOnTheHandedInDirectoryOrElseTheCurrentOne) {
  struct Case {
    std::string name;
    QString start;
    QString shown;
  };
  const std::vector<Case> cases = {
      {"existing directory", Abs("data/sub1"), Abs("data/sub1")},
      {"trailing separator", Abs("data") + QDir::separator(), Abs("data")},
      {"root keeps its separator", QDir::rootPath(), QDir::toNativeSeparators(QDir::rootPath())},
      {"empty", "", Abs("cwd")},
      {"missing", Abs("data/gone"), Abs("cwd")},
      {"a file", Abs("data/a.csv"), Abs("cwd")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(OkFrom(c.start), c.shown);
  }
}

TEST_F(SelDirTest, CancelAndTheCloseBoxAreToldApart) {
  using Outcome = DialogOutcome<QString>;
  for (const bool cancel : {true, false}) {
    SelDir dialog(Abs("data"));
    dialog.show();
    if (cancel) {
      Click(dialog, "CancelButton");
    } else {
      dialog.close();
    }
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.outcome().kind, cancel ? Outcome::kCancelled : Outcome::kClosed);
    EXPECT_EQ(dialog.outcome().value, QString());
  }
}

TEST_F(SelDirTest, HandsBackTheDirectoryClickedInTheTree) {
  SelDir dialog(Abs("data"));
  dialog.show();
  auto* tree = Child<QTreeWidget>(dialog, "Dir1");
  // The tree is open down to the handed-in directory, which shows its subdirectories.
  EXPECT_EQ(tree->topLevelItem(0)->text(0),
            QDir::toNativeSeparators(QStorageInfo(Abs("data")).rootPath()));
  ClickItem(tree, TreeItem(tree, "sub2"));
  Click(dialog, "OKButton");
  EXPECT_EQ(dialog.outcome().value, Abs("data/sub2"));
}

TEST_F(SelDirTest, VanishedDirectoriesFallBackToTheLastOneShown) {
  SelDir dialog(Abs("data/sub1/deeper"));
  dialog.show();
  auto* tree = Child<QTreeWidget>(dialog, "Dir1");

  // A sibling removed behind the dialog's back: the selection stays where it was.
  ASSERT_TRUE(QDir(Abs("data/sub2")).removeRecursively());
  ClickItem(tree, TreeItem(tree, "sub2"));
  EXPECT_TRUE(tree->findItems("sub2", Qt::MatchExactly | Qt::MatchRecursive).isEmpty());
  Click(dialog, "OKButton");
  EXPECT_EQ(dialog.outcome().value, Abs("data/sub1/deeper"));

  // The shown directory and its parent removed: the nearest one above that still exists.
  dialog.show();
  ASSERT_TRUE(QDir(Abs("data/sub1")).removeRecursively());
  ClickItem(tree, TreeItem(tree, "sub1"));
  Click(dialog, "OKButton");
  EXPECT_EQ(dialog.outcome().value, Abs("data"));
}

TEST_F(SelDirTest, DriveListStartsWithTheRootVolume) {
  SelDir dialog{QString()};
  auto* drives = Child<QComboBox>(dialog, "Drive1");
  ASSERT_GT(drives->count(), 0);
  EXPECT_TRUE(
      drives->itemText(0).startsWith(QDir::toNativeSeparators(QStorageInfo::root().rootPath())));
}

}  // namespace
}  // namespace tallyx::ui
