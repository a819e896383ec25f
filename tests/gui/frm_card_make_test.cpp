#include "gui/frm_card_make.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

#include "controlfile/control_file_loader.h"
#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "gui/frm_main.h"
#include "gui/frm_progress.h"
#include "support/qt_printers.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

// The scripted operator, with a look at the windows while the card making
// pauses (the progress window is up then).
class WatchingOperator : public testing::ScriptedOperator {
 public:
  std::function<void(int)> on_pause;
  void Pause(int milliseconds) override {
    if (on_pause) {
      on_pause(milliseconds);
    }
    ScriptedOperator::Pause(milliseconds);
  }
};

class FrmCardMakeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    paths_.element_file = ResolveAppPaths().element_file;
    paths_.settings_file = dir_.filePath(u"settings.ini"_s);
    paths_.work_folder = dir_.filePath(u"work"_s);
    card_path_ = dir_.filePath(u"cards"_s);
    ASSERT_TRUE(QDir().mkpath(card_path_));
    UseMode(1);
  }
  void UseMode(int mode) {
    project_.voices.clear();
    project_.settings.Mode = mode;
    project_.settings.CardPath = card_path_;
    DeriveSeriesLimits(project_);
    const QString extension = IsMp3Series(mode) ? u"mp3"_s : u"wav"_s;
    for (int i = 1; i <= 2; ++i) {
      VoiceRecord voice;
      voice.NAME = u"a0%1."_s.arg(i) + extension;
      voice.FilePath = dir_.filePath(u"sounds/"_s + voice.NAME);
      ASSERT_TRUE(testing::WriteBytes(voice.FilePath, testing::WaveOfLength(22050, 1, 16, 100)));
      voice.SEC = u"0.100"_s;
      project_.voices.append(voice);
    }
    project_.VoicesRegistered = true;
    project_.programs[0].Voice[0] = project_.voices[0].NAME;
    CardInfo& card = project_.card;
    card.CardName = u"ANN01"_s;
    card.Forder = u"駅前"_s;
    card.Model = u"QDX"_s;
    card.CardSize = u"1"_s;
    card.CardCom = u"会社"_s;
    card.CardPerson = u"担当"_s;
    card.CardDate = u"2026/12/06"_s;
    card.Memo[0] = u"試験"_s;
  }
  std::unique_ptr<FrmCardMake> Open() {
    auto window = std::make_unique<FrmCardMake>(project_, paths_, op_, choosers_);
    window->show();
    return window;
  }
  template <typename T>
  static T* Find(FrmCardMake& window, const QString& name) {
    T* found = window.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
  }
  static void Click(FrmCardMake& window, const QString& button) {
    QTest::mouseClick(Find<QPushButton>(window, button), Qt::LeftButton);
  }

  QTemporaryDir dir_;
  QString card_path_;
  AppPaths paths_;
  Project project_;
  WatchingOperator op_;
  testing::ScriptedChoosers choosers_;
};

TEST_F(FrmCardMakeTest, OpensWithTheProjectAndMarksOnlyTypedChanges) {
  auto window = Open();
  EXPECT_EQ(window->windowTitle(), GetMessage(1001));
  EXPECT_EQ(Find<QLineEdit>(*window, u"TxtForder"_s)->text(), u"駅前"_s);
  EXPECT_EQ(Find<QLineEdit>(*window, u"TxtMemo1"_s)->text(), u"試験"_s);
  EXPECT_EQ(Find<QComboBox>(*window, u"CmbCardSize"_s)->currentText(), u"16MB"_s);
  EXPECT_EQ(Find<QComboBox>(*window, u"CmbTpMd"_s)->currentIndex(), -1);  // nothing stored
  EXPECT_EQ(Find<QLabel>(*window, u"LblUseSize"_s)->text(), u"8MB"_s);
  const qint64 bytes = 2 * testing::WaveOfLength(22050, 1, 16, 100).size();
  EXPECT_EQ(Find<QLabel>(*window, u"LblMemorySize"_s)->text(),
            QString::number(bytes) + u"バイト"_s);
  EXPECT_EQ(Find<QGroupBox>(*window, u"FrameWave"_s)->title(), u"WAVE情報"_s);
  EXPECT_EQ(Find<QLabel>(*window, u"lblWave"_s)->text(), u"WAVE記録媒体名"_s);
  EXPECT_EQ(window->findChildren<QLineEdit*>().size(), 22);

  // A list choice is not an edit; closing asks nothing and keeps the fields out.
  Find<QComboBox>(*window, u"CmbCardBaitai"_s)->setCurrentIndex(2);
  Click(*window, u"CmdClose"_s);
  EXPECT_FALSE(project_.IsEdited());
  EXPECT_TRUE(op_.shown.empty());
  EXPECT_TRUE(project_.card.CardBaitai.isEmpty());

  // Typing into a field marks the main window's current page.
  project_.CurrentPage = 2;
  auto again = Open();
  QLineEdit* model = Find<QLineEdit>(*again, u"TxtModel"_s);
  model->setFocus();
  QTest::keyClicks(model, u"X"_s);
  EXPECT_TRUE(project_.PageEdited[2]);
  EXPECT_FALSE(project_.PageEdited[0]);
}

TEST_F(FrmCardMakeTest, CardNameFallsBackAndListsSurviveBadIndexes) {
  project_.card.CardName.clear();
  project_.card.CardSize.clear();  // the size class of the current total
  project_.settings.CardName = u"DEFAULT"_s;
  project_.card.TpMd = u"9"_s;       // beyond the list
  project_.card.RecBaitai = u"x"_s;  // not a number
  auto window = Open();
  EXPECT_EQ(Find<QLineEdit>(*window, u"TxtCardName"_s)->text(), u"DEFAULT"_s);
  EXPECT_EQ(Find<QComboBox>(*window, u"CmbCardSize"_s)->currentText(), u"8MB"_s);
  EXPECT_EQ(Find<QComboBox>(*window, u"CmbTpMd"_s)->currentIndex(), -1);
  EXPECT_EQ(Find<QComboBox>(*window, u"CmbRecBaitai"_s)->currentIndex(), -1);
  // The half-width name takes no composed (Japanese) input.
  EXPECT_FALSE(
      Find<QLineEdit>(*window, u"TxtCardName"_s)->testAttribute(Qt::WA_InputMethodEnabled));
  EXPECT_FALSE(project_.IsEdited());

  // An element file without the lists: the window still opens, lists empty.
  paths_.element_file = dir_.filePath(u"missing.elm"_s);
  auto bare = Open();
  EXPECT_EQ(Find<QComboBox>(*bare, u"CmbCardSize"_s)->count(), 0);
  EXPECT_EQ(Find<QComboBox>(*bare, u"CmbCardSize"_s)->currentIndex(), -1);
}

TEST_F(FrmCardMakeTest, EachCheckFailureLandsOnItsPageAndField) {
  struct Case {
    const char16_t* field;
    QString text;
    int message;
    int page;
  };
  const Case cases[] = {
      {u"TxtCardName", QString(), 2060, 0},
      {u"TxtCardName", u"ABCDEFGHI"_s, 2061, 0},
      {u"TxtCardName", u"案"_s, 2062, 0},
      {u"TxtCardName", u"A-B"_s, 0, 0},  // the composed forbidden-character text
      {u"TxtForder", QString(21, QChar(u'駅')), 2066, 0},
      {u"TxtModel", QString(), 2083, 0},
      {u"TxtCardDate", QString(21, QChar(u'1')), 2067, 0},
      {u"TxtRecAna", QString(41, QChar(u'a')), 2066, 1},
      {u"TxtWaveDate", QString(11, QChar(u'日')), 2067, 1},
      {u"TxtCardBaitai", QString(29, QChar(u'm')), 2072, 2},
      {u"TxtMemo3", QString(101, QChar(u'文')), 2073, 2},
  };
  const CardInfo complete = project_.card;
  for (const Case& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.field).toStdString());
    project_.card = complete;  // the failed attempt stored its fields
    op_ = {};
    auto window = Open();
    window->ShowPage(2 - c.page);  // start elsewhere: the check must move the page
    QLineEdit* edit = Find<QLineEdit>(*window, QString::fromUtf16(c.field));
    edit->setText(c.text);
    edit->setCursorPosition(0);
    Click(*window, u"CmdCardMake"_s);
    ASSERT_EQ(op_.Numbers(), std::vector<int>{c.message});
    EXPECT_EQ(op_.shown[0].icon, MessageIcon::kExclamation);
    EXPECT_EQ(window->CurrentPage(), c.page);
    EXPECT_EQ(window->focusWidget(), edit);
    EXPECT_EQ(edit->selectedText(), c.text);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(QDir(card_path_).isEmpty());
  }
  // The card capacity list takes the focus itself.
  op_ = {};
  auto window = Open();
  window->ShowPage(2);
  Find<QComboBox>(*window, u"CmbCardSize"_s)->setCurrentIndex(-1);
  Click(*window, u"CmdCardMake"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2069});
  EXPECT_EQ(window->CurrentPage(), 0);
  EXPECT_EQ(window->focusWidget(), Find<QComboBox>(*window, u"CmbCardSize"_s));
}

TEST_F(FrmCardMakeTest, TemporarySaveLoadsBackIntoTheSameProject) {
  project_.PageEdited[1] = true;
  // WavePath holds none of the voices, nor does the save's folder: the save
  // still loads again with every voice.
  project_.settings.WavePath = dir_.filePath(u"elsewhere"_s);
  const QString path = dir_.filePath(u"saves/keep.wpg"_s);
  ASSERT_TRUE(QDir().mkpath(dir_.filePath(u"saves"_s)));
  auto window = Open();
  // Typing starts in the first field.
  EXPECT_EQ(window->focusWidget(), Find<QLineEdit>(*window, u"TxtCardName"_s));
  Find<QLineEdit>(*window, u"TxtRecStdio"_s)->setText(u"第一スタジオ"_s);
  Find<QComboBox>(*window, u"CmbTpMd"_s)->setCurrentIndex(1);
  choosers_.answers.push_back(path);
  Click(*window, u"CmdSave"_s);
  EXPECT_EQ(choosers_.last_filter.description, u"ParlatoneEditorファイル(*.wpg)"_s);
  EXPECT_EQ(choosers_.last_title, u"一時保存ファイルの保存"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2051});
  EXPECT_EQ(op_.pauses, std::vector<int>{800});
  EXPECT_FALSE(project_.IsEdited());
  EXPECT_TRUE(window->isVisible());

  Project loaded;
  loaded.settings = project_.settings;
  DeriveSeriesLimits(loaded);
  testing::ScriptedOperator load_op;
  ASSERT_TRUE(LoadWpjFile(loaded, path, load_op));
  EXPECT_EQ(loaded.card, project_.card);
  EXPECT_EQ(loaded.card.RecStdio, u"第一スタジオ"_s);
  EXPECT_EQ(loaded.card.TpMd, u"1"_s);
  EXPECT_EQ(loaded.programs[0].Voice[0], u"a01.wav"_s);
  ASSERT_EQ(loaded.voices.size(), 2);
  EXPECT_EQ(loaded.voices[1].FilePath, project_.voices[1].FilePath);

  // A save that cannot be written keeps the flags.
  project_.PageEdited[0] = true;
  op_ = {};
  choosers_.answers.push_back(dir_.filePath(u"no/such/folder/keep.wpg"_s));
  Click(*window, u"CmdSave"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2511});
  EXPECT_EQ(op_.shown[0].title_number, 2500);
  EXPECT_TRUE(project_.PageEdited[0]);

  // Cancelling the chooser does nothing.
  op_ = {};
  choosers_.answers.push_back(QString());
  Click(*window, u"CmdSave"_s);
  EXPECT_TRUE(op_.shown.empty());
}

TEST_F(FrmCardMakeTest, MakingTheCardShowsProgressThenTheNotice) {
  project_.PageEdited[3] = true;
  auto window = Open();
  bool progress_seen = false;
  op_.on_pause = [&](int milliseconds) {
    if (milliseconds != 800) {
      return;
    }
    auto* progress = window->findChild<FrmProgress*>(u"FrmProgress"_s);
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_EQ(progress->windowTitle(), GetMessage(2038));
    EXPECT_FALSE(progress->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(progress->findChild<QProgressBar*>(u"PrgBar"_s)->maximum(), 6);
    EXPECT_EQ(progress->findChild<QLabel*>(u"LblProgress"_s)->text(),
              GetMessage(2027) + u"ANN01.wpj"_s);
    EXPECT_FALSE(window->isEnabled());
    EXPECT_FALSE(progress->close());  // the operator cannot close it
    progress_seen = true;
  };
  Click(*window, u"CmdCardMake"_s);
  EXPECT_TRUE(progress_seen);
  const QString target = card_path_ + u"/駅前"_s;
  ASSERT_EQ(op_.Numbers(), (std::vector<int>{2030, 2035}));
  // The folder on a line of its own, then where the card gets written.
  EXPECT_TRUE(op_.shown[1].text.contains(u"\n"_s + target + u"\r\n\r\n"_s));
  EXPECT_TRUE(op_.shown[1].text.endsWith(u"［カードへ書込み］ボタンで行えます。"_s));
  EXPECT_TRUE(Find<QPushButton>(*window, u"CmdCardWrite"_s)->isEnabled());
  EXPECT_EQ(QDir(target).entryList(QDir::Files, QDir::Name),
            (QStringList{u"ANN01.wpj"_s, u"a01.wav"_s, u"a02.wav"_s}));
  EXPECT_FALSE(project_.IsEdited());
  EXPECT_TRUE(window->isEnabled());
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->findChild<FrmProgress*>(u"FrmProgress"_s) &&
               window->findChild<FrmProgress*>(u"FrmProgress"_s)->isVisible());

  // The second run into the same folder asks before replacing it.
  op_ = {};
  op_.on_pause = nullptr;
  op_.Answer(MessageAnswer::kYes);
  Click(*window, u"CmdCardMake"_s);
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2030, 2031, 2035}));
}

TEST_F(FrmCardMakeTest, Mp3SeriesCaptionsAndNotice) {
  UseMode(7);
  auto window = Open();
  EXPECT_EQ(Find<QGroupBox>(*window, u"FrameWave"_s)->title(), u"mp3情報"_s);
  EXPECT_EQ(Find<QLabel>(*window, u"lblWave"_s)->text(), u"mp3記録媒体名"_s);
  EXPECT_EQ(Find<QComboBox>(*window, u"CmbCardSize"_s)->currentIndex(), 1);  // as stored
  Click(*window, u"CmdCardMake"_s);
  ASSERT_EQ(op_.Numbers(), (std::vector<int>{2030, 2053}));
  EXPECT_TRUE(op_.shown[1].text.contains(card_path_ + u"/駅前\r\n"_s));
  EXPECT_TRUE(QFile::exists(card_path_ + u"/駅前/ANN01.zpx"_s));
}

TEST_F(FrmCardMakeTest, MissingCardFolderClosesTheWindow) {
  project_.settings.CardPath = dir_.filePath(u"gone"_s);
  auto window = Open();
  Click(*window, u"CmdCardMake"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2082});
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(QDir(dir_.filePath(u"gone"_s)).exists());
}

TEST_F(FrmCardMakeTest, MainWindowOpensItFromCardAndFromTheClosingQuestion) {
  FrmMain main_window(project_, paths_, op_, choosers_);
  main_window.show();
  project_.programs[0].Voice[0] = project_.voices[0].NAME;  // the window starts with reset channels
  int opened = 0;
  const auto close_when_open = [&] {
    QTimer::singleShot(0, [&] {
      auto* card = main_window.findChild<FrmCardMake*>(u"FrmCardMake"_s);
      ASSERT_NE(card, nullptr);
      ++opened;
      QTest::mouseClick(card->findChild<QPushButton*>(u"CmdClose"_s), Qt::LeftButton);
    });
  };
  close_when_open();
  main_window.findChild<QAction*>(u"CARD"_s)->trigger();
  EXPECT_EQ(opened, 1);

  project_.PageEdited[0] = true;
  op_.Answer(MessageAnswer::kYes);
  EXPECT_FALSE(main_window.close());
  close_when_open();
  QTest::qWait(50);  // the card data window opens once the close was refused
  EXPECT_EQ(opened, 2);
  EXPECT_TRUE(main_window.isVisible());
}

}  // namespace
}  // namespace parlatone
