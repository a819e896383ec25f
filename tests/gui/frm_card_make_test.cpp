#include "gui/frm_card_make.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <functional>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "gui/frm_main.h"
#include "gui/frm_progress.h"
#include "support/gui2_window_test.h"
#include "support/gui_modal.h"
#include "support/sound_fixtures.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::Click;
using testing::Find;

// The scripted operator, with a look at the windows while the card making
// pauses (the progress window is up then).
class WatchingOperator : public testing::ScriptedOperator {
 public:
  std::function<void()> on_pause;
  void Pause(int milliseconds) override {
    if (on_pause && milliseconds == 800) {
      on_pause();
    }
    ScriptedOperator::Pause(milliseconds);
  }
};

class FrmCardMakeTest : public testing::WindowTest<WatchingOperator> {
 protected:
  void SetUp() override {
    paths_.work_folder = dir_.filePath(u"work"_s);
    UseMode(1);
  }
  void UseMode(int mode) {
    UseSeries(mode);
    project_.settings.CardPath = dir_.filePath(u"cards"_s);
    ASSERT_TRUE(QDir().mkpath(project_.settings.CardPath));
    project_.voices.clear();
    for (const QString& name : {u"a01"_s, u"a02"_s}) {
      VoiceRecord voice;
      voice.NAME = name + (IsMp3Series(mode) ? u".mp3"_s : u".wav"_s);
      voice.FilePath = dir_.filePath(u"sounds/"_s + voice.NAME);
      ASSERT_TRUE(testing::WriteBytes(voice.FilePath, testing::WaveOfLength(22050, 1, 16, 100)));
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
  }
  std::unique_ptr<FrmCardMake> Open() { return WindowTest::Open<FrmCardMake>(); }
};

// CARD opens the window over the project: the fields and sizes, a bad list
// index shows no choice, and a list choice is no edit (closing asks nothing
// and keeps the fields out). The closing question opens it too.
TEST_F(FrmCardMakeTest, MainWindowOpensItFromCardAndFromTheClosingQuestion) {
  project_.card.TpMd = u"9"_s;       // beyond the list
  project_.card.RecBaitai = u"x"_s;  // not a number
  FrmMain main_window(project_, paths_, op_, choosers_);
  main_window.show();
  project_.programs[0].Voice[0] = project_.voices[0].NAME;  // the window starts with reset channels
  ::testing::OnModal<FrmCardMake>([&](FrmCardMake& card) {
    EXPECT_EQ(Find<QLineEdit>(card, u"TxtForder"_s)->text(), u"駅前"_s);
    EXPECT_EQ(Find<QComboBox>(card, u"CmbCardSize"_s)->currentText(), u"16MB"_s);
    EXPECT_EQ(Find<QComboBox>(card, u"CmbTpMd"_s)->currentIndex(), -1);
    EXPECT_EQ(Find<QComboBox>(card, u"CmbRecBaitai"_s)->currentIndex(), -1);
    EXPECT_EQ(Find<QLabel>(card, u"LblUseSize"_s)->text(), u"8MB"_s);
    EXPECT_EQ(Find<QLabel>(card, u"LblMemorySize"_s)->text(),
              QString::number(2 * testing::WaveOfLength(22050, 1, 16, 100).size()) + u"バイト"_s);
    EXPECT_FALSE(Find<QLineEdit>(card, u"TxtCardName"_s)->testAttribute(Qt::WA_InputMethodEnabled));
    Find<QComboBox>(card, u"CmbCardBaitai"_s)->setCurrentIndex(2);
    Click(card, u"CmdClose"_s);
  });
  main_window.findChild<QAction*>(u"CARD"_s)->trigger();
  EXPECT_FALSE(project_.IsEdited());
  EXPECT_TRUE(op_.shown.empty());
  EXPECT_TRUE(project_.card.CardBaitai.isEmpty());

  project_.PageEdited[0] = true;
  op_.Answer(MessageAnswer::kYes);
  EXPECT_FALSE(main_window.close());
  bool opened = false;
  ::testing::OnModal<FrmCardMake>([&](FrmCardMake& card) {
    opened = true;
    Click(card, u"CmdClose"_s);
  });
  QTest::qWait(50);  // the card data window opens once the close was refused
  EXPECT_TRUE(opened && main_window.isVisible());
}

// A refused field: its page comes up, the field focused and its text selected.
TEST_F(FrmCardMakeTest, EachCheckFailureLandsOnItsPageAndField) {
  const struct {
    const char16_t* field;
    QString text;
    int message;
    int page;
  } cases[] = {{u"TxtCardName", u"ABCDEFGHI"_s, 2061, 0},
               {u"TxtRecAna", QString(41, QChar(u'a')), 2066, 1},
               {u"TxtMemo3", QString(101, QChar(u'文')), 2073, 2},
               {u"CmbCardSize", QString(), 2069, 0}};
  const CardInfo complete = project_.card;
  for (const auto& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.field).toStdString());
    project_.card = complete;  // the failed attempt stored its fields
    op_ = {};
    auto window = Open();
    window->ShowPage(2 - c.page);  // start elsewhere: the check must move the page
    QWidget* field = Find<QWidget>(*window, QString::fromUtf16(c.field));
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
      edit->setText(c.text);
      edit->setCursorPosition(0);
    } else {
      qobject_cast<QComboBox*>(field)->setCurrentIndex(-1);
    }
    Click(*window, u"CmdCardMake"_s);
    EXPECT_EQ(op_.Numbers(), std::vector<int>{c.message});
    EXPECT_EQ(window->CurrentPage(), c.page);
    EXPECT_EQ(window->focusWidget(), field);
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
      EXPECT_EQ(edit->selectedText(), c.text);
    }
    EXPECT_TRUE(window->isVisible() && window->isEnabled());
    EXPECT_TRUE(QDir(project_.settings.CardPath).isEmpty());
  }
}

// Typing starts in the first field and marks the main window's page; the
// temporary save takes the typed fields, tells the operator and clears the
// change flags; a cancelled chooser does nothing.
TEST_F(FrmCardMakeTest, TemporarySaveTakesTheFieldsAndClearsTheFlags) {
  project_.PageEdited[1] = true;
  project_.CurrentPage = 2;
  auto window = Open();
  EXPECT_EQ(window->focusWidget(), Find<QLineEdit>(*window, u"TxtCardName"_s));
  QTest::keyClicks(Find<QLineEdit>(*window, u"TxtCardName"_s), u"X"_s);  // replaces the name
  EXPECT_TRUE(project_.PageEdited[2] && !project_.PageEdited[0]);
  Find<QLineEdit>(*window, u"TxtRecStdio"_s)->setText(u"第一スタジオ"_s);
  Find<QComboBox>(*window, u"CmbTpMd"_s)->setCurrentIndex(1);
  choosers_.answers = {dir_.filePath(u"keep.wpg"_s), QString()};
  Click(*window, u"CmdSave"_s);
  EXPECT_EQ(choosers_.last_filter.description, u"ParlatoneEditorファイル(*.wpg)"_s);
  EXPECT_EQ(choosers_.last_title, u"一時保存ファイルの保存"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2051});
  EXPECT_EQ(op_.pauses, std::vector<int>{800});
  EXPECT_FALSE(project_.IsEdited());
  EXPECT_EQ(project_.card.CardName + project_.card.RecStdio + project_.card.TpMd,
            u"X第一スタジオ1"_s);
  EXPECT_TRUE(QFile::exists(dir_.filePath(u"keep.wpg"_s)));
  Click(*window, u"CmdSave"_s);
  EXPECT_EQ(op_.shown.size(), 1u);
  EXPECT_TRUE(window->isVisible());
  paths_.element_file = dir_.filePath(u"missing.elm"_s);  // no lists: the window still opens
  EXPECT_EQ(Find<QComboBox>(*Open(), u"CmbCardSize"_s)->count(), 0);
}

// The progress window, which cannot be closed, holds the window off while
// the card is made; then the series' notice and the card writer's button.
TEST_F(FrmCardMakeTest, MakingTheCardShowsProgressThenTheNotice) {
  for (int mode : {1, 7}) {
    SCOPED_TRACE(mode);
    UseMode(mode);
    op_ = {};
    project_.PageEdited[3] = true;
    auto window = Open();
    EXPECT_EQ(Find<QGroupBox>(*window, u"FrameWave"_s)->title(),
              mode == 7 ? u"mp3情報"_s : u"WAVE情報"_s);
    bool progress_seen = false;
    op_.on_pause = [&] {
      auto* progress = window->findChild<FrmProgress*>(u"FrmProgress"_s);
      if (progress == nullptr) {
        ADD_FAILURE() << "no progress window";
        return;
      }
      EXPECT_TRUE(progress->isVisible());
      EXPECT_FALSE(progress->windowFlags() & Qt::WindowCloseButtonHint);
      EXPECT_FALSE(progress->close());
      EXPECT_FALSE(window->isEnabled());
      progress_seen = true;
    };
    Click(*window, u"CmdCardMake"_s);
    EXPECT_TRUE(progress_seen);
    EXPECT_EQ(op_.Numbers(), (std::vector<int>{2030, mode == 7 ? 2053 : 2035}));
    EXPECT_TRUE(QFile::exists(project_.settings.CardPath + u"/駅前/ANN01."_s +
                              (mode == 7 ? u"zpx"_s : u"wpj"_s)));
    EXPECT_TRUE(Find<QPushButton>(*window, u"CmdCardWrite"_s)->isEnabled());
    EXPECT_FALSE(project_.IsEdited());
    EXPECT_TRUE(window->isEnabled() && window->isVisible());
    const auto* progress = window->findChild<FrmProgress*>();
    EXPECT_TRUE(progress == nullptr || !progress->isVisible());
    QDir(project_.settings.CardPath).removeRecursively();
    QDir().mkpath(project_.settings.CardPath);
  }
  // A card folder gone since the settings: the window closes.
  project_.settings.CardPath = dir_.filePath(u"gone"_s);
  op_ = {};
  auto window = Open();
  Click(*window, u"CmdCardMake"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2082});
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace parlatone
