// What the dialog tests share: one application object, a recorder in place of the message
// boxes, and clicks on named widgets.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QString>
#include <QWidget>
#include <stdexcept>
#include <vector>

#include "ui/message_sink.h"
#include "ui/ui_test_env.h"

namespace tallyx::ui::testing {

using tallyx::testing::EnsureApplication;

class MessageRecorder : public MessageSink {
 public:
  void Show(QWidget*, const QString& text, const QString&) override { shown.push_back(text); }
  std::vector<QString> shown;
};

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureApplication();
    SetMessageSink(&messages_);
  }
  void TearDown() override { SetMessageSink(nullptr); }

  MessageRecorder messages_;
};

// The child of `parent` named `name`; a test that looks for one that is not there stops, with the
// name, rather than going on with a null pointer.
template <typename T = QWidget>
T* Child(const QWidget& parent, const QString& name) {
  T* child = parent.findChild<T*>(name);
  if (child == nullptr) throw std::runtime_error("no widget named " + name.toStdString());
  return child;
}

inline void Click(const QWidget& dialog, const QString& button) {
  Child<QAbstractButton>(dialog, button)->click();
}

// A left click at `pos` in `widget`, as the mouse makes it.
inline void MouseClick(QWidget* widget, QPoint pos) {
  const QPointF local(pos);
  const QPointF global(widget->mapToGlobal(pos));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

}  // namespace tallyx::ui::testing
