// tallyx-view: the progress viewer's window, or with --report its report of one patient written
// as a PDF file without a window (for scheduled reports).
#include <QApplication>
#include <QDateTime>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/program_icon.h"
#include "model/messages.h"
#include "model/model.h"
#include "platform/headless.h"
#include "platform/system.h"
#include "progress/folder.h"
#include "settings/settings.h"
#include "view/charts.h"
#include "view/progress_window.h"
#include "view/report.h"

namespace {

using namespace tallyx;

constexpr int kUsageExit = 64;
constexpr int kNotWrittenExit = 1;
constexpr int kNoFilesExit = 2;
constexpr int kNoPatientExit = 3;

constexpr std::string_view kUsage =
    "Usage: tallyx-view\n"
    "       tallyx-view --report FILE.pdf --patient CODE [--mode N] [--path TEXT]\n"
    "                   [--filter TEXT] [--all]\n"
    "\n"
    "Without options it opens the window. With --report it writes the report of one\n"
    "patient as a PDF file and shows nothing. A value left out is taken from the\n"
    "settings file, as the window starts with it; the file is never written.\n"
    "\n"
    "  --report FILE    the PDF file to write\n"
    "  --patient CODE   the patient code (or the user ID) as the window lists it\n"
    "  --mode N         measurement mode: 0 muscle strength, 1 isometric,\n"
    "                   2 initial rehabilitation, 3 exercise\n"
    "  --path TEXT      the folder of the result files\n"
    "  --filter TEXT    file-name pattern with * and ?\n"
    "  --all            a page for every measurement of the patient (default: the\n"
    "                   latest one only)\n"
    "\n"
    "Exit status: 0 on success (unreadable result files are named on stderr), 1 when\n"
    "the PDF cannot be written, 2 when the folder is missing or no file matches, 3\n"
    "when the patient has no measurement, 64 on wrong usage.\n";

struct Options {
  std::optional<std::string> report;
  std::optional<std::string> patient;
  std::optional<model::Mode> mode;
  std::optional<std::string> path;
  std::optional<std::string> filter;
  bool all = false;
  bool help = false;
};

std::optional<std::string> Parse(const std::vector<std::string>& args, Options* o) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--all") {
      o->all = true;
      continue;
    }
    if (a == "--help" || a == "-h") {
      o->help = true;
      continue;
    }
    std::string name = a;
    std::optional<std::string> value;
    if (const std::size_t eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = a.substr(0, eq);
      value = a.substr(eq + 1);
    }
    std::optional<std::string>* field = name == "--report"    ? &o->report
                                        : name == "--patient" ? &o->patient
                                        : name == "--path"    ? &o->path
                                        : name == "--filter"  ? &o->filter
                                                              : nullptr;
    if (field == nullptr && name != "--mode") return "unknown option: " + a;
    if (!value) {
      if (i + 1 >= args.size()) return "missing value for " + name;
      value = args[++i];
    }
    if (field != nullptr) {
      *field = *value;
    } else if (value->size() == 1 && model::IsModeNumber((*value)[0] - '0')) {
      o->mode = model::ModeOf((*value)[0] - '0');
    } else {
      return "--mode takes 0, 1, 2 or 3, not: " + *value;
    }
  }
  if (o->help) return std::nullopt;
  if (!o->report) return "options without --report";
  if (o->report->empty()) return "--report needs a file name";
  if (!o->patient) return "--report needs --patient";
  return std::nullopt;
}

int UsageError(const std::string& error, std::ostream& err) {
  err << view::Format(model::kWrongUsage, view::FromUtf8(error)).toStdString() << "\n\n"
      << kUsage;
  return kUsageExit;
}

// Writes the report; each failure one line on stderr, no PDF made, an earlier one unchanged.
int Report(const Options& o, platform::System& system) {
  std::ostream& err = system.err();
  platform::FileSystem& fs = system.files();
  const settings::Settings stored =
      settings::LoadSettings(settings::LocateSettingsFile(system), system);
  progress::FolderInputs inputs;
  inputs.mode = o.mode.value_or(stored.mode);
  inputs.directory_text = o.path.value_or(stored.path);
  // The stored filter belongs to the stored mode; another mode starts from its own entry.
  const bool stored_filter = !stored.filter.empty() && inputs.mode == stored.mode;
  inputs.filter_text = o.filter.value_or(
      stored_filter ? stored.filter : std::string(model::TableOf(inputs.mode).filter_entry));

  progress::FolderReading reading(inputs, fs);
  progress::Folder folder;
  progress::FolderFailure failure;
  const bool listed = reading.Execute(&folder, &failure);
  for (const std::string& detail : folder.unreadable) err << detail << "\n";
  if (!listed) {
    err << (failure.detail.empty() ? model::MessagePrompt(failure.err_no, failure.s1, failure.s2)
                                   : failure.detail)
        << "\n";
    return kNoFilesExit;
  }
  const progress::Patient* patient = folder.Find(*o.patient);
  if (patient == nullptr) {
    err << view::Format(model::kNoSuchPatient, view::FromUtf8(*o.patient),
                        QString::number(folder.patients.size()))
               .toStdString()
        << "\n";
    return kNoPatientExit;
  }

  view::ReportRequest request;
  request.folder = &folder;
  request.patient = patient;
  request.made = QDateTime::currentDateTime();
  if (o.all) {
    const auto sessions = folder.SessionsOf(*patient);
    request.included.assign(sessions.begin(), sessions.end());
  } else {
    request.included.push_back(
        static_cast<std::uint32_t>(&folder.Latest(*patient) - folder.measurements.data()));
  }
  std::string not_written;
  if (view::IsResultFile(folder, fs, *o.report)) {
    not_written = model::FailureDetail(*o.report, 0, model::failure_reason::kIsResultFile);
  } else if (view::WritePdfReport(request, fs, *o.report, &not_written)) {
    return 0;
  }
  err << model::kPdfNotSaved << ": " << not_written << "\n";
  return kNotWrittenExit;
}


}  // namespace

int main(int argc, char** argv) {
  platform::System& system = platform::RealSystem();
  // The window takes no arguments: with any, the program writes a report or tells its usage,
  // neither of which needs a display, so the platform is chosen before the application starts,
  // and Qt's own warnings stay off stderr, which carries the program's lines alone. Those lines
  // reach the console the program was started from, on Windows too, where it has none of its own.
  const bool headless = argc > 1;
  if (headless) {
    platform::AttachStartingConsole();
    qputenv("QT_QPA_PLATFORM", platform::HeadlessQtPlatform());
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
  }
  QApplication::setDesktopFileName(QStringLiteral(TALLYX_VIEW_APP_ID));
  QApplication app(argc, argv);
  QApplication::setApplicationVersion(QStringLiteral(TALLYX_VERSION));

  std::vector<std::string> args;
  const QStringList arguments = QCoreApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
  Options options;
  if (const auto error = Parse(args, &options); error && !args.empty()) {
    return UsageError(*error, system.err());
  }
  if (options.help) {
    system.out() << kUsage;
    return 0;
  }
  if (options.report) return Report(options, system);

  QApplication::setWindowIcon(tallyx::app::ProgramIcon());
  // Qt's own dialogs (choosing a file or a folder, printing) in Japanese, as the rest of the
  // window, where the system has Qt's translations; Windows shows its own dialogs.
  QTranslator qt_texts;
  if (qt_texts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_texts);
  }
  view::ProgressWindow window(nullptr, system, system.InstalledGuide());
  window.show();
  // It opens on what the main window last converted.
  window.load();
  return app.exec();
}
