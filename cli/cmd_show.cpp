// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include "command.h"
#include "controlfile/control_file_loader.h"
#include "core/series.h"
#include "json_output.h"
#include "project_json.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

// Loads a control file as the editor's LOAD does and prints the project.
class ShowCommand : public Command {
  Q_DECLARE_TR_FUNCTIONS(ShowCommand)

 public:
  QString Name() const override { return u"show"_s; }
  QString Summary() const override {
    return tr("load a control file as the editor does and print it");
  }
  Synopsis Forms() const override { return {{json_, u"CONTROLFILE"_s}}; }
  QString Description() const override {
    return tr(
        "Loads the control file (.wpj/.zpx) or temporary save file (.wpg/.mpi) in the\n"
        "current series, reading every sound file it names, and prints the voices, the\n"
        "channels that differ from a reset channel, the card information and what the\n"
        "load left out (channels beyond the series, voices whose file is missing).\n"
        "Exit status 1 when the load failed.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr("give exactly one control file"))) {
      return kExitUsage;
    }
    const bool json = parser.isSet(json_);
    Project& project = context.project;
    const QString path = QFileInfo(parser.positionalArguments().front()).absoluteFilePath();
    const LoadResult loaded = LoadControlFile(project, path, context.op);
    if (!loaded.loaded) {
      if (!SoundFolderFor(project, path)) {
        context.err << u"parlatone show: "_s
                    << tr("series %1 opens only .%2 and .%3 files\n")
                           .arg(QString::number(project.Mode()),
                                ControlFileExtension(project.Mode()),
                                TemporaryFileExtension(project.Mode()));
      }
      return kExitFailure;
    }
    QJsonObject object = ProjectJson(project);
    // What the load left out or kept without its file, as the operator was told.
    object.insert(u"warnings"_s, QJsonArray::fromStringList(loaded.warnings));
    if (json) {
      PrintJson(context, QJsonDocument(object));
      return kExitOk;
    }
    PrintText(object, context);
    return kExitOk;
  }

 private:
  static void PrintText(const QJsonObject& object, Context& context) {
    QTextStream& out = context.out;
    out << tr("series %1").arg(object.value(u"series"_s).toInt()) << '\n';
    const QJsonArray voices = object.value(u"voices"_s).toArray();
    out << tr("voices (%1)").arg(voices.size()) << '\n';
    for (qsizetype v = 0; v < voices.size(); ++v) {
      const QJsonObject voice = voices.at(v).toObject();
      out << u"  "_s << v << u": "_s << voice.value(u"NAME"_s).toString() << u"  "_s
          << voice.value(u"SampleRate"_s).toString() << u" , "_s
          << voice.value(u"BitRate"_s).toString() << u" , "_s << voice.value(u"TYPE"_s).toString()
          << u" , "_s << tr("%1 秒").arg(voice.value(u"SEC"_s).toString()) << u" , "_s
          << tr("%1 バイト").arg(voice.value(u"BYTES"_s).toString());
      const QString comment = voice.value(u"COMENTS"_s).toString();
      if (!comment.isEmpty()) {
        out << u"  "_s << comment;
      }
      out << '\n';
    }
    const QJsonArray programs = object.value(u"programs"_s).toArray();
    out << tr("channels (%1)").arg(programs.size()) << '\n';
    for (const QJsonValue& value : programs) {
      const QJsonObject program = value.toObject();
      QStringList names;
      for (const QJsonValue& name : program.value(u"Voice"_s).toArray()) {
        names << name.toString();
      }
      out << u"  "_s << program.value(u"channel"_s).toInt() + 1 << u": SP "_s
          << program.value(u"SP"_s).toString() << u", RP "_s << program.value(u"RP"_s).toString()
          << u", "_s << tr("%1 秒").arg(program.value(u"Time"_s).toString()) << u": "_s
          << names.join(u", "_s) << '\n';
    }
    out << tr("card") << '\n';
    const QJsonObject card = object.value(u"card"_s).toObject();
    for (int i = 0; i < CardInfo::kFieldCount; ++i) {
      out << u"  "_s << CardFieldName(i) << u": "_s << card.value(CardFieldName(i)).toString()
          << '\n';
    }
    const QJsonArray warnings = object.value(u"warnings"_s).toArray();
    if (!warnings.isEmpty()) {
      out << tr("warnings") << '\n';
      for (const QJsonValue& warning : warnings) {
        out << u"  "_s << warning.toString().replace(u"\r\n"_s, u"\n  "_s) << '\n';
      }
    }
  }

 private:
  const QCommandLineOption json_{u"json"_s};
};

}  // namespace

std::unique_ptr<Command> MakeShowCommand() {
  return std::make_unique<ShowCommand>();
}

}  // namespace parlatone::cli
