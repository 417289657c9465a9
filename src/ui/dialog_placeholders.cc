// Placeholders for the three dialogs until their real windows land: each offers the buttons
// the main window relies on (OK and Cancel; Init and Clear in OptSet) with the hand-over rules.
#include <QDir>
#include <QLabel>
#include <QPushButton>

#include "model/model.h"
#include "ui/dialogs.h"

namespace tallyx::ui {
namespace {

QPushButton* AddButton(QDialog* d, const char* name, const QString& caption, int left) {
  auto* b = new QPushButton(caption, d);
  b->setObjectName(QString::fromLatin1(name));
  b->setGeometry(left, 60, 70, 25);
  return b;
}

}  // namespace

struct OptSet::Impl {
  std::int32_t mask = 0;
};

OptSet::OptSet(OptSetMembers* members, std::int32_t cnv_code, QWidget* parent)
    : QDialog(parent), impl_(new Impl{cnv_code & model::kAllItemsMask}) {
  setObjectName(QStringLiteral("OptSet"));
  resize(320, 100);
  connect(AddButton(this, "InitButton", QStringLiteral("Init"), 5), &QPushButton::clicked,
          [this] { impl_->mask = model::kDefaultMask; });
  connect(AddButton(this, "ClearButton", QStringLiteral("Clear"), 80), &QPushButton::clicked,
          [this] { impl_->mask = 0; });
  connect(AddButton(this, "OKButton", QStringLiteral("OK"), 155), &QPushButton::clicked,
          [this, members] {
            if (impl_->mask == 0) return;
            members->OptCode = QString::number(impl_->mask);
            hide();
          });
  connect(AddButton(this, "CancelButton", QStringLiteral("Cancel"), 230), &QPushButton::clicked,
          [this, members] {
            members->OptCode = QStringLiteral("-1");
            hide();
          });
}

OptSet::~OptSet() { delete impl_; }

void OptSet::Relabel(int mode) {
  const std::string_view caption = model::EntriesOf(mode).dialog_caption;
  setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
}

struct SelDir::Impl {};

SelDir::SelDir(SelDirMembers* members, QWidget* parent) : QDialog(parent), impl_(nullptr) {
  setObjectName(QStringLiteral("SelDir"));
  resize(320, 100);
  const QString shown = QDir(members->SetStr).exists() && !members->SetStr.isEmpty()
                            ? members->SetStr
                            : QDir::currentPath();
  new QLabel(shown, this);
  connect(AddButton(this, "OKButton", QStringLiteral("OK"), 155), &QPushButton::clicked,
          [this, members, shown] {
            members->SetStr = shown;
            hide();
          });
  connect(AddButton(this, "CancelButton", QStringLiteral("Cancel"), 230), &QPushButton::clicked,
          [this, members] {
            members->SetStr = QStringLiteral("-1");
            hide();
          });
}

SelDir::~SelDir() { delete impl_; }

struct SelFile::Impl {};

SelFile::SelFile(SelFileMembers* members, QWidget* parent) : QDialog(parent), impl_(nullptr) {
  setObjectName(QStringLiteral("SelFile"));
  resize(320, 100);
  new QLabel(members->SetStr, this);
  connect(AddButton(this, "OKButton", QStringLiteral("OK"), 155), &QPushButton::clicked,
          [this] { hide(); });
  connect(AddButton(this, "CancelButton", QStringLiteral("Cancel"), 230), &QPushButton::clicked,
          [this, members] {
            members->SetStr = QStringLiteral("-1");
            hide();
          });
}

SelFile::~SelFile() { delete impl_; }

}  // namespace tallyx::ui
