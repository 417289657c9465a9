// tallyx: the window. It takes no arguments of its own; its only top-level window is MainForm.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QSessionManager>
#include <QSocketNotifier>
#include <memory>

#include "platform/system.h"
#include "ui/main_form.h"

namespace {

// The icon in every size drawn for it, built into the binary.
QIcon ProgramIcon() {
  QIcon icon;
  const QDir sizes(QStringLiteral(":/icons"));
  for (const QString& name : sizes.entryList(QDir::Files)) icon.addFile(sizes.filePath(name));
  return icon;
}

}  // namespace

int main(int argc, char** argv) {
  // The system's requests to end (SIGTERM, SIGHUP) close the window like its close box.
  tallyx::platform::System& system = tallyx::platform::RealSystem();
  const int end_requests = system.CatchEndRequests();
  // The desktop matches the window to its menu entry by this name.
  QGuiApplication::setDesktopFileName(QStringLiteral(TALLYX_APP_ID));
  QApplication app(argc, argv);
  QApplication::setApplicationVersion(QStringLiteral(TALLYX_VERSION));
  QApplication::setWindowIcon(ProgramIcon());
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
