// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include "command.h"
#include "controlfile/control_file_writer.h"
#include "core/messages.h"
#include "core/series.h"
#include "project_json.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

constexpr char kMisuse[] =
    QT_TRANSLATE_NOOP("WriteCommand", "give --from PROJECT.json and one output file");

// Writes a control file from the JSON form of a project.
class WriteCommand : public Command {
  Q_DECLARE_TR_FUNCTIONS(WriteCommand)

 public:
  QString Name() const override { return u"write"_s; }
  QString Summary() const override { return tr("write a control file from a project in JSON"); }
  Synopsis Forms() const override { return {{Required(from_), u"OUT"_s}}; }
  QString Description() const override {
    return tr(
        "Writes the control file OUT from a JSON object of the form `show --json` prints\n"
        "(missing keys are empty; \"programs\" lists the channels to set). The series is\n"
        "the object's \"series\" when it has one, else the current series. The owner details\n"
        "come from the settings file. Exit status 1 when the file cannot be written.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr(kMisuse))) {
      return kExitUsage;
    }
    const QString from = parser.value(from_);
    if (from.isEmpty()) {
      return UsageError(*this, context, tr(kMisuse));
    }
    QFile input(from);
    if (!input.open(QIODevice::ReadOnly)) {
      context.err << u"parlatone write: "_s << tr("cannot read %1").arg(from) << '\n';
      return kExitFailure;
    }
    QJsonParseError parse_error;
    const QJsonDocument document = QJsonDocument::fromJson(input.readAll(), &parse_error);
    if (!document.isObject()) {
      context.err << u"parlatone write: "_s
                  << tr("%1 is not a JSON object: %2").arg(from, parse_error.errorString()) << '\n';
      return kExitFailure;
    }
    const QJsonObject json = document.object();
    Project& project = context.project;
    if (json.contains(u"series"_s)) {
      const int series = json.value(u"series"_s).toInt(-1);
      if (series < 0 || series >= kSeriesCount) {
        context.err << u"parlatone write: "_s << tr("\"series\" must be 0 to 7") << '\n';
        return kExitFailure;
      }
      project.settings.Mode = series;
      DeriveSeriesLimits(project);
    }
    QString error;
    if (!ProjectFromJson(json, project, error)) {
      context.err << u"parlatone write: "_s << error << '\n';
      return kExitFailure;
    }
    const QString out = QFileInfo(parser.positionalArguments().front()).absoluteFilePath();
    if (const WriteResult written = WriteControlFile(project, out, AnyChannelInUse(project));
        !written) {
      ShowMessage(context.op, 2505, msg::kTitleError, MessageIcon::kError, MessageButtons::kOk,
                  WithReason(written));
      return kExitFailure;
    }
    return kExitOk;
  }

 private:
  const QCommandLineOption from_{u"from"_s, {}, u"PROJECT.json"_s};
};

}  // namespace

std::unique_ptr<Command> MakeWriteCommand() {
  return std::make_unique<WriteCommand>();
}

}  // namespace parlatone::cli
