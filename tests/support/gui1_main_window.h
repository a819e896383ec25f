#pragma once

#include <QAction>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

#include "controlfile/control_file_writer.h"
#include "core/project.h"
#include "core/series.h"
#include "gui/frm_main.h"
#include "gui/program_grid.h"
#include "gui/program_table_model.h"
#include "support/qt_printers.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"

namespace parlatone::testing {

// The main window of a test: a project of one series with voices v0.wav,
// v1.wav, ... of one second registered, a scripted operator and choosers,
// and settings, state and recovery files of its own.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    paths_.settings_file = dir_.filePath(QStringLiteral("settings.ini"));
    paths_.state_file = dir_.filePath(QStringLiteral("state/EditorState.json"));
    paths_.recovery_file = dir_.filePath(QStringLiteral("cache/Recovery"));
  }
  void Open(int mode, int voices = 0) {
    window_.reset();
    project_.ClearProject();
    project_.settings.Mode = mode;
    project_.settings.CardPath = dir_.path();
    DeriveSeriesLimits(project_);
    project_.ResetPrograms();
    for (int v = 0; v < voices; ++v) {
      project_.voices.append(VoiceRecord{});
      project_.voices.back().NAME = QStringLiteral("v%1.wav").arg(v);
      project_.voices.back().SEC = QStringLiteral("1.000");
    }
    project_.VoicesRegistered = voices > 0;
    window_ = std::make_unique<FrmMain>(project_, paths_, op_, choosers_);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }
  template <typename T = QAction>
  T* Find(const QString& name) {
    T* found = window_->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  QPushButton* Command(int i) { return Find<QPushButton>(QStringLiteral("Command%1").arg(i)); }
  void Click(int command) { QTest::mouseClick(Command(command), Qt::LeftButton); }
  ProgramGrid* Grid() { return window_->Grid(); }
  ProgramTableModel* Model() { return window_->Model(); }
  QModelIndex Cell(int row, int column) { return Model()->index(row, column); }
  void Select(int row, int column) { Grid()->setCurrentIndex(Cell(row, column)); }
  void Fill(int channel, const QStringList& names) {
    for (qsizetype s = 0; s < names.size(); ++s) {
      project_.programs[static_cast<size_t>(channel)].Voice[static_cast<size_t>(s)] = names[s];
    }
    Model()->Refresh();
  }
  // A control file of the open series with one real sound, a.wav, on
  // `channel`, in a folder of its own.
  QString ControlFileWithOneVoice(const QString& name, int channel = 0) {
    const QString folder = dir_.filePath(name);
    EXPECT_TRUE(WriteBytes(folder + QStringLiteral("/a.wav"), WaveOfLength(22050, 1, 16, 300)));
    Project source;
    source.settings.Mode = project_.Mode();
    DeriveSeriesLimits(source);
    source.voices = {VoiceRecord{}};
    source.voices[0].NAME = QStringLiteral("a.wav");
    source.VoicesRegistered = true;
    source.programs[static_cast<size_t>(channel)].Voice[0] = source.voices[0].NAME;
    const QString path = folder + QStringLiteral("/") + name + QStringLiteral(".wpj");
    EXPECT_TRUE(WriteControlFile(source, path, true));
    return path;
  }

  QTemporaryDir dir_;
  AppPaths paths_ = ResolveAppPaths();
  Project project_;
  ScriptedOperator op_;
  ScriptedChoosers choosers_;
  std::unique_ptr<FrmMain> window_;
};

}  // namespace parlatone::testing
