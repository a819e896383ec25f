// The demo project in examples/demo is what a new user opens first: LOAD,
// audition, print and card data must all work on it as it lies, with nothing
// prepared, in every series that takes 16-bit mono at 22050 Hz (which series
// those are is the series table's own test). This reads the committed files.

#include <QDir>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "card/card_info.h"
#include "card/card_maker.h"
#include "controlfile/control_file_loader.h"
#include "core/series.h"
#include "core/text.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

TEST(DemoProject, LoadsWholeAndMakesCompleteCardData) {
  UseSoundBackend(MakeSdlSoundBackend());
  const QString folder = QStringLiteral(PARLATONE_SOURCE_DIR "/examples/demo");
  const QStringList sounds = QDir(folder).entryList({u"*.wav"_s}, QDir::Files, QDir::Name);
  Project project;
  project.settings.Mode = 1;  // the series of a first start
  DeriveSeriesLimits(project);
  testing::ScriptedOperator op;
  ASSERT_TRUE(LoadWpjFile(project, folder + u"/DEMO.wpj"_s, op));
  EXPECT_TRUE(op.shown.empty());
  // Every sound file of the folder is a voice (found beside the control file:
  // the card data below copies each from there); each is long enough to be
  // heard, and its comment passes the registration window's OK (at most 40
  // bytes), or a new user is stopped at the first OK.
  QStringList names;
  for (const VoiceRecord& voice : project.voices) {
    SCOPED_TRACE(voice.NAME.toStdString());
    names << voice.NAME;
    EXPECT_EQ(voice.SampleRate + voice.BitRate + voice.TYPE, u"22.05KHz16bitMono"_s);
    EXPECT_TRUE(voice.SEC.toDouble() >= 0.3 && voice.SEC.toDouble() <= 8.0)
        << voice.SEC.toStdString();
    EXPECT_TRUE(!voice.COMENTS.isEmpty() && AnsiByteLength(voice.COMENTS) <= 40);
  }
  names.sort();
  EXPECT_EQ(names, sounds);
  // Several channels with more than one output line and repeat setting, each
  // slot naming a registered voice.
  QSet<QString> sp_values, rp_values;
  for (int channel = 0; channel < project.ChannelCount; ++channel) {
    const ProgramRecord& record = project.programs[static_cast<size_t>(channel)];
    if (project.ChannelInUse(channel)) {
      sp_values << record.SP;
      rp_values << record.RP;
      EXPECT_GT(record.Time.toDouble(), 0.0) << channel;
      for (const QString& name : record.Voice) {
        EXPECT_TRUE(name.isEmpty() || project.FindVoice(name).has_value()) << channel;
      }
    }
  }
  EXPECT_GE(sp_values.size(), 2);
  EXPECT_GE(rp_values.size(), 2);
  // The card information passes the card data window's check as loaded.
  EXPECT_TRUE(CheckCardInfo(CardFormFromProject(project), op));
  EXPECT_EQ(project.card.UseSize, SizeClassOf(TotalSoundSize(project).bytes, 1).text);

  // Card data from the demo: every sound and the control file, nothing else.
  QTemporaryDir root;
  project.settings.CardPath = root.filePath(u"cards"_s);
  ASSERT_TRUE(QDir().mkpath(project.settings.CardPath));
  project.card = CardFormFromProject(project);
  const CardMakeResult result = MakeCardData(project, root.filePath(u"work/Temp"_s), op);
  ASSERT_EQ(result.outcome, CardMakeOutcome::kMade);
  EXPECT_EQ(op.Numbers(), (std::vector<int>{2030, 2035}));
  QStringList expected = sounds;
  expected << project.card.CardName + u".wpj"_s;
  expected.sort();
  QStringList made = QDir(result.target_folder).entryList(QDir::Files);
  made.sort();
  EXPECT_EQ(made, expected);
}

}  // namespace
}  // namespace parlatone
