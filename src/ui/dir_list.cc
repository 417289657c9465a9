#include "ui/dir_list.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTimer>

#include "text/paths.h"

namespace tallyx::ui {
namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kFilledRole = Qt::UserRole + 1;

QString PathOf(const QTreeWidgetItem* item) { return item->data(0, kPathRole).toString(); }

QString ChildPath(const QString& parent, const QString& name) {
  return QString::fromStdU16String(text::JoinPath(Utf16(parent), Utf16(name)));
}

bool HasSubdirectories(const QString& path) {
  return QDirIterator(path, QDir::Dirs | QDir::NoDotAndDotDot).hasNext();
}

bool IsDirectory(const QString& path) {
  const QFileInfo info(path);
  return info.isDir() && info.isReadable();
}

Qt::CaseSensitivity CaseOf(const QString& root) {
  return text::NamesIgnoreCase(Utf16(root)) ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

}  // namespace

bool IsUnder(const QString& path, const QString& root) {
  const Qt::CaseSensitivity cs = CaseOf(root);
  if (path.compare(root, cs) == 0) return true;
  return path.startsWith(ChildPath(root, QString()), cs);
}

QString CleanPath(const QString& path) {
  const QString plain =
      QString::fromStdU16String(text::WithoutLongPrefix(Utf16(QDir::fromNativeSeparators(path))));
  QString clean = QDir::cleanPath(QFileInfo(plain).absoluteFilePath());
  if (text::IsBareRoot(Utf16(clean))) clean += '/';  // a root keeps its separator
  return clean;
}

DirList::DirList(QWidget* parent) : QTreeWidget(parent) {
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  // Narrow as the list is, every level stays in view; names too long for it are cut short and
  // shown whole as a tip.
  setIndentation(12);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTextElideMode(Qt::ElideRight);

  connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (building_ || item == nullptr) return;
    const QString path = PathOf(item);
    if (!IsDirectory(path)) {
      // The tree is rebuilt after the view has finished with the click that got here.
      QTimer::singleShot(0, this, [this] { Recover(); });
      return;
    }
    if (path == path_) return;
    path_ = path;
    emit PathChanged();
  });
  connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
    if (building_) return;
    if (!Fill(item)) QTimer::singleShot(0, this, [this] { Recover(); });
  });
}

bool DirList::SetPath(const QString& root, const QString& dir) {
  if (!IsUnder(dir, root) || !IsDirectory(dir)) return false;

  building_ = true;
  clear();
  root_ = root;
  auto* top = new QTreeWidgetItem(this, {QDir::toNativeSeparators(root)});
  top->setData(0, kPathRole, root);
  QTreeWidgetItem* item = top;
  const QStringList names =
      dir.mid(root.size()).split('/', Qt::SkipEmptyParts);  // the way down from the root
  for (const QString& name : names) {
    Fill(item);
    item->setExpanded(true);
    QTreeWidgetItem* child = nullptr;
    for (int i = 0; i < item->childCount() && child == nullptr; ++i) {
      if (item->child(i)->text(0).compare(name, CaseOf(root)) == 0) child = item->child(i);
    }
    // A hidden directory is not listed, but the way to a selected one is.
    item = child != nullptr ? child : AddDirectory(item, name);
  }
  Fill(item);
  item->setExpanded(true);
  Select(item);
  building_ = false;

  if (dir != path_) {
    path_ = dir;
    emit PathChanged();
  }
  return true;
}

QString DirList::Path() const { return QDir::toNativeSeparators(path_); }

QTreeWidgetItem* DirList::AddDirectory(QTreeWidgetItem* parent, const QString& name) {
  auto* item = new QTreeWidgetItem(parent, {name});
  const QString path = ChildPath(PathOf(parent), name);
  item->setData(0, kPathRole, path);
  item->setToolTip(0, QDir::toNativeSeparators(path));
  item->setChildIndicatorPolicy(HasSubdirectories(path)
                                    ? QTreeWidgetItem::ShowIndicator
                                    : QTreeWidgetItem::DontShowIndicatorWhenChildless);
  return item;
}

bool DirList::Fill(QTreeWidgetItem* item) {
  if (item->data(0, kFilledRole).toBool()) return true;
  const QString path = PathOf(item);
  if (!IsDirectory(path)) return false;
  const QStringList names = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot,
                                                 QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
  for (const QString& name : names) AddDirectory(item, name);
  item->setData(0, kFilledRole, true);
  item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
  return true;
}

void DirList::Select(QTreeWidgetItem* item) {
  setCurrentItem(item);
  scrollToItem(item);
}

void DirList::Recover() {
  QString target = path_;
  while (!IsDirectory(target) && target != root_) {
    const auto split = text::SplitPath(Utf16(target));
    if (!split) break;
    target = target.left(static_cast<qsizetype>(split->directory_length));
    if (!IsUnder(target, root_)) target = root_;
  }
  SetPath(root_, target);
}

}  // namespace tallyx::ui
