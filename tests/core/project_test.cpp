#include "core/project.h"
#include "core/card_data.h"
#include "core/messages.h"
#include "core/operator.h"
#include "core/paths.h"
#include "core/series.h"
#include "core/settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

VoiceRecord Voice(const QString& name, const QString& seconds) {
  VoiceRecord voice;
  voice.NAME = name;
  voice.SEC = seconds;
  return voice;
}

void UseMode(Project& project, int mode) {
  project.settings.Mode = mode;
  DeriveSeriesLimits(project);
}

TEST(ChannelTime, VoiceTimesRoundHalfAwayFromZeroOnTheirDigits) {
  // 1.05, 2.675 and 0.15 sit just below the half as binary floats. Blank, empty and unreadable
  // lengths count as nothing.
  const std::pair<QString, qint64> cases[] = {
      {u"2.449"_s, 24}, {u"2.450"_s, 25},  {u"1.05"_s, 11}, {u"2.675"_s, 27}, {u"0.15"_s, 2},
      {u"0.049"_s, 0},  {u"-1.25"_s, -13}, {u"12"_s, 120},  {u".5"_s, 5},     {u" 3.000 "_s, 30},
      {u"1e1"_s, 100},  {QString(), 0},    {u" "_s, 0},     {u"abc"_s, 0},    {u"."_s, 0}};
  for (const auto& [text, tenths] : cases) {
    EXPECT_EQ(SecondsTextToTenths(text), tenths) << text.toStdString();
  }
  // Absurd lengths saturate instead of wrapping round.
  EXPECT_GT(SecondsTextToTenths(u"99999999999999999999999999"_s), 0);
}

TEST(ChannelTime, RepeatTimesTheSumOfRoundedVoiceTimesInTheSeriesSlots) {
  Project project;
  UseMode(project, 1);
  project.voices = {Voice(u"a.wav"_s, u"1.050"_s), Voice(u"b.wav"_s, u"0.150"_s),
                    Voice(u"c.wav"_s, u" "_s)};
  ProgramRecord& channel = project.programs[3];
  channel.Voice[0] = u"a.wav"_s;
  channel.Voice[1] = u"b.wav"_s;
  channel.Voice[2] = u"c.wav"_s;
  channel.Voice[3] = u"gone.wav"_s;  // no longer registered: counts nothing
  channel.RP = u"3"_s;
  EXPECT_EQ(project.ChannelTime(3).tenths, 39);

  channel.RP = u"2"_s;
  project.voices[0].SEC = u"3.45"_s;  // 3.5 each time
  project.voices[1].SEC = u"0"_s;
  EXPECT_EQ(project.ChannelTime(3).PlainText(), u"7"_s);
  EXPECT_EQ(project.ChannelTime(3).OneDecimalText(), u"7.0"_s);

  EXPECT_EQ(ChannelTenths{-5}.OneDecimalText(), u"0.0"_s);
  EXPECT_EQ(ChannelTenths{-15}.PlainText(), u"-1.5"_s);
  EXPECT_EQ(project.ChannelTime(-1).tenths, 0);
  EXPECT_EQ(project.ChannelTime(kProgramRecordCount).tenths, 0);
  // Only the series' voice slots play: 24 against 8.
  project.voices[0].SEC = u"1.0"_s;
  for (int slot = 0; slot < 24; ++slot) {
    project.programs[0].Voice[slot] = u"a.wav"_s;
  }
  UseMode(project, 3);
  EXPECT_EQ(project.ChannelTime(0).tenths, 240);
  UseMode(project, 1);
  EXPECT_EQ(project.ChannelTime(0).tenths, 80);
}

// Voice lookup is exact (case and width count) and finds the first of equal names; a channel is
// in use when its first slot is; the project is edited when any page is.
TEST(Project, FindVoiceChannelInUseAndEdited) {
  Project project;
  project.voices = {Voice(u"A.wav"_s, {}), Voice(u"ａ.wav"_s, {}), Voice(u"a.wav"_s, {}),
                    Voice(u"a.wav"_s, {})};
  EXPECT_EQ(project.FindVoice(u"a.wav"_s), 2);
  EXPECT_FALSE(project.FindVoice(u"A.WAV"_s).has_value());
  EXPECT_FALSE(project.FindVoice(QString()).has_value());
  project.programs[5].Voice[1] = u"b.wav"_s;
  EXPECT_FALSE(project.ChannelInUse(5));
  project.programs[5].Voice[0] = u"a.wav"_s;
  EXPECT_TRUE(project.ChannelInUse(5));
  EXPECT_FALSE(project.ChannelInUse(1000));
  EXPECT_FALSE(project.IsEdited());
  project.PageEdited[3] = true;
  EXPECT_TRUE(project.IsEdited());
  project.ClearPageEdited();
  EXPECT_FALSE(project.IsEdited());
}

TEST(Project, ResetProgramsAndClearProject) {
  Project project;
  UseMode(project, 4);
  for (auto& record : project.programs) {
    record.SP = u"2"_s;
    record.Voice[0] = u"x.wav"_s;
  }
  project.ResetPrograms(1);
  EXPECT_EQ(project.programs[249].SP, u"2"_s);
  EXPECT_EQ(project.programs[250], ProgramRecord());
  EXPECT_EQ(project.programs[500].SP, u"2"_s);

  // After leaving the 1000-channel series only the channels in use are reset;
  // the rest keep what they held and are never shown or written.
  UseMode(project, 1);
  project.ResetPrograms();
  EXPECT_EQ(project.programs[0], ProgramRecord());
  EXPECT_EQ(project.programs[254], ProgramRecord());
  EXPECT_EQ(project.programs[500].Voice[0], u"x.wav"_s);
  // ClearProject empties voices and card but not programs; listeners see the cleared state.
  int heard = 0;
  project.AddClearedListener([&] {
    ++heard;
    EXPECT_TRUE(project.voices.isEmpty());  // listeners see the cleared state
  });
  project.voices = {Voice(u"a.wav"_s, u"1"_s)};
  project.VoicesRegistered = true;
  project.programs[0].Voice[0] = u"a.wav"_s;
  for (int i = 0; i < CardInfo::kFieldCount; ++i) {
    project.card.Field(i) = QString::number(i);
  }
  const int gone = project.AddClearedListener([&] { ADD_FAILURE() << "a removed listener heard"; });
  project.RemoveClearedListener(gone);
  project.ClearProject();
  EXPECT_EQ(heard, 1);
  EXPECT_FALSE(project.VoicesRegistered);
  EXPECT_EQ(project.card, CardInfo());
  EXPECT_EQ(project.programs[0].Voice[0], u"a.wav"_s);
}

TEST(Project, CardFieldsInControlFileOrder) {
  CardInfo card;
  for (int i = 0; i < CardInfo::kFieldCount; ++i) {
    card.Field(i) = QString::number(i + 1);  // the line numbers of the card section
  }
  const std::pair<QString CardInfo::*, QString> fields[] = {{&CardInfo::CardName, u"1"_s},
                                                            {&CardInfo::WaveCom, u"10"_s},
                                                            {&CardInfo::CardBaitaiName, u"24"_s}};
  for (const auto& [field, line] : fields) {
    EXPECT_EQ(card.*field, line);
  }
  EXPECT_EQ(card.Memo, (std::array<QString, 3>{u"25"_s, u"26"_s, u"27"_s}));
}

// SP and RP hold item numbers from 1; one the list does not hold shows as stored.
TEST(Project, ItemTextNamesTheListEntryFromOne) {
  QStringList shown;
  for (const QString& item : {u"1"_s, u"2"_s, u"3"_s, u"0"_s, u"x"_s}) {
    shown << ItemText({u"A"_s, u"B"_s}, item);
  }
  EXPECT_EQ(shown, (QStringList{u"A"_s, u"B"_s, u"3"_s, u"0"_s, u"x"_s}));
}

// The control file goes into the card data folder, named by the series; every
// series' control file is known by its suffix, whatever the letter case.
TEST(CardData, ControlFilePathAndTheSeriesExtensions) {
  Project project;
  UseMode(project, 7);
  project.settings.CardPath = u"/cards/"_s;
  project.card.CardName = u"ANN01"_s;
  project.card.Forder = u"駅"_s;
  EXPECT_EQ(ControlFilePath(project), u"/cards/駅/ANN01.zpx"_s);
  EXPECT_EQ((std::array{IsControlFileExtension(u"WPJ"_s), IsControlFileExtension(u"mpi"_s),
                        IsProjectFileExtension(u"mpi"_s), IsProjectFileExtension(u"wav"_s)}),
            (std::array{true, false, true, false}));
}

// The limits come from the series table; the big series shows how they are derived from it
// (channels over pages). An out-of-range mode is series 0. The MP3 capacity limits by index in
// that series only. An empty rate list (MP3) accepts every rate; 48 kHz is the 8-bit series'.
TEST(Series, LimitsCaptionsFiltersCapacityAndRates) {
  Project project;
  UseMode(project, 4);
  EXPECT_EQ((std::array{project.ChannelCount, project.ChannelsPerPage, project.GridColumns,
                        PageCount(4), MaxVoiceIndex(4)}),
            (std::array{1000, 250, 13, 4, 7}));
  EXPECT_EQ(Series(8).mode, 0);
  EXPECT_EQ(Series(-1).mode, 0);
  EXPECT_EQ(PageCaption(4, 3), u"751～1000"_s);
  EXPECT_EQ(PageCaption(1, 0), u"1～255"_s);
  EXPECT_EQ(ProjectOpenFilter(4).pattern, u"*.wpj;*.wpg"_s);
  EXPECT_EQ(CapacityLimit(7, 0), 49000);
  EXPECT_EQ(CapacityLimit(7, -1), 2147483647);
  EXPECT_EQ(CapacityLimit(1, 0), 2147483647);
  for (int mode = 0; mode < kSeriesCount; ++mode) {
    EXPECT_EQ(AcceptsSampleRate(mode, 48000), mode == 0 || mode == 7) << mode;
  }
  EXPECT_FALSE(AcceptsSampleRate(6, 44100));  // LYR-4 stops at 32 kHz
  EXPECT_TRUE(AcceptsSampleRate(6, 32000));
  EXPECT_FALSE(AcceptsSampleRate(1, 8000));  // QDX
}

TEST(Settings, IntegerKeysReadAsZeroUnlessPlainNumbers) {
  // 70000 is no 16-bit value.
  const std::pair<QString, int> cases[] = {{u"3"_s, 3},    {u" 7 "_s, 7},  {u"-1"_s, -1},
                                           {QString(), 0}, {u"four"_s, 0}, {u"4x"_s, 0},
                                           {u"70000"_s, 0}};
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(ParseIntegerSetting(text), value) << text.toStdString();
  }
}

TEST(Settings, ReadsBothSections) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"ParlatoneEditorV3.ini"_s);
  QString text =
      u"[SYSTEM]\r\nWavePath=/snd/音声\r\ncardpath = /cards \r\nCardName=ANN01\r\n"
      u"Mode=6\r\nAddFunction=1\r\nFileCapacity=2\r\nPrtSheet=1,1,0\r\n"
      u"LastSoundPath=/snd/録音\r\nLastControlPath=/cards/駅\r\nLastPdfPath=/pdf\r\n[UserData]\r\n"_s;
  for (size_t i = 0; i < kUserDataKeys.size(); ++i) {
    text += QString(kUserDataKeys[i]) + u"=値"_s + QString::number(i) + u"\r\n"_s;
  }
  WriteFileBytes(path, cp932::Encode(text));
  const Settings settings = ReadSettings(path);
  EXPECT_EQ(
      (std::tuple{settings.WavePath, settings.CardPath, settings.CardName, settings.PrtSheet}),
      (std::tuple{u"/snd/音声"_s, u"/cards"_s, u"ANN01"_s, u"1,1,0"_s}));
  EXPECT_EQ((std::array{settings.Mode, settings.AddFunction, settings.FileCapacity}),
            (std::array{6, 1, 2}));
  EXPECT_EQ(settings.LastFolders, (std::array{u"/snd/録音"_s, u"/cards/駅"_s, u"/pdf"_s}));
  for (size_t i = 0; i < kUserDataKeys.size(); ++i) {
    EXPECT_EQ(settings.UserData[i], u"値"_s + QString::number(i));
  }
  EXPECT_EQ(ReadSettings(dir.filePath(u"none.ini"_s)), Settings());  // a missing file
  Settings hand_edited;  // only 1 accepts stereo files: a hand-edited 2 is off for every reader
  hand_edited.AddFunction = 2;
  EXPECT_TRUE(settings.StereoAccepted() && !hand_edited.StereoAccepted());
}

// The first start writes the settings file and makes the card folder, and only the first start
// does; a read-only first start (the command line's) writes neither; a settings folder that
// cannot be written still starts in series 1.
TEST(StartupSettings, FirstStartWritesCardFolderAndSeriesOne) {
  testing::TempUserEnvironment env;
  const AppPaths paths = ResolveAppPaths();
  ASSERT_TRUE(paths.settings_file.startsWith(env.ConfigHome()));
  const QString card_path = env.Home() + u"/Documents/ParlatoneEditor CardData"_s;
  const StartupSettings read_only = LoadStartupSettings(paths, FirstStartWrites::kReadOnly);
  EXPECT_TRUE(read_only.first_start);
  EXPECT_EQ(read_only.settings.Mode, 1);
  EXPECT_EQ(read_only.settings.CardPath, card_path);
  EXPECT_FALSE(QFileInfo::exists(paths.settings_file));
  EXPECT_FALSE(QFileInfo::exists(card_path));

  const StartupSettings first = LoadStartupSettings(paths);
  EXPECT_TRUE(first.first_start);
  EXPECT_TRUE(first.written);
  EXPECT_EQ(first.settings.Mode, 1);
  EXPECT_EQ(first.settings.CardPath, card_path);
  EXPECT_EQ(first.settings.CardName, u"CARDDATA"_s);  // the settings dialog's OK needs one
  EXPECT_EQ(ReadFileBytes(paths.settings_file),
            cp932::Encode(u"[SYSTEM]\r\nCardPath="_s + card_path +
                          u"\r\nCardName=CARDDATA\r\nMode=1\r\n"_s));
  // The folder exists, so card data can be made there at once.
  EXPECT_TRUE(QFileInfo(card_path).isDir());

  // The next start is a later start and reads what is there.
  ASSERT_TRUE(WriteSetting(paths.settings_file, u"SYSTEM"_s, u"Mode"_s, u"4"_s));
  const StartupSettings later = LoadStartupSettings(paths);
  EXPECT_FALSE(later.first_start);
  EXPECT_EQ(later.settings.Mode, 4);
  // Only the first start makes it: a folder the user removed stays removed.
  ASSERT_TRUE(QDir(card_path).removeRecursively());
  LoadStartupSettings(paths);
  EXPECT_FALSE(QFileInfo::exists(card_path));
  // A later start without a Mode key is series 0 and writes nothing.
  WriteFileBytes(paths.settings_file, "[SYSTEM]\r\nCardPath=/cards\r\n");
  EXPECT_EQ(LoadStartupSettings(paths).settings.Mode, 0);
  EXPECT_EQ(ReadFileBytes(paths.settings_file), QByteArray("[SYSTEM]\r\nCardPath=/cards\r\n"));

  ASSERT_TRUE(QDir(env.ConfigHome()).removeRecursively());
  WriteFileBytes(env.ConfigHome(), "not a folder");
  const StartupSettings blocked = LoadStartupSettings(ResolveAppPaths());
  EXPECT_TRUE(blocked.first_start);
  EXPECT_FALSE(blocked.written);
  EXPECT_EQ(blocked.settings.Mode, 1);
}

TEST(ElementLists, TheTwoSplittingRulesAndTheShippedFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"elementPT.elm"_s);
  WriteFileBytes(path,
                 "[Element]\r\nSp=1,2,,3\r\nTape=1,2,,3\r\nRepeat=\r\nBaitai=\r\nCard=a,\r\n");
  // Program table lists end at their first empty entry.
  EXPECT_EQ(ReadElementList(path, u"Sp"_s), QStringList({u"1"_s, u"2"_s}));
  // Card data lists keep empty entries: entries are addressed by position.
  EXPECT_EQ(ReadElementList(path, u"Tape"_s), QStringList({u"1"_s, u"2"_s, QString(), u"3"_s}));
  EXPECT_EQ(ReadElementList(path, u"Card"_s), QStringList({u"a"_s, QString()}));
  EXPECT_TRUE(ReadElementList(path, u"Repeat"_s).isEmpty());
  EXPECT_TRUE(ReadElementList(path, u"Baitai"_s).isEmpty());
  EXPECT_TRUE(ReadElementList(path, u"Capacity"_s).isEmpty());
  EXPECT_TRUE(ReadElementList(dir.filePath(u"missing.elm"_s), u"Card"_s).isEmpty());
  // Blanks inside entries are kept.
  EXPECT_EQ(SplitElementList(u" a , b"_s, ElementListRule::kKeepEmpty),
            QStringList({u" a "_s, u" b"_s}));
  const QString shipped = ResolveAppPaths().element_file;
  ASSERT_TRUE(QFileInfo::exists(shipped)) << shipped.toStdString();
  // Control files store positions in these lists; the printed sheets turn
  // them back into these texts.
  EXPECT_EQ(ReadElementList(shipped, u"Card"_s),
            QStringList({u"8MB"_s, u"16MB"_s, u"32MB"_s, u"64MB"_s, u"128MB"_s, u"256MB"_s,
                         u"512MB"_s, u"1GB"_s, u"2GB"_s, u"OVER"_s, u"OTHER"_s}));
  EXPECT_FALSE(ReadElementList(shipped, u"Sp"_s).isEmpty());
  EXPECT_GE(ReadElementList(shipped, u"Repeat"_s).size(), 2);
  // Each capacity choice states the limit its index really sets.
  const QStringList capacity = ReadElementList(shipped, u"Capacity"_s);
  ASSERT_EQ(capacity.size(), 4);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(capacity[i].contains(QString::number(CapacityLimit(kMp3Mode, i))))
        << capacity[i].toStdString();
  }
  EXPECT_EQ(CapacityLimit(kMp3Mode, 3), 2147483647);
  EXPECT_EQ(capacity[3], u"制限なし"_s);
}

// User files follow XDG and HOME; shipped files are found beside the program, and one that is
// nowhere still has a definite place to be reported.
TEST(Paths, UserFilesFollowTheXdgFoldersAndShippedFilesThePrograms) {
  testing::TempUserEnvironment env;
  const AppPaths paths = ResolveAppPaths();
  EXPECT_EQ(paths.settings_file, env.ConfigHome() + u"/parlatone-editor/ParlatoneEditorV3.ini"_s);
  EXPECT_EQ(paths.work_folder, env.CacheHome() + u"/parlatone-editor/Temp"_s);
  EXPECT_TRUE(
      ShippedFilePath(u"no-such-file.txt"_s).endsWith(u"parlatone-editor/no-such-file.txt"_s));
}

// A name joined to a folder can only mean an entry of it.
TEST(Paths, PlainFileNamesJoinedWithExactlyOneSeparator) {
  for (const QString& name : {u"a.wav"_s, u"CARD 01"_s, u"...a"_s, u" "_s, u"案内.wav"_s}) {
    EXPECT_TRUE(IsPlainFileName(name)) << name.toStdString();
  }
  for (const QString& name :
       {QString(), u"."_s, u".."_s, u"../a.wav"_s, u"/a.wav"_s, u"a\\b"_s, QString(u"a\0b"_s)}) {
    EXPECT_FALSE(IsPlainFileName(name)) << name.toStdString();
  }
  EXPECT_EQ(JoinPath(u"/cards"_s, u"A01"_s), u"/cards/A01"_s);
  EXPECT_EQ(JoinPath(u"/cards//"_s, u"/A01"_s), u"/cards/A01"_s);
}

// No shipped text holds "$", so the insert rule is checked on a table of our own, which also
// holds every escape and every kind of broken line.
TEST(Messages, InsertGoesAtTheDollarOrAtTheEndOrAloneAndTheSourceFormat) {
  int bad = 0;
  const auto table = ParseMessageTable(
      u"# comment\n1\t\"a $ b $\"\n2\t\"plain\"\n10\t\"a\\r\\nb\\n\\t\\\"q\\\" \\\\ \"\r\n"
      u"11\tno quotes\n12\t\"unknown \\x escape\"\n13\t\"ok\"\n13\t\"duplicate\"\nx\t\"bad number\"\n"_s,
      &bad);
  EXPECT_EQ(table.size(), 4u);
  EXPECT_EQ(table.at(10), u"a\r\nb\n\t\"q\" \\ "_s);
  EXPECT_EQ(table.at(13), u"ok"_s);
  EXPECT_EQ(bad, 4);
  EXPECT_EQ(InsertIntoMessage(table.at(1), u"X"_s), u"a X b $"_s);
  EXPECT_EQ(InsertIntoMessage(table.at(2), u"X"_s), u"plainX"_s);
  // The duplicate-name notice puts the file name after its text.
  EXPECT_EQ(GetMessage(2042, u"a.wav"_s), u" は既に登録されています。　　a.wav"_s);
  // An unknown number gives the insert alone.
  EXPECT_FALSE(HasMessage(1999));
  EXPECT_EQ(GetMessage(1999, u"x"_s), u"x"_s);
}

TEST(Messages, ShippedTableParsesWhole) {
  QFile file(QStringLiteral(PARLATONE_SOURCE_DIR "/resources/messages.txt"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  int bad = -1;
  const auto table = ParseMessageTable(QString::fromUtf8(file.readAll()), &bad);
  EXPECT_EQ(bad, 0);
  EXPECT_EQ(table, MessageTable());
  for (const auto& [number, text] : table) {
    EXPECT_GE(number, 1000);
    EXPECT_LE(number, 3007);
    EXPECT_FALSE(text.isEmpty()) << number;
  }
}

TEST(Messages, EveryNumberTheSeriesTableNamesExists) {
  for (int mode = 0; mode < kSeriesCount; ++mode) {
    const SeriesInfo& series = Series(mode);
    EXPECT_TRUE(HasMessage(msg::kSeriesLabelBase + mode)) << mode;
    EXPECT_TRUE(HasMessage(series.description_message)) << mode;
    EXPECT_TRUE(HasMessage(series.description_message_stereo)) << mode;
    if (series.rate_refusal_message != 0) {
      EXPECT_TRUE(HasMessage(series.rate_refusal_message)) << mode;
    }
    for (int text = 0; text <= static_cast<int>(SeriesText::kForbiddenCharSuffix); ++text) {
      EXPECT_TRUE(HasMessage(SeriesMessage(static_cast<SeriesText>(text), mode)))
          << mode << ' ' << text;
    }
  }
  for (int number : {msg::kTitleConfirm, msg::kTitleCaution, msg::kTitleError}) {
    EXPECT_TRUE(HasMessage(number));
  }
}

TEST(OperatorHelpers, NumberedMessagesCarryNumberTextAndTitleAndBusyScopesBalance) {
  testing::ScriptedOperator op;
  op.Answer(MessageAnswer::kNo);
  EXPECT_EQ(ShowMessage(op, 2021, msg::kTitleConfirm, MessageIcon::kExclamation),
            MessageAnswer::kOk);
  EXPECT_EQ(AskBeforeDiscarding(op, 2028), MessageAnswer::kNo);
  EXPECT_EQ(ShowText(op, u"指定のファイルa.wav は既に存在します。"_s, msg::kTitleConfirm,
                     MessageIcon::kExclamation),
            MessageAnswer::kOk);
  ASSERT_EQ(op.Numbers(), (std::vector<int>{2021, 2028, 0}));
  EXPECT_EQ(op.shown[0].text, GetMessage(2021));
  EXPECT_EQ(op.shown[0].title, u"確認"_s);
  EXPECT_EQ(op.shown[0].title_number, 2002);
  EXPECT_EQ(op.shown[1].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(op.shown[1].icon, MessageIcon::kQuestion);
  EXPECT_EQ(op.shown[1].default_answer, MessageAnswer::kNo);  // Enter keeps the voice
  EXPECT_EQ(op.shown[2].icon, MessageIcon::kExclamation);
  // BusyScope restores the pointer on every way out, an exception included.
  auto work = [&](bool fail) {
    BusyScope busy(op);
    BusyScope nested(op);
    if (fail) {
      throw std::runtime_error("disk gone");
    }
  };
  work(false);
  EXPECT_THROW(work(true), std::runtime_error);
  EXPECT_EQ(op.busy_depth, 0);
  EXPECT_EQ(op.max_busy_depth, 2);
}

}  // namespace
}  // namespace parlatone
