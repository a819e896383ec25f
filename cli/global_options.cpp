// SPDX-License-Identifier: GPL-3.0-or-later
#include "global_options.h"

#include <QCoreApplication>

#include <functional>
#include <vector>

#include "core/series.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

using Setter = std::function<QString(const QString& value, GlobalOptions& options)>;

// One global option: how it is typed, what the help says of it, and what
// it does. A flag has no value name; its setter gets an empty value.
struct GlobalOption {
  QLatin1String name;
  QLatin1String short_name;  // empty when none
  QLatin1String value_name;  // empty for a flag
  QLatin1String help;
  Setter set;  // returns an error text, empty when the value is good
};

std::optional<int> ParseInt(const QString& text) {
  bool ok = false;
  const int value = text.toInt(&ok, 10);
  return ok ? std::optional<int>(value) : std::nullopt;
}

// The capacity indexes: 49000, 99000 and 199000 bytes, then no limit.
constexpr int kLastCapacityIndex = 3;

const std::vector<GlobalOption>& GlobalOptionTable() {
  static const std::vector<GlobalOption> table = {
      {QLatin1String("--series"),
       {},
       QLatin1String("N"),
       QLatin1String(QT_TRANSLATE_NOOP("GlobalOptions",
                                       "device series 0 to 7 instead of the one in the settings")),
       [](const QString& value, GlobalOptions& options) {
         const auto series = ParseInt(value);
         if (!series || *series < 0 || *series >= kSeriesCount) {
           return QCoreApplication::translate("GlobalOptions",
                                              "--series takes a series number from 0 to 7");
         }
         options.series = series;
         return QString();
       }},
      {QLatin1String("--stereo"),
       {},
       QLatin1String("on|off"),
       QLatin1String(QT_TRANSLATE_NOOP("GlobalOptions", "accept stereo sound files or not")),
       [](const QString& value, GlobalOptions& options) {
         if (value != u"on" && value != u"off") {
           return QCoreApplication::translate("GlobalOptions", "--stereo takes on or off");
         }
         options.stereo = value == u"on";
         return QString();
       }},
      {QLatin1String("--capacity"),
       {},
       QLatin1String("K"),
       QLatin1String(
           QT_TRANSLATE_NOOP("GlobalOptions", "registration capacity index of the MP3 series")),
       [](const QString& value, GlobalOptions& options) {
         const auto capacity = ParseInt(value);
         if (!capacity || *capacity < 0 || *capacity > kLastCapacityIndex) {
           return QCoreApplication::translate(
               "GlobalOptions", "--capacity takes a capacity index (0, 1, 2, or 3 for no limit)");
         }
         options.capacity = capacity;
         return QString();
       }},
      {QLatin1String("--wave-path"),
       {},
       QLatin1String("DIR"),
       QLatin1String(QT_TRANSLATE_NOOP("GlobalOptions", "folder of the sound files")),
       [](const QString& value, GlobalOptions& options) {
         if (value.isEmpty()) {
           return QCoreApplication::translate("GlobalOptions", "--wave-path takes a folder");
         }
         options.wave_path = value;
         return QString();
       }},
      {QLatin1String("--card-path"),
       {},
       QLatin1String("DIR"),
       QLatin1String(
           QT_TRANSLATE_NOOP("GlobalOptions", "folder in which card data folders are made")),
       [](const QString& value, GlobalOptions& options) {
         if (value.isEmpty()) {
           return QCoreApplication::translate("GlobalOptions", "--card-path takes a folder");
         }
         options.card_path = value;
         return QString();
       }},
      {QLatin1String("--lang"),
       {},
       QLatin1String("ja|en"),
       QLatin1String(QT_TRANSLATE_NOOP(
           "GlobalOptions", "language of the texts instead of the settings' or the system's")),
       [](const QString& value, GlobalOptions& options) {
         if (value != u"ja" && value != u"en") {
           return QCoreApplication::translate("GlobalOptions", "--lang takes ja or en");
         }
         options.language = ParseLanguageChoice(value);
         return QString();
       }},
      {QLatin1String("--help"),
       QLatin1String("-h"),
       {},
       QLatin1String(QT_TRANSLATE_NOOP("GlobalOptions",
                                       "show this help, or a command's with COMMAND --help")),
       [](const QString&, GlobalOptions& options) {
         options.help = true;
         return QString();
       }},
      {QLatin1String("--version"),
       {},
       {},
       QLatin1String(QT_TRANSLATE_NOOP("GlobalOptions", "show the version")),
       [](const QString&, GlobalOptions& options) {
         options.version = true;
         return QString();
       }},
  };
  return table;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const QStringList& arguments) {
  ParsedCommandLine parsed;
  bool options_ended = false;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments.at(i);
    if (options_ended) {
      if (parsed.command.isEmpty()) {
        parsed.command = argument;
      } else {
        parsed.arguments << argument;
      }
      continue;
    }
    if (argument == u"--") {
      options_ended = true;
      continue;
    }
    bool matched = false;
    for (const GlobalOption& option : GlobalOptionTable()) {
      QString value;
      if (option.value_name.isEmpty()) {
        if (argument != option.name &&
            (option.short_name.isEmpty() || argument != option.short_name)) {
          continue;
        }
      } else if (argument == option.name) {
        if (i + 1 >= arguments.size()) {
          parsed.error =
              QCoreApplication::translate("GlobalOptions", "%1 needs a value").arg(option.name);
          return parsed;
        }
        value = arguments.at(++i);
      } else if (argument.startsWith(option.name + u'=')) {
        value = argument.mid(option.name.size() + 1);
      } else {
        continue;
      }
      matched = true;
      const QString error = option.set(value, parsed.options);
      if (!error.isEmpty()) {
        parsed.error = error;
        return parsed;
      }
      break;
    }
    if (matched) {
      continue;
    }
    if (parsed.command.isEmpty()) {
      if (argument.startsWith(u'-')) {
        parsed.error =
            QCoreApplication::translate("GlobalOptions", "unknown option %1").arg(argument);
        return parsed;
      }
      parsed.command = argument;
    } else {
      parsed.arguments << argument;  // the command judges its own arguments
    }
  }
  return parsed;
}

void ApplyOverrides(const GlobalOptions& options, Settings& settings) {
  if (options.series) {
    settings.Mode = *options.series;
  }
  if (options.stereo) {
    settings.AddFunction = *options.stereo ? 1 : 0;
  }
  if (options.capacity) {
    settings.FileCapacity = *options.capacity;
  }
  if (options.wave_path) {
    settings.WavePath = *options.wave_path;
  }
  if (options.card_path) {
    settings.CardPath = *options.card_path;
  }
  if (options.language) {
    settings.Language = *options.language;
  }
}

UiLanguage RunLanguage(const GlobalOptions& options, const QString& settings_file) {
  return ResolveLanguage(options.language.value_or(ReadSettings(settings_file).Language));
}

QString GlobalOptionsHelp() {
  QString text;
  for (const GlobalOption& option : GlobalOptionTable()) {
    QString typed = option.name;
    if (!option.short_name.isEmpty()) {
      typed = option.short_name + u", "_s + typed;
    }
    if (!option.value_name.isEmpty()) {
      typed += u' ' + option.value_name;
    }
    text += QStringLiteral("  %1%2\n")
                .arg(typed, -20)
                .arg(QCoreApplication::translate("GlobalOptions", option.help.data()));
  }
  return text;
}

}  // namespace parlatone::cli
