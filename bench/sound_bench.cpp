// SPDX-License-Identifier: GPL-3.0-or-later
// Reading sound files as registration does (ReadSoundInfo + GetSoundLength)
// against one `soxi -D` call over the same files, in the same run.
// Run by hand: build/bin/sound_bench   (soxi comes with Debian's sox and
// libsox-fmt-mp3; without it those rows are skipped).
#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "core/operator.h"
#include "sound/media.h"
#include "sound/wave_reader.h"
#include "support/sound_fixtures.h"

namespace {

using namespace Qt::StringLiterals;

struct FileSet {
  QStringList wave;
  QStringList tagged_mp3;
  QStringList untagged_vbr_mp3;
};

const FileSet& Files() {
  static QTemporaryDir dir;
  static const FileSet files = [] {
    FileSet set;
    for (int i = 0; i < 1000; ++i) {
      const QString path = dir.filePath(u"w%1.wav"_s.arg(i));
      parlatone::testing::WriteBytes(path,
                                     parlatone::testing::WaveOfLength(22050, 1, 16, 200 + i % 50));
      set.wave << path;
    }
    for (int i = 0; i < 300; ++i) {
      const QString tagged = dir.filePath(u"t%1.mp3"_s.arg(i));
      parlatone::testing::WriteBytes(tagged, parlatone::testing::TaggedMp3(40 + i % 20, {128}));
      set.tagged_mp3 << tagged;
      const QString vbr = dir.filePath(u"v%1.mp3"_s.arg(i));
      parlatone::testing::WriteBytes(vbr,
                                     parlatone::testing::Mp3Frames(40 + i % 20, {64, 128, 192}));
      set.untagged_vbr_mp3 << vbr;
    }
    return set;
  }();
  return files;
}

void ReadAsRegistration(benchmark::State& state, const QStringList& files, int mode) {
  int refused = 0;
  int64_t total_ms = 0;
  for (auto _ : state) {
    for (const QString& path : files) {
      parlatone::SoundInfo info;
      refused += parlatone::ReadSoundInfo(path, mode, info).passed ? 0 : 1;
      total_ms += parlatone::GetSoundLength(path, mode);
    }
  }
  if (refused != 0 || total_ms <= 0) {
    state.SkipWithError("a generated file was refused");
  }
  state.counters["files/s"] = benchmark::Counter(
      static_cast<double>(state.iterations() * files.size()), benchmark::Counter::kIsRate);
}

void Soxi(benchmark::State& state, const QStringList& files) {
  parlatone::bench::RunTool(state, u"soxi"_s, QStringList{u"-D"_s} + files);
  state.counters["files/s"] = benchmark::Counter(
      static_cast<double>(state.iterations() * files.size()), benchmark::Counter::kIsRate);
}

void BM_ReadWave(benchmark::State& state) {
  ReadAsRegistration(state, Files().wave, 1);
}
void BM_SoxiWave(benchmark::State& state) {
  Soxi(state, Files().wave);
}
void BM_ReadTaggedMp3(benchmark::State& state) {
  ReadAsRegistration(state, Files().tagged_mp3, 7);
}
void BM_SoxiTaggedMp3(benchmark::State& state) {
  Soxi(state, Files().tagged_mp3);
}
void BM_ReadUntaggedVbrMp3(benchmark::State& state) {
  ReadAsRegistration(state, Files().untagged_vbr_mp3, 7);
}
void BM_SoxiUntaggedVbrMp3(benchmark::State& state) {
  Soxi(state, Files().untagged_vbr_mp3);
}

BENCHMARK(BM_ReadWave)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SoxiWave)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadTaggedMp3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SoxiTaggedMp3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadUntaggedVbrMp3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SoxiUntaggedVbrMp3)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

PARLATONE_BENCHMARK_MAIN(QCoreApplication)
