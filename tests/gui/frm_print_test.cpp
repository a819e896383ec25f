#include "gui/frm_print.h"

#include <QAction>
#include <QCheckBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QRadioButton>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/settings.h"
#include "gui/frm_main.h"
#include "support/gui2_window_test.h"
#include "support/gui_modal.h"

namespace parlatone {
namespace {

using namespace Qt::StringLiterals;
using testing::Click;

class FrmPrintTest : public testing::WindowTest<> {
 protected:
  void UseMode(int mode, const QString& prt_sheet) {
    UseSeries(mode);
    project_.settings.PrtSheet = prt_sheet;
  }
  std::unique_ptr<FrmPrint> Open() {
    auto window = WindowTest::Open<FrmPrint>();
    window->SetPreviewHandler(
        [this](const PrintDocument& document) { previewed_.push_back(document); });
    return window;
  }
  static QCheckBox* Check(FrmPrint& window, int i) {
    return window.findChild<QCheckBox*>(u"ChkPrint%1"_s.arg(i));
  }
  QString Stored() const { return ReadSettings(paths_.settings_file).PrtSheet; }

  std::vector<PrintDocument> previewed_;
};

// The stored choice is ticked, the channel options belong to the editor
// sheet, nothing ticked is refused for print and PDF alike (before any
// chooser). The PDF: a cancelled chooser writes nothing, a saved file is
// named, a folder that is not there is an error and the window stays.
TEST_F(FrmPrintTest, StoredChoiceNothingTickedAndThePdf) {
  UseMode(1, u"0,1,1"_s);
  auto window = Open();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Check(*window, i)->isChecked(), i > 0) << i;
  }
  EXPECT_TRUE(window->findChild<QRadioButton*>(u"OptSheet1"_s)->isChecked());
  Check(*window, 2)->setChecked(false);
  EXPECT_FALSE(window->findChild<QRadioButton*>(u"OptSheet0"_s)->isEnabled());
  Check(*window, 1)->setChecked(false);
  Click(*window, u"CmdPrint"_s);
  Click(*window, u"CmdPdf"_s);
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2131, 2131}));
  EXPECT_EQ(op_.shown.front().icon, MessageIcon::kExclamation);
  EXPECT_FALSE(QFile::exists(paths_.settings_file));

  Check(*window, 0)->setChecked(true);
  op_ = {};
  const QString path = dir_.filePath(u"sheets.pdf"_s);
  choosers_.answers = {QString(), path, dir_.filePath(u"no/such/folder/x.pdf"_s)};
  Click(*window, u"CmdPdf"_s);
  EXPECT_EQ(choosers_.last_filter.pattern, u"*.pdf"_s);
  EXPECT_TRUE(op_.shown.empty());
  Click(*window, u"CmdPdf"_s);
  EXPECT_EQ(choosers_.last_title, u"PDFファイルの保存"_s);
  ASSERT_EQ(op_.shown.size(), 1u);
  EXPECT_EQ(op_.shown[0].text, u"PDFファイルを保存しました。\r\n"_s + path);
  EXPECT_TRUE(QFile::exists(path));
  Click(*window, u"CmdPdf"_s);
  ASSERT_EQ(op_.shown.size(), 2u);
  EXPECT_EQ(op_.shown[1].title_number, msg::kTitleError);
  EXPECT_TRUE(window->isVisible() && previewed_.empty());
}

// Printing stores the choice and previews the sheets of the shown tab,
// while busy; closing stores the choice too.
TEST_F(FrmPrintTest, PrintingAndClosingKeepTheChoice) {
  UseMode(4, QString());
  project_.CurrentPage = 1;
  project_.programs[250].Voice[0] = u"first.wav"_s;
  auto window = Open();
  window->SetClock([] { return QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)); });
  Check(*window, 2)->setChecked(true);
  Click(*window, u"OptSheet0"_s);
  Click(*window, u"CmdPrint"_s);
  EXPECT_TRUE(op_.shown.empty());
  EXPECT_TRUE(op_.max_busy_depth > 0 && op_.busy_depth == 0);
  EXPECT_EQ(QStringList({project_.settings.PrtSheet, Stored()}), QStringList(2, u"0,0,1"_s));
  ASSERT_EQ(previewed_.size(), 1u);
  EXPECT_EQ(previewed_[0].pages.at(0).tables.at(0).rows.at(0).cells.at(4), u"first.wav"_s);
  EXPECT_EQ(previewed_[0].pages.at(0).date, u"2026/01/02"_s);
  Check(*window, 0)->setChecked(true);
  Click(*window, u"CmdClose"_s);
  EXPECT_EQ(Stored(), u"1,0,1"_s);
}

// PRINT of the main window opens the window; its print button shows the real
// preview, one document titled 1000 holding every page.
TEST_F(FrmPrintTest, PrintCommandOpensTheWindowAndThePreview) {
  UseMode(1, u"1,1,1"_s);
  FrmMain main(project_, paths_, op_, choosers_);
  main.show();
  int pages = -1;
  ::testing::OnModal<FrmPrint>([&](FrmPrint& print) {
    ::testing::OnModal<QPrintPreviewDialog>([&](QPrintPreviewDialog& preview) {
      EXPECT_EQ(preview.windowTitle(), GetMessage(1000));
      if (auto* widget = preview.findChild<QPrintPreviewWidget*>()) {
        widget->updatePreview();
        pages = widget->pageCount();
      }
      preview.close();
    });
    Click(print, u"CmdPrint"_s);
    print.close();
  });
  main.findChild<QAction*>(u"PRINT"_s)->trigger();
  EXPECT_EQ(pages, 7);  // five editor pages, the control data page, the voice page
  EXPECT_EQ(Stored(), u"1,1,1"_s);
}

}  // namespace
}  // namespace parlatone
