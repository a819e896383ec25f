// The main window: grid, keys and drop-downs, timeline, project commands and
// auditions on the real sound layer. The table's rules are the editor's and
// are tested there.
#include <QColor>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QToolBar>

#include "controlfile/control_file_loader.h"
#include "core/messages.h"
#include "gui/channel_timeline.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "support/gui1_main_window.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class FrmMainTest : public testing::MainWindowTest {
 protected:
  QTabBar* Tabs() { return Find<QTabBar>(u"TabStrip"_s); }
  // The cell's drop-down, opened from the keyboard.
  QComboBox* DropDown(int row, int column, Qt::Key key = Qt::Key_Return) {
    Grid()->setFocus();
    Select(row, column);
    QTest::keyClick(Grid(), key);
    return Grid()->findChild<QComboBox*>(u"CellChoice"_s);
  }
};

// Series 3: one page without tabs. Every command of the buttons and the
// toolbar is in a menu as the very same action, with the usual shortcuts;
// with nothing selected only the all-channel and table-wide ones work, and
// the toolbar cannot be hidden. At 1024 x 768 the 24 voice columns scroll
// beside No., SP, RP and time, fixed together.
TEST_F(FrmMainTest, CommandsMenusAndGridAtTheSmallestScreen) {
  Open(3, 2);
  EXPECT_EQ(window_->windowTitle(), GetMessage(1000) + u" - "_s + GetMessage(2113));
  EXPECT_FALSE(Tabs()->isVisible());
  QList<QAction*> in_menus;
  for (QAction* menu : window_->menuBar()->actions()) {
    for (QAction* action : menu->menu()->actions()) {
      in_menus << action
               << (action->menu() != nullptr ? action->menu()->actions() : QList<QAction*>());
    }
  }
  for (const char* key :
       {"LOAD", "NEW", "WAVE", "SETING", "CARD", "PRINT", "APPEND", "ActionUndo", "ActionRedo",
        "ActionTemporarySave", "ActionPdf", "ActionTools", "ActionGuide", "ActionVersion"}) {
    EXPECT_TRUE(in_menus.contains(Find(QString::fromLatin1(key)))) << key;
  }
  const std::pair<const char*, QKeySequence::StandardKey> shortcuts[] = {
      {"LOAD", QKeySequence::Open},
      {"ActionUndo", QKeySequence::Undo},
      {"APPEND", QKeySequence::Quit},
      {"ActionGuide", QKeySequence::HelpContents}};
  for (const auto& [key, shortcut] : shortcuts) {
    EXPECT_EQ(Find(QString::fromLatin1(key))->shortcut(), QKeySequence(shortcut)) << key;
  }
  Fill(0, {u"v0.wav"_s});
  for (const int column : {-1, kFirstVoiceColumn, kSpColumn}) {  // -1: nothing selected
    if (column >= 0) {
      Select(0, column);
    }
    for (int i = 0; i < 10; ++i) {
      QAction* action = Find(u"ActionCommand%1"_s.arg(i));
      EXPECT_TRUE(in_menus.contains(action)) << i;
      EXPECT_EQ(Command(i)->isEnabled(), action->isEnabled()) << column << " " << i;
      EXPECT_TRUE(column >= 0 || action->isEnabled() == (i == 6 || i == 7 || i == 8)) << i;
    }
  }
  EXPECT_EQ(window_->createPopupMenu(), nullptr);  // what a right click on the bars shows
  auto* toolbar = Find<QToolBar>(u"Toolbar1"_s);
  EXPECT_FALSE(toolbar->toggleViewAction()->isVisible() || toolbar->isMovable() ||
               toolbar->isFloatable());
  window_->resize(1024, 768);
  QTest::qWait(20);
  auto* fixed = Find<QTableView>(u"FgProgramFixed"_s);
  int fixed_width = 0;
  for (int column = kChannelColumn; column < kFirstVoiceColumn; ++column) {
    fixed_width += Grid()->columnWidth(column);
    EXPECT_EQ(fixed->columnWidth(column), Grid()->columnWidth(column));
  }
  EXPECT_EQ(fixed->width(), fixed_width);
  EXPECT_TRUE(Grid()->isColumnHidden(kFirstVoiceColumn + MaxVoiceIndex(3) + 1));  // not in series 3
  const QModelIndex last = Cell(0, kFirstVoiceColumn + MaxVoiceIndex(3));
  Grid()->scrollTo(last);
  EXPECT_GT(Grid()->horizontalScrollBar()->value(), 0);
  EXPECT_LE(Grid()->visualRect(last).right(), Grid()->viewport()->width());
  EXPECT_EQ(fixed->horizontalScrollBar()->value(), 0);
  // Back to the first voice: beside the fixed columns, not under them.
  Grid()->scrollTo(Cell(0, kFirstVoiceColumn + MaxVoiceIndex(3) - 1));
  Grid()->scrollTo(Cell(0, kFirstVoiceColumn));
  EXPECT_GE(Grid()->visualRect(Cell(0, kFirstVoiceColumn)).left(), fixed_width);
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
  Select(0, kFirstVoiceColumn);
  ASSERT_EQ(timeline->Channel(), 0);
  const auto agrees = [&](const char* after, int row) {
    EXPECT_EQ(timeline->TotalText(), Cell(row, kTimeColumn).data().toString()) << after;
  };
  agrees("selection", 0);
  EXPECT_EQ(timeline->TotalText(), u"3.4"_s);
  ASSERT_TRUE(Model()->setData(Cell(0, kRpColumn), u"3"_s, Qt::EditRole));
  agrees("RP", 0);
  EXPECT_EQ(timeline->TotalText(), u"10.2"_s);
  ASSERT_TRUE(Model()->setData(Cell(0, kFirstVoiceColumn + 2), u"v2.wav"_s, Qt::EditRole));
  agrees("a voice added", 0);
  Select(0, kFirstVoiceColumn);
  Find(u"ActionUndo"_s)->trigger();
  Select(0, kFirstVoiceColumn);
  agrees("undo", 0);
  EXPECT_EQ(timeline->TotalText(), u"10.2"_s);
  // The first voice's piece names it and its registered length.
  const QString first = timeline->TextAt(QPoint(8, timeline->height() - 8));
  EXPECT_TRUE(first.contains(u"v0.wav"_s) && first.contains(u"1.000 秒"_s)) << first.toStdString();
  Select(1, kSpColumn);
  EXPECT_EQ(timeline->Channel(), 1);
  agrees("another channel", 1);
}

// Tab leaves the grid from its last cell, or with Ctrl from any; Enter opens
// a voice cell's drop-down, and a toolbar command commits it first; Delete
// empties a cell with its list open or not.
TEST_F(FrmMainTest, KeyboardWorksTheGridAndItsDropDowns) {
  Open(1, 3);
  Fill(4, {u"v0.wav"_s, u"v1.wav"_s});
  Select(4, kFirstVoiceColumn);
  Grid()->setFocus();
  QTest::keyClick(Grid(), Qt::Key_Tab);
  EXPECT_TRUE(Grid()->hasFocus());
  EXPECT_EQ(Grid()->currentIndex(), Cell(4, kFirstVoiceColumn + 1));
  QTest::keyClick(Grid(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_FALSE(Grid()->hasFocus());
  Grid()->setFocus();
  Select(Model()->rowCount() - 1, Model()->columnCount() - 2);
  QTest::keyClick(Grid(), Qt::Key_Tab);
  EXPECT_FALSE(Grid()->hasFocus());
  QComboBox* combo = DropDown(4, kFirstVoiceColumn);
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->count(), 4);    // a blank and the three voices
  combo->setCurrentIndex(3);       // v2.wav
  op_.Answer(MessageAnswer::kNo);  // LOAD asks about the edit, and is refused
  Find(u"LOAD"_s)->trigger();
  EXPECT_EQ(project_.programs[4].Voice[0], u"v2.wav"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2020});
  ASSERT_NE(combo = DropDown(4, kFirstVoiceColumn), nullptr);
  QTest::keyClick(combo, Qt::Key_Delete);
  QTest::qWait(10);  // the grid gets the Delete once the list has closed
  EXPECT_EQ(project_.programs[4].Voice[0], u"v1.wav"_s);
  EXPECT_EQ(Grid()->findChild<QComboBox*>(u"CellChoice"_s), nullptr);
  QTest::keyClick(Grid(), Qt::Key_Delete);
  EXPECT_TRUE(project_.programs[4].Voice[0].isEmpty());
}

// A drop-down opened on a value it does not list keeps that value.
TEST_F(FrmMainTest, OpeningADropDownChangesNothingByItself) {
  Open(1, 2);
  project_.programs[0].RP = u"20"_s;  // beyond the element file's list
  Model()->Refresh();
  ASSERT_NE(DropDown(0, kRpColumn, Qt::Key_F2), nullptr);
  Select(3, kRpColumn);            // leave the cell
  op_.Answer(MessageAnswer::kNo);  // "delete all?" No
  Click(8);                        // any button commits first
  EXPECT_EQ(project_.programs[0].RP, u"20"_s);
  EXPECT_FALSE(project_.IsEdited());
}

// A drop-down closed with Escape is closed for good: a button pressed next
// neither commits nor warns about it.
TEST_F(FrmMainTest, ADropDownClosedWithEscapeStaysClosed) {
  Open(1, 2);
  Fill(0, {u"v0.wav"_s});
  QComboBox* combo = DropDown(0, kFirstVoiceColumn);
  ASSERT_NE(combo, nullptr);
  combo->setCurrentIndex(2);  // v1.wav, then thought better of
  QTest::keyClick(combo, Qt::Key_Escape);
  Click(0);  // any Qt warning fails the test
  EXPECT_EQ(project_.programs[0].Voice[0], u"v0.wav"_s);
  EXPECT_FALSE(project_.IsEdited());
}

// LOAD asks once for all edited pages, refuses the other series' file saying
// why, and shows a loaded file's path; a move up from page 2 takes the tab
// and the cell along; a series change rebuilds tabs and grid on an empty
// project; NEW returns to page 1; closing asks 2024 after changes, else 2025.
TEST_F(FrmMainTest, ProjectCommandsPagesAndClosing) {
  Open(4, 1);
  project_.PageEdited[1] = project_.PageEdited[3] = true;
  op_.Answer(MessageAnswer::kYes);
  choosers_.answers = {dir_.filePath(u"X.zpx"_s)};
  Find(u"LOAD"_s)->trigger();
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2020, 0}));
  EXPECT_EQ(op_.shown[1].text, ExtensionRefusalText(4));
  EXPECT_TRUE(op_.shown[1].text.contains(u"wpj"_s));  // it says which files this series takes
  EXPECT_EQ(choosers_.last_filter.pattern, u"*.wpj;*.wpg"_s);
  EXPECT_TRUE(project_.voices.isEmpty());
  UseSoundBackend(MakeSdlSoundBackend());
  const QString control = ControlFileWithOneVoice(u"CARD"_s, 250);
  choosers_.answers = {control};
  Find(u"LOAD"_s)->trigger();
  EXPECT_EQ(Find<QLabel>(u"StatusPanel1"_s)->text(), control);
  Tabs()->setCurrentIndex(1);
  Select(0, kFirstVoiceColumn);
  Click(1);
  EXPECT_EQ(Tabs()->currentIndex(), 0);
  EXPECT_EQ(Grid()->currentIndex(), Cell(249, kFirstVoiceColumn));
  EXPECT_EQ(project_.programs[249].Voice[0], u"a.wav"_s);

  for (const int mode : {3, 4}) {
    project_.settings.Mode = mode;
    window_->ApplyModeChange();
    EXPECT_EQ(Tabs()->count(), mode == 3 ? 1 : 4);
    EXPECT_EQ(Tabs()->isVisible(), mode == 4);
    EXPECT_EQ(Tabs()->tabText(Tabs()->count() - 1), mode == 3 ? u"1～255"_s : u"751～1000"_s);
    EXPECT_EQ(Model()->rowCount(), mode == 3 ? 255 : 250);
    EXPECT_TRUE(project_.voices.isEmpty() && !project_.IsEdited());
  }
  Tabs()->setCurrentIndex(3);
  Fill(800, {u"v1.wav"_s});
  op_ = {};
  op_.Answer(MessageAnswer::kYes);
  Find(u"NEW"_s)->trigger();
  EXPECT_EQ(Tabs()->currentIndex(), 0);
  EXPECT_EQ(project_.programs[800], ProgramRecord());
  EXPECT_FALSE(project_.VoicesRegistered || project_.IsEdited());

  project_.PageEdited[0] = true;
  op_.Answer(MessageAnswer::kYes);
  EXPECT_FALSE(window_->close());  // Yes goes to saving: the editor stays
  op_.Answer(MessageAnswer::kCancel);
  EXPECT_FALSE(window_->close());
  op_.Answer(MessageAnswer::kNo);
  EXPECT_TRUE(window_->close());  // No ends without a second question
  window_->show();
  project_.ClearPageEdited();
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(window_->close());
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2052, 2024, 2024, 2024, 2025}));
  EXPECT_EQ(op_.shown[1].buttons, MessageButtons::kYesNoCancel);
}

// Auditions on the real sound layer (the dummy driver: real time, no sound).
// One row: the button reads 停止, the row is coloured, the line names the
// voice playing; then every command comes back, the card command included
// (the usual next step), and no sound is left open. All channels: the tabs
// are locked and follow the channel playing, pause toggles, and closing the
// window stops it first.
TEST_F(FrmMainTest, AuditionsOnTheRealSoundLayer) {
  UseSoundBackend(MakeSdlSoundBackend());
  Open(4);
  const std::pair<QString, int> sounds[] = {
      {u"a.wav"_s, 300}, {u"b.wav"_s, 200}, {u"c.wav"_s, 3000}};
  for (const auto& [name, ms] : sounds) {
    project_.voices.append(VoiceRecord{});
    project_.voices.back().NAME = name;
    project_.voices.back().FilePath = dir_.filePath(name);
    ASSERT_TRUE(testing::WriteBytes(dir_.filePath(name), testing::WaveOfLength(22050, 1, 8, ms)));
  }
  project_.VoicesRegistered = true;
  Fill(2, {u"a.wav"_s, u"b.wav"_s});
  Fill(600, {u"c.wav"_s});
  Select(2, kFirstVoiceColumn);
  QElapsedTimer timer;
  timer.start();
  Click(0);
  ASSERT_TRUE(window_->CurrentAudition().Running());
  EXPECT_EQ(Command(0)->text(), u"停止"_s);
  EXPECT_FALSE(Find(u"LOAD"_s)->isEnabled());
  auto* line = Find<QLabel>(u"LblState"_s);
  ASSERT_TRUE(QTest::qWaitFor([&] { return line->text().startsWith(u"a.wav "_s); }, 2000));
  EXPECT_EQ(Cell(2, kSpColumn).data(Qt::BackgroundRole).value<QColor>(), QColor(210, 225, 240));
  EXPECT_FALSE(Cell(2, 0).data(Qt::BackgroundRole).isValid());
  ASSERT_TRUE(QTest::qWaitFor([&] { return line->text().startsWith(u"b.wav "_s); }, 3000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !window_->CurrentAudition().Running(); }, 5000));
  // Both sounds one after the other: at least their lengths, not much more.
  EXPECT_GE(timer.elapsed(), 450);
  EXPECT_LT(timer.elapsed(), 3000);
  EXPECT_EQ(Command(0)->text(), u"試聴"_s);
  for (const QString& key :
       {u"LOAD"_s, u"NEW"_s, u"WAVE"_s, u"SETING"_s, u"CARD"_s, u"PRINT"_s, u"APPEND"_s}) {
    EXPECT_TRUE(Find(key)->isEnabled()) << key.toStdString();
  }
  EXPECT_FALSE(Cell(2, kSpColumn).data(Qt::BackgroundRole).isValid());
  EXPECT_TRUE(line->text().isEmpty());
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);

  Click(6);
  EXPECT_TRUE(window_->CurrentAudition().AllRunning());
  EXPECT_FALSE(Tabs()->isEnabled());
  EXPECT_EQ(Command(6)->text(), u"停止"_s);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Tabs()->currentIndex() == 2; }, 3000));
  Click(9);
  EXPECT_EQ(Command(9)->text(), u"再開"_s);
  EXPECT_TRUE(window_->CurrentAudition().Paused());
  Click(9);
  EXPECT_EQ(Command(9)->text(), u"一時停止"_s);
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(window_->close());
  EXPECT_FALSE(window_->CurrentAudition().AllRunning());
  EXPECT_TRUE(Tabs()->isEnabled());
  EXPECT_EQ(Command(6)->text(), u"全試聴"_s);
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
}

}  // namespace
}  // namespace parlatone
