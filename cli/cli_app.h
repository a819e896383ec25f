// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "global_options.h"

namespace parlatone::cli {

// Runs the tool; returns the process exit status.
// interactive: questions may be asked on the terminal; progress_bar:
// standard error is a terminal that may show a progress bar.
int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err, bool interactive,
           bool progress_bar);

}  // namespace parlatone::cli
