// SPDX-License-Identifier: GPL-3.0-or-later
// A 1000-channel project (series 4) naming 1000 real WAVE files: loading its
// control file and registering the same files, next to one `soxi -D` call
// over them, in the same run; and writing the full project.
// Run by hand: build/bin/controlfile_bench
#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "controlfile/control_file_loader.h"
#include "controlfile/control_file_writer.h"
#include "core/operator.h"
#include "core/project.h"
#include "core/series.h"
#include "support/quiet_operator.h"
#include "support/sound_fixtures.h"
#include "voices/registration.h"

namespace {

using namespace Qt::StringLiterals;
using parlatone::Project;

using parlatone::testing::QuietOperator;

constexpr int kFiles = 1000;

void UseSeries4(Project& project) {
  project.settings.Mode = 4;
  parlatone::DeriveSeriesLimits(project);
}

// The full project: 1000 voices, every channel playing 8 of them.
void FillProject(Project& project, const QStringList& files) {
  UseSeries4(project);
  for (int v = 0; v < kFiles; ++v) {
    parlatone::VoiceRecord voice;
    voice.NAME = u"V%1.wav"_s.arg(v, 3, 10, QChar(u'0'));
    voice.FilePath = files.at(v);
    voice.SEC = u"0.250"_s;
    voice.COMENTS = u"案内%1"_s.arg(v);
    project.voices.append(voice);
  }
  project.VoicesRegistered = true;
  for (int channel = 0; channel < kFiles; ++channel) {
    for (int slot = 0; slot < 8; ++slot) {
      project.programs[static_cast<size_t>(channel)].Voice[static_cast<size_t>(slot)] =
          project.voices.at((channel + slot * 37) % kFiles).NAME;
    }
  }
}

struct Fixture {
  QTemporaryDir dir;
  QStringList files;
  QString control_file;
};

const Fixture& Files() {
  static Fixture fixture;
  static const bool ready = [] {
    for (int v = 0; v < kFiles; ++v) {
      const QString path = fixture.dir.filePath(u"V%1.wav"_s.arg(v, 3, 10, QChar(u'0')));
      parlatone::testing::WriteBytes(path, parlatone::testing::WaveOfLength(22050, 1, 16, 250));
      fixture.files << path;
    }
    Project project;
    FillProject(project, fixture.files);
    fixture.control_file = fixture.dir.filePath(u"BIG.wpj"_s);
    return parlatone::WriteControlFile(project, fixture.control_file, true).ok;
  }();
  (void)ready;
  return fixture;
}

void BM_LoadControlFile(benchmark::State& state) {
  const Fixture& fixture = Files();
  QuietOperator op;
  for (auto _ : state) {
    Project project;
    UseSeries4(project);
    if (!parlatone::LoadWpjFile(project, fixture.control_file, op) ||
        project.voices.size() != kFiles) {
      state.SkipWithError("the control file did not load");
      return;
    }
  }
}
BENCHMARK(BM_LoadControlFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RegisterFiles(benchmark::State& state) {
  const Fixture& fixture = Files();
  QuietOperator op;
  for (auto _ : state) {
    parlatone::WorkingVoiceList list(kFiles);
    const auto result = parlatone::RegisterFiles(list, fixture.files, {4, 0, 0}, op);
    if (result.registered != kFiles) {
      state.SkipWithError("not every file registered");
      return;
    }
  }
}
BENCHMARK(BM_RegisterFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SoxiOverTheSameFiles(benchmark::State& state) {
  parlatone::bench::RunTool(state, u"soxi"_s, QStringList{u"-D"_s} + Files().files);
}
BENCHMARK(BM_SoxiOverTheSameFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteFullProject(benchmark::State& state) {
  const Fixture& fixture = Files();
  Project project;
  FillProject(project, fixture.files);
  const QString path = fixture.dir.filePath(u"WRITE.wpj"_s);
  for (auto _ : state) {
    if (!parlatone::WriteControlFile(project, path, true)) {
      state.SkipWithError("write failed");
      return;
    }
  }
}
BENCHMARK(BM_WriteFullProject)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

PARLATONE_BENCHMARK_MAIN(QCoreApplication)
