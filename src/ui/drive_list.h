// The drive list of the path dialogs (`Drive1`): the mounted volumes, root first, each shown as
// its mount point followed by its label when it has one. The volume of a path is the one whose
// mount point is the longest prefix of it.
#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>

namespace tallyx::ui {

class DirList;

class DriveList : public QComboBox {
  Q_OBJECT
 public:
  explicit DriveList(QWidget* parent = nullptr);

  // Index of the volume that holds `path` (absolute, "/" separators); -1 when none does.
  int VolumeOf(const QString& path) const;
  // Mount point of the volume at `index`, with "/" separators.
  QString RootAt(int index) const;
  // Selects `index` without running the change handler.
  void SelectQuietly(int index);

 private:
  QStringList roots_;
};

// The directory a volume opens on: the process's current directory when it lies on that volume
// (the closest thing to a drive's current directory), else the volume's mount point.
QString StartDirectory(const DriveList& drives, int index);

// Both lists on the process's current directory, as a new dialog shows them.
void ShowCurrentDirectory(DriveList* drives, DirList* dirs);

// The drive list's change handler of both dialogs: the directory list follows the selected
// volume. When that volume cannot be shown, the drive list goes back, silently, to the volume
// whose tree the directory list shows.
void FollowDrive(DriveList* drives, DirList* dirs);

// Puts the directory list on `dir` (absolute, "/" separators): in the tree of the selected
// volume when `dir` lies on it, else in the tree of its own volume, which the drive list then
// shows too (quietly). False, changing nothing, when it cannot.
bool ShowDirectory(DriveList* drives, DirList* dirs, const QString& dir);

}  // namespace tallyx::ui
