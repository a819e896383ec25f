// The tools window: its pages, keys and busy state, the notices it composes
// and the modal it is. The checks, runs and their messages are the tools
// session's and are tested there.
#include "gui/frm_tools.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <utility>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "gui/frm_wave_add.h"
#include "support/gui_modal.h"
#include "support/qt_printers.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// The scripted operator with a hand on the window while the engine lets
// events in: a stop button, the close box.
struct WindowOperator : testing::ScriptedOperator {
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
    T* widget = window_.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
  }
  QLineEdit* Box(const QString& name) { return Find<QLineEdit>(name); }
  void Click(const QString& name) {
    QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton);
  }
  void Write(const QString& name, const QByteArray& bytes) {
    EXPECT_TRUE(testing::WriteBytes(dir_.filePath(name), bytes));
  }
  QStringList Texts() const {
    QStringList texts;
    for (const auto& shown : op_.shown) {
      texts << shown.text;
    }
    return texts;
  }
  QStringList FilesIn(const QString& folder) const {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }
  // The run buttons' captions and the controls only an idle window offers.
  void ExpectIdle(bool idle) {
    EXPECT_EQ(window_.Session().Idle(), idle);
    EXPECT_EQ(Find<QPushButton>(u"CmdExec"_s)->text(), idle ? u"変換実行"_s : u"変換停止"_s);
    EXPECT_EQ(Find<QPushButton>(u"CmdSirentExec"_s)->text(), idle ? u"実行"_s : u"停止"_s);
    for (const QString& name : IdleOnlyControls()) {
      EXPECT_EQ(Find(name)->isEnabled(), idle) << name.toStdString();
    }
    EXPECT_EQ(op_.busy_depth, idle ? 0 : 1);  // the hourglass
  }

  QTemporaryDir dir_;
  WindowOperator op_;
  testing::ScriptedChoosers choosers_;
  FrmTools window_{op_, choosers_};
};

// Opened idle on the conversion page with full bars; the browse buttons fill
// the boxes, the unit relabels and empties them, a refused check selects its
// box, and the keys work the page. Closing an idle window asks nothing.
TEST_F(FrmToolsTest, ConversionPageByMouseAndKeys) {
  EXPECT_TRUE(Find(u"FrameConv"_s)->isVisible());
  EXPECT_EQ(Find<QProgressBar>(u"PrgBar"_s)->value(), 100);
  EXPECT_TRUE(Find<QRadioButton>(u"OptConvMode0"_s)->isChecked());
  ExpectIdle(true);
  choosers_.answers = {u"/music/a.wav"_s, QString(), u"/music/out"_s + QChar(u'\0') + u".wav"_s};
  Click(u"CmdConv010"_s);
  EXPECT_EQ(choosers_.last_filter.pattern, u"*.wav"_s);
  Click(u"CmdConv010"_s);  // cancelled: the box keeps its text
  EXPECT_EQ(Box(u"TxtConv010"_s)->text(), u"/music/a.wav"_s);
  Click(u"CmdConv011"_s);
  EXPECT_EQ(Box(u"TxtConv011"_s)->text(), u"/music/out.wav"_s);
  EXPECT_EQ(window_.Session().last_file, u"/music/out.wav"_s);
  Click(u"OptConvMode1"_s);
  EXPECT_EQ(Find<QLabel>(u"LabelConv010"_s)->text(), u"変換対象フォルダ"_s);
  EXPECT_TRUE(Box(u"TxtConv010"_s)->text().isEmpty());
  EXPECT_TRUE(Box(u"TxtConv011"_s)->text().isEmpty());
  choosers_.answers = {dir_.path()};
  Click(u"CmdConv010"_s);
  EXPECT_EQ(window_.Session().last_folder, dir_.path());
  Box(u"TxtConv011"_s)->setText(dir_.path());
  Click(u"CmdExec"_s);  // the same folder twice: refused
  EXPECT_EQ(op_.shown.size(), 1u);
  EXPECT_EQ(window_.focusWidget(), Box(u"TxtConv011"_s));
  EXPECT_EQ(Box(u"TxtConv011"_s)->selectedText(), dir_.path());

  QTest::keyClick(Box(u"TxtConv011"_s), Qt::Key_Return);  // starts nothing
  Find(u"OptConvMode1"_s)->setFocus();
  QTest::keyClick(Find(u"OptConvMode1"_s), Qt::Key_Left);
  EXPECT_TRUE(Find<QRadioButton>(u"OptConvMode0"_s)->isChecked());
  Find(u"CmdExec"_s)->setFocus();
  QTest::keyClick(Find(u"CmdExec"_s), Qt::Key_Space);  // no file named
  EXPECT_EQ(op_.shown.size(), 2u);
  EXPECT_EQ(window_.focusWidget(), Box(u"TxtConv010"_s));
  // Alt+C closes (a mnemonic clicks after a short flash), and so does Escape.
  QTest::keyClick(&window_, Qt::Key_C, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !window_.isVisible(); }, 2000));
  window_.show();
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  QTest::keyClick(&window_, Qt::Key_Escape);
  EXPECT_FALSE(window_.isVisible());
  EXPECT_EQ(op_.shown.size(), 2u);
}

// A folder run ends with the window's notice; during a run the window is
// busy, its stop button stops it (a file already made stays), and its close
// box stops it too: the window stays for the notice and goes afterwards.
TEST_F(FrmToolsTest, FolderRunsTheirNoticeStopAndClose) {
  Write(u"in/a.wav"_s, testing::WaveOfLength(22050, 2, 16, 200));
  Write(u"in/b.wav"_s, testing::WaveOfLength(22050, 1, 16, 100));
  Write(u"in/c.wav"_s, testing::WaveOfLength(11025, 2, 8, 300));
  Click(u"OptConvMode1"_s);
  Box(u"TxtConv010"_s)->setText(dir_.filePath(u"in"_s));
  const auto run = [&](const QString& out, std::function<void()> meanwhile) {
    op_.shown.clear();
    op_.on_events = std::move(meanwhile);
    ASSERT_TRUE(QDir().mkpath(out));
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
  EXPECT_EQ(op_.shown.back().icon, MessageIcon::kInformation);
  EXPECT_EQ(op_.shown.back().title_number, msg::kTitleConfirm);
  EXPECT_EQ(FilesIn(whole), (QStringList{u"a.wav"_s, u"c.wav"_s}));

  const QString stopped = dir_.filePath(u"stopped"_s);
  op_.Answer(MessageAnswer::kYes);  // and to the stop question
  run(stopped, [&, asked = false]() mutable {
    if (!asked && QFile::exists(stopped + u"/a.wav"_s)) {
      asked = true;
      ExpectIdle(false);
      Click(u"CmdExec"_s);
    }
  });
  EXPECT_EQ(Texts().mid(1), (QStringList{QString::fromUtf16(tool_text::kStopQuestion),
                                         QString::fromUtf16(tool_text::kCancelled)}));
  EXPECT_EQ(FilesIn(stopped), QStringList{u"a.wav"_s});
  EXPECT_EQ(Find<QProgressBar>(u"PrgBar"_s)->value(), 100);
  ExpectIdle(true);

  const QString closed = dir_.filePath(u"closed"_s);
  op_.Answer(MessageAnswer::kYes);  // stop and close
  run(closed, [&, asked = false]() mutable {
    if (!std::exchange(asked, true)) {
      window_.close();
      EXPECT_TRUE(window_.isVisible());  // until the run is over and its notice shown
    }
  });
  EXPECT_EQ(op_.shown.back().text, QString::fromUtf16(tool_text::kCancelled));
  EXPECT_FALSE(window_.isVisible());
  EXPECT_EQ(window_.result(), QDialog::Rejected);
  EXPECT_TRUE(FilesIn(closed).isEmpty());
  EXPECT_EQ(op_.busy_depth, 0);
}

// The silent page: the time boxes take digits, clamp on leaving and spin by
// button and arrow key; the window says where the file went. 60:59, the
// longest time they take, is accepted (and stopped, not written whole).
TEST_F(FrmToolsTest, SilentPageTimeBoxesAndNotice) {
  Find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(1);
  EXPECT_TRUE(Find(u"FrameSirent"_s)->isVisible());
  EXPECT_FALSE(Find(u"FrameConv"_s)->isVisible());
  EXPECT_EQ(Find<QComboBox>(u"CmbBit"_s)->currentText(), u"16Bit"_s);
  EXPECT_EQ(Find<QComboBox>(u"CmbSample"_s)->currentText(), u"22.05KHz"_s);
  QLineEdit* minutes = Box(u"TxtMM"_s);
  QLineEdit* seconds = Box(u"TxtSS"_s);
  minutes->setFocus();
  QTest::keyClicks(minutes, u"6a1"_s);
  EXPECT_EQ(minutes->text(), u"61"_s);
  QTest::keyClick(minutes, Qt::Key_Tab);
  EXPECT_EQ(minutes->text(), u"60"_s);
  QTest::mouseClick(Find(u"UpDown1"_s)->findChild<QToolButton*>(u"Up"_s), Qt::LeftButton);
  EXPECT_EQ(seconds->text(), u"01"_s);
  QTest::keyClick(seconds, Qt::Key_Up);
  EXPECT_EQ(seconds->text(), u"02"_s);

  const QString path = dir_.filePath(u"s.wav"_s);
  choosers_.answers = {path};
  Click(u"CmdSrt"_s);  // the browse button fills the box
  EXPECT_EQ(Box(u"TxtSirent"_s)->text(), path);
  minutes->setText(u"00"_s);
  Find<QComboBox>(u"CmbBit"_s)->setCurrentIndex(0);
  Click(u"CmdSirentExec"_s);
  EXPECT_EQ(Texts(), QStringList{u"無音データを作成しました。\r\n\r\n"_s + path});
  EXPECT_EQ(QFileInfo(path).size(), 44 + 2 * 22050);
  EXPECT_EQ(Find<QProgressBar>(u"PrgBar2"_s)->value(), 100);

  op_ = {};
  op_.on_events = [&, asked = false]() mutable {
    if (!std::exchange(asked, true)) {
      Click(u"CmdSirentExec"_s);
    }
  };
  op_.Answer(MessageAnswer::kYes);  // stop
  minutes->setText(u"60"_s);
  seconds->setText(u"59"_s);
  Box(u"TxtSirent"_s)->setText(dir_.filePath(u"long.wav"_s));
  Click(u"CmdSirentExec"_s);
  EXPECT_EQ(Texts(), (QStringList{QString::fromUtf16(tool_text::kStopQuestion),
                                  QString::fromUtf16(tool_text::kCancelled)}));
  EXPECT_FALSE(QFile::exists(dir_.filePath(u"long.wav"_s)));
  ExpectIdle(true);
}

// The third page: nothing runs without files; a folder's files are made fit
// for the series, with the summary at the end.
TEST_F(FrmToolsTest, FitPageMakesAFoldersFilesFit) {
  Find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(2);
  EXPECT_TRUE(Find(u"FrameFit"_s)->isVisible());
  Click(u"CmdFitExec"_s);  // nothing chosen yet
  EXPECT_EQ(Texts(), QStringList{u"変換するファイルを追加してください。"_s});
  Write(u"studio/a.wav"_s, testing::WaveOfLength(48000, 2, 16, 300));
  Write(u"studio/b.wav"_s, testing::WaveOfLength(44100, 1, 16, 200));
  choosers_.answers.push_back(dir_.filePath(u"studio"_s));
  Click(u"CmdFitFolder"_s);
  EXPECT_EQ(Find<QListWidget>(u"LstFitSources"_s)->count(), 2);
  Box(u"TxtFitOutput"_s)->setText(dir_.filePath(u"fitted"_s));
  Click(u"CmdFitExec"_s);
  EXPECT_EQ(op_.shown.back().text, u"2 / 2 ファイルを変換しました。"_s);
  EXPECT_EQ(FilesIn(dir_.filePath(u"fitted"_s)).size(), 2);
  EXPECT_TRUE(Find(u"TabStrip1"_s)->isEnabled());
}

// The registration window's tool button opens the tools as its modal window,
// with the highlight cleared first.
TEST_F(FrmToolsTest, TheRegistrationWindowsToolButtonOpensItAsItsModal) {
  Project project;
  project.settings.Mode = 1;
  DeriveSeriesLimits(project);
  project.voices = {VoiceRecord{}};
  project.voices[0].NAME = u"v0.wav"_s;
  project.VoicesRegistered = true;
  AppPaths paths = ResolveAppPaths();
  paths.settings_file = dir_.filePath(u"settings.ini"_s);
  FrmWaveAdd wave(project, paths, op_, choosers_);
  wave.show();
  auto* grid = wave.findChild<QTableView*>(u"FgWave"_s);
  grid->setCurrentIndex(grid->model()->index(0, 1));
  ASSERT_EQ(wave.SelectedSlot(), 0);
  int selected_behind = -2;
  ::testing::OnModal<FrmTools>([&](FrmTools& tools) {
    EXPECT_EQ(tools.parentWidget(), &wave);
    selected_behind = wave.SelectedSlot();
    QTest::mouseClick(tools.findChild<QPushButton*>(u"CmdExit"_s), Qt::LeftButton);
  });
  QTest::mouseClick(wave.findChild<QPushButton*>(u"CmdTool"_s), Qt::LeftButton);
  EXPECT_EQ(selected_behind, -1);
  EXPECT_FALSE(wave.findChild<QPushButton*>(u"CmdWave1"_s)->isEnabled());
  grid->setCurrentIndex(grid->model()->index(0, 1));  // the same row can be picked again
  EXPECT_EQ(wave.SelectedSlot(), 0);
  EXPECT_TRUE(op_.shown.empty());
}

}  // namespace
}  // namespace parlatone
