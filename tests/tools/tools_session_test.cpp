#include "tools/tools_session.h"

#include <QDir>
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// One log for the window and the operator, so that a test sees what came
// in which order; the runs' own results are held here too, through the
// session that every window run goes through.
class Recorder : public ToolsView, public testing::ScriptedOperator {
 public:
  void ShowBusy(bool busy) override { log << (busy ? u"busy"_s : u"idle"_s); }
  void ShowBar(ToolRun run, int value, int maximum) override {
    bars.push_back({run, value, maximum});
  }
  void SelectField(ToolField field) override { log << u"field %1"_s.arg(static_cast<int>(field)); }
  void CloseWindow() override { log << u"close"_s; }
  MessageAnswer ShowMessage(const MessageRequest& request) override {
    log << u"message "_s + request.text;
    return ScriptedOperator::ShowMessage(request);
  }
  void Pause(int milliseconds) override {
    ScriptedOperator::Pause(milliseconds);
    if (on_pause) {
      on_pause();
    }
  }
  void ProcessPendingEvents() override {
    ScriptedOperator::ProcessPendingEvents();
    if (on_events) {
      on_events();
    }
  }

  struct Bar {
    ToolRun run;
    int value;
    int maximum;
  };
  QStringList log;
  std::vector<Bar> bars;
  std::function<void()> on_events;  // what the operator does while the engine waits
  std::function<void()> on_pause;
};

class ToolsSessionTest : public ::testing::Test {
 protected:
  // 300 ms at 22050 Hz, 16 bits: 13230 bytes of mono samples.
  QString Wave(const QString& name, uint16_t channels = 2) {
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(testing::WriteBytes(path, testing::WaveOfLength(22050, channels, 16, 300)));
    return path;
  }
  QStringList Files(const QString& folder) const {
    return QDir(dir_.filePath(folder)).entryList(QDir::Files | QDir::Hidden);
  }
  // Starts afresh: the log, the bars, the operator's record and actions.
  void Reset() {
    recorder_.log.clear();
    recorder_.bars.clear();
    recorder_.shown.clear();
    recorder_.on_events = recorder_.on_pause = nullptr;
  }

  QTemporaryDir dir_;
  Recorder recorder_;
  ToolsSession session_{recorder_, recorder_};
};

// A request made at the first pause only; the engine may pause again.
std::function<void()> Once(std::function<void()> action) {
  auto done = std::make_shared<bool>(false);
  return [action = std::move(action), done] {
    if (!*done) {
      *done = true;
      action();
    }
  };
}

QString Shown(const char16_t* text) {
  return u"message "_s + QString::fromUtf16(text);
}
const QString kStopQuestion = Shown(tool_text::kStopQuestion);
const QString kCancelledNotice = Shown(tool_text::kCancelled);
const QString kFieldOutput = u"field %1"_s.arg(static_cast<int>(ToolField::kOutput));

TEST_F(ToolsSessionTest, RunIsBusyFromTheBarToItsEnd) {
  // Busy disables everything but the two run buttons, which become stop buttons.
  const QStringList idle_only = IdleOnlyControls();
  EXPECT_EQ(idle_only.size(), 16);
  EXPECT_TRUE(idle_only.contains(u"TabStrip1"_s) && idle_only.contains(u"CmdExit"_s));
  EXPECT_FALSE(idle_only.contains(u"CmdExec"_s) || idle_only.contains(u"CmdSirentExec"_s));
  EXPECT_EQ((QStringList{RunButtonCaption(ToolRun::kConversion, true),
                         RunButtonCaption(ToolRun::kConversion, false),
                         RunButtonCaption(ToolRun::kSilentFile, true),
                         RunButtonCaption(ToolRun::kSilentFile, false)}),
            (QStringList{u"変換実行"_s, u"変換停止"_s, u"実行"_s, u"停止"_s}));

  const QString out = dir_.filePath(u"m.wav"_s);
  EXPECT_TRUE(session_.Idle());
  bool busy_while_working = false;
  recorder_.on_events = [&] { busy_while_working = !session_.Idle(); };
  EXPECT_EQ(session_.Convert({false, Wave(u"s.wav"_s), out}).converted, 1);
  EXPECT_EQ(testing::ReadFileBytes(out).size(), 44 + 13230);
  EXPECT_TRUE(busy_while_working);
  EXPECT_TRUE(session_.Idle());
  EXPECT_EQ(recorder_.log, (QStringList{u"busy"_s, u"idle"_s}));
  EXPECT_EQ(recorder_.busy_depth, 0);
  EXPECT_EQ(recorder_.max_busy_depth, 1);  // the pointer follows the window
  ASSERT_FALSE(recorder_.bars.empty());
  EXPECT_EQ(recorder_.bars.front().value, 0);
  EXPECT_EQ(recorder_.bars.back().value, 100);
  for (const auto& bar : recorder_.bars) {
    EXPECT_EQ(bar.run, ToolRun::kConversion);
    EXPECT_EQ(bar.maximum, 100);
  }
  EXPECT_TRUE(recorder_.progress.empty());  // no progress window of the operator's own

  Reset();
  const QString silent = dir_.filePath(u"q.wav"_s);
  ASSERT_EQ(session_.MakeSilentFile({u"00"_s, u"02"_s, 8, 22050, silent}).converted, 1);
  EXPECT_EQ(testing::ReadFileBytes(silent).size(), 44 + 44100);
  EXPECT_EQ(recorder_.bars.back().run, ToolRun::kSilentFile);
  EXPECT_EQ(recorder_.bars.back().value, 100);
}

TEST_F(ToolsSessionTest, RefusalsPointAtTheFieldAndWriteNothing) {
  // The field is selected before the message; after a No, nothing more shows.
  session_.MakeSilentFile({u"00"_s, u"00"_s, 16, 22050, dir_.filePath(u"q.wav"_s)});
  EXPECT_EQ(recorder_.log, (QStringList{u"field %1"_s.arg(static_cast<int>(ToolField::kMinutes)),
                                        u"message ０秒以上の時間を指定してください。"_s}));
  Reset();
  const QString existing = Wave(u"old.wav"_s);
  recorder_.Answer(MessageAnswer::kNo);
  session_.Convert({false, Wave(u"s.wav"_s), existing});
  EXPECT_EQ(recorder_.log, (QStringList{Shown(tool_text::kOverwrite), kFieldOutput}));

  // A mono source is refused by name; a source that is not WAVE stops the run.
  Reset();
  EXPECT_TRUE(session_.Convert({false, Wave(u"mo.wav"_s, 1), dir_.filePath(u"x.wav"_s)}).failed);
  EXPECT_EQ(recorder_.log, QStringList{u"message mo.wav はステレオではありません。"_s});
  EXPECT_EQ(recorder_.shown.at(0).icon, MessageIcon::kInformation);
  ASSERT_TRUE(testing::WriteBytes(dir_.filePath(u"t.wav"_s), "text"_ba));
  Reset();
  EXPECT_TRUE(
      session_.Convert({false, dir_.filePath(u"t.wav"_s), dir_.filePath(u"y.wav"_s)}).failed);
  EXPECT_EQ(recorder_.Numbers(), (std::vector<int>{2601, 0}));
  EXPECT_EQ(recorder_.shown.back().text, u"情報の取得に失敗しました。処理を中止します。"_s);

  // The same folder under another name passes the check (the texts differ),
  // and the engine then refuses to write over the sources.
  const QByteArray original = testing::ReadFileBytes(Wave(u"in/a.wav"_s));
  Reset();
  const QString in = dir_.filePath(u"in"_s);
  const ToolRunResult same = session_.Convert({true, in, in + u"/"_s});
  EXPECT_TRUE(same.checked && same.failed);
  EXPECT_EQ(recorder_.log.filter(u"message"_s), QStringList{Shown(tool_text::kEngineFailed)});
  EXPECT_EQ(testing::ReadFileBytes(in + u"/a.wav"_s), original);
  EXPECT_EQ(Files(u"in"_s), QStringList{u"a.wav"_s});
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files),
            (QStringList{u"mo.wav"_s, u"old.wav"_s, u"s.wav"_s, u"t.wav"_s}));
  EXPECT_EQ(recorder_.busy_depth, 0);
  EXPECT_TRUE(session_.Idle());
}

TEST_F(ToolsSessionTest, FolderRunSkipsMonoFilesOnRequest) {
  Wave(u"in/a.wav"_s);
  Wave(u"in/b.wav"_s, 1);
  Wave(u"in/c.wav"_s);
  const QString in = dir_.filePath(u"in"_s), out = dir_.filePath(u"out/deep"_s);
  recorder_.Answer(MessageAnswer::kYes);  // create the output folder
  recorder_.Answer(MessageAnswer::kYes);  // skip b.wav
  const ToolRunResult yes = session_.Convert({true, in, out});
  EXPECT_EQ(yes.converted, 2);
  EXPECT_EQ(yes.skipped, 1);
  EXPECT_EQ(
      recorder_.log.filter(u"message"_s),
      (QStringList{
          u"message "_s + GetMessage(2045) + u"\r\n"_s + GetMessage(2046),
          u"message b.wav はステレオではありません。\r\nこのファイルをスキップして処理を続けますか？　　"_s}));
  EXPECT_EQ(Files(u"out/deep"_s), (QStringList{u"a.wav"_s, u"c.wav"_s}));

  ASSERT_TRUE(QDir(out).removeRecursively() && QDir().mkpath(out));
  recorder_.Answer(MessageAnswer::kNo);  // do not skip: the run stops
  EXPECT_EQ(session_.Convert({true, in, out}).converted, 0);
  EXPECT_TRUE(Files(u"out/deep"_s).isEmpty());

  // Only mono files: nothing to convert.
  Wave(u"mono/x.wav"_s, 1);
  recorder_.Answer(MessageAnswer::kYes);
  EXPECT_TRUE(session_.Convert({true, dir_.filePath(u"mono"_s), out}).stereo_missing);
  EXPECT_EQ(recorder_.log.back(),
            u"message 変換対象のファイルが見つかりません。処理を終了します。　"_s);
  EXPECT_TRUE(recorder_.AllAnswersUsed());
}

TEST_F(ToolsSessionTest, StopIsAskedAtTheEnginesPause) {
  const QString source = Wave(u"s.wav"_s);
  const QString out = dir_.filePath(u"m.wav"_s);
  // Pressed while idle: nothing to stop, nothing asked.
  session_.RequestStop();
  EXPECT_TRUE(session_.RequestClose());

  // No: the run goes on to its end.
  recorder_.on_events = Once([&] { session_.RequestStop(); });
  recorder_.Answer(MessageAnswer::kNo);
  EXPECT_EQ(session_.Convert({false, source, out}).converted, 1);
  EXPECT_EQ(recorder_.log.filter(u"message"_s), QStringList{kStopQuestion});
  EXPECT_EQ(recorder_.shown.front().icon, MessageIcon::kQuestion);
  EXPECT_EQ(recorder_.shown.front().buttons, MessageButtons::kYesNo);
  EXPECT_EQ(recorder_.shown.front().title_number, msg::kTitleConfirm);
  ASSERT_TRUE(QFile::remove(out));

  // Yes: the run stops, the notice is shown while the window is still busy,
  // and nothing is left at the output.
  Reset();
  recorder_.on_events = Once([&] { session_.RequestStop(); });
  recorder_.Answer(MessageAnswer::kYes);
  EXPECT_TRUE(session_.Convert({false, source, out}).cancelled);
  EXPECT_EQ(recorder_.log, (QStringList{u"busy"_s, kStopQuestion, kCancelledNotice, u"idle"_s}));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"s.wav"_s});
  EXPECT_EQ(session_.Progress().Cancel, 0);

  // Yes once a folder run's first file is done: that file stays, the second
  // is never made.
  Wave(u"in/a.wav"_s);
  Wave(u"in/c.wav"_s);
  ASSERT_TRUE(QDir().mkpath(dir_.filePath(u"out"_s)));
  Reset();
  bool asked = false;
  recorder_.on_events = [&] {
    if (!asked && QFile::exists(dir_.filePath(u"out/a.wav"_s))) {
      asked = true;
      session_.RequestStop();
    }
  };
  recorder_.Answer(MessageAnswer::kYes);
  const ToolRunResult first =
      session_.Convert({true, dir_.filePath(u"in"_s), dir_.filePath(u"out"_s)});
  EXPECT_TRUE(first.cancelled);
  EXPECT_EQ(first.converted, 1);
  EXPECT_EQ(recorder_.log.filter(u"message"_s), (QStringList{kStopQuestion, kCancelledNotice}));
  EXPECT_EQ(Files(u"out"_s), QStringList{u"a.wav"_s});
  EXPECT_EQ(testing::ReadFileBytes(dir_.filePath(u"out/a.wav"_s)).size(), 44 + 13230);

  // The silent file likewise, here the longest one the boxes take (60:59,
  // 3659 s; stopped before it is written): the earlier file stays as it was.
  const QString big = dir_.filePath(u"big.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(big, "old"_ba));
  Reset();
  recorder_.on_events = Once([&] { session_.RequestStop(); });
  recorder_.Answer(MessageAnswer::kYes);  // replace big.wav
  recorder_.Answer(MessageAnswer::kYes);  // stop
  EXPECT_TRUE(session_.MakeSilentFile({u"60"_s, u"59"_s, 16, 22050, big}).cancelled);
  EXPECT_EQ(session_.Progress().StepBytes, (44 + 3659LL * 22050 * 2) / 100);
  EXPECT_EQ(recorder_.log.back(), u"idle"_s);
  EXPECT_EQ(recorder_.log.filter(u"message"_s).back(), kCancelledNotice);
  EXPECT_EQ(testing::ReadFileBytes(big), "old"_ba);
  EXPECT_TRUE(recorder_.AllAnswersUsed());
}

TEST_F(ToolsSessionTest, ClosingDuringARunClosesOnlyAfterIt) {
  const QString source = Wave(u"s.wav"_s);
  const QString out = dir_.filePath(u"m.wav"_s);
  recorder_.on_events = Once([&] { EXPECT_FALSE(session_.RequestClose()); });
  recorder_.Answer(MessageAnswer::kNo);  // keep the window: the run goes on
  EXPECT_EQ(session_.Convert({false, source, out}).converted, 1);
  EXPECT_TRUE(recorder_.log.filter(u"close"_s).isEmpty());

  Reset();
  recorder_.on_events = Once([&] { EXPECT_FALSE(session_.RequestClose()); });
  recorder_.Answer(MessageAnswer::kYes);  // overwrite m.wav
  recorder_.Answer(MessageAnswer::kYes);  // stop and close
  EXPECT_TRUE(session_.Convert({false, source, out}).cancelled);
  EXPECT_EQ(recorder_.log.mid(1),
            (QStringList{u"busy"_s, kStopQuestion, kCancelledNotice, u"idle"_s, u"close"_s}));
  EXPECT_TRUE(QFile::exists(out));  // the earlier output stays as it was

  // Closed during the closing steps, too late for a question: the window
  // closes once they are over, without asking.
  Reset();
  recorder_.on_pause = Once([&] { EXPECT_FALSE(session_.RequestClose()); });
  const SilentFileRequest silent{u"00"_s, u"01"_s, 16, 22050, dir_.filePath(u"q.wav"_s)};
  ASSERT_TRUE(session_.MakeSilentFile(silent).converted);
  EXPECT_EQ(recorder_.log, (QStringList{u"busy"_s, u"idle"_s, u"close"_s}));

  // A stop pressed that late has nothing left to stop: no question either.
  Reset();
  recorder_.Answer(MessageAnswer::kYes);  // overwrite q.wav
  recorder_.on_pause = [&] { session_.RequestStop(); };
  ASSERT_TRUE(session_.MakeSilentFile(silent).converted);
  EXPECT_EQ(recorder_.log.filter(u"message"_s), QStringList{Shown(tool_text::kOverwrite)});
  EXPECT_TRUE(recorder_.AllAnswersUsed());
}

}  // namespace
}  // namespace parlatone
