// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_session.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "core/text.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::ReadFileBytes;
using testing::WriteFileBytes;

QString Composed(int first, int second) {
  return GetMessage(first) + u"\r\n"_s + GetMessage(second);
}

class SettingsSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    project_.settings.Mode = 1;
    project_.settings.CardPath = dir_.path();
    project_.settings.CardName = u"CARD01"_s;
    DeriveSeriesLimits(project_);
  }
  QString SettingsFile() const { return dir_.filePath(u"ParlatoneEditorV3.ini"_s); }

  QTemporaryDir dir_;
  Project project_;
  testing::ScriptedOperator op_;
};

TEST_F(SettingsSessionTest, SeriesOptionsAndTheirDescriptions) {
  // The option order is fixed; every series has exactly one option.
  for (int mode = 0; mode < kSeriesCount; ++mode) {
    EXPECT_EQ(SettingsSession::ModeOfOption(SettingsSession::OptionOfMode(mode)), mode);
  }
  EXPECT_EQ(SettingsSession::OptionOfMode(9), SettingsSession::OptionOfMode(0));  // out of range

  project_.settings.AddFunction = 1;
  SettingsSession session(project_, SettingsFile());
  EXPECT_TRUE(session.StereoAccepted());
  const int with_stereo = session.DescriptionMessage(5);
  session.ChooseStereo(false);
  EXPECT_NE(session.DescriptionMessage(5), with_stereo);
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(session.Cancel(op_));  // the choice counts as a change

  // The file name label follows the series in use, not the one chosen but not yet confirmed.
  EXPECT_EQ(session.FileNameLabelMessage(), 3002);
  session.ChooseSeries(7);
  EXPECT_EQ(session.FileNameLabelMessage(), 3002);
  project_.settings.Mode = 7;
  EXPECT_EQ(SettingsSession(project_, SettingsFile()).FileNameLabelMessage(), 3003);
}

TEST_F(SettingsSessionTest, CardNameChecksInTheirOrder) {
  struct Case {
    QString name;
    QString refusal;  // empty: accepted
  };
  const Case cases[] = {
      {QString(), GetMessage(2043)},
      {u"   "_s, GetMessage(2043)},
      {u"ABCDEFGH"_s, QString()},
      {u"ABCDEFGHI"_s, Composed(2061, 2059)},
      {u"ＡＢ"_s, Composed(2062, 2059)},
      {u"ABCDEFGHＩ"_s, Composed(2062, 2059)},  // full width is named before length
      {u"AB-C"_s, GetMessage(2063) + ForbiddenCharList() +
                      GetMessage(2064)},  // each forbidden character: the core text tests
      {u" ABC "_s, QString()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name.toStdString());
    testing::ScriptedOperator op;
    SettingsSession session(project_, SettingsFile());
    session.EditCardName(c.name);
    const bool refused = !c.refusal.isEmpty();
    EXPECT_EQ(session.Validate(op),
              refused ? SettingsSession::Field::kCardName : SettingsSession::Field::kNone);
    ASSERT_EQ(op.shown.size(), refused ? 1u : 0u);
    if (refused) {
      EXPECT_EQ(std::pair(op.shown[0].text, op.shown[0].title_number),
                std::pair(c.refusal, msg::kTitleConfirm));
    }
  }
}

TEST_F(SettingsSessionTest, CardFolderChecksAndLevelByLevelCreation) {
  SettingsSession session(project_, SettingsFile());
  session.EditCardPath(u"  "_s);
  EXPECT_EQ(session.Validate(op_), SettingsSession::Field::kCardPath);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2044});

  // A folder the editor's own starting place would decide is refused.
  for (const QString& relative : {u"cards"_s, u"~/cards"_s}) {
    session.EditCardPath(relative);
    EXPECT_EQ(session.Validate(op_), SettingsSession::Field::kCardPath);
    EXPECT_TRUE(op_.shown.back().text.contains(u"フルパス"_s)) << relative.toStdString();
  }
  EXPECT_FALSE(QFileInfo::exists(u"cards"_s));

  // Two levels below an existing folder: asked with the path, No creates nothing.
  const QString target = dir_.filePath(u"新しい/カード"_s);
  session.EditCardPath(target);
  op_.shown.clear();
  op_.Answer(MessageAnswer::kNo);
  EXPECT_EQ(session.Validate(op_), SettingsSession::Field::kCardPath);
  ASSERT_EQ(op_.shown.size(), 1u);
  EXPECT_EQ(op_.shown[0].text, GetMessage(2045) + target + u"\r\n"_s + GetMessage(2046));
  EXPECT_EQ(op_.shown[0].buttons, MessageButtons::kYesNo);
  EXPECT_FALSE(QFileInfo::exists(dir_.filePath(u"新しい"_s)));

  op_.Answer(MessageAnswer::kYes);
  EXPECT_EQ(session.Validate(op_), SettingsSession::Field::kNone);
  EXPECT_TRUE(QFileInfo(target).isDir());
  EXPECT_EQ(op_.shown.size(), 2u);

  // A file standing where a level should be: creation fails with 2047.
  WriteFileBytes(dir_.filePath(u"plain"_s), "x");
  session.EditCardPath(dir_.filePath(u"plain/sub"_s));
  op_.Answer(MessageAnswer::kYes);
  EXPECT_EQ(session.Validate(op_), SettingsSession::Field::kCardPath);
  EXPECT_EQ(op_.Numbers().back(), 2047);
  EXPECT_TRUE(op_.AllAnswersUsed());

  // The helper itself, as the tools use it too: a trailing separator, all there already.
  EXPECT_TRUE(CreateFolderLevels(target + u"/"_s));
}

TEST_F(SettingsSessionTest, OkWritesEveryKeyAndKeepsTheOwnerLines) {
  // A comment, odd spacing, other windows' keys, three owner keys in Shift-JIS, the rest missing.
  const QByteArray before = cp932::Encode(
      u"; 事務所PC\r\n[SYSTEM]\r\nWavePath=/snd/音声\r\nPrtSheet=1,0,1\r\nMode=1\r\n"
      u"[UserData]\r\nCompany = 株式会社パーラ \r\nAttribute=営業部\r\nName=山田　太郎\r\n"_s);
  WriteFileBytes(SettingsFile(), before);
  project_.settings = ReadSettings(SettingsFile());
  project_.settings.CardPath = dir_.path();
  project_.settings.FileCapacity = 2;

  SettingsSession session(project_, SettingsFile());
  session.EditCardName(u" NEWCARD "_s);
  session.EditCardPath(dir_.path() + u"  "_s);
  session.ChooseStereo(true);
  EXPECT_TRUE(session.Ok(op_).closed);
  EXPECT_EQ(std::pair(op_.busy_depth, op_.max_busy_depth), std::pair(0, 1));
  EXPECT_TRUE(session.Cancel(op_));  // committed: nothing left to ask about
  EXPECT_TRUE(op_.shown.empty());
  EXPECT_EQ(std::tuple(project_.settings.CardName, project_.settings.CardPath,
                       project_.settings.AddFunction),
            std::tuple(u"NEWCARD"_s, dir_.path(), 1));
  EXPECT_EQ(ReadSettings(SettingsFile()), project_.settings);
  // The owner's lines stay byte for byte; the missing keys are written back.
  const QByteArray after = ReadFileBytes(SettingsFile());
  EXPECT_TRUE(after.contains(before.mid(before.indexOf("[UserData]"))));
  for (const QLatin1String& key : kUserDataKeys) {
    EXPECT_TRUE(after.contains('\n' + QByteArray(key.data(), key.size()))) << key.data();
  }
}

// The language key is written once chosen: the system's, the default, adds no key to a file that
// lacks it and empties the key of a file that has one.
TEST_F(SettingsSessionTest, LanguageKeyOnlyOnceChosen) {
  const std::pair<LanguageChoice, QByteArray> steps[] = {
      {LanguageChoice::kSystem, QByteArray()},
      {LanguageChoice::kEnglish, "Language=en\r\n"},
      {LanguageChoice::kJapanese, "Language=ja\r\n"},
      {LanguageChoice::kSystem, "Language=\r\n"}};
  for (const auto& [choice, line] : steps) {
    SettingsSession session(project_, SettingsFile());
    session.ChooseLanguage(choice);
    ASSERT_TRUE(session.Ok(op_).closed);
    const QByteArray written = ReadFileBytes(SettingsFile());
    EXPECT_TRUE(line.isEmpty() ? !written.contains("Language") : written.contains(line));
    EXPECT_EQ(ReadSettings(SettingsFile()).Language, choice);
  }
}

// A series change asks 2048 on OK, changes ask 2074 on Cancel; No commits nothing.
TEST_F(SettingsSessionTest, OkAndCancelAskAndCommitAsDecided) {
  const QByteArray file = "[SYSTEM]\r\nMode=1\r\n";
  using A = MessageAnswer;
  struct Case {
    const char* what;
    std::vector<int> series;  // chosen in this order
    bool edit;                // the card name is edited too
    bool ok;                  // OK, else Cancel
    std::vector<A> answers;
    bool closed;
    std::vector<int> asked;
    int mode_after;
    bool committed;
  };
  const Case cases[] = {
      {"Cancel unchanged", {}, false, false, {}, true, {}, 1, false},
      {"Cancel after changes, No", {5}, true, false, {A::kNo}, false, {2074}, 1, false},
      {"Cancel after changes, Yes", {5}, true, false, {A::kYes}, true, {2074}, 1, false},
      {"OK with another series, No", {4}, true, true, {A::kNo}, false, {2048}, 1, false},
      {"OK with another series, Yes", {4}, true, true, {A::kYes}, true, {2048}, 4, true},
      {"the old series again, Cancel", {7, 1}, false, false, {A::kNo}, false, {2074}, 1, false},
      {"the old series again, OK", {7, 1}, false, true, {}, true, {}, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteFileBytes(SettingsFile(), file);
    SetUp();
    op_ = {};
    SettingsSession session(project_, SettingsFile());
    for (int series : c.series) {
      session.ChooseSeries(series);
    }
    if (c.edit) {
      session.EditCardName(u"OTHER"_s);
    }
    for (A answer : c.answers) {
      op_.Answer(answer);
    }
    bool series_changed = false;
    if (c.ok) {
      const SettingsSession::OkResult result = session.Ok(op_);
      EXPECT_EQ(std::pair(result.closed, result.field),
                std::pair(c.closed, SettingsSession::Field::kNone));
      series_changed = result.series_changed;
    } else {
      EXPECT_EQ(session.Cancel(op_), c.closed);
    }
    EXPECT_EQ(op_.Numbers(), c.asked);
    for (const testing::ShownMessage& shown : op_.shown) {
      EXPECT_EQ(std::pair(shown.icon, shown.title_number),
                std::pair(MessageIcon::kQuestion, msg::kTitleConfirm));
    }
    EXPECT_EQ(project_.Mode(), c.mode_after);
    EXPECT_EQ(series_changed, c.mode_after != 1);
    EXPECT_EQ(project_.settings.CardName, c.committed && c.edit ? u"OTHER"_s : u"CARD01"_s);
    EXPECT_EQ(ReadFileBytes(SettingsFile()) == file, !c.committed);
    EXPECT_EQ(ReadSettings(SettingsFile()).Mode, c.mode_after);
  }
}

// The first start proposes every value OK checks: a series change alone passes.
TEST(SettingsSessionFirstStart, ASeriesChangeAlonePasses) {
  testing::TempUserEnvironment env;
  const AppPaths paths = ResolveAppPaths();
  Project project;
  project.settings = LoadStartupSettings(paths).settings;
  testing::ScriptedOperator op;
  SettingsSession session(project, paths.settings_file);
  session.ChooseSeries(4);
  op.Answer(MessageAnswer::kYes);
  EXPECT_TRUE(session.Ok(op).closed);
  EXPECT_EQ(op.Numbers(), std::vector<int>{2048});
  EXPECT_EQ(ReadSettings(paths.settings_file).Mode, 4);
}

TEST_F(SettingsSessionTest, UnwritableSettingsFileIsReported) {
  ASSERT_TRUE(QDir().mkpath(SettingsFile()));  // a folder where the file should be
  SettingsSession session(project_, SettingsFile());
  session.ChooseStereo(true);
  EXPECT_TRUE(session.Ok(op_).closed);
  ASSERT_EQ(op_.shown.size(), 1u);
  EXPECT_EQ(op_.shown[0].title_number, msg::kTitleError);
  EXPECT_TRUE(op_.shown[0].text.contains(SettingsFile()));
  EXPECT_EQ(project_.settings.AddFunction, 1);  // in effect for this run
}

}  // namespace
}  // namespace parlatone
