// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/tools_session.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <functional>
#include <tuple>
#include <variant>
#include <vector>

#include <gtest/gtest.h>
#include <sndfile.h>

#include "core/messages.h"
#include "support/qt_printers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "tools/fit_rules.h"
#include "tools/time_boxes.h"
#include "tools/tool_runs.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// One log for window and operator; the tools' own texts by a short name, notices marked "(i)".
class Recorder : public ToolsView, public testing::ScriptedOperator {
 public:
  void ShowBusy(bool busy) override { log << (busy ? u"busy"_s : u"idle"_s); }
  void ShowBar(ToolRun run, int value, int maximum) override {
    bars.push_back({run, value, maximum});
  }
  void SelectField(ToolField field) override { log << u"field %1"_s.arg(static_cast<int>(field)); }
  void CloseWindow() override { log << u"close"_s; }
  MessageAnswer ShowMessage(const MessageRequest& request) override {
    static const QHash<QString, QString> names = {
        {ToolText(tool_text::kStopQuestion), u"stop?"_s},
        {ToolText(tool_text::kCancelled), u"cancelled"_s},
        {ToolText(tool_text::kOverwrite), u"replace?"_s},
        {ToolText(tool_text::kEngineFailed), u"engine failed"_s}};
    const QString mark = request.icon == MessageIcon::kInformation ? u"(i) "_s : QString();
    log << (request.number != 0 ? QString::number(request.number)
                                : names.value(request.text, mark + request.text));
    return ScriptedOperator::ShowMessage(request);
  }
  void Pause(int milliseconds) override {
    ScriptedOperator::Pause(milliseconds);
    on_pause();
  }
  void ProcessPendingEvents() override {
    ScriptedOperator::ProcessPendingEvents();
    on_events();
  }

  QStringList log;
  std::vector<std::tuple<ToolRun, int, int>> bars;
  std::function<void()> on_events, on_pause;  // what the operator does while the engine waits
};

using Request = std::variant<ConversionRequest, SilentFileRequest>;
Request File(const QString& from, const QString& to) {
  return ConversionRequest{false, from, to};
}
Request Folder(const QString& from, const QString& to) {
  return ConversionRequest{true, from, to};
}
Request Silent(const QString& mm, const QString& ss, const QString& to, int bits = 16) {
  return SilentFileRequest{mm, ss, bits, 22050, to};
}

// What the operator does during the run.
enum class Act { kNothing, kStop, kClose, kStopAfterTheFirstFile, kCloseLate, kStopLate };

QString Outcome(const ToolRunResult& r) {
  return (r.checked ? u"checked "_s : u"refused "_s) + QString::number(r.converted) + u'/' +
         QString::number(r.skipped) +
         (r.for_fit_page > 0 ? u" +%1 for fit"_s.arg(r.for_fit_page) : QString()) +
         (r.stereo_missing ? u" nothing to convert"_s : QString()) +
         (r.cancelled ? u" cancelled"_s : QString()) + (r.failed ? u" failed"_s : QString());
}

// Every entry under a folder: "name size" for files, "name/" for folders.
QString Listing(const QString& folder) {
  QStringList entries;
  QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo entry(it.next());
    entries << QDir(folder).relativeFilePath(entry.filePath()) +
                   (entry.isDir() ? u"/"_s : u" "_s + QString::number(entry.size()));
  }
  entries.sort();
  return entries.join(u" | "_s);
}

// Checks and runs of both pages through the session: the log, the outcome and
// what the output folder holds afterwards; nothing outside it changes.
TEST(ToolsSession, ChecksAndRunsAsTheWindowSeesThem) {
  QTemporaryDir dir, target;
  const auto p = [&](const QString& name) { return dir.filePath(name); };
  // 300 ms at 22050 Hz, 16 bits; the mono ones have one channel.
  for (const char16_t* name : {u"s.wav", u"mo.wav", u"in/a.wav", u"in/c.wav", u"mixed/a.wav",
                               u"mixed/b.wav", u"mixed/c.wav", u"mono/x.wav"}) {
    const QString path = p(QString::fromUtf16(name));
    const uint16_t channels = path.contains(u"mo"_s) || path.endsWith(u"b.wav"_s) ? 1 : 2;
    ASSERT_TRUE(testing::WriteBytes(path, testing::WaveOfLength(22050, channels, 16, 300)));
  }
  ASSERT_TRUE(testing::WriteBytes(p(u"wide/a.wav"_s), testing::WaveOfLength(22050, 2, 16, 300)));
  // 24-bit stereo, in the extensible header recorders write: only the fit page converts it.
  for (const char16_t* name : {u"deep.wav", u"wide/deep.wav"}) {
    ASSERT_TRUE(testing::WriteSound(p(QString::fromUtf16(name)),
                                    testing::Sound{22050, 2, std::vector(2 * 2205, 0.25F)},
                                    SF_FORMAT_WAVEX | SF_FORMAT_PCM_24));
  }
  ASSERT_TRUE(testing::WriteBytes(p(u"t.wav"_s), "text"_ba));
  ASSERT_TRUE(testing::WriteBytes(p(u"blocker"_s), "x"_ba));
  ASSERT_TRUE(QDir().mkpath(p(u"empty"_s)));
  const QString sources = Listing(dir.path());
  const QString out = target.path(), in = p(u"in"_s), s = p(u"s.wav"_s);
  const QString to = out + u"/m.wav"_s, q = out + u"/q.wav"_s;
  const QString skip_tail = u"\r\nこのファイルをスキップして処理を続けますか？　　"_s;
  const QString skip = u" はステレオではありません。"_s + skip_tail;
  const QString fit_page =
      u" はこのページでは変換できません。\r\n「シリーズに合わせて変換」のページで変換できます。"_s;
  const QString folder = GetMessage(2045) + u"\r\n"_s + GetMessage(2046);
  const QString done = u"checked 1/0"_s, failed = u"checked 0/0 failed"_s;
  const QString stopped = u"busy | stop? | cancelled | idle"_s;
  struct Case {
    Request request;
    QString log;
    QString outcome = u"refused 0/0"_s;  // checked or refused, converted/skipped, the end
    QString files = {};                  // in the output folder afterwards
    const char* answers = "";            // to the questions in turn: Y or N
    Act act = Act::kNothing;
    bool existing = false;   // "old" is at the output before the run
    int64_t step_bytes = 0;  // checked unless 0
  };
  const Case cases[] = {
      // The checks in their order; the field is selected before the message.
      {File(QString(), to), u"field 1 | 変換対象のファイルが指定されていません。"_s},
      {File(p(u"none.wav"_s), to), u"field 1 | 指定されたファイルが存在しません。"_s},
      {File(s, QString()), u"field 2 | 出力ファイル名が指定されていません。"_s},
      {File(s, s),
       u"field 2 | 変換するファイルと出力ファイル名が同じです。\r\n"
       u"出力ファイル名は異なる場所または名前を指定してください。　　"_s},
      // A name without its folder would land wherever the program started.
      {File(s, u"mono.wav"_s), u"field 2 | "_s + FitText(fit_text::kNotFullPath)},
      {Folder(in, u"12"_s), u"field 2 | "_s + FitText(fit_text::kNotFullPath)},
      {File(s, to), u"replace? | field 2"_s, u"refused 0/0"_s, u"m.wav 3"_s, "N", Act::kNothing,
       true},
      {Folder(in, in),
       u"field 2 | 変換対象フォルダと出力先フォルダが同じです。\r\n"
       u"出力先フォルダは異なる場所を指定してください。　　"_s},
      {Folder(p(u"none"_s), out), u"field 1 | 指定されたフォルダが存在しません。"_s},
      {Folder(p(u"empty"_s), out), u"field 1 | フォルダ内に変換できるファイルがありません。"_s},
      {Folder(in, out + u"/new"_s), folder + u" | field 2"_s, u"refused 0/0"_s, QString(), "N"},
      {Folder(in, p(u"blocker/sub"_s)), folder + u" | field 2 | 2047"_s, u"refused 0/0"_s,
       QString(), "Y"},
      // An empty time box counts 0.
      {Silent(QString(), QString(), q), u"field 3 | ０秒以上の時間を指定してください。"_s},
      {Silent(u"00"_s, u"00"_s, q), u"field 3 | ０秒以上の時間を指定してください。"_s},
      {Silent(u"00"_s, u"01"_s, QString()), u"field 5 | 出力ファイル名が指定されていません。"_s},
      {Silent(u"00"_s, u"01"_s, u"s.wav"_s), u"field 5 | "_s + FitText(fit_text::kNotFullPath)},
      {Silent(u"00"_s, u"02"_s, q, 8), u"busy | idle"_s, done, u"q.wav 44144"_s},
      {Silent(QString(), u"01"_s, out + u"/q"_s), u"busy | idle"_s, done, u"q.wav 44144"_s},
      {File(p(u"mo.wav"_s), to), u"(i) mo.wav はステレオではありません。"_s, failed},
      {File(p(u"t.wav"_s), to), u"2601 | 情報の取得に失敗しました。処理を中止します。"_s, failed},
      // One message names a file only the fit page converts; a folder run may skip it.
      {File(p(u"deep.wav"_s), to), u"deep.wav（24bit）"_s + fit_page, failed},
      {Folder(p(u"wide"_s), out),
       u"deep.wav（24bit）"_s + fit_page + skip_tail + u" | busy | idle"_s,
       u"checked 1/0 +1 for fit"_s, u"a.wav 13274"_s, "Y"},
      // The same folder under another name passes the check; the engine refuses it.
      {Folder(in, in + u"/"_s), u"busy | idle | engine failed"_s, failed},
      {Folder(p(u"mixed"_s), out + u"/deep"_s),
       folder + u" | "_s + u"b.wav"_s + skip + u" | busy | idle"_s, u"checked 2/1"_s,
       u"deep/ | deep/a.wav 13274 | deep/c.wav 13274"_s, "YY"},
      {Folder(p(u"mixed"_s), out), u"b.wav"_s + skip, u"checked 0/0"_s, QString(), "N"},
      {Folder(p(u"mono"_s), out),
       u"x.wav"_s + skip + u" | (i) 変換対象のファイルが見つかりません。処理を終了します。　"_s,
       u"checked 0/1 nothing to convert"_s, QString(), "Y"},
      // A stop is asked at the engine's pause; a folder run's finished first file stays.
      {File(s, to), u"busy | stop? | idle"_s, done, u"m.wav 13274"_s, "N", Act::kStop},
      {File(s, to), stopped, u"checked 0/0 cancelled"_s, QString(), "Y", Act::kStop},
      {Folder(in, out), stopped, u"checked 1/0 cancelled"_s, u"a.wav 13274"_s, "Y",
       Act::kStopAfterTheFirstFile},
      // Closing asks the same; Yes closes the window once the run is over.
      {File(s, to), u"busy | stop? | idle"_s, done, u"m.wav 13274"_s, "N", Act::kClose},
      {File(s, to), u"replace? | "_s + stopped + u" | close"_s, u"checked 0/0 cancelled"_s,
       u"m.wav 3"_s, "YY", Act::kClose, true},
      // During the closing steps a close waits for their end, a stop stops nothing.
      {Silent(u"00"_s, u"01"_s, q), u"busy | idle | close"_s, done, u"q.wav 44144"_s, "",
       Act::kCloseLate},
      {Silent(u"00"_s, u"01"_s, q), u"busy | idle"_s, done, u"q.wav 44144"_s, "", Act::kStopLate},
      // The longest silent file the boxes take, 3659 s, stopped before it is written.
      {Silent(u"60"_s, u"59"_s, q), u"replace? | "_s + stopped, u"checked 0/0 cancelled"_s,
       u"q.wav 3"_s, "YY", Act::kStop, true, (44 + 3659LL * 44100) / 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.log.toStdString());
    Recorder recorder;
    ToolsSession session(recorder, recorder);
    ASSERT_TRUE(QDir(out).removeRecursively() && QDir().mkpath(out));
    const auto* conversion = std::get_if<ConversionRequest>(&c.request);
    const auto* silent = std::get_if<SilentFileRequest>(&c.request);
    if (c.existing) {
      ASSERT_TRUE(testing::WriteBytes(conversion ? conversion->output : silent->output, "old"_ba));
    }
    for (const char* answer = c.answers; *answer != '\0'; ++answer) {
      recorder.Answer(*answer == 'Y' ? MessageAnswer::kYes : MessageAnswer::kNo);
    }
    int events = 0, pauses = 0;
    recorder.on_events = [&] {
      EXPECT_FALSE(session.Idle());
      const bool first_done = QFile::exists(out + u"/a.wav"_s);
      if ((c.act == Act::kStop && ++events == 1) ||
          (c.act == Act::kStopAfterTheFirstFile && first_done && ++events == 1)) {
        session.RequestStop();
      } else if (c.act == Act::kClose && ++events == 1) {
        EXPECT_FALSE(session.RequestClose());
      }
    };
    recorder.on_pause = [&] {
      if (c.act == Act::kCloseLate && ++pauses == 1) {
        EXPECT_FALSE(session.RequestClose());
      } else if (c.act == Act::kStopLate) {
        session.RequestStop();
      }
    };
    session.RequestStop();  // while idle: nothing to stop, nothing asked
    EXPECT_TRUE(session.RequestClose());
    const ToolRunResult result =
        silent ? session.MakeSilentFile(*silent) : session.Convert(*conversion);
    EXPECT_EQ(recorder.log.join(u" | "_s), c.log);
    EXPECT_EQ(Outcome(result), c.outcome);
    EXPECT_EQ(Listing(out), c.files);
    EXPECT_EQ(Listing(dir.path()), sources);
    EXPECT_TRUE(!session.Progress().StopRequested && recorder.AllAnswersUsed());
    EXPECT_EQ(c.step_bytes != 0 ? session.Progress().StepBytes : 0, c.step_bytes);
    const ToolRun run = silent ? ToolRun::kSilentFile : ToolRun::kConversion;
    for (const auto& [bar_run, value, maximum] : recorder.bars) {
      EXPECT_EQ(std::pair(bar_run, maximum), std::pair(run, 100));
    }
    // Shown once for every run: the pointer balanced, the bar 0..100 on the window, the question.
    if (c.act == Act::kStop && *c.answers == 'N') {
      EXPECT_EQ(std::pair(recorder.busy_depth, recorder.max_busy_depth), std::pair(0, 1));
      EXPECT_TRUE(recorder.progress.empty());
      const auto& asked = recorder.shown.at(0);
      EXPECT_EQ(std::tuple(recorder.shown.size(), asked.icon, asked.buttons, asked.title_number),
                std::tuple(1U, MessageIcon::kQuestion, MessageButtons::kYesNo, msg::kTitleConfirm));
      ASSERT_FALSE(recorder.bars.empty());
      EXPECT_EQ(std::pair(std::get<1>(recorder.bars.front()), std::get<1>(recorder.bars.back())),
                std::pair(0, 100));
    }
  }
}

TEST(ToolsControls, RunButtonsStayOutOfTheIdleOnlyList) {
  const QStringList names = IdleOnlyControls();
  EXPECT_TRUE(names.contains(u"TabStrip1"_s) && names.contains(u"CmdExit"_s));
  EXPECT_FALSE(names.contains(u"CmdExec"_s) || names.contains(u"CmdSirentExec"_s));
}

TEST(TimeBoxes, LeavingSpinningFillingAndReading) {
  // 'L' leaving the box, '+'/'-' a spinner click, 'F' filling, 'V' reading.
  const int m = kMaxMinutes, s = kMaxSeconds;
  const std::tuple<char, const char16_t*, int, const char16_t*> cases[] = {
      {'L', u"75", s, u"59"},   {'L', u"005", s, u"05"},    {'L', u"-3", m, u"00"},
      {'L', u" 7 ", m, u"07"},  {'L', nullptr, m, nullptr}, {'L', u"1a", m, u"1a"},
      {'+', nullptr, m, u"01"}, {'+', u"59", s, u"59"},     {'-', u"00", s, u"00"},
      {'-', u"7", s, u"06"},    {'-', u"75", s, u"58"},     {'+', u"75", s, u"59"},
      {'F', u"  ", 0, u"00"},   {'F', u"5", 0, u"5"},       {'V', u"75", s, u"59"},
      {'V', u"07", s, u"7"},    {'V', u"x", s, u"0"},
  };
  for (const auto& [act, chars, max, expected] : cases) {
    const QString text = QString::fromUtf16(chars);
    const QString got = act == 'L'   ? LeaveTimeBox(text, max)
                        : act == 'F' ? FillTimeBox(text)
                        : act == 'V' ? QString::number(TimeBoxValue(text, max))
                                     : StepTimeBox(text, max, act == '+' ? 1 : -1);
    EXPECT_EQ(got, QString::fromUtf16(expected)) << act << " '" << text.toStdString() << "'";
  }
  // A pasted run of digits far beyond any integer is still a number.
  EXPECT_EQ(LeaveTimeBox(u"99999999999999999999"_s, m), u"60"_s);
}

TEST(TimeBoxes, KeysTheBoxesTake) {
  // Digits, editing, copy/paste/cut and keys that type nothing are taken; other text goes.
  const Qt::KeyboardModifiers no{}, ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
  const std::tuple<int, Qt::KeyboardModifiers, const char16_t*, bool> cases[] = {
      {Qt::Key_0, no, u"0", false},          {Qt::Key_9, no, u"9", false},
      {Qt::Key_Backspace, no, u"\b", false}, {Qt::Key_C, ctrl, u"\x03", false},
      {Qt::Key_C, no, u"c", true},           {Qt::Key_V, ctrl, u"\x16", false},
      {Qt::Key_X, ctrl, u"\x18", false},     {Qt::Key_A, ctrl, u"\x01", true},
      {Qt::Key_A, ctrl, nullptr, true},      {Qt::Key_unknown, no, u"５", true},
      {Qt::Key_5, no, u"55", true},          {Qt::Key_Delete, no, u"\x7f", false},
      {Qt::Key_Escape, no, u"\x1b", false},  {Qt::Key_Left, ctrl, nullptr, false},
      {Qt::Key_C, alt, u"c", false},
  };
  for (const auto& [key, modifiers, text, discarded] : cases) {
    EXPECT_EQ(TimeBoxDiscardsKey(key, modifiers, QString::fromUtf16(text)), discarded)
        << key << " with " << modifiers.toInt();
  }
}

}  // namespace
}  // namespace parlatone
