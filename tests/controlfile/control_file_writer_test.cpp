#include "controlfile/control_file_writer.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "core/project.h"
#include "core/series.h"
#include "support/qt_printers.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

const QDateTime kWritten(QDate(2008, 12, 31), QTime(23, 59, 59));

VoiceRecord Voice(const QString& name, const QString& comment = {}) {
  VoiceRecord voice;
  voice.NAME = name;
  voice.COMENTS = comment;
  return voice;
}

void UseMode(Project& project, int mode) {
  project.settings.Mode = mode;
  DeriveSeriesLimits(project);
}

// The lines of the text between two markers.
QStringList Section(const QString& text, const QString& marker, const QString& next) {
  const QStringList lines = text.split(u"\r\n"_s);
  const qsizetype from = lines.indexOf(marker);
  const qsizetype to = lines.indexOf(next, from + 1);
  return lines.mid(from + 1, to - from - 1);
}

TEST(ControlFileWriter, SmallProjectByteForByte) {
  Project project;
  UseMode(project, 1);
  project.voices = {Voice(u"a01.wav"_s, u"チャイム①"_s), Voice(u"a02.wav"_s)};
  project.VoicesRegistered = true;
  project.programs[0].Voice[0] = u"a01.wav"_s;
  project.programs[2].SP = u"2"_s;
  project.programs[2].RP = u"3"_s;
  project.programs[2].Voice[0] = u"a01.wav"_s;
  project.programs[2].Voice[1] = u"a02.wav"_s;
  project.settings.UserData[0] = u"株式会社テスト"_s;
  project.settings.UserData[10] = u"café"_s;
  project.card.CardName = u"TEST01"_s;
  project.card.CardSize = u"2"_s;
  project.card.Memo[2] = u"最後"_s;

  QTemporaryDir dir;
  const QString path = dir.filePath(u"TEST01.wpj"_s);
  ASSERT_TRUE(WriteControlFile(project, path, true, kWritten));
  QString expected =
      u"KX3\r\nParlatone Editor3J\r\nParlatone\r\nLYR-KX3-3J\r\n200809 PE-3J\r\n"
      u"PTEDIT3J-KX3-01\r\nDATE=081231.235959\r\n"
      u"#2\r\n0,a01.wav\r\n1,a02.wav\r\n#3\r\n0,1,1,0\r\n1*\r\n2,2,3,0,1\r\n#0\r\n"
      u"株式会社テスト\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\ncaf?\r\n#1\r\nTEST01\r\n"_s;
  for (int line = 2; line <= 27; ++line) {
    expected += line == 18 ? u"2"_s : line == 27 ? u"最後"_s : QString();
    expected += u"\r\n"_s;
  }
  expected += u"#S\r\nチャイム①\r\n\r\n"_s;
  EXPECT_EQ(testing::ReadFileBytes(path), cp932::Encode(expected));
  EXPECT_EQ(ControlFileText(project, true, kWritten).split(u"\r\n"_s).at(5).size(), 15);
}

TEST(ControlFileWriter, ProgramLinesStopAfterTheLastChannelInUseAndFollowTheSeries) {
  Project project;
  UseMode(project, 1);
  project.voices = {Voice(u"a.wav"_s), Voice(u"b.wav"_s)};
  project.VoicesRegistered = true;
  project.programs[1].Voice[0] = u"b.wav"_s;
  project.programs[3].Voice[0] = u"a.wav"_s;
  project.programs[3].Voice[1] = u"gone.wav"_s;  // no longer registered
  project.programs[3].Voice[2] = u"b.wav"_s;
  const QString text = ControlFileText(project, true, kWritten);
  EXPECT_EQ(Section(text, u"#3"_s, u"#0"_s),
            QStringList({u"0*"_s, u"1,1,1,1"_s, u"2*"_s, u"3,1,1,0,1"_s}));
  // Without the programs-present flag the section is empty.
  EXPECT_TRUE(Section(ControlFileText(project, false, kWritten), u"#3"_s, u"#0"_s).isEmpty());
  // A channel whose first slot is empty is not in use, whatever follows.
  project.programs[3].Voice[0].clear();
  EXPECT_EQ(Section(ControlFileText(project, true, kWritten), u"#3"_s, u"#0"_s),
            QStringList({u"0*"_s, u"1,1,1,1"_s}));
  EXPECT_TRUE(AnyChannelInUse(project));
  // Slots per line follow the series: 24 against 8.
  project.voices.clear();
  project.programs[1] = project.programs[3] = ProgramRecord();
  for (int v = 0; v < 24; ++v) {
    project.voices.append(Voice(u"v%1.wav"_s.arg(v)));
    project.programs[0].Voice[static_cast<size_t>(v)] = u"v%1.wav"_s.arg(v);
  }
  UseMode(project, 3);
  const QStringList wide = Section(ControlFileText(project, true, kWritten), u"#3"_s, u"#0"_s);
  ASSERT_EQ(wide.size(), 1);
  EXPECT_EQ(wide[0].split(u',').size(), 3 + 24);
  UseMode(project, 1);
  const QStringList narrow = Section(ControlFileText(project, true, kWritten), u"#3"_s, u"#0"_s);
  EXPECT_EQ(narrow[0], u"0,1,1,0,1,2,3,4,5,6,7"_s);
}

TEST(ControlFileWriter, VoiceLinesStopAtTheChannelCountButCommentsDoNot) {
  Project project;
  UseMode(project, 1);
  for (int v = 0; v < 300; ++v) {
    project.voices.append(Voice(u"v%1.wav"_s.arg(v), v == 299 ? u"last"_s : QString()));
  }
  project.VoicesRegistered = true;
  const QString text = ControlFileText(project, false, kWritten);
  const QStringList voices = Section(text, u"#2"_s, u"#3"_s);
  EXPECT_EQ(voices.size(), 255);
  EXPECT_EQ(voices.last(), u"254,v254.wav"_s);
  const QStringList comments = Section(text, u"#S"_s, u"never"_s);
  EXPECT_EQ(comments.size(), 300 + 1);  // and the empty text after the final CR LF
  EXPECT_EQ(comments.at(299), u"last"_s);
  EXPECT_TRUE(text.endsWith(u"last\r\n"_s));
  // Voices not registered: no voice lines, but the comments still follow the list.
  project.VoicesRegistered = false;
  EXPECT_TRUE(Section(ControlFileText(project, false, kWritten), u"#2"_s, u"#3"_s).isEmpty());
}

TEST(ControlFileWriter, FailuresLeaveTheOldFileAndNoPartialFile) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"KEEP.wpg"_s);
  ASSERT_TRUE(testing::WriteBytes(path, "the operator's earlier save"_ba));
  Project project;  // no voice record: cannot be written
  EXPECT_FALSE(WriteControlFile(project, path, false, kWritten));
  EXPECT_EQ(testing::ReadFileBytes(path), "the operator's earlier save"_ba);
  project.voices = {Voice(u"a.wav"_s)};
  EXPECT_FALSE(WriteControlFile(project, dir.filePath(u"no/such/folder/X.wpj"_s), false, kWritten));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{u"KEEP.wpg"_s});
  // Written twice, a second apart: only the date line differs.
  const QString a = ControlFileText(project, false, kWritten);
  const QString b = ControlFileText(project, false, kWritten.addSecs(1));
  EXPECT_NE(a, b);
  EXPECT_EQ(QString(a).remove(u"DATE=081231.235959"_s), QString(b).remove(u"DATE=090101.000000"_s));
}

}  // namespace
}  // namespace parlatone
