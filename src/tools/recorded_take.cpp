// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/recorded_take.h"

#include <QDir>
#include <QSet>

#include "core/series.h"
#include "sound/sound_analysis.h"
#include "tools/fit_engine.h"

namespace parlatone {

using namespace Qt::StringLiterals;

FinishedTake FinishTake(const QString& take, int rate, const QString& output,
                        const FitSeries& series, const TakeOptions& options,
                        const std::atomic<bool>* cancel) {
  FitOptions fit;
  // The take is at a rate the series takes already: no resampling.
  fit.rate = FitRates(series.mode).contains(rate) ? rate : 0;
  fit.trim = options.trim;
  fit.trim_margin_ms = kTakeTrimMarginMs;
  fit.normalize_lufs = options.normalize_lufs;
  FinishedTake finished;
  finished.fit = FitFileTo(take, output, series, fit, cancel);
  if (finished.fit.written()) {
    if (const std::optional<SoundLevels> levels = AnalyseSound(output, cancel)) {
      finished.peak_db = levels->peak_db;
      finished.loudness_lufs = levels->loudness_lufs;
    }
  }
  return finished;
}

QString ProposeRecordingName(const QString& folder, int mode, const QStringList& taken) {
  QSet<QString> used;
  for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::Hidden)) {
    used.insert(name.toUpper());
  }
  for (const QString& name : taken) {
    used.insert(name.toUpper());
  }
  const QString suffix = IsMp3Series(mode) ? u".MP3"_s : u".WAV"_s;
  // Five digits still fit the eight characters of a short name.
  for (int number = 1; number <= 99999; ++number) {
    const QString name = u"REC"_s + u"%1"_s.arg(number, 4, 10, QChar(u'0')) + suffix;
    if (!used.contains(name)) {
      return name;
    }
  }
  return QString();
}

}  // namespace parlatone
