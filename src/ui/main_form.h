// The program's only top-level window: the four inputs of a conversion, the dialogs that choose
// them, and the commands that run the conversion, open its result, restore the defaults and end
// the program. It starts from the saved settings and saves them whenever the program ends:
// through "終了" or by being closed (the close box, the end of the session, a request of the
// system). Ending asks the application to leave its event loops.
//
// It also takes one item dropped from the desktop: a folder becomes the input directory, a result
// file (one the filter shown matches) gives its folder, and a ".csv" file dropped on the output
// box or its button becomes the output file. Anything else is refused, and so is every drop
// while the window takes no input.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>

#include "convert/run.h"
#include "desktop/open_document.h"
#include "model/errors.h"
#include "model/model.h"
#include "platform/fs.h"
#include "platform/system.h"
#include "settings/settings.h"
#include "ui/dialogs.h"

class QComboBox;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QEventLoop;
class QLineEdit;
class QMimeData;
class QPushButton;

namespace tallyx::ui {

class RunProgressDialog;

class MainForm : public QWidget {
  Q_OBJECT
 public:
  // The runs, the settings and the desktop's opener go through `system`. F1 opens the guide's
  // page `guide` (a local HTML file, UTF-8) at the section of the window it is pressed in; with
  // no guide it does nothing.
  explicit MainForm(QWidget* parent = nullptr, platform::System& system = platform::RealSystem(),
                    std::string guide = std::string());
  ~MainForm() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private slots:
  // The filter box shows the list entry of the mode chosen.
  void followMode();
  void chooseInputDirectory();
  void chooseOutputFile();
  void chooseItems();
  void runConversion();
  void openOutput();
  void restoreDefaults();
  void saveAndQuit();

 private:
  void createControls();
  void connectControls();
  void loadSettings();
  // The mode of the selected entry of the mode box.
  model::Mode selectedMode() const;
  // Selects a mode entry; the filter follows also when the entry was selected already.
  void selectMode(model::Mode mode);
  // The five values the window shows: what a run converts and what a save keeps.
  settings::Settings shown() const;
  void setCommandButtonsEnabled(bool enabled);
  void takeDirectory(const QString& directory);
  void takeOutput(const QString& file);

  // What a drop of `mime` would change: the input directory or the output file (`toOutput`),
  // and its new text, in the form the dialogs give. None when the drop is refused. `onOutput`:
  // it is dropped on the output box or its button.
  struct Dropped {
    bool toOutput;
    QString path;
  };
  std::optional<Dropped> dropOf(const QMimeData* mime, bool onOutput) const;
  // Accepts the drag or drop `event` when dropOf takes it (as a copy: the source keeps its
  // files), refuses it otherwise; a drop accepted is taken.
  void answerDrag(QDropEvent* event, bool onOutput);

  // F1 in `window` opens the guide at the section with id `section`.
  void addGuideKey(QWidget* window, const char* section);
  void showGuide(const char* section);
  // A dialog's set-up that adds its F1.
  DialogSetUp withGuideKey(const char* section);
  // Shows the prompt of error `errNo` with its texts, modally, through the message sink;
  // `details` (what went wrong where) beneath it when given.
  void showError(model::ErrorNumber errNo, const QString& s1, const QString& s2,
                 const QString& details = QString());
  // Tells why a document or page did not open, naming `document` when the message names one.
  void reportNotOpened(const desktop::OpenOutcome& outcome, const QString& document);
  // Writes the five settings; each failing key is reported in its own message.
  void saveSettings();

  // Runs the conversion on a thread of its own and waits for it in an event loop, so that the
  // window keeps painting while it takes no input; a run still going after half a second shows
  // the progress dialog. The run thread owns the run: this thread only asks it to stop and
  // receives queued progress; the result is read after the thread has been joined.
  convert::RunResult runAside(convert::RunInputs inputs);
  void showProgress();
  // Asks a run still going to stop and waits for its thread; closes the progress dialog.
  void stopRunAndWait();

  QComboBox* modeBox_ = nullptr;
  QPushButton* pathButton_ = nullptr;
  QComboBox* pathBox_ = nullptr;
  QComboBox* filterBox_ = nullptr;
  QPushButton* outputButton_ = nullptr;
  QLineEdit* outputBox_ = nullptr;
  QPushButton* openButton_ = nullptr;
  QPushButton* defaultsButton_ = nullptr;
  QPushButton* itemsButton_ = nullptr;
  QPushButton* runButton_ = nullptr;
  QPushButton* endButton_ = nullptr;

  platform::System& system_;
  platform::FileSystem& fs_;
  std::string guide_;
  // Where the settings lie, as found at start: the file, the directories a save may make and
  // the copy (see settings::SettingsFile).
  settings::SettingsFile settingsFile_;
  // The output-item mask in force.
  std::int32_t mask_ = 0;
  // The directory the input directory dialog last handed back or was handed, kept from one use
  // to the next: a dialog closed from its frame hands it over again. None after a cancel.
  std::optional<QString> lastDirectory_ = QString();
  bool ending_ = false;

  // While a run goes.
  convert::ConversionRun* run_ = nullptr;
  std::thread runThread_;
  QEventLoop* runLoop_ = nullptr;
  QPointer<RunProgressDialog> progress_;
  // The last progress the run thread sent.
  std::int32_t finished_ = 0;
  std::int32_t found_ = 0;
  QString reading_;
};

}  // namespace tallyx::ui
