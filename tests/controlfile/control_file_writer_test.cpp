// SPDX-License-Identifier: GPL-3.0-or-later
#include "controlfile/control_file_writer.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "core/project.h"
#include "support/card_project.h"
#include "support/control_file_text.h"
#include "support/qt_printers.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::kControlFileHeader;

const QDateTime kWritten(QDate(2008, 12, 31), QTime(23, 59, 59));

VoiceRecord Voice(const QString& name, const QString& comment = {}) {
  VoiceRecord voice;
  voice.NAME = name;
  voice.COMENTS = comment;
  return voice;
}

// The lines of the text between two markers.
QStringList Section(const QString& text, const QString& marker, const QString& next) {
  const QStringList lines = text.split(u"\r\n"_s);
  const qsizetype from = lines.indexOf(marker);
  const qsizetype to = lines.indexOf(next, from + 1);
  return lines.mid(from + 1, to - from - 1);
}

class ControlFileWriter : public ::testing::Test {
 protected:
  void SetUp() override { testing::UseSeries(project_, 1); }
  QStringList ProgramLines(bool present = true) {
    return Section(ControlFileText(project_, present, kWritten), u"#3"_s, u"#0"_s);
  }

  QTemporaryDir dir_;
  Project project_;
};

TEST_F(ControlFileWriter, SmallProjectByteForByte) {
  project_.voices = {Voice(u"a01.wav"_s, u"チャイム①"_s), Voice(u"a02.wav"_s)};
  project_.VoicesRegistered = true;
  project_.programs[0].Voice[0] = u"a01.wav"_s;
  project_.programs[2] = ProgramRecord{u"2"_s, u"3"_s, u"0.0"_s, {u"a01.wav"_s, u"a02.wav"_s}};
  project_.settings.UserData[0] = u"株式会社テスト"_s;
  project_.settings.UserData[10] = u"café"_s;
  project_.card.CardName = u"TEST01"_s;
  project_.card.CardSize = u"2"_s;
  project_.card.Memo[2] = u"最後"_s;

  const QString path = dir_.filePath(u"TEST01.wpj"_s);
  ASSERT_TRUE(WriteControlFile(project_, path, true, kWritten));
  QString expected =
      kControlFileHeader +
      u"#2\r\n0,a01.wav\r\n1,a02.wav\r\n#3\r\n0,1,1,0\r\n1*\r\n2,2,3,0,1\r\n#0\r\n"
      u"株式会社テスト\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\ncaf?\r\n#1\r\nTEST01\r\n"_s;
  for (int line = 2; line <= 27; ++line) {
    expected += line == 18 ? u"2"_s : line == 27 ? u"最後"_s : QString();
    expected += u"\r\n"_s;
  }
  expected += u"#S\r\nチャイム①\r\n\r\n"_s;
  EXPECT_EQ(testing::ReadFileBytes(path), cp932::Encode(expected));
}

TEST_F(ControlFileWriter, ProgramLinesStopAfterTheLastChannelInUseAndFollowTheSeries) {
  project_.voices = {Voice(u"a.wav"_s), Voice(u"b.wav"_s)};
  project_.VoicesRegistered = true;
  project_.programs[1].Voice[0] = u"b.wav"_s;
  testing::FillChannel(project_, 3, {u"a.wav"_s, u"gone.wav"_s, u"b.wav"_s});  // gone: unregistered
  EXPECT_EQ(ProgramLines(), QStringList({u"0*"_s, u"1,1,1,1"_s, u"2*"_s, u"3,1,1,0,1"_s}));
  // Without the programs-present flag the section is empty.
  EXPECT_TRUE(ProgramLines(false).isEmpty());
  // A channel whose first slot is empty is not in use, whatever follows.
  project_.programs[3].Voice[0].clear();
  EXPECT_EQ(ProgramLines(), QStringList({u"0*"_s, u"1,1,1,1"_s}));
  EXPECT_TRUE(AnyChannelInUse(project_));
  // Slots per line follow the series: 8 here (24 in WriteThenLoadGivesTheProjectBack).
  project_.voices.clear();
  project_.programs[1] = project_.programs[3] = ProgramRecord();
  for (int v = 0; v < 24; ++v) {
    project_.voices.append(Voice(u"v%1.wav"_s.arg(v)));
    project_.programs[0].Voice[static_cast<size_t>(v)] = u"v%1.wav"_s.arg(v);
  }
  EXPECT_EQ(ProgramLines(), QStringList{u"0,1,1,0,1,2,3,4,5,6,7"_s});
}

TEST_F(ControlFileWriter, VoiceLinesStopAtTheChannelCountButCommentsDoNot) {
  for (int v = 0; v < 300; ++v) {
    project_.voices.append(Voice(u"v%1.wav"_s.arg(v), v == 299 ? u"last"_s : QString()));
  }
  project_.VoicesRegistered = true;
  const QString text = ControlFileText(project_, false, kWritten);
  const QStringList voices = Section(text, u"#2"_s, u"#3"_s);
  EXPECT_EQ(voices.size(), 255);
  EXPECT_EQ(voices.last(), u"254,v254.wav"_s);
  const QStringList comments = Section(text, u"#S"_s, u"never"_s);
  EXPECT_EQ(comments.size(), 300 + 1);  // and the empty text after the final CR LF
  EXPECT_EQ(comments.at(299), u"last"_s);
  // Voices not registered: no voice lines, but the comments still follow the list.
  project_.VoicesRegistered = false;
  EXPECT_TRUE(Section(ControlFileText(project_, false, kWritten), u"#2"_s, u"#3"_s).isEmpty());
}

TEST_F(ControlFileWriter, FailuresLeaveTheOldFileAndNoPartialFile) {
  const QString path = testing::FileIn(dir_, u"KEEP.wpg"_s, "the operator's earlier save"_ba);
  // No voice record: cannot be written.
  EXPECT_FALSE(WriteControlFile(project_, path, false, kWritten));
  EXPECT_EQ(testing::ReadFileBytes(path), "the operator's earlier save"_ba);
  project_.voices = {Voice(u"a.wav"_s)};
  EXPECT_FALSE(
      WriteControlFile(project_, dir_.filePath(u"no/such/folder/X.wpj"_s), false, kWritten));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{u"KEEP.wpg"_s});
  // Written twice, a second apart: only the date line differs.
  EXPECT_EQ(
      ControlFileText(project_, false, kWritten).replace(u"=081231.235959"_s, u"=090101.000000"_s),
      ControlFileText(project_, false, kWritten.addSecs(1)));
}

}  // namespace
}  // namespace parlatone
