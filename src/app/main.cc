// tallyx: the window. It takes no arguments of its own; its only top-level window is MainForm.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QSessionManager>

#include "ui/main_form.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <memory>
#endif

namespace {

#ifndef _WIN32
// SIGTERM and SIGHUP (shutdown, logging off, a closed terminal) end the program the way its
// close box does. The handler only writes a byte; the event loop reads it and closes the window.
int g_end_pipe[2] = {-1, -1};

void OnEndSignal(int) {
  const char byte = 0;
  [[maybe_unused]] const ssize_t written = ::write(g_end_pipe[1], &byte, 1);
}

bool CatchEndSignals() {
  if (::pipe(g_end_pipe) != 0) return false;
  for (const int fd : g_end_pipe) {
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
  }
  struct sigaction action = {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGHUP, &action, nullptr) == 0;
}

void DrainEndPipe() {
  char bytes[16];
  while (::read(g_end_pipe[0], bytes, sizeof bytes) > 0) {
  }
}
#endif

// The icon in every size drawn for it, built into the binary.
QIcon ProgramIcon() {
  QIcon icon;
  const QDir sizes(QStringLiteral(":/icons"));
  for (const QString& name : sizes.entryList(QDir::Files)) icon.addFile(sizes.filePath(name));
  return icon;
}

}  // namespace

int main(int argc, char** argv) {
#ifndef _WIN32
  // Caught before anything else, so that a signal during start-up is not lost: it waits in the
  // pipe until the window runs.
  const bool end_signals_caught = CatchEndSignals();
#endif
  // The desktop matches the window to its menu entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral(TALLYX_APP_ID));
  QApplication app(argc, argv);
  QApplication::setApplicationVersion(QStringLiteral(TALLYX_VERSION));
  QApplication::setWindowIcon(ProgramIcon());
  tallyx::ui::MainForm form;

  // The end of the desktop session closes the window like its close box, which saves the
  // settings and ends the program.
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                   [&form](QSessionManager&) { form.close(); });
#ifndef _WIN32
  std::unique_ptr<QSocketNotifier> end_notifier;
  if (end_signals_caught) {
    end_notifier = std::make_unique<QSocketNotifier>(g_end_pipe[0], QSocketNotifier::Read);
    QObject::connect(end_notifier.get(), &QSocketNotifier::activated, &form, [&form] {
      DrainEndPipe();
      form.close();
    });
  }
#endif

  form.show();
  return app.exec();
}
