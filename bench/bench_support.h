// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <benchmark/benchmark.h>

namespace parlatone::bench {

// Runs a program of Debian's sox family once per iteration; the row is
// skipped when the program is not installed.
inline void RunTool(benchmark::State& state, const QString& program, const QStringList& arguments) {
  const QString path = QStandardPaths::findExecutable(program);
  if (path.isEmpty()) {
    state.SkipWithError("not installed (Debian packages sox and libsox-fmt-mp3)");
    return;
  }
  for (auto _ : state) {
    QProcess process;
    process.start(path, arguments);
    process.waitForFinished(-1);
    if (process.exitCode() != 0) {
      state.SkipWithError("the tool failed");
      return;
    }
    benchmark::DoNotOptimize(process.readAllStandardOutput());
  }
}

}  // namespace parlatone::bench

// The benchmarks need a Qt application object, of the given kind.
#define PARLATONE_BENCHMARK_MAIN(Application) \
  int main(int argc, char** argv) {           \
    Application app(argc, argv);              \
    benchmark::Initialize(&argc, argv);       \
    benchmark::RunSpecifiedBenchmarks();      \
    benchmark::Shutdown();                    \
    return 0;                                 \
  }
