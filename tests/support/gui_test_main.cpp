// SPDX-License-Identifier: GPL-3.0-or-later
#ifdef PARLATONE_TEST_WIDGETS
#include <QApplication>
#else
#include <QGuiApplication>
#endif

#include <gtest/gtest.h>

namespace {

// A Qt warning in normal use is a fault (an editor outliving its cell, a
// layout that does not fit): any warning fails the test that caused it.
void FailOnQtWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg) {
    return;
  }
  // What the offscreen platform cannot do (raise a window, grab the
  // keyboard) it says on every window; a screen does it.
  if (message.startsWith(QLatin1String("This plugin does not support"))) {
    return;
  }
  ADD_FAILURE() << "Qt " << (type == QtWarningMsg ? "warning" : "message") << ": "
                << message.toStdString()
                << (context.file != nullptr ? std::string(" (") + context.file + ")" : "");
}

}  // namespace

// Window tests need a widget application, the sheet painter's a Gui one for
// its fonts and paged devices; ctest runs them offscreen.
int main(int argc, char** argv) {
#ifdef PARLATONE_TEST_WIDGETS
  QApplication app(argc, argv);
#else
  QGuiApplication app(argc, argv);
#endif
  ::testing::InitGoogleTest(&argc, argv);
  qInstallMessageHandler(FailOnQtWarnings);
  return RUN_ALL_TESTS();
}
