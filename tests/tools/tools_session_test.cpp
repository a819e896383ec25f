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
// in which order.
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
  QString Stereo(const QString& name) {
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(testing::WriteBytes(path, testing::WaveOfLength(22050, 2, 16, 300)));
    return path;
  }
  QStringList Filtered(const QString& prefix) const {
    QStringList lines;
    for (const QString& line : recorder_.log) {
      if (line.startsWith(prefix)) {
        lines << line;
      }
    }
    return lines;
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

const QString kStopQuestion = u"message "_s + QString::fromUtf16(tool_text::kStopQuestion);
const QString kCancelledNotice = u"message "_s + QString::fromUtf16(tool_text::kCancelled);

TEST(ToolsControls, RunButtonsStayOutOfTheIdleOnlyList) {
  const QStringList names = IdleOnlyControls();
  EXPECT_EQ(names.size(), 16);
  EXPECT_FALSE(names.contains(u"CmdExec"_s));
  EXPECT_FALSE(names.contains(u"CmdSirentExec"_s));
  EXPECT_TRUE(names.contains(u"TabStrip1"_s));
  EXPECT_TRUE(names.contains(u"CmdExit"_s));
  EXPECT_EQ(RunButtonCaption(ToolRun::kConversion, true), u"変換実行"_s);
  EXPECT_EQ(RunButtonCaption(ToolRun::kConversion, false), u"変換停止"_s);
  EXPECT_EQ(RunButtonCaption(ToolRun::kSilentFile, true), u"実行"_s);
  EXPECT_EQ(RunButtonCaption(ToolRun::kSilentFile, false), u"停止"_s);
}

TEST_F(ToolsSessionTest, RunIsBusyFromTheBarToItsEnd) {
  const QString out = dir_.filePath(u"m.wav"_s);
  EXPECT_TRUE(session_.Idle());
  bool busy_while_working = false;
  recorder_.on_events = [&] { busy_while_working = !session_.Idle(); };
  const ToolRunResult result = session_.Convert({false, Stereo(u"s.wav"_s), out});
  EXPECT_EQ(result.converted, 1);
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
  // No progress window of the operator's own.
  EXPECT_TRUE(recorder_.progress.empty());

  recorder_.bars.clear();
  ASSERT_EQ(
      session_.MakeSilentFile({u"00"_s, u"01"_s, 8, 22050, dir_.filePath(u"q.wav"_s)}).converted,
      1);
  EXPECT_EQ(recorder_.bars.back().run, ToolRun::kSilentFile);
  EXPECT_EQ(recorder_.bars.back().value, 100);
}

TEST_F(ToolsSessionTest, FailedCheckPointsAtTheFieldBeforeItsMessage) {
  session_.MakeSilentFile({u"00"_s, u"00"_s, 16, 22050, dir_.filePath(u"q.wav"_s)});
  EXPECT_EQ(recorder_.log, (QStringList{u"field %1"_s.arg(static_cast<int>(ToolField::kMinutes)),
                                        u"message ０秒以上の時間を指定してください。"_s}));
  // After a question answered No there is nothing more to show.
  recorder_.log.clear();
  const QString existing = Stereo(u"old.wav"_s);
  recorder_.Answer(MessageAnswer::kNo);
  session_.Convert({false, Stereo(u"s.wav"_s), existing});
  EXPECT_EQ(recorder_.log, (QStringList{u"message "_s + QString::fromUtf16(tool_text::kOverwrite),
                                        u"field %1"_s.arg(static_cast<int>(ToolField::kOutput))}));
}

TEST_F(ToolsSessionTest, StopIsAskedAtTheEnginesPause) {
  const QString source = Stereo(u"s.wav"_s);
  const QString out = dir_.filePath(u"m.wav"_s);
  // Pressed while idle: nothing to stop, nothing asked.
  session_.RequestStop();
  EXPECT_TRUE(session_.RequestClose());

  // No: the run goes on to its end.
  recorder_.on_events = Once([&] { session_.RequestStop(); });
  recorder_.Answer(MessageAnswer::kNo);
  EXPECT_EQ(session_.Convert({false, source, out}).converted, 1);
  EXPECT_EQ(Filtered(u"message"_s), QStringList{kStopQuestion});
  EXPECT_EQ(recorder_.shown.front().icon, MessageIcon::kQuestion);
  EXPECT_EQ(recorder_.shown.front().buttons, MessageButtons::kYesNo);
  EXPECT_EQ(recorder_.shown.front().title_number, msg::kTitleConfirm);
  ASSERT_TRUE(QFile::remove(out));

  // Yes: the run stops, the notice is shown while the window is still busy,
  // and nothing is left at the output.
  recorder_.log.clear();
  recorder_.on_events = Once([&] { session_.RequestStop(); });
  recorder_.Answer(MessageAnswer::kYes);
  const ToolRunResult stopped = session_.Convert({false, source, out});
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_EQ(recorder_.log, (QStringList{u"busy"_s, kStopQuestion, kCancelledNotice, u"idle"_s}));
  EXPECT_FALSE(QFile::exists(out));
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"s.wav"_s});
  EXPECT_EQ(session_.Progress().Cancel, 0);
  EXPECT_TRUE(recorder_.AllAnswersUsed());
}

TEST_F(ToolsSessionTest, ClosingDuringARunClosesOnlyAfterIt) {
  const QString source = Stereo(u"s.wav"_s);
  const QString out = dir_.filePath(u"m.wav"_s);
  recorder_.on_events = Once([&] { EXPECT_FALSE(session_.RequestClose()); });
  recorder_.Answer(MessageAnswer::kNo);  // keep the window: the run goes on
  EXPECT_EQ(session_.Convert({false, source, out}).converted, 1);
  EXPECT_TRUE(Filtered(u"close"_s).isEmpty());

  recorder_.log.clear();
  recorder_.on_events = Once([&] { EXPECT_FALSE(session_.RequestClose()); });
  recorder_.Answer(MessageAnswer::kYes);  // overwrite m.wav
  recorder_.Answer(MessageAnswer::kYes);  // stop and close
  EXPECT_TRUE(session_.Convert({false, source, out}).cancelled);
  EXPECT_EQ(recorder_.log.mid(1),
            (QStringList{u"busy"_s, kStopQuestion, kCancelledNotice, u"idle"_s, u"close"_s}));
  EXPECT_TRUE(QFile::exists(out));  // the earlier output stays as it was

  // Closed during the closing steps, too late for a question: the window
  // closes once they are over, without asking.
  recorder_.log.clear();
  recorder_.on_events = nullptr;
  recorder_.on_pause = Once([&] { EXPECT_FALSE(session_.RequestClose()); });
  ASSERT_TRUE(
      session_.MakeSilentFile({u"00"_s, u"01"_s, 16, 22050, dir_.filePath(u"q.wav"_s)}).converted);
  EXPECT_EQ(recorder_.log, (QStringList{u"busy"_s, u"idle"_s, u"close"_s}));

  // A stop pressed that late has nothing left to stop: no question either.
  recorder_.log.clear();
  recorder_.Answer(MessageAnswer::kYes);  // overwrite q.wav
  recorder_.on_pause = [&] { session_.RequestStop(); };
  ASSERT_TRUE(
      session_.MakeSilentFile({u"00"_s, u"01"_s, 16, 22050, dir_.filePath(u"q.wav"_s)}).converted);
  EXPECT_EQ(Filtered(u"message"_s),
            QStringList{u"message "_s + QString::fromUtf16(tool_text::kOverwrite)});
  EXPECT_TRUE(recorder_.AllAnswersUsed());
}

}  // namespace
}  // namespace parlatone
