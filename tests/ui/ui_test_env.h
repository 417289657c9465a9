// What the window tests share: one QApplication on the offscreen platform, a message sink that
// records instead of blocking, and a way to act on a modal dialog once it is shown.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "support/workdir.h"
#include "ui/message_sink.h"

namespace tallyx::testing {

// The application every window test runs in. Kept for the whole test program.
inline void EnsureApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) SetEnv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "ui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

// Records every message with the enabled state of the main window's six run-guarded buttons at
// the moment it was shown.
class RecordingSink : public ui::MessageSink {
 public:
  struct Shown {
    QString text;
    QString details;
    std::vector<bool> buttons_enabled;  // Bt_Exec, Bt_Opt, Bt_End, Bt_File, Bt_path, Bt_Init
  };

  RecordingSink() { ui::SetMessageSink(this); }
  ~RecordingSink() override { ui::SetMessageSink(nullptr); }

  void Show(QWidget* parent, const QString& text, const QString& details) override {
    Shown s{text, details, {}};
    for (const char* name : {"Bt_Exec", "Bt_Opt", "Bt_End", "Bt_File", "Bt_path", "Bt_Init"}) {
      auto* b =
          parent != nullptr ? parent->findChild<QPushButton*>(QString::fromLatin1(name)) : nullptr;
      if (b != nullptr) s.buttons_enabled.push_back(b->isEnabled());
    }
    shown.push_back(s);
    if (on_show) on_show();
  }

  std::vector<QString> Texts() const {
    std::vector<QString> texts;
    for (const Shown& s : shown) texts.push_back(s.text);
    return texts;
  }

  std::vector<Shown> shown;
  // What the user does while a message is open.
  std::function<void()> on_show;
};

// Runs `act` on the modal dialog as soon as it is shown. Should the dialog still be open a few
// seconds later, it is closed, so that a test fails instead of hanging.
inline void WhenModal(std::function<void(QDialog*)> act) {
  QTimer::singleShot(0, [act] {
    QPointer<QDialog> dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    act(dialog);
    QTimer::singleShot(5000, [dialog] {
      if (dialog != nullptr && dialog->isVisible()) dialog->close();
    });
  });
}

// Does `act` in the application's event loop, as the running program does, and tells whether
// the program then ended: whether the application was asked to leave its event loop within ten
// seconds (a window closing on its own does not end it here).
inline bool EndsTheProgram(const std::function<void()>& act) {
  const bool quit_on_last_window = QApplication::quitOnLastWindowClosed();
  QApplication::setQuitOnLastWindowClosed(false);
  QTimer start, give_up;
  start.setSingleShot(true);
  give_up.setSingleShot(true);
  QObject::connect(&start, &QTimer::timeout, act);
  QObject::connect(&give_up, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  start.start(0);
  give_up.start(10000);
  const int code = QApplication::exec();
  QApplication::setQuitOnLastWindowClosed(quit_on_last_window);
  return code == 0;
}

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    had_ = std::getenv(name) != nullptr;
    SetEnv(name, value);
  }
  ~ScopedEnv() {
    if (had_) {
      SetEnv(name_, old_);
    } else {
      UnsetEnv(name_);
    }
  }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

}  // namespace tallyx::testing
