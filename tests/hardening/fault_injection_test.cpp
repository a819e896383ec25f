// Writes that fail part-way, files that cannot be replaced and folders that
// go away while the program works: the operator is told, the file that was
// there before is intact, and nothing half-written is left to be taken for
// a complete file.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

#include "card/card_maker.h"
#include "controlfile/control_file_writer.h"
#include "core/file_io.h"
#include "core/ini_file.h"
#include "core/project.h"
#include "core/series.h"
#include "support/full_device.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"
#include "tools/conversion_engine.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

QStringList EntriesIn(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The scripted operator that can act while the work lets events through:
// a folder removed, a card pulled out.
class MeddlingOperator : public testing::ScriptedOperator {
 public:
  std::function<void()> on_events;
  void ProcessPendingEvents() override {
    if (on_events) {
      on_events();
    }
    ScriptedOperator::ProcessPendingEvents();
  }
};

class FaultTest : public ::testing::Test {
 protected:
  void TearDown() override { testing::RestoreWrites(); }

  // An existing file the failed write must leave alone.
  QString Existing(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(testing::WriteBytes(path, bytes));
    return path;
  }

  QTemporaryDir dir_;
};

TEST_F(FaultTest, SettingsFileOnAFullDeviceOrInTheWayStaysAsItWas) {
  const QByteArray before = "[SYSTEM]\r\nMode=1\r\n; kept by hand\r\n";
  const QString path = Existing(u"settings.ini"_s, before);
  for (const qint64 budget : {qint64{0}, qint64{5}, qint64{before.size() - 1}}) {
    testing::FailWritesAfter(budget);
    EXPECT_FALSE(IniFile::Write(path, u"SYSTEM"_s, u"Mode"_s, u"4"_s)) << budget;
    EXPECT_EQ(testing::ReadFileBytes(path), before);
    EXPECT_EQ(EntriesIn(dir_.path()), QStringList{u"settings.ini"_s});
  }
  testing::RestoreWrites();
  // A folder where the file should be cannot be replaced.
  ASSERT_TRUE(QDir(dir_.path()).mkpath(u"blocked.ini/inside"_s));
  EXPECT_FALSE(IniFile::Write(dir_.filePath(u"blocked.ini"_s), u"SYSTEM"_s, u"Mode"_s, u"4"_s));
  EXPECT_TRUE(QFileInfo(dir_.filePath(u"blocked.ini/inside"_s)).isDir());
  // A settings folder that went away is made again rather than lost.
  const QString gone = dir_.filePath(u"gone/settings.ini"_s);
  EXPECT_TRUE(IniFile::Write(gone, u"SYSTEM"_s, u"Mode"_s, u"4"_s));
  EXPECT_EQ(IniFile::Read(gone, u"SYSTEM"_s, u"Mode"_s), u"4"_s);
}

class ProjectFaultTest : public FaultTest {
 protected:
  void SetUp() override {
    card_path_ = dir_.filePath(u"cards"_s);
    work_ = dir_.filePath(u"work"_s);
    ASSERT_TRUE(QDir().mkpath(card_path_));
    project_.settings.Mode = 1;
    project_.settings.CardPath = card_path_;
    DeriveSeriesLimits(project_);
    for (const QString& name : {u"a01.wav"_s, u"a02.wav"_s, u"a03.wav"_s}) {
      VoiceRecord voice;
      voice.NAME = name;
      voice.FilePath = dir_.filePath(u"sounds/"_s + name);
      ASSERT_TRUE(testing::WriteBytes(voice.FilePath, testing::WaveOfLength(22050, 1, 16, 200)));
      voice.SEC = u"0.200"_s;
      project_.voices.append(voice);
    }
    project_.VoicesRegistered = true;
    project_.programs[0].Voice[0] = u"a01.wav"_s;
    project_.card.CardName = u"ANN01"_s;
    project_.card.Forder = u"STATION"_s;
    project_.card.Model = u"QDX"_s;
    project_.card.CardSize = u"0"_s;
    project_.card.CardCom = u"C"_s;
    project_.card.CardPerson = u"P"_s;
    project_.card.CardDate = u"D"_s;
  }
  QString Target() const { return card_path_ + u"/STATION"_s; }
  qint64 SoundBytes() const { return testing::WaveOfLength(22050, 1, 16, 200).size(); }
  // A card made earlier, which a failed run must not damage.
  void OldCard() {
    ASSERT_TRUE(testing::WriteBytes(Target() + u"/ANN01.wpj"_s, "old control file"));
    ASSERT_TRUE(testing::WriteBytes(Target() + u"/old.wav"_s, "old sound"));
  }
  void ExpectOldCard() {
    EXPECT_EQ(EntriesIn(Target()), (QStringList{u"ANN01.wpj"_s, u"old.wav"_s}));
    EXPECT_EQ(testing::ReadFileBytes(Target() + u"/ANN01.wpj"_s), "old control file");
  }

  QString card_path_;
  QString work_;
  Project project_;
  MeddlingOperator op_;
};

TEST_F(ProjectFaultTest, ControlFileAndTemporarySaveFailWhole) {
  const QString path = Existing(u"keep.wpg"_s, "the earlier save");
  const QList<VoiceRecord> voices = project_.voices;
  const CardInfo card = project_.card;
  testing::FailWritesAfter(100);
  EXPECT_FALSE(WriteControlFile(project_, path, true));
  EXPECT_EQ(testing::ReadFileBytes(path), "the earlier save");

  project_.PageEdited[1] = true;
  testing::FailWritesAfter(100);
  EXPECT_FALSE(TemporarySave(project_, path, op_));
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2511});
  EXPECT_EQ(op_.shown[0].title_number, 2500);
  EXPECT_TRUE(project_.PageEdited[1]);  // still to be saved
  EXPECT_EQ(testing::ReadFileBytes(path), "the earlier save");
  EXPECT_EQ(project_.voices, voices);
  EXPECT_EQ(project_.card, card);
  EXPECT_EQ(EntriesIn(dir_.path()), (QStringList{u"cards"_s, u"keep.wpg"_s, u"sounds"_s}));

  // A folder in the way of the save.
  testing::RestoreWrites();
  op_ = {};
  ASSERT_TRUE(QDir(dir_.path()).mkpath(u"dir.wpg/x"_s));
  EXPECT_FALSE(TemporarySave(project_, dir_.filePath(u"dir.wpg"_s), op_));
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2511});
}

TEST_F(ProjectFaultTest, CardMakingStopsBeforeTheOldCardIsTouched) {
  OldCard();
  // The work folder fills while the control file is written.
  testing::FailWritesAfter(50);
  op_.Answer(MessageAnswer::kYes);  // replace the existing folder
  CardMakeResult result = MakeCardData(project_, work_, op_);
  EXPECT_EQ(result.outcome, CardMakeOutcome::kControlFileFailed);
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2030, 2031, 2505}));
  ExpectOldCard();
  EXPECT_TRUE(EntriesIn(work_).isEmpty());

  // ... or when sound files cannot be gathered: they went away since they
  // were registered.
  testing::RestoreWrites();
  QFile::remove(project_.voices[1].FilePath);
  QFile::remove(project_.voices[2].FilePath);
  op_ = {};
  op_.Answer(MessageAnswer::kYes);
  result = MakeCardData(project_, work_, op_);
  EXPECT_EQ(result.outcome, CardMakeOutcome::kGatherFailed);
  EXPECT_EQ(result.failed_files, (QStringList{u"a02.wav"_s, u"a03.wav"_s}));
  EXPECT_EQ(op_.shown.back().title_number, 2500);
  EXPECT_TRUE(op_.shown.back().text.contains(u"a02.wav"_s));
  ExpectOldCard();
  EXPECT_TRUE(EntriesIn(work_).isEmpty());
}

TEST_F(ProjectFaultTest, ACardThatCouldNotBeCompletedDoesNotLookComplete) {
  // Everything gathers, then the card fills once the first files are on it.
  op_.on_events = [this] {
    if (EntriesIn(Target()).size() == 2) {
      testing::FailWritesAfter(10);
    }
  };
  const CardMakeResult result = MakeCardData(project_, work_, op_);
  EXPECT_EQ(result.outcome, CardMakeOutcome::kCopyFailed);
  EXPECT_EQ(result.failed_files, (QStringList{u"a02.wav"_s, u"a03.wav"_s}));
  EXPECT_EQ(op_.shown.back().title_number, 2500);
  // No control file: nobody copies this folder to a card as if it were one.
  EXPECT_FALSE(QFile::exists(Target() + u"/ANN01.wpj"_s));
  for (const QString& name : EntriesIn(Target())) {
    // What is there is whole.
    EXPECT_EQ(QFileInfo(Target() + u'/' + name).size(), SoundBytes()) << name.toStdString();
  }
  EXPECT_TRUE(EntriesIn(work_).isEmpty());
}

TEST_F(ProjectFaultTest, FoldersThatVanishMidRunAreReportedNotCrashedOn) {
  // The card (the target folder) is pulled out once the copying has begun.
  op_.on_events = [this] {
    if (QFileInfo(Target()).isDir() && !EntriesIn(Target()).isEmpty()) {
      QDir(Target()).removeRecursively();
    }
  };
  CardMakeResult result = MakeCardData(project_, work_, op_);
  EXPECT_EQ(result.outcome, CardMakeOutcome::kCopyFailed);
  EXPECT_EQ(op_.shown.back().title_number, 2500);

  // The work folder goes away while the sound files are gathered.
  op_ = {};
  op_.Answer(MessageAnswer::kYes);
  op_.on_events = [this] { QDir(work_).removeRecursively(); };
  result = MakeCardData(project_, work_, op_);
  EXPECT_EQ(result.outcome, CardMakeOutcome::kGatherFailed);
  EXPECT_FALSE(QFile::exists(Target() + u"/ANN01.wpj"_s));
}

TEST_F(ProjectFaultTest, AVoiceNameThatLeadsElsewhereIsNeverWritten) {
  // Names from a registration are file names; a project put together some
  // other way must still not write outside the work folder.
  project_.voices[1].NAME = u"../escape.wav"_s;
  const CardMakeResult result = MakeCardData(project_, work_, op_);
  EXPECT_EQ(result.outcome, CardMakeOutcome::kGatherFailed);
  EXPECT_EQ(result.failed_files, QStringList{u"../escape.wav"_s});
  EXPECT_FALSE(QFile::exists(dir_.filePath(u"escape.wav"_s)));
  EXPECT_FALSE(QFileInfo::exists(Target() + u"/ANN01.wpj"_s));
}

class ToolFaultTest : public FaultTest {};

TEST_F(ToolFaultTest, ConversionAndSilentFileLeaveNoPartialOutput) {
  const QString stereo = dir_.filePath(u"stereo.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(stereo, testing::WaveOfLength(22050, 2, 16, 500)));
  const QString output = Existing(u"mono.wav"_s, "an earlier output");
  ConversionProgress progress;
  for (const qint64 budget : {0, 30, 44, 10000}) {
    testing::FailWritesAfter(budget);
    EXPECT_EQ(ConvertStereoToMono(stereo, output, progress), ConversionResult::kFailed) << budget;
    EXPECT_EQ(testing::ReadFileBytes(output), "an earlier output");
    EXPECT_EQ(EntriesIn(dir_.path()), (QStringList{u"mono.wav"_s, u"stereo.wav"_s}));
  }
  const QString silent = dir_.filePath(u"silent.wav"_s);
  for (const qint64 budget : {0, 44, 20000}) {
    testing::FailWritesAfter(budget);
    EXPECT_EQ(CreateSilentWave(silent, 2, 22050, 8, progress), ConversionResult::kFailed);
    EXPECT_FALSE(QFile::exists(silent));
  }
  testing::RestoreWrites();
  EXPECT_EQ(ConvertStereoToMono(stereo, output, progress), ConversionResult::kCompleted);
  EXPECT_EQ(QFileInfo(output).size(), testing::WaveOfLength(22050, 1, 16, 500).size());
  // An output folder that does not exist is a failure, not a crash.
  EXPECT_EQ(ConvertStereoToMono(stereo, dir_.filePath(u"none/out.wav"_s), progress),
            ConversionResult::kFailed);
}

}  // namespace
}  // namespace parlatone
