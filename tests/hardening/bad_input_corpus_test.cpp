// Every file of the bad-input corpus (tests/corpus/bad, made by
// make_bad_inputs.py) meets the procedure that reads such files in real use,
// and must end exactly as tests/corpus/manifest.tsv says: what the operator
// was told, what was taken, what the project holds afterwards. Set
// PARLATONE_PRINT_OUTCOMES=1 to print every outcome when adding files.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include "controlfile/control_file_loader.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
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
  QFile file(kCorpus + u"/manifest.tsv"_s);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    ADD_FAILURE() << "no manifest";
    return rows;
  }
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QString line = in.readLine();
    if (line.isEmpty() || line.startsWith(u'#')) {
      continue;
    }
    const QStringList fields = line.split(u'\t');
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

QString Register(const QString& path, int mode, int add_function = 0) {
  testing::ScriptedOperator op;
  for (int i = 0; i < 4; ++i) {
    op.Answer(MessageAnswer::kNo);  // any question (a duplicate name) is declined
  }
  Project project;
  project.settings.Mode = mode;
  project.settings.AddFunction = add_function;
  DeriveSeriesLimits(project);
  WorkingVoiceList list(project.ChannelCount);
  const RegistrationResult result = RegisterFiles(list, {path}, AcceptanceRules::From(project), op);
  return u"registered=%1 messages=%2"_s.arg(result.registered).arg(Messages(op));
}

QString Load(const QString& path, int mode) {
  testing::ScriptedOperator op;
  Project project;
  project.settings.Mode = mode;
  DeriveSeriesLimits(project);
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
  if (row.check == u"register"_s) {
    return Register(path, row.mode);
  }
  if (row.check == u"register-stereo"_s) {
    return Register(path, row.mode, 1);
  }
  if (row.check == u"load"_s) {
    return Load(path, row.mode);
  }
  if (row.check == u"settings"_s) {
    return Settings(path);
  }
  if (row.check == u"element"_s) {
    return Element(path);
  }
  if (row.check == u"convert"_s) {
    return Convert(path);
  }
  return u"unknown check "_s + row.check;
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

}  // namespace
}  // namespace parlatone
