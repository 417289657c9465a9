#include "view/progress_window.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <atomic>
#include <chrono>
#include <utility>

#include "convert/run.h"
#include "desktop/open_document.h"
#include "model/messages.h"
#include "platform/codec.h"
#include "progress/sessions.h"
#include "progress/values.h"
#include "view/chart_view.h"
#include "view/charts.h"
#include "view/report.h"

namespace tallyx::view {
namespace {

// The guide's section about this window.
constexpr const char* kGuideSection = "progress-view";
// The reading thread sends its progress at most this often.
constexpr std::chrono::milliseconds kProgressInterval{50};
constexpr int kPatientRole = Qt::UserRole;
constexpr int kSortRole = Qt::UserRole + 1;

std::string Utf8(const QString& text) { return text.toStdString(); }

// Matching that sees "ﾔﾏﾀﾞ" and "ヤマダ", "ａｂｃ" and "ABC" alike.
QString Folded(const QString& text) {
  return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

// A patient row that sorts by the number or date behind its text.
class PatientItem : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : 0;
    const QVariant a = data(column, kSortRole), b = other.data(column, kSortRole);
    if (a.isValid() && b.isValid()) return a.toDouble() < b.toDouble();
    if (a.isValid() != b.isValid()) return a.isValid();
    return text(column) < other.text(column);
  }
};

// A file name made of a patient code: characters no file system takes become "_".
QString FileNamePart(const QString& code) {
  QString out;
  for (const QChar c : code) {
    out += (c.unicode() < 0x20 || QStringLiteral("\\/:*?\"<>|").contains(c)) ? QChar(u'_') : c;
  }
  return out.trimmed().isEmpty() ? QStringLiteral("_") : out.trimmed();
}

// A CSV cell: quoted when it holds a comma, a quote or a line end.
QString CsvCell(const QString& text) {
  if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') &&
      !text.contains(u'\n')) {
    return text;
  }
  QString quoted = text;
  quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
  return QStringLiteral("\"") + quoted + QStringLiteral("\"");
}

}  // namespace

struct ProgressWindow::Reading {
  Reading(progress::FolderInputs inputs, platform::FileSystem& fs)
      : reading(std::move(inputs), fs) {}
  progress::FolderReading reading;
  progress::Folder folder;
  progress::FolderFailure failure;
  bool ok = false;
};

struct ProgressWindow::Selection {
  std::uint32_t measurement = 0;
  std::string path;
  model::Mode mode = model::Mode::kMuscleStrength;
  progress::Measurement detail;
  bool detail_read = false;
  std::string detail_failure;
  std::shared_ptr<progress::Waveform> wave = std::make_shared<progress::Waveform>();
  bool wave_read = false;
  std::string wave_failure;
  std::atomic<bool> stop{false};
};

ProgressWindow::ProgressWindow(QWidget* parent, platform::System& system, std::string guide)
    : QMainWindow(parent), system_(system), fs_(system.files()), guide_(std::move(guide)) {
  setObjectName(QStringLiteral("ProgressWindow"));
  setWindowTitle(FromUtf8(model::kViewerCaption));
  createControls();
  loadSettings();
  setAcceptDrops(true);
  setCommandsEnabled();
  // About 1200 x 800, never larger than the screen.
  QSize size(1200, 800);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QSize room = screen->availableSize() * 0.92;
    size = size.boundedTo(room);
  }
  resize(size);
}

ProgressWindow::~ProgressWindow() {
  stopReading();
  stopSelection();
}

void ProgressWindow::createControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);

  auto* top = new QHBoxLayout;
  modeBox_ = new QComboBox(central);
  modeBox_->setObjectName(QStringLiteral("modeBox"));
  folderBox_ = new QComboBox(central);
  folderBox_->setObjectName(QStringLiteral("folderBox"));
  folderBox_->setEditable(true);
  folderBox_->setInsertPolicy(QComboBox::NoInsert);
  folderBox_->setCompleter(nullptr);
  folderBox_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  browseButton_ = new QPushButton(FromUtf8(model::kBrowseButton), central);
  browseButton_->setObjectName(QStringLiteral("browseButton"));
  filterBox_ = new QComboBox(central);
  filterBox_->setObjectName(QStringLiteral("filterBox"));
  filterBox_->setEditable(true);
  filterBox_->setInsertPolicy(QComboBox::NoInsert);
  filterBox_->setCompleter(nullptr);
  filterBox_->setMinimumContentsLength(18);
  loadButton_ = new QPushButton(FromUtf8(model::kLoadButton), central);
  loadButton_->setObjectName(QStringLiteral("loadButton"));
  top->addWidget(modeBox_);
  top->addWidget(new QLabel(FromUtf8(model::kFolderLabel), central));
  top->addWidget(folderBox_, 1);
  top->addWidget(browseButton_);
  top->addWidget(new QLabel(FromUtf8(model::kFileNameLabel), central));
  top->addWidget(filterBox_);
  top->addWidget(loadButton_);
  layout->addLayout(top);

  auto* split = new QSplitter(Qt::Horizontal, central);
  auto* left = new QWidget(split);
  auto* left_layout = new QVBoxLayout(left);
  left_layout->setContentsMargins(0, 0, 0, 0);
  patientSearch_ = new QLineEdit(left);
  patientSearch_->setObjectName(QStringLiteral("patientSearch"));
  patientSearch_->setPlaceholderText(FromUtf8(model::kPatientSearchHint));
  patientSearch_->setClearButtonEnabled(true);
  patientList_ = new QTreeWidget(left);
  patientList_->setObjectName(QStringLiteral("patientList"));
  QStringList headers;
  for (const std::string_view caption : model::kPatientColumns) headers << FromUtf8(caption);
  patientList_->setHeaderLabels(headers);
  patientList_->setRootIsDecorated(false);
  patientList_->setUniformRowHeights(true);
  patientList_->setSortingEnabled(true);
  patientList_->sortByColumn(0, Qt::AscendingOrder);
  left_layout->addWidget(patientSearch_);
  left_layout->addWidget(patientList_);

  auto* right = new QSplitter(Qt::Vertical, split);
  sessionTable_ = new QTableWidget(right);
  sessionTable_->setObjectName(QStringLiteral("sessionTable"));
  sessionTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
  sessionTable_->setSelectionMode(QAbstractItemView::SingleSelection);
  sessionTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  sessionTable_->verticalHeader()->setVisible(false);
  sessionTable_->verticalHeader()->setDefaultSectionSize(sessionTable_->fontMetrics().height() + 8);
  sessionTable_->horizontalHeader()->setStretchLastSection(true);

  auto* trend = new QWidget(right);
  auto* trend_layout = new QVBoxLayout(trend);
  trend_layout->setContentsMargins(0, 0, 0, 0);
  weightToggle_ = new QCheckBox(FromUtf8(model::kWeightToggle), trend);
  weightToggle_->setObjectName(QStringLiteral("weightToggle"));
  trendChart_ = new ChartView(trend);
  trendChart_->setObjectName(QStringLiteral("trendChart"));
  trend_layout->addWidget(weightToggle_);
  trend_layout->addWidget(trendChart_, 1);

  auto* bottom = new QWidget(right);
  auto* bottom_layout = new QHBoxLayout(bottom);
  bottom_layout->setContentsMargins(0, 0, 0, 0);
  turnChart_ = new ChartView(bottom);
  turnChart_->setObjectName(QStringLiteral("turnChart"));
  auto* wave = new QWidget(bottom);
  auto* wave_layout = new QVBoxLayout(wave);
  wave_layout->setContentsMargins(0, 0, 0, 0);
  waveViewBox_ = new QComboBox(wave);
  waveViewBox_->setObjectName(QStringLiteral("waveViewBox"));
  waveViewBox_->addItem(FromUtf8(model::kTimeView));
  waveViewBox_->addItem(FromUtf8(model::kAngleView));
  waveChart_ = new ChartView(wave);
  waveChart_->setObjectName(QStringLiteral("waveChart"));
  wave_layout->addWidget(waveViewBox_, 0, Qt::AlignLeft);
  wave_layout->addWidget(waveChart_, 1);
  bottom_layout->addWidget(turnChart_, 2);
  bottom_layout->addWidget(wave, 3);
  right->setStretchFactor(0, 2);
  right->setStretchFactor(1, 4);
  right->setStretchFactor(2, 3);
  right->setSizes({160, 340, 300});
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 3);
  split->setSizes({380, 820});
  layout->addWidget(split, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  const auto button = [&](const char* name, std::string_view caption) {
    auto* b = new QPushButton(FromUtf8(caption), central);
    b->setObjectName(QString::fromLatin1(name));
    buttons->addWidget(b);
    return b;
  };
  reportButton_ = button("reportButton", model::kReportButton);
  printButton_ = button("printButton", model::kPrintButton);
  imageButton_ = button("imageButton", model::kImageButton);
  tableButton_ = button("tableButton", model::kTableButton);
  layout->addLayout(buttons);
  setCentralWidget(central);

  statusLabel_ = new QLabel(this);
  statusLabel_->setObjectName(QStringLiteral("statusLabel"));
  unreadableLink_ = new QLabel(this);
  unreadableLink_->setObjectName(QStringLiteral("unreadableLink"));
  unreadableLink_->setTextFormat(Qt::RichText);
  unreadableLink_->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                           Qt::LinksAccessibleByKeyboard);
  statusBar()->addWidget(statusLabel_, 1);
  statusBar()->addPermanentWidget(unreadableLink_);

  connect(modeBox_, &QComboBox::activated, this, &ProgressWindow::followMode);
  connect(browseButton_, &QPushButton::clicked, this, &ProgressWindow::chooseFolder);
  connect(loadButton_, &QPushButton::clicked, this, &ProgressWindow::load);
  connect(patientSearch_, &QLineEdit::textChanged, this, &ProgressWindow::filterPatients);
  connect(patientList_, &QTreeWidget::currentItemChanged, this, &ProgressWindow::showPatient);
  connect(sessionTable_, &QTableWidget::itemSelectionChanged, this,
          &ProgressWindow::showMeasurement);
  connect(weightToggle_, &QCheckBox::toggled, this, &ProgressWindow::showTrend);
  connect(waveViewBox_, &QComboBox::currentIndexChanged, this, &ProgressWindow::showWave);
  connect(reportButton_, &QPushButton::clicked, this, &ProgressWindow::saveReport);
  connect(printButton_, &QPushButton::clicked, this, &ProgressWindow::printReport);
  connect(imageButton_, &QPushButton::clicked, this, &ProgressWindow::saveImage);
  connect(tableButton_, &QPushButton::clicked, this, &ProgressWindow::saveTable);
  connect(unreadableLink_, &QLabel::linkActivated, this, &ProgressWindow::showUnreadable);
  auto* key = new QShortcut(QKeySequence(Qt::Key_F1), this);
  key->setContext(Qt::WindowShortcut);
  connect(key, &QShortcut::activated, this, &ProgressWindow::showGuide);
}

void ProgressWindow::loadSettings() {
  for (const model::Mode mode : model::kAllModes) {
    modeBox_->addItem(FromUtf8(model::TableOf(mode).mode_name));
    filterBox_->addItem(FromUtf8(model::TableOf(mode).filter_entry));
  }
  for (const std::string& entry : settings::DefaultPlacesOf(system_).directory_entries) {
    folderBox_->addItem(FromUtf8(entry));
  }
  // Read only: the viewer never saves the settings.
  stored_ = settings::LoadSettings(settings::LocateSettingsFile(system_), system_);
  modeBox_->setCurrentIndex(model::NumberOf(stored_.mode));
  folderBox_->setEditText(FromUtf8(stored_.path));
  filterBox_->setEditText(stored_.filter.empty()
                              ? FromUtf8(model::TableOf(stored_.mode).filter_entry)
                              : FromUtf8(stored_.filter));
}

model::Mode ProgressWindow::selectedMode() const {
  return model::ModeOf(modeBox_->currentIndex());
}

void ProgressWindow::followMode() {
  const int entry = model::NumberOf(selectedMode());
  filterBox_->setCurrentIndex(entry);
  filterBox_->setEditText(filterBox_->itemText(entry));
}

void ProgressWindow::chooseFolder() {
  const std::string directory = convert::InputDirectory(Utf8(folderBox_->currentText()), fs_);
  const QString chosen = QFileDialog::getExistingDirectory(this, FromUtf8(model::kFolderLabel),
                                                           FromUtf8(directory));
  if (chosen.isEmpty()) return;
  folderBox_->setEditText(QDir::toNativeSeparators(chosen));
  load();
}

void ProgressWindow::load() {
  stopReading();
  stopSelection();
  progress::FolderInputs inputs;
  inputs.mode = selectedMode();
  inputs.directory_text = Utf8(folderBox_->currentText());
  inputs.filter_text = Utf8(filterBox_->currentText());
  auto reading = std::make_shared<Reading>(std::move(inputs), fs_);
  reading_ = reading;
  statusLabel_->setText(Format(model::kReadingStatus, QStringLiteral("0"), QStringLiteral("0")));
  unreadableLink_->clear();
  // Called on the reading thread: copies go to this thread a few times a second. The reading
  // holds this callback, so the callback holds the reading weakly.
  reading->reading.OnProgress([this, weak = std::weak_ptr<Reading>(reading),
                               last = std::chrono::steady_clock::time_point()](
                                  const progress::FolderProgress& p) mutable {
    const auto now = std::chrono::steady_clock::now();
    if (now - last < kProgressInterval && p.read != p.found) return;
    last = now;
    QMetaObject::invokeMethod(
        this,
        [this, weak, read = p.read, found = p.found] {
          const std::shared_ptr<Reading> current = weak.lock();
          if (current == nullptr || current != reading_) return;
          statusLabel_->setText(
              Format(model::kReadingStatus, QString::number(read), QString::number(found)));
        },
        Qt::QueuedConnection);
  });
  readingThread_ = std::thread([this, reading] {
    reading->ok = reading->reading.Execute(&reading->folder, &reading->failure);
    QMetaObject::invokeMethod(
        this, [this, reading] { finishReading(reading); }, Qt::QueuedConnection);
  });
}

void ProgressWindow::stopReading() {
  if (reading_ != nullptr) reading_->reading.RequestStop();
  if (readingThread_.joinable()) readingThread_.join();
  reading_.reset();
}

void ProgressWindow::finishReading(const std::shared_ptr<Reading>& reading) {
  if (reading != reading_) return;  // a reading stopped for a newer one
  if (readingThread_.joinable()) readingThread_.join();
  reading_.reset();
  folder_ = std::make_unique<progress::Folder>(std::move(reading->folder));
  if (!reading->ok) {
    folder_->measurements.clear();
    folder_->patients.clear();
    folder_->sessions.clear();
    const progress::FolderFailure& f = reading->failure;
    statusLabel_->setText(FromUtf8(f.detail.empty() ? model::MessagePrompt(f.err_no, f.s1, f.s2)
                                                    : f.detail));
  } else {
    statusLabel_->setText(Format(model::kReadStatus, QString::number(folder_->patients.size()),
                                 QString::number(folder_->measurements.size())));
  }
  if (!folder_->unreadable.empty()) {
    unreadableLink_->setText(
        QStringLiteral("<a href=\"unreadable\">") +
        Format(model::kUnreadableLink, QString::number(folder_->unreadable.size())).toHtmlEscaped() +
        QStringLiteral("</a>"));
  }
  waveViewBox_->setVisible(HasAngleView(folder_->mode));
  fillPatients();
}

void ProgressWindow::fillPatients() {
  const QSignalBlocker block(patientList_);
  patientList_->clear();
  sessionTable_->clear();
  sessionTable_->setRowCount(0);
  sessionTable_->setColumnCount(0);
  trendChart_->setChart(Chart{});
  turnChart_->setChart(Chart{});
  waveChart_->setChart(Chart{});
  wave_.reset();
  if (folder_ != nullptr) {
    const bool sorting = patientList_->isSortingEnabled();
    patientList_->setSortingEnabled(false);
    QList<QTreeWidgetItem*> items;
    for (std::size_t i = 0; i < folder_->patients.size(); ++i) {
      const progress::Patient& p = folder_->patients[i];
      auto* item = new PatientItem;
      item->setText(0, FromUtf8(folder_->CodeOf(p)));
      item->setText(1, FromUtf8(folder_->NameOf(p)));
      item->setText(2, QString::number(p.count));
      item->setData(2, kSortRole, static_cast<double>(p.count));
      item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
      const std::string latest = folder_->LatestDateOf(p);
      item->setText(3, FromUtf8(latest));
      if (const auto when = progress::DateIn(latest)) item->setData(3, kSortRole, when->Days());
      item->setData(0, kPatientRole, static_cast<qulonglong>(i));
      items.push_back(item);
    }
    patientList_->addTopLevelItems(items);
    patientList_->setSortingEnabled(sorting);
    for (int c = 0; c < patientList_->columnCount(); ++c) patientList_->resizeColumnToContents(c);
  }
  filterPatients(patientSearch_->text());
  // The first patient listed is shown until another is chosen.
  for (int i = 0; i < patientList_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = patientList_->topLevelItem(i);
    if (item->isHidden()) continue;
    patientList_->setCurrentItem(item);
    break;
  }
  showPatient();
}

void ProgressWindow::filterPatients(const QString& text) {
  const QString wanted = Folded(text.trimmed());
  for (int i = 0; i < patientList_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = patientList_->topLevelItem(i);
    const bool shown = wanted.isEmpty() || Folded(item->text(0)).contains(wanted) ||
                       Folded(item->text(1)).contains(wanted);
    item->setHidden(!shown);
  }
}

const progress::Patient* ProgressWindow::currentPatient() const {
  const QTreeWidgetItem* item = patientList_->currentItem();
  if (item == nullptr || folder_ == nullptr) return nullptr;
  const auto index = item->data(0, kPatientRole).toULongLong();
  return index < folder_->patients.size() ? &folder_->patients[index] : nullptr;
}

void ProgressWindow::showPatient() {
  stopSelection();
  const progress::Patient* patient = currentPatient();
  const QSignalBlocker block(sessionTable_);
  sessionTable_->clear();
  sessionTable_->setRowCount(0);
  turnChart_->setChart(Chart{});
  waveChart_->setChart(Chart{});
  wave_.reset();
  if (patient == nullptr) {
    trendChart_->setChart(Chart{});
    setCommandsEnabled();
    return;
  }
  const model::Mode mode = folder_->mode;
  const auto columns = progress::SessionColumns(mode);
  sessionTable_->setColumnCount(static_cast<int>(columns.size()));
  QStringList headers;
  for (const std::string_view c : columns) headers << FromUtf8(c);
  sessionTable_->setHorizontalHeaderLabels(headers);
  const auto sessions = folder_->SessionsOf(*patient);
  sessionTable_->setRowCount(static_cast<int>(sessions.size()));
  const progress::Measurement& latest = folder_->Latest(*patient);
  int latest_row = static_cast<int>(sessions.size()) - 1;
  for (std::size_t r = 0; r < sessions.size(); ++r) {
    const std::uint32_t m = sessions[r];
    if (&folder_->measurements[m] == &latest) latest_row = static_cast<int>(r);
    const auto row = progress::SessionRow(mode, folder_->measurements[m], folder_->NameOf(m));
    for (std::size_t c = 0; c < row.size(); ++c) {
      auto* item = new QTableWidgetItem(FromUtf8(row[c].text));
      if (row[c].number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      const QColor shade = ShadeColor(row[c].shade);
      if (shade.isValid()) {
        item->setBackground(shade);
        item->setForeground(Qt::black);
      }
      item->setData(kPatientRole, static_cast<qulonglong>(m));
      sessionTable_->setItem(static_cast<int>(r), static_cast<int>(c), item);
    }
  }
  sessionTable_->resizeColumnsToContents();
  showTrend();
  // The latest measurement is shown unless another row is chosen.
  sessionTable_->blockSignals(false);
  if (latest_row >= 0) {
    sessionTable_->selectRow(latest_row);
    sessionTable_->scrollToItem(sessionTable_->item(latest_row, 0));
  }
  showMeasurement();
  setCommandsEnabled();
}

void ProgressWindow::showTrend() {
  const progress::Patient* patient = currentPatient();
  if (patient == nullptr) return;
  trendChart_->setChart(TrendChart(folder_->mode, *folder_, *patient, weightToggle_->isChecked()));
}

std::int64_t ProgressWindow::currentMeasurement() const {
  const QList<QTableWidgetItem*> selected = sessionTable_->selectedItems();
  if (selected.isEmpty()) return -1;
  return static_cast<std::int64_t>(selected.front()->data(kPatientRole).toULongLong());
}

void ProgressWindow::stopSelection() {
  if (selection_ != nullptr) selection_->stop.store(true);
  if (selectionThread_.joinable()) selectionThread_.join();
  selection_.reset();
}

void ProgressWindow::showMeasurement() {
  const std::int64_t m = currentMeasurement();
  if (selection_ != nullptr && m >= 0 && selection_->measurement == m) return;
  stopSelection();
  turnChart_->setChart(Chart{});
  waveChart_->setChart(Chart{});
  wave_.reset();
  if (m < 0 || folder_ == nullptr) return;
  auto selection = std::make_shared<Selection>();
  selection->measurement = static_cast<std::uint32_t>(m);
  selection->path = folder_->PathOf(selection->measurement);
  selection->mode = folder_->mode;
  selection_ = selection;
  selectionThread_ = std::thread([this, selection, &fs = fs_] {
    selection->detail_read = progress::ReadDetail(fs, selection->path, selection->mode,
                                                  &selection->detail, &selection->detail_failure);
    QMetaObject::invokeMethod(
        this, [this, selection] { showDetail(selection); }, Qt::QueuedConnection);
    if (selection->stop.load()) return;
    selection->wave_read =
        progress::ReadWaveform(fs, selection->path, selection->mode, selection->wave.get(),
                               &selection->wave_failure, &selection->stop);
    QMetaObject::invokeMethod(
        this, [this, selection] { showWaveform(selection); }, Qt::QueuedConnection);
  });
}

void ProgressWindow::showDetail(const std::shared_ptr<Selection>& selection) {
  if (selection != selection_) return;
  if (!selection->detail_read) {
    Chart chart;
    chart.title = FromUtf8(model::kTurnCaption);
    chart.message = Format(model::kDetailUnreadable, FromUtf8(selection->detail_failure));
    turnChart_->setChart(std::move(chart));
    return;
  }
  turnChart_->setChart(
      TurnChart(selection->mode, progress::TurnsOf(selection->mode, selection->detail)));
}

void ProgressWindow::showWaveform(const std::shared_ptr<Selection>& selection) {
  if (selection != selection_) return;
  if (selectionThread_.joinable()) selectionThread_.join();
  if (!selection->wave_read) {
    Chart chart;
    chart.title = FromUtf8(model::kWaveCaption);
    chart.message = Format(model::kWaveUnreadable, FromUtf8(selection->wave_failure));
    waveChart_->setChart(std::move(chart));
    return;
  }
  wave_ = selection->wave;
  showWave();
}

void ProgressWindow::showWave() {
  if (folder_ == nullptr || wave_ == nullptr) return;
  const WaveView view = waveViewBox_->currentIndex() == 1 ? WaveView::kAngle : WaveView::kTime;
  waveChart_->setChart(WaveChart(folder_->mode, wave_, view));
}

void ProgressWindow::setCommandsEnabled() {
  const bool patient = currentPatient() != nullptr;
  for (QPushButton* b : {reportButton_, printButton_, imageButton_, tableButton_}) {
    b->setEnabled(patient);
  }
}

QString ProgressWindow::defaultFileName(const QString& extension) const {
  const progress::Patient* patient = currentPatient();
  const QString code = patient != nullptr ? FromUtf8(folder_->CodeOf(*patient)) : QString();
  const QString name = FileNamePart(code) + QStringLiteral("_") +
                       QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) +
                       QStringLiteral(".") + extension;
  const QFileInfo output(QDir::fromNativeSeparators(FromUtf8(stored_.output)));
  const QString folder = output.absolutePath();
  if (!stored_.output.empty() && QFileInfo(folder).isDir()) return QDir(folder).filePath(name);
  return QDir::home().filePath(name);
}

bool ProgressWindow::askReportRequest(ReportRequest* request) {
  const progress::Patient* patient = currentPatient();
  if (patient == nullptr) return false;
  QMessageBox ask(QMessageBox::Question, FromUtf8(model::kReportCaption),
                  FromUtf8(model::kReportChoice), QMessageBox::Cancel, this);
  QPushButton* all = ask.addButton(FromUtf8(model::kReportAll), QMessageBox::AcceptRole);
  QPushButton* selected = ask.addButton(FromUtf8(model::kReportSelected), QMessageBox::AcceptRole);
  const std::int64_t current = currentMeasurement();
  selected->setEnabled(current >= 0);
  ask.setDefaultButton(current >= 0 ? selected : all);
  ask.exec();
  if (ask.clickedButton() != all && ask.clickedButton() != selected) return false;
  request->folder = folder_.get();
  request->patient = patient;
  request->made = QDateTime::currentDateTime();
  request->included.clear();
  if (ask.clickedButton() == all) {
    const auto sessions = folder_->SessionsOf(*patient);
    request->included.assign(sessions.begin(), sessions.end());
  } else {
    request->included.push_back(static_cast<std::uint32_t>(current));
  }
  return true;
}

void ProgressWindow::saveReport() {
  ReportRequest request;
  if (!askReportRequest(&request)) return;
  const QString path = QFileDialog::getSaveFileName(this, FromUtf8(model::kReportCaption),
                                                    defaultFileName(QStringLiteral("pdf")),
                                                    FromUtf8(model::kPdfFiles));
  if (path.isEmpty()) return;
  const std::string target = Utf8(QDir::toNativeSeparators(path));
  std::string failure;
  if (IsResultFile(*folder_, fs_, target)) {
    failure = model::FailureDetail(target, 0, model::failure_reason::kIsResultFile);
  } else {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool written = WritePdfReport(request, fs_, target, &failure);
    QApplication::restoreOverrideCursor();
    if (written) return;
  }
  showProblem(FromUtf8(model::kPdfNotSaved), FromUtf8(failure));
}

void ProgressWindow::printReport() {
  QPrinter printer(QPrinter::HighResolution);
  // Without a printer Qt's printer falls back on writing a PDF file, which the system's print
  // dialog on Windows refuses without a word: the click would do nothing. It says why instead.
  if (printer.outputFormat() != QPrinter::NativeFormat) {
    showProblem(FromUtf8(model::kNotPrinted), FromUtf8(model::kNoPrinter));
    return;
  }
  ReportRequest request;
  if (!askReportRequest(&request)) return;
  SetReportPage(printer);
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  QPainter painter;
  if (!painter.begin(&printer)) {
    showProblem(FromUtf8(model::kNotPrinted));
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  PaintReport(request, fs_, printer, painter);
  painter.end();
  QApplication::restoreOverrideCursor();
}

void ProgressWindow::saveImage() {
  const QString path = QFileDialog::getSaveFileName(this, FromUtf8(model::kImageButton),
                                                    defaultFileName(QStringLiteral("png")),
                                                    FromUtf8(model::kPngFiles));
  if (path.isEmpty()) return;
  // The three charts as they lie in the window, at twice their size on the screen.
  QRect bounds;
  for (const ChartView* view : {trendChart_, turnChart_, waveChart_}) {
    bounds |= QRect(view->mapTo(this, QPoint(0, 0)), view->size());
  }
  QImage image(bounds.size() * 2, QImage::Format_RGB32);
  image.setDevicePixelRatio(2);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    for (const ChartView* view : {trendChart_, turnChart_, waveChart_}) {
      const QPoint at = view->mapTo(this, QPoint(0, 0)) - bounds.topLeft();
      view->chart().Paint(painter, QRectF(at, QSizeF(view->size())));
    }
  }
  QBuffer png;
  png.open(QIODevice::WriteOnly);
  std::string failure;
  const std::string target = Utf8(QDir::toNativeSeparators(path));
  if (IsResultFile(*folder_, fs_, target)) {
    failure = model::FailureDetail(target, 0, model::failure_reason::kIsResultFile);
  } else if (image.save(&png, "PNG") &&
             WriteWhole(fs_, target, std::string_view(png.data().constData(), png.data().size()),
                        &failure)) {
    return;
  }
  showProblem(FromUtf8(model::kImageNotSaved), FromUtf8(failure));
}

void ProgressWindow::saveTable() {
  if (sessionTable_->columnCount() == 0) return;
  const QString path = QFileDialog::getSaveFileName(this, FromUtf8(model::kTableButton),
                                                    defaultFileName(QStringLiteral("csv")),
                                                    FromUtf8(model::kCsvFiles));
  if (path.isEmpty()) return;
  // The table as shown: its header row, then its rows, CP932 with CR LF.
  QString csv;
  for (int c = 0; c < sessionTable_->columnCount(); ++c) {
    if (c > 0) csv += u',';
    csv += CsvCell(sessionTable_->horizontalHeaderItem(c)->text());
  }
  csv += QStringLiteral("\r\n");
  for (int r = 0; r < sessionTable_->rowCount(); ++r) {
    for (int c = 0; c < sessionTable_->columnCount(); ++c) {
      if (c > 0) csv += u',';
      const QTableWidgetItem* item = sessionTable_->item(r, c);
      csv += CsvCell(item != nullptr ? item->text() : QString());
    }
    csv += QStringLiteral("\r\n");
  }
  const std::string target = Utf8(QDir::toNativeSeparators(path));
  std::string failure;
  if (IsResultFile(*folder_, fs_, target)) {
    failure = model::FailureDetail(target, 0, model::failure_reason::kIsResultFile);
  } else if (WriteWhole(fs_, target, platform::ToCp932(Utf8(csv)), &failure)) {
    return;
  }
  showProblem(FromUtf8(model::kTableNotSaved), FromUtf8(failure));
}

void ProgressWindow::showUnreadable() {
  if (folder_ == nullptr) return;
  auto* dialog = new QDialog(this);
  dialog->setObjectName(QStringLiteral("unreadableList"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(FromUtf8(model::kUnreadableCaption));
  auto* layout = new QVBoxLayout(dialog);
  auto* list = new QPlainTextEdit(dialog);
  list->setReadOnly(true);
  list->setLineWrapMode(QPlainTextEdit::NoWrap);
  QString lines;
  for (const std::string& detail : folder_->unreadable) lines += FromUtf8(detail) + u'\n';
  list->setPlainText(lines);
  layout->addWidget(list);
  dialog->resize(760, 320);
  dialog->show();
}

void ProgressWindow::showGuide() {
  if (guide_.empty()) return;
  const desktop::OpenOutcome outcome = desktop::OpenPage(
      system_, guide_, kGuideSection,
      [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
  if (!outcome.opened()) {
    showProblem(FromUtf8(model::MessagePrompt(
        outcome.err_no, outcome.names_document ? guide_ : std::string(), std::string())));
  }
}

void ProgressWindow::showProblem(const QString& text, const QString& details) {
  // Window-modal and not waited for: nothing of the program blocks on it.
  auto* box = new QMessageBox(QMessageBox::Warning, FromUtf8(model::kViewerCaption), text,
                              QMessageBox::Ok, this);
  box->setObjectName(QStringLiteral("problemBox"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  if (!details.isEmpty()) box->setInformativeText(details);
  box->open();
}

void ProgressWindow::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (mime != nullptr && mime->urls().size() == 1 && mime->urls().front().isLocalFile() &&
      QFileInfo(mime->urls().front().toLocalFile()).isDir()) {
    event->acceptProposedAction();
  }
}

void ProgressWindow::dropEvent(QDropEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (mime == nullptr || mime->urls().size() != 1) return;
  const QString folder = mime->urls().front().toLocalFile();
  if (!QFileInfo(folder).isDir()) return;
  event->acceptProposedAction();
  folderBox_->setEditText(QDir::toNativeSeparators(folder));
  load();
}

}  // namespace tallyx::view
