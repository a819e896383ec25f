// The habits of a desktop editor: menus over the same commands as the
// buttons, undo and redo, recent files, a file handed over by a second
// start, window places, and a crash that costs seconds of work.
#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLockFile>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <csignal>

#include "controlfile/control_file_writer.h"
#include "controlfile/recovery_file.h"
#include "core/editor_state.h"
#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "gui/frm_main.h"
#include "gui/instance_link.h"
#include "gui/program_grid.h"
#include "gui/program_table_model.h"
#include "gui/recovery_keeper.h"
#include "gui/table_history.h"
#include "gui/window_helpers.h"
#include "support/qt_printers.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class DesktopHabitsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    paths_ = ResolveAppPaths();
    paths_.settings_file = dir_.filePath(u"settings.ini"_s);
    paths_.state_file = dir_.filePath(u"state/EditorState.json"_s);
    paths_.recovery_file = dir_.filePath(u"cache/Recovery"_s);
  }
  void Open(int mode, int voices = 0) {
    window_.reset();
    project_.ClearProject();
    project_.settings.Mode = mode;
    project_.settings.CardPath = dir_.path();
    DeriveSeriesLimits(project_);
    project_.ResetPrograms();
    for (int v = 0; v < voices; ++v) {
      VoiceRecord voice;
      voice.NAME = u"v%1.wav"_s.arg(v);
      voice.SEC = u"1.500"_s;
      project_.voices.append(voice);
    }
    project_.VoicesRegistered = voices > 0;
    window_ = std::make_unique<FrmMain>(project_, paths_, op_, choosers_);
    window_->show();
  }
  template <typename T>
  T* Find(const QString& name) {
    T* found = window_->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  ProgramTableModel& Model() { return *window_->Model(); }
  void Select(int row, int column) { window_->Grid()->setCurrentIndex(Model().index(row, column)); }
  void Click(int command) {
    QTest::mouseClick(Find<QPushButton>(u"Command%1"_s.arg(command)), Qt::LeftButton);
  }
  // A real sound file and the control file naming it, in a folder of its own.
  QString ControlFileWithOneVoice(const QString& name) {
    const QString folder = dir_.filePath(name);
    EXPECT_TRUE(
        testing::WriteBytes(folder + u"/a.wav"_s, testing::WaveOfLength(22050, 1, 16, 300)));
    Project source;
    source.settings.Mode = project_.Mode();
    DeriveSeriesLimits(source);
    VoiceRecord voice;
    voice.NAME = u"a.wav"_s;
    source.voices << voice;
    source.VoicesRegistered = true;
    source.programs[0].Voice[0] = u"a.wav"_s;
    const QString path = folder + u"/"_s + name + u".wpj"_s;
    EXPECT_TRUE(WriteControlFile(source, path, true));
    return path;
  }

  QTemporaryDir dir_;
  AppPaths paths_;
  Project project_;
  testing::ScriptedOperator op_;
  testing::ScriptedChoosers choosers_;
  std::unique_ptr<FrmMain> window_;
};

// Every command of the buttons and the toolbar is in a menu, as the very
// same action: enabled, disabled and relabelled together.
TEST_F(DesktopHabitsTest, MenusHoldTheSameActionsAsTheButtons) {
  Open(1, 2);
  QList<QAction*> in_menus;
  for (QAction* menu : window_->menuBar()->actions()) {
    for (QAction* action : menu->menu()->actions()) {
      in_menus << action;
      if (action->menu() != nullptr) {
        in_menus << action->menu()->actions();
      }
    }
  }
  for (const char* key :
       {"LOAD", "NEW", "WAVE", "SETING", "CARD", "PRINT", "APPEND", "ActionUndo", "ActionRedo",
        "ActionTemporarySave", "ActionPdf", "ActionTools", "ActionGuide", "ActionVersion"}) {
    EXPECT_TRUE(in_menus.contains(Find<QAction>(QString::fromLatin1(key)))) << key;
  }
  EXPECT_EQ(Find<QAction>(u"LOAD"_s)->shortcut(), QKeySequence(QKeySequence::Open));
  EXPECT_EQ(Find<QAction>(u"ActionUndo"_s)->shortcut(), QKeySequence(QKeySequence::Undo));
  EXPECT_EQ(Find<QAction>(u"APPEND"_s)->shortcut(), QKeySequence(QKeySequence::Quit));
  EXPECT_EQ(Find<QAction>(u"ActionGuide"_s)->shortcut(), QKeySequence(QKeySequence::HelpContents));
  for (int i = 0; i < 10; ++i) {
    QAction* action = Find<QAction>(u"ActionCommand%1"_s.arg(i));
    EXPECT_TRUE(in_menus.contains(action)) << i;
  }
  // A voice cell selected, then none: the buttons follow their actions.
  project_.programs[0].Voice[0] = u"v0.wav"_s;
  Model().Refresh();
  for (const bool voice : {true, false}) {
    Select(0, voice ? kFirstVoiceColumn : kSpColumn);
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(Find<QPushButton>(u"Command%1"_s.arg(i))->isEnabled(),
                Find<QAction>(u"ActionCommand%1"_s.arg(i))->isEnabled())
          << i;
    }
  }
  // The menu's 全削除 is the button's: the same question, the same result.
  op_.Answer(MessageAnswer::kYes);
  Find<QAction>(u"ActionCommand8"_s)->trigger();
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2020});
  EXPECT_TRUE(project_.programs[0].Voice[0].isEmpty());
}

// Each kind of change is one step back and forth, rows, times and the
// pages' edited flags exactly as they were.
TEST_F(DesktopHabitsTest, UndoAndRedoOfEveryKindOfChange) {
  Open(4, 12);
  QUndoStack& stack = window_->History().Stack();
  const auto snapshot = [this] { return std::make_pair(project_.programs, project_.PageEdited); };
  const auto step = [&](const char* what, const std::function<void()>& change) {
    const auto before = snapshot();
    const int steps = stack.count();
    change();
    EXPECT_EQ(stack.count(), steps + 1) << what;
    const auto after = snapshot();
    EXPECT_TRUE(after != before) << what;
    Find<QAction>(u"ActionUndo"_s)->trigger();
    EXPECT_TRUE(snapshot() == before) << what;
    Find<QAction>(u"ActionRedo"_s)->trigger();
    EXPECT_TRUE(snapshot() == after) << what;
  };
  step("cell",
       [&] { Model().setData(Model().index(0, kFirstVoiceColumn), u"v3.wav"_s, Qt::EditRole); });
  step("rp", [&] { Model().setData(Model().index(0, kRpColumn), u"3"_s, Qt::EditRole); });
  Model().setData(Model().index(0, kFirstVoiceColumn + 1), u"v4.wav"_s, Qt::EditRole);
  step("move right", [&] {
    Select(0, kFirstVoiceColumn);
    Click(4);
  });
  step("delete", [&] {
    Select(0, kFirstVoiceColumn);
    Click(5);
  });
  // From the first channel of page 2 up to the last of page 1.
  Find<QTabBar>(u"TabStrip"_s)->setCurrentIndex(1);
  Model().setData(Model().index(0, kFirstVoiceColumn), u"v5.wav"_s, Qt::EditRole);
  step("move up across pages", [&] {
    Select(0, kFirstVoiceColumn);
    Click(1);
  });
  step("bulk assignment of twelve voices", [&] {
    op_.Answer(MessageAnswer::kYes);
    Click(7);
  });
  step("delete all", [&] {
    op_.Answer(MessageAnswer::kYes);
    Click(8);
  });
  EXPECT_EQ(stack.count(), 9);
  // The purge after the voice list lost a name, as the registration window
  // leaves it: one step too.
  Model().setData(Model().index(0, kFirstVoiceColumn), u"v9.wav"_s, Qt::EditRole);
  project_.voices.removeLast();
  project_.voices.removeLast();
  project_.voices.removeLast();
  step("purge", [&] {
    window_->History().Record(u"purge"_s, {}, [&] {
      Model().Table().PurgeUnregisteredVoices();
      return true;
    });
  });
  // A new project has no history.
  op_.Answer(MessageAnswer::kYes);
  Find<QAction>(u"NEW"_s)->trigger();
  EXPECT_EQ(stack.count(), 0);
  EXPECT_FALSE(Find<QAction>(u"ActionUndo"_s)->isEnabled());
}

// The last eight files, newest first; a file gone since is dropped with a word.
TEST_F(DesktopHabitsTest, RecentFiles) {
  EditorState state;
  for (int i = 0; i < 10; ++i) {
    RememberRecentFile(state, dir_.filePath(u"f%1.wpj"_s.arg(i)));
  }
  RememberRecentFile(state, dir_.filePath(u"f5.wpj"_s));
  ASSERT_EQ(state.recent_files.size(), kMaxRecentFiles);
  EXPECT_EQ(state.recent_files.front(), dir_.filePath(u"f5.wpj"_s));
  EXPECT_EQ(state.recent_files[1], dir_.filePath(u"f9.wpj"_s));
  EXPECT_EQ(state.recent_files.back(), dir_.filePath(u"f2.wpj"_s));
  ASSERT_TRUE(WriteEditorState(paths_.state_file, state));
  EXPECT_EQ(ReadEditorState(paths_.state_file), state);

  Open(1);
  const QString loaded = ControlFileWithOneVoice(u"PROJ"_s);
  ASSERT_TRUE(window_->OpenFile(loaded));
  auto* recent = Find<QMenu>(u"MenuRecent"_s);
  ASSERT_EQ(recent->actions().size(), kMaxRecentFiles);
  EXPECT_EQ(recent->actions().front()->text(), loaded);
  EXPECT_EQ(ReadEditorState(paths_.state_file).recent_files.front(), loaded);
  // f5.wpj does not exist: chosen, it is dropped with a message.
  op_ = {};
  recent->actions()[1]->trigger();
  ASSERT_EQ(op_.shown.size(), 1u);
  EXPECT_TRUE(op_.shown[0].text.contains(u"f5.wpj"_s));
  EXPECT_FALSE(
      ReadEditorState(paths_.state_file).recent_files.contains(dir_.filePath(u"f5.wpj"_s)));
  EXPECT_EQ(recent->actions().size(), kMaxRecentFiles - 1);
}

// A second start with a file hands it to the running editor, which loads
// it; the second start shows nothing and ends.
TEST_F(DesktopHabitsTest, ASecondStartHandsItsFileToTheFirst) {
  Open(1);
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  ASSERT_FALSE(runtime.isEmpty());
  QLockFile lock(runtime + u"/parlatone-editor.lock"_s);
  ASSERT_TRUE(AcquireSingleInstanceLock(lock));
  InstanceLink link(runtime + u"/parlatone-editor.socket"_s);
  ASSERT_TRUE(link.Listen());
  QObject::connect(&link, &InstanceLink::HandedOver, window_.get(), &FrmMain::TakeHandedOverFile);
  const QString file = ControlFileWithOneVoice(u"GIVEN"_s);
  QProcess second;
  second.start(QStringLiteral(PARLATONE_EDITOR_PATH), {file});
  ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 15000));
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(project_.voices.size(), 1);
  EXPECT_EQ(Find<QLabel>(u"StatusPanel1"_s)->text(), file);
  EXPECT_TRUE(op_.shown.empty());
}

// The window comes back where it was; a place on a screen that is gone is
// brought onto the one there is.
TEST_F(DesktopHabitsTest, WindowPlacesComeBackOnTheScreensPresent) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EditorState state;
  // Inside the test screen (offscreen: 800 x 600), above the window's minimum.
  state.main_window = QRect(screen.left() + 20, screen.top() + 20, 760, 560);
  ASSERT_TRUE(WriteEditorState(paths_.state_file, state));
  Open(1);
  EXPECT_EQ(window_->geometry(), state.main_window);
  window_->setGeometry(screen.left() + 30, screen.top() + 25, 750, 550);
  op_.Answer(MessageAnswer::kYes);  // end the program
  ASSERT_TRUE(window_->close());
  EXPECT_EQ(ReadEditorState(paths_.state_file).main_window,
            QRect(screen.left() + 30, screen.top() + 25, 750, 550));

  const QRect gone(screen.right() + 5000, screen.bottom() + 5000, screen.width() * 2, 400);
  const QRect fitted = FitToScreens(gone, QSize(300, 200));
  EXPECT_TRUE(screen.contains(fitted));
  EXPECT_EQ(fitted.size(), QSize(screen.width(), 400));
}

// The editor is killed in the middle of its work; the next start restores
// every voice, channel and card field as they were.
TEST_F(DesktopHabitsTest, AKilledEditorsWorkIsRestored) {
  QStringList sounds;
  for (const QString& name : {u"a1.wav"_s, u"b2.wav"_s, u"c3.wav"_s}) {
    sounds << dir_.filePath(u"sounds/"_s + name);
    ASSERT_TRUE(testing::WriteBytes(sounds.back(), testing::WaveOfLength(22050, 1, 16, 700)));
  }
  QProcess child;
  child.start(QStringLiteral(PARLATONE_EDITING_CHILD), QStringList{paths_.recovery_file} + sounds);
  ASSERT_TRUE(child.waitForStarted());
  ASSERT_TRUE(QTest::qWaitFor([&] { return child.canReadLine(); }, 20000)) << "no edits kept";
  EXPECT_EQ(child.readLine(), "ready\n");
  ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
  ASSERT_TRUE(child.waitForFinished());

  project_.settings.WavePath = dir_.filePath(u"elsewhere"_s);
  Open(4);
  op_.Answer(MessageAnswer::kYes);  // restore
  window_->OfferRecovery();
  ASSERT_EQ(project_.voices.size(), 3);
  for (int v = 0; v < 3; ++v) {
    EXPECT_EQ(project_.voices[v].FilePath, sounds[v]);
    EXPECT_EQ(project_.voices[v].SEC, u"0.700"_s);
  }
  EXPECT_EQ(project_.voices[1].COMENTS, u"始業のチャイム"_s);
  EXPECT_EQ(project_.programs[0].Voice[0], u"a1.wav"_s);
  EXPECT_EQ(project_.programs[0].Voice[1], u"c3.wav"_s);
  EXPECT_EQ(project_.programs[0].RP, u"3"_s);
  EXPECT_EQ(project_.programs[0].Time, u"4.2"_s);
  EXPECT_EQ(project_.programs[7].Voice[0], u"b2.wav"_s);
  EXPECT_EQ(project_.programs[7].SP, u"2"_s);
  EXPECT_EQ(project_.card.CardName, u"ANN01"_s);
  EXPECT_EQ(project_.card.Forder, u"駅構内"_s);
  EXPECT_EQ(project_.card.Memo[2], u"停電の前の作業"_s);
  EXPECT_TRUE(project_.IsEdited());  // still unsaved

  // Cut in half, it is refused whole and never half loaded.
  const QString recovery = RecoveryFilePath(paths_.recovery_file, 4);
  ASSERT_TRUE(WriteRecoveryFile(project_, recovery));
  QByteArray bytes = testing::ReadFileBytes(recovery);
  testing::WriteFileBytes(recovery, bytes.left(bytes.size() / 2));
  Open(4);
  op_ = {};
  window_->OfferRecovery();
  ASSERT_EQ(op_.shown.size(), 1u);
  EXPECT_EQ(op_.shown[0].title_number, msg::kTitleError);
  EXPECT_TRUE(project_.voices.isEmpty());
  EXPECT_FALSE(QFile::exists(recovery));

  // Made in another series: said so, and not loaded into this one.
  ASSERT_TRUE(testing::WriteBytes(recovery, bytes));
  Open(1);
  op_ = {};
  window_->OfferRecovery();
  ASSERT_EQ(op_.shown.size(), 1u);
  EXPECT_TRUE(op_.shown[0].text.contains(SeriesLabel(4).simplified()));
  EXPECT_TRUE(project_.voices.isEmpty());
  EXPECT_TRUE(QFile::exists(recovery));  // left for that series
}

}  // namespace
}  // namespace parlatone
