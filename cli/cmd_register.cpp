// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "command.h"
#include "json_output.h"
#include "project_json.h"
#include "voices/registration.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

// Runs a registration, as the voice registration window does, on an empty list.
class RegisterCommand : public Command {
  Q_DECLARE_TR_FUNCTIONS(RegisterCommand)

 public:
  QString Name() const override { return u"register"_s; }
  QString Summary() const override {
    return tr("register sound files into an empty voice list as the editor does");
  }
  Synopsis Forms() const override { return {{json_, u"FILE..."_s}}; }
  QString Description() const override {
    return tr(
        "Registers the files, in the order given, into an empty voice list of the current\n"
        "series with every check the editor makes, and prints the voices and the messages\n"
        "shown. Exit status 0 when every file was registered, 1 otherwise.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr("no file given"))) {
      return kExitUsage;
    }
    const bool json = parser.isSet(json_);
    QStringList files;
    for (const QString& file : parser.positionalArguments()) {
      files << QFileInfo(file).absoluteFilePath();
    }
    const qsizetype shown_before = context.op.ShownTexts().size();
    WorkingVoiceList list(context.project.ChannelCount);
    const RegistrationResult result =
        RegisterFiles(list, files, AcceptanceRules::From(context.project), context.op);
    const QList<VoiceRecord> voices = list.Voices();
    if (json) {
      QJsonArray voice_array;
      for (const VoiceRecord& voice : voices) {
        voice_array.append(VoiceJson(voice));
      }
      // Each refused file with the message that refused it, as well as
      // what was shown (one list when several files were given).
      QJsonArray refused;
      for (const Refusal& refusal : result.refused) {
        refused.append(
            QJsonObject{{u"file"_s, refusal.path}, {u"message"_s, refusal.message.text}});
      }
      const QJsonObject object{
          {u"voices"_s, voice_array},
          {u"refused"_s, refused},
          {u"messages"_s, QJsonArray::fromStringList(context.op.ShownTexts().mid(shown_before))}};
      PrintJson(context, QJsonDocument(object));
    } else {
      for (qsizetype v = 0; v < voices.size(); ++v) {
        const VoiceRecord& voice = voices.at(v);
        context.out << v << u": "_s << voice.NAME << u"  "_s << voice.SampleRate << u" , "_s
                    << voice.BitRate << u" , "_s << voice.TYPE << u" , "_s
                    << tr("%1 秒").arg(voice.SEC) << u" , "_s << tr("%1 バイト").arg(voice.BYTES)
                    << '\n';
      }
      context.out << tr("%1 of %2 registered\n").arg(result.registered).arg(files.size());
    }
    return result.registered == files.size() ? kExitOk : kExitFailure;
  }

 private:
  const QCommandLineOption json_{u"json"_s};
};

}  // namespace

std::unique_ptr<Command> MakeRegisterCommand() {
  return std::make_unique<RegisterCommand>();
}

}  // namespace parlatone::cli
