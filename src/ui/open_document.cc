#include "ui/open_document.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/open_document.h"

namespace tallyx::ui {
namespace {

// The desktop services report only whether an application could be started, so the shell's
// other failure codes come from looking at the path first.
std::int32_t OpenThroughDesktopServices(const QString& path) {
  constexpr std::int32_t kOpened = 33;
  if (path.isEmpty()) return 2;
  const QFileInfo info(path);
  if (!info.exists()) return QFileInfo(info.absolutePath()).isDir() ? 2 : 3;
  if (!info.isReadable()) return 5;
  const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
  if (!url.isValid()) return 0;
  return QDesktopServices::openUrl(url) ? kOpened : 31;
}

}  // namespace

std::int32_t OpenWithAssociatedApplication(const QString& path) {
  if constexpr (platform::kShellOpensDocuments) {
    return platform::OpenDocument(path.toStdString());
  } else {
    return OpenThroughDesktopServices(path);
  }
}

}  // namespace tallyx::ui
