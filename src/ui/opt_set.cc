// The output-item dialog: 25 boxes in three frames, whose ticks make the output-item mask.
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <array>

#include "model/messages.h"
#include "model/model.h"
#include "ui/dialog_building.h"
#include "ui/dialogs.h"
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

OptSet::OptSet(std::int32_t mask, model::Mode mode, QWidget* parent) : QDialog(parent) {
  setObjectName("OptSet");
  setFont(GothicFont());
  FixDialogFrame(this, 5505, 3930);
  // The frames first, so that the boxes, made later, lie on top of them.
  createFrames();
  createBoxes();
  createButtons();
  relabel(mode);
  // Bits 25 to 31 stand for no box.
  tick(mask);
}

DialogOutcome<std::int32_t> OptSet::chooseItems(QWidget* parent, std::int32_t mask,
                                                model::Mode mode, const DialogSetUp& set_up) {
  return ShowModally<OptSet>(parent, set_up, mask, mode);
}

DialogOutcome<std::int32_t> OptSet::outcome() const { return OutcomeOf(*this, chosen_); }

void OptSet::createFrames() {
  const auto frame = [this](const char* name, std::string_view caption, const QRect& place) {
    auto* box = Placed(new QGroupBox(FromUtf8(caption), this), name, place);
    box->setFont(PGothicFont());
    // The caption sits on the top border line, the border running through its middle.
    box->setStyleSheet(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 1px; }");
  };
  frame("Frame1", model::kUserFrame, Twips(120, 120, 2775, 1335));
  frame("Frame3", model::kResultFrame, Twips(120, 1560, 2775, 1815));
  frame("Frame2", model::kErgometerFrame, Twips(3000, 120, 2415, 3255));
}

void OptSet::createBoxes() {
  for (int i = 0; i < model::kItemCount; ++i) {
    auto* box = new QCheckBox(this);
    box->setObjectName(QStringLiteral("Check1_%1").arg(i));
    box->setGeometry(BoxRect(model::ItemAt(i)));
    boxes_[static_cast<std::size_t>(i)] = box;
    if (i > 0) setTabOrder(boxes_[static_cast<std::size_t>(i - 1)], box);
  }
}

void OptSet::createButtons() {
  const auto button = [this](const char* name, std::string_view caption, int left) {
    auto* b = MakeButton(this, name, caption, Twips(left, 3480, 975, 375), GothicFont());
    // No button answers Enter: autoDefault would make the focused one do so.
    b->setAutoDefault(false);
    return b;
  };
  defaultsButton_ = button("InitButton", model::kDefaultsButton, 840);
  clearButton_ = button("ClearButton", model::kClearButton, 1920);
  okButton_ = button("OKButton", model::kOkButton, 3360);
  cancelButton_ = button("CancelButton", model::kCancelButton, 4440);
  QWidget* previous = boxes_.back();
  for (QWidget* next : {defaultsButton_, clearButton_, okButton_, cancelButton_}) {
    setTabOrder(previous, next);
    previous = next;
  }

  connect(defaultsButton_, &QPushButton::clicked, this, [this] { tick(model::kDefaultMask); });
  connect(clearButton_, &QPushButton::clicked, this, [this] { tick(0); });
  connect(okButton_, &QPushButton::clicked, this, &OptSet::confirm);
  connect(cancelButton_, &QPushButton::clicked, this, [this] { done(kCancelledResult); });
}

void OptSet::relabel(model::Mode mode) {
  setWindowTitle(FromUtf8(model::TableOf(mode).dialog_caption));
  for (int i = 0; i < model::kItemCount; ++i) {
    QCheckBox* box = boxes_[static_cast<std::size_t>(i)];
    box->setText(FromUtf8(model::ItemCaption(model::ItemAt(i), mode)));
    box->setVisible(model::ItemShown(model::ItemAt(i), mode));
  }
}

void OptSet::tick(std::int32_t mask) {
  for (int i = 0; i < model::kItemCount; ++i) {
    boxes_[static_cast<std::size_t>(i)]->setChecked(model::Has(mask, model::ItemAt(i)));
  }
}

std::int32_t OptSet::tickedMask() const {
  std::int32_t mask = 0;
  for (int i = 0; i < model::kItemCount; ++i) {
    // Hidden boxes count like shown ones, and a box in any state but unticked is ticked.
    if (boxes_[static_cast<std::size_t>(i)]->checkState() != Qt::Unchecked) {
      mask |= model::MaskOf({model::ItemAt(i)});
    }
  }
  return mask;
}

void OptSet::confirm() {
  const std::int32_t mask = tickedMask();
  if (mask == 0) {
    Messages().Show(this, FromUtf8(model::kNoItemSelected));
    return;
  }
  chosen_ = mask;
  accept();
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
