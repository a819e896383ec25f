// Every file of the bad-input corpus (tests/corpus/bad, made by
// make_bad_inputs.py) meets the procedure that reads such files in real use,
// and must end exactly as tests/corpus/manifest.tsv says: what the operator
// was told, what was taken, what the project holds afterwards. Set
// PARLATONE_PRINT_OUTCOMES=1 to print every outcome when adding files.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "controlfile/control_file_loader.h"
#include "core/cp932.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "sound/wave_reader.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"
#include "tools/conversion_engine.h"
#include "voices/registration.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

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
  project.settings.Mode = mode;
  project.settings.AddFunction = add_function;
  project.settings.FileCapacity = capacity;
  DeriveSeriesLimits(project);
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
  const bool print = qEnvironmentVariableIsSet("PARLATONE_PRINT_OUTCOMES");
  QStringList listed;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file.toStdString() + " " + row.check.toStdString());
    ASSERT_TRUE(QFile::exists(kCorpus + u"/bad/"_s + row.file));
    const QString outcome = Outcome(row);
    if (print) {
      printf("%s\t%s\t%d\t%s\n", qPrintable(row.file), qPrintable(row.check), row.mode,
             qPrintable(outcome));
    }
    EXPECT_EQ(outcome, row.expected);
    listed << row.file;
  }
  // Every file of the corpus has its outcome written down.
  for (const QString& file : QDir(kCorpus + u"/bad"_s).entryList(QDir::Files)) {
    EXPECT_TRUE(listed.contains(file)) << file.toStdString() << " is not in the manifest";
  }
}

// What `info` says of a sound file (the examination registration begins with)
// is the registration's verdict in every series; loading a control file that
// names a file the reader refuses shows the same message; no negative length
// is ever registered or loaded.
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
  // Series 0 to 7 without stereo files, then 1 and 7 with them.
  for (const auto& [mode, stereo] :
       {std::pair{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {1, 1}, {7, 1}}) {
    Project project;
    InSeries(project, mode, stereo, 3);  // no capacity limit
    const AcceptanceRules rules = AcceptanceRules::From(project);
    const QString control = dir.filePath(u"check."_s + ControlFileExtension(mode));
    for (const auto& [name, bytes] : inputs) {
      SCOPED_TRACE(u"series %1 stereo %2 %3"_s.arg(mode).arg(stereo).arg(name).toStdString());
      const QString path = dir.filePath(name);
      testing::ScriptedOperator info, registration, loading;
      const FileExamination examined = ExamineForRegistration(path, rules, info);
      WorkingVoiceList list(project.ChannelCount);
      const bool registered = RegisterFiles(list, {path}, rules, registration).registered == 1;
      EXPECT_EQ(examined.accepted(), registered);
      EXPECT_TRUE(!registered || (examined.length_ms >= 0 && !list[0].SEC.startsWith(u'-')));
      // Registration names the file before the same messages.
      ASSERT_EQ(info.shown.size(), registration.shown.size());
      for (size_t m = 0; m < info.shown.size(); ++m) {
        EXPECT_EQ(name + u"\r\n\r\n"_s + info.shown[m].text, registration.shown[m].text);
      }
      ASSERT_TRUE(testing::WriteBytes(
          control, cp932::Encode(u"#2\r\n0,"_s + name + u"\r\n#3\r\n0,1,1,0\r\n"_s)));
      Project loaded;
      InSeries(loaded, mode, stereo, 3);
      const bool load_ok = LoadWpjFile(loaded, control, loading);
      EXPECT_TRUE(!load_ok ||
                  (loaded.voices.size() == 1 && !loaded.voices[0].SEC.startsWith(u'-')));
      // Refused by the sound reader: the load is refused with the same message.
      const auto first = info.shown.empty() ? testing::ShownMessage() : info.shown[0];
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

}  // namespace
}  // namespace parlatone
