#include "gui/frm_seting.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include "core/messages.h"
#include "core/settings.h"
#include "gui/frm_main.h"
#include "gui/frm_text.h"
#include "settings/settings_session.h"
#include "settings/text_document.h"
#include "support/gui2_window_test.h"
#include "support/gui_modal.h"
#include "support/temp_env.h"

namespace parlatone {

// Stands in for the desktop's browser: remembers what it was asked to open.
class UrlRecorder : public QObject {
  Q_OBJECT

 public:
  QList<QUrl> opened;

 public Q_SLOTS:
  void Open(const QUrl& url) { opened << url; }
};

namespace {

using namespace Qt::StringLiterals;
using testing::Click;
using testing::Find;

class FrmSetingTest : public testing::WindowTest<> {
 protected:
  void SetUp() override {
    UseSeries(1);
    project_.settings.CardPath = dir_.path();
    project_.settings.CardName = u"CARD01"_s;
    const QString settings_file = paths_.settings_file;
    paths_ = ResolveAppPaths();
    paths_.settings_file = settings_file;
  }
  std::unique_ptr<FrmSeting> Open() {
    auto window = WindowTest::Open<FrmSeting>();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
  }
  static QTabWidget* Tabs(QWidget& window) { return Find<QTabWidget>(window, u"TabStrip"_s); }
};

// The current values; the descriptions follow the stereo option; a refusal
// from another page brings the System page back with the box selected; OK
// writes the settings.
TEST_F(FrmSetingTest, OpensOnTheCurrentValuesAndRefusesOnTheSystemPage) {
  project_.settings.Mode = 0;
  project_.settings.AddFunction = 1;
  auto window = Open();
  EXPECT_EQ(Tabs(*window)->currentIndex(), FrmSeting::kSystemPage);
  EXPECT_EQ(Find<QLineEdit>(*window, u"TxtCardPath"_s)->text(), dir_.path());
  // Series 0 is the seventh option; its label keeps both of its lines.
  EXPECT_TRUE(Find<QRadioButton>(*window, u"OptMode6"_s)->isChecked());
  EXPECT_EQ(Find<QRadioButton>(*window, u"OptMode6"_s)->text(),
            u"LYRシリーズ用\n（8bitデータ専用）"_s);
  EXPECT_TRUE(Find<QRadioButton>(*window, u"OptAddFunction1"_s)->isChecked());
  EXPECT_EQ(Find<QLabel>(*window, u"LblVersion"_s)->text(), u"3.0.1"_s);
  Tabs(*window)->setCurrentIndex(FrmSeting::kAddFunctionPage);
  Click(*window, u"OptAddFunction0"_s);
  EXPECT_EQ(Find<QLabel>(*window, u"LblMode2"_s)->text(),
            QString(GetMessage(2151)).replace(u"\r\n"_s, u"\n"_s));

  auto* name = Find<QLineEdit>(*window, u"TxtCardName"_s);
  name->setFocus();
  name->selectAll();
  QTest::keyClicks(name, u"ABCDEFGHI"_s);
  Tabs(*window)->setCurrentIndex(FrmSeting::kVersionPage);
  Click(*window, u"CmdOk"_s);
  EXPECT_EQ(op_.shown.size(), 1u);
  EXPECT_EQ(Tabs(*window)->currentIndex(), FrmSeting::kSystemPage);
  EXPECT_TRUE(name->hasFocus());
  EXPECT_EQ(name->selectedText(), u"ABCDEFGHI"_s);
  QTest::keyClick(name, Qt::Key_End);
  QTest::keyClick(name, Qt::Key_Backspace);
  Click(*window, u"CmdOk"_s);
  EXPECT_EQ(window->result(), QDialog::Accepted);
  EXPECT_EQ(ReadSettings(paths_.settings_file).CardName, u"ABCDEFGH"_s);
}

// A new user who only wants another series changes it without typing
// anything else: the first start has proposed every value the page checks.
TEST_F(FrmSetingTest, FirstStartChangesTheSeriesWithNothingTyped) {
  testing::TempUserEnvironment env;
  paths_ = ResolveAppPaths();
  project_.settings = LoadStartupSettings(paths_).settings;
  DeriveSeriesLimits(project_);
  auto window = Open();
  Click(*window, u"OptMode1"_s);  // QDX 1000 channels
  op_.Answer(MessageAnswer::kYes);
  Click(*window, u"CmdOk"_s);
  EXPECT_EQ(op_.Numbers(), std::vector<int>{2048});
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(ReadSettings(paths_.settings_file).Mode, 4);
}

// The licence and release notes in a read-only viewer; the link opens the
// installed user guide.
TEST_F(FrmSetingTest, DocumentsAndTheUserGuide) {
  auto window = Open();
  const auto open_document = [&](const QString& button) {
    QStringList seen;
    ::testing::OnModal<FrmText>([&](FrmText& viewer) {
      auto* text = Find<QPlainTextEdit>(viewer, u"TxtText"_s);
      seen = {viewer.windowTitle(), text->toPlainText(), text->isReadOnly() ? u"ro"_s : u"rw"_s};
      Click(viewer, u"CmdClose"_s);
    });
    Tabs(*window)->setCurrentIndex(FrmSeting::kVersionPage);
    Click(*window, button);  // returns when the viewer closes
    return seen;
  };
  EXPECT_EQ(
      open_document(u"CmdKyodaku"_s),
      QStringList({GetMessage(1002),
                   ReadTextDocument(paths_.licence_file).replace(u"\r\n"_s, u"\n"_s), u"ro"_s}));
  const QStringList release = open_document(u"CmdRelease"_s);
  EXPECT_TRUE(release.value(0) == GetMessage(1003) &&
              release.value(1).contains(u"Version 3.0.1"_s));

  UrlRecorder browser;
  QDesktopServices::setUrlHandler(u"file"_s, &browser, "Open");
  auto* link = Find<QLabel>(*window, u"LblUrl"_s);
  const QString guide = QUrl::fromLocalFile(paths_.guide_file).toString(QUrl::FullyEncoded);
  EXPECT_TRUE(QFileInfo(paths_.guide_file).isFile()) << paths_.guide_file.toStdString();
  EXPECT_TRUE(link->text().contains(guide));
  Q_EMIT link->linkActivated(guide);
  QDesktopServices::unsetUrlHandler(u"file"_s);
  EXPECT_EQ(browser.opened, QList<QUrl>{QUrl::fromLocalFile(paths_.guide_file)});
}

// SETING opens the window as a modal. Browse: a cancelled chooser keeps the
// box; the close box then asks like Cancel and leaves the project as it was.
// A confirmed series change rebuilds the main window over an empty project.
TEST_F(FrmSetingTest, SetingFromTheMainWindowRebuildsOnASeriesChange) {
  FrmMain main_window(project_, paths_, op_, choosers_);
  main_window.show();
  auto* seting = main_window.findChild<QAction*>(u"SETING"_s);
  VoiceRecord voice;
  voice.NAME = u"a.wav"_s;
  project_.voices.append(voice);
  project_.VoicesRegistered = true;
  ::testing::OnModal<FrmSeting>([&](FrmSeting& dialog) {
    auto* folder = Find<QLineEdit>(dialog, u"TxtCardPath"_s);
    choosers_.answers = {QString(), dir_.filePath(u"chosen"_s)};
    Click(dialog, u"CmdBrowse"_s);
    EXPECT_EQ(folder->text(), dir_.path());
    Click(dialog, u"CmdBrowse"_s);
    EXPECT_EQ(folder->text(), dir_.filePath(u"chosen"_s));
    op_.Answer(MessageAnswer::kYes);
    dialog.close();
  });
  seting->trigger();
  EXPECT_EQ(project_.settings.CardPath, dir_.path());
  EXPECT_EQ(project_.voices.size(), 1);
  EXPECT_FALSE(QFileInfo::exists(paths_.settings_file));
  ::testing::OnModal<FrmSeting>([&](FrmSeting& dialog) {
    Click(dialog, u"OptMode1"_s);
    op_.Answer(MessageAnswer::kYes);
    Click(dialog, u"CmdOk"_s);
  });
  seting->trigger();
  EXPECT_EQ(op_.Numbers(), (std::vector<int>{2074, 2048}));
  EXPECT_EQ(main_window.findChild<QTabBar*>(u"TabStrip"_s)->count(), 4);
  EXPECT_EQ(main_window.windowTitle(), GetMessage(1000) + u" - "_s + GetMessage(2114));
  EXPECT_TRUE(project_.voices.isEmpty());
  EXPECT_EQ(main_window.findChildren<FrmSeting*>().size(), 0);
}

}  // namespace
}  // namespace parlatone

#include "frm_seting_test.moc"
