// SPDX-License-Identifier: GPL-3.0-or-later
#include "controlfile/control_file_loader.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

#include "controlfile/control_file_writer.h"
#include "core/cp932.h"
#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "support/card_project.h"
#include "support/control_file_text.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::kControlFileHeader;

class LoaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSoundBackend(MakeSdlSoundBackend());
    UseMode(1);
  }

  void UseMode(int mode) { testing::UseSeries(project_, mode); }

  QString Sound(const QString& name, const QByteArray& bytes) {
    return testing::FileIn(dir_, name, bytes);
  }
  QString Wave(const QString& name, uint32_t rate = 22050, int ms = 500) {
    return Sound(name, testing::WaveOfLength(rate, 1, 16, ms));
  }

  // A control file from text in the given order; the header is added in front.
  QString ControlFile(const QString& body, const QString& name = u"CARD.wpj"_s,
                      const QString& header = kControlFileHeader) {
    return Sound(name, cp932::Encode(header + body));
  }

  // The answers are those to the questions the load may ask.
  bool Load(const QString& path, std::initializer_list<MessageAnswer> answers = {}) {
    op_ = {};
    for (const MessageAnswer answer : answers) {
      op_.Answer(answer);
    }
    result_ = LoadControlFile(project_, path, op_);
    EXPECT_TRUE(op_.AllAnswersUsed());
    return result_.loaded;
  }

  // What a load replaces, to see that a failed one did not.
  auto Current() const {
    return std::tuple(project_.voices, project_.card, project_.programs, project_.VoicesRegistered);
  }

  QTemporaryDir dir_;
  Project project_;
  testing::ScriptedOperator op_;
  LoadResult result_;
};

// Every section, with CR LF, lone CR or lone LF line ends.
TEST_F(LoaderTest, SectionsVoicesChannelsCardAndCommentsWithAnyLineEnd) {
  Wave(u"a01.wav"_s, 22050, 1500);
  Wave(u"a02.wav"_s, 22050, 1250);
  QString body =
      u"#2\r\n0,a01.wav\r\n1,a02.wav\r\n#3\r\n0,1,2,0,1\r\n1*\r\n2,2,3,1\r\n\r\n4,3,1,1,0\r\n"
      u"5,1,2,0\r\n#0\r\nowner lines are not read back\r\n#1\r\n"_s;
  CardInfo card;
  for (int field = 0; field < CardInfo::kFieldCount; ++field) {
    card.Field(field) = u"c%1"_s.arg(field);
    body += card.Field(field) + u"\r\n"_s;
  }
  body += u"beyond the 27th line\r\n#S\r\nチャイム\r\n\r\n"_s;
  for (const QString& end : {u"\r\n"_s, u"\r"_s, u"\n"_s}) {
    SCOPED_TRACE(end.size() == 2 ? "CR LF" : end == u"\r"_s ? "CR" : "LF");
    ASSERT_TRUE(Load(Sound(
        u"CARD.wpj"_s, cp932::Encode(QString(kControlFileHeader + body).replace(u"\r\n"_s, end)))));
    EXPECT_TRUE(op_.shown.empty());
    ASSERT_EQ(project_.voices.size(), 2);
    EXPECT_TRUE(project_.VoicesRegistered);
    EXPECT_EQ(project_.voices[0],
              (VoiceRecord{u"a01.wav"_s, u"22.05KHz"_s, u"16bit"_s, u"Mono"_s, u"1.500"_s,
                           QString::number(44 + 66150), dir_.filePath(u"a01.wav"_s), u"チャイム"_s,
                           QString(), QString(), QStringList()}));
    // Times from the voices, each rounded first (1.250 to 1.3); whole ones in the plain form.
    EXPECT_EQ(project_.programs[0],
              (ProgramRecord{u"1"_s, u"2"_s, u"5.6"_s, {u"a01.wav"_s, u"a02.wav"_s}}));
    EXPECT_EQ(project_.programs[1], ProgramRecord());
    EXPECT_EQ(project_.programs[2], (ProgramRecord{u"2"_s, u"3"_s, u"3.9"_s, {u"a02.wav"_s}}));
    EXPECT_EQ(project_.programs[4],
              (ProgramRecord{u"3"_s, u"1"_s, u"2.8"_s, {u"a02.wav"_s, u"a01.wav"_s}}));
    EXPECT_EQ(project_.programs[5], (ProgramRecord{u"1"_s, u"2"_s, u"3"_s, {u"a01.wav"_s}}));
    EXPECT_EQ(project_.card, card);
  }
}

TEST_F(LoaderTest, ExtensionChoosesTheSoundFolderAndTheSeries) {
  Wave(u"a.wav"_s);
  const QString body = u"#2\r\n0,a.wav\r\n"_s;
  // A control file of the other series: refused silently, nothing touched.
  project_.card.CardName = u"kept"_s;
  EXPECT_FALSE(Load(ControlFile(body, u"X.zpx"_s)) || Load(ControlFile(body, u"X.txt"_s)));
  EXPECT_TRUE(op_.shown.empty());
  EXPECT_EQ(project_.card.CardName, u"kept"_s);
  // Extensions compare without regard to case.
  EXPECT_TRUE(Load(ControlFile(body, u"X.WPJ"_s)));
  // A temporary save file looks in the WavePath folder, then beside itself.
  QTemporaryDir elsewhere;
  project_.settings.WavePath = elsewhere.path();
  EXPECT_TRUE(Load(ControlFile(body, u"X.wpg"_s)));
  EXPECT_EQ(project_.voices[0].FilePath, dir_.filePath(u"a.wav"_s));
}

// A sound file found nowhere refuses the load, naming the file and every
// folder looked in; then the operator may open the project with such voices
// kept by name (asked once), or keep the project being edited.
TEST_F(LoaderTest, MissingSoundsRefuseThenMayBeKeptByName) {
  Wave(u"here.wav"_s, 22050, 1000);
  QTemporaryDir elsewhere;
  project_.settings.WavePath = elsewhere.path();
  const QString path = ControlFile(
      u"#2\r\n0,gone.wav\r\n1,here.wav\r\n2,lost.wav\r\n#3\r\n0,1,2,0,1\r\n#S\r\nnote\r\n"_s,
      u"P.wpg"_s);
  project_.card.CardName = u"being edited"_s;
  const auto before = Current();
  for (const MessageAnswer answer : {MessageAnswer::kNo, MessageAnswer::kYes}) {
    const bool yes = answer == MessageAnswer::kYes;
    EXPECT_EQ(Load(path, {answer}), yes);
    ASSERT_EQ(op_.shown.size(), yes ? 3u : 2u);
    EXPECT_EQ(op_.shown[0].text,
              u"次のSoundファイルが見つかりません。\r\ngone.wav\r\n\r\n探した場所：\r\n"_s +
                  elsewhere.path() + u"\r\n"_s + dir_.path() + u"\r\n\r\n"_s + GetMessage(2039));
    EXPECT_EQ(op_.shown[1].buttons, MessageButtons::kYesNo);
    EXPECT_EQ(op_.shown[1].default_answer, MessageAnswer::kNo);
    if (!yes) {
      EXPECT_TRUE(Current() == before);
      continue;
    }
    ASSERT_EQ(project_.voices.size(), 3);
    const QStringList folders = {elsewhere.path(), dir_.path()};
    const std::tuple<QString, QStringList, QString> voices[] = {
        {u"gone.wav"_s, folders, QString()},
        {u"here.wav"_s, QStringList(), u"1.000"_s},
        {u"lost.wav"_s, folders, QString()}};
    for (qsizetype v = 0; v < 3; ++v) {
      const VoiceRecord& voice = project_.voices[v];
      EXPECT_EQ(std::tuple(voice.NAME, voice.missing_from, voice.SEC), voices[v]);
    }
    EXPECT_EQ(project_.voices[0].COMENTS, u"note"_s);
    EXPECT_EQ(project_.programs[0],
              (ProgramRecord{u"1"_s, u"2"_s, u"2"_s, {u"gone.wav"_s, u"here.wav"_s}}));
    EXPECT_EQ(result_.missing, (QStringList{u"gone.wav"_s, u"lost.wav"_s}));
    EXPECT_EQ(MissingVoiceNames(project_), result_.missing);
    // The notice after the load names every voice kept so.
    EXPECT_TRUE(op_.shown[2].text.endsWith(u"\r\ngone.wav\r\nlost.wav"_s));
    EXPECT_EQ(result_.warnings, QStringList{op_.shown[2].text});
  }
}

// A temporary save of a project whose sounds came from several folders
// loads again with every voice, wherever the save and WavePath are.
TEST_F(LoaderTest, TemporarySaveFindsItsSoundsWhereTheyWereRegistered) {
  QTemporaryDir first;
  QTemporaryDir second;
  for (const auto& [folder, name] :
       {std::pair{first.path(), u"one.wav"_s}, std::pair{second.path(), u"two wav.wav"_s}}) {
    VoiceRecord voice;
    voice.NAME = name;
    voice.FilePath = folder + u'/' + name;
    ASSERT_TRUE(testing::WriteBytes(voice.FilePath, testing::WaveOfLength(22050, 1, 16, 300)));
    project_.voices << voice;
  }
  project_.VoicesRegistered = true;
  project_.programs[0].Voice[0] = u"two wav.wav"_s;
  const QString saved = dir_.filePath(u"keep.wpg"_s);
  ASSERT_TRUE(WriteTemporarySaveFile(project_, saved, true));
  // The devices' file stays as it always was: no paths in a control file.
  EXPECT_FALSE(ControlFileText(project_, true, QDateTime()).contains(u"SOUND="_s));
  project_.ClearProject();
  project_.ResetPrograms();
  project_.settings.WavePath = dir_.path();  // holds neither sound
  ASSERT_TRUE(Load(saved)) << op_.Numbers().size();
  ASSERT_EQ(project_.voices.size(), 2);
  EXPECT_EQ(project_.voices[0].FilePath + u'|' + project_.voices[1].FilePath,
            first.path() + u"/one.wav|"_s + second.path() + u"/two wav.wav"_s);
  EXPECT_EQ(project_.programs[0].Voice[0], u"two wav.wav"_s);
}

TEST_F(LoaderTest, SeriesAndCapacityChecksAbandonTheLoadWithTheirMessage) {
  Wave(u"low.wav"_s, 32000);
  Wave(u"high.wav"_s, 44100);
  const QString path = ControlFile(u"#2\r\n0,low.wav\r\n1,high.wav\r\n#3\r\n0,1,1,0,1\r\n"_s);
  UseMode(2);
  ASSERT_TRUE(Load(path));
  const auto loaded = Current();
  // A file that is there but that the series refuses is no missing one: no offer.
  UseMode(6);
  EXPECT_FALSE(Load(path));
  ASSERT_EQ(op_.Numbers(), std::vector<int>{2105});
  EXPECT_EQ(op_.shown[0].title_number, msg::kTitleCaution);
  EXPECT_TRUE(Current() == loaded);
  // A 48 kHz 8-bit file that registration would refuse loads in series 0.
  Sound(u"hq.wav"_s, testing::WaveOfLength(48000, 1, 8, 100));
  UseMode(0);
  EXPECT_TRUE(Load(ControlFile(u"#2\r\n0,hq.wav\r\n"_s)));
  // The MP3 capacity is checked while loading, too.
  UseMode(7);
  project_.settings.FileCapacity = 0;                       // 49000 bytes
  const QByteArray frames = testing::Mp3Frames(60, {128});  // 25020 bytes
  Sound(u"a.mp3"_s, frames);
  Sound(u"b.mp3"_s, frames);
  const QString mp3 = ControlFile(u"#2\r\n0,a.mp3\r\n1,b.mp3\r\n"_s, u"C.zpx"_s);
  const auto before_mp3 = Current();
  EXPECT_FALSE(Load(mp3));
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2517});
  EXPECT_TRUE(Current() == before_mp3);
  project_.settings.FileCapacity = 1;
  ASSERT_TRUE(Load(mp3));
  EXPECT_EQ(project_.voices[0].MPEG, u"1.0"_s);  // the MP3 fields are read
}

TEST_F(LoaderTest, VoiceNumbersResizeTheListAndTheSeriesLimitsIt) {
  Wave(u"a.wav"_s);
  Wave(u"b.wav"_s);
  Wave(u"c.wav"_s);
  ASSERT_TRUE(Load(
      ControlFile(u"#2\r\n0,a.wav\r\n1,b.wav\r\n2,c.wav\r\n1,b.wav\r\n#S\r\nx\r\ny\r\nz\r\n"_s)));
  ASSERT_EQ(project_.voices.size(), 2);
  EXPECT_EQ(project_.voices[1].COMENTS, u"y"_s);
  // Lines ending in "*" and empty lines are skipped.
  ASSERT_TRUE(Load(ControlFile(u"#2\r\n0,a.wav\r\n\r\n1*\r\n1,c.wav,extra,fields\r\n"_s)));
  EXPECT_EQ(project_.voices[1].NAME, u"c.wav"_s);
  // A file of the big series loads its first 255 channels in a 255-channel series.
  QString voices = u"#2\r\n"_s;
  QString channels = u"#3\r\n"_s;
  for (int v = 0; v < 300; ++v) {
    Sound(u"v%1.wav"_s.arg(v), testing::WaveOfLength(22050, 1, 8, 10));
    voices += u"%1,v%1.wav\r\n"_s.arg(v);
    channels += u"%1,1,1,%2\r\n"_s.arg(v).arg(v < 255 ? v : 0);
  }
  ASSERT_TRUE(Load(ControlFile(voices + channels)));
  EXPECT_EQ(project_.voices.size(), 255);
  EXPECT_EQ(project_.programs[254].Voice[0], u"v254.wav"_s);
  EXPECT_TRUE(project_.programs[255].Voice[0].isEmpty());
  // Ignored, but not without a word: one notice after the load.
  const QString left_out =
      u"このシリーズのチャンネル数（255）を超える 45 チャンネルと 45 個のSoundは読み込みませんでした。"_s;
  EXPECT_EQ(result_.warnings, QStringList{left_out});
  ASSERT_EQ(op_.shown.size(), 1u);
  EXPECT_EQ(op_.shown[0].text, left_out);
  // A channel beyond the series among the first lines is left out as well.
  ASSERT_TRUE(Load(ControlFile(u"#2\r\n0,v0.wav\r\n#3\r\n0,1,1,0\r\n700,1,1,0\r\n"_s)));
  EXPECT_TRUE(project_.programs[700].Voice[0].isEmpty());
  EXPECT_EQ(
      result_.warnings,
      QStringList{
          u"このシリーズのチャンネル数（255）を超える 1 チャンネルは読み込みませんでした。"_s});
}

TEST_F(LoaderTest, EarlierCardLayoutAndModelLines) {
  const QString card =
      u"#1\r\nFOLDER\r\n2.5\r\nCOMPANY\r\nPERSON\r\n2008/12/31\r\nNAME\r\n"
      u"STUDIO\r\nANNOUNCER\r\nRECDATE\r\nnine\r\nten\r\neleven\r\ntwelve\r\n"_s;
  const QString lower_model = QString(kControlFileHeader).replace(u"LYR-KX3-3J"_s, u"lyr-kx3-3j"_s);
  // The ninth and tenth lines are folded away; 2.5 becomes a whole number, halves to even.
  CardInfo old;
  old.Forder = u"FOLDER"_s;
  old.CardSize = u"2"_s;
  old.CardCom = u"COMPANY"_s;
  old.CardPerson = u"PERSON"_s;
  old.CardDate = u"2008/12/31"_s;
  old.CardName = u"NAME"_s;
  old.RecStdio = u"STUDIO"_s;
  old.RecAna = u"ANNOUNCER"_s;
  old.RecDate = u"RECDATE"_s;
  old.Memo[0] = u"eleven\r\ntwelve"_s;
  for (const QString& header : {lower_model, u"KX3\r\n"_s}) {
    ASSERT_TRUE(Load(ControlFile(card, u"OLD.wpj"_s, header)));
    EXPECT_EQ(project_.card, old);
  }
  // The other current models.
  for (const QString& model : {u"LYR-KX3-5J"_s, u"LYR-KX3-4J"_s, u"LYR-KX3-J-3 extra"_s}) {
    ASSERT_TRUE(Load(ControlFile(u"#1\r\nA\r\nB\r\n"_s, u"M.wpj"_s, model + u"\r\n"_s)));
    EXPECT_EQ(project_.card.CardName, u"A"_s) << model.toStdString();
  }
  // A line that looks like a marker is one.
  Wave(u"a.wav"_s);
  ASSERT_TRUE(
      Load(ControlFile(u"#2\r\n0,a.wav\r\n#1\r\n#Sfirst comment\r\nnot a card field\r\n"_s)));
  EXPECT_TRUE(project_.card.CardName.isEmpty());
  EXPECT_EQ(project_.voices[0].COMENTS, u"not a card field"_s);
}

// A file that cannot be loaded leaves the project being edited as it was;
// message 2507 names the file and the line or the reason. Bad voice numbers
// and paths for names are rows of the bad-input corpus, not of this table.
TEST_F(LoaderTest, FailedLoadsKeepTheProjectAndSayWhereAndWhy) {
  Wave(u"a.wav"_s);
  ASSERT_TRUE(Load(ControlFile(u"#2\r\n0,a.wav\r\n#3\r\n0,1,1,0\r\n#1\r\nKEPT\r\n"_s)));
  project_.PageEdited[0] = true;
  const auto kept = Current();
  // The header is seven lines, "#1" and "PARTIAL" lines 8 and 9: the bodies start at line 10.
  const std::tuple<QString, int, QString> bodies[] = {
      {u"#2\r\n30000,a.wav\r\n"_s, 11, u"範囲外のSound番号 30000"_s},
      {u"#2\r\n0\r\n"_s, 11, u"Soundファイル名のない行"_s},
      {u"#2\r\n0,a.wav\r\n2,a.wav\r\n"_s, 12, u"Sound番号 2 の前の欠番"_s},
      {u"#2\r\n0,a.wav\r\n#3\r\n1000,1,1,0\r\n"_s, 13, u"範囲外のチャンネル番号 1000"_s},
      {u"#2\r\n0,a.wav\r\n#3\r\n0,1,1,1\r\n"_s, 13, u"登録のないSound番号 1"_s},
      {u"#2\r\n0,a.wav\r\n#3\r\n0,1,x,0\r\n"_s, 13, u"数値でない値「x」"_s},
      {u"#2\r\n0,a.wav\r\n#3\r\n0,1,1"_s + u",0"_s.repeated(26) + u"\r\n"_s, 13,
       u"25 個を超えるSound"_s},
      {u"#S\r\ncomment without voices\r\n"_s, 11, u"Soundのないコメント行"_s},
  };
  const QString bad = dir_.filePath(u"BAD.wpj"_s);
  for (const auto& [body, line, reason] : bodies) {
    SCOPED_TRACE(body.toStdString());
    ASSERT_TRUE(testing::WriteBytes(
        bad, cp932::Encode(kControlFileHeader + u"#1\r\nPARTIAL\r\n"_s + body)));
    EXPECT_FALSE(Load(bad));
    EXPECT_EQ(op_.Numbers(), std::vector<int>{2507});
    EXPECT_EQ(op_.shown.at(0).title_number, msg::kTitleError);
    EXPECT_EQ(op_.shown.at(0).text, GetMessage(2507) + u"\r\n"_s + QDir::toNativeSeparators(bad) +
                                        u"\r\n%1 行目："_s.arg(line) + reason);
    EXPECT_EQ(result_.line, line);
    EXPECT_TRUE(Current() == kept);
  }
  // Whole files: no line to blame, a reason.
  ASSERT_TRUE(QDir(dir_.path()).mkdir(u"FOLDER.wpj"_s));
  const std::pair<QString, QString> files[] = {
      {dir_.filePath(u"missing.wpj"_s), u"ファイルを開けません"_s},
      {dir_.filePath(u"FOLDER.wpj"_s), u"ファイルを"_s},
      {Sound(u"EMPTY.wpj"_s, QByteArray()), u"ファイルが空です"_s},
      {Sound(u"noise.wpj"_s, "\x89PNG\r\n\x1a\n\0\0"_ba),
       u"コントロールファイルの区切り行（#0～#3、#S）がありません"_s}};
  for (const auto& [path, reason] : files) {
    SCOPED_TRACE(path.toStdString());
    EXPECT_FALSE(Load(path));
    ASSERT_EQ(op_.Numbers(), std::vector<int>{2507});
    EXPECT_TRUE(op_.shown[0].text.startsWith(GetMessage(2507) + u"\r\n"_s +
                                             QDir::toNativeSeparators(path) + u"\r\n"_s + reason));
    EXPECT_EQ(result_.line, 0);
    EXPECT_TRUE(Current() == kept);
  }
  EXPECT_TRUE(project_.PageEdited[0]);
}

// Writes a rich project in every series and loads it back.
TEST_F(LoaderTest, WriteThenLoadGivesTheProjectBack) {
  for (int mode = 0; mode < kSeriesCount; ++mode) {
    UseMode(mode);
    project_.ResetPrograms();
    project_.ClearProject();
    const bool mp3 = IsMp3Series(mode);
    const int voices = MaxVoiceIndex(mode) + 2;
    for (int v = 0; v < voices; ++v) {
      const QString name = u"m%1v%2.%3"_s.arg(mode).arg(v).arg(mp3 ? u"mp3"_s : u"wav"_s);
      Sound(name, mp3 ? testing::Mp3Frames(10 + v, {64}, 22050, true)
                      : testing::WaveOfLength(mode == 6 ? 32000 : 22050, 1, mode == 0 ? 8 : 16,
                                              100 * (v + 1)));
      VoiceRecord voice;
      voice.NAME = name;
      voice.COMENTS = v % 2 == 0 ? u"案内%1"_s.arg(v) : QString();
      project_.voices.append(voice);
    }
    project_.VoicesRegistered = true;
    const int last = project_.ChannelCount - 1;
    ProgramRecord& record = project_.programs[static_cast<size_t>(last)];
    for (int slot = 0; slot <= MaxVoiceIndex(mode); ++slot) {
      record.Voice[static_cast<size_t>(slot)] = project_.voices[slot + 1].NAME;
    }
    record.SP = u"3"_s;
    record.RP = u"2"_s;
    for (int field = 0; field < CardInfo::kFieldCount; ++field) {
      project_.card.Field(field) = u"値%1 ①"_s.arg(field);
    }
    const QList<VoiceRecord> written_voices = project_.voices;
    const CardInfo written_card = project_.card;
    ProgramRecord written_record = record;
    const QString path = dir_.filePath(u"ROUND%1.%2"_s.arg(mode).arg(ControlFileExtension(mode)));
    ASSERT_TRUE(WriteControlFile(project_, path, AnyChannelInUse(project_)));

    ASSERT_TRUE(Load(path)) << mode;
    EXPECT_EQ(project_.card, written_card) << mode;
    ASSERT_EQ(project_.voices.size(), written_voices.size()) << mode;
    for (qsizetype v = 0; v < written_voices.size(); ++v) {
      EXPECT_EQ(project_.voices[v].NAME, written_voices[v].NAME);
      EXPECT_EQ(project_.voices[v].COMENTS, written_voices[v].COMENTS);
    }
    written_record.Time = project_.ChannelTime(last).PlainText();
    EXPECT_EQ(record, written_record) << mode;
  }
}

TEST(WholeNumbers, AsTheFilesWriteThem) {
  // Halves go to the even neighbour; no number, or none that fits 16 bits, has no value.
  const std::pair<QString, std::optional<int>> cases[] = {
      {u"12"_s, 12},   {u" 3 "_s, 3}, {u"2.5"_s, 2},    {u"3.5"_s, 4}, {u"-1"_s, -1},
      {QString(), {}}, {u"1x"_s, {}}, {u"40000"_s, {}}, {u"nan"_s, {}}};
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(ToWholeNumber(text), value) << text.toStdString();
  }
}

}  // namespace
}  // namespace parlatone
