#include "gui/frm_print.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/cp932.h"
#include "core/messages.h"
#include "core/project.h"
#include "core/series.h"
#include "core/settings.h"
#include "gui/frm_main.h"
#include "support/pdf_text.h"
#include "support/qt_printers.h"
#include "support/scripted_choosers.h"
#include "support/scripted_operator.h"
#include "support/temp_env.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;

class FrmPrintTest : public ::testing::Test {
 protected:
  void UseMode(int mode, const QString& prt_sheet = QString()) {
    project_.settings.Mode = mode;
    project_.settings.CardPath = dir_.path();
    project_.settings.PrtSheet = prt_sheet;
    DeriveSeriesLimits(project_);
    paths_.settings_file = dir_.filePath(u"ParlatoneEditorV3.ini"_s);
    paths_.element_file = ResolveAppPaths().element_file;
  }
  std::unique_ptr<FrmPrint> Open() {
    auto window = std::make_unique<FrmPrint>(project_, paths_, op_, choosers_);
    window->SetPreviewHandler(
        [this](const PrintDocument& document) { previewed_.push_back(document); });
    window->show();
    return window;
  }
  static QCheckBox* Check(FrmPrint& window, int i) {
    return window.findChild<QCheckBox*>(u"ChkPrint%1"_s.arg(i));
  }
  static void Click(FrmPrint& window, const QString& name) {
    QAbstractButton* button = window.findChild<QAbstractButton*>(name);
    ASSERT_NE(button, nullptr) << name.toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
  }
  QString StoredPrtSheet() const { return ReadSettings(paths_.settings_file).PrtSheet; }

  QTemporaryDir dir_;
  Project project_;
  AppPaths paths_;
  testing::ScriptedOperator op_;
  testing::ScriptedChoosers choosers_;
  std::vector<PrintDocument> previewed_;
};

TEST_F(FrmPrintTest, WindowShowsTheStoredChoice) {
  UseMode(1, u"0,1,1"_s);
  auto window = Open();
  EXPECT_EQ(window->windowTitle(), GetMessage(1008));
  EXPECT_EQ(window->findChild<QGroupBox*>(u"FramePrint"_s)->title(),
            u"印刷する情報を選択してください"_s);
  const QString captions[] = {u"Sound登録情報"_s, u"コントロールデータ作成情報"_s,
                              u"エディタ情報"_s};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Check(*window, i)->text(), captions[i]);
    EXPECT_EQ(Check(*window, i)->isChecked(), i > 0) << i;
  }
  EXPECT_EQ(window->findChild<QRadioButton*>(u"OptSheet0"_s)->text(), u"選択シート"_s);
  EXPECT_TRUE(window->findChild<QRadioButton*>(u"OptSheet1"_s)->isChecked());
  EXPECT_TRUE(window->AllChannels());
  // The channel options belong to the editor sheet.
  Check(*window, 2)->setChecked(false);
  EXPECT_FALSE(window->findChild<QRadioButton*>(u"OptSheet0"_s)->isEnabled());
}

TEST_F(FrmPrintTest, NothingTickedBuildsNothingAndSavesNothing) {
  UseMode(1, u"1,0,0"_s);
  auto window = Open();
  Check(*window, 0)->setChecked(false);
  Click(*window, u"CmdPrint"_s);
  ASSERT_EQ(op_.Numbers(), std::vector<int>{2131});
  EXPECT_EQ(op_.shown.front().title_number, msg::kTitleConfirm);
  EXPECT_EQ(op_.shown.front().icon, MessageIcon::kExclamation);
  Click(*window, u"CmdPdf"_s);  // the PDF button refuses the same way, before any chooser
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2131, 2131}));
  EXPECT_TRUE(previewed_.empty());
  EXPECT_FALSE(QFile::exists(paths_.settings_file));
  EXPECT_EQ(project_.settings.PrtSheet, u"1,0,0"_s);
  EXPECT_TRUE(window->isVisible());
}

TEST_F(FrmPrintTest, PrintingKeepsTheChoiceAndPreviewsTheTickedSheets) {
  UseMode(4);
  project_.CurrentPage = 1;
  project_.programs[250].Voice[0] = u"first.wav"_s;
  QDateTime fixed(QDate(2026, 1, 2), QTime(3, 4, 5));
  auto window = Open();
  window->SetClock([fixed] { return fixed; });
  Check(*window, 2)->setChecked(true);
  Click(*window, u"OptSheet0"_s);
  Click(*window, u"CmdPrint"_s);
  EXPECT_TRUE(op_.shown.empty());
  EXPECT_GT(op_.max_busy_depth, 0);
  EXPECT_EQ(op_.busy_depth, 0);
  EXPECT_EQ(StoredPrtSheet(), u"0,0,1"_s);
  EXPECT_EQ(project_.settings.PrtSheet, u"0,0,1"_s);
  ASSERT_EQ(previewed_.size(), 1u);
  const PrintDocument& document = previewed_.front();
  EXPECT_EQ(document.title, GetMessage(1000));
  ASSERT_EQ(document.pages.size(), 5u);  // channels 251 to 500 only
  EXPECT_EQ(document.pages.front().tables.front().rows.front().cells.at(4), u"first.wav"_s);
  EXPECT_EQ(document.pages.back().tables.front().rows.back().cells.at(0), u"500"_s);
  EXPECT_EQ(document.pages.front().date, u"2026/01/02"_s);

  // Every channel again, with the other two sheets after the editor sheet.
  Check(*window, 0)->setChecked(true);
  Click(*window, u"OptSheet1"_s);
  Click(*window, u"CmdPrint"_s);
  ASSERT_EQ(previewed_.size(), 2u);
  EXPECT_EQ(previewed_.back().pages.size(), 21u);  // 20 editor pages and the voice page
  EXPECT_EQ(StoredPrtSheet(), u"1,0,1"_s);
}

TEST_F(FrmPrintTest, ClosingKeepsTheChoice) {
  UseMode(1, u"1,1,1"_s);
  auto window = Open();
  Check(*window, 1)->setChecked(false);
  Click(*window, u"CmdClose"_s);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(StoredPrtSheet(), u"1,0,1"_s);
  EXPECT_TRUE(previewed_.empty());
}

TEST_F(FrmPrintTest, PdfOfTheSameDocument) {
  UseMode(7, u"1,0,0"_s);
  VoiceRecord voice;
  voice.NAME = u"放送01.mp3"_s;
  voice.SEC = u"1.250"_s;
  voice.BYTES = u"4000"_s;
  project_.voices = {voice};
  project_.VoicesRegistered = true;
  auto window = Open();
  choosers_.answers = {QString()};  // the operator cancels the chooser
  Click(*window, u"CmdPdf"_s);
  EXPECT_EQ(choosers_.last_filter.pattern, u"*.pdf"_s);
  EXPECT_TRUE(QDir(dir_.path()).entryList({u"*.pdf"_s}).isEmpty());

  const QString path = dir_.filePath(u"sheets.pdf"_s);
  choosers_.answers = {path};
  Click(*window, u"CmdPdf"_s);
  ASSERT_EQ(op_.shown.size(), 1u);  // where the file went
  EXPECT_EQ(op_.shown[0].text, u"PDFファイルを保存しました。\r\n"_s + path);
  EXPECT_EQ(choosers_.last_title, u"PDFファイルの保存"_s);
  EXPECT_TRUE(previewed_.empty());
  const QString text = testing::PdfText(path);
  EXPECT_TRUE(text.contains(u"Sound登録情報"_s));
  EXPECT_TRUE(text.contains(u"放送01.mp3"_s));
  EXPECT_TRUE(text.contains(u"1.250"_s));
  EXPECT_EQ(text.count(u'\f'), 1);

  // A file that cannot be written is reported, and the window stays.
  choosers_.answers = {dir_.filePath(u"no/such/folder/x.pdf"_s)};
  op_ = {};
  Click(*window, u"CmdPdf"_s);
  ASSERT_EQ(op_.shown.size(), 1u);
  EXPECT_EQ(op_.shown.front().title_number, msg::kTitleError);
  EXPECT_EQ(op_.shown.front().icon, MessageIcon::kError);
  EXPECT_TRUE(window->isVisible());
}

// The real preview: one document titled 1000 holding every page.
TEST_F(FrmPrintTest, PreviewDialogShowsTheDocument) {
  UseMode(1, u"1,1,1"_s);
  FrmPrint window(project_, paths_, op_, choosers_);
  window.show();
  QString title;
  int pages = -1;
  QString seen;
  QTimer::singleShot(0, &window, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) {
      return;
    }
    seen = QString::fromLatin1(modal->metaObject()->className());
    if (auto* preview = qobject_cast<QPrintPreviewDialog*>(modal)) {
      title = preview->windowTitle();
      if (auto* widget = preview->findChild<QPrintPreviewWidget*>()) {
        widget->updatePreview();
        pages = widget->pageCount();
      }
    }
    modal->close();
  });
  QTest::mouseClick(window.findChild<QPushButton*>(u"CmdPrint"_s), Qt::LeftButton);
  EXPECT_EQ(seen, u"QPrintPreviewDialog"_s);
  EXPECT_EQ(title, GetMessage(1000));
  EXPECT_EQ(pages, 7);  // five editor pages, the control data page, the voice page
}

TEST_F(FrmPrintTest, PrintCommandOfTheMainWindowOpensThePrintWindow) {
  UseMode(1);
  FrmMain main(project_, paths_, op_, choosers_);
  main.show();
  QAction* print = main.findChild<QAction*>(u"PRINT"_s);
  ASSERT_NE(print, nullptr);
  EXPECT_TRUE(print->isEnabled());
  QString opened;
  QTimer::singleShot(0, &main, [&] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      opened = modal->objectName();
      modal->close();
    }
  });
  print->trigger();
  EXPECT_EQ(opened, u"FrmPrint"_s);
  EXPECT_EQ(StoredPrtSheet(), u"0,0,0"_s);  // closing keeps the choice
}

}  // namespace
}  // namespace parlatone
