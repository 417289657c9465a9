#include "ui/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <string>
#include <string_view>

#include "convert/run.h"
#include "model/model.h"
#include "platform/fs.h"
#include "platform/text_conv.h"
#include "settings/settings.h"
#include "shell/messages.h"
#include "shell/open_document.h"
#include "ui/look.h"
#include "ui/message_sink.h"
#include "ui/run_progress.h"

namespace tallyx::ui {
namespace {

constexpr std::string_view kCaption = "Kyrova データ集計ツール";
constexpr int kClientWidth = 324;
constexpr int kClientHeight = 168;
// Drops every key, mouse, wheel and touch event of the application while it lives.
class InputDropped : public QObject {
 public:
  InputDropped() { QCoreApplication::instance()->installEventFilter(this); }
  ~InputDropped() override { QCoreApplication::instance()->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override { return event->isInputEvent(); }
};

// A run still going after this long shows its progress.
constexpr std::chrono::milliseconds kProgressDelay{500};
// The run thread sends its progress at most this often.
constexpr std::chrono::milliseconds kProgressInterval{50};

struct Place {
  int left, top, width, height;
};

std::string Utf8(const QString& text) { return text.toStdString(); }

template <typename W>
W* Placed(W* widget, const char* name, Place p) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setGeometry(p.left, p.top, p.width, p.height);
  return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, std::string_view caption, Place p) {
  auto* label = Placed(new QLabel(FromUtf8(caption), parent), name, p);
  label->setFont(ArialFont());
  // Labels lie beneath the boxes: the part number's last row is covered by the mode box.
  label->lower();
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, std::string_view caption, Place p,
                        bool latin_font = false) {
  auto* button = Placed(new QPushButton(FromUtf8(caption), parent), name, p);
  button->setAutoDefault(false);
  if (latin_font) button->setFont(ArialFont());
  return button;
}

// The directory and filter boxes take typed text, but typing never adds list entries: entry i
// of each list stays the entry of mode i.
QComboBox* MakeComboBox(QWidget* parent, const char* name, Place p, bool editable) {
  auto* box = Placed(new QComboBox(parent), name, p);
  box->setEditable(editable);
  if (editable) {
    box->setInsertPolicy(QComboBox::NoInsert);
    // The box holds exactly what was typed: nothing completed from the list, and no entry that
    // differs in case taken in its place on Enter or when the box is left.
    box->setCompleter(nullptr);
  }
  return box;
}

// While it lives, the window `form` takes no input: keys, clicks and shortcuts meant for it or
// its controls are dropped. Its dialogs and message boxes are windows of their own and take
// theirs.
class InputBlocker : public QObject {
 public:
  explicit InputBlocker(QWidget* form) : form_(form) { qApp->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const bool input = event->isInputEvent() || event->type() == QEvent::Shortcut ||
                       event->type() == QEvent::ShortcutOverride;
    return input && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == form_;
  }

 private:
  QWidget* form_;
};

}  // namespace

MainForm::MainForm(QWidget* parent, platform::FileSystem& fs) : QWidget(parent), fs_(fs) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(FromUtf8(kCaption));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFont(GothicFont());
  setFixedSize(kClientWidth, kClientHeight);
  CreateControls();
  Form_Load();
}

MainForm::~MainForm() {
  ending_ = true;
  StopRunAndWait();
  CbMode->removeEventFilter(this);
}

void MainForm::CreateControls() {
  // Created in tab order.
  CnvModeD = MakeLabel(this, "CnvModeD", "Mode", {24, 16, 30, 15});
  CbMode = MakeComboBox(this, "CbMode", {64, 16, 257, 20}, false);
  Bt_path = MakeButton(this, "Bt_path", "Path", {8, 41, 49, 25}, true);
  CbPath = MakeComboBox(this, "CbPath", {64, 45, 257, 20}, true);
  Label1 = MakeLabel(this, "Label1", "Filter", {18, 75, 29, 15});
  CbFilter = MakeComboBox(this, "CbFilter", {64, 75, 257, 20}, true);
  Bt_File = MakeButton(this, "Bt_File", "Output", {8, 100, 49, 25}, true);
  txtOutput = Placed(new QLineEdit(this), "txtOutput", {64, 104, 209, 20});
  Bt_Excel = MakeButton(this, "Bt_Excel", "開く", {280, 100, 41, 25});
  Bt_Init = MakeButton(this, "Bt_Init", "初期値", {8, 140, 65, 25});
  Bt_Opt = MakeButton(this, "Bt_Opt", "変換設定", {80, 140, 65, 25});
  Bt_Exec = MakeButton(this, "Bt_Exec", "集計実行", {184, 140, 65, 25});
  Bt_End = MakeButton(this, "Bt_End", "終了", {256, 140, 65, 25});
  // Windows draws the part number in Arial with whole-pixel letters, 100 pixels wide at 9
  // points: the label reaches to 2 pixels short of the window's edge, not 97 wide.
  Label4 = MakeLabel(this, "Label4", "72QK-31W418-B6", {216, 0, 106, 17});

  // A choice by the user runs it also when it selects the entry that was selected already.
  connect(CbMode, &QComboBox::currentIndexChanged, this, &MainForm::CbMode_Click);
  connect(CbMode, &QComboBox::activated, this, &MainForm::CbMode_Click);
  CbMode->installEventFilter(this);
  connect(Bt_path, &QPushButton::clicked, this, &MainForm::Bt_path_Click);
  connect(Bt_File, &QPushButton::clicked, this, &MainForm::Bt_File_Click);
  connect(Bt_Opt, &QPushButton::clicked, this, &MainForm::Bt_Opt_Click);
  connect(Bt_Exec, &QPushButton::clicked, this, &MainForm::Bt_Exec_Click);
  connect(Bt_Excel, &QPushButton::clicked, this, &MainForm::Bt_Excel_Click);
  connect(Bt_Init, &QPushButton::clicked, this, &MainForm::Bt_Init_Click);
  connect(Bt_End, &QPushButton::clicked, this, &MainForm::Bt_End_Click);
}

void MainForm::Form_Load() {
  for (const model::Mode mode : model::kAllModes) {
    CbFilter->addItem(FromUtf8(model::TableOf(mode).filter_entry));
  }
  for (const model::Mode mode : model::kAllModes) {
    CbPath->addItem(FromUtf8(model::TableOf(mode).directory_entry));
  }
  for (const model::Mode mode : model::kAllModes) {
    CbMode->addItem(FromUtf8(model::TableOf(mode).mode_name));
  }
  CbFilter->setCurrentIndex(-1);
  CbPath->setCurrentIndex(-1);
  CbMode->setCurrentIndex(-1);

  ini_file_ = settings::LocateSettingsFile();
  IniFile = FromUtf8(ini_file_.path);
  const settings::Settings loaded = settings::LoadSettings(ini_file_, fs_);
  CnvCode = loaded.optcode;
  CbPath->setEditText(FromUtf8(loaded.path));
  CbFilter->setEditText(FromUtf8(loaded.filter));
  txtOutput->setText(FromUtf8(loaded.output));
  SelectMode(loaded.mode);
}

model::Mode MainForm::SelectedMode() const { return model::ModeOf(CbMode->currentIndex()); }

void MainForm::SelectMode(model::Mode mode) {
  if (CbMode->currentIndex() == model::NumberOf(mode)) {
    CbMode_Click();
  } else {
    CbMode->setCurrentIndex(model::NumberOf(mode));
  }
}

void MainForm::CbMode_Click() {
  const int entry = model::NumberOf(SelectedMode());
  CbFilter->setCurrentIndex(entry);
  // Selecting the entry that is selected already would leave typed text in place.
  CbFilter->setEditText(CbFilter->itemText(entry));
}

void MainForm::CbMode_LostFocus() {
  if (opt_set_ == nullptr) opt_set_ = new OptSet(&OptSetForm, CnvCode, this);
  opt_set_->Relabel(SelectedMode());
}

void MainForm::Bt_path_Click() {
  const std::string directory = model::ValuePart(Utf8(CbPath->currentText()));
  if (!directory.empty() && fs_.PathExists(directory)) SelDirForm.SetStr = FromUtf8(directory);
  QPointer<SelDir> dialog = new SelDir(&SelDirForm, this);
  dialog->exec();
  if (const auto chosen = Chosen(SelDirForm.SetStr)) CbPath->setEditText(*chosen);
  delete dialog.data();
}

void MainForm::Bt_File_Click() {
  SelFileForm.SetStr = txtOutput->text();
  QPointer<SelFile> dialog = new SelFile(&SelFileForm, this);
  dialog->exec();
  if (const auto file = Chosen(SelFileForm.SetStr)) txtOutput->setText(*file);
  delete dialog.data();
}

void MainForm::Bt_Opt_Click() {
  OptSetForm.OptCode = QString::number(CnvCode);
  CbMode_LostFocus();
  opt_set_->exec();
  if (const auto code = Chosen(OptSetForm.OptCode)) {
    // A text beyond 32 bits keeps the mask in force.
    const double value = platform::LeadingNumber(Utf8(*code));
    if (const auto mask = platform::RoundTo<std::int32_t>(value)) CnvCode = *mask;
  }
  UnloadOptSet();
}

void MainForm::UnloadOptSet() {
  delete opt_set_.data();
  opt_set_ = nullptr;
}

void MainForm::SetCommandButtonsEnabled(bool enabled) {
  for (QPushButton* button : {Bt_Exec, Bt_Opt, Bt_End, Bt_File, Bt_path, Bt_Init}) {
    button->setEnabled(enabled);
  }
}

void MainForm::Bt_Exec_Click() {
  SetCommandButtonsEnabled(false);
  const settings::Settings shown = Shown();
  convert::RunInputs inputs;
  inputs.mode = shown.mode;
  inputs.mask = shown.optcode;
  inputs.directory_text = shown.path;
  inputs.filter_text = shown.filter;
  inputs.output_path = shown.output;
  const convert::RunResult result = RunConversionAside(std::move(inputs));
  // Ending the program stopped the run: no message, the program ends.
  if (ending_) return;
  if (result.ok) {
    Messages().Show(this, FromUtf8(result.stopped ? shell::StoppedMessage(result.processed)
                                                  : shell::ClosingMessage(result.processed)));
  } else {
    DispMess(result.failure.err_no, FromUtf8(result.failure.s1), FromUtf8(result.failure.s2),
             FromUtf8(result.failure.detail));
  }
  SetCommandButtonsEnabled(true);
}

convert::RunResult MainForm::RunConversionAside(convert::RunInputs inputs) {
  convert::ConversionRun run(std::move(inputs), fs_);
  // Called on the run thread: it hands copies over to this thread, a few times a second.
  run.OnProgress([this, last = std::chrono::steady_clock::time_point()](
                     const convert::RunProgress& p) mutable {
    const auto now = std::chrono::steady_clock::now();
    if (now - last < kProgressInterval) return;
    last = now;
    QMetaObject::invokeMethod(
        this,
        [this, finished = p.finished, found = p.found, name = FromUtf8(p.name)] {
          finished_ = finished;
          found_ = found;
          reading_ = name;
          if (progress_ != nullptr) progress_->Show(finished_, found_, reading_);
        },
        Qt::QueuedConnection);
  });

  QEventLoop loop;
  QTimer progress_timer;
  progress_timer.setSingleShot(true);
  connect(&progress_timer, &QTimer::timeout, this, &MainForm::ShowProgress);
  finished_ = found_ = 0;
  reading_.clear();
  run_ = &run;
  run_loop_ = &loop;
  InputBlocker blocker(this);

  convert::RunResult result;
  run_thread_ = std::thread([this, &run, &result] {
    result = run.Execute();
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (run_loop_ != nullptr) run_loop_->quit();
        },
        Qt::QueuedConnection);
  });
  progress_timer.start(kProgressDelay);
  loop.exec();
  StopRunAndWait();
  run_loop_ = nullptr;
  return result;
}

void MainForm::ShowProgress() {
  if (run_ == nullptr || progress_ != nullptr) return;
  progress_ = new RunProgressDialog(this);
  connect(progress_, &RunProgressDialog::stopRequested, this, [this] {
    if (run_ != nullptr) run_->RequestStop();
  });
  progress_->Show(finished_, found_, reading_);
  progress_->show();
}

void MainForm::StopRunAndWait() {
  if (run_ != nullptr) run_->RequestStop();
  if (run_thread_.joinable()) run_thread_.join();
  run_ = nullptr;
  delete progress_.data();
}

void MainForm::Bt_Excel_Click() { StartDoc(txtOutput->text()); }

std::int32_t MainForm::StartDoc(const QString& DocName) {
  shell::OpenOutcome outcome;
  {
    // While the desktop's opener is waited for, the windows keep painting and the user's input
    // is dropped.
    const InputDropped no_input;
    outcome = shell::OpenDocument(Utf8(DocName), [] { QCoreApplication::processEvents(); });
  }
  // The window may have been closed while the desktop's opener was waited for.
  if (!outcome.opened() && !ending_) {
    DispMess(outcome.err_no, outcome.names_document ? DocName : QString(), QString());
  }
  return outcome.code;
}

void MainForm::DispMess(model::ErrorNumber ErrNo, const QString& s1, const QString& s2,
                        const QString& details) {
  Messages().Show(this, FromUtf8(shell::MessagePrompt(ErrNo, Utf8(s1), Utf8(s2))), details);
}

void MainForm::Bt_Init_Click() {
  const settings::Settings defaults = settings::DefaultSettings();
  CbPath->setEditText(FromUtf8(defaults.path));
  CbFilter->setEditText(FromUtf8(defaults.filter));
  txtOutput->setText(FromUtf8(defaults.output));
  SelectMode(defaults.mode);
}

settings::Settings MainForm::Shown() const {
  settings::Settings values;
  values.mode = SelectedMode();
  values.optcode = CnvCode;
  values.path = Utf8(CbPath->currentText());
  values.filter = Utf8(CbFilter->currentText());
  values.output = Utf8(txtOutput->text());
  return values;
}

void MainForm::SaveIni() {
  const settings::Settings values = Shown();
  // Each failure is shown before the next write is tried: a user who frees the disk or makes
  // the directory while the message is open gets the rest saved.
  settings::SettingsFile ini_file = ini_file_;
  ini_file.path = Utf8(IniFile);
  settings::SaveSettings(
      ini_file, values,
      [this](const settings::IniFailure& failure) {
        DispMess(failure.err_no, FromUtf8(failure.name), QString());
      },
      fs_);
}

void MainForm::Bt_End_Click() { SaveAndEnd(); }

void MainForm::Form_QueryUnload() { SaveAndEnd(); }

void MainForm::SaveAndEnd() {
  // A second way out (the session ending while a settings message is shown, say) finds the
  // settings saved already.
  if (ending_) return;
  ending_ = true;
  const bool running = run_loop_ != nullptr;
  StopRunAndWait();
  SaveIni();
  hide();
  if (running) run_loop_->quit();
  // Leaves every event loop, a modal dialog's among them. Without a running loop besides the
  // run's own (a test that drives the window directly) there is nothing to end.
  if (QThread::currentThread()->loopLevel() > (running ? 1 : 0)) QCoreApplication::exit(0);
}

void MainForm::closeEvent(QCloseEvent* event) {
  if (!ending_) Form_QueryUnload();
  event->accept();
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == CbMode && event->type() == QEvent::FocusOut && !ending_) {
    // Opening its own list or leaving the window is no loss of focus for the mode box.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
      CbMode_LostFocus();
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tallyx::ui
