// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QDir>

#include <cmath>
#include <vector>

#include "command.h"
#include "interrupt_sets.h"
#include "json_output.h"
#include "json_writer.h"
#include "sound/levels_cache.h"
#include "sound/levels_text.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

double OneDecimal(double value) {
  return std::round(value * 10.0) / 10.0;
}

// Measures how loud sound files are and how much silence they hold.
class LevelsCommand : public Command {
  Q_DECLARE_TR_FUNCTIONS(LevelsCommand)

 public:
  QString Name() const override { return u"levels"_s; }
  QString Summary() const override {
    return tr("measure sound files: peak, loudness (EBU R128), leading and trailing silence");
  }
  Synopsis Forms() const override { return {{json_, u"FILE..."_s}}; }
  QString Description() const override {
    return tr(
        "Reads each file (WAVE of any depth, FLAC, Ogg, AIFF, MP3) and shows its length,\n"
        "sample peak in dBFS, integrated loudness in LUFS (EBU R128) and the silence\n"
        "below -50 dBFS at its start and end. Loudness is null for a sound too short or\n"
        "too quiet to measure, the peak null for digital silence. Results are kept in the\n"
        "cache folder until a file changes. Exit status 0 when every file was read.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr("no file given"))) {
      return kExitUsage;
    }
    QStringList paths;
    const QDir current = QDir::current();
    for (const QString& file : parser.positionalArguments()) {
      paths << QDir::cleanPath(current.absoluteFilePath(file));
    }
    std::vector<std::optional<SoundLevels>> results(static_cast<size_t>(paths.size()));
    const LevelsCache cache(context.paths.levels_folder);
    std::atomic<bool> stop = false;
    {
      InterruptSets interrupt(stop);
      AnalyseSounds(
          paths, &cache,
          [&results](int i, const std::optional<SoundLevels>& levels) {
            results[static_cast<size_t>(i)] = levels;
          },
          &stop);
    }
    if (stop) {
      return kExitFailure;
    }

    bool all_read = true;
    JsonWriter report;
    report.BeginArray();
    for (qsizetype i = 0; i < paths.size(); ++i) {
      const std::optional<SoundLevels>& levels = results[static_cast<size_t>(i)];
      all_read &= levels.has_value();
      if (!parser.isSet(json_)) {
        if (levels) {
          context.out << paths[i] << u": "_s << LevelsText(*levels)
                      << tr(", silence %1 ms / %2 ms, length %3 ms")
                             .arg(levels->leading_silence_ms)
                             .arg(levels->trailing_silence_ms)
                             .arg(levels->length_ms)
                      << (levels->clipped ? tr(", clipped") : QString()) << '\n';
        } else {
          context.err << paths[i] << u": "_s << tr("cannot be read as sound") << '\n';
        }
        continue;
      }
      const auto number = [&report](const std::optional<double>& value) {
        if (value) {
          report.Value(OneDecimal(*value));
        } else {
          report.Null();
        }
      };
      report.BeginObject();
      report.Key("clipped"_L1);
      levels ? report.Value(levels->clipped) : report.Null();
      report.Key("file"_L1);
      report.Value(paths[i]);
      report.Key("leadingSilenceMs"_L1);
      levels ? report.Value(static_cast<qint64>(levels->leading_silence_ms)) : report.Null();
      report.Key("lengthMs"_L1);
      levels ? report.Value(static_cast<qint64>(levels->length_ms)) : report.Null();
      report.Key("loudnessLufs"_L1);
      number(levels ? levels->loudness_lufs : std::nullopt);
      report.Key("peakDb"_L1);
      number(levels ? levels->peak_db : std::nullopt);
      report.Key("trailingSilenceMs"_L1);
      levels ? report.Value(static_cast<qint64>(levels->trailing_silence_ms)) : report.Null();
      report.EndObject();
    }
    report.EndArray();
    if (parser.isSet(json_)) {
      PrintJsonBytes(context, report.bytes());
    }
    return all_read ? kExitOk : kExitFailure;
  }

 private:
  const QCommandLineOption json_{u"json"_s};
};

}  // namespace

std::unique_ptr<Command> MakeLevelsCommand() {
  return std::make_unique<LevelsCommand>();
}

}  // namespace parlatone::cli
