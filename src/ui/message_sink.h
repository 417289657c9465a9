// Where the program's message boxes go. The window shows them modally; tests put a recorder in
// their place so that nothing blocks.
#pragma once

#include <QString>

class QWidget;

namespace tallyx::ui {

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows `text`, and `details` beneath it in smaller type when given, and returns once the user
  // has dismissed it.
  virtual void Show(QWidget* parent, const QString& text, const QString& details = QString()) = 0;
};

// The sink in use; a modal box with one OK button, no icon and the caption "Tallyx" unless a
// test has put another in its place.
MessageSink& Messages();
// Replaces the sink (nullptr restores the message box). The caller keeps ownership.
void SetMessageSink(MessageSink* sink);

}  // namespace tallyx::ui
