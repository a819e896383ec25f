#include "gui/frm_play.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "support/qt_printers.h"
#include "support/sound_fixtures.h"
#include "voices/registration.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// Plays as asked and returns the names the dialog showed, in order.
QStringList PlayAndWatch(FrmPlay& dialog, int slot, bool play_all) {
  QStringList names;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    const QString name = dialog.findChild<QLabel*>(u"LblName"_s)->text();
    if (!name.isEmpty() && (names.isEmpty() || names.last() != name)) {
      names << name;
    }
  });
  watch.start(10);
  QTimer::singleShot(10000, &dialog, [&] { dialog.reject(); });  // a safety net only
  dialog.Play(slot, true, play_all);
  return names;
}

class FrmPlayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseSoundBackend(MakeSdlSoundBackend());  // the dummy driver plays in real time
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

TEST_F(FrmPlayTest, PlayAllPlaysEveryVoiceAndCloses) {
  FrmPlay dialog(list_, 1);
  EXPECT_EQ(dialog.windowTitle(), GetMessage(1005));
  QElapsedTimer timer;
  timer.start();
  const QStringList names = PlayAndWatch(dialog, 0, true);
  EXPECT_LT(timer.elapsed(), 9000);
  EXPECT_EQ(names, (QStringList{u"v0.wav"_s, u"v1.wav"_s, u"v2.wav"_s}));
  EXPECT_EQ(dialog.findChild<QLabel*>(u"LblTime"_s)->text(), u"0.150 秒"_s);
  EXPECT_EQ(dialog.CurrentSlot(), 0);
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
}

TEST_F(FrmPlayTest, PlayAllEndsAtTheFirstEmptySlot) {
  list_[3] = list_[2];  // a voice after the gap is not reached
  list_[2] = VoiceRecord();
  FrmPlay dialog(list_, 1);
  const QStringList names = PlayAndWatch(dialog, 0, true);
  EXPECT_EQ(names, (QStringList{u"v0.wav"_s, u"v1.wav"_s}));
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
}

TEST_F(FrmPlayTest, StopClosesAtOnce) {
  list_[0].FilePath = dir_.filePath(u"long.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(list_[0].FilePath, testing::WaveOfLength(22050, 1, 8, 5000)));
  FrmPlay dialog(list_, 1);
  QTimer::singleShot(300, &dialog, [&] {
    EXPECT_EQ(TheMediaLayer().OpenCount(), 1);
    QTest::mouseClick(dialog.findChild<QPushButton*>(u"CmdStop"_s), Qt::LeftButton);
  });
  QElapsedTimer timer;
  timer.start();
  dialog.Play(0, true, true);
  EXPECT_LT(timer.elapsed(), 2000);
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
}

}  // namespace
}  // namespace parlatone
