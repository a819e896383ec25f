#include "global_options.h"

#include <functional>
#include <vector>

#include "core/series.h"

namespace parlatone::cli {
namespace {

using Setter = std::function<QString(const QString& value, GlobalOptions& options)>;

struct ValueOption {
  QLatin1String name;
  Setter set;  // returns an error text, empty when the value is good
};

std::optional<int> ParseInt(const QString& text) {
  bool ok = false;
  const int value = text.toInt(&ok, 10);
  return ok ? std::optional<int>(value) : std::nullopt;
}

const std::vector<ValueOption>& ValueOptions() {
  static const std::vector<ValueOption> table = {
      {QLatin1String("--series"),
       [](const QString& value, GlobalOptions& options) {
         const auto series = ParseInt(value);
         if (!series || *series < 0 || *series >= kSeriesCount) {
           return QStringLiteral("--series takes a series number from 0 to 7");
         }
         options.series = series;
         return QString();
       }},
      {QLatin1String("--stereo"),
       [](const QString& value, GlobalOptions& options) {
         if (value != u"on" && value != u"off") {
           return QStringLiteral("--stereo takes on or off");
         }
         options.stereo = value == u"on";
         return QString();
       }},
      {QLatin1String("--capacity"),
       [](const QString& value, GlobalOptions& options) {
         const auto capacity = ParseInt(value);
         if (!capacity || *capacity < 0 || *capacity > 32767) {
           return QStringLiteral("--capacity takes a capacity index (0, 1, 2, or 3 for no limit)");
         }
         options.capacity = capacity;
         return QString();
       }},
      {QLatin1String("--wave-path"),
       [](const QString& value, GlobalOptions& options) {
         if (value.isEmpty()) {
           return QStringLiteral("--wave-path takes a folder");
         }
         options.wave_path = value;
         return QString();
       }},
      {QLatin1String("--card-path"),
       [](const QString& value, GlobalOptions& options) {
         if (value.isEmpty()) {
           return QStringLiteral("--card-path takes a folder");
         }
         options.card_path = value;
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
    if (argument == u"--help" || argument == u"-h") {
      parsed.options.help = true;
      continue;
    }
    if (argument == u"--version") {
      parsed.options.version = true;
      continue;
    }
    bool matched = false;
    for (const ValueOption& option : ValueOptions()) {
      QString value;
      if (argument == option.name) {
        if (i + 1 >= arguments.size()) {
          parsed.error = QStringLiteral("%1 needs a value").arg(option.name);
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
        parsed.error = QStringLiteral("unknown option %1").arg(argument);
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
}

}  // namespace parlatone::cli
