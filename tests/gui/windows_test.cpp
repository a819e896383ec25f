// SPDX-License-Identifier: GPL-3.0-or-later
// What the editor's secondary windows add to the cores they drive.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "core/messages.h"
#include "core/series.h"
#include "core/settings.h"
#include "gui/choosers.h"
#include "gui/frm_card_make.h"
#include "gui/frm_card_write.h"
#include "gui/frm_guide.h"
#include "gui/frm_main.h"
#include "gui/frm_play.h"
#include "gui/frm_print.h"
#include "gui/frm_progress.h"
#include "gui/frm_record.h"
#include "gui/frm_seting.h"
#include "gui/frm_text.h"
#include "gui/frm_tools.h"
#include "gui/frm_wave_add.h"
#include "gui/gui_operator.h"
#include "gui/levels_feeder.h"
#include "gui/voice_list_model.h"
#include "gui/waveform_view.h"
#include "gui/window_helpers.h"
#include "settings/text_document.h"
#include "sound/media.h"
#include "sound/sdl_backend.h"
#include "support/card_project.h"
#include "support/gui_modal.h"
#include "support/listed_cards.h"
#include "support/qt_printers.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "support/sound_fixtures.h"
#include "support/temp_env.h"
#include "voices/registration_session.h"

namespace parlatone {

namespace {

using namespace Qt::StringLiterals;

using ::testing::Click;
using ::testing::Find;

// A window over a project of its own, its settings file in a temporary folder.
template <typename Op = testing::ScriptedOperator>
class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    paths_.settings_file = dir_.filePath(u"settings.ini"_s);
    paths_.element_file = ResolveAppPaths().element_file;
  }
  void UseSeries(int mode) { testing::UseSeries(project_, mode); }
  template <typename W>
  std::unique_ptr<W> Open() {
    auto window = std::make_unique<W>(WindowContext{project_, paths_, op_, choosers_});
    for (auto* model : window->template findChildren<QAbstractTableModel*>()) {
      new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Fatal,
                                   window.get());
    }
    window->show();
    return window;
  }

  QTemporaryDir dir_;
  Project project_;
  AppPaths paths_;
  Op op_;
  testing::ScriptedChoosers choosers_;
};

TEST(Choosers, SaveExtensionMustMatch) {
  testing::ScriptedOperator op;
  EXPECT_EQ(CheckSaveExtension(u"/cards/TMP.WPG"_s, u"wpg"_s, op), u"/cards/TMP.WPG"_s);
  EXPECT_EQ(CheckSaveExtension(u"/cards/TMP"_s, u"mpi"_s, op), u"/cards/TMP.mpi"_s);
  EXPECT_TRUE(op.shown.empty());
  // The wrong extension is refused with the message that names wpj in every series.
  EXPECT_EQ(CheckSaveExtension(u"/cards/TMP.wpg"_s, u"mpi"_s, op), QString());
  EXPECT_EQ(op.Numbers(), std::vector<int>{2050});
}

// Each kind of file opens where one of its kind was last chosen, in a later run too; a kind with
// none yet, or whose folder is gone, opens where the window asks (the card folder).
TEST(Choosers, EachKindOfFileOpensWhereOneWasLastChosen) {
  QTemporaryDir dir;
  const QString card = dir.filePath(u"cards"_s);
  const QString settings_file = dir.filePath(u"settings.ini"_s);
  // Sounds by the many-files chooser, control files by the open, PDF by the save chooser.
  const FileFilter filters[] = {
      {u"Sound"_s, u"*.wav;*.mp3"_s}, ProjectOpenFilter(1), {u"PDF"_s, u"*.pdf"_s}};
  const QString folders[] = {dir.filePath(u"音声"_s), dir.filePath(u"駅"_s),
                             dir.filePath(u"pdf"_s)};
  for (const QString& folder : {card, folders[0], folders[1], folders[2]}) {
    ASSERT_TRUE(QDir().mkpath(folder));
  }
  testing::ScriptedChoosers dialogs;
  // Where the chooser of kind k opened; `chosen` answers it, empty cancels.
  const auto opens_in = [&](Choosers& choosers, int k, const QString& chosen) {
    dialogs.selections = {chosen.isEmpty() ? QStringList() : QStringList{chosen}};
    dialogs.answers = {chosen};
    if (k == 0) {
      choosers.ChooseOpenFiles(nullptr, filters[k], card, u"t"_s);
    } else if (k == 1) {
      choosers.ChooseOpenFile(nullptr, filters[k], card, u"t"_s);
    } else {
      choosers.ChooseSaveFile(nullptr, filters[k], card, u"A.pdf"_s, u"pdf"_s, u"t"_s);
      EXPECT_EQ(dialogs.last_proposed_name, u"A.pdf"_s);
    }
    return dialogs.last_folder;
  };
  Settings settings;
  FolderKeepingChoosers choosers(dialogs, settings, settings_file);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(opens_in(choosers, k, {}), card) << k;
    opens_in(choosers, k, folders[k] + u"/x"_s);
  }
  Settings later = ReadSettings(settings_file);
  FolderKeepingChoosers next_run(dialogs, later, settings_file);
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(opens_in(next_run, k, {}), folders[k]) << k;
  }
  // A folder the Shift-JIS file cannot spell is not kept; a gone one is not opened.
  const QString unspellable = dir.filePath(u"café"_s);
  ASSERT_TRUE(QDir().mkpath(unspellable));
  opens_in(next_run, 0, unspellable + u"/x.wav"_s);
  EXPECT_EQ(ReadSettings(settings_file).LastFolders[0], folders[0]);
  ASSERT_TRUE(QDir(folders[2]).removeRecursively());
  EXPECT_EQ(opens_in(next_run, 2, {}), card);
  // A box that holds a file already opens on that file.
  dialogs.answers = {QString()};
  next_run.ChooseFileName(nullptr, filters[0], card + u"/old.wav"_s, u"t"_s);
  EXPECT_EQ(dialogs.last_folder, card + u"/old.wav"_s);
}

// Every message of the table keeps its own lines whole in the editor's font, in a box that fits
// a 1024x768 screen: Japanese lines would otherwise break in the middle of a word.
TEST(GuiOperator, MessageBoxesBreakLinesOnlyWhereTheTextDoes) {
  const QFont font = QApplication::font();
  QApplication::setFont(EditorFont());
  GuiOperator op;
  for (const auto& [number, text] : MessageTable()) {
    ::testing::OnModal<QMessageBox>([&, number = number, text = text](QMessageBox& box) {
      auto* label = Find<QLabel>(box, u"qt_msgbox_label"_s);
      if (label == nullptr) {
        QTest::keyClick(&box, Qt::Key_Return);
        return;
      }
      const QFontMetrics metrics(label->font());
      const int room =
          label->contentsRect().width() - 2 * label->margin() - std::max(label->indent(), 0);
      const QStringList lines = text.split(QRegularExpression(u"\r\n|\r|\n"_s));
      for (const QString& line : lines) {
        EXPECT_LE(metrics.horizontalAdvance(line), room) << number << ": " << line.toStdString();
      }
      // No line wrapped: one more line would make the text taller.
      EXPECT_LT(label->heightForWidth(label->width()),
                static_cast<int>(lines.size() + 1) * metrics.lineSpacing())
          << number;
      EXPECT_TRUE(box.frameGeometry().width() <= 1024 && box.frameGeometry().height() <= 768)
          << number;
      QTest::keyClick(&box, Qt::Key_Return);
    });
    ShowText(op, text, msg::kTitleConfirm, MessageIcon::kQuestion);
  }
  QApplication::setFont(font);
  // Enter presses the default button: No where Yes throws work away.
  for (const bool discarding : {true, false}) {
    QString default_text;
    ::testing::OnModal<QMessageBox>([&](QMessageBox& box) {
      default_text = box.defaultButton() != nullptr ? box.defaultButton()->text() : QString();
      QTest::keyClick(&box, Qt::Key_Return);
    });
    const MessageAnswer answer = discarding
                                     ? AskBeforeDiscarding(op, 2052)
                                     : ShowMessage(op, 2046, msg::kTitleConfirm,
                                                   MessageIcon::kQuestion, MessageButtons::kYesNo);
    EXPECT_EQ(answer, discarding ? MessageAnswer::kNo : MessageAnswer::kYes);
    EXPECT_EQ(default_text, discarding ? u"いいえ(&N)"_s : u"はい(&Y)"_s);
  }
}

// On the real sound layer, whose functions must outlive its backend at exit: a
// click on the waveform plays from there; Stop closes at once; closed before
// playing could start (Escape typed ahead), it leaves no sound open.
TEST(FrmPlayTest, WaveformSeeksOnAClickStopClosesAtOnceAndSoDoesAnEarlyClose) {
  UseSoundBackend(MakeSdlSoundBackend());
  QTemporaryDir dir;
  WorkingVoiceList list{255};
  list[0].NAME = u"v0.wav"_s;
  list[0].FilePath = dir.filePath(u"long.wav"_s);
  ASSERT_TRUE(testing::WriteBytes(list[0].FilePath, testing::SineWave(22050, 8000, 0.5)));
  LevelsFeeder feeder(QString{});
  FrmPlay dialog(list, 1, nullptr, &feeder);
  auto* wave = Find<WaveformView>(dialog, u"PicWave"_s);
  ASSERT_NE(wave, nullptr);
  int steps = 0;  // both steps ran before the dialog closed
  QTimer::singleShot(400, &dialog, [&] {
    ++steps;
    // The outline is drawn across the middle line once the levels are known.
    const QImage drawn = wave->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(drawn.width() * 3 / 4, drawn.height() / 2), QColor(40, 100, 170));
    EXPECT_EQ(TheMediaLayer().OpenCount(), 1);
    QTest::mouseClick(wave, Qt::LeftButton, {}, QPoint(wave->width() * 3 / 4, wave->height() / 2));
  });
  QTimer::singleShot(700, &dialog, [&] {
    const double played = ::testing::DrawnPlayPoint(*wave, 1, wave->width() - 2);
    EXPECT_TRUE(played >= 0.74 && played < 0.9) << played;
    ++steps;
    Click(dialog, u"CmdStop"_s);
  });
  QElapsedTimer timer;
  timer.start();
  dialog.Play(0, true, false);
  EXPECT_EQ(steps, 2);
  EXPECT_LT(timer.elapsed(), 2000);
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
  FrmPlay early(list, 1);
  QTimer::singleShot(0, &early, [&] { early.reject(); });
  early.Play(0, true, false);
  QTest::qWait(50);
  EXPECT_EQ(TheMediaLayer().OpenCount(), 0);
}

TEST(FrmCardWrite, ListsTheCardsWritesTheUsableOneAndTakesItOut) {
  QTemporaryDir dir;
  const QString card = dir.filePath(u"CARD"_s);
  ASSERT_TRUE(testing::WriteBytes(card + u"/C.wpj"_s, "#2\r\n0,a.wav\r\n"));
  ASSERT_TRUE(testing::WriteBytes(card + u"/a.wav"_s, testing::WaveOfLength(22050, 1, 16, 100)));
  testing::ListedCards probe;  // a FAT32 card the devices cannot read, and a FAT16 one
  testing::ScriptedOperator op;
  testing::ScriptedChoosers choosers;
  FrmCardWrite window(card, probe, op, choosers);
  window.show();
  auto* none = Find<QLabel>(window, u"LblResult"_s);
  EXPECT_TRUE(none->text().startsWith(u"カードが見つかりません。"_s));
  for (const auto& [name, filesystem] : {std::pair{u"big"_s, u"FAT32"_s}, {u"sd"_s, u"FAT16"_s}}) {
    VolumeInfo volume;
    volume.mount_point = dir.filePath(name);
    volume.filesystem = filesystem;
    volume.cluster_bytes = 2048;
    volume.free_bytes = volume.total_bytes = filesystem == u"FAT32"_s ? 1024 : 32 << 20;
    volume.read_only = filesystem == u"FAT32"_s;
    volume.removable = volume.found = true;
    QDir().mkpath(volume.mount_point);
    probe.volumes << volume;
  }
  Click(window, u"CmdRefresh"_s);
  EXPECT_TRUE(none->text().isEmpty());  // cards are listed, refused or not
  auto* grid = Find<QTableWidget>(window, u"GrdVolumes"_s);
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(grid->item(0, 4)->text(),
            u"FAT16ではありません（FAT32）、読み取り専用です、空き容量が足りません"_s);
  EXPECT_EQ(grid->currentRow(), 1);  // the usable card is chosen
  auto* eject = Find<QPushButton>(window, u"CmdEject"_s);
  EXPECT_FALSE(eject->isEnabled());  // nothing written yet
  Click(window, u"CmdWrite"_s);
  EXPECT_EQ(QStringList({none->text(), op.shown.at(0).text}),
            QStringList(2, u"カードへの書込みと確認が完了しました（2 ファイル）。"_s));
  QTest::mouseClick(eject, Qt::LeftButton);
  EXPECT_EQ(probe.ejected, QStringList{dir.filePath(u"sd"_s)});
}

using FrmPrintTest = WindowTest<>;

// The stored choice; nothing ticked is refused; printing and closing store the choice.
TEST_F(FrmPrintTest, ChoiceRefusalPrintPdfAndClosing) {
  UseSeries(4);
  project_.settings.PrtSheet = u"0,1,1"_s;
  project_.settings.CardName = u"CARDDATA"_s;
  project_.CurrentPage = 1;
  project_.programs[250].Voice[0] = u"first.wav"_s;
  auto window = Open<FrmPrint>();
  std::vector<PrintDocument> previewed;
  window->SetPreviewHandler([&](const PrintDocument& document) { previewed.push_back(document); });
  const auto check = [&](int i) { return Find<QCheckBox>(*window, u"ChkPrint%1"_s.arg(i)); };
  const auto stored = [&] { return ReadSettings(paths_.settings_file).PrtSheet; };
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(check(i)->isChecked(), i > 0) << i;
  }
  EXPECT_TRUE(Find<QRadioButton>(*window, u"OptSheet1"_s)->isChecked());
  check(2)->setChecked(false);
  EXPECT_FALSE(Find<QRadioButton>(*window, u"OptSheet0"_s)->isEnabled());
  check(1)->setChecked(false);
  Click(*window, u"CmdPdf"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2131});
  EXPECT_FALSE(QFile::exists(paths_.settings_file));

  op_ = {};
  check(2)->setChecked(true);
  Click(*window, u"OptSheet0"_s);
  Click(*window, u"CmdPrint"_s);  // the sheets of the shown tab, while busy
  EXPECT_TRUE(op_.max_busy_depth > 0 && op_.busy_depth == 0);
  EXPECT_EQ(QStringList({project_.settings.PrtSheet, stored()}), QStringList(2, u"0,0,1"_s));
  ASSERT_EQ(previewed.size(), 1u);
  EXPECT_EQ(previewed[0].pages.at(0).tables.at(0).rows.at(0).cells.at(4), u"first.wav"_s);
  const QString path = dir_.filePath(u"sheets.pdf"_s);
  choosers_.answers = {path};
  Click(*window, u"CmdPdf"_s);
  EXPECT_EQ(choosers_.last_proposed_name, u"CARDDATA.pdf"_s);
  ASSERT_EQ(op_.shown.size(), 1u);
  EXPECT_EQ(op_.shown[0].text, u"PDFファイルを保存しました。\r\n"_s + path);
  EXPECT_TRUE(QFile::exists(path));
  check(0)->setChecked(true);
  Click(*window, u"CmdClose"_s);
  EXPECT_EQ(stored(), u"1,0,1"_s);
  // Without a handler of its own, the print button shows the real preview.
  int pages = -1;
  ::testing::OnModal<QPrintPreviewDialog>([&](QPrintPreviewDialog& preview) {
    if (auto* widget = preview.findChild<QPrintPreviewWidget*>()) {
      widget->updatePreview();
      pages = widget->pageCount();
    }
    preview.close();
  });
  Click(*Open<FrmPrint>(), u"CmdPrint"_s);
  EXPECT_GT(pages, 0);
}

using FrmSetingTest = WindowTest<>;

// A refusal from another page brings the System page back, the box selected;
// the licence is shown whole, the guide link opens the guide's window; the
// language chosen is stored.
TEST_F(FrmSetingTest, OpensOnTheCurrentValuesAndRefusesOnTheSystemPage) {
  UseSeries(1);
  project_.settings.Mode = 0;
  project_.settings.CardPath = dir_.path();
  project_.settings.CardName = u"CARD01"_s;
  paths_ = ResolveAppPaths();
  paths_.settings_file = dir_.filePath(u"settings.ini"_s);
  auto window = Open<FrmSeting>();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  auto* tabs = Find<QTabWidget>(*window, u"TabStrip"_s);
  EXPECT_TRUE(Find<QRadioButton>(*window, u"OptMode6"_s)->isChecked());  // series 0
  auto* name = Find<QLineEdit>(*window, u"TxtCardName"_s);
  name->setFocus();  // entering the box selects its text
  ASSERT_TRUE(QTest::qWaitFor([&] { return name->selectedText() == u"CARD01"_s; }, 2000));
  QTest::keyClicks(name, u"ABCDEFGHI"_s);
  tabs->setCurrentIndex(FrmSeting::kVersionPage);
  Click(*window, u"CmdOk"_s);
  EXPECT_EQ(op_.shown.size(), 1u);
  EXPECT_EQ(tabs->currentIndex(), FrmSeting::kSystemPage);
  EXPECT_TRUE(name->hasFocus());
  EXPECT_EQ(name->selectedText(), u"ABCDEFGHI"_s);
  QTest::keyClick(name, Qt::Key_End);
  QTest::keyClick(name, Qt::Key_Backspace);
  tabs->setCurrentIndex(FrmSeting::kVersionPage);
  QString licence;
  ::testing::OnModal<FrmText>([&](FrmText& viewer) {
    licence = Find<QPlainTextEdit>(viewer, u"TxtText"_s)->toPlainText();
    viewer.close();
  });
  Click(*window, u"CmdKyodaku"_s);  // returns when the viewer closes
  EXPECT_FALSE(licence.isEmpty());
  EXPECT_EQ(licence, ReadTextDocument(paths_.licence_file).replace(u"\r\n"_s, u"\n"_s));
  auto* link = Find<QLabel>(*window, u"LblUrl"_s);
  Q_EMIT link->linkActivated(link->text().section(u'"', 1, 1));  // the link's address
  QPointer<FrmGuide> guide = window->findChild<FrmGuide*>();
  ASSERT_TRUE(guide && guide->isVisible());
  guide->close();
  EXPECT_TRUE(Find<QRadioButton>(*window, u"OptLanguage0"_s)->isChecked());  // the system's
  Find<QRadioButton>(*window, u"OptLanguage2"_s)->click();
  Click(*window, u"CmdOk"_s);
  EXPECT_EQ(window->result(), QDialog::Accepted);
  const Settings written = ReadSettings(paths_.settings_file);
  EXPECT_EQ(written.CardName, u"ABCDEFGH"_s);
  EXPECT_EQ(written.Language, LanguageChoice::kEnglish);
}

// A paragraph's break between Japanese characters is no blank; any other break stays.
TEST(FrmGuideTest, JoinsOnlyBreaksBetweenJapaneseAndEveryContentsLinkReachesAHeading) {
  const std::pair<QString, QString> rows[] = {
      {u"データ\n（カード）"_s, u"データ（カード）"_s},
      {u"1. 選んで\n   ファイルを"_s, u"1. 選んでファイルを"_s},
      {u"データ\nfile"_s, u"データ\nfile"_s},
      {u"data\n（カード）"_s, u"data\n（カード）"_s},
      {u"データ\n- 項目"_s, u"データ\n- 項目"_s},
      {u"データ\n\n次"_s, u"データ\n\n次"_s},
  };
  for (const auto& [markdown, shown] : rows) {
    EXPECT_EQ(FrmGuide::JoinJapaneseLines(markdown), shown) << markdown.toStdString();
  }
  // Every link of the guides' tables of contents lands on a heading of the
  // guide's window, in both languages; the pictures are found beside the guide.
  const QString ja = ResolveAppPaths().guide_file;
  for (const QString& file : {ja, QFileInfo(ja).dir().filePath(u"guide.en.md"_s)}) {
    SCOPED_TRACE(file.toStdString());
    FrmGuide guide(file);
    ASSERT_TRUE(guide.Loaded());
    auto* text = Find<QTextBrowser>(guide, u"TxtGuide"_s);
    QStringList anchors;
    QStringList links;
    for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next()) {
      for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        anchors += format.anchorNames();
        if (format.anchorHref().startsWith(u'#')) {
          links += format.anchorHref().mid(1);
        }
        if (format.isImageFormat()) {
          EXPECT_FALSE(
              text->loadResource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()))
                  .isNull());
        }
      }
    }
    EXPECT_GE(links.size(), 10);
    EXPECT_FALSE(text->toPlainText().contains(u"データ （"_s));
    for (const QString& link : links) {
      EXPECT_TRUE(anchors.contains(link)) << link.toStdString();
    }
  }
}

// Looks at the windows while the card making pauses (the progress window is up).
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

class FrmCardMakeTest : public WindowTest<WatchingOperator> {
 protected:
  void SetUp() override {
    paths_.work_folder = dir_.filePath(u"work"_s);
    UseMode(1);
  }
  void UseMode(int mode) {
    const QString suffix = IsMp3Series(mode) ? u".mp3"_s : u".wav"_s;
    ASSERT_TRUE(testing::MakeCardReady(project_, dir_.path(), mode,
                                       {u"a01"_s + suffix, u"a02"_s + suffix}));
  }
  std::unique_ptr<FrmCardMake> Open() { return WindowTest::Open<FrmCardMake>(); }
};

// The main window's commands open their windows over the project. CARD: a bad list index
// shows no choice, a choice is no edit. WAVE: a voice taken out leaves the channels. SETING:
// browse, the close box, and a series change that rebuilds the main window.
TEST_F(FrmCardMakeTest, MainWindowCommandsOpenTheirWindowsOverTheProject) {
  project_.card.TpMd = u"9"_s;  // beyond the list
  project_.settings.CardName = u"CARD01"_s;
  FrmMain main_window({project_, paths_, op_, choosers_});
  main_window.show();
  project_.programs[0].Voice = {u"a01.wav"_s, u"a02.wav"_s};  // the window starts with reset ones
  ::testing::OnModal<FrmCardMake>([&](FrmCardMake& card) {
    EXPECT_EQ(Find<QComboBox>(card, u"CmbCardSize"_s)->currentText(), u"8MB"_s);
    EXPECT_EQ(Find<QComboBox>(card, u"CmbTpMd"_s)->currentIndex(), -1);
    Find<QComboBox>(card, u"CmbCardBaitai"_s)->setCurrentIndex(2);
    Click(card, u"CmdClose"_s);
  });
  main_window.findChild<QAction*>(u"CARD"_s)->trigger();
  EXPECT_FALSE(project_.IsEdited());
  EXPECT_TRUE(op_.shown.empty());
  EXPECT_TRUE(project_.card.CardBaitai.isEmpty());

  ::testing::OnModal<FrmWaveAdd>([&](FrmWaveAdd& wave) {
    auto* grid = Find<QTableView>(wave, u"FgWave"_s);
    grid->setCurrentIndex(grid->model()->index(1, 1));
    op_.Answer(MessageAnswer::kYes);
    Click(wave, u"CmdWave1"_s);
    Click(wave, u"CmdOk"_s);
  });
  main_window.findChild<QAction*>(u"WAVE"_s)->trigger();
  EXPECT_EQ(project_.voices.size(), 1);
  EXPECT_TRUE(project_.programs[0].Voice[1].isEmpty());

  ::testing::OnModal<FrmSeting>([&](FrmSeting& dialog) {
    choosers_.answers = {dir_.filePath(u"chosen"_s)};
    Click(dialog, u"CmdBrowse"_s);
    EXPECT_EQ(Find<QLineEdit>(dialog, u"TxtCardPath"_s)->text(), dir_.filePath(u"chosen"_s));
    op_.Answer(MessageAnswer::kYes);
    dialog.close();
  });
  main_window.findChild<QAction*>(u"SETING"_s)->trigger();
  EXPECT_EQ(project_.settings.CardPath, dir_.filePath(u"cards"_s));
  ::testing::OnModal<FrmSeting>([&](FrmSeting& dialog) {
    Click(dialog, u"OptMode1"_s);
    op_.Answer(MessageAnswer::kYes);
    Click(dialog, u"CmdOk"_s);
  });
  main_window.findChild<QAction*>(u"SETING"_s)->trigger();
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2028, 2074, 2048}));
  EXPECT_EQ(main_window.findChild<QTabBar*>(u"TabStrip"_s)->count(), 4);
  EXPECT_TRUE(project_.voices.isEmpty());
}

// Typing marks the main window's page; a refused field comes up on its page; the temporary
// save takes the fields and clears the flags.
TEST_F(FrmCardMakeTest, TemporarySaveTakesTheFieldsAndClearsTheFlags) {
  project_.PageEdited[1] = true;
  project_.CurrentPage = 2;
  auto window = Open();
  QTest::keyClicks(Find<QLineEdit>(*window, u"TxtCardName"_s), u"X"_s);  // replaces the name
  EXPECT_TRUE(project_.PageEdited[2] && !project_.PageEdited[0]);
  auto* memo = Find<QLineEdit>(*window, u"TxtMemo3"_s);  // refused: its page, focused, selected
  memo->setText(QString(101, QChar(u'文')));
  Click(*window, u"CmdCardMake"_s);
  EXPECT_TRUE(window->CurrentPage() == 2 && window->focusWidget() == memo);
  EXPECT_EQ(memo->selectedText(), memo->text());
  memo->clear();
  Find<QLineEdit>(*window, u"TxtRecStdio"_s)->setText(u"第一スタジオ"_s);
  Find<QComboBox>(*window, u"CmbTpMd"_s)->setCurrentIndex(1);
  choosers_.answers = {dir_.filePath(u"keep.wpg"_s)};
  Click(*window, u"CmdSave"_s);
  EXPECT_EQ(choosers_.last_proposed_name, u"X.wpg"_s);  // the card data file name typed
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2073, 2051}));
  EXPECT_EQ(op_.pauses, std::vector<int>{800});
  EXPECT_FALSE(project_.IsEdited());
  EXPECT_EQ(project_.card.CardName + project_.card.RecStdio + project_.card.TpMd,
            u"X第一スタジオ1"_s);
  EXPECT_TRUE(QFile::exists(dir_.filePath(u"keep.wpg"_s)));
  paths_.element_file = dir_.filePath(u"missing.elm"_s);  // no lists: the window still opens
  EXPECT_EQ(Find<QComboBox>(*Open(), u"CmbCardSize"_s)->count(), 0);
}

// An unclosable progress window holds the window off; then the series' notice.
TEST_F(FrmCardMakeTest, MakingTheCardShowsProgressThenTheNotice) {
  for (int mode : {1, 7}) {
    SCOPED_TRACE(mode);
    UseMode(mode);
    op_ = {};
    project_.PageEdited[3] = true;
    auto window = Open();
    bool progress_seen = false;
    op_.on_pause = [&] {
      auto* progress = Find<FrmProgress>(*window, u"FrmProgress"_s);
      if (progress == nullptr) {
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
    EXPECT_TRUE(QFile::exists(project_.settings.CardPath + u"/駅構内放送/ANN01."_s +
                              (mode == 7 ? u"zpx"_s : u"wpj"_s)));
    EXPECT_TRUE(Find<QPushButton>(*window, u"CmdCardWrite"_s)->isEnabled());
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

class FrmWaveAddTest : public WindowTest<> {
 protected:
  void SetUp() override { UseSoundBackend(MakeSdlSoundBackend()); }
  void UseMode(int mode, int voices) {
    UseSeries(mode);
    testing::AddVoices(project_, voices, u"0.500"_s, u"100"_s);
  }
  void Open() { window_ = WindowTest::Open<FrmWaveAdd>(); }
  QString Wave(const QString& name, int rate = 22050, int channels = 1, int ms = 100) {
    EXPECT_TRUE(
        testing::WriteBytes(dir_.filePath(name), testing::WaveOfLength(rate, channels, 16, ms)));
    return dir_.filePath(name);
  }
  QTableView* Grid() { return Find<QTableView>(*window_, u"FgWave"_s); }
  QModelIndex At(int row, int column) { return Grid()->model()->index(row, column); }
  QString Cell(int row, int column, int role = Qt::DisplayRole) {
    return At(row, column).data(role).toString();
  }
  void Page(int page) { Find<QTabBar>(*window_, u"TabStrip"_s)->setCurrentIndex(page); }

  std::unique_ptr<FrmWaveAdd> window_;
};

// The columns fill the grid and a comment at its longest reads whole.
TEST_F(FrmWaveAddTest, ColumnsFillTheGridAndACommentReadsWhole) {
  UseMode(7, 2);  // the MP3 series: the most columns
  project_.settings.FileCapacity = 1;
  project_.voices[0].COMENTS = QString(20, QChar(u'案'));
  Open();
  QTableView* grid = Grid();
  const int comment = VoiceListModel::kCommentColumn;
  const int text = grid->fontMetrics().horizontalAdvance(project_.voices[0].COMENTS) + 12;
  for (const int width : {1000, 1500}) {
    window_->resize(width, 800);
    QTest::qWait(200);  // the grid spreads its columns once laid out
    int used = 0;
    for (int c = 0; c < grid->model()->columnCount(); ++c) {
      used += grid->isColumnHidden(c) ? 0 : grid->columnWidth(c);
    }
    EXPECT_EQ(used, std::max(grid->viewport()->width(), used - grid->columnWidth(comment) + text))
        << width;
  }
}

// A voice kept without its file (a load found it nowhere) stands out in
// red, saying so and where it was looked for.
TEST_F(FrmWaveAddTest, AVoiceWithoutItsFileIsMarked) {
  UseMode(1, 2);
  project_.voices[1].missing_from = QStringList{u"/cards/駅"_s, u"/wave"_s};
  Open();
  const int rate = 3;  // the SampleRate column
  EXPECT_EQ(Cell(1, rate), u"ファイルが見つかりません"_s);
  EXPECT_EQ(Cell(0, rate), project_.voices[0].SampleRate);
  for (const int column : {1, rate}) {
    EXPECT_TRUE(Cell(1, column, Qt::ToolTipRole).contains(u"探した場所：\n/cards/駅\n/wave\n"_s));
    EXPECT_TRUE(At(1, column).data(Qt::ForegroundRole).isValid());
    EXPECT_FALSE(At(0, column).data(Qt::ForegroundRole).isValid());
  }
}

// A comment typed in the grid is taken before Cancel asks; a refused one shows its page.
TEST_F(FrmWaveAddTest, EditingAcrossThePages) {
  UseMode(4, 300);
  Open();
  QTableView* grid = Grid();
  grid->setFocus();
  grid->setCurrentIndex(At(0, 2));
  QTest::keyClick(grid, Qt::Key_F2);
  auto* editor = grid->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->testAttribute(Qt::WA_InputMethodEnabled));
  // Typing stops at 40 bytes: 18 more full-width characters after two, or one
  // half-width character after 39 bytes.
  const QString full = u"駅前"_s + QString(18, QChar(u'案'));
  for (const auto& [before, typed, kept] : {std::tuple{u"駅前"_s, QString(21, QChar(u'案')), full},
                                            {QString(39, u'x'), u"ab"_s, QString(39, u'x') + u'a'},
                                            {QString(39, u'x'), u"案"_s, QString(39, u'x')}}) {
    editor->setText(before);
    for (const QChar c : typed) {  // as the input method commits each character
      QInputMethodEvent commit;
      commit.setCommitString(QString(c));
      QCoreApplication::sendEvent(editor, &commit);
    }
    EXPECT_EQ(editor->text(), kept);
  }
  editor->setText(full);
  op_.Answer(MessageAnswer::kNo);
  Click(*window_, u"CmdCancel"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2026});
  EXPECT_EQ(window_->Session().List()[0].COMENTS, full);
  EXPECT_TRUE(project_.voices[0].COMENTS.isEmpty());  // nothing committed yet
  Page(1);
  EXPECT_FALSE(grid->model()->flags(At(60, 2)) & Qt::ItemIsEditable);

  Page(0);
  op_ = {};
  window_->Session().EditComment(260, QString(21, QChar(u'案')));
  Click(*window_, u"CmdOk"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2066});
  EXPECT_TRUE(window_->isVisible() && window_->CurrentPage() == 1);
  EXPECT_EQ(grid->currentIndex(), At(10, 2));
}

// The tools open in the project's series (the MP3 series has its one page);
// the sound chooser's filter reads in Japanese.
TEST_F(FrmWaveAddTest, ToolsOpenInTheSeriesAndTheChooserReadsJapanese) {
  UseMode(7, 0);
  Open();
  int pages = 0;
  ::testing::OnModal<FrmTools>([&](FrmTools& tools) {
    pages = Find<QTabBar>(tools, u"TabStrip1"_s)->count();
    Click(tools, u"CmdExit"_s);
  });
  Click(*window_, u"CmdTool"_s);
  EXPECT_EQ(pages, 1);
  choosers_.selections.push_back({});
  Click(*window_, u"CmdWave0"_s);
  EXPECT_EQ(DialogFilter(choosers_.last_filter).section(u" ("_s, 0, 0), u"音声ファイル"_s);
}

// Levels fill in behind the pages; a clipping or outlying voice is marked with why.
TEST_F(FrmWaveAddTest, LevelsFillInBehindThePagesAndMarkWhatStandsOut) {
  UseMode(4, 0);
  for (int v = 0; v < 252; ++v) {
    VoiceRecord voice;
    voice.NAME = u"v%1.wav"_s.arg(v);
    voice.FilePath = dir_.filePath(voice.NAME);
    const double amplitude = v == 0 ? 0.02 : v == 1 ? 1.0 : 0.3;
    ASSERT_TRUE(testing::WriteBytes(voice.FilePath, testing::SineWave(8000, 600, amplitude)));
    project_.voices.append(voice);
  }
  project_.VoicesRegistered = true;
  Open();
  const int levels = qobject_cast<VoiceListModel*>(Grid()->model())->LevelsColumn();
  // Results come back through the event loop: none has yet when the page changes.
  Page(1);
  EXPECT_EQ(Cell(0, levels), u"…"_s);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Cell(1, levels).contains(u"LUFS"_s); }, 20000));
  Page(0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Cell(249, levels).contains(u"LUFS"_s); }, 20000));
  const QString quiet = Cell(0, levels, Qt::ToolTipRole);
  EXPECT_TRUE(quiet.contains(u"中央値"_s) && quiet.contains(u"小さい音量"_s))
      << quiet.toStdString();
  EXPECT_TRUE(Cell(1, levels, Qt::ToolTipRole).contains(u"フルスケール"_s));
  EXPECT_TRUE(At(0, levels).data(Qt::ForegroundRole).isValid());
}

// Drop (refusals converted on request), the tools, both choosers, the player, then OK.
TEST_F(FrmWaveAddTest, RegisteredByDropAndChoosersThenPlayed) {
  UseMode(1, 0);
  for (const QString& name : {u"ok.wav"_s, u"dup.wav"_s, u"sub/c.wav"_s}) {
    Wave(u"studio/"_s + name);
  }
  Wave(u"studio/閉店案内.wav"_s, 48000, 2, 300);
  ASSERT_TRUE(testing::WriteBytes(dir_.filePath(u"studio/notes.txt"_s), QByteArray("x")));
  Open();
  const QString fitted = dir_.filePath(u"fitted"_s);
  choosers_.answers.push_back(fitted);
  op_.Answer(MessageAnswer::kYes);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(dir_.filePath(u"studio"_s))});
  // As a file manager's drag arrives: it enters the window, then drops.
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window_.get(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window_.get(), &drop);
  EXPECT_TRUE(op_.AllAnswersUsed() && choosers_.answers.empty());
  EXPECT_TRUE(QFileInfo::exists(fitted + u"/VOICE001.wav"_s));
  EXPECT_EQ(Cell(2, VoiceListModel::kCommentColumn), u"閉店案内"_s);
  const auto highlighted = [&] { return At(0, 1).data(Qt::BackgroundRole).isValid(); };
  Grid()->setCurrentIndex(At(0, 1));
  ASSERT_TRUE(highlighted());
  bool selected_behind = true;  // the tool button clears the highlight, then opens the tools
  ::testing::OnModal<FrmTools>([&](FrmTools& tools) {
    EXPECT_EQ(tools.parentWidget(), window_.get());
    selected_behind = highlighted() || Find<QPushButton>(*window_, u"CmdWave1"_s)->isEnabled();
    Click(tools, u"CmdExit"_s);
  });
  Click(*window_, u"CmdTool"_s);
  EXPECT_FALSE(selected_behind);
  Grid()->setCurrentIndex(At(0, 1));  // the same row can be picked again
  EXPECT_TRUE(highlighted());

  choosers_.selections.push_back({Wave(u"A01.wav"_s, 22050, 1, 300)});
  choosers_.answers.push_back(QFileInfo(Wave(u"more/B02.wav"_s)).path());
  Click(*window_, u"CmdWave0"_s);
  Click(*window_, u"CmdWave7"_s);
  // By name, nothing from the subfolder.
  EXPECT_EQ(Cell(0, 1) + Cell(1, 1) + Cell(4, 1) + Cell(5, 1), u"dup.wavok.wavB02.wav"_s);
  ::testing::OnModal<FrmPlay>([&](FrmPlay& player) {  // plays the selected voice
    auto* name = Find<QLabel>(player, u"LblName"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return name->text() == u"dup.wav"_s; }, 5000));
    player.reject();
  });
  Click(*window_, u"CmdWave4"_s);  // returns when the player closes
  Click(*window_, u"CmdOk"_s);
  EXPECT_EQ(project_.voices.size(), 5);
  EXPECT_EQ(project_.settings.WavePath, dir_.filePath(u"more"_s));
}

// 変換して登録 says where the copies go and may send them elsewhere or nowhere;
// the copies it made that could not be registered go again, a file it replaced stays.
TEST_F(FrmWaveAddTest, ConversionSaysWhereAndTakesBackTheCopiesNotRegistered) {
  UseMode(1, 254);  // one slot left
  QStringList stereo;
  for (const QString& name : {u"a.wav"_s, u"b.wav"_s, u"c.wav"_s}) {
    stereo << Wave(u"studio/"_s + name, 22050, 2);
  }
  const QString last_used = dir_.filePath(u"series1"_s);
  const QString chosen = dir_.filePath(u"fitted"_s);
  ASSERT_TRUE(QDir().mkpath(last_used));
  ASSERT_TRUE(testing::WriteBytes(chosen + u"/c.wav"_s, "older"_ba));
  project_.settings.WavePath = last_used;
  Open();
  op_.Answer(MessageAnswer::kYes);     // convert
  op_.Answer(MessageAnswer::kCancel);  // not there, and nowhere else
  window_->RegisterPaths(stereo);
  ASSERT_EQ(op_.shown.size(), 2u);
  EXPECT_TRUE(op_.shown[1].text.endsWith(QDir::toNativeSeparators(last_used)));
  EXPECT_TRUE(QDir(last_used).isEmpty());

  op_ = {};
  project_.settings.WavePath = last_used;
  op_.Answer(MessageAnswer::kYes);  // convert
  op_.Answer(MessageAnswer::kNo);   // another folder
  choosers_.answers.push_back(chosen);
  op_.Answer(MessageAnswer::kYes);  // replace the older c.wav
  window_->RegisterPaths(stereo);
  EXPECT_TRUE(op_.AllAnswersUsed() && choosers_.answers.empty());
  EXPECT_TRUE(QDir(last_used).isEmpty());
  EXPECT_EQ(window_->Session().List()[254].FilePath, chosen + u"/a.wav"_s);
  EXPECT_FALSE(QFileInfo::exists(chosen + u"/b.wav"_s));
  EXPECT_TRUE(QFileInfo::exists(chosen + u"/c.wav"_s));
}

// A voice recorded in the window (SDL's disk driver reading a sine for a
// microphone) is registered like a chosen file, with the comment typed, and
// the empty recording date is offered today's. Without an input the button
// is disabled and says why.
TEST_F(FrmWaveAddTest, ARecordedVoiceIsRegisteredWithItsComment) {
  ASSERT_TRUE(testing::WriteBytes(dir_.filePath(u"in.raw"_s),
                                  testing::RawSine16(22050, 1.0, 1000.0, -12.0)));
  qputenv("SDL_AUDIODRIVER", "disk");
  qputenv("SDL_DISKAUDIOFILEIN", QFile::encodeName(dir_.filePath(u"in.raw"_s)));
  qputenv("SDL_DISKAUDIODELAY", "10");
  const QString sounds = dir_.filePath(u"sounds"_s);
  project_.settings.WavePath = sounds;
  UseMode(1, 0);
  Open();
  op_.Answer(MessageAnswer::kYes);  // today's recording date
  ::testing::OnModal<FrmRecord>([](FrmRecord& recording) {
    EXPECT_EQ(Find<QLineEdit>(recording, u"TxtName"_s)->text(), u"REC0001.WAV"_s);
    Find<QPushButton>(recording, u"CmdRecord"_s)->click();
    QTest::qWait(600);
    Find<QPushButton>(recording, u"CmdStop"_s)->click();
    Find<QLineEdit>(recording, u"TxtComment"_s)->setText(u"受付"_s);
    // A name registration would refuse writes nothing; a name without the
    // series' extension gets it.
    Find<QLineEdit>(recording, u"TxtName"_s)->setText(u"REC-1.WAV"_s);
    Find<QPushButton>(recording, u"CmdRegister"_s)->click();
    EXPECT_TRUE(recording.isVisible());
    Find<QLineEdit>(recording, u"TxtName"_s)->setText(u"GREET"_s);
    Find<QPushButton>(recording, u"CmdRegister"_s)->click();
  });
  Find<QPushButton>(*window_, u"CmdRecord"_s)->click();
  ASSERT_FALSE(op_.shown.empty());
  EXPECT_TRUE(op_.shown.front().text.contains(u"\"-\""_s));
  const VoiceRecord& voice = window_->Session().List()[0];
  EXPECT_EQ(QStringList({voice.NAME, voice.FilePath, voice.SampleRate, voice.COMENTS}),
            QStringList({u"GREET.WAV"_s, QDir(sounds).absoluteFilePath(u"GREET.WAV"_s),
                         u"22.05KHz"_s, u"受付"_s}));
  EXPECT_EQ(project_.card.RecDate, QDate::currentDate().toString(u"yyyy/MM/dd"_s));
  EXPECT_TRUE(op_.AllAnswersUsed());
  EXPECT_EQ(QDir(sounds).entryList(QDir::Files), QStringList{u"GREET.WAV"_s});
  window_.reset();

  qputenv("SDL_AUDIODRIVER", "no-such-driver");
  Open();
  QPushButton* record = Find<QPushButton>(*window_, u"CmdRecord"_s);
  EXPECT_TRUE(!record->isEnabled() && record->toolTip().contains(u"入力デバイスがありません"_s));
  qputenv("SDL_AUDIODRIVER", "dummy");
  qunsetenv("SDL_DISKAUDIOFILEIN");
  qunsetenv("SDL_DISKAUDIODELAY");
}

}  // namespace
}  // namespace parlatone
