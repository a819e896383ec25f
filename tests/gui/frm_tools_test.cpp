#include "gui/frm_tools.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
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
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "gui/frm_wave_add.h"
#include "support/qt_printers.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::Le16Bytes;
using testing::Le32Bytes;

// The scripted operator with a hand on the window: what it does while the
// engine lets events in (a click on a stop button, the close box), and a
// look at the window whenever a message shows.
class WindowOperator : public testing::ScriptedOperator {
 public:
  MessageAnswer ShowMessage(const MessageRequest& request) override {
    if (on_message) {
      on_message(request);
    }
    return ScriptedOperator::ShowMessage(request);
  }
  void ProcessPendingEvents() override {
    ScriptedOperator::ProcessPendingEvents();
    if (on_events) {
      on_events();
    }
  }
  std::function<void(const MessageRequest&)> on_message;
  std::function<void()> on_events;
};

// An action for the first time the engine lets events in only.
std::function<void()> Once(std::function<void()> action) {
  auto done = std::make_shared<bool>(false);
  return [action = std::move(action), done] {
    if (!*done) {
      *done = true;
      action();
    }
  };
}

uint32_t Field(const QByteArray& bytes, int at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
  }
  return value;
}

// The mono file a canonical stereo file must become, worked out from its
// bytes: the left sample of every 16-bit frame, the right one of every 8-bit
// frame, under a fresh 44-byte header.
QByteArray ExpectedMono(const QByteArray& stereo) {
  EXPECT_EQ(stereo.mid(36, 4), "data"_ba) << "not a canonical test file";
  const uint32_t rate = Field(stereo, 24, 4);
  const int bits = static_cast<int>(Field(stereo, 34, 2));
  const int sample = bits / 8;
  const uint32_t data = Field(stereo, 40, 4);
  QByteArray samples;
  for (uint32_t frame = 44; frame + 2 * sample <= 44 + data; frame += 2 * sample) {
    samples += bits == 8 ? stereo.mid(frame + 1, 1) : stereo.mid(frame, 2);
  }
  const auto size = static_cast<uint32_t>(samples.size());
  return "RIFF" + Le32Bytes(36 + size) + "WAVEfmt " + Le32Bytes(16) + Le16Bytes(1) + Le16Bytes(1) +
         Le32Bytes(rate) + Le32Bytes(rate * sample) + Le16Bytes(static_cast<uint16_t>(sample)) +
         Le16Bytes(static_cast<uint16_t>(bits)) + "data" + Le32Bytes(size) + samples;
}

class FrmToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  }

  template <typename T>
  T* Find(const QString& name) {
    T* widget = window_.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name.toStdString();
    return widget;
  }
  QLineEdit* Box(const QString& name) { return Find<QLineEdit>(name); }
  void Click(const QString& name) {
    QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton);
  }
  QString Text(const QString& name) { return Find<QAbstractButton>(name)->text(); }
  QString Write(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    EXPECT_TRUE(testing::WriteBytes(path, bytes));
    return path;
  }
  static QByteArray Stereo16() { return testing::WaveOfLength(22050, 2, 16, 200); }
  static QByteArray Stereo8() { return testing::WaveOfLength(11025, 2, 8, 300); }
  static QByteArray Mono() { return testing::WaveOfLength(22050, 1, 16, 100); }
  // The notice at the end of a conversion run.
  static QString Done(int converted, int skipped, const QString& output) {
    QString text = QString::number(converted) + u" 個のファイルをモノラルに変換しました。"_s;
    if (skipped > 0) {
      text += u"\r\n"_s + QString::number(skipped) +
              u" 個のファイルはステレオではないため変換しませんでした。"_s;
    }
    return text + u"\r\n\r\n出力先：\r\n"_s + output;
  }
  QStringList Texts() const {
    QStringList texts;
    for (const auto& shown : op_.shown) {
      texts << shown.text;
    }
    return texts;
  }
  // A folder "in" with a 16-bit stereo a.wav, a mono b.wav (when asked) and
  // an 8-bit stereo c.wav.
  QString StereoFolder(bool with_mono) {
    Write(u"in/a.wav"_s, Stereo16());
    if (with_mono) {
      Write(u"in/b.wav"_s, Mono());
    }
    Write(u"in/c.wav"_s, Stereo8());
    return dir_.filePath(u"in"_s);
  }
  void FolderUnit(const QString& source, const QString& output) {
    Click(u"OptConvMode1"_s);
    Box(u"TxtConv010"_s)->setText(source);
    Box(u"TxtConv011"_s)->setText(output);
  }
  QStringList FilesIn(const QString& folder) const {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
  }
  void ExpectIdle() {
    EXPECT_TRUE(window_.Session().Idle());
    EXPECT_EQ(Text(u"CmdExec"_s), u"変換実行"_s);
    EXPECT_EQ(Text(u"CmdSirentExec"_s), u"実行"_s);
    for (const QString& name : IdleOnlyControls()) {
      EXPECT_TRUE(Find<QWidget>(name)->isEnabled()) << name.toStdString();
    }
    EXPECT_EQ(op_.busy_depth, 0);
  }
  void ExpectBusy() {
    EXPECT_FALSE(window_.Session().Idle());
    EXPECT_EQ(Text(u"CmdExec"_s), u"変換停止"_s);
    EXPECT_EQ(Text(u"CmdSirentExec"_s), u"停止"_s);
    EXPECT_TRUE(Find<QWidget>(u"CmdExec"_s)->isEnabled());
    EXPECT_TRUE(Find<QWidget>(u"CmdSirentExec"_s)->isEnabled());
    for (const QString& name : IdleOnlyControls()) {
      EXPECT_FALSE(Find<QWidget>(name)->isEnabled()) << name.toStdString();
    }
    EXPECT_EQ(op_.busy_depth, 1);  // the hourglass
  }

  QTemporaryDir dir_;
  WindowOperator op_;
  testing::ScriptedChoosers choosers_;
  FrmTools window_{op_, choosers_};
};

TEST_F(FrmToolsTest, OpensOnTheConversionPageWithFullBars) {
  EXPECT_TRUE(Find<QWidget>(u"FrameConv"_s)->isVisible());
  EXPECT_FALSE(Find<QWidget>(u"FrameSirent"_s)->isVisible());
  EXPECT_EQ(Find<QTabBar>(u"TabStrip1"_s)->currentIndex(), 0);
  for (const QString& name : {u"PrgBar"_s, u"PrgBar2"_s}) {
    EXPECT_EQ(Find<QProgressBar>(name)->maximum(), 100);
    EXPECT_EQ(Find<QProgressBar>(name)->value(), 100);
  }
  EXPECT_TRUE(Find<QRadioButton>(u"OptConvMode0"_s)->isChecked());
  EXPECT_EQ(Text(u"OptConvMode0"_s), u"ファイル単位で変換する"_s);
  EXPECT_EQ(Text(u"OptConvMode1"_s), u"フォルダ単位で変換する"_s);
  EXPECT_EQ(Text(u"CmdExit"_s), u"閉じる(&C)"_s);
  QStringList captions;
  for (const QLabel* label : window_.findChildren<QLabel*>()) {
    captions << label->text();
  }
  EXPECT_TRUE(captions.contains(u"ステレオからモノラルへ変換します。"_s));
  QStringList titles;
  for (const QGroupBox* group : window_.findChildren<QGroupBox*>()) {
    titles << group->title();
  }
  titles.sort();
  EXPECT_EQ(titles,
            (QStringList{u"①時間指定"_s, u"②ＢＩＴ／サンプリングレートの指定"_s,
                         u"③作成するファイル名の指定"_s, u"変換するファイル"_s, u"変換の設定"_s,
                         u"対象のファイルまたはフォルダを選択してください"_s}));
  auto* bits = Find<QComboBox>(u"CmbBit"_s);
  auto* rate = Find<QComboBox>(u"CmbSample"_s);
  EXPECT_EQ(bits->count(), 2);
  EXPECT_EQ(bits->itemText(0), u"8Bit"_s);
  EXPECT_EQ(bits->currentText(), u"16Bit"_s);
  EXPECT_EQ(rate->count(), 2);
  EXPECT_EQ(rate->currentText(), u"22.05KHz"_s);
  EXPECT_EQ(rate->itemText(1), u"44.1KHz"_s);
  ExpectIdle();

  // The unit sets the labels and empties both boxes.
  Box(u"TxtConv010"_s)->setText(u"/a.wav"_s);
  Box(u"TxtConv011"_s)->setText(u"/b.wav"_s);
  EXPECT_EQ(Find<QLabel>(u"LabelConv010"_s)->text(), u"変換するファイル"_s);
  EXPECT_EQ(Find<QLabel>(u"LabelConv011"_s)->text(), u"出力ファイル名"_s);
  Click(u"OptConvMode1"_s);
  EXPECT_EQ(Find<QLabel>(u"LabelConv010"_s)->text(), u"変換対象フォルダ"_s);
  EXPECT_EQ(Find<QLabel>(u"LabelConv011"_s)->text(), u"出力フォルダ"_s);
  EXPECT_TRUE(Box(u"TxtConv010"_s)->text().isEmpty());
  EXPECT_TRUE(Box(u"TxtConv011"_s)->text().isEmpty());
  Click(u"OptConvMode0"_s);
  EXPECT_EQ(Find<QLabel>(u"LabelConv010"_s)->text(), u"変換するファイル"_s);

  Find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(1);
  EXPECT_TRUE(Find<QWidget>(u"FrameSirent"_s)->isVisible());
  EXPECT_FALSE(Find<QWidget>(u"FrameConv"_s)->isVisible());

  // Closing an idle window asks nothing.
  window_.close();
  EXPECT_FALSE(window_.isVisible());
  EXPECT_TRUE(op_.shown.empty());
}

TEST_F(FrmToolsTest, BrowseButtonsFillTheBoxes) {
  choosers_.answers = {u"/music/a.wav"_s, QString(), u"/music/out"_s + QChar(u'\0') + u".wav"_s};
  Click(u"CmdConv010"_s);
  EXPECT_EQ(Box(u"TxtConv010"_s)->text(), u"/music/a.wav"_s);
  EXPECT_EQ(choosers_.last_title, u"ファイルを開く"_s);
  EXPECT_EQ(choosers_.last_filter.description, u"WAVE ファイル"_s);
  EXPECT_EQ(choosers_.last_filter.pattern, u"*.wav"_s);
  Click(u"CmdConv010"_s);  // cancelled: nothing changes
  EXPECT_EQ(Box(u"TxtConv010"_s)->text(), u"/music/a.wav"_s);
  Click(u"CmdConv011"_s);
  EXPECT_EQ(Box(u"TxtConv011"_s)->text(), u"/music/out.wav"_s);
  EXPECT_EQ(window_.Session().last_file, u"/music/out.wav"_s);

  Click(u"OptConvMode1"_s);
  choosers_.answers = {u"/music"_s, QString()};
  Click(u"CmdConv010"_s);
  EXPECT_EQ(Box(u"TxtConv010"_s)->text(), u"/music"_s);
  EXPECT_EQ(window_.Session().last_folder, u"/music"_s);
  Click(u"CmdConv011"_s);
  EXPECT_TRUE(Box(u"TxtConv011"_s)->text().isEmpty());

  Find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(1);
  choosers_.answers = {u"/music/silence.wav"_s};
  Click(u"CmdSrt"_s);
  EXPECT_EQ(Box(u"TxtSirent"_s)->text(), u"/music/silence.wav"_s);
  EXPECT_TRUE(choosers_.answers.empty());
}

TEST_F(FrmToolsTest, FolderUnitConvertsTheStereoFilesWhenMonoOnesAreSkipped) {
  const QString in = StereoFolder(true);
  const QString out = dir_.filePath(u"out/deep/er"_s);
  FolderUnit(in, out);
  op_.Answer(MessageAnswer::kYes);  // make the output folder
  op_.Answer(MessageAnswer::kYes);  // skip b.wav
  Click(u"CmdExec"_s);
  // Then the window says what was done.
  EXPECT_EQ(Texts(), (QStringList{GetMessage(2045) + u"\r\n"_s + GetMessage(2046),
                                  u"b.wav はステレオではありません。\r\n"
                                  u"このファイルをスキップして処理を続けますか？　　"_s,
                                  Done(2, 1, out)}));
  for (const auto& shown : op_.shown) {
    EXPECT_EQ(shown.title_number, msg::kTitleConfirm);
    EXPECT_EQ(shown.icon,
              &shown == &op_.shown.back() ? MessageIcon::kInformation : MessageIcon::kExclamation);
  }
  ASSERT_EQ(FilesIn(out), (QStringList{u"a.wav"_s, u"c.wav"_s}));
  EXPECT_EQ(testing::ReadFileBytes(out + u"/a.wav"_s), ExpectedMono(Stereo16()));
  EXPECT_EQ(testing::ReadFileBytes(out + u"/c.wav"_s), ExpectedMono(Stereo8()));
  EXPECT_EQ(Find<QProgressBar>(u"PrgBar"_s)->value(), 100);
  ExpectIdle();

  // No at the skip question stops before any file is converted.
  ASSERT_TRUE(QDir(out).removeRecursively() && QDir().mkpath(out));
  op_ = {};
  op_.Answer(MessageAnswer::kNo);
  Click(u"CmdExec"_s);
  EXPECT_EQ(op_.shown.size(), 1u);
  EXPECT_TRUE(FilesIn(out).isEmpty());
  EXPECT_EQ(op_.max_busy_depth, 0);
  ExpectIdle();
}

TEST_F(FrmToolsTest, NothingStereoToConvert) {
  Write(u"mono/x.wav"_s, Mono());
  Write(u"mono/y.wav"_s, Mono());
  const QString out = dir_.filePath(u"out"_s);
  ASSERT_TRUE(QDir().mkpath(out));
  FolderUnit(dir_.filePath(u"mono"_s), out);
  op_.Answer(MessageAnswer::kYes);
  op_.Answer(MessageAnswer::kYes);
  Click(u"CmdExec"_s);
  ASSERT_EQ(op_.shown.size(), 3u);
  EXPECT_EQ(op_.shown.back().text, u"変換対象のファイルが見つかりません。処理を終了します。　"_s);
  EXPECT_EQ(op_.shown.back().icon, MessageIcon::kInformation);
  EXPECT_EQ(op_.shown.back().title_number, msg::kTitleConfirm);
  EXPECT_TRUE(FilesIn(out).isEmpty());

  // One mono file in file unit: refused by name, nothing written.
  op_ = {};
  Click(u"OptConvMode0"_s);
  Box(u"TxtConv010"_s)->setText(dir_.filePath(u"mono/x.wav"_s));
  Box(u"TxtConv011"_s)->setText(out + u"/x.wav"_s);
  Click(u"CmdExec"_s);
  EXPECT_EQ(Texts(), QStringList{u"x.wav はステレオではありません。"_s});
  EXPECT_EQ(op_.shown.front().icon, MessageIcon::kInformation);
  EXPECT_TRUE(FilesIn(out).isEmpty());
  ExpectIdle();
}

TEST_F(FrmToolsTest, RefusedChecksSelectTheirBoxFirst) {
  QString focused;
  QString selected;
  op_.on_message = [&](const MessageRequest&) {
    QWidget* focus = window_.focusWidget();
    focused = focus != nullptr ? focus->objectName() : QString();
    auto* box = qobject_cast<QLineEdit*>(focus);
    selected = box != nullptr ? box->selectedText() : QString();
  };
  const QString stereo = Write(u"in/a.wav"_s, Stereo16());
  // The same text in both boxes, in either unit.
  Box(u"TxtConv010"_s)->setText(stereo);
  Box(u"TxtConv011"_s)->setText(stereo);
  Click(u"CmdExec"_s);
  EXPECT_EQ(Texts(),
            QStringList{u"変換するファイルと出力ファイル名が同じです。\r\n"
                        u"出力ファイル名は異なる場所または名前を指定してください。　　"_s});
  EXPECT_EQ(focused, u"TxtConv011"_s);
  EXPECT_EQ(selected, stereo);

  op_.shown.clear();
  FolderUnit(dir_.filePath(u"in"_s), dir_.filePath(u"in"_s));
  Click(u"CmdExec"_s);
  EXPECT_EQ(Texts(), QStringList{u"変換対象フォルダと出力先フォルダが同じです。\r\n"
                                 u"出力先フォルダは異なる場所を指定してください。　　"_s});
  EXPECT_EQ(focused, u"TxtConv011"_s);
  EXPECT_EQ(testing::ReadFileBytes(stereo), Stereo16());

  // A source that is missing points at the source box.
  op_.shown.clear();
  Box(u"TxtConv010"_s)->setText(dir_.filePath(u"none"_s));
  Click(u"CmdExec"_s);
  EXPECT_EQ(Texts(), QStringList{u"指定されたフォルダが存在しません。"_s});
  EXPECT_EQ(focused, u"TxtConv010"_s);
  EXPECT_EQ(selected, dir_.filePath(u"none"_s));

  // The silent file page: no time at all.
  op_.shown.clear();
  Find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(1);
  Box(u"TxtMM"_s)->setText(u"00"_s);
  Box(u"TxtSS"_s)->setText(u"00"_s);
  Box(u"TxtSirent"_s)->setText(dir_.filePath(u"s.wav"_s));
  Click(u"CmdSirentExec"_s);
  EXPECT_EQ(Texts(), QStringList{u"０秒以上の時間を指定してください。"_s});
  EXPECT_EQ(focused, u"TxtMM"_s);
  EXPECT_EQ(selected, u"00"_s);
  EXPECT_FALSE(QFile::exists(dir_.filePath(u"s.wav"_s)));
  ExpectIdle();
}

TEST_F(FrmToolsTest, KeyboardUse) {
  // Return in a text box starts nothing.
  QLineEdit* source = Box(u"TxtConv010"_s);
  source->setFocus();
  QTest::keyClick(source, Qt::Key_Return);
  EXPECT_TRUE(op_.shown.empty());
  // A focused button runs from the keyboard.
  auto* run = Find<QPushButton>(u"CmdExec"_s);
  run->setFocus();
  QTest::keyClick(run, Qt::Key_Space);
  EXPECT_EQ(Texts(), QStringList{u"変換対象のファイルが指定されていません。"_s});
  EXPECT_TRUE(source->hasFocus());
  // Arrow keys choose the unit.
  Find<QWidget>(u"OptConvMode0"_s)->setFocus();
  QTest::keyClick(Find<QWidget>(u"OptConvMode0"_s), Qt::Key_Right);
  EXPECT_TRUE(Find<QRadioButton>(u"OptConvMode1"_s)->isChecked());
  EXPECT_EQ(Find<QLabel>(u"LabelConv010"_s)->text(), u"変換対象フォルダ"_s);
  // Alt+C closes (a mnemonic clicks after a short flash), and so does Escape.
  QTest::keyClick(&window_, Qt::Key_C, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !window_.isVisible(); }, 2000));
  window_.show();
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  QTest::keyClick(&window_, Qt::Key_Escape);
  EXPECT_FALSE(window_.isVisible());
  EXPECT_EQ(op_.shown.size(), 1u);
}

TEST_F(FrmToolsTest, TimeBoxesTakeDigitsClampAndSpin) {
  Find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(1);
  QLineEdit* minutes = Box(u"TxtMM"_s);
  QLineEdit* seconds = Box(u"TxtSS"_s);
  EXPECT_TRUE(minutes->text().isEmpty());
  minutes->setFocus();
  QTest::keyClicks(minutes, u"6a-1 ."_s);
  EXPECT_EQ(minutes->text(), u"61"_s);
  QTest::keyClick(minutes, Qt::Key_Tab);  // leaving the box
  EXPECT_TRUE(seconds->hasFocus());
  EXPECT_EQ(minutes->text(), u"60"_s);
  QTest::keyClicks(seconds, u"75"_s);
  minutes->setFocus();
  EXPECT_EQ(seconds->text(), u"59"_s);
  seconds->setFocus();
  QTest::keyClick(seconds, Qt::Key_Backspace);
  QTest::keyClick(seconds, Qt::Key_Backspace);
  QTest::keyClicks(seconds, u"5"_s);
  minutes->setFocus();
  EXPECT_EQ(seconds->text(), u"05"_s);
  // Pasted text must be digits as well.
  minutes->clear();
  minutes->insert(u"1x"_s);
  EXPECT_TRUE(minutes->text().isEmpty());

  // The spinners: an empty box counts as 0, the other box gets "00".
  minutes->clear();
  seconds->clear();
  const auto spin = [&](const QString& spinner, const QString& direction) {
    QTest::mouseClick(Find<QWidget>(spinner)->findChild<QToolButton*>(direction), Qt::LeftButton);
  };
  spin(u"UpDownMM"_s, u"Up"_s);
  EXPECT_EQ(minutes->text(), u"01"_s);
  EXPECT_EQ(seconds->text(), u"00"_s);
  spin(u"UpDown1"_s, u"Down"_s);
  EXPECT_EQ(seconds->text(), u"00"_s);
  spin(u"UpDown1"_s, u"Up"_s);
  EXPECT_EQ(seconds->text(), u"01"_s);
  EXPECT_EQ(minutes->text(), u"01"_s);
  minutes->setText(u"60"_s);
  spin(u"UpDownMM"_s, u"Up"_s);
  EXPECT_EQ(minutes->text(), u"60"_s);
  // From the keyboard the arrow keys spin.
  seconds->setFocus();
  QTest::keyClick(seconds, Qt::Key_Up);
  QTest::keyClick(seconds, Qt::Key_Up);
  EXPECT_EQ(seconds->text(), u"03"_s);
  QTest::keyClick(seconds, Qt::Key_Down);
  EXPECT_EQ(seconds->text(), u"02"_s);
  EXPECT_TRUE(op_.shown.empty());
}

TEST_F(FrmToolsTest, SilentFiles) {
  Find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(1);
  const QString path = dir_.filePath(u"s.wav"_s);
  Box(u"TxtSirent"_s)->setText(path);
  // Two seconds of 8-bit silence at 22.05 kHz.
  Box(u"TxtMM"_s)->setText(u"00"_s);
  Box(u"TxtSS"_s)->setText(u"02"_s);
  Find<QComboBox>(u"CmbBit"_s)->setCurrentIndex(0);
  Click(u"CmdSirentExec"_s);
  EXPECT_EQ(Texts(), QStringList{u"無音データを作成しました。\r\n\r\n"_s + path});
  const QByteArray header = "RIFF" + Le32Bytes(36 + 44100) + "WAVEfmt " + Le32Bytes(16) +
                            Le16Bytes(1) + Le16Bytes(1) + Le32Bytes(22050) + Le32Bytes(22050) +
                            Le16Bytes(1) + Le16Bytes(8) + "data" + Le32Bytes(44100);
  ASSERT_EQ(header.size(), 44);
  EXPECT_EQ(testing::ReadFileBytes(path), header + QByteArray(44100, static_cast<char>(128)));
  EXPECT_EQ(Find<QProgressBar>(u"PrgBar2"_s)->value(), 100);
  ExpectIdle();

  // The longest time the boxes take, 16 bits: 60:59 is accepted.
  op_.Answer(MessageAnswer::kYes);  // replace s.wav
  Box(u"TxtMM"_s)->setText(u"60"_s);
  Box(u"TxtSS"_s)->setText(u"59"_s);
  Find<QComboBox>(u"CmbBit"_s)->setCurrentIndex(1);
  Click(u"CmdSirentExec"_s);
  EXPECT_EQ(Texts().mid(1, 1), QStringList{QString::fromUtf16(tool_text::kOverwrite)});
  const QFileInfo made(path);
  EXPECT_EQ(made.size(), 44 + 3659LL * 44100);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray start = file.read(48);
  EXPECT_EQ(Field(start, 24, 4), 22050u);
  EXPECT_EQ(Field(start, 34, 2), 16u);
  EXPECT_EQ(Field(start, 40, 4), 3659u * 44100u);
  file.close();
  ASSERT_TRUE(QFile::remove(path));
  ExpectIdle();
}

TEST_F(FrmToolsTest, StopButtonAsksWhileTheRunWaits) {
  const QString in = StereoFolder(false);
  const QString out = dir_.filePath(u"out"_s);
  ASSERT_TRUE(QDir().mkpath(out));
  FolderUnit(in, out);
  // No: the run goes on and converts both files.
  op_.on_events = Once([&] {
    ExpectBusy();
    Click(u"CmdExec"_s);
  });
  op_.Answer(MessageAnswer::kNo);
  Click(u"CmdExec"_s);
  EXPECT_EQ(Texts(), (QStringList{QString::fromUtf16(tool_text::kStopQuestion), Done(2, 0, out)}));
  EXPECT_EQ(op_.shown.front().icon, MessageIcon::kQuestion);
  EXPECT_EQ(op_.shown.front().buttons, MessageButtons::kYesNo);
  EXPECT_EQ(op_.shown.front().title_number, msg::kTitleConfirm);
  EXPECT_EQ(FilesIn(out), (QStringList{u"a.wav"_s, u"c.wav"_s}));
  EXPECT_EQ(testing::ReadFileBytes(out + u"/c.wav"_s), ExpectedMono(Stereo8()));
  ExpectIdle();

  // Yes during the first file: nothing at all is left in the output folder.
  ASSERT_TRUE(QDir(out).removeRecursively() && QDir().mkpath(out));
  op_ = {};
  op_.on_events = Once([&] { Click(u"CmdExec"_s); });
  op_.Answer(MessageAnswer::kYes);
  Click(u"CmdExec"_s);
  EXPECT_EQ(Texts(), (QStringList{QString::fromUtf16(tool_text::kStopQuestion),
                                  QString::fromUtf16(tool_text::kCancelled)}));
  EXPECT_EQ(op_.shown.back().icon, MessageIcon::kExclamation);
  EXPECT_TRUE(FilesIn(out).isEmpty());
  EXPECT_EQ(Find<QProgressBar>(u"PrgBar"_s)->value(), 100);
  ExpectIdle();

  // Yes once the first file is done: it stays, the second is never made.
  op_ = {};
  op_.on_events = [&] {
    if (QFile::exists(out + u"/a.wav"_s) && window_.Session().Progress().Cancel == 0 &&
        op_.shown.empty()) {
      Click(u"CmdExec"_s);
    }
  };
  op_.Answer(MessageAnswer::kYes);
  Click(u"CmdExec"_s);
  EXPECT_EQ(op_.shown.size(), 2u);
  EXPECT_EQ(FilesIn(out), QStringList{u"a.wav"_s});
  EXPECT_EQ(testing::ReadFileBytes(out + u"/a.wav"_s), ExpectedMono(Stereo16()));

  // The silent file's stop button likewise.
  op_ = {};
  Find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(1);
  Box(u"TxtMM"_s)->setText(u"60"_s);
  Box(u"TxtSS"_s)->setText(u"00"_s);
  Box(u"TxtSirent"_s)->setText(out + u"/s.wav"_s);
  op_.on_events = Once([&] { Click(u"CmdSirentExec"_s); });
  op_.Answer(MessageAnswer::kYes);
  Click(u"CmdSirentExec"_s);
  EXPECT_EQ(Texts().back(), QString::fromUtf16(tool_text::kCancelled));
  EXPECT_EQ(FilesIn(out), QStringList{u"a.wav"_s});
  ExpectIdle();
}

TEST_F(FrmToolsTest, ClosingDuringARunWaitsForItsEnd) {
  const QString in = StereoFolder(false);
  const QString out = dir_.filePath(u"out"_s);
  ASSERT_TRUE(QDir().mkpath(out));
  FolderUnit(in, out);
  // No keeps the window, and the run goes on.
  op_.on_events = Once([&] { window_.close(); });
  op_.Answer(MessageAnswer::kNo);
  Click(u"CmdExec"_s);
  EXPECT_TRUE(window_.isVisible());
  EXPECT_EQ(Texts(), (QStringList{QString::fromUtf16(tool_text::kStopQuestion), Done(2, 0, out)}));
  EXPECT_EQ(FilesIn(out).size(), 2);

  // Yes stops the run; the window is still there for the notice and goes
  // only once the run is over.
  ASSERT_TRUE(QDir(out).removeRecursively() && QDir().mkpath(out));
  op_ = {};
  bool visible_at_notice = false;
  op_.on_events = Once([&] { window_.close(); });
  op_.on_message = [&](const MessageRequest& request) {
    if (request.text == QString::fromUtf16(tool_text::kCancelled)) {
      visible_at_notice = window_.isVisible();
    }
  };
  op_.Answer(MessageAnswer::kYes);
  Click(u"CmdExec"_s);
  EXPECT_TRUE(visible_at_notice);
  EXPECT_FALSE(window_.isVisible());
  EXPECT_EQ(window_.result(), QDialog::Rejected);
  EXPECT_TRUE(FilesIn(out).isEmpty());
  EXPECT_EQ(op_.busy_depth, 0);
}

class ToolsFromWaveAddTest : public ::testing::Test {
 protected:
  std::unique_ptr<FrmWaveAdd> Open(Project& project, int mode) {
    project.settings.Mode = mode;
    DeriveSeriesLimits(project);
    VoiceRecord voice;
    voice.NAME = u"v0.wav"_s;
    voice.SEC = u"0.500"_s;
    voice.BYTES = u"100"_s;
    project.voices = {voice};
    project.VoicesRegistered = true;
    paths_.settings_file = dir_.filePath(u"settings.ini"_s);
    paths_.element_file = ResolveAppPaths().element_file;
    auto window = std::make_unique<FrmWaveAdd>(project, paths_, op_, choosers_);
    window->show();
    return window;
  }

  QTemporaryDir dir_;
  Project project_;
  AppPaths paths_;
  testing::ScriptedOperator op_;
  testing::ScriptedChoosers choosers_;
};

TEST_F(ToolsFromWaveAddTest, ToolButtonOpensTheToolsInTheWaveSeriesOnly) {
  auto wave = Open(project_, 1);
  auto* grid = wave->findChild<QTableView*>(u"FgWave"_s);
  grid->setCurrentIndex(grid->model()->index(0, 1));
  ASSERT_EQ(wave->SelectedSlot(), 0);
  auto* tool = wave->findChild<QPushButton*>(u"CmdTool"_s);
  ASSERT_TRUE(tool->isEnabled());
  bool opened = false;
  int selected_behind = -2;
  QTimer::singleShot(0, [&] {
    auto* tools = qobject_cast<FrmTools*>(QApplication::activeModalWidget());
    ASSERT_NE(tools, nullptr);
    opened = tools->isModal() && tools->parentWidget() == wave.get();
    selected_behind = wave->SelectedSlot();
    QTest::mouseClick(tools->findChild<QPushButton*>(u"CmdExit"_s), Qt::LeftButton);
  });
  // Should the window stay open against all expectation, the test fails
  // rather than hang.
  QTimer safety;
  safety.setSingleShot(true);
  QObject::connect(&safety, &QTimer::timeout, [&] {
    if (auto* tools = wave->findChild<FrmTools*>()) {
      tools->CloseWindow();
    }
  });
  safety.start(5000);
  QTest::mouseClick(tool, Qt::LeftButton);
  EXPECT_TRUE(opened);
  EXPECT_EQ(selected_behind, -1);  // the highlight went first
  EXPECT_FALSE(wave->findChild<QPushButton*>(u"CmdWave1"_s)->isEnabled());
  // The same row can be picked again.
  grid->setCurrentIndex(grid->model()->index(0, 1));
  EXPECT_EQ(wave->SelectedSlot(), 0);
  EXPECT_TRUE(op_.shown.empty());

  Project mp3_project;
  auto mp3 = Open(mp3_project, 7);
  EXPECT_FALSE(mp3->findChild<QPushButton*>(u"CmdTool"_s)->isEnabled());
}

// The third page: files of a folder made fit for the series into the output
// folder, with a summary at the end; nothing runs without files or folder.
TEST_F(FrmToolsTest, FitPageMakesChosenFilesFitTheSeries) {
  Find<QTabBar>(u"TabStrip1"_s)->setCurrentIndex(2);
  EXPECT_TRUE(Find<QWidget>(u"FrameFit"_s)->isVisible());
  Click(u"CmdFitExec"_s);
  EXPECT_EQ(Texts(), QStringList{u"変換するファイルを追加してください。"_s});
  Write(u"studio/a.wav"_s, testing::WaveOfLength(48000, 2, 16, 300));
  Write(u"studio/お知らせ.wav"_s, testing::WaveOfLength(44100, 1, 16, 200));
  choosers_.answers.push_back(dir_.filePath(u"studio"_s));
  Click(u"CmdFitFolder"_s);
  EXPECT_EQ(Find<QListWidget>(u"LstFitSources"_s)->count(), 2);
  Box(u"TxtFitOutput"_s)->setText(dir_.filePath(u"fitted"_s));
  op_ = {};
  Click(u"CmdFitExec"_s);
  EXPECT_EQ(Texts(), QStringList{u"2 / 2 ファイルを変換しました。"_s});
  EXPECT_EQ(FilesIn(dir_.filePath(u"fitted"_s)), (QStringList{u"VOICE001.wav"_s, u"a.wav"_s}));
  EXPECT_EQ(Text(u"CmdFitExec"_s), u"変換実行"_s);
  EXPECT_TRUE(Find<QWidget>(u"TabStrip1"_s)->isEnabled());
}

}  // namespace
}  // namespace parlatone
