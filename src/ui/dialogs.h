// The three modal dialogs of the main window. Each hands its result back through one member
// that the main window keeps for the whole run (the text "-1" means cancelled); the dialog
// windows themselves are created for each use and destroyed after it.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

namespace tallyx::ui {

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
class OptSet : public QDialog {
  Q_OBJECT
 public:
  OptSet(OptSetMembers* members, std::int32_t cnv_code, QWidget* parent = nullptr);
  ~OptSet() override;
  // The dialog's part of the main window's CbMode_LostFocus: caption, captions of boxes 13 to
  // 17, shown state of boxes 18, 19 and 23, for `mode`.
  void Relabel(int mode);

 private:
  struct Impl;
  Impl* impl_;
};

// Input directory: drive list and directory list.
class SelDir : public QDialog {
  Q_OBJECT
 public:
  explicit SelDir(SelDirMembers* members, QWidget* parent = nullptr);
  ~SelDir() override;

 private:
  struct Impl;
  Impl* impl_;
};

// Output file: drive list, directory list, list of CSV files and the file-name box.
class SelFile : public QDialog {
  Q_OBJECT
 public:
  explicit SelFile(SelFileMembers* members, QWidget* parent = nullptr);
  ~SelFile() override;

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace tallyx::ui
