#include "gui/frm_wave_add.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "gui/choosers.h"
#include "gui/frm_main.h"
#include "gui/frm_play.h"
#include "gui/voice_list_model.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "support/qt_printers.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "voices/registration_session.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class FrmWaveAddTest : public ::testing::Test {
 protected:
  void SetUp() override { UseSoundBackend(MakeSdlSoundBackend()); }
  void UseMode(int mode, int voices) {
    project_.settings.Mode = mode;
    DeriveSeriesLimits(project_);
    for (int v = 0; v < voices; ++v) {
      VoiceRecord voice;
      voice.NAME = u"v%1.wav"_s.arg(v);
      voice.SEC = u"0.500"_s;
      voice.BYTES = u"100"_s;
      project_.voices.append(voice);
    }
    project_.VoicesRegistered = voices > 0;
    paths_.settings_file = dir_.filePath(u"settings.ini"_s);
    paths_.element_file = ResolveAppPaths().element_file;
  }
  std::unique_ptr<FrmWaveAdd> Open() {
    auto window = std::make_unique<FrmWaveAdd>(project_, paths_, op_, choosers_);
    window->show();
    return window;
  }
  static QTableView* Grid(FrmWaveAdd& window) { return window.findChild<QTableView*>(u"FgWave"_s); }
  static void SetCurrentCell(FrmWaveAdd& window, int row, int column) {
    Grid(window)->setCurrentIndex(Grid(window)->model()->index(row, column));
  }
  QPushButton* Button(FrmWaveAdd& window, const QString& name) {
    return window.findChild<QPushButton*>(name);
  }
  QString Cell(FrmWaveAdd& window, int row, int column) {
    return Grid(window)->model()->index(row, column).data().toString();
  }

  QTemporaryDir dir_;
  Project project_;
  AppPaths paths_;
  testing::ScriptedOperator op_;
  testing::ScriptedChoosers choosers_;
};

// The columns use the grid's width, and a comment of the allowed length
// (twenty full-width characters) is read whole, from its start.
TEST_F(FrmWaveAddTest, CommentsFillTheGridAndReadWhole) {
  for (int mode : {1, 7}) {
    UseMode(mode, 1);
    project_.voices[0].COMENTS = QString(20, QChar(u'案'));
    for (const QSize size : {QSize(1000, 650), QSize(1500, 900)}) {
      auto window = Open();
      window->resize(size);
      QTest::qWait(20);
      QTableView* grid = Grid(*window);
      int used = 0;
      for (int c = 0; c < grid->model()->columnCount(); ++c) {
        used += grid->isColumnHidden(c) ? 0 : grid->columnWidth(c);
      }
      const int comment = VoiceListModel::kCommentColumn;
      // The grid is filled; on a narrow window the outline and level
      // columns are reached by scrolling, the comment staying whole.
      const int needed = grid->fontMetrics().horizontalAdvance(project_.voices[0].COMENTS) + 12;
      EXPECT_EQ(used,
                std::max(grid->viewport()->width(), used - grid->columnWidth(comment) + needed))
          << mode << " " << size.width();
      EXPECT_GE(grid->columnWidth(comment),
                grid->fontMetrics().horizontalAdvance(project_.voices[0].COMENTS))
          << mode;
      EXPECT_EQ(grid->model()->index(0, comment).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                Qt::AlignLeft | Qt::AlignVCenter);
    }
    project_.voices.clear();
  }
}

TEST_F(FrmWaveAddTest, LayoutOfBothSoundFormats) {
  UseMode(1, 2);
  auto wave = Open();
  EXPECT_EQ(wave->windowTitle(), GetMessage(1004));
  EXPECT_EQ(Grid(*wave)->model()->columnCount(), 12);
  EXPECT_EQ(Cell(*wave, 0, 0), u"001"_s);
  EXPECT_EQ(Cell(*wave, 1, 1), u"v1.wav"_s);
  EXPECT_FALSE(wave->findChild<QComboBox*>(u"cmbSize"_s)->isVisible());
  EXPECT_FALSE(Button(*wave, u"CmdWave1"_s)->isEnabled());  // nothing selected yet
  Project mp3_project;
  mp3_project.settings.Mode = 7;
  DeriveSeriesLimits(mp3_project);
  FrmWaveAdd mp3(mp3_project, paths_, op_, choosers_);
  mp3.show();
  EXPECT_EQ(Grid(mp3)->model()->columnCount(), 14);
  EXPECT_EQ(Grid(mp3)->model()->headerData(3, Qt::Horizontal).toString(), u"MPEG"_s);
  EXPECT_TRUE(mp3.findChild<QComboBox*>(u"cmbSize"_s)->isVisible());
  EXPECT_FALSE(Button(mp3, u"CmdTool"_s)->isEnabled());
}

TEST_F(FrmWaveAddTest, OkRightAfterOpeningChangesNothing) {
  UseMode(1, 3);
  const QList<VoiceRecord> before = project_.voices;
  auto window = Open();
  QTest::mouseClick(Button(*window, u"CmdOk"_s), Qt::LeftButton);
  EXPECT_EQ(window->result(), QDialog::Accepted);
  EXPECT_EQ(project_.voices, before);
  EXPECT_FALSE(project_.IsEdited());
}

TEST_F(FrmWaveAddTest, LongCommentShowsItsPage) {
  UseMode(4, 300);
  auto window = Open();
  window->Session().EditComment(260, QString(21, QChar(u'案')));
  QTest::mouseClick(Button(*window, u"CmdOk"_s), Qt::LeftButton);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2066});
  EXPECT_EQ(window->CurrentPage(), 1);
  EXPECT_EQ(Grid(*window)->currentIndex().row(), 10);
  EXPECT_EQ(Grid(*window)->currentIndex().column(), 2);
  EXPECT_TRUE(window->isVisible());
}

TEST_F(FrmWaveAddTest, DeleteRenumbersAndMovesCrossPages) {
  UseMode(4, 300);
  auto window = Open();
  SetCurrentCell(*window, 2, 1);
  op_.Answer(MessageAnswer::kYes);
  QTest::mouseClick(Button(*window, u"CmdWave1"_s), Qt::LeftButton);
  EXPECT_EQ(Cell(*window, 2, 1), u"v3.wav"_s);
  EXPECT_EQ(Cell(*window, 2, 0), u"003"_s);
  // The first row of page 2 moved up lands on row 250 of page 1.
  window->findChild<QTabBar*>(u"TabStrip"_s)->setCurrentIndex(1);
  SetCurrentCell(*window, 0, 1);
  const QString moving = Cell(*window, 0, 1);
  QTest::mouseClick(Button(*window, u"CmdWave5"_s), Qt::LeftButton);
  EXPECT_EQ(window->CurrentPage(), 0);
  EXPECT_EQ(Cell(*window, 249, 1), moving);
  EXPECT_EQ(window->SelectedSlot(), 249);
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
  // Results come back through the event loop: none has yet when the page
  // changes.
  window->findChild<QTabBar*>(u"TabStrip"_s)->setCurrentIndex(1);
  EXPECT_EQ(Cell(*window, 0, 1), u"v250.wav"_s);
  EXPECT_EQ(Cell(*window, 0, levels), u"…"_s);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Cell(*window, 1, levels).contains(u"LUFS"_s); }, 20000));
  window->findChild<QTabBar*>(u"TabStrip"_s)->setCurrentIndex(0);
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return Cell(*window, 249, levels).contains(u"LUFS"_s); }, 20000));
  const auto tip = [&](int row) {
    return Grid(*window)->model()->index(row, levels).data(Qt::ToolTipRole).toString();
  };
  EXPECT_TRUE(tip(0).contains(u"中央値"_s) && tip(0).contains(u"小さい音量"_s))
      << tip(0).toStdString();
  EXPECT_TRUE(tip(1).contains(u"フルスケール"_s)) << tip(1).toStdString();
  EXPECT_FALSE(tip(2).contains(u"中央値"_s) || tip(2).contains(u"フルスケール"_s));
  EXPECT_TRUE(Grid(*window)->model()->index(0, levels).data(Qt::ForegroundRole).isValid());
  EXPECT_FALSE(Grid(*window)->model()->index(2, levels).data(Qt::ForegroundRole).isValid());
  EXPECT_EQ(Cell(*window, 2, levels), u"\u221213.5 LUFS / \u221210.5 dBFS"_s);
  EXPECT_FALSE(Grid(*window)->grab().isNull());  // the outlines paint
}

TEST_F(FrmWaveAddTest, CapacityChangeThenCancel) {
  UseMode(7, 2);
  project_.settings.FileCapacity = 1;
  auto window = Open();
  op_.Answer(MessageAnswer::kYes);
  window->findChild<QComboBox*>(u"cmbSize"_s)->setCurrentIndex(3);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2020});
  EXPECT_EQ(Cell(*window, 0, 1), QString());
  op_.Answer(MessageAnswer::kYes);
  QTest::mouseClick(Button(*window, u"CmdCancel"_s), Qt::LeftButton);
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2020, 2026}));
  EXPECT_EQ(project_.settings.FileCapacity, 1);
  EXPECT_EQ(project_.voices.size(), 2);
}

TEST_F(FrmWaveAddTest, CommentTypedInTheGridCountsAsAChange) {
  UseMode(1, 2);
  project_.voices[0].SampleRate = u"8"_s;  // a plain number, as an old file may hold
  auto window = Open();
  EXPECT_EQ(Cell(*window, 0, 3), u"08.000"_s);
  // An empty row's comment cannot be edited.
  EXPECT_FALSE(Grid(*window)->model()->flags(Grid(*window)->model()->index(5, 2)) &
               Qt::ItemIsEditable);
  Grid(*window)->setFocus();
  SetCurrentCell(*window, 0, 2);
  QTest::keyClick(Grid(*window), Qt::Key_F2);
  auto* editor = Grid(*window)->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->testAttribute(Qt::WA_InputMethodEnabled));
  editor->setText(u"駅前"_s);
  // Cancel while still typing: the comment is taken, so Cancel asks.
  op_.Answer(MessageAnswer::kNo);
  QTest::mouseClick(Button(*window, u"CmdCancel"_s), Qt::LeftButton);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2026});
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->Session().List()[0].COMENTS, u"駅前"_s);
  EXPECT_TRUE(project_.voices[0].COMENTS.isEmpty());  // nothing committed yet
}

TEST_F(FrmWaveAddTest, PlayAllFromTheWindowPlaysInSlotOrder) {
  UseMode(1, 0);
  QStringList files;
  for (const QString& name : {u"P0.wav"_s, u"P1.wav"_s, u"P2.wav"_s}) {
    files << dir_.filePath(name);
    ASSERT_TRUE(testing::WriteBytes(files.back(), testing::WaveOfLength(22050, 1, 16, 120)));
  }
  auto window = Open();
  window->RegisterPaths(files);
  QStringList names;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (auto* player = window->findChild<FrmPlay*>()) {
      const QString name = player->findChild<QLabel*>(u"LblName"_s)->text();
      if (!name.isEmpty() && (names.isEmpty() || names.last() != name)) {
        names << name;
      }
    }
  });
  watch.start(10);
  QTest::mouseClick(Button(*window, u"CmdWave4"_s), Qt::LeftButton);  // returns when it closes
  EXPECT_EQ(names, (QStringList{u"P0.wav"_s, u"P1.wav"_s, u"P2.wav"_s}));
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
  EXPECT_TRUE(window->isVisible());
}

TEST_F(FrmWaveAddTest, DroppedFolderRegistersLikeTheFolderButton) {
  UseMode(1, 0);
  QDir(dir_.path()).mkdir(u"drop"_s);
  QDir(dir_.path()).mkdir(u"drop/sub"_s);
  const QString folder = dir_.filePath(u"drop"_s);
  for (const QString& name : {u"b.wav"_s, u"a.wav"_s, u"sub/c.wav"_s}) {
    ASSERT_TRUE(testing::WriteBytes(folder + u'/' + name, testing::WaveOfLength(22050, 1, 16, 50)));
  }
  ASSERT_TRUE(testing::WriteBytes(folder + u"/notes.txt"_s, QByteArray("x")));
  auto window = Open();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(folder)});
  // As a file manager's drag arrives: it enters the window, then drops.
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.get(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window.get(), &drop);
  EXPECT_EQ(Cell(*window, 0, 1), u"a.wav"_s);  // by name, no subfolders, no other files
  EXPECT_EQ(Cell(*window, 1, 1), u"b.wav"_s);
  EXPECT_EQ(Cell(*window, 2, 1), QString());
  EXPECT_EQ(project_.settings.WavePath, folder);
}

// A folder of unsuitable files: one list at the end names each file with
// what refused it, instead of a box for each.
TEST_F(FrmWaveAddTest, RefusedFilesOfAFolderAreListedOnceByName) {
  UseMode(1, 0);
  const QString folder = dir_.filePath(u"mixed"_s);
  const struct {
    const char16_t* name;
    QByteArray bytes;
  } files[] = {{u"a-b.wav", testing::WaveOfLength(22050, 1, 16, 50)},
               {u"st.wav", testing::WaveOfLength(22050, 2, 16, 50)},
               {u"ABCDEFGHI.wav", testing::WaveOfLength(22050, 1, 16, 50)},
               {u"low1.wav", testing::WaveOfLength(8000, 1, 16, 50)},
               {u"low2.wav", testing::WaveOfLength(11025, 1, 16, 50)},
               {u"ok.wav", testing::WaveOfLength(22050, 1, 16, 50)}};
  for (const auto& file : files) {
    ASSERT_TRUE(testing::WriteBytes(folder + u'/' + QString::fromUtf16(file.name), file.bytes));
  }
  auto window = Open();
  choosers_.answers.push_back(folder);
  op_.Answer(MessageAnswer::kNo);  // 閉じる: no conversion
  QTest::mouseClick(Button(*window, u"CmdWave7"_s), Qt::LeftButton);
  ASSERT_EQ(op_.Numbers(), std::vector<int>{0});
  EXPECT_EQ(op_.shown[0].buttons, MessageButtons::kYesNo);
  const QString list = op_.shown[0].text;
  for (const QString& line :
       {u"a-b.wav：ファイル名に"_s, u"st.wav："_s + GetMessage(2100),
        u"ABCDEFGHI.wav："_s + GetMessage(2076), u"low1.wav："_s + GetMessage(2103).simplified(),
        u"low2.wav："_s + GetMessage(2103).simplified()}) {
    EXPECT_TRUE(list.contains(line)) << line.toStdString();
  }
  EXPECT_EQ(Cell(*window, 0, 1), u"ok.wav"_s);

  // One file keeps its one box, with its name.
  auto again = Open();
  choosers_.selections.push_back({folder + u"/st.wav"_s});
  op_ = {};
  op_.Answer(MessageAnswer::kNo);
  QTest::mouseClick(Button(*again, u"CmdWave0"_s), Qt::LeftButton);
  ASSERT_EQ(op_.shown.size(), 1U);
  EXPECT_TRUE(op_.shown[0].text.startsWith(u"st.wav\r\n\r\n"_s + GetMessage(2100)));
}

// 変換して登録: the refused files come back as converted copies in the
// folder chosen, registered in the order chosen, their names as comments.
TEST_F(FrmWaveAddTest, RefusedFilesAreConvertedAndRegisteredOnRequest) {
  UseMode(1, 0);
  const QString folder = dir_.filePath(u"studio"_s);
  ASSERT_TRUE(testing::WriteBytes(folder + u"/ok.wav"_s, testing::WaveOfLength(22050, 1, 16, 100)));
  ASSERT_TRUE(
      testing::WriteBytes(folder + u"/閉店案内.wav"_s, testing::WaveOfLength(48000, 2, 16, 300)));
  ASSERT_TRUE(
      testing::WriteBytes(folder + u"/dup.wav"_s, testing::WaveOfLength(22050, 1, 16, 100)));
  auto window = Open();
  choosers_.answers.push_back(folder);
  op_.Answer(MessageAnswer::kYes);
  const QString fitted = dir_.filePath(u"fitted"_s);
  choosers_.answers.push_back(fitted);  // the sources' folder is not used for the copies
  QTest::mouseClick(Button(*window, u"CmdWave7"_s), Qt::LeftButton);
  EXPECT_TRUE(op_.AllAnswersUsed());
  EXPECT_EQ(Cell(*window, 0, 1), u"dup.wav"_s);
  EXPECT_EQ(Cell(*window, 1, 1), u"ok.wav"_s);
  EXPECT_EQ(Cell(*window, 2, 1), u"VOICE001.wav"_s);
  EXPECT_TRUE(QFileInfo::exists(fitted + u"/VOICE001.wav"_s));
  EXPECT_EQ(Cell(*window, 2, VoiceListModel::kCommentColumn), u"閉店案内"_s);
}

TEST_F(FrmWaveAddTest, FilesChosenAreRegisteredAndTheMainWindowPurges) {
  UseMode(1, 0);
  const QString a = dir_.filePath(u"A01.wav"_s);
  const QString b = dir_.filePath(u"B02.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(a, testing::WaveOfLength(22050, 1, 16, 300)));
  ASSERT_TRUE(testing::WriteBytes(b, testing::WaveOfLength(22050, 1, 16, 200)));
  choosers_.selections.push_back({a, b});
  auto window = Open();
  QTest::mouseClick(Button(*window, u"CmdWave0"_s), Qt::LeftButton);
  EXPECT_EQ(Cell(*window, 1, 1), u"B02.wav"_s);
  // After a run: three decimals.
  EXPECT_EQ(window->findChild<QLabel*>(u"LblTime"_s)->text(), u"0.500秒"_s);
  QTest::mouseClick(Button(*window, u"CmdOk"_s), Qt::LeftButton);
  ASSERT_EQ(project_.voices.size(), 2);
  EXPECT_EQ(project_.settings.WavePath, dir_.path());
  EXPECT_TRUE(project_.IsEdited());

  // Through the main window: B02 removed in the window leaves every channel.
  FrmMain main_window(project_, paths_, op_, choosers_);  // starts with reset channels
  main_window.show();
  project_.programs[0].Voice[0] = u"A01.wav"_s;
  project_.programs[0].Voice[1] = u"B02.wav"_s;
  QTimer::singleShot(0, [&] {
    auto* wave = main_window.findChild<FrmWaveAdd*>(u"FrmWaveAdd"_s);
    ASSERT_NE(wave, nullptr);
    SetCurrentCell(*wave, 1, 1);
    op_.Answer(MessageAnswer::kYes);
    QTest::mouseClick(wave->findChild<QPushButton*>(u"CmdWave1"_s), Qt::LeftButton);
    QTest::mouseClick(wave->findChild<QPushButton*>(u"CmdOk"_s), Qt::LeftButton);
  });
  main_window.findChild<QAction*>(u"WAVE"_s)->trigger();
  EXPECT_EQ(project_.voices.size(), 1);
  EXPECT_EQ(project_.programs[0].Voice[0], u"A01.wav"_s);
  EXPECT_TRUE(project_.programs[0].Voice[1].isEmpty());
  EXPECT_EQ(project_.programs[0].Time, u"0.3"_s);
}

}  // namespace
}  // namespace parlatone
