// Times the window's run: the main window on the offscreen platform, from the click on
// "集計実行" to its closing message. Prints the seconds; exits 1 when the run did not end with
// the closing message. The settings file is read from TEMP as the window does, and never
// written. With --repeat N it clicks N times, one run after the other, and prints the seconds
// of one run on average.
//
// Usage: bench-window --path DIR --filter PATTERN --output CSV --optcode MASK [--mode N]
//                     [--repeat N]
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "model/model.h"
#include "ui/main_form.h"
#include "ui/message_sink.h"

namespace {

// Takes the time the first message arrives and what it says, instead of showing it.
class Stopwatch : public tallyx::ui::MessageSink {
 public:
  void Reset() { shown_ = false; }
  void Show(QWidget*, const QString& text, const QString&) override {
    if (shown_) return;
    shown_ = true;
    at = std::chrono::steady_clock::now();
    message = text;
  }
  std::chrono::steady_clock::time_point at;
  QString message;

 private:
  bool shown_ = false;
};

// Ticks the boxes of `mask` in the output-item dialog and confirms them, as the user does. A mask
// without any box leaves the dialog by its close box.
void ChooseItems(tallyx::ui::MainForm& form, long mask) {
  QTimer::singleShot(0, [mask] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr) return;
    if ((mask & ((1L << tallyx::model::kItemCount) - 1)) == 0) {
      dialog->close();
      return;
    }
    for (int i = 0; i < tallyx::model::kItemCount; ++i) {
      dialog->findChild<QCheckBox*>(QStringLiteral("Check1_%1").arg(i))
          ->setChecked(((mask >> i) & 1) != 0);
    }
    dialog->findChild<QPushButton*>(QStringLiteral("OKButton"))->click();
  });
  form.findChild<QPushButton*>(QStringLiteral("Bt_Opt"))->click();
}

}  // namespace

int main(int argc, char** argv) {
  std::string path, filter, output;
  int mode = 0;
  int repeat = 1;
  long mask = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--path") == 0) {
      path = argv[i + 1];
    } else if (std::strcmp(argv[i], "--filter") == 0) {
      filter = argv[i + 1];
    } else if (std::strcmp(argv[i], "--output") == 0) {
      output = argv[i + 1];
    } else if (std::strcmp(argv[i], "--optcode") == 0) {
      mask = std::strtol(argv[i + 1], nullptr, 10);
    } else if (std::strcmp(argv[i], "--mode") == 0) {
      mode = std::atoi(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--repeat") == 0) {
      repeat = std::atoi(argv[i + 1]);
    } else {
      std::fprintf(stderr,
                   "usage: bench-window --path DIR --filter PATTERN --output CSV "
                   "--optcode MASK [--mode N] [--repeat N]\n");
      return 64;
    }
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  Stopwatch stopwatch;
  tallyx::ui::SetMessageSink(&stopwatch);
  tallyx::ui::MainForm form;
  form.findChild<QComboBox*>(QStringLiteral("CbMode"))->setCurrentIndex(mode);
  form.findChild<QComboBox*>(QStringLiteral("CbPath"))->setEditText(QString::fromStdString(path));
  form.findChild<QComboBox*>(QStringLiteral("CbFilter"))
      ->setEditText(QString::fromStdString(filter));
  form.findChild<QLineEdit*>(QStringLiteral("txtOutput"))->setText(QString::fromStdString(output));
  ChooseItems(form, mask);
  form.show();
  QCoreApplication::processEvents();

  double seconds = 0;
  for (int n = 0; n < repeat; ++n) {
    stopwatch.Reset();
    const auto start = std::chrono::steady_clock::now();
    form.findChild<QPushButton*>(QStringLiteral("Bt_Exec"))->click();
    if (!stopwatch.message.startsWith(QString::fromUtf8("変換が完了しました"))) {
      std::fprintf(stderr, "bench-window: %s\n", stopwatch.message.toStdString().c_str());
      return 1;
    }
    seconds += std::chrono::duration<double>(stopwatch.at - start).count();
    QCoreApplication::processEvents();
  }
  tallyx::ui::SetMessageSink(nullptr);
  std::printf("%.6f\n", seconds / (repeat > 0 ? repeat : 1));
  return 0;
}
