// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QFileInfo>

#include "command.h"
#include "interrupt_sets.h"
#include "tools/tool_runs.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

QString Absolute(const QString& path) {
  return QFileInfo(path).absoluteFilePath();
}

// Stereo-to-mono conversion as the sound tools window runs it.
class ToMonoCommand : public Command {
  Q_DECLARE_TR_FUNCTIONS(ToMonoCommand)

 public:
  QString Name() const override { return u"to-mono"_s; }
  QString Summary() const override { return tr("convert stereo WAVE files to mono"); }
  Synopsis Forms() const override {
    return {{yes_, u"IN"_s, u"OUT"_s}, {yes_, Required(folder_), u"SRC"_s, u"DST"_s}};
  }
  QString Description() const override {
    return tr(
        "Makes mono copies of stereo PCM WAVE files (the left channel of 16-bit files, the\n"
        "right channel of 8-bit files) with the checks of the sound tools window. In folder\n"
        "mode mono files, and files of other depths or forms (which fit converts), are\n"
        "skipped. --yes overwrites an existing output file and creates a missing output\n"
        "folder; without it the answer is No. Ctrl+C stops the run and leaves no\n"
        "unfinished file. Exit status 0 when every stereo file was converted.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr("give a source and an output"))) {
      return kExitUsage;
    }
    const QStringList positional = parser.positionalArguments();
    ConversionRequest request;
    request.folder_unit = parser.isSet(folder_);
    const bool yes = parser.isSet(yes_);
    request.source = Absolute(positional[0]);
    request.output = Absolute(positional[1]);
    // The skip question for a mono file, or one only fit converts, is always
    // answered Yes: the run goes on.
    const QString skip_question = ToolText(tool_text::kSkipQuestion);
    context.op.AnswerQuestionsWith([yes, skip_question](const MessageRequest& request) {
      if (request.text.contains(skip_question)) {
        return MessageAnswer::kYes;
      }
      return yes ? MessageAnswer::kYes : MessageAnswer::kNo;
    });
    ConversionProgress progress;
    InterruptSets interrupt(progress.StopRequested);
    const ToolRunResult result = RunConversion(request, context.op, progress);
    context.op.SetProgress(QString(), 0, 0);
    const bool complete =
        result.checked && !result.failed && !result.cancelled && !result.stereo_missing;
    if (complete) {
      context.out << tr("%1 converted, %2 skipped\n")
                         .arg(result.converted)
                         .arg(result.skipped + result.for_fit_page);
    }
    return complete ? kExitOk : kExitFailure;
  }

 private:
  const QCommandLineOption yes_{u"yes"_s};
  const QCommandLineOption folder_{u"folder"_s};
};

constexpr char kSilenceMisuse[] =
    QT_TRANSLATE_NOOP("SilenceCommand", "give one output file and --seconds from 1 to 3659");

// A silent WAVE file as the sound tools window makes it.
class SilenceCommand : public Command {
  Q_DECLARE_TR_FUNCTIONS(SilenceCommand)

 public:
  QString Name() const override { return u"silence"_s; }
  QString Summary() const override { return tr("write a silent mono WAVE file"); }
  Synopsis Forms() const override { return {{yes_, u"OUT"_s, Required(seconds_), bits_, rate_}}; }
  QString Description() const override {
    return tr(
        "Writes a silent mono PCM WAVE file of S seconds (1 to 3659: at most 60 minutes and\n"
        "59 seconds), 16 bits and 22050 Hz unless told otherwise; \".wav\" is added to an\n"
        "OUT that does not end so. --yes overwrites an existing file; without it the\n"
        "answer is No.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr(kSilenceMisuse))) {
      return kExitUsage;
    }
    bool ok = true;
    const int seconds = parser.value(seconds_).toInt(&ok);
    if (!ok && parser.isSet(seconds_)) {
      return RefusedValue(seconds_, context);
    }
    const int bits = parser.isSet(bits_) ? parser.value(bits_).toInt() : 16;
    if (bits != 8 && bits != 16) {
      return RefusedValue(bits_, context);
    }
    const int rate = parser.isSet(rate_) ? parser.value(rate_).toInt() : 22050;
    if (rate != 22050 && rate != 44100) {
      return RefusedValue(rate_, context);
    }
    if (!ok || seconds < 0 || seconds > 60 * 60 + 59) {
      return UsageError(*this, context, tr(kSilenceMisuse));
    }
    SilentFileRequest request;
    request.minutes = u"%1"_s.arg(seconds / 60, 2, 10, QChar(u'0'));
    request.seconds = u"%1"_s.arg(seconds % 60, 2, 10, QChar(u'0'));
    request.bits = bits;
    request.sample_rate = rate;
    request.output = Absolute(parser.positionalArguments().front());
    const bool yes = parser.isSet(yes_);
    context.op.AnswerQuestionsWith(
        [yes](const MessageRequest&) { return yes ? MessageAnswer::kYes : MessageAnswer::kNo; });
    ConversionProgress progress;
    InterruptSets interrupt(progress.StopRequested);
    const ToolRunResult result = RunSilentFile(request, context.op, progress);
    context.op.SetProgress(QString(), 0, 0);
    return result.checked && result.converted == 1 ? kExitOk : kExitFailure;
  }

 protected:
  QString RefusedOption() const override { return tr("bad option"); }

 private:
  const QCommandLineOption yes_{u"yes"_s};
  const QCommandLineOption seconds_{u"seconds"_s, {}, u"S"_s};
  const QCommandLineOption bits_{u"bits"_s, {}, u"8|16"_s};
  const QCommandLineOption rate_{u"rate"_s, {}, u"22050|44100"_s};
};

}  // namespace

std::unique_ptr<Command> MakeToMonoCommand() {
  return std::make_unique<ToMonoCommand>();
}
std::unique_ptr<Command> MakeSilenceCommand() {
  return std::make_unique<SilenceCommand>();
}

}  // namespace parlatone::cli
