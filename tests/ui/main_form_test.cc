#include "ui/main_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "model/messages.h"
#include "model/model.h"
#include "support/faulty_fs.h"
#include "support/result_files.h"
#include "support/stand_in_system.h"
#include "support/workdir.h"
#include "ui/dialogs.h"
#include "ui/dir_list.h"
#include "ui/drive_list.h"
#include "ui/ui_test_env.h"

namespace tallyx::testing {
namespace {

QString Q(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString FilterEntry(int mode) { return Q(model::TableOf(model::ModeOf(mode)).filter_entry); }
QString DirectoryEntry(int mode) { return Q(model::TableOf(model::ModeOf(mode)).directory_entry); }

// The settings file as the store writes it: CP932 lines ended by CR LF.
std::string IniFile(const std::vector<std::string>& lines) {
  return JoinLines([&] {
    std::vector<std::string> out;
    for (const std::string& l : lines) out.push_back(Sjis(l));
    return out;
  }());
}

const std::vector<std::string> kFirstExitFile = {
    "[SYSTEM]",
    "MODE = 0",
    "OPTCODE = " + std::to_string(model::kDefaultMask),
    "PATH = C:\\Kyrova\\BrawnResults    (筋力測定 )",
    "FILTER = Brawn_*.txt     (筋力測定 )",
    "OUTPUT = C:\\Kyrova\\Sample1.csv",
};

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureApplication(); }

  std::unique_ptr<ui::MainForm> Start() { return std::make_unique<ui::MainForm>(); }

  static QComboBox* Combo(ui::MainForm& f, const char* name) {
    return f.findChild<QComboBox*>(QString::fromLatin1(name));
  }
  static QPushButton* Button(ui::MainForm& f, const char* name) {
    return f.findChild<QPushButton*>(QString::fromLatin1(name));
  }
  static QLineEdit* Output(ui::MainForm& f) {
    return f.findChild<QLineEdit*>(QStringLiteral("txtOutput"));
  }
  std::string SettingsPath() const { return temp / "Tallyx.ini"; }

  // The output items of the dialog as the window opens it: the mask of the boxes ticked. The
  // dialog is then cancelled.
  static void ShownMask(ui::MainForm& f, std::int32_t* mask) {
    *mask = -1;
    WhenModal([mask](QDialog* d) {
      *mask = 0;
      for (int i = 0; i < model::kItemCount; ++i) {
        auto* box = d->findChild<QCheckBox*>(QStringLiteral("Check1_%1").arg(i));
        ASSERT_NE(box, nullptr) << i;
        if (box->isChecked()) *mask |= model::MaskOf({model::ItemAt(i)});
      }
      d->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
    });
    Button(f, "Bt_Opt")->click();
    ASSERT_NE(*mask, -1) << "the output-item dialog did not open";
  }
  // Ticks the boxes of `mask` in the output-item dialog and confirms them, as the user does.
  static void ChooseItems(ui::MainForm& f, std::int32_t mask) {
    bool chosen = false;
    WhenModal([mask, &chosen](QDialog* d) {
      d->findChild<QPushButton*>(QStringLiteral("ClearButton"))->click();
      for (int i = 0; i < model::kItemCount; ++i) {
        auto* box = d->findChild<QCheckBox*>(QStringLiteral("Check1_%1").arg(i));
        ASSERT_NE(box, nullptr) << i;
        box->setChecked(model::Has(mask, model::ItemAt(i)));
      }
      d->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
      chosen = !d->isVisible();
    });
    Button(f, "Bt_Opt")->click();
    ASSERT_TRUE(chosen) << "the output-item dialog did not take the mask";
  }

  WorkDir temp;
  ScopedEnv temp_env{"TEMP", temp.path().substr(0, temp.path().size() - 1)};
  // Without a home the defaults are the Windows texts, on every system.
  ScopedEnv home_env{"HOME", ""};
  RecordingSink sink;
};

TEST_F(MainFormTest, StartsFromTheSettingsFile) {
  struct Case {
    const char* what;
    std::vector<std::string> file;  // empty: no file
    int mode;
    std::int32_t mask;
    QString path, filter, output;
  };
  const Case cases[] = {
      {"no file",
       {},
       0,
       model::kDefaultMask,
       DirectoryEntry(0),
       FilterEntry(0),
       "C:\\Kyrova\\Sample1.csv"},
      {"every key",
       {"[SYSTEM]", "MODE = 3", "OPTCODE = 123", "PATH = /data/x", "FILTER = mine*.txt",
        "OUTPUT = /out/a.csv"},
       3,
       123,
       "/data/x",
       FilterEntry(3),
       "/out/a.csv"},
      {"stored -1 and numbers to read",
       {"[SYSTEM]", "MODE = 2.5", "OPTCODE = abc", "PATH = -1", "OUTPUT = -1"},
       2,
       0,
       DirectoryEntry(0),
       FilterEntry(2),
       "C:\\Kyrova\\Sample1.csv"},
      {"mode naming no entry",
       {"[SYSTEM]", "MODE = 7"},
       0,
       model::kDefaultMask,
       DirectoryEntry(0),
       FilterEntry(0),
       "C:\\Kyrova\\Sample1.csv"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.file.empty()) {
      std::remove(SettingsPath().c_str());
    } else {
      WriteFile(SettingsPath(), IniFile(c.file));
    }
    auto form = Start();
    EXPECT_EQ(Combo(*form, "CbMode")->currentIndex(), c.mode);
    std::int32_t mask = 0;
    ASSERT_NO_FATAL_FAILURE(ShownMask(*form, &mask));
    EXPECT_EQ(mask, c.mask);
    EXPECT_EQ(Combo(*form, "CbPath")->currentText(), c.path);
    EXPECT_EQ(Combo(*form, "CbFilter")->currentText(), c.filter);
    EXPECT_EQ(Output(*form)->text(), c.output);
    EXPECT_EQ(Combo(*form, "CbPath")->count(), 4);
  }
  EXPECT_TRUE(sink.shown.empty());
}

TEST_F(MainFormTest, ChoosingAModeReplacesTheTypedFilterOnly) {
  auto form = Start();
  QComboBox* mode = Combo(*form, "CbMode");
  QComboBox* filter = Combo(*form, "CbFilter");
  Combo(*form, "CbPath")->setEditText("/keep");

  filter->setEditText("mine*.txt");
  mode->setCurrentIndex(3);
  EXPECT_EQ(filter->currentText(), Q("Exercise_*.txt  (運動結果 )"));

  // The user choosing the entry that is selected already.
  filter->setEditText("mine*.txt");
  emit mode->activated(3);
  EXPECT_EQ(filter->currentText(), FilterEntry(3));
  EXPECT_EQ(filter->count(), 4);
  EXPECT_EQ(Combo(*form, "CbPath")->currentText(), "/keep");
}

TEST_F(MainFormTest, TypedTextStaysAsTyped) {
  auto form = Start();
  form->show();
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  struct Case {
    const char* box;
    const char* typed;
    Qt::Key leave;  // Tab leaves the box, Return stays in it
  };
  const Case cases[] = {
      {"CbPath", "C:\\Kyrova\\Adin", Qt::Key_Tab},
      {"CbFilter", "Begin", Qt::Key_Tab},
      {"CbFilter", "brawn_*.TXT", Qt::Key_Return},
      {"CbPath", "c:\\kyrova\\brawnresults    (筋力測定 )", Qt::Key_Return},
      {"CbFilter", "BRAWN_*.TXT     (筋力測定 )", Qt::Key_Tab},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    QComboBox* box = Combo(*form, c.box);
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    for (const QChar ch : Q(c.typed)) {
      // Japanese text arrives as key events that carry it (as from an input method).
      if (ch.unicode() < 0x80) {
        QTest::keyClick(box, ch.toLatin1());
      } else {
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), Qt::NoModifier);
      }
    }
    QTest::keyClick(box, c.leave);
    EXPECT_EQ(box->currentText(), Q(c.typed));
  }
  // Choosing an entry still sets its text.
  QComboBox* path = Combo(*form, "CbPath");
  path->setFocus();
  QTest::keyClick(path, Qt::Key_Down);
  ASSERT_GE(path->currentIndex(), 0);
  EXPECT_EQ(path->currentText(), path->itemText(path->currentIndex()));

  EXPECT_TRUE(EndsTheProgram([&] { Button(*form, "Bt_End")->click(); }));
  const std::string saved = ReadFile(SettingsPath());
  EXPECT_NE(saved.find(Sjis("FILTER = BRAWN_*.TXT     (筋力測定 )\r\n")), std::string::npos);
}

TEST_F(MainFormTest, InitRestoresTheDefaultsButNotTheMask) {
  const std::string stored = IniFile(
      {"[SYSTEM]", "MODE = 2", "OPTCODE = 5", "PATH = /x", "FILTER = f", "OUTPUT = /y.csv"});
  WriteFile(SettingsPath(), stored);
  auto form = Start();
  Combo(*form, "CbFilter")->setEditText("typed");

  Button(*form, "Bt_Init")->click();
  EXPECT_EQ(Combo(*form, "CbMode")->currentIndex(), 0);
  EXPECT_EQ(Combo(*form, "CbPath")->currentText(), DirectoryEntry(0));
  EXPECT_EQ(Combo(*form, "CbFilter")->currentText(), FilterEntry(0));
  EXPECT_EQ(Output(*form)->text(), "C:\\Kyrova\\Sample1.csv");
  std::int32_t mask = 0;
  ASSERT_NO_FATAL_FAILURE(ShownMask(*form, &mask));
  EXPECT_EQ(mask, 5);
  EXPECT_EQ(ReadFile(SettingsPath()), stored);
}

TEST_F(MainFormTest, RunFromTheButtonWritesWhatTheCliWrites) {
  WorkDir data;
  data.MakeDir("in");
  for (int seed = 1; seed <= 2; ++seed) {
    data.Write(
        "in/Brawn_" + std::to_string(seed) + ".txt",
        ResultFile(
            {.mode = model::Mode::kMuscleStrength, .turns = 3, .waveform_lines = 4, .seed = seed}));
  }
  data.Write("in/Other_1.txt", "x\r\n");
  const std::string dir_text = data / "in" + "    (筋力測定 )";
  const std::string output = data / "out.csv";
  const std::int32_t mask = model::kDefaultMask | model::MaskOf({model::Item::kWaveform});

  auto form = Start();
  ASSERT_NO_FATAL_FAILURE(ChooseItems(*form, mask));
  Combo(*form, "CbPath")->setEditText(Q(dir_text));
  Output(*form)->setText(Q(output));
  Button(*form, "Bt_Exec")->click();

  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].text, Q("変換が完了しました\rデータ件数： 2件を処理しました"));
  EXPECT_EQ(sink.shown[0].buttons_enabled, std::vector<bool>(6, false));
  for (const char* name : {"Bt_Exec", "Bt_Opt", "Bt_End", "Bt_File", "Bt_path", "Bt_Init"}) {
    EXPECT_TRUE(Button(*form, name)->isEnabled()) << name;
  }

  const std::vector<std::string> written = data.List();
  std::vector<std::string> window_files;
  for (const std::string& name : written) {
    if (name != "in") window_files.push_back(data.Read(name));
  }
  ASSERT_GE(window_files.size(), 3u);  // the CSV file and two side files
  for (const std::string& name : written) {
    if (name != "in") std::remove((data / name).c_str());
  }

  const ProcessResult cli =
      RunProcess(TALLYX_CLI_PATH, {"--mode", "0", "--path", dir_text, "--filter", "Brawn_*.txt",
                                   "--output", output, "--optcode", std::to_string(mask)});
  ASSERT_EQ(cli.exit_code, 0) << cli.err;
  std::vector<std::string> cli_files;
  for (const std::string& name : data.List()) {
    if (name != "in") cli_files.push_back(data.Read(name));
  }
  EXPECT_EQ(data.List(), written);
  EXPECT_EQ(cli_files, window_files);
}

TEST_F(MainFormTest, FailedRunsReportOnceAndEnableTheButtonsAgain) {
  WorkDir data;
  data.Write("Brawn_1.txt", ResultFile({}));
  struct Case {
    std::string dir, filter, output, message, details;  // details: how they begin
  };
  const Case cases[] = {
      {"", "Brawn_*.txt", data / "o.csv", "Error 2：Path('')が不正です",
       "ディレクトリが指定されていません"},
      {data.path(), "", data / "o.csv",
       "Error 3：Path('" + data.path() + "')にファイル('')が存在しません",
       data.path() + ": ファイル名のパターンが指定されていません"},
      {data.path(), "None_*.txt  (x)", data / "o.csv",
       "Error 3：Path('" + data.path() + "')にファイル('None_*.txt')が存在しません",
       data.path() + "None_*.txt: 一致するファイルがありません"},
      {data.path(), "Brawn_*.txt", "", "Error 1：Outputファイル('')が開けません",
       "出力ファイル名が指定されていません"},
      {data.path(), "Brawn_*.txt", data / "no/o.csv",
       "Error 1：Outputファイル('" + (data / "no/o.csv") + "')が開けません",
       data / "no/o.csv" + ": 作成できません（"},  // and the system's words
  };
  auto form = Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    sink.shown.clear();
    Combo(*form, "CbPath")->setEditText(Q(c.dir));
    Combo(*form, "CbFilter")->setEditText(Q(c.filter));
    Output(*form)->setText(Q(c.output));
    Button(*form, "Bt_Exec")->click();
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, Q(c.message));
    EXPECT_TRUE(sink.shown[0].details.startsWith(Q(c.details)))
        << sink.shown[0].details.toStdString();
    EXPECT_EQ(sink.shown[0].buttons_enabled, std::vector<bool>(6, false));
    for (const char* name : {"Bt_Exec", "Bt_Opt", "Bt_End", "Bt_File", "Bt_path", "Bt_Init"}) {
      EXPECT_TRUE(Button(*form, name)->isEnabled()) << name;
    }
    EXPECT_TRUE(Button(*form, "Bt_Excel")->isEnabled());
  }
  EXPECT_FALSE(data.Exists("o.csv"));
}

// Runs made slow (every file opened waits) keep the window painting and show their progress
// after half a second; each way of stopping finishes the file being read and ends the run.
TEST_F(MainFormTest, LongRunsShowProgressAndStopAfterTheFileBeingRead) {
  WorkDir data;
  data.MakeDir("in");
  constexpr int kFiles = 12;
  for (int seed = 1; seed <= kFiles; ++seed) {
    data.Write(
        "in/Brawn_" + std::to_string(100 + seed) + ".txt",
        ResultFile(
            {.mode = model::Mode::kMuscleStrength, .turns = 2, .waveform_lines = 3, .seed = seed}));
  }
  const std::string output = data / "out.csv";
  const std::int32_t mask = model::kDefaultMask | model::MaskOf({model::Item::kWaveform});
  const auto side = [&](int k) { return "out" + std::to_string(k) + ".csv"; };

  struct Case {
    const char* what;
    int slow_ms;                                       // every open waits this long
    std::function<void(ui::MainForm*, QDialog*)> act;  // on the progress dialog, once
    bool ends_program;
  };
  const Case cases[] = {
      {"a short run", 0, nullptr, false},
      {"中止", 150,
       [](ui::MainForm*, QDialog* d) {
         d->findChild<QPushButton*>(QStringLiteral("StopButton"))->click();
       },
       false},
      {"Escape", 150,
       [](ui::MainForm*, QDialog* d) {
         QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
         QApplication::sendEvent(d, &esc);
       },
       false},
      {"the dialog's close box", 150, [](ui::MainForm*, QDialog* d) { d->close(); }, false},
      // What the close box, the end of the session and SIGTERM do.
      {"the program ending", 150, [](ui::MainForm* f, QDialog*) { f->close(); }, true},
  };
  std::vector<std::string> full_csv;  // the lines of the short run
  std::map<int, std::string> full_sides;
  FaultyFileSystem slow_fs;
  tallyx::testing::StandInSystem slow_system(slow_fs);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const std::string& name : data.List()) {
      if (name != "in") std::remove((data / name).c_str());
    }
    std::remove(SettingsPath().c_str());
    sink.shown.clear();
    auto form = std::make_unique<ui::MainForm>(nullptr, slow_system);
    ASSERT_NO_FATAL_FAILURE(ChooseItems(*form, mask));
    Combo(*form, "CbPath")->setEditText(Q(data / "in"));
    Output(*form)->setText(Q(output));

    int ticks = 0;
    bool dialog_seen = false;
    QString count_label;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (++ticks == 1) {  // typing into the window while it runs does nothing
        QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
        QApplication::sendEvent(Output(*form), &key);
      }
      auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (d == nullptr || d->objectName() != "RunProgress" || dialog_seen) return;
      dialog_seen = true;
      count_label = d->findChild<QLabel*>(QStringLiteral("Count"))->text();
      if (c.act) c.act(form.get(), d);
    });
    poll.start(20);
    slow_fs.SlowDown(FsCall::kOpen, c.slow_ms);
    const auto run = [&] { Button(*form, "Bt_Exec")->click(); };
    if (c.ends_program) {
      EXPECT_TRUE(EndsTheProgram(run));
    } else {
      run();
    }
    slow_fs.Reset();
    poll.stop();

    EXPECT_EQ(dialog_seen, c.slow_ms > 0);
    EXPECT_EQ(Output(*form)->text(), Q(output));
    std::vector<std::string> csv;
    for (std::string text = data.Read("out.csv"); !text.empty();) {
      csv.push_back(text.substr(0, text.find("\r\n") + 2));
      text.erase(0, csv.back().size());
    }
    const int written = static_cast<int>(csv.size()) - 1;
    if (c.slow_ms == 0) {
      EXPECT_EQ(written, kFiles);
      ASSERT_EQ(sink.Texts(), std::vector<QString>{Q(model::ClosingMessage(kFiles))});
      full_csv = csv;
      for (int k = 1; k <= kFiles; ++k) full_sides[k] = data.Read(side(k));
      continue;
    }
    EXPECT_GT(ticks, 10) << "no timer fired during the run";
    EXPECT_TRUE(count_label.endsWith(Q(" / 12 件"))) << count_label.toStdString();
    // The header and the lines of the files finished, each with its whole side file.
    EXPECT_GE(written, 1);
    EXPECT_LT(written, kFiles);
    EXPECT_EQ(csv, std::vector<std::string>(full_csv.begin(), full_csv.begin() + written + 1));
    for (int k = 1; k <= written; ++k) EXPECT_EQ(data.Read(side(k)), full_sides[k]) << k;
    EXPECT_FALSE(data.Exists(side(written + 1)));
    if (c.ends_program) {
      EXPECT_TRUE(sink.shown.empty());
      EXPECT_FALSE(form->isVisible());
      EXPECT_EQ(ReadFile(SettingsPath()),
                IniFile({"[SYSTEM]", "MODE = 0", "OPTCODE = " + std::to_string(mask),
                         "PATH = " + data / "in", "FILTER = Brawn_*.txt     (筋力測定 )",
                         "OUTPUT = " + output}));
    } else {
      EXPECT_EQ(sink.Texts(), std::vector<QString>{Q(model::StoppedMessage(written))});
      EXPECT_TRUE(Button(*form, "Bt_Exec")->isEnabled());
      EXPECT_FALSE(data.Exists("tmp/Tallyx.ini"));
    }
  }
}

// How a test leaves a path dialog: by its "ｷｬﾝｾﾙ", by its close box, or by choosing.
enum class Leave { kCancel, kCloseBox, kChoose };

void LeaveDialog(QDialog* dialog, Leave how, const std::function<void()>& choose) {
  if (how == Leave::kCancel) {
    dialog->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
  } else if (how == Leave::kCloseBox) {
    dialog->close();
  } else {
    choose();
    dialog->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
  }
}

// The directory the directory list of the path dialog `dialog` shows.
QString DirectoryShown(QDialog* dialog) {
  auto* dirs = dialog->findChild<ui::DirList*>(QStringLiteral("Dir1"));
  return dirs != nullptr ? dirs->Path() : QString();
}

TEST_F(MainFormTest, InputDirectoryHandOver) {
  WorkDir data;
  auto form = Start();
  QComboBox* path = Combo(*form, "CbPath");
  struct Step {
    const char* what;
    QString box;  // CbPath before the click
    Leave how;
    QString opened_on;  // the directory the dialog shows when it opens
    QString box_after;  // CbPath after the click
  };
  const QString current = QDir::toNativeSeparators(ui::CleanPath(QDir::currentPath()));
  const QString dir = QDir::toNativeSeparators(ui::CleanPath(Q(data.path())));
  data.MakeDir("新しいフォルダー");
  data.MakeDir("新しいフォルダー (2)");
  const QString plain = Q(data / "新しいフォルダー");
  const QString copy = Q(data / "新しいフォルダー (2)");
  const QString chosen = QDir::toNativeSeparators(ui::CleanPath(plain));
  const Step steps[] = {
      // What was handed over last stays, and the close box hands it back: at first nothing.
      {"first use, nothing exists, close box", "/no/such (x)", Leave::kCloseBox, current, ""},
      {"existing directory, close box", Q(data.path()) + "   (comment)", Leave::kCloseBox, dir,
       Q(data.path())},
      {"cancel", Q(data.path()) + " (c)", Leave::kCancel, dir, Q(data.path()) + " (c)"},
      {"nothing exists after a cancel", "/no/such", Leave::kCloseBox, current, "/no/such"},
      {"a chosen directory", "/no/such", Leave::kChoose, current, chosen},
      {"nothing exists after a choice", "/no/such", Leave::kCloseBox, chosen, chosen},
      {"a folder named with \"(\"", copy, Leave::kCloseBox, copy, copy},
      {"not a folder: the comment falls away", copy + "x", Leave::kCloseBox, plain, plain},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    path->setEditText(s.box);
    QString opened_on = "unset";
    WhenModal([&](QDialog* d) {
      opened_on = DirectoryShown(d);
      LeaveDialog(d, s.how, [&] {
        auto* drives = d->findChild<ui::DriveList*>(QStringLiteral("Drive1"));
        auto* dirs = d->findChild<ui::DirList*>(QStringLiteral("Dir1"));
        ASSERT_TRUE(ui::ShowDirectory(drives, dirs, ui::CleanPath(plain)));
      });
    });
    ASSERT_NO_FATAL_FAILURE(Button(*form, "Bt_path")->click());
    EXPECT_EQ(opened_on, s.opened_on);
    EXPECT_EQ(path->currentText(), s.box_after);
    EXPECT_EQ(form->findChildren<ui::SelDir*>().size(), 0) << "not unloaded";
  }
}

TEST_F(MainFormTest, OutputFileHandOver) {
  WorkDir data;
  data.Write("b.csv", "");
  auto form = Start();
  QLineEdit* output = Output(*form);
  const QString before = QDir::toNativeSeparators(Q(data / "b.csv"));
  const QString chosen = QDir::toNativeSeparators(Q(data / "c.csv"));
  for (const Leave how : {Leave::kCancel, Leave::kCloseBox, Leave::kChoose}) {
    SCOPED_TRACE(static_cast<int>(how));
    output->setText(before);
    QString opened_on, name;
    WhenModal([&](QDialog* d) {
      opened_on = DirectoryShown(d);
      auto* name_box = d->findChild<QLineEdit*>(QStringLiteral("FileName"));
      name = name_box->text();
      LeaveDialog(d, how, [name_box] { name_box->setText("c.csv"); });
    });
    Button(*form, "Bt_File")->click();
    EXPECT_EQ(opened_on, QDir::toNativeSeparators(ui::CleanPath(Q(data.path()))));
    EXPECT_EQ(name, "b.csv");
    EXPECT_EQ(output->text(), how == Leave::kChoose ? chosen : before);
    EXPECT_EQ(form->findChildren<ui::SelFile*>().size(), 0) << "not unloaded";
  }
}

// Drags `urls` from the desktop into the shown window `form` at its top left corner, over the
// middle of its control `onto`, and drops them there (also after a refusal), through the window
// as the platform does. Whether the drag and the drop were taken, as a copy: a source told
// "moved" may remove its files.
bool DropOn(QWidget* form, QWidget* onto, const QList<QUrl>& urls) {
  QMimeData mime;
  mime.setUrls(urls);
  mime.setText(urls.front().toString());  // as file managers add
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
  QDragEnterEvent enter({1, 1}, actions, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form->windowHandle(), &enter);
  bool taken = enter.isAccepted();
  for (const QPoint at : {QPoint(1, 1), onto->mapTo(form, onto->rect().center())}) {
    QDragMoveEvent move(at, actions, &mime, Qt::LeftButton, Qt::NoModifier);
    if (taken) move.accept();  // the platform's guess from the answer before
    QApplication::sendEvent(form->windowHandle(), &move);
    taken = move.isAccepted();
  }
  QDropEvent drop(onto->mapTo(form, onto->rect().center()), actions, &mime, Qt::NoButton,
                  Qt::NoModifier);
  QApplication::sendEvent(form->windowHandle(), &drop);
  return taken && drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

TEST_F(MainFormTest, OneFolderOrFileDroppedFromTheDesktop) {
  WorkDir data;
  data.MakeDir("in");
  data.MakeDir("drop");
  data.Write("in/Brawn_1.txt", ResultFile({}));
  for (const char* name :
       {"drop/Brawn_7.txt", "drop/other.txt", "drop/Out.CSV", "drop/A (2).txt"}) {
    data.Write(name, "x\r\n");
  }
  const QString path_before = Q(data / "in" + "    (筋力測定 )");
  const QString output_before = Q(data / "run.csv");
  const std::string drop = data / "drop", csv = drop + "/Out.CSV";
  struct Case {
    const char* what;
    std::vector<std::string> items;  // under the work directory, or URLs
    const char* onto;
    const char* filter = nullptr;  // typed into the filter box
    bool during_run = false;
    std::string path = "", output = "";  // afterwards; empty: as before (the drop refused)
  };
  const Case cases[] = {
      {.what = "folder", .items = {"drop"}, .onto = "CbMode", .path = drop},
      {.what = "folder ending in a separator", .items = {"drop/"}, .onto = "CbPath", .path = drop},
      {.what = "csv onto Output", .items = {"drop/Out.CSV"}, .onto = "txtOutput", .output = csv},
      {.what = "csv onto its button", .items = {"drop/Out.CSV"}, .onto = "Bt_File", .output = csv},
      {.what = "csv elsewhere", .items = {"drop/Out.CSV"}, .onto = "CbPath"},
      {.what = "result file", .items = {"drop/Brawn_7.txt"}, .onto = "Bt_Exec", .path = drop},
      {.what = "typed filter",
       .items = {"drop/other.txt"},
       .onto = "Label4",
       .filter = "OTH*.TXT (x)",
       .path = drop},
      {.what = "filter holding \"(\"",
       .items = {"drop/A (2).txt"},
       .onto = "Label4",
       .filter = "A (2).txt",
       .path = drop},
      {.what = "other file", .items = {"drop/other.txt"}, .onto = "txtOutput"},
      {.what = "two items", .items = {"drop", "in"}, .onto = "Bt_path"},
      {.what = "no local file", .items = {"https://example.org/Out.csv"}, .onto = "txtOutput"},
      {.what = "during a run", .items = {"drop"}, .onto = "CbMode", .during_run = true},
  };
  FaultyFileSystem fs;
  tallyx::testing::StandInSystem system(fs);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ui::MainForm form(nullptr, system);
    form.show();
    Combo(form, "CbPath")->setEditText(path_before);
    Output(form)->setText(output_before);
    if (c.filter != nullptr) Combo(form, "CbFilter")->setEditText(c.filter);
    QList<QUrl> urls;
    for (const std::string& item : c.items) {
      urls.append(item.find("://") != std::string::npos ? QUrl(Q(item))
                                                        : QUrl::fromLocalFile(Q(data / item)));
    }
    QWidget* onto = form.findChild<QWidget*>(c.onto);
    bool taken = true;
    if (c.during_run) {
      fs.SlowDown(FsCall::kOpen, 300);
      QTimer::singleShot(100, &form, [&] { taken = DropOn(&form, onto, urls); });
      Button(form, "Bt_Exec")->click();
      fs.Reset();
    } else {
      taken = DropOn(&form, onto, urls);
    }
    EXPECT_EQ(taken, !c.path.empty() || !c.output.empty());
    EXPECT_EQ(Combo(form, "CbPath")->currentText(),
              c.path.empty() ? path_before : QDir::toNativeSeparators(Q(c.path)));
    EXPECT_EQ(Output(form)->text(),
              c.output.empty() ? output_before : QDir::toNativeSeparators(Q(c.output)));
  }
}

TEST_F(MainFormTest, OutputItemsHandOver) {
  auto form = Start();
  Combo(*form, "CbMode")->setCurrentIndex(3);
  struct Step {
    const char* what;
    std::function<void(QDialog*)> leave;
    std::int32_t mask_after;
  };
  const auto click = [](QDialog* d, const char* name) {
    d->findChild<QPushButton*>(QString::fromLatin1(name))->click();
  };
  const Step steps[] = {
      {"cancel", [&](QDialog* d) { click(d, "CancelButton"); }, 5},
      {"close box", [](QDialog* d) { d->close(); }, 5},
      {"Escape",
       [](QDialog* d) {
         QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
         QApplication::sendEvent(d, &esc);
         d->close();
       },
       5},
      {"defaults then OK",
       [&](QDialog* d) {
         click(d, "InitButton");
         click(d, "OKButton");
       },
       model::kDefaultMask},
      {"one box then OK",
       [&](QDialog* d) {
         click(d, "ClearButton");
         d->findChild<QCheckBox*>(QStringLiteral("Check1_6"))->setChecked(true);
         click(d, "OKButton");
       },
       64},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    ASSERT_NO_FATAL_FAILURE(ChooseItems(*form, 5));
    std::int32_t ticked = 0;
    QString caption;
    WhenModal([&](QDialog* d) {
      for (int i = 0; i < model::kItemCount; ++i) {
        if (d->findChild<QCheckBox*>(QStringLiteral("Check1_%1").arg(i))->isChecked()) {
          ticked |= model::MaskOf({model::ItemAt(i)});
        }
      }
      caption = d->windowTitle();
      s.leave(d);
    });
    Button(*form, "Bt_Opt")->click();
    EXPECT_EQ(ticked, 5);
    EXPECT_EQ(caption, Q("CSV出力項目の設定（運動結果）"));
    std::int32_t mask = 0;
    ASSERT_NO_FATAL_FAILURE(ShownMask(*form, &mask));
    EXPECT_EQ(mask, s.mask_after);
    EXPECT_EQ(form->findChildren<ui::OptSet*>().size(), 0) << "not unloaded";
  }
}

TEST_F(MainFormTest, EveryWayOutSavesOnce) {
  {
    auto form = Start();
    EXPECT_TRUE(EndsTheProgram([&] { Button(*form, "Bt_End")->click(); }));
    EXPECT_EQ(ReadFile(SettingsPath()), IniFile(kFirstExitFile));
  }
  {
    // A mask that no box stands for is kept as it was read.
    std::vector<std::string> stored = kFirstExitFile;
    stored[2] = "OPTCODE = -9";
    WriteFile(SettingsPath(), IniFile(stored));
    auto form = Start();
    Combo(*form, "CbMode")->setCurrentIndex(3);
    Combo(*form, "CbPath")->setEditText(Q("/data/運動"));
    Output(*form)->setText("/o.csv");
    EXPECT_TRUE(EndsTheProgram([&] { form->close(); }));  // the close box
    EXPECT_EQ(ReadFile(SettingsPath()),
              IniFile({"[SYSTEM]", "MODE = 3", "OPTCODE = -9", "PATH = /data/運動",
                       "FILTER = Exercise_*.txt  (運動結果 )", "OUTPUT = /o.csv"}));
  }
  {
    // Without TEMP the first save makes the directories in the user's configuration directory.
    ScopedEnv no_temp("TEMP", ""), config_home("XDG_CONFIG_HOME", temp / "cfg");
    auto form = Start();
    EXPECT_TRUE(EndsTheProgram([&] { Button(*form, "Bt_End")->click(); }));
    EXPECT_EQ(ReadFile(temp / "cfg/tallyx/Tallyx.ini"), IniFile(kFirstExitFile));
  }
  EXPECT_TRUE(sink.shown.empty());
}

TEST_F(MainFormTest, EachFailingKeyIsReportedAndTheExitGoesOn) {
  ScopedEnv missing("TEMP", temp / "missing");
  auto form = Start();
  const QString name = Q(temp / "missing/Tallyx.ini");
  EXPECT_TRUE(EndsTheProgram([&] { Button(*form, "Bt_End")->click(); }));
  form->close();  // closing after the end saves nothing more
  const QString message = Q("Error 30：ファイル('") + name + Q("')を作成できません");
  EXPECT_EQ(sink.Texts(), std::vector<QString>(5, message));
  EXPECT_FALSE(form->isVisible());

  // The directory made while the first message is open: the other four writes reach the file.
  sink.shown.clear();
  sink.on_show = [&] { MakeDirs(temp / "missing"); };
  auto again = Start();
  ASSERT_NO_FATAL_FAILURE(ChooseItems(*again, 42));
  EXPECT_TRUE(EndsTheProgram([&] { Button(*again, "Bt_End")->click(); }));
  sink.on_show = nullptr;
  EXPECT_EQ(sink.Texts(), std::vector<QString>{message});
  EXPECT_EQ(ReadFile(temp / "missing/Tallyx.ini"),
            IniFile({"[SYSTEM]", "OPTCODE = 42", "PATH = C:\\Kyrova\\BrawnResults    (筋力測定 )",
                     "FILTER = Brawn_*.txt     (筋力測定 )", "OUTPUT = C:\\Kyrova\\Sample1.csv"}));
}

TEST_F(MainFormTest, MessagesShowTheirTextsAsTheyStand) {
  WorkDir data;
  data.Write("Brawn_1.txt", ResultFile({}));
  // A run that cannot create its CSV file in a directory named like markup.
  const std::string output = data / "<b>x</b>&amp;/o.csv";
  auto form = Start();
  Combo(*form, "CbPath")->setEditText(Q(data.path()));
  Output(*form)->setText(Q(output));
  ui::SetMessageSink(nullptr);  // the real message box
  QString shown, details, caption;
  Qt::TextFormat format = Qt::AutoText, details_format = Qt::AutoText;
  // The box comes once the run has ended.
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    poll.stop();
    caption = box->windowTitle();
    shown = box->text();
    details = box->informativeText();
    format = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->textFormat();
    details_format =
        box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))->textFormat();
    box->button(QMessageBox::Ok)->click();
  });
  poll.start(10);
  Button(*form, "Bt_Exec")->click();
  poll.stop();
  ui::SetMessageSink(&sink);
  EXPECT_EQ(caption, "Tallyx");
  EXPECT_EQ(shown, Q("Error 1：Outputファイル('" + output + "')が開けません"));
  EXPECT_TRUE(details.startsWith(Q(output))) << details.toStdString();
  EXPECT_EQ(format, Qt::PlainText);
  EXPECT_EQ(details_format, Qt::PlainText);
}

// A stand-in for the desktop's opener: it notes the document it was handed and exits with the
// status in the file "status" beside it, after the seconds in "sleep".
void WriteStandInOpener(const WorkDir& bin) {
  bin.Write("xdg-open",
            "#!/bin/sh\n"
            "here=$(dirname \"$0\")\n"
            "printf '%s\\n' \"$1\" >> \"$here/opened\"\n"
            "status=$(cat \"$here/status\")\n"
            "sleep \"$(cat \"$here/sleep\")\"\n"
            "exit \"$status\"\n");
  std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
}

TEST_F(MainFormTest, OpenReportsEachFailureOfTheOpenService) {
  // The window test under Wine takes the shell's own "Open" to a missing file.
  if (!OpenerIsAProgramOnPath()) GTEST_SKIP() << "the opener is no program to stand in for";
  WorkDir data;
  data.Write("out.csv", "a,\r\n");
  data.Write("locked.csv", "a,\r\n");
  std::filesystem::permissions(data / "locked.csv", std::filesystem::perms::none);
  WorkDir bin, empty_bin;
  WriteStandInOpener(bin);
  const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";

  auto form = Start();
  QLineEdit* output = Output(*form);
  struct Case {
    std::string doc;
    const char* status;   // the opener's exit status
    const char* seconds;  // how long it runs
    const WorkDir* opener;
    std::string message;  // empty: none
  };
  const std::string none = data / "none.csv";
  const std::string out = data / "out.csv";
  std::vector<Case> cases = {
      {out, "0", "0.3", &bin, ""},
      {out, "2", "0.3", &bin, "Error 50：ファイル('" + out + "')が見つかりません"},
      {out, "3", "0", &bin, "Error 60：登録されていない拡張子です"},
      {out, "4", "0.3", &bin, "Error 60：登録されていない拡張子です"},
      {out, "1", "0", &bin, "Error 62：Unknown error"},
      {out, "5", "0", &bin, "Error 62：Unknown error"},
      {out, "0", "0", &empty_bin, "Error 60：登録されていない拡張子です"},
      {out, "4", "5", &bin, ""},  // still running after three seconds
      {none, "0", "0", &bin, "Error 50：ファイル('" + none + "')が見つかりません"},
      {"", "0", "0", &bin, "Error 50：ファイル('')が見つかりません"},
      {data / "no/none.csv", "0", "0", &bin, "Error 51：パスが見つかりません"},
  };
  if (PermissionsAreEnforced())
    cases.push_back({data / "locked.csv", "0", "0", &bin, "Error 52：アクセスできません"});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.doc + " status " + c.status + " after " + c.seconds + " s");
    sink.shown.clear();
    bin.Write("status", c.status);
    bin.Write("sleep", c.seconds);
    std::remove((bin / "opened").c_str());
    ScopedEnv opener_path("PATH", c.opener == &bin ? bin.path() + ":" + path : empty_bin.path());
    const bool started = c.opener == &bin && c.doc == out;
    // A key pressed while the opener is waited for is dropped.
    if (std::string(c.seconds) != "0") {
      QTimer::singleShot(100, output, [output] {
        QCoreApplication::postEvent(
            output, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x"));
      });
    }
    // The button hands the text box's path over unchanged.
    output->setText(Q(c.doc));
    Button(*form, "Bt_Excel")->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(output->text(), Q(c.doc));
    EXPECT_EQ(sink.Texts(),
              c.message.empty() ? std::vector<QString>{} : std::vector<QString>{Q(c.message)});
    EXPECT_EQ(bin.Exists("opened") ? bin.Read("opened") : "", started ? c.doc + "\n" : "");
  }
}

TEST_F(MainFormTest, F1OpensTheGuideAtTheSectionOfItsWindow) {
  if (!OpenerIsAProgramOnPath()) GTEST_SKIP() << "the opener is no program to stand in for";
  WorkDir doc, bin;
  MakeDirs(doc / "使い方 1");
  doc.Write("使い方 1/guide.html", "<html></html>");
  const std::string page = doc / "使い方 1/guide.html";
  const std::string url = "file://" + doc.path() + "%E4%BD%BF%E3%81%84%E6%96%B9%201/guide.html#";
  WriteStandInOpener(bin);
  bin.Write("status", "0");
  bin.Write("sleep", "0");
  const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  ScopedEnv opener_path("PATH", bin.path() + ":" + path);
  struct Case {
    const char* button;  // the dialog's, or null for the main window itself
    std::string guide;
    std::string opened;   // what the opener was handed; empty: not started
    std::string message;  // empty: none
  };
  const std::string gone = doc / "gone.html";
  const Case cases[] = {
      {nullptr, page, url + "main-window", ""},
      {"Bt_Opt", page, url + "output-items", ""},
      {"Bt_path", page, url + "input-folder", ""},
      {"Bt_File", page, url + "output-file", ""},
      {nullptr, "", "", ""},
      {"Bt_File", "", "", ""},
      {nullptr, gone, "", "Error 50：ファイル('" + gone + "')が見つかりません"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.button != nullptr ? c.button : "main window") + " " + c.guide);
    sink.shown.clear();
    std::remove((bin / "opened").c_str());
    ui::MainForm form(nullptr, platform::RealSystem(), c.guide);
    form.show();
    QApplication::setActiveWindow(&form);
    if (c.button == nullptr) {
      QTest::keyClick(&form, Qt::Key_F1);
    } else {
      WhenModal([](QDialog* dialog) {
        // Offscreen, a dialog is not made the active window by being shown.
        QApplication::setActiveWindow(dialog);
        QTest::keyClick(dialog, Qt::Key_F1);
        dialog->findChild<QPushButton*>(QStringLiteral("CancelButton"))->click();
      });
      Button(form, c.button)->click();
    }
    EXPECT_EQ(bin.Exists("opened") ? bin.Read("opened") : "",
              c.opened.empty() ? "" : c.opened + "\n");
    EXPECT_EQ(sink.Texts(),
              c.message.empty() ? std::vector<QString>{} : std::vector<QString>{Q(c.message)});
  }
}

// Made wider (never taller or narrower), the boxes stretch and what lies at their right end
// keeps to the border; the rest stays.
TEST_F(MainFormTest, AClickAtAControlsPlaceHitsThatControl) {
  auto form = Start();
  EXPECT_EQ(form->size(), QSize(324, 168));
  EXPECT_EQ(form->minimumSize(), QSize(324, 168));
  EXPECT_EQ(form->maximumHeight(), 168);
  EXPECT_GT(form->maximumWidth(), 324);
  EXPECT_EQ(form->windowTitle(), Q(model::kWindowCaption));
  struct Control {
    const char* name;
    QRect place;
  };
  const Control controls[] = {
      {"CnvModeD", {24, 16, 30, 15}},   {"CbMode", {64, 16, 257, 20}},
      {"Bt_path", {8, 41, 49, 25}},     {"CbPath", {64, 45, 257, 20}},
      {"Label1", {18, 75, 29, 15}},     {"CbFilter", {64, 75, 257, 20}},
      {"Bt_File", {8, 100, 49, 25}},    {"txtOutput", {64, 104, 209, 20}},
      {"Bt_Excel", {280, 100, 41, 25}}, {"Bt_Init", {8, 140, 65, 25}},
      {"Bt_Opt", {80, 140, 65, 25}},    {"Bt_Exec", {184, 140, 65, 25}},
      {"Bt_End", {256, 140, 65, 25}},   {"Label4", {216, 0, 106, 17}},
  };
  const std::set<std::string> widens = {"CbMode", "CbPath", "CbFilter", "txtOutput"};
  const std::set<std::string> keeps_right = {"Bt_Excel", "Bt_Exec", "Bt_End", "Label4"};
  form->show();
  for (const int wider : {0, 200, 0}) {
    SCOPED_TRACE(wider);
    form->resize(324 + wider, 168);
    for (const Control& c : controls) {
      const bool right = keeps_right.contains(c.name);
      const QRect place =
          c.place.adjusted(right ? wider : 0, 0, right || widens.contains(c.name) ? wider : 0, 0);
      QWidget* hit = form->childAt(place.center());
      while (hit != nullptr && hit->parentWidget() != form.get()) hit = hit->parentWidget();
      ASSERT_NE(hit, nullptr) << c.name;
      EXPECT_EQ(hit->objectName(), QString::fromLatin1(c.name));
      EXPECT_EQ(hit->geometry(), place) << c.name;
    }
  }
}

}  // namespace
}  // namespace tallyx::testing
