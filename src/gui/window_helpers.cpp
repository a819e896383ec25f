#include "gui/window_helpers.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLockFile>
#include <QScreen>
#include <QTimer>

#include <algorithm>

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

QRect FitToScreens(const QRect& wanted, const QSize& minimum) {
  const QScreen* best = QGuiApplication::primaryScreen();
  qint64 best_area = 0;
  for (const QScreen* screen : QGuiApplication::screens()) {
    const QRect shared = screen->availableGeometry().intersected(wanted);
    const qint64 area = static_cast<qint64>(shared.width()) * shared.height();
    if (area > best_area) {
      best_area = area;
      best = screen;
    }
  }
  if (best == nullptr) {
    return wanted;
  }
  const QRect area = best->availableGeometry();
  QSize size = wanted.size().expandedTo(minimum).boundedTo(area.size());
  QRect fitted(wanted.topLeft(), size);
  // Moved in so that all of it is on the screen.
  fitted.moveLeft(std::clamp(fitted.left(), area.left(), area.right() - size.width() + 1));
  fitted.moveTop(std::clamp(fitted.top(), area.top(), area.bottom() - size.height() + 1));
  return fitted;
}

}  // namespace parlatone
