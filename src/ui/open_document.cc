#include "ui/open_document.h"

#include <QCoreApplication>
#include <QEvent>

#include "platform/open_document.h"

namespace tallyx::ui {
namespace {

// Drops every key, mouse, wheel and touch event of the application while it lives.
class InputDropped : public QObject {
 public:
  InputDropped() { QCoreApplication::instance()->installEventFilter(this); }
  ~InputDropped() override { QCoreApplication::instance()->removeEventFilter(this); }

 protected:
  bool eventFilter(QObject*, QEvent* event) override { return event->isInputEvent(); }
};

}  // namespace

std::int32_t OpenWithAssociatedApplication(const QString& path) {
  const InputDropped no_input;
  return platform::OpenDocument(path.toStdString(), [] { QCoreApplication::processEvents(); });
}

}  // namespace tallyx::ui
