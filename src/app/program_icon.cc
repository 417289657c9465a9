#include "app/program_icon.h"

#include <QDir>

namespace tallyx::app {

QIcon ProgramIcon() {
  QIcon icon;
  const QDir sizes(QStringLiteral(":/icons"));
  for (const QString& name : sizes.entryList(QDir::Files)) icon.addFile(sizes.filePath(name));
  return icon;
}

}  // namespace tallyx::app
