// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "card/card_volume.h"
#include "card/card_writer.h"
#include "command.h"
#include "interrupt_sets.h"
#include "json_output.h"
#include "json_writer.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

void PrintReport(Context& context, const CardReport& report, bool json) {
  if (!json) {
    (report.ok ? context.out : context.err) << CardReportText(report) << u'\n';
    return;
  }
  JsonWriter out;
  out.BeginObject();
  out.Key(QLatin1StringView("cardRemoved"));
  out.Value(report.pulled);
  out.Key(QLatin1StringView("clusterBytes"));
  out.Value(report.cluster_bytes);
  out.Key(QLatin1StringView("files"));
  out.BeginArray();
  for (const CardFileResult& file : report.files) {
    out.BeginObject();
    out.Key(QLatin1StringView("bytes"));
    out.Value(file.bytes);
    out.Key(QLatin1StringView("name"));
    out.Value(file.name);
    out.Key(QLatin1StringView("verified"));
    out.Value(file.verified);
    out.EndObject();
  }
  out.EndArray();
  out.Key(QLatin1StringView("filesystem"));
  out.Value(report.filesystem);
  out.Key(QLatin1StringView("freeBytes"));
  out.Value(report.free_bytes);
  out.Key(QLatin1StringView("messages"));
  out.Value(report.messages);
  out.Key(QLatin1StringView("neededBytes"));
  out.Value(report.needed_bytes);
  out.Key(QLatin1StringView("ok"));
  out.Value(report.ok);
  out.Key(QLatin1StringView("orderOk"));
  out.Value(report.order_ok);
  out.Key(QLatin1StringView("target"));
  out.Value(QDir::toNativeSeparators(report.target));
  out.EndObject();
  PrintJsonBytes(context, out.bytes());
}

// Writes a card data folder onto a card and reads it back.
class WriteCardCommand : public Command {
  Q_DECLARE_TR_FUNCTIONS(WriteCardCommand)

 public:
  QString Name() const override { return u"write-card"_s; }
  QString Summary() const override {
    return tr("write a card data folder onto a card and verify it");
  }
  Synopsis Forms() const override {
    return {{yes_, json_, any_filesystem_, u"CARDFOLDER"_s, u"TARGET"_s}};
  }
  QString Description() const override {
    return tr(
        "Checks that CARDFOLDER holds one control file and exactly the sound files it names,\n"
        "that TARGET (the card's mount folder) is FAT16, writable and large enough, then\n"
        "writes the files in name order, each flushed, syncs, and reads every file back to\n"
        "compare it, with the directory order. Files already on the card are removed only\n"
        "with --yes (folders never). --any-filesystem lifts the FAT16 requirement, for a\n"
        "folder that is not a card. Ctrl+C stops between two blocks. Exit status 0 when\n"
        "written and verified, 1 otherwise, 2 on wrong usage.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr("give a card data folder and a target"))) {
      return kExitUsage;
    }
    const QStringList positional = parser.positionalArguments();
    const bool yes = parser.isSet(yes_);
    context.op.AnswerQuestionsWith(
        [yes](const MessageRequest&) { return yes ? MessageAnswer::kYes : MessageAnswer::kNo; });
    CardWriteOptions options;
    options.any_filesystem = parser.isSet(any_filesystem_);
    SystemVolumeProbe probe;
    std::atomic<bool> stop = false;
    const CardReport report = [&] {
      InterruptSets interrupt(stop);
      return WriteCard(QFileInfo(positional[0]).absoluteFilePath(),
                       QFileInfo(positional[1]).absoluteFilePath(), probe, options, context.op,
                       &stop);
    }();
    PrintReport(context, report, parser.isSet(json_));
    return report.ok ? kExitOk : kExitFailure;
  }

 private:
  const QCommandLineOption yes_{u"yes"_s};
  const QCommandLineOption json_{u"json"_s};
  const QCommandLineOption any_filesystem_{u"any-filesystem"_s};
};

class VerifyCardCommand : public Command {
  Q_DECLARE_TR_FUNCTIONS(VerifyCardCommand)

 public:
  QString Name() const override { return u"verify-card"_s; }
  QString Summary() const override { return tr("compare a card with its card data folder"); }
  Synopsis Forms() const override { return {{json_, u"CARDFOLDER"_s, u"TARGET"_s}}; }
  QString Description() const override {
    return tr(
        "Reads every file of the card at TARGET back and compares it with CARDFOLDER, checks\n"
        "that the directory order is name order and that nothing else is on the card's top\n"
        "level. Exit status 0 when the card matches, 1 when it does not, 2 on wrong usage.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr("give a card data folder and a target"))) {
      return kExitUsage;
    }
    const QStringList positional = parser.positionalArguments();
    SystemVolumeProbe probe;
    const CardReport report =
        VerifyCard(QFileInfo(positional[0]).absoluteFilePath(),
                   QFileInfo(positional[1]).absoluteFilePath(), probe, context.op);
    PrintReport(context, report, parser.isSet(json_));
    return report.ok ? kExitOk : kExitFailure;
  }

 private:
  const QCommandLineOption json_{u"json"_s};
};

}  // namespace

std::unique_ptr<Command> MakeWriteCardCommand() {
  return std::make_unique<WriteCardCommand>();
}
std::unique_ptr<Command> MakeVerifyCardCommand() {
  return std::make_unique<VerifyCardCommand>();
}

}  // namespace parlatone::cli
