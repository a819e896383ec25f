#include "gui/frm_wave_add.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>

#include <gtest/gtest.h>

#include "gui/frm_main.h"
#include "gui/frm_play.h"
#include "gui/voice_list_model.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "support/gui2_window_test.h"
#include "support/gui_modal.h"
#include "support/sound_fixtures.h"
#include "voices/registration_session.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::Click;

class FrmWaveAddTest : public testing::WindowTest<> {
 protected:
  void SetUp() override { UseSoundBackend(MakeSdlSoundBackend()); }
  void UseMode(int mode, int voices) {
    UseSeries(mode);
    for (int v = 0; v < voices; ++v) {
      VoiceRecord voice;
      voice.NAME = u"v%1.wav"_s.arg(v);
      voice.SEC = u"0.500"_s;
      voice.BYTES = u"100"_s;
      project_.voices.append(voice);
    }
    project_.VoicesRegistered = voices > 0;
  }
  std::unique_ptr<FrmWaveAdd> Open() { return WindowTest::Open<FrmWaveAdd>(); }
  QString Wave(const QString& name, int rate = 22050, int channels = 1, int ms = 100) {
    EXPECT_TRUE(
        testing::WriteBytes(dir_.filePath(name), testing::WaveOfLength(rate, channels, 16, ms)));
    return dir_.filePath(name);
  }
  static QTableView* Grid(QWidget& window) { return window.findChild<QTableView*>(u"FgWave"_s); }
  static QModelIndex At(QWidget& window, int row, int column) {
    return Grid(window)->model()->index(row, column);
  }
  static QString Cell(QWidget& window, int row, int column) {
    return At(window, row, column).data().toString();
  }
};

// The columns fill the grid, and a comment of the allowed length (twenty
// full-width characters) reads whole, from its start: on a narrow window the
// outline and level columns are reached by scrolling. The MP3 series has its
// own columns and the capacity list, whose change empties the list once agreed.
TEST_F(FrmWaveAddTest, LayoutOfBothSoundFormats) {
  for (int mode : {1, 7}) {
    SCOPED_TRACE(mode);
    project_.voices.clear();
    UseMode(mode, 2);
    project_.settings.FileCapacity = 1;
    project_.voices[0].COMENTS = QString(20, QChar(u'案'));
    auto window = Open();
    QTableView* grid = Grid(*window);
    const int comment = VoiceListModel::kCommentColumn;
    const int text = grid->fontMetrics().horizontalAdvance(project_.voices[0].COMENTS) + 12;
    for (const int width : {1000, 1500}) {
      window->resize(width, 800);
      QTest::qWait(20);
      int used = 0;
      for (int c = 0; c < grid->model()->columnCount(); ++c) {
        used += grid->isColumnHidden(c) ? 0 : grid->columnWidth(c);
      }
      EXPECT_EQ(used, std::max(grid->viewport()->width(), used - grid->columnWidth(comment) + text))
          << width;
    }
    EXPECT_EQ(At(*window, 0, comment).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
              Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(grid->model()->columnCount(), mode == 7 ? 14 : 12);
    EXPECT_EQ(window->findChild<QComboBox*>(u"cmbSize"_s)->isVisible(), mode == 7);
    EXPECT_EQ(window->findChild<QPushButton*>(u"CmdTool"_s)->isEnabled(), mode != 7);
    EXPECT_FALSE(window->findChild<QPushButton*>(u"CmdWave1"_s)->isEnabled());  // nothing selected
  }
  auto window = Open();
  op_.Answer(MessageAnswer::kYes);
  window->findChild<QComboBox*>(u"cmbSize"_s)->setCurrentIndex(3);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2020});
  EXPECT_EQ(Cell(*window, 0, 1), QString());
}

// A 1000-channel list on two pages: the rate cell of an old file, the comment
// editor (composed input, taken before Cancel asks), renumbering, empty rows
// closed to editing, a move across the pages, a long comment refused on its
// own page.
TEST_F(FrmWaveAddTest, EditingAcrossThePages) {
  UseMode(4, 300);
  project_.voices[0].SampleRate = u"8"_s;  // a plain number, as an old file may hold
  auto window = Open();
  QTableView* grid = Grid(*window);
  EXPECT_EQ(Cell(*window, 0, 3), u"08.000"_s);
  grid->setFocus();
  grid->setCurrentIndex(At(*window, 0, 2));
  QTest::keyClick(grid, Qt::Key_F2);
  auto* editor = grid->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->testAttribute(Qt::WA_InputMethodEnabled));
  editor->setText(u"駅前"_s);
  op_.Answer(MessageAnswer::kNo);
  Click(*window, u"CmdCancel"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2026});
  EXPECT_EQ(window->Session().List()[0].COMENTS, u"駅前"_s);
  EXPECT_TRUE(project_.voices[0].COMENTS.isEmpty());  // nothing committed yet

  grid->setCurrentIndex(At(*window, 2, 1));
  op_.Answer(MessageAnswer::kYes);
  Click(*window, u"CmdWave1"_s);
  EXPECT_EQ(Cell(*window, 2, 0) + Cell(*window, 2, 1), u"003v3.wav"_s);
  // The first row of page 2 moved up lands on row 250 of page 1.
  window->findChild<QTabBar*>(u"TabStrip"_s)->setCurrentIndex(1);
  EXPECT_FALSE(grid->model()->flags(At(*window, 60, 2)) & Qt::ItemIsEditable);
  grid->setCurrentIndex(At(*window, 0, 1));
  const QString moving = Cell(*window, 0, 1);
  Click(*window, u"CmdWave5"_s);
  EXPECT_EQ(window->CurrentPage(), 0);
  EXPECT_EQ(Cell(*window, 249, 1), moving);
  EXPECT_EQ(window->SelectedSlot(), 249);

  op_ = {};
  window->Session().EditComment(260, QString(21, QChar(u'案')));
  Click(*window, u"CmdOk"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2066});
  EXPECT_EQ(window->CurrentPage(), 1);
  EXPECT_EQ(grid->currentIndex(), At(*window, 10, 2));
  EXPECT_TRUE(window->isVisible());
}

// The outline and level columns fill in after the grid is shown, a page
// change never waiting for them; a voice that clips or sits far from the
// others' median is marked and says why.
TEST_F(FrmWaveAddTest, LevelsFillInBehindThePagesAndMarkWhatStandsOut) {
  UseMode(4, 0);
  for (int v = 0; v < 252; ++v) {
    VoiceRecord voice;
    voice.NAME = u"v%1.wav"_s.arg(v);
    voice.FilePath = dir_.filePath(voice.NAME);
    const double amplitude = v == 0 ? 0.02 : v == 1 ? 1.0 : 0.3;
    ASSERT_TRUE(testing::WriteBytes(voice.FilePath, testing::SineWave(8000, 600, amplitude)));
    project_.voices.append(voice);
  }
  project_.VoicesRegistered = true;
  auto window = Open();
  const int levels = qobject_cast<VoiceListModel*>(Grid(*window)->model())->LevelsColumn();
  EXPECT_EQ(Cell(*window, 0, levels), u"…"_s);
  // Results come back through the event loop: none has yet when the page changes.
  window->findChild<QTabBar*>(u"TabStrip"_s)->setCurrentIndex(1);
  EXPECT_EQ(Cell(*window, 0, 1), u"v250.wav"_s);
  EXPECT_EQ(Cell(*window, 0, levels), u"…"_s);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Cell(*window, 1, levels).contains(u"LUFS"_s); }, 20000));
  window->findChild<QTabBar*>(u"TabStrip"_s)->setCurrentIndex(0);
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return Cell(*window, 249, levels).contains(u"LUFS"_s); }, 20000));
  const auto tip = [&](int row) {
    return At(*window, row, levels).data(Qt::ToolTipRole).toString();
  };
  EXPECT_TRUE(tip(0).contains(u"中央値"_s) && tip(0).contains(u"小さい音量"_s))
      << tip(0).toStdString();
  EXPECT_TRUE(tip(1).contains(u"フルスケール"_s)) << tip(1).toStdString();
  EXPECT_FALSE(tip(2).contains(u"中央値"_s) || tip(2).contains(u"フルスケール"_s));
  EXPECT_TRUE(At(*window, 0, levels).data(Qt::ForegroundRole).isValid());
  EXPECT_FALSE(At(*window, 2, levels).data(Qt::ForegroundRole).isValid());
  EXPECT_EQ(Cell(*window, 2, levels), u"\u221213.5 LUFS / \u221210.5 dBFS"_s);
  EXPECT_FALSE(Grid(*window)->grab().isNull());  // the outlines paint
}

// A dropped folder registers its sound files by name, without subfolders;
// the refused ones come back, on request, as converted copies in the folder
// chosen, their names as comments. Then files from both choosers, the totals
// label, the player, OK; and through the main window, a voice removed in the
// window leaves every channel.
TEST_F(FrmWaveAddTest, RegisteredByDropAndChoosersPlayedAndPurgedFromTheChannels) {
  UseMode(1, 0);
  for (const QString& name : {u"ok.wav"_s, u"dup.wav"_s, u"sub/c.wav"_s}) {
    Wave(u"studio/"_s + name);
  }
  Wave(u"studio/閉店案内.wav"_s, 48000, 2, 300);
  ASSERT_TRUE(testing::WriteBytes(dir_.filePath(u"studio/notes.txt"_s), QByteArray("x")));
  auto window = Open();
  const QString fitted = dir_.filePath(u"fitted"_s);
  choosers_.answers.push_back(fitted);
  op_.Answer(MessageAnswer::kYes);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(dir_.filePath(u"studio"_s))});
  // As a file manager's drag arrives: it enters the window, then drops.
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.get(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.get(), &drop);
  EXPECT_TRUE(op_.AllAnswersUsed() && choosers_.answers.empty());
  EXPECT_EQ(op_.shown.at(0).buttons, MessageButtons::kYesNo);  // the offer to convert
  EXPECT_TRUE(QFileInfo::exists(fitted + u"/VOICE001.wav"_s));
  EXPECT_EQ(Cell(*window, 2, VoiceListModel::kCommentColumn), u"閉店案内"_s);

  choosers_.selections.push_back({Wave(u"A01.wav"_s, 22050, 1, 300)});
  choosers_.answers.push_back(QFileInfo(Wave(u"more/B02.wav"_s)).path());
  Click(*window, u"CmdWave0"_s);
  Click(*window, u"CmdWave7"_s);
  QStringList names;
  for (int row = 0; row < 6; ++row) {
    names << Cell(*window, row, 1);
  }
  EXPECT_EQ(names, QStringList({u"dup.wav"_s, u"ok.wav"_s, u"VOICE001.wav"_s, u"A01.wav"_s,
                                u"B02.wav"_s, QString()}));
  EXPECT_EQ(window->findChild<QLabel*>(u"LblTime"_s)->text(), u"0.900秒"_s);
  QString played;
  ::testing::OnModal<FrmPlay>([&](FrmPlay& player) {
    auto* name = player.findChild<QLabel*>(u"LblName"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !name->text().isEmpty(); }, 5000));
    played = name->text();
    player.reject();
  });
  Click(*window, u"CmdWave4"_s);  // returns when the player closes
  EXPECT_EQ(played, u"dup.wav"_s);
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
  Click(*window, u"CmdOk"_s);
  ASSERT_EQ(project_.voices.size(), 5);
  EXPECT_EQ(project_.settings.WavePath, dir_.filePath(u"more"_s));
  EXPECT_TRUE(project_.IsEdited());

  FrmMain main_window(project_, paths_, op_, choosers_);  // starts with reset channels
  main_window.show();
  project_.programs[0].Voice[0] = u"A01.wav"_s;
  project_.programs[0].Voice[1] = u"B02.wav"_s;
  ::testing::OnModal<FrmWaveAdd>([&](FrmWaveAdd& wave) {
    Grid(wave)->setCurrentIndex(At(wave, 4, 1));
    op_.Answer(MessageAnswer::kYes);
    Click(wave, u"CmdWave1"_s);
    Click(wave, u"CmdOk"_s);
  });
  main_window.findChild<QAction*>(u"WAVE"_s)->trigger();
  EXPECT_EQ(project_.voices.size(), 4);
  EXPECT_TRUE(project_.programs[0].Voice[1].isEmpty());
  EXPECT_EQ(project_.programs[0].Time, u"0.3"_s);
}

}  // namespace
}  // namespace parlatone
