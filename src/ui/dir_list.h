// The directory list of the path dialogs (`Dir1`): the directory tree of one volume, open down
// to the selected directory, directories only.
#pragma once

#include <QString>
#include <QTreeWidget>
#include <string_view>

namespace tallyx::ui {

class DirList : public QTreeWidget {
  Q_OBJECT
 public:
  explicit DirList(QWidget* parent = nullptr);

  // Shows the tree under `root` (a volume's mount point) open down to `dir`, which becomes the
  // selected directory. Paths are absolute with "/" separators. Returns false, changing nothing,
  // when `dir` is not an existing directory at or under `root`.
  bool SetPath(const QString& root, const QString& dir);

  // The selected directory, in native form: no separator at the end except for a root.
  QString Path() const;
  // The same and the tree's top, with "/" separators.
  const QString& path() const { return path_; }
  const QString& root() const { return root_; }

 signals:
  // The selected directory changed, by the user or by SetPath.
  void PathChanged();

 private:
  QTreeWidgetItem* AddDirectory(QTreeWidgetItem* parent, const QString& name);
  // Lists the subdirectories of `item` once; false when its directory cannot be read.
  bool Fill(QTreeWidgetItem* item);
  void Select(QTreeWidgetItem* item);
  // Back to the last directory that could be shown, or the nearest one above it that still is.
  void Recover();

  QString root_;
  QString path_;
  bool building_ = false;
};

// Whether `path` is `root` or lies under it (both cleaned, with "/" separators).
bool IsUnder(const QString& path, const QString& root);
// `path` made absolute and cleaned, with "/" separators.
QString CleanPath(const QString& path);

// A dialog's text as the path rules of the platform layer take it.
inline std::u16string_view Utf16(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

}  // namespace tallyx::ui
