// tallyx: the window. It takes no arguments of its own; its only top-level window is MainForm.
#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <memory>

#include "app/program_icon.h"
#include "platform/system.h"
#include "ui/main_form.h"

int main(int argc, char** argv) {
  // The system's requests to end (SIGTERM, SIGHUP) close the window like its close box.
  tallyx::platform::System& system = tallyx::platform::RealSystem();
  const int end_requests = system.CatchEndRequests();
  // The desktop matches the window to its menu entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral(TALLYX_APP_ID));
  QApplication app(argc, argv);
  QApplication::setApplicationVersion(QStringLiteral(TALLYX_VERSION));
  QApplication::setWindowIcon(tallyx::app::ProgramIcon());
  tallyx::ui::MainForm form(nullptr, system, system.InstalledGuide());

  // The end of the desktop session closes the window like its close box, which saves the
  // settings and ends the program.
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &form,
                   [&form](QSessionManager&) { form.close(); });
  std::unique_ptr<QSocketNotifier> end_notifier;
  if (end_requests >= 0) {
    end_notifier = std::make_unique<QSocketNotifier>(end_requests, QSocketNotifier::Read);
    QObject::connect(end_notifier.get(), &QSocketNotifier::activated, &form, [&form, &system] {
      system.DrainEndRequests();
      form.close();
    });
  }

  form.show();
  return app.exec();
}
