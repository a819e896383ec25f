// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's grid: switching pages in the 1000-channel series and
// building the 24-voice grid, painted, offscreen.
// Run by hand: QT_QPA_PLATFORM=offscreen build/bin/gui_bench
#include <QApplication>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "core/operator.h"
#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"
#include "editor/program_table.h"
#include "gui/choosers.h"
#include "gui/frm_main.h"
#include "gui/frm_wave_add.h"
#include "gui/program_grid.h"
#include "gui/program_table_model.h"
#include "gui/table_history.h"
#include "support/quiet_operator.h"
#include "support/sound_fixtures.h"
#include "voices/registration.h"

namespace {

using namespace Qt::StringLiterals;

using parlatone::testing::QuietOperator;

void Fill(parlatone::Project& project, int mode) {
  project.settings.Mode = mode;
  parlatone::DeriveSeriesLimits(project);
  for (int v = 0; v < project.ChannelCount; ++v) {
    parlatone::VoiceRecord voice;
    voice.NAME = u"V%1.wav"_s.arg(v);
    voice.SEC = u"1.250"_s;
    project.voices.append(voice);
  }
  project.VoicesRegistered = true;
  for (int channel = 0; channel < project.ChannelCount; ++channel) {
    for (int slot = 0; slot <= parlatone::MaxVoiceIndex(mode); ++slot) {
      project.programs[static_cast<size_t>(channel)].Voice[static_cast<size_t>(slot)] =
          project.voices.at((channel + slot) % project.ChannelCount).NAME;
    }
  }
}

void BM_SwitchPageSeries4(benchmark::State& state) {
  parlatone::Project project;
  Fill(project, 4);
  QuietOperator op;
  parlatone::QtChoosers choosers(op);
  parlatone::FrmMain window({project, parlatone::ResolveAppPaths(), op, choosers});
  window.resize(1024, 768);
  window.show();
  QApplication::processEvents();
  auto* tabs = window.findChild<QTabBar*>(u"TabStrip"_s);
  int page = 0;
  for (auto _ : state) {
    page = (page + 1) % 4;
    tabs->setCurrentIndex(page);
    window.Grid()->viewport()->repaint();
  }
}
BENCHMARK(BM_SwitchPageSeries4)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_BuildGridSeries3(benchmark::State& state) {
  parlatone::Project project;
  Fill(project, 3);
  QuietOperator op;
  parlatone::QtChoosers choosers(op);
  for (auto _ : state) {
    parlatone::FrmMain window({project, parlatone::ResolveAppPaths(), op, choosers});
    window.resize(1024, 768);
    window.show();
    window.Grid()->viewport()->repaint();
    state.PauseTiming();
    window.hide();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_BuildGridSeries3)->Unit(benchmark::kMillisecond)->UseRealTime();

// 255 files registered through the voice registration window, and by the
// core alone, over the same files.
const QStringList& SoundFiles() {
  static QTemporaryDir dir;
  static const QStringList files = [] {
    QStringList paths;
    for (int i = 0; i < 255; ++i) {
      const QString path = dir.filePath(u"V%1.wav"_s.arg(i, 3, 10, QChar(u'0')));
      parlatone::testing::WriteBytes(path, parlatone::testing::WaveOfLength(22050, 1, 16, 200));
      paths << path;
    }
    return paths;
  }();
  return files;
}

void BM_RegisterThroughWindow(benchmark::State& state) {
  QuietOperator op;
  parlatone::QtChoosers choosers(op);
  parlatone::AppPaths paths = parlatone::ResolveAppPaths();
  QTemporaryDir settings;
  paths.settings_file = settings.filePath(u"settings.ini"_s);
  for (auto _ : state) {
    state.PauseTiming();  // opening the window is not the registration
    parlatone::Project project;
    project.settings.Mode = 1;
    parlatone::DeriveSeriesLimits(project);
    auto window = std::make_unique<parlatone::FrmWaveAdd>(
        parlatone::WindowContext{project, paths, op, choosers});
    window->show();
    // Settle the window fully (layout, first paint) so that the timed part
    // is the registration and the repaint it causes.
    for (int i = 0; i < 3; ++i) {
      QApplication::processEvents();
    }
    state.ResumeTiming();
    window->RegisterPaths(SoundFiles());
    QApplication::processEvents();  // the grid painted with the new voices
    state.PauseTiming();
    window.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RegisterThroughWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RegisterCore(benchmark::State& state) {
  QuietOperator op;
  for (auto _ : state) {
    parlatone::WorkingVoiceList list(255);
    benchmark::DoNotOptimize(parlatone::RegisterFiles(list, SoundFiles(), {1, 0, 0}, op));
  }
}
BENCHMARK(BM_RegisterCore)->Unit(benchmark::kMillisecond)->UseRealTime();

// A page of 250 voices in the registration window whose levels are known:
// the page change with its outline and level columns painted, under 50 ms.
void BM_LevelsPageSeries4(benchmark::State& state) {
  static QTemporaryDir dir;
  parlatone::Project project;
  project.settings.Mode = 4;
  parlatone::DeriveSeriesLimits(project);
  for (int v = 0; v < 500; ++v) {
    parlatone::VoiceRecord voice;
    voice.NAME = u"V%1.wav"_s.arg(v);
    voice.FilePath = dir.filePath(voice.NAME);
    voice.SEC = u"0.300"_s;
    parlatone::testing::WriteBytes(voice.FilePath,
                                   parlatone::testing::SineWave(8000, 300, 0.1 + v % 7 * 0.1));
    project.voices.append(voice);
  }
  project.VoicesRegistered = true;
  QuietOperator op;
  parlatone::QtChoosers choosers(op);
  parlatone::AppPaths paths = parlatone::ResolveAppPaths();
  paths.levels_folder = dir.filePath(u"levels"_s);
  QTemporaryDir settings;
  paths.settings_file = settings.filePath(u"settings.ini"_s);
  parlatone::FrmWaveAdd window({project, paths, op, choosers});
  window.resize(1024, 768);
  window.show();
  auto* tabs = window.findChild<QTabBar*>(u"TabStrip"_s);
  auto* grid = window.findChild<QTableView*>(u"FgWave"_s);
  const int levels = grid->model()->columnCount() - 1;
  // Every voice read once before timing.
  while (!grid->model()->index(249, levels).data().toString().contains(u"LUFS"_s) ||
         !grid->model()->index(0, levels).data().toString().contains(u"LUFS"_s)) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    tabs->setCurrentIndex(1 - tabs->currentIndex());
  }
  int page = 0;
  for (auto _ : state) {
    page = 1 - page;
    tabs->setCurrentIndex(page);
    grid->viewport()->repaint();
  }
}
BENCHMARK(BM_LevelsPageSeries4)->Unit(benchmark::kMillisecond)->UseRealTime();

// A thousand cell edits in the 1000-channel series, each a step of the
// undo history, then the thousand steps undone: each way well under 50 ms.
void EditsOrUndos(benchmark::State& state, bool undo) {
  parlatone::Project project;
  Fill(project, 4);
  QuietOperator op;
  parlatone::QtChoosers choosers(op);
  parlatone::AppPaths paths = parlatone::ResolveAppPaths();
  paths.state_file.clear();
  paths.recovery_file.clear();
  parlatone::FrmMain window({project, paths, op, choosers});
  window.show();
  QApplication::processEvents();
  parlatone::ProgramTableModel& model = *window.Model();
  QUndoStack& stack = window.History().Stack();
  const auto edit_all = [&](int round) {
    for (int row = 0; row < 250; ++row) {
      for (int slot = 0; slot < 4; ++slot) {
        model.setData(model.index(row, parlatone::kFirstVoiceColumn + slot),
                      project.voices.at((row + slot + round) % 250).NAME, Qt::EditRole);
      }
    }
  };
  int round = 1;
  for (auto _ : state) {
    if (undo) {
      state.PauseTiming();
      edit_all(round++);
      state.ResumeTiming();
      while (stack.canUndo()) {
        stack.undo();
      }
    } else {
      edit_all(round++);
      state.PauseTiming();
      stack.clear();
      state.ResumeTiming();
    }
  }
}

void BM_ThousandEditsSeries4(benchmark::State& state) {
  EditsOrUndos(state, false);
}
BENCHMARK(BM_ThousandEditsSeries4)->Unit(benchmark::kMillisecond);

void BM_ThousandUndosSeries4(benchmark::State& state) {
  EditsOrUndos(state, true);
}
BENCHMARK(BM_ThousandUndosSeries4)->Unit(benchmark::kMillisecond);

}  // namespace

PARLATONE_BENCHMARK_MAIN(QApplication)
