#include "gui/frm_main.h"

#include <QAction>
#include <QColor>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include "controlfile/control_file_loader.h"
#include "controlfile/control_file_writer.h"
#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "gui/channel_timeline.h"
#include "gui/choosers.h"
#include "gui/program_grid.h"
#include "gui/program_table_model.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "support/qt_printers.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class FrmMainTest : public ::testing::Test {
 protected:
  void Open(int mode, int voices = 0) {
    project_.settings.Mode = mode;
    project_.settings.CardPath = dir_.path();
    DeriveSeriesLimits(project_);
    for (int v = 0; v < voices; ++v) {
      VoiceRecord voice;
      voice.NAME = u"v%1.wav"_s.arg(v);
      voice.SEC = u"1.000"_s;
      project_.voices.append(voice);
    }
    project_.VoicesRegistered = voices > 0;
    AppPaths paths = ResolveAppPaths();
    window_ = std::make_unique<FrmMain>(project_, paths, op_, choosers_);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
  }
  template <typename T>
  T* Find(const QString& name) {
    T* found = window_->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  QPushButton* Command(int i) { return Find<QPushButton>(u"Command%1"_s.arg(i)); }
  QTabBar* Tabs() { return Find<QTabBar>(u"TabStrip"_s); }
  ProgramGrid* Grid() { return window_->Grid(); }
  ProgramTableModel* Model() { return window_->Model(); }
  void Fill(int channel, const QStringList& names) {
    for (qsizetype s = 0; s < names.size(); ++s) {
      project_.programs[static_cast<size_t>(channel)].Voice[static_cast<size_t>(s)] = names[s];
    }
    Model()->Refresh();
  }
  QString Cell(int row, int column) { return Model()->index(row, column).data().toString(); }

  QTemporaryDir dir_;
  Project project_;
  testing::ScriptedOperator op_;
  testing::ScriptedChoosers choosers_;
  std::unique_ptr<FrmMain> window_;
};

TEST_F(FrmMainTest, WindowElementsAndTheGrid) {
  Open(3, 2);
  EXPECT_EQ(window_->windowTitle(), GetMessage(1000) + u" - "_s + GetMessage(2113));
  for (const char* key : {"LOAD", "NEW", "WAVE", "SETING", "CARD", "PRINT", "APPEND"}) {
    Find<QAction>(QString::fromLatin1(key));
  }
  EXPECT_TRUE(Find<QAction>(u"WAVE"_s)->isEnabled());
  EXPECT_TRUE(Find<QAction>(u"CARD"_s)->isEnabled());
  EXPECT_EQ(Find<QAction>(u"CARD"_s)->text(), u" ｶｰﾄﾞﾃﾞｰﾀ作成 "_s);
  EXPECT_EQ(Find<QLabel>(u"Lblkomento"_s)->text(), u"SP／出力系統   RP／リピート再生回数"_s);
  EXPECT_FALSE(Tabs()->isVisible());
  EXPECT_EQ(Model()->rowCount(), 255);
  EXPECT_EQ(Model()->columnCount(), 29);
  EXPECT_TRUE(Grid()->isColumnHidden(28));
  EXPECT_EQ(Model()->headerData(27, Qt::Horizontal, Qt::DisplayRole).toString(), u" 24 "_s);
  EXPECT_EQ(Model()->headerData(27, Qt::Horizontal, ProgramTableModel::kUpperHeaderRole).toString(),
            u"VOICE"_s);
  EXPECT_EQ(Cell(0, 0), u"01"_s);
  EXPECT_EQ(Cell(0, 3), u"0.0"_s);
  // Idle: only the all-channel buttons and the table-wide ones.
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(Command(i)->isEnabled(), i == 6 || i == 7 || i == 8) << i;
  }
}

TEST_F(FrmMainTest, CellEditRepacksAndRetimesTheRow) {
  Open(1, 3);
  Fill(0, {u"v0.wav"_s});
  // Chosen in the column headed " 5 ".
  ASSERT_TRUE(
      Model()->setData(Model()->index(0, kFirstVoiceColumn + 4), u"v1.wav"_s, Qt::EditRole));
  EXPECT_EQ(Cell(0, kFirstVoiceColumn + 1), u"v1.wav"_s);
  EXPECT_EQ(Cell(0, kFirstVoiceColumn + 4), QString());
  EXPECT_EQ(Cell(0, kTimeColumn), u"2.0"_s);
  EXPECT_TRUE(project_.PageEdited[0]);
  // The RP drop-down stores the item number and shows the element text.
  ASSERT_TRUE(Model()->setData(Model()->index(0, kRpColumn), u"3"_s, Qt::EditRole));
  EXPECT_EQ(project_.programs[0].RP, u"3"_s);
  EXPECT_EQ(Cell(0, kTimeColumn), u"6.0"_s);
}

// The timeline draws the selected channel and adds up to its time column
// through every kind of edit, an undo included.
TEST_F(FrmMainTest, TimelineFollowsTheSelectedChannelThroughEdits) {
  Open(1, 3);
  project_.voices[1].SEC = u"2.449"_s;
  Fill(0, {u"v0.wav"_s, u"v1.wav"_s});
  Fill(1, {u"v2.wav"_s});
  for (const int channel : {0, 1}) {
    Model()->Table().SettleChannel(channel);
  }
  Model()->Refresh();
  auto* timeline = Find<ChannelTimeline>(u"PicTimeline"_s);
  EXPECT_EQ(timeline->Channel(), -1);
  Grid()->setCurrentIndex(Model()->index(0, kFirstVoiceColumn));
  ASSERT_EQ(timeline->Channel(), 0);
  const auto agrees = [&](const char* after, int row) {
    EXPECT_EQ(timeline->TotalText(), Cell(row, kTimeColumn)) << after;
  };
  agrees("selection", 0);
  EXPECT_EQ(timeline->TotalText(), u"3.4"_s);
  ASSERT_TRUE(Model()->setData(Model()->index(0, kRpColumn), u"3"_s, Qt::EditRole));
  agrees("RP", 0);
  EXPECT_EQ(timeline->TotalText(), u"10.2"_s);
  ASSERT_TRUE(
      Model()->setData(Model()->index(0, kFirstVoiceColumn + 2), u"v2.wav"_s, Qt::EditRole));
  agrees("a voice added", 0);
  Grid()->setCurrentIndex(Model()->index(0, kFirstVoiceColumn));
  Find<QAction>(u"ActionUndo"_s)->trigger();
  Grid()->setCurrentIndex(Model()->index(0, kFirstVoiceColumn));
  agrees("undo", 0);
  EXPECT_EQ(timeline->TotalText(), u"10.2"_s);
  // The first voice's piece names it and its registered length.
  const QString first = timeline->TextAt(QPoint(8, timeline->height() - 8));
  EXPECT_TRUE(first.contains(u"v0.wav"_s) && first.contains(u"1.000 秒"_s)) << first.toStdString();
  Grid()->setCurrentIndex(Model()->index(1, kSpColumn));
  EXPECT_EQ(timeline->Channel(), 1);
  agrees("another channel", 1);
}

TEST_F(FrmMainTest, KeyboardOpensTheDropDownAndDeletes) {
  Open(1, 3);
  Fill(4, {u"v0.wav"_s, u"v1.wav"_s});
  Grid()->setFocus();
  Grid()->setCurrentIndex(Model()->index(4, kFirstVoiceColumn));
  EXPECT_TRUE(Command(1)->isEnabled());  // a voice cell: state 0
  QTest::keyClick(Grid(), Qt::Key_Return);
  auto* combo = Grid()->findChild<QComboBox*>(u"CellChoice"_s);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->itemText(0), u" "_s);
  EXPECT_EQ(combo->count(), 4);
  // A toolbar command commits the open drop-down first.
  combo->setCurrentIndex(3);       // v2.wav
  op_.Answer(MessageAnswer::kNo);  // LOAD asks about the edit, and is refused
  Find<QAction>(u"LOAD"_s)->trigger();
  EXPECT_EQ(project_.programs[4].Voice[0], u"v2.wav"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2020});
  // Delete empties the voice cell and closes the gap.
  Grid()->setFocus();
  Grid()->setCurrentIndex(Model()->index(4, kFirstVoiceColumn));
  QTest::keyClick(Grid(), Qt::Key_Delete);
  EXPECT_EQ(project_.programs[4].Voice[0], u"v1.wav"_s);
  EXPECT_TRUE(project_.programs[4].Voice[1].isEmpty());
}

TEST_F(FrmMainTest, OpeningADropDownChangesNothingByItself) {
  Open(1, 2);
  project_.programs[0].RP = u"20"_s;  // beyond the element file's list
  Model()->Refresh();
  Grid()->setFocus();
  Grid()->setCurrentIndex(Model()->index(0, kRpColumn));
  QTest::keyClick(Grid(), Qt::Key_F2);
  ASSERT_NE(Grid()->findChild<QComboBox*>(u"CellChoice"_s), nullptr);
  Grid()->setCurrentIndex(Model()->index(3, kRpColumn));  // leave the cell
  op_.Answer(MessageAnswer::kNo);                         // "delete all?" No
  QTest::mouseClick(Command(8), Qt::LeftButton);          // any button commits first
  EXPECT_EQ(project_.programs[0].RP, u"20"_s);
  EXPECT_FALSE(project_.IsEdited());
}

TEST_F(FrmMainTest, MoveUpCrossesToThePreviousPage) {
  Open(4, 3);
  Fill(250, {u"v1.wav"_s});
  Tabs()->setCurrentIndex(1);
  EXPECT_EQ(project_.CurrentPage, 1);
  EXPECT_EQ(Cell(0, 0), u"251"_s);
  Grid()->setCurrentIndex(Model()->index(0, kFirstVoiceColumn));
  QTest::mouseClick(Command(1), Qt::LeftButton);
  EXPECT_EQ(project_.CurrentPage, 0);
  EXPECT_EQ(Tabs()->currentIndex(), 0);
  EXPECT_EQ(project_.programs[249].Voice[0], u"v1.wav"_s);
  EXPECT_EQ(Grid()->currentIndex(), Model()->index(249, kFirstVoiceColumn));
  EXPECT_EQ(Cell(249, 0), u"250"_s);
  EXPECT_TRUE(project_.PageEdited[0]);
}

TEST_F(FrmMainTest, FullTargetShows2021) {
  Open(1, 9);
  Fill(0, {u"v0.wav"_s, u"v1.wav"_s, u"v2.wav"_s, u"v3.wav"_s, u"v4.wav"_s, u"v5.wav"_s,
           u"v6.wav"_s, u"v7.wav"_s});
  Fill(1, {u"v8.wav"_s});
  Grid()->setCurrentIndex(Model()->index(1, kFirstVoiceColumn));
  QTest::mouseClick(Command(1), Qt::LeftButton);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2021});
  EXPECT_EQ(project_.programs[1].Voice[0], u"v8.wav"_s);
  EXPECT_EQ(Grid()->currentIndex(), Model()->index(1, kFirstVoiceColumn));
}

TEST_F(FrmMainTest, DeleteAllAndBulkAssignment) {
  Open(4, 12);
  Fill(900, {u"v3.wav"_s});
  op_.Answer(MessageAnswer::kYes);
  QTest::mouseClick(Command(8), Qt::LeftButton);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2020});
  EXPECT_EQ(project_.programs[900], ProgramRecord());
  op_.Answer(MessageAnswer::kYes);
  Tabs()->setCurrentIndex(2);
  QTest::mouseClick(Command(7), Qt::LeftButton);
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2020, 2022}));
  EXPECT_EQ(Tabs()->currentIndex(), 0);
  for (int channel = 0; channel < 12; ++channel) {
    EXPECT_EQ(Cell(channel, kFirstVoiceColumn), u"v%1.wav"_s.arg(channel));
  }
  EXPECT_EQ(Cell(12, kFirstVoiceColumn), QString());
}

TEST_F(FrmMainTest, LoadAsksOnceAndRefusesTheOtherSeriesFile) {
  Open(4, 1);
  project_.PageEdited[1] = true;
  project_.PageEdited[3] = true;
  op_.Answer(MessageAnswer::kYes);
  choosers_.answers.push_back(dir_.filePath(u"X.zpx"_s));
  Find<QAction>(u"LOAD"_s)->trigger();
  // The other series' file is refused with a word saying why.
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2020, 0}));
  EXPECT_EQ(op_.shown[1].text, ExtensionRefusalText(4));
  EXPECT_TRUE(op_.shown[1].text.contains(u"wpj"_s));
  EXPECT_EQ(choosers_.last_title, u"ファイルを開く"_s);
  EXPECT_EQ(choosers_.last_filter.pattern, u"*.wpj;*.wpg"_s);
  EXPECT_TRUE(project_.voices.isEmpty());
  EXPECT_FALSE(project_.IsEdited());

  // A real control file loads and its path shows in the status bar.
  UseSoundBackend(MakeSdlSoundBackend());
  const QString sound = dir_.filePath(u"a.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(sound, testing::WaveOfLength(22050, 1, 16, 500)));
  Project source;
  source.settings.Mode = 4;
  DeriveSeriesLimits(source);
  VoiceRecord voice;
  voice.NAME = u"a.wav"_s;
  source.voices = {voice};
  source.VoicesRegistered = true;
  source.programs[600].Voice[0] = u"a.wav"_s;
  const QString control = dir_.filePath(u"CARD.wpj"_s);
  ASSERT_TRUE(WriteControlFile(source, control, true));
  choosers_.answers.push_back(control);
  Find<QAction>(u"LOAD"_s)->trigger();
  EXPECT_EQ(project_.programs[600].Voice[0], u"a.wav"_s);
  EXPECT_EQ(Find<QLabel>(u"StatusPanel1"_s)->text(), control);
  EXPECT_EQ(project_.CurrentPage, 0);
}

TEST_F(FrmMainTest, NewReturnsToTheFirstPage) {
  Open(4, 2);
  Tabs()->setCurrentIndex(3);
  Fill(800, {u"v1.wav"_s});
  project_.PageEdited[3] = true;
  op_.Answer(MessageAnswer::kYes);
  Find<QAction>(u"NEW"_s)->trigger();
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2052});
  EXPECT_EQ(Tabs()->currentIndex(), 0);
  EXPECT_EQ(project_.CurrentPage, 0);
  EXPECT_EQ(Cell(0, 0), u"01"_s);
  EXPECT_EQ(Cell(249, 0), u"250"_s);
  EXPECT_EQ(project_.programs[800], ProgramRecord());
  EXPECT_FALSE(project_.IsEdited());
  EXPECT_FALSE(project_.VoicesRegistered);
}

TEST_F(FrmMainTest, ClosingAsksAccordingToTheChanges) {
  Open(1);
  project_.PageEdited[0] = true;
  op_.Answer(MessageAnswer::kYes);
  EXPECT_FALSE(window_->close());  // Yes goes to saving: the editor stays
  op_.Answer(MessageAnswer::kCancel);
  EXPECT_FALSE(window_->close());
  op_.Answer(MessageAnswer::kNo);
  EXPECT_TRUE(window_->close());  // No ends without a second question
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2024, 2024, 2024}));
  EXPECT_EQ(op_.shown[0].buttons, MessageButtons::kYesNoCancel);

  window_->show();
  project_.ClearPageEdited();
  op_ = {};
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(window_->close());
  op_.Answer(MessageAnswer::kYes);
  EXPECT_TRUE(window_->close());
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2025, 2025}));
}

TEST_F(FrmMainTest, SeriesChangeRebuildsTabsAndGrid) {
  Open(4, 2);
  EXPECT_EQ(Tabs()->count(), 4);
  EXPECT_EQ(Tabs()->tabText(3), u"751～1000"_s);
  Tabs()->setCurrentIndex(2);
  Fill(520, {u"v0.wav"_s});
  project_.settings.Mode = 3;
  window_->ApplyModeChange();
  EXPECT_EQ(Tabs()->count(), 1);
  EXPECT_EQ(Tabs()->tabText(0), u"1～255"_s);
  EXPECT_FALSE(Tabs()->isVisible());
  EXPECT_EQ(Model()->rowCount(), 255);
  EXPECT_EQ(Model()->columnCount(), 29);
  EXPECT_EQ(project_.CurrentPage, 0);
  EXPECT_TRUE(project_.voices.isEmpty());
  EXPECT_FALSE(project_.IsEdited());
}

TEST_F(FrmMainTest, SingleAuditionPlaysTheRowOnTheRealLayer) {
  UseSoundBackend(MakeSdlSoundBackend());  // the dummy driver: real time, no sound
  Open(1);
  const std::pair<const char16_t*, int> sounds[] = {{u"a.wav", 300}, {u"b.wav", 200}};
  for (const auto& [name, ms] : sounds) {
    const QString path = dir_.filePath(QString::fromUtf16(name));
    ASSERT_TRUE(testing::WriteBytes(path, testing::WaveOfLength(22050, 1, 8, ms)));
    VoiceRecord voice;
    voice.NAME = QString::fromUtf16(name);
    voice.FilePath = path;
    project_.voices.append(voice);
  }
  project_.VoicesRegistered = true;
  Fill(2, {u"a.wav"_s, u"b.wav"_s});
  Grid()->setCurrentIndex(Model()->index(2, kFirstVoiceColumn));

  QElapsedTimer timer;
  timer.start();
  QTest::mouseClick(Command(0), Qt::LeftButton);
  ASSERT_TRUE(window_->CurrentAudition().Running());
  EXPECT_EQ(Command(0)->text(), u"停止"_s);
  EXPECT_FALSE(Find<QAction>(u"LOAD"_s)->isEnabled());
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return !Find<QLabel>(u"LblState"_s)->text().isEmpty(); }, 2000));
  EXPECT_TRUE(
      Find<QLabel>(u"LblState"_s)->text().startsWith(u"a.wav  PCM 22.05KHz 8Bit Mono 0.300秒 "_s));
  EXPECT_EQ(Model()->index(2, kSpColumn).data(Qt::BackgroundRole).value<QColor>(),
            QColor(210, 225, 240));
  EXPECT_FALSE(Model()->index(2, 0).data(Qt::BackgroundRole).isValid());
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return Find<QLabel>(u"LblState"_s)->text().startsWith(u"b.wav"_s); }, 3000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window_->CurrentAudition().Running(); }, 5000));
  // Both sounds one after the other: at least their lengths, not much more.
  EXPECT_GE(timer.elapsed(), 450);
  EXPECT_LT(timer.elapsed(), 3000);
  EXPECT_EQ(Command(0)->text(), u"試聴"_s);
  // Every command the toolbar had comes back: the usual next step after
  // listening is making the card data.
  for (const QString& key :
       {u"LOAD"_s, u"NEW"_s, u"WAVE"_s, u"SETING"_s, u"CARD"_s, u"PRINT"_s, u"APPEND"_s}) {
    EXPECT_TRUE(Find<QAction>(key)->isEnabled()) << key.toStdString();
  }
  EXPECT_FALSE(Model()->index(2, kSpColumn).data(Qt::BackgroundRole).isValid());
  EXPECT_TRUE(Find<QLabel>(u"LblState"_s)->text().isEmpty());
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
}

TEST_F(FrmMainTest, AllAuditionPausesAndStops) {
  UseSoundBackend(MakeSdlSoundBackend());
  Open(4);
  const QString path = dir_.filePath(u"long.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(path, testing::WaveOfLength(22050, 1, 8, 3000)));
  VoiceRecord voice;
  voice.NAME = u"long.wav"_s;
  voice.FilePath = path;
  project_.voices.append(voice);
  project_.VoicesRegistered = true;
  Fill(600, {u"long.wav"_s});
  QTest::mouseClick(Command(6), Qt::LeftButton);
  EXPECT_TRUE(window_->CurrentAudition().AllRunning());
  EXPECT_FALSE(Tabs()->isEnabled());
  EXPECT_EQ(Command(6)->text(), u"停止"_s);
  ASSERT_TRUE(QTest::qWaitFor([&] { return project_.CurrentPage == 2; }, 2000));
  EXPECT_EQ(Tabs()->currentIndex(), 2);
  QTest::mouseClick(Command(9), Qt::LeftButton);
  EXPECT_EQ(Command(9)->text(), u"再開"_s);
  EXPECT_TRUE(window_->CurrentAudition().Paused());
  QTest::mouseClick(Command(9), Qt::LeftButton);
  EXPECT_EQ(Command(9)->text(), u"一時停止"_s);
  // Closing the window stops the audition first.
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(window_->close());
  EXPECT_FALSE(window_->CurrentAudition().AllRunning());
  EXPECT_TRUE(Tabs()->isEnabled());
  EXPECT_EQ(Command(6)->text(), u"全試聴"_s);
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
}

// Every command is on the toolbar: it can be neither hidden nor moved away.
TEST_F(FrmMainTest, TheToolbarCannotBeHidden) {
  Open(1);
  EXPECT_EQ(window_->createPopupMenu(), nullptr);  // what a right click on the bars shows
  auto* toolbar = Find<QToolBar>(u"Toolbar1"_s);
  EXPECT_FALSE(toolbar->toggleViewAction()->isVisible());
  EXPECT_FALSE(toolbar->isMovable());
  EXPECT_FALSE(toolbar->isFloatable());
}

// At 1024 x 768 the eight voice columns of a WAVE series all show; the 24 of
// series 3 scroll with No., SP, RP and time fixed together beside them.
TEST_F(FrmMainTest, FixedColumnsAndVoiceColumnsAtTheSmallestScreen) {
  for (const int mode : {1, 3}) {
    window_.reset();
    project_.ClearProject();
    Open(mode);
    window_->resize(1024, 768);
    QTest::qWait(20);
    ProgramGrid* grid = Grid();
    auto* fixed = grid->findChild<QTableView*>(u"FgProgramFixed"_s);
    ASSERT_NE(fixed, nullptr);
    int fixed_width = 0;
    for (int column = kChannelColumn; column < kFirstVoiceColumn; ++column) {
      fixed_width += grid->columnWidth(column);
      EXPECT_FALSE(fixed->isColumnHidden(column));
      EXPECT_EQ(fixed->columnWidth(column), grid->columnWidth(column));
    }
    EXPECT_EQ(fixed->width(), fixed_width);
    const int voices = MaxVoiceIndex(mode) + 1;
    int voice_width = 0;
    for (int v = 0; v < voices; ++v) {
      voice_width += grid->columnWidth(kFirstVoiceColumn + v);
    }
    if (mode == 1) {
      EXPECT_LE(fixed_width + voice_width, grid->viewport()->width());
      EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
      continue;
    }
    // Scrolled to the last voice: it shows whole, none of the fixed columns moved.
    grid->scrollTo(Model()->index(0, kFirstVoiceColumn + voices - 1));
    EXPECT_GT(grid->horizontalScrollBar()->value(), 0);
    EXPECT_LE(grid->visualRect(Model()->index(0, kFirstVoiceColumn + voices - 1)).right(),
              grid->viewport()->width());
    EXPECT_EQ(fixed->horizontalScrollBar()->value(), 0);
    // Back to the first voice: it comes out beside the fixed columns, not under them.
    grid->scrollTo(Model()->index(0, kFirstVoiceColumn + voices - 2));
    grid->scrollTo(Model()->index(0, kFirstVoiceColumn));
    EXPECT_GE(grid->visualRect(Model()->index(0, kFirstVoiceColumn)).left(), fixed_width);
  }
}

// Tab moves cell to cell and leaves the grid from its last cell, or with
// Ctrl from any; Delete empties a voice cell with its list open.
TEST_F(FrmMainTest, KeyboardLeavesTheGridAndDeletesWithTheListOpen) {
  Open(1, 2);
  Fill(0, {u"v0.wav"_s, u"v1.wav"_s});
  Grid()->setFocus();
  Grid()->setCurrentIndex(Model()->index(0, kFirstVoiceColumn));
  QTest::keyClick(Grid(), Qt::Key_Tab);
  EXPECT_TRUE(Grid()->hasFocus());
  EXPECT_EQ(Grid()->currentIndex(), Model()->index(0, kFirstVoiceColumn + 1));
  QTest::keyClick(Grid(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_FALSE(Grid()->hasFocus());
  Grid()->setFocus();
  Grid()->setCurrentIndex(Model()->index(Model()->rowCount() - 1, Model()->columnCount() - 2));
  QTest::keyClick(Grid(), Qt::Key_Tab);
  EXPECT_FALSE(Grid()->hasFocus());

  Grid()->setFocus();
  Grid()->setCurrentIndex(Model()->index(0, kFirstVoiceColumn));
  QTest::keyClick(Grid(), Qt::Key_Return);
  auto* combo = Grid()->findChild<QComboBox*>(u"CellChoice"_s);
  ASSERT_NE(combo, nullptr);
  QTest::keyClick(combo, Qt::Key_Delete);
  QTest::qWait(10);  // the grid gets the Delete once the list has closed
  EXPECT_EQ(project_.programs[0].Voice[0], u"v1.wav"_s);
  EXPECT_TRUE(project_.programs[0].Voice[1].isEmpty());
  EXPECT_EQ(Grid()->findChild<QComboBox*>(u"CellChoice"_s), nullptr);
}

// A drop-down closed with Escape is closed for good: a button pressed next
// neither commits nor warns about it.
TEST_F(FrmMainTest, ADropDownClosedWithEscapeStaysClosed) {
  Open(1, 2);
  Fill(0, {u"v0.wav"_s});
  Grid()->setFocus();
  Grid()->setCurrentIndex(Model()->index(0, kFirstVoiceColumn));
  QTest::keyClick(Grid(), Qt::Key_Return);
  auto* combo = Grid()->findChild<QComboBox*>(u"CellChoice"_s);
  ASSERT_NE(combo, nullptr);
  combo->setCurrentIndex(2);  // v1.wav, then thought better of
  QTest::keyClick(combo, Qt::Key_Escape);
  QTest::mouseClick(Command(0), Qt::LeftButton);  // any Qt warning fails the test
  EXPECT_EQ(project_.programs[0].Voice[0], u"v0.wav"_s);
  EXPECT_FALSE(project_.IsEdited());
}

}  // namespace
}  // namespace parlatone
