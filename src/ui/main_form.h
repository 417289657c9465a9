// The program's only top-level window: the four inputs of a conversion, the dialogs that choose
// them, and the commands that run the conversion, open its result, restore the defaults and end
// the program. Constructing it runs Form_Load, which loads the settings.
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
#include "model/errors.h"
#include "model/model.h"
#include "platform/fs.h"
#include "platform/system.h"
#include "settings/settings.h"
#include "desktop/open_document.h"
#include "ui/dialogs.h"

class QComboBox;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QEventLoop;
class QLabel;
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

  // The output-item mask in force, and the settings file path.
  std::int32_t CnvCode = 0;
  QString IniFile;

  // The dialogs' hand-over members; they keep their values from one use to the next.
  OptSetMembers OptSetForm;
  SelDirMembers SelDirForm;
  SelFileMembers SelFileForm;

  // Shows the prompt of error `ErrNo` with its texts, modally, through the message sink; `details`
  // (what went wrong where) beneath it when given.
  void DispMess(model::ErrorNumber ErrNo, const QString& s1, const QString& s2,
                const QString& details = QString());
  // Opens `DocName` with the desktop's application for it; reports a failure itself and returns
  // the open service's code (see platform::IsOpened).
  std::int32_t StartDoc(const QString& DocName);
  // Writes the five settings; each failing key is reported in its own message.
  void SaveIni();

  // The output-item dialog while it is loaded (it may be loaded hidden), else null.
  OptSet* LoadedOptSet() const { return opt_set_; }

 public slots:
  void Form_Load();
  void CbMode_Click();
  void CbMode_LostFocus();
  void Bt_path_Click();
  void Bt_File_Click();
  void Bt_Opt_Click();
  void Bt_Exec_Click();
  void Bt_Excel_Click();
  void Bt_Init_Click();
  void Bt_End_Click();
  void Form_QueryUnload();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateControls();
  // The mode of the selected entry of the mode box.
  model::Mode SelectedMode() const;
  // The five values the window shows: what a run converts and what a save keeps.
  settings::Settings Shown() const;
  // Selects a mode entry; the mode-change handling runs also when the entry was selected already.
  void SelectMode(model::Mode mode);
  void SetCommandButtonsEnabled(bool enabled);
  // A directory chosen, as the directory dialog hands it back: a plain path, without comment.
  void TakeDirectory(const QString& directory);
  void TakeOutput(const QString& file);

  // What a drop of `mime` would change: the input directory or the output file (`to_output`),
  // and its new text, in the form the dialogs give. None when the drop is refused. `on_output`:
  // it is dropped on the output box or its button.
  struct Dropped {
    bool to_output;
    QString path;
  };
  std::optional<Dropped> DropOf(const QMimeData* mime, bool on_output) const;
  // Accepts the drag or drop `event` when DropOf takes it (as a copy: the source keeps its
  // files), refuses it otherwise; a drop accepted is taken.
  void Drag(QDropEvent* event, bool on_output);
  // F1 in `window` opens the guide at the section with id `section`.
  void AddGuideKey(QWidget* window, const char* section);
  void OpenGuide(const char* section);
  // Tells why a document or page did not open, naming `document` when the message names one.
  void ReportNotOpened(const desktop::OpenOutcome& outcome, const QString& document);
  void UnloadOptSet();
  // Saves the settings once and ends the program; later calls do nothing. A run still going is
  // stopped first, as its "中止" would.
  void SaveAndEnd();

  // Runs the conversion on a thread of its own and waits for it in an event loop, so that the
  // window keeps painting while it takes no input; a run still going after half a second shows
  // the progress dialog. The run thread owns the run: this thread only asks it to stop and receives
  // queued progress; the result is read after the thread has been joined.
  convert::RunResult RunConversionAside(convert::RunInputs inputs);
  void ShowProgress();
  // Asks a run still going to stop and waits for its thread; closes the progress dialog.
  void StopRunAndWait();

  QLabel* CnvModeD = nullptr;
  QComboBox* CbMode = nullptr;
  QPushButton* Bt_path = nullptr;
  QComboBox* CbPath = nullptr;
  QLabel* Label1 = nullptr;
  QComboBox* CbFilter = nullptr;
  QPushButton* Bt_File = nullptr;
  QLineEdit* txtOutput = nullptr;
  QPushButton* Bt_Excel = nullptr;
  QPushButton* Bt_Init = nullptr;
  QPushButton* Bt_Opt = nullptr;
  QPushButton* Bt_Exec = nullptr;
  QPushButton* Bt_End = nullptr;
  QLabel* Label4 = nullptr;

  platform::System& system_;
  platform::FileSystem& fs_;
  std::string guide_;
  // Where the settings lie, as found at start: the directories a save may make and the copy
  // (see settings::SettingsFile); the path itself is IniFile.
  settings::SettingsFile ini_file_;
  QPointer<OptSet> opt_set_;
  bool ending_ = false;

  // While a run goes.
  convert::ConversionRun* run_ = nullptr;
  std::thread run_thread_;
  QEventLoop* run_loop_ = nullptr;
  QPointer<RunProgressDialog> progress_;
  // The last progress the run thread sent.
  std::int32_t finished_ = 0;
  std::int32_t found_ = 0;
  QString reading_;
};

}  // namespace tallyx::ui
