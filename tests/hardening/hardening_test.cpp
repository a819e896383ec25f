// SPDX-License-Identifier: GPL-3.0-or-later
// Bad input and failing devices. Every file of the bad-input corpus (tests/corpus/bad, made by
// make_bad_inputs.py) meets the procedure that reads such files in real use and must end exactly
// as tests/corpus/manifest.tsv says. Writes that fail part-way, files that cannot be replaced and
// folders that go away while the program works: the operator is told, the earlier file is intact,
// and nothing half-written is left to be taken for a complete file.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "card/card_maker.h"
#include "controlfile/control_file_loader.h"
#include "controlfile/control_file_writer.h"
#include "core/cp932.h"
#include "core/element_lists.h"
#include "core/ini_file.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "sound/wave_reader.h"
#include "support/card_project.h"
#include "support/full_device.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"
#include "tools/conversion_engine.h"
#include "voices/registration.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::EntriesIn;

const QString kCorpus = QStringLiteral(PARLATONE_SOURCE_DIR "/tests/corpus");

struct Row {
  QString file;
  QString check;
  int mode = 1;
  QString expected;
};

std::vector<Row> Manifest() {
  std::vector<Row> rows;
  const QByteArray text = testing::ReadFileBytes(kCorpus + u"/manifest.tsv"_s);
  for (const QString& line : QString::fromUtf8(text).split(u'\n', Qt::SkipEmptyParts)) {
    const QStringList fields = line.split(u'\t');
    if (line.startsWith(u'#')) {
      continue;
    }
    if (fields.size() != 4) {
      ADD_FAILURE() << "malformed manifest line: " << line.toStdString();
      continue;
    }
    rows.push_back({fields[0], fields[1], fields[2].toInt(), fields[3]});
  }
  return rows;
}

QString Messages(const testing::ScriptedOperator& op) {
  QStringList numbers;
  for (int number : op.Numbers()) {
    numbers << QString::number(number);
  }
  return numbers.isEmpty() ? u"-"_s : numbers.join(u',');
}

void InSeries(Project& project, int mode, int add_function = 0,
              int capacity = parlatone::Settings().FileCapacity) {
  project.settings.AddFunction = add_function;
  project.settings.FileCapacity = capacity;
  testing::UseSeries(project, mode);
}

QString Register(const QString& path, int mode, int add_function = 0) {
  testing::ScriptedOperator op;
  for (int i = 0; i < 4; ++i) {
    op.Answer(MessageAnswer::kNo);  // any question (a duplicate name) is declined
  }
  Project project;
  InSeries(project, mode, add_function);
  WorkingVoiceList list(project.ChannelCount);
  const RegistrationResult result = RegisterFiles(list, {path}, AcceptanceRules::From(project), op);
  return u"registered=%1 messages=%2"_s.arg(result.registered).arg(Messages(op));
}

QString Load(const QString& path, int mode) {
  testing::ScriptedOperator op;
  op.Answer(MessageAnswer::kNo);  // a sound file found nowhere is not kept by name
  Project project;
  InSeries(project, mode);
  const bool loaded = LoadWpjFile(project, path, op);
  QString outcome = u"loaded=%1 voices=%2 messages=%3"_s.arg(loaded ? 1 : 0)
                        .arg(project.voices.size())
                        .arg(Messages(op));
  // A load that fails leaves nothing of the file behind.
  if (!loaded && (!project.voices.isEmpty() || project.VoicesRegistered ||
                  !(project.card == CardInfo()) || !(project.programs[0] == ProgramRecord()))) {
    outcome += u" LEFTOVERS"_s;
  }
  return outcome;
}

QString Settings(const QString& path) {
  const parlatone::Settings settings = ReadSettings(path);
  return u"mode=%1 add=%2 capacity=%3 cardpath=%4"_s.arg(settings.Mode)
      .arg(settings.AddFunction)
      .arg(settings.FileCapacity)
      .arg(settings.CardPath.isEmpty() ? u"-"_s : settings.CardPath);
}

QString Element(const QString& path) {
  const QStringList cards = ReadElementList(path, u"Card"_s);
  return u"entries=%1 first=%2"_s.arg(cards.size()).arg(cards.isEmpty() ? u"-"_s : cards.front());
}

QString Convert(const QString& path) {
  QTemporaryDir out;
  const QString output = out.filePath(u"mono.wav"_s);
  ConversionProgress progress;
  const ConversionResult result = ConvertStereoToMono(path, output, progress);
  const QString name = result == ConversionResult::kCompleted   ? u"completed"_s
                       : result == ConversionResult::kCancelled ? u"cancelled"_s
                                                                : u"failed"_s;
  const QStringList left = QDir(out.path()).entryList(QDir::Files | QDir::Hidden);
  return u"result=%1 files=%2"_s.arg(name).arg(left.size());
}

QString Outcome(const Row& row) {
  const QString path = kCorpus + u"/bad/"_s + row.file;
  const std::map<QString, std::function<QString()>> checks = {
      {u"register"_s, [&] { return Register(path, row.mode); }},
      {u"register-stereo"_s, [&] { return Register(path, row.mode, 1); }},
      {u"load"_s, [&] { return Load(path, row.mode); }},
      {u"settings"_s, [&] { return Settings(path); }},
      {u"element"_s, [&] { return Element(path); }},
      {u"convert"_s, [&] { return Convert(path); }}};
  const auto check = checks.find(row.check);
  return check == checks.end() ? u"unknown check "_s + row.check : check->second();
}

TEST(BadInputCorpus, EveryFileEndsAsTheManifestSays) {
  const std::vector<Row> rows = Manifest();
  EXPECT_GE(rows.size(), 40u);
  QStringList listed;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file.toStdString() + " " + row.check.toStdString());
    ASSERT_TRUE(QFile::exists(kCorpus + u"/bad/"_s + row.file));
    EXPECT_EQ(Outcome(row), row.expected);
    listed << row.file;
  }
  // Every file of the corpus has its outcome written down.
  for (const QString& file : QDir(kCorpus + u"/bad"_s).entryList(QDir::Files)) {
    EXPECT_TRUE(listed.contains(file)) << file.toStdString() << " is not in the manifest";
  }
}

// `info` (the examination registration begins with) gives registration's verdict in every
// series; a load refuses what the reader refuses with the same message; no length is negative.
TEST(BadInputCorpus, InfoRegistrationAndLoadingAgree) {
  std::vector<std::pair<QString, QByteArray>> inputs = {
      {u"m22k16.wav"_s, testing::WaveOfLength(22050, 1, 16, 300)},
      {u"m44k8.wav"_s, testing::WaveOfLength(44100, 1, 8, 300)},
      {u"m8k16.wav"_s, testing::WaveOfLength(8000, 1, 16, 300)},
      {u"m32k16.wav"_s, testing::WaveOfLength(32000, 1, 16, 300)},
      {u"m48k8.wav"_s, testing::WaveOfLength(48000, 1, 8, 300)},
      {u"s22k16.wav"_s, testing::WaveOfLength(22050, 2, 16, 300)},
      {u"NAME-13CHARS.wav"_s, testing::WaveOfLength(22050, 1, 16, 100)},
      {u"a-b.wav"_s, testing::WaveOfLength(22050, 1, 16, 100)},
      {u"案内.wav"_s, testing::WaveOfLength(22050, 1, 16, 100)},
      {u"mono1.mp3"_s, testing::Mp3Frames(20, {128})},
      {u"joint2.mp3"_s, testing::Mp3Frames(20, {64}, 22050, false)},
      {u"vbr.mp3"_s, testing::TaggedMp3(20, {32, 320})},
      {u"mpeg25.mp3"_s, testing::Mpeg25WithStrayMpeg1Header()}};
  for (const QFileInfo& file :
       QDir(kCorpus + u"/bad"_s).entryInfoList({u"*.wav"_s, u"*.mp3"_s}, QDir::Files)) {
    inputs.push_back({file.fileName(), testing::ReadFileBytes(file.filePath())});
  }
  QTemporaryDir dir;  // a control file is written beside the sounds
  for (const auto& [name, bytes] : inputs) {
    ASSERT_TRUE(testing::WriteBytes(dir.filePath(name), bytes));
  }
  for (const auto& [mode, stereo] :
       {std::pair{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {1, 1}, {7, 1}}) {
    Project project;
    InSeries(project, mode, stereo, 3);  // no capacity limit
    const AcceptanceRules rules = AcceptanceRules::From(project);
    const QString control = dir.filePath(u"check."_s + ControlFileExtension(mode));
    for (const auto& [name, bytes] : inputs) {
      SCOPED_TRACE(u"series %1 stereo %2 %3"_s.arg(mode).arg(stereo).arg(name).toStdString());
      const QString path = dir.filePath(name);
      testing::ScriptedOperator registration, loading;
      const FileExamination examined = ExamineForRegistration(path, rules);
      WorkingVoiceList list(project.ChannelCount);
      const bool registered = RegisterFiles(list, {path}, rules, registration).registered == 1;
      EXPECT_EQ(examined.accepted(), registered);
      EXPECT_TRUE(!registered || (examined.length_ms >= 0 && !list[0].SEC.startsWith(u'-')));
      // Registration names the file before the same message.
      const MessageRequest first = examined.reason.value_or(MessageRequest());
      ASSERT_EQ(registration.shown.size(), examined.reason ? 1u : 0u);
      if (examined.reason) {
        EXPECT_EQ(name + u"\r\n\r\n"_s + first.text, registration.shown[0].text);
      }
      ASSERT_TRUE(testing::WriteBytes(
          control, cp932::Encode(u"#2\r\n0,"_s + name + u"\r\n#3\r\n0,1,1,0\r\n"_s)));
      Project loaded;
      InSeries(loaded, mode, stereo, 3);
      const bool load_ok = LoadWpjFile(loaded, control, loading);
      EXPECT_TRUE(!load_ok ||
                  (loaded.voices.size() == 1 && !loaded.voices[0].SEC.startsWith(u'-')));
      // Refused by the sound reader: the load is refused with the same message.
      if ((first.number >= 2600 && first.number <= 2604) ||
          first.text.endsWith(TruncatedSoundText()) || first.text.contains(u"mmioRead"_s)) {
        ASSERT_TRUE(!load_ok && !loading.shown.empty());
        EXPECT_EQ(loading.shown[0].text, first.text);
      } else {
        EXPECT_TRUE(load_ok || !registered);
      }
    }
  }
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

  QTemporaryDir dir_;
};

TEST_F(FaultTest, SettingsFileOnAFullDeviceOrInTheWayStaysAsItWas) {
  const QByteArray before = "[SYSTEM]\r\nMode=1\r\n; kept by hand\r\n";
  const QString path = testing::FileIn(dir_, u"settings.ini"_s, before);
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
}

class ProjectFaultTest : public FaultTest {
 protected:
  void SetUp() override {
    work_ = dir_.filePath(u"work"_s);
    ASSERT_TRUE(testing::MakeCardReady(project_, dir_.path(), 1,
                                       {u"a01.wav"_s, u"a02.wav"_s, u"a03.wav"_s}, 200));
  }
  QString Target() const { return project_.settings.CardPath + u'/' + project_.card.Forder; }
  void ExpectOldCard() {
    EXPECT_EQ(EntriesIn(Target()), (QStringList{u"ANN01.wpj"_s, u"old.wav"_s}));
    EXPECT_EQ(testing::ReadFileBytes(Target() + u"/ANN01.wpj"_s), "old control file");
  }

  QString work_;
  Project project_;
  MeddlingOperator op_;
};

TEST_F(ProjectFaultTest, ControlFileAndTemporarySaveFailWhole) {
  const QString path = testing::FileIn(dir_, u"keep.wpg"_s, "the earlier save");
  const QList<VoiceRecord> voices = project_.voices;
  const CardInfo card = project_.card;
  testing::FailWritesAfter(100);  // the failure says why, in the system's words
  EXPECT_EQ(WriteControlFile(project_, path, true).error, qt_error_string(ENOSPC));
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
  // A card made earlier, which a failed run must not damage.
  ASSERT_TRUE(testing::WriteBytes(Target() + u"/ANN01.wpj"_s, "old control file"));
  ASSERT_TRUE(testing::WriteBytes(Target() + u"/old.wav"_s, "old sound"));
  // The work folder fills while the control file is written.
  testing::FailWritesAfter(50);
  op_.Answer(MessageAnswer::kYes);  // replace the existing folder
  CardMakeResult result = MakeCardData(project_, work_, op_);
  EXPECT_EQ(result.outcome, CardMakeOutcome::kControlFileFailed);
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2030, 2031, 2505}));
  EXPECT_EQ(std::pair(op_.shown.back().title_number, op_.busy_depth), std::pair(2500, 0));
  ExpectOldCard();
  EXPECT_TRUE(EntriesIn(work_).isEmpty());

  // ... or when sound files went away since they were registered.
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
    EXPECT_EQ(QFileInfo(Target() + u'/' + name).size(),
              testing::WaveOfLength(22050, 1, 16, 200).size())
        << name.toStdString();
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
  // A project not made by registration must still not write outside the work folder.
  project_.voices[1].NAME = u"../escape.wav"_s;
  const CardMakeResult result = MakeCardData(project_, work_, op_);
  EXPECT_EQ(result.outcome, CardMakeOutcome::kGatherFailed);
  EXPECT_EQ(result.failed_files, QStringList{u"../escape.wav"_s});
  EXPECT_FALSE(QFile::exists(dir_.filePath(u"escape.wav"_s)));
  EXPECT_FALSE(QFileInfo::exists(Target() + u"/ANN01.wpj"_s));
}

TEST_F(FaultTest, ConversionAndSilentFileLeaveNoPartialOutput) {
  const QString stereo = dir_.filePath(u"stereo.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(stereo, testing::WaveOfLength(22050, 2, 16, 500)));
  const QString output = testing::FileIn(dir_, u"mono.wav"_s, "an earlier output");
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
