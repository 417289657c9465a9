// A scratch tree for the path dialogs, with the process's current directory inside it.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>

#include "ui/dialog_testing.h"

namespace tallyx::ui::testing {

class PathDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    ASSERT_TRUE(tmp_.isValid());
    saved_current_ = QDir::currentPath();
    for (const char* dir : {"cwd", "data/sub1/deeper", "data/sub2", "data/dir.csv"}) {
      ASSERT_TRUE(QDir(tmp_.path()).mkpath(dir));
    }
    for (const char* file :
         {"data/a.csv", "data/B.CSV", "data/x.txt", "data/Sample1.csv", "data/sub2/two.csv"}) {
      QFile f(Abs(file));
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QDir::setCurrent(Abs("cwd")));
  }
  void TearDown() override {
    QDir::setCurrent(saved_current_);
    DialogTest::TearDown();
  }

  // Native absolute path of `relative` in the scratch tree.
  QString Abs(const QString& relative) const {
    return QDir::toNativeSeparators(QDir::cleanPath(tmp_.path() + '/' + relative));
  }

  QTemporaryDir tmp_;
  QString saved_current_;
};

// The item of `tree` whose text is `name`, searched through the whole tree.
inline QTreeWidgetItem* TreeItem(QTreeWidget* tree, const QString& name) {
  const auto found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
  EXPECT_EQ(found.size(), 1) << name.toStdString();
  return found.isEmpty() ? nullptr : found.front();
}

// Selects `item` with a mouse click, as the user does.
inline void ClickItem(QTreeWidget* tree, QTreeWidgetItem* item) {
  tree->scrollToItem(item);
  MouseClick(tree->viewport(), tree->visualItemRect(item).center());
  QApplication::processEvents();
}

}  // namespace tallyx::ui::testing
