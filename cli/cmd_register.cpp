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
 public:
  QString Name() const override { return u"register"_s; }
  QString Summary() const override {
    return u"register sound files into an empty voice list as the editor does"_s;
  }
  Synopsis Forms() const override { return {{json_, u"FILE..."_s}}; }
  QString Description() const override {
    return u"Registers the files, in the order given, into an empty voice list of the current\n"
           u"series with every check the editor makes, and prints the voices and the messages\n"
           u"shown. Exit status 0 when every file was registered, 1 otherwise.\n"_s;
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, u"no file given"_s)) {
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
                    << voice.BitRate << u" , "_s << voice.TYPE << u" , "_s << voice.SEC
                    << u" 秒 , "_s << voice.BYTES << u" バイト\n"_s;
      }
      context.out << result.registered << u" of "_s << files.size() << u" registered\n"_s;
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
