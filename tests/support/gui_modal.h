// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QImage>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace testing {

// The window's child of that name; a missing one fails the test.
template <typename T = QWidget>
T* Find(QWidget& window, const QString& name) {
  T* found = window.findChild<T*>(name);
  EXPECT_NE(found, nullptr) << name.toStdString();
  return found;
}

inline void Click(QWidget& window, const QString& button) {
  QTest::mouseClick(Find<QAbstractButton>(window, button), Qt::LeftButton);
}

// Where the widget, as painted now, draws the play position (its red line) on
// the `span` pixels from `left`, as a share of them; below 0 for none.
inline double DrawnPlayPoint(QWidget& widget, int left, int span) {
  const QImage image = widget.grab().toImage();
  for (int x = image.width() - 1; x >= 0; --x) {
    if (image.pixelColor(x, image.height() - 6) == QColor(200, 40, 40)) {
      return (x - left) / (span - 1.0);
    }
  }
  return -1.0;
}

// Acts on the modal window of type T once the event loop runs. An ASSERT in a
// deferred lambda only leaves the lambda and the window would stay open until
// the test's timeout; here a missing window fails the test and whatever modal
// is open is closed, so the caller's exec() returns.
template <typename T>
void OnModal(std::function<void(T&)> act) {
  QTimer::singleShot(0, [act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* window = qobject_cast<T*>(modal)) {
      act(*window);
      return;
    }
    ADD_FAILURE() << "expected a modal " << T::staticMetaObject.className();
    if (modal != nullptr) {
      modal->close();
    }
  });
}

}  // namespace testing
