// SPDX-License-Identifier: GPL-3.0-or-later
// The WAVE tools on long files: stereo-to-mono of a 10-minute 16-bit 44.1 kHz
// file (about 106 MB) and a 10-minute 8-bit 22.05 kHz file, and a 60-minute
// 16-bit 44.1 kHz silent file; next to sox doing the same and a plain
// buffered read-copy-write loop over the same bytes, in the same run.
// Run by hand: build/bin/tools_bench   (sox comes with Debian's sox package)
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include "bench_support.h"

#include <cmath>
#include <vector>

#include "support/sound_fixtures.h"
#include "tools/conversion_engine.h"

namespace {

using namespace Qt::StringLiterals;

// Writes a stereo PCM file of the given length in blocks, so that making
// the fixture does not itself take the memory the engine is measured for.
bool WriteLongStereo(const QString& path, uint32_t rate, uint16_t bits, int seconds) {
  const uint16_t block = static_cast<uint16_t>(2 * bits / 8);
  const int64_t data = static_cast<int64_t>(rate) * block * seconds;
  using parlatone::testing::Le16Bytes;
  using parlatone::testing::Le32Bytes;
  const QByteArray header = "RIFF" + Le32Bytes(static_cast<uint32_t>(36 + data)) + "WAVEfmt " +
                            Le32Bytes(16) + Le16Bytes(1) + Le16Bytes(2) + Le32Bytes(rate) +
                            Le32Bytes(rate * block) + Le16Bytes(block) + Le16Bytes(bits) + "data" +
                            Le32Bytes(static_cast<uint32_t>(data));
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(header) != header.size()) {
    return false;
  }
  std::vector<char> chunk(1 << 20);
  for (size_t i = 0; i < chunk.size(); ++i) {
    chunk[i] = static_cast<char>(static_cast<int>(64 * std::sin(i * 0.01)));
  }
  for (int64_t written = 0; written < data;) {
    const int64_t n = std::min<int64_t>(static_cast<int64_t>(chunk.size()), data - written);
    if (file.write(chunk.data(), n) != n) {
      return false;
    }
    written += n;
  }
  return true;
}

struct Fixture {
  QTemporaryDir dir;
  QString wide;    // 16-bit 44.1 kHz
  QString narrow;  // 8-bit 22.05 kHz
};

const Fixture& Files() {
  static Fixture fixture;
  static const bool ready = [] {
    fixture.wide = fixture.dir.filePath(u"wide.wav"_s);
    fixture.narrow = fixture.dir.filePath(u"narrow.wav"_s);
    return WriteLongStereo(fixture.wide, 44100, 16, 600) &&
           WriteLongStereo(fixture.narrow, 22050, 8, 600);
  }();
  (void)ready;
  return fixture;
}

long PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void Convert(benchmark::State& state, const QString& input) {
  const QString output = Files().dir.filePath(u"mono.wav"_s);
  const long rss_before = PeakRssKb();
  for (auto _ : state) {
    parlatone::ConversionProgress progress;
    if (parlatone::ConvertStereoToMono(input, output, progress) !=
        parlatone::ConversionResult::kCompleted) {
      state.SkipWithError("conversion failed");
      return;
    }
  }
  state.counters["MB/s"] =
      benchmark::Counter(static_cast<double>(QFile(input).size()) * state.iterations() / 1e6,
                         benchmark::Counter::kIsRate);
  state.counters["peak_rss_growth_MB"] = static_cast<double>(PeakRssKb() - rss_before) / 1024;
}

void Sox(benchmark::State& state, const QStringList& arguments) {
  parlatone::bench::RunTool(state, u"sox"_s, arguments);
}

// What any program must pay: read every byte, write half of them.
void PlainLoop(benchmark::State& state, const QString& input) {
  const QString output = Files().dir.filePath(u"plain.out"_s);
  for (auto _ : state) {
    QFile in(input);
    QFile out(output);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
      state.SkipWithError("cannot open");
      return;
    }
    std::vector<char> buffer(1 << 20);
    for (;;) {
      const qint64 n = in.read(buffer.data(), static_cast<qint64>(buffer.size()));
      if (n <= 0) {
        break;
      }
      out.write(buffer.data(), n / 2);
    }
  }
}

void BM_ConvertWide(benchmark::State& state) {
  Convert(state, Files().wide);
}
void BM_SoxWide(benchmark::State& state) {
  Sox(state, {Files().wide, Files().dir.filePath(u"sox.wav"_s), u"remix"_s, u"1"_s});
}
void BM_PlainLoopWide(benchmark::State& state) {
  PlainLoop(state, Files().wide);
}
void BM_ConvertNarrow(benchmark::State& state) {
  Convert(state, Files().narrow);
}
void BM_SoxNarrow(benchmark::State& state) {
  Sox(state, {Files().narrow, Files().dir.filePath(u"sox.wav"_s), u"remix"_s, u"2"_s});
}
void BM_PlainLoopNarrow(benchmark::State& state) {
  PlainLoop(state, Files().narrow);
}
void BM_Silence60Minutes(benchmark::State& state) {
  const QString output = Files().dir.filePath(u"silence.wav"_s);
  for (auto _ : state) {
    parlatone::ConversionProgress progress;
    if (parlatone::CreateSilentWave(output, 3600, 44100, 16, progress) !=
        parlatone::ConversionResult::kCompleted) {
      state.SkipWithError("silence failed");
      return;
    }
  }
}
void BM_SoxSilence60Minutes(benchmark::State& state) {
  Sox(state, {u"-D"_s, u"-n"_s, u"-r"_s, u"44100"_s, u"-b"_s, u"16"_s, u"-c"_s, u"1"_s,
              Files().dir.filePath(u"sox_silence.wav"_s), u"trim"_s, u"0"_s, u"3600"_s});
}

#define PARLATONE_SLOW_BENCHMARK(name) \
  BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)
PARLATONE_SLOW_BENCHMARK(BM_ConvertWide);
PARLATONE_SLOW_BENCHMARK(BM_SoxWide);
PARLATONE_SLOW_BENCHMARK(BM_PlainLoopWide);
PARLATONE_SLOW_BENCHMARK(BM_ConvertNarrow);
PARLATONE_SLOW_BENCHMARK(BM_SoxNarrow);
PARLATONE_SLOW_BENCHMARK(BM_PlainLoopNarrow);
PARLATONE_SLOW_BENCHMARK(BM_Silence60Minutes);
PARLATONE_SLOW_BENCHMARK(BM_SoxSilence60Minutes);

}  // namespace

PARLATONE_BENCHMARK_MAIN(QCoreApplication)
