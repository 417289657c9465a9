#include "ui/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QEvent>
#include <QEventLoop>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <string>
#include <string_view>
#include <utility>

#include "convert/run.h"
#include "model/model.h"
#include "platform/fs.h"
#include "text/paths.h"
#include "text/parse.h"
#include "settings/settings.h"
#include "model/messages.h"
#include "desktop/open_document.h"
#include "ui/dir_list.h"
#include "ui/look.h"
#include "ui/message_sink.h"
#include "ui/run_progress.h"

namespace tallyx::ui {
namespace {

constexpr int kClientWidth = 324;
constexpr int kClientHeight = 168;

bool IsDrag(const QEvent* event) {
  return event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
         event->type() == QEvent::Drop;
}

// What a window that takes no input does not take: keys, clicks, wheel, touch, and drops (a drag
// that is not answered is refused).
bool IsUserInput(const QEvent* event) { return event->isInputEvent() || IsDrag(event); }

// Drops every key, mouse, wheel, touch and drag event of the application while it lives.
class InputDropped : public QObject {
 public:
  InputDropped() { QCoreApplication::instance()->installEventFilter(this); }
  ~InputDropped() override { QCoreApplication::instance()->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override { return IsUserInput(event); }
};

// Opens a document or page with `open` while the user's input is dropped and the windows keep
// painting: the desktop's opener may be waited for.
template <typename Open>
desktop::OpenOutcome WithInputDropped(Open open) {
  const InputDropped no_input;
  return open([] { QCoreApplication::processEvents(); });
}

// The guide's section for each window: the ids its page gives them.
constexpr const char* kMainWindowSection = "main-window";
constexpr const char* kOptSetSection = "output-items";
constexpr const char* kSelDirSection = "input-folder";
constexpr const char* kSelFileSection = "output-file";

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
    const bool input = IsUserInput(event) || event->type() == QEvent::Shortcut ||
                       event->type() == QEvent::ShortcutOverride;
    return input && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == form_;
  }

 private:
  QWidget* form_;
};

}  // namespace

MainForm::MainForm(QWidget* parent, platform::System& system, std::string guide)
    : QWidget(parent), system_(system), fs_(system.files()), guide_(std::move(guide)) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(FromUtf8(model::kWindowCaption));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFont(GothicFont());
  setFixedSize(kClientWidth, kClientHeight);
  CreateControls();
  setAcceptDrops(true);
  // The boxes take text dragged into them as ever; items from the desktop are the window's.
  CbPath->lineEdit()->installEventFilter(this);
  CbFilter->lineEdit()->installEventFilter(this);
  txtOutput->installEventFilter(this);
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
  AddGuideKey(this, kMainWindowSection);
}

void MainForm::AddGuideKey(QWidget* window, const char* section) {
  auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
  key->setContext(Qt::WindowShortcut);
  connect(key, &QShortcut::activated, this, [this, section] { OpenGuide(section); });
}

void MainForm::OpenGuide(const char* section) {
  if (guide_.empty()) return;
  const desktop::OpenOutcome outcome = WithInputDropped([&](const platform::WhileWaiting& wait) {
    return desktop::OpenPage(system_, guide_, section, wait);
  });
  ReportNotOpened(outcome, FromUtf8(guide_));
}

void MainForm::Form_Load() {
  for (const model::Mode mode : model::kAllModes) {
    CbFilter->addItem(FromUtf8(model::TableOf(mode).filter_entry));
  }
  for (const std::string& entry : settings::DefaultPlacesOf(system_).directory_entries) {
    CbPath->addItem(FromUtf8(entry));
  }
  for (const model::Mode mode : model::kAllModes) {
    CbMode->addItem(FromUtf8(model::TableOf(mode).mode_name));
  }
  CbFilter->setCurrentIndex(-1);
  CbPath->setCurrentIndex(-1);
  CbMode->setCurrentIndex(-1);

  ini_file_ = settings::LocateSettingsFile(system_);
  IniFile = FromUtf8(ini_file_.path);
  const settings::Settings loaded = settings::LoadSettings(ini_file_, system_);
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
  if (opt_set_ == nullptr) {
    opt_set_ = new OptSet(&OptSetForm, CnvCode, this);
    AddGuideKey(opt_set_, kOptSetSection);
  }
  opt_set_->Relabel(SelectedMode());
}

void MainForm::Bt_path_Click() {
  const std::string directory = convert::InputDirectory(Utf8(CbPath->currentText()), fs_);
  if (!directory.empty() && fs_.PathExists(directory)) SelDirForm.SetStr = FromUtf8(directory);
  QPointer<SelDir> dialog = new SelDir(&SelDirForm, this);
  AddGuideKey(dialog, kSelDirSection);
  dialog->exec();
  if (const auto chosen = Chosen(SelDirForm.SetStr)) TakeDirectory(*chosen);
  delete dialog.data();
}

void MainForm::TakeDirectory(const QString& directory) { CbPath->setEditText(directory); }

void MainForm::Bt_File_Click() {
  SelFileForm.SetStr = txtOutput->text();
  QPointer<SelFile> dialog = new SelFile(&SelFileForm, this);
  AddGuideKey(dialog, kSelFileSection);
  dialog->exec();
  if (const auto file = Chosen(SelFileForm.SetStr)) TakeOutput(*file);
  delete dialog.data();
}

void MainForm::TakeOutput(const QString& file) { txtOutput->setText(file); }

void MainForm::Bt_Opt_Click() {
  OptSetForm.OptCode = QString::number(CnvCode);
  CbMode_LostFocus();
  opt_set_->exec();
  if (const auto code = Chosen(OptSetForm.OptCode)) {
    // A text beyond 32 bits keeps the mask in force.
    const double value = text::LeadingNumber(Utf8(*code));
    if (const auto mask = text::RoundTo<std::int32_t>(value)) CnvCode = *mask;
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
    Messages().Show(this, FromUtf8(result.stopped ? model::StoppedMessage(result.processed)
                                                  : model::ClosingMessage(result.processed)));
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
  const desktop::OpenOutcome outcome = WithInputDropped([&](const platform::WhileWaiting& wait) {
    return desktop::OpenDocument(system_, Utf8(DocName), wait);
  });
  ReportNotOpened(outcome, DocName);
  return outcome.code;
}

void MainForm::ReportNotOpened(const desktop::OpenOutcome& outcome, const QString& document) {
  // The window may have been closed while the desktop's opener was waited for.
  if (!outcome.opened() && !ending_) {
    DispMess(outcome.err_no, outcome.names_document ? document : QString(), QString());
  }
}

void MainForm::DispMess(model::ErrorNumber ErrNo, const QString& s1, const QString& s2,
                        const QString& details) {
  Messages().Show(this, FromUtf8(model::MessagePrompt(ErrNo, Utf8(s1), Utf8(s2))), details);
}

void MainForm::Bt_Init_Click() {
  const settings::Settings defaults = settings::DefaultSettings(settings::DefaultPlacesOf(system_));
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
  if (IsDrag(event) && watched != CbMode) {
    auto* drag = static_cast<QDropEvent*>(event);
    if (drag->mimeData() != nullptr && drag->mimeData()->hasUrls()) {
      Drag(drag, watched == txtOutput);
      return true;
    }
  }
  if (watched == CbMode && event->type() == QEvent::FocusOut && !ending_) {
    // Opening its own list or leaving the window is no loss of focus for the mode box.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
      CbMode_LostFocus();
    }
  }
  return QWidget::eventFilter(watched, event);
}

void MainForm::dragEnterEvent(QDragEnterEvent* event) {
  // A drag refused on entering gets no moves: it is taken when the window takes it somewhere
  // (the output button takes the most), and each move then says whether here.
  Drag(event, true);
}

void MainForm::dragMoveEvent(QDragMoveEvent* event) {
  Drag(event, Bt_File->geometry().contains(event->position().toPoint()));
}

void MainForm::dropEvent(QDropEvent* event) {
  Drag(event, Bt_File->geometry().contains(event->position().toPoint()));
}

void MainForm::Drag(QDropEvent* event, bool on_output) {
  const std::optional<Dropped> dropped = DropOf(event->mimeData(), on_output);
  // Never a move: a source that moves removes what it handed over.
  const Qt::DropActions actions = event->possibleActions();
  if (!dropped || (actions & (Qt::CopyAction | Qt::LinkAction)) == 0) {
    event->ignore();
    return;
  }
  event->setDropAction((actions & Qt::CopyAction) != 0 ? Qt::CopyAction : Qt::LinkAction);
  event->accept();
  if (event->type() != QEvent::Drop) return;
  if (dropped->to_output) {
    TakeOutput(dropped->path);
  } else {
    TakeDirectory(dropped->path);
  }
}

std::optional<MainForm::Dropped> MainForm::DropOf(const QMimeData* mime, bool on_output) const {
  if (mime == nullptr || !mime->hasUrls()) return std::nullopt;
  const QList<QUrl> urls = mime->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile() || urls.front().toLocalFile().isEmpty()) {
    return std::nullopt;
  }
  const QString path = CleanPath(urls.front().toLocalFile());
  const QString native = QDir::toNativeSeparators(path);
  if (fs_.IsDirectory(Utf8(native))) return Dropped{false, native};
  if (!fs_.PathExists(Utf8(native))) return std::nullopt;
  const auto split = text::SplitPath(Utf16(path));
  if (!split) return std::nullopt;
  const QString name = path.mid(static_cast<qsizetype>(split->name_start));
  if (on_output && name.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
    return Dropped{true, native};
  }
  // A result file: one that the run would read from its folder with the filter shown.
  if (!convert::FilterTakes(Utf8(CbFilter->currentText()), Utf8(name))) return std::nullopt;
  return Dropped{
      false, QDir::toNativeSeparators(path.left(static_cast<qsizetype>(split->directory_length)))};
}

}  // namespace tallyx::ui
