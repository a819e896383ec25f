// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <tuple>

#include "support/qt_printers.h"

#include "cli_app.h"
#include "cmd_print.h"
#include "core/cp932.h"
#include "project_json.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {

// Painting is built into the tool's programs only: print is run as one.
std::unique_ptr<cli::Command> cli::MakePrintCommand() {
  struct InProcessPrint : PrintCommandText {
    int Run(const QStringList&, Context&) override { return kExitFailure; }
  };
  return std::make_unique<InProcessPrint>();
}

namespace {

using namespace Qt::StringLiterals;

struct ToolRun {
  int status = -1;
  QString out;
  QString err;
  QJsonDocument json() const { return QJsonDocument::fromJson(out.toUtf8()); }
};

// Runs the tool in its own user folders, with no terminal attached: in this
// process where it can, as the built program where a test needs one.
// Arguments are words; "~/" stands for the test's home folder.
class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::pair<const char*, QByteArray> files[] = {
        {"A01.wav", testing::WaveOfLength(22050, 1, 16, 1500)},
        {"B02.wav", testing::WaveOfLength(22050, 1, 16, 250)},
        {"bad-name.wav", testing::WaveOfLength(22050, 1, 16, 100)},
        {"broken.wav", "RIFF"},
        {"tone.wav", testing::SineWave(22050, 500, 0.5)},
        {"駅のご案内.wav", testing::WaveOfLength(32000, 2, 16, 400)},
        {"in/st.wav", testing::WaveOfLength(22050, 2, 16, 500)},
        {"in/mono.wav", testing::WaveOfLength(22050, 1, 16, 500)}};
    for (const auto& [name, bytes] : files) {
      ASSERT_TRUE(testing::WriteBytes(Home(name), bytes));
    }
  }

  QString Home(const char* path = "") const { return env_.Home() + u'/' + QString::fromUtf8(path); }

  QStringList Args(const char* words) const {
    QStringList args = QString::fromUtf8(words).split(u' ', Qt::SkipEmptyParts);
    for (QString& arg : args) {
      arg.replace(u"~/"_s, env_.Home() + u'/');
    }
    return args;
  }

  ToolRun Tool(const char* words) {
    ToolRun run;
    QTextStream out(&run.out), err(&run.err);
    run.status = cli::RunCli(Args(words), out, err, false, false);
    out.flush();
    err.flush();
    return run;
  }

  ToolRun Program(const char* words, const QString& program = QStringLiteral(PARLATONE_CLI_PATH)) {
    QProcess process;
    process.setProcessEnvironment(environment_);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, Args(words));
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
  }

  QString SettingsFile() const { return Home("config/parlatone-editor/ParlatoneEditorV3.ini"); }

  testing::TempUserEnvironment env_;
  QProcessEnvironment environment_ = QProcessEnvironment::systemEnvironment();
};

TEST_F(CliTest, VersionHelpAndTheSynopsisMadeFromTheOptions) {
  const ToolRun version = Program("--version"), help = Program("--help");
  EXPECT_EQ(version.out, u"parlatone 3.0.1\n"_s);
  EXPECT_TRUE(version.status == 0 && help.status == 0 && help.out.contains(u"--card-path DIR"_s) &&
              help.out.contains(u"write-card"_s));
  // Wrapped at 80 columns under "[global options]"; one line a form.
  const QString fit = Tool("fit --help").out;
  EXPECT_TRUE(fit.startsWith(
      u"Usage: parlatone [global options] fit [--yes] [--json] [--rate HZ] [--bitrate K]\n"
      u"                 [--normalize LUFS] [--trim] OUTDIR FILE...\n\nReads WAVE"_s));
  EXPECT_EQ(Tool("to-mono --help").out.section(u'\n', 1, 2),
            u"       parlatone [global options] to-mono [--yes] --folder SRC DST\n"_s);
}

TEST_F(CliTest, UsageErrorsExitWithTwoAndTheUsage) {
  const std::pair<const char*, const char*> cases[] = {
      // arguments, message after "parlatone"
      {"", ": no command given"},
      {"no-such-command", ": unknown command no-such-command"},
      {"--series 8 settings", ": --series takes a series number from 0 to 7"},
      {"settings --series", ": --series needs a value"},
      {"--stereo yes settings", ": --stereo takes on or off"},
      {"--capacity -1 settings", ": --capacity takes a capacity index"},
      {"--capacity 4 settings", ": --capacity takes a capacity index"},
      {"--bogus settings", ": unknown option --bogus"},
      {"settings extra", " settings: takes no arguments"},
      {"info", " info: no file given"},
      {"levels --json=1 ~/A01.wav", " levels: unknown option --json=1"},
      {"register -j ~/A01.wav", " register: unknown option -j"},
      {"write ~/P.wpj", " write: give --from PROJECT.json and one output file"},
      {"write ~/P.wpj --from", " write: --from needs a value"},
      {"fit ~/A01.wav", " fit: give an output folder and at least one file"},
      {"fit --rate 0 ~/out ~/A01.wav", " fit: bad option --rate"},
      {"fit --rate 48000 ~/out ~/A01.wav", " fit: series 1 takes the rates"},
      {"silence ~/q.wav --seconds 4000", " silence: give one output file and --seconds"},
      {"record --seconds 2", " record: give one output file"},
      {"record --seconds 0 ~/r.wav", " record: bad option --seconds"},
      // print, run in its helper, checks its options before it loads
      {"print ~/P.wpj", " print: give the PDF file to write with --pdf OUT"},
      {"print ~/P.wpj --pdf ~/p.pdf --page 2", " print: --page takes a tab from 1 to 1"},
      {"print ~/P.wpj --pdf ~/p.pdf --sheets voice,cards", " print: --sheets takes voice, control"},
  };
  for (const auto& [arguments, message] : cases) {
    SCOPED_TRACE(arguments);
    const bool print = QByteArray(arguments).contains("print");
    const ToolRun run = print ? Program(arguments) : Tool(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.startsWith(u"parlatone"_s + QString::fromUtf8(message)) &&
                run.err.contains(u"\n\nUsage: parlatone "_s))
        << run.err.toStdString();
    EXPECT_EQ(run.out, QString());
  }
}

// The settings file is read, never written: the first start's values without
// one; options before or after the command over a hand-written one.
TEST_F(CliTest, GlobalOptionsOverrideTheSettingsFileForOneRun) {
  const ToolRun first = Tool("settings");
  EXPECT_EQ(first.json()[u"settingsFile"_s].toString(), SettingsFile());
  EXPECT_FALSE(QFile::exists(SettingsFile()));

  const QByteArray file = cp932::Encode(
      u"; hand-written\r\n[SYSTEM]\r\nMode=4\r\nWavePath=/音声\r\nAddFunction=0\r\n"_s);
  testing::WriteFileBytes(SettingsFile(), file);
  EXPECT_EQ(Tool("settings").json()[u"channelCount"_s].toInt(), 1000);
  for (const char* arguments : {"--series 7 --stereo on --capacity 1 --wave-path /w settings",
                                "settings --series=7 --stereo on --capacity 1 --wave-path=/w"}) {
    const QJsonDocument json = Tool(arguments).json();
    EXPECT_EQ(std::tuple(json[u"soundFormat"_s].toString(), json[u"stereo"_s].toBool(),
                         json[u"capacityLimit"_s].toInteger(), json[u"wavePath"_s].toString()),
              std::tuple(u"mp3"_s, true, qint64{99000}, u"/w"_s));
  }
  EXPECT_EQ(testing::ReadFileBytes(SettingsFile()), file);
}

// Each command once, in order (later rows use what earlier ones made). Reports
// read exactly as Qt writes the same JSON, a name with characters to escape.
TEST_F(CliTest, EachCommandReportsWhatItDid) {
  ASSERT_TRUE(testing::WriteBytes(Home("p.json"), R"({"voices": [{"NAME": "A01.wav",
      "COMENTS": "始業①"}, {"NAME": "B02.wav"}], "programs": [{"channel": 3, "Voice": ["B02.wav",
      "A01.wav"]}], "card": {"Forder": "駅", "Model": "QDX", "CardCom": "C", "CardPerson": "P",
      "CardDate": "2026"}})"));
  testing::WriteFileBytes(SettingsFile(), "[SYSTEM]\r\nMode=1\r\nCardName=SETNAME\r\n");
  ASSERT_TRUE(testing::WriteBytes(Home("CARD/C.wpj"), "#2\r\n0,a.wav\r\n"));
  ASSERT_TRUE(testing::WriteBytes(Home("CARD/a.wav"), "RIFF"));
  // Channel 256 of a 1000-channel project, opened in a 255-channel series.
  QByteArray big = "#2\r\n0,A01.wav\r\n#3\r\n";
  for (int channel = 0; channel < 255; ++channel) {
    big += QByteArray::number(channel) + "*\r\n";
  }
  ASSERT_TRUE(testing::WriteBytes(Home("BIG.wpj"), big + "255,1,1,0\r\n"));
  ASSERT_TRUE(QDir().mkpath(Home("target")) && QDir().mkpath(Home("cards")));
  // Arguments, exit status, keys, a text shown on standard output or error.
  const std::tuple<const char*, int, const char*, const char*> cases[] = {
      {"info --json ~/A01.wav ~/in/st.wav ~/\"案内\"\\\b\f\n\r\t\x01\x7f😀.wav", 1,
       "BitsPerSample BlockAlign ByteRate Channels ExtraSize FormatTag MpegLayer MpegVersion "
       "SampleRate accepted bytes file lengthMs messages record",
       "\"lengthMs\": 1500"},
      {"--stereo on info ~/in/st.wav ~/A01.wav", 0, "", "  accepted\n"},
      {"levels --json ~/A01.wav ~/broken.wav", 1,
       "clipped file leadingSilenceMs lengthMs loudnessLufs peakDb trailingSilenceMs",
       "\"lengthMs\": null"},
      {"levels ~/A01.wav", 0, "", "LUFS"},
      {"fit --json ~/out ~/駅のご案内.wav ~/broken.wav", 1,
       "BitsPerSample Channels SampleRate comment gainDb lengthMs limitedByPeak loudnessLufs "
       "messages name output source",
       "\"name\": \"VOICE001.wav\""},
      {"fit --json --normalize 0 ~/loud ~/tone.wav", 0, "", "\"limitedByPeak\": true"},
      {"register --json ~/A01.wav ~/B02.wav ~/bad-name.wav", 1, "messages refused voices",
       "bad-name.wav"},
      {"write --from ~/p.json ~/P.wpj", 0, "", ""},
      {"show --json ~/P.wpj", 0, "card programs series voices warnings", "\"COMENTS\": \"始業①\""},
      {"show --json ~/BIG.wpj", 0, "card programs series voices warnings",
       "\"warnings\": [\n        \"このシリーズのチャンネル数（255）を超える 1 チャンネルは"},
      {"show ~/BIG.wpj", 0, "",
       "\nwarnings\n  このシリーズのチャンネル数（255）を超える 1 チャンネル"},
      {"--card-path ~/cards make-card ~/P.wpj", 0, "", "/cards/駅\n"},
      {"--card-path ~/cards make-card ~/P.wpj", 1, "", "(answered No)"},
      {"--card-path ~/cards make-card --yes ~/P.wpj", 0, "", "/cards/駅\n"},
      {"write-card --json --any-filesystem ~/CARD ~/target", 0,
       "cardRemoved clusterBytes files filesystem freeBytes messages neededBytes ok orderOk target",
       "\"ok\": true"},
      {"verify-card --json ~/CARD ~/cards", 1, "", "\"ok\": false"},
      {"to-mono ~/in/st.wav ~/out/st_mono.wav", 0, "", ""},
      {"to-mono ~/in/mono.wav ~/out/m.wav", 1, "", "mono.wav はステレオではありません。"},
      {"to-mono --yes --folder ~/in ~/out/in", 0, "", "1 converted, 1 skipped\n"},
      {"silence ~/out/quiet.wav --seconds 2 --bits 8", 0, "", ""},
  };
  for (const auto& [arguments, status, keys, shows] : cases) {
    SCOPED_TRACE(arguments);
    const ToolRun run = Tool(arguments);
    EXPECT_EQ(run.status, status) << run.err.toStdString();
    EXPECT_TRUE((run.out + run.err).contains(QString::fromUtf8(shows))) << run.out.toStdString();
    if (*keys != 0) {
      const QJsonDocument json = run.json();
      const QJsonObject report = json.isArray() ? json[0].toObject() : json.object();
      EXPECT_EQ(report.keys().join(u' '), QString::fromUtf8(keys));
      EXPECT_EQ(run.out.toUtf8(), json.toJson());
    }
  }
  EXPECT_EQ(testing::ReadFileBytes(Home("out/quiet.wav")).size(), 44 + 2 * 22050);
  EXPECT_EQ(QDir(Home("cards/駅")).entryList(QDir::Files),
            (QStringList{u"A01.wav"_s, u"B02.wav"_s, u"SETNAME.wpj"_s}));
  // The second look at a file's levels came from the cache.
  EXPECT_EQ(QDir(Home("cache/parlatone-editor/Levels")).entryList(QDir::Files).size(), 1);
}

// play takes real time and fails without an audio output; info does not need one.
TEST_F(CliTest, PlayRunsToTheEnd) {
  QElapsedTimer timer;
  timer.start();
  EXPECT_EQ(Program("play ~/B02.wav").status, 0);
  EXPECT_GE(timer.elapsed(), 200);
  environment_.insert(u"SDL_AUDIODRIVER"_s, u"no-such-driver"_s);
  EXPECT_EQ(Program("play ~/B02.wav").status, 1);
  EXPECT_EQ(Program("info ~/B02.wav").status, 0);
}

// SDL's disk driver stands in for a microphone: it reads raw 16-bit mono
// samples from a file, at twice real time here.
TEST_F(CliTest, RecordWritesTheSeriesFormatAndAKilledTakeStaysReadable) {
  ASSERT_TRUE(testing::WriteBytes(Home("sine.raw"), testing::RawSine16(22050, 3.0, 1000.0, -12.0)));
  environment_.insert(u"SDL_AUDIODRIVER"_s, u"disk"_s);
  environment_.insert(u"SDL_DISKAUDIOFILEIN"_s, Home("sine.raw"));
  environment_.insert(u"SDL_DISKAUDIODELAY"_s, u"23"_s);

  const ToolRun run = Program("--series 1 record --seconds 2 --json ~/takes/out.wav");
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  const QJsonObject report = run.json().object();
  EXPECT_EQ(report.keys().join(u' '),
            u"file lengthMs loudnessLufs overruns peakDb samples trimmedLeadMs trimmedTailMs"_s);
  EXPECT_NEAR(report[u"lengthMs"_s].toDouble(), 2000.0, 50.0);
  EXPECT_NEAR(report[u"peakDb"_s].toDouble(), -12.0, 0.2);
  EXPECT_EQ(std::pair(report[u"samples"_s].toInt(), report[u"overruns"_s].toInt()),
            std::pair(2 * 22050, 0));
  // Only the finished file is left.
  EXPECT_EQ(QDir(Home("takes")).entryList(QDir::Files), QStringList{u"out.wav"_s});

  QProcess killed;
  killed.setProcessEnvironment(environment_);
  killed.start(QStringLiteral(PARLATONE_CLI_PATH), Args("--series 1 record ~/killed/k.wav"));
  ASSERT_TRUE(killed.waitForStarted());
  QThread::msleep(3000);
  killed.kill();
  killed.waitForFinished();
  const QStringList left = QDir(Home("killed")).entryList(QDir::Files);
  ASSERT_EQ(left.size(), 1);
  const ToolRun take = Program(("levels --json ~/killed/" + left[0].toUtf8()).constData());
  EXPECT_EQ(take.status, 0) << take.err.toStdString();
  EXPECT_GE(take.json()[0][u"lengthMs"_s].toInt(), 2000);
}

// print runs in its helper, which paints without a display.
TEST_F(CliTest, PrintWritesTheChosenSheetsToPdf) {
  ASSERT_TRUE(testing::WriteBytes(Home("p.json"), R"({"series": 4, "voices": [{"NAME":
      "A01.wav"}, {"NAME": "B02.wav"}], "programs": [{"channel": 0, "Voice": ["A01.wav"]},
      {"channel": 260, "Voice": ["B02.wav"]}]})"));
  ASSERT_EQ(Tool("write --from ~/p.json ~/P.wpj").status, 0);
  for (const QString& name : {u"QT_QPA_PLATFORM"_s, u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s}) {
    environment_.remove(name);
  }
  const ToolRun tab = Program("--series 4 print ~/P.wpj --pdf ~/p.pdf --sheets editor --page 2");
  EXPECT_EQ(tab.out, Home("p.pdf (5 pages)\n")) << tab.err.toStdString();  // 250 channels

  const ToolRun unwritable = Program("--series 4 print ~/P.wpj --pdf ~/no/such/x.pdf");
  EXPECT_TRUE(unwritable.status == 1 && unwritable.err.contains(u"cannot write"_s));
}

// The tree `cmake --install` makes, laid out as under /usr: the tool finds its
// files in the data folder, and the demo loads from there with every sound.
TEST_F(CliTest, InstalledTreeFindsItsFilesAndLoadsTheDemo) {
  ASSERT_EQ(QProcess::execute(
                QStringLiteral(PARLATONE_CMAKE_COMMAND),
                {u"--install"_s, QStringLiteral(PARLATONE_BUILD_DIR), u"--prefix"_s, Home("usr")}),
            0);
  for (const char* path : {"usr/bin/parlatone-editor", "usr/share/parlatone-editor/elementPT.elm",
                           "usr/share/doc/parlatone-editor/guide.ja.md",
                           "usr/share/applications/jp.parlatone.editor.desktop"}) {
    EXPECT_TRUE(QFileInfo(Home(path)).isFile()) << path;
  }
  const QString tool = Home("usr/bin/parlatone"), data = Home("usr/share/parlatone-editor");
  // A document missing from this installation is named where it belongs
  // here, not in the prefix the program was built for.
  QFile::remove(data + u"/Release.txt"_s);
  const QJsonDocument settings = Program("settings", tool).json();
  EXPECT_EQ(settings[u"elementFile"_s].toString(), data + u"/elementPT.elm"_s);
  EXPECT_EQ(settings[u"releaseFile"_s].toString(), data + u"/Release.txt"_s);
  const ToolRun shown =
      Program("show --json ~/usr/share/parlatone-editor/examples/demo/DEMO.wpj", tool);
  ASSERT_EQ(shown.status, 0) << shown.err.toStdString();
  EXPECT_EQ(shown.json()[u"voices"_s].toArray().size(),
            QDir(data + u"/examples/demo"_s).entryList({u"*.wav"_s}, QDir::Files).size());
  // The print command finds its helper in the installed tree.
  const ToolRun printed = Program(
      "print ~/usr/share/parlatone-editor/examples/demo/DEMO.wpj --pdf ~/d.pdf --sheets voice",
      tool);
  EXPECT_EQ(printed.status, 0) << printed.err.toStdString();
}

// What show prints, write takes back as it was: each voice in its slot,
// also after an empty one (a program with an empty first slot does not play).
TEST(ProjectJson, EachVoiceKeepsItsSlot) {
  const std::vector<std::vector<QString>> cases = {{QString(), u"a.wav"_s},
                                                   {u"a.wav"_s, QString(), u"b.wav"_s}};
  for (const std::vector<QString>& voices : cases) {
    Project project;
    std::copy(voices.begin(), voices.end(), project.programs[3].Voice.begin());
    Project again;
    QString error;
    ASSERT_TRUE(cli::ProjectFromJson(cli::ProjectJson(project), again, error));
    EXPECT_EQ(again.programs[3].Voice, project.programs[3].Voice) << voices.size();
  }
}

}  // namespace
}  // namespace parlatone
