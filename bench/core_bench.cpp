// SPDX-License-Identifier: GPL-3.0-or-later
// Costs of the text layer that every file read and write pays: the code page
// codec and the settings reader. Run by hand: build/bin/core_bench
#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "bench_support.h"

#include "core/cp932.h"
#include "core/ini_file.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"

namespace {

using namespace Qt::StringLiterals;

// A control-file-like text: mostly ASCII lines with Japanese comments.
QString SampleText(int lines) {
  QString text;
  for (int i = 0; i < lines; ++i) {
    // Pieces joined rather than QString::arg: "①" is a digit to arg().
    text += QString::number(i) + u",ANN"_s + QString::number(i % 100) +
            u".wav,16bit,22.05KHz,Mono,案内放送その"_s + QString::number(i) + u"①\r\n"_s;
  }
  return text;
}

void BM_Cp932Encode(benchmark::State& state) {
  const QString text = SampleText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(parlatone::cp932::Encode(text));
  }
  state.SetBytesProcessed(state.iterations() * text.size() * 2);
}
BENCHMARK(BM_Cp932Encode)->Arg(100)->Arg(1000);

void BM_Cp932Decode(benchmark::State& state) {
  const QByteArray bytes = parlatone::cp932::Encode(SampleText(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    benchmark::DoNotOptimize(parlatone::cp932::Decode(bytes));
  }
  state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Cp932Decode)->Arg(100)->Arg(1000)->Arg(10000);

void BM_ReadSettings(benchmark::State& state) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"ParlatoneEditorV3.ini"_s);
  for (const auto& [key, value] : {std::pair{u"Mode"_s, u"4"_s},
                                   {u"CardPath"_s, u"/カード"_s},
                                   {u"WavePath"_s, u"/音声"_s},
                                   {u"AddFunction"_s, u"1"_s}}) {
    parlatone::WriteSetting(path, u"SYSTEM"_s, key, value);
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(parlatone::ReadSettings(path));
  }
}
BENCHMARK(BM_ReadSettings);

// Recomputing every channel time of the largest series, as after a voice
// list change.
void BM_AllChannelTimes(benchmark::State& state) {
  parlatone::Project project;
  project.settings.Mode = 4;
  parlatone::DeriveSeriesLimits(project);
  for (int i = 0; i < project.ChannelCount; ++i) {
    parlatone::VoiceRecord voice;
    voice.NAME = u"V%1.wav"_s.arg(i);
    voice.SEC = u"%1.%2"_s.arg(i % 60).arg(i % 1000, 3, 10, QChar(u'0'));
    project.voices.push_back(voice);
  }
  for (int channel = 0; channel < project.ChannelCount; ++channel) {
    for (int slot = 0; slot < 8; ++slot) {
      project.programs[channel].Voice[slot] = u"V%1.wav"_s.arg((channel * 7 + slot) % 1000);
    }
  }
  for (auto _ : state) {
    qint64 total = 0;
    for (int channel = 0; channel < project.ChannelCount; ++channel) {
      total += project.ChannelTime(channel).tenths;
    }
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_AllChannelTimes);

}  // namespace

PARLATONE_BENCHMARK_MAIN(QCoreApplication)
