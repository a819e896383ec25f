// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cmath>

#include "command.h"
#include "core/series.h"
#include "interrupt_sets.h"
#include "json_output.h"
#include "json_writer.h"
#include "sound/recorder.h"
#include "tools/recorded_take.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

double OneDecimal(double value) {
  return std::round(value * 10.0) / 10.0;
}

// Records a voice from an input device straight into the series' format.
class RecordCommand : public Command {
  Q_DECLARE_TR_FUNCTIONS(RecordCommand)

 public:
  QString Name() const override { return u"record"_s; }
  QString Summary() const override {
    return tr("record a voice from an input device into a file the series registers");
  }
  Synopsis Forms() const override {
    return {{seconds_, device_, trim_, normalize_, yes_, json_, u"OUTFILE"_s},
            {Required(list_devices_), json_}};
  }
  QString Description() const override {
    return tr(
        "Records from the system's default input, or from --device NAME (see\n"
        "--list-devices), until Ctrl+C or for --seconds N. The take is recorded at the\n"
        "highest rate the series takes that the device gives, 16-bit, mono (stereo only\n"
        "with the stereo option and a two-channel device), and streamed into a temporary\n"
        "file beside OUTFILE that stays readable should the recording be killed. It is then\n"
        "written to OUTFILE in the series' format (MP3 for the MP3 series): --trim cuts\n"
        "silence below -50 dBFS keeping 100 ms on each side, --normalize brings the\n"
        "loudness to LUFS with the peak at most -1 dBFS. An existing OUTFILE is replaced\n"
        "only with --yes. Samples the computer could not keep up with are counted as\n"
        "overruns. Exit status 0 when the file was written, 1 when not, 2 on wrong usage.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr("give one output file"))) {
      return kExitUsage;
    }
    if (parser.isSet(list_devices_)) {
      return ListDevices(parser.isSet(json_), context);
    }
    if (parser.positionalArguments().size() != 1) {
      return UsageError(*this, context, tr("give one output file"));
    }
    bool ok = true;
    double seconds = 0;
    if (parser.isSet(seconds_)) {
      seconds = parser.value(seconds_).toDouble(&ok);
      if (!ok || !(seconds > 0) || seconds > 24 * 3600) {
        return RefusedValue(seconds_, context);
      }
    }
    TakeOptions options;
    options.trim = parser.isSet(trim_);
    if (parser.isSet(normalize_)) {
      options.normalize_lufs = parser.value(normalize_).toDouble(&ok);
      if (!ok) {
        return RefusedValue(normalize_, context);
      }
    }
    const int mode = context.project.settings.Mode;
    FitOptions fit_check;
    fit_check.normalize_lufs = options.normalize_lufs;
    if (const std::optional<QString> problem = FitOptionsProblem(mode, fit_check)) {
      return UsageError(*this, context, *problem);
    }
    const QString output = QFileInfo(parser.positionalArguments().front()).absoluteFilePath();
    if (QFileInfo::exists(output) && !parser.isSet(yes_)) {
      context.err << QDir::toNativeSeparators(output) << u": "_s << tr("exists (--yes replaces it)")
                  << u'\n';
      return kExitFailure;
    }

    FitSeries series;
    series.mode = mode;
    series.stereo = context.project.settings.StereoAccepted();
    if (!QDir().mkpath(QFileInfo(output).absolutePath())) {
      context.err << QDir::toNativeSeparators(QFileInfo(output).absolutePath()) << u": "_s
                  << tr("cannot make the folder") << u'\n';
      return kExitFailure;
    }
    RecorderSetup setup;
    setup.device = parser.value(device_);
    setup.series_rates = FitRates(mode);
    setup.stereo_allowed = series.stereo;
    setup.path = NewTakePath(QFileInfo(output).absolutePath());
    setup.max_seconds = seconds;

    Recorder recorder;
    if (const std::optional<QString> problem = recorder.Start(setup)) {
      context.err << *problem << u'\n';
      return kExitFailure;
    }
    if (seconds == 0) {
      context.err << tr("Recording; Ctrl+C ends the take.") << u'\n';
      context.err.flush();
    }
    std::atomic<bool> stop = false;
    {
      InterruptSets interrupt(stop);
      while (!stop && !recorder.Complete() && !recorder.Counts().write_failed) {
        QThread::msleep(20);
      }
    }
    recorder.Stop();
    const RecorderCounts counts = recorder.Counts();
    if (counts.write_failed) {
      context.err << QDir::toNativeSeparators(setup.path) << u": "_s
                  << tr("the take could not be written further; what it holds is kept") << u'\n';
      return kExitFailure;
    }

    const FinishedTake take = FinishTake(setup.path, recorder.Rate(), output, series, options);
    if (!take.fit.written()) {
      context.err << QDir::toNativeSeparators(output) << u": "_s
                  << tr("not written: %1; the take is kept in %2")
                         .arg(take.fit.messages.join(u' '), QDir::toNativeSeparators(setup.path))
                  << u'\n';
      return kExitFailure;
    }
    QFile::remove(setup.path);

    const qint64 frames = counts.written / std::max(1, recorder.Channels());
    if (parser.isSet(json_)) {
      JsonWriter report;
      const auto number = [&report](const std::optional<double>& value) {
        value ? report.Value(OneDecimal(*value)) : report.Null();
      };
      report.BeginObject();
      report.Key("file"_L1);
      report.Value(QDir::toNativeSeparators(output));
      report.Key("lengthMs"_L1);
      report.Value(static_cast<qint64>(take.fit.length_ms));
      report.Key("loudnessLufs"_L1);
      number(take.loudness_lufs);
      report.Key("overruns"_L1);
      report.Value(static_cast<qint64>(counts.overruns));
      report.Key("peakDb"_L1);
      number(take.peak_db);
      report.Key("samples"_L1);
      report.Value(frames);
      report.Key("trimmedLeadMs"_L1);
      report.Value(static_cast<qint64>(take.fit.trimmed_lead_ms));
      report.Key("trimmedTailMs"_L1);
      report.Value(static_cast<qint64>(take.fit.trimmed_tail_ms));
      report.EndObject();
      PrintJsonBytes(context, report.bytes());
    } else {
      context.out << QDir::toNativeSeparators(output) << u": "_s
                  << u"%1 s"_s.arg(static_cast<double>(take.fit.length_ms) / 1000.0, 0, 'f', 3)
                  << tr(", %1 samples at %2 Hz").arg(frames).arg(recorder.Rate());
      if (take.peak_db) {
        context.out << tr(", peak %1 dBFS").arg(*take.peak_db, 0, 'f', 1);
      }
      if (counts.overruns > 0) {
        context.out
            << tr(", %1 overruns (%2 samples dropped)").arg(counts.overruns).arg(counts.dropped);
      }
      context.out << u'\n';
    }
    return kExitOk;
  }

 protected:
  QString RefusedOption() const override { return tr("bad option"); }

 private:
  static int ListDevices(bool json, Context& context) {
    const QStringList names = CaptureDeviceNames();
    if (json) {
      JsonWriter report;
      report.BeginArray();
      for (const QString& name : names) {
        report.Value(name);
      }
      report.EndArray();
      PrintJsonBytes(context, report.bytes());
    } else {
      for (const QString& name : names) {
        context.out << name << u'\n';
      }
      if (names.isEmpty()) {
        context.err << tr("no input device") << u'\n';
      }
    }
    return kExitOk;
  }

  const QCommandLineOption seconds_{u"seconds"_s, {}, u"N"_s};
  const QCommandLineOption device_{u"device"_s, {}, u"NAME"_s};
  const QCommandLineOption trim_{u"trim"_s};
  const QCommandLineOption normalize_{u"normalize"_s, {}, u"LUFS"_s};
  const QCommandLineOption yes_{u"yes"_s};
  const QCommandLineOption json_{u"json"_s};
  const QCommandLineOption list_devices_{u"list-devices"_s};
};

}  // namespace

std::unique_ptr<Command> MakeRecordCommand() {
  return std::make_unique<RecordCommand>();
}

}  // namespace parlatone::cli
