#include <QFileInfo>
#include <QThread>

#include "command.h"
#include "core/series.h"
#include "sound/media.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

// Plays one file to its end through the same command layer the editor's
// audition uses.
class PlayCommand : public Command {
 public:
  QString Name() const override { return u"play"_s; }
  QString Summary() const override { return u"play one sound file to its end"_s; }
  Synopsis Forms() const override { return {{u"FILE"_s}}; }
  QString Description() const override {
    return u"Plays the file on the default audio output as the series' device type plays it\n"
           u"(WAVE, or MP3 in series 7). Exit status 1 when it cannot be opened.\n"_s;
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, u"give exactly one file"_s)) {
      return kExitUsage;
    }
    const QString path = QFileInfo(parser.positionalArguments().front()).absoluteFilePath();
    const QString type = PlaybackDeviceType(context.project.Mode());
    const MediaReply open = SendMediaCommand(u"open "_s + QuotedPath(path) + u" type "_s + type +
                                             u" alias %1"_s.arg(kAuditionAlias));
    if (open.code != media_error::kNone) {
      context.err << u"parlatone play: "_s << open.text << '\n';
      return kExitFailure;
    }
    const MediaReply play = SendMediaCommand(u"Play %1 from 0"_s.arg(kAuditionAlias));
    if (play.code != media_error::kNone) {
      context.err << u"parlatone play: "_s << play.text << '\n';
      SendMediaCommand(u"Close %1"_s.arg(kAuditionAlias));
      return kExitFailure;
    }
    for (;;) {
      const MediaReply mode = SendMediaCommand(u"status %1 mode"_s.arg(kAuditionAlias));
      if (mode.code != media_error::kNone || mode.text == u"stopped"_s) {
        break;
      }
      QThread::msleep(50);
    }
    SendMediaCommand(u"Close %1"_s.arg(kAuditionAlias));
    return kExitOk;
  }
};

}  // namespace

std::unique_ptr<Command> MakePlayCommand() {
  return std::make_unique<PlayCommand>();
}

}  // namespace parlatone::cli
