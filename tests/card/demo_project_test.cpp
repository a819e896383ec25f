// The demo project in examples/demo is what a new user opens first: LOAD,
// audition, print and card data must all work on it as it lies, with nothing
// prepared. These tests read the committed files themselves.

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "card/card_info.h"
#include "card/card_maker.h"
#include "controlfile/control_file_loader.h"
#include "core/project.h"
#include "core/series.h"
#include "core/text.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"
#include "voices/registration.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

const QString kDemoFolder = QStringLiteral(PARLATONE_SOURCE_DIR "/examples/demo");
const QString kDemoFile = kDemoFolder + u"/DEMO.wpj"_s;

QStringList SortedNames(const QList<VoiceRecord>& voices) {
  QStringList names;
  for (const VoiceRecord& voice : voices) {
    names << voice.NAME;
  }
  names.sort();
  return names;
}

class DemoProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSoundBackend(MakeSdlSoundBackend());
    project_.settings.Mode = 1;  // the series of a first start
    DeriveSeriesLimits(project_);
  }

  bool Load(const QString& path) {
    op_ = {};
    return LoadWpjFile(project_, path, op_);
  }

  QStringList SoundFilesIn(const QString& folder) const {
    return QDir(folder).entryList({u"*.wav"_s}, QDir::Files, QDir::Name);
  }

  Project project_;
  testing::ScriptedOperator op_;
};

TEST_F(DemoProjectTest, LoadsWithEverySoundFileFoundBesideTheControlFile) {
  ASSERT_TRUE(Load(kDemoFile));
  EXPECT_TRUE(op_.shown.empty());
  ASSERT_TRUE(project_.VoicesRegistered);

  // Every sound file of the folder is a voice, and every voice is there.
  EXPECT_EQ(SortedNames(project_.voices), SoundFilesIn(kDemoFolder));
  for (const VoiceRecord& voice : project_.voices) {
    SCOPED_TRACE(voice.NAME.toStdString());
    EXPECT_EQ(QFileInfo(voice.FilePath).canonicalFilePath(),
              QFileInfo(kDemoFolder + u'/' + voice.NAME).canonicalFilePath());
    EXPECT_EQ(voice.SampleRate, u"22.05KHz"_s);
    EXPECT_EQ(voice.BitRate, u"16bit"_s);
    EXPECT_EQ(voice.TYPE, u"Mono"_s);
    EXPECT_EQ(voice.BYTES.toLongLong(), QFileInfo(voice.FilePath).size());
    // Short announcements, each long enough to be heard.
    EXPECT_GE(voice.SEC.toDouble(), 0.3);
    EXPECT_LE(voice.SEC.toDouble(), 8.0);
    // A comment the registration window's OK would refuse (over 20
    // full-width characters) would stop a new user at the first OK.
    EXPECT_FALSE(voice.COMENTS.isEmpty());
    EXPECT_LE(AnsiByteLength(voice.COMENTS), 40);
  }

  // Several channels, with more than one output line and repeat setting,
  // every slot naming a registered voice and every channel taking time.
  int channels_in_use = 0;
  QSet<QString> sp_values;
  QSet<QString> rp_values;
  for (int channel = 0; channel < project_.ChannelCount; ++channel) {
    const ProgramRecord& record = project_.programs[static_cast<size_t>(channel)];
    if (!project_.ChannelInUse(channel)) {
      EXPECT_EQ(record, ProgramRecord()) << channel;
      continue;
    }
    ++channels_in_use;
    sp_values << record.SP;
    rp_values << record.RP;
    EXPECT_GT(record.Time.toDouble(), 0.0) << channel;
    for (int slot = 0; slot <= MaxVoiceIndex(project_.Mode()); ++slot) {
      const QString& name = record.Voice[static_cast<size_t>(slot)];
      if (!name.isEmpty()) {
        EXPECT_TRUE(project_.FindVoice(name).has_value()) << channel << ' ' << slot;
      }
    }
  }
  EXPECT_GE(channels_in_use, 4);
  EXPECT_GE(sp_values.size(), 2);
  EXPECT_GE(rp_values.size(), 2);

  // The card information passes the card data window's check as loaded.
  testing::ScriptedOperator check_op;
  EXPECT_TRUE(CheckCardInfo(CardFormFromProject(project_), check_op));
  EXPECT_TRUE(check_op.shown.empty());
  EXPECT_EQ(project_.card.UseSize, SizeClassOf(TotalSoundSize(project_).bytes, 1).text);
}

TEST_F(DemoProjectTest, SoundFilesRegisterInEverySeriesThatTakesSixteenBitsAt22050Hz) {
  for (int mode : {1, 2, 3, 4, 5, 6}) {
    SCOPED_TRACE(mode);
    project_.settings.Mode = mode;
    DeriveSeriesLimits(project_);
    WorkingVoiceList list(project_.ChannelCount);
    QStringList paths;
    for (const QString& name : SoundFilesIn(kDemoFolder)) {
      paths << kDemoFolder + u'/' + name;
    }
    op_ = {};
    const RegistrationResult result =
        RegisterFiles(list, paths, AcceptanceRules::From(project_), op_);
    EXPECT_EQ(result.registered, paths.size());
    EXPECT_TRUE(op_.shown.empty());
  }
}

TEST_F(DemoProjectTest, MakesCompleteCardDataThatLoadsAgain) {
  ASSERT_TRUE(Load(kDemoFile));
  QTemporaryDir root;
  const QString cards = root.filePath(u"cards"_s);
  ASSERT_TRUE(QDir().mkpath(cards));
  project_.settings.CardPath = cards;
  // The card data window fills its fields from the project and stores them.
  project_.card = CardFormFromProject(project_);
  op_ = {};
  const CardMakeResult result = MakeCardData(project_, root.filePath(u"work/Temp"_s), op_);
  ASSERT_EQ(result.outcome, CardMakeOutcome::kMade);
  EXPECT_TRUE(result.failed_files.isEmpty());
  // The format warning and the closing notice, nothing else.
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2030, 2035}));

  const QString target = result.target_folder;
  EXPECT_EQ(QFileInfo(target).fileName(), project_.card.Forder);
  QStringList expected = SoundFilesIn(kDemoFolder);
  expected << project_.card.CardName + u".wpj"_s;
  expected.sort();
  QStringList made = QDir(target).entryList(QDir::Files, QDir::Name);
  made.sort();
  EXPECT_EQ(made, expected);
  for (const QString& name : SoundFilesIn(kDemoFolder)) {
    EXPECT_EQ(testing::ReadFileBytes(target + u'/' + name),
              testing::ReadFileBytes(kDemoFolder + u'/' + name))
        << name.toStdString();
  }

  // The card's own control file is the project again, read from the card.
  const QList<VoiceRecord> voices = project_.voices;
  const auto programs = project_.programs;
  const CardInfo card = project_.card;
  ASSERT_TRUE(Load(target + u'/' + card.CardName + u".wpj"_s));
  EXPECT_EQ(SortedNames(project_.voices), SortedNames(voices));
  for (qsizetype i = 0; i < voices.size(); ++i) {
    EXPECT_EQ(project_.voices[i].NAME, voices[i].NAME);
    EXPECT_EQ(project_.voices[i].COMENTS, voices[i].COMENTS);
    EXPECT_EQ(QFileInfo(project_.voices[i].FilePath).absolutePath(), target);
  }
  for (int channel = 0; channel < project_.ChannelCount; ++channel) {
    const size_t index = static_cast<size_t>(channel);
    EXPECT_EQ(project_.programs[index].Voice, programs[index].Voice) << channel;
    EXPECT_EQ(project_.programs[index].SP, programs[index].SP) << channel;
    EXPECT_EQ(project_.programs[index].RP, programs[index].RP) << channel;
  }
  EXPECT_EQ(project_.card, card);
}

}  // namespace
}  // namespace parlatone
