#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include "core/cp932.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

struct ToolRun {
  int status = -1;
  QString out;
  QString err;
  QJsonObject json;
};

// Runs the built tool in its own user folders, with no terminal attached.
class CliTest : public ::testing::Test {
 protected:
  ToolRun Tool(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"HOME"_s, env_.Home());
    environment.insert(u"XDG_CONFIG_HOME"_s, env_.ConfigHome());
    environment.insert(u"XDG_CACHE_HOME"_s, env_.CacheHome());
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(QStringLiteral(PARLATONE_CLI_PATH), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    ToolRun run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    run.json = QJsonDocument::fromJson(run.out.toUtf8()).object();
    return run;
  }

  QString SettingsFile() const {
    return env_.ConfigHome() + u"/parlatone-editor/ParlatoneEditorV3.ini"_s;
  }

  testing::TempUserEnvironment env_;
};

TEST_F(CliTest, VersionAndHelp) {
  const ToolRun version = Tool({u"--version"_s});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, u"parlatone 3.0.1\n"_s);
  const ToolRun help = Tool({u"--help"_s});
  EXPECT_EQ(help.status, 0);
  for (const QString& option : {u"--series"_s, u"--stereo"_s, u"--capacity"_s, u"--wave-path"_s,
                                u"--card-path"_s, u"settings"_s}) {
    EXPECT_TRUE(help.out.contains(option)) << option.toStdString();
  }
  const ToolRun command_help = Tool({u"settings"_s, u"--help"_s});
  EXPECT_EQ(command_help.status, 0);
  EXPECT_TRUE(command_help.out.startsWith(u"Usage: parlatone [global options] settings"_s));
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  const QList<QStringList> bad = {
      {},
      {u"no-such-command"_s},
      {u"--series"_s, u"8"_s, u"settings"_s},
      {u"--series"_s, u"x"_s, u"settings"_s},
      {u"settings"_s, u"--series"_s},
      {u"--stereo"_s, u"yes"_s, u"settings"_s},
      {u"--capacity"_s, u"-1"_s, u"settings"_s},
      {u"--bogus"_s, u"settings"_s},
      {u"settings"_s, u"extra"_s},
  };
  for (const QStringList& arguments : bad) {
    const ToolRun run = Tool(arguments);
    EXPECT_EQ(run.status, 2) << arguments.join(u' ').toStdString();
    EXPECT_TRUE(run.err.contains(u"Usage:"_s)) << arguments.join(u' ').toStdString();
    EXPECT_TRUE(run.out.isEmpty());
  }
}

TEST_F(CliTest, FirstStartValuesWithoutWritingTheSettingsFile) {
  const ToolRun run = Tool({u"settings"_s});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_EQ(run.json.value(u"series"_s).toInt(), 1);
  EXPECT_EQ(run.json.value(u"channelCount"_s).toInt(), 255);
  EXPECT_EQ(run.json.value(u"cardPath"_s).toString(),
            env_.Home() + u"/Documents/ParlatoneEditor CardData"_s);
  EXPECT_EQ(run.json.value(u"settingsFile"_s).toString(), SettingsFile());
  EXPECT_FALSE(QFile::exists(SettingsFile()));
}

TEST_F(CliTest, GlobalOptionsOverrideForOneRunBeforeOrAfterTheCommand) {
  const QByteArray file = cp932::Encode(
      u"; hand-written\r\n[SYSTEM]\r\nMode=4\r\nWavePath=/音声\r\nCardPath=/cards\r\n"
      u"AddFunction=0\r\n[UserData]\r\nCompany=会社\r\n"_s);
  testing::WriteFileBytes(SettingsFile(), file);

  const ToolRun plain = Tool({u"settings"_s});
  ASSERT_EQ(plain.status, 0) << plain.err.toStdString();
  EXPECT_EQ(plain.json.value(u"series"_s).toInt(), 4);
  EXPECT_EQ(plain.json.value(u"channelCount"_s).toInt(), 1000);
  EXPECT_EQ(plain.json.value(u"pages"_s).toInt(), 4);
  EXPECT_EQ(plain.json.value(u"wavePath"_s).toString(), u"/音声"_s);
  EXPECT_EQ(plain.json.value(u"userData"_s).toObject().value(u"Company"_s).toString(), u"会社"_s);

  const ToolRun before =
      Tool({u"--series"_s, u"7"_s, u"--stereo"_s, u"on"_s, u"--capacity"_s, u"1"_s, u"settings"_s});
  const ToolRun after =
      Tool({u"settings"_s, u"--series=7"_s, u"--stereo"_s, u"on"_s, u"--capacity"_s, u"1"_s});
  for (const ToolRun& run : {before, after}) {
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.json.value(u"series"_s).toInt(), 7);
    EXPECT_EQ(run.json.value(u"soundFormat"_s).toString(), u"mp3"_s);
    EXPECT_EQ(run.json.value(u"channelCount"_s).toInt(), 255);
    EXPECT_TRUE(run.json.value(u"stereo"_s).toBool());
    EXPECT_EQ(run.json.value(u"capacityLimit"_s).toInteger(), 99000);
  }
  const ToolRun paths = Tool({u"--wave-path"_s, u"/w"_s, u"settings"_s, u"--card-path"_s, u"/c"_s});
  EXPECT_EQ(paths.json.value(u"wavePath"_s).toString(), u"/w"_s);
  EXPECT_EQ(paths.json.value(u"cardPath"_s).toString(), u"/c"_s);

  // The overrides lasted for their runs only.
  EXPECT_EQ(testing::ReadFileBytes(SettingsFile()), file);
}

}  // namespace
}  // namespace parlatone
