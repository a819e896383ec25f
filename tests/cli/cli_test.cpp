#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include "support/qt_printers.h"

#include "controlfile/control_file_loader.h"
#include "core/cp932.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"
#include "core/text.h"
#include "json_writer.h"
#include "sound/wave_reader.h"
#include "support/pdf_text.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"
#include "voices/registration.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

struct ToolRun {
  int status = -1;
  QString out;
  QString err;
  QJsonObject json;
  QJsonArray array;
};

// Runs the built tool in its own user folders, with no terminal attached.
class CliTest : public ::testing::Test {
 protected:
  ToolRun Tool(const QStringList& arguments, const QString& audio_driver = u"dummy"_s) {
    return RunProgram(QStringLiteral(PARLATONE_CLI_PATH), arguments, audio_driver);
  }

  ToolRun RunProgram(const QString& program, const QStringList& arguments,
                     const QString& audio_driver = u"dummy"_s) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"SDL_AUDIODRIVER"_s, audio_driver);
    environment.insert(u"HOME"_s, env_.Home());
    environment.insert(u"XDG_CONFIG_HOME"_s, env_.ConfigHome());
    environment.insert(u"XDG_CACHE_HOME"_s, env_.CacheHome());
    for (const QString& name : unset_environment_) {
      environment.remove(name);
    }
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    ToolRun run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8());
    run.json = document.object();
    run.array = document.array();
    return run;
  }

  QString WriteSound(const QString& name, const QByteArray& bytes) {
    const QString path = env_.Home() + u"/sounds/"_s + name;
    EXPECT_TRUE(testing::WriteBytes(path, bytes));
    return path;
  }

  QString SettingsFile() const {
    return env_.ConfigHome() + u"/parlatone-editor/ParlatoneEditorV3.ini"_s;
  }

  testing::TempUserEnvironment env_;
  QStringList unset_environment_;
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

TEST_F(CliTest, InfoReportsEveryFileAsJson) {
  testing::WaveShape stereo;
  stereo.channels = 2;
  stereo.sample_rate = 44100;
  stereo.data_bytes = 176400;  // one second
  const QString good = WriteSound(u"good one.wav"_s, testing::WaveOfLength(22050, 1, 8, 1500));
  const QString two = WriteSound(u"two.wav"_s, testing::WaveBytes(stereo));
  const QString text = WriteSound(u"text.wav"_s, "plain text"_ba);

  // A driver that cannot exist: measuring lengths must not need an output.
  const ToolRun run = Tool({u"info"_s, u"--json"_s, good, two, text}, u"no-such-driver"_s);
  EXPECT_EQ(run.status, 1);
  ASSERT_EQ(run.array.size(), 3);
  const QStringList keys = {u"file"_s,        u"FormatTag"_s,  u"Channels"_s,      u"SampleRate"_s,
                            u"ByteRate"_s,    u"BlockAlign"_s, u"BitsPerSample"_s, u"ExtraSize"_s,
                            u"MpegVersion"_s, u"MpegLayer"_s,  u"lengthMs"_s,      u"bytes"_s,
                            u"record"_s,      u"accepted"_s,   u"messages"_s};
  QStringList sorted_keys = keys;
  sorted_keys.sort();
  for (const QJsonValue& entry : run.array) {
    EXPECT_EQ(entry.toObject().keys(), sorted_keys);
  }
  const QJsonObject first = run.array[0].toObject();
  EXPECT_EQ(first.value(u"file"_s).toString(), good);
  EXPECT_EQ(first.value(u"SampleRate"_s).toInt(), 22050);
  EXPECT_EQ(first.value(u"BitsPerSample"_s).toInt(), 8);
  EXPECT_EQ(first.value(u"lengthMs"_s).toInt(), 1500);
  EXPECT_EQ(first.value(u"bytes"_s).toInt(), 44 + 33075 + 1);  // with the pad byte
  EXPECT_TRUE(first.value(u"accepted"_s).toBool());
  EXPECT_TRUE(first.value(u"messages"_s).toArray().isEmpty());
  const QJsonObject record = first.value(u"record"_s).toObject();
  EXPECT_EQ(record.value(u"NAME"_s).toString(), u"good one.wav"_s);
  EXPECT_EQ(record.value(u"SampleRate"_s).toString(), u"22.05KHz"_s);
  EXPECT_EQ(record.value(u"BitRate"_s).toString(), u"8bit"_s);
  EXPECT_EQ(record.value(u"SEC"_s).toString(), u"1.500"_s);
  EXPECT_EQ(record.value(u"TYPE"_s).toString(), u"Mono"_s);

  // Stereo is refused, as registration refuses it, until stereo files are accepted.
  const QJsonObject second = run.array[1].toObject();
  EXPECT_FALSE(second.value(u"accepted"_s).toBool());
  EXPECT_EQ(second.value(u"messages"_s).toArray().first().toString(),
            u"ステレオ形式のファイルは扱えません。"_s);
  EXPECT_EQ(second.value(u"lengthMs"_s).toInt(), 1000);
  const QJsonObject third = run.array[2].toObject();
  EXPECT_FALSE(third.value(u"accepted"_s).toBool());
  EXPECT_EQ(third.value(u"lengthMs"_s).toInt(), -1);
  EXPECT_EQ(third.value(u"record"_s).toObject().value(u"SEC"_s).toString(), u"-0.001"_s);
  EXPECT_TRUE(run.err.contains(u"エラー: ＲＩＦＦがないかＷＡＶフォーマットではありません。"_s));

  const ToolRun stereo_on = Tool({u"--stereo"_s, u"on"_s, u"info"_s, two, good});
  EXPECT_EQ(stereo_on.status, 0) << stereo_on.err.toStdString();
  EXPECT_TRUE(stereo_on.out.contains(u"accepted"_s));
}

TEST_F(CliTest, InfoInTheMp3Series) {
  const QString mp3 = WriteSound(u"a.mp3"_s, testing::Mp3Frames(50, {64}, 22050, false));
  const ToolRun run =
      Tool({u"--series"_s, u"7"_s, u"--stereo"_s, u"on"_s, u"info"_s, u"--json"_s, mp3});
  ASSERT_EQ(run.status, 0) << run.err.toStdString();
  const QJsonObject entry = run.array[0].toObject();
  EXPECT_EQ(entry.value(u"MpegVersion"_s).toInt(), 2);
  EXPECT_EQ(entry.value(u"lengthMs"_s).toInt(), 50 * 576 * 1000 / 22050);
  const QJsonObject record = entry.value(u"record"_s).toObject();
  EXPECT_EQ(record.value(u"BitRate"_s).toString(), u"64Kbit"_s);
  EXPECT_EQ(record.value(u"MPEG"_s).toString(), u"2.0"_s);
  EXPECT_EQ(record.value(u"Layer"_s).toString(), u"3"_s);
  EXPECT_EQ(record.value(u"TYPE"_s).toString(), u"Stereo"_s);
  // A WAVE file is not an MP3.
  const QString wave = WriteSound(u"w.wav"_s, testing::WaveOfLength(22050, 1, 16, 100));
  const ToolRun refused = Tool({u"--series"_s, u"7"_s, u"info"_s, wave});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(refused.err.contains(u"サポートしていないファイルフォーマットです。"_s));
  EXPECT_EQ(Tool({u"info"_s}).status, 2);
  EXPECT_EQ(Tool({u"info"_s, u"--xml"_s, wave}).status, 2);
}

// `info` says of every file what registration does, in every series; and
// where a file is refused for what it holds (not for its name or the byte
// check of its header), loading a control file that names it refuses it with
// the same message.
TEST_F(CliTest, InfoRegistrationAndLoadingAgree) {
  QStringList files;
  const QDir corpus(QStringLiteral(PARLATONE_SOURCE_DIR "/tests/corpus/bad"));
  for (const QString& name : corpus.entryList({u"*.wav"_s, u"*.mp3"_s}, QDir::Files)) {
    files << WriteSound(name, testing::ReadFileBytes(corpus.filePath(name)));
  }
  testing::WaveShape odd_format;  // 17-byte format chunk, no pad byte
  const struct {
    const char* name;
    QByteArray bytes;
  } generated[] = {
      {"m22k16.wav", testing::WaveOfLength(22050, 1, 16, 300)},
      {"m44k8.wav", testing::WaveOfLength(44100, 1, 8, 300)},
      {"m8k16.wav", testing::WaveOfLength(8000, 1, 16, 300)},
      {"m32k16.wav", testing::WaveOfLength(32000, 1, 16, 300)},
      {"m48k8.wav", testing::WaveOfLength(48000, 1, 8, 300)},
      {"s22k16.wav", testing::WaveOfLength(22050, 2, 16, 300)},
      {"NAME-13CHARS.wav", testing::WaveOfLength(22050, 1, 16, 100)},
      {"a-b.wav", testing::WaveOfLength(22050, 1, 16, 100)},
      {"案内.wav", testing::WaveOfLength(22050, 1, 16, 100)},
      {"mono1.mp3", testing::Mp3Frames(20, {128})},
      {"joint2.mp3", testing::Mp3Frames(20, {64}, 22050, false)},
      {"vbr.mp3", testing::TaggedMp3(20, {32, 320})},
      {"mpeg25.mp3", testing::Mpeg25WithStrayMpeg1Header()},
  };
  for (const auto& file : generated) {
    files << WriteSound(QString::fromUtf8(file.name), file.bytes);
  }

  struct Setting {
    int series;
    bool stereo;
  };
  std::vector<Setting> settings;
  for (int series = 0; series < 8; ++series) {
    settings.push_back({series, false});
  }
  settings.push_back({1, true});
  settings.push_back({7, true});
  for (const Setting& setting : settings) {
    const QString label = u"series %1 stereo %2"_s.arg(setting.series).arg(setting.stereo);
    const ToolRun info =
        Tool(QStringList{u"--series"_s, QString::number(setting.series), u"--stereo"_s,
                         setting.stereo ? u"on"_s : u"off"_s, u"info"_s, u"--json"_s} +
             files);
    ASSERT_EQ(info.array.size(), files.size()) << label.toStdString();
    Project project;
    project.settings.Mode = setting.series;
    project.settings.AddFunction = setting.stereo ? 1 : 0;
    project.settings.FileCapacity = 3;
    DeriveSeriesLimits(project);
    for (qsizetype i = 0; i < files.size(); ++i) {
      const std::string trace = (label + u" "_s + FileNameOf(files[i])).toStdString();
      testing::ScriptedOperator registration;
      WorkingVoiceList list(project.ChannelCount);
      const RegistrationResult registered =
          RegisterFiles(list, {files[i]}, AcceptanceRules::From(project), registration);
      QStringList shown;
      for (const testing::ShownMessage& message : registration.shown) {
        shown << message.text;
      }
      const QJsonObject entry = info.array[i].toObject();
      EXPECT_EQ(entry.value(u"accepted"_s).toBool(), registered.registered == 1) << trace;
      // Registration names the file before the same message.
      QStringList named;
      for (const QString& text : entry.value(u"messages"_s).toVariant().toStringList()) {
        named << FileNameOf(files[i]) + u"\r\n\r\n"_s + text;
      }
      EXPECT_EQ(named, shown) << trace;
      if (registered.registered == 1) {
        // Never a length that could not be measured.
        EXPECT_GE(entry.value(u"lengthMs"_s).toInteger(), 0) << trace;
        EXPECT_FALSE(list[0].SEC.startsWith(u'-')) << trace;
      }

      // The loader: the same file named by a control file beside it.
      const QString folder = FolderOf(files[i]);
      const QString control = folder + u"/check."_s + ControlFileExtension(setting.series);
      testing::WriteFileBytes(control, cp932::Encode(u"#2\r\n0,"_s + FileNameOf(files[i]) +
                                                     u"\r\n#3\r\n0,1,1,0\r\n"_s));
      Project loaded;
      loaded.settings = project.settings;
      DeriveSeriesLimits(loaded);
      testing::ScriptedOperator loading;
      const bool load_ok = LoadWpjFile(loaded, control, loading);
      QFile::remove(control);
      if (load_ok) {
        ASSERT_EQ(loaded.voices.size(), 1) << trace;
        EXPECT_FALSE(loaded.voices[0].SEC.startsWith(u'-')) << trace;
      }
      // Refused by the reader: the loader refuses with the same message
      // (without the file's name in front).
      const bool reader_refusal =
          !registration.shown.empty() &&
          ((registration.shown[0].number >= 2600 && registration.shown[0].number <= 2604) ||
           registration.shown[0].text.endsWith(TruncatedSoundText()) ||
           registration.shown[0].text.contains(u"mmioRead"_s));
      if (reader_refusal) {
        EXPECT_FALSE(load_ok) << trace;
        ASSERT_FALSE(loading.shown.empty()) << trace;
        EXPECT_EQ(FileNameOf(files[i]) + u"\r\n\r\n"_s + loading.shown[0].text,
                  registration.shown[0].text)
            << trace;
      } else if (registered.registered == 1) {
        EXPECT_TRUE(load_ok) << trace;
      }
    }
  }
}

// Reports written field by field read exactly as the same JSON document.
TEST(JsonWriter, WritesWhatAJsonDocumentWrites) {
  const QString tricky = u"\"quoted\" back\\slash \b\f\n\r\t \x01 \x7f 案内 😀"_s;
  const QJsonArray expected = {QJsonObject{{u"a"_s, 1},
                                           {u"b"_s, tricky},
                                           {u"c"_s, QJsonArray()},
                                           {u"d"_s, QJsonArray{u"x"_s, u"y"_s}},
                                           {u"e"_s, QJsonObject{{u"f"_s, false}}}},
                               QJsonObject{}};
  cli::JsonWriter writer;
  writer.BeginArray();
  writer.BeginObject();
  writer.Key("a"_L1);
  writer.Value(qint64{1});
  writer.Key("b"_L1);
  writer.Value(tricky);
  writer.Key("c"_L1);
  writer.Value(QStringList());
  writer.Key("d"_L1);
  writer.Value(QStringList{u"x"_s, u"y"_s});
  writer.Key("e"_L1);
  writer.BeginObject();
  writer.Key("f"_L1);
  writer.Value(false);
  writer.EndObject();
  writer.EndObject();
  writer.BeginObject();
  writer.EndObject();
  writer.EndArray();
  EXPECT_EQ(writer.bytes(), QJsonDocument(expected).toJson(QJsonDocument::Indented));
}

TEST_F(CliTest, PlayRunsToTheEnd) {
  const QString wave = WriteSound(u"p.wav"_s, testing::WaveOfLength(22050, 1, 16, 400));
  QElapsedTimer timer;
  timer.start();
  const ToolRun run = Tool({u"play"_s, wave});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  EXPECT_GE(timer.elapsed(), 350);
  const ToolRun missing = Tool({u"play"_s, env_.Home() + u"/none.wav"_s});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.err.contains(u"指定されたファイルが見つかりません。"_s));
  // With no audio output the file cannot be played.
  EXPECT_EQ(Tool({u"play"_s, wave}, u"no-such-driver"_s).status, 1);
}

TEST_F(CliTest, RegisterWriteAndShowEndToEnd) {
  const QString a = WriteSound(u"A01.wav"_s, testing::WaveOfLength(22050, 1, 16, 1500));
  const QString b = WriteSound(u"B02.wav"_s, testing::WaveOfLength(44100, 1, 8, 250));
  const QString bad = WriteSound(u"bad-name.wav"_s, testing::WaveOfLength(22050, 1, 16, 100));

  const ToolRun registered = Tool({u"register"_s, u"--json"_s, a, b, bad, a});
  EXPECT_EQ(registered.status, 1);
  const QJsonArray voices = registered.json.value(u"voices"_s).toArray();
  ASSERT_EQ(voices.size(), 2);
  EXPECT_EQ(voices[0].toObject().value(u"SEC"_s).toString(), u"1.500"_s);
  EXPECT_EQ(voices[1].toObject().value(u"BitRate"_s).toString(), u"8bit"_s);
  EXPECT_EQ(voices[1].toObject().value(u"FilePath"_s).toString(), b);
  const QJsonArray refused = registered.json.value(u"refused"_s).toArray();
  ASSERT_EQ(refused.size(), 2);
  EXPECT_EQ(refused[0].toObject().value(u"file"_s).toString(), bad);
  EXPECT_TRUE(
      refused[0].toObject().value(u"message"_s).toString().startsWith(u"ファイル名に \"-\""_s));
  EXPECT_EQ(refused[1].toObject().value(u"message"_s).toString(),
            u"指定のファイルA01.wav は既に存在します。"_s);
  // Shown as one list naming each file.
  const QJsonArray messages = registered.json.value(u"messages"_s).toArray();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].toString().contains(u"bad-name.wav："_s));
  EXPECT_TRUE(messages[0].toString().contains(u"A01.wav：指定のファイルA01.wav"_s));
  EXPECT_EQ(Tool({u"register"_s, a, b}).status, 0);

  // A project as JSON, with a name the voice list does not hold in channel 3.
  const QJsonObject project{
      {u"voices"_s, QJsonArray{QJsonObject{{u"NAME"_s, u"A01.wav"_s}, {u"COMENTS"_s, u"始業①"_s}},
                               QJsonObject{{u"NAME"_s, u"B02.wav"_s}}}},
      {u"programs"_s, QJsonArray{QJsonObject{{u"channel"_s, 0},
                                             {u"RP"_s, u"2"_s},
                                             {u"Voice"_s, QJsonArray{u"A01.wav"_s, u"B02.wav"_s}}},
                                 QJsonObject{{u"channel"_s, 3},
                                             {u"SP"_s, u"2"_s},
                                             {u"Voice"_s, QJsonArray{u"B02.wav"_s, u"none.wav"_s,
                                                                     u"A01.wav"_s}}}}},
      {u"card"_s, QJsonObject{{u"CardName"_s, u"ANN01"_s}, {u"Memo3"_s, u"三"_s}}}};
  const QString json_path = env_.Home() + u"/sounds/project.json"_s;
  ASSERT_TRUE(testing::WriteBytes(json_path, QJsonDocument(project).toJson()));
  const QString out = env_.Home() + u"/sounds/ANN01.wpj"_s;
  const ToolRun written = Tool({u"write"_s, u"--from"_s, json_path, out});
  ASSERT_EQ(written.status, 0) << written.err.toStdString();
  const QString text = cp932::Decode(testing::ReadFileBytes(out));
  EXPECT_TRUE(
      text.contains(u"#2\r\n0,A01.wav\r\n1,B02.wav\r\n#3\r\n0,1,2,0,1\r\n1*\r\n2*\r\n"
                    u"3,2,1,1,0\r\n#0\r\n"_s));
  EXPECT_TRUE(text.endsWith(u"#S\r\n始業①\r\n\r\n"_s));

  const ToolRun shown = Tool({u"show"_s, u"--json"_s, out});
  ASSERT_EQ(shown.status, 0) << shown.err.toStdString();
  EXPECT_EQ(shown.json.value(u"series"_s).toInt(), 1);
  const QJsonArray loaded_voices = shown.json.value(u"voices"_s).toArray();
  ASSERT_EQ(loaded_voices.size(), 2);
  EXPECT_EQ(loaded_voices[0].toObject().keys().size(), 10);
  EXPECT_EQ(loaded_voices[0].toObject().value(u"COMENTS"_s).toString(), u"始業①"_s);
  EXPECT_EQ(loaded_voices[0].toObject().value(u"FilePath"_s).toString(), a);
  const QJsonArray programs = shown.json.value(u"programs"_s).toArray();
  ASSERT_EQ(programs.size(), 2);
  EXPECT_EQ(programs[0].toObject().value(u"Time"_s).toString(), u"3.6"_s);  // 2 x (1.5 + 0.3)
  EXPECT_EQ(programs[1].toObject().value(u"channel"_s).toInt(), 3);
  EXPECT_EQ(programs[1].toObject().value(u"Voice"_s).toArray(),
            (QJsonArray{u"B02.wav"_s, u"A01.wav"_s}));
  const QJsonObject card = shown.json.value(u"card"_s).toObject();
  EXPECT_EQ(card.size(), 27);
  EXPECT_EQ(card.value(u"CardName"_s).toString(), u"ANN01"_s);
  EXPECT_EQ(card.value(u"Memo3"_s).toString(), u"三"_s);

  // The same file in the MP3 series is refused silently by its extension.
  const ToolRun other_series = Tool({u"--series"_s, u"7"_s, u"show"_s, out});
  EXPECT_EQ(other_series.status, 1);
  // A sound file gone: a message that names it, exit 1.
  ASSERT_TRUE(QFile::remove(b));
  const ToolRun missing = Tool({u"show"_s, out});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.err.contains(u"次のSoundファイルが見つかりません。"_s));
  // Writing where no file can be made: message 2505, and nothing else written.
  const ToolRun unwritable =
      Tool({u"write"_s, u"--from"_s, json_path, env_.Home() + u"/no/such/folder/X.wpj"_s});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_TRUE(unwritable.err.contains(u"コントロールデータファイルの作成に失敗しました。"_s));
  EXPECT_EQ(Tool({u"write"_s, out}).status, 2);
  EXPECT_EQ(Tool({u"show"_s}).status, 2);
}

TEST_F(CliTest, MakeCardEndToEnd) {
  const QString a = WriteSound(u"A01.wav"_s, testing::WaveOfLength(22050, 1, 16, 300));
  const QString b = WriteSound(u"B02.wav"_s, testing::WaveOfLength(22050, 1, 16, 200));
  // Card information as a control file made by someone else carries it; no
  // file name and no capacity chosen: the setting and the total fill them.
  const QJsonObject project{
      {u"voices"_s,
       QJsonArray{QJsonObject{{u"NAME"_s, u"A01.wav"_s}}, QJsonObject{{u"NAME"_s, u"B02.wav"_s}}}},
      {u"programs"_s,
       QJsonArray{QJsonObject{{u"channel"_s, 0}, {u"Voice"_s, QJsonArray{u"A01.wav"_s}}}}},
      {u"card"_s, QJsonObject{{u"Forder"_s, u"駅"_s},
                              {u"Model"_s, u"QDX"_s},
                              {u"CardCom"_s, u"C"_s},
                              {u"CardPerson"_s, u"P"_s},
                              {u"CardDate"_s, u"2026"_s}}}};
  const QString json_path = env_.Home() + u"/sounds/p.json"_s;
  ASSERT_TRUE(testing::WriteBytes(json_path, QJsonDocument(project).toJson()));
  const QString control = env_.Home() + u"/sounds/SRC.wpj"_s;
  ASSERT_EQ(Tool({u"write"_s, u"--from"_s, json_path, control}).status, 0);
  ASSERT_TRUE(testing::WriteBytes(SettingsFile(),
                                  cp932::Encode(u"[SYSTEM]\r\nMode=1\r\nCardName=SETNAME\r\n"_s)));

  const QString cards = env_.Home() + u"/cards"_s;
  ASSERT_TRUE(QDir().mkpath(cards));
  const ToolRun made = Tool({u"--card-path"_s, cards, u"make-card"_s, control});
  ASSERT_EQ(made.status, 0) << made.err.toStdString();
  const QString target = cards + u"/駅"_s;
  EXPECT_EQ(made.out.trimmed(), target);
  EXPECT_EQ(QDir(target).entryList(QDir::Files, QDir::Name),
            (QStringList{u"A01.wav"_s, u"B02.wav"_s, u"SETNAME.wpj"_s}));
  const QString written = cp932::Decode(testing::ReadFileBytes(target + u"/SETNAME.wpj"_s));
  EXPECT_TRUE(written.contains(u"#1\r\nSETNAME\r\n駅\r\n8MB\r\nQDX\r\n"_s));
  EXPECT_TRUE(made.err.contains(QString(GetMessage(2035)).replace(u"\r\n"_s, u"\n"_s)));

  // Again: without --yes the folder stays as it is; with it, it is replaced.
  ASSERT_TRUE(testing::WriteBytes(target + u"/extra.txt"_s, "x"_ba));
  const ToolRun declined = Tool({u"--card-path"_s, cards, u"make-card"_s, control});
  EXPECT_EQ(declined.status, 1);
  EXPECT_TRUE(declined.err.contains(u"(answered No)"_s));
  EXPECT_TRUE(QFile::exists(target + u"/extra.txt"_s));
  EXPECT_EQ(Tool({u"--card-path"_s, cards, u"make-card"_s, u"--yes"_s, control}).status, 0);
  EXPECT_FALSE(QFile::exists(target + u"/extra.txt"_s));

  // A card data folder that does not exist.
  const ToolRun no_root = Tool({u"--card-path"_s, cards + u"/none"_s, u"make-card"_s, control});
  EXPECT_EQ(no_root.status, 1);
  EXPECT_TRUE(no_root.err.contains(GetMessage(2082).left(10)));
}

// The channel numbers of the editor sheet's rows in pdftotext's layout:
// number, SP, RP and a time with one decimal at the start of a line.
QList<int> PrintedChannels(const QString& text) {
  static const QRegularExpression row(u"^\\s*(\\d{2,4})\\s+\\S+\\s+\\S+\\s+\\d+\\.\\d\\b"_s,
                                      QRegularExpression::MultilineOption);
  QList<int> channels;
  for (const QRegularExpressionMatch& match : row.globalMatch(text)) {
    channels << match.captured(1).toInt();
  }
  return channels;
}

TEST_F(CliTest, PrintWritesTheChosenSheetsToPdf) {
  WriteSound(u"A01.wav"_s, testing::WaveOfLength(22050, 1, 16, 1500));
  WriteSound(u"B02.wav"_s, testing::WaveOfLength(22050, 1, 16, 250));
  const QJsonObject project{
      {u"series"_s, 4},
      {u"voices"_s, QJsonArray{QJsonObject{{u"NAME"_s, u"A01.wav"_s}, {u"COMENTS"_s, u"始業"_s}},
                               QJsonObject{{u"NAME"_s, u"B02.wav"_s}}}},
      {u"programs"_s,
       QJsonArray{QJsonObject{{u"channel"_s, 0}, {u"Voice"_s, QJsonArray{u"A01.wav"_s}}},
                  QJsonObject{{u"channel"_s, 260}, {u"Voice"_s, QJsonArray{u"B02.wav"_s}}}}},
      {u"card"_s, QJsonObject{{u"CardName"_s, u"ANN01"_s},
                              {u"Forder"_s, u"駅構内"_s},
                              {u"CardSize"_s, u"2"_s},
                              {u"TpMd"_s, u"1"_s},
                              {u"Memo1"_s, u"一番線のご案内"_s}}}};
  const QString json_path = env_.Home() + u"/sounds/p.json"_s;
  ASSERT_TRUE(testing::WriteBytes(json_path, QJsonDocument(project).toJson()));
  const QString control = env_.Home() + u"/sounds/ANN01.wpj"_s;
  ASSERT_EQ(Tool({u"write"_s, u"--from"_s, json_path, control}).status, 0);

  // Every sheet, painted without a display and without a platform chosen.
  unset_environment_ = {u"QT_QPA_PLATFORM"_s, u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s};
  const QString pdf = env_.Home() + u"/all.pdf"_s;
  const ToolRun all = Tool({u"--series"_s, u"4"_s, u"print"_s, control, u"--pdf"_s, pdf});
  ASSERT_EQ(all.status, 0) << all.err.toStdString();
  EXPECT_EQ(all.out, pdf + u" (22 pages)\n"_s);
  const QString text = testing::PdfText(pdf);
  EXPECT_EQ(text.count(u'\f'), 22);  // 1000 channels on 20 pages, control data, voices
  for (const QString& expected :
       {u"エディタ情報"_s, u"コントロールデータ作成情報"_s, u"Sound登録情報"_s,
        u"/Documents/ParlatoneEditor CardData/駅構内/ANN01.wpj"_s, u"32MB"_s, u"ＤＡＴ"_s,
        u"一番線のご案内"_s, u"A01.wav"_s, u"始業"_s, u"1.750"_s /* total seconds */,
        u"WAVE制作会社"_s, u"20 / 20"_s}) {
    EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
  }
  QList<int> channels = PrintedChannels(text);
  ASSERT_EQ(channels.size(), 1000);
  EXPECT_EQ(channels.front(), 1);
  EXPECT_EQ(channels.back(), 1000);

  // The editor sheet of the second tab only.
  unset_environment_.clear();
  const QString tab = env_.Home() + u"/tab2.pdf"_s;
  const ToolRun second = Tool({u"--series"_s, u"4"_s, u"print"_s, control, u"--pdf="_s + tab,
                               u"--sheets"_s, u"editor"_s, u"--page"_s, u"2"_s});
  ASSERT_EQ(second.status, 0) << second.err.toStdString();
  const QString tab_text = testing::PdfText(tab);
  channels = PrintedChannels(tab_text);
  ASSERT_EQ(channels.size(), 250);
  EXPECT_EQ(channels.front(), 251);
  EXPECT_EQ(channels.back(), 500);
  EXPECT_TRUE(tab_text.contains(u"B02.wav"_s));
  EXPECT_FALSE(tab_text.contains(u"A01.wav"_s));
  EXPECT_FALSE(tab_text.contains(u"Sound登録情報"_s));
  EXPECT_TRUE(tab_text.contains(u"チャンネル 251～500"_s));

  const ToolRun two_sheets = Tool({u"--series"_s, u"4"_s, u"print"_s, control, u"--pdf"_s, tab,
                                   u"--sheets"_s, u"voice,control"_s});
  ASSERT_EQ(two_sheets.status, 0) << two_sheets.err.toStdString();
  EXPECT_EQ(testing::PdfText(tab).count(u'\f'), 2);

  // Usage errors exit with 2 and write nothing; failures with 1.
  const QString none = env_.Home() + u"/none.pdf"_s;
  const QList<QStringList> bad = {
      {u"print"_s, control},
      {u"print"_s, u"--pdf"_s, none},
      {u"print"_s, control, u"--pdf"_s},
      {u"print"_s, control, u"--pdf"_s, none, u"--sheets"_s, u"voice,cards"_s},
      {u"print"_s, control, u"--pdf"_s, none, u"--sheets="_s},
      {u"print"_s, control, u"--pdf"_s, none, u"--page"_s, u"2"_s},  // series 1 has one tab
      {u"--series"_s, u"4"_s, u"print"_s, control, u"--pdf"_s, none, u"--page"_s, u"5"_s},
      {u"--series"_s, u"4"_s, u"print"_s, control, u"--pdf"_s, none, u"--page"_s, u"0"_s},
      {u"print"_s, control, u"--pdf"_s, none, u"--landscape"_s},
  };
  for (const QStringList& arguments : bad) {
    const ToolRun run = Tool(arguments);
    EXPECT_EQ(run.status, 2) << arguments.join(u' ').toStdString();
    EXPECT_TRUE(run.err.contains(u"Usage: parlatone [global options] print"_s));
  }
  EXPECT_FALSE(QFile::exists(none));
  const ToolRun unwritable = Tool({u"--series"_s, u"4"_s, u"print"_s, control, u"--pdf"_s,
                                   env_.Home() + u"/no/such/folder/x.pdf"_s});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_TRUE(unwritable.err.contains(u"cannot write"_s));
  EXPECT_EQ(Tool({u"print"_s, env_.Home() + u"/missing.wpj"_s, u"--pdf"_s, none}).status, 1);
  EXPECT_FALSE(QFile::exists(none));
}

TEST_F(CliTest, ToMonoAndSilenceEndToEnd) {
  const QString stereo = WriteSound(u"in/st.wav"_s, testing::WaveOfLength(22050, 2, 16, 500));
  WriteSound(u"in/mono.wav"_s, testing::WaveOfLength(22050, 1, 16, 500));
  const QString out = env_.Home() + u"/sounds/st_mono.wav"_s;
  const ToolRun one = Tool({u"to-mono"_s, stereo, out});
  ASSERT_EQ(one.status, 0) << one.err.toStdString();
  EXPECT_EQ(testing::ReadFileBytes(out).size(), 44 + 22050);
  EXPECT_TRUE(one.err.isEmpty());  // no bar without a terminal, nothing to say
  // The output exists now: No without --yes, Yes with it.
  EXPECT_EQ(Tool({u"to-mono"_s, stereo, out}).status, 1);
  EXPECT_EQ(Tool({u"to-mono"_s, u"--yes"_s, stereo, out}).status, 0);
  // A mono file alone is refused.
  const ToolRun mono = Tool({u"to-mono"_s, env_.Home() + u"/sounds/in/mono.wav"_s, out + u"2"_s});
  EXPECT_EQ(mono.status, 1);
  EXPECT_TRUE(mono.err.contains(u"mono.wav はステレオではありません。"_s));
  // A folder: the mono file is skipped, the output folder made with --yes.
  const QString folder_out = env_.Home() + u"/sounds/out"_s;
  EXPECT_EQ(Tool({u"to-mono"_s, u"--folder"_s, env_.Home() + u"/sounds/in"_s, folder_out}).status,
            1);
  const ToolRun folder =
      Tool({u"to-mono"_s, u"--yes"_s, u"--folder"_s, env_.Home() + u"/sounds/in"_s, folder_out});
  ASSERT_EQ(folder.status, 0) << folder.err.toStdString();
  EXPECT_EQ(folder.out, u"1 converted, 1 skipped\n"_s);
  EXPECT_EQ(QDir(folder_out).entryList(QDir::Files), QStringList{u"st.wav"_s});

  const QString silent = env_.Home() + u"/sounds/quiet.wav"_s;
  ASSERT_EQ(Tool({u"silence"_s, silent, u"--seconds"_s, u"2"_s, u"--bits"_s, u"8"_s}).status, 0);
  const QByteArray bytes = testing::ReadFileBytes(silent);
  EXPECT_EQ(bytes.size(), 44 + 2 * 22050);
  EXPECT_EQ(bytes.mid(44), QByteArray(44100, static_cast<char>(128)));
  EXPECT_EQ(Tool({u"silence"_s, silent, u"--seconds"_s, u"1"_s}).status, 1);  // exists: No
  ASSERT_EQ(
      Tool({u"silence"_s, u"--yes"_s, silent, u"--seconds"_s, u"61"_s, u"--rate"_s, u"44100"_s})
          .status,
      0);
  EXPECT_EQ(testing::ReadFileBytes(silent).size(), 44 + 61 * 88200);
  const ToolRun zero = Tool({u"silence"_s, u"--yes"_s, silent, u"--seconds"_s, u"0"_s});
  EXPECT_EQ(zero.status, 1);
  EXPECT_TRUE(zero.err.contains(u"０秒以上の時間を指定してください。"_s));
  EXPECT_EQ(Tool({u"silence"_s, silent, u"--seconds"_s, u"4000"_s}).status, 2);
  EXPECT_EQ(Tool({u"silence"_s, silent, u"--seconds"_s, u"5"_s, u"--bits"_s, u"24"_s}).status, 2);
}

// fit: one report per file in argument order, the good ones written, and the
// outputs registered by the series they were made for.
TEST_F(CliTest, FitWritesWhatTheSeriesRegisters) {
  const QString wide = WriteSound(u"in/駅のご案内.wav"_s, testing::WaveOfLength(32000, 2, 16, 400));
  const QString broken = WriteSound(u"in/broken.wav"_s, "RIFF");
  const QString out = env_.Home() + u"/fitted"_s;
  const ToolRun run = Tool({u"--series"_s, u"1"_s, u"fit"_s, u"--json"_s, out, wide, broken});
  EXPECT_EQ(run.status, 1) << run.err.toStdString();
  ASSERT_EQ(run.array.size(), 2);
  const QJsonObject first = run.array[0].toObject();
  EXPECT_EQ(first.keys(), (QStringList{u"BitsPerSample"_s, u"Channels"_s, u"SampleRate"_s,
                                       u"comment"_s, u"gainDb"_s, u"lengthMs"_s, u"messages"_s,
                                       u"name"_s, u"output"_s, u"source"_s}));
  EXPECT_EQ(first[u"name"_s].toString(), u"VOICE001.wav"_s);
  EXPECT_EQ(first[u"comment"_s].toString(), u"駅のご案内"_s);
  EXPECT_EQ(first[u"SampleRate"_s].toInt(), 22050);
  EXPECT_EQ(first[u"lengthMs"_s].toInt(), 400);
  EXPECT_TRUE(run.array[1].toObject()[u"output"_s].isNull());
  const ToolRun registered = Tool({u"--series"_s, u"1"_s, u"register"_s, out + u"/VOICE001.wav"_s});
  EXPECT_EQ(registered.status, 0) << registered.out.toStdString();
  // The output exists now: kept without --yes, replaced with it.
  EXPECT_EQ(Tool({u"fit"_s, out, wide}).status, 1);
  EXPECT_EQ(Tool({u"fit"_s, u"--yes"_s, out, wide}).status, 0);
  for (const QStringList& bad :
       {QStringList{u"fit"_s, u"--rate"_s, u"48000"_s, out, wide},
        QStringList{u"--series"_s, u"7"_s, u"fit"_s, u"--bitrate"_s, u"100"_s, out, wide},
        QStringList{u"fit"_s, out}}) {
    EXPECT_EQ(Tool(bad).status, 2) << bad.join(u' ').toStdString();
  }
}

// levels: one object a file with the keys sorted, a file that cannot be
// read reported with nulls and exit 1; the second look comes from the cache.
TEST_F(CliTest, LevelsReportsEveryFile) {
  const QString voice = WriteSound(u"in/a.wav"_s, testing::WaveOfLength(22050, 1, 16, 1500));
  const QString broken = WriteSound(u"in/broken.wav"_s, "RIFF");
  const ToolRun run = Tool({u"levels"_s, u"--json"_s, voice, broken});
  EXPECT_EQ(run.status, 1) << run.err.toStdString();
  ASSERT_EQ(run.array.size(), 2);
  const QJsonObject first = run.array[0].toObject();
  EXPECT_EQ(first.keys(),
            (QStringList{u"clipped"_s, u"file"_s, u"leadingSilenceMs"_s, u"lengthMs"_s,
                         u"loudnessLufs"_s, u"peakDb"_s, u"trailingSilenceMs"_s}));
  EXPECT_EQ(first[u"lengthMs"_s].toInt(), 1500);
  EXPECT_TRUE(first[u"loudnessLufs"_s].isDouble());
  EXPECT_TRUE(run.array[1].toObject()[u"lengthMs"_s].isNull());
  EXPECT_EQ(QDir(env_.CacheHome() + u"/parlatone-editor/Levels"_s).entryList(QDir::Files).size(),
            1);
  const ToolRun again = Tool({u"levels"_s, voice});
  EXPECT_EQ(again.status, 0);
  EXPECT_TRUE(again.out.contains(u"LUFS"_s)) << again.out.toStdString();
  EXPECT_EQ(Tool({u"levels"_s}).status, 2);
}

// write-card and verify-card over a plain folder (a card's FAT16 checks are
// the writer's own tests): one JSON object, exit 0 only for a card that
// matches.
TEST_F(CliTest, WriteCardAndVerifyCard) {
  const QString card = env_.Home() + u"/CARD"_s;
  ASSERT_TRUE(testing::WriteBytes(card + u"/C.wpj"_s, "#2\r\n0,a.wav\r\n"));
  ASSERT_TRUE(testing::WriteBytes(card + u"/a.wav"_s, testing::WaveOfLength(22050, 1, 16, 100)));
  const QString target = env_.Home() + u"/target"_s;
  QDir().mkpath(target);
  EXPECT_EQ(Tool({u"write-card"_s, card}).status, 2);
  const ToolRun written = Tool({u"write-card"_s, u"--json"_s, u"--any-filesystem"_s, card, target});
  ASSERT_EQ(written.status, 0) << written.out.toStdString() << written.err.toStdString();
  EXPECT_EQ(written.json.keys(),
            (QStringList{u"clusterBytes"_s, u"files"_s, u"filesystem"_s, u"freeBytes"_s,
                         u"messages"_s, u"neededBytes"_s, u"ok"_s, u"orderOk"_s, u"target"_s}));
  EXPECT_EQ(written.json[u"files"_s].toArray().size(), 2);
  EXPECT_EQ(Tool({u"verify-card"_s, card, target}).status, 0);
  ASSERT_TRUE(testing::WriteBytes(target + u"/a.wav"_s, "changed"));
  const ToolRun changed = Tool({u"verify-card"_s, u"--json"_s, card, target});
  EXPECT_EQ(changed.status, 1);
  EXPECT_FALSE(changed.json[u"ok"_s].toBool());
}

// The tree `cmake --install` makes, as the Debian package lays it out under
// /usr: the installed tool finds its shipped files in the data folder, and
// the demo project loads from there with every sound file.
TEST_F(CliTest, InstalledTreeFindsItsFilesAndLoadsTheDemo) {
  const QString prefix = env_.Home() + u"/prefix"_s;
  QProcess install;
  install.start(QStringLiteral(PARLATONE_CMAKE_COMMAND),
                {u"--install"_s, QStringLiteral(PARLATONE_BUILD_DIR), u"--prefix"_s, prefix});
  ASSERT_TRUE(install.waitForFinished(120000));
  ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();

  const QString data = prefix + u"/share/parlatone-editor"_s;
  const QString share = prefix + u"/share"_s;
  for (const QString& path :
       {prefix + u"/bin/parlatone"_s, prefix + u"/bin/parlatone-editor"_s,
        prefix + u"/libexec/parlatone-editor/parlatone-print"_s, data + u"/elementPT.elm"_s,
        data + u"/examples/demo/DEMO.wpj"_s, share + u"/applications/jp.parlatone.editor.desktop"_s,
        share + u"/metainfo/jp.parlatone.editor.metainfo.xml"_s,
        share + u"/icons/hicolor/scalable/apps/jp.parlatone.editor.svg"_s,
        share + u"/icons/hicolor/48x48/apps/jp.parlatone.editor.png"_s,
        share + u"/doc/parlatone-editor/guide.ja.md"_s,
        share + u"/doc/parlatone-editor/guide.en.md"_s}) {
    EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
  }
  // The two documents of the settings dialog go along when the sources have them.
  for (const QString& name : {u"kyodaku.txt"_s, u"Release.txt"_s}) {
    EXPECT_EQ(QFile::exists(data + u'/' + name),
              QFile::exists(QStringLiteral(PARLATONE_SOURCE_DIR "/resources/") + name))
        << name.toStdString();
  }

  const QString tool = prefix + u"/bin/parlatone"_s;
  const ToolRun settings = RunProgram(tool, {u"settings"_s});
  ASSERT_EQ(settings.status, 0) << settings.err.toStdString();
  EXPECT_EQ(settings.json.value(u"elementFile"_s).toString(), data + u"/elementPT.elm"_s);
  EXPECT_EQ(settings.json.value(u"licenceFile"_s).toString(), data + u"/kyodaku.txt"_s);
  EXPECT_EQ(settings.json.value(u"releaseFile"_s).toString(), data + u"/Release.txt"_s);
  // A document missing from this installation is named where it belongs
  // here, not in the prefix the program was built for.
  QFile::remove(data + u"/Release.txt"_s);
  const ToolRun without = RunProgram(tool, {u"settings"_s});
  EXPECT_EQ(without.json.value(u"releaseFile"_s).toString(), data + u"/Release.txt"_s);

  const QString demo = data + u"/examples/demo"_s;
  const ToolRun shown = RunProgram(tool, {u"show"_s, u"--json"_s, demo + u"/DEMO.wpj"_s});
  ASSERT_EQ(shown.status, 0) << shown.err.toStdString();
  const QJsonArray voices = shown.json.value(u"voices"_s).toArray();
  EXPECT_EQ(voices.size(), QDir(demo).entryList({u"*.wav"_s}, QDir::Files).size());
  for (const QJsonValue& voice : voices) {
    const QString path = voice.toObject().value(u"FilePath"_s).toString();
    EXPECT_EQ(QFileInfo(path).absolutePath(), demo);
    EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
  }
  // The print command finds its helper in the installed tree.
  const QString pdf = env_.Home() + u"/demo.pdf"_s;
  const ToolRun printed = RunProgram(
      tool, {u"print"_s, demo + u"/DEMO.wpj"_s, u"--pdf"_s, pdf, u"--sheets"_s, u"voice"_s});
  EXPECT_EQ(printed.status, 0) << printed.err.toStdString();
  EXPECT_TRUE(QFileInfo(pdf).size() > 0);
}

}  // namespace
}  // namespace parlatone
