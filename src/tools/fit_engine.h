// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <atomic>

#include "core/progress_sink.h"
#include "tools/fit_rules.h"

namespace parlatone {

// Converts the sources into the folder (created when missing), on all
// cores, each output written complete or not at all. An existing output is
// replaced only when the operator says yes; an output that would be its own
// source is refused. Progress goes to `progress` when given, else to the
// operator; setting `cancel` stops the run, leaving no partial file (outputs
// already complete stay).
FitRunResult FitFiles(const QStringList& sources, const QString& out_folder,
                      const FitSeries& series, const FitOptions& options, Operator& op,
                      const std::atomic<bool>* cancel = nullptr, const ProgressSink& progress = {});

// Converts one source into the file `output` (replaced when it exists), on
// the calling thread: the path a recorded take goes through.
FitFileResult FitFileTo(const QString& source, const QString& output, const FitSeries& series,
                        const FitOptions& options, const std::atomic<bool>* cancel = nullptr);

}  // namespace parlatone
