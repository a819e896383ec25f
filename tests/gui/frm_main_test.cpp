// SPDX-License-Identifier: GPL-3.0-or-later
// The main window with a desktop editor's habits, then the tools window; the
// table's rules and the tools' checks and runs are tested in their rooms.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLockFile>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>
#include <utility>

#include <gtest/gtest.h>

#include "controlfile/control_file_writer.h"
#include "controlfile/recovery_file.h"
#include "core/editor_state.h"
#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "gui/channel_timeline.h"
#include "gui/fit_page.h"
#include "gui/frm_card_make.h"
#include "gui/frm_main.h"
#include "gui/frm_tools.h"
#include "gui/instance_link.h"
#include "gui/program_grid.h"
#include "gui/program_table_model.h"
#include "gui/recovery_keeper.h"
#include "gui/window_helpers.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "support/card_project.h"
#include "support/gui_modal.h"
#include "support/qt_printers.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using namespace testing;

// A project of one series with voices v0.wav, ... of one second registered.
class FrmMainTest : public ::testing::Test {
 protected:
  FrmMainTest() {
    paths_.settings_file = dir_.filePath(u"settings.ini"_s);
    paths_.state_file = dir_.filePath(u"state/EditorState.json"_s);
    paths_.recovery_file = dir_.filePath(u"cache/Recovery"_s);
  }
  void Open(int mode, int voices = 0) {
    window_.reset();
    project_.ClearProject();
    UseSeries(project_, mode);
    project_.settings.CardPath = dir_.path();
    project_.ResetPrograms();
    AddVoices(project_, voices, u"1.000"_s, {});
    window_ = std::make_unique<FrmMain>(WindowContext{project_, paths_, op_, choosers_});
    // Every edit, undo, page change and load below is announced as the views expect.
    new QAbstractItemModelTester(Model(), QAbstractItemModelTester::FailureReportingMode::Fatal,
                                 window_.get());
    window_->show();
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }
  template <typename T = QAction>
  T* Find(const QString& name) {
    return ::testing::Find<T>(*window_, name);
  }
  void Click(int i) { QTest::mouseClick(Find<QPushButton>(u"Command%1"_s.arg(i)), Qt::LeftButton); }
  ProgramGrid* Grid() { return window_->Grid(); }
  ProgramTableModel* Model() { return window_->Model(); }
  QModelIndex Cell(int row, int column) { return Model()->index(row, column); }
  void Select(int row, int column) { Grid()->setCurrentIndex(Cell(row, column)); }
  QTabBar* Tabs() { return Find<QTabBar>(u"TabStrip"_s); }
  // The cell's drop-down, opened from the keyboard.
  QComboBox* DropDown(int row, int column, Qt::Key key = Qt::Key_Return) {
    Grid()->setFocus();
    Select(row, column);
    QTest::keyClick(Grid(), key);
    return Grid()->findChild<QComboBox*>(u"CellChoice"_s);
  }
  void Fill(int channel, const QStringList& names) {
    Model()->Replace([&] { FillChannel(project_, channel, names); });
  }
  // A control file of the open series with a.wav on its first channel.
  QString ControlFileWithOneVoice(const QString& name) {
    const QString folder = dir_.filePath(name);
    EXPECT_TRUE(WriteBytes(folder + u"/a.wav"_s, WaveOfLength(22050, 1, 16, 300)));
    Project source;
    UseSeries(source, project_.Mode());
    source.voices = {VoiceRecord{}};
    source.voices[0].NAME = u"a.wav"_s;
    source.VoicesRegistered = true;
    source.programs[0].Voice[0] = source.voices[0].NAME;
    const QString path = folder + u"/"_s + name + u".wpj"_s;
    EXPECT_TRUE(WriteControlFile(source, path, true));
    return path;
  }

  QTemporaryDir dir_;
  AppPaths paths_ = ResolveAppPaths();
  Project project_;
  ScriptedOperator op_;
  ScriptedChoosers choosers_;
  std::unique_ptr<FrmMain> window_;
};

// The timeline draws the selected channel and adds up to its time column
// through every kind of edit, an undo included.
TEST_F(FrmMainTest, TimelineFollowsTheSelectedChannelThroughEdits) {
  Open(1, 3);
  project_.voices[1].SEC = u"2.449"_s;
  Model()->setData(Cell(0, kFirstVoiceColumn), u"v0.wav"_s, Qt::EditRole);
  Model()->setData(Cell(0, kFirstVoiceColumn + 1), u"v1.wav"_s, Qt::EditRole);
  Model()->setData(Cell(1, kFirstVoiceColumn), u"v2.wav"_s, Qt::EditRole);
  auto* timeline = Find<ChannelTimeline>(u"PicTimeline"_s);
  Select(0, kFirstVoiceColumn);
  const auto agrees = [&](const char* after, int row) {
    EXPECT_EQ(timeline->TotalText(), Cell(row, kTimeColumn).data().toString()) << after;
  };
  ASSERT_TRUE(Model()->setData(Cell(0, kRpColumn), u"3"_s, Qt::EditRole));
  agrees("RP", 0);
  Select(0, kFirstVoiceColumn);
  Find(u"ActionUndo"_s)->trigger();
  Select(0, kFirstVoiceColumn);
  agrees("undo", 0);
  // The first voice's piece names it and its registered length.
  const QString first = timeline->TextAt(QPoint(8, timeline->height() - 8));
  EXPECT_TRUE(first.contains(u"v0.wav"_s) && first.contains(u"1.000 秒"_s)) << first.toStdString();
  Select(1, kSpColumn);
  EXPECT_EQ(timeline->Channel(), 1);
  agrees("another channel", 1);
}

// A drop-down opened on a value it does not list keeps that value; one closed
// with Escape is closed for good: no commit, no warning. Tab leaves the grid
// from its last cell; a command commits an open drop-down first; Delete
// reaches the table with the list open or not.
TEST_F(FrmMainTest, KeyboardWorksTheGridAndItsDropDowns) {
  Open(1, 3);
  project_.programs[0].RP = u"20"_s;  // beyond the element file's list
  Fill(0, {u"v0.wav"_s});
  ASSERT_NE(DropDown(0, kRpColumn, Qt::Key_F2), nullptr);
  Select(3, kRpColumn);            // leave the cell
  op_.Answer(MessageAnswer::kNo);  // "delete all?" No
  Click(8);                        // any button commits first
  QComboBox* combo = DropDown(0, kFirstVoiceColumn);
  ASSERT_NE(combo, nullptr);
  combo->setCurrentIndex(2);  // v1.wav, then thought better of
  QTest::keyClick(combo, Qt::Key_Escape);
  Click(0);  // any Qt warning fails the test
  EXPECT_EQ(project_.programs[0].RP + project_.programs[0].Voice[0], u"20v0.wav"_s);
  EXPECT_FALSE(project_.IsEdited() || window_->isWindowModified());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Find(u"LOAD"_s)->isEnabled(); }));

  Fill(4, {u"v0.wav"_s, u"v1.wav"_s});
  Grid()->setFocus();
  Select(Model()->rowCount() - 1, Model()->columnCount() - 2);
  QTest::keyClick(Grid(), Qt::Key_Tab);
  EXPECT_FALSE(Grid()->hasFocus());
  combo = DropDown(4, kFirstVoiceColumn);
  ASSERT_NE(combo, nullptr);
  combo->setCurrentIndex(3);       // v2.wav, after a blank and two others
  op_.Answer(MessageAnswer::kNo);  // LOAD asks about the edit, and is refused
  Find(u"LOAD"_s)->trigger();
  EXPECT_EQ(project_.programs[4].Voice[0], u"v2.wav"_s);
  ASSERT_NE(combo = DropDown(4, kFirstVoiceColumn), nullptr);
  QTest::keyClick(combo, Qt::Key_Delete);
  // The grid gets the Delete once the list has closed.
  EXPECT_TRUE(QTest::qWaitFor([&] { return project_.programs[4].Voice[0] == u"v1.wav"_s; }));
  QTest::keyClick(Grid(), Qt::Key_Delete);
  EXPECT_TRUE(project_.programs[4].Voice[0].isEmpty());
}

// The No. column holds the series' highest channel number whole in the
// grid's font, at both screen sizes.
TEST_F(FrmMainTest, TheNumberColumnHoldsEveryChannelNumber) {
  const struct {
    int mode;
    QSize size;
  } cases[] = {{3, {1024, 768}}, {3, {1600, 1000}}, {4, {1024, 768}}, {4, {1600, 1000}}};
  for (const auto& c : cases) {
    Open(c.mode);
    window_->resize(c.size);
    Tabs()->setCurrentIndex(Tabs()->count() - 1);
    auto* fixed = Find<QTableView>(u"FgProgramFixed"_s);
    const QModelIndex last = Cell(Model()->rowCount() - 1, kChannelColumn);
    const QString number = last.data().toString();
    const int margin =
        fixed->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, fixed) + 1;
    const int room = fixed->visualRect(last).width() - 2 * margin;
    EXPECT_GE(room, QFontMetrics(fixed->font()).horizontalAdvance(number))
        << c.mode << " " << number.toStdString() << " " << c.size.width();
    EXPECT_EQ(fixed->columnWidth(kChannelColumn), Grid()->columnWidth(kChannelColumn));
  }
}

// 試聴 and 削除 act on the row's channel from its own cells (No., SP, RP,
// 時間); the moves need a voice cell; a row without voices offers neither.
TEST_F(FrmMainTest, CommandsOfTheSelectedCell) {
  Open(1, 3);
  Fill(4, {u"v0.wav"_s, u"v1.wav"_s});
  const struct {
    const char* what;
    int row;
    int column;
    bool audition, moves, remove;
  } cases[] = {
      {"No.", 4, kChannelColumn, true, false, true},
      {"SP", 4, kSpColumn, true, false, true},
      {"RP", 4, kRpColumn, true, false, true},
      {"時間", 4, kTimeColumn, true, false, true},
      {"voice", 4, kFirstVoiceColumn + 1, true, true, true},
      {"empty voice cell", 4, kFirstVoiceColumn + 2, false, false, false},
      {"SP of a channel without voices", 5, kSpColumn, false, false, false},
  };
  const auto enabled = [&](int i) { return Find<QPushButton>(u"Command%1"_s.arg(i))->isEnabled(); };
  for (const auto& c : cases) {
    Select(c.row, c.column);
    EXPECT_EQ(enabled(0), c.audition) << c.what;
    EXPECT_EQ(enabled(1) && enabled(4), c.moves) << c.what;
    EXPECT_EQ(enabled(5), c.remove) << c.what;
    EXPECT_TRUE(enabled(6) && enabled(7) && enabled(8)) << c.what;
  }
  // 削除 from the SP cell takes the channel's voices; one undo brings them back.
  Select(4, kSpColumn);
  Click(5);
  EXPECT_TRUE(project_.programs[4].Voice[0].isEmpty());
  EXPECT_FALSE(enabled(5));
  Find(u"ActionUndo"_s)->trigger();
  EXPECT_EQ(project_.programs[4].Voice[1], u"v1.wav"_s);
}

// A drop-down closed with Escape leaves its cell as it was and the keys
// after it move the selection, in the grid and in the fixed columns alike;
// a choice made in the list is written; Ctrl+Tab leaves the grid from any
// cell, its list open or not.
TEST_F(FrmMainTest, EscapeClosesADropDownAndTheKeysMoveOn) {
  Open(1, 3);
  enum Then { kMove, kChoose, kLeave };
  const struct {
    const char* what;
    int column;
    QKeyCombination key;  // after Escape; in the open list, then Enter; or to leave
    Then then = kMove;
    bool open = true;
  } cases[] = {
      {"voice, Down", kFirstVoiceColumn, Qt::Key_Down},
      {"voice, Up", kFirstVoiceColumn + 1, Qt::Key_Up},
      {"voice, Ctrl+End", kFirstVoiceColumn, Qt::ControlModifier | Qt::Key_End},
      {"voice, Ctrl+Home", kFirstVoiceColumn + 1, Qt::ControlModifier | Qt::Key_Home},
      {"voice, PageDown", kFirstVoiceColumn, Qt::Key_PageDown},
      {"voice, PageUp", kFirstVoiceColumn, Qt::Key_PageUp},
      {"voice, Home", kFirstVoiceColumn + 1, Qt::Key_Home},
      {"SP, Down", kSpColumn, Qt::Key_Down},
      {"RP, End", kRpColumn, Qt::Key_End},
      {"voice, chosen", kFirstVoiceColumn, Qt::Key_Down, kChoose},
      {"voice, Ctrl+Tab", kFirstVoiceColumn, Qt::ControlModifier | Qt::Key_Tab, kLeave, false},
      {"voice, list open, Ctrl+Tab", kFirstVoiceColumn, Qt::ControlModifier | Qt::Key_Tab, kLeave},
      {"SP, list open, Ctrl+Tab", kSpColumn, Qt::ControlModifier | Qt::Key_Tab, kLeave},
  };
  auto* fixed = Find<QTableView>(u"FgProgramFixed"_s);
  for (const auto& c : cases) {
    Fill(4, {u"v1.wav"_s, u"v1.wav"_s});
    Model()->Replace([&] { project_.programs[4].SP = project_.programs[4].RP = u"2"_s; });
    const auto before = project_.programs;
    if (!c.open) {
      Grid()->setFocus();
      Select(4, c.column);
    } else {
      QComboBox* combo = nullptr;
      if (c.then == kLeave) {  // opened from the keyboard
        combo = DropDown(4, c.column);
      } else {
        QTableView* view = c.column < kFirstVoiceColumn ? fixed : Grid();
        const QPoint centre = view->visualRect(Cell(4, c.column)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
        combo = Grid()->findChild<QComboBox*>(u"CellChoice"_s);
      }
      ASSERT_NE(combo, nullptr) << c.what;
      ASSERT_TRUE(QTest::qWaitFor([&] { return combo->view()->isVisible(); })) << c.what;
      if (c.then == kChoose) {
        QTest::keyClick(combo->view(), c.key.key(), c.key.keyboardModifiers());
        QTest::keyClick(combo->view(), Qt::Key_Return);
        EXPECT_EQ(project_.programs[4].Voice[0], u"v2.wav"_s) << c.what;
        continue;
      }
      if (c.then == kMove) {
        QTest::keyClick(combo->view(), Qt::Key_Escape);
        QTest::qWait(0);
      }
    }
    QWidget* target = QApplication::activePopupWidget() != nullptr
                          ? QApplication::activePopupWidget()->focusWidget()
                          : QApplication::focusWidget();
    ASSERT_NE(target, nullptr) << c.what;
    QTest::keyClick(target, c.key.key(), c.key.keyboardModifiers());
    QTest::qWait(20);  // the closed drop-down goes before the next is looked for
    EXPECT_TRUE(project_.programs == before) << c.what;
    QWidget* focus = QApplication::focusWidget();
    if (c.then == kLeave) {
      EXPECT_TRUE(focus != nullptr && focus != Grid() && !Grid()->isAncestorOf(focus))
          << c.what << " " << (focus ? focus->metaObject()->className() : "none");
      EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << c.what;
    } else {
      const QModelIndex now = Grid()->currentIndex();
      EXPECT_NE(std::pair(now.row(), now.column()), std::pair(4, c.column)) << c.what;
      EXPECT_EQ(focus, Grid()) << c.what;
    }
  }
}

// LOAD asks once for all edited pages and says which files the series
// takes; a series change rebuilds tabs and grid; closing asks 2024 after
// changes (Yes opens the card data), else 2025; FrmMain comes back where it
// was closed, and a place kept the earlier way (a bare rectangle) is no place
// and no failure.
TEST_F(FrmMainTest, ProjectCommandsPagesClosingAndTheWindowsPlace) {
  ASSERT_TRUE(WriteBytes(paths_.state_file,
                         R"({"mainWindow": {"x": 9000, "y": 9000, "width": 10, "height": 10}})"));
  Open(4, 1);
  EXPECT_TRUE(op_.shown.empty());
  project_.PageEdited[1] = project_.PageEdited[3] = true;
  op_.Answer(MessageAnswer::kYes);
  choosers_.answers = {dir_.filePath(u"X.zpx"_s)};
  Find(u"LOAD"_s)->trigger();
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2020, 0}));
  EXPECT_TRUE(op_.shown[1].text.contains(u"wpj"_s));  // it says which files this series takes
  EXPECT_EQ(project_.voices.size(), 1);               // and nothing was lost

  for (const int mode : {3, 4}) {
    project_.settings.Mode = mode;
    window_->ApplyModeChange();
    EXPECT_EQ(Tabs()->count(), mode == 3 ? 1 : 4);
    EXPECT_EQ(Tabs()->isVisible(), mode == 4);
    const int beyond = kFirstVoiceColumn + MaxVoiceIndex(3) + 1;  // hidden in the smaller series
    EXPECT_TRUE(mode == 4 || Grid()->isColumnHidden(beyond));
  }
  op_ = {};
  project_.PageEdited[0] = true;
  op_.Answer(MessageAnswer::kYes);
  EXPECT_FALSE(window_->close());  // Yes goes to saving in the card data window
  bool card_opened = false;
  ::testing::OnModal<FrmCardMake>([&](FrmCardMake& card) { card_opened = card.close(); });
  EXPECT_TRUE(QTest::qWaitFor([&] { return card_opened; }, 5000));
  op_.Answer(MessageAnswer::kNo);
  EXPECT_TRUE(window_->close());  // No ends without a second question
  window_->show();
  project_.ClearPageEdited();
  op_.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(window_->close());
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2024, 2024, 2025}));
  EXPECT_EQ(op_.shown[0].buttons, MessageButtons::kYesNoCancel);
  const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
  window_->setGeometry(QRect(work.topLeft() + QPoint(10, 20), window_->minimumSizeHint()));
  const QRect placed = window_->geometry();
  op_.Answer(MessageAnswer::kYes);
  ASSERT_TRUE(window_->close());
  Open(4);
  EXPECT_EQ(window_->geometry(), placed);
}

// An audition on the real sound layer (the dummy driver) colours its row and
// names the voice; afterwards every command is back and no sound is open.
TEST_F(FrmMainTest, AnAuditionOnTheRealSoundLayer) {
  UseSoundBackend(MakeSdlSoundBackend());
  Open(4);
  for (const auto& [name, ms] : {std::pair(u"a.wav"_s, 250), std::pair(u"b.wav"_s, 1000)}) {
    project_.voices.append(VoiceRecord{});
    project_.voices.back().NAME = name;
    project_.voices.back().FilePath = dir_.filePath(name);
    project_.voices.back().SEC = QString::number(ms / 1000.0, 'f', 3);
    ASSERT_TRUE(WriteBytes(dir_.filePath(name), WaveOfLength(22050, 1, 8, ms)));
  }
  project_.VoicesRegistered = true;
  Fill(2, {u"a.wav"_s, u"b.wav"_s});
  Select(2, kFirstVoiceColumn);
  Click(0);
  ASSERT_FALSE(Find(u"LOAD"_s)->isEnabled());  // the commands wait for the audition
  auto* line = Find<QLabel>(u"LblState"_s);
  ASSERT_TRUE(QTest::qWaitFor([&] { return line->text().startsWith(u"a.wav "_s); }, 2000));
  EXPECT_TRUE(Cell(2, kSpColumn).data(Qt::BackgroundRole).isValid());
  // The timeline shows the channel with the play position moving over it:
  // a.wav is the first 3 of 13 tenths.
  auto* timeline = Find<ChannelTimeline>(u"PicTimeline"_s);
  const auto play_point = [&] {
    return ::testing::DrawnPlayPoint(*timeline, 4, timeline->width() - 8);
  };
  EXPECT_EQ(timeline->Channel(), 2);
  const double start = play_point();
  EXPECT_TRUE(start >= 0.0 && start <= 3.0 / 13) << start;
  ASSERT_TRUE(QTest::qWaitFor([&] { return line->text().startsWith(u"b.wav "_s); }, 3000));
  EXPECT_TRUE(QTest::qWaitFor([&] { return play_point() > 5.0 / 13; }, 3000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return Find(u"LOAD"_s)->isEnabled(); }, 5000));
  EXPECT_LT(play_point(), 0.0);
  for (const QString& key :
       {u"LOAD"_s, u"NEW"_s, u"WAVE"_s, u"SETING"_s, u"CARD"_s, u"PRINT"_s, u"APPEND"_s}) {
    EXPECT_TRUE(Find(key)->isEnabled()) << key.toStdString();
  }
  EXPECT_FALSE(Cell(2, kSpColumn).data(Qt::BackgroundRole).isValid());
  EXPECT_TRUE(line->text().isEmpty());
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
}

// Each kind of change is one step back and forth; NEW (Ctrl+N) forgets them
// and returns to page 1; FrmMain is then torn down with a step on its stack.
TEST_F(FrmMainTest, UndoAndRedoOfEveryKindOfChange) {
  Open(4, 12);
  const auto snapshot = [this] { return std::make_pair(project_.programs, project_.PageEdited); };
  const auto step = [&](const char* what, const std::function<void()>& change) {
    const auto before = snapshot();
    change();
    const auto after = snapshot();
    EXPECT_TRUE(after != before) << what;
    Find(u"ActionUndo"_s)->trigger();
    EXPECT_TRUE(snapshot() == before) << what;
    Find(u"ActionRedo"_s)->trigger();
    EXPECT_TRUE(snapshot() == after) << what;
  };
  step("cell", [&] { Model()->setData(Cell(0, kFirstVoiceColumn), u"v3.wav"_s, Qt::EditRole); });
  Fill(0, {u"v3.wav"_s, u"v4.wav"_s});
  Fill(250, {u"v5.wav"_s});
  const std::tuple<const char*, int, int> commands[] = {
      {"move right", 0, 4}, {"delete", 0, 5}, {"move up from page 2", 1, 1}};
  for (const auto& [what, page, command] : commands) {
    Tabs()->setCurrentIndex(page);
    step(what, [&] {
      Select(0, kFirstVoiceColumn);
      Click(command);
      EXPECT_EQ(Tabs()->currentIndex(), 0);  // the tab and the cell follow the channel
      EXPECT_EQ(Grid()->currentIndex().row(), page == 1 ? 249 : 0);
    });
  }
  step("bulk assignment of twelve voices", [&] {
    Tabs()->setCurrentIndex(2);
    op_.Answer(MessageAnswer::kYes);
    Click(7);
    EXPECT_EQ(Tabs()->currentIndex(), 0);  // where the voices went
  });
  step("delete all, from the menu", [&] {
    op_.Answer(MessageAnswer::kYes);
    Find(u"ActionCommand8"_s)->trigger();
  });
  // The menu names the step to be undone or redone.
  EXPECT_EQ(Find(u"ActionUndo"_s)->text(), u"元に戻す: 全削除"_s);
  Find(u"ActionUndo"_s)->trigger();
  EXPECT_EQ(Find(u"ActionUndo"_s)->text(), u"元に戻す: 一括登録"_s);
  EXPECT_EQ(Find(u"ActionRedo"_s)->text(), u"やり直し: 全削除"_s);
  Tabs()->setCurrentIndex(3);
  op_.Answer(MessageAnswer::kYes);
  QTest::keyClick(window_.get(), Qt::Key_N, Qt::ControlModifier);
  EXPECT_EQ(op_.Numbers().back(), 2052);
  EXPECT_EQ(Tabs()->currentIndex(), 0);
  EXPECT_FALSE(Find(u"ActionUndo"_s)->isEnabled());
  EXPECT_EQ(Find(u"ActionUndo"_s)->text() + Find(u"ActionRedo"_s)->text(), u"元に戻すやり直し"_s);
  EXPECT_EQ(Find(u"ActionUndo"_s)->shortcut(), QKeySequence(QKeySequence::Undo));
  Model()->setData(Cell(0, kRpColumn), u"3"_s, Qt::EditRole);
}

// A file that does not load leaves the work as it was: the voices and
// channels, the undo steps, the unsaved flag, the recovery file and the
// status bar (the message's text is the loader's).
TEST_F(FrmMainTest, AFileThatDoesNotLoadLeavesTheWorkAsItWas) {
  Open(1);
  const QString good = ControlFileWithOneVoice(u"PROJ"_s);
  ASSERT_TRUE(window_->OpenFile(good));
  Model()->setData(Cell(1, kFirstVoiceColumn), u"a.wav"_s, Qt::EditRole);
  window_->Recovery().Keep();
  const QString recovery = window_->Recovery().Path();
  ASSERT_TRUE(QFile::exists(recovery));
  const auto programs = project_.programs;
  const QString bad = dir_.filePath(u"EMPTY.wpj"_s);
  ASSERT_TRUE(WriteBytes(bad, QByteArray()));
  op_ = {};
  op_.Answer(MessageAnswer::kYes);  // the edits may go, for a file that loads
  choosers_.answers = {bad};
  Find(u"LOAD"_s)->trigger();
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2020, 2507}));
  EXPECT_EQ(project_.voices.size(), 1);
  EXPECT_TRUE(project_.programs == programs);
  EXPECT_TRUE(project_.IsEdited() && window_->isWindowModified());  // the title's mark too
  EXPECT_TRUE(Find(u"ActionUndo"_s)->isEnabled());
  EXPECT_TRUE(QFile::exists(recovery));
  EXPECT_EQ(Find<QLabel>(u"StatusPanel1"_s)->text(), good);
}

// The last eight files, newest first, in the state file and the menu.
TEST_F(FrmMainTest, RecentFiles) {
  EditorState state;
  for (int i = 0; i < 10; ++i) {
    RememberRecentFile(state, dir_.filePath(u"f%1.wpj"_s.arg(i)));
  }
  RememberRecentFile(state, dir_.filePath(u"f5.wpj"_s));
  EXPECT_EQ(state.recent_files.front(), dir_.filePath(u"f5.wpj"_s));
  EXPECT_EQ(state.recent_files.back(), dir_.filePath(u"f2.wpj"_s));
  ASSERT_TRUE(WriteEditorState(paths_.state_file, state));

  Open(1);
  const QString loaded = ControlFileWithOneVoice(u"PROJ"_s);
  ASSERT_TRUE(window_->OpenFile(loaded));
  auto* recent = Find<QMenu>(u"MenuRecent"_s);
  ASSERT_EQ(recent->actions().size(), kMaxRecentFiles);
  EXPECT_EQ(recent->actions().front()->text(), loaded);
  EXPECT_EQ(ReadEditorState(paths_.state_file).recent_files.front(), loaded);
  recent->actions()[1]->trigger();  // f5.wpj, which does not exist
  ASSERT_EQ(op_.shown.size(), 1u);
  EXPECT_TRUE(op_.shown[0].text.contains(u"f5.wpj"_s));
  EXPECT_EQ(recent->actions().size(), kMaxRecentFiles - 1);  // a file gone is dropped
}

// Faults the random operator found: a recent file loaded over unsaved work
// without asking; a file handed over while a command's question was being
// answered, loaded in the middle of that command; Enter on a cell that takes
// no input, and a drop-down of the fixed columns left for the grid, each
// made Qt warn.
TEST_F(FrmMainTest, WhatTheRandomOperatorFound) {
  Open(1, 3);
  const QString file = ControlFileWithOneVoice(u"OTHER"_s);
  Fill(0, {u"v0.wav"_s});
  project_.PageEdited[0] = true;
  ASSERT_TRUE(window_->OpenFile(file));  // into the recent files
  Fill(0, {u"v0.wav"_s});
  project_.PageEdited[0] = true;
  op_.Answer(MessageAnswer::kNo);
  Find<QMenu>(u"MenuRecent"_s)->actions().front()->trigger();
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2020});
  EXPECT_EQ(project_.programs[0].Voice[0], u"v0.wav"_s);  // kept

  Open(1, 3);
  Fill(0, {u"v0.wav"_s});
  op_ = {};
  op_.Answer(MessageAnswer::kYes);  // assign anew
  op_.while_asking = [&] { window_->TakeHandedOverFile(file); };
  Click(7);
  op_.while_asking = nullptr;
  EXPECT_EQ(project_.voices.size(), 3);  // the command ended on its own project
  EXPECT_EQ(project_.programs[2].Voice[0], u"v2.wav"_s);
  op_.Answer(MessageAnswer::kYes);  // then the file: its question comes after
  EXPECT_TRUE(QTest::qWaitFor([&] { return project_.voices.size() == 1; }));
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2022, 2020}));

  Grid()->setFocus();
  Select(0, kChannelColumn);
  QTest::keyClick(Grid(), Qt::Key_Return);
  auto* fixed = Find<QTableView>(u"FgProgramFixed"_s);
  QTest::mouseClick(fixed->viewport(), Qt::LeftButton, {},
                    fixed->visualRect(Cell(1, kSpColumn)).center());
  QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {},
                    Grid()->visualRect(Cell(2, kFirstVoiceColumn)).center());
  if (QWidget* focus = QApplication::focusWidget()) {
    QTest::keyClick(focus, Qt::Key_Escape);
  }
  QTest::qWait(50);
  // Enter on a drop-down of the fixed columns, then a click in its list.
  QTest::mouseClick(fixed->viewport(), Qt::LeftButton, {},
                    fixed->visualRect(Cell(5, kRpColumn)).center());
  auto* choice = fixed->findChild<QComboBox*>(u"CellChoice"_s);
  ASSERT_NE(choice, nullptr);
  QTest::keyClick(choice, Qt::Key_Enter, Qt::KeypadModifier);
  if (QWidget* popup = QApplication::activePopupWidget()) {
    auto* list = popup->findChild<QAbstractItemView*>();
    ASSERT_NE(list, nullptr);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(2, 0)).center());
  }
  QTest::qWait(50);  // any Qt warning on the way fails the test
}

// A second start hands its file to the running editor and ends silently;
// with unsaved changes the editor asks first, and the second start may end
// while that question is open: No keeps the work and its recovery file.
TEST_F(FrmMainTest, ASecondStartHandsItsFileToTheFirst) {
  Open(1, 2);
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  ASSERT_FALSE(runtime.isEmpty());
  QLockFile lock(runtime + u"/parlatone-editor.lock"_s);
  ASSERT_TRUE(AcquireSingleInstanceLock(lock));
  InstanceLink link(runtime + u"/parlatone-editor.socket"_s);
  ASSERT_TRUE(link.Listen());
  QObject::connect(&link, &InstanceLink::HandedOver, window_.get(), &FrmMain::TakeHandedOverFile);
  const QString file = ControlFileWithOneVoice(u"GIVEN"_s);
  const auto hand_over = [&] {
    QProcess second;
    second.start(QStringLiteral(PARLATONE_EDITOR_PATH), {file});
    // The question stays open until the second start has ended and its
    // socket is gone, as when the operator takes a moment to answer.
    op_.while_asking = [&] {
      EXPECT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 15000));
      QTest::qWait(50);
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 15000));
    EXPECT_EQ(second.exitCode(), 0);
    QTest::qWait(50);
    op_.while_asking = nullptr;
  };
  hand_over();
  EXPECT_EQ(project_.voices.size(), 1);
  EXPECT_TRUE(op_.shown.empty());

  Model()->setData(Cell(3, kFirstVoiceColumn), u"a.wav"_s, Qt::EditRole);
  window_->Recovery().Keep();
  ASSERT_TRUE(QFile::exists(window_->Recovery().Path()));
  for (const MessageAnswer answer : {MessageAnswer::kNo, MessageAnswer::kYes}) {
    op_ = {};
    op_.Answer(answer);
    hand_over();
    EXPECT_EQ(op_.Numbers(), std::vector<int>{2020});
    EXPECT_EQ(project_.programs[3].Voice[0].isEmpty(), answer == MessageAnswer::kYes);
    EXPECT_EQ(QFile::exists(window_->Recovery().Path()), answer == MessageAnswer::kNo);
  }
}

// A killed editor's work comes back whole; a recovery file cut in half is
// refused and deleted, one of another series is left for it.
TEST_F(FrmMainTest, AKilledEditorsWorkIsRestored) {
  QStringList sounds;
  for (const QString& name : {u"a1.wav"_s, u"b2.wav"_s, u"c3.wav"_s}) {
    sounds << dir_.filePath(u"sounds/"_s + name);
    ASSERT_TRUE(WriteBytes(sounds.back(), WaveOfLength(22050, 1, 16, 700)));
  }
  QProcess child;
  child.start(QStringLiteral(PARLATONE_EDITING_CHILD), QStringList{paths_.recovery_file} + sounds);
  ASSERT_TRUE(child.waitForStarted());
  ASSERT_TRUE(QTest::qWaitFor([&] { return child.canReadLine(); }, 20000)) << "no edits kept";
  ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
  ASSERT_TRUE(child.waitForFinished());

  project_.settings.WavePath = dir_.filePath(u"elsewhere"_s);
  Open(4);
  op_.Answer(MessageAnswer::kYes);  // restore
  window_->OfferRecovery();
  ASSERT_EQ(project_.voices.size(), 3);
  for (int v = 0; v < 3; ++v) {
    EXPECT_EQ(project_.voices[v].FilePath + u" "_s + project_.voices[v].SEC,
              sounds[v] + u" 0.700"_s);
  }
  const Project& p = project_;
  EXPECT_EQ((QStringList{p.voices[1].COMENTS, p.programs[0].Voice[0], p.programs[0].Voice[1],
                         p.programs[0].RP, p.programs[0].Time, p.programs[7].Voice[0],
                         p.programs[7].SP, p.card.CardName, p.card.Forder, p.card.Memo[2]}),
            (QStringList{u"始業のチャイム"_s, u"a1.wav"_s, u"c3.wav"_s, u"3"_s, u"4.2"_s,
                         u"b2.wav"_s, u"2"_s, u"ANN01"_s, u"駅構内"_s, u"停電の前の作業"_s}));
  EXPECT_TRUE(project_.IsEdited());  // still unsaved
  // It still knows its file; a temporary save makes that file the project's.
  EXPECT_EQ(Find<QLabel>(u"StatusPanel1"_s)->text(),
            u"/srv/案内🔔/ANN01.wpj（復元した編集内容・未保存）"_s);
  const QString saved = dir_.filePath(u"saved.wpg"_s);
  choosers_.answers = {saved};
  Find(u"ActionTemporarySave"_s)->trigger();
  EXPECT_EQ(Find<QLabel>(u"StatusPanel1"_s)->text(), saved);
  EXPECT_FALSE(project_.IsEdited());

  const QString recovery = RecoveryFilePath(paths_.recovery_file, 4);
  ASSERT_TRUE(WriteRecoveryFile(project_, recovery));
  const QByteArray bytes = ReadFileBytes(recovery);
  for (const int mode : {4, 1}) {
    WriteFileBytes(recovery, mode == 4 ? bytes.left(bytes.size() / 2) : bytes);
    Open(mode);
    op_ = {};
    window_->OfferRecovery();
    ASSERT_EQ(op_.shown.size(), 1u);
    EXPECT_TRUE(project_.voices.isEmpty());
    EXPECT_EQ(QFile::exists(recovery), mode == 1);  // left for its series
    EXPECT_TRUE(mode == 4 ? op_.shown[0].title_number == msg::kTitleError
                          : op_.shown[0].text.contains(SeriesLabel(4).simplified()));
  }
}

// The scripted operator with a hand on the window while a run lets events in.
struct WindowOperator : ScriptedOperator {
  void ProcessPendingEvents() override {
    ScriptedOperator::ProcessPendingEvents();
    on_events();
  }
  std::function<void()> on_events = [] {};
};

class FrmToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  }
  template <typename T = QWidget>
  T* Find(const QString& name) {
    return ::testing::Find<T>(window_, name);
  }
  QLineEdit* Box(const QString& name) { return Find<QLineEdit>(name); }
  void Click(const QString& name) { ::testing::Click(window_, name); }
  QTemporaryDir dir_;
  WindowOperator op_;
  ScriptedChoosers choosers_;
  FrmTools window_{op_, choosers_};
};

// The browse buttons fill the boxes, the unit empties them, a refused check
// selects its box; Escape closes an idle window without a question.
TEST_F(FrmToolsTest, ConversionPageByMouseAndKeys) {
  choosers_.answers = {u"/music/a.wav"_s, u"/music/out"_s + QChar(u'\0') + u".wav"_s};
  Click(u"CmdConv010"_s);
  EXPECT_EQ(Box(u"TxtConv010"_s)->text(), u"/music/a.wav"_s);
  Click(u"CmdConv011"_s);
  EXPECT_EQ(Box(u"TxtConv011"_s)->text(), u"/music/out.wav"_s);
  Click(u"OptConvMode1"_s);
  EXPECT_TRUE(Box(u"TxtConv010"_s)->text().isEmpty());
  choosers_.answers = {dir_.path()};
  Click(u"CmdConv010"_s);
  Box(u"TxtConv011"_s)->setText(dir_.path());
  Click(u"CmdExec"_s);  // the same folder twice: refused
  EXPECT_EQ(window_.focusWidget(), Box(u"TxtConv011"_s));
  EXPECT_EQ(Box(u"TxtConv011"_s)->selectedText(), dir_.path());
  QTest::keyClick(Box(u"TxtConv011"_s), Qt::Key_Return);  // starts nothing
  QTest::keyClick(&window_, Qt::Key_Escape);
  EXPECT_FALSE(window_.isVisible());
  EXPECT_EQ(op_.shown.size(), 1u);
}

// A folder run ends with the window's notice; the run button and a close stop
// a run, and a closed window stays for the notice and goes afterwards.
TEST_F(FrmToolsTest, FolderRunsTheirNoticeStopAndClose) {
  for (const auto& [name, rate, channels] :
       {std::tuple{u"a.wav"_s, 22050, 2}, {u"b.wav"_s, 22050, 1}, {u"c.wav"_s, 11025, 2}}) {
    ASSERT_TRUE(WriteBytes(dir_.filePath(u"in/"_s + name), WaveOfLength(rate, channels, 16, 200)));
  }
  Click(u"OptConvMode1"_s);
  Box(u"TxtConv010"_s)->setText(dir_.filePath(u"in"_s));
  const auto run = [&](const QString& out, std::function<void()> meanwhile) {
    op_.shown.clear();
    op_.on_events = std::move(meanwhile);
    EXPECT_TRUE(QDir().mkpath(out));
    Box(u"TxtConv011"_s)->setText(out);
    op_.Answer(MessageAnswer::kYes);  // skip the mono b.wav
    Click(u"CmdExec"_s);
  };
  const QString whole = dir_.filePath(u"whole"_s);
  run(whole, [] {});
  EXPECT_EQ(op_.shown.back().text,
            u"2 個のファイルをモノラルに変換しました。\r\n"
            u"1 個のファイルはステレオではないため変換しませんでした。\r\n\r\n出力先：\r\n"_s +
                whole);

  const QString stopped = dir_.filePath(u"stopped"_s);
  op_.Answer(MessageAnswer::kYes);  // and to the stop question
  run(stopped, [&, asked = false]() mutable {
    if (!std::exchange(asked, true)) {
      Click(u"CmdExec"_s);  // during a run, the run button stops it
    }
  });
  EXPECT_TRUE(EntriesIn(stopped).isEmpty());
  const QString closed = dir_.filePath(u"closed"_s);
  op_.Answer(MessageAnswer::kYes);  // stop and close
  run(closed, [&, asked = false]() mutable {
    if (!std::exchange(asked, true)) {
      for (const QString& name : IdleOnlyControls()) {  // and the hourglass
        EXPECT_FALSE(Find(name)->isEnabled()) << name.toStdString();
      }
      EXPECT_EQ(op_.busy_depth, 1);
      window_.close();
      EXPECT_TRUE(window_.isVisible());  // until the run is over and its notice shown
    }
  });
  EXPECT_FALSE(window_.isVisible());
  EXPECT_EQ(window_.result(), QDialog::Rejected);
  EXPECT_TRUE(EntriesIn(closed).isEmpty());
}

// The silent page's notice; the fit page runs a folder's files.
TEST_F(FrmToolsTest, SilentAndFitPages) {
  Find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(1);
  const QString path = dir_.filePath(u"s.wav"_s);
  choosers_.answers = {path};
  Click(u"CmdSrt"_s);  // the browse button fills the box the notice names
  Box(u"TxtMM"_s)->setText(u"00"_s);
  Box(u"TxtSS"_s)->setText(u"01"_s);
  Find<QComboBox>(u"CmbBit"_s)->setCurrentIndex(0);
  Click(u"CmdSirentExec"_s);
  ASSERT_EQ(op_.shown.size(), 1u);
  EXPECT_EQ(op_.shown[0].text, u"無音データを作成しました。\r\n\r\n"_s + path);
  EXPECT_EQ(Find<QProgressBar>(u"PrgBar2"_s)->value(), 100);

  Find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(2);
  choosers_.answers = {dir_.path()};
  Click(u"CmdFitFolder"_s);
  Box(u"TxtFitOutput"_s)->setText(dir_.filePath(u"fitted"_s));
  Click(u"CmdFitExec"_s);
  EXPECT_EQ(EntriesIn(dir_.filePath(u"fitted"_s)), QStringList{u"s.wav"_s});
}

// The MP3 series' page that makes its files. A loudness the peak
// held short is said, file by file, in the page and in the summary.
TEST(FrmToolsMp3Test, FitPageAloneSaysWhatThePeakLimitLeft) {
  QTemporaryDir dir;
  ScriptedOperator op;
  ScriptedChoosers choosers;
  FrmTools window(op, choosers, FitSeries{7, false});
  window.show();
  auto* page = window.findChild<FitPage*>();
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(page->isVisible());
  const QList<QLabel*> labels = page->findChildren<QLabel*>();
  EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](const QLabel* label) {
    return label->text().contains(u"ZPXシリーズで登録できる"_s);
  }));
  // A quiet tone with one full-scale click: the peak allows far less gain than -16 LUFS asks.
  QByteArray clicked = SineWave(22050, 1000, 0.05);
  clicked[44 + 2 * 1000] = '\xFF';
  clicked[44 + 2 * 1000 + 1] = '\x7F';
  const QString source = dir.filePath(u"click.wav"_s);
  ASSERT_TRUE(WriteBytes(source, clicked));
  choosers.selections.push_back({source});
  QTest::mouseClick(window.findChild<QPushButton*>(u"CmdFitFiles"_s), Qt::LeftButton);
  EXPECT_EQ(choosers.last_filter.description, u"音声ファイル"_s);
  window.findChild<QCheckBox*>(u"ChkFitNormalize"_s)->setChecked(true);
  window.findChild<QDoubleSpinBox*>(u"SpnFitLufs"_s)->setValue(-16.0);
  window.findChild<QLineEdit*>(u"TxtFitOutput"_s)->setText(dir.filePath(u"out"_s));
  const FitRunResult run = page->Run();
  ASSERT_EQ(run.Written(), 1);
  ASSERT_TRUE(run.files[0].limited_by_peak);
  const QString reached = FitLoudnessText(run.files[0]);
  auto* results = window.findChild<QListWidget*>(u"LstFitResults"_s);
  ASSERT_EQ(results->count(), 1);
  EXPECT_EQ(results->item(0)->text(), u"click.wav → click.mp3　"_s + reached);
  EXPECT_TRUE(op.shown.back().text.endsWith(u"click.wav: "_s + reached));
}

}  // namespace
}  // namespace parlatone
