// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <benchmark/benchmark.h>

#include "core/operator.h"

namespace parlatone::bench {

// An operator nobody watches: every question answered `answer`, notices counted.
class SilentOperator : public Operator {
 public:
  explicit SilentOperator(MessageAnswer answer = MessageAnswer::kNo) : answer_(answer) {}
  MessageAnswer ShowMessage(const MessageRequest& request) override {
    ++messages;
    return request.buttons == MessageButtons::kOk ? MessageAnswer::kOk : answer_;
  }
  void SetBusy(bool) override {}
  void SetProgress(const QString&, int, int) override {}
  void Pause(int) override {}
  void ProcessPendingEvents() override {}
  int messages = 0;

 private:
  MessageAnswer answer_;
};

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
