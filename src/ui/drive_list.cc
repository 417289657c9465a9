#include "ui/drive_list.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <algorithm>

#include "text/paths.h"
#include "ui/dir_list.h"

namespace tallyx::ui {

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  const QString system_root = CleanPath(
      QStorageInfo::root().isValid() ? QStorageInfo::root().rootPath() : QDir::rootPath());
  QList<QStorageInfo> volumes;
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    // Some mount points are single files (bound into containers); they hold no directories.
    if (volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir()) {
      volumes.append(volume);
    }
  }
  std::sort(volumes.begin(), volumes.end(), [&](const QStorageInfo& a, const QStorageInfo& b) {
    const QString ra = CleanPath(a.rootPath());
    const QString rb = CleanPath(b.rootPath());
    if ((ra == system_root) != (rb == system_root)) return ra == system_root;
    return ra < rb;
  });
  if (volumes.isEmpty() || CleanPath(volumes.front().rootPath()) != system_root) {
    roots_.append(system_root);
    addItem(QDir::toNativeSeparators(system_root));
  }
  for (const QStorageInfo& volume : volumes) {
    const QString root = CleanPath(volume.rootPath());
    if (roots_.contains(root)) continue;
    roots_.append(root);
    const QString label = volume.name();
    addItem(QDir::toNativeSeparators(root) + (label.isEmpty() ? QString() : " [" + label + "]"));
  }
}

int DriveList::VolumeOf(const QString& path) const {
  int best = -1;
  for (int i = 0; i < roots_.size(); ++i) {
    if (IsUnder(path, roots_[i]) && (best < 0 || roots_[i].size() > roots_[best].size())) best = i;
  }
  return best;
}

QString DriveList::RootAt(int index) const {
  return index >= 0 && index < roots_.size() ? roots_[index] : QString();
}

void DriveList::SelectQuietly(int index) {
  const QSignalBlocker quiet(this);
  setCurrentIndex(index);
}

QString StartDirectory(const DriveList& drives, int index) {
  const QString current = CleanPath(QDir::currentPath());
  return drives.VolumeOf(current) == index ? current : drives.RootAt(index);
}

void ShowCurrentDirectory(DriveList* drives, DirList* dirs) {
  const QString current = CleanPath(QDir::currentPath());
  if (drives->VolumeOf(current) < 0 && ShowDirectory(drives, dirs, current)) return;
  const int index = std::max(drives->VolumeOf(current), 0);
  drives->SelectQuietly(index);
  const QString root = drives->RootAt(index);
  if (!dirs->SetPath(root, current)) dirs->SetPath(root, root);
}

void FollowDrive(DriveList* drives, DirList* dirs) {
  const int index = drives->currentIndex();
  if (index < 0) return;
  const QString root = drives->RootAt(index);
  if (dirs->SetPath(root, StartDirectory(*drives, index)) || dirs->SetPath(root, root)) return;
  drives->SelectQuietly(drives->VolumeOf(dirs->root()));
}

bool ShowDirectory(DriveList* drives, DirList* dirs, const QString& dir) {
  const QString selected = drives->RootAt(drives->currentIndex());
  if (!selected.isEmpty() && IsUnder(dir, selected)) return dirs->SetPath(selected, dir);
  const int own = drives->VolumeOf(dir);
  if (own < 0) {
    // A network share has no entry in the list: the tree stands on the share's root, and the
    // list shows no volume until one is chosen.
    const std::u16string_view path = Utf16(dir);
    if (!text::IsShare(path) || text::RootLength(path) == 0) return false;
    QString root = dir.left(static_cast<qsizetype>(text::RootLength(path)));
    if (!root.endsWith('/')) root += '/';
    if (!dirs->SetPath(root, dir)) return false;
    drives->SelectQuietly(-1);
    return true;
  }
  if (!dirs->SetPath(drives->RootAt(own), dir)) return false;
  drives->SelectQuietly(own);
  return true;
}

}  // namespace tallyx::ui
