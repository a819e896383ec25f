#include <QFileInfo>

#include "command.h"
#include "tools/tool_runs.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

QString Absolute(const QString& path) {
  return QFileInfo(path).absoluteFilePath();
}

// Stereo-to-mono conversion as the sound tools window runs it.
class ToMonoCommand : public Command {
 public:
  QString Name() const override { return u"to-mono"_s; }
  QString Summary() const override { return u"convert stereo WAVE files to mono"_s; }
  QString Usage() const override {
    return u"Usage: parlatone [global options] to-mono [--yes] IN OUT\n"
           u"       parlatone [global options] to-mono [--yes] --folder SRC DST\n"
           u"\n"
           u"Makes mono copies of stereo PCM WAVE files (the left channel of 16-bit files, the\n"
           u"right channel of 8-bit files) with the checks of the sound tools window. In folder\n"
           u"mode mono files are skipped. --yes overwrites an existing output file and creates\n"
           u"a missing output folder; without it the answer is No. Ctrl+C stops the run and\n"
           u"leaves no unfinished file. Exit status 0 when every stereo file was converted.\n"_s;
  }

  int Run(const QStringList& args, Context& context) override {
    const SplitArguments split = SplitSwitches(args, {u"--yes"_s, u"--folder"_s}, *this, context);
    if (split.status) {
      return *split.status;
    }
    if (split.rest.size() != 2) {
      return UsageError(*this, context, u"give a source and an output"_s);
    }
    ConversionRequest request;
    request.folder_unit = split.Has(u"--folder"_s);
    const bool yes = split.Has(u"--yes"_s);
    const QStringList& positional = split.rest;
    request.source = Absolute(positional[0]);
    request.output = Absolute(positional[1]);
    // The skip question for a mono file is always answered Yes: the run goes on.
    const QString skip_question = QString::fromUtf16(tool_text::kNotStereo);
    context.op.AnswerQuestionsWith([yes, skip_question](const MessageRequest& request) {
      if (request.text.contains(skip_question)) {
        return MessageAnswer::kYes;
      }
      return yes ? MessageAnswer::kYes : MessageAnswer::kNo;
    });
    ConversionProgress progress;
    InterruptSets interrupt(progress.Cancel, ConversionProgress::kCancelRequest);
    const ToolRunResult result = RunConversion(request, context.op, progress);
    context.op.SetProgress(QString(), 0, 0);
    const bool complete =
        result.checked && !result.failed && !result.cancelled && !result.stereo_missing;
    if (complete) {
      context.out << result.converted << u" converted, "_s << result.skipped << u" skipped\n"_s;
    }
    return complete ? kExitOk : kExitFailure;
  }
};

// A silent WAVE file as the sound tools window makes it.
class SilenceCommand : public Command {
 public:
  QString Name() const override { return u"silence"_s; }
  QString Summary() const override { return u"write a silent mono WAVE file"_s; }
  QString Usage() const override {
    return u"Usage: parlatone [global options] silence [--yes] OUT --seconds S\n"
           u"                                          [--bits 8|16] [--rate 22050|44100]\n"
           u"\n"
           u"Writes a silent mono PCM WAVE file of S seconds (1 to 3659: at most 60 minutes and\n"
           u"59 seconds), 16 bits and 22050 Hz unless told otherwise. --yes overwrites an\n"
           u"existing file; without it the answer is No.\n"_s;
  }

  int Run(const QStringList& args, Context& context) override {
    bool yes = false;
    std::optional<int> seconds;
    int bits = 16;
    int rate = 22050;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
      const QString& arg = args.at(i);
      const bool has_value = i + 1 < args.size();
      bool ok = true;
      if (arg == u"--yes"_s) {
        yes = true;
      } else if (arg == u"--seconds"_s && has_value) {
        seconds = args.at(++i).toInt(&ok);
      } else if (arg == u"--bits"_s && has_value) {
        bits = args.at(++i).toInt(&ok);
        ok = ok && (bits == 8 || bits == 16);
      } else if (arg == u"--rate"_s && has_value) {
        rate = args.at(++i).toInt(&ok);
        ok = ok && (rate == 22050 || rate == 44100);
      } else if (arg.startsWith(u'-') && arg.size() > 1) {
        ok = false;
      } else {
        positional << arg;
      }
      if (!ok) {
        return UsageError(*this, context, u"bad option "_s + arg);
      }
    }
    if (positional.size() != 1 || !seconds || *seconds < 0 || *seconds > 60 * 60 + 59) {
      return UsageError(*this, context, u"give one output file and --seconds from 1 to 3659"_s);
    }
    SilentFileRequest request;
    request.minutes = u"%1"_s.arg(*seconds / 60, 2, 10, QChar(u'0'));
    request.seconds = u"%1"_s.arg(*seconds % 60, 2, 10, QChar(u'0'));
    request.bits = bits;
    request.sample_rate = rate;
    request.output = Absolute(positional.front());
    context.op.AnswerQuestionsWith(
        [yes](const MessageRequest&) { return yes ? MessageAnswer::kYes : MessageAnswer::kNo; });
    ConversionProgress progress;
    InterruptSets interrupt(progress.Cancel, ConversionProgress::kCancelRequest);
    const ToolRunResult result = RunSilentFile(request, context.op, progress);
    context.op.SetProgress(QString(), 0, 0);
    return result.checked && result.converted == 1 ? kExitOk : kExitFailure;
  }
};

}  // namespace

std::unique_ptr<Command> MakeToMonoCommand() {
  return std::make_unique<ToMonoCommand>();
}
std::unique_ptr<Command> MakeSilenceCommand() {
  return std::make_unique<SilenceCommand>();
}

}  // namespace parlatone::cli
