// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <optional>

#include "tools/fit_rules.h"

namespace parlatone {

// What becomes of a recorded take: its silence trimmed, its loudness
// brought to a target, written in the series' format, all through the same
// path as fitting a file.

// Quiet kept before and after the voice when a take is trimmed.
inline constexpr int kTakeTrimMarginMs = 100;

struct TakeOptions {
  bool trim = false;
  std::optional<double> normalize_lufs;
};

struct FinishedTake {
  FitFileResult fit;  // `fit.output` empty when nothing was written
  std::optional<double> peak_db;
  std::optional<double> loudness_lufs;
};

// Writes the take `take` (recorded at `rate`) to `output` in the series'
// format; the take itself is left as it is.
FinishedTake FinishTake(const QString& take, int rate, const QString& output,
                        const FitSeries& series, const TakeOptions& options,
                        const std::atomic<bool>* cancel = nullptr);

// A name for a new recording that registration takes (8.3, at most 12
// bytes, nothing forbidden): REC0001.WAV, REC0002.WAV, ..., the first that
// neither the folder nor `taken` holds, letter case aside.
QString ProposeRecordingName(const QString& folder, int mode, const QStringList& taken = {});

}  // namespace parlatone
