// The three modal dialogs of the main window. Each hands its result back through one member
// that the main window keeps for the whole run (the text "-1" means cancelled); the dialog
// windows themselves are created for each use and destroyed after it.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <optional>

#include "model/model.h"

namespace tallyx::ui {

// The hand-over text of "ｷｬﾝｾﾙ".
inline const QString kCancelled = QStringLiteral("-1");

// What a dialog handed back: none when it was cancelled.
inline std::optional<QString> Chosen(const QString& handed) {
  if (handed == kCancelled) return std::nullopt;
  return handed;
}

// Hand-over members, owned by the main window, surviving every dialog window.
struct OptSetMembers {
  QString OptCode;  // the mask as decimal text
};
struct SelDirMembers {
  QString SetStr;  // a directory
};
struct SelFileMembers {
  QString SetStr;  // an output file path
};

// Output items. Constructing it is the dialog's load: the boxes are ticked from `cnv_code`.
// "OK" stores the mask of the boxes in OptCode (or, with no box ticked, shows a message and stays
// open); "ｷｬﾝｾﾙ" stores "-1"; closing from the title bar stores nothing. Enter and Escape do
// nothing. Its widgets are named as the controls: "Check1_0" to "Check1_24", "Frame1" to
// "Frame3", "InitButton", "ClearButton", "OKButton", "CancelButton".
class OptSet : public QDialog {
  Q_OBJECT
 public:
  OptSet(OptSetMembers* members, std::int32_t cnv_code, QWidget* parent = nullptr);
  ~OptSet() override;
  // The dialog's part of the main window's CbMode_LostFocus: caption, captions of boxes 13 to
  // 17, shown state of boxes 18, 19 and 23, for `mode`.
  void Relabel(model::Mode mode);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct Impl;
  Impl* impl_;
};

// Input directory: drive list and directory list. The dialog positions itself on SetStr when it
// is first shown (so SetStr may be stored before or after constructing it). "OK" stores the
// directory shown, "ｷｬﾝｾﾙ" stores "-1", closing from the title bar (or Escape) stores nothing.
// Widgets: "Drive1" (a QComboBox), "Dir1" (a QTreeWidget), "OKButton", "CancelButton". It opens
// at its designed size and may be made larger, the tree taking the room.
class SelDir : public QDialog {
  Q_OBJECT
 public:
  explicit SelDir(SelDirMembers* members, QWidget* parent = nullptr);
  ~SelDir() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct Impl;
  Impl* impl_;
};

// Output file: drive list, directory list, list of CSV files and the file-name box. Like SelDir
// it positions itself on SetStr when first shown. "OK" stores the directory joined with the file
// name (or, with an empty name, shows a message and stays open); "ｷｬﾝｾﾙ" stores "-1"; closing
// from the title bar (or Escape) stores nothing. Widgets: "Drive1", "Dir1", "File1" (a
// QListWidget), "Label1", "FileName" (a QLineEdit), "OKButton", "CancelButton". It opens at its
// designed size and may be made larger, the tree and the file list taking the room.
class SelFile : public QDialog {
  Q_OBJECT
 public:
  explicit SelFile(SelFileMembers* members, QWidget* parent = nullptr);
  ~SelFile() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace tallyx::ui
