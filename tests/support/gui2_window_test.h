#pragma once

#include <QAbstractButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"
#include "support/qt_printers.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"

namespace parlatone::testing {

// The named child; a missing one fails the test.
template <typename T = QWidget>
T* Find(QWidget& window, const QString& name) {
  T* found = window.findChild<T*>(name);
  EXPECT_NE(found, nullptr) << name.toStdString();
  return found;
}

inline void Click(QWidget& window, const QString& button) {
  if (auto* found = Find<QAbstractButton>(window, button)) {
    QTest::mouseClick(found, Qt::LeftButton);
  }
}

// A window of the editor over a project of its own: the settings file in a
// temporary folder, the shipped element file, and the scripted operator and
// choosers. Other paths stay empty unless a test sets them, so nothing is
// kept between runs.
template <typename Op = ScriptedOperator>
class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    paths_.settings_file = dir_.filePath(QStringLiteral("settings.ini"));
    paths_.element_file = ResolveAppPaths().element_file;
  }
  void UseSeries(int mode) {
    project_.settings.Mode = mode;
    DeriveSeriesLimits(project_);
  }
  template <typename W>
  std::unique_ptr<W> Open() {
    auto window = std::make_unique<W>(project_, paths_, op_, choosers_);
    window->show();
    return window;
  }

  QTemporaryDir dir_;
  Project project_;
  AppPaths paths_;
  Op op_;
  ScriptedChoosers choosers_;
};

}  // namespace parlatone::testing
