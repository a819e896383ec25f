// The habits of a desktop editor: undo and redo, recent files, a file handed
// over by a second start, window places, and a crash that costs seconds of
// work. (The menus are with the main window's commands.)
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLockFile>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QTabBar>
#include <QUndoStack>

#include <csignal>

#include "controlfile/recovery_file.h"
#include "core/editor_state.h"
#include "core/messages.h"
#include "gui/instance_link.h"
#include "gui/recovery_keeper.h"
#include "gui/table_history.h"
#include "gui/window_helpers.h"
#include "support/gui1_main_window.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

using DesktopHabitsTest = testing::MainWindowTest;

// Each kind of change is one step back and forth, rows, times and the pages'
// edited flags exactly as they were; then FrmMain is torn down after them.
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
    Find(u"ActionUndo"_s)->trigger();
    EXPECT_TRUE(snapshot() == before) << what;
    Find(u"ActionRedo"_s)->trigger();
    EXPECT_TRUE(snapshot() == after) << what;
  };
  step("cell", [&] { Model()->setData(Cell(0, kFirstVoiceColumn), u"v3.wav"_s, Qt::EditRole); });
  step("rp", [&] { Model()->setData(Cell(0, kRpColumn), u"3"_s, Qt::EditRole); });
  Model()->setData(Cell(0, kFirstVoiceColumn + 1), u"v4.wav"_s, Qt::EditRole);
  step("move right", [&] {
    Select(0, kFirstVoiceColumn);
    Click(4);
  });
  step("delete", [&] {
    Select(0, kFirstVoiceColumn);
    Click(5);
  });
  // From the first channel of page 2 up to the last of page 1.
  auto* tabs = Find<QTabBar>(u"TabStrip"_s);
  tabs->setCurrentIndex(1);
  Model()->setData(Cell(0, kFirstVoiceColumn), u"v5.wav"_s, Qt::EditRole);
  step("move up across pages", [&] {
    Select(0, kFirstVoiceColumn);
    Click(1);
  });
  step("bulk assignment of twelve voices", [&] {
    tabs->setCurrentIndex(2);
    op_.Answer(MessageAnswer::kYes);
    Click(7);
    EXPECT_EQ(tabs->currentIndex(), 0);  // where the voices went
  });
  step("delete all, from the menu", [&] {
    op_.Answer(MessageAnswer::kYes);
    Find(u"ActionCommand8"_s)->trigger();
  });
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2022, 2020}));
  EXPECT_EQ(stack.count(), 9);
  // The purge after the voice list lost a name, as the registration window
  // leaves it: one step too.
  Model()->setData(Cell(0, kFirstVoiceColumn), u"v9.wav"_s, Qt::EditRole);
  project_.voices.resize(9);
  step("purge", [&] {
    window_->History().Record(u"purge"_s, {}, [&] {
      Model()->Table().PurgeUnregisteredVoices();
      return true;
    });
  });
  // A new project has no history.
  op_.Answer(MessageAnswer::kYes);
  Find(u"NEW"_s)->trigger();
  EXPECT_EQ(stack.count(), 0);
  EXPECT_FALSE(Find(u"ActionUndo"_s)->isEnabled());
}

// The last eight files, newest first, in the state file and the menu; a file
// gone since is dropped with a word. The window comes back where it was, and
// a place on a screen that is gone is brought onto the one there is.
TEST_F(DesktopHabitsTest, RecentFilesAndWindowPlaces) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EditorState state;
  for (int i = 0; i < 10; ++i) {
    RememberRecentFile(state, dir_.filePath(u"f%1.wpj"_s.arg(i)));
  }
  RememberRecentFile(state, dir_.filePath(u"f5.wpj"_s));
  ASSERT_EQ(state.recent_files.size(), kMaxRecentFiles);
  EXPECT_EQ(state.recent_files.front(), dir_.filePath(u"f5.wpj"_s));
  EXPECT_EQ(state.recent_files[1], dir_.filePath(u"f9.wpj"_s));
  EXPECT_EQ(state.recent_files.back(), dir_.filePath(u"f2.wpj"_s));
  // Inside the test screen (offscreen: 800 x 600), above the window's minimum.
  state.main_window = QRect(screen.left() + 20, screen.top() + 20, 760, 560);
  ASSERT_TRUE(WriteEditorState(paths_.state_file, state));
  EXPECT_EQ(ReadEditorState(paths_.state_file), state);

  Open(1);
  EXPECT_EQ(window_->geometry(), state.main_window);
  const QString loaded = ControlFileWithOneVoice(u"PROJ"_s);
  ASSERT_TRUE(window_->OpenFile(loaded));
  auto* recent = Find<QMenu>(u"MenuRecent"_s);
  ASSERT_EQ(recent->actions().size(), kMaxRecentFiles);
  EXPECT_EQ(recent->actions().front()->text(), loaded);
  EXPECT_EQ(ReadEditorState(paths_.state_file).recent_files.front(), loaded);
  recent->actions()[1]->trigger();  // f5.wpj, which does not exist
  ASSERT_EQ(op_.shown.size(), 1u);
  EXPECT_TRUE(op_.shown[0].text.contains(u"f5.wpj"_s));
  EXPECT_EQ(recent->actions().size(), kMaxRecentFiles - 1);
  EXPECT_FALSE(
      ReadEditorState(paths_.state_file).recent_files.contains(dir_.filePath(u"f5.wpj"_s)));

  const QRect moved(screen.left() + 30, screen.top() + 25, 750, 550);
  window_->setGeometry(moved);
  op_.Answer(MessageAnswer::kYes);  // end the program
  ASSERT_TRUE(window_->close());
  EXPECT_EQ(ReadEditorState(paths_.state_file).main_window, moved);
  const QRect gone(screen.right() + 5000, screen.bottom() + 5000, screen.width() * 2, 400);
  const QRect fitted = FitToScreens(gone, QSize(300, 200));
  EXPECT_TRUE(screen.contains(fitted));
  EXPECT_EQ(fitted.size(), QSize(screen.width(), 400));
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

// The editor is killed in the middle of its work; the next start restores
// every voice, channel and card field as they were. A recovery file cut in
// half is refused whole and deleted; one of another series is left for it.
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
  const Project& p = project_;
  EXPECT_EQ((QStringList{p.voices[1].COMENTS, p.programs[0].Voice[0], p.programs[0].Voice[1],
                         p.programs[0].RP, p.programs[0].Time, p.programs[7].Voice[0],
                         p.programs[7].SP, p.card.CardName, p.card.Forder, p.card.Memo[2]}),
            (QStringList{u"始業のチャイム"_s, u"a1.wav"_s, u"c3.wav"_s, u"3"_s, u"4.2"_s,
                         u"b2.wav"_s, u"2"_s, u"ANN01"_s, u"駅構内"_s, u"停電の前の作業"_s}));
  EXPECT_TRUE(project_.IsEdited());  // still unsaved

  const QString recovery = RecoveryFilePath(paths_.recovery_file, 4);
  ASSERT_TRUE(WriteRecoveryFile(project_, recovery));
  const QByteArray bytes = testing::ReadFileBytes(recovery);
  for (const int mode : {4, 1}) {
    testing::WriteFileBytes(recovery, mode == 4 ? bytes.left(bytes.size() / 2) : bytes);
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

}  // namespace
}  // namespace parlatone
