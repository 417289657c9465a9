// Every caption of the windows fits its control, measured with the font the control really got:
// a missing face replaced by a wider one shows here as a clipped caption.
#include "ui/dialog_building.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QTreeWidgetItemIterator>
#include <functional>
#include <memory>
#include <utility>

#include "support/workdir.h"
#include "ui/dialogs.h"
#include "ui/main_form.h"
#include "ui/path_testing.h"
#include "ui/ui_test_env.h"

namespace tallyx::ui {
namespace {

// The caption of `w` and the room the control gives it; false for a widget without a caption.
bool CaptionAndRoom(QWidget* w, QString* caption, QRect* room) {
  if (auto* label = qobject_cast<QLabel*>(w)) {
    *caption = label->text();
    *room = label->contentsRect();
    return true;
  }
  if (auto* check = qobject_cast<QCheckBox*>(w)) {
    QStyleOptionButton opt;
    opt.initFrom(check);
    opt.text = check->text();
    *caption = check->text();
    *room = check->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, check);
    return true;
  }
  if (auto* button = qobject_cast<QPushButton*>(w)) {
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.text = button->text();
    *caption = button->text();
    // Two pixels either side, so that the caption does not touch the button's frame.
    *room = button->style()
                ->subElementRect(QStyle::SE_PushButtonContents, &opt, button)
                .adjusted(2, 0, -2, 0);
    return true;
  }
  if (auto* frame = qobject_cast<QGroupBox*>(w)) {
    // The title sits on the top border, 6 pixels in, with a pixel of padding either side.
    *caption = frame->title();
    *room = QRect(0, 0, frame->width() - 2 * 8, frame->height());
    return true;
  }
  return false;
}

// The rows that a text box or list draws its text in, the smallest when there are several;
// false for other widgets. A line edit centres one font height in its contents and clips to them.
bool TextRows(QWidget* w, QRect* rows) {
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.rect = edit->rect();
    opt.lineWidth =
        edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
    *rows = edit->style()
                ->subElementRect(QStyle::SE_LineEditContents, &opt, edit)
                .marginsRemoved(edit->textMargins());
    return true;
  }
  if (auto* box = qobject_cast<QComboBox*>(w)) {
    if (box->isEditable()) return false;  // its line edit is measured
    QStyleOptionComboBox opt;
    opt.initFrom(box);
    opt.editable = false;
    opt.frame = box->hasFrame();
    *rows =
        box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box);
    return true;
  }
  if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
    if (view->model() == nullptr || view->model()->rowCount() == 0) return false;
    *rows = view->visualRect(view->model()->index(0, 0));
    for (int row = 1; row < view->model()->rowCount(); ++row) {
      const QRect r = view->visualRect(view->model()->index(row, 0));
      if (r.isValid() && r.height() < rows->height()) *rows = r;
    }
    return rows->isValid();
  }
  return false;
}

TEST(LookTest, EveryCaptionFitsItsControl) {
  tallyx::testing::EnsureApplication();
  // Qt's offscreen platform for Windows comes without fonts. The window test under Wine runs
  // this test on the windows platform, with the system's fonts, at each screen scale.
  if (QFontDatabase::families().isEmpty()) GTEST_SKIP() << "no fonts on this platform";
  tallyx::testing::RecordingSink sink;
  tallyx::testing::WorkDir temp;
  tallyx::testing::ScopedEnv temp_env("TEMP", temp.path());

  struct Window {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> make;
  };
  const auto opt_set = [&](model::Mode mode) {
    return [mode]() -> std::unique_ptr<QWidget> { return std::make_unique<OptSet>(0, mode); };
  };
  const Window windows[] = {
      {"main window", [] { return std::make_unique<MainForm>(); }},
      {"output items, mode 0", opt_set(model::Mode::kMuscleStrength)},
      {"output items, mode 1", opt_set(model::Mode::kIsometric)},
      {"output items, mode 2", opt_set(model::Mode::kInitialRehabilitation)},
      {"output items, mode 3", opt_set(model::Mode::kExercise)},
      {"input directory", [] { return std::make_unique<SelDir>(QString()); }},
      {"output file", [] { return std::make_unique<SelFile>(QString()); }},
  };
  for (const Window& window : windows) {
    SCOPED_TRACE(window.name);
    const std::unique_ptr<QWidget> top = window.make();
    int measured = 0;
    for (QWidget* w : top->findChildren<QWidget*>()) {
      // Text that runs below the baseline ("_", "g", "y") is clipped in a box whose text rows
      // are lower than the font.
      QRect rows;
      if (TextRows(w, &rows) && w->isVisibleTo(top.get())) {
        EXPECT_GE(rows.height(), QFontMetrics(w->font()).height())
            << w->objectName().toStdString() << " " << w->metaObject()->className() << " in "
            << QFontInfo(w->font()).family().toStdString();
      }
      QString caption;
      QRect room;
      if (!CaptionAndRoom(w, &caption, &room) || caption.isEmpty() || !w->isVisibleTo(top.get()))
        continue;
      ++measured;
      // Less than a pixel over is the blank after the last letter: the ink is whole.
      const QFontMetricsF metrics(w->font());
      EXPECT_LE(metrics.horizontalAdvance(caption), room.width() + 1)
          << w->objectName().toStdString() << " \"" << caption.toStdString() << "\" in "
          << QFontInfo(w->font()).family().toStdString();
      EXPECT_LE(metrics.height(), room.height()) << w->objectName().toStdString();
    }
    EXPECT_GT(measured, 0);
  }
}

// Rows of `tree` shown whole.
int RowsInView(QTreeWidget* tree) {
  int rows = 0;
  for (QTreeWidgetItemIterator it(tree); *it != nullptr; ++it) {
    const QRect row = tree->visualItemRect(*it);
    if (!row.isEmpty() && tree->viewport()->rect().contains(row)) ++rows;
  }
  return rows;
}

using GrowingDialogTest = testing::PathDialogTest;

// The path dialogs open at their designed size and may grow, never shrink: the tree takes the
// room, the buttons keep their size at the bottom right and nothing runs over them.
TEST_F(GrowingDialogTest, ListsTakeTheRoomAndButtonsKeepToTheCorner) {
  SelDir sel_dir(Abs("data/sub1"));
  SelFile sel_file(Abs("data/sub1/out.csv"));
  const std::pair<QDialog*, QSize> cases[] = {{&sel_dir, {214, 172}}, {&sel_file, {214, 221}}};
  for (const auto& [dialog, designed] : cases) {
    SCOPED_TRACE(dialog->objectName().toStdString());
    dialog->show();
    EXPECT_EQ(dialog->size(), designed);
    EXPECT_EQ(dialog->minimumSize(), designed);
    auto* tree = testing::Child<QTreeWidget>(*dialog, "Dir1");
    const int rows = RowsInView(tree);
    const QRect ok = testing::Child(*dialog, "OKButton")->geometry();
    const QRect cancel = testing::Child(*dialog, "CancelButton")->geometry();

    dialog->resize(designed + QSize(150, 121));
    EXPECT_GT(RowsInView(tree), rows);
    EXPECT_EQ(testing::Child(*dialog, "OKButton")->geometry(), ok.translated(150, 121));
    EXPECT_EQ(testing::Child(*dialog, "CancelButton")->geometry(), cancel.translated(150, 121));
    for (QWidget* w : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      EXPECT_TRUE(dialog->rect().contains(w->geometry())) << w->objectName().toStdString();
      if (qobject_cast<QPushButton*>(w) == nullptr) {
        EXPECT_LT(w->geometry().bottom(), ok.top() + 121) << w->objectName().toStdString();
      }
    }
  }
}

}  // namespace
}  // namespace tallyx::ui
