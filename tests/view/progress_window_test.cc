// The progress window on the offscreen platform: a folder read off the window's thread, its
// patients listed and found by a folded search, a patient's sessions shown with their shading,
// and the latest measurement's per-turn chart and waveform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>
#include <functional>

#include "platform/codec.h"
#include "platform/system.h"
#include "progress/sessions.h"
#include "support/workdir.h"
#include "view/chart_view.h"
#include "view/patient_files.h"
#include "view/progress_window.h"

namespace tallyx {
namespace {

void EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) testing::SetEnv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "view_tests";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

// Runs the event loop until `done` holds, for ten seconds at most.
bool WaitFor(const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > 10000) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

QString Utf8(const char* text) { return QString::fromUtf8(text); }

TEST(ProgressWindowTest, ReadsAFolderAndShowsTheSelectedPatientsSessions) {
  EnsureApplication();
  testing::WorkDir w;
  testing::WritePatientFiles(w, "in");
  w.MakeDir("temp");
  testing::SetEnv("TEMP", w / "temp");  // no settings file: the defaults

  view::ProgressWindow window(nullptr, platform::RealSystem());
  window.show();
  auto* mode = window.findChild<QComboBox*>(QStringLiteral("modeBox"));
  auto* folder = window.findChild<QComboBox*>(QStringLiteral("folderBox"));
  auto* status = window.findChild<QLabel*>(QStringLiteral("statusLabel"));
  auto* unreadable = window.findChild<QLabel*>(QStringLiteral("unreadableLink"));
  auto* search = window.findChild<QLineEdit*>(QStringLiteral("patientSearch"));
  auto* patients = window.findChild<QTreeWidget*>(QStringLiteral("patientList"));
  auto* sessions = window.findChild<QTableWidget*>(QStringLiteral("sessionTable"));
  auto* turns = window.findChild<view::ChartView*>(QStringLiteral("turnChart"));
  auto* wave = window.findChild<view::ChartView*>(QStringLiteral("waveChart"));
  ASSERT_TRUE(mode && folder && status && unreadable && search && patients && sessions && turns &&
              wave);
  EXPECT_EQ(window.windowTitle(), Utf8("Kyrova 経過グラフ"));

  mode->setCurrentIndex(0);
  folder->setEditText(QString::fromStdString(w / "in"));
  window.findChild<QPushButton*>(QStringLiteral("loadButton"))->click();
  ASSERT_TRUE(WaitFor([&] { return status->text() == Utf8("2 人・4 件の測定"); }))
      << status->text().toStdString();
  EXPECT_NE(unreadable->text().indexOf(Utf8("読めないファイル 1 件")), -1);

  // Listed by code; a search folded for width and case finds one of them.
  ASSERT_EQ(patients->topLevelItemCount(), 2);
  EXPECT_EQ(patients->topLevelItem(0)->text(0), QStringLiteral("P-4"));
  EXPECT_EQ(patients->topLevelItem(1)->text(0), QStringLiteral("P-7"));
  EXPECT_EQ(patients->topLevelItem(1)->text(2), QStringLiteral("3"));
  search->setText(Utf8("ｐ－７"));
  EXPECT_TRUE(patients->topLevelItem(0)->isHidden());
  EXPECT_FALSE(patients->topLevelItem(1)->isHidden());

  // Its sessions oldest first, the differences of 10 % and 20 % on shaded backgrounds.
  patients->setCurrentItem(patients->topLevelItem(1));
  ASSERT_EQ(sessions->rowCount(), 3);
  ASSERT_EQ(sessions->horizontalHeaderItem(3)->text(), Utf8("最大筋力左(N･m)"));
  ASSERT_EQ(sessions->horizontalHeaderItem(5)->text(), Utf8("左右差(%)"));
  const char* lefts[] = {"121.5", "122.5", "123.5"};
  const char* differences[] = {"2.9", "26.5", "19.0"};
  for (int r = 0; r < 3; ++r) {
    EXPECT_EQ(sessions->item(r, 0)->text(), QStringLiteral("2024/05/1%1").arg(r + 1));
    EXPECT_EQ(sessions->item(r, 3)->text(), Utf8(lefts[r]));
    EXPECT_EQ(sessions->item(r, 5)->text(), Utf8(differences[r]));
  }
  const auto shade = [&](int r) { return sessions->item(r, 5)->background().color(); };
  EXPECT_EQ(sessions->item(0, 5)->background().style(), Qt::NoBrush);
  EXPECT_NE(shade(1), shade(2));
  EXPECT_GT(shade(1).red() - shade(1).green(), shade(2).red() - shade(2).green());  // redder

  // The latest row is selected; its turns and its waveform are read off the window's thread.
  ASSERT_EQ(sessions->selectedItems().size(), sessions->columnCount());
  EXPECT_EQ(sessions->selectedItems().front()->row(), 2);
  ASSERT_TRUE(WaitFor([&] { return !turns->chart().panels.empty() && !wave->chart().panels.empty(); }));
  EXPECT_EQ(turns->chart().panels.front().objects.front().points.size(), 3u);

  // The table saved as shown: CP932 lines ended by CR LF, the header first.
  QTimer::singleShot(0, [&w] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->selectFile(QString::fromStdString(w / "table.csv"));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  window.findChild<QPushButton*>(QStringLiteral("tableButton"))->click();
  std::string header;
  for (const std::string_view caption : progress::SessionColumns(model::Mode::kMuscleStrength)) {
    header.append(header.empty() ? "" : ",").append(caption);
  }
  const std::string table = w.Read("table.csv");
  EXPECT_TRUE(table.starts_with(platform::ToCp932(header) + "\r\n")) << table;
  EXPECT_NE(table.find(",121.5,"), std::string::npos);
  EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 4);
  EXPECT_EQ(std::count(table.begin(), table.end(), '\r'), 4);

  // Another folder read while one goes, and the window closed: nothing is left running.
  window.load();
  window.load();
  testing::UnsetEnv("TEMP");
}

}  // namespace
}  // namespace tallyx
