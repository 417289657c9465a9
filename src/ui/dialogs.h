// The three modal dialogs of the main window. Each is created for one use, shown modally and
// destroyed again; what it hands back is an outcome: chosen (with the value), cancelled by its
// "ｷｬﾝｾﾙ", or closed from its frame.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

#include "model/model.h"
#include "ui/dialog_building.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tallyx::ui {

class DirList;
class DriveList;

template <typename T>
struct DialogOutcome {
  enum Kind { kChosen, kCancelled, kClosed };
  Kind kind = kClosed;
  T value{};  // what was chosen; nothing else when not chosen

  bool chosen() const { return kind == kChosen; }
};

// The result code of a dialog left by its "ｷｬﾝｾﾙ" button. "OK" accepts; the close box and Escape
// reject.
inline constexpr int kCancelledResult = 2;

// What `dialog`, ended with its result code, hands back; `chosen` is its value when accepted.
template <typename T>
DialogOutcome<T> OutcomeOf(const QDialog& dialog, T chosen) {
  switch (dialog.result()) {
    case QDialog::Accepted:
      return {DialogOutcome<T>::kChosen, std::move(chosen)};
    case kCancelledResult:
      return {DialogOutcome<T>::kCancelled, T()};
    default:
      return {DialogOutcome<T>::kClosed, T()};
  }
}

// Run on a dialog before it is shown, to add what the caller wants in it (a help key, say).
using DialogSetUp = std::function<void(QDialog*)>;

// Shows a new `Dialog`, made from `args` and the parent, modally and returns its outcome. A
// dialog destroyed while shown (its parent with it) counts as closed from its frame.
template <typename Dialog, typename... Args>
auto ShowModally(QWidget* parent, const DialogSetUp& set_up, Args&&... args) {
  QPointer<Dialog> dialog = new Dialog(std::forward<Args>(args)..., parent);
  if (set_up) set_up(dialog);
  dialog->exec();
  if (dialog == nullptr) return decltype(dialog->outcome())();
  const auto outcome = dialog->outcome();
  delete dialog.data();
  return outcome;
}

// Output items: 25 boxes in three frames, ticked from a mask, with the captions and shown boxes of
// a mode. "OK" chooses the mask of the boxes ticked (or, with none ticked, shows a message and
// stays open); "初期値" ticks the default items and "ｸﾘｱ" none. Enter and Escape do nothing. Its
// widgets are named "Check1_0" to "Check1_24", "Frame1" to "Frame3", "InitButton",
// "ClearButton", "OKButton", "CancelButton".
class OptSet : public QDialog {
  Q_OBJECT
 public:
  OptSet(std::int32_t mask, model::Mode mode, QWidget* parent = nullptr);

  // The mask chosen in a new dialog that opens ticked from `mask`, labelled for `mode`.
  static DialogOutcome<std::int32_t> chooseItems(QWidget* parent, std::int32_t mask,
                                                 model::Mode mode,
                                                 const DialogSetUp& set_up = nullptr);
  DialogOutcome<std::int32_t> outcome() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void createFrames();
  void createBoxes();
  void createButtons();
  // The dialog's caption, and the captions and shown states of the boxes, for `mode`.
  void relabel(model::Mode mode);
  void tick(std::int32_t mask);
  std::int32_t tickedMask() const;
  void confirm();

  std::array<QCheckBox*, model::kItemCount> boxes_{};
  QPushButton* defaultsButton_ = nullptr;
  QPushButton* clearButton_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;
  std::int32_t chosen_ = 0;
};

// What the two path dialogs share: the path they are handed, on which they open when they are
// first shown; the drive and directory lists; the path chosen. Escape closes them like their
// close box; "ｷｬﾝｾﾙ" cancels. They open at their designed size and may be made larger.
class PathDialog : public QDialog {
  Q_OBJECT
 public:
  DialogOutcome<QString> outcome() const;

 protected:
  // How a path dialog is laid out: its size and the place of its lists and buttons, in twips,
  // and how the directory list's edges follow the dialog's growth.
  struct Design {
    const char* name;
    std::string_view caption;
    int width, height, dir_height, buttons_top;
    Growth::Edges dir_growth;
  };
  PathDialog(const QString& start, const Design& design, QWidget* parent);
  void showEvent(QShowEvent* event) override;
  // Puts the lists on the path handed in, once.
  virtual void openOnStart() = 0;
  // What "OK" does.
  virtual void confirm() = 0;
  // Ends the dialog with `path` chosen.
  void choose(const QString& path);

  QString start_;
  Growth* growth_ = nullptr;
  DriveList* drives_ = nullptr;
  DirList* dirs_ = nullptr;
  QPushButton* okButton_ = nullptr;
  QPushButton* cancelButton_ = nullptr;

 private:
  bool opened_ = false;
  QString chosen_;
};

// Input directory: drive list and directory list. "OK" chooses the directory shown, as a plain
// path with the system's separators. Widgets: "Drive1" (a QComboBox), "Dir1" (a QTreeWidget),
// "OKButton", "CancelButton". As it grows, the tree takes the room. A start that names no
// directory leaves it on the process's current directory.
class SelDir : public PathDialog {
  Q_OBJECT
 public:
  explicit SelDir(const QString& start, QWidget* parent = nullptr);

  // The directory chosen in a new dialog opened on `start`.
  static DialogOutcome<QString> getDirectory(QWidget* parent, const QString& start,
                                             const DialogSetUp& set_up = nullptr);

 private:
  void openOnStart() override;
  void confirm() override;
};

// Output file: drive list, directory list, list of CSV files and the file-name box. "OK" chooses
// the directory joined with the file name (or, with an empty name, shows a message and stays
// open). Widgets: "Drive1", "Dir1", "File1" (a QListWidget), "Label1", "FileName" (a QLineEdit),
// "OKButton", "CancelButton". As it grows, the tree and the file list share the room.
class SelFile : public PathDialog {
  Q_OBJECT
 public:
  // The file chosen in a new dialog opened on `start`.
  static DialogOutcome<QString> getFile(QWidget* parent, const QString& start,
                                        const DialogSetUp& set_up = nullptr);

  explicit SelFile(const QString& start, QWidget* parent = nullptr);

 private:
  void createFileControls();
  void openOnStart() override;
  void confirm() override;
  // The file list shows the CSV files of the directory shown.
  void listFiles();
  void takeFileName(const QListWidgetItem* item);

  QListWidget* files_ = nullptr;
  QLineEdit* nameBox_ = nullptr;
};

}  // namespace tallyx::ui
