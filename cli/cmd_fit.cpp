// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cmath>

#include "command.h"
#include "core/series.h"
#include "interrupt_sets.h"
#include "json_output.h"
#include "json_writer.h"
#include "tools/fit_engine.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

void WriteReport(JsonWriter& report, const FitFileResult& file) {
  report.BeginObject();
  report.Key(QLatin1StringView("BitsPerSample"));
  report.Value(static_cast<qint64>(file.target.mp3 ? file.target.bitrate : file.target.bits));
  report.Key(QLatin1StringView("Channels"));
  report.Value(static_cast<qint64>(file.target.channels));
  report.Key(QLatin1StringView("SampleRate"));
  report.Value(static_cast<qint64>(file.target.rate));
  report.Key(QLatin1StringView("comment"));
  report.Value(file.comment);
  report.Key(QLatin1StringView("gainDb"));
  report.Value(std::round(file.gain_db * 100.0) / 100.0);
  report.Key(QLatin1StringView("lengthMs"));
  report.Value(static_cast<qint64>(file.length_ms));
  report.Key(QLatin1StringView("limitedByPeak"));
  report.Value(file.limited_by_peak);
  report.Key(QLatin1StringView("loudnessLufs"));
  if (file.loudness_lufs) {
    report.Value(std::round(*file.loudness_lufs * 10.0) / 10.0);
  } else {
    report.Null();
  }
  report.Key(QLatin1StringView("messages"));
  report.Value(file.messages);
  report.Key(QLatin1StringView("name"));
  report.Value(file.name);
  report.Key(QLatin1StringView("output"));
  if (file.written()) {
    report.Value(QDir::toNativeSeparators(file.output));
  } else {
    report.Null();
  }
  report.Key(QLatin1StringView("source"));
  report.Value(QDir::toNativeSeparators(file.source));
  report.EndObject();
}

QString Line(const FitFileResult& file) {
  QString line = QDir::toNativeSeparators(file.source);
  if (!file.written()) {
    return line + u": "_s +
           QCoreApplication::translate("FitCommand", "not written: %1")
               .arg(file.messages.join(u' '));
  }
  line += u" -> "_s + QDir::toNativeSeparators(file.output) + u" ("_s;
  line += file.target.mp3 ? u"%1 Hz, %2 kbit/s"_s.arg(file.target.rate).arg(file.target.bitrate)
                          : u"%1 Hz, %2 bit"_s.arg(file.target.rate).arg(file.target.bits);
  line += file.target.channels == 1 ? QCoreApplication::translate("FitCommand", ", mono")
                                    : QCoreApplication::translate("FitCommand", ", stereo");
  line += u", %1 s"_s.arg(static_cast<double>(file.length_ms) / 1000.0, 0, 'f', 3);
  if (file.gain_db != 0.0) {
    line += QCoreApplication::translate("FitCommand", ", gain %1 dB").arg(file.gain_db, 0, 'f', 2);
  }
  if (file.loudness_lufs) {
    line += u", %1 LUFS"_s.arg(*file.loudness_lufs, 0, 'f', 1);
    if (file.limited_by_peak) {
      line += QCoreApplication::translate("FitCommand", " (held down by the peak limit)");
    }
  }
  line += u')';
  if (!file.comment.isEmpty()) {
    line += QCoreApplication::translate("FitCommand", " comment %1").arg(file.comment);
  }
  if (!file.messages.isEmpty()) {
    line += u" - "_s + file.messages.join(u' ');
  }
  return line;
}

// Any sound file made fit for the series: converted, named and written.
class FitCommand : public Command {
  Q_DECLARE_TR_FUNCTIONS(FitCommand)

 public:
  QString Name() const override { return u"fit"_s; }
  QString Summary() const override {
    return tr("convert any sound file into one the current series registers");
  }
  Synopsis Forms() const override {
    return {{yes_, json_, rate_, bitrate_, normalize_, trim_, u"OUTDIR"_s, u"FILE..."_s}};
  }
  QString Description() const override {
    return tr(
        "Reads WAVE (any PCM depth, float, extensible), FLAC, Ogg Vorbis, AIFF or MP3 files\n"
        "and writes into OUTDIR (created when missing) files that the series (--series,\n"
        "--stereo) registers: for the WAVE series mono PCM (stereo kept when the stereo\n"
        "option is on) at the source's rate when the series takes it, else the nearest\n"
        "rate below, 8 or 16 bits with dither; for the MP3 series constant bit rate MP3 at\n"
        "44100 Hz (22050 with --rate 22050), --bitrate kbit/s (128 unless given).\n"
        "--normalize brings the loudness to LUFS with the peak at most -1 dBFS; a file\n"
        "whose peak allows less stays below the target, and its report says what it\n"
        "reached and that the peak held it (loudnessLufs, limitedByPeak). --trim\n"
        "cuts silence below -50 dBFS from both ends. Names are made to pass the name rules\n"
        "(the source's name becomes the comment when it had to change). --yes replaces\n"
        "existing outputs; without it they are kept. Exit status 0 when every file was\n"
        "written, 1 when any was not (the others are written), 2 on wrong usage.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr("give an output folder and at least one file"))) {
      return kExitUsage;
    }
    FitOptions options;
    options.trim = parser.isSet(trim_);
    bool ok = true;
    if (parser.isSet(rate_)) {
      options.rate = parser.value(rate_).toInt(&ok);
      if (!ok || options.rate <= 0) {
        return RefusedValue(rate_, context);
      }
    }
    if (parser.isSet(bitrate_)) {
      options.bitrate = parser.value(bitrate_).toInt(&ok);
      if (!ok) {
        return RefusedValue(bitrate_, context);
      }
    }
    if (parser.isSet(normalize_)) {
      options.normalize_lufs = parser.value(normalize_).toDouble(&ok);
      if (!ok) {
        return RefusedValue(normalize_, context);
      }
    }
    QStringList positional = parser.positionalArguments();
    const int mode = context.project.settings.Mode;
    if (const std::optional<QString> problem = FitOptionsProblem(mode, options)) {
      return UsageError(*this, context, *problem);
    }
    const QString out_folder = QFileInfo(positional.takeFirst()).absoluteFilePath();
    QStringList sources;
    for (const QString& path : positional) {
      sources << QFileInfo(path).absoluteFilePath();
    }
    const bool yes = parser.isSet(yes_);
    context.op.AnswerQuestionsWith(
        [yes](const MessageRequest&) { return yes ? MessageAnswer::kYes : MessageAnswer::kNo; });

    FitSeries series;
    series.mode = mode;
    series.stereo = context.project.settings.StereoAccepted();
    std::atomic<bool> stop = false;
    const FitRunResult run = [&] {
      InterruptSets interrupt(stop);
      return FitFiles(sources, out_folder, series, options, context.op, &stop);
    }();

    if (parser.isSet(json_)) {
      JsonWriter report;
      report.BeginArray();
      for (const FitFileResult& file : run.files) {
        WriteReport(report, file);
      }
      report.EndArray();
      PrintJsonBytes(context, report.bytes());
    } else {
      for (const FitFileResult& file : run.files) {
        (file.written() ? context.out : context.err) << Line(file) << u'\n';
      }
    }
    return run.Written() == run.files.size() ? kExitOk : kExitFailure;
  }

 protected:
  QString RefusedOption() const override { return tr("bad option"); }

 private:
  const QCommandLineOption yes_{u"yes"_s};
  const QCommandLineOption json_{u"json"_s};
  const QCommandLineOption rate_{u"rate"_s, {}, u"HZ"_s};
  const QCommandLineOption bitrate_{u"bitrate"_s, {}, u"K"_s};
  const QCommandLineOption normalize_{u"normalize"_s, {}, u"LUFS"_s};
  const QCommandLineOption trim_{u"trim"_s};
};

}  // namespace

std::unique_ptr<Command> MakeFitCommand() {
  return std::make_unique<FitCommand>();
}

}  // namespace parlatone::cli
