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

using OptSetTest = testing::DialogTest;
using Outcome = DialogOutcome<std::int32_t>;

TEST_F(OptSetTest, CaptionsAndShownBoxesFollowTheModeButNoTick) {
  struct Case {
    model::Mode mode;
    QString caption, box13;
    bool shown18, shown19, shown23;
  };
  // Mode 2 reads as mode 0 but for the caption; a mode outside 1 to 3 counts as mode 0. Box 19
  // is a spare, never shown.
  const Case cases[] = {
      {model::Mode::kMuscleStrength, "CSV出力項目の設定（筋力測定結果）", "ﾍﾟﾀﾞﾙ原点位置(deg)",
       false, false, true},
      {model::Mode::kInitialRehabilitation, "CSV出力項目の設定（初期リハ）", "ﾍﾟﾀﾞﾙ原点位置(deg)",
       false, false, true},
      {model::Mode::kExercise, "CSV出力項目の設定（運動結果）", "療法期", true, false, false},
      {model::ModeOf(-1), "CSV出力項目の設定（筋力測定結果）", "ﾍﾟﾀﾞﾙ原点位置(deg)", false, false,
       true},
  };
  std::vector<QString> mode0_captions;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption.toStdString());
    OptSet dialog(model::kDefaultMask, c.mode);
    EXPECT_EQ(dialog.windowTitle(), c.caption);
    EXPECT_EQ(Box(dialog, 13)->text(), c.box13);
    EXPECT_EQ(!Box(dialog, 18)->isHidden(), c.shown18);
    EXPECT_EQ(!Box(dialog, 19)->isHidden(), c.shown19);
    EXPECT_EQ(!Box(dialog, 23)->isHidden(), c.shown23);
    std::vector<QString> captions;
    for (int i = 0; i < model::kItemCount; ++i) {
      // Hidden or shown, each box is ticked from the mask.
      EXPECT_EQ(Box(dialog, i)->isChecked(), model::Has(model::kDefaultMask, model::ItemAt(i)))
          << i;
      captions.push_back(Box(dialog, i)->text());
    }
    if (mode0_captions.empty()) mode0_captions = captions;
    if (c.mode != model::Mode::kExercise) {
      EXPECT_EQ(captions, mode0_captions);
    }
  }
}

TEST_F(OptSetTest, ButtonsHandTheMaskBack) {
  struct Case {
    std::string name;
    std::int32_t mask;
    int mode;
    std::vector<QString> clicks;
    Outcome::Kind kind;
    std::int32_t chosen;
  };
  const std::vector<Case> cases = {
      {"defaults, mode 0", 1, 0, {"InitButton", "OKButton"}, Outcome::kChosen, model::kDefaultMask},
      {"defaults, mode 1",
       0x1FFFFFF,
       1,
       {"InitButton", "OKButton"},
       Outcome::kChosen,
       model::kDefaultMask},
      {"defaults, mode 2",
       2,
       2,
       {"ClearButton", "InitButton", "OKButton"},
       Outcome::kChosen,
       model::kDefaultMask},
      {"defaults, mode 3 (box 23 hidden)",
       524288,
       3,
       {"InitButton", "OKButton"},
       Outcome::kChosen,
       model::kDefaultMask},
      {"only the spare item, never shown", 524288, 0, {"OKButton"}, Outcome::kChosen, 524288},
      {"bits 25 and 0", 33554433, 3, {"OKButton"}, Outcome::kChosen, 1},
      {"all bits", -1, 1, {"OKButton"}, Outcome::kChosen, 33554431},
      {"hidden tick counts",
       model::kDefaultMask,
       3,
       {"OKButton"},
       Outcome::kChosen,
       model::kDefaultMask},
      {"cancel", 5, 0, {"CancelButton"}, Outcome::kCancelled, 0},
      {"nothing ticked, then cancel", 0, 0, {"OKButton", "CancelButton"}, Outcome::kCancelled, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OptSet dialog(c.mask, model::ModeOf(c.mode));
    dialog.show();
    for (const QString& button : c.clicks) Click(dialog, button);
    EXPECT_EQ(dialog.outcome().kind, c.kind);
    EXPECT_EQ(dialog.outcome().value, c.chosen);
    EXPECT_FALSE(dialog.isVisible());
  }
}

TEST_F(OptSetTest, OkWithNothingTickedWarnsAndStaysOpen) {
  OptSet dialog(6, model::Mode::kMuscleStrength);
  dialog.show();
  Click(dialog, "ClearButton");
  Click(dialog, "OKButton");

  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0], "変換項目を選択してください。");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.outcome().chosen());
  for (int i = 0; i < model::kItemCount; ++i) EXPECT_FALSE(Box(dialog, i)->isChecked()) << i;

  // A box in a state other than unticked counts as ticked.
  Box(dialog, 2)->setTristate(true);
  Box(dialog, 2)->setCheckState(Qt::PartiallyChecked);
  Click(dialog, "OKButton");
  EXPECT_TRUE(dialog.outcome().chosen());
  EXPECT_EQ(dialog.outcome().value, 4);
}

TEST_F(OptSetTest, EnterAndEscapeDoNothingAndTheCloseBoxChoosesNothing) {
  OptSet dialog(6, model::Mode::kMuscleStrength);
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
  dialog.close();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.outcome().kind, Outcome::kClosed);
}

TEST_F(OptSetTest, ChoosingModallyHandsBackTheMaskAndUnloads) {
  QWidget parent;
  QTimer::singleShot(0, &parent, [] {
    auto* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    Click(*dialog, "OKButton");
  });
  QString caption;
  const Outcome outcome = OptSet::chooseItems(&parent, 3, model::Mode::kIsometric,
                                              [&](QDialog* d) { caption = d->windowTitle(); });
  EXPECT_EQ(outcome.kind, Outcome::kChosen);
  EXPECT_EQ(outcome.value, 3);
  EXPECT_EQ(caption, "CSV出力項目の設定（アイソメトリック）");
  EXPECT_TRUE(parent.findChildren<OptSet*>().isEmpty());
}

TEST_F(OptSetTest, LayoutAndTabOrder) {
  OptSet dialog(0, model::Mode::kMuscleStrength);
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
