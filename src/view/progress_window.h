// The progress viewer's window: a folder of result files read into patients, one patient's
// sessions and trend, one measurement's per-turn maxima and waveform, and the report, the
// printout, the image and the table made of them. It starts from the mode, folder and filter of
// the settings file, which it only reads; it writes no result file.
//
// Reading the folder and reading a selected measurement run on threads of their own, so that the
// window stays usable; a new reading stops the one going.
#pragma once

#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "model/model.h"
#include "platform/system.h"
#include "progress/folder.h"
#include "progress/waveform.h"
#include "settings/settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace tallyx::view {

class ChartView;
struct ReportRequest;

class ProgressWindow : public QMainWindow {
  Q_OBJECT
 public:
  // F1 opens the guide's page `guide` at the viewer's section; with no guide it does nothing.
  explicit ProgressWindow(QWidget* parent = nullptr,
                          platform::System& system = platform::RealSystem(),
                          std::string guide = std::string());
  ~ProgressWindow() override;

 public slots:
  // Reads the folder the top row names, stopping a reading still going.
  void load();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private slots:
  void followMode();
  void chooseFolder();
  void filterPatients(const QString& text);
  void showPatient();
  void showMeasurement();
  void showTrend();
  void showWave();
  void saveReport();
  void printReport();
  void saveImage();
  void saveTable();
  void showUnreadable();
  void showGuide();

 private:
  struct Reading;
  struct Selection;

  void createControls();
  void loadSettings();
  model::Mode selectedMode() const;
  void finishReading(const std::shared_ptr<Reading>& reading);
  void stopReading();
  void stopSelection();
  void fillPatients();
  const progress::Patient* currentPatient() const;
  // The measurement of the selected session row; -1 when none.
  std::int64_t currentMeasurement() const;
  void showDetail(const std::shared_ptr<Selection>& selection);
  void showWaveform(const std::shared_ptr<Selection>& selection);
  // Asks whether the report holds every measurement or the selected one; false when cancelled.
  bool askReportRequest(ReportRequest* request);
  // The default name of a file for the patient: "<患者コード>_<yyyymmdd>.<extension>" in the
  // folder of the settings' Output.
  QString defaultFileName(const QString& extension) const;
  void showProblem(const QString& text, const QString& details = QString());
  void setCommandsEnabled();

  platform::System& system_;
  platform::FileSystem& fs_;
  std::string guide_;
  settings::Settings stored_;

  QComboBox* modeBox_ = nullptr;
  QComboBox* folderBox_ = nullptr;
  QPushButton* browseButton_ = nullptr;
  QComboBox* filterBox_ = nullptr;
  QPushButton* loadButton_ = nullptr;
  QLineEdit* patientSearch_ = nullptr;
  QTreeWidget* patientList_ = nullptr;
  QTableWidget* sessionTable_ = nullptr;
  ChartView* trendChart_ = nullptr;
  QCheckBox* weightToggle_ = nullptr;
  ChartView* turnChart_ = nullptr;
  ChartView* waveChart_ = nullptr;
  QComboBox* waveViewBox_ = nullptr;
  QPushButton* reportButton_ = nullptr;
  QPushButton* printButton_ = nullptr;
  QPushButton* imageButton_ = nullptr;
  QPushButton* tableButton_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  QLabel* unreadableLink_ = nullptr;

  // The folder shown, and the reading going (if any) on its thread.
  std::unique_ptr<progress::Folder> folder_;
  std::shared_ptr<Reading> reading_;
  std::thread readingThread_;
  // The measurement shown, and its reading on its thread.
  std::shared_ptr<Selection> selection_;
  std::thread selectionThread_;
  std::shared_ptr<const progress::Waveform> wave_;
};

}  // namespace tallyx::view
