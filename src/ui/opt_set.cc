// The output-item dialog: 25 boxes in three frames, whose ticks make the output-item mask.
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <array>

#include "model/model.h"
#include "model/messages.h"
#include "ui/dialogs.h"
#include "ui/look.h"
#include "ui/message_sink.h"

namespace tallyx::ui {
namespace {

// Twip positions of the boxes (every box 255 high). The widths are the room to the next column
// or to the frame's right edge, less a margin.
QRect BoxRect(model::Item item) {
  constexpr int kHeight = 255;
  const int bit = model::BitOf(item);
  switch (model::GroupOf(item)) {
    case model::ItemGroup::kFrame1: {  // two columns, four rows
      const int row = bit / 2;
      return bit % 2 == 0 ? Twips(360, 360 + 240 * row, 1095, kHeight)
                          : Twips(1560, 360 + 240 * row, 1215, kHeight);
    }
    case model::ItemGroup::kFrame2:
      return Twips(3120, 360 + 240 * (bit - model::BitOf(model::Item::kSeatBase)), 2175, kHeight);
    case model::ItemGroup::kFrame3:
      return Twips(240, 1800 + 240 * (bit - model::BitOf(model::Item::kDate)), 2535, kHeight);
  }
  return QRect();
}

}  // namespace

struct OptSet::Impl {
  OptSetMembers* members;
  std::array<QCheckBox*, model::kItemCount> Check1{};
  QPushButton* InitButton = nullptr;
  QPushButton* ClearButton = nullptr;
  QPushButton* OKButton = nullptr;
  QPushButton* CancelButton = nullptr;

  std::int32_t Mask() const {
    std::int32_t mask = 0;
    for (int i = 0; i < model::kItemCount; ++i) {
      if (Check1[static_cast<std::size_t>(i)]->checkState() != Qt::Unchecked) {
        mask |= model::MaskOf({model::ItemAt(i)});
      }
    }
    return mask;
  }

  // Captions and shown states of the boxes in `mode`; the ticks stay.
  void Label(model::Mode mode) {
    for (int i = 0; i < model::kItemCount; ++i) {
      QCheckBox* box = Check1[static_cast<std::size_t>(i)];
      box->setText(FromUtf8(model::ItemCaption(model::ItemAt(i), mode)));
      box->setVisible(model::ItemShown(model::ItemAt(i), mode));
    }
  }

  void Tick(std::int32_t mask) {
    for (int i = 0; i < model::kItemCount; ++i) {
      Check1[static_cast<std::size_t>(i)]->setChecked(model::Has(mask, model::ItemAt(i)));
    }
  }
};

OptSet::OptSet(OptSetMembers* members, std::int32_t cnv_code, QWidget* parent)
    : QDialog(parent), impl_(new Impl{members}) {
  setObjectName("OptSet");
  setWindowTitle("CSV出力項目の設定");
  setFont(GothicFont());
  FixDialogFrame(this, 5505, 3930);

  // The frames first, so that the boxes, made later, lie on top of them.
  auto frame = [this](const char* name, const char* caption, QRect rect) {
    auto* box = new QGroupBox(caption, this);
    box->setObjectName(name);
    box->setFont(PGothicFont());
    // The caption sits on the top border line, the border running through its middle.
    box->setStyleSheet(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 1px; }");
    box->setGeometry(rect);
  };
  frame("Frame1", "ﾕｰｻﾞ情報", Twips(120, 120, 2775, 1335));
  frame("Frame3", "測定結果情報", Twips(120, 1560, 2775, 1815));
  frame("Frame2", "ｴﾙｺﾞ設定情報", Twips(3000, 120, 2415, 3255));

  for (int i = 0; i < model::kItemCount; ++i) {
    auto* box = new QCheckBox(this);
    box->setObjectName(QStringLiteral("Check1_%1").arg(i));
    box->setGeometry(BoxRect(model::ItemAt(i)));
    impl_->Check1[static_cast<std::size_t>(i)] = box;
  }

  // No button answers Enter: autoDefault would make the focused one do so.
  auto button = [this](const char* name, const char* caption, int left) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setFont(GothicFont());
    b->setAutoDefault(false);
    b->setGeometry(Twips(left, 3480, 975, 375));
    return b;
  };
  impl_->InitButton = button("InitButton", "初期値", 840);
  impl_->ClearButton = button("ClearButton", "ｸﾘｱ", 1920);
  impl_->OKButton = button("OKButton", "OK", 3360);
  impl_->CancelButton = button("CancelButton", "ｷｬﾝｾﾙ", 4440);

  QWidget* previous = impl_->Check1[0];
  for (int i = 1; i < model::kItemCount; ++i) {
    setTabOrder(previous, impl_->Check1[static_cast<std::size_t>(i)]);
    previous = impl_->Check1[static_cast<std::size_t>(i)];
  }
  for (QWidget* next :
       {impl_->InitButton, impl_->ClearButton, impl_->OKButton, impl_->CancelButton}) {
    setTabOrder(previous, next);
    previous = next;
  }

  connect(impl_->InitButton, &QPushButton::clicked, this, [this] {  // InitButton_Click
    impl_->Tick(model::kDefaultMask);
  });
  connect(impl_->ClearButton, &QPushButton::clicked, this, [this] {  // ClearButton_Click
    impl_->Tick(0);
  });
  connect(impl_->OKButton, &QPushButton::clicked, this, [this] {  // OKButton_Click
    const std::int32_t mask = impl_->Mask();
    if (mask == 0) {
      Messages().Show(this, FromUtf8(model::kNoItemSelected));
      return;
    }
    impl_->members->OptCode = QString::number(mask);
    accept();
  });
  connect(impl_->CancelButton, &QPushButton::clicked, this, [this] {  // CancelButton_Click
    impl_->members->OptCode = kCancelled;
    reject();
  });

  // Form_Load: the boxes of the mask in force; bits 25 to 31 stand for no box.
  impl_->Label(model::Mode::kMuscleStrength);
  impl_->Tick(cnv_code);
}

OptSet::~OptSet() { delete impl_; }

void OptSet::Relabel(model::Mode mode) {
  setWindowTitle(FromUtf8(model::TableOf(mode).dialog_caption));
  impl_->Label(mode);
}

void OptSet::keyPressEvent(QKeyEvent* event) {
  // Enter and Escape are bound to nothing here: neither confirms nor cancels the choice.
  switch (event->key()) {
    case Qt::Key_Enter:
    case Qt::Key_Return:
    case Qt::Key_Escape:
      event->ignore();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

}  // namespace tallyx::ui
