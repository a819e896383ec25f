// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings.h"
#include "core/cp932.h"
#include "core/element_lists.h"
#include "core/language.h"
#include "core/paths.h"
#include "core/series.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

#include "support/qt_printers.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

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
  Settings hand_edited;  // the window shows a hand-edited 2 as on, and every reader agrees
  hand_edited.AddFunction = 2;
  EXPECT_TRUE(settings.StereoAccepted() && hand_edited.StereoAccepted() &&
              !Settings().StereoAccepted());
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
  EXPECT_EQ(std::tuple(read_only.first_start, read_only.settings.Mode, read_only.settings.CardPath),
            std::tuple(true, 1, card_path));
  EXPECT_FALSE(QFileInfo::exists(paths.settings_file) || QFileInfo::exists(card_path));

  const StartupSettings first = LoadStartupSettings(paths);
  // The settings dialog's OK needs a card name.
  EXPECT_EQ(std::tuple(first.first_start, first.written, first.settings.Mode,
                       first.settings.CardPath, first.settings.CardName),
            std::tuple(true, true, 1, card_path, u"CARDDATA"_s));
  EXPECT_EQ(ReadFileBytes(paths.settings_file),
            cp932::Encode(u"[SYSTEM]\r\nCardPath="_s + card_path +
                          u"\r\nCardName=CARDDATA\r\nMode=1\r\n"_s));
  // The folder exists, so card data can be made there at once.
  EXPECT_TRUE(QFileInfo(card_path).isDir());

  // The next start is a later start and reads what is there.
  ASSERT_TRUE(WriteSetting(paths.settings_file, u"SYSTEM"_s, u"Mode"_s, u"4"_s));
  const StartupSettings later = LoadStartupSettings(paths);
  EXPECT_EQ(std::pair(later.first_start, later.settings.Mode), std::pair(false, 4));
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
  EXPECT_EQ(std::tuple(blocked.first_start, blocked.written, blocked.settings.Mode),
            std::tuple(true, false, 1));
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
  // An empty entry, a missing key, a missing file: no list.
  EXPECT_TRUE(ReadElementList(path, u"Repeat"_s).isEmpty() &&
              ReadElementList(path, u"Capacity"_s).isEmpty() &&
              ReadElementList(dir.filePath(u"missing.elm"_s), u"Card"_s).isEmpty());
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

// The windows and sheets show the entries in the interface language; the
// entries' count and order, which the files' positions address, stay the
// file's, and an entry the translation does not know shows as written.
TEST(ElementLists, ShownInTheInterfaceLanguage) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"elementPT.elm"_s);
  WriteFileBytes(path, cp932::Encode(u"[Element]\r\nTape=カセット,,リール,他\r\n"_s));
  const QStringList stored = ReadElementList(path, u"Tape"_s);
  const std::pair<UiLanguage, QStringList> rows[] = {
      {UiLanguage::kEnglish, {u"Cassette"_s, QString(), u"リール"_s, u"Other"_s}},
      {UiLanguage::kJapanese, stored}};  // last, so that later tests see Japanese
  for (const auto& [language, shown] : rows) {
    ASSERT_TRUE(InstallTranslators(language));
    EXPECT_EQ(DisplayedElementList(path, u"Tape"_s), shown);
    EXPECT_EQ(ReadElementList(path, u"Tape"_s), stored);
  }
}

}  // namespace
}  // namespace parlatone
