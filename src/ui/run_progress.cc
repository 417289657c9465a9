#include "ui/run_progress.h"

#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/messages.h"
#include "ui/dialog_building.h"

namespace tallyx::ui {
namespace {
constexpr int kWidth = 360;
}  // namespace

RunProgressDialog::RunProgressDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("RunProgress"));
  setWindowTitle(FromUtf8(model::kMessageCaption));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setWindowModality(Qt::ApplicationModal);
  setFont(GothicFont());

  count_ = new QLabel(this);
  count_->setObjectName(QStringLiteral("Count"));
  name_ = new QLabel(this);
  name_->setObjectName(QStringLiteral("FileName"));
  name_->setTextFormat(Qt::PlainText);
  bar_ = new QProgressBar(this);
  bar_->setTextVisible(false);
  stop_ = new QPushButton(FromUtf8(model::kStopButton), this);
  stop_->setObjectName(QStringLiteral("StopButton"));
  stop_->setAutoDefault(false);
  connect(stop_, &QPushButton::clicked, this, &RunProgressDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(count_);
  layout->addWidget(name_);
  layout->addWidget(bar_);
  layout->addWidget(stop_, 0, Qt::AlignRight);
  setFixedWidth(kWidth);
  setFixedHeight(sizeHint().height());
}

void RunProgressDialog::Show(std::int32_t finished, std::int32_t found, const QString& name) {
  count_->setText(QStringLiteral("%1 / %2 ").arg(finished).arg(found) +
                  FromUtf8(model::kCountUnit));
  const int room =
      kWidth - layout()->contentsMargins().left() - layout()->contentsMargins().right();
  name_->setText(QFontMetrics(name_->font()).elidedText(name, Qt::ElideMiddle, room));
  bar_->setRange(0, found > 0 ? found : 1);
  bar_->setValue(finished);
}

void RunProgressDialog::reject() {
  if (!stop_->isEnabled()) return;
  stop_->setEnabled(false);
  emit stopRequested();
}

}  // namespace tallyx::ui
