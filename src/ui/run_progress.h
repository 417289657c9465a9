// The progress of a long conversion run: "n / N 件", the file being read, a bar, and "中止".
// Modal while shown. "中止", Escape and the close box all ask once for the run to stop
// (stopRequested); the dialog stays until its owner closes it when the run has ended.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tallyx::ui {

class RunProgressDialog : public QDialog {
  Q_OBJECT
 public:
  explicit RunProgressDialog(QWidget* parent = nullptr);

  // Files finished of files found, and the name of the file being read.
  void Show(std::int32_t finished, std::int32_t found, const QString& name);

 signals:
  void stopRequested();

 public slots:
  // Escape and the close box come here: they stop the run instead of closing the dialog.
  void reject() override;

 private:
  QLabel* count_ = nullptr;
  QLabel* name_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QPushButton* stop_ = nullptr;
};

}  // namespace tallyx::ui
