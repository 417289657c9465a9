#include "ui/main_form.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

#include "convert/run.h"
#include "desktop/open_document.h"
#include "model/messages.h"
#include "model/model.h"
#include "platform/fs.h"
#include "settings/settings.h"
#include "text/paths.h"
#include "ui/dialog_building.h"
#include "ui/dialogs.h"
#include "ui/dir_list.h"
#include "ui/message_sink.h"
#include "ui/run_progress.h"

namespace tallyx::ui {
namespace {

constexpr int kClientWidth = 324;
constexpr int kClientHeight = 168;

// The guide's section for each window: the ids its page gives them.
constexpr const char* kMainWindowSection = "main-window";
constexpr const char* kOptSetSection = "output-items";
constexpr const char* kSelDirSection = "input-folder";
constexpr const char* kSelFileSection = "output-file";

// A run still going after this long shows its progress.
constexpr std::chrono::milliseconds kProgressDelay{500};
// The run thread sends its progress at most this often.
constexpr std::chrono::milliseconds kProgressInterval{50};

std::string Utf8(const QString& text) { return text.toStdString(); }

bool IsDrag(const QEvent* event) {
  return event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
         event->type() == QEvent::Drop;
}

// While it lives, user input is dropped: keys, clicks, wheel, touch, shortcuts, and drops (a drag
// that is not answered is refused). Given a window, only the input meant for it or its controls
// is dropped: its dialogs and message boxes are windows of their own and take theirs. Given
// none, the input of every window.
class InputBlocker : public QObject {
 public:
  explicit InputBlocker(const QWidget* window = nullptr) : window_(window) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~InputBlocker() override { QCoreApplication::instance()->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const bool input = event->isInputEvent() || IsDrag(event) ||
                       event->type() == QEvent::Shortcut ||
                       event->type() == QEvent::ShortcutOverride;
    if (!input) return false;
    return window_ == nullptr ||
           (watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == window_);
  }

 private:
  const QWidget* window_;
};

// Opens a document or page with `open` while every window drops the user's input and keeps
// painting: the desktop's opener may be waited for.
template <typename Open>
desktop::OpenOutcome WithInputDropped(Open open) {
  const InputBlocker no_input;
  return open([] { QCoreApplication::processEvents(); });
}

QLabel* MakeLabel(QWidget* parent, const char* name, std::string_view caption, const QRect& place) {
  auto* label = Placed(new QLabel(FromUtf8(caption), parent), name, place);
  label->setFont(ArialFont());
  // Labels lie beneath the boxes: the part number's last row is covered by the mode box.
  label->lower();
  return label;
}

QPushButton* MakeCommand(QWidget* parent, const char* name, std::string_view caption,
                         const QRect& place, const QFont& font) {
  QPushButton* button = MakeButton(parent, name, caption, place, font);
  button->setAutoDefault(false);
  return button;
}

// The directory and filter boxes take typed text, but typing never adds list entries: entry i
// of each list stays the entry of mode i.
QComboBox* MakeComboBox(QWidget* parent, const char* name, const QRect& place, bool editable) {
  auto* box = Placed(new QComboBox(parent), name, place);
  box->setEditable(editable);
  if (editable) {
    box->setInsertPolicy(QComboBox::NoInsert);
    // The box holds exactly what was typed: nothing completed from the list, and no entry that
    // differs in case taken in its place on Enter or when the box is left.
    box->setCompleter(nullptr);
  }
  return box;
}

}  // namespace

MainForm::MainForm(QWidget* parent, platform::System& system, std::string guide)
    : QWidget(parent), system_(system), fs_(system.files()), guide_(std::move(guide)) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(FromUtf8(model::kWindowCaption));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(GothicFont());
  // It opens at its designed size and may be made wider for long paths, never taller or
  // narrower; the width is not kept from one start to the next.
  setMinimumSize(kClientWidth, kClientHeight);
  setMaximumSize(QWIDGETSIZE_MAX, kClientHeight);
  resize(kClientWidth, kClientHeight);
  createControls();
  connectControls();
  setAcceptDrops(true);
  // The boxes take text dragged into them as ever; items from the desktop are the window's.
  pathBox_->lineEdit()->installEventFilter(this);
  filterBox_->lineEdit()->installEventFilter(this);
  outputBox_->installEventFilter(this);
  loadSettings();
}

MainForm::~MainForm() {
  ending_ = true;
  stopRunAndWait();
}

void MainForm::createControls() {
  // Created in tab order; the controls keep the names they are known by.
  MakeLabel(this, "CnvModeD", model::kModeLabel, {24, 16, 30, 15});
  modeBox_ = MakeComboBox(this, "CbMode", {64, 16, 257, 20}, false);
  pathButton_ = MakeCommand(this, "Bt_path", model::kPathButton, {8, 41, 49, 25}, ArialFont());
  pathBox_ = MakeComboBox(this, "CbPath", {64, 45, 257, 20}, true);
  MakeLabel(this, "Label1", model::kFilterLabel, {18, 75, 29, 15});
  filterBox_ = MakeComboBox(this, "CbFilter", {64, 75, 257, 20}, true);
  outputButton_ = MakeCommand(this, "Bt_File", model::kOutputButton, {8, 100, 49, 25}, ArialFont());
  outputBox_ = Placed(new QLineEdit(this), "txtOutput", {64, 104, 209, 20});
  openButton_ = MakeCommand(this, "Bt_Excel", model::kOpenButton, {280, 100, 41, 25}, font());
  defaultsButton_ = MakeCommand(this, "Bt_Init", model::kDefaultsButton, {8, 140, 65, 25}, font());
  itemsButton_ = MakeCommand(this, "Bt_Opt", model::kItemsButton, {80, 140, 65, 25}, font());
  runButton_ = MakeCommand(this, "Bt_Exec", model::kRunButton, {184, 140, 65, 25}, font());
  endButton_ = MakeCommand(this, "Bt_End", model::kEndButton, {256, 140, 65, 25}, font());
  // Windows draws the part number in Arial with whole-pixel letters, 100 pixels wide at 9
  // points: the label reaches to 2 pixels short of the window's edge, not 97 wide.
  QLabel* part_number = MakeLabel(this, "Label4", model::kPartNumber, {216, 0, 106, 17});

  // Made wider, the four boxes take the room; what lies at their right end (the part number,
  // "開く", "集計実行" and "終了") keeps to the right border, the rest stays where it is.
  auto* growth = new Growth(this, QSize(kClientWidth, kClientHeight));
  for (QWidget* box : std::initializer_list<QWidget*>{modeBox_, pathBox_, filterBox_, outputBox_}) {
    growth->Add(box, Growth::kWidens);
  }
  for (QWidget* control :
       std::initializer_list<QWidget*>{part_number, openButton_, runButton_, endButton_}) {
    growth->Add(control, Growth::kKeepsToTheRight);
  }
}

void MainForm::connectControls() {
  // A choice by the user takes effect also when it selects the entry that was selected already.
  connect(modeBox_, &QComboBox::currentIndexChanged, this, &MainForm::followMode);
  connect(modeBox_, &QComboBox::activated, this, &MainForm::followMode);
  connect(pathButton_, &QPushButton::clicked, this, &MainForm::chooseInputDirectory);
  connect(outputButton_, &QPushButton::clicked, this, &MainForm::chooseOutputFile);
  connect(itemsButton_, &QPushButton::clicked, this, &MainForm::chooseItems);
  connect(runButton_, &QPushButton::clicked, this, &MainForm::runConversion);
  connect(openButton_, &QPushButton::clicked, this, &MainForm::openOutput);
  connect(defaultsButton_, &QPushButton::clicked, this, &MainForm::restoreDefaults);
  connect(endButton_, &QPushButton::clicked, this, &MainForm::saveAndQuit);
  addGuideKey(this, kMainWindowSection);
}

void MainForm::addGuideKey(QWidget* window, const char* section) {
  auto* key = new QShortcut(QKeySequence(Qt::Key_F1), window);
  key->setContext(Qt::WindowShortcut);
  connect(key, &QShortcut::activated, this, [this, section] { showGuide(section); });
}

DialogSetUp MainForm::withGuideKey(const char* section) {
  return [this, section](QDialog* dialog) { addGuideKey(dialog, section); };
}

void MainForm::showGuide(const char* section) {
  if (guide_.empty()) return;
  const desktop::OpenOutcome outcome = WithInputDropped([&](const platform::WhileWaiting& wait) {
    return desktop::OpenPage(system_, guide_, section, wait);
  });
  reportNotOpened(outcome, FromUtf8(guide_));
}

void MainForm::loadSettings() {
  for (const model::Mode mode : model::kAllModes) {
    filterBox_->addItem(FromUtf8(model::TableOf(mode).filter_entry));
  }
  for (const std::string& entry : settings::DefaultPlacesOf(system_).directory_entries) {
    pathBox_->addItem(FromUtf8(entry));
  }
  for (const model::Mode mode : model::kAllModes) {
    modeBox_->addItem(FromUtf8(model::TableOf(mode).mode_name));
  }
  filterBox_->setCurrentIndex(-1);
  pathBox_->setCurrentIndex(-1);
  modeBox_->setCurrentIndex(-1);

  settingsFile_ = settings::LocateSettingsFile(system_);
  const settings::Settings loaded = settings::LoadSettings(settingsFile_, system_);
  mask_ = loaded.optcode;
  pathBox_->setEditText(FromUtf8(loaded.path));
  filterBox_->setEditText(FromUtf8(loaded.filter));
  outputBox_->setText(FromUtf8(loaded.output));
  selectMode(loaded.mode);
}

model::Mode MainForm::selectedMode() const { return model::ModeOf(modeBox_->currentIndex()); }

void MainForm::selectMode(model::Mode mode) {
  if (modeBox_->currentIndex() == model::NumberOf(mode)) {
    followMode();
  } else {
    modeBox_->setCurrentIndex(model::NumberOf(mode));
  }
}

void MainForm::followMode() {
  const int entry = model::NumberOf(selectedMode());
  filterBox_->setCurrentIndex(entry);
  // Selecting the entry that is selected already would leave typed text in place.
  filterBox_->setEditText(filterBox_->itemText(entry));
}

void MainForm::chooseInputDirectory() {
  const std::string directory = convert::InputDirectory(Utf8(pathBox_->currentText()), fs_);
  if (!directory.empty() && fs_.PathExists(directory)) lastDirectory_ = FromUtf8(directory);
  const DialogOutcome<QString> outcome =
      SelDir::getDirectory(this, lastDirectory_.value_or(QString()), withGuideKey(kSelDirSection));
  if (outcome.kind == DialogOutcome<QString>::kChosen) lastDirectory_ = outcome.value;
  if (outcome.kind == DialogOutcome<QString>::kCancelled) lastDirectory_.reset();
  if (lastDirectory_) takeDirectory(*lastDirectory_);
}

void MainForm::takeDirectory(const QString& directory) { pathBox_->setEditText(directory); }

void MainForm::chooseOutputFile() {
  const DialogOutcome<QString> outcome =
      SelFile::getFile(this, outputBox_->text(), withGuideKey(kSelFileSection));
  if (outcome.chosen()) takeOutput(outcome.value);
}

void MainForm::takeOutput(const QString& file) { outputBox_->setText(file); }

void MainForm::chooseItems() {
  const DialogOutcome<std::int32_t> outcome =
      OptSet::chooseItems(this, mask_, selectedMode(), withGuideKey(kOptSetSection));
  if (outcome.chosen()) mask_ = outcome.value;
}

void MainForm::setCommandButtonsEnabled(bool enabled) {
  for (QPushButton* button :
       {runButton_, itemsButton_, endButton_, outputButton_, pathButton_, defaultsButton_}) {
    button->setEnabled(enabled);
  }
}

void MainForm::runConversion() {
  setCommandButtonsEnabled(false);
  const settings::Settings values = shown();
  convert::RunInputs inputs;
  inputs.mode = values.mode;
  inputs.mask = values.optcode;
  inputs.directory_text = values.path;
  inputs.filter_text = values.filter;
  inputs.output_path = values.output;
  const convert::RunResult result = runAside(std::move(inputs));
  // Ending the program stopped the run: no message, the program ends.
  if (ending_) return;
  if (result.ok) {
    Messages().Show(this, FromUtf8(result.stopped ? model::StoppedMessage(result.processed)
                                                  : model::ClosingMessage(result.processed)));
  } else {
    showError(result.failure.err_no, FromUtf8(result.failure.s1), FromUtf8(result.failure.s2),
              FromUtf8(result.failure.detail));
  }
  setCommandButtonsEnabled(true);
}

convert::RunResult MainForm::runAside(convert::RunInputs inputs) {
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
  connect(&progress_timer, &QTimer::timeout, this, &MainForm::showProgress);
  finished_ = found_ = 0;
  reading_.clear();
  run_ = &run;
  runLoop_ = &loop;
  const InputBlocker blocker(this);

  convert::RunResult result;
  runThread_ = std::thread([this, &run, &result] {
    result = run.Execute();
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (runLoop_ != nullptr) runLoop_->quit();
        },
        Qt::QueuedConnection);
  });
  progress_timer.start(kProgressDelay);
  loop.exec();
  stopRunAndWait();
  runLoop_ = nullptr;
  return result;
}

void MainForm::showProgress() {
  if (run_ == nullptr || progress_ != nullptr) return;
  progress_ = new RunProgressDialog(this);
  connect(progress_, &RunProgressDialog::stopRequested, this, [this] {
    if (run_ != nullptr) run_->RequestStop();
  });
  progress_->Show(finished_, found_, reading_);
  progress_->show();
}

void MainForm::stopRunAndWait() {
  if (run_ != nullptr) run_->RequestStop();
  if (runThread_.joinable()) runThread_.join();
  run_ = nullptr;
  delete progress_.data();
}

void MainForm::openOutput() {
  const QString document = outputBox_->text();
  const desktop::OpenOutcome outcome = WithInputDropped([&](const platform::WhileWaiting& wait) {
    return desktop::OpenDocument(system_, Utf8(document), wait);
  });
  reportNotOpened(outcome, document);
}

void MainForm::reportNotOpened(const desktop::OpenOutcome& outcome, const QString& document) {
  // The window may have been closed while the desktop's opener was waited for.
  if (!outcome.opened() && !ending_) {
    showError(outcome.err_no, outcome.names_document ? document : QString(), QString());
  }
}

void MainForm::showError(model::ErrorNumber errNo, const QString& s1, const QString& s2,
                         const QString& details) {
  Messages().Show(this, FromUtf8(model::MessagePrompt(errNo, Utf8(s1), Utf8(s2))), details);
}

void MainForm::restoreDefaults() {
  // Every input but the output items.
  const settings::Settings defaults = settings::DefaultSettings(settings::DefaultPlacesOf(system_));
  pathBox_->setEditText(FromUtf8(defaults.path));
  filterBox_->setEditText(FromUtf8(defaults.filter));
  outputBox_->setText(FromUtf8(defaults.output));
  selectMode(defaults.mode);
}

settings::Settings MainForm::shown() const {
  settings::Settings values;
  values.mode = selectedMode();
  values.optcode = mask_;
  values.path = Utf8(pathBox_->currentText());
  values.filter = Utf8(filterBox_->currentText());
  values.output = Utf8(outputBox_->text());
  return values;
}

void MainForm::saveSettings() {
  // Each failure is shown before the next write is tried: a user who frees the disk or makes
  // the directory while the message is open gets the rest saved.
  settings::SaveSettings(
      settingsFile_, shown(),
      [this](const settings::IniFailure& failure) {
        showError(failure.err_no, FromUtf8(failure.name), QString());
      },
      fs_);
}

void MainForm::saveAndQuit() {
  // A second way out (the session ending while a settings message is shown, say) finds the
  // settings saved already.
  if (ending_) return;
  ending_ = true;
  // A run still going is stopped as its "中止" would, without its message.
  stopRunAndWait();
  saveSettings();
  hide();
  // Leaves every event loop: the application's, and a run's or a modal dialog's within it.
  QCoreApplication::exit(0);
}

void MainForm::closeEvent(QCloseEvent* event) {
  saveAndQuit();
  event->accept();
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
  if (IsDrag(event)) {
    auto* drag = static_cast<QDropEvent*>(event);
    if (drag->mimeData() != nullptr && drag->mimeData()->hasUrls()) {
      answerDrag(drag, watched == outputBox_);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void MainForm::dragEnterEvent(QDragEnterEvent* event) {
  // A drag refused on entering gets no moves: it is taken when the window takes it somewhere
  // (the output button takes the most), and each move then says whether here.
  answerDrag(event, true);
}

void MainForm::dragMoveEvent(QDragMoveEvent* event) {
  answerDrag(event, outputButton_->geometry().contains(event->position().toPoint()));
}

void MainForm::dropEvent(QDropEvent* event) {
  answerDrag(event, outputButton_->geometry().contains(event->position().toPoint()));
}

void MainForm::answerDrag(QDropEvent* event, bool onOutput) {
  const std::optional<Dropped> dropped = dropOf(event->mimeData(), onOutput);
  // Never a move: a source that moves removes what it handed over.
  const Qt::DropActions actions = event->possibleActions();
  if (!dropped || (actions & (Qt::CopyAction | Qt::LinkAction)) == 0) {
    event->ignore();
    return;
  }
  event->setDropAction((actions & Qt::CopyAction) != 0 ? Qt::CopyAction : Qt::LinkAction);
  event->accept();
  if (event->type() != QEvent::Drop) return;
  if (dropped->toOutput) {
    takeOutput(dropped->path);
  } else {
    takeDirectory(dropped->path);
  }
}

std::optional<MainForm::Dropped> MainForm::dropOf(const QMimeData* mime, bool onOutput) const {
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
  if (onOutput && name.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)) {
    return Dropped{true, native};
  }
  // A result file: one that the run would read from its folder with the filter shown.
  if (!convert::FilterTakes(Utf8(filterBox_->currentText()), Utf8(name))) return std::nullopt;
  return Dropped{
      false, QDir::toNativeSeparators(path.left(static_cast<qsizetype>(split->directory_length)))};
}

}  // namespace tallyx::ui
