// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#include "core/language.h"
#include "core/settings.h"

namespace parlatone::cli {

// Options that change the settings for one run and are never written back.
struct GlobalOptions {
  std::optional<int> series;
  std::optional<bool> stereo;
  std::optional<int> capacity;
  std::optional<QString> wave_path;
  std::optional<QString> card_path;
  std::optional<LanguageChoice> language;  // the interface language of this run
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

// The overrides applied to what the settings file holds (the language too,
// though it is resolved before the settings are loaded: see RunLanguage).
void ApplyOverrides(const GlobalOptions& options, Settings& settings);

// The language of this run's texts: --lang, else the settings file's choice,
// resolved against the system's language.
UiLanguage RunLanguage(const GlobalOptions& options, const QString& settings_file);

}  // namespace parlatone::cli
