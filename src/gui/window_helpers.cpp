// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/window_helpers.h"

#include <QEvent>
#include <QLineEdit>
#include <QLockFile>
#include <QTimer>

namespace parlatone {

namespace {

class SelectAllFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) {
      auto* edit = static_cast<QLineEdit*>(watched);
      // After the focus change has placed the cursor, or the click would undo it.
      QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return false;
  }
};

}  // namespace

void SelectAllOnEntry(QLineEdit* edit) {
  edit->installEventFilter(new SelectAllFilter(edit));
}

void EnableCloseBox(QWidget* window, bool enabled) {
  const bool visible = window->isVisible();
  window->setWindowFlag(Qt::WindowCloseButtonHint, enabled);
  if (visible) {
    window->show();  // changing flags hides a window
  }
}

QFont EditorFont() {
  QFont font(QStringLiteral("Noto Sans CJK JP"));
  font.setPointSize(10);
  return font;
}

bool AcquireSingleInstanceLock(QLockFile& lock) {
  // Never stale by age: only an owner that is no longer running gives it up.
  lock.setStaleLockTime(0);
  return lock.tryLock(0);
}

}  // namespace parlatone
