#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace testing {

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
