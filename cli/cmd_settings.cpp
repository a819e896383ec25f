// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "command.h"
#include "core/messages.h"
#include "core/series.h"
#include "json_output.h"

namespace parlatone::cli {
namespace {

using namespace Qt::StringLiterals;

// Shows the settings this run works with (the file's values and the global
// options over them) and where the program's files are, as JSON.
class SettingsCommand : public Command {
  Q_DECLARE_TR_FUNCTIONS(SettingsCommand)

 public:
  QString Name() const override { return QStringLiteral("settings"); }
  QString Summary() const override {
    return QStringLiteral("show the settings in effect and the program's files, as JSON");
  }
  Synopsis Forms() const override { return {QList<Word>()}; }
  QString Description() const override {
    return QStringLiteral(
        "Prints the settings in effect for this run (the settings file's values with the\n"
        "global options applied) and the paths of the program's files, as JSON.\n");
  }

  int Run(const QStringList& args, Context& context) override {
    QCommandLineParser parser;
    if (!Parse(args, parser, context, tr("takes no arguments"))) {
      return kExitUsage;
    }
    const Settings& settings = context.project.settings;
    const int mode = settings.Mode;
    QJsonObject user_data;
    for (size_t i = 0; i < kUserDataKeys.size(); ++i) {
      user_data.insert(kUserDataKeys[i], settings.UserData[i]);
    }
    QJsonObject json{
        {QStringLiteral("series"), mode},
        {QStringLiteral("seriesLabel"), SeriesLabel(mode)},
        {QStringLiteral("soundFormat"),
         IsMp3Series(mode) ? QStringLiteral("mp3") : QStringLiteral("wave")},
        {QStringLiteral("channelCount"), context.project.ChannelCount},
        {QStringLiteral("pages"), PageCount(mode)},
        {QStringLiteral("voicesPerChannel"), MaxVoiceIndex(mode) + 1},
        {QStringLiteral("stereo"), settings.StereoAccepted()},
        {QStringLiteral("capacity"), settings.FileCapacity},
        {QStringLiteral("capacityLimit"), CapacityLimit(mode, settings.FileCapacity)},
        {QStringLiteral("wavePath"), settings.WavePath},
        {QStringLiteral("cardPath"), settings.CardPath},
        {QStringLiteral("cardName"), settings.CardName},
        {QStringLiteral("userData"), user_data},
        {QStringLiteral("settingsFile"), context.paths.settings_file},
        {QStringLiteral("elementFile"), context.paths.element_file},
        {QStringLiteral("licenceFile"), context.paths.licence_file},
        {QStringLiteral("releaseFile"), context.paths.release_file},
        {QStringLiteral("workFolder"), context.paths.work_folder},
    };
    PrintJson(context, QJsonDocument(json));
    return kExitOk;
  }
};

}  // namespace

std::unique_ptr<Command> MakeSettingsCommand() {
  return std::make_unique<SettingsCommand>();
}

}  // namespace parlatone::cli
