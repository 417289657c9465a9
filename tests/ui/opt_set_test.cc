#include <QCheckBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>
#include <string>
#include <vector>

#include "model/model.h"
#include "ui/dialog_testing.h"
#include "ui/dialogs.h"

namespace tallyx::ui {
namespace {

using testing::Child;
using testing::Click;

QCheckBox* Box(const OptSet& dialog, int item) {
  return Child<QCheckBox>(dialog, QStringLiteral("Check1_%1").arg(item));
}

class OptSetTest : public testing::DialogTest {
 protected:
  OptSetMembers members_{"42"};
};

TEST_F(OptSetTest, RelabelChangesCaptionsAndShownBoxesButNoTick) {
  OptSet dialog(&members_, model::kDefaultMask);

  dialog.Relabel(model::Mode::kExercise);
  EXPECT_EQ(dialog.windowTitle(), "CSV出力項目の設定（運動結果）");
  EXPECT_EQ(Box(dialog, 13)->text(), "療法期");
  EXPECT_FALSE(Box(dialog, 18)->isHidden());
  EXPECT_TRUE(Box(dialog, 19)->isHidden());
  EXPECT_TRUE(Box(dialog, 23)->isHidden());
  EXPECT_TRUE(Box(dialog, 23)->isChecked());  // hidden, still ticked

  dialog.Relabel(model::Mode::kMuscleStrength);
  EXPECT_EQ(Box(dialog, 13)->text(), "ﾍﾟﾀﾞﾙ原点位置(deg)");
  EXPECT_TRUE(Box(dialog, 18)->isHidden());
  EXPECT_FALSE(Box(dialog, 23)->isHidden());
  for (int i = 0; i < model::kItemCount; ++i) {
    EXPECT_EQ(Box(dialog, i)->isChecked(), model::Has(model::kDefaultMask, model::ItemAt(i))) << i;
  }
  EXPECT_EQ(members_.OptCode, "42");

  // Mode 2 reads as mode 0 but for the caption; a mode outside 1 to 3 counts as mode 0.
  std::vector<std::pair<QString, bool>> mode0;
  for (int i = 0; i < model::kItemCount; ++i)
    mode0.emplace_back(Box(dialog, i)->text(), Box(dialog, i)->isHidden());
  const QString caption0 = dialog.windowTitle();
  dialog.Relabel(model::Mode::kInitialRehabilitation);
  for (int i = 0; i < model::kItemCount; ++i) {
    EXPECT_EQ(std::make_pair(Box(dialog, i)->text(), Box(dialog, i)->isHidden()), mode0[i]) << i;
  }
  EXPECT_EQ(dialog.windowTitle(), "CSV出力項目の設定（初期リハ）");
  dialog.Relabel(model::ModeOf(-1));
  EXPECT_EQ(dialog.windowTitle(), caption0);
}

TEST_F(OptSetTest, ButtonsHandTheMaskBack) {
  struct Case {
    std::string name;
    std::int32_t cnv_code;
    int mode;
    std::vector<QString> clicks;
    QString opt_code;
  };
  const std::vector<Case> cases = {
      {"defaults, mode 0", 1, 0, {"InitButton", "OKButton"}, "15728891"},
      {"defaults, mode 1", 0x1FFFFFF, 1, {"InitButton", "OKButton"}, "15728891"},
      {"defaults, mode 2", 2, 2, {"ClearButton", "InitButton", "OKButton"}, "15728891"},
      {"defaults, mode 3 (box 23 hidden)", 524288, 3, {"InitButton", "OKButton"}, "15728891"},
      {"only the spare item, never shown", 524288, 0, {"OKButton"}, "524288"},
      {"bits 25 and 0", 33554433, 3, {"OKButton"}, "1"},
      {"all bits", -1, 1, {"OKButton"}, "33554431"},
      {"hidden tick counts", model::kDefaultMask, 3, {"OKButton"}, "15728891"},
      {"cancel", 5, 0, {"CancelButton"}, "-1"},
      {"nothing ticked, then cancel", 0, 0, {"OKButton", "CancelButton"}, "-1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    members_.OptCode = QString::number(c.cnv_code);
    OptSet dialog(&members_, c.cnv_code);
    dialog.Relabel(model::ModeOf(c.mode));
    dialog.show();
    for (const QString& button : c.clicks) Click(dialog, button);
    EXPECT_EQ(members_.OptCode, c.opt_code);
    EXPECT_FALSE(dialog.isVisible());
  }
}

TEST_F(OptSetTest, OkWithNothingTickedWarnsAndStaysOpen) {
  OptSet dialog(&members_, 6);
  dialog.Relabel(model::Mode::kMuscleStrength);
  dialog.show();
  Click(dialog, "ClearButton");
  Click(dialog, "OKButton");

  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0], "変換項目を選択してください。");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(members_.OptCode, "42");
  for (int i = 0; i < model::kItemCount; ++i) EXPECT_FALSE(Box(dialog, i)->isChecked()) << i;

  // A box in a state other than unticked counts as ticked.
  Box(dialog, 2)->setTristate(true);
  Box(dialog, 2)->setCheckState(Qt::PartiallyChecked);
  Click(dialog, "OKButton");
  EXPECT_EQ(members_.OptCode, "4");
}

TEST_F(OptSetTest, TitleBarEnterAndEscapeLeaveTheMaskInForce) {
  OptSet dialog(&members_, 6);
  dialog.show();
  for (int key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    for (const QString& target :
         {QString("Check1_0"), QString("OKButton"), QString("CancelButton")}) {
      QWidget* widget = Child(dialog, target);
      widget->setFocus();
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
      QApplication::sendEvent(widget, &press);
      EXPECT_TRUE(dialog.isVisible()) << key << " on " << target.toStdString();
    }
  }
  EXPECT_EQ(members_.OptCode, "42");

  dialog.close();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(members_.OptCode, "42");
}

TEST_F(OptSetTest, ModalShowingEndsWithOk) {
  OptSet dialog(&members_, 3);
  QTimer::singleShot(0, &dialog, [&] { Click(dialog, "OKButton"); });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
  EXPECT_EQ(members_.OptCode, "3");
}

TEST_F(OptSetTest, LayoutAndTabOrder) {
  OptSet dialog(&members_, 0);
  EXPECT_EQ(dialog.size(), QSize(367, 262));
  EXPECT_EQ(Child(dialog, "Frame2")->geometry(), QRect(200, 8, 161, 217));
  EXPECT_EQ(Child(dialog, "Frame3")->geometry(), QRect(8, 104, 185, 121));
  EXPECT_EQ(Box(dialog, 7)->pos(), QPoint(104, 72));
  EXPECT_EQ(Box(dialog, 19)->pos(), QPoint(208, 200));
  EXPECT_EQ(Box(dialog, 24)->pos(), QPoint(16, 184));
  EXPECT_EQ(Box(dialog, 0)->height(), 17);
  EXPECT_EQ(Child(dialog, "CancelButton")->geometry(), QRect(296, 232, 65, 25));

  std::vector<QString> expected;
  for (int i = 0; i < model::kItemCount; ++i)
    expected.push_back(QStringLiteral("Check1_%1").arg(i));
  for (const char* b : {"InitButton", "ClearButton", "OKButton", "CancelButton"})
    expected.push_back(b);
  std::vector<QString> order;
  QWidget* w = Box(dialog, 0);
  do {
    if (w->focusPolicy() & Qt::TabFocus) order.push_back(w->objectName());
    w = w->nextInFocusChain();
  } while (w != Box(dialog, 0));
  EXPECT_EQ(order, expected);
}

}  // namespace
}  // namespace tallyx::ui
