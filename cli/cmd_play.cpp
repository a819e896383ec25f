// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
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
  Q_DECLARE_TR_FUNCTIONS(PlayCommand)

 public:
  QString Name() const override { return u"play"_s; }
  QString Summary() const override { return tr("play one sound file to its end"); }
  Synopsis Forms() const override { return {{u"FILE"_s}}; }
  QString Description() const override {
    return tr(
        "Plays the file on the default audio output as the series' device type plays it\n"
        "(WAVE, or MP3 in series 7). Exit status 1 when it cannot be opened.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr("give exactly one file"))) {
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
