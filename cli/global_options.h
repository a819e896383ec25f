#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "core/settings.h"

namespace parlatone::cli {

// Options that change the settings for one run and are never written back.
struct GlobalOptions {
  std::optional<int> series;
  std::optional<bool> stereo;
  std::optional<int> capacity;
  std::optional<QString> wave_path;
  std::optional<QString> card_path;
  bool help = false;
  bool version = false;
};

struct ParsedCommandLine {
  GlobalOptions options;
  QString command;        // empty when none was given
  QStringList arguments;  // what follows the command, global options taken out
  QString error;          // non-empty: a usage error to report
};

// Global options may stand before or after the command; "--" ends them.
ParsedCommandLine ParseCommandLine(const QStringList& arguments);

// The help's lines on the global options, one per option.
QString GlobalOptionsHelp();

// The overrides applied to what the settings file holds.
void ApplyOverrides(const GlobalOptions& options, Settings& settings);

}  // namespace parlatone::cli
