#include "gui/frm_play.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "gui/levels_feeder.h"
#include "gui/waveform_view.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "support/qt_printers.h"
#include "support/sound_fixtures.h"
#include "voices/registration.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class FrmPlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSoundBackend(MakeSdlSoundBackend());
    for (int slot = 0; slot < 3; ++slot) {
      VoiceRecord& voice = list_[slot];
      voice.NAME = u"v%1.wav"_s.arg(slot);
      voice.FilePath = dir_.filePath(voice.NAME);
      ASSERT_TRUE(testing::WriteBytes(voice.FilePath, testing::WaveOfLength(22050, 1, 8, 150)));
      voice.SEC = u"0.150"_s;
    }
  }
  QTemporaryDir dir_;
  WorkingVoiceList list_{255};
};

// On the real layer (the dummy driver plays in real time, and the SDL
// functions must outlive the backend at exit).
TEST_F(FrmPlayTest, PlayAllPlaysEveryVoiceAndCloses) {
  FrmPlay dialog(list_, 1);
  QStringList names;  // as the dialog showed them
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    const QString name = dialog.findChild<QLabel*>(u"LblName"_s)->text();
    if (!name.isEmpty() && (names.isEmpty() || names.last() != name)) {
      names << name;
    }
  });
  watch.start(10);
  QTimer::singleShot(10000, &dialog, [&] { dialog.reject(); });  // a safety net only
  QElapsedTimer timer;
  timer.start();
  dialog.Play(0, true, true);
  EXPECT_LT(timer.elapsed(), 9000);
  EXPECT_EQ(names, (QStringList{u"v0.wav"_s, u"v1.wav"_s, u"v2.wav"_s}));
  EXPECT_EQ(dialog.findChild<QLabel*>(u"LblTime"_s)->text(), u"0.150 秒"_s);
  EXPECT_EQ(dialog.CurrentSlot(), 0);
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
}

// The voice's waveform with the play position; a click on it plays from
// there, and the elapsed time follows; Stop closes at once.
TEST_F(FrmPlayTest, WaveformSeeksOnAClickAndStopClosesAtOnce) {
  list_[0].FilePath = dir_.filePath(u"long.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(list_[0].FilePath, testing::SineWave(22050, 8000, 0.5)));
  LevelsFeeder feeder(QString{});
  FrmPlay dialog(list_, 1, nullptr, &feeder);
  auto* wave = dialog.findChild<WaveformView*>(u"PicWave"_s);
  auto* position = dialog.findChild<QLabel*>(u"LblPosition"_s);
  ASSERT_TRUE(wave != nullptr && position != nullptr);
  double before_click = -1.0;
  QTimer::singleShot(400, &dialog, [&] {
    EXPECT_TRUE(wave->HasLevels());
    EXPECT_EQ(TheMediaLayer().OpenCount(), 1);
    EXPECT_TRUE(position->text().endsWith(u" / 0:08.0"_s)) << position->text().toStdString();
    before_click = wave->Position();
    QTest::mouseClick(wave, Qt::LeftButton, {}, QPoint(wave->width() * 3 / 4, wave->height() / 2));
  });
  QTimer::singleShot(700, &dialog, [&] {
    // From three quarters on: 6.0 s and a little played since.
    EXPECT_GE(wave->Position(), 0.74);
    EXPECT_LT(wave->Position(), 0.9);
    EXPECT_TRUE(position->text().startsWith(u"0:06."_s)) << position->text().toStdString();
    QTest::mouseClick(dialog.findChild<QPushButton*>(u"CmdStop"_s), Qt::LeftButton);
  });
  QElapsedTimer timer;
  timer.start();
  dialog.Play(0, true, false);
  EXPECT_LT(timer.elapsed(), 2000);
  EXPECT_GT(before_click, 0.0);
  EXPECT_LT(before_click, 0.25);
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
}

// Closed before playing could start (Escape typed ahead): no sound is left
// open behind the closed dialog.
TEST_F(FrmPlayTest, ClosedBeforeItPlaysLeavesNothingOpen) {
  FrmPlay dialog(list_, 1);
  QTimer::singleShot(0, &dialog, [&] { dialog.reject(); });
  dialog.Play(0, true, false);
  QTest::qWait(50);
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
}

}  // namespace
}  // namespace parlatone
