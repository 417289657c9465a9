#include "ui/message_sink.h"

#include <QLabel>
#include <QMessageBox>

#include "model/messages.h"

namespace tallyx::ui {
namespace {

// The messages break their lines with a carriage return; a label breaks at a line feed on every
// system (Windows otherwise draws a blank there).
QString LineBreaksForDisplay(QString text) {
  return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

class MessageBoxSink : public MessageSink {
 public:
  void Show(QWidget* parent, const QString& text, const QString& details) override {
    QMessageBox box(QMessageBox::NoIcon,
                    QString::fromUtf8(model::kMessageCaption.data(),
                                      static_cast<qsizetype>(model::kMessageCaption.size())),
                    LineBreaksForDisplay(text), QMessageBox::Ok, parent);
    // Paths and patterns are shown as they stand, even when they look like markup.
    box.setTextFormat(Qt::PlainText);
    if (!details.isEmpty()) {
      box.setInformativeText(details);
      // File names are shown as they are, never as markup.
      if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
        label->setTextFormat(Qt::PlainText);
        QFont smaller = label->font();
        smaller.setPointSizeF(smaller.pointSizeF() * 0.85);
        label->setFont(smaller);
      }
    }
    box.exec();
  }
};

MessageBoxSink g_box;
MessageSink* g_sink = &g_box;

}  // namespace

MessageSink& Messages() { return *g_sink; }

void SetMessageSink(MessageSink* sink) { g_sink = sink != nullptr ? sink : &g_box; }

}  // namespace tallyx::ui
