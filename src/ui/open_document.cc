#include "ui/open_document.h"

#ifdef _WIN32
// windows.h comes first: shellapi.h builds on its types.
#include <windows.h>

#include <shellapi.h>

#include "platform/codec.h"
#else
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#endif

namespace tallyx::ui {

#ifdef _WIN32

std::int32_t OpenWithAssociatedApplication(const QString& path) {
  const std::string name = platform::ToCp932(path.toStdString());
  const HINSTANCE result =
      ShellExecuteA(GetDesktopWindow(), "Open", name.c_str(), "", "C:\\", SW_SHOWNORMAL);
  return static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(result));
}

#else

// The desktop services report only whether an application could be started, so the shell's
// other failure codes come from looking at the path first.
std::int32_t OpenWithAssociatedApplication(const QString& path) {
  constexpr std::int32_t kOpened = 33;
  if (path.isEmpty()) return 2;
  const QFileInfo info(path);
  if (!info.exists()) return QFileInfo(info.absolutePath()).isDir() ? 2 : 3;
  if (!info.isReadable()) return 5;
  const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
  if (!url.isValid()) return 0;
  return QDesktopServices::openUrl(url) ? kOpened : 31;
}

#endif

}  // namespace tallyx::ui
